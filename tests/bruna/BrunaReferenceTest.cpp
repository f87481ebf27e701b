// Every archive the fixture made or gathered, read through bruna.dll and
// compared with what unzip and cabextract say about the same file.
#include "bruna/BrunaApi.h"

#include "harness/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

struct Member {
    std::string name;
    unsigned compressed = 0, uncompressed = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::string method;
    unsigned attributes = 0;
    bool extracts = false;
};

struct Case {
    std::string id, path, cls, kind;
    std::vector<Member> members;
};

std::string FixtureDir()
{
    return testenv::Join(testenv::TempDir(), "..\\bruna_archives");
}

std::string Unhex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string s;
    while (std::getline(ss, s, '\t'))
        f.push_back(s);
    return f;
}

std::vector<Case> LoadManifest()
{
    std::vector<Case> cases;
    std::stringstream in(testenv::ReadFile(testenv::Join(FixtureDir(), "manifest.txt")));
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Split(line);
        if (f.size() == 5 && f[0] == "A") {
            std::string path = f[2];
            for (char& c : path)
                if (c == '/') c = '\\';
            cases.push_back(Case{f[1], testenv::Join(FixtureDir(), path), f[3], f[4], {}});
        } else if (f.size() == 13 && f[0] == "M" && !cases.empty()) {
            Member m;
            m.name = Unhex(f[1]);
            m.compressed = std::stoul(f[2]);
            m.uncompressed = std::stoul(f[3]);
            m.year = std::stoi(f[4]);
            m.month = std::stoi(f[5]);
            m.day = std::stoi(f[6]);
            m.hour = std::stoi(f[7]);
            m.minute = std::stoi(f[8]);
            m.second = std::stoi(f[9]);
            m.method = f[10];
            m.attributes = std::stoul(f[11]);
            m.extracts = f[12] == "1";
            cases.back().members.push_back(m);
        }
    }
    return cases;
}

std::string Reference(const Case& c, size_t index)
{
    return testenv::ReadFile(testenv::Join(FixtureDir(), "ref\\" + c.id + "\\" + std::to_string(index)));
}

std::vector<ArcFindData> List(const BrunaApi::Family& f, void* h)
{
    std::vector<ArcFindData> out;
    ArcFindData d;
    for (BOOL more = f.FindFirst(h, &d); more; more = f.FindNext(h, &d))
        out.push_back(d);
    return out;
}

SYSTEMTIME LocalTime(const ArcFileTime& t)
{
    FILETIME utc{t.dwLowDateTime, t.dwHighDateTime}, local;
    SYSTEMTIME st{};
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    return st;
}

class BrunaReference : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(api.Loaded()) << "bruna.dll or one of its exports is missing";
        cases = LoadManifest();
        ASSERT_GT(cases.size(), 40u) << "the fixture's manifest is missing or short";
    }
    BrunaApi api;
    std::vector<Case> cases;
};

// The listing matches the reference tool's member for member, and every
// member extracts to exactly the bytes the tool extracts (or, where the
// tool fails, to nothing).
TEST_F(BrunaReference, GoodArchivesListAndExtractAsTheReferenceTools)
{
    int archives = 0, members = 0;
    for (const Case& c : cases) {
        if (c.cls != "good") continue;
        SCOPED_TRACE(c.id);
        const bool zip = c.kind == "zip";
        const BrunaApi::Family& family = zip ? api.zip : api.cab;
        void* h = family.Open(c.path.c_str());
        ASSERT_NE(h, nullptr);
        const std::vector<ArcFindData> listed = List(family, h);
        ASSERT_EQ(listed.size(), c.members.size());
        for (size_t i = 0; i < listed.size(); ++i) {
            const ArcFindData& d = listed[i];
            const Member& m = c.members[i];
            SCOPED_TRACE(m.name);
            EXPECT_EQ(std::string(d.fileName), m.name);
            EXPECT_EQ(std::string(d.method), m.method);
            EXPECT_EQ(d.compressedSize, zip ? m.compressed : 0u);
            EXPECT_EQ(d.uncompressedSize, zip ? m.uncompressed : 0u);
            EXPECT_EQ(d.attributes, zip ? 0u : m.attributes);
            EXPECT_EQ(d.reserved, 0u);
            const SYSTEMTIME st = LocalTime(d.lastWriteTime);
            EXPECT_EQ(st.wYear, m.year);
            EXPECT_EQ(st.wMonth, m.month);
            EXPECT_EQ(st.wDay, m.day);
            EXPECT_EQ(st.wHour, m.hour);
            EXPECT_EQ(st.wMinute, m.minute);
            EXPECT_EQ(st.wSecond, m.second);

            HGLOBAL block = family.ExtractToMemory(h, m.name.c_str());
            if (m.extracts) {
                ASSERT_NE(block, nullptr);
                const std::string want = Reference(c, i);
                EXPECT_EQ(want.size(), m.uncompressed);
                EXPECT_EQ(GlobalSize(block), want.size());
                EXPECT_TRUE(TakeBlock(block) == want) << "extracted bytes differ";
            } else {
                EXPECT_EQ(block, nullptr);
                TakeBlock(block);
            }
            ++members;
        }
        EXPECT_TRUE(family.Close(h));
        ++archives;
    }
    EXPECT_GT(archives, 25);
    EXPECT_GT(members, 250);
}

// Whatever ArcOpen makes of the same files agrees with its family's open.
TEST_F(BrunaReference, ArcOpenReadsBothKinds)
{
    for (const Case& c : cases) {
        if (c.cls != "good" || c.id == "both-cab") continue;
        SCOPED_TRACE(c.id);
        void* h = api.arc.Open(c.path.c_str());
        ASSERT_NE(h, nullptr);
        const std::vector<ArcFindData> listed = List(api.arc, h);
        ASSERT_EQ(listed.size(), c.members.size());
        for (size_t i = 0; i < listed.size(); ++i) {
            EXPECT_EQ(std::string(listed[i].fileName), c.members[i].name);
        }
        api.arc.Close(h);
    }
}

TEST_F(BrunaReference, RefusedFilesDoNotOpen)
{
    int refused = 0;
    for (const Case& c : cases) {
        if (c.cls != "refused") continue;
        SCOPED_TRACE(c.id);
        EXPECT_EQ(api.arc.Open(c.path.c_str()), nullptr);
        EXPECT_EQ((c.kind == "zip" ? api.zip : api.cab).Open(c.path.c_str()), nullptr);
        ++refused;
    }
    EXPECT_GT(refused, 25);
}

// Damaged cabinets: no crash, no hang. What opens lists only members the
// reference lists, and extracts a member only when the reference can, to
// the same bytes.
TEST_F(BrunaReference, DamagedArchivesFailCleanly)
{
    int damaged = 0;
    for (const Case& c : cases) {
        if (c.cls != "damaged") continue;
        SCOPED_TRACE(c.id);
        ++damaged;
        void* h = api.arc.Open(c.path.c_str());
        if (!h) continue;
        for (const ArcFindData& d : List(api.arc, h)) {
            SCOPED_TRACE(d.fileName);
            size_t index = c.members.size();
            for (size_t i = 0; i < c.members.size(); ++i)
                if (c.members[i].name == d.fileName) index = i;
            ASSERT_LT(index, c.members.size()) << "listed a member the reference does not know";
            HGLOBAL block = api.arc.ExtractToMemory(h, d.fileName);
            if (!c.members[index].extracts) {
                EXPECT_EQ(block, nullptr);
                TakeBlock(block);
            } else if (block) {
                EXPECT_TRUE(TakeBlock(block) == Reference(c, index));
            }
        }
        EXPECT_TRUE(api.arc.Close(h));
    }
    EXPECT_GT(damaged, 10);
}

} // namespace
