// The cost of one ApplyTransparency call (the library lookup of
// SetLayeredWindowAttributes included), which the options sheet makes for
// every skin window at every track-bar step. Run by hand; prints microseconds.
#include <windows.h>

#include <cstdio>

#include "skin/LayeredWindow.h"

int main()
{
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (!w || !ostra::MakeLayered(w)) return 1;
    const int calls = 20000;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i)
        ostra::ApplyTransparency(w, static_cast<BYTE>(10 + i % 91));
    QueryPerformanceCounter(&end);
    double micro = (end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart / calls;
    std::printf("ApplyTransparency: %.2f us per call (%d calls)\n", micro, calls);

    // The platform call alone, for comparison: what the lookup adds.
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i)
        SetLayeredWindowAttributes(w, 0, static_cast<BYTE>(25 + i % 230), LWA_ALPHA);
    QueryPerformanceCounter(&end);
    micro = (end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart / calls;
    std::printf("SetLayeredWindowAttributes alone: %.2f us per call\n", micro);
    DestroyWindow(w);
    return 0;
}
