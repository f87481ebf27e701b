#include "bruna/MemberName.h"

#include <cstring>

#include "text/AnsiText.h"

bool MemberName::EqualsIgnoreCase(const char* a, const char* b)
{
    return a && b && ansi::EqualsIgnoringAsciiCase(a, b, ansi::IsCp932LeadByte);
}

void MemberName::SplitPath(const std::string& path, std::string& folder, std::string& file)
{
    const size_t cut = ansi::FindLastBackslash(path, ansi::IsCp932LeadByte);
    if (cut == std::string::npos) {
        folder.clear();
        file = path;
    } else {
        folder = path.substr(0, cut + 1);
        file = path.substr(cut + 1);
    }
}

bool MemberName::IsPlausible(const char* name)
{
    if (!name) return false;
    const size_t n = std::strlen(name);
    if (n == 0 || n >= 260) return false;
    for (size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(name[i]) < 0x20) return false;
    return true;
}
