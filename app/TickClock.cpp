#include "app/TickClock.h"

bool TickClock::Tick(uint32_t now, uint32_t periodMs)
{
    if (static_cast<uint32_t>(now - m_start) <= periodMs) return false;
    m_start = now;
    return true;
}

uint32_t TickClock::TalkPeriod(int intervalSeconds)
{
    // Multiplied in 64 bits and cut to 32: the wrap of a 32-bit product,
    // without the undefined overflow of a signed one.
    return static_cast<uint32_t>(static_cast<int64_t>(intervalSeconds) * 1000);
}
