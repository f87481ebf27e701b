// The library's one export: installing and removing the message hook.
#include "pellow/pellow.h"

#include "pellow/HookMessages.h"
#include "pellow/HostName.h"
#include "pellow/HostWatch.h"
#include "pellow/SharedHook.h"

extern "C" IMAGE_DOS_HEADER __ImageBase; // this library's own module

namespace {

struct NotifyRequest {
    UINT message;
    WPARAM request;
};

BOOL CALLBACK NotifyHostWindow(HWND window, LPARAM lParam)
{
    const auto* request = reinterpret_cast<const NotifyRequest*>(lParam);
    char name[257] = {};
    if (GetClassNameA(window, name, sizeof name) == 0 || !pellow::HostName::IsHostWindowClass(name)) return TRUE;
    // A hung window must not hang the main program at start-up or exit.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, request->message, request->request, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    return TRUE;
}

// Sends the notify message with 'request' to every top-level host window.
void NotifyHostWindows(WPARAM request)
{
    NotifyRequest notify{pellow::HostWatch::Instance().NotifyMessage(), request};
    if (notify.message == 0) return;
    EnumWindows(NotifyHostWindow, reinterpret_cast<LPARAM>(&notify));
}

int Install(HWND hwndMain)
{
    if (HHOOK recorded = pellow::SharedHook::Get()) {
        if (pellow::SharedHook::OwnerRunning()) return 0;
        // Left behind by a program that ended without removing its hook (the
        // system removed the hook with it): otherwise no main program could
        // start again while any process keeps this library loaded.
        if (!pellow::SharedHook::ReleaseIf(recorded)) return 0;
    }
    pellow::HostWatch::Instance().SetMainWindow(hwndMain);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &pellow::HostWatch::GetMessageProc,
                                   reinterpret_cast<HINSTANCE>(&__ImageBase), 0);
    if (!hook) return 0;
    if (!pellow::SharedHook::Claim(hook)) {
        // Another program installed one between our check and now.
        UnhookWindowsHookEx(hook);
        return 0;
    }
    NotifyHostWindows(ostra::kNotifyAttach);
    return 1;
}

int Remove()
{
    NotifyHostWindows(ostra::kNotifyDetach);
    HHOOK hook = pellow::SharedHook::Release();
    if (!hook) return 1;
    return UnhookWindowsHookEx(hook) ? 1 : 0;
}

} // namespace

extern "C" int __cdecl SetupHook(HWND hwndMain, int install)
{
    try {
        return install == 1 ? Install(hwndMain) : Remove();
    } catch (...) {
        return 0; // nothing may leave an export
    }
}
