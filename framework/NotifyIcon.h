#pragma once
// The notification-area icon, through the first version of NOTIFYICONDATAA.
// Tips longer than 63 bytes are cut, never inside a double-byte character.
#include <windows.h>

BOOL AddNotifyIcon(HWND hwnd, UINT id, UINT callbackMessage, HICON icon, const char* tip);
// Changes only what is given: a null icon or tip leaves it as it is.
BOOL ModifyNotifyIcon(HWND hwnd, UINT id, HICON icon, const char* tip);
BOOL DeleteNotifyIcon(HWND hwnd, UINT id);
