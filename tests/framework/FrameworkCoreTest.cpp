// The portable parts of the framework: double-byte-aware path texts and the
// wrapping counters.
#include <string>

#include <gtest/gtest.h>

#include "framework/DbcsPath.h"
#include "framework/WrappingCounter.h"

namespace {

// "表" and "ソ" are 0x95 0x5C and 0x83 0x5C in Shift_JIS: their trail byte is a backslash.
const std::string kHyou = "\x95\x5C";
const std::string kSo = "\x83\x5C";

} // namespace

TEST(DbcsPath, TrailBytesThatLookLikeBackslashesAreNotSeparators)
{
    using dbcs::FindLastBackslash;
    using dbcs::IsCp932LeadByte;
    struct Case {
        std::string text;
        size_t expected;
    } cases[] = {
        {"C:\\skin\\frog", 7},
        {"C:\\skin\\" + kHyou, 7}, // ends in a trail byte 0x5C
        {"C:\\" + kSo + "\\x", 5}, // a real separator after the character
        {"C:\\a" + kHyou + kSo, 2},
        {"noslash", std::string::npos},
        {kHyou, std::string::npos},
        {"", std::string::npos},
        {"\\", 0},
        {std::string("ab\x81"), std::string::npos}, // a lone lead byte at the end
        {std::string("a\\\x81"), 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindLastBackslash(c.text, IsCp932LeadByte), c.expected) << c.text;
    }
    // Half-width katakana (0xA1-0xDF) are single bytes.
    EXPECT_EQ(FindLastBackslash("\xB1\\\xB2", IsCp932LeadByte), 1u);
}

TEST(DbcsPath, CuttingAndLastComponent)
{
    using namespace dbcs;
    EXPECT_EQ(CutAfterLastBackslash("C:\\prog\\ostra.exe", IsCp932LeadByte), "C:\\prog\\");
    EXPECT_EQ(CutAfterLastBackslash("C:\\" + kHyou + "\\ostra.exe", IsCp932LeadByte), "C:\\" + kHyou + "\\");
    EXPECT_EQ(CutAfterLastBackslash("C:\\prog" + kSo, IsCp932LeadByte), "C:\\");
    EXPECT_EQ(CutAfterLastBackslash("ostra.exe", IsCp932LeadByte), "");
    EXPECT_EQ(LastComponent("C:\\skin\\" + kSo + "skin" + kHyou, IsCp932LeadByte), kSo + "skin" + kHyou);
    EXPECT_EQ(LastComponent("frog", IsCp932LeadByte), "frog");
    EXPECT_EQ(LastComponent("C:\\skin\\", IsCp932LeadByte), "");
}

TEST(DbcsPath, ReplaceExtensionOfTheLastComponentOnly)
{
    using namespace dbcs;
    EXPECT_EQ(ReplaceExtension("C:\\prog\\ostra.exe", ".ini", IsCp932LeadByte), "C:\\prog\\ostra.ini");
    EXPECT_EQ(ReplaceExtension("C:\\my.dir\\ostra", ".ini", IsCp932LeadByte), "C:\\my.dir\\ostra.ini");
    EXPECT_EQ(ReplaceExtension("C:\\a\\b.c.exe", ".hlp", IsCp932LeadByte), "C:\\a\\b.c.hlp");
    EXPECT_EQ(ReplaceExtension("C:\\" + kHyou + "\\" + kSo + ".exe", ".ini", IsCp932LeadByte),
              "C:\\" + kHyou + "\\" + kSo + ".ini");
    // The lead byte 0x82 followed by 0x2E is one character, not a dot.
    EXPECT_EQ(ReplaceExtension("C:\\x\x82\x2E"
                               "y",
                               ".ini", IsCp932LeadByte),
              "C:\\x\x82\x2E"
              "y.ini");
}

TEST(DbcsPath, TruncateNeverSplitsACharacter)
{
    using namespace dbcs;
    std::string text = "ab" + kHyou + "c";
    EXPECT_EQ(Truncate(text, 10, IsCp932LeadByte), text);
    EXPECT_EQ(Truncate(text, 4, IsCp932LeadByte), "ab" + kHyou);
    EXPECT_EQ(Truncate(text, 3, IsCp932LeadByte), "ab");
    EXPECT_EQ(Truncate(text, 0, IsCp932LeadByte), "");
    EXPECT_EQ(Truncate("ab\x95", 10, IsCp932LeadByte), "ab");
}

TEST(WrappingCounter, CreationAndDialogNumbersWrapAtTheirLimits)
{
    WrappingCounter creation(0xFFFFFF);
    creation.Set(0xFFFFFD);
    EXPECT_EQ(creation.Advance(), 0xFFFFFEu);
    EXPECT_EQ(creation.Advance(), 0u);
    EXPECT_EQ(creation.Advance(), 1u);
    WrappingCounter dialog(0xFFFF);
    dialog.Set(0xFFFE);
    EXPECT_EQ(dialog.Advance(), 0u);
    dialog.Set(0xFFFF); // out of range: taken as 0
    EXPECT_EQ(dialog.Value(), 0u);
}
