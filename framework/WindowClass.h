#pragma once
// Window classes whose windows run the framework's window procedure.
#include <windows.h>

// TRUE at once when the module (the application's instance) already has a
// class of that name; otherwise RegisterClassExA with the framework's procedure.
BOOL RegisterWindowClass(const char* className, UINT style, HICON icon, HICON smallIcon, HCURSOR cursor,
                         HBRUSH background);
