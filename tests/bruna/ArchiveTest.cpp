// The reader objects' own operations that the exports do not reach:
// Contains (exact name, through a second reader) and the one-shot
// ExtractFile.
#include "bruna/CabArchive.h"
#include "bruna/ZipArchive.h"

#include "harness/TestEnv.h"

#include <gtest/gtest.h>

namespace {

std::string Fixture(const std::string& rel)
{
    return testenv::Join(testenv::TempDir(), "..\\bruna_archives\\" + rel);
}

std::string Take(HGLOBAL block)
{
    if (!block) return "<NULL>";
    const SIZE_T size = GlobalSize(block);
    const char* p = static_cast<const char*>(GlobalLock(block));
    std::string bytes(p ? p : "", p ? size : 0);
    GlobalUnlock(block);
    GlobalFree(block);
    return bytes;
}

TEST(Archive, ContainsComparesExactNames)
{
    ZipArchive zip;
    ASSERT_TRUE(zip.Open(Fixture("zip\\mixed.zip").c_str()));
    EXPECT_TRUE(zip.Contains("name[1].txt"));
    EXPECT_TRUE(zip.Contains("dir/sub/seq.txt"));
    EXPECT_FALSE(zip.Contains("case.txt"));
    EXPECT_FALSE(zip.Contains("name?.txt"));
    CabArchive cab;
    ASSERT_TRUE(cab.Open(Fixture("cab\\gcab-stored.cab").c_str()));
    EXPECT_TRUE(cab.Contains("README.TXT"));
    EXPECT_FALSE(cab.Contains("readme.txt"));
    char name[260];
    cab.GetArchiveName(name);
    EXPECT_EQ(std::string(name), Fixture("cab\\gcab-stored.cab"));
    EXPECT_TRUE(cab.Close());
    EXPECT_FALSE(cab.Close());
    EXPECT_FALSE(cab.Contains("README.TXT"));
    cab.GetArchiveName(name);
    EXPECT_EQ(std::string(name), "");
}

TEST(Archive, ExtractFileIsOneShot)
{
    ZipArchive zip; // never opened itself
    EXPECT_EQ(Take(zip.ExtractFile(Fixture("zip\\mixed.zip").c_str(), "q?.txt")), "question\n");
    EXPECT_EQ(Take(zip.ExtractFile(Fixture("cab\\gcab-stored.cab").c_str(), "a.txt")), "<NULL>");
    CabArchive cab;
    EXPECT_EQ(Take(cab.ExtractFile(Fixture("cab\\gcab-stored.cab").c_str(), "A.TXT")), "hello\n");
    EXPECT_EQ(Take(cab.ExtractFile(nullptr, "a.txt")), "<NULL>");
    ArcFindData d;
    EXPECT_FALSE(cab.FindFirst(&d));
}

} // namespace
