#pragma once
// The 32-bit Mersenne Twister (MT19937) behind the animation engine's random
// waiting times. Its seeding is the generator's original one: state word 0 is
// the seed and every following word is 69069 times the one before it, modulo
// 2^32. std::mt19937 seeds differently, so its sequence for the same seed is
// not this one.
#include <array>
#include <cstdint>

class MersenneTwister {
  public:
    explicit MersenneTwister(uint32_t seed);

    // The next tempered 32-bit output.
    uint32_t Next();

  private:
    void Twist();

    static constexpr int kStateWords = 624;
    std::array<uint32_t, kStateWords> m_state{};
    int m_index = kStateWords;
};
