#pragma once
// Whether a skin window already stands in the z-order where SetOstraZOrder
// would put it, read through GetWindow and the topmost bits: the main
// window's check runs ten times a second for every skin, and each
// SetOstraZOrder call moves windows (and wakes the host) even when nothing
// changes.
#include <windows.h>

namespace skinzorder {

// onTop: the skin's "ontop" setting. False when unsure: the caller then
// lets SetOstraZOrder decide, as before.
bool StandsInPlace(HWND skin, HWND host, bool onTop);

} // namespace skinzorder
