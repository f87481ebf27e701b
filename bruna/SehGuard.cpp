#include "bruna/SehGuard.h"

#include <malloc.h>

namespace {
thread_local DWORD t_lastFault = 0;
}

extern "C" {

// The trampolines: 1 when fn returned, 0 when the frame caught a fault.
int bruna_seh_call(void (*fn)(void*), void* context);

// x86_64: the scope filter __C_specific_handler calls. Wine hands the
// except block no code, so it is taken here.
LONG bruna_seh_filter(EXCEPTION_POINTERS* pointers, void* /*establisherFrame*/)
{
    t_lastFault = pointers && pointers->ExceptionRecord ? pointers->ExceptionRecord->ExceptionCode : 0;
    return EXCEPTION_EXECUTE_HANDLER;
}

#if defined(__i386__)
// i686: the registration record the trampoline pushes and links at fs:0.
struct BrunaSehFrame {
    BrunaSehFrame* previous;
    void* handler;
    DWORD esp; // the trampoline's stack pointer with the record on top
    DWORD ebp; // the trampoline's frame pointer
};

void bruna_seh_resume32();

// Called by the system for a fault inside the guarded call: unwind the
// frames above ours (running their handlers), then resume in the trampoline
// with the stack as it was when it made the call.
EXCEPTION_DISPOSITION __cdecl bruna_seh_handler32(EXCEPTION_RECORD* record, void* establisher, CONTEXT* context,
                                                  void* /*dispatcher*/)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    t_lastFault = record->ExceptionCode;
    RtlUnwind(establisher, nullptr, record, nullptr);
    BrunaSehFrame* frame = static_cast<BrunaSehFrame*>(establisher);
    context->Esp = frame->esp;
    context->Ebp = frame->ebp;
    context->Eip = reinterpret_cast<DWORD>(&bruna_seh_resume32);
    return ExceptionContinueExecution;
}
#endif

} // extern "C"

bool SehGuard::Call(void (*fn)(void*), void* context)
{
    if (bruna_seh_call(fn, context)) return true;
    if (t_lastFault == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
    return false;
}

DWORD SehGuard::LastFault()
{
    return t_lastFault;
}
