#pragma once
// The running system's version. GetVersionExA is deprecated but still the
// call that tells the consumer line (Windows 9x) from the NT line, which the
// framework's few version-dependent steps need.
#include <windows.h>

// Fills 'version'; false when the system does not answer.
inline bool QueryOsVersion(OSVERSIONINFOA& version)
{
    version = OSVERSIONINFOA{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExA(&version) != FALSE;
#pragma GCC diagnostic pop
}
