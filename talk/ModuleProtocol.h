#pragma once
// The texts a skin's script module is sent and the reading of its answers.
// Portable: texts in, texts and decisions out. Answers are taken as the
// module's bytes up to the first zero byte (the caller cuts them there, as a
// C string would end).
#include <optional>
#include <string>
#include <string_view>

#include "talk/ModuleEvent.h"

// Which request line a module is spoken to with, chosen by its version answer.
enum class ModuleDialect {
    Dorvy,  // "GET Sentence DORVY/2.0"
    Shiori, // "GET Sentence SHIORI/2.2"
};

namespace moduleprotocol {

// The version probe, exactly:
// "GET Version SHIORI/2.0\r\nSender: Nobody\r\nCharset: Shift_JIS\r\n\r\n".
std::string VersionRequest();

// Reads the probe's answer: the value after the first blank that follows the
// first line feed (whatever the second line's header is called; the status
// line is not looked at). "DORVY/2." starts the DORVY dialect, "SHIORI/2."
// the SHIORI one (case-sensitive prefixes). Anything else, no line feed or no
// blank after it: std::nullopt, the probe failed.
std::optional<ModuleDialect> ReadVersionAnswer(std::string_view answer);

// A "GET Sentence" request: the request line of the dialect, "Sender:
// Nobody", "Event: " + name, a "ReferenceN: " line for every reference
// present (numbers are not closed up), "Charset: Shift_JIS" and a blank
// line, each line ended by CR LF. No "HWnd" line.
std::string SentenceRequest(ModuleDialect dialect, const ModuleEvent& event);

// Reads an answer to a sentence request. The status is the three characters
// after the first blank; only "200" goes on. The sentence runs from after the
// first blank that follows the first line feed to the end of the answer.
// std::nullopt when the status is not 200 or a blank or line feed is missing.
std::optional<std::string> ReadSentenceAnswer(std::string_view answer);

} // namespace moduleprotocol
