#pragma once
// Runs a call into foreign code (the platform's cabinet decompressor) under a
// real structured-exception frame, so that an access violation or any other
// fault inside it becomes a failure result instead of ending the host program.
// mingw GCC has no __try: the frame is a small assembly trampoline per
// architecture (SehGuard_x64.S, SehGuard_x86.S).
#include <windows.h>

class SehGuard {
  public:
    // Calls fn(context). True when it returned; false when a fault was raised
    // inside it and caught here (LastFault() then names it).
    static bool Call(void (*fn)(void*), void* context);

    // The exception code of the last fault caught on this thread.
    static DWORD LastFault();
};
