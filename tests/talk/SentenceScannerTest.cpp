// The sentence scanner against steps worked out by hand from the script
// rules, with the lead bytes of code page 932.
#include <gtest/gtest.h>

#include "talk/SentenceScanner.h"

// Found by googletest next to the type, so failures print the steps.
void PrintTo(const SentenceStep& step, std::ostream* out)
{
    *out << "{" << static_cast<int>(step.action) << "," << step.value << "}";
}

namespace {

using Steps = std::vector<SentenceStep>;

SentenceStep Show(int n)
{
    return {SentenceAction::ShowSurface, n};
}
SentenceStep Wait(int ms)
{
    return {SentenceAction::Wait, ms};
}
SentenceStep Other()
{
    return {SentenceAction::None, 0};
}

std::optional<Steps> Scan(const std::string& text)
{
    return sentencescanner::Scan(text, dbcs::IsCp932LeadByte);
}

TEST(SentenceScanner, Examples)
{
    struct Case {
        const char* text;
        Steps steps;
    };
    const Case cases[] = {
        // Surface 12, 500 ms, surface 0.
        {"\\s[12]\\w5\\s0\\e", {Show(12), Wait(500), Show(0)}},
        // Only one digit: surface 1, the 2 is plain text.
        {"\\s12\\e", {Show(1)}},
        // Letters in brackets read as 0.
        {"\\s[abc]\\e", {Show(0)}},
        // A trailing \s reads a blank and does nothing, but still counts as a step.
        {"\\s3\\s\\e", {Show(3), Other()}},
        // atoi rules: blanks, sign, digits up to the first other character.
        {"\\s[  -7]\\s[+15x]\\s[ 3 4]\\s[]\\e", {Show(-7), Show(15), Show(3), Show(0)}},
        {"\\s[99999999999]\\e", {Show(2147483647)}},
        // No "]" anywhere after the "[": nothing happens.
        {"\\s[12\\w1\\e", {Other(), Wait(100)}},
        // A "]" further on, past other commands, closes the bracket.
        {"\\s[4\\w9]\\s1\\e", {Show(4), Show(1)}},
        {"\\w0\\w9\\e", {Wait(0), Wait(900)}},
        {"\\wx\\w\\e", {Other(), Other()}},
        // Other commands and text are steps that do nothing.
        {"\\h\\s0Hello\\n\\u\\s[10]World\\e", {Other(), Show(0), Other(), Other(), Show(10)}},
        // Playing stops at the first \e; what follows is never read.
        {"\\s1\\e\\s2\\e", {Show(1)}},
        {"\\e", {}},
        {"text only\\e\r\n\r\n", {}},
        // Two backslashes: the second is used up as the first one's command.
        {"\\\\s4\\e", {Other()}},
        // A command in brackets that holds a backslash.
        {"\\s[\\s2]\\e", {Show(0)}},
    };
    for (const Case& c : cases) {
        const auto steps = Scan(c.text);
        ASSERT_TRUE(steps.has_value()) << c.text;
        EXPECT_EQ(*steps, c.steps) << c.text;
    }
}

TEST(SentenceScanner, WithoutBackslashEItIsNoSentence)
{
    for (const char* text : {"", "\\s1", "\\s1\\E", "e\\", "\\s[2]\\w1 \\ e"})
        EXPECT_FALSE(Scan(text).has_value()) << text;
}

TEST(SentenceScanner, TheTrailByteOfADoubleByteCharacterIsNoBackslash)
{
    // "ソ" is 0x83 0x5C in code page 932; "表" 0x95 0x5C.
    EXPECT_EQ(*Scan("\\s1\x83\x5Cs2\\e"), Steps({Show(1)}));
    EXPECT_EQ(*Scan("\x95\x5Cw9\\s3\\e"), Steps({Show(3)}));
    // "\e" made of a trail byte and an e is no end.
    EXPECT_FALSE(Scan("\\s1\x83\x5C"
                      "e")
                     .has_value());
    EXPECT_EQ(*Scan("\\s1\x83\x5C"
                    "e\\s2\\e"),
              Steps({Show(1), Show(2)}));
    // A trail byte 0x5D is no closing bracket.
    EXPECT_EQ(*Scan("\\s[5\x81\x5D]\\e"), Steps({Show(5)}));
    EXPECT_EQ(*Scan("\\s[5\x81\x5D\\e"), Steps({Other()}));
    // An unknown command that is a double-byte character uses both bytes.
    EXPECT_EQ(*Scan("\\\x83\x5Cs4\\e"), Steps({Other()}));
    // The same bytes read as single-byte text do start commands.
    auto noLeadBytes = [](unsigned char) { return false; };
    EXPECT_EQ(*sentencescanner::Scan("\\s1\x83\x5Cs2\\e", noLeadBytes), Steps({Show(1), Show(2)}));
}

} // namespace
