#pragma once
// The installed message hook, one record for every process that has loaded
// this library (a shared data section): the hook handle and the process that
// installed it. Written only by SetupHook; the handle is read by the hook
// procedure everywhere.
#include <windows.h>

namespace pellow {

class SharedHook {
public:
    // The installed hook, or null when none is.
    static HHOOK Get();
    // Records 'hook', installed by this process, when no hook is recorded;
    // false when one already was.
    static bool Claim(HHOOK hook);
    // Clears the record and returns the hook it held.
    static HHOOK Release();
    // Clears the record only while it still holds 'hook'; true when it did.
    static bool ReleaseIf(HHOOK hook);
    // True while the process that installed the recorded hook runs (or is
    // still recording it). A program that ended without removing its hook
    // leaves a record that no longer stands for a hook: the system removed
    // the hook with the program.
    static bool OwnerRunning();
};

} // namespace pellow
