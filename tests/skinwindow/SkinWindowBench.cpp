// Figures of skin windows beside a real host under Wine, printed; nothing
// here asserts a time. Run by hand with the test environment of
// skinwindow_test (see "./run ctest -R skinwindow_test -V" for the variables):
//   follow latency: a host move (its SetWindowPos, asked by a control
//     command) until the skin stands at its new place, over 200 moves;
//   host move rate with a placing skin against the same host without the hook;
//   the cost of one placement against a host that hangs in its queries.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SkinTestFolder.h"
#include "TestMainWindow.h"
#include "harness/ChildProcess.h"
#include "harness/StandinClient.h"
#include "harness/TestEnv.h"
#include "harness/Desktop.h"
#include "pellow/HookMessages.h"
#include "pellow/pellow.h"
#include "skin/SkinWindow.h"
#include "tools/standin/StandinControl.h"

namespace {

SkinWindow* WaitForSkin(TestMainWindow& main, HWND host)
{
    PumpUntil([&] { return main.SkinOf(host) != nullptr; }, 15000);
    return main.SkinOf(host);
}

// One control command to a stand-in host window (see StandinControl.h).
void Control(HWND host, const std::string& command)
{
    COPYDATASTRUCT cds{};
    cds.dwData = standin::kControlData;
    cds.cbData = static_cast<DWORD>(command.size());
    cds.lpData = const_cast<char*>(command.c_str());
    DWORD_PTR result = 0;
    SendMessageTimeoutA(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 10000, &result);
}

// Milliseconds per move of 'count' host moves. The moves are asked for by a
// second thread while this one, the main program's user-interface thread,
// runs its message loop as the program does: whatever the skin leaves for
// later (posted work) is done meanwhile and weighs on the figure, instead of
// waiting until the loop ends.
double MoveRate(HWND host, int count)
{
    struct Run {
        HWND host;
        int count;
        double ms;
        volatile LONG done;
    } run{host, count, 0, 0};
    HANDLE mover = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            Run& r = *static_cast<Run*>(p);
            const double start = NowMs();
            for (int i = 0; i < r.count; ++i)
                Control(r.host, "move " + std::to_string(200 + (i % 2) * 100) + " 200");
            r.ms = (NowMs() - start) / r.count;
            InterlockedExchange(&r.done, 1);
            return 0;
        },
        &run, 0, nullptr);
    if (!mover) return 0;
    for (;;) {
        if (MsgWaitForMultipleObjects(1, &mover, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    CloseHandle(mover);
    // What was left for later is done before the next turn starts.
    PumpFor(50);
    return run.ms;
}

} // namespace

// "--shot": a skin at 50 % over a solid blue window beside a host, kept for
// 'seconds' so that a screenshot can be taken (with a compositor running).
int Shot(TestMainWindow& main, int seconds)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 255));
    wc.lpszClassName = "SkinShotBackdrop";
    RegisterClassA(&wc);
    HWND backdrop = CreateWindowExA(WS_EX_TOOLWINDOW, "SkinShotBackdrop", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200,
                                    nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    main.SetTransparency(50);
    StandinClient host;
    // Anchor (-100, 100) of a host at (400, 100): the skin's bottom centre at
    // (300, 200), inside the backdrop.
    if (!host.Start({"--pos", "400,100", "--answer", "132=-100,100"}, "shot.log")) return 1;
    if (SetupHook(main.Handle(), 1) != 1) return 1;
    SkinWindow* skin = WaitForSkin(main, host.Window());
    if (skin) {
        RECT r{};
        GetWindowRect(skin->Handle(), &r);
        std::printf("skin at %ld,%ld - %ld,%ld over the blue backdrop (100,100 - 400,300)\n", r.left, r.top, r.right,
                    r.bottom);
        std::fflush(stdout);
    }
    PumpFor(static_cast<DWORD>(seconds) * 1000);
    SetupHook(main.Handle(), 0);
    PumpFor(100);
    host.Quit();
    DestroyWindow(backdrop);
    return skin ? 0 : 1;
}

int main(int argc, char** argv)
{
    SkinTestFolder folder = MakeSkinTestFolder("bench");
    TestMainWindow main;
    if (folder.root.empty() || !main.Open(folder.root, folder.settings)) {
        std::printf("cannot prepare the skins\n");
        return 1;
    }
    if (argc > 1 && std::string(argv[1]) == "--shot") return Shot(main, argc > 2 ? std::atoi(argv[2]) : 10);
    const int kMoves = 200;

    // The same host program under a name the hook does not take for a host:
    // its moves cost what they cost without the hook. Measured in turns with
    // the attached host, so that the machine's load weighs on both alike.
    const std::string plainDir = testenv::FreshDir("plainhost");
    const std::string plainExe = plainDir + "\\plain.exe";
    CopyFileA(testenv::Join(testenv::ToolsDir(), "ssp.exe").c_str(), plainExe.c_str(), FALSE);
    ChildProcess plain;
    if (!plain.Start(plainExe, {"--no-mutex", "--pos", "300,500", "--no-shape", "--answer", "132=150,40"}, plainDir))
        return 1;
    HWND plainWindow = plain.FindWindowOfClass("Tmainform", 15000);
    if (!plainWindow) return 1;

    StandinClient host;
    if (!host.Start({"--pos", "300,200", "--no-shape", "--answer", "132=150,40"}, "bench_host.log")) return 1;
    if (SetupHook(main.Handle(), 1) != 1) return 1;
    SkinWindow* skin = WaitForSkin(main, host.Window());
    if (!skin) {
        SetupHook(main.Handle(), 0);
        return 1;
    }
    HWND window = skin->Handle();

    // Follow latency. Anchor (150, 40), 64 x 48 skin, baseadjust 0.
    std::vector<double> latency;
    for (int i = 0; i < kMoves; ++i) {
        const int x = 200 + (i % 2) * 100, y = 200 + (i % 3) * 10;
        const int wantX = x + 150 - 32, wantY = y + 40 - 48;
        const double start = NowMs();
        host.Control("move " + std::to_string(x) + " " + std::to_string(y));
        RECT r{};
        for (;;) {
            GetWindowRect(window, &r);
            if (r.left == wantX && r.top == wantY) break;
            if (NowMs() - start > 2000) break;
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        latency.push_back(NowMs() - start);
    }
    std::sort(latency.begin(), latency.end());
    std::printf("follow latency over %d moves: median %.2f ms, worst %.2f ms\n", kMoves, latency[kMoves / 2],
                latency.back());

    {
        const double start = NowMs();
        for (int i = 0; i < kMoves; ++i)
            SendMessageA(window, ostra::WM_SKIN_PLACE, 0, 0);
        std::printf("one placement (host answering): %.3f ms\n", (NowMs() - start) / kMoves);
    }
    double bare = 0, placing = 0;
    for (int turn = 0; turn < 10; ++turn) {
        bare += MoveRate(plainWindow, kMoves / 10);
        placing += MoveRate(host.Window(), kMoves / 10);
    }
    std::printf("host move: %.3f ms without the hook, %.3f ms with a placing skin (%.2fx)\n", bare / 10, placing / 10,
                placing / bare);
    Control(plainWindow, "quit");
    plain.Wait(3000);
    SetupHook(main.Handle(), 0);
    PumpFor(100);
    host.Quit();

    // A host that hangs in its position queries.
    StandinClient hung;
    if (!hung.Start({"--pos", "300,200", "--no-shape", "--answer", "132=hang"}, "bench_hung.log")) return 1;
    SetupHook(main.Handle(), 1);
    const double attachStart = NowMs();
    SkinWindow* hungSkin = WaitForSkin(main, hung.Window());
    std::printf("attach beside a hung host: %.0f ms\n", NowMs() - attachStart);
    if (hungSkin) {
        HWND hungWindow = hungSkin->Handle();
        for (int i = 0; i < 3; ++i) {
            PumpFor(3500); // the host's last hung answer is over
            const double start = NowMs();
            SendMessageA(hungWindow, ostra::WM_SKIN_PLACE, 0, 0);
            std::printf("placement against a hung host: %.0f ms\n", NowMs() - start);
        }
    }
    SetupHook(main.Handle(), 0);
    PumpFor(100);
    hung.Quit();
    main.Close();
    return 0;
}
