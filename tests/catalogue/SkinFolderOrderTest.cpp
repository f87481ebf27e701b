// The catalogue's order: unsigned byte order of the folders' full paths.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "skin/SkinFolderOrder.h"

TEST(SkinFolderOrder, FoldersSortByUnsignedBytesOfTheirPaths)
{
    const std::string root = "C:\\ostra\\skin\\";
    // Listing order as a directory might return it.
    std::vector<SkinFolder> folders = {
        {root + "b", "b"},
        {root + "\x95\x5C", "\x95\x5C"}, // 表 (lead 0x95, trail 0x5C)
        {root + "A", "A"},
        {root + "a", "a"},
        {root + "\x83\x5C", "\x83\x5C"}, // ソ
        {root + "ab", "ab"},
        {root + "\xB1", "\xB1"}, // half-width katakana, one byte 0xB1
        {root + "Z9", "Z9"},
        {root + "_", "_"},
    };
    SortSkinFolders(folders);
    std::vector<std::string> names;
    for (const SkinFolder& f : folders) {
        names.push_back(f.name);
        EXPECT_EQ(f.path, root + f.name); // each pair stays together
    }
    // Upper case before "_" (0x5F) before lower case; a prefix first; bytes
    // from 0x80 on after every ASCII name (a signed comparison would put them first).
    std::vector<std::string> expected = {"A", "Z9", "_", "a", "ab", "b", "\x83\x5C", "\x95\x5C", "\xB1"};
    EXPECT_EQ(names, expected);
}

TEST(SkinFolderOrder, PathComparisonCases)
{
    struct Case {
        std::string a, b;
        bool less;
    } cases[] = {
        {"A", "a", true},        {"a", "A", false},        {"a", "a", false},
        {"a", "ab", true},       {"ab", "a", false},       {"", "a", true},
        {"z", "\x81\x40", true}, {"\x81\x40", "z", false}, {"\xFF", "\xFE", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SkinPathLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}
