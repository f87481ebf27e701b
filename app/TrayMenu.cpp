#include "app/TrayMenu.h"

#include <windows.h>

#include "framework/Menu.h"
#include "framework/Window.h"
#include "skin/CategoryMenus.h"

void ShowTrayMenu(Window& mainWindow, const SkinCatalogue& catalogue)
{
    Menu menu;
    Menu switchAll;
    if (!menu.CreatePopup() || !switchAll.CreatePopup()) return;
    BuildCategoryMenus(switchAll, catalogue);
    if (menu.Append(MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(switchAll.Handle()), "スキン一斉切り替え(&C)"))
        switchAll.Detach();
    menu.Append(MF_SEPARATOR, 0, nullptr);
    menu.Append(MF_STRING, 40011, "スキンリロード(&R)");
    menu.Append(MF_SEPARATOR, 0, nullptr);
    menu.Append(MF_STRING, 40012, "オプション(&O)...");
    menu.Append(MF_STRING, 40006, "バージョン情報(&A)...");
    menu.Append(MF_SEPARATOR, 0, nullptr);
    menu.Append(MF_STRING, 40001, "おすとらの終了(&X)");

    // A menu of a window that is not in the foreground would not close when
    // the user clicks elsewhere.
    mainWindow.SetForeground(true);
    POINT cursor{};
    GetCursorPos(&cursor);
    menu.TrackPopup(TPM_RIGHTBUTTON, cursor.x, cursor.y, mainWindow.Handle());
}
