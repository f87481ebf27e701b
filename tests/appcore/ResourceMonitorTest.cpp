// The resource monitor's level rule with exact event texts.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "app/ResourceMonitor.h"

namespace {

// "\h\s0システムリソースが" N "%を切りました。\e" in Shift_JIS; note the 0x5C
// trail byte of ソ (0x83 0x5C) inside the text.
std::string ResourceScript(const std::string& n)
{
    return "\x5C"
           "h\x5C"
           "s0\x83\x56\x83\x58\x83\x65\x83\x80\x83\x8A\x83\x5C\x81\x5B\x83\x58\x82\xAA" +
           n + "\x25\x82\xF0\x90\xD8\x82\xE8\x82\xDC\x82\xB5\x82\xBD\x81\x42\x5C" + "e";
}

void ExpectEvent(const std::optional<MonitorEvent>& event, const char* name, int value, bool withScript)
{
    ASSERT_TRUE(event.has_value()) << "expected " << name << " " << value;
    EXPECT_EQ(event->name, name);
    EXPECT_EQ(event->value, value);
    EXPECT_EQ(event->reference, std::to_string(value));
    if (withScript) {
        ASSERT_TRUE(event->script.has_value());
        EXPECT_EQ(*event->script, ResourceScript(std::to_string(value)));
    } else {
        EXPECT_FALSE(event->script.has_value()) << "a null script, not an empty one";
    }
}

} // namespace

TEST(ResourceMonitor, LowThenEnoughWithoutScript)
{
    ResourceMonitor monitor;
    ExpectEvent(monitor.Check(45), "OnSysResourceLow", 45, true);
    EXPECT_FALSE(monitor.Check(45));
    EXPECT_FALSE(monitor.Check(49));
    ExpectEvent(monitor.Check(50), "OnSysResourceEnough", 50, false);
    EXPECT_FALSE(monitor.Check(50));
    EXPECT_FALSE(monitor.Check(100));
}

TEST(ResourceMonitor, PlentyFromTheStartRaisesNothing)
{
    ResourceMonitor monitor;
    for (int percent : {50, 90, 100, 50})
        EXPECT_FALSE(monitor.Check(percent)) << percent;
    EXPECT_EQ(monitor.Level(), 0);
}

TEST(ResourceMonitor, CriticalLowAndBack)
{
    ResourceMonitor monitor;
    ExpectEvent(monitor.Check(20), "OnSysResourceCritical", 20, true);
    EXPECT_FALSE(monitor.Check(0));
    ExpectEvent(monitor.Check(30), "OnSysResourceLow", 30, true); // a rise into the low band
    EXPECT_FALSE(monitor.Check(10));                              // low reported: a fall to critical says nothing
    ExpectEvent(monitor.Check(60), "OnSysResourceEnough", 60, false);
    ExpectEvent(monitor.Check(29), "OnSysResourceCritical", 29, true);
}

TEST(ResourceMonitor, ComparisonsAreUnsigned)
{
    // A negative value is a huge unsigned one: plenty, never critical; the
    // event still carries it as the signed number it was.
    ResourceMonitor monitor;
    EXPECT_FALSE(monitor.Check(-1));
    ExpectEvent(monitor.Check(45), "OnSysResourceLow", 45, true);
    ExpectEvent(monitor.Check(-1), "OnSysResourceEnough", -1, false);
    EXPECT_FALSE(monitor.Check(-100));
    EXPECT_EQ(monitor.Level(), 0);
}
