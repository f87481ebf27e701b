#pragma once
// Collects one SSTP request as it arrives over TCP, piece by piece, and
// tells when it is complete or must be dropped. Portable: the time is the
// caller's millisecond clock.
#include <cstddef>
#include <cstdint>
#include <string>

namespace talk {

class SstpRequestCollector {
  public:
    enum class State {
        Incomplete, // waiting for more
        Complete,   // the text ends with an empty line (CR LF CR LF)
        TooLong,    // more than the limit arrived: drop it
    };

    SstpRequestCollector(std::size_t limit, uint32_t timeLimitMs) : m_limit(limit), m_timeLimitMs(timeLimitMs) {}

    // Appends one received piece; 'nowMs' is the caller's clock. The time
    // limit counts from the first piece.
    State Add(const char* data, std::size_t size, uint32_t nowMs);
    // Whether the request has run past its time limit at 'nowMs' (never
    // before its first piece).
    bool Expired(uint32_t nowMs) const;
    // Milliseconds left of the time limit at 'nowMs' (the whole limit before
    // the first piece).
    uint32_t RemainingMs(uint32_t nowMs) const;

    State Current() const { return m_state; }
    const std::string& Text() const { return m_text; }

  private:
    std::size_t m_limit;
    uint32_t m_timeLimitMs;
    bool m_started = false;
    uint32_t m_firstMs = 0;
    State m_state = State::Incomplete;
    std::string m_text;
};

} // namespace talk
