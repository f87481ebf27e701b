#include "framework/DbcsPath.h"

namespace dbcs {

std::string CutAfterLastBackslash(const std::string& text, LeadByteTest isLead)
{
    std::size_t pos = FindLastBackslash(text, isLead);
    return pos == std::string::npos ? std::string() : text.substr(0, pos + 1);
}

std::string LastComponent(const std::string& text, LeadByteTest isLead)
{
    std::size_t pos = FindLastBackslash(text, isLead);
    return pos == std::string::npos ? text : text.substr(pos + 1);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension, LeadByteTest isLead)
{
    std::size_t start = FindLastBackslash(path, isLead);
    start = start == std::string::npos ? 0 : start + 1;
    std::size_t dot = std::string::npos;
    for (std::size_t i = start; i < path.size(); i = ansi::NextCharacter(path, i, isLead))
        if (path[i] == '.') dot = i;
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

} // namespace dbcs
