#include "skin/SkinMenu.h"

#include "framework/Menu.h"
#include "selka/selka.h"
#include "skin/CategoryMenus.h"
#include "skin/SkinWindow.h"

namespace {
constexpr UINT kSkinInfoCommand = 40006;
} // namespace

void ShowSkinMenu(SkinWindow& skin, const SkinCatalogue& catalogue, HWND mainWindow, int x, int y)
{
    const HWND hwnd = skin.Handle();
    RECT r{};
    GetWindowRect(hwnd, &r);
    POINT at{x, y};
    if (!PtInRect(&r, at)) at = {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};

    Menu menu;
    if (!menu.CreatePopup()) return;
    BuildCategoryMenus(menu, catalogue);
    menu.Append(MF_SEPARATOR, 0, nullptr);
    menu.Append(MF_STRING, kSkinInfoCommand, "スキンの情報(&I)");

    const bool onTop = skin.OnTop();
    SetOstraZOrder(hwnd, skin.Host(), onTop ? 1 : 0, 0);
    skin.SetForeground(true);
    // While the menu is tracked, the periodic z-order check of an "ontop"
    // skin would put the skin over the menu.
    skin.SetMenuOpen(true);
    const UINT chosen = static_cast<UINT>(
        menu.TrackPopup(TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, onTop ? hwnd : mainWindow));
    // The tracking dispatched messages: the window may be gone.
    if (!IsWindow(hwnd)) return;
    PostMessageA(hwnd, WM_NULL, 0, 0);
    skin.SetMenuOpen(false);
    PostMessageA(hwnd, WM_COMMAND, chosen, 0);
}
