// The resource monitor's level rule with exact event texts.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ResourceMonitor.h"

namespace {

// "\h\s0システムリソースが" N "%を切りました。\e" in Shift_JIS; ソ is 0x83 0x5C.
std::string Script(const std::string& n)
{
    return "\\h\\s0\x83\x56\x83\x58\x83\x65\x83\x80\x83\x8A\x83\x5C\x81\x5B\x83\x58\x82\xAA" + n +
           "%\x82\xF0\x90\xD8\x82\xE8\x82\xDC\x82\xB5\x82\xBD\x81\x42\\e";
}

struct Step {
    int percent;
    const char* event; // nullptr: nothing raised
};

void Replay(const std::vector<Step>& steps)
{
    ResourceMonitor monitor;
    for (const Step& s : steps) {
        const std::optional<MonitorEvent> event = monitor.Check(s.percent);
        if (!s.event) {
            EXPECT_FALSE(event) << s.percent << "% raised " << event->name;
            continue;
        }
        ASSERT_TRUE(event) << s.percent << "%: expected " << s.event;
        EXPECT_EQ(event->name, s.event);
        EXPECT_EQ(event->reference, std::to_string(s.percent));
        if (event->kind == MonitorEventKind::SysResourceEnough)
            EXPECT_FALSE(event->script) << "a null script, not an empty one";
        else
            EXPECT_EQ(event->script, Script(std::to_string(s.percent)));
    }
}

} // namespace

TEST(ResourceMonitor, LowThenEnoughWithoutScript)
{
    Replay({{45, "OnSysResourceLow"}, {49, nullptr}, {50, "OnSysResourceEnough"}, {50, nullptr}});
}

TEST(ResourceMonitor, PlentyFromTheStartRaisesNothing)
{
    Replay({{50, nullptr}, {100, nullptr}, {50, nullptr}});
}

TEST(ResourceMonitor, CriticalLowAndBack)
{
    Replay({{20, "OnSysResourceCritical"},
            {0, nullptr},
            {30, "OnSysResourceLow"},
            {10, nullptr},
            {60, "OnSysResourceEnough"},
            {29, "OnSysResourceCritical"}});
}

TEST(ResourceMonitor, ComparisonsAreUnsigned)
{
    // A negative value is a huge unsigned one: plenty; the event still carries it signed.
    Replay({{-1, nullptr}, {45, "OnSysResourceLow"}, {-1, "OnSysResourceEnough"}, {-100, nullptr}});
}
