#include "text/AnsiText.h"

namespace ansi {

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t NextCharacter(std::string_view text, std::size_t at, LeadByteTest isLead)
{
    const bool lead = isLead(static_cast<unsigned char>(text[at]));
    return lead && at + 1 < text.size() ? at + 2 : at + 1;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

namespace {

// Compares the first 'count' bytes of a and b (both at least that long)
// character by character.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b, std::size_t count, LeadByteTest isLead)
{
    std::size_t i = 0;
    while (i < count) {
        if (isLead(static_cast<unsigned char>(a[i]))) {
            // Both texts are in step here, so the same byte leads in both;
            // the whole character matches only byte for byte.
            const std::size_t end = i + 2 <= count ? i + 2 : count;
            for (; i < end; ++i)
                if (a[i] != b[i]) return false;
            continue;
        }
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
        ++i;
    }
    return true;
}

} // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b, LeadByteTest isLead)
{
    return a.size() == b.size() && SameIgnoringAsciiCase(a, b, a.size(), isLead);
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix, LeadByteTest isLead)
{
    if (text.size() < prefix.size()) return false;
    // A prefix that ends in the lead byte of a character of 'text' matches
    // only half a character: no match.
    std::size_t end = 0;
    while (end < prefix.size())
        end = NextCharacter(text, end, isLead);
    return end == prefix.size() && SameIgnoringAsciiCase(text, prefix, prefix.size(), isLead);
}

std::size_t FindLastBackslash(std::string_view text, LeadByteTest isLead)
{
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size(); i = NextCharacter(text, i, isLead))
        if (text[i] == '\\') found = i;
    return found;
}

std::string Truncate(std::string_view text, std::size_t maxBytes, LeadByteTest isLead)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const bool lead = isLead(static_cast<unsigned char>(text[end]));
        // A lead byte with nothing after it is half a character: dropped.
        if (lead && end + 1 >= text.size()) break;
        const std::size_t width = lead ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    return std::string(text.substr(0, end));
}

} // namespace ansi
