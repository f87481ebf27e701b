#pragma once
// MD5 message digest as RFC 1321 defines it. Portable.
#include <cstddef>
#include <cstdint>

namespace selka {

class Md5 {
  public:
    Md5();
    ~Md5();
    Md5(const Md5&) = delete;
    Md5& operator=(const Md5&) = delete;

    void Update(const void* data, size_t size);
    // Pads, appends the bit count and writes the 16 digest bytes; the work
    // state is cleared afterwards, so the object must not be updated again.
    void Final(uint8_t digest[16]);

    // The digest of 'size' bytes as 32 lowercase hex digits and a NUL.
    static void HexDigest(const void* data, size_t size, char text[33]);

  private:
    void Transform(const uint8_t block[64]);
    void Clear();

    uint32_t m_state[4];
    uint64_t m_bytes; // message length so far, in bytes
    uint8_t m_buffer[64];
};

} // namespace selka
