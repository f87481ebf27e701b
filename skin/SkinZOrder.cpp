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
    // Above every window that is not topmost (other skins "ontop" aside),
    // and not topmost itself.
    // The walk ends at the first topmost window: every window above that one
    // is topmost too.
    if (IsTopmost(skin)) return false;
    for (HWND above = GetWindow(skin, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        if (IsTopmost(above)) return true;
        if (!IsSkinOnTop(above)) return false;
    }
    return true;
}

} // namespace skinzorder
