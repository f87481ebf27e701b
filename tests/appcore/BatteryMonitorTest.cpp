// The battery monitor's level rule, fed through selka's BatteryReport (the
// logic behind GetBatteryStatus), which writes only the values that changed:
// so the sequences also prove that the monitor keeps what was reported before.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/BatteryMonitor.h"
#include "selka/BatteryReport.h"

namespace {

// "\h\s0バッテリー残量が" N "%を切りました。\e" in Shift_JIS, byte by byte.
std::string Script(const std::string& n)
{
    return "\\h\\s0\x83\x6F\x83\x62\x83\x65\x83\x8A\x81\x5B\x8E\x63\x97\xCA\x82\xAA" + n +
           "%\x82\xF0\x90\xD8\x82\xE8\x82\xDC\x82\xB5\x82\xBD\x81\x42\\e";
}

struct Step {
    int acLine; // 0 on battery, 1 on mains
    int percent;
    const char* event; // nullptr: nothing raised
};

void Replay(const std::vector<Step>& steps)
{
    selka::BatteryReport query;
    BatteryMonitor monitor;
    EXPECT_FALSE(monitor.Check()) << "nothing reported yet: not on battery";
    for (const Step& s : steps) {
        selka::PowerStatus status;
        status.queried = true;
        status.acLine = static_cast<uint8_t>(s.acLine);
        status.batteryFlag = 1;
        status.percent = static_cast<uint8_t>(s.percent);
        query.Report(status, monitor.PowerStateOut(), monitor.ChargeOut());
        const std::optional<MonitorEvent> event = monitor.Check();
        const std::string where = "line " + std::to_string(s.acLine) + ", " + std::to_string(s.percent) + "%";
        if (!s.event) {
            EXPECT_FALSE(event) << where << " raised " << event->name;
            continue;
        }
        ASSERT_TRUE(event) << where << ": expected " << s.event;
        EXPECT_EQ(event->name, s.event) << where;
        EXPECT_EQ(event->reference, std::to_string(s.percent)) << where;
        EXPECT_EQ(event->script, Script(std::to_string(s.percent))) << where;
    }
}

} // namespace

TEST(BatteryMonitor, LowOnceThenCriticalOnlyAfterTheChargeWasBackAtForty)
{
    Replay({{0, 35, "OnBatteryLow"},
            {0, 35, nullptr},
            {0, 15, nullptr},
            {0, 39, nullptr},
            {0, 40, nullptr},
            {0, 15, "OnBatteryCritical"},
            {0, 15, nullptr},
            {0, 3, nullptr}});
}

TEST(BatteryMonitor, CriticalFromTheStartThenLowOnTheWayUp)
{
    Replay({{0, 10, "OnBatteryCritical"}, {0, 25, "OnBatteryLow"}, {0, 30, nullptr}, {0, 100, nullptr}});
}

TEST(BatteryMonitor, OnlyOnBatteryAndWithTheChargeReportedBefore)
{
    // Unplugged at an unchanged 10%, the query writes only the power state:
    // the monitor must use the 10 it kept. Charged on mains and unplugged at
    // 15%, nothing: only a charge of 40 or more seen on battery rearms.
    Replay({{1, 10, nullptr},
            {0, 10, "OnBatteryCritical"},
            {1, 10, nullptr},
            {1, 60, nullptr},
            {0, 15, nullptr},
            {0, 40, nullptr},
            {0, 22, "OnBatteryLow"}});
}

TEST(BatteryMonitor, ComparisonsAreSigned)
{
    BatteryMonitor monitor; // values as a query could write them, outside 0..100
    *monitor.PowerStateOut() = 2;
    *monitor.ChargeOut() = -1;
    const std::optional<MonitorEvent> critical = monitor.Check();
    ASSERT_TRUE(critical);
    EXPECT_EQ(critical->name, "OnBatteryCritical");
    EXPECT_EQ(critical->script, Script("-1"));
    *monitor.ChargeOut() = 1000;
    EXPECT_FALSE(monitor.Check());
    EXPECT_EQ(monitor.Level(), 0);
}
