#include "pellow/HostName.h"

#include <cstring>

#include "pellow/HookMessages.h"

namespace pellow {

const char* const HostName::kExecutables[4] = {"ssp.exe", "sakura.exe", "embryo.exe", "materia.exe"};

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const char* text, const char* lowerName)
{
    for (; *text && *lowerName; ++text, ++lowerName)
        if (LowerAscii(*text) != *lowerName) return false;
    return *text == '\0' && *lowerName == '\0';
}

// The character after the last backslash that stands as a character of its
// own; a lead byte takes the byte after it along, whatever that byte is.
const char* AfterLastBackslash(const char* path, HostName::LeadByteTest isLeadByte)
{
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (isLeadByte(static_cast<unsigned char>(*p))) {
            if (p[1] == '\0') break; // a lead byte cut off at the end has no trail byte
            ++p;
        } else if (*p == '\\') {
            name = p + 1;
        }
    }
    return name;
}

} // namespace

bool HostName::IsHostExecutable(const char* modulePath, LeadByteTest isLeadByte)
{
    if (!modulePath) return false;
    const char* name = AfterLastBackslash(modulePath, isLeadByte ? isLeadByte : IsCp932LeadByte);
    for (const char* host : kExecutables)
        if (EqualsIgnoringAsciiCase(name, host)) return true;
    return false;
}

bool HostName::IsHostWindowClass(const char* className)
{
    return className && std::strcmp(className, ostra::kHostWindowClass) == 0;
}

bool HostName::IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

} // namespace pellow
