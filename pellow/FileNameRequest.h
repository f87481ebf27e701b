#pragma once
// Answers "DLVOstraGetFileName" inside a host process: the path of the host's
// executable, with its terminating zero byte, is written into the buffer of
// the asking process.
#include <windows.h>

namespace pellow {

class FileNameRequest {
public:
    // wParam: id of the asking process (0 for this process); lParam: address
    // of its buffer of 260 bytes. True when the path was written. Nothing is
    // written when the process cannot be opened or the address is not
    // writable there; the buffer then keeps its content. Never faults, also
    // not for a bogus address in this process.
    static bool Answer(WPARAM processId, LPARAM address);
};

} // namespace pellow
