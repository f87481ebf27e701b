#pragma once
// Runs a call so that nothing it throws leaves it: neither a C++ exception nor
// a hardware fault (access violation, division by zero, a raised structured
// exception). mingw's GCC has no __try/__except and catch (...) does not see
// hardware faults, so the call runs inside a structured-exception frame of
// our own. Used at the window procedure and wherever foreign code is called.
#include <windows.h>

#include <utility>

namespace faultguard {

// The exception code reported for a C++ exception caught by the guard.
constexpr DWORD kCxxException = 0xE0435858; // 0xE0 'C' 'X' 'X'

using GuardedCall = void (*)(void* context);

// Calls 'call(context)'. True when it returned normally; false when it
// faulted, with the exception code in *code (when given).
bool Run(GuardedCall call, void* context, DWORD* code);

// The same for any callable: C++ exceptions are caught inside, faults by Run.
template <class Callable> bool Guard(Callable&& callable, DWORD* code = nullptr)
{
    struct Frame {
        Callable* callable;
        bool threw;
    } frame{&callable, false};
    GuardedCall thunk = [](void* context) {
        Frame* f = static_cast<Frame*>(context);
        try {
            (*f->callable)();
        } catch (...) {
            f->threw = true;
        }
    };
    DWORD faultCode = 0;
    bool completed = Run(thunk, &frame, &faultCode);
    if (completed && frame.threw) {
        completed = false;
        faultCode = kCxxException;
    }
    if (code) *code = completed ? 0 : faultCode;
    return completed;
}

} // namespace faultguard
