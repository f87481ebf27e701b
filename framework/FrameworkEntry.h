#pragma once
// The framework's entry steps: in a program, the body of WinMain (which the
// framework also provides, see WinMain.cpp); in a DLL that carries the
// framework, the steps its DllMain takes at load and unload.
#include <windows.h>

// Runs the program: stores the entry data in the application object, calls
// InitInstance and, when it agrees, the message loop. Returns the exit code
// (0 without an application object or when InitInstance refuses).
int FrameworkWinMain(HINSTANCE instance, const char* commandLine, int showCommand);

// For DllMain's DLL_PROCESS_ATTACH: needs the library's application object;
// installs a foreground-idle hook on the loading thread that purges the
// temporary objects (a DLL has no message loop of its own to do it), stores
// the module instance, an empty command line and the start-up show command,
// and calls InitInstance. TRUE only when InitInstance answered TRUE.
// Wine never calls foreground-idle hooks, so the window procedure also purges
// the temporaries whenever its outermost call returns, from here on.
BOOL FrameworkLibraryAttach(HINSTANCE module);

// For DLL_PROCESS_DETACH: removes the idle hook, purges the temporary
// objects and calls ExitInstance; returns its result.
int FrameworkLibraryDetach();

// The registered wheel message of Windows 95 ("MSWHEEL_ROLLMSG"), or 0 when
// the system reports the wheel as WM_MOUSEWHEEL. The entry steps register it
// on Windows 95; RegisterLegacyWheelMessage does so on any system.
UINT LegacyWheelMessage();
UINT RegisterLegacyWheelMessage();

// Windows 95 proper: the consumer line, version 4.0.
bool IsWindows95();
