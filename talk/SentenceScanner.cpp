#include "talk/SentenceScanner.h"

#include <string>

#include "skin/DecimalText.h"

namespace sentencescanner {

namespace {

constexpr std::int32_t kWaitUnitMs = 100;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length in bytes of the character that starts at 'at': two for a lead byte
// with a byte after it, else one.
std::size_t CharLength(std::string_view text, std::size_t at, dbcs::LeadByteTest isLead)
{
    if (isLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) return 2;
    return 1;
}

// Position of the first 'wanted' (a single-byte character) at or after
// 'from' that is a character of its own, or npos.
std::size_t FindChar(std::string_view text, std::size_t from, char wanted, dbcs::LeadByteTest isLead)
{
    for (std::size_t at = from; at < text.size(); at += CharLength(text, at, isLead))
        if (text[at] == wanted) return at;
    return std::string_view::npos;
}

// Position of the first "\e" whose backslash is a character of its own.
std::size_t FindSentenceEnd(std::string_view text, dbcs::LeadByteTest isLead)
{
    for (std::size_t at = FindChar(text, 0, '\\', isLead); at != std::string_view::npos;
         at = FindChar(text, at + 1, '\\', isLead)) {
        if (at + 1 < text.size() && text[at + 1] == 'e') return at;
    }
    return std::string_view::npos;
}

} // namespace

std::optional<std::vector<SentenceStep>> Scan(std::string_view text, dbcs::LeadByteTest isLead)
{
    const std::size_t end = FindSentenceEnd(text, isLead);
    if (end == std::string_view::npos) return std::nullopt;
    // The blanks let every command look two characters past the backslash.
    const std::string copy = std::string(text.substr(0, end)) + "  ";
    std::vector<SentenceStep> steps;
    std::size_t at = FindChar(copy, 0, '\\', isLead);
    while (at != std::string::npos) {
        SentenceStep step;
        std::size_t next = at + 1; // past the backslash
        const char command = copy[at + 1];
        const char argument = copy[at + 2];
        if (command == 's' && IsDigit(argument)) {
            step = {SentenceAction::ShowSurface, argument - '0'};
            next = at + 3;
        } else if (command == 's' && argument == '[') {
            const std::size_t close = FindChar(copy, at + 3, ']', isLead);
            if (close != std::string::npos) {
                step = {SentenceAction::ShowSurface,
                        ParseDecimal(std::string_view(copy).substr(at + 3, close - at - 3))};
                next = close + 1;
            } else {
                next = at + 2;
            }
        } else if (command == 'w' && IsDigit(argument)) {
            step = {SentenceAction::Wait, (argument - '0') * kWaitUnitMs};
            next = at + 3;
        } else {
            // An unknown command: the character after the backslash is used
            // up with it, whole when it is a double-byte one.
            next = at + 1 + CharLength(copy, at + 1, isLead);
        }
        steps.push_back(step);
        at = FindChar(copy, next, '\\', isLead);
    }
    return steps;
}

} // namespace sentencescanner
