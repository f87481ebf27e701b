// Benchmark: installs a skin archive with InstallSkinArchive into a fresh
// "skin" folder, as a drop does, and prints the time it took and the
// process's peak memory before and after. Not a test: run by hand (see
// make_bench_archive.py), figures go to the report.
//   install_bench.exe archive skin-folder
#include <windows.h>

#include <psapi.h>

#include <cstdio>

#include "app/SkinInstaller.h"

namespace {

double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: install_bench archive skin-folder\n");
        return 2;
    }
    const PROCESS_MEMORY_COUNTERS before = Memory();
    SkinDefinition definition;
    const double start = Now();
    const bool installed = InstallSkinArchive(argv[1], definition, nullptr, argv[2]);
    const double seconds = Now() - start;
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf("installed=%d title=%s time_ms=%.1f peak_working_set_mb=%.1f (before %.1f) peak_pagefile_mb=%.1f "
                "(before %.1f)\n",
                installed ? 1 : 0, definition.title.c_str(), seconds * 1000.0, after.PeakWorkingSetSize / 1048576.0,
                before.PeakWorkingSetSize / 1048576.0, after.PeakPagefileUsage / 1048576.0,
                before.PeakPagefileUsage / 1048576.0);
    return installed ? 0 : 1;
}
