#include "talk/ModuleProtocol.h"

namespace moduleprotocol {

namespace {

constexpr std::string_view kDorvyVersionPrefix = "DORVY/2.";
constexpr std::string_view kShioriVersionPrefix = "SHIORI/2.";

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The text after the first blank that follows the first line feed. Neither
// byte can be the trail byte of a Shift_JIS character (trail bytes start at
// 0x40), so a plain byte search is safe.
std::optional<std::string_view> SecondLineValue(std::string_view answer)
{
    const std::size_t lineFeed = answer.find('\n');
    if (lineFeed == std::string_view::npos) return std::nullopt;
    const std::size_t blank = answer.find(' ', lineFeed);
    if (blank == std::string_view::npos) return std::nullopt;
    return answer.substr(blank + 1);
}

} // namespace

std::string VersionRequest()
{
    return "GET Version SHIORI/2.0\r\nSender: Nobody\r\nCharset: Shift_JIS\r\n\r\n";
}

std::optional<ModuleDialect> ReadVersionAnswer(std::string_view answer)
{
    const std::optional<std::string_view> version = SecondLineValue(answer);
    if (!version) return std::nullopt;
    if (StartsWith(*version, kDorvyVersionPrefix)) return ModuleDialect::Dorvy;
    if (StartsWith(*version, kShioriVersionPrefix)) return ModuleDialect::Shiori;
    return std::nullopt;
}

std::string SentenceRequest(ModuleDialect dialect, const ModuleEvent& event)
{
    std::string text = dialect == ModuleDialect::Shiori ? "GET Sentence SHIORI/2.2\r\n" : "GET Sentence DORVY/2.0\r\n";
    text += "Sender: Nobody\r\n";
    text += "Event: " + event.name + "\r\n";
    for (std::size_t i = 0; i < ModuleEvent::kReferenceCount; ++i) {
        const std::optional<std::string>& reference = event.references[i];
        if (!reference) continue;
        text += "Reference" + std::to_string(i) + ": " + *reference + "\r\n";
    }
    text += "Charset: Shift_JIS\r\n\r\n";
    return text;
}

std::optional<std::string> ReadSentenceAnswer(std::string_view answer)
{
    const std::size_t blank = answer.find(' ');
    if (blank == std::string_view::npos || answer.substr(blank + 1, 3) != "200") return std::nullopt;
    const std::optional<std::string_view> sentence = SecondLineValue(answer);
    if (!sentence) return std::nullopt;
    return std::string(*sentence);
}

} // namespace moduleprotocol
