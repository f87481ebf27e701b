#pragma once
// Collects the host's answer as it arrives over TCP. Portable.
#include <cstddef>
#include <string>

namespace talk {

class SstpAnswerCollector {
  public:
    explicit SstpAnswerCollector(std::size_t limit) : m_limit(limit) {}

    // Appends one received piece up to its first zero byte (the host's
    // answer is text). Returns false once the limit is reached: the answer
    // is then cut off there and nothing more is wanted.
    bool Add(const char* data, std::size_t size);

    bool Full() const { return m_text.size() >= m_limit; }
    const std::string& Text() const { return m_text; }

  private:
    std::size_t m_limit;
    std::string m_text;
};

} // namespace talk
