// Shows one of the program's dialogs for a while so it can be looked at and
// photographed (import -display :N -window root shot.png). Run by hand:
//   dialog_showcase options SECONDS   the options sheet
//   dialog_showcase link SECONDS      the test dialog with the link hovered
//   dialog_showcase info FOLDER SECONDS   the skin information dialog
#include <windows.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ControlsTestDialog.h"
#include "ControlsTestIds.h"
#include "app/ShowOptions.h"
#include "framework/Application.h"
#include "skin/LayeredWindow.h"
#include "skin/SkinInfoDialog.h"

namespace {

class ShowcaseApplication : public Application {
  public:
    ShowcaseApplication() { SetName("おすとら"); }
} g_app;

class OneSkin : public SkinWindowList {
  public:
    explicit OneSkin(HWND skin) : m_skin(skin) {}
    std::vector<HWND> SkinWindows() const override { return {m_skin}; }

  private:
    HWND m_skin;
};

BOOL CALLBACK CancelDialog(HWND hwnd, LPARAM)
{
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(hwnd)) PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

// Cancels the modal dialogs of a thread after 'seconds'.
void CancelLater(DWORD threadId, int seconds)
{
    std::thread([threadId, seconds] {
        Sleep(static_cast<DWORD>(seconds) * 1000);
        EnumThreadWindows(threadId, CancelDialog, 0);
    }).detach();
}

void Pump(int seconds)
{
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string what = argc > 1 ? argv[1] : "";
    if (what == "options" && argc > 2) {
        HWND skin = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "skin", WS_POPUP | WS_VISIBLE, 10, 10, 80, 80, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
        ostra::MakeLayered(skin);
        OneSkin skins(skin);
        Settings settings;
        settings.TalkControl = true;
        settings.AlphaValue = 70;
        CancelLater(GetCurrentThreadId(), std::atoi(argv[2]));
        ShowOptions(nullptr, settings, skins);
        return 0;
    }
    if (what == "link" && argc > 2) {
        ControlsTestDialog dialog(IDD_CONTROLS_TEST);
        HWND link = dialog.Item(IDC_LINK);
        RECT r;
        GetWindowRect(link, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Pump(std::atoi(argv[2]));
        return 0;
    }
    if (what == "info" && argc > 3) {
        HWND owner = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "owner", WS_POPUP | WS_VISIBLE | WS_BORDER, 200, 150,
                                     600, 450, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        CancelLater(GetCurrentThreadId(), std::atoi(argv[3]));
        SkinInfoDialog(argv[2]).Run(owner);
        return 0;
    }
    return 2;
}
