#include "pellow/HostName.h"

#include <cstring>
#include <string>

#include "pellow/HookMessages.h"
#include "text/AnsiText.h"

namespace pellow {

const char* const HostName::kExecutables[4] = {"ssp.exe", "sakura.exe", "embryo.exe", "materia.exe"};

bool HostName::IsHostExecutable(const char* modulePath, dbcs::LeadByteTest isLeadByte)
{
    if (!modulePath) return false;
    const dbcs::LeadByteTest isLead = isLeadByte ? isLeadByte : ansi::IsCp932LeadByte;
    const std::string name = dbcs::LastComponent(modulePath, isLead);
    // Only ASCII letters fold: a byte of a double-byte character never
    // matches a letter of the (ASCII) host names.
    for (const char* host : kExecutables)
        if (ansi::EqualsIgnoringAsciiCase(name, host, isLead)) return true;
    return false;
}

bool HostName::IsHostWindowClass(const char* className)
{
    return className && std::strcmp(className, ostra::kHostWindowClass) == 0;
}

} // namespace pellow
