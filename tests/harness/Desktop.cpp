#include "harness/Desktop.h"

#include <algorithm>

std::vector<HWND> StackingOrder()
{
    std::vector<HWND> order;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        order.push_back(w);
    return order;
}

std::size_t PlaceOf(const std::vector<HWND>& order, HWND window)
{
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), window) - order.begin());
}

double NowMs()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
