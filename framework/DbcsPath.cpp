#include "framework/DbcsPath.h"

namespace dbcs {

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t FindLastBackslash(const std::string& text, LeadByteTest isLead)
{
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\') {
            found = i;
        } else if (isLead(byte) && i + 1 < text.size()) {
            ++i; // the trail byte belongs to this character
        }
    }
    return found;
}

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
    for (std::size_t i = start; i < path.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(path[i]);
        if (byte == '.') {
            dot = i;
        } else if (isLead(byte) && i + 1 < path.size()) {
            ++i;
        }
    }
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

std::string Truncate(const std::string& text, std::size_t maxBytes, LeadByteTest isLead)
{
    std::size_t end = 0;
    while (end < text.size()) {
        bool lead = isLead(static_cast<unsigned char>(text[end]));
        // A lead byte with nothing after it is half a character: dropped.
        if (lead && end + 1 >= text.size()) break;
        std::size_t width = lead ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    return text.substr(0, end);
}

} // namespace dbcs
