#include "framework/FaultGuard.h"

#include <malloc.h>

namespace {

// Codes GCC's own C++ unwinder raises; they belong to catch blocks further
// out and must pass through our frame untouched.
bool IsGccUnwindCode(DWORD code)
{
    return code == 0x20474343 || code == 0x21474343 || code == 0x22474343;
}

} // namespace

#if defined(__x86_64__)

namespace {
// The code of the fault being handled on this thread. Wine hands the
// __except block 0 instead of the code, so the filter keeps it here.
thread_local DWORD t_faultCode = 0;
} // namespace

// The filter of the frame below: called by __C_specific_handler as
// filter(exception pointers, establisher frame).
extern "C" LONG ostra_fault_filter(EXCEPTION_POINTERS* pointers, void* /*frame*/)
{
    DWORD code = pointers->ExceptionRecord->ExceptionCode;
    if (IsGccUnwindCode(code)) return EXCEPTION_CONTINUE_SEARCH;
    t_faultCode = code;
    return EXCEPTION_EXECUTE_HANDLER;
}

// int ostra_guarded_call(GuardedCall call, void* context): a function with a
// one-entry SEH scope table around the call; 1 when the call returned, 0 when
// the frame's __except block was entered. The nop keeps the call's return
// address inside the scope.
asm(R"(
    .text
    .p2align 4
    .globl ostra_guarded_call
    .def ostra_guarded_call; .scl 2; .type 32; .endef
    .seh_proc ostra_guarded_call
ostra_guarded_call:
    pushq %rbp
    .seh_pushreg %rbp
    movq %rsp, %rbp
    .seh_setframe %rbp, 0
    subq $32, %rsp
    .seh_stackalloc 32
    .seh_endprologue
    movq %rcx, %rax
    movq %rdx, %rcx
.Lostra_scope_begin:
    callq *%rax
    nop
.Lostra_scope_end:
    movl $1, %eax
    jmp .Lostra_leave
.Lostra_except:
    xorl %eax, %eax
.Lostra_leave:
    leaq 0(%rbp), %rsp
    popq %rbp
    retq
    .seh_handler __C_specific_handler, @except
    .seh_handlerdata
    .long 1
    .rva .Lostra_scope_begin, .Lostra_scope_end, ostra_fault_filter, .Lostra_except
    .text
    .seh_endproc
)");

extern "C" int ostra_guarded_call(faultguard::GuardedCall call, void* context);

namespace faultguard {

bool Run(GuardedCall call, void* context, DWORD* code)
{
    t_faultCode = 0;
    bool completed = ostra_guarded_call(call, context) != 0;
    if (!completed && t_faultCode == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
    if (code) *code = completed ? 0 : t_faultCode;
    return completed;
}

} // namespace faultguard

#elif defined(__i386__)

#include <intrin.h>

// 32-bit Windows keeps structured-exception frames in a chain at fs:0. The
// guard links a record of its own; its handler unwinds the frames above it
// and jumps back to the saved point.
namespace {

struct GuardRecord {
    EXCEPTION_REGISTRATION_RECORD record; // first: fs:0 points at it
    void* jump[5];                        // __builtin_setjmp buffer
    DWORD code;
};

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* exception, void* frame, CONTEXT* /*context*/,
                                                      void* /*dispatcher*/)
{
    if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    if (IsGccUnwindCode(exception->ExceptionCode)) return ExceptionContinueSearch;
    GuardRecord* guard = static_cast<GuardRecord*>(frame);
    guard->code = exception->ExceptionCode;
    // Let the frames between the fault and ours run their unwind handlers and
    // leave fs:0 pointing at our record.
    RtlUnwind(frame, nullptr, exception, nullptr);
    __builtin_longjmp(guard->jump, 1);
}

__attribute__((noinline)) bool RunGuarded(faultguard::GuardedCall call, void* context, DWORD* code)
{
    GuardRecord guard{};
    guard.record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(&GuardHandler);
    guard.record.Next = reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(__readfsdword(0));
    __writefsdword(0, reinterpret_cast<DWORD>(&guard.record));
    bool completed = true;
    if (__builtin_setjmp(guard.jump) == 0) {
        call(context);
    } else {
        completed = false;
    }
    __writefsdword(0, reinterpret_cast<DWORD>(guard.record.Next));
    if (!completed && guard.code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
    if (code) *code = completed ? 0 : guard.code;
    return completed;
}

} // namespace

namespace faultguard {

bool Run(GuardedCall call, void* context, DWORD* code)
{
    return RunGuarded(call, context, code);
}

} // namespace faultguard

#else
#error "the fault guard knows x86_64 and i686 only"
#endif
