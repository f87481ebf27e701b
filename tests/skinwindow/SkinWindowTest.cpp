// Skin windows on real windows under Wine: this program plays the main
// program (TestMainWindow), the stand-in host plays the host program, the
// hook library runs inside it and reports the host window, and the skins
// carry a recording script module built beside this test.
#include <windows.h>
#include <shlobj.h> // DROPFILES

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "SkinTestFolder.h"
#include "TestMainWindow.h"
#include "harness/Desktop.h"
#include "harness/StandinClient.h"
#include "harness/TestEnv.h"
#include "pellow/HookMessages.h"
#include "pellow/pellow.h"
#include "skin/SkinWindow.h"

namespace {

constexpr DWORD kAttachWaitMs = 15000;

RECT WindowRectOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::string Decimal(HWND window)
{
    return std::to_string(static_cast<int>(reinterpret_cast<INT_PTR>(window)));
}

// The NOTIFY a skin sends its host, written out as the protocol defines it.
std::string Notify(const std::string& event, const std::string& title, const std::string& ghost,
                   const std::string& category)
{
    std::string text = "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: " + event + "\r\n";
    if (!title.empty()) text += "Reference0: " + title + "\r\n";
    if (!ghost.empty()) text += "Reference1: " + ghost + "\r\n";
    if (!category.empty()) text += "Reference2: " + category + "\r\n";
    return text + "Charset: Shift_JIS\r\n\r\n";
}

// A module's event request, written out as the protocol defines it.
std::string ModuleRequest(const std::string& event, const std::vector<std::string>& references)
{
    std::string text = "GET Sentence DORVY/2.0\r\nSender: Nobody\r\nEvent: " + event + "\r\n";
    for (size_t i = 0; i < references.size(); ++i)
        text += "Reference" + std::to_string(i) + ": " + references[i] + "\r\n";
    return text + "Charset: Shift_JIS\r\n\r\n";
}

const std::string kVersionProbe = "GET Version SHIORI/2.0\r\nSender: Nobody\r\nCharset: Shift_JIS\r\n\r\n";

std::vector<std::string> DsstpPayloads(const StandinClient& host, HWND from)
{
    std::vector<std::string> texts;
    for (const auto& record : host.Log())
        if (record.kind == "DSSTP" && standin::FieldValue(record.fields, "from") == Decimal(from))
            texts.push_back(record.payload);
    return texts;
}

// The notices from one skin window, once there are 'count' of them; this
// thread handles messages meanwhile (the hook's report that makes the skin
// send one waits for it only a bounded time).
std::vector<std::string> WaitForNotices(const StandinClient& host, HWND from, size_t count)
{
    PumpUntil([&] { return DsstpPayloads(host, from).size() >= count; }, 5000);
    return DsstpPayloads(host, from);
}

std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return std::string(buffer, n);
}

class SkinWindowTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = MakeSkinTestFolder(name);
        ASSERT_FALSE(folder.root.empty());
        ASSERT_TRUE(main.Open(folder.root, folder.settings));
    }
    void TearDown() override
    {
        // The hook of the test, always removed again.
        SetupHook(main.Handle(), 0);
        PumpFor(50);
        main.Close();
        EXPECT_EQ(SkinWindow::LiveCount(), 0) << "a skin object outlived its window";
    }

    // Starts a stand-in host at the example position: client origin
    // (1000, 500), query 132 unanswered, 128 the documented rectangle.
    bool StartHost(StandinClient& host, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"--pos",   "1000,500", "--no-shape",        "--answer",
                                      "132=0,0", "--answer", "128=100,20,200,220"};
        args.insert(args.end(), extra.begin(), extra.end());
        return host.Start(args, "host_" + std::to_string(++hostCount) + ".log");
    }

    // Closes the host window; the main window's z-order check drops its skin.
    void CloseHost(StandinClient& host)
    {
        PostMessageA(host.Window(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return main.SkinOf(host.Window()) == nullptr; }, 10000))
            << "the skin outlived its host";
        host.Quit();
    }

    // Starts a host (StartHost), installs the hook and waits for the skin.
    SkinWindow* StartWithSkin(StandinClient& host, std::vector<std::string> extra = {})
    {
        if (!StartHost(host, extra)) {
            ADD_FAILURE() << "the stand-in host did not start";
            return nullptr;
        }
        if (SetupHook(main.Handle(), 1) != 1) {
            ADD_FAILURE() << "the hook could not be installed";
            return nullptr;
        }
        SkinWindow* skin = WaitForSkin(host.Window());
        if (!skin)
            ADD_FAILURE() << "no skin window within " << kAttachWaitMs << " ms; attach requests "
                          << main.attachRequests;
        return skin;
    }

    SkinWindow* WaitForSkin(HWND host)
    {
        PumpUntil([&] { return main.SkinOf(host) != nullptr && GetPropA(host, ostra::kHostSkinProperty); },
                  kAttachWaitMs);
        return main.SkinOf(host);
    }

    TestMainWindow main;
    SkinTestFolder folder;
    int hostCount = 0;
};

} // namespace

TEST_F(SkinWindowTest, CreatedForTheHostAtTheExamplePositionReportedAndFollowing)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();

    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "DLVOstraClass");
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "かえる");
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Anchor (150, 120) from query 128; a 64 x 48 skin with baseadjust 0.
    RECT r = WindowRectOf(window);
    EXPECT_EQ(r.left, 1118);
    EXPECT_EQ(r.top, 572);
    EXPECT_EQ(r.right - r.left, 64);
    EXPECT_EQ(r.bottom - r.top, 48);
    EXPECT_EQ(skin->CurrentSurface(), 0);

    // The window's shape is the picture's.
    ExpectWindowShapeIsPicture(window, folder.frogShape);

    // The module heard of the creation, with the window handle first; the
    // host, through the hook's WM_SKIN_EVENT 0, without it.
    const std::vector<std::string> frog = ModuleRequests(folder.frog);
    const std::vector<std::string> expectedModule{
        "load " + folder.frog + "\\", kVersionProbe,
        ModuleRequest("OnOstraObjectCreate", {Decimal(window), "かえる", "", "テスト,どうぶつ"})};
    EXPECT_EQ(frog, expectedModule);
    const std::vector<std::string> notices = WaitForNotices(host, window, 1);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], Notify("OnOstraObjectCreate", "かえる", "", "テスト,どうぶつ"));

    // The host moves: the skin follows (the hook reports the move once the
    // host stands at its new place; the placement comes right after).
    ASSERT_TRUE(host.Control("move 900 300"));
    EXPECT_TRUE(PumpUntil([&] { return WindowRectOf(window).left == 1018 && WindowRectOf(window).top == 372; }, 5000))
        << "skin at " << WindowRectOf(window).left << "," << WindowRectOf(window).top;
}

TEST_F(SkinWindowTest, ASkinThatCannotBeLoadedGivesNoSkinWindow)
{
    // The first skin's pictures are not pictures: its creation fails, the
    // attach is answered with no skin, and its module is released again.
    ASSERT_TRUE(testenv::WriteFile(folder.frog + "\\surface0.png", "not a picture"));
    ASSERT_TRUE(testenv::WriteFile(folder.frog + "\\surface1.png", "not a picture"));
    StandinClient host;
    ASSERT_TRUE(StartHost(host));
    ASSERT_EQ(SetupHook(main.Handle(), 1), 1);
    PumpUntil([&] { return main.attachRequests >= 2; }, kAttachWaitMs);
    EXPECT_GE(main.attachRequests, 2) << "the hook asks again on the next notify";
    EXPECT_EQ(main.SkinCount(), 0u);
    EXPECT_EQ(SkinWindow::LiveCount(), 0);
    EXPECT_EQ(GetPropA(host.Window(), ostra::kHostSkinProperty), nullptr);
    const std::vector<std::string> frog = ModuleRequests(folder.frog);
    ASSERT_GE(frog.size(), 3u);
    EXPECT_EQ(frog[1], kVersionProbe);
    EXPECT_EQ(frog[2], "unload") << "no event reaches the module of a skin that failed";
    for (const auto& record : host.Log())
        EXPECT_NE(record.kind, "DSSTP") << "no skin, no notice: " << record.payload;
}

TEST_F(SkinWindowTest, PaintsItsSurfaceInsideItsShape)
{
    // Beside a host on the screen: anchor (150, 120) of a host at (300, 200).
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host, {"--pos", "300,200"});
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 5000));
    PumpFor(300);
    const RECT r = WindowRectOf(window);
    ASSERT_EQ(r.left, 300 + 150 - 32);
    HDC screen = GetDC(nullptr);
    const COLORREF middle = GetPixel(screen, r.left + 32, r.top + 24);
    const COLORREF corner = GetPixel(screen, r.left, r.top);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(middle, RGB(40, 160, 60)) << std::hex << middle;
    EXPECT_NE(corner, RGB(255, 0, 255)) << "the background colour is cut away";
}

TEST_F(SkinWindowTest, SwitchingNotifiesInOrderRemembersTheSkinAndRestartsTheModule)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    ASSERT_EQ(WaitForNotices(host, window, 1).size(), 1u);

    // Entry 1 of the catalogue: "b_star".
    SendMessageA(window, WM_COMMAND, 101, 0);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(skin->Definition().name, "b_star");
    EXPECT_EQ(main.changedNotices, 1);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "ほし");

    const std::vector<std::string> expectedHost{
        Notify("OnOstraObjectCreate", "かえる", "", "テスト,どうぶつ"),
        Notify("OnOstraObjectChanging", "かえる", "", "テスト,どうぶつ"),
        Notify("OnOstraObjectChanged", "ほし", "さくら", "テスト"),
    };
    EXPECT_EQ(DsstpPayloads(host, window), expectedHost);

    // The old module hears the end of its skin, then is unloaded; the new
    // one is loaded, probed and hears the creation.
    const std::vector<std::string> frog = ModuleRequests(folder.frog);
    ASSERT_EQ(frog.size(), 5u);
    EXPECT_EQ(frog[3], ModuleRequest("OnOstraObjectDestroy", {"かえる", "", "テスト,どうぶつ"}));
    EXPECT_EQ(frog[4], "unload");
    const std::vector<std::string> star = ModuleRequests(folder.star);
    const std::vector<std::string> expectedStar{
        "load " + folder.star + "\\", kVersionProbe,
        ModuleRequest("OnOstraObjectCreate", {Decimal(window), "ほし", "さくら", "テスト"})};
    EXPECT_EQ(star, expectedStar);

    // The skin is remembered for the host's program under its short path.
    char remembered[64] = {};
    const std::string section = ShortPath(testenv::Join(testenv::ToolsDir(), "ssp.exe"));
    ASSERT_FALSE(section.empty());
    GetPrivateProfileStringA(section.c_str(), "SkinPath", "", remembered, sizeof remembered, folder.settings.c_str());
    EXPECT_STREQ(remembered, "b_star");

    // b_star has offsets 10 / -5 and the same size.
    RECT r = WindowRectOf(window);
    EXPECT_EQ(r.left, 1128);
    EXPECT_EQ(r.top, 567);
    ExpectWindowShapeIsPicture(window, folder.starShape);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(window, ostra::kSkinAboveProperty)), 1) << "b_star is ontop";

    // A new window of the same host program starts with the remembered skin.
    CloseHost(host);
    StandinClient second;
    ASSERT_TRUE(StartHost(second));
    SkinWindow* again = WaitForSkin(second.Window());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Definition().name, "b_star");
}

TEST_F(SkinWindowTest, DropsItselfWhenItsHostGoesAway)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();

    // Killed: the main window's z-order check (WM_SKIN_CHECK on its timer)
    // finds the host gone.
    host.Process().Kill();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 10000));
    EXPECT_EQ(main.SkinCount(), 0u);
    EXPECT_EQ(main.destroyedNotices, 1);
    EXPECT_EQ(SkinWindow::LiveCount(), 0);
    const std::vector<std::string> frog = ModuleRequests(folder.frog);
    ASSERT_GE(frog.size(), 2u);
    EXPECT_EQ(frog[frog.size() - 2], ModuleRequest("OnOstraObjectDestroy", {"かえる", "", "テスト,どうぶつ"}));
    EXPECT_EQ(frog.back(), "unload");

    // A host that closes normally.
    StandinClient second;
    ASSERT_TRUE(StartHost(second));
    ASSERT_NE(WaitForSkin(second.Window()), nullptr);
    CloseHost(second);
    EXPECT_EQ(SkinWindow::LiveCount(), 0);
    EXPECT_EQ(main.destroyedNotices, 2);
}

TEST_F(SkinWindowTest, ADetachDuringASentenceWaitEndsTheSentenceAndFreesTheSkinAfterwards)
{
    // b_star's module answers the creation with a sentence that waits, and
    // asks for the skin to be dropped: the drop arrives during the wait.
    WriteScript(folder.star, "OnOstraObjectCreate\t\\s1\\w9\\w9\\w9\\s0\\e\r\ndetach\tOnOstraObjectCreate\r\n");
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();

    SendMessageA(window, WM_COMMAND, 101, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(main.SkinCount(), 0u);
    EXPECT_EQ(main.destroyedNotices, 1);
    EXPECT_EQ(main.changedNotices, 0) << "the switch ended with its window";
    EXPECT_EQ(SkinWindow::LiveCount(), 0) << "freed once the switch handler returned";
    const std::vector<std::string> star = ModuleRequests(folder.star);
    ASSERT_EQ(star.size(), 5u);
    EXPECT_EQ(star[3], ModuleRequest("OnOstraObjectDestroy", {"ほし", "さくら", "テスト"}));
    EXPECT_EQ(star[4], "unload");
}

TEST_F(SkinWindowTest, ADetachDuringTheInformationDialogFreesTheSkinOnceTheDialogEnds)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();

    // Both requests wait in the queue until the dialog's modal loop takes
    // them: first the drop (as a detach), then the end of the dialog.
    PostMessageA(main.Handle(), TestMainWindow::kDropSkinRequest, reinterpret_cast<WPARAM>(window), 0);
    PostMessageA(main.Handle(), TestMainWindow::kCloseDialogs, 0, 0);
    SendMessageA(window, WM_COMMAND, 40006, 0);
    EXPECT_EQ(main.dialogsAtDrop, 1) << "the drop arrived while the dialog was open";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(main.SkinCount(), 0u);
    EXPECT_EQ(main.destroyedNotices, 1);
    EXPECT_EQ(SkinWindow::LiveCount(), 0) << "freed once the command handler returned";
    const std::vector<std::string> frog = ModuleRequests(folder.frog);
    ASSERT_GE(frog.size(), 2u);
    EXPECT_EQ(frog.back(), "unload");
}

TEST_F(SkinWindowTest, AHungHostCostsOneQueryPerPlacement)
{
    StandinClient host;
    ASSERT_TRUE(
        host.Start({"--pos", "300,200", "--no-shape", "--size", "160,240", "--answer", "132=hang"}, "hung.log"));
    ASSERT_EQ(SetupHook(main.Handle(), 1), 1);
    SkinWindow* skin = WaitForSkin(host.Window());
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    // Every later query of a placement counts as unanswered: the region
    // decides, the top centre of the host's 160 x 240 box.
    RECT r = WindowRectOf(window);
    EXPECT_EQ(r.left, 300 + 80 - 32);
    EXPECT_EQ(r.top, 200 - 48);

    SendMessageA(window, ostra::WM_SKIN_FOLLOW, 0, 0);
    PumpFor(3500); // the host answers the last hung query late
    int zeroIndex = 0;
    for (const auto& record : host.Log()) {
        if (record.kind != "QUERY") continue;
        EXPECT_EQ(standin::FieldValue(record.fields, "index"), "0") << record.fields;
        EXPECT_EQ(standin::FieldValue(record.fields, "code"), "132") << record.fields;
        ++zeroIndex;
    }
    EXPECT_GE(zeroIndex, 2) << "the creation's placements and the follow each asked once";
}

// The host's position queries in its log: "code=... index=..." of each.
std::vector<std::string> QueriesIn(const StandinClient& host)
{
    std::vector<std::string> queries;
    for (const auto& record : host.Log())
        if (record.kind == "QUERY")
            queries.push_back("code=" + standin::FieldValue(record.fields, "code") +
                              " index=" + standin::FieldValue(record.fields, "index"));
    return queries;
}

TEST_F(SkinWindowTest, ABurstOfHostMovesEndsWithTheSkinAtTheLastPlaceAfterOnePlacement)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    PumpFor(300);
    const std::size_t queriesBefore = QueriesIn(host).size();

    // Ten moves while this thread, the main program's, only answers what is
    // sent to it (as it does while it waits in a send of its own): the host
    // is not asked where its character stands while it moves, and its
    // reports leave one placement for later.
    const int xs[] = {900, 640, 10, 333, 700, 128, 515, 64, 800, 420};
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(host.Control("move " + std::to_string(xs[i]) + " " + std::to_string(100 + 7 * i)));
    EXPECT_EQ(QueriesIn(host).size(), queriesBefore) << "the host was queried while it moved";

    // The one placement puts the skin beside the host's last place: anchor
    // (150, 120) (query 132 unanswered, the centre of 128's rectangle), a
    // 64 x 48 skin with baseadjust 0, client origin (420, 163).
    EXPECT_TRUE(PumpUntil([&] { return WindowRectOf(window).left == 420 + 118; }, 5000));
    PumpFor(300);
    const RECT r = WindowRectOf(window);
    EXPECT_EQ(r.left, 538);
    EXPECT_EQ(r.top, 163 + 72);
    EXPECT_EQ(r.right - r.left, 64);
    EXPECT_EQ(r.bottom - r.top, 48);
    const std::vector<std::string> queries = QueriesIn(host);
    const std::vector<std::string> onePlacement{"code=132 index=0", "code=132 index=1", "code=128 index=0",
                                                "code=128 index=1", "code=128 index=2", "code=128 index=3"};
    ASSERT_GE(queries.size(), queriesBefore);
    EXPECT_EQ(std::vector<std::string>(queries.begin() + queriesBefore, queries.end()), onePlacement);

    // Another burst, and the hook removed before the placement it left
    // runs: the skin window and its object go, the placement is lost with
    // the window, and nothing asks the host any more.
    // (The test main window's discovery stops first, so that no new skin is
    // made for the host while the hook goes away.)
    KillTimer(main.Handle(), TestMainWindow::kNotifyTimer);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(host.Control("move " + std::to_string(200 + 50 * i) + " 300"));
    EXPECT_EQ(SetupHook(main.Handle(), 0), 1);
    EXPECT_FALSE(IsWindow(window));
    PumpFor(300);
    EXPECT_EQ(main.SkinCount(), 0u);
    EXPECT_EQ(SkinWindow::LiveCount(), 0);
    EXPECT_EQ(QueriesIn(host).size(), queries.size()) << "a placement ran for a skin that is gone";
    EXPECT_TRUE(host.Control("move 10 10")) << "the host runs on";
}

TEST_F(SkinWindowTest, TheCreationGivesTheForegroundBack)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SkinTestForeground";
    RegisterClassA(&wc);
    // The host first (its window comes to the front when it shows), then the
    // user's window, then the hook, which brings the host's skin.
    StandinClient host;
    ASSERT_TRUE(StartHost(host));
    HWND typing = CreateWindowExA(0, "SkinTestForeground", "typing here", WS_POPUP | WS_VISIBLE, 20, 20, 200, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(typing, nullptr);
    SetForegroundWindow(typing);
    PumpFor(100);
    ASSERT_EQ(GetForegroundWindow(), typing);

    ASSERT_EQ(SetupHook(main.Handle(), 1), 1);
    SkinWindow* skin = WaitForSkin(host.Window());
    ASSERT_NE(skin, nullptr);
    PumpFor(100);
    EXPECT_EQ(GetForegroundWindow(), typing) << "skin " << skin->Handle() << " host " << host.Window();
    DestroyWindow(typing);
}

TEST_F(SkinWindowTest, TransparencySettingReachesTheLayeredWindow)
{
    main.SetTransparency(50);
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    EXPECT_TRUE(GetWindowLongA(skin->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 1;
    ASSERT_TRUE(GetLayeredWindowAttributes(skin->Handle(), &key, &alpha, &flags));
    EXPECT_EQ(alpha, 127);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(key, 0u);
}

namespace {

// Plays the peer program Quibbet: answers the four string requests by writing
// its texts into the asking process's buffer (here: this process).
LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const char* answer = nullptr;
    switch (message) {
    case ostra::kTitleRequest:
        answer = "ボール";
        break;
    case ostra::kGhostRequest:
        answer = "";
        break;
    case ostra::kCategoryRequest:
        answer = "おもちゃ,まるい";
        break;
    case ostra::kQuibbetExtraRequest:
        answer = "12";
        break;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (static_cast<DWORD>(wParam) != GetCurrentProcessId()) return 0;
    lstrcpynA(reinterpret_cast<char*>(lParam), answer, static_cast<int>(ostra::kStringRequestSize));
    return 1;
}

} // namespace

TEST_F(SkinWindowTest, MouseAndPeerEventsReachTheModuleWithExactReferences)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    const size_t before = ModuleRequests(folder.frog).size();

    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-3), 20));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 47));
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(0, 0));
    // Turned towards the user: a negative delta; screen coordinates.
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(1130, 590));

    WNDCLASSA wc{};
    wc.lpfnWndProc = PeerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SkinTestQuibbet";
    RegisterClassA(&wc);
    HWND peer = CreateWindowExA(0, "SkinTestQuibbet", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(peer, nullptr);
    const UINT quibbet = RegisterWindowMessageA("Quibbet");
    SendMessageA(window, quibbet, 2, reinterpret_cast<LPARAM>(peer));
    SendMessageA(window, quibbet, 9, reinterpret_cast<LPARAM>(peer));
    SendMessageA(window, quibbet, 1, 0x7FFF0); // not a window: ignored
    DestroyWindow(peer);

    const std::vector<std::string> requests = ModuleRequests(folder.frog);
    const std::vector<std::string> added(requests.begin() + static_cast<std::ptrdiff_t>(before), requests.end());
    const std::vector<std::string> expected{
        ModuleRequest("OnMouseMove", {"-3", "20"}),
        ModuleRequest("OnMouseClick", {"10", "47"}),
        ModuleRequest("OnMouseDoubleClick", {"0", "0"}),
        ModuleRequest("OnMouseWheel", {"1130", "590", "-120"}),
        ModuleRequest("OnQuibbetObjectDrop", {"ボール", "", "おもちゃ,まるい", "12"}),
        ModuleRequest("OnQuibbetObjectEmerge", {"ボール", "", "おもちゃ,まるい", "12"}),
    };
    EXPECT_EQ(added, expected);
}

TEST_F(SkinWindowTest, StringRequestsAndHostNotificationsByEventCode)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();

    // The title, zero-padded to exactly 200 bytes; the byte after stays.
    char buffer[201];
    FillMemory(buffer, sizeof buffer, '#');
    EXPECT_EQ(SendMessageA(window, ostra::kTitleRequest, 0, reinterpret_cast<LPARAM>(buffer)), 1);
    EXPECT_EQ(std::string(buffer, 200), std::string("かえる") + std::string(200 - 6, '\0'));
    EXPECT_EQ(buffer[200], '#');
    FillMemory(buffer, sizeof buffer, '#');
    EXPECT_EQ(SendMessageA(window, ostra::kCategoryRequest, GetCurrentProcessId(), reinterpret_cast<LPARAM>(buffer)),
              1);
    EXPECT_STREQ(buffer, "テスト,どうぶつ");
    FillMemory(buffer, sizeof buffer, '#');
    EXPECT_EQ(SendMessageA(window, ostra::kGhostRequest, 0, reinterpret_cast<LPARAM>(buffer)), 1);
    EXPECT_EQ(buffer[0], '\0');
    FillMemory(buffer, sizeof buffer, '#');
    EXPECT_EQ(SendMessageA(window, ostra::kQuibbetExtraRequest, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '#') << "0x8068 is not answered";
    // A sender that is not this thread may not name an address of ours: it
    // would have us write wherever it likes.
    std::pair<HWND, char*> args{window, buffer};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* context) -> DWORD {
            auto* args = static_cast<std::pair<HWND, char*>*>(context);
            DWORD_PTR result = 99;
            SendMessageTimeoutA(args->first, ostra::kTitleRequest, 0, reinterpret_cast<LPARAM>(args->second),
                                SMTO_NORMAL, 5000, &result);
            return static_cast<DWORD>(result);
        },
        &args, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 10000);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(buffer[0], '#');

    // WM_SKIN_EVENT by code: the host hears the event named by the code with
    // title, ghost and category; an unknown code has an empty event line.
    ASSERT_EQ(WaitForNotices(host, window, 1).size(), 1u);
    for (WPARAM code : {1, 2, 3, 4, 7})
        SendMessageA(window, ostra::WM_SKIN_EVENT, code, 0);
    const std::vector<std::string> expected{
        Notify("OnOstraObjectCreate", "かえる", "", "テスト,どうぶつ"),
        Notify("OnOstraObjectDestroy", "かえる", "", "テスト,どうぶつ"),
        Notify("OnOstraObjectChanged", "かえる", "", "テスト,どうぶつ"),
        Notify("OnOstraObjectChanging", "かえる", "", "テスト,どうぶつ"),
        Notify("OnOstraObjectInstalled", "かえる", "", "テスト,どうぶつ"),
        Notify("", "かえる", "", "テスト,どうぶつ"),
    };
    EXPECT_EQ(DsstpPayloads(host, window), expected);
}

TEST_F(SkinWindowTest, KeepsItsPlaceInTheStackingOrderBesideTheHost)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    // a_frog is not "ontop": directly behind its host after a check.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(window, ostra::WM_SKIN_CHECK, 0, 0);
    EXPECT_EQ(GetWindow(host.Window(), GW_HWNDNEXT), window);

    // b_star is: above it, at the top of the non-topmost windows.
    SendMessageA(window, WM_COMMAND, 101, 0);
    ASSERT_TRUE(IsWindow(window));
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(window, ostra::WM_SKIN_CHECK, 0, 0);
    bool hostBelow = false;
    for (HWND w = GetWindow(window, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        hostBelow = hostBelow || w == host.Window();
    EXPECT_TRUE(hostBelow);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// The check runs ten times a second: a skin that stands in its place is left
// there, with every other window (the host above all) where it was; a skin
// another window pushed out of place is put back by the next check.
TEST_F(SkinWindowTest, TheStackingCheckLeavesASkinInPlaceAloneAndPutsBackOnePushedAway)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SkinTestOther";
    RegisterClassA(&wc);
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    HWND other = CreateWindowExA(0, "SkinTestOther", "another program", WS_POPUP | WS_VISIBLE, 300, 300, 100, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);

    // a_frog, behind its host: the other window comes between them.
    SendMessageA(window, ostra::WM_SKIN_CHECK, 0, 0);
    ASSERT_EQ(GetWindow(host.Window(), GW_HWNDNEXT), window);
    std::vector<HWND> before = StackingOrder();
    SendMessageA(window, ostra::WM_SKIN_CHECK, 0, 0);
    EXPECT_EQ(StackingOrder(), before);
    SetWindowPos(other, host.Window(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(GetWindow(host.Window(), GW_HWNDNEXT), other);
    SendMessageA(window, ostra::WM_SKIN_CHECK, 0, 0);
    EXPECT_EQ(GetWindow(host.Window(), GW_HWNDNEXT), window);

    // b_star, "ontop": first of the windows that are not topmost. Placed
    // again while in place, its host would sink below the next window.
    SendMessageA(window, WM_COMMAND, 101, 0);
    ASSERT_TRUE(IsWindow(window));
    SendMessageA(window, ostra::WM_SKIN_CHECK, 0, 0);
    before = StackingOrder();
    ASSERT_LT(PlaceOf(before, window), PlaceOf(before, host.Window()));
    for (size_t i = 0; i < PlaceOf(before, window); ++i)
        ASSERT_TRUE(GetWindowLongA(before[i], GWL_EXSTYLE) & WS_EX_TOPMOST);
    for (int check = 0; check < 3; ++check)
        SendMessageA(window, ostra::WM_SKIN_CHECK, 0, 0);
    EXPECT_EQ(StackingOrder(), before);
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(GetWindow(other, GW_HWNDNEXT), window) << "the other window did not come above the skin";
    SendMessageA(window, ostra::WM_SKIN_CHECK, 0, 0);
    EXPECT_EQ(GetWindow(window, GW_HWNDNEXT), other);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DestroyWindow(other);
}

namespace {

// The Direct SSTP answers that 'host' received from the skin window.
std::vector<std::string> AnswersFrom(const StandinClient& host, HWND skin)
{
    std::vector<std::string> answers;
    for (const std::string& text : DsstpPayloads(host, skin))
        if (text.rfind("SSTP/1.1 ", 0) == 0) answers.push_back(text);
    return answers;
}

} // namespace

TEST_F(SkinWindowTest, PlaysASendRequestAnsweringItsSenderAndRefusesASecondWhilePlaying)
{
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    StandinClient other; // a second program that sends while the first script plays
    ASSERT_TRUE(StartHost(other));

    HRGN before = CreateRectRgn(0, 0, 1, 1);
    ASSERT_NE(GetWindowRgn(window, before), ERROR);

    // The second sender waits until the first request was answered (the
    // answer goes out before the script plays) and the script's first
    // command shows surface 1, whose shape differs from surface 0's; the
    // script then still waits, and the second request comes in meanwhile.
    HRGN during = CreateRectRgn(0, 0, 1, 1);
    bool sentSecond = false;
    bool gotDuring = false;
    using SecondArgs = std::tuple<StandinClient*, StandinClient*, HWND, HRGN, HRGN, bool*, bool*>;
    SecondArgs args(&host, &other, window, before, during, &sentSecond, &gotDuring);
    HANDLE second = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto [first, other, window, before, during, sentSecond, gotDuring] = *static_cast<SecondArgs*>(p);
            // Deadlines only end a broken run instead of hanging it.
            const DWORD until = GetTickCount() + 30000;
            while (AnswersFrom(*first, window).empty() && GetTickCount() < until)
                Sleep(20);
            while (!*gotDuring && GetTickCount() < until) {
                *gotDuring = GetWindowRgn(window, during) != ERROR && !EqualRgn(before, during);
                if (!*gotDuring) Sleep(5);
            }
            *sentSecond = other->Control("send " + Decimal(window) + "\n\\s0\\e");
            return 0;
        },
        &args, 0, nullptr);
    ASSERT_NE(second, nullptr);

    // The first request: from the host, answer to its window (HWnd).
    ASSERT_TRUE(host.Control("send " + Decimal(window) + "\n\\s1\\w9\\w9\\w9\\w9\\w9\\w9\\s0\\e", 30000));
    PumpUntil([&] { return WaitForSingleObject(second, 0) == WAIT_OBJECT_0; }, 60000);
    WaitForSingleObject(second, INFINITE); // it uses this frame's objects
    CloseHandle(second);

    EXPECT_EQ(AnswersFrom(host, window), std::vector<std::string>{"SSTP/1.1 200 OK\r\n"});
    EXPECT_TRUE(sentSecond);
    EXPECT_EQ(AnswersFrom(other, window), std::vector<std::string>{"SSTP/1.1 409 Conflict\r\n"})
        << "the request that came while a script played";
    // Surface 1 showed during the script, surface 0 again after it.
    EXPECT_TRUE(gotDuring) << "surface 1 never showed";
    HRGN after = CreateRectRgn(0, 0, 1, 1);
    ASSERT_NE(GetWindowRgn(window, after), ERROR);
    EXPECT_TRUE(EqualRgn(before, after));
    EXPECT_EQ(skin->CurrentSurface(), 0);
    EXPECT_FALSE(skin->Sentences().IsPlaying());
    DeleteObject(before);
    DeleteObject(during);
    DeleteObject(after);
    other.Quit();
}

TEST_F(SkinWindowTest, AnArchiveDroppedOnTheSkinIsInstalledReportedAndReloaded)
{
    // plain.zip (Info-ZIP): no title, no extractpath, ghost "G", category
    // "a,b", members in sub-folders.
    const char* archives = getenv("OSTRA_INSTALL_ARCHIVES");
    ASSERT_NE(archives, nullptr) << "the archives fixture did not run";
    StandinClient host;
    SkinWindow* skin = StartWithSkin(host);
    ASSERT_NE(skin, nullptr);
    HWND window = skin->Handle();
    WaitForNotices(host, window, 1);

    // A real drop of two files: only the first is installed.
    std::string list = std::string(archives) + "\\plain.zip" + '\0' + archives + "\\deep.zip" + '\0' + '\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    ASSERT_NE(block, nullptr);
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    files->pFiles = sizeof(DROPFILES);
    CopyMemory(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(block);
    ASSERT_TRUE(PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0));

    EXPECT_TRUE(PumpUntil([&] { return main.reloads == 1; }, 15000)) << "no reload after the drop";
    EXPECT_NE(GetFileAttributesA((folder.root + "\\plain\\sub\\dir\\deep.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((folder.root + "\\outer").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the second dropped file was installed too";
    bool listed = false;
    for (const SkinDefinition& entry : main.Catalogue().Entries())
        listed = listed || entry.name == "plain";
    EXPECT_TRUE(listed) << "the new skin is not in the catalogue";

    const std::vector<std::string> notices = WaitForNotices(host, window, 2);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1], "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnOstraObjectInstalled\r\n"
                          "Reference0: plain\r\nReference1: G\r\nReference2: a,b\r\n"
                          "Script: \\h\\s0おすとら用スキン\\n\\n「plain」\\n\\nインストール完了。\\e\r\n"
                          "Options: nodescript\r\nCharset: Shift_JIS\r\n\r\n");
    const std::vector<std::string> frog = ModuleRequests(folder.frog);
    ASSERT_FALSE(frog.empty());
    EXPECT_EQ(frog.back(), ModuleRequest("OnOstraObjectInstalled", {"plain", "G", "a,b"}));
}
