#pragma once
// The handle of the installed message hook, one value for every process that
// has loaded this library (a shared data section). Written only by SetupHook
// in the main program; read by the hook procedure everywhere.
#include <windows.h>

namespace pellow {

class SharedHook {
public:
    // The installed hook, or null when none is.
    static HHOOK Get();
    // Records 'hook' when no hook is recorded; false when one already was.
    static bool Claim(HHOOK hook);
    // Clears the record and returns what it held.
    static HHOOK Release();
};

} // namespace pellow
