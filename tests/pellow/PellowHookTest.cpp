// The hook library across real processes under Wine: this program plays the
// main program (FakeMainProgram), private copies of the stand-in host play
// the host program, and pellow.dll runs inside them.
#include <windows.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "FakeMainProgram.h"
#include "ScratchHost.h"
#include "harness/ChildProcess.h"
#include "pellow/HookMessages.h"
#include "pellow/pellow.h"

namespace {

constexpr DWORD kAttachWaitMs = 5000; // many notify periods: the host may still be loading the library

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
    EXPECT_EQ(SetupHook(main.Window(), 1), 1);
    EXPECT_EQ(SetupHook(main.Window(), 1), 0) << "a second install is refused";

    // Another process sees the same hook handle through the shared section.
    ChildProcess probe;
    ASSERT_TRUE(probe.Start(ProgramDir() + "\\pellow_setup_probe.exe", {LoadedLibraryPath()}));
    ASSERT_TRUE(probe.Wait(20000));
    EXPECT_EQ(probe.ExitCode(), 10u) << "another process must be refused while the hook is installed";

    EXPECT_EQ(SetupHook(main.Window(), 0), 1);
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
    ASSERT_TRUE(second.Start(ProgramDir() + "\\pellow_setup_probe.exe", {LoadedLibraryPath()}));
    ASSERT_TRUE(second.Wait(20000));
    EXPECT_EQ(second.ExitCode(), 11u);
}
