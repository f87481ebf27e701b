// The interface's own rules, on archives made by zip and gcab: handles shared
// by the three families, no rewind, member selection, files, NULL handles,
// read-only cabinets, spanned sets and members too large for memory.
#include "bruna/BrunaApi.h"

#include "harness/TestEnv.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::string Fixture(const std::string& rel)
{
    return testenv::Join(testenv::TempDir(), "..\\bruna_archives\\" + rel);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class BrunaEdge : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(api.Loaded()); }
    std::string Extract(void* h, const char* name)
    {
        HGLOBAL block = api.arc.ExtractToMemory(h, name);
        if (!block) return "<NULL>";
        return TakeBlock(block);
    }
    BrunaApi api;
};

TEST_F(BrunaEdge, FindAndExtractAreOneEntryPointUnderThreeNames)
{
    for (const char* op : {"Close", "FindFirst", "FindNext", "ExtractToMemory", "ExtractToFile"}) {
        SCOPED_TRACE(op);
        const FARPROC arc = api.Proc((std::string("Arc") + op).c_str());
        EXPECT_EQ(api.Proc((std::string("Zip") + op).c_str()), arc);
        EXPECT_EQ(api.Proc((std::string("Cab") + op).c_str()), arc);
    }
    EXPECT_NE(api.Proc("ZipOpen"), api.Proc("CabOpen"));
}

TEST_F(BrunaEdge, FamiliesShareHandles)
{
    void* z = api.zip.Open(Fixture("zip\\mixed.zip").c_str());
    void* c = api.cab.Open(Fixture("cab\\gcab-mszip.cab").c_str());
    ASSERT_NE(z, nullptr);
    ASSERT_NE(c, nullptr);
    ArcFindData d;
    ASSERT_TRUE(api.cab.FindFirst(z, &d));
    EXPECT_STREQ(d.fileName, "ostra.ini");
    ASSERT_TRUE(api.arc.FindNext(z, &d));
    EXPECT_STREQ(d.fileName, "dir/");
    ASSERT_TRUE(api.zip.FindFirst(c, &d));
    EXPECT_STREQ(d.fileName, "a.txt");
    EXPECT_STREQ(d.method, "cab");
    EXPECT_EQ(TakeBlock(api.zip.ExtractToMemory(c, "a.txt")), "hello\n");
    EXPECT_EQ(TakeBlock(api.cab.ExtractToMemory(z, "ostra.ini")), "[ostra]\r\nname=test\r\n");
    EXPECT_TRUE(api.cab.Close(z));
    EXPECT_TRUE(api.zip.Close(c));
}

TEST_F(BrunaEdge, ArcOpenPrefersZipAndFamiliesPickTheirPart)
{
    const std::string both = Fixture("both.zip");
    ArcFindData d;
    void* a = api.arc.Open(both.c_str());
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(api.arc.FindFirst(a, &d));
    EXPECT_STREQ(d.fileName, "y2069.txt");
    EXPECT_STREQ(d.method, "Stored");
    api.arc.Close(a);
    void* c = api.cab.Open(both.c_str());
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(api.cab.FindFirst(c, &d));
    EXPECT_STREQ(d.fileName, "a.txt");
    EXPECT_STREQ(d.method, "cab");
    api.cab.Close(c);
    // Each family refuses the other kind.
    EXPECT_EQ(api.zip.Open(Fixture("cab\\gcab-stored.cab").c_str()), nullptr);
    EXPECT_EQ(api.cab.Open(Fixture("zip\\mixed.zip").c_str()), nullptr);
}

TEST_F(BrunaEdge, FindFirstDoesNotRewind)
{
    for (const char* rel : {"zip\\level-9.zip", "cab\\normal_2files_1folder.cab"}) {
        SCOPED_TRACE(rel);
        void* h = api.arc.Open(Fixture(rel).c_str());
        ASSERT_NE(h, nullptr);
        ArcFindData d;
        int n = 0;
        for (BOOL more = api.arc.FindFirst(h, &d); more; more = api.arc.FindNext(h, &d))
            ++n;
        EXPECT_GE(n, 1);
        EXPECT_FALSE(api.arc.FindFirst(h, &d));
        EXPECT_FALSE(api.arc.FindNext(h, &d));
        api.arc.Close(h);
    }
    // Extraction does not move the find position.
    void* h = api.arc.Open(Fixture("cab\\normal_2files_1folder.cab").c_str());
    ArcFindData d;
    ASSERT_TRUE(api.arc.FindFirst(h, &d));
    EXPECT_NE(Extract(h, "welcome.c"), "<NULL>");
    ASSERT_TRUE(api.arc.FindFirst(h, &d));
    EXPECT_STREQ(d.fileName, "welcome.c");
    api.arc.Close(h);
}

TEST_F(BrunaEdge, ZipSelectsTheExactStoredName)
{
    void* h = api.arc.Open(Fixture("zip\\mixed.zip").c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Extract(h, "name[1].txt"), "the bracketed one\n");
    EXPECT_EQ(Extract(h, "name1.txt"), "a pattern would pick me\n");
    EXPECT_EQ(Extract(h, "q?.txt"), "question\n");
    EXPECT_EQ(Extract(h, "star*.txt"), "star\n");
    EXPECT_EQ(Extract(h, "name?.txt"), "<NULL>");
    EXPECT_EQ(Extract(h, "*"), "<NULL>");
    EXPECT_EQ(Extract(h, "Case.txt"), "upper C\n");
    EXPECT_EQ(Extract(h, "case.txt"), "<NULL>");
    EXPECT_EQ(Extract(h, "CASE.TXT"), "<NULL>");
    EXPECT_EQ(Extract(h, "seq.txt"), "<NULL>"); // stored as dir/sub/seq.txt
    EXPECT_EQ(Extract(h, "dir\\sub\\seq.txt"), "<NULL>");
    EXPECT_EQ(Extract(h, "スキン.txt"), "シフトJIS\n");
    EXPECT_EQ(Extract(h, "ソース表示.txt"), "trail byte 0x5C\n");
    EXPECT_EQ(Extract(h, "empty.txt"), "");
    api.arc.Close(h);
}

TEST_F(BrunaEdge, CabinetSelectsIgnoringCase)
{
    void* h = api.arc.Open(Fixture("cab\\gcab-stored.cab").c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Extract(h, "readme.txt"), "upper case name\n");
    EXPECT_EQ(Extract(h, "README.txt"), "upper case name\n");
    EXPECT_EQ(Extract(h, "A.TXT"), "hello\n");
    EXPECT_EQ(Extract(h, "name[1].txt"), "bracket\n");
    EXPECT_EQ(Extract(h, "name?.txt"), "<NULL>");
    EXPECT_EQ(Extract(h, "missing.txt"), "<NULL>");
    // An empty member is empty, as cabextract gives it.
    EXPECT_EQ(Extract(h, "empty.txt"), "");
    api.arc.Close(h);
}

TEST_F(BrunaEdge, ExtractToFile)
{
    const std::string dir = testenv::FreshDir("out");
    struct Case {
        const char* archive;
        const char* member; // as stored
        const char* asked;  // as asked for
    } cases[] = {{"zip\\mixed.zip", "dir/sub/seq.txt", "dir/sub/seq.txt"},
                 {"cab\\gcab-mszip.cab", "seq.txt", "SEQ.TXT"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        void* h = api.arc.Open(Fixture(c.archive).c_str());
        ASSERT_NE(h, nullptr);
        const std::string want = TakeBlock(api.arc.ExtractToMemory(h, c.member));
        ASSERT_GT(want.size(), 200000u);
        const std::string written = testenv::Join(dir, "written");
        EXPECT_TRUE(api.arc.ExtractToFile(h, c.asked, written.c_str()));
        EXPECT_TRUE(testenv::ReadFile(written) == want);
        // An existing file is replaced, not appended to.
        const std::string empty = testenv::Join(dir, "empty");
        testenv::WriteFile(empty, "old contents");
        EXPECT_TRUE(api.arc.ExtractToFile(h, "empty.txt", empty.c_str()));
        EXPECT_TRUE(FileExists(empty));
        EXPECT_EQ(testenv::ReadFile(empty), "");
        // A member that is not there leaves no file; nor is a folder made.
        const std::string none = testenv::Join(dir, "none");
        EXPECT_FALSE(api.arc.ExtractToFile(h, "missing.txt", none.c_str()));
        EXPECT_FALSE(FileExists(none));
        const std::string deep = testenv::Join(dir, "no\\such\\folder\\file");
        EXPECT_FALSE(api.arc.ExtractToFile(h, "empty.txt", deep.c_str()));
        EXPECT_FALSE(FileExists(testenv::Join(dir, "no")));
        api.arc.Close(h);
        DeleteFileA(written.c_str());
    }
}

TEST_F(BrunaEdge, CabinetMembersComeOutTheSameInAnyOrder)
{
    // One decoding pass also yields the members after the one asked for;
    // asking again, backwards, or out of order gives the same bytes.
    void* h = api.arc.Open(Fixture("cab\\gcab-mszip.cab").c_str());
    ASSERT_NE(h, nullptr);
    const char* names[] = {"a.txt", "seq.txt", "surface0.png", "empty.txt", "README.TXT", "name[1].txt"};
    std::vector<std::string> forward;
    for (const char* n : names)
        forward.push_back(Extract(h, n));
    EXPECT_EQ(forward[0], "hello\n");
    EXPECT_EQ(forward[1].size(), 228894u);
    EXPECT_EQ(forward[2].size(), 70000u);
    for (int round = 0; round < 2; ++round)
        for (int i = 5; i >= 0; --i) {
            SCOPED_TRACE(names[i]);
            EXPECT_TRUE(Extract(h, names[i]) == forward[i]);
        }
    EXPECT_TRUE(Extract(h, "seq.txt") == forward[1]);
    EXPECT_TRUE(Extract(h, "seq.txt") == forward[1]);
    api.arc.Close(h);
}

TEST_F(BrunaEdge, NullHandlesAndArguments)
{
    ArcFindData d;
    const std::string out = testenv::Join(testenv::FreshDir("null"), "x");
    for (const BrunaApi::Family* f : {&api.arc, &api.zip, &api.cab}) {
        EXPECT_EQ(f->Open(nullptr), nullptr);
        EXPECT_FALSE(f->Close(nullptr));
        EXPECT_FALSE(f->FindFirst(nullptr, &d));
        EXPECT_FALSE(f->FindNext(nullptr, &d));
        EXPECT_EQ(f->ExtractToMemory(nullptr, "a.txt"), nullptr);
        EXPECT_FALSE(f->ExtractToFile(nullptr, "a.txt", out.c_str()));
        EXPECT_EQ(f->Open(Fixture("no-such-file.zip").c_str()), nullptr);
    }
    void* h = api.arc.Open(Fixture("cab\\gcab-stored.cab").c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(api.arc.FindFirst(h, nullptr));
    EXPECT_EQ(api.arc.ExtractToMemory(h, nullptr), nullptr);
    EXPECT_FALSE(api.arc.ExtractToFile(h, "a.txt", nullptr));
    EXPECT_FALSE(FileExists(out));
    api.arc.Close(h);
}

TEST_F(BrunaEdge, EmptyZipOpensWithoutMembers)
{
    void* h = api.arc.Open(Fixture("zip\\empty.zip").c_str());
    ASSERT_NE(h, nullptr);
    ArcFindData d;
    EXPECT_FALSE(api.arc.FindFirst(h, &d));
    EXPECT_EQ(api.arc.ExtractToMemory(h, "gone.txt"), nullptr);
    EXPECT_TRUE(api.arc.Close(h));
}

TEST_F(BrunaEdge, ReadOnlyCabinetOpens)
{
    // Read-only media are out of reach here (and root may write a file
    // marked read-only), so another holder that lets others read but not
    // write stands in: any open that asks for write access fails.
    const std::string copy = testenv::Join(testenv::FreshDir("readonly"), "ro.cab");
    ASSERT_TRUE(CopyFileA(Fixture("cab\\gcab-mszip.cab").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE holder = CreateFileA(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    HANDLE writer = CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "the stand-in does not keep writers out";
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    void* h = api.cab.Open(copy.c_str());
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(Extract(h, "a.txt"), "hello\n");
    EXPECT_EQ(Extract(h, "surface0.png").size(), 70000u);
    api.cab.Close(h);
    CloseHandle(holder);
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(BrunaEdge, SpannedSetNeedsItsNextPart)
{
    // With its parts beside it the first cabinet extracts a member that
    // runs on into them; alone, it lists the same and fails that member
    // promptly instead of asking FDI for the missing part for ever.
    const std::string alone = testenv::Join(testenv::FreshDir("alone"), "cabd_multi_basic_pt1.cab");
    ASSERT_TRUE(CopyFileA(Fixture("cab\\cabd_multi_basic_pt1.cab").c_str(), alone.c_str(), FALSE));
    void* full = api.arc.Open(Fixture("cab\\cabd_multi_basic_pt1.cab").c_str());
    void* h = api.arc.Open(alone.c_str());
    ASSERT_NE(full, nullptr);
    ASSERT_NE(h, nullptr);
    ArcFindData d;
    int n = 0;
    for (BOOL more = api.arc.FindFirst(h, &d); more; more = api.arc.FindNext(h, &d))
        ++n;
    EXPECT_EQ(n, 3);
    const std::string whole = Extract(full, "test3.txt");
    EXPECT_EQ(whole.size(), 76u);
    EXPECT_EQ(Extract(h, "test3.txt"), "<NULL>");
    api.arc.Close(h);
    api.arc.Close(full);
}

TEST_F(BrunaEdge, OversizedMemberFailsAndTheRestStillExtracts)
{
    void* h = api.arc.Open(Fixture("zip\\bomb.zip").c_str());
    ASSERT_NE(h, nullptr);
    ArcFindData d;
    ASSERT_TRUE(api.arc.FindFirst(h, &d));
    EXPECT_STREQ(d.fileName, "-");
    EXPECT_EQ(d.uncompressedSize, 300u * 1024 * 1024);
    EXPECT_EQ(api.arc.ExtractToMemory(h, "-"), nullptr);
    EXPECT_EQ(Extract(h, "ostra.ini"), "[ostra]\r\nname=test\r\n");
    api.arc.Close(h);

    h = api.arc.Open(Fixture("cab\\bomb.cab").c_str());
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(api.arc.FindFirst(h, &d));
    EXPECT_STREQ(d.fileName, "a.txt");
    EXPECT_EQ(api.arc.ExtractToMemory(h, "a.txt"), nullptr);
    EXPECT_EQ(Extract(h, "README.TXT"), "upper case name\n");
    api.arc.Close(h);
}

TEST_F(BrunaEdge, EncryptedMembersAreListedButNotExtracted)
{
    void* h = api.arc.Open(Fixture("zip\\encrypted.zip").c_str());
    ASSERT_NE(h, nullptr);
    ArcFindData d;
    ASSERT_TRUE(api.arc.FindFirst(h, &d));
    EXPECT_STREQ(d.fileName, "ostra.ini");
    EXPECT_EQ(d.uncompressedSize, 20u);
    EXPECT_EQ(api.arc.ExtractToMemory(h, "ostra.ini"), nullptr);
    api.arc.Close(h);
}

} // namespace
