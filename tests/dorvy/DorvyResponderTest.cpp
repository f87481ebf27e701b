// The sample module's request reading: line splitting that steps over
// double-byte characters, the case rules of the two keywords, the last
// "Event: " line, and the zero byte that ends a request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dorvy/DorvyResponder.h"

using dorvy::DorvyResponder;

namespace {
// A literal with its zero bytes, without the terminating one.
template <size_t N> std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

const char* Answer(const std::string& request)
{
    return DorvyResponder::Answer(request.data(), request.size(), ansi::IsCp932LeadByte);
}
const char* const kVersion = DorvyResponder::kVersionResponse;
const char* const kHit = DorvyResponder::kQuibbetResponse;
const char* const kDouble = DorvyResponder::kDoubleClickResponse;
} // namespace

TEST(DorvyResponder, ResponseTexts)
{
    EXPECT_EQ(std::string(kVersion), "SHIORI/2.0 200 OK\r\nVersion: DORVY/2.0\r\n\r\n");
    EXPECT_EQ(std::string(kHit), "DORVY/2.0 200 OK\r\nSentence: \\s7\\e\r\n\r\n");
    EXPECT_EQ(std::string(kDouble), "DORVY/2.0 200 OK\r\nSentence: \\s0\\e\r\n\r\n");
    EXPECT_EQ(std::string(kVersion).size(), 41u);
    EXPECT_EQ(std::string(kHit).size(), 37u);
    EXPECT_EQ(std::string(kDouble).size(), 37u);
}

TEST(DorvyResponder, Requests)
{
    const std::string host = "GET Sentence DORVY/2.0\r\nSender: おすとら\r\nEvent: ";
    struct Case {
        const char* name;
        std::string request;
        const char* answer;
    };
    const Case cases[] = {
        {"version probe", "GET Version SHIORI/2.0\r\nSender: おすとら\r\n\r\n", kVersion},
        {"version in lower case", "get version\r\n", kVersion},
        {"version in upper case", "GET VERSION\r\n", kVersion},
        {"version with anything after it", "GET Versionless nonsense", kVersion},
        {"version after empty lines", "\r\n\r\n\r\nGET Version SHIORI/2.0\r\n\r\n", kVersion},
        {"not the version keyword", "GET Versio\r\n", nullptr},
        {"keyword later on the line", " GET Version\r\n", nullptr},
        {"double click", host + "OnMouseDoubleClick\r\nReference0: x\r\n\r\n", kDouble},
        {"quibbet hit", host + "OnQuibbetObjectHit\r\n\r\n", kHit},
        {"SHIORI dialect", "GET Sentence SHIORI/2.2\r\nEvent: OnQuibbetObjectHit\r\n", kHit},
        {"sentence keyword in lower case", "get sentence\r\nEvent: OnMouseDoubleClick\r\n", kDouble},
        {"event key in lower case", "GET Sentence\r\nevent: OnMouseDoubleClick\r\n", nullptr},
        {"no space after the colon", "GET Sentence\r\nEvent:OnMouseDoubleClick\r\n", nullptr},
        {"two spaces after the colon", "GET Sentence\r\nEvent:  OnMouseDoubleClick\r\n", nullptr},
        {"trailing space on the name", host + "OnMouseDoubleClick \r\n", nullptr},
        {"last event line wins", host + "OnMouseDoubleClick\r\nEvent: OnMouseClick\r\n", nullptr},
        {"last event line wins again", host + "OnMouseClick\r\nEvent: OnQuibbetObjectHit\r\n", kHit},
        {"unknown event", host + "OnMouseClick\r\n", nullptr},
        {"no event line", "GET Sentence DORVY/2.0\r\nSender: x\r\n\r\n", nullptr},
        {"event on the first line only", "Event: OnMouseDoubleClick\r\n", nullptr},
        {"unknown first line", "NOTIFY SSTP/1.1\r\nEvent: OnMouseDoubleClick\r\n", nullptr},
        {"no final CR LF", host + "OnMouseDoubleClick", kDouble},
        {"bare LF does not end a line", "GET Sentence\nEvent: OnMouseDoubleClick\n", nullptr},
        {"empty", "", nullptr},
        {"only CR LF pairs", "\r\n\r\n", nullptr},
        {"a zero byte ends the text", Bytes("GET Sentence\r\nEvent: OnMouseDoubleClick\0\r\n"), kDouble},
        {"zero byte before the event", Bytes("GET Sentence\r\n\0Event: OnMouseDoubleClick\r\n"), nullptr},
        {"zero byte inside the event name", Bytes("GET Sentence\r\nEvent: OnMouseDouble\0Click\r\n"), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Answer(c.request), c.answer);
    }
}

// A lead byte takes the byte after it along, so a CR right after a lead byte
// does not start a separator; a trail byte that looks like CR never occurs in
// code page 932, but a lead byte before CR LF shows the stepping.
TEST(DorvyResponder, DoubleByteStepping)
{
    using Lines = std::vector<std::string>;
    const auto split = [](const std::string& s) { return DorvyResponder::SplitLines(s, ansi::IsCp932LeadByte); };
    EXPECT_EQ(split("ab\r\ncd"), (Lines{"ab", "cd"}));
    EXPECT_EQ(split("\r\n\r\nab\r\n\r\n"), (Lines{"ab"}));
    EXPECT_EQ(split("表示\r\n能力"), (Lines{"表示", "能力"})); // 0x95 0x5C: trail byte 0x5C
    // 0x81 is a lead byte: "\x81\r" is one character, so the CR LF after it is not seen.
    EXPECT_EQ(split("a\x81\r\nb\r\nc"), (Lines{"a\x81\r\nb", "c"}));
    // Without the lead-byte rule the same bytes split three ways.
    EXPECT_EQ(DorvyResponder::SplitLines("a\x81\r\nb\r\nc", [](unsigned char) { return false; }),
              (Lines{"a\x81", "b", "c"}));
    // A lead byte as the last byte, and a lone CR at the end.
    EXPECT_EQ(split("ab\x82"), (Lines{"ab\x82"}));
    EXPECT_EQ(split("ab\r"), (Lines{"ab\r"}));
    EXPECT_EQ(split("\r"), (Lines{"\r"}));
    EXPECT_EQ(split(""), Lines{});
    // The event line after a line ending in a double-byte character.
    EXPECT_EQ(Answer("GET Sentence\r\nSender: おすとら\r\nEvent: OnQuibbetObjectHit"), kHit);
    EXPECT_TRUE(ansi::IsCp932LeadByte(0x81));
    EXPECT_TRUE(ansi::IsCp932LeadByte(0x9F));
    EXPECT_TRUE(ansi::IsCp932LeadByte(0xE0));
    EXPECT_TRUE(ansi::IsCp932LeadByte(0xFC));
    EXPECT_FALSE(ansi::IsCp932LeadByte(0x80));
    EXPECT_FALSE(ansi::IsCp932LeadByte(0xA0));
    EXPECT_FALSE(ansi::IsCp932LeadByte(0xFD));
    EXPECT_FALSE(ansi::IsCp932LeadByte('\r'));
}
