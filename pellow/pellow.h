#pragma once
// pellow: the window-watch hook library. The main program installs a
// system-wide message hook with SetupHook; the copy of this library that the
// system loads into each host process then attaches the host's main window
// (class "Tmainform") to the main program and reports its moves,
// deactivation, menus and showing to the skin window. The messages it sends
// are listed in pellow/HookMessages.h.
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// install = 1: records hwndMain as the main window that host windows are
// reported to and installs the hook for all threads of the desktop, then asks
// every top-level "Tmainform" window to attach. Returns 1 on success, 0 when a
// hook is already installed (by any process) or installation failed.
// Any other install value: asks every top-level "Tmainform" window to
// detach (each attached host reports WM_SKIN_DETACH to the main window before
// this returns, unless it is hung), then removes the hook. Returns the result
// of UnhookWindowsHookEx, or 1 when no hook was installed.
// Nothing is allocated for the caller; no ownership crosses the call.
int __cdecl SetupHook(HWND hwndMain, int install);

#ifdef __cplusplus
}
#endif
