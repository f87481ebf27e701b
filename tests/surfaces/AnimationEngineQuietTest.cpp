// Leaving out quiet passes changes nothing that can be seen: the same
// animation files are played once pass by pass and once the way the player's
// thread plays them (a pass, then the quiet passes the engine names counted
// at once), and everything that happens (each applied pattern with its pass
// number, time and window action, each random draw) must be the same, as
// must the engine's state at the end.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "skin/AnimationEngine.h"
#include "skin/AnimationFile.h"
#include "skin/MersenneTwister.h"
#include "skin/Random.h"

namespace {

std::vector<Animation> Animations(const std::string& file)
{
    return AnimationFile::Parse(AnimationFile::ReadLines(file));
}

// Sizes of the pictures of a skin like the frog sample; 5 and 9 are missing.
std::optional<PixelSize> SurfaceSize(int32_t number)
{
    switch (number) {
    case 0:
        return PixelSize{96, 96};
    case 1:
        return PixelSize{66, 30};
    case 2:
        return PixelSize{96, 112};
    case 3:
        return PixelSize{26, 40};
    case 7:
        return PixelSize{120, 90};
    default:
        return std::nullopt;
    }
}

std::string Describe(const PatternAction& a)
{
    std::ostringstream s;
    s << "kind " << static_cast<int>(a.kind) << " surface " << a.surface << " at " << a.x << "," << a.y;
    if (a.newBuffer) s << " buffer " << a.newBuffer->width << "x" << a.newBuffer->height;
    if (a.resizeWindow) s << " window " << a.resizeWindow->width << "x" << a.resizeWindow->height;
    if (a.reshape)
        s << " shape " << a.reshape->base << "/" << a.reshape->hasOverlay << "/" << a.reshape->overlay << "@"
          << a.reshape->x << "," << a.reshape->y;
    if (a.drawn) s << " drawn";
    s << " dirty " << a.dirty.left << "," << a.dirty.top << "," << a.dirty.right << "," << a.dirty.bottom;
    return s.str();
}

// Everything the engine keeps between passes.
std::string State(const AnimationEngine& engine)
{
    std::ostringstream s;
    for (const Animation& a : engine.Animations()) {
        s << "runs " << a.runCount << " stamps " << a.sometimesStamp << "," << a.rarelyStamp << " periods "
          << a.sometimesPeriod << "," << a.rarelyPeriod << " current " << a.current << " counters";
        for (const AnimationPattern& p : a.patterns)
            s << " " << p.elapsed << "@" << p.appliedAt;
        s << "\n";
    }
    s << "active";
    for (size_t i : engine.Active())
        s << " " << i;
    s << "\nbase " << engine.BaseNumber() << " " << engine.BaseSize().width << "x" << engine.BaseSize().height
      << " buffer " << engine.BufferSize().width << "x" << engine.BufferSize().height << " window "
      << engine.WindowSize().width << "x" << engine.WindowSize().height << " move " << engine.MoveX() << ","
      << engine.MoveY() << " dirty " << engine.Dirty().left << "," << engine.Dirty().top << "," << engine.Dirty().right
      << "," << engine.Dirty().bottom << "\n";
    return s.str();
}

struct Script {
    std::string name;
    std::string file;
    uint32_t start = 1000;  // engine clock at the thread's start, milliseconds
    uint32_t seed = 5489;   // of the engine's random generator
    int64_t passes = 20000; // 200 s of the engine's clock
    // Passes before which the surface is stopped and shown again.
    std::vector<int64_t> restarts;
};

struct Played {
    std::vector<std::string> events; // "pass N at T: ..." in the order they happened
    std::string state;
    int64_t passesMade = 0;
};

// Plays a script as the animation thread would, each pass kSleep ms after the
// one before; with 'skipping', the passes the engine calls quiet are counted
// at once instead of being made.
Played Play(const Script& script, bool skipping)
{
    Played played;
    AnimationEngine engine;
    engine.Load(Animations(script.file), {96, 96});
    engine.SetOrigin(300, 200);
    MersenneTwister generator(script.seed);
    int64_t pass = 0;
    auto clock = [&](int64_t n) { return static_cast<uint32_t>(script.start + AnimationEngine::kSleep * n); };
    const AnimationEngine::RandomSource random = [&](int n) {
        const int value = ReduceRandom(generator.Next(), n);
        played.events.push_back("pass " + std::to_string(pass) + ": Random(" + std::to_string(n) +
                                ") = " + std::to_string(value));
        return value;
    };
    auto begin = [&](uint32_t now) {
        engine.BeginRun(now, random);
        engine.Initialise();
    };
    begin(clock(0));
    size_t nextRestart = 0;
    std::vector<PatternAction> actions;
    while (pass < script.passes) {
        if (nextRestart < script.restarts.size() && script.restarts[nextRestart] == pass) {
            engine.Reset();
            engine.PrepareStart();
            engine.SetOrigin(300, 200);
            begin(clock(pass));
            ++nextRestart;
        }
        const uint32_t now = clock(pass + 1);
        actions.clear();
        engine.Pass(now, random, SurfaceSize, actions);
        ++played.passesMade;
        for (const PatternAction& a : actions)
            played.events.push_back("pass " + std::to_string(pass) + " at " + std::to_string(now) + ": " + Describe(a));
        if (!skipping) {
            ++pass;
            continue;
        }
        int64_t quiet = engine.QuietPasses(now);
        EXPECT_GE(quiet, 0) << script.name;
        EXPECT_LE(quiet, AnimationEngine::kMaxQuietPasses) << script.name;
        // The run ends, or the surface is shown anew, where the script says.
        int64_t until = script.passes;
        if (nextRestart < script.restarts.size()) until = std::min(until, script.restarts[nextRestart]);
        quiet = std::min(quiet, until - pass - 1);
        engine.SkipQuietPasses(quiet);
        pass += quiet + 1;
    }
    played.state = State(engine);
    return played;
}

void ExpectSameWithSkipping(const Script& script)
{
    const Played reference = Play(script, false);
    const Played skipped = Play(script, true);
    ASSERT_EQ(reference.passesMade, script.passes) << script.name;
    const size_t common = std::min(reference.events.size(), skipped.events.size());
    for (size_t i = 0; i < common; ++i)
        ASSERT_EQ(reference.events[i], skipped.events[i]) << script.name << ": event " << i << " differs";
    ASSERT_EQ(reference.events.size(), skipped.events.size()) << script.name;
    EXPECT_EQ(reference.state, skipped.state) << script.name << ": the engines ended in different states";
}

std::string SampleFile(const std::string& relative)
{
    const char* root = std::getenv("OSTRA_SOURCE_DIR");
    EXPECT_NE(root, nullptr) << "OSTRA_SOURCE_DIR names the source tree";
    if (!root) return std::string();
    std::ifstream in(std::string(root) + "/samples/" + relative, std::ios::binary);
    EXPECT_TRUE(in.good()) << relative;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A random animation file from a generator with a fixed seed: any kinds,
// any number of patterns, waits of every shape, missing surfaces, patterns
// before the first interval line. (Raw draws only: the standard fixes
// std::mt19937's outputs but not those of its distributions.)
std::string RandomFile(std::mt19937& g)
{
    auto pick = [&](uint32_t n) { return static_cast<int>(g() % n); };
    static const char* const kKinds[] = {"sometimes", "rarely", "always", "runonce", "never"};
    static const char* const kMethods[] = {"overlay", "overlayfast", "base", "move", "Base"};
    static const int kSurfaces[] = {-1, 0, 1, 2, 3, 7, 5, 9};
    std::string file;
    const int animations = 1 + pick(4);
    for (int a = 0; a < animations; ++a) {
        const std::string number = std::to_string(a);
        if (a > 0 || pick(5) != 0) file += number + "interval," + kKinds[pick(5)] + "\r\n";
        const int patterns = pick(5);
        for (int p = 0; p < patterns; ++p) {
            int wait = 0;
            switch (pick(6)) {
            case 0:
                wait = 0;
                break;
            case 1:
                wait = 1 + pick(3);
                break;
            case 2:
                wait = pick(300);
                break;
            case 3:
                wait = -pick(20);
                break;
            case 4:
                wait = 2 + pick(9);
                break;
            default:
                wait = 40 + pick(60);
                break;
            }
            file += number + "pattern" + std::to_string(p) + "," + std::to_string(kSurfaces[pick(8)]) + "," +
                    std::to_string(wait) + "," + kMethods[pick(5)] + "," + std::to_string(pick(80) - 10) + "," +
                    std::to_string(pick(80) - 10) + "\r\n";
        }
    }
    return file;
}

} // namespace

TEST(AnimationEngineQuiet, TheSampleSkinsPlayAlikeWithAndWithoutQuietPasses)
{
    const std::vector<Script> scripts = {
        {"hoshi", SampleFile("hoshi/surface0a.txt"), 1000, 5489, 60000, {}},
        {"hoshi near the clock's wrap", SampleFile("hoshi/surface0a.txt"), 0xFFFF0000u, 77, 60000, {31234}},
        {"kaeru", SampleFile("kaeru/surface0a.txt"), 123456, 2026, 60000, {20000, 20001, 45000}},
        {"kaeru hit", SampleFile("kaeru/surface7a.txt"), 0xFFFFFFF0u, 1, 5000, {100}},
    };
    for (const Script& script : scripts)
        ExpectSameWithSkipping(script);
}

TEST(AnimationEngineQuiet, OddAnimationFilesPlayAlikeWithAndWithoutQuietPasses)
{
    const std::vector<Script> scripts = {
        // Waits of 0, negative, rounded up to a tick, and half-length ones.
        {"waits",
         "0interval,always\r\n0pattern0,1,0,overlay\r\n0pattern1,2,-5,base\r\n0pattern2,1,3,overlayfast\r\n"
         "0pattern3,0,1,base\r\n0pattern4,-1,7,overlayfast\r\n0pattern5,3,13,move,4,-4\r\n",
         1000,
         1,
         3000,
         {1500}},
        // Every "sometimes" kind waits while a runonce, rarely or other
        // sometimes animation plays; several compete for the same passes.
        {"competing",
         "0interval,runonce\r\n0pattern0,1,150,overlay\r\n1interval,sometimes\r\n1pattern0,3,90,overlay\r\n"
         "2interval,sometimes\r\n2pattern0,2,20,base\r\n2pattern1,0,20,base\r\n3interval,rarely\r\n"
         "3pattern0,7,500,overlay,10,10\r\n4interval,always\r\n4pattern0,0,333,move,1,1\r\n",
         5000,
         99,
         40000,
         {7000, 7001, 30000}},
        // A runonce without patterns stays active for ever and holds every
        // "sometimes" animation back; an always one without patterns too.
        {"empty",
         "0interval,runonce\r\n1interval,sometimes\r\n1pattern0,1,10,overlay\r\n2interval,rarely\r\n"
         "2pattern0,2,10,base\r\n2pattern1,0,10,base\r\n3interval,always\r\n",
         0xFFFFE000u,
         3,
         40000,
         {10000}},
        // Patterns before the first interval line, an unknown interval word,
        // gaps and repeats in the numbering, a pattern of 30 minutes.
        {"odd lines",
         "0pattern0,1,10,overlay\r\n0pattern0,2,10,overlay\r\n0pattern7,1,180000,overlay\r\n"
         "1interval,sometimes and more\r\n1pattern3,2,10,base\r\n1pattern1,0,10,base\r\n"
         "2interval,never\r\n2pattern0,1,1,overlay\r\n3interval,ALWAYS\r\n3pattern0,9,50,base\r\n",
         77,
         12,
         30000,
         {}},
        {"nothing ever due", "0interval,never\r\n0pattern0,1,10,overlay\r\n", 1000, 1, 5000, {2500}},
    };
    for (const Script& script : scripts)
        ExpectSameWithSkipping(script);
}

TEST(AnimationEngineQuiet, RandomAnimationFilesPlayAlikeWithAndWithoutQuietPasses)
{
    std::mt19937 g(20261208u);
    for (int i = 0; i < 60; ++i) {
        Script script;
        script.file = RandomFile(g);
        script.name = "random file " + std::to_string(i) + ":\n" + script.file;
        // Some clocks start just before the 32-bit wrap.
        script.start = (g() % 3 == 0) ? 0xFFFFFFFFu - (g() % 60000u) : g();
        script.seed = g();
        script.passes = 8000 + static_cast<int64_t>(g() % 8000u);
        for (int r = static_cast<int>(g() % 3); r > 0; --r)
            script.restarts.push_back(static_cast<int64_t>(g() % static_cast<uint32_t>(script.passes)));
        std::sort(script.restarts.begin(), script.restarts.end());
        script.restarts.erase(std::unique(script.restarts.begin(), script.restarts.end()), script.restarts.end());
        ExpectSameWithSkipping(script);
        if (HasFatalFailure()) return;
    }
}

TEST(AnimationEngineQuiet, QuietPassesReachTheNextPatternOrTimer)
{
    // wait 100: the next pattern is applied eleven passes after the first;
    // the ten passes between only count (the tenth moves on to pattern 1).
    AnimationEngine engine;
    engine.Load(Animations("0interval,always\r\n0pattern0,1,10,overlay\r\n0pattern1,2,40,overlay\r\n"), {96, 96});
    const auto none = [](int) { return 0; };
    std::vector<PatternAction> out;
    engine.BeginRun(0, none);
    engine.Initialise();
    engine.Pass(10, none, SurfaceSize, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(engine.QuietPasses(10), 10);
    engine.SkipQuietPasses(10);
    out.clear();
    engine.Pass(120, none, SurfaceSize, out);
    ASSERT_EQ(out.size(), 1u) << "pattern 1 is applied on the pass after the quiet ones";
    EXPECT_EQ(out[0].surface, 2);
    // wait 400 of the last pattern: 39 passes only count, the 40th finishes
    // the animation (not quiet: it re-arms the timers at its own time), and
    // the always animation starts over on the pass after.
    EXPECT_EQ(engine.QuietPasses(120), 39);
    engine.SkipQuietPasses(39);
    out.clear();
    engine.Pass(520, none, SurfaceSize, out);
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(engine.Active().empty());
    EXPECT_EQ(engine.QuietPasses(520), 0);

    // A "sometimes" animation of period 800 (Random gave 0) is due on the
    // first pass more than 800 ms after the thread started, at 810: the 79
    // passes after the first one, at 20 to 800 ms, are quiet.
    AnimationEngine blink;
    blink.Load(Animations("0interval,sometimes\r\n0pattern0,1,30,overlay\r\n"), {96, 96});
    blink.BeginRun(0, none);
    blink.Initialise();
    out.clear();
    blink.Pass(10, none, SurfaceSize, out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(blink.QuietPasses(10), 79);

    // Nothing will ever be due: a played runonce and a never animation.
    AnimationEngine done;
    done.Load(Animations("0interval,runonce\r\n0pattern0,1,0,overlay\r\n1interval,never\r\n1pattern0,1,0,overlay\r\n"),
              {96, 96});
    done.BeginRun(0, none);
    done.Initialise();
    for (uint32_t now = 10; now <= 30; now += 10) {
        out.clear();
        done.Pass(now, none, SurfaceSize, out);
    }
    EXPECT_EQ(done.QuietPasses(30), AnimationEngine::kMaxQuietPasses);
}

TEST(AnimationEngineQuiet, SurfacesThatOnlyWaitAreMostlyQuiet)
{
    // The frog without its runonce bubble: blinks every 0.8 to 3.8 s, hops
    // every 15 to 25 s. Made passes are only those that apply a pattern or
    // finish an animation (its timers start on a pass that applies one): 3
    // for a blink of 2 patterns, 5 for a hop of 4, so at most 1.5 per applied
    // pattern, and a few for the first pass and for a hop whose timer runs out
    // again while it plays.
    std::string file = SampleFile("kaeru/surface0a.txt");
    file = file.substr(0, file.find("2interval"));
    ASSERT_NE(file.find("1interval,rarely"), std::string::npos);
    const Script script{"quiet frog", file, 1000, 4242, 60000, {}};
    const Played skipped = Play(script, true);
    size_t applied = 0;
    for (const std::string& e : skipped.events)
        if (e.find(" at ") != std::string::npos) ++applied;
    EXPECT_GT(applied, 200u) << "ten minutes of blinking";
    EXPECT_LE(skipped.passesMade, static_cast<int64_t>(applied * 3 / 2 + 10)) << applied << " patterns applied";
}
