#pragma once
// Uniform transparency of skin windows through layered windows.
//
// SetLayeredWindowAttributes exists only from Windows 2000 on; the program
// also runs where it is missing, so the function is looked up by name in
// "User32" each time it is needed (the library is loaded, asked and freed
// after the call), and every call degrades to "nothing done" (FALSE) without it.
#include <windows.h>

namespace ostra {

// Adds the layered bit to an existing window's extended style and makes it
// fully opaque (colour key 0, alpha 255, LWA_ALPHA). Returns the platform
// call's result; FALSE when the window does not exist or the platform has no
// layered windows (the style is then left alone).
BOOL MakeLayered(HWND window);

// Sets the opacity of a window made layered before: percent is capped at 100
// and turned into alpha by OpacityAlpha (100 -> 255, 50 -> 127, 10 -> 25).
// Returns the platform call's result; FALSE for a window without the layered
// bit or on a platform without layered windows.
BOOL ApplyTransparency(HWND window, BYTE percent);

// Whether the platform has SetLayeredWindowAttributes. Looked up once and
// remembered.
bool LayeredWindowsSupported();

// How the functions above find SetLayeredWindowAttributes inside the loaded
// "User32" module. The default is GetProcAddress. Installing another one (a
// null one restores the default) also forgets the remembered answer of
// LayeredWindowsSupported; it is how a program that must act as on a system
// without layered windows (Windows 95, 98, NT 4) is tested on one that has them.
using LayeredFunctionLookup = FARPROC (*)(HMODULE user32, LPCSTR name);
void SetLayeredFunctionLookup(LayeredFunctionLookup lookup);

} // namespace ostra
