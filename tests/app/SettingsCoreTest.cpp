// The settings record's defaults, its keys in file order and the way stored
// numbers become settings, opacities and track-bar positions.
#include "app/Settings.h"
#include "skin/OpacityAlpha.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(SettingsRecord, DefaultsGoToTheFileUnderTheirKeysInOrder)
{
    settingsfile::Entries entries = settingsfile::ToEntries(Settings{});
    const char* keys[] = {"SSTPRouting", "TalkControl", "TalkControlInterval", "AlphaValue"};
    const int values[] = {1, 0, 60, 100};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(std::string(keys[i]), entries[i].key) << i;
        EXPECT_EQ(values[i], entries[i].value) << keys[i];
    }
    EXPECT_EQ(std::string("Ostra"), settingsfile::kSection);

    Settings changed;
    changed.SSTPRouting = false;
    changed.TalkControl = true;
    changed.TalkControlInterval = -5;
    changed.AlphaValue = 10;
    entries = settingsfile::ToEntries(changed);
    EXPECT_EQ(0, entries[0].value);
    EXPECT_EQ(1, entries[1].value);
    EXPECT_EQ(-5, entries[2].value);
    EXPECT_EQ(10, entries[3].value);
}

TEST(SettingsRecord, OpacityComesFromTheLowByteOfTheStoredValue)
{
    const struct {
        int stored;
        unsigned percent;
        unsigned alpha;
    } cases[] = {{100, 100, 255}, {10, 10, 25}, {300, 44, 112}, {256, 0, 0}, {-156, 100, 255}, {50, 50, 127}};
    for (const auto& c : cases) {
        unsigned char percent = transparency::OpacityPercent(c.stored);
        EXPECT_EQ(c.percent, percent) << c.stored;
        EXPECT_EQ(c.alpha, ostra::OpacityAlpha(percent)) << c.stored;
    }
}

} // namespace
