// Where an archive's files may go, the keys of its "ostra.ini", its size
// bounds and the host's lines, against values worked out by hand (paths as
// Windows reads them) and Shift_JIS bytes from Python's cp932 codec.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/ArchiveBounds.h"
#include "app/InstallKeys.h"
#include "app/InstallPath.h"
#include "app/InstallScript.h"

namespace {

using Parts = std::vector<std::string>;
const dbcs::LeadByteTest kCp932 = dbcs::IsCp932LeadByte;

// "ソ" (0x83 0x5C) and "表" (0x95 0x5C) end in a backslash byte.
const std::string kSo = "\x83\x5C";
const std::string kHyo = "\x95\x5C";
const std::string kSofuto = "\x83\x5C\x83\x74\x83\x67"; // ソフト

struct RelativeCase {
    std::string text;
    bool accepted;
    Parts components;
    bool folder;
};

TEST(InstallPath, ReadsArchivePathsAsPlainNamesBelowTheirFolder)
{
    const std::vector<RelativeCase> cases = {
        {"", true, {}, false},
        {"skin", true, {"skin"}, false},
        {"a/b\\c.txt", true, {"a", "b", "c.txt"}, false},
        {"dir/", true, {"dir"}, true},
        {"a//b", true, {"a", "b"}, false},
        {"a/./b/../c", true, {"a", "c"}, false},
        {"a/..", true, {}, true},
        {"a.txt. ", true, {"a.txt"}, false},
        {"dir. /x", true, {"dir", "x"}, false},
        {" lead", true, {" lead"}, false},
        // Ways out.
        {"..", false, {}, false},
        {"..\\..\\x", false, {}, false},
        {"../../x", false, {}, false},
        {"a\\..\\..\\x", false, {}, false},
        {"\\x", false, {}, false},
        {"/etc/passwd", false, {}, false},
        {"\\\\server\\share\\x", false, {}, false},
        {"C:\\x", false, {}, false},
        {"C:x", false, {}, false},
        {"c:", false, {}, false},
        {"surface0.png:evil", false, {}, false},
        {"a/b:$DATA", false, {}, false},
        // Devices, with or without an extension, in any place.
        {"CON", false, {}, false},
        {"con.txt", false, {}, false},
        {"NUL", false, {}, false},
        {"nul.tar.gz", false, {}, false},
        {"COM1", false, {}, false},
        {"lpt9.log", false, {}, false},
        {"AUX ", false, {}, false},
        {"PRN.", false, {}, false},
        {"Aux .txt", false, {}, false},
        {"sub\\CON\\x", false, {}, false},
        {"CONIN$", false, {}, false},
        {"conout$.x", false, {}, false},
        {"CONSOLE", true, {"CONSOLE"}, false},
        {"com10", true, {"com10"}, false},
        {"nul_", true, {"nul_"}, false},
        {"auxiliary.txt", true, {"auxiliary.txt"}, false},
        {"com.txt", true, {"com.txt"}, false},
        // Names Windows cannot hold.
        {"...", false, {}, false},
        {" ", false, {}, false},
        {"a/. ./b", false, {}, false},
        {"q?.txt", false, {}, false},
        {"star*.txt", false, {}, false},
        {"a|b", false, {}, false},
        {"a<b>", false, {}, false},
        {"a\"b", false, {}, false},
        {"tab\there", false, {}, false},
        // Shift_JIS: a trail byte 0x5C is part of its character.
        {kSofuto, true, {kSofuto}, false},
        {kSo + "\\x.txt", true, {kSo, "x.txt"}, false},
        {kSo + "/x.txt", true, {kSo, "x.txt"}, false},
        {kHyo + "..\\x", true, {kHyo, "x"}, false},
        {kHyo + "\\..\\x", true, {"x"}, false},
        {"abc\x83", false, {}, false},     // half a character
        {"\x83/x", false, {}, false},      // no character ends in a slash
        {"\x83..\\x", false, {}, false},   // 0x83 0x2E is no character
        {"\x83|", true, {"\x83|"}, false}, // 0x83 0x7C is one character, not a bar
    };
    for (const RelativeCase& c : cases) {
        const std::optional<installpath::RelativePath> got = installpath::ReadRelativePath(c.text, kCp932);
        ASSERT_EQ(got.has_value(), c.accepted) << "text \"" << c.text << "\"";
        if (!got) continue;
        EXPECT_EQ(got->components, c.components) << "text \"" << c.text << "\"";
        EXPECT_EQ(got->folder, c.folder) << "text \"" << c.text << "\"";
    }
}

struct InsideCase {
    std::string folder;
    std::string path;
    bool inside;
};

TEST(InstallPath, ComparesFullPathsComponentByComponent)
{
    const std::string skin = "C:\\p\\skin";
    const std::vector<InsideCase> cases = {
        {skin, "C:\\p\\skin\\a", true},
        {skin, "c:\\P\\SKIN\\a\\b", true},
        {skin, "C:/p/skin/a", true},
        {skin, "C:\\p\\skin\\a\\..\\b", true},
        {skin, "C:\\p\\skin\\..\\..\\..\\p\\skin\\x", true}, // ".." stops at the root
        {skin, "C:\\p\\skin.\\a", true},                     // Windows drops the dot
        {skin, "C:\\p\\skin \\a", true},
        {skin, "C:\\p\\skin2\\a", false},
        {skin, "C:\\p\\skin", false},
        {skin, "C:\\p\\skin\\", false},
        {skin, "C:\\p\\skin\\.", false},
        {skin, "C:\\p\\skin\\..\\skin2\\x", false},
        {skin, "C:\\p\\skin\\a\\..\\..\\x", false},
        {skin, "C:\\p\\skinny", false},
        {skin, "C:\\p", false},
        {skin, "D:\\p\\skin\\a", false},
        {skin, "C:\\p\\skin\\a:stream", false},
        {skin, "C:\\p\\skin\\CON", false},
        {skin, "C:\\p\\skin\\x\\nul.txt", false},
        {skin, "\\\\?\\C:\\p\\skin\\a", false},
        {skin, "\\\\.\\C:\\p\\skin\\a", false},
        {skin, "C:p\\skin\\a", false},
        {skin, "p\\skin\\a", false},
        {skin, "\\p\\skin\\a", false},
        {"\\\\srv\\share\\skin", "\\\\SRV\\Share\\skin\\a", true},
        {"\\\\srv\\share\\skin", "\\\\srv\\other\\skin\\a", false},
        {"\\\\srv\\share\\skin", "C:\\skin\\a", false},
        {"\\\\srv\\share", "\\\\srv\\share\\a", true},
        // Shift_JIS: whole characters are compared, trail bytes exactly.
        {"C:\\" + kSo, "C:\\" + kSo + "\\a", true},
        {"C:\\" + kSo, "C:\\" + kSo + kSo + "\\a", false},
        {"C:\\\x83\x41", "C:\\\x83\x61\\x", false}, // ア is not ヂ
        {"C:\\" + kSo + "\\A", "C:\\" + kSo + "\\a\\x", true},
        {skin, "C:\\p\\skin\\a\x83", false},
    };
    for (const InsideCase& c : cases) {
        EXPECT_EQ(installpath::PathLiesInside(c.folder, c.path, kCp932), c.inside)
            << "\"" << c.path << "\" inside \"" << c.folder << "\"";
    }
}

TEST(InstallPath, ListsFolderLevelsFromTheRootDown)
{
    using installpath::FolderLevels;
    EXPECT_EQ(FolderLevels("C:\\a\\b", kCp932), (Parts{"C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(FolderLevels("C:\\a\\b\\", kCp932), (Parts{"C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(FolderLevels("C:\\", kCp932), Parts{});
    EXPECT_EQ(FolderLevels("\\\\srv\\share\\a\\b", kCp932), (Parts{"\\\\srv\\share\\a", "\\\\srv\\share\\a\\b"}));
    EXPECT_EQ(FolderLevels("C:\\" + kSo + "\\b", kCp932), (Parts{"C:\\" + kSo, "C:\\" + kSo + "\\b"}));
    EXPECT_EQ(FolderLevels("C:\\" + kSofuto, kCp932), (Parts{"C:\\" + kSofuto}));
    EXPECT_EQ(installpath::Join("C:\\s", {"a", "b.txt"}), "C:\\s\\a\\b.txt");
}

// An "ostra.ini" as the platform's reader gives it: the value cut to the
// length asked for, or the fallback when the key is missing. Records each
// call as "key fallback limit".
class FakeIni {
  public:
    explicit FakeIni(std::map<std::string, std::string> values) : m_values(std::move(values)) {}
    InstallKeyReader Reader()
    {
        return [this](const char* key, const std::string& fallback, std::size_t maxBytes) {
            calls.push_back(std::string(key) + " " + fallback + " " + std::to_string(maxBytes));
            auto found = m_values.find(key);
            const std::string value = found == m_values.end() ? fallback : found->second;
            return value.substr(0, maxBytes);
        };
    }
    std::vector<std::string> calls;

  private:
    std::map<std::string, std::string> m_values;
};

TEST(InstallKeys, ReadsFiveKeysInOrderWithTheirDefaultsAndLengths)
{
    FakeIni empty({});
    const InstallKeys keys = ReadInstallKeys(empty.Reader(), "C:\\downloads\\MySkin.zip", kCp932);
    EXPECT_EQ(keys.base, "surface0.png");
    EXPECT_EQ(keys.title, "MySkin");
    EXPECT_EQ(keys.ghost, "");
    EXPECT_EQ(keys.category, "");
    EXPECT_EQ(keys.extractpath, "MySkin");
    EXPECT_EQ(empty.calls, (std::vector<std::string>{"base surface0.png 259", "title MySkin 259", "ghost  199",
                                                     "category  199", "extractpath MySkin 259"}));

    FakeIni titled({{"title", "Title"}, {"ghost", "G"}, {"category", "a,b"}, {"base", "s.png"}});
    const InstallKeys t = ReadInstallKeys(titled.Reader(), "C:\\x.zip", kCp932);
    EXPECT_EQ(t.base, "s.png");
    EXPECT_EQ(t.title, "Title");
    EXPECT_EQ(t.ghost, "G");
    EXPECT_EQ(t.category, "a,b");
    EXPECT_EQ(t.extractpath, "Title"); // the title as read, not the archive's name

    FakeIni given({{"extractpath", "a\\b"}, {"title", std::string(300, 't')}, {"ghost", std::string(250, 'g')}});
    const InstallKeys g = ReadInstallKeys(given.Reader(), "C:\\x.zip", kCp932);
    EXPECT_EQ(g.extractpath, "a\\b");
    EXPECT_EQ(g.title, std::string(259, 't'));
    EXPECT_EQ(g.ghost, std::string(199, 'g'));

    // Present but empty: the default, as the catalogue reads these keys.
    FakeIni blank({{"base", ""}, {"title", ""}, {"extractpath", ""}});
    const InstallKeys b = ReadInstallKeys(blank.Reader(), "C:\\dl\\Blank.cab", kCp932);
    EXPECT_EQ(b.base, "surface0.png");
    EXPECT_EQ(b.title, "Blank");
    EXPECT_EQ(b.extractpath, "Blank");
}

TEST(InstallKeys, TitleIsTheArchiveNameWithoutFolderAndExtension)
{
    EXPECT_EQ(ArchiveTitle("C:\\a.b\\skin.tar.zip", kCp932), "skin.tar");
    EXPECT_EQ(ArchiveTitle("C:\\dir\\noext", kCp932), "noext");
    EXPECT_EQ(ArchiveTitle("Z:/x/y.cab", kCp932), "y");
    EXPECT_EQ(ArchiveTitle("plain.zip", kCp932), "plain");
    EXPECT_EQ(ArchiveTitle("C:\\d\\" + kSo + ".zip", kCp932), kSo);
    EXPECT_EQ(ArchiveTitle("C:\\d\\" + kSofuto, kCp932), kSofuto);
}

TEST(InstallScript, LinesAreTheShiftJisBytesOfTheHostScript)
{
    // Python: 'おすとら用スキン'.encode('cp932') and so on.
    const std::string skinFor = "\x82\xA8\x82\xB7\x82\xC6\x82\xE7\x97\x70\x83\x58\x83\x4C\x83\x93";
    const std::string done = "\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83\x8B\x8A\xAE\x97\xB9\x81\x42";
    EXPECT_EQ(InstallSuccessScript("My" + kSo),
              "\\h\\s0" + skinFor + "\\n\\n\x81\x75My" + kSo + "\x81\x76\\n\\n" + done + "\\e");
    EXPECT_EQ(InstallFailureScript(),
              "\\h\\s4\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83\x8B\x8E\xB8\x94\x73\x81\x64\x81\x64\x81\x42\\e");
}

TEST(ArchiveBounds, RefusesMoreThanTenThousandMembersOrOneGibibyte)
{
    ArchiveBounds members;
    for (int i = 0; i < 10000; ++i)
        members.AddMember(1);
    EXPECT_FALSE(members.Exceeded());
    members.AddMember(0);
    EXPECT_TRUE(members.Exceeded());

    ArchiveBounds bytes;
    bytes.AddMember(1u << 29);
    bytes.AddMember(1u << 29);
    EXPECT_FALSE(bytes.Exceeded()); // exactly 1 GiB
    bytes.AddBytes(1);
    EXPECT_TRUE(bytes.Exceeded());

    ArchiveBounds huge;
    huge.AddBytes(UINT64_MAX);
    huge.AddBytes(UINT64_MAX);
    EXPECT_EQ(huge.Bytes(), UINT64_MAX);
    EXPECT_TRUE(huge.Exceeded());
}

} // namespace
