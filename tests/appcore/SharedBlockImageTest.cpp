// The shared block "Ostra" as host scripts read it, from the skin table
// through the ids (MD5 of the handle text, by selka's digest) to the bytes.
// Expected ids were computed with md5sum over the decimal texts.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/HandleText.h"
#include "app/SharedBlockImage.h"
#include "app/SkinTable.h"
#include "selka/Md5.h"

namespace {

using Block = std::vector<unsigned char>;

SkinTable::Handle H(uintptr_t value)
{
    return reinterpret_cast<SkinTable::Handle>(value);
}

std::string Digest(const std::string& text)
{
    char hex[33];
    selka::Md5::HexDigest(text.data(), text.size(), hex);
    return hex;
}

// Publishes 'table' into a block that held garbage before, as a reused view would.
Block Publish(const SkinTable& table, const std::map<uintptr_t, std::string>& texts, size_t* end = nullptr)
{
    Block block(SharedBlockImage::kSize, 0xCC);
    auto text = [&](SkinTable::Handle skin) { return texts.at(reinterpret_cast<uintptr_t>(skin)); };
    size_t used = SharedBlockImage::Write(SharedBlockImage::Entries(table.Entries(), text, Digest), block.data());
    if (end) *end = used;
    return block;
}

Block Expected(const std::string& text)
{
    Block block(SharedBlockImage::kSize, 0);
    block[2] = 0x01; // 65536, little-endian
    std::copy(text.begin(), text.end(), block.begin() + 4);
    return block;
}

// The first differing offset, for a readable failure.
void ExpectBlock(const Block& actual, const Block& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        ASSERT_EQ(int(actual[i]), int(expected[i])) << "first difference at offset " << i;
}

// Skin 0x301A4 = 197028 on host 0x10060 = 65632; skin 0x20062 = 131170 on
// host 0x80000010, which "%d" prints as -2147483632 and which sorts after the
// other as an unsigned number.
const std::string kFirstLines = "aab412ad076de692f82ca12db3b1afe6.hwnd\x01"
                                "197028\r\n"
                                "aab412ad076de692f82ca12db3b1afe6.name\x01hoshi\r\n"
                                "aab412ad076de692f82ca12db3b1afe6.target\x01"
                                "65632\r\n";
const std::string kSecondLines = "c06ad117bf208c2c200d1f11533afd8f.hwnd\x01"
                                 "131170\r\n"
                                 "c06ad117bf208c2c200d1f11533afd8f.name\x01\x95\x5C\x8E\xA6\r\n" // 表示
                                 "c06ad117bf208c2c200d1f11533afd8f.target\x01-2147483632\r\n";

} // namespace

TEST(SharedBlockImage, TwoSkinsThenADetach)
{
    SkinTable table;
    const std::map<uintptr_t, std::string> texts = {{0x301A4, "hoshi"}, {0x20062, "\x95\x5C\x8E\xA6"}};
    table.Attach(H(0x80000010), H(0x20062));
    table.Attach(H(0x10060), H(0x301A4));
    size_t end = 0;
    ExpectBlock(Publish(table, texts, &end), Expected(kFirstLines + kSecondLines));
    EXPECT_EQ(end, 4 + kFirstLines.size() + kSecondLines.size());

    table.Detach(H(0x10060));
    ExpectBlock(Publish(table, texts), Expected(kSecondLines));

    table.Detach(H(0x80000010));
    ExpectBlock(Publish(table, texts), Expected(""));
}

TEST(SharedBlockImage, HandleTextIsTheSigned32BitValue)
{
    EXPECT_EQ(HandleDecimal(H(0)), "0");
    EXPECT_EQ(HandleDecimal(H(0x301A4)), "197028");
    EXPECT_EQ(HandleDecimal(H(0x7FFFFFFF)), "2147483647");
    EXPECT_EQ(HandleDecimal(H(0x80000000)), "-2147483648");
    EXPECT_EQ(HandleDecimal(H(0xFFFFFFFF)), "-1");
    EXPECT_EQ(Digest(HandleDecimal(H(0x10060))), "ff13ef95c23cf94edf21d200ca1fa01c");
}

namespace {

// 195 entries of 335 bytes (ids of 32, handles of 7 digits, names of 199
// bytes) fill 4 + 65325 bytes and leave 207, the last of which must stay
// zero. Entry 196 has a name line of 'nameLength' + 40 bytes; 197 and 198
// are like the first ones.
std::vector<SharedBlockEntry> CrowdedEntries(size_t nameLength)
{
    std::vector<SharedBlockEntry> entries;
    for (int i = 1; i <= 198; ++i) {
        const std::string skin = std::to_string(1000000 + i);
        entries.push_back(
            {Digest(skin), skin, std::string(i == 196 ? nameLength : 199, 'a' + i % 26), std::to_string(2000000 + i)});
    }
    return entries;
}

// The lines of the block's text, each without its CR LF; the text must end
// with a complete line and be followed by zero bytes only.
std::vector<std::string> Lines(const Block& block, size_t end)
{
    std::vector<std::string> lines;
    const std::string text(block.begin() + 4, block.begin() + end);
    size_t start = 0;
    while (start < text.size()) {
        size_t crlf = text.find("\r\n", start);
        EXPECT_NE(crlf, std::string::npos) << "a cut line at offset " << 4 + start;
        if (crlf == std::string::npos) break;
        lines.push_back(text.substr(start, crlf - start));
        start = crlf + 2;
    }
    for (size_t i = end; i < block.size(); ++i)
        EXPECT_EQ(block[i], 0) << "offset " << i;
    return lines;
}

std::vector<std::string> LinesOf(const SharedBlockEntry& e, bool hwnd, bool name, bool target)
{
    std::vector<std::string> lines;
    if (hwnd) lines.push_back(e.id + ".hwnd\x01" + e.skinWindow);
    if (name) lines.push_back(e.id + ".name\x01" + e.name);
    if (target) lines.push_back(e.id + ".target\x01" + e.hostWindow);
    return lines;
}

} // namespace

TEST(SharedBlockImage, LinesThatDoNotFitAreLeftOutAndLaterOnesTried)
{
    // After 195 entries, 207 bytes are left. Entry 196's hwnd line (47) fits;
    // its name line of 160 bytes would end exactly at the block's end with no
    // zero byte left, so it is left out and the shorter target line (49)
    // still written, then 197's hwnd and target; 198 gets nothing. One byte
    // shorter, the name line fits and ends one byte before the end.
    struct Case {
        size_t nameLength, end;
        std::vector<std::vector<bool>> tail; // lines of entries 196, 197, 198
    } cases[] = {{120, 65521, {{1, 0, 1}, {1, 0, 1}, {0, 0, 0}}}, {119, 65535, {{1, 1, 0}, {0, 0, 0}, {0, 0, 0}}}};
    for (const Case& c : cases) {
        const std::vector<SharedBlockEntry> entries = CrowdedEntries(c.nameLength);
        Block block(SharedBlockImage::kSize, 0xCC);
        EXPECT_EQ(SharedBlockImage::Write(entries, block.data()), c.end);
        std::vector<std::string> expected;
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::vector<bool> keep = i < 195 ? std::vector<bool>{1, 1, 1} : c.tail[i - 195];
            auto lines = LinesOf(entries[i], keep[0], keep[1], keep[2]);
            expected.insert(expected.end(), lines.begin(), lines.end());
        }
        EXPECT_EQ(Lines(block, c.end), expected) << "name of " << c.nameLength;
    }
}
