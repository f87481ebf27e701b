// The talk and monitor clocks on the 32-bit tick count.
#include <cstdint>

#include <gtest/gtest.h>

#include "app/TickClock.h"

TEST(TickClock, TalkIntervalSixtySecondsFiresJustAfterAMinute)
{
    TickClock talk(1000);
    const uint32_t period = TickClock::TalkPeriod(60);
    EXPECT_EQ(period, 60000u);
    EXPECT_FALSE(talk.Tick(1100, period));
    EXPECT_FALSE(talk.Tick(61000, period)); // exactly the period: not yet
    EXPECT_EQ(talk.Start(), 1000u);
    EXPECT_TRUE(talk.Tick(61001, period));
    EXPECT_EQ(talk.Start(), 61001u); // restarted at the firing tick
    EXPECT_FALSE(talk.Tick(121001, period));
    EXPECT_TRUE(talk.Tick(121100, period));
    // Confirming the options sheet restarts the clock: a full period again.
    talk.Restart(150000);
    EXPECT_FALSE(talk.Tick(210000, period));
    EXPECT_TRUE(talk.Tick(210001, period));
}

TEST(TickClock, ElapsedTimeIsUnsignedAcrossTheWrap)
{
    // 0xFFFFF000 to 0x00000100 is 0x1100 = 4352 ms; a comparison of the raw
    // counts (now > start + period) would call this far in the past.
    TickClock clock(0xFFFFF000u);
    EXPECT_FALSE(clock.Tick(0x00000100u, 4352));
    EXPECT_TRUE(clock.Tick(0x00000100u, 4351));
    EXPECT_EQ(clock.Start(), 0x00000100u);

    TickClock monitor(0xFFFFFE00u);
    EXPECT_FALSE(monitor.Tick(0x000001E8u, TickClock::kMonitorPeriod)); // 1000 ms exactly
    EXPECT_TRUE(monitor.Tick(0x000001E9u, TickClock::kMonitorPeriod));
}

TEST(TickClock, IntervalsOutsideTheOptionsRange)
{
    // 0: due on every tick that saw at least one millisecond pass.
    TickClock zero(500);
    EXPECT_EQ(TickClock::TalkPeriod(0), 0u);
    EXPECT_FALSE(zero.Tick(500, 0));
    EXPECT_TRUE(zero.Tick(501, 0));

    // Negative: -1000 ms as unsigned, so due only after almost 50 days.
    const uint32_t negative = TickClock::TalkPeriod(-1);
    EXPECT_EQ(negative, 4294966296u);
    TickClock never(7);
    EXPECT_FALSE(never.Tick(7 + 4294966296u, negative));
    EXPECT_TRUE(never.Tick(7 + 4294966297u, negative));

    // The product wraps in 32 bits as the original's int arithmetic did:
    // 4294968 s * 1000 = 4294968000 = 2^32 + 704.
    EXPECT_EQ(TickClock::TalkPeriod(4294968), 704u);
    EXPECT_EQ(TickClock::TalkPeriod(9999), 9999000u);
    EXPECT_EQ(TickClock::TalkPeriod(-2147483647 - 1), 0u); // -2^31 * 1000 is a multiple of 2^32
}
