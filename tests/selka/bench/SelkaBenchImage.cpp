// Benchmark of LoadPNGFile then CreateDIBitmapRegion through the real
// selka.dll (not a test): time per call pair and the process's peak private
// memory. Run once per picture so each peak belongs to one size.
// usage: selka_bench_image.exe PICTURE.png [rounds]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 10;
    HMODULE selka = LoadLibraryA("selka.dll");
    if (!selka) return 3;
    using LoadFn = HGLOBAL(__cdecl*)(const char*);
    using RegionFn = HRGN(__cdecl*)(const void*);
    auto load = reinterpret_cast<LoadFn>(reinterpret_cast<void*>(GetProcAddress(selka, "LoadPNGFile")));
    auto region = reinterpret_cast<RegionFn>(reinterpret_cast<void*>(GetProcAddress(selka, "CreateDIBitmapRegion")));
    if (!load || !region) return 4;

    PROCESS_MEMORY_COUNTERS before{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    LARGE_INTEGER freq, t0, t1, t2;
    QueryPerformanceFrequency(&freq);
    double bestLoad = 1e9, bestRegion = 1e9;
    DWORD rects = 0;
    for (int i = 0; i < rounds; ++i) {
        QueryPerformanceCounter(&t0);
        HGLOBAL dib = load(argv[1]);
        QueryPerformanceCounter(&t1);
        HRGN rgn = dib ? region(dib) : nullptr;
        QueryPerformanceCounter(&t2);
        if (!dib || !rgn) return 5;
        bestLoad = std::min(bestLoad, double(t1.QuadPart - t0.QuadPart) / freq.QuadPart);
        bestRegion = std::min(bestRegion, double(t2.QuadPart - t1.QuadPart) / freq.QuadPart);
        const DWORD size = GetRegionData(rgn, 0, nullptr);
        if (size >= sizeof(RGNDATAHEADER)) {
            RGNDATAHEADER* data = static_cast<RGNDATAHEADER*>(std::malloc(size));
            GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(data));
            rects = data->nCount;
            std::free(data);
        }
        DeleteObject(rgn);
        GlobalFree(dib);
    }
    PROCESS_MEMORY_COUNTERS after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    std::printf("%s: LoadPNGFile %.2f ms, CreateDIBitmapRegion %.2f ms (best of %d; region of %lu rectangles), "
                "peak working set +%.1f MiB over the %.1f MiB before, peak private +%.1f MiB\n",
                argv[1], bestLoad * 1e3, bestRegion * 1e3, rounds, static_cast<unsigned long>(rects),
                (after.PeakWorkingSetSize - before.WorkingSetSize) / 1048576.0, before.WorkingSetSize / 1048576.0,
                (after.PeakPagefileUsage - before.PagefileUsage) / 1048576.0);
    FreeLibrary(selka);
    return 0;
}
