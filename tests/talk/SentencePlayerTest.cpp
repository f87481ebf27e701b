// The sentence player on a real window under Wine: what it shows, its
// playing flag, and a skin that goes away in the middle of a sentence.
#include <windows.h>

#include <gtest/gtest.h>

#include "TalkTestSupport.h"

namespace {

using Outcome = SentencePlayer::Outcome;
using Shown = std::vector<int>;

struct Played {
    Outcome outcome;
    Shown shown;
};

Played Play(const std::string& sentence)
{
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    const Outcome outcome = skin.player.PlaySentence(sentence);
    return {outcome, record->shown};
}

TEST(SentencePlayer, ShowsTheSurfacesOfTheSentence)
{
    struct Case {
        const char* sentence;
        Outcome outcome;
        Shown shown;
    };
    const Case cases[] = {
        {"\\s[12]\\w5\\s0\\e", Outcome::Played, {12, 0}},
        {"\\s[ab]\\e", Outcome::Played, {0}},
        {"\\s12\\e", Outcome::Played, {1}},
        {"\\s3\\s\\e", Outcome::Played, {3}},
        {"\\h\\s1こんにちは\\n\\s[-3]\\e\r\n\r\n", Outcome::Played, {1, -3}},
        // "ソ" is 0x83 0x5C: its trail byte starts no command under code page 932.
        {"\\s1ソs2\\e", Outcome::Played, {1}},
        {"\\s1", Outcome::NotASentence, {}},
        {"\\s1ソe", Outcome::NotASentence, {}},
    };
    ASSERT_EQ(GetACP(), 932u) << "the tests run with LC_ALL=ja_JP.UTF-8";
    for (const Case& c : cases) {
        const Played played = Play(c.sentence);
        EXPECT_EQ(played.outcome, c.outcome) << c.sentence;
        EXPECT_EQ(played.shown, c.shown) << c.sentence;
    }
}

TEST(SentencePlayer, MessagesAreDispatchedAfterEveryCommandAndThroughoutAWait)
{
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    // Posted before the sentence: dispatched right after its first command.
    PostMessageA(skin.Window(), WM_APP + 8, 0, 0);
    // A 100 ms timer started with surface 12 fires inside the 500 ms wait,
    // before surface 0 is shown.
    skin.ArmTimerOnSurface(12, TestSkin::kMarkTimer, 100);
    EXPECT_EQ(skin.player.PlaySentence("\\s[12]\\w5\\s0\\e"), Outcome::Played);
    EXPECT_EQ(record->shown, Shown({12, TestSkin::kMark, TestSkin::kMark, 0}));
}

// A target that records the player's flag whenever a surface is shown; on
// surface 1 it starts a thread timer whose procedure, run during the wait
// that follows, plays a second sentence (as a module event or an SSTP
// request arriving then would).
class FlagWatcher : public TestSkin {
  public:
    using TestSkin::TestSkin;
    void ShowSurface(std::int32_t number) override
    {
        TestSkin::ShowSurface(number);
        flags.push_back(player.IsPlaying());
        if (number == 1) {
            s_nesting = this;
            SetTimer(nullptr, 0, 10, PlayNested);
        }
    }
    std::vector<bool> flags;
    Outcome nestedOutcome = Outcome::NotASentence;

  private:
    static void CALLBACK PlayNested(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        FlagWatcher* self = s_nesting;
        s_nesting = nullptr;
        if (self) self->nestedOutcome = self->player.PlaySentence("\\s7\\e");
    }
    static FlagWatcher* s_nesting;
};
FlagWatcher* FlagWatcher::s_nesting = nullptr;

TEST(SentencePlayer, ThePlayingFlagIsSetForASentenceAndClearedByANestedOneEnding)
{
    auto record = std::make_shared<SkinRecord>();
    FlagWatcher skin(record);
    EXPECT_FALSE(skin.player.IsPlaying());
    EXPECT_EQ(skin.player.PlaySentence("\\s5 no end"), Outcome::NotASentence);
    EXPECT_FALSE(skin.player.IsPlaying());

    EXPECT_EQ(skin.player.PlaySentence("\\s1\\w3\\s2\\e"), Outcome::Played);
    EXPECT_EQ(skin.nestedOutcome, Outcome::Played);
    EXPECT_EQ(record->shown, Shown({1, 7, 2}));
    // Set for the outer sentence, set for the inner, and cleared when the
    // inner one ended although the outer went on.
    EXPECT_EQ(skin.flags, std::vector<bool>({true, true, false}));
    EXPECT_FALSE(skin.player.IsPlaying());
}

TEST(SentencePlayer, AWindowDestroyedDuringAWaitEndsTheSentence)
{
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    skin.ArmTimerOnSurface(1, TestSkin::kDestroyTimer, 50);
    EXPECT_EQ(skin.player.PlaySentence("\\s1\\w9\\s2\\w1\\s3\\e"), Outcome::Stopped);
    EXPECT_TRUE(record->destroyedWindow);
    EXPECT_EQ(record->shown, Shown({1})) << "nothing is shown on a destroyed window";
    EXPECT_FALSE(skin.player.IsPlaying());
}

TEST(SentencePlayer, ASkinDeletedDuringAWaitIsNotTouchedAgain)
{
    // Deleted with its window, and deleted while its window lives on (only
    // the object's own liveness tells the player then).
    for (bool keepWindow : {false, true}) {
        auto record = std::make_shared<SkinRecord>();
        TestSkin* skin = new TestSkin(record);
        const HWND window = skin->Window();
        if (keepWindow) skin->KeepWindowWhenDeleted();
        skin->ArmTimerOnSurface(1, TestSkin::kDeleteTimer, 50);
        // The player is a member of the deleted object: only the result is read.
        const Outcome outcome = skin->player.PlaySentence("\\s1\\w9\\s2\\e");
        EXPECT_EQ(outcome, Outcome::Stopped) << keepWindow;
        EXPECT_TRUE(record->deleted) << keepWindow;
        EXPECT_EQ(record->shown, Shown({1})) << keepWindow;
        EXPECT_EQ(IsWindow(window) != FALSE, keepWindow);
        if (keepWindow) DestroyWindow(window);
    }
}

TEST(SentencePlayer, StopAllEndsTheSentencesPlayingAndNotLaterOnes)
{
    auto record = std::make_shared<SkinRecord>();
    TestSkin skin(record);
    static SentencePlayer* s_player = nullptr;
    s_player = &skin.player;
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (s_player) s_player->StopAll();
        s_player = nullptr;
    });
    EXPECT_EQ(skin.player.PlaySentence("\\s1\\w9\\s2\\e"), Outcome::Stopped);
    s_player = nullptr;
    EXPECT_EQ(record->shown, Shown({1}));
    EXPECT_EQ(skin.player.PlaySentence("\\s3\\e"), Outcome::Played);
    EXPECT_EQ(record->shown, Shown({1, 3}));
}

TEST(SentencePlayer, TheModulesSentencesPlayOnTheSkin)
{
    struct Case {
        const char* answer;
        Shown shown;
    };
    const Case cases[] = {
        {"SHIORI/2.2 200 OK\r\nSentence: \\s[12]\\w5\\s0\\e\r\n\r\n", {12, 0}},
        {"SHIORI/2.2 204 No Content\r\nSentence: \\s[12]\\e\r\n\r\n", {}},
        {"SHIORI/2.2 200 OK\r\nSentence: \\s[ab]\\e\r\n\r\n", {0}},
        {"SHIORI/2.2 200 OK\r\nSentence: \\s4 without an end\r\n\r\n", {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        ModuleFolder folder("played" + std::to_string(n++), TestProgramDir() + "\\talk_module_plain.dll");
        folder.Set("version.txt", "SHIORI/2.0 200 OK\r\nVersion: SHIORI/2.6\r\n\r\n");
        folder.Set("sentence.txt", c.answer);
        auto record = std::make_shared<SkinRecord>();
        TestSkin skin(record);
        ASSERT_TRUE(skin.module.LoadModule(folder.Path(), folder.FileName()));
        skin.module.SendModuleEvent(ModuleEvent("OnMouseClick", {"1", "2"}), skin.player);
        EXPECT_EQ(record->shown, c.shown) << c.answer;
    }
}

} // namespace
