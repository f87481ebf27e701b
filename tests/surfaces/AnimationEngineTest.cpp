// The engine's stepping, pass by pass, with a hand-driven clock and random
// source: when patterns apply, when animations start, and what the window and
// back buffer are told to do.
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "skin/AnimationEngine.h"

namespace {

AnimationPattern Pattern(PatternMethod method, uint32_t surface, int64_t wait, int32_t x = 0, int32_t y = 0,
                         bool fast = false)
{
    AnimationPattern p;
    p.method = method;
    p.surface = surface;
    p.wait = wait;
    p.x = x;
    p.y = y;
    p.fast = fast;
    return p;
}

AnimationPattern Overlay(uint32_t surface, int64_t wait, int32_t x = 0, int32_t y = 0)
{
    return Pattern(PatternMethod::Overlay, surface, wait, x, y);
}

Animation MakeAnimation(AnimationKind kind, std::vector<AnimationPattern> patterns)
{
    Animation a;
    a.kind = kind;
    a.patterns = std::move(patterns);
    a.patternCount = static_cast<int32_t>(a.patterns.size());
    return a;
}

// One application seen from outside: the pass it happened on and its action.
struct Applied {
    int pass;
    uint32_t now;
    PatternAction action;
};

class EngineRun {
  public:
    EngineRun(std::vector<Animation> animations, PixelSize base = {100, 100})
    {
        m_engine.Load(std::move(animations), base);
        m_sizes = {{1, {10, 10}}, {2, {20, 20}}, {3, {30, 30}}, {5, {40, 30}}, {6, {150, 120}}, {7, {50, 50}}};
    }

    // The random source answers Random(n) with n - 1 when 'highest', else 0.
    void Begin(uint32_t now = 1000, bool highest = false)
    {
        m_highest = highest;
        m_now = now;
        m_engine.BeginRun(now, Random());
        m_engine.Initialise();
    }

    // Runs 'passes' passes, the clock advancing 10 ms before each.
    void Run(int passes)
    {
        for (int i = 0; i < passes; ++i) {
            m_now += 10;
            std::vector<PatternAction> out;
            m_engine.Pass(m_now, Random(), Sizes(), out);
            for (const PatternAction& a : out)
                m_applied.push_back({m_pass, m_now, a});
            ++m_pass;
        }
    }

    // Passes on which a pattern of 'surface' was applied.
    std::vector<int> PassesOf(int32_t surface) const
    {
        std::vector<int> passes;
        for (const Applied& a : m_applied)
            if (a.action.surface == surface) passes.push_back(a.pass);
        return passes;
    }

    AnimationEngine& Engine() { return m_engine; }
    std::vector<Applied>& AppliedActions() { return m_applied; }
    std::vector<int>& RandomArguments() { return m_randomArgs; }
    uint32_t Now() const { return m_now; }
    int PassNumber() const { return m_pass; }

  private:
    AnimationEngine::RandomSource Random()
    {
        return [this](int n) {
            m_randomArgs.push_back(n);
            return m_highest && n > 1 ? n - 1 : 0;
        };
    }
    AnimationEngine::SurfaceSizes Sizes()
    {
        return [this](int32_t number) -> std::optional<PixelSize> {
            auto it = m_sizes.find(number);
            if (it == m_sizes.end()) return std::nullopt;
            return it->second;
        };
    }

    AnimationEngine m_engine;
    std::map<int32_t, PixelSize> m_sizes;
    std::vector<Applied> m_applied;
    std::vector<int> m_randomArgs;
    bool m_highest = false;
    uint32_t m_now = 0;
    int m_pass = 0;
};

} // namespace

TEST(AnimationEngine, WaitCountsPassesAndAlwaysRestartsOnTheNextPass)
{
    EngineRun run({MakeAnimation(AnimationKind::Always, {Overlay(1, 100), Overlay(2, 0), Overlay(3, 0)})});
    run.Begin();
    run.Run(30);
    // wait 100: applied on pass 0, next pattern 11 passes later; wait 0: two
    // passes later; the finished animation starts over on the pass after the
    // one that finished it (pass 14).
    EXPECT_EQ(run.PassesOf(1), (std::vector<int>{0, 15}));
    EXPECT_EQ(run.PassesOf(2), (std::vector<int>{11, 26}));
    EXPECT_EQ(run.PassesOf(3), (std::vector<int>{13, 28}));
    EXPECT_EQ(run.Engine().Animations()[0].runCount, 2);
    const AnimationPattern& first = run.Engine().Animations()[0].patterns[0];
    EXPECT_EQ(first.appliedAt, run.AppliedActions()[3].now) << "appliedAt holds the time of the last application";
}

TEST(AnimationEngine, RunOnceAnimationsPlayOncePerStart)
{
    EngineRun run({MakeAnimation(AnimationKind::RunOnce, {Overlay(1, 20), Overlay(kPlainBaseSurface, 0)})});
    run.Begin();
    run.Run(100);
    EXPECT_EQ(run.PassesOf(1), (std::vector<int>{0}));
    EXPECT_EQ(run.Engine().Animations()[0].runCount, 1);
    EXPECT_TRUE(run.Engine().Active().empty());

    // Stopped and shown again: it plays once more.
    run.Engine().Reset();
    EXPECT_EQ(run.Engine().Animations()[0].runCount, 0);
    run.Begin(run.Now());
    run.Run(100);
    EXPECT_EQ(run.PassesOf(1), (std::vector<int>{0, 100}));
}

TEST(AnimationEngine, FirstSometimesAndRarelyStartsFallInTheirWindows)
{
    for (bool highest : {false, true}) {
        EngineRun run({MakeAnimation(AnimationKind::Sometimes, {Overlay(1, 0)}),
                       MakeAnimation(AnimationKind::Rarely, {Overlay(2, 0)})});
        run.Begin(5000, highest);
        EXPECT_EQ(run.RandomArguments(), (std::vector<int>{3000, 10000, 3000, 10000}));
        run.Run(2600);
        ASSERT_FALSE(run.PassesOf(1).empty());
        ASSERT_FALSE(run.PassesOf(2).empty());
        const uint32_t sometimes = run.AppliedActions()[0].now - 5000;
        uint32_t rarely = 0;
        for (const Applied& a : run.AppliedActions())
            if (a.action.surface == 2) {
                rarely = a.now - 5000;
                break;
            }
        // The first start comes on the first pass more than 800 + Random(3000)
        // (or 15000 + Random(10000)) ms after the thread started.
        EXPECT_EQ(sometimes, highest ? 3800u : 810u);
        EXPECT_EQ(rarely, highest ? 25000u : 15010u);
    }
}

TEST(AnimationEngine, SometimesWaitsWhileSometimesRarelyOrRunOnceAnimationsPlay)
{
    // A runonce animation playing 1000 ms holds back the "sometimes" one, whose
    // timer ran out long before; it starts on the pass after the runonce ends.
    EngineRun run({MakeAnimation(AnimationKind::RunOnce, {Overlay(1, 1000)}),
                   MakeAnimation(AnimationKind::Sometimes, {Overlay(2, 0)})});
    run.Begin();
    run.Run(150);
    EXPECT_EQ(run.PassesOf(1), (std::vector<int>{0}));
    ASSERT_FALSE(run.PassesOf(2).empty());
    EXPECT_EQ(run.PassesOf(2)[0], 101) << "runonce applied on pass 0, finished on pass 100";
    EXPECT_EQ(run.Engine().Animations()[1].sometimesPeriod, 800u) << "the timer was re-armed only when it fired";

    // A rarely animation blocks as well: while it plays (passes 1500 to 1700)
    // the "sometimes" one, otherwise due every 82 passes, waits.
    EngineRun rarely({MakeAnimation(AnimationKind::Rarely, {Overlay(1, 2000)}),
                      MakeAnimation(AnimationKind::Sometimes, {Overlay(2, 0)})});
    rarely.Begin();
    rarely.Run(1900);
    EXPECT_EQ(rarely.PassesOf(1), (std::vector<int>{1500}));
    const std::vector<int> sometimes = rarely.PassesOf(2);
    ASSERT_GE(sometimes.size(), 3u);
    EXPECT_EQ(sometimes[0], 80);
    EXPECT_EQ(sometimes[1], 162);
    std::vector<int> around;
    for (int pass : sometimes)
        if (pass >= 1400 && pass <= 1750) around.push_back(pass);
    EXPECT_EQ(around, (std::vector<int>{1474, 1701}));

    // An always animation does not block.
    EngineRun always({MakeAnimation(AnimationKind::Always, {Overlay(1, 100000)}),
                      MakeAnimation(AnimationKind::Sometimes, {Overlay(2, 0)})});
    always.Begin();
    always.Run(200);
    EXPECT_EQ(always.PassesOf(2), (std::vector<int>{80, 162}));
}

TEST(AnimationEngine, BaseSurfacesResizeTheWindowAndGrowTheBackBufferOnlyWhenLarger)
{
    EngineRun run(
        {MakeAnimation(AnimationKind::RunOnce, {Pattern(PatternMethod::Base, 6, 0), Pattern(PatternMethod::Base, 7, 0),
                                                Pattern(PatternMethod::Base, 7, 0)})});
    run.Begin();
    run.Run(10);
    const std::vector<Applied>& applied = run.AppliedActions();
    ASSERT_EQ(applied.size(), 3u);

    const PatternAction& larger = applied[0].action;
    EXPECT_EQ(larger.kind, PatternAction::Kind::Base);
    ASSERT_TRUE(larger.newBuffer.has_value());
    EXPECT_EQ(*larger.newBuffer, (PixelSize{150, 120}));
    ASSERT_TRUE(larger.resizeWindow.has_value());
    EXPECT_EQ(*larger.resizeWindow, (PixelSize{150, 120}));
    EXPECT_EQ(larger.dirty, (PixelRect{0, 0, 150, 120}));
    ASSERT_TRUE(larger.reshape.has_value());
    EXPECT_EQ(larger.reshape->base, 6);

    const PatternAction& smaller = applied[1].action;
    EXPECT_FALSE(smaller.newBuffer.has_value()) << "a smaller base keeps the back buffer";
    ASSERT_TRUE(smaller.resizeWindow.has_value());
    EXPECT_EQ(*smaller.resizeWindow, (PixelSize{50, 50}));

    const PatternAction& same = applied[2].action;
    EXPECT_FALSE(same.newBuffer.has_value());
    EXPECT_FALSE(same.resizeWindow.has_value()) << "same size: no resize";
    EXPECT_FALSE(same.reshape.has_value()) << "same shape: no new region";
    EXPECT_TRUE(same.drawn);

    EXPECT_EQ(run.Engine().BufferSize(), (PixelSize{150, 120}));
    EXPECT_EQ(run.Engine().BaseSize(), (PixelSize{50, 50}));
    EXPECT_EQ(run.Engine().BaseNumber(), 7);

    // Stop and Start keep the new base; the window takes its size.
    run.Engine().Reset();
    EXPECT_EQ(run.Engine().PrepareStart(), (PixelSize{50, 50}));
    EXPECT_EQ(run.Engine().BaseNumber(), 7);
    // Loading again brings the loaded image back.
    run.Engine().Load({}, {100, 100});
    EXPECT_EQ(run.Engine().BaseNumber(), -1);
    EXPECT_EQ(run.Engine().BufferSize(), (PixelSize{100, 100}));
}

TEST(AnimationEngine, MovePatternsKeepTheirOffsetAcrossPlacements)
{
    EngineRun run({MakeAnimation(AnimationKind::RunOnce, {Pattern(PatternMethod::Move, 0, 0, 10, -5)})});
    run.Engine().SetOrigin(1118, 572);
    run.Begin();
    run.Run(5);
    ASSERT_EQ(run.AppliedActions().size(), 1u);
    EXPECT_EQ(run.AppliedActions()[0].action.kind, PatternAction::Kind::Move);
    EXPECT_FALSE(run.AppliedActions()[0].action.drawn);
    EXPECT_EQ(run.Engine().WindowX(), 1128);
    EXPECT_EQ(run.Engine().WindowY(), 567);
    run.Engine().SetOrigin(2000, 100); // the host moved; the next placement keeps the shift
    EXPECT_EQ(run.Engine().WindowX(), 2010);
    EXPECT_EQ(run.Engine().WindowY(), 95);
    run.Engine().Reset();
    EXPECT_EQ(run.Engine().WindowX(), 0);
    EXPECT_EQ(run.Engine().MoveY(), 0);
}

TEST(AnimationEngine, DirtyRectangleGrowsOverOverlaysAndShapesChangeOnlyWhenNeeded)
{
    EngineRun run(
        {MakeAnimation(AnimationKind::RunOnce,
                       {Overlay(1, 0, 0, 0), Overlay(2, 0, 50, 60), Pattern(PatternMethod::Overlay, 3, 0, 5, 5, true),
                        Overlay(kPlainBaseSurface, 0), Overlay(kPlainBaseSurface, 0), Overlay(5, 0, -10, 90)})});
    run.Begin();
    run.Run(20);
    const std::vector<Applied>& applied = run.AppliedActions();
    ASSERT_EQ(applied.size(), 6u);

    EXPECT_EQ(applied[0].action.dirty, (PixelRect{0, 0, 10, 10}));
    ASSERT_TRUE(applied[0].action.reshape.has_value());
    EXPECT_EQ(*applied[0].action.reshape, (WindowShape{-1, true, 1, 0, 0}));

    EXPECT_EQ(applied[1].action.dirty, (PixelRect{0, 0, 70, 80}));
    EXPECT_EQ(*applied[1].action.reshape, (WindowShape{-1, true, 2, 50, 60}));

    EXPECT_EQ(applied[2].action.kind, PatternAction::Kind::Overlay);
    EXPECT_EQ(applied[2].action.dirty, (PixelRect{0, 0, 70, 80})) << "(5,5)-(35,35) lies inside";
    EXPECT_FALSE(applied[2].action.reshape.has_value()) << "overlayfast keeps the shape";

    EXPECT_EQ(applied[3].action.kind, PatternAction::Kind::RestoreBase);
    EXPECT_EQ(applied[3].action.dirty, (PixelRect{0, 0, 100, 100}));
    EXPECT_EQ(*applied[3].action.reshape, (WindowShape{-1, false, 0, 0, 0}));
    EXPECT_FALSE(applied[4].action.reshape.has_value()) << "already the base shape";

    EXPECT_EQ(applied[5].action.dirty, (PixelRect{-10, 0, 100, 120}));
    for (const Applied& a : applied)
        EXPECT_TRUE(a.action.drawn);
}

TEST(AnimationEngine, PatternsNamingMissingSurfacesAreSkippedButKeepTheirTime)
{
    EngineRun run({MakeAnimation(AnimationKind::RunOnce, {Overlay(1, 0), Overlay(9, 50, 3, 3),
                                                          Pattern(PatternMethod::Base, 9, 0), Overlay(2, 0)})});
    run.Begin();
    run.Run(20);
    const std::vector<Applied>& applied = run.AppliedActions();
    ASSERT_EQ(applied.size(), 4u);
    EXPECT_EQ(applied[1].action.kind, PatternAction::Kind::Skipped);
    EXPECT_FALSE(applied[1].action.drawn);
    EXPECT_FALSE(applied[1].action.reshape.has_value());
    EXPECT_EQ(applied[2].action.kind, PatternAction::Kind::Skipped);
    EXPECT_FALSE(applied[2].action.resizeWindow.has_value());
    EXPECT_EQ(applied[2].pass, 2 + 6) << "the missing overlay still stayed its 50 ms";
    EXPECT_EQ(applied[3].action.dirty, (PixelRect{0, 0, 20, 20})) << "skipped patterns left the dirty area alone";
    EXPECT_EQ(run.Engine().BaseNumber(), -1);
    EXPECT_EQ(run.Engine().WindowSize(), (PixelSize{100, 100}));
}

TEST(AnimationEngine, AnimationsWithoutPatternsStayActiveAndNeverAnimationsNeverStart)
{
    EngineRun run({MakeAnimation(AnimationKind::RunOnce, {}), MakeAnimation(AnimationKind::Never, {Overlay(1, 0)}),
                   MakeAnimation(AnimationKind::Sometimes, {Overlay(2, 0)})});
    run.Begin();
    run.Run(1000);
    EXPECT_EQ(run.Engine().Active(), (std::vector<size_t>{0}));
    EXPECT_TRUE(run.AppliedActions().empty());
}
