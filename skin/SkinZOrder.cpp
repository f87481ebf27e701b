#include "skin/SkinZOrder.h"

#include "pellow/HookMessages.h"

namespace skinzorder {

namespace {

bool IsTopmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Another skin that stands above the windows that are not topmost: skins
// "ontop" share the top, and each taking it from the others in turn would
// restack them all ten times a second.
bool IsSkinOnTop(HWND window)
{
    char name[sizeof ostra::kSkinWindowClass + 1] = {};
    return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, ostra::kSkinWindowClass) == 0 &&
           GetPropA(window, ostra::kSkinAboveProperty) != nullptr;
}

} // namespace

Standing StandingOf(HWND skin, HWND host, bool onTop)
{
    SetLastError(ERROR_SUCCESS);
    const LONG hostStyle = GetWindowLongA(host, GWL_EXSTYLE);
    if (hostStyle == 0 && GetLastError() == ERROR_INVALID_WINDOW_HANDLE) return Standing::HostGone;
    const bool hostTopmost = (hostStyle & WS_EX_TOPMOST) != 0;
    bool inPlace = true;
    if (!onTop) {
        // Right below its host, in the host's band.
        inPlace = IsTopmost(skin) == hostTopmost && GetWindow(host, GW_HWNDNEXT) == skin;
    } else if (hostTopmost) {
        // Above every other window.
        inPlace = IsTopmost(skin) && GetWindow(skin, GW_HWNDPREV) == nullptr;
    } else if (IsTopmost(skin)) {
        // Above every window that is not topmost (other skins "ontop"
        // aside), and not topmost itself.
        inPlace = false;
    } else {
        // The walk ends at the first topmost window: every window above
        // that one is topmost too.
        for (HWND above = GetWindow(skin, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
            if (IsTopmost(above)) break;
            if (!IsSkinOnTop(above)) {
                inPlace = false;
                break;
            }
        }
    }
    return inPlace ? Standing::InPlace : Standing::OutOfPlace;
}

} // namespace skinzorder
