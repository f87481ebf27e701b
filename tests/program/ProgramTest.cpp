// The real ostra.exe under Wine, as a user runs it beside the host program:
// the stand-in host plays the host, the hook library runs inside it, and
// this test watches from outside through windows, the shared block, the
// host's log of what it received and the program's exit.
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OstraInstall.h"
#include "harness/Desktop.h"
#include "harness/StandinClient.h"
#include "pellow/HookMessages.h"

namespace {

constexpr DWORD kWaitMs = 15000;
constexpr size_t kBlockSize = 65536;
constexpr WPARAM kMainTimerId = 101; // the main window's 100 ms timer
const char kTitle[] = "おすとら for SSP";
const char kKaeruTitle[] = "かえる";

std::string Decimal(HWND window)
{
    return std::to_string(static_cast<int>(reinterpret_cast<INT_PTR>(window)));
}

// MD5 of a text as 32 lowercase hex digits, by the system's crypto provider.
std::string Md5Hex(const std::string& text)
{
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    std::string hex;
    if (CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        if (CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) {
            BYTE digest[16];
            DWORD length = sizeof digest;
            if (CryptHashData(hash, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()), 0) &&
                CryptGetHashParam(hash, HP_HASHVAL, digest, &length, 0)) {
                static const char digits[] = "0123456789abcdef";
                for (BYTE b : digest) {
                    hex += digits[b >> 4];
                    hex += digits[b & 15];
                }
            }
            CryptDestroyHash(hash);
        }
        CryptReleaseContext(provider, 0);
    }
    return hex;
}

// The shared block's bytes as another program reads them; empty when the
// block does not exist.
std::string ReadSharedBlock()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "Ostra");
    if (!mapping) return std::string();
    std::string bytes;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kBlockSize)) {
        bytes.assign(static_cast<const char*>(view), kBlockSize);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return bytes;
}

// The block for these (skin window, its text, host window) entries, written
// out as scripts of the host read it.
std::string ExpectedBlock(const std::vector<std::pair<HWND, HWND>>& entries, const std::string& name)
{
    std::string block("\x00\x00\x01\x00", 4); // 65536, little-endian
    for (const auto& entry : entries) {
        const std::string id = Md5Hex(Decimal(entry.first));
        block += id + ".hwnd\x01" + Decimal(entry.first) + "\r\n";
        block += id + ".name\x01" + name + "\r\n";
        block += id + ".target\x01" + Decimal(entry.second) + "\r\n";
    }
    block.resize(kBlockSize, '\0');
    return block;
}

std::vector<std::string> Payloads(const StandinClient& host, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const auto& record : host.Log())
        if (record.kind == "DSSTP" && record.payload.compare(0, prefix.size(), prefix) == 0)
            found.push_back(record.payload);
    return found;
}

std::string Notify(const std::string& event)
{
    return "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: " + event + "\r\nReference0: " + kKaeruTitle +
           "\r\nReference2: サンプル,どうぶつ\r\nCharset: Shift_JIS\r\n\r\n";
}

// The first visible pop-up menu window of a process.
HWND PopupMenuOf(DWORD processId)
{
    for (HWND menu : WindowsOfClass(processId, "#32768"))
        if (IsWindowVisible(menu)) return menu;
    return nullptr;
}

class ProgramTest : public ::testing::Test {
  protected:
    void TearDown() override
    {
        // The program ends as a user ends it, so the hook leaves the desktop.
        for (HWND main : WindowsOfClass(m_ostra.Id(), ostra::kMainWindowClass))
            PostMessageA(main, WM_COMMAND, 40001, 0);
        if (m_ostra.Id() && !m_ostra.Wait(kWaitMs)) m_ostra.Kill();
        m_host.Quit();
    }

    // Starts the program from an installation of the frog skin.
    void StartOstra(const std::string& settings = "")
    {
        // A folder of its own each time: the hook keeps the last copy's
        // library loaded in the desktop's processes for a while.
        ASSERT_TRUE(
            m_install.Make(::testing::UnitTest::GetInstance()->current_test_info()->name(), {"kaeru"}, settings));
        ASSERT_TRUE(m_install.Start(m_ostra));
        m_main = m_ostra.FindWindowOfClass(ostra::kMainWindowClass, kWaitMs);
        ASSERT_NE(m_main, nullptr);
    }

    void StartHost(const std::string& log = "host.log")
    {
        // A plain rectangle whose anchor point is (80, 200) of its client area.
        ASSERT_TRUE(m_host.Start({"--no-shape", "--pos", "300,150", "--answer", "132=80,200"}, log));
    }

    HWND WaitForSkin() const
    {
        HWND skin = m_ostra.FindWindowOfClass(ostra::kSkinWindowClass, kWaitMs);
        if (skin) WaitUntil([&] { return IsWindowVisible(skin) != FALSE; }, kWaitMs);
        return skin;
    }

    OstraInstall m_install;
    ChildProcess m_ostra;
    HWND m_main = nullptr;
    StandinClient m_host;
};

TEST_F(ProgramTest, SkinStandsBesideTheHostAndIsPublished)
{
    ASSERT_NO_FATAL_FAILURE(StartHost());
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);

    // The frog's bottom centre sits on the host's anchor point.
    RECT r{};
    GetWindowRect(skin, &r);
    POINT anchor{80, 200};
    ClientToScreen(m_host.Window(), &anchor);
    const int width = r.right - r.left;
    EXPECT_EQ(r.left, anchor.x - width / 2);
    EXPECT_EQ(r.bottom, anchor.y);

    // The host learns of its skin, and its scripts find it in the block.
    EXPECT_EQ(m_host.WaitFor("DSSTP", 1, kWaitMs).size(), 1u);
    EXPECT_TRUE(WaitUntil([&] { return !Payloads(m_host, Notify("OnOstraObjectCreate")).empty(); }, kWaitMs));
    EXPECT_EQ(Payloads(m_host, Notify("OnOstraObjectCreate")).size(), 1u);
    EXPECT_TRUE(ReadSharedBlock() == ExpectedBlock({{skin, m_host.Window()}}, kKaeruTitle));

    // The hook asks again for a host that has its skin: the same skin answers.
    DWORD_PTR again = 0;
    ASSERT_TRUE(SendMessageTimeoutA(m_main, ostra::WM_SKIN_ATTACH, reinterpret_cast<WPARAM>(m_host.Window()), 0,
                                    SMTO_ABORTIFHUNG, kWaitMs, &again));
    EXPECT_EQ(reinterpret_cast<HWND>(again), skin);
    DWORD_PTR lookup = 0;
    SendMessageTimeoutA(m_main, ostra::WM_SKIN_LOOKUP, reinterpret_cast<WPARAM>(m_host.Window()), 0, SMTO_ABORTIFHUNG,
                        kWaitMs, &lookup);
    EXPECT_EQ(reinterpret_cast<HWND>(lookup), skin);
    EXPECT_EQ(WindowsOfClass(m_ostra.Id(), ostra::kSkinWindowClass).size(), 1u);

    // The host goes without a word: the skin goes, and so does its entry.
    m_host.Process().Kill();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(skin); }, kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return ReadSharedBlock() == ExpectedBlock({}, ""); }, kWaitMs));
    EXPECT_TRUE(m_ostra.Running());
}

TEST_F(ProgramTest, StringRequestsFromAnotherProcessGetTwoHundredBytes)
{
    ASSERT_NO_FATAL_FAILURE(StartHost());
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);

    struct Case {
        UINT message;
        std::string text;
    } cases[] = {{ostra::kTitleRequest, kKaeruTitle},
                 {ostra::kGhostRequest, ""},
                 {ostra::kCategoryRequest, "サンプル,どうぶつ"}};
    for (const Case& c : cases) {
        std::vector<char> buffer(ostra::kStringRequestSize + 16, '\xCC');
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(skin, c.message, GetCurrentProcessId(), reinterpret_cast<LPARAM>(buffer.data()),
                                        SMTO_ABORTIFHUNG, kWaitMs, &result));
        EXPECT_EQ(result, 1u) << std::hex << c.message;
        std::string expected = c.text;
        expected.resize(ostra::kStringRequestSize, '\0');
        EXPECT_EQ(std::string(buffer.data(), ostra::kStringRequestSize), expected) << std::hex << c.message;
        // Exactly 200 bytes: what follows is untouched.
        EXPECT_EQ(std::string(buffer.data() + ostra::kStringRequestSize, 16), std::string(16, '\xCC'));
    }

    // A bogus address, in this process or claimed to be in the program's own:
    // nothing is written, the answer is 0, the program lives on.
    for (DWORD process : {GetCurrentProcessId(), m_ostra.Id(), DWORD{0}}) {
        DWORD_PTR result = 7;
        ASSERT_TRUE(SendMessageTimeoutA(skin, ostra::kTitleRequest, process, 0x10, SMTO_ABORTIFHUNG, kWaitMs, &result));
        EXPECT_EQ(result, 0u) << process;
    }
    // The peer's own extra request is not answered by a skin.
    char extra[ostra::kStringRequestSize] = {};
    DWORD_PTR result = 7;
    SendMessageTimeoutA(skin, ostra::kQuibbetExtraRequest, GetCurrentProcessId(), reinterpret_cast<LPARAM>(extra),
                        SMTO_ABORTIFHUNG, kWaitMs, &result);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(extra[0], '\0');
    EXPECT_TRUE(m_ostra.Running());
    EXPECT_TRUE(IsWindow(skin));
}

TEST_F(ProgramTest, SecondStartEndsSilentlyLeavingOneInstance)
{
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    ChildProcess second;
    ASSERT_TRUE(m_install.Start(second));
    ASSERT_TRUE(second.Wait(kWaitMs));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(AllWindowsOfClass(ostra::kMainWindowClass).size(), 1u);
    EXPECT_EQ(WindowsOfClass(m_ostra.Id(), ostra::kMainWindowClass).size(), 1u);
    EXPECT_TRUE(m_ostra.Running());
}

TEST_F(ProgramTest, HostStartedLaterGetsItsSkin)
{
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    EXPECT_TRUE(WindowsOfClass(m_ostra.Id(), ostra::kSkinWindowClass).empty());
    ASSERT_NO_FATAL_FAILURE(StartHost());
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadSharedBlock() == ExpectedBlock({{skin, m_host.Window()}}, kKaeruTitle);
        },
        kWaitMs));
}

TEST_F(ProgramTest, TalkControlSendsTheTalkRequestEverySecond)
{
    ASSERT_NO_FATAL_FAILURE(StartHost());
    ASSERT_NO_FATAL_FAILURE(StartOstra("[Ostra]\r\nSSTPRouting=0\r\nTalkControl=1\r\nTalkControlInterval=1\r\n"));
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);
    const std::string talk =
        "SEND SSTP/1.5\r\nSender: おすとら\r\nScript: \\a\\e\\e\r\nOptions: nodescript\r\nHWnd: " + Decimal(skin) +
        "\r\n\r\n";
    ASSERT_TRUE(WaitUntil([&] { return Payloads(m_host, "SEND").size() >= 2; }, kWaitMs));
    for (const std::string& sent : Payloads(m_host, "SEND"))
        EXPECT_EQ(sent, talk);
}

TEST_F(ProgramTest, EmptySkinFolderIsReportedAndTheProgramEnds)
{
    ASSERT_TRUE(m_install.Make("EmptySkinFolder", {}));
    ASSERT_TRUE(m_install.Start(m_ostra));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND dialog : WindowsOfClass(m_ostra.Id(), "#32770"))
                if (IsWindowVisible(dialog)) box = dialog;
            return box != nullptr;
        },
        kWaitMs));
    char caption[100] = {};
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ(caption, kTitle);
    // The message is the box's static text (id 0xFFFF in the system's boxes).
    struct Texts {
        std::vector<std::string> found;
    } texts;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM lp) -> BOOL {
            char name[32] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Static") == 0) {
                char text[200] = {};
                GetWindowTextA(child, text, sizeof text);
                if (text[0]) reinterpret_cast<Texts*>(lp)->found.push_back(text);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    EXPECT_EQ(texts.found, std::vector<std::string>{"スキンが読み込めませんでした。"});
    EXPECT_TRUE(WindowsOfClass(m_ostra.Id(), ostra::kMainWindowClass).empty());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(m_ostra.Wait(kWaitMs));
    EXPECT_EQ(m_ostra.ExitCode(), 0u);
}

TEST_F(ProgramTest, ExitCommandDestroysEverySkinAndReleasesTheInstance)
{
    ASSERT_NO_FATAL_FAILURE(StartHost());
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !Payloads(m_host, Notify("OnOstraObjectCreate")).empty(); }, kWaitMs));

    PostMessageA(m_main, WM_COMMAND, 40001, 0);
    ASSERT_TRUE(m_ostra.Wait(kWaitMs));
    EXPECT_EQ(m_ostra.ExitCode(), 0u);
    EXPECT_FALSE(IsWindow(skin));
    EXPECT_EQ(Payloads(m_host, Notify("OnOstraObjectDestroy")).size(), 1u);
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "ostra");
    EXPECT_EQ(mutex, nullptr);
    if (mutex) CloseHandle(mutex);
    HANDLE block = OpenFileMappingA(FILE_MAP_READ, FALSE, "Ostra");
    EXPECT_EQ(block, nullptr);
    if (block) CloseHandle(block);
    // The host keeps running, its window free of the skin's property.
    EXPECT_TRUE(m_host.Process().Running());
}

TEST_F(ProgramTest, SwitchAllSkinsChangesEverySkinAndRepublishes)
{
    // Two skins: the star comes first in the catalogue, the frog second.
    ASSERT_TRUE(m_install.Make("SwitchAll", {"hoshi", "kaeru"}));
    ASSERT_TRUE(m_install.Start(m_ostra));
    m_main = m_ostra.FindWindowOfClass(ostra::kMainWindowClass, kWaitMs);
    ASSERT_NE(m_main, nullptr);
    ASSERT_NO_FATAL_FAILURE(StartHost());
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] {
            return ReadSharedBlock() == ExpectedBlock({{skin, m_host.Window()}}, "ほし");
        },
        kWaitMs));

    // The tray menu's item for catalogue entry 1 reaches every skin window.
    PostMessageA(m_main, WM_COMMAND, 101, 0);
    EXPECT_TRUE(WaitUntil([&] { return !Payloads(m_host, Notify("OnOstraObjectChanged")).empty(); }, kWaitMs));
    EXPECT_EQ(Payloads(m_host, Notify("OnOstraObjectChanged")).size(), 1u);
    // The block names the skin window's new skin.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadSharedBlock() == ExpectedBlock({{skin, m_host.Window()}}, kKaeruTitle);
        },
        kWaitMs));
    // Ids beyond the skin range are not skins: nothing changes.
    PostMessageA(m_main, WM_COMMAND, 300, 0);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(m_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &ignored);
    SendMessageTimeoutA(skin, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &ignored);
    EXPECT_EQ(Payloads(m_host, "NOTIFY SSTP/1.1\r\nSender: おすとら\r\nEvent: OnOstraObjectChanging").size(), 1u);
}

TEST_F(ProgramTest, AHostWhoseSkinEndedGetsANewOne)
{
    ASSERT_TRUE(m_install.Make("SkinEnded", {"hoshi", "kaeru"}));
    ASSERT_TRUE(m_install.Start(m_ostra));
    m_main = m_ostra.FindWindowOfClass(ostra::kMainWindowClass, kWaitMs);
    ASSERT_NE(m_main, nullptr);
    ASSERT_NO_FATAL_FAILURE(StartHost());
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);

    // The frog's pictures go after the catalogue was read: switching to it
    // fails and the skin window ends while its host lives on.
    const std::string frog = m_install.Folder() + "\\skin\\kaeru\\";
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((frog + "*.png").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do
        ASSERT_TRUE(DeleteFileA((frog + found.cFileName).c_str()));
    while (FindNextFileA(find, &found));
    FindClose(find);
    PostMessageA(skin, WM_COMMAND, 101, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(skin); }, kWaitMs));

    // The main program finds the host without a skin and the host, still
    // hooked, takes a new one: the star again, published for that host.
    HWND next = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<HWND> skins = WindowsOfClass(m_ostra.Id(), ostra::kSkinWindowClass);
            next = skins.size() == 1 && IsWindowVisible(skins[0]) ? skins[0] : nullptr;
            return next && ReadSharedBlock() == ExpectedBlock({{next, m_host.Window()}}, "ほし");
        },
        kWaitMs));
    // It follows its host like the first one did.
    RECT before{};
    GetWindowRect(next, &before);
    ASSERT_TRUE(m_host.Control("move 360 170"));
    EXPECT_TRUE(WaitUntil(
        [&] {
            RECT now{};
            GetWindowRect(next, &now);
            return now.left == before.left + 60 && now.top == before.top + 20;
        },
        kWaitMs));
}

// Two skins "ontop" (the star) over two hosts that are not topmost share the
// top: the main window's rounds of checks leave them where they stand, and
// put both back above a window that came over them.
TEST_F(ProgramTest, SkinsOnTopShareTheTopAcrossRoundsOfChecks)
{
    ASSERT_TRUE(m_install.Make("SkinsOnTop", {"hoshi"}));
    ASSERT_TRUE(m_install.Start(m_ostra));
    m_main = m_ostra.FindWindowOfClass(ostra::kMainWindowClass, kWaitMs);
    ASSERT_NE(m_main, nullptr);
    ASSERT_NO_FATAL_FAILURE(StartHost());
    StandinClient second;
    ASSERT_TRUE(second.Start({"--no-shape", "--no-mutex", "--pos", "700,150"}, "second.log"));
    std::vector<HWND> skins;
    ASSERT_TRUE(WaitUntil(
        [&] {
            skins = WindowsOfClass(m_ostra.Id(), ostra::kSkinWindowClass);
            return skins.size() == 2 && IsWindowVisible(skins[0]) && IsWindowVisible(skins[1]);
        },
        kWaitMs));
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 500, 500, 50, 50, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);

    // A round of checks is what the 100 ms timer runs; sent here, it is
    // known to have run when the call returns.
    const auto round = [&] {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(m_main, WM_TIMER, kMainTimerId, 0, SMTO_ABORTIFHUNG, kWaitMs, &ignored) != 0;
    };
    const auto skinsOnTop = [&](const std::vector<HWND>& order) {
        for (HWND skin : skins) {
            if (GetWindowLongA(skin, GWL_EXSTYLE) & WS_EX_TOPMOST) return false;
            for (size_t i = 0; i < PlaceOf(order, skin); ++i)
                if (!(GetWindowLongA(order[i], GWL_EXSTYLE) & WS_EX_TOPMOST) &&
                    std::find(skins.begin(), skins.end(), order[i]) == skins.end())
                    return false;
        }
        return true;
    };
    ASSERT_TRUE(round());
    std::vector<HWND> before = StackingOrder();
    ASSERT_TRUE(skinsOnTop(before));
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(round());
        EXPECT_EQ(StackingOrder(), before) << "round " << i;
    }

    // The program's own timer may put them back before the round does:
    // either way it is the program's check that did.
    ASSERT_TRUE(SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    ASSERT_TRUE(round());
    EXPECT_TRUE(skinsOnTop(StackingOrder()));
    DestroyWindow(other);
    second.Quit();
}

TEST_F(ProgramTest, CommandTwoOfASkinWindowEndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(StartHost());
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);
    PostMessageA(skin, WM_COMMAND, 2, 0);
    ASSERT_TRUE(m_ostra.Wait(kWaitMs));
    EXPECT_EQ(m_ostra.ExitCode(), 0u);
    EXPECT_FALSE(IsWindow(skin));
}

TEST_F(ProgramTest, TrayMenuCommandReachesTheMainWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    // A click on the icon: the menu opens; its last item ends the program.
    PostMessageA(m_main, ostra::WM_TRAY_NOTIFY, 101, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = PopupMenuOf(m_ostra.Id())) != nullptr; }, kWaitMs));
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(m_ostra.Wait(kWaitMs));
    EXPECT_EQ(m_ostra.ExitCode(), 0u);
}

TEST_F(ProgramTest, AboutBoxShowsTheVersionAndHoldsOffTheTrayMenu)
{
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    PostMessageA(m_main, WM_COMMAND, 40006, 0);
    const std::string caption = std::string(kTitle) + "について";
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND dialog : WindowsOfClass(m_ostra.Id(), "#32770")) {
                char text[100] = {};
                GetWindowTextA(dialog, text, sizeof text);
                if (IsWindowVisible(dialog) && caption == text) box = dialog;
            }
            return box != nullptr;
        },
        kWaitMs));
    RECT client{};
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, 280);
    EXPECT_EQ(client.bottom, 150);
    HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    RECT button{};
    GetWindowRect(ok, &button);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.left, 182);
    EXPECT_EQ(button.top, 119);
    EXPECT_EQ(button.right - button.left, 88);
    EXPECT_EQ(button.bottom - button.top, 21);
    // The version comes from the program's own version resource.
    bool phaseShown = false;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[100] = {};
        GetWindowTextA(child, text, sizeof text);
        if (std::string(text) == "Phase 1.00") phaseShown = true;
    }
    EXPECT_TRUE(phaseShown);

    // While the box is open a click on the icon only beeps: no menu opens.
    // (Sent, so it is handled before the check; a menu would hold the send
    // until its time runs out and still be open then.)
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(
        SendMessageTimeoutA(m_main, ostra::WM_TRAY_NOTIFY, 101, WM_LBUTTONUP, SMTO_ABORTIFHUNG, 3000, &ignored));
    EXPECT_EQ(PopupMenuOf(m_ostra.Id()), nullptr);

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
    // Afterwards the menu opens again.
    PostMessageA(m_main, ostra::WM_TRAY_NOTIFY, 101, WM_LBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = PopupMenuOf(m_ostra.Id())) != nullptr; }, kWaitMs));
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(ProgramTest, SkinMenuFromTheKeyboardOpensAtTheSkinsCentre)
{
    ASSERT_NO_FATAL_FAILURE(StartHost());
    ASSERT_NO_FATAL_FAILURE(StartOstra());
    HWND skin = WaitForSkin();
    ASSERT_NE(skin, nullptr);
    RECT r{};
    GetWindowRect(skin, &r);
    // A menu asked for from the keyboard comes with the point (-1, -1).
    PostMessageA(skin, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(skin), MAKELPARAM(-1, -1));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = PopupMenuOf(m_ostra.Id())) != nullptr; }, kWaitMs));
    RECT m{};
    GetWindowRect(menu, &m);
    EXPECT_EQ(m.left, r.left + (r.right - r.left) / 2);
    EXPECT_EQ(m.top, r.top + (r.bottom - r.top) / 2);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return PopupMenuOf(m_ostra.Id()) == nullptr; }, kWaitMs));
    EXPECT_TRUE(IsWindow(skin));
}

} // namespace
