// Benchmark: open an archive through bruna.dll, list it, and extract every
// member into files under a folder; prints the time of each phase and the
// process's peak memory. Not a test: run by hand, figures go to the report.
//   bruna_bench.exe archive output-folder [memory]
// With "memory" the members are extracted into memory only (no files).
#include <windows.h>

#include <psapi.h>

#include "bruna/ArcFindData.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

SIZE_T PeakBytes()
{
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PeakWorkingSetSize;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bruna_bench archive output-folder\n");
        return 2;
    }
    HMODULE m = LoadLibraryA("bruna.dll");
    if (!m) return 3;
    using OpenFn = void*(__cdecl*)(const char*);
    using CloseFn = BOOL(__cdecl*)(void*);
    using FindFn = BOOL(__cdecl*)(void*, ArcFindData*);
    using ExtractFileFn = BOOL(__cdecl*)(void*, const char*, const char*);
    auto open = reinterpret_cast<OpenFn>(reinterpret_cast<void*>(GetProcAddress(m, "ArcOpen")));
    auto close = reinterpret_cast<CloseFn>(reinterpret_cast<void*>(GetProcAddress(m, "ArcClose")));
    auto first = reinterpret_cast<FindFn>(reinterpret_cast<void*>(GetProcAddress(m, "ArcFindFirst")));
    auto next = reinterpret_cast<FindFn>(reinterpret_cast<void*>(GetProcAddress(m, "ArcFindNext")));
    auto extract = reinterpret_cast<ExtractFileFn>(reinterpret_cast<void*>(GetProcAddress(m, "ArcExtractToFile")));
    using ExtractFn = HGLOBAL(__cdecl*)(void*, const char*);
    auto toMemory = reinterpret_cast<ExtractFn>(reinterpret_cast<void*>(GetProcAddress(m, "ArcExtractToMemory")));
    if (!open || !close || !first || !next || !extract || !toMemory) return 3;
    const bool memoryOnly = argc > 3 && std::string(argv[3]) == "memory";

    const SIZE_T baseline = PeakBytes();
    const double t0 = Now();
    void* h = open(argv[1]);
    if (!h) return 4;
    const double t1 = Now();
    std::vector<std::string> names;
    ArcFindData d;
    for (BOOL more = first(h, &d); more; more = next(h, &d))
        names.push_back(d.fileName);
    const double t2 = Now();
    int extracted = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string out = std::string(argv[2]) + "\\" + std::to_string(i);
        if (memoryOnly) {
            HGLOBAL block = toMemory(h, names[i].c_str());
            if (block) {
                ++extracted;
                GlobalFree(block);
            }
        } else if (extract(h, names[i].c_str(), out.c_str())) {
            ++extracted;
        }
    }
    const double t3 = Now();
    close(h);
    std::printf("members %zu extracted %d\nopen %.3f s\nlist %.6f s\nextract %.3f s\ntotal %.3f s\n"
                "peak working set %.1f MiB (before open %.1f MiB)\n",
                names.size(), extracted, t1 - t0, t2 - t1, t3 - t2, t3 - t0, PeakBytes() / 1048576.0,
                baseline / 1048576.0);
    FreeLibrary(m);
    return 0;
}
