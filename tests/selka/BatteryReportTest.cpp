// The battery query's interpretation and its "only what changed" reporting.
#include <gtest/gtest.h>

#include "selka/BatteryReport.h"

using selka::BatteryReport;
using selka::PowerStatus;

namespace {
PowerStatus Status(uint8_t ac, uint8_t flag, uint8_t percent)
{
    PowerStatus s;
    s.queried = true;
    s.acLine = ac;
    s.batteryFlag = flag;
    s.percent = percent;
    return s;
}
} // namespace

TEST(BatteryReport, StateAndCharge)
{
    struct Case {
        PowerStatus status;
        int state, charge;
    };
    const Case cases[] = {
        {PowerStatus{}, 0, 100},       // the query failed
        {Status(0, 2, 37), 2, 37},     // on battery, low
        {Status(1, 8, 90), 1, 90},     // mains, charging
        {Status(1, 128, 255), 0, 100}, // mains, no system battery, unknown charge
        {Status(1, 255, 50), 0, 50},   // mains, battery state unknown
        {Status(255, 1, 80), 0, 80},   // unknown line state
        {Status(0, 1, 101), 2, 100},   // over 100 reads as 100
        {Status(0, 4, 0), 2, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BatteryReport::PowerState(c.status), c.state);
        EXPECT_EQ(BatteryReport::Charge(c.status), c.charge);
    }
}

TEST(BatteryReport, OnlyWhatChanged)
{
    BatteryReport report;
    int state = 77, charge = 77;
    // The first call reports both.
    EXPECT_TRUE(report.Report(Status(0, 1, 60), &state, &charge));
    EXPECT_EQ(state, 2);
    EXPECT_EQ(charge, 60);
    // Nothing changed: nothing written.
    state = charge = 77;
    EXPECT_FALSE(report.Report(Status(0, 1, 60), &state, &charge));
    EXPECT_EQ(state, 77);
    EXPECT_EQ(charge, 77);
    // Only the charge changed.
    EXPECT_TRUE(report.Report(Status(0, 1, 59), &state, &charge));
    EXPECT_EQ(state, 77);
    EXPECT_EQ(charge, 59);
    // Only the state changed; 255 keeps reading 100 after that.
    charge = 77;
    EXPECT_TRUE(report.Report(Status(1, 1, 59), &state, &charge));
    EXPECT_EQ(state, 1);
    EXPECT_EQ(charge, 77);
    EXPECT_TRUE(report.Report(Status(1, 1, 255), &state, &charge));
    EXPECT_EQ(charge, 100);
    // A null out pointer is skipped and its value stays unreported.
    EXPECT_TRUE(report.Report(Status(0, 1, 30), nullptr, &charge));
    EXPECT_EQ(charge, 30);
    EXPECT_TRUE(report.Report(Status(0, 1, 30), &state, nullptr));
    EXPECT_EQ(state, 2);
}
