// The shared block "Ostra" as host scripts read it, from the skin table
// through the ids (MD5 of the handle text, by selka's digest) to the bytes.
// Expected ids were computed with md5sum over the decimal texts.
#include <algorithm>
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

// The size field and the text, then zero bytes only; the block held garbage
// before, as a reused view would.
void ExpectPublished(const SkinTable& table, const std::string& text)
{
    const std::map<uintptr_t, std::string> names = {{0x301A4, "hoshi"}, {0x20062, "\x95\x5C\x8E\xA6"}}; // 表示
    auto name = [&](SkinTable::Handle skin) { return names.at(reinterpret_cast<uintptr_t>(skin)); };
    Block block(SharedBlockImage::kSize, 0xCC);
    EXPECT_EQ(SharedBlockImage::Write(SharedBlockImage::Entries(table.Entries(), name, Digest), block.data()),
              4 + text.size());
    EXPECT_EQ(std::string(block.begin(), block.begin() + 4 + text.size()), std::string("\0\0\x01\0", 4) + text);
    EXPECT_TRUE(std::all_of(block.begin() + 4 + text.size(), block.end(), [](unsigned char b) { return b == 0; }));
}

} // namespace

TEST(SharedBlockImage, TwoSkinsThenADetach)
{
    // Skin 0x301A4 = 197028 on host 0x10060 = 65632; skin 0x20062 = 131170 on
    // host 0x80000010, which "%d" prints as -2147483632 and which sorts after
    // the other as an unsigned number.
    const std::string first = "aab412ad076de692f82ca12db3b1afe6.hwnd\x01"
                              "197028\r\n"
                              "aab412ad076de692f82ca12db3b1afe6.name\x01hoshi\r\n"
                              "aab412ad076de692f82ca12db3b1afe6.target\x01"
                              "65632\r\n";
    const std::string second = "c06ad117bf208c2c200d1f11533afd8f.hwnd\x01"
                               "131170\r\n"
                               "c06ad117bf208c2c200d1f11533afd8f.name\x01\x95\x5C\x8E\xA6\r\n"
                               "c06ad117bf208c2c200d1f11533afd8f.target\x01-2147483632\r\n";
    SkinTable table;
    table.Attach(H(0x80000010), H(0x20062));
    table.Attach(H(0x10060), H(0x301A4));
    ExpectPublished(table, first + second);
    table.Detach(H(0x10060));
    ExpectPublished(table, second);
    table.Detach(H(0x80000010));
    ExpectPublished(table, "");
}

TEST(SharedBlockImage, HandleTextIsTheSigned32BitValue)
{
    EXPECT_EQ(HandleDecimal(H(0)), "0");
    EXPECT_EQ(HandleDecimal(H(0x7FFFFFFF)), "2147483647");
    EXPECT_EQ(HandleDecimal(H(0x80000000)), "-2147483648");
    EXPECT_EQ(HandleDecimal(H(0xFFFFFFFF)), "-1");
}

TEST(SharedBlockImage, LinesThatDoNotFitAreLeftOutAndLaterOnesTried)
{
    // Ids of 32 bytes, handles of 7 digits and names of 199 bytes make lines
    // of 47, 239 and 49 bytes: 195 entries leave 207 bytes. Entry 196's hwnd
    // line fits; its name line of 160 bytes would end exactly at the block's
    // end with no zero byte left, so it is left out and the shorter target
    // line still written, then 197's hwnd and target; 198 gets nothing. One
    // byte shorter, the name line fits and ends one byte before the end.
    struct Case {
        size_t nameLength, end;
        std::vector<std::vector<bool>> tail; // lines of entries 196, 197, 198
    } cases[] = {{120, 65521, {{1, 0, 1}, {1, 0, 1}, {0, 0, 0}}}, {119, 65535, {{1, 1, 0}, {0, 0, 0}, {0, 0, 0}}}};
    for (const Case& c : cases) {
        std::vector<SharedBlockEntry> entries;
        std::string expected;
        for (int i = 1; i <= 198; ++i) {
            const std::string skin = std::to_string(1000000 + i);
            const SharedBlockEntry e{Digest(skin), skin, std::string(i == 196 ? c.nameLength : 199, 'a' + i % 26),
                                     std::to_string(2000000 + i)};
            entries.push_back(e);
            const std::vector<bool> keep = i <= 195 ? std::vector<bool>{1, 1, 1} : c.tail[i - 196];
            if (keep[0]) expected += e.id + ".hwnd\x01" + e.skinWindow + "\r\n";
            if (keep[1]) expected += e.id + ".name\x01" + e.name + "\r\n";
            if (keep[2]) expected += e.id + ".target\x01" + e.hostWindow + "\r\n";
        }
        Block block(SharedBlockImage::kSize, 0xCC);
        EXPECT_EQ(SharedBlockImage::Write(entries, block.data()), c.end) << "name of " << c.nameLength;
        EXPECT_EQ(4 + expected.size(), c.end);
        EXPECT_TRUE(std::string(block.begin() + 4, block.begin() + c.end) == expected) << "name of " << c.nameLength;
        EXPECT_TRUE(std::all_of(block.begin() + c.end, block.end(), [](unsigned char b) { return b == 0; }));
    }
}
