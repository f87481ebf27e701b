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

TEST(SettingsRecord, StoredNumbersAreTakenAsTheyAre)
{
    Settings s = settingsfile::FromValues({5, -1, 0, 300});
    EXPECT_TRUE(s.SSTPRouting); // any nonzero value
    EXPECT_TRUE(s.TalkControl);
    EXPECT_EQ(0, s.TalkControlInterval); // not clamped to 1..9999
    EXPECT_EQ(300, s.AlphaValue);
    s = settingsfile::FromValues({0, 0, 12000, -4});
    EXPECT_FALSE(s.SSTPRouting);
    EXPECT_FALSE(s.TalkControl);
    EXPECT_EQ(12000, s.TalkControlInterval);
    EXPECT_EQ(-4, s.AlphaValue);
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

TEST(SettingsRecord, TheTrackBarShowsTransparency)
{
    EXPECT_EQ(0, transparency::TrackPosition(100));
    EXPECT_EQ(90, transparency::TrackPosition(10));
    EXPECT_EQ(100, transparency::AlphaValueAt(0));
    EXPECT_EQ(10, transparency::AlphaValueAt(transparency::kTrackMaximum));
    EXPECT_EQ(0, transparency::kTrackMinimum);
}

} // namespace
