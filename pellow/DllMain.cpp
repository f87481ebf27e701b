// The library's entry: start-up and shut-down in each process that loads it.
#include <windows.h>

#include "pellow/HostWatch.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    try {
        switch (reason) {
        case DLL_PROCESS_ATTACH:
            // Threads that start or end in a process cause no work.
            DisableThreadLibraryCalls(instance);
            pellow::HostWatch::Instance().Start();
            return TRUE;
        case DLL_PROCESS_DETACH:
            // At process exit (reserved set) the windows go with the process.
            if (!reserved) pellow::HostWatch::Instance().Stop();
            return TRUE;
        default:
            return TRUE;
        }
    } catch (...) {
        return FALSE;
    }
}
