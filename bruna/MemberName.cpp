#include "bruna/MemberName.h"

#include <cstring>

bool MemberName::IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

namespace {

unsigned char FoldAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

} // namespace

bool MemberName::EqualsIgnoreCase(const char* a, const char* b)
{
    if (!a || !b) return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    while (*p && *q) {
        if (IsLeadByte(*p)) {
            // A double-byte character matches only byte for byte.
            if (*p != *q) return false;
            ++p;
            ++q;
            if (*p != *q) return false;
            if (!*p) return true;
            ++p;
            ++q;
            continue;
        }
        if (FoldAscii(*p) != FoldAscii(*q)) return false;
        ++p;
        ++q;
    }
    return *p == *q;
}

void MemberName::SplitPath(const std::string& path, std::string& folder, std::string& file)
{
    size_t cut = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (c == '\\') cut = i;
    }
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
