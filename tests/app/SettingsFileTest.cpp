// The settings file as the private-profile functions write it, compared byte
// for byte with the expected text, and files written by hand read back.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "app/SettingsFile.h"
#include "harness/TestEnv.h"
#include "skin/LayeredWindow.h"

namespace {

std::string FreshFile(const std::string& name)
{
    return testenv::Join(testenv::FreshDir(name), "ostra.ini");
}

TEST(SettingsFile, WithoutAFileTheDefaultsApply)
{
    Settings s = LoadSettingsFrom(FreshFile("missing"));
    EXPECT_TRUE(s.SSTPRouting);
    EXPECT_FALSE(s.TalkControl);
    EXPECT_EQ(60, s.TalkControlInterval);
    EXPECT_EQ(100, s.AlphaValue);
}

TEST(SettingsFile, SavingWritesTheFourKeysInOrder)
{
    std::string file = FreshFile("save");
    SaveSettingsTo(file, Settings{});
    EXPECT_EQ("[Ostra]\r\nSSTPRouting=1\r\nTalkControl=0\r\nTalkControlInterval=60\r\nAlphaValue=100\r\n",
              testenv::ReadFile(file));

    Settings changed;
    changed.SSTPRouting = false;
    changed.TalkControl = true;
    changed.TalkControlInterval = 9999;
    changed.AlphaValue = 10;
    SaveSettingsTo(file, changed);
    EXPECT_EQ("[Ostra]\r\nSSTPRouting=0\r\nTalkControl=1\r\nTalkControlInterval=9999\r\nAlphaValue=10\r\n",
              testenv::ReadFile(file));
    Settings back = LoadSettingsFrom(file);
    EXPECT_FALSE(back.SSTPRouting);
    EXPECT_TRUE(back.TalkControl);
    EXPECT_EQ(9999, back.TalkControlInterval);
    EXPECT_EQ(10, back.AlphaValue);
}

TEST(SettingsFile, OtherSectionsStayWhenTheSettingsAreSaved)
{
    std::string file = FreshFile("sections");
    ASSERT_TRUE(testenv::WriteFile(file, "[C:\\PROGRA~1\\SSP\\SSP.EXE]\r\nSkinPath=usagi\r\n"));
    SaveSettingsTo(file, Settings{});
    char skin[64] = {};
    GetPrivateProfileStringA("C:\\PROGRA~1\\SSP\\SSP.EXE", "SkinPath", "", skin, sizeof skin, file.c_str());
    EXPECT_STREQ("usagi", skin);
    EXPECT_EQ(100, LoadSettingsFrom(file).AlphaValue);
}

TEST(SettingsFile, StoredValuesAreReadUncheckedAndTheOpacityFromTheirLowByte)
{
    std::string file = FreshFile("odd");
    ASSERT_TRUE(testenv::WriteFile(
        file, "[Ostra]\r\nSSTPRouting=5\r\nTalkControl=-1\r\nTalkControlInterval=-3\r\nAlphaValue=300\r\n"));
    Settings s = LoadSettingsFrom(file);
    EXPECT_TRUE(s.SSTPRouting);
    EXPECT_TRUE(s.TalkControl);
    EXPECT_EQ(-3, s.TalkControlInterval);
    EXPECT_EQ(300, s.AlphaValue);

    // A skin window given that opacity gets alpha 112: 44% (the low byte of 300) of 255.
    HWND skin = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "skin", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(skin);
    ASSERT_TRUE(ostra::MakeLayered(skin));
    EXPECT_TRUE(ostra::ApplyTransparency(skin, transparency::OpacityPercent(s.AlphaValue)));
    BYTE alpha = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(skin, nullptr, &alpha, nullptr));
    EXPECT_EQ(112, alpha);
    DestroyWindow(skin);

    // A section without the keys, or keys without numbers, give the defaults.
    ASSERT_TRUE(testenv::WriteFile(file, "[Ostra]\r\nAlphaValue=\r\nTalkControl=yes\r\n"));
    s = LoadSettingsFrom(file);
    EXPECT_TRUE(s.SSTPRouting);
    EXPECT_EQ(60, s.TalkControlInterval);
    EXPECT_EQ(100, s.AlphaValue);
    EXPECT_FALSE(s.TalkControl); // not a number: 0
}

} // namespace
