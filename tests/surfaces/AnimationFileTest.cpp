// Animation files: the lines kept from the bytes, and the records parsed from
// them, for the format's examples and the odd inputs real files carry.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "skin/AnimationFile.h"

using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string>;

std::vector<Animation> Load(const std::string& bytes)
{
    return AnimationFile::Parse(AnimationFile::ReadLines(bytes));
}

// One pattern's fields as a comparable record.
struct P {
    uint32_t surface;
    int32_t x, y;
    PatternMethod method;
    int64_t wait;
    bool fast;
};

void ExpectPatterns(const Animation& animation, const std::vector<P>& expected, const char* what)
{
    ASSERT_EQ(animation.patterns.size(), expected.size()) << what;
    EXPECT_EQ(animation.patternCount, static_cast<int32_t>(expected.size())) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        const AnimationPattern& p = animation.patterns[i];
        const P& e = expected[i];
        EXPECT_EQ(p.surface, e.surface) << what << " #" << i;
        EXPECT_EQ(p.x, e.x) << what << " #" << i;
        EXPECT_EQ(p.y, e.y) << what << " #" << i;
        EXPECT_EQ(p.method, e.method) << what << " #" << i;
        EXPECT_EQ(p.wait, e.wait) << what << " #" << i;
        EXPECT_EQ(p.fast, e.fast) << what << " #" << i;
        EXPECT_EQ(p.elapsed, 0) << what << " #" << i;
    }
}

constexpr PatternMethod kBase = PatternMethod::Base;
constexpr PatternMethod kOverlay = PatternMethod::Overlay;
constexpr PatternMethod kMove = PatternMethod::Move;

} // namespace

TEST(AnimationFileLines, KeepsCommaLinesCutAtTheirEndAndDropsCommentsAndBlanks)
{
    const std::string file = "// 0pattern0,1,1,base\r\n" // comment
                             "0interval,always\r\n"
                             "\r\n" // blank
                             "  indented, kept\r\n"
                             "no comma here\r\n"
                             "\rstarts with a CR,\n"                    // starts with a line break
                             "0pattern0,1,1,base\r0pattern0,2,2,base\n" // a lone CR ends the line
                             "1pattern0,3,3,base\0tail,\n"s             // cut at the NUL
                             "xyz\0,after the nul\n"s                   // no comma before the NUL
                             "/ single slash,\n"
                             "last,line without newline";
    const Lines expected = {"0interval,always",   "  indented, kept", "0pattern0,1,1,base",
                            "1pattern0,3,3,base", "/ single slash,",  "last,line without newline"};
    EXPECT_EQ(AnimationFile::ReadLines(file), expected);
}

TEST(AnimationFileLines, NoDigitLedLineMeansNoLinesAtAll)
{
    EXPECT_TRUE(AnimationFile::ReadLines("").empty()) << "an empty (or missing) file";
    EXPECT_TRUE(AnimationFile::ReadLines("interval,always\r\npattern0,1,10,base\r\nxpattern1,1,10,base\r\n").empty());
    EXPECT_TRUE(AnimationFile::ReadLines("0interval\r\n0pattern0\r\n").empty()) << "digit-led lines without a comma";
    EXPECT_TRUE(Load("interval,always\npattern0,1,10,base\nxpattern1,1,10,base\n").empty());
    // Once one digit-led line exists, letter-led lines are kept as well.
    EXPECT_EQ(AnimationFile::ReadLines("interval,always\n0x,y\n"), (Lines{"interval,always", "0x,y"}));
}

TEST(AnimationFileLines, TextModeEndsAtCtrlZAndLongLinesComeInPieces)
{
    EXPECT_EQ(AnimationFile::ReadLines("0interval,always\r\n0pattern0,1,1,base\x1a\r\n1pattern0,2,2,base\r\n"),
              (Lines{"0interval,always", "0pattern0,1,1,base"}));

    // A 5000-byte line: its first 4095 bytes are one line, the rest another.
    std::string first = "0pattern0,1,10,overlay,1,2";
    first.resize(AnimationFile::kPieceLength, ' ');
    const std::string second = "0pattern1,2,20,base";
    EXPECT_EQ(AnimationFile::ReadLines("0interval,always\n" + first + second + "\n"),
              (Lines{"0interval,always", first, second}));

    // A line of exactly 4095 bytes leaves only its line feed for the next
    // read, which is dropped as a line starting with a line break.
    EXPECT_EQ(AnimationFile::ReadLines(first + "\n0x,y\n"), (Lines{first, "0x,y"}));
    // Pieces of a line of commas: 10000 bytes give 4095 + 4095 + 1810.
    const Lines commas = AnimationFile::ReadLines("0" + std::string(9999, ',') + "\n");
    ASSERT_EQ(commas.size(), 3u);
    EXPECT_EQ(commas[0].size(), 4095u);
    EXPECT_EQ(commas[1].size(), 4095u);
    EXPECT_EQ(commas[2].size(), 1810u);
}

TEST(AnimationFileParse, TheFormatsWorkedExamples)
{
    {
        const auto a = Load("0interval,sometimes\r\n0pattern0,5,10,overlay,20,30\r\n0pattern1,-1,10,overlay\r\n");
        ASSERT_EQ(a.size(), 1u);
        EXPECT_EQ(a[0].kind, AnimationKind::Sometimes);
        ExpectPatterns(a[0], {{5, 20, 30, kOverlay, 100, false}, {0xFFFFFFFFu, 0, 0, kOverlay, 100, false}},
                       "sometimes");
    }
    {
        const auto a = Load("0interval,always\n1pattern0,2,10,overlayfast,0,0\n");
        ASSERT_EQ(a.size(), 1u);
        ExpectPatterns(a[0], {{2, 0, 0, kOverlay, 50, true}}, "overlayfast halves the wait");
    }
    {
        const auto a = Load("0interval,always\n1pattern0,2,10,Base\n1interval,always\n1pattern0,2,10, base\n");
        ASSERT_EQ(a.size(), 2u);
        ExpectPatterns(a[0], {{2, 0, 0, kBase, 100, false}}, "Base");
        ExpectPatterns(a[1], {{2, 0, 0, kOverlay, 100, false}}, "blank before base");
    }
    {
        const auto a = Load("0interval,rarely\n2patturn0,4,20,move,10,-5\n");
        ASSERT_EQ(a.size(), 1u);
        EXPECT_EQ(a[0].kind, AnimationKind::Rarely);
        ExpectPatterns(a[0], {{4, 10, -5, kMove, 200, false}}, "patturn");
    }
    {
        const auto a = Load("3interval,runonce\n3pattern0,0,1,base\n3pattern1,1,1,base\n3pattern1,2,2,base\n"
                            "4interval,always\n4pattern0,3,3,base\n4pattern5,4,4,base\n");
        ASSERT_EQ(a.size(), 2u);
        EXPECT_EQ(a[0].kind, AnimationKind::RunOnce);
        ExpectPatterns(a[0], {{0, 0, 0, kBase, 10, false}, {1, 0, 0, kBase, 10, false}},
                       "repeated number keeps the first");
        ExpectPatterns(a[1], {{3, 0, 0, kBase, 30, false}, {4, 0, 0, kBase, 40, false}}, "gap closes up");
    }
    {
        const auto a = Load("0interval,Always\n1interval,never\n2interval,SOMETIMESx\n3interval,rarelyish\n"
                            "4interval, always\n5interval\t,always\n6INTERVAL,RunOnce\n");
        const AnimationKind kinds[] = {AnimationKind::Always, AnimationKind::Never, AnimationKind::Sometimes,
                                       AnimationKind::Rarely, AnimationKind::Never, AnimationKind::Always,
                                       AnimationKind::RunOnce};
        ASSERT_EQ(a.size(), 7u);
        for (size_t i = 0; i < 7; ++i)
            EXPECT_EQ(a[i].kind, kinds[i]) << "interval line " << i;
    }
}

TEST(AnimationFileParse, NumbersFieldsAndOddLines)
{
    const auto a = Load("Xpattern0,9,1,base\n"     // letter-led, before any interval line: first animation
                        "pattern5,1,1,base\n"      // 'p' is skipped as the animation number: ignored
                        "12interval,always\n"      // two-digit animation number
                        "123interval,never\n"      // "3interval": no keyword, ignored
                        "0pattern10,1,10,move\n"   // two-digit pattern number into an empty animation
                        "0pattern2,2,0,MOVE,1,2\n" // 2 >= 1 patterns held: accepted
                        "0pattern1,3,1,base\n"     // 1 < 3: dropped
                        "0pattern7,1,2\n"          // two fields: outside the format, dropped
                        "0pattern8,4,3,OverlayFast,-7,8,99,100\n"
                        "0pattern9,,,,\n"          // empty fields
                        "Zpattern9,6,1,base,5,5\n" // letter-led line: parsed alike
                        "0pattern:,7,1,base\n"     // ':' counts as 10
                        "0pattern/,8,1,base\n"     // '/' counts as -1: dropped
                        "0patternA9,9,1,base\n"    // 'A' and '9': 17 * 10 + 9
                        "0pattern\x83"
                        "5,9,1,base\n" // a lead byte counts by its code, 0x83 - '0' = 83: 835
                        "0pattern3,  -12abc,+3,move, 4x,\t-9\n");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].kind, AnimationKind::Always);
    ExpectPatterns(a[0],
                   {{9, 0, 0, kBase, 10, false},
                    {1, 0, 0, kMove, 100, false},
                    {2, 1, 2, kMove, 0, false},
                    {4, -7, 8, kOverlay, 15, true},
                    {0, 0, 0, kOverlay, 0, false},
                    {6, 5, 5, kBase, 10, false},
                    {7, 0, 0, kBase, 10, false},
                    {9, 0, 0, kBase, 10, false},
                    {9, 0, 0, kBase, 10, false}},
                   "odd lines");
    // The last line (number 3 after 835) is dropped; had it been taken, its
    // fields would read as surface -12, wait 30, move, x 4, y -9.
    const auto b = Load("0interval,always\n0pattern3,  -12abc,+3,move, 4x,\t-9\n");
    ASSERT_EQ(b.size(), 1u);
    ExpectPatterns(b[0], {{static_cast<uint32_t>(-12), 4, -9, kMove, 30, false}}, "atoi fields");

    const auto c = Load("0pattern0,1,99999999999,base,-99999999999,2147483648\n");
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].kind, AnimationKind::Never) << "no interval line: never started";
    ExpectPatterns(c[0], {{1, INT32_MIN, INT32_MAX, kBase, int64_t{INT32_MAX} * 10, false}}, "clamped numbers");
}

TEST(AnimationFileParse, SampleSkinsFiles)
{
    const std::string kaeru = "// comment\r\n0interval,sometimes\r\n0pattern0,1,30,overlayfast,16,16\r\n"
                              "0pattern1,-1,10,overlay\r\n1interval,rarely\r\n1pattern0,2,10,base\r\n"
                              "1pattern1,2,25,move,0,-24\r\n1pattern2,2,10,move,0,0\r\n1pattern3,0,5,base\r\n"
                              "2interval,runonce\r\n2pattern0,3,60,overlay,70,0\r\n2pattern1,-1,5,overlay\r\n";
    const auto a = Load(kaeru);
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0].kind, AnimationKind::Sometimes);
    EXPECT_EQ(a[1].kind, AnimationKind::Rarely);
    EXPECT_EQ(a[2].kind, AnimationKind::RunOnce);
    ExpectPatterns(a[0], {{1, 16, 16, kOverlay, 150, true}, {0xFFFFFFFFu, 0, 0, kOverlay, 100, false}}, "blink");
    ExpectPatterns(a[1],
                   {{2, 0, 0, kBase, 100, false},
                    {2, 0, -24, kMove, 250, false},
                    {2, 0, 0, kMove, 100, false},
                    {0, 0, 0, kBase, 50, false}},
                   "hop");
    ExpectPatterns(a[2], {{3, 70, 0, kOverlay, 600, false}, {0xFFFFFFFFu, 0, 0, kOverlay, 50, false}}, "bubble");
}
