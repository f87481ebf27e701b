// The skin catalogue on real folders and "ostra.ini" files under Wine.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "harness/ChildProcess.h"
#include "harness/TestEnv.h"
#include "skin/SkinCatalogue.h"
#include "skin/SkinDefinition.h"
#include "skin/SkinPath.h"

namespace {

// The harness's Join takes a trail byte 0x5C for a separator; skin paths
// here are Shift_JIS, so they are joined plainly.
std::string Join(const std::string& a, const std::string& b)
{
    return a + "\\" + b;
}

// Not a real picture: the catalogue only asks whether the file exists.
const std::string kPng = "\x89PNG\r\n\x1a\n";

// Makes 'skin\<name>' with the given files (name, content).
std::string MakeSkin(const std::string& skinRoot, const std::string& name,
                     const std::vector<std::pair<std::string, std::string>>& files)
{
    std::string dir = Join(skinRoot, name);
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const auto& file : files)
        EXPECT_TRUE(testenv::WriteFile(Join(dir, file.first), file.second)) << file.first;
    return dir;
}

std::string Ini(const std::string& body)
{
    return "[OSTRA]\r\n" + body;
}

std::vector<std::string> Names(const SkinCatalogue& catalogue)
{
    std::vector<std::string> names;
    for (const SkinDefinition& d : catalogue.Entries())
        names.push_back(d.name);
    return names;
}

const SkinDefinition* Find(const SkinCatalogue& catalogue, const std::string& name)
{
    for (const SkinDefinition& d : catalogue.Entries()) {
        if (d.name == name) return &d;
    }
    return nullptr;
}

bool EndsInsideACharacter(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i]))) {
            if (i + 1 >= text.size()) return true;
            ++i;
        }
    }
    return false;
}

} // namespace

// "b", "A" and "a" cannot be made side by side through the Windows file
// functions (names are case-insensitive there); the ctest fixture makes them
// on the Unix side, where Wine lists all three.
TEST(SkinCatalogue, ListsFoldersInByteOrderWithTheirOwnDefinitions)
{
    const char* fixture = std::getenv("OSTRA_CATALOGUE_CASE_DIR");
    ASSERT_TRUE(fixture && *fixture) << "run through ctest: the folders come from a fixture";
    std::string root = fixture;
    // A plain file beside the skin folders is not a skin.
    ASSERT_TRUE(testenv::WriteFile(Join(root, "readme.txt"), "not a skin"));
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    ASSERT_EQ(Names(catalogue), (std::vector<std::string>{"A", "a", "b"}));
    for (const SkinDefinition& d : catalogue.Entries()) {
        EXPECT_EQ(d.path, Join(root, d.name));
        EXPECT_EQ(d.iniPath, Join(root, d.name) + "\\ostra.ini");
        EXPECT_EQ(d.title, "skin " + d.name); // each definition read from its own folder
        EXPECT_EQ(d.offsetx, d.name == "A" ? 1 : d.name == "a" ? 2 : 3);
    }
}

TEST(SkinCatalogue, KeysAndTheirDefaults)
{
    std::string root = testenv::FreshDir("keys");
    MakeSkin(root, "full",
             {{"frog.png", kPng},
              {"ostra.ini", Ini("title=かえる表示\r\nghost=さくら\r\ncategory=動物,,緑\r\ndorvy=frog.dll\r\n"
                                "base=frog.png\r\nanimation=froga.txt\r\noffsetx=-10\r\noffsety=25\r\n"
                                "baseposition=3\r\nbaseadjust=8\r\nontop=2\r\nextractpath=frog\r\n")}});
    MakeSkin(root, "defaults", {{"surface0.png", kPng}, {"ostra.ini", Ini("base=\r\nontop=0\r\n")}});
    MakeSkin(root, "noini", {{"surface0.png", kPng}});
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    ASSERT_EQ(catalogue.Size(), 3u);

    const SkinDefinition* full = Find(catalogue, "full");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->title, "かえる表示");
    EXPECT_EQ(full->ghost, "さくら");
    EXPECT_EQ(full->category, "動物,,緑");
    EXPECT_EQ(full->module, "frog.dll");
    EXPECT_EQ(full->base, "frog.png");
    EXPECT_EQ(full->offsetx, -10);
    EXPECT_EQ(full->offsety, 25);
    EXPECT_EQ(full->baseposition, 3);
    EXPECT_EQ(full->baseadjust, 8);
    EXPECT_TRUE(full->ontop);

    for (const char* name : {"defaults", "noini"}) {
        const SkinDefinition* d = Find(catalogue, name);
        ASSERT_NE(d, nullptr) << name;
        EXPECT_EQ(d->title, name); // the folder name stands in for the title
        EXPECT_EQ(d->ghost, "");
        EXPECT_EQ(d->category, "");
        EXPECT_EQ(d->module, "dorvy.dll");
        EXPECT_EQ(d->base, "surface0.png"); // an empty "base" is the default too
        EXPECT_EQ(d->offsetx, 0);
        EXPECT_EQ(d->offsety, 0);
        EXPECT_EQ(d->baseposition, 0);
        EXPECT_EQ(d->baseadjust, 0);
        EXPECT_FALSE(d->ontop);
    }
}

TEST(SkinCatalogue, FoldersWithoutTheirBaseImageAreLeftOut)
{
    std::string root = testenv::FreshDir("missing");
    // "base" names a missing file: left out even though surface0.png exists.
    MakeSkin(root, "wrongbase", {{"surface0.png", kPng}, {"ostra.ini", Ini("base=nothere.png\r\n")}});
    // No ostra.ini and no surface0.png.
    MakeSkin(root, "empty", {{"profile.txt", "text"}});
    // "base" names a folder, not a file.
    std::string dirBase = MakeSkin(root, "dirbase", {{"ostra.ini", Ini("base=pics\r\n")}});
    CreateDirectoryA(Join(dirBase, "pics").c_str(), nullptr);
    // A base picture that exists but cannot be decoded still counts: only
    // loading the skin finds that out.
    MakeSkin(root, "garbage", {{"surface0.png", std::string(64, '\xEE')}});
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"garbage"}));
}

TEST(SkinCatalogue, NoSkinFolderOrNoUsableSkinGivesAnEmptyCatalogue)
{
    SkinCatalogue catalogue;
    std::string root = testenv::FreshDir("none");
    MakeSkin(root, "x", {{"surface1.png", kPng}});
    ASSERT_TRUE(catalogue.ScanFolder(root) == false);
    EXPECT_TRUE(catalogue.Empty());
    // A scan empties what an earlier scan found.
    std::string good = testenv::FreshDir("one");
    MakeSkin(good, "ok", {{"surface0.png", kPng}});
    ASSERT_TRUE(catalogue.ScanFolder(good));
    EXPECT_FALSE(catalogue.ScanFolder(Join(root, "does-not-exist")));
    EXPECT_TRUE(catalogue.Empty());
}

TEST(SkinCatalogue, ShiftJisFolderNamesSortByBytesAndKeepTrailBackslashBytes)
{
    std::string root = testenv::FreshDir("sjis");
    // "表" and "ソ" end in the trail byte 0x5C; "ｶ" is a single byte 0xB6.
    const std::string hyou = "表", so = "ソ", ka = "ｶ";
    ASSERT_EQ(hyou, "\x95\x5C");
    for (const std::string& name : {hyou, so + "ソ", ka, std::string("zz")}) {
        MakeSkin(root, name, {{"surface0.png", kPng}});
    }
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"zz", so + "ソ", hyou, ka}));
    for (const SkinDefinition& d : catalogue.Entries()) {
        // The title default is the whole folder name: the trail byte 0x5C is
        // not taken for the last backslash of the path.
        EXPECT_EQ(d.title, d.name);
        EXPECT_EQ(d.path, Join(root, d.name));
    }
}

TEST(SkinCatalogue, IniFilesThatAreOddOrDamaged)
{
    std::string root = testenv::FreshDir("odd");
    // Keys in another section only.
    MakeSkin(root, "othersection", {{"surface0.png", kPng}, {"ostra.ini", "[OTHER]\r\ntitle=wrong\r\nontop=1\r\n"}});
    // Section and keys in another case; the first of two equal keys wins.
    MakeSkin(root, "cases",
             {{"surface0.png", kPng}, {"ostra.ini", "[ostra]\r\nTITLE=first\r\ntitle=second\r\nOnTop=1\r\n"}});
    // Over-long texts.
    std::string longTitle(300, 't'), longCategory(400, 'c');
    std::string sjisTitle;
    for (int i = 0; i < 150; ++i)
        sjisTitle += "表";
    MakeSkin(root, "long",
             {{"surface0.png", kPng},
              {"ostra.ini", Ini("title=" + longTitle + "\r\nghost=" + sjisTitle + "\r\ncategory=" + longCategory +
                                "\r\ndorvy=" + std::string(300, 'd') + "\r\n")}});
    // Binary garbage, NUL bytes included.
    std::string garbage;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 24);
    }
    MakeSkin(root, "garbage", {{"surface0.png", kPng}, {"ostra.ini", garbage}});
    // Garbage after a valid section.
    MakeSkin(root, "tail", {{"surface0.png", kPng}, {"ostra.ini", Ini("title=tail\r\n") + garbage}});

    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    ASSERT_EQ(catalogue.Size(), 5u);

    const SkinDefinition* other = Find(catalogue, "othersection");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->title, "othersection");
    EXPECT_FALSE(other->ontop);

    const SkinDefinition* cases = Find(catalogue, "cases");
    ASSERT_NE(cases, nullptr);
    EXPECT_EQ(cases->title, "first");
    EXPECT_TRUE(cases->ontop);

    const SkinDefinition* cut = Find(catalogue, "long");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->title, std::string(199, 't'));
    EXPECT_EQ(cut->category, std::string(259, 'c'));
    EXPECT_EQ(cut->module, std::string(259, 'd'));
    // 99 whole characters: the 100th would need bytes 199 and 200.
    EXPECT_EQ(cut->ghost, sjisTitle.substr(0, 198));
    EXPECT_FALSE(EndsInsideACharacter(cut->ghost));

    const SkinDefinition* damaged = Find(catalogue, "garbage");
    ASSERT_NE(damaged, nullptr);
    EXPECT_FALSE(damaged->title.empty());
    EXPECT_LE(damaged->title.size(), 199u);
    EXPECT_FALSE(damaged->base.empty());

    const SkinDefinition* tail = Find(catalogue, "tail");
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(tail->title, "tail");
}

// A folder name longer than the title's limit: the title is the name, cut to
// 199 bytes. Made close to the drive's root so the paths stay under MAX_PATH.
TEST(SkinCatalogue, OverlongFolderNameIsCutToTheTitleLimit)
{
    std::string root = "C:\\ostra-catalogue-test";
    CreateDirectoryA(root.c_str(), nullptr);
    std::string longName(220, 'n');
    std::string dir = MakeSkin(root, longName, {{"surface0.png", kPng}});
    SkinCatalogue catalogue;
    bool found = catalogue.ScanFolder(root);
    DeleteFileA(Join(dir, "surface0.png").c_str());
    RemoveDirectoryA(dir.c_str());
    RemoveDirectoryA(root.c_str());
    ASSERT_TRUE(found);
    ASSERT_EQ(catalogue.Size(), 1u);
    EXPECT_EQ(catalogue[0].name, longName);
    EXPECT_EQ(catalogue[0].title, std::string(199, 'n'));
}

TEST(SkinDefinitionRecord, ReadingAgainTakesLaterEditsIntoTheCopyOnly)
{
    std::string root = testenv::FreshDir("reread");
    std::string dir = MakeSkin(root, "frog", {{"surface0.png", kPng}, {"ostra.ini", Ini("title=old\r\n")}});
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    SkinDefinition copy = catalogue[0];
    ASSERT_TRUE(testenv::WriteFile(Join(dir, "ostra.ini"), Ini("title=new\r\nbaseadjust=-4\r\n")));
    ReadSkinDefinition(copy);
    EXPECT_EQ(copy.title, "new");
    EXPECT_EQ(copy.baseadjust, -4);
    EXPECT_EQ(catalogue[0].title, "old");
    EXPECT_EQ(catalogue[0].baseadjust, 0);
}

TEST(SkinCatalogue, RememberedSkinPicksAnExactExistingEntryOrTheFirst)
{
    std::string root = testenv::FreshDir("remember");
    for (const char* name : {"A", "frog", "star"})
        MakeSkin(root, name, {{"surface0.png", kPng}});
    SkinCatalogue catalogue;
    ASSERT_TRUE(catalogue.ScanFolder(root));
    EXPECT_EQ(catalogue.IndexForRememberedSkin("star"), 2u);
    EXPECT_EQ(catalogue.IndexForRememberedSkin("frog"), 1u);
    EXPECT_EQ(catalogue.IndexForRememberedSkin("Frog"), 0u); // byte for byte
    EXPECT_EQ(catalogue.IndexForRememberedSkin(""), 0u);
    // The folder went away after the scan.
    std::string star = Join(root, "star");
    DeleteFileA(Join(star, "surface0.png").c_str());
    ASSERT_TRUE(RemoveDirectoryA(star.c_str()));
    EXPECT_EQ(catalogue.IndexForRememberedSkin("star"), 0u);
}

TEST(SkinPathSetting, WrittenPerHostSectionAndReadBack)
{
    std::string dir = testenv::FreshDir("skinpath");
    std::string settings = Join(dir, "ostra.ini");
    const std::string host = "C:\\PROGRA~1\\SSP\\SSP.EXE";
    EXPECT_EQ(ReadSkinPathFrom(settings, host), "");
    ASSERT_TRUE(WriteSkinPathTo(settings, host, "frog"));
    ASSERT_TRUE(WriteSkinPathTo(settings, "C:\\表示\\SAKURA.EXE", "表"));
    EXPECT_EQ(ReadSkinPathFrom(settings, host), "frog");
    EXPECT_EQ(ReadSkinPathFrom(settings, "c:\\progra~1\\ssp\\ssp.exe"), "frog"); // sections ignore case
    EXPECT_EQ(ReadSkinPathFrom(settings, "C:\\表示\\SAKURA.EXE"), "表");
    EXPECT_EQ(ReadSkinPathFrom(settings, "C:\\OTHER.EXE"), "");
    EXPECT_EQ(ReadSkinPathFrom(settings, ""), "");
    EXPECT_FALSE(WriteSkinPathTo(settings, "", "x"));
    ASSERT_TRUE(WriteSkinPathTo(settings, host, "star"));
    EXPECT_EQ(ReadSkinPathFrom(settings, host), "star");
    // The file as another INI reader sees it: one section per host, key SkinPath.
    std::string text = testenv::ReadFile(settings);
    EXPECT_NE(text.find("[C:\\PROGRA~1\\SSP\\SSP.EXE]\r\nSkinPath=star\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[C:\\表示\\SAKURA.EXE]\r\nSkinPath=表\r\n"), std::string::npos) << text;
}

// The program's own skin folder and settings file, from a program placed in
// a folder whose Shift_JIS name ends in the trail byte 0x5C.
TEST(SkinCatalogueProgram, ScansTheSkinFolderBesideTheProgramAndUsesItsSettingsFile)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string selfPath = self;
    std::string probeSource = selfPath.substr(0, selfPath.find_last_of('\\') + 1) + "catalogue_probe.exe";

    std::string dir = Join(testenv::FreshDir("program"), "表");
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    std::string probe = Join(dir, "probe.exe");
    ASSERT_TRUE(CopyFileA(probeSource.c_str(), probe.c_str(), FALSE));
    std::string skins = Join(dir, "skin");
    ASSERT_TRUE(CreateDirectoryA(skins.c_str(), nullptr));
    MakeSkin(skins, "star", {{"surface0.png", kPng}});
    MakeSkin(skins, "Frog", {{"surface0.png", kPng}, {"ostra.ini", Ini("title=カエル\r\n")}});
    MakeSkin(skins, "broken", {{"ostra.ini", Ini("title=broken\r\n")}});

    std::string out = Join(dir, "out.txt");
    ChildProcess child;
    ASSERT_TRUE(child.Start(probe, {out, "C:\\SSP\\SSP.EXE", "star"}));
    ASSERT_TRUE(child.Wait(20000));
    EXPECT_EQ(child.ExitCode(), 0u);
    EXPECT_EQ(testenv::ReadFile(out), "2\nFrog|カエル\nstar|star\nremembered:star\n");
    // The settings file is the program's path with ".ini" for ".exe".
    std::string settings = testenv::ReadFile(Join(dir, "probe.ini"));
    EXPECT_NE(settings.find("[C:\\SSP\\SSP.EXE]\r\nSkinPath=star\r\n"), std::string::npos) << settings;

    // Without a skin folder the scan fails and the catalogue is empty.
    std::string bare = Join(testenv::FreshDir("bare"), "probe.exe");
    ASSERT_TRUE(CopyFileA(probeSource.c_str(), bare.c_str(), FALSE));
    std::string bareOut = bare + ".txt";
    ChildProcess second;
    ASSERT_TRUE(second.Start(bare, {bareOut, "C:\\SSP\\SSP.EXE", "star"}));
    ASSERT_TRUE(second.Wait(20000));
    EXPECT_EQ(second.ExitCode(), 1u);
    EXPECT_EQ(testenv::ReadFile(bareOut), "0\n");
}
