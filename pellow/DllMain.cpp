// The library's entry: start-up and shut-down in each process that loads it,
// through the framework's library entry steps.
#include <windows.h>

#include "framework/FrameworkEntry.h"
#include "pellow/HostWatch.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    try {
        switch (reason) {
        case DLL_PROCESS_ATTACH:
            // Threads that start or end in a process cause no work.
            DisableThreadLibraryCalls(instance);
            return FrameworkLibraryAttach(instance);
        case DLL_PROCESS_DETACH:
            // Unloaded while the process lives on: a host window still
            // running our procedure gets its own back before our code goes.
            // At process exit (reserved set) the windows go with the process.
            if (!reserved) pellow::HostWatch::Instance().Stop();
            FrameworkLibraryDetach();
            return TRUE;
        default:
            return TRUE;
        }
    } catch (...) {
        return FALSE;
    }
}
