#pragma once
// How every export of selka treats the pointers its caller passes: it trusts
// them only as far as the system lets them be used. The export's work on the
// caller's memory (reading strings and pictures, writing digests and out
// values) runs inside the fault guard; an access violation there, like a C++
// exception (no memory), ends that work and the export gives its documented
// failure result. No probing beforehand (IsBadReadPtr and the like answer
// for a moment that has passed by the time the memory is used, and swallow
// guard pages): the use itself is what is guarded.
#include <windows.h>

#include <utility>

#include "framework/FaultGuard.h"

namespace selka {

// Runs 'work' inside the fault guard; true when it completed.
template <class Work> bool UseCallerMemory(Work work)
{
    return faultguard::Guard(std::move(work));
}

} // namespace selka
