// The code page rules, checked against the C library's own Windows-31J
// (code page 932) converter: what it decodes as one character is one
// character here, and a backslash it decodes is a backslash here.
#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "text/AnsiText.h"

using namespace ansi;

namespace {

// Decodes code page 932 bytes into code points with iconv; false when the
// bytes do not decode whole (an invalid byte, or a character cut in half).
// 'lastError' receives errno of the failure.
bool Decode(const std::string& bytes, std::vector<char32_t>& out, int* lastError = nullptr)
{
    iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-31J");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "the C library has no WINDOWS-31J converter";
        return false;
    }
    std::string in = bytes;
    std::vector<char> buffer(bytes.size() * 4 + 4);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    iconv_close(cd);
    if (lastError) *lastError = done == static_cast<size_t>(-1) ? error : 0;
    if (done == static_cast<size_t>(-1)) return false;
    out.clear();
    for (const char* p = buffer.data(); p < outPtr; p += 4) {
        const auto* u = reinterpret_cast<const unsigned char*>(p);
        out.push_back(static_cast<char32_t>(u[0] | u[1] << 8 | u[2] << 16 | static_cast<uint32_t>(u[3]) << 24));
    }
    return true;
}

// The byte lengths of the characters of 'bytes' as the converter sees them.
std::vector<size_t> CharacterBoundaries(const std::string& bytes)
{
    std::vector<size_t> ends;
    std::vector<char32_t> ignored;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t length = 1;
        while (at + length <= bytes.size() && !Decode(bytes.substr(at, length), ignored))
            ++length;
        at += length;
        ends.push_back(at);
    }
    return ends;
}

// Texts with the troublesome characters: 表 (0x95 0x5C) and ソ (0x83 0x5C)
// end in a backslash byte, ア (0x83 0x41) and ャ (0x83 0x83) in letters or
// another lead byte.
const std::vector<std::string> kTexts = {
    "C:\\skin\\表示\\ソフト.png", "ソ", "表\\", "\\表", "abcアャ表", "ア\\ABC\\ソ\\", "\\\\", "", "x",
    "C:\\能力\\surface0.png",
};

} // namespace

TEST(AnsiText, LeadBytesAreTheOnesTheConverterFindsIncompleteAlone)
{
    for (int b = 0; b < 256; ++b) {
        std::vector<char32_t> ignored;
        int error = 0;
        const bool whole = Decode(std::string(1, static_cast<char>(b)), ignored, &error);
        // A lead byte alone is an incomplete character (EINVAL); every other
        // byte either decodes alone or is invalid (EILSEQ).
        const bool incomplete = !whole && error == EINVAL;
        EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), incomplete) << "byte 0x" << std::hex << b;
    }
}

TEST(AnsiText, WalksCharactersAsTheConverterDecodesThem)
{
    for (const std::string& text : kTexts) {
        std::vector<size_t> ours;
        for (size_t at = 0; at < text.size();) {
            at = NextCharacter(text, at, IsCp932LeadByte);
            ours.push_back(at);
        }
        EXPECT_EQ(ours, CharacterBoundaries(text)) << text;
    }
    // A lead byte at the very end is a character of its own.
    EXPECT_EQ(NextCharacter("a\x95", 1, IsCp932LeadByte), 2u);
}

TEST(AnsiText, LastBackslashIsTheConvertersLastBackslash)
{
    for (const std::string& text : kTexts) {
        // The byte offset of the last decoded U+005C, found character by
        // character with the converter.
        size_t expected = std::string::npos;
        size_t start = 0;
        for (size_t end : CharacterBoundaries(text)) {
            std::vector<char32_t> one;
            ASSERT_TRUE(Decode(text.substr(start, end - start), one));
            if (one.size() == 1 && one[0] == U'\\') expected = start;
            start = end;
        }
        EXPECT_EQ(FindLastBackslash(text, IsCp932LeadByte), expected) << text;
    }
    EXPECT_EQ(FindLastBackslash("C:\\skin\\表", IsCp932LeadByte), 7u);
    EXPECT_EQ(FindLastBackslash("ソ", IsCp932LeadByte), std::string::npos);
}

TEST(AnsiText, TruncateKeepsTheLongestPrefixThatDecodesWhole)
{
    for (const std::string& text : kTexts) {
        for (size_t limit = 0; limit <= text.size() + 1; ++limit) {
            const std::string cut = Truncate(text, limit, IsCp932LeadByte);
            std::string expected;
            for (size_t n = 0; n <= std::min(limit, text.size()); ++n) {
                std::vector<char32_t> ignored;
                if (Decode(text.substr(0, n), ignored)) expected = text.substr(0, n);
            }
            EXPECT_EQ(cut, expected) << text << " cut to " << limit;
        }
    }
    // Half a character at the end of the text itself is dropped too.
    EXPECT_EQ(Truncate("ab\x95", 10, IsCp932LeadByte), "ab");
}

TEST(AnsiText, CaseFoldsAsciiLettersOnly)
{
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"README.TXT", "readme.txt", true},
        {"Sakura.EXE", "sakura.exe", true},
        {"readme.txt", "readme.tx", false},
        {"a", "", false},
        {"", "", true},
        // ア is 0x83 0x41 ('A' as its second byte), ャ 0x83 0x83; 0x83 0x61
        // is another character again: a second byte never folds.
        {"ア.TXT", "ア.txt", true},
        {"ア", "\x83\x61", false},
        {"表\\X", "表\\x", true},
        // Bytes beyond ASCII never fold, not even Latin-1 letters.
        {"\xC4", "\xE4", false},
        {"@[`{", "@[`{", true},
        {"@", "`", false},
        {"[", "{", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b, IsCp932LeadByte), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.b, c.a, IsCp932LeadByte), c.equal) << c.b << " / " << c.a;
    }
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const char expected = b >= 'A' && b <= 'Z' ? static_cast<char>(b + 32) : c;
        EXPECT_EQ(LowerAscii(c), expected) << b;
    }
}

TEST(AnsiText, PrefixMatchesWholeCharactersOnly)
{
    EXPECT_TRUE(StartsWithIgnoringAsciiCase("get version SHIORI/2.0", "GET Version", IsCp932LeadByte));
    EXPECT_TRUE(StartsWithIgnoringAsciiCase("GET Sentence", "GET Sentence", IsCp932LeadByte));
    EXPECT_FALSE(StartsWithIgnoringAsciiCase("GET Sentenc", "GET Sentence", IsCp932LeadByte));
    EXPECT_TRUE(StartsWithIgnoringAsciiCase("アイ", "ア", IsCp932LeadByte));
    EXPECT_FALSE(StartsWithIgnoringAsciiCase("\x83\x61", "ア", IsCp932LeadByte));
    // The first byte of ア alone is half of the text's first character.
    EXPECT_FALSE(StartsWithIgnoringAsciiCase("アイ", "\x83", IsCp932LeadByte));
    EXPECT_TRUE(StartsWithIgnoringAsciiCase("anything", "", IsCp932LeadByte));
}
