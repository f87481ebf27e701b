// Calls SetupHook from a process of its own, to see what another process
// sees of the installed hook. Loads the library by path and finds the export
// by its plain name. Exit code: 10 + what SetupHook(null, 1) returned; 2 when
// the library or the export is missing. A successful install is removed again.
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    HMODULE library = LoadLibraryA(argv[1]);
    if (!library) return 2;
    using SetupHookFunction = int(__cdecl*)(HWND, int);
    // Through void*: FARPROC has no arguments, and the cast must not be checked against ours.
    auto setupHook = reinterpret_cast<SetupHookFunction>(reinterpret_cast<void*>(GetProcAddress(library, "SetupHook")));
    if (!setupHook) return 2;
    int result = setupHook(nullptr, 1);
    if (result == 1) setupHook(nullptr, 0);
    FreeLibrary(library);
    return 10 + result;
}
