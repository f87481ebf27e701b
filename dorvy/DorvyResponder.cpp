#include "dorvy/DorvyResponder.h"

#include <cstring>

namespace dorvy {

constexpr const char DorvyResponder::kVersionResponse[];
constexpr const char DorvyResponder::kQuibbetResponse[];
constexpr const char DorvyResponder::kDoubleClickResponse[];

std::vector<std::string> DorvyResponder::SplitLines(const std::string& text, LeadByteTest isLeadByte)
{
    std::vector<std::string> lines;
    const size_t size = text.size();
    size_t lineStart = 0;
    size_t i = 0;
    while (i + 2 <= size) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            if (i > lineStart) lines.push_back(text.substr(lineStart, i - lineStart));
            i += 2;
            lineStart = i;
        } else {
            i = ansi::NextCharacter(text, i, isLeadByte);
        }
    }
    if (lineStart < size) lines.push_back(text.substr(lineStart));
    return lines;
}

const char* DorvyResponder::Answer(const char* data, size_t size, LeadByteTest isLeadByte)
{
    if (!data) return nullptr;
    const void* zero = std::memchr(data, 0, size);
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : size;
    const std::vector<std::string> lines = SplitLines(std::string(data, length), isLeadByte);
    if (lines.empty()) return nullptr;
    if (ansi::StartsWithIgnoringAsciiCase(lines[0], "GET Version", isLeadByte)) return kVersionResponse;
    if (!ansi::StartsWithIgnoringAsciiCase(lines[0], "GET Sentence", isLeadByte)) return nullptr;

    static const char kEventKey[] = "Event: ";
    const size_t keyLength = sizeof(kEventKey) - 1;
    std::string event;
    for (size_t n = 1; n < lines.size(); ++n) {
        // Case-sensitive, one blank after the colon; the last such line wins.
        if (lines[n].compare(0, keyLength, kEventKey) == 0) event = lines[n].substr(keyLength);
    }
    if (event == "OnQuibbetObjectHit") return kQuibbetResponse;
    if (event == "OnMouseDoubleClick") return kDoubleClickResponse;
    return nullptr;
}

} // namespace dorvy
