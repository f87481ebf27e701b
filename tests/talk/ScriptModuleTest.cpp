// The script module host with real DLLs under Wine: the recording test
// module (the exact bytes it was handed), modules that refuse, fault or
// answer oddly, and the sample module dorvy.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include "TalkTestSupport.h"
#include "harness/TestEnv.h"

namespace {

const char kDorvyVersion[] = "SHIORI/2.0 200 OK\r\nVersion: DORVY/2.0\r\n\r\n";
const char kProbe[] = "GET Version SHIORI/2.0\r\nSender: Nobody\r\nCharset: Shift_JIS\r\n\r\n";

std::string TestModule(const char* kind)
{
    return TestProgramDir() + "\\talk_module_" + kind + ".dll";
}

// A folder with the plain test module, which answers the probe with
// DORVY/2.0 and every event with 'answer'.
ModuleFolder DorvyModule(const std::string& name, const std::string& answer)
{
    ModuleFolder folder(name, TestModule("plain"));
    folder.Set("version.txt", kDorvyVersion);
    folder.Set("sentence.txt", answer);
    return folder;
}

TEST(ScriptModule, SendsTheExactRequestBytesInTheDorvyDialect)
{
    ModuleFolder folder("exact", TestModule("plain"));
    folder.Set("version.txt", kDorvyVersion);
    {
        ScriptModule module;
        ASSERT_TRUE(module.LoadModule(folder.Path(), folder.FileName()));
        EXPECT_TRUE(folder.Loaded());
        EXPECT_EQ(module.Dialect(), ModuleDialect::Dorvy);
        // Reference 0 absent, 1 empty, 2 Japanese ("ソ" is 0x83 0x5C).
        EXPECT_EQ(module.AskSentence(ModuleEvent("OnMouseClick", {std::nullopt, std::string(), std::string("ソ")})),
                  std::nullopt);
        module.UnloadModule();
        EXPECT_FALSE(module.IsLoaded());
        EXPECT_FALSE(folder.Loaded());
        module.UnloadModule(); // nothing left to unload: no second "unload"
    }
    EXPECT_EQ(folder.Calls(), LoadCall(folder.Path()) + RequestCall(kProbe) +
                                  RequestCall("GET Sentence DORVY/2.0\r\n"
                                              "Sender: Nobody\r\n"
                                              "Event: OnMouseClick\r\n"
                                              "Reference1: \r\n"
                                              "Reference2: \x83\x5C\r\n"
                                              "Charset: Shift_JIS\r\n"
                                              "\r\n") +
                                  "unload\n");
}

TEST(ScriptModule, AModuleOfOnlyUnderscoredEntriesSpeakingShiori26GetsShiori22Requests)
{
    ModuleFolder folder("underscore", TestModule("underscore"));
    folder.Set("version.txt", "SHIORI/2.0 200 OK\r\nVersion: SHIORI/2.6\r\n\r\n");
    folder.Set("sentence.txt", "SHIORI/2.2 200 OK\r\nSentence: \\s[12]\\w5\\s0\\e\r\n\r\n");
    {
        ScriptModule module;
        ASSERT_TRUE(module.LoadModule(folder.Path(), folder.FileName()));
        EXPECT_EQ(module.Dialect(), ModuleDialect::Shiori);
        EXPECT_EQ(module.AskSentence(ModuleEvent("OnOstraObjectDestroy", {"title", "", "a,b"})),
                  std::string("\\s[12]\\w5\\s0\\e\r\n\r\n"));
    } // the destructor unloads
    EXPECT_FALSE(folder.Loaded());
    EXPECT_EQ(folder.Calls(), LoadCall(folder.Path()) + RequestCall(kProbe) +
                                  RequestCall("GET Sentence SHIORI/2.2\r\nSender: Nobody\r\n"
                                              "Event: OnOstraObjectDestroy\r\n"
                                              "Reference0: title\r\nReference1: \r\nReference2: a,b\r\n"
                                              "Charset: Shift_JIS\r\n\r\n") +
                                  "unload\n");
}

TEST(ScriptModule, ModulesThatFailToLoadAreReleasedWithoutUnload)
{
    struct Case {
        const char* name;
        const char* kind;
        std::vector<std::pair<const char*, const char*>> files;
        bool probed; // the version probe was sent
    };
    const Case cases[] = {
        {"missing-entry", "partial", {{"version.txt", kDorvyVersion}}, false},
        {"load-0", "plain", {{"version.txt", kDorvyVersion}, {"load-result.txt", "0"}}, false},
        {"load-fault", "plain", {{"version.txt", kDorvyVersion}, {"fault.txt", "load"}}, false},
        {"probe-fault", "plain", {{"version.txt", kDorvyVersion}, {"fault.txt", "probe"}}, true},
        {"no-answer", "plain", {}, true},
        {"third-line",
         "plain",
         {{"version.txt", "SHIORI/2.0 200 OK\r\nSender: x\r\nVersion: DORVY/2.0\r\n\r\n"}},
         true},
        {"unknown", "plain", {{"version.txt", "SHIORI/2.0 200 OK\r\nVersion: SHIORI/3.0\r\n\r\n"}}, true},
        {"lower-case", "plain", {{"version.txt", "SHIORI/2.0 200 OK\r\nVersion: dorvy/2.0\r\n\r\n"}}, true},
        {"one-line", "plain", {{"version.txt", "SHIORI/2.0 200 OK Version: DORVY/2.0"}}, true},
    };
    for (const Case& c : cases) {
        ModuleFolder folder(c.name, TestModule(c.kind));
        for (const auto& file : c.files)
            folder.Set(file.first, file.second);
        ScriptModule module;
        EXPECT_FALSE(module.LoadModule(folder.Path(), folder.FileName())) << c.name;
        EXPECT_FALSE(module.IsLoaded()) << c.name;
        EXPECT_FALSE(folder.Loaded()) << c.name << ": the library is still loaded";
        std::string expected;
        if (std::string(c.kind) != "partial") expected = LoadCall(folder.Path());
        if (c.probed) expected += RequestCall(kProbe);
        EXPECT_EQ(folder.Calls(), expected) << c.name << ": no \"unload\" for a module that did not load";
        // Without a module, events go nowhere.
        EXPECT_EQ(module.AskSentence(ModuleEvent("OnMouseClick", {"1", "2"})), std::nullopt) << c.name;
        EXPECT_EQ(folder.Calls(), expected) << c.name;
    }
    ScriptModule none;
    EXPECT_FALSE(none.LoadModule(testenv::FreshDir("empty"), "dorvy.dll"));
}

TEST(ScriptModule, AFaultInAnEventRequestIsNoAnswerAndReleasesTheModule)
{
    const ModuleFolder folder = DorvyModule("event-fault", "DORVY/2.0 200 OK\r\nSentence: \\s1\\e\r\n\r\n");
    folder.Set("fault.txt", "event");
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    ASSERT_TRUE(skin.module.LoadModule(folder.Path(), folder.FileName()));
    const std::string event = "GET Sentence DORVY/2.0\r\nSender: Nobody\r\nEvent: OnMouseClick\r\n"
                              "Reference0: 3\r\nReference1: 4\r\nCharset: Shift_JIS\r\n\r\n";
    skin.module.SendModuleEvent(ModuleEvent("OnMouseClick", {"3", "4"}), skin.player);
    EXPECT_TRUE(record->shown.empty());
    EXPECT_FALSE(skin.module.IsLoaded());
    EXPECT_FALSE(folder.Loaded());
    // The skin runs on without it: later events reach nothing.
    skin.module.SendModuleEvent(ModuleEvent("OnMouseClick", {"3", "4"}), skin.player);
    skin.module.UnloadModule();
    EXPECT_EQ(folder.Calls(), LoadCall(folder.Path()) + RequestCall(kProbe) + RequestCall(event));
    EXPECT_TRUE(IsWindow(skin.Window()));
}

TEST(ScriptModule, AFaultInUnloadIsIgnoredAndTheLibraryFreed)
{
    ModuleFolder folder("unload-fault", TestModule("plain"));
    folder.Set("version.txt", kDorvyVersion);
    folder.Set("fault.txt", "unload");
    ScriptModule module;
    ASSERT_TRUE(module.LoadModule(folder.Path(), folder.FileName()));
    module.UnloadModule();
    EXPECT_FALSE(folder.Loaded());
    EXPECT_EQ(folder.Calls(), LoadCall(folder.Path()) + RequestCall(kProbe) + "unload\n");
}

TEST(ScriptModule, AModuleUnloadedFromInsideItsOwnRequestIsFreedOnlyAfterItReturns)
{
    // The module sends a message to the skin window from inside "request",
    // and the skin unloads its module meanwhile (a detach or a switch).
    const ModuleFolder folder = DorvyModule("reenter", "DORVY/2.0 200 OK\r\nSentence: \\s4\\e\r\n\r\n");
    folder.Set("reenter.txt", TestSkin::kClassName);
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    ASSERT_TRUE(skin.module.LoadModule(folder.Path(), folder.FileName()));
    skin.module.SendModuleEvent(ModuleEvent("OnMouseDoubleClick", {"1", "2"}), skin.player);
    EXPECT_FALSE(skin.module.IsLoaded());
    EXPECT_FALSE(folder.Loaded());
    EXPECT_EQ(record->shown, std::vector<int>({4})) << "the answer was given before the module went";
    const std::string event = "GET Sentence DORVY/2.0\r\nSender: Nobody\r\nEvent: OnMouseDoubleClick\r\n"
                              "Reference0: 1\r\nReference1: 2\r\nCharset: Shift_JIS\r\n\r\n";
    // "unload" only after the request returned.
    EXPECT_EQ(folder.Calls(),
              LoadCall(folder.Path()) + RequestCall(kProbe) + RequestCall(event) + "reentered\nunload\n");
}

TEST(ScriptModule, AnAnswerLengthBeyondItsBlockIsReadOnlyToTheBlocksEnd)
{
    const ModuleFolder folder = DorvyModule("long-answer", "DORVY/2.0 200 OK\r\nSentence: \\s5\\e");
    folder.Set("extra-length.txt", "1073741824");
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    ASSERT_TRUE(skin.module.LoadModule(folder.Path(), folder.FileName()));
    skin.module.SendModuleEvent(ModuleEvent("OnMouseClick"), skin.player);
    EXPECT_EQ(record->shown, std::vector<int>({5}));
    EXPECT_TRUE(skin.module.IsLoaded());
}

TEST(ScriptModule, TheSampleModuleAnswersDoubleClicksAndQuibbetHits)
{
    ModuleFolder folder("sample", testenv::Join(testenv::BinDir(), "dorvy.dll"), "dorvy.dll");
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    ASSERT_TRUE(skin.module.LoadModule(folder.Path(), "dorvy.dll"));
    EXPECT_EQ(skin.module.Dialect(), ModuleDialect::Dorvy);
    EXPECT_EQ(skin.module.AskSentence(ModuleEvent("OnMouseDoubleClick", {"10", "20"})), std::string("\\s0\\e\r\n\r\n"));
    skin.module.SendModuleEvent(ModuleEvent("OnQuibbetObjectHit", {"a", "b", "c", "d"}), skin.player);
    skin.module.SendModuleEvent(ModuleEvent("OnMouseClick", {"10", "20"}), skin.player); // no answer
    skin.module.SendModuleEvent(ModuleEvent("OnMouseDoubleClick", {"10", "20"}), skin.player);
    EXPECT_EQ(record->shown, std::vector<int>({7, 0}));
    EXPECT_TRUE(skin.module.IsLoaded());
    skin.module.UnloadModule();
    EXPECT_FALSE(folder.Loaded());
}

} // namespace
