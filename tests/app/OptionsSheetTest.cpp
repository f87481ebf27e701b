// The options sheet under Wine, driven from a second thread as a user would
// drive it, with real layered windows standing in for the skin windows.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/OptionsResource.h"
#include "app/SettingsFile.h"
#include "app/ShowOptions.h"
#include "framework/Application.h"
#include "framework/SpinEdit.h"
#include "harness/ModalDriver.h"
#include "harness/TestEnv.h"
#include "skin/LayeredWindow.h"

namespace {

const char kAppName[] = "おすとら";
const char kRestartNotice[] = "SSTPルーティング機能の設定の変更を有効にするためには、おすとらを再起動してください。";

class SettingsTestApplication : public Application {
  public:
    SettingsTestApplication() { SetName(kAppName); }
} g_app;

// Three layered windows in place of the main window's skin table.
class TestSkins : public SkinWindowList {
  public:
    TestSkins()
    {
        for (int i = 0; i < 3; ++i) {
            HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "skin", WS_POPUP | WS_VISIBLE, 10 + 70 * i, 600, 60,
                                     60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            ostra::MakeLayered(w);
            m_windows.push_back(w);
        }
    }
    ~TestSkins() override
    {
        for (HWND w : m_windows)
            DestroyWindow(w);
    }
    std::vector<HWND> SkinWindows() const override { return m_windows; }

    // The alpha of each window as the system holds it.
    std::vector<int> Alphas() const
    {
        std::vector<int> alphas;
        for (HWND w : m_windows) {
            BYTE alpha = 0;
            alphas.push_back(GetLayeredWindowAttributes(w, nullptr, &alpha, nullptr) ? alpha : -1);
        }
        return alphas;
    }

  private:
    std::vector<HWND> m_windows;
};

FARPROC FindNothing(HMODULE, LPCSTR)
{
    return nullptr;
}

class OptionsSheetTest : public testing::Test {
  protected:
    void SetUp() override
    {
        settingsFile = testenv::Join(testenv::FreshDir(testing::UnitTest::GetInstance()->current_test_info()->name()),
                                     "ostra.ini");
        ASSERT_EQ(std::vector<int>(3, 255), skins.Alphas());
    }
    // What the main window does: run the sheet, save when it was confirmed.
    bool RunSheet(std::function<void(ModalDriver&)> script)
    {
        bool confirmed;
        {
            ModalDriver driver("オプション", std::move(script));
            confirmed = ShowOptions(nullptr, settings, skins);
        }
        if (confirmed) SaveSettingsTo(settingsFile, settings);
        return confirmed;
    }

    Settings settings;
    TestSkins skins;
    std::string settingsFile;
};

TEST_F(OptionsSheetTest, OpensCentredWithoutHelpButtonShowingTheSettings)
{
    settings.TalkControlInterval = 75;
    settings.AlphaValue = 60;
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    bool confirmed = RunSheet([&](ModalDriver& d) {
        RECT frame;
        GetWindowRect(d.Dialog(), &frame);
        EXPECT_LE(std::abs((frame.left + frame.right) - (area.left + area.right)), 1);
        EXPECT_LE(std::abs((frame.top + frame.bottom) - (area.top + area.bottom)), 1);
        EXPECT_EQ(0, GetWindowLongPtrA(d.Dialog(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);

        // The page's texts, byte for byte in the system code page.
        const struct {
            int id;
            const char* text;
        } texts[] = {{IDC_OPTIONS_ROUTING, "SSTPルーティング(11000→9801)(&R)"},
                     {IDC_OPTIONS_TALK, "ゴーストトークコントローラ(&T)"},
                     {IDC_OPTIONS_FREQUENCY, "会話頻度(&I) :"},
                     {IDC_OPTIONS_SECONDS, "秒"},
                     {IDC_OPTIONS_TRANSPARENCY, "透明度(&R)"},
                     {IDC_OPTIONS_TRACK_LOW, "0%"},
                     {IDC_OPTIONS_TRACK_HIGH, "90%"}};
        for (const auto& t : texts)
            EXPECT_EQ(t.text, ModalDriver::Text(d.PageItem(t.id))) << t.id;
        EXPECT_EQ("標準設定", ModalDriver::Text(d.Page()));

        EXPECT_EQ(BST_CHECKED, SendMessageA(d.PageItem(IDC_OPTIONS_ROUTING), BM_GETCHECK, 0, 0));
        EXPECT_EQ(BST_UNCHECKED, SendMessageA(d.PageItem(IDC_OPTIONS_TALK), BM_GETCHECK, 0, 0));
        HWND track = d.PageItem(IDC_OPTIONS_TRACK);
        EXPECT_EQ(0, SendMessageA(track, TBM_GETRANGEMIN, 0, 0));
        EXPECT_EQ(90, SendMessageA(track, TBM_GETRANGEMAX, 0, 0));
        EXPECT_EQ(40, SendMessageA(track, TBM_GETPOS, 0, 0));
        EXPECT_EQ("40", ModalDriver::Text(d.PageItem(IDC_OPTIONS_TRACK_VALUE)));
        HWND interval = d.PageItem(IDC_OPTIONS_INTERVAL);
        EXPECT_EQ("75", ModalDriver::Text(GetDlgItem(interval, kSpinEditEditId)));
        EXPECT_TRUE(IsWindowEnabled(track));

        // The talk controls follow their check box.
        for (int id : {IDC_OPTIONS_FREQUENCY, IDC_OPTIONS_INTERVAL, IDC_OPTIONS_SECONDS})
            EXPECT_FALSE(IsWindowEnabled(d.PageItem(id))) << id;
        ModalDriver::Click(d.PageItem(IDC_OPTIONS_TALK));
        for (int id : {IDC_OPTIONS_FREQUENCY, IDC_OPTIONS_INTERVAL, IDC_OPTIONS_SECONDS})
            EXPECT_TRUE(IsWindowEnabled(d.PageItem(id))) << id;
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(interval, kSpinEditEditId)));
        ModalDriver::Click(d.PageItem(IDC_OPTIONS_TALK));
        EXPECT_FALSE(IsWindowEnabled(d.PageItem(IDC_OPTIONS_INTERVAL)));

        ModalDriver::Click(d.Item(IDCANCEL));
    });
    EXPECT_FALSE(confirmed);
}

TEST_F(OptionsSheetTest, TheTrackBarPreviewsOnEverySkinAndCancelRestores)
{
    std::vector<int> whileDragged;
    std::string label;
    bool confirmed = RunSheet([&](ModalDriver& d) {
        ModalDriver::Key(d.PageItem(IDC_OPTIONS_TRACK), VK_END);
        whileDragged = skins.Alphas();
        label = ModalDriver::Text(d.PageItem(IDC_OPTIONS_TRACK_VALUE));
        ModalDriver::Click(d.Item(IDCANCEL));
    });
    EXPECT_EQ(std::vector<int>(3, 25), whileDragged); // 10% opaque at once
    EXPECT_EQ("90", label);
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(100, settings.AlphaValue);
    EXPECT_EQ(std::vector<int>(3, 255), skins.Alphas());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(settingsFile.c_str())); // nothing written
}

TEST_F(OptionsSheetTest, OkKeepsTheOpacityAndTheTalkSettings)
{
    std::vector<int> afterStep;
    int notices = -1;
    bool confirmed = RunSheet([&](ModalDriver& d) {
        HWND track = d.PageItem(IDC_OPTIONS_TRACK);
        ModalDriver::Key(track, VK_RIGHT); // one step: 99% opaque
        afterStep = skins.Alphas();
        ModalDriver::Key(track, VK_END);
        ModalDriver::Click(d.PageItem(IDC_OPTIONS_TALK));
        SetWindowTextA(GetDlgItem(d.PageItem(IDC_OPTIONS_INTERVAL), kSpinEditEditId), "15");
        notices = d.PressOkAnsweringBoxes(kAppName, nullptr);
    });
    EXPECT_EQ(0, notices);                          // the routing did not change: no notice
    EXPECT_EQ(std::vector<int>(3, 252), afterStep); // 99% of 255, truncated
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(std::vector<int>(3, 25), skins.Alphas());
    EXPECT_EQ(10, settings.AlphaValue);
    EXPECT_TRUE(settings.TalkControl);
    EXPECT_EQ(15, settings.TalkControlInterval);
    EXPECT_TRUE(settings.SSTPRouting);
    EXPECT_EQ("[Ostra]\r\nSSTPRouting=1\r\nTalkControl=1\r\nTalkControlInterval=15\r\nAlphaValue=10\r\n",
              testenv::ReadFile(settingsFile));
}

TEST_F(OptionsSheetTest, ChangedRoutingShowsTheRestartNoticeOnce)
{
    int notices = 0;
    std::vector<std::string> noticeTexts;
    bool confirmed = RunSheet([&](ModalDriver& d) {
        ModalDriver::Click(d.PageItem(IDC_OPTIONS_ROUTING));
        notices = d.PressOkAnsweringBoxes(kAppName, &noticeTexts);
    });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(1, notices);
    ASSERT_EQ(1u, noticeTexts.size());
    EXPECT_EQ(kRestartNotice, noticeTexts[0]);
    EXPECT_FALSE(settings.SSTPRouting);
    EXPECT_EQ("[Ostra]\r\nSSTPRouting=0\r\nTalkControl=0\r\nTalkControlInterval=60\r\nAlphaValue=100\r\n",
              testenv::ReadFile(settingsFile));
}

TEST_F(OptionsSheetTest, WithoutLayeredWindowsTheTransparencyControlsAreDisabled)
{
    ostra::SetLayeredFunctionLookup(FindNothing);
    bool confirmed = RunSheet([&](ModalDriver& d) {
        for (int id : {IDC_OPTIONS_TRANSPARENCY, IDC_OPTIONS_TRACK, IDC_OPTIONS_TRACK_VALUE, IDC_OPTIONS_TRACK_LOW,
                       IDC_OPTIONS_TRACK_HIGH})
            EXPECT_FALSE(IsWindowEnabled(d.PageItem(id))) << id;
        EXPECT_TRUE(IsWindowEnabled(d.PageItem(IDC_OPTIONS_ROUTING)));
        EXPECT_TRUE(IsWindowEnabled(d.PageItem(IDC_OPTIONS_TALK)));
        ModalDriver::Click(d.Item(IDCANCEL));
    });
    ostra::SetLayeredFunctionLookup(nullptr);
    EXPECT_FALSE(confirmed);
}

} // namespace
