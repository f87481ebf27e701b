#include "pellow/FileNameRequest.h"

#include "framework/KernelHandle.h"
#include "pellow/HookMessages.h"

namespace pellow {

bool FileNameRequest::Answer(WPARAM processId, LPARAM address)
{
    // A process id is 32 bits; a wider wParam names no process, and must not
    // be cut down to one that happens to exist.
    if (processId > 0xFFFFFFFFu || address == 0) return false;
    char path[ostra::kFileNameBufferSize] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0) return false;
    if (length >= sizeof path) length = sizeof path - 1; // cut short: keep room for the zero byte
    path[length] = '\0';
    void* target = reinterpret_cast<void*>(address);
    SIZE_T written = 0;

    const DWORD asker = static_cast<DWORD>(processId);
    if (asker == 0 || asker == GetCurrentProcessId()) {
        // Even in this process the address comes from a message anybody can
        // send: WriteProcessMemory checks it where a plain copy would fault.
        return WriteProcessMemory(GetCurrentProcess(), target, path, length + 1, &written) && written == length + 1;
    }
    KernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, asker));
    if (!process.Get()) return false;
    return WriteProcessMemory(process.Get(), target, path, length + 1, &written) && written == length + 1;
}

} // namespace pellow
