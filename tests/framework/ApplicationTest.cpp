// The application object's loop, idle processing, pumping helpers and
// temporary-object purge, on real windows under Wine; the program entry and
// the single-instance test in separate processes.
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"
#include "framework/FrameworkEntry.h"
#include "framework/Window.h"
#include "framework/WindowRegistry.h"
#include "harness/ChildProcess.h"
#include "harness/TestEnv.h"

namespace {

constexpr UINT kStep = WM_APP + 10;

class LoopWindow : public Window {
  public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kStep) {
            Step(static_cast<int>(wParam));
            return 0;
        }
        return Window::WindowProc(message, wParam, lParam);
    }
    BOOL OnIdle() override
    {
        ++idleCalls;
        return wantIdle;
    }
    void Step(int step)
    {
        temporariesAtStep.push_back(WindowRegistry::Instance().TemporaryCount());
        if (step == 1) {
            // A temporary made while this message is handled...
            Window* temp = Window::FromHandle(GetDesktopWindow());
            tempHandle = temp ? temp->Handle() : nullptr;
            temporariesAfterFromHandle = WindowRegistry::Instance().TemporaryCount();
            PostMessageA(Handle(), kStep, 2, 0);
        } else if (step == 2) {
            // ...is gone by the next round of the loop.
            PostMessageA(Handle(), kStep, 3, 0);
        } else if (step == 3) {
            Destroy();
        } else if (step == 4) {
            PostQuitMessage(17);
        }
    }
    BOOL wantIdle = FALSE;
    int idleCalls = 0;
    HWND tempHandle = nullptr;
    size_t temporariesAfterFromHandle = 0;
    std::vector<size_t> temporariesAtStep;
};

bool MakeWindow(Window& window)
{
    return window.CreateEx(TestClassName(), "loop", WS_POPUP, 0, 0, 0, 50, 50, nullptr, nullptr, nullptr) != FALSE;
}

} // namespace

TEST(ApplicationLoop, DestroyingTheMainWindowEndsTheLoopWithExitCodeZero)
{
    TestApplication& app = TheApp();
    DrainQueue();
    LoopWindow window;
    ASSERT_TRUE(MakeWindow(window));
    app.SetMainWindow(&window);
    PostMessageA(window.Handle(), kStep, 1, 0);
    WindowRegistry::Instance().PurgeTemporaries();
    int exits = app.exitCalls;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.exitCalls, exits + 1);
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(window.tempHandle, GetDesktopWindow());
    ASSERT_EQ(window.temporariesAtStep.size(), 3u);
    EXPECT_EQ(window.temporariesAfterFromHandle, window.temporariesAtStep[0] + 1);
    EXPECT_EQ(window.temporariesAtStep[1], 0u); // purged after the round that made it
    EXPECT_EQ(WindowRegistry::Instance().TemporaryCount(), 0u);
    // The quit message posted by the destruction was taken by the loop.
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    app.SetMainWindow(nullptr);
}

TEST(ApplicationLoop, QuitMessageCodeBecomesTheExitCode)
{
    TestApplication& app = TheApp();
    LoopWindow window;
    ASSERT_TRUE(MakeWindow(window));
    app.SetMainWindow(&window);
    PostMessageA(window.Handle(), kStep, 4, 0);
    EXPECT_EQ(app.Run(), 17);
    EXPECT_EQ(app.ExitCode(), 17);
    EXPECT_TRUE(IsWindow(window.Handle()));
    window.Destroy();
    DrainQueue();
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    app.SetMainWindow(nullptr);
}

TEST(ApplicationLoop, WithoutAMainWindowTheLoopEndsAtOnce)
{
    TestApplication& app = TheApp();
    app.SetMainWindow(nullptr);
    EXPECT_EQ(app.Run(), 0);
}

namespace {
class TimedWindow : public LoopWindow {
  public:
    void OnTimer(UINT_PTR) override { Destroy(); }
};
} // namespace

TEST(ApplicationLoop, IdleProcessingRunsUntilSomeoneIsDoneThenTheLoopWaits)
{
    TestApplication& app = TheApp();
    DrainQueue();
    LoopWindow unbound;
    EXPECT_FALSE(app.AddIdleHandler(&unbound)); // no live handle: not taken

    TimedWindow timed;
    ASSERT_TRUE(MakeWindow(timed));
    app.SetMainWindow(&timed);
    ASSERT_TRUE(app.AddIdleHandler(&timed));
    timed.wantIdle = TRUE;
    app.idleRoundsWanted = 3; // the application wants idle counts 0, 1 and 2
    app.idleCalls = 0;
    ASSERT_TRUE(SetTimer(timed.Handle(), 1, 300, nullptr));
    app.Run();
    // Idle counts 0, 1, 2 answered TRUE and 3 FALSE: four rounds, then the
    // loop waited for the timer instead of spinning.
    EXPECT_EQ(app.idleCalls, 4);
    EXPECT_EQ(app.lastIdleCount, 3);
    EXPECT_EQ(timed.idleCalls, 4);
    app.idleRoundsWanted = 0;
    app.SetMainWindow(nullptr);
    DrainQueue();
}

TEST(ApplicationPump, PumpingDispatchesAndLeavesQuitForTheLoop)
{
    TestApplication& app = TheApp();
    DrainQueue();
    LoopWindow window;
    ASSERT_TRUE(MakeWindow(window));
    app.SetMainWindow(&window);
    PostMessageA(window.Handle(), kStep, 0, 0);
    PostMessageA(window.Handle(), kStep, 0, 0);
    EXPECT_TRUE(app.PumpWaitingMessages());
    EXPECT_EQ(window.temporariesAtStep.size(), 2u);

    // A message PreTranslateMessage consumes never reaches the window.
    app.consume = kStep;
    PostMessageA(window.Handle(), kStep, 0, 0);
    EXPECT_TRUE(app.PumpWaitingMessages());
    EXPECT_EQ(app.consumed, 1);
    EXPECT_EQ(window.temporariesAtStep.size(), 2u);
    app.consume = 0;

    // A quit taken while pumping stops the pump and stays for the loop.
    PostQuitMessage(9);
    EXPECT_FALSE(app.PumpWaitingMessages());
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 9u);

    // PumpMessagesFor keeps dispatching for the time asked.
    ASSERT_TRUE(SetTimer(window.Handle(), 5, 20, nullptr));
    DWORD start = GetTickCount();
    EXPECT_TRUE(app.PumpMessagesFor(200));
    EXPECT_GE(GetTickCount() - start, 200u);
    KillTimer(window.Handle(), 5);

    // The main window going away while pumping stops it early: only that
    // answers false (the time running out answers true).
    HWND hwnd = window.Handle();
    PostMessageA(hwnd, kStep, 3, 0);
    EXPECT_FALSE(app.PumpMessagesFor(5000));
    EXPECT_FALSE(IsWindow(hwnd));
    app.SetMainWindow(nullptr);
    DrainQueue();
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(ApplicationHelpers, NameHelpFileAndMessageBoxCaptionDefaults)
{
    TestApplication& app = TheApp();
    EXPECT_EQ(app.Name(), "Application");
    const std::string& help = app.HelpFilePath();
    ASSERT_GE(help.size(), 4u);
    EXPECT_EQ(help.substr(help.size() - 4), ".hlp");
    EXPECT_NE(help.find("framework_test"), std::string::npos);
    EXPECT_EQ(app.Instance(), GetModuleHandleA(nullptr));
}

TEST(ApplicationLibraryEntry, AttachStoresTheModuleAndCallsInitInstance)
{
    TestApplication& app = TheApp();
    int inits = app.initCalls;
    HINSTANCE self = GetModuleHandleA(nullptr);
    ASSERT_TRUE(FrameworkLibraryAttach(self));
    EXPECT_EQ(app.initCalls, inits + 1);
    EXPECT_EQ(app.Instance(), self);
    EXPECT_EQ(app.CommandLine(), "");
    // Without a loop of ours, temporaries made by a handler are gone once the
    // outermost message returns (and on Windows at foreground idle as well).
    WindowRegistry& registry = WindowRegistry::Instance();
    registry.PurgeTemporaries();
    class Maker : public Window {
      public:
        void OnCommand(UINT, UINT) override
        {
            Window::FromHandle(GetDesktopWindow());
            SendMessageA(Handle(), WM_NULL, 0, 0); // a nested message does not purge
            countInHandler = WindowRegistry::Instance().TemporaryCount();
        }
        size_t countInHandler = 0;
    } maker;
    ASSERT_TRUE(maker.CreateEx(TestClassName(), "maker", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr));
    SendMessageA(maker.Handle(), WM_COMMAND, 1, 0);
    EXPECT_EQ(maker.countInHandler, 1u);
    EXPECT_EQ(registry.TemporaryCount(), 0u);
    maker.Destroy();
    int exits = app.exitCalls;
    FrameworkLibraryDetach();
    EXPECT_EQ(app.exitCalls, exits + 1);
}

// The program entry and the single-instance test, in their own processes.
namespace {

std::string TestAppPath()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + "framework_testapp.exe";
}

} // namespace

TEST(ApplicationEntry, ProgramRunsThroughInitInstanceLoopAndExitInstance)
{
    std::string marker = testenv::Join(testenv::FreshDir("entry"), "exit.txt");
    ChildProcess quit;
    ASSERT_TRUE(quit.Start(TestAppPath(), {"quit", marker}));
    ASSERT_TRUE(quit.Wait(20000));
    EXPECT_EQ(quit.ExitCode(), 0u);
    EXPECT_EQ(testenv::ReadFile(marker), "init quit;exit 0");

    std::string marker2 = testenv::Join(testenv::FreshDir("entry2"), "exit.txt");
    ChildProcess coded;
    ASSERT_TRUE(coded.Start(TestAppPath(), {"code", marker2}));
    ASSERT_TRUE(coded.Wait(20000));
    EXPECT_EQ(coded.ExitCode(), 23u);
    EXPECT_EQ(testenv::ReadFile(marker2), "init code;exit 23");

    // InitInstance answering FALSE ends the program at once, without ExitInstance.
    std::string marker3 = testenv::Join(testenv::FreshDir("entry3"), "exit.txt");
    ChildProcess refused;
    ASSERT_TRUE(refused.Start(TestAppPath(), {"refuse", marker3}));
    ASSERT_TRUE(refused.Wait(20000));
    EXPECT_EQ(refused.ExitCode(), 0u);
    EXPECT_EQ(GetFileAttributesA(marker3.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ApplicationEntry, DeletingAWindowObjectInItsHandlerOrOnAnotherThreadStopsTheProgram)
{
    for (const char* mode : {"delete-in-handler", "delete-elsewhere"}) {
        std::string marker = testenv::Join(testenv::FreshDir(mode), "stop.txt");
        ChildProcess misuse;
        ASSERT_TRUE(misuse.Start(TestAppPath(), {mode, marker}));
        ASSERT_TRUE(misuse.Wait(20000)) << mode;
        EXPECT_EQ(misuse.ExitCode(), static_cast<DWORD>(Window::kStoppedExitCode)) << mode;
        EXPECT_EQ(testenv::ReadFile(marker), std::string("init ") + mode) << "it went on after the misuse";
    }
}

TEST(ApplicationEntry, SecondInstanceFindsTheFirstOneByItsMutex)
{
    std::string dir = testenv::FreshDir("instance");
    std::string mutexName = "OstraFrameworkTestMutex" + std::to_string(GetCurrentProcessId());
    ChildProcess first;
    ASSERT_TRUE(first.Start(TestAppPath(), {"single", testenv::Join(dir, "first.txt"), mutexName}));
    HWND firstWindow = first.FindWindowOfClass("OstraTestAppMain", 20000);
    ASSERT_TRUE(firstWindow);

    ChildProcess second;
    ASSERT_TRUE(second.Start(TestAppPath(), {"single", testenv::Join(dir, "second.txt"), mutexName}));
    ASSERT_TRUE(second.Wait(20000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(testenv::ReadFile(testenv::Join(dir, "second.txt")), "init single;another;exit 0");
    EXPECT_TRUE(first.Running());

    PostMessageA(firstWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.Wait(20000));
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(testenv::ReadFile(testenv::Join(dir, "first.txt")), "init single;exit 0");

    // Once the first one is gone the name is free again.
    ChildProcess third;
    ASSERT_TRUE(third.Start(TestAppPath(), {"single", testenv::Join(dir, "third.txt"), mutexName}));
    HWND thirdWindow = third.FindWindowOfClass("OstraTestAppMain", 20000);
    ASSERT_TRUE(thirdWindow);
    PostMessageA(thirdWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(third.Wait(20000));
}

// Message boxes of the application, read and closed from a helper thread.
namespace {

struct SeenBox {
    std::string caption;
    std::vector<std::string> texts;
    bool found = false;
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Static") == 0) {
        char text[256] = {};
        GetWindowTextA(child, text, sizeof(text));
        reinterpret_cast<SeenBox*>(param)->texts.push_back(text);
    }
    return TRUE;
}

// Waits up to ten seconds for a message box of this process, reads it and presses OK.
std::thread CloseNextBox(SeenBox& seen)
{
    return std::thread([&seen] {
        for (int i = 0; i < 200; ++i) {
            Sleep(50);
            HWND box = FindWindowA("#32770", nullptr);
            DWORD pid = 0;
            if (!box || (GetWindowThreadProcessId(box, &pid), pid != GetCurrentProcessId())) continue;
            char caption[128] = {};
            GetWindowTextA(box, caption, sizeof(caption));
            seen.caption = caption;
            EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&seen));
            seen.found = true;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return;
        }
    });
}

bool Contains(const std::vector<std::string>& texts, const std::string& wanted)
{
    for (const std::string& t : texts) {
        if (t == wanted) return true;
    }
    return false;
}

} // namespace

TEST(ApplicationHelpers, MessageBoxIsCaptionedWithTheApplicationName)
{
    TestApplication& app = TheApp();
    app.SetMainWindow(nullptr);
    app.SetName("おすとら");
    SeenBox seen;
    std::thread closer = CloseNextBox(seen);
    int answer = app.MessageBox("スキンが読み込めませんでした。", MB_ICONEXCLAMATION);
    closer.join();
    app.SetName("Application");
    EXPECT_EQ(answer, IDOK);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "おすとら");
    EXPECT_TRUE(Contains(seen.texts, "スキンが読み込めませんでした。"));

    // A missing text shows as an empty one, under the default name.
    SeenBox empty;
    std::thread closer2 = CloseNextBox(empty);
    app.MessageBox(nullptr, MB_OK);
    closer2.join();
    ASSERT_TRUE(empty.found);
    EXPECT_EQ(empty.caption, "Application");
}

TEST(ApplicationHelpers, MutexThatCannotBeMadeReportsAnInternalErrorAndAnotherInstance)
{
    TestApplication& app = TheApp();
    app.SetMainWindow(nullptr);
    SeenBox seen;
    std::thread closer = CloseNextBox(seen);
    // A name inside a namespace that does not exist cannot be created.
    EXPECT_TRUE(app.IsAnotherInstanceRunning("NoSuchNamespace\\Ostra\\Test"));
    closer.join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "Application");
    EXPECT_TRUE(Contains(seen.texts, "内部エラーが発生しました。"));
    // The answer is kept: no second box, the same answer for any name.
    EXPECT_TRUE(app.IsAnotherInstanceRunning("OstraFreeName"));
}

TEST(WindowLifetime, ObjectGoneBeforeItsWindowLeavesTheWindowToDefaultProcessing)
{
    HWND hwnd = nullptr;
    {
        class Short : public Window {
          public:
            void OnCommand(UINT, UINT) override { ++calls; }
            int calls = 0;
        } window;
        ASSERT_TRUE(window.CreateEx(TestClassName(), "short", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr));
        hwnd = window.Handle();
        TheApp().AddIdleHandler(&window);
    }
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(WindowRegistry::Instance().Find(hwnd), nullptr);
    EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, 1, 0), 0);
    // The loop would call the idle list: the object must have left it.
    LoopWindow main;
    ASSERT_TRUE(MakeWindow(main));
    TheApp().SetMainWindow(&main);
    PostMessageA(main.Handle(), kStep, 3, 0);
    TheApp().Run();
    TheApp().SetMainWindow(nullptr);
    DestroyWindow(hwnd);
}
