#include "talk/SstpRequestCollector.h"

namespace talk {

SstpRequestCollector::State SstpRequestCollector::Add(const char* data, std::size_t size, uint32_t nowMs)
{
    if (m_state != State::Incomplete || size == 0) return m_state;
    if (!m_started) {
        m_started = true;
        m_firstMs = nowMs;
    }
    if (size > m_limit - m_text.size()) {
        m_state = State::TooLong;
        m_text.clear();
        m_text.shrink_to_fit();
        return m_state;
    }
    m_text.append(data, size);
    // The end is looked for in the whole text, not in the last piece alone:
    // a requester that writes the closing empty line in a piece of its own
    // must not be left waiting for an answer that never comes.
    if (m_text.size() >= 4 && m_text.compare(m_text.size() - 4, 4, "\r\n\r\n") == 0) m_state = State::Complete;
    return m_state;
}

bool SstpRequestCollector::Expired(uint32_t nowMs) const
{
    // Unsigned difference: right across a wrap of the 32-bit clock.
    return m_started && nowMs - m_firstMs >= m_timeLimitMs;
}

uint32_t SstpRequestCollector::RemainingMs(uint32_t nowMs) const
{
    if (!m_started) return m_timeLimitMs;
    const uint32_t spent = nowMs - m_firstMs;
    return spent >= m_timeLimitMs ? 0 : m_timeLimitMs - spent;
}

} // namespace talk
