// Not a test: figures and pictures of the surface players under Wine.
//   surfaces_bench show <skin folder> <seconds>
//       shows surface 0 animated for a while (for screenshots)
//   surfaces_bench run <skin folder> <players> <seconds>
//       that many windows play surface 0 at once; prints the process's CPU time
//   surfaces_bench load <skin folder>
//       loads the skin's surfaces; prints the time taken and the memory used
//   surfaces_bench hold <skin folder> <players> <seconds>
//       that many windows play surface 0 and nothing else happens: the idle
//       cost is measured from outside by tests/surfaces/idle-cpu.sh
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "SurfaceTestWindow.h"
#include "skin/SurfaceLoader.h"

namespace {

double Seconds(const FILETIME& t)
{
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return static_cast<double>(v.QuadPart) / 1e7;
}

// A plain message loop for 'ms', as the program's own loop waits: blocked in
// GetMessage until something arrives.
void MessageLoopFor(DWORD ms)
{
    const UINT_PTR timer = SetTimer(nullptr, 0, ms, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, timer);
}

double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

// Resident and private memory of this (Wine) process, from Linux's view.
void PrintMemory(const char* when)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("%s: working set %.1f MB, private %.1f MB\n", when, counters.WorkingSetSize / 1048576.0,
                counters.PagefileUsage / 1048576.0);
}

int Show(const std::string& folder, int seconds)
{
    SurfaceTestWindow window;
    if (!window.Load(folder)) return 2;
    window.Show(0);
    MessageLoopFor(static_cast<DWORD>(seconds) * 1000);
    return 0;
}

using Windows = std::vector<std::unique_ptr<SurfaceTestWindow>>;

bool ShowPlayers(const std::string& folder, int count, Windows& windows)
{
    for (int i = 0; i < count; ++i) {
        windows.push_back(std::make_unique<SurfaceTestWindow>());
        windows.back()->originX = 20 + (i % 5) * 180;
        windows.back()->originY = 20 + (i / 5) * 180;
        if (!windows.back()->Load(folder)) return false;
        windows.back()->Show(0);
    }
    return true;
}

int RunPlayers(const std::string& folder, int count, int seconds)
{
    Windows windows;
    if (!ShowPlayers(folder, count, windows)) return 2;
    PumpFor(500);
    const double cpu0 = CpuSeconds();
    const DWORD wall0 = GetTickCount();
    int lookups0 = 0;
    for (auto& w : windows)
        lookups0 += w->threadLookups;
    MessageLoopFor(static_cast<DWORD>(seconds) * 1000);
    const double cpu = CpuSeconds() - cpu0;
    const double wall = (GetTickCount() - wall0) / 1000.0;
    int lookups = 0;
    for (auto& w : windows)
        lookups += w->threadLookups;
    // Each carried overlay or base pattern looks its surface up once.
    std::printf("%d player(s), %.1f s: CPU %.2f s = %.1f %% of one core; %.1f patterns/s per player\n", count, wall,
                cpu, 100.0 * cpu / wall, (lookups - lookups0) / wall / count);
    for (auto& w : windows)
        w->StopCurrent();
    return 0;
}

int HoldPlayers(const std::string& folder, int count, int seconds)
{
    Windows windows;
    if (!ShowPlayers(folder, count, windows)) return 2;
    MessageLoopFor(static_cast<DWORD>(seconds) * 1000);
    for (auto& w : windows)
        w->StopCurrent();
    return 0;
}

int LoadSkin(const std::string& folder)
{
    PrintMemory("before");
    SurfaceTestWindow window;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool loaded = window.Load(folder);
    QueryPerformanceCounter(&end);
    std::printf("LoadSurfaces: %s, %zu surfaces, %zu players, %.1f ms\n", loaded ? "true" : "false",
                window.surfaces.size(), window.players.size(),
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    PrintMemory("after");
    return loaded ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "show") return Show(args[1], std::atoi(args[2].c_str()));
    if (args.size() == 4 && args[0] == "run")
        return RunPlayers(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()));
    if (args.size() == 2 && args[0] == "load") return LoadSkin(args[1]);
    if (args.size() == 4 && args[0] == "hold")
        return HoldPlayers(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()));
    std::fprintf(stderr, "usage: surfaces_bench show FOLDER SECONDS | run FOLDER PLAYERS SECONDS | load FOLDER | "
                         "hold FOLDER PLAYERS SECONDS\n");
    return 1;
}
