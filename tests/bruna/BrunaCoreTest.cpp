// The portable parts of bruna: record layout, method texts, DOS times,
// Shift_JIS-aware names and the cabinet table reader (on libmspack's test
// cabinets, whose contents cabextract lists).
#include "bruna/ArcFindData.h"
#include "bruna/CabHeader.h"
#include "bruna/DosDateTime.h"
#include "bruna/EmptyZip.h"
#include "bruna/MemberName.h"
#include "bruna/ZipMethod.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadCab(const std::string& name)
{
    const char* deps = std::getenv("OSTRA_DEPS_DIR");
    const std::string path =
        std::string(deps ? deps : "build/deps") + "/src/libmspack-0.11/test/test_files/cabd/" + name;
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(ZipMethod, ListingTexts)
{
    // Deflate's option bits 1-2: normal, maximum, fast, super fast.
    EXPECT_EQ(ZipMethod::Text(8, 0x0000), "Defl:N");
    EXPECT_EQ(ZipMethod::Text(8, 0x0002), "Defl:X");
    EXPECT_EQ(ZipMethod::Text(8, 0x0004), "Defl:F");
    EXPECT_EQ(ZipMethod::Text(8, 0x0006), "Defl:S");
    EXPECT_EQ(ZipMethod::Text(8, 0x0809), "Defl:N"); // encryption and UTF-8 bits do not count
    EXPECT_EQ(ZipMethod::Text(0, 0x0006), "Stored");
    EXPECT_EQ(ZipMethod::Text(12, 0), "BZip2");
    EXPECT_EQ(ZipMethod::Text(14, 0), "LZMA");
    EXPECT_EQ(ZipMethod::Text(77, 0), "Unk:077");
    for (unsigned m = 0; m < 65536; m += 97)
        EXPECT_LT(ZipMethod::Text(static_cast<uint16_t>(m), 0).size(), 10u);
}

TEST(DosDateTime, DecodesAndCountsTicks)
{
    // 2069-06-15 12:34:56 as zip writes it.
    const CivilTime t = DosDateTime::Decode((89 << 9) | (6 << 5) | 15, (12 << 11) | (34 << 5) | 28);
    EXPECT_EQ(t.year, 2069);
    EXPECT_EQ(t.month, 6);
    EXPECT_EQ(t.day, 15);
    EXPECT_EQ(t.hour, 12);
    EXPECT_EQ(t.minute, 34);
    EXPECT_EQ(t.second, 56);
    // Known FILETIME values: the Unix epoch and the DOS epoch.
    EXPECT_EQ(DosDateTime::ToFileTimeTicks(CivilTime{1970, 1, 1, 0, 0, 0}), 116444736000000000ull);
    EXPECT_EQ(DosDateTime::ToFileTimeTicks(DosDateTime::Decode(0x0021, 0)), 119600064000000000ull);
    // 2000-02-29 exists, 2100-02-29 and month 0 (a zeroed date word) do not.
    EXPECT_EQ(DosDateTime::ToFileTimeTicks(CivilTime{2000, 3, 1, 0, 0, 0}) -
                  DosDateTime::ToFileTimeTicks(CivilTime{2000, 2, 29, 0, 0, 0}),
              864000000000ull);
    EXPECT_EQ(DosDateTime::ToFileTimeTicks(CivilTime{2100, 2, 29, 0, 0, 0}), 0u);
    EXPECT_EQ(DosDateTime::ToFileTimeTicks(DosDateTime::Decode(0, 0)), 0u);
    EXPECT_EQ(DosDateTime::ToFileTimeTicks(DosDateTime::Decode(0x0021, 24 << 11)), 0u);
}

TEST(EmptyZip, OnlyTheBareEndRecord)
{
    // What Info-ZIP zip leaves after deleting the last member.
    std::vector<uint8_t> end = {'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(EmptyZip::Is(end.data(), end.size()));
    EXPECT_FALSE(EmptyZip::Is(end.data(), end.size() - 1));
    std::vector<uint8_t> commented = end;
    commented[20] = 3;
    commented.insert(commented.end(), {'a', 'b', 'c'});
    EXPECT_TRUE(EmptyZip::Is(commented.data(), commented.size()));
    EXPECT_FALSE(EmptyZip::Is(commented.data(), commented.size() - 1));
    std::vector<uint8_t> members = end;
    members[8] = members[10] = 1; // one member listed: not empty
    EXPECT_FALSE(EmptyZip::Is(members.data(), members.size()));
    std::vector<uint8_t> prefixed = {'x'};
    prefixed.insert(prefixed.end(), end.begin(), end.end());
    EXPECT_FALSE(EmptyZip::Is(prefixed.data(), prefixed.size()));
}

TEST(MemberName, CaseFoldingSparesTrailBytes)
{
    EXPECT_TRUE(MemberName::EqualsIgnoreCase("README.TXT", "readme.txt"));
    EXPECT_TRUE(MemberName::EqualsIgnoreCase("Dir\\Sub.PNG", "dir\\sub.png"));
    EXPECT_FALSE(MemberName::EqualsIgnoreCase("readme.txt", "readme.tx"));
    EXPECT_FALSE(MemberName::EqualsIgnoreCase("a", ""));
    // "ア" is 83 41 and "ャ" is 83 61: folding the trail byte would equate them.
    EXPECT_FALSE(MemberName::EqualsIgnoreCase("\x83\x41.txt", "\x83\x61.txt"));
    EXPECT_TRUE(MemberName::EqualsIgnoreCase("\x83\x41.TXT", "\x83\x41.txt"));
    EXPECT_FALSE(MemberName::EqualsIgnoreCase(nullptr, "a"));
}

TEST(MemberName, SplitsAtTheLastRealBackslash)
{
    std::string folder, file;
    MemberName::SplitPath("C:\\skins\\new.cab", folder, file);
    EXPECT_EQ(folder, "C:\\skins\\");
    EXPECT_EQ(file, "new.cab");
    // "ソ" is 83 5C: its trail byte is not a separator.
    MemberName::SplitPath("C:\\\x83\x5C\\\x83\x5C.cab", folder, file);
    EXPECT_EQ(folder, "C:\\\x83\x5C\\");
    EXPECT_EQ(file, "\x83\x5C.cab");
    MemberName::SplitPath("plain.cab", folder, file);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(file, "plain.cab");
}

TEST(MemberName, Plausibility)
{
    EXPECT_TRUE(MemberName::IsPlausible("a"));
    EXPECT_TRUE(MemberName::IsPlausible(std::string(259, 'x').c_str()));
    EXPECT_FALSE(MemberName::IsPlausible(std::string(260, 'x').c_str()));
    EXPECT_FALSE(MemberName::IsPlausible(""));
    EXPECT_FALSE(MemberName::IsPlausible(nullptr));
    EXPECT_FALSE(MemberName::IsPlausible(" \x14hello"));
}

TEST(CabHeader, ReadsTheTablesOfGoodCabinets)
{
    struct Case {
        const char* file;
        size_t folders;
        std::vector<std::string> names;
    } cases[] = {
        {"normal_2files_1folder.cab", 1, {"hello.c", "welcome.c"}},
        {"normal_2files_2folders.cab", 2, {"mszip1.txt", "mszip2.txt", "lzx1.txt", "lzx2.txt"}},
        {"mszip_lzx_qtm.cab", 3, {"mszip.txt", "lzx.txt", "qtm.txt"}},
        {"reserve_HFD.cab", 1, {"test1.txt", "test2.txt"}},
        {"reserve_---.cab", 1, {"test1.txt", "test2.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> bytes = ReadCab(c.file);
        ASSERT_FALSE(bytes.empty());
        CabHeader h;
        ASSERT_TRUE(h.Parse(bytes.data(), bytes.size()));
        EXPECT_EQ(h.cabinetSize, bytes.size());
        EXPECT_EQ(h.folders.size(), c.folders);
        ASSERT_EQ(h.files.size(), c.names.size());
        for (size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(h.files[i].name, c.names[i]);
            EXPECT_TRUE(h.files[i].StartsHere());
        }
    }
    CabHeader h;
    const std::vector<uint8_t> hello = ReadCab("normal_2files_1folder.cab");
    ASSERT_TRUE(h.Parse(hello.data(), hello.size()));
    EXPECT_EQ(h.files[0].size, 77u); // as cabextract -l lists it
    EXPECT_EQ(h.files[1].size, 74u);
    const CivilTime t = DosDateTime::Decode(h.files[1].date, h.files[1].time);
    EXPECT_EQ(t.year, 1997);
    EXPECT_EQ(t.hour * 3600 + t.minute * 60 + t.second, 11 * 3600 + 15 * 60 + 14);
    const std::vector<uint8_t> longName = ReadCab("normal_255c_filename.cab");
    ASSERT_TRUE(h.Parse(longName.data(), longName.size()));
    EXPECT_EQ(h.files[0].name.size(), 255u);
}

TEST(CabHeader, KnowsWhereMembersOfASetBegin)
{
    CabHeader h;
    const std::vector<uint8_t> first = ReadCab("multi_basic_pt1.cab");
    ASSERT_TRUE(h.Parse(first.data(), first.size()));
    EXPECT_EQ(h.nextCabinet, "cabd_multi_basic_pt2.cab");
    ASSERT_EQ(h.files.size(), 3u);
    for (const auto& f : h.files)
        EXPECT_TRUE(f.StartsHere());
    for (const char* later : {"multi_basic_pt2.cab", "multi_basic_pt5.cab"}) {
        const std::vector<uint8_t> bytes = ReadCab(later);
        ASSERT_TRUE(h.Parse(bytes.data(), bytes.size()));
        EXPECT_FALSE(h.prevCabinet.empty());
        for (const auto& f : h.files)
            EXPECT_FALSE(f.StartsHere());
    }
}

TEST(CabHeader, RefusesInconsistentTables)
{
    for (const char* bad : {"bad_nofolders.cab", "bad_nofiles.cab", "bad_folderindex.cab", "bad_signature.cab",
                            "partial_shortheader.cab", "partial_shortfile1.cab", "partial_str_nofname.cab",
                            "partial_nofiles.cab", "cve-2015-4470-mszip-over-read.cab"}) {
        SCOPED_TRACE(bad);
        const std::vector<uint8_t> bytes = ReadCab(bad);
        ASSERT_FALSE(bytes.empty());
        CabHeader h;
        EXPECT_FALSE(h.Parse(bytes.data(), bytes.size()));
    }
    // Every cut of a good cabinet short of its file table fails.
    const std::vector<uint8_t> good = ReadCab("normal_2files_2folders.cab");
    CabHeader h;
    ASSERT_TRUE(h.Parse(good.data(), good.size()));
    size_t tableEnd = 0;
    for (size_t cut = 0; cut <= good.size(); ++cut)
        if (h.Parse(good.data(), cut)) {
            tableEnd = cut;
            break;
        }
    EXPECT_GT(tableEnd, 36u);
    EXPECT_LT(tableEnd, good.size());
}

} // namespace
