// Figures of the real program under Wine, printed; nothing here asserts a
// time. Run by hand with the environment of program_test (see
// "./run ctest -R program_test -V" for the variables):
//   start-up: the program started beside a running host until its skin is
//     shown, over several starts;
//   a host started later: its window appears until its skin is shown;
// (Idle CPU is measured from outside Wine, from /proc/PID/stat of the Unix
// processes: Wine's GetProcessTimes for another process stays at the value
// it had when the process started.)
//   memory: the program's committed bytes and working set while the about
//     box stays open for a minute (its 1 ms timer paints all the while).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "OstraInstall.h"
#include "harness/StandinClient.h"
#include "harness/Desktop.h"
#include "pellow/HookMessages.h"

namespace {

HWND VisibleSkin(DWORD process)
{
    for (HWND skin : WindowsOfClass(process, ostra::kSkinWindowClass))
        if (IsWindowVisible(skin)) return skin;
    return nullptr;
}

// Polls every millisecond (a sleep, not a message wait) until the skin shows.
double MsUntilSkin(DWORD process, double start)
{
    while (!VisibleSkin(process)) {
        if (NowMs() - start > 30000) return -1;
        Sleep(1);
    }
    return NowMs() - start;
}

void Exit(ChildProcess& ostra)
{
    for (HWND main : WindowsOfClass(ostra.Id(), ostra::kMainWindowClass))
        PostMessageA(main, WM_COMMAND, 40001, 0);
    if (!ostra.Wait(15000)) ostra.Kill();
}

void Summary(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%s: median %.0f ms, min %.0f ms, max %.0f ms over %zu runs\n", what, ms[ms.size() / 2], ms.front(),
                ms.back(), ms.size());
}

void Memory(HANDLE process, const char* when)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    std::printf("memory %s: committed %zu KiB, working set %zu KiB\n", when, counters.PagefileUsage / 1024,
                counters.WorkingSetSize / 1024);
}

// Holds three stand-in hosts and the program with their skins for
// 'seconds', asleep, for tests/program/idle-cpu.sh to read the processes'
// CPU from outside Wine. 'still' removes the skins' animation files first.
int Idle(int seconds, bool still)
{
    OstraInstall install;
    if (!install.Make(still ? "idle-still" : "idle-animated", {"kaeru", "hoshi"})) return 1;
    if (still) {
        for (const char* file : {"kaeru\\surface0a.txt", "kaeru\\surface7a.txt", "hoshi\\surface0a.txt"})
            DeleteFileA((install.Folder() + "\\skin\\" + file).c_str());
    }
    StandinClient hosts[3];
    const char* places[3] = {"100,100", "400,100", "700,100"};
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> args = {"--no-shape", "--pos", places[i]};
        if (i > 0) args.push_back("--no-mutex");
        if (!hosts[i].Start(args, "idle-host" + std::to_string(i) + ".log")) return 1;
    }
    ChildProcess ostra;
    if (!install.Start(ostra)) return 1;
    const double start = NowMs();
    while (WindowsOfClass(ostra.Id(), ostra::kSkinWindowClass).size() < 3 && NowMs() - start < 30000)
        Sleep(10);
    // Both sample skins: every host starts with the star (first in the
    // catalogue); the last one switches to the frog.
    const std::vector<HWND> skins = WindowsOfClass(ostra.Id(), ostra::kSkinWindowClass);
    bool frog = false;
    if (!skins.empty()) {
        PostMessageA(skins.back(), WM_COMMAND, 101, 0);
        char title[64] = {};
        while (!(frog = std::strcmp(title, "かえる") == 0) && NowMs() - start < 30000) {
            Sleep(10);
            GetWindowTextA(skins.back(), title, sizeof title);
        }
    }
    std::printf("skins: %zu (%s)\n", WindowsOfClass(ostra.Id(), ostra::kSkinWindowClass).size(),
                frog ? "2 stars, 1 frog" : "3 stars");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    Exit(ostra);
    for (StandinClient& host : hosts)
        host.Quit();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "idle")
        return Idle(std::atoi(argv[2]), argc >= 4 && std::string(argv[3]) == "still");

    constexpr int kRuns = 5;
    std::vector<double> startUp;
    std::vector<double> lateHost;
    for (int run = 0; run < kRuns; ++run) {
        OstraInstall install;
        if (!install.Make("bench" + std::to_string(run), {"kaeru", "hoshi"})) return 1;
        {
            StandinClient host;
            if (!host.Start({"--no-shape"}, "bench-host" + std::to_string(run) + ".log")) return 1;
            ChildProcess ostra;
            const double start = NowMs();
            if (!install.Start(ostra)) return 1;
            startUp.push_back(MsUntilSkin(ostra.Id(), start));

            // A second host, started while the program runs.
            StandinClient later;
            const double launched = NowMs();
            if (!later.Start({"--no-shape", "--no-mutex", "--pos", "700,200"},
                             "bench-later" + std::to_string(run) + ".log"))
                return 1;
            const double shown = NowMs();
            const double before = NowMs();
            while (WindowsOfClass(ostra.Id(), ostra::kSkinWindowClass).size() < 2 && NowMs() - before < 30000)
                Sleep(1);
            lateHost.push_back(NowMs() - shown);
            std::printf("run %d: start-up %.0f ms; later host: window after %.0f ms, skin %.0f ms after that\n", run,
                        startUp.back(), shown - launched, lateHost.back());
            Exit(ostra);
            later.Quit();
            host.Quit();
        }
    }
    Summary("start to first skin shown", startUp);
    Summary("later host's window to its skin", lateHost);

    OstraInstall install;
    if (!install.Make("bench-about", {"kaeru"})) return 1;
    ChildProcess ostra;
    if (!install.Start(ostra)) return 1;
    HWND main = ostra.FindWindowOfClass(ostra::kMainWindowClass, 15000);
    Sleep(2000);
    Memory(ostra.Handle(), "before the about box");
    PostMessageA(main, WM_COMMAND, 40006, 0);
    Sleep(2000);
    Memory(ostra.Handle(), "about box open 2 s");
    Sleep(30000);
    Memory(ostra.Handle(), "about box open 32 s");
    Sleep(30000);
    Memory(ostra.Handle(), "about box open 62 s");
    for (HWND box : WindowsOfClass(ostra.Id(), "#32770"))
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    Sleep(1000);
    Exit(ostra);
    return 0;
}
