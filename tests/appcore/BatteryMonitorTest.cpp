// The battery monitor's level rule, fed through the battery query's own
// reporting (selka's BatteryReport, the logic behind GetBatteryStatus), which
// writes only the values that changed: so these sequences also prove that the
// monitor keeps what was reported before.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "app/BatteryMonitor.h"
#include "selka/BatteryReport.h"

namespace {

// "\h\s0バッテリー残量が" N "%を切りました。\e" in Shift_JIS, spelt out byte by byte.
std::string BatteryScript(const std::string& n)
{
    return "\x5C"
           "h\x5C"
           "s0\x83\x6F\x83\x62\x83\x65\x83\x8A\x81\x5B\x8E\x63\x97\xCA\x82\xAA" +
           n + "\x25\x82\xF0\x90\xD8\x82\xE8\x82\xDC\x82\xB5\x82\xBD\x81\x42\x5C" + "e";
}

class Machine {
  public:
    // One check: the system reports this line state (0 on battery, 1 on
    // mains) and charge, the query writes what changed, the monitor decides.
    std::optional<MonitorEvent> Check(uint8_t acLine, uint8_t percent)
    {
        selka::PowerStatus status;
        status.queried = true;
        status.acLine = acLine;
        status.batteryFlag = 1; // a battery is present, charge high
        status.percent = percent;
        m_query.Report(status, m_monitor.PowerStateOut(), m_monitor.ChargeOut());
        return m_monitor.Check();
    }
    std::optional<MonitorEvent> OnBattery(uint8_t percent) { return Check(0, percent); }
    std::optional<MonitorEvent> OnMains(uint8_t percent) { return Check(1, percent); }

    BatteryMonitor& Monitor() { return m_monitor; }

  private:
    selka::BatteryReport m_query;
    BatteryMonitor m_monitor;
};

void ExpectEvent(const std::optional<MonitorEvent>& event, const char* name, int value)
{
    ASSERT_TRUE(event.has_value()) << "expected " << name << " " << value;
    EXPECT_EQ(event->name, name);
    EXPECT_EQ(event->value, value);
    EXPECT_EQ(event->reference, std::to_string(value));
    ASSERT_TRUE(event->script.has_value());
    EXPECT_EQ(*event->script, BatteryScript(std::to_string(value)));
}

} // namespace

TEST(BatteryMonitor, LowOnceThenNothingUntilTheChargeWasBackAtForty)
{
    Machine m;
    auto low = m.OnBattery(35);
    ExpectEvent(low, "OnBatteryLow", 35);
    EXPECT_EQ(low->kind, MonitorEventKind::BatteryLow);
    EXPECT_EQ(*low->script, "\\h\\s0\x83\x6F\x83\x62\x83\x65\x83\x8A\x81\x5B\x8E\x63\x97\xCA\x82\xAA"
                            "35%\x82\xF0\x90\xD8\x82\xE8\x82\xDC\x82\xB5\x82\xBD\x81\x42\\e");
    EXPECT_FALSE(m.OnBattery(35)); // nothing changed, nothing written
    EXPECT_FALSE(m.OnBattery(15)); // low was reported: no critical
    EXPECT_FALSE(m.OnBattery(39));
    EXPECT_FALSE(m.OnBattery(40)); // rearms, raises nothing
    ExpectEvent(m.OnBattery(15), "OnBatteryCritical", 15);
    EXPECT_FALSE(m.OnBattery(15));
    EXPECT_FALSE(m.OnBattery(3));
}

TEST(BatteryMonitor, CriticalFromTheStartThenLowOnTheWayUp)
{
    Machine m;
    ExpectEvent(m.OnBattery(10), "OnBatteryCritical", 10);
    ExpectEvent(m.OnBattery(25), "OnBatteryLow", 25);
    EXPECT_FALSE(m.OnBattery(30));
    EXPECT_FALSE(m.OnBattery(100)); // no event for a recovered battery
    EXPECT_EQ(m.Monitor().Level(), 0);
}

TEST(BatteryMonitor, OnlyOnBatteryAndWithTheLastReportedCharge)
{
    Machine m;
    EXPECT_FALSE(m.Monitor().Check()); // nothing reported yet: not on battery
    EXPECT_FALSE(m.OnMains(10));       // low charge on mains raises nothing
    // Unplugged at the same charge: the query writes only the power state; the
    // charge the monitor must use is the 10 it kept from before.
    ExpectEvent(m.OnBattery(10), "OnBatteryCritical", 10);
    // Plugged in again, charged, unplugged at 60: the level is rearmed only by
    // a charge of 40 or more seen on battery.
    EXPECT_FALSE(m.OnMains(10));
    EXPECT_FALSE(m.OnMains(60));
    EXPECT_EQ(m.Monitor().Level(), 1);
    EXPECT_FALSE(m.OnBattery(60)); // only the state is written now
    EXPECT_EQ(m.Monitor().Level(), 0);
    ExpectEvent(m.OnBattery(22), "OnBatteryLow", 22);
}

TEST(BatteryMonitor, ComparisonsAreSigned)
{
    // Values as a query could write them, outside 0..100: a negative charge is
    // below 20 when compared signed.
    BatteryMonitor monitor;
    *monitor.PowerStateOut() = 2;
    *monitor.ChargeOut() = -1;
    auto critical = monitor.Check();
    ASSERT_TRUE(critical);
    EXPECT_EQ(critical->name, "OnBatteryCritical");
    EXPECT_EQ(critical->reference, "-1");
    EXPECT_EQ(*critical->script, BatteryScript("-1"));
    *monitor.ChargeOut() = 1000;
    EXPECT_FALSE(monitor.Check());
    EXPECT_EQ(monitor.Level(), 0);
    *monitor.PowerStateOut() = -2; // not state 2: nothing, whatever the charge
    *monitor.ChargeOut() = 5;
    EXPECT_FALSE(monitor.Check());
}
