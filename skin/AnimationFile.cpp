#include "skin/AnimationFile.h"

#include <cstdint>

#include "skin/DecimalText.h"
#include "text/AnsiText.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether text begins with the keyword, ASCII case ignored. The keywords
// are ASCII, so which code page the file was written in does not matter.
bool StartsWithKeyword(std::string_view text, std::string_view keyword)
{
    return ansi::StartsWithIgnoringAsciiCase(text, keyword, ansi::IsCp932LeadByte);
}

size_t LineEnd(std::string_view piece)
{
    const size_t end = piece.find_first_of(std::string_view("\r\n\0", 3));
    return end == std::string_view::npos ? piece.size() : end;
}

bool IsIgnored(std::string_view piece)
{
    if (piece.empty() || piece[0] == '\r' || piece[0] == '\n') return true;
    if (piece.size() >= 2 && piece[0] == '/' && piece[1] == '/') return true;
    return piece.substr(0, LineEnd(piece)).find(',') == std::string_view::npos;
}

// What the C library's text-mode reading hands over for the file's bytes.
std::string TextModeContents(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\x1a') break;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text.push_back(bytes[i]);
    }
    return text;
}

// The pieces successive reads of one line buffer return: up to and including
// a line feed, at most kPieceLength bytes each.
std::vector<std::string_view> Pieces(std::string_view text)
{
    std::vector<std::string_view> pieces;
    size_t at = 0;
    while (at < text.size()) {
        size_t length = 0;
        while (at + length < text.size() && length < AnimationFile::kPieceLength) {
            if (text[at + length++] == '\n') break;
        }
        pieces.push_back(text.substr(at, length));
        at += length;
    }
    return pieces;
}

AnimationKind KindFromText(std::string_view text)
{
    if (StartsWithKeyword(text, "sometimes")) return AnimationKind::Sometimes;
    if (StartsWithKeyword(text, "rarely")) return AnimationKind::Rarely;
    if (StartsWithKeyword(text, "always")) return AnimationKind::Always;
    if (StartsWithKeyword(text, "runonce")) return AnimationKind::RunOnce;
    return AnimationKind::Never;
}

std::vector<std::string_view> SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        text.remove_prefix(comma + 1);
    }
}

// The pattern described by the text after "pattern"/"patturn", appended to
// the animation when its number allows. Lines outside the format are dropped.
void AddPattern(std::string_view rest, Animation& animation)
{
    if (rest.empty()) return;
    // The number's characters count by their byte codes, digits or not.
    int32_t number = static_cast<unsigned char>(rest[0]) - '0';
    size_t after = 1;
    if (rest.size() > 1 && IsDigit(rest[1])) {
        number = number * 10 + (rest[1] - '0');
        after = 2;
    }
    const size_t comma = rest.find(',', after);
    if (comma == std::string_view::npos) return;
    std::vector<std::string_view> fields = SplitFields(rest.substr(comma + 1));
    if (fields.size() < 3) return;
    while (fields.size() < 5)
        fields.push_back("0");

    AnimationPattern pattern;
    pattern.surface = static_cast<uint32_t>(ParseDecimal(fields[0]));
    const std::string_view method = fields[2];
    const auto is = [method](std::string_view name) {
        return ansi::EqualsIgnoringAsciiCase(method, name, ansi::IsCp932LeadByte);
    };
    if (is("move")) {
        pattern.method = PatternMethod::Move;
    } else if (is("base")) {
        pattern.method = PatternMethod::Base;
    } else {
        pattern.method = PatternMethod::Overlay;
        pattern.fast = is("overlayfast");
    }
    // Hundredths of a second; "overlayfast" patterns last half as long.
    pattern.wait = static_cast<int64_t>(ParseDecimal(fields[1])) * (pattern.fast ? 5 : 10);
    pattern.x = ParseDecimal(fields[3]);
    pattern.y = ParseDecimal(fields[4]);

    if (number >= static_cast<int64_t>(animation.patterns.size())) animation.patterns.push_back(pattern);
}

void Close(Animation& animation, std::vector<Animation>& animations)
{
    animation.patternCount = static_cast<int32_t>(animation.patterns.size());
    animations.push_back(std::move(animation));
    animation = Animation();
}

} // namespace

std::vector<std::string> AnimationFile::ReadLines(std::string_view bytes)
{
    const std::string text = TextModeContents(bytes);
    const std::vector<std::string_view> pieces = Pieces(text);

    bool anyDigitLed = false;
    for (std::string_view piece : pieces)
        if (!IsIgnored(piece) && IsDigit(piece[0])) anyDigitLed = true;
    if (!anyDigitLed) return {};

    std::vector<std::string> lines;
    for (std::string_view piece : pieces)
        if (!IsIgnored(piece)) lines.emplace_back(piece.substr(0, LineEnd(piece)));
    return lines;
}

std::vector<Animation> AnimationFile::Parse(const std::vector<std::string>& lines)
{
    std::vector<Animation> animations;
    if (lines.empty()) return animations;

    Animation collecting;
    bool seenInterval = false;
    for (const std::string& line : lines) {
        // The one- or two-digit animation number in front is not used:
        // animations are numbered by the order of their interval lines.
        std::string_view rest(line);
        if (rest.empty()) continue;
        rest.remove_prefix(rest.size() > 1 && IsDigit(rest[1]) ? 2 : 1);

        if (StartsWithKeyword(rest, "interval")) {
            if (seenInterval) Close(collecting, animations);
            seenInterval = true;
            const size_t comma = rest.find(',', 8);
            collecting.kind =
                comma == std::string_view::npos ? AnimationKind::Never : KindFromText(rest.substr(comma + 1));
        } else if (StartsWithKeyword(rest, "pattern") || StartsWithKeyword(rest, "patturn")) {
            AddPattern(rest.substr(7), collecting);
        }
    }
    Close(collecting, animations);
    return animations;
}
