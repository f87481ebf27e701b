#include "selka/Md5.h"

#include <cstring>

namespace selka {

namespace {

inline uint32_t Rotl(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

inline uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// The sine table T[i] = floor(2^32 * |sin(i + 1)|).
constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

} // namespace

Md5::Md5() : m_state{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, m_bytes(0), m_buffer{} {}

Md5::~Md5()
{
    Clear();
}

void Md5::Clear()
{
    // Through a volatile pointer so the compiler keeps the clearing.
    volatile uint8_t* p = reinterpret_cast<volatile uint8_t*>(this);
    for (size_t i = 0; i < sizeof(*this); ++i)
        p[i] = 0;
}

// One step of a round: a = b + ((a + F(b, c, d) + x + t) <<< s).
#define MD5_STEP(f, a, b, c, d, x, t, s)                                                                               \
    a += f(b, c, d) + (x) + (t);                                                                                       \
    a = Rotl(a, s) + b

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z)
{
    return z ^ (x & (y ^ z));
}
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z)
{
    return y ^ (z & (x ^ y));
}
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z)
{
    return x ^ y ^ z;
}
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z)
{
    return y ^ (x | ~z);
}

void Md5::Transform(const uint8_t block[64])
{
    // Written out step by step: a loop with a switch per step runs at a
    // third of the speed.
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = Le32(block + 4 * i);
    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    const uint32_t* t = kSine;

    MD5_STEP(F, a, b, c, d, x[0], t[0], 7);
    MD5_STEP(F, d, a, b, c, x[1], t[1], 12);
    MD5_STEP(F, c, d, a, b, x[2], t[2], 17);
    MD5_STEP(F, b, c, d, a, x[3], t[3], 22);
    MD5_STEP(F, a, b, c, d, x[4], t[4], 7);
    MD5_STEP(F, d, a, b, c, x[5], t[5], 12);
    MD5_STEP(F, c, d, a, b, x[6], t[6], 17);
    MD5_STEP(F, b, c, d, a, x[7], t[7], 22);
    MD5_STEP(F, a, b, c, d, x[8], t[8], 7);
    MD5_STEP(F, d, a, b, c, x[9], t[9], 12);
    MD5_STEP(F, c, d, a, b, x[10], t[10], 17);
    MD5_STEP(F, b, c, d, a, x[11], t[11], 22);
    MD5_STEP(F, a, b, c, d, x[12], t[12], 7);
    MD5_STEP(F, d, a, b, c, x[13], t[13], 12);
    MD5_STEP(F, c, d, a, b, x[14], t[14], 17);
    MD5_STEP(F, b, c, d, a, x[15], t[15], 22);

    MD5_STEP(G, a, b, c, d, x[1], t[16], 5);
    MD5_STEP(G, d, a, b, c, x[6], t[17], 9);
    MD5_STEP(G, c, d, a, b, x[11], t[18], 14);
    MD5_STEP(G, b, c, d, a, x[0], t[19], 20);
    MD5_STEP(G, a, b, c, d, x[5], t[20], 5);
    MD5_STEP(G, d, a, b, c, x[10], t[21], 9);
    MD5_STEP(G, c, d, a, b, x[15], t[22], 14);
    MD5_STEP(G, b, c, d, a, x[4], t[23], 20);
    MD5_STEP(G, a, b, c, d, x[9], t[24], 5);
    MD5_STEP(G, d, a, b, c, x[14], t[25], 9);
    MD5_STEP(G, c, d, a, b, x[3], t[26], 14);
    MD5_STEP(G, b, c, d, a, x[8], t[27], 20);
    MD5_STEP(G, a, b, c, d, x[13], t[28], 5);
    MD5_STEP(G, d, a, b, c, x[2], t[29], 9);
    MD5_STEP(G, c, d, a, b, x[7], t[30], 14);
    MD5_STEP(G, b, c, d, a, x[12], t[31], 20);

    MD5_STEP(H, a, b, c, d, x[5], t[32], 4);
    MD5_STEP(H, d, a, b, c, x[8], t[33], 11);
    MD5_STEP(H, c, d, a, b, x[11], t[34], 16);
    MD5_STEP(H, b, c, d, a, x[14], t[35], 23);
    MD5_STEP(H, a, b, c, d, x[1], t[36], 4);
    MD5_STEP(H, d, a, b, c, x[4], t[37], 11);
    MD5_STEP(H, c, d, a, b, x[7], t[38], 16);
    MD5_STEP(H, b, c, d, a, x[10], t[39], 23);
    MD5_STEP(H, a, b, c, d, x[13], t[40], 4);
    MD5_STEP(H, d, a, b, c, x[0], t[41], 11);
    MD5_STEP(H, c, d, a, b, x[3], t[42], 16);
    MD5_STEP(H, b, c, d, a, x[6], t[43], 23);
    MD5_STEP(H, a, b, c, d, x[9], t[44], 4);
    MD5_STEP(H, d, a, b, c, x[12], t[45], 11);
    MD5_STEP(H, c, d, a, b, x[15], t[46], 16);
    MD5_STEP(H, b, c, d, a, x[2], t[47], 23);

    MD5_STEP(I, a, b, c, d, x[0], t[48], 6);
    MD5_STEP(I, d, a, b, c, x[7], t[49], 10);
    MD5_STEP(I, c, d, a, b, x[14], t[50], 15);
    MD5_STEP(I, b, c, d, a, x[5], t[51], 21);
    MD5_STEP(I, a, b, c, d, x[12], t[52], 6);
    MD5_STEP(I, d, a, b, c, x[3], t[53], 10);
    MD5_STEP(I, c, d, a, b, x[10], t[54], 15);
    MD5_STEP(I, b, c, d, a, x[1], t[55], 21);
    MD5_STEP(I, a, b, c, d, x[8], t[56], 6);
    MD5_STEP(I, d, a, b, c, x[15], t[57], 10);
    MD5_STEP(I, c, d, a, b, x[6], t[58], 15);
    MD5_STEP(I, b, c, d, a, x[13], t[59], 21);
    MD5_STEP(I, a, b, c, d, x[4], t[60], 6);
    MD5_STEP(I, d, a, b, c, x[11], t[61], 10);
    MD5_STEP(I, c, d, a, b, x[2], t[62], 15);
    MD5_STEP(I, b, c, d, a, x[9], t[63], 21);

    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    volatile uint32_t* wipe = x;
    for (int i = 0; i < 16; ++i)
        wipe[i] = 0;
}

#undef MD5_STEP

void Md5::Update(const void* data, size_t size)
{
    if (size == 0) return;
    const auto* in = static_cast<const uint8_t*>(data);
    size_t used = static_cast<size_t>(m_bytes & 63);
    m_bytes += size;
    if (used) {
        const size_t take = size < 64 - used ? size : 64 - used;
        std::memcpy(m_buffer + used, in, take);
        in += take;
        size -= take;
        used += take;
        if (used < 64) return;
        Transform(m_buffer);
    }
    for (; size >= 64; in += 64, size -= 64)
        Transform(in);
    if (size) std::memcpy(m_buffer, in, size);
}

void Md5::Final(uint8_t digest[16])
{
    const uint64_t bits = m_bytes * 8;
    static const uint8_t kPad[64] = {0x80};
    const size_t used = static_cast<size_t>(m_bytes & 63);
    Update(kPad, used < 56 ? 56 - used : 120 - used);
    uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<uint8_t>(bits >> (8 * i));
    Update(length, 8);
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            digest[4 * i + k] = static_cast<uint8_t>(m_state[i] >> (8 * k));
    Clear();
}

void Md5::HexDigest(const void* data, size_t size, char text[33])
{
    static const char kHex[] = "0123456789abcdef";
    uint8_t digest[16];
    Md5 md5;
    if (size) md5.Update(data, size);
    md5.Final(digest);
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = kHex[digest[i] >> 4];
        text[2 * i + 1] = kHex[digest[i] & 15];
    }
    text[32] = '\0';
}

} // namespace selka
