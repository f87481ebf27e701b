#include "skin/MersenneTwister.h"

namespace {
constexpr int kShift = 397;
constexpr uint32_t kMatrixA = 0x9908b0dfu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7fffffffu;
} // namespace

MersenneTwister::MersenneTwister(uint32_t seed)
{
    m_state[0] = seed;
    for (int i = 1; i < kStateWords; ++i)
        m_state[i] = 69069u * m_state[i - 1];
}

void MersenneTwister::Twist()
{
    for (int i = 0; i < kStateWords; ++i) {
        const uint32_t y = (m_state[i] & kUpperMask) | (m_state[(i + 1) % kStateWords] & kLowerMask);
        m_state[i] = m_state[(i + kShift) % kStateWords] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
    }
    m_index = 0;
}

uint32_t MersenneTwister::Next()
{
    if (m_index >= kStateWords) Twist();
    uint32_t y = m_state[m_index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}
