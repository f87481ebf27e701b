#pragma once
// Reading the desktop as a test sees it: the stacking order of the
// top-level windows, and a millisecond clock for benchmarks.
#include <windows.h>

#include <cstddef>
#include <vector>

// Every top-level window from the top of the stacking order down.
std::vector<HWND> StackingOrder();
// The position of 'window' in 'order' (order.size() when it is not there).
std::size_t PlaceOf(const std::vector<HWND>& order, HWND window);
// Milliseconds of the performance counter.
double NowMs();
