#pragma once
// The main window's two clocks (talk control and the monitors) on the 32-bit
// millisecond tick count. Elapsed time is the difference of two tick counts
// as unsigned 32-bit numbers, so it stays right across the count's wrap after
// about 49.7 days.
#include <cstdint>

class TickClock {
  public:
    explicit TickClock(uint32_t now = 0) : m_start(now) {}

    void Restart(uint32_t now) { m_start = now; }

    // True when more than 'periodMs' milliseconds have passed since the last
    // start; the clock then starts again at 'now'.
    bool Tick(uint32_t now, uint32_t periodMs);

    uint32_t Start() const { return m_start; }

    // The talk period for an interval in seconds, as the unsigned number that
    // interval * 1000 gives in 32 bits: 0 makes every tick with at least one
    // millisecond passed due, a negative interval a period of almost 50 days.
    static uint32_t TalkPeriod(int intervalSeconds);

    static constexpr uint32_t kMonitorPeriod = 1000; // battery and resource checks, ms

  private:
    uint32_t m_start;
};
