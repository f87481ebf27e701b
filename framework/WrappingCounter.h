#pragma once
// A sequence number that starts again at 0 once it would reach its limit.
// The window framework numbers pending window creations (limit 0xFFFFFF, so
// the last number used is 0xFFFFFE) and pending dialogs (limit 0xFFFF) this way.
#include <cstdint>

class WrappingCounter {
  public:
    explicit WrappingCounter(std::uint32_t limit) : m_limit(limit) {}

    std::uint32_t Value() const { return m_value; }
    // Values at or above the limit are taken as 0, so the counter never
    // hands out a number outside its range.
    void Set(std::uint32_t value) { m_value = value >= m_limit ? 0 : value; }
    // Moves to the next number; returns it.
    std::uint32_t Advance()
    {
        m_value = m_value + 1 >= m_limit ? 0 : m_value + 1;
        return m_value;
    }

  private:
    std::uint32_t m_limit;
    std::uint32_t m_value = 0;
};
