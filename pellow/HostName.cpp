#include "pellow/HostName.h"

#include <cstring>
#include <string>

#include "pellow/HookMessages.h"

namespace pellow {

const char* const HostName::kExecutables[4] = {"ssp.exe", "sakura.exe", "embryo.exe", "materia.exe"};

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Only ASCII letters fold: the host names are ASCII, and a byte of a
// double-byte character must never fold into one of their letters.
bool EqualsIgnoringAsciiCase(const std::string& text, const char* lowerName)
{
    std::size_t i = 0;
    for (; i < text.size() && lowerName[i]; ++i)
        if (LowerAscii(text[i]) != lowerName[i]) return false;
    return i == text.size() && lowerName[i] == '\0';
}

} // namespace

bool HostName::IsHostExecutable(const char* modulePath, dbcs::LeadByteTest isLeadByte)
{
    if (!modulePath) return false;
    const std::string name = dbcs::LastComponent(modulePath, isLeadByte ? isLeadByte : dbcs::IsCp932LeadByte);
    for (const char* host : kExecutables)
        if (EqualsIgnoringAsciiCase(name, host)) return true;
    return false;
}

bool HostName::IsHostWindowClass(const char* className)
{
    return className && std::strcmp(className, ostra::kHostWindowClass) == 0;
}

} // namespace pellow
