// The hook library across real processes under Wine: this program plays the
// main program (FakeMainProgram), private copies of the stand-in host play
// the host program, and pellow.dll runs inside them.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <string>

#include <gtest/gtest.h>

#include "FakeMainProgram.h"
#include "ScratchHost.h"
#include "harness/ChildProcess.h"
#include "pellow/HookMessages.h"
#include "pellow/pellow.h"

namespace {

constexpr DWORD kAttachWaitMs = 10000; // many notify periods: the host may still be loading the library

// Installs the hook for one test and always removes it again.
class InstalledHook {
public:
    explicit InstalledHook(HWND main) : m_main(main), m_result(SetupHook(main, 1)) {}
    ~InstalledHook() { Remove(); }
    InstalledHook(const InstalledHook&) = delete;
    InstalledHook& operator=(const InstalledHook&) = delete;
    int Result() const { return m_result; }
    int Remove()
    {
        if (m_result != 1) return -1;
        m_result = 0;
        return SetupHook(m_main, 0);
    }

private:
    HWND m_main;
    int m_result;
};

HWND SkinProperty(HWND host)
{
    return static_cast<HWND>(GetPropA(host, ostra::kHostSkinProperty));
}

std::string LoadedLibraryPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("pellow.dll"), path, sizeof path);
    return path;
}

std::string ProgramDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

// Starts the program that calls SetupHook from another process, on the
// library this process loaded (the shared section belongs to that file).
// Process creation under Wine has been seen to fail once under heavy load:
// tried three times, the error reported.
::testing::AssertionResult StartProbe(ChildProcess& probe)
{
    DWORD error = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (probe.Start(ProgramDir() + "\\pellow_setup_probe.exe", {LoadedLibraryPath()}))
            return ::testing::AssertionSuccess();
        error = GetLastError();
        Sleep(500);
    }
    return ::testing::AssertionFailure() << "pellow_setup_probe.exe did not start, error " << error;
}

class HookTest : public ::testing::Test {
protected:
    HookTest() : main(FakeMainProgram::Get()) {}
    void SetUp() override
    {
        ASSERT_NE(main.Window(), nullptr);
        main.ClearRecords();
        main.SetAttachAnswer(FakeMainProgram::AttachAnswer::CreateSkin);
        main.SetNotifying(true);
    }
    void TearDown() override
    {
        // A test that stopped half way must not leave its hook to the next one.
        SetupHook(main.Window(), 0);
        main.SetNotifying(false);
        main.PumpFor(50);
        main.DropAllSkins();
    }

    // Waits for the host window to be attached; returns its skin window.
    HWND WaitForAttach(HWND host)
    {
        main.PumpUntil([&] { return main.SkinOf(host) != nullptr && SkinProperty(host) != nullptr; }, kAttachWaitMs);
        return main.SkinOf(host);
    }

    // This thread, the main program, hangs in its handler of 'message' while
    // 'elsewhere' runs on a second thread; it is given the event that tells
    // when the hang began, and the hang ends when it returns. True when the
    // main program did hang.
    bool HangWhile(UINT message, const std::function<void(HANDLE entered)>& elsewhere)
    {
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        main.SetHang(message, release, entered);
        std::thread other([&] {
            elsewhere(entered);
            SetEvent(release);
        });
        main.PumpUntil([&] { return WaitForSingleObject(release, 0) == WAIT_OBJECT_0; }, 120000);
        other.join();
        main.SetHang(0, nullptr, nullptr);
        const bool hung = WaitForSingleObject(entered, 0) == WAIT_OBJECT_0;
        CloseHandle(release);
        CloseHandle(entered);
        return hung;
    }

    FakeMainProgram& main;
};

} // namespace

TEST_F(HookTest, AttachesAHostWindowAndReportsTheSkinCreatedOnce)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    EXPECT_EQ(host.Procedure(0), 1);
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr) << "no attach within " << kAttachWaitMs << " ms";
    EXPECT_EQ(SkinProperty(host.Window()), skin);
    EXPECT_EQ(host.Procedure(0), 2) << "the host window runs the hook's procedure";
    main.PumpFor(500); // five more notify periods
    EXPECT_EQ(main.AttachRequestsFrom(host.Window()), 1u);
    auto events = main.MessagesTo(skin, ostra::WM_SKIN_EVENT);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].wParam, ostra::kSkinEventCreated);
    // The skin asked for the host's program file while the host waited.
    EXPECT_EQ(main.fileNamesAtAttach[host.Window()], host.ExePath());
    EXPECT_TRUE(host.AnswersQueries());
}

TEST_F(HookTest, InstallsOnceRemovesWithOrWithoutAHookAndInstallsAgain)
{
    main.SetNotifying(false);
    EXPECT_EQ(SetupHook(main.Window(), 0), 1) << "removal with no hook installed";
    {
        InstalledHook first(main.Window());
        ASSERT_EQ(first.Result(), 1);
        EXPECT_EQ(SetupHook(main.Window(), 1), 0) << "a second install is refused";

        // Another process sees the same hook handle through the shared section.
        ChildProcess probe;
        ASSERT_TRUE(StartProbe(probe));
        ASSERT_TRUE(probe.Wait(20000));
        EXPECT_EQ(probe.ExitCode(), 10u) << "another process must be refused while the hook is installed";

        EXPECT_EQ(first.Remove(), 1);
    }
    EXPECT_EQ(SetupHook(main.Window(), 0), 1) << "removal after removal";

    // Installed again, the hook works: a new host gets attached.
    ScratchHost host;
    ASSERT_TRUE(host.Start("sakura.exe"));
    main.SetNotifying(true);
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    EXPECT_NE(WaitForAttach(host.Window()), nullptr);
    EXPECT_EQ(hook.Remove(), 1);

    // And once it is gone, another process may install it.
    ChildProcess second;
    ASSERT_TRUE(StartProbe(second));
    ASSERT_TRUE(second.Wait(20000));
    EXPECT_EQ(second.ExitCode(), 11u);
}

TEST_F(HookTest, LeavesOtherProgramsAndSecondWindowsAndTakenWindowsAlone)
{
    ScratchHost other, twins, taken;
    ASSERT_TRUE(other.Start("sspx.exe", {"--pos", "10,10"}));
    ASSERT_TRUE(twins.Start("embryo.exe", {"--pos", "200,10"}));
    ASSERT_EQ(twins.Control("twin 400 10"), 1);
    ASSERT_TRUE(taken.Start("materia.exe", {"--pos", "600,10"}));
    // A window that already carries the property counts as taken.
    ASSERT_TRUE(SetPropA(taken.Window(), ostra::kHostSkinProperty, reinterpret_cast<HANDLE>(main.Window())));
    std::vector<HWND> pair = twins.HostWindows();
    ASSERT_EQ(pair.size(), 2u);

    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    main.PumpUntil([&] { return main.SkinOf(pair[0]) || main.SkinOf(pair[1]); }, kAttachWaitMs);
    main.PumpFor(1000); // ten more notify periods for the others

    EXPECT_EQ(main.AttachRequestsFrom(other.Window()), 0u) << "sspx.exe is no host";
    EXPECT_EQ(other.Procedure(0), 1);
    EXPECT_EQ(SkinProperty(other.Window()), nullptr);

    EXPECT_EQ(main.AttachRequestsFrom(pair[0]) + main.AttachRequestsFrom(pair[1]), 1u) << "one host window per process";
    EXPECT_EQ((SkinProperty(pair[0]) != nullptr) + (SkinProperty(pair[1]) != nullptr), 1);
    EXPECT_EQ(twins.Procedure(0) + twins.Procedure(1), 3) << "one window replaced (2), one its own (1)";

    EXPECT_EQ(main.AttachRequestsFrom(taken.Window()), 0u);
    EXPECT_EQ(taken.Procedure(0), 1);
    EXPECT_EQ(SkinProperty(taken.Window()), main.Window()) << "the property is left as it was";

    for (ScratchHost* h : {&other, &twins, &taken})
        EXPECT_TRUE(h->AnswersQueries());
}

TEST_F(HookTest, AnswersTheFileNameRequestAndIgnoresBogusOnes)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    ASSERT_NE(WaitForAttach(host.Window()), nullptr);
    main.SetNotifying(false);

    auto ask = [&](WPARAM pid, LPARAM address) {
        DWORD_PTR result = 99;
        LRESULT sent =
            SendMessageTimeoutA(host.Window(), main.FileNameMessage(), pid, address, SMTO_ABORTIFHUNG, 3000, &result);
        EXPECT_NE(sent, 0) << "the host did not answer for pid " << pid << " address " << address;
        EXPECT_EQ(result, 0u);
    };

    // Into this process: the path and its zero byte, nothing after it.
    char buffer[ostra::kFileNameBufferSize + 16];
    FillMemory(buffer, sizeof buffer, '#');
    ask(GetCurrentProcessId(), reinterpret_cast<LPARAM>(buffer));
    const std::string path = host.ExePath();
    ASSERT_LT(path.size(), sizeof buffer);
    EXPECT_EQ(std::string(buffer, path.size()), path);
    EXPECT_EQ(buffer[path.size()], '\0');
    EXPECT_EQ(buffer[path.size() + 1], '#') << "only the path and its zero byte are written";

    // Process id 0: into the host's own memory, at an address there.
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, host.Id());
    ASSERT_NE(process, nullptr);
    void* remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ask(0, reinterpret_cast<LPARAM>(remote));
    char copy[ostra::kFileNameBufferSize] = {};
    SIZE_T read = 0;
    ASSERT_TRUE(ReadProcessMemory(process, remote, copy, sizeof copy, &read));
    EXPECT_EQ(std::string(copy), path);

    // Bogus requests write nothing and the host lives on.
    FillMemory(buffer, sizeof buffer, '#');
    const std::string untouched(buffer, sizeof buffer);
    ask(0xFFFFFFF0u, reinterpret_cast<LPARAM>(buffer)); // no such process
    ask(static_cast<WPARAM>(0x100000000ull) | GetCurrentProcessId(), reinterpret_cast<LPARAM>(buffer)); // not 32 bits
    ask(GetCurrentProcessId(), 0);
    EXPECT_EQ(std::string(buffer, sizeof buffer), untouched);

    char* reserved = static_cast<char*>(VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(reserved, nullptr);
    ask(GetCurrentProcessId(), reinterpret_cast<LPARAM>(reserved)); // never committed
    // A buffer that runs off the end of its committed page.
    ASSERT_NE(VirtualAlloc(reserved, 4096, MEM_COMMIT, PAGE_READWRITE), nullptr);
    ask(GetCurrentProcessId(), reinterpret_cast<LPARAM>(reserved + 4096 - 8));
    for (LPARAM bogus : {LPARAM(0x10), LPARAM(-4096), static_cast<LPARAM>(0x7FFF00000000ll)}) {
        ask(0, bogus);         // inside the host, where a plain copy would fault
        ask(host.Id(), bogus); // the host's own id takes the same path
        ask(GetCurrentProcessId(), bogus);
    }
    // Posted rather than sent, the request runs from the host's own message
    // loop, where no sender's frame stands between a fault and the host.
    for (LPARAM bogus : {LPARAM(0x10), LPARAM(-4096)})
        PostMessageA(host.Window(), main.FileNameMessage(), 0, bogus);
    VirtualFree(reserved, 0, MEM_RELEASE);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);

    EXPECT_TRUE(host.Running());
    EXPECT_TRUE(host.AnswersQueries());
    EXPECT_EQ(host.Procedure(0), 2) << "still attached";
}

TEST_F(HookTest, MovesReachTheSkinAfterTheHostHasMoved)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe", {"--pos", "100,100", "--size", "160,240"}));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr);
    main.SetNotifying(false);
    main.PumpFor(200);

    struct Step {
        const char* command;
        RECT expected;
    };
    const Step steps[] = {
        {"move 300 150", {300, 150, 460, 390}},
        {"move -20 500", {-20, 500, 140, 740}},
        {"size 200 100", {-20, 500, 180, 600}},
    };
    for (const Step& step : steps) {
        main.ClearRecords();
        ASSERT_EQ(host.Control(step.command), 1) << step.command;
        auto follows = main.MessagesTo(skin, ostra::WM_SKIN_FOLLOW);
        // WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED are reported; the
        // WM_MOVE that the host's default processing sends from inside
        // WM_WINDOWPOSCHANGED comes under the move guard and is only passed on,
        // without even a lookup.
        ASSERT_EQ(follows.size(), 2u) << step.command;
        EXPECT_EQ(main.lookups, 2) << step.command;
        for (const SkinMessage& f : follows)
            EXPECT_EQ(f.wParam, reinterpret_cast<WPARAM>(host.Window()));
        const RECT& last = follows.back().hostRect;
        EXPECT_EQ(last.left, step.expected.left) << step.command;
        EXPECT_EQ(last.top, step.expected.top) << step.command;
        EXPECT_EQ(last.right, step.expected.right) << step.command;
        EXPECT_EQ(last.bottom, step.expected.bottom) << step.command;
    }
    EXPECT_TRUE(host.AnswersQueries());
}

TEST_F(HookTest, DeactivationAndMenusAskTheSkinToFixItsZOrder)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr);
    main.SetNotifying(false);
    main.PumpFor(200);
    auto zorders = [&] { return main.MessagesTo(skin, ostra::WM_SKIN_ZORDER); };

    ASSERT_EQ(host.Control("activate"), 1);
    main.ClearRecords();
    ASSERT_EQ(host.Control("deactivate"), 1);
    // Wine may follow up with focus events of its own; each deactivation
    // that reaches the host window is reported, always with 256.
    ASSERT_FALSE(zorders().empty()) << "no WM_SKIN_ZORDER for the deactivation";
    for (const SkinMessage& z : zorders())
        EXPECT_EQ(z.wParam, ostra::kZOrderHostDeactivated);

    main.ClearRecords();
    ASSERT_EQ(host.Control("activate"), 1);
    EXPECT_TRUE(zorders().empty()) << "activation is passed on untouched";

    // Minimising deactivates with the minimised flag set: nothing is sent,
    // neither then nor on a deactivation while minimised.
    main.ClearRecords();
    ASSERT_EQ(host.Control("minimize"), 1);
    ASSERT_TRUE(IsIconic(host.Window()));
    ASSERT_EQ(host.Control("activate"), 1);
    ASSERT_EQ(host.Control("deactivate"), 1);
    EXPECT_TRUE(zorders().empty());
    ASSERT_EQ(host.Control("restore"), 1);

    // A host menu: WM_INITMENUPOPUP while the menu opens.
    main.ClearRecords();
    ASSERT_EQ(host.Control("menu 300"), 1);
    main.PumpUntil([&] { return !zorders().empty(); }, 5000);
    main.PumpFor(500); // the menu closes again
    ASSERT_FALSE(zorders().empty()) << "no WM_SKIN_ZORDER for the menu";
    for (const SkinMessage& z : zorders())
        EXPECT_EQ(z.wParam, ostra::kZOrderHostMenu);
    EXPECT_TRUE(host.AnswersQueries());
}

TEST_F(HookTest, HidingAndShowingTheHostHidesAndShowsTheSkin)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr);
    main.SetNotifying(false);
    ASSERT_TRUE(IsWindowVisible(skin));

    ASSERT_EQ(host.Control("hide"), 1);
    EXPECT_FALSE(IsWindowVisible(host.Window()));
    EXPECT_FALSE(IsWindowVisible(skin));
    ASSERT_EQ(host.Control("hide"), 1); // hidden already: no WM_SHOWWINDOW, nothing changes
    EXPECT_FALSE(IsWindowVisible(skin));
    ASSERT_EQ(host.Control("show"), 1);
    EXPECT_TRUE(IsWindowVisible(host.Window()));
    EXPECT_TRUE(IsWindowVisible(skin));

    // A skin that hid itself is shown again with its host, but a skin that
    // is shown already is left alone when the host is shown.
    ShowWindow(skin, SW_HIDE);
    ASSERT_EQ(host.Control("hide"), 1);
    EXPECT_FALSE(IsWindowVisible(skin));
    ASSERT_EQ(host.Control("show"), 1);
    EXPECT_TRUE(IsWindowVisible(skin));
    EXPECT_TRUE(host.AnswersQueries());
}

TEST_F(HookTest, ADetachRequestReleasesTheHostForGood)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr);

    DWORD_PTR result = 99;
    ASSERT_NE(SendMessageTimeoutA(host.Window(), main.NotifyMessage(), ostra::kNotifyDetach, 0, SMTO_ABORTIFHUNG, 3000,
                                  &result),
              0);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(main.DetachRequestsFrom(host.Window()), 1u);
    EXPECT_EQ(main.SkinOf(host.Window()), nullptr);
    EXPECT_FALSE(IsWindow(skin));
    EXPECT_EQ(SkinProperty(host.Window()), nullptr);
    EXPECT_EQ(host.Procedure(0), 1) << "the host's own procedure is back";

    // Notify messages keep coming; the process is never attached again.
    main.ClearRecords();
    main.PumpFor(1000);
    EXPECT_EQ(main.AttachRequestsFrom(host.Window()), 0u);
    ASSERT_EQ(host.Control("move 50 50"), 1);
    EXPECT_EQ(main.lookups, 0) << "nothing of the hook's procedure runs for the window";
    EXPECT_EQ(host.Procedure(0), 1);
    EXPECT_TRUE(host.AnswersQueries());
}

TEST_F(HookTest, AFaultInTheHostsOwnProcedureStopsInTheHooksProcedure)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr);
    main.SetNotifying(false);

    // The hook's procedure runs the host's own for every message. A fault
    // there, in a message the host's loop dispatches, ends in the hook's
    // guard; the host then takes the close posted after it and ends normally.
    ASSERT_EQ(host.Control("fault"), 1);
    ASSERT_EQ(host.Control("quit"), 1);
    main.PumpUntil([&] { return !host.Running(); }, 20000);
    ASSERT_FALSE(host.Running());
    EXPECT_EQ(host.ExitCode(), 0u) << std::hex << "the host died of a fault 0x" << host.ExitCode();
}

TEST_F(HookTest, RemovingTheHookDetachesEveryHostAndLeavesThemRunning)
{
    ScratchHost first, second;
    ASSERT_TRUE(first.Start("ssp.exe", {"--pos", "100,100"}));
    ASSERT_TRUE(second.Start("SAKURA.EXE", {"--pos", "400,100"}));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    ASSERT_NE(WaitForAttach(first.Window()), nullptr);
    ASSERT_NE(WaitForAttach(second.Window()), nullptr);

    EXPECT_EQ(hook.Remove(), 1);
    // Every host reported before SetupHook returned.
    EXPECT_EQ(main.DetachRequestsFrom(first.Window()), 1u);
    EXPECT_EQ(main.DetachRequestsFrom(second.Window()), 1u);
    for (ScratchHost* host : {&first, &second}) {
        EXPECT_EQ(main.SkinOf(host->Window()), nullptr);
        EXPECT_EQ(SkinProperty(host->Window()), nullptr);
        EXPECT_EQ(host->Procedure(0), 1);
    }

    // With the hook gone, notify messages attach nothing and moves are not
    // reported, while the hosts go on answering.
    main.ClearRecords();
    main.PumpFor(1000);
    EXPECT_TRUE(main.attachRequests.empty());
    ASSERT_EQ(first.Control("move 120 120"), 1);
    ASSERT_EQ(second.Control("hide"), 1);
    ASSERT_EQ(second.Control("show"), 1);
    EXPECT_EQ(main.lookups, 0);
    for (ScratchHost* host : {&first, &second}) {
        EXPECT_TRUE(host->Running());
        EXPECT_TRUE(host->AnswersQueries());
    }
}

TEST_F(HookTest, ARefusedAttachLeavesTheHostAsItWasAndIsTriedAgain)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    main.SetAttachAnswer(FakeMainProgram::AttachAnswer::Refuse);
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    main.PumpUntil([&] { return main.AttachRequestsFrom(host.Window()) >= 3; }, kAttachWaitMs);
    EXPECT_GE(main.AttachRequestsFrom(host.Window()), 3u) << "every notify tries again";

    // Let the notify messages already posted run out before looking.
    main.SetNotifying(false);
    main.PumpFor(300);
    EXPECT_EQ(host.Procedure(0), 1);
    EXPECT_EQ(SkinProperty(host.Window()), nullptr);
    main.ClearRecords();
    ASSERT_EQ(host.Control("move 10 10"), 1);
    EXPECT_EQ(main.lookups, 0);

    main.SetAttachAnswer(FakeMainProgram::AttachAnswer::CreateSkin);
    main.SetNotifying(true);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr) << "a later notify attaches once the main program accepts";
    EXPECT_EQ(host.Procedure(0), 2);
    EXPECT_EQ(main.MessagesTo(skin, ostra::WM_SKIN_EVENT).size(), 1u);
}

TEST_F(HookTest, HandlesThatNameNoWindowFailQuietlyInTheHost)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    // The main program answers attach and lookups with a handle of no window.
    main.SetAttachAnswer(FakeMainProgram::AttachAnswer::BogusHandle);
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    main.PumpUntil([&] { return SkinProperty(host.Window()) != nullptr; }, kAttachWaitMs);
    ASSERT_NE(SkinProperty(host.Window()), nullptr);
    main.SetNotifying(false);
    main.PumpFor(200);

    for (const char* command :
         {"move 30 40", "size 100 120", "activate", "deactivate", "hide", "show", "minimize", "restore", "menu 200"})
        EXPECT_EQ(host.Control(command), 1) << command;
    main.PumpFor(600);
    // Detach requests naming windows that are not host windows, and a
    // second detach for the same window, change nothing.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(main.Window(), main.NotifyMessage(), ostra::kNotifyDetach, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    EXPECT_EQ(hook.Remove(), 1);
    EXPECT_EQ(host.Procedure(0), 1);
    SendMessageTimeoutA(host.Window(), main.NotifyMessage(), ostra::kNotifyDetach, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    EXPECT_EQ(main.DetachRequestsFrom(host.Window()), 1u);
    EXPECT_TRUE(host.Running());
    EXPECT_TRUE(host.AnswersQueries());
}

TEST_F(HookTest, AHostReleasedByRemovalIsAttachedAgainByTheNextInstallation)
{
    // The main program exits and starts again while the host runs on. Wine
    // keeps the library loaded in the host after the hook is removed, so the
    // release must not outlive the installation it happened under.
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    {
        InstalledHook hook(main.Window());
        ASSERT_EQ(hook.Result(), 1);
        ASSERT_NE(WaitForAttach(host.Window()), nullptr);
        EXPECT_EQ(hook.Remove(), 1);
    }
    EXPECT_EQ(main.DetachRequestsFrom(host.Window()), 1u);
    EXPECT_EQ(host.Procedure(0), 1);
    main.ClearRecords();

    InstalledHook again(main.Window());
    ASSERT_EQ(again.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr) << "attach requests " << main.AttachRequestsFrom(host.Window()) << ", property "
                             << SkinProperty(host.Window()) << ", procedure " << host.Procedure(0) << ", lookups "
                             << main.lookups;
    EXPECT_EQ(main.AttachRequestsFrom(host.Window()), 1u);
    EXPECT_EQ(host.Procedure(0), 2);
    EXPECT_EQ(main.MessagesTo(skin, ostra::WM_SKIN_EVENT).size(), 1u);
    ASSERT_EQ(host.Control("move 222 111"), 1);
    ASSERT_FALSE(main.MessagesTo(skin, ostra::WM_SKIN_FOLLOW).empty());
    EXPECT_EQ(main.MessagesTo(skin, ostra::WM_SKIN_FOLLOW).back().hostRect.left, 222);
}

TEST_F(HookTest, AHookRemovedWhileTheHostReportsTheNewSkinLeavesTheHostFree)
{
    // The main program exits while the host waits for its WM_SKIN_EVENT to
    // be handled: the detach request arrives inside the attach.
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    main.SetRemoveHookOnSkinEvent(true);
    InstalledHook first(main.Window());
    ASSERT_EQ(first.Result(), 1);
    ASSERT_TRUE(main.PumpUntil([&] { return main.DetachRequestsFrom(host.Window()) == 1; }, kAttachWaitMs));
    main.PumpFor(300);
    EXPECT_EQ(host.Procedure(0), 1);
    EXPECT_EQ(SkinProperty(host.Window()), nullptr);
    main.ClearRecords();

    InstalledHook second(main.Window());
    ASSERT_EQ(second.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr) << "the host was left attached to nothing";
    EXPECT_EQ(host.Procedure(0), 2);
    EXPECT_EQ(second.Remove(), 1);
    EXPECT_EQ(main.DetachRequestsFrom(host.Window()), 1u);
    EXPECT_EQ(host.Procedure(0), 1);
}

TEST_F(HookTest, AMainProgramThatEndsWithoutRemovingTheHookCanBeReplaced)
{
    // Only the other program's main window may exist while the host loads
    // the library, or the host would report to ours.
    main.Close();
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    ChildProcess crashing;
    ASSERT_TRUE(crashing.Start(ProgramDir() + "\\pellow_fake_main.exe", {}));
    ASSERT_TRUE(main.PumpUntil([&] { return SkinProperty(host.Window()) != nullptr || !crashing.Running(); }, 15000));
    ASSERT_TRUE(crashing.Running()) << "exit code " << crashing.ExitCode();
    ASSERT_EQ(host.Procedure(0), 2);

    crashing.Kill(); // no SetupHook(0), no detach requests
    // The host lives on: its reports go to a window that is gone.
    EXPECT_EQ(host.Control("move 150 150"), 1);
    EXPECT_EQ(host.Control("hide"), 1);
    EXPECT_EQ(host.Control("show"), 1);
    EXPECT_TRUE(host.AnswersQueries());

    // A new main program may install the hook, and takes the host over.
    main.Open();
    main.SetNotifying(true);
    main.ClearRecords();
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1) << "the record of the ended program's hook must not block the next one";
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(main.AttachRequestsFrom(host.Window()), 1u);
    EXPECT_EQ(host.Procedure(0), 2);
    ASSERT_EQ(host.Control("move 170 130"), 1);
    ASSERT_FALSE(main.MessagesTo(skin, ostra::WM_SKIN_FOLLOW).empty());
    EXPECT_EQ(main.MessagesTo(skin, ostra::WM_SKIN_FOLLOW).back().hostRect.left, 170);
    EXPECT_EQ(hook.Remove(), 1);
    EXPECT_EQ(host.Procedure(0), 1) << "given back to its own procedure, not to ours of before";
    EXPECT_TRUE(host.AnswersQueries());
}

TEST_F(HookTest, AHostMovesOnWhileTheMainProgramHangsInALookup)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe", {"--pos", "100,100"}));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr);
    main.SetNotifying(false);
    main.PumpFor(200);

    // This thread plays the main program and hangs in the host's first
    // lookup until a second thread, which moves the host, has seen the host
    // finish its moves: without a bound on the host's wait, the host would
    // wait for the hung main program and the move would never finish.
    LRESULT moved = -2, secondMoved = -2;
    bool answered = false;
    ULONGLONG moveMs = 0, secondMoveMs = 0;
    const bool hung = HangWhile(ostra::WM_SKIN_LOOKUP, [&](HANDLE) {
        const ULONGLONG start = GetTickCount64();
        moved = host.Control("move 300 150", 30000);
        moveMs = GetTickCount64() - start;
        secondMoved = host.Control("move 310 160", 30000);
        secondMoveMs = GetTickCount64() - start - moveMs;
        answered = host.AnswersQueries();
    });
    EXPECT_TRUE(hung) << "the main program never hung";
    EXPECT_EQ(moved, 1) << "the host did not finish its move while the main program hung";
    EXPECT_EQ(secondMoved, 1);
    EXPECT_TRUE(answered);
    // A figure, not a condition: the host's reports each wait at most a second.
    std::printf("[ figure   ] host moves while the main program hangs: first %llu ms, second %llu ms\n", moveMs,
                secondMoveMs);

    // Answering again, the main program hears of the host's moves again.
    // The host waits only briefly while it takes the main program for hung,
    // so a report made before this thread got round to answering may still
    // be lost: a few moves, until one is reported.
    main.PumpFor(300);
    bool followed = false;
    for (int left = 220; left < 230 && !followed; ++left) {
        main.ClearRecords();
        ASSERT_EQ(host.Control("move " + std::to_string(left) + " 111"), 1);
        auto follows = main.MessagesTo(skin, ostra::WM_SKIN_FOLLOW);
        followed = !follows.empty() && follows.back().hostRect.left == left;
    }
    EXPECT_TRUE(followed) << "the host no longer reports its moves";
    EXPECT_EQ(host.Procedure(0), 2);
}

TEST_F(HookTest, AnAttachThatTheHungMainProgramDoesNotAnswerIsGivenUpAndTriedAgain)
{
    ScratchHost host;
    ASSERT_TRUE(host.Start("ssp.exe"));
    InstalledHook hook(main.Window());
    ASSERT_EQ(hook.Result(), 1);

    // While this thread hangs in the attach, a second one watches the host
    // give the attach up: its own window procedure comes back.
    LRESULT procedure = -2;
    const bool hung = HangWhile(ostra::WM_SKIN_ATTACH, [&](HANDLE entered) {
        if (WaitForSingleObject(entered, 30000) != WAIT_OBJECT_0) return;
        for (int i = 0; i < 300 && (procedure = host.Procedure(0)) != 1; ++i)
            Sleep(100);
    });
    ASSERT_TRUE(hung) << "no attach request reached the main program";
    EXPECT_EQ(procedure, 1) << "the host still waits for the hung main program";

    // The answer that came too late is lost; a later notify attaches (one
    // may already have been waiting in the host's queue).
    HWND skin = WaitForAttach(host.Window());
    ASSERT_NE(skin, nullptr) << "attach requests " << main.AttachRequestsFrom(host.Window()) << ", procedure "
                             << host.Procedure(0) << ", property " << SkinProperty(host.Window());
    main.PumpFor(300);
    EXPECT_EQ(SkinProperty(host.Window()), main.SkinOf(host.Window()));
    EXPECT_GE(main.AttachRequestsFrom(host.Window()), 2u);
    EXPECT_EQ(host.Procedure(0), 2);
    EXPECT_TRUE(host.AnswersQueries());
}
