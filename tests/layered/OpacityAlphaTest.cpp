// The opacity-to-alpha table of the settings: the values a user sees as
// "percent" and the alpha byte the window gets, worked out by hand.
#include "skin/OpacityAlpha.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    unsigned stored; // as kept in the settings file
    unsigned alpha;
};

TEST(OpacityAlpha, PercentTurnsIntoTruncatedAlphaOfItsLowByte)
{
    const Case cases[] = {
        {100, 255}, {50, 127},  {10, 25}, {0, 0}, {1, 2}, {99, 252}, {101, 255}, // capped at 100
        {255, 255}, {300, 112},                                                  // low byte 44: 44 * 2.55 = 112.2
        {256, 0},                                                                // low byte 0
        {356, 255},                                                              // low byte 100
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.alpha, ostra::OpacityAlpha(static_cast<unsigned char>(c.stored & 0xFF))) << "stored " << c.stored;
    }
}

} // namespace
