#pragma once
// How the hook recognises the host program: by the file name of the process's
// executable and by the class of its main window. Portable: the caller passes
// the executable path and the code page's lead-byte test.

#include "framework/DbcsPath.h"

namespace pellow {

class HostName {
public:
    // The executable file names of the host program, lower case.
    static const char* const kExecutables[4];

    // True when the part of 'modulePath' after its last backslash is one of
    // the host executables, compared without regard to ASCII case. The
    // backslash search steps over double-byte characters, so a trail byte
    // 0x5C is not taken for a separator. A null path is no host; without a
    // lead-byte test, code page 932 is assumed.
    static bool IsHostExecutable(const char* modulePath, dbcs::LeadByteTest isLeadByte);

    // True when 'className' is exactly the host main window's class.
    static bool IsHostWindowClass(const char* className);
};

} // namespace pellow
