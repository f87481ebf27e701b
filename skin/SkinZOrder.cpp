#include "skin/SkinZOrder.h"

namespace skinzorder {

namespace {

bool IsTopmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

} // namespace

bool StandsInPlace(HWND skin, HWND host, bool onTop)
{
    if (!onTop) {
        // Right below its host, in the host's band.
        return GetWindow(host, GW_HWNDNEXT) == skin && IsTopmost(skin) == IsTopmost(host);
    }
    if (IsTopmost(host)) {
        // Above every other window.
        return IsTopmost(skin) && GetWindow(skin, GW_HWNDPREV) == nullptr;
    }
    // Above every window that is not topmost, and not topmost itself.
    if (IsTopmost(skin)) return false;
    for (HWND above = GetWindow(skin, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
        if (!IsTopmost(above)) return false;
    return true;
}

} // namespace skinzorder
