// Figures of the SSTP relay, printed for the record (not a test):
//  1. the latency the relay adds: 100 requests through it against the same
//     100 sent straight to the stand-in host's SSTP server (the pause between
//     accepted connections set to 0 for this, then measured on its own);
//  2. the process's memory and threads after 10 and after 1000 relayed requests.
// Run inside ./run shell with OSTRA_TOOLS_DIR and OSTRA_TEST_TMP set as ctest sets them.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/StandinClient.h"
#include "talk/SstpRouter.h"

namespace {

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One request over a fresh connection; the answer's length, -1 on failure.
int Exchange(uint16_t port, const std::string& request)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int total = -1;
    if (connect(s, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0 &&
        send(s, request.data(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size())) {
        char buffer[1024];
        total = 0;
        int n;
        while ((n = recv(s, buffer, sizeof buffer, 0)) > 0)
            total += n;
    }
    closesocket(s);
    return total;
}

struct Figures {
    double median = 0, worst = 0;
    int failures = 0;
};

Figures Measure(uint16_t port, const std::string& request, int count)
{
    std::vector<double> times;
    Figures figures;
    for (int i = 0; i < count; ++i) {
        const double start = Seconds();
        if (Exchange(port, request) <= 0) ++figures.failures;
        times.push_back((Seconds() - start) * 1000.0);
    }
    std::sort(times.begin(), times.end());
    figures.median = times[times.size() / 2];
    figures.worst = times.back();
    return figures;
}

int ThreadCount()
{
    int count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

void PrintMemory(const char* when, int requests)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine leaves PrivateUsage at 0; the page-file usage is the committed memory it reports.
    std::printf("%-28s %5d requests: committed %7.1f KiB, working set %7.1f KiB, threads %d\n", when, requests,
                counters.PagefileUsage / 1024.0, counters.WorkingSetSize / 1024.0, ThreadCount());
}

} // namespace

int main()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    // A port of the system's choice for the stand-in's server.
    uint16_t hostPort = 0;
    {
        SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
        hostPort = ntohs(address.sin_port);
        closesocket(probe);
    }
    StandinClient standin;
    if (!standin.Start({"--hidden", "--sstp-server", "--sstp-port", std::to_string(hostPort)})) {
        std::printf("the stand-in host did not start\n");
        return 1;
    }
    const std::string request = "SEND SSTP/1.1\r\nSender: bench\r\nScript: \\s[1]\\e\r\nHWnd: 0\r\n\r\n";

    talk::RelaySettings settings;
    settings.listenPort = 0;
    settings.hostPort = hostPort;
    settings.acceptPauseMs = 0;
    talk::SstpRouter router;
    if (!router.StartRouting(settings)) {
        std::printf("the relay did not start\n");
        return 1;
    }
    Measure(hostPort, request, 5); // warm both paths
    Measure(router.Port(), request, 5);
    const Figures direct = Measure(hostPort, request, 100);
    const Figures relayed = Measure(router.Port(), request, 100);
    std::printf("100 requests straight to the host: median %.2f ms, worst %.2f ms, failures %d\n", direct.median,
                direct.worst, direct.failures);
    std::printf("100 requests through the relay:    median %.2f ms, worst %.2f ms, failures %d\n", relayed.median,
                relayed.worst, relayed.failures);
    std::printf("added by the relay: median %.2f ms, worst %.2f ms\n", relayed.median - direct.median,
                relayed.worst - direct.worst);
    router.StopRouting();

    // The program's own pause: back-to-back requests wait for the listener.
    settings.acceptPauseMs = 500;
    router.StartRouting(settings);
    const Figures paused = Measure(router.Port(), request, 10);
    std::printf("10 back-to-back requests with the 500 ms pause: median %.2f ms, worst %.2f ms\n", paused.median,
                paused.worst);
    router.StopRouting();

    settings.acceptPauseMs = 0;
    PrintMemory("before the relay starts:", 0);
    router.StartRouting(settings);
    Measure(router.Port(), request, 10);
    PrintMemory("relay running, after", 10);
    Measure(router.Port(), request, 990);
    PrintMemory("relay running, after", 1000);
    router.StopRouting();
    PrintMemory("relay stopped, after", 1000);
    standin.Quit();
    WSACleanup();
    return 0;
}
