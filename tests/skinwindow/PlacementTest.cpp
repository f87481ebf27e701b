// The anchor rules and the baseadjust table with the documented numbers.
#include <map>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "skin/Placement.h"

using placement::Box;
using placement::Point;

namespace {

// A host that answers from a table; codes it does not know answer 0, as the
// real host does. 'hangFrom' makes every query from that one on time out.
struct TableHost {
    std::map<std::pair<int, int>, int32_t> answers;
    std::vector<std::pair<int, int>> asked;
    int hangFrom = -1; // index into 'asked' of the first query that times out

    void Point(int code, int32_t x, int32_t y)
    {
        answers[{code, 0}] = x;
        answers[{code, 1}] = y;
    }
    void Rect(int code, int32_t l, int32_t t, int32_t r, int32_t b)
    {
        answers[{code, 0}] = l;
        answers[{code, 1}] = t;
        answers[{code, 2}] = r;
        answers[{code, 3}] = b;
    }
    placement::HostQuery Query()
    {
        return [this](int code, int index, int32_t& answer) {
            asked.emplace_back(code, index);
            if (hangFrom >= 0 && static_cast<int>(asked.size()) > hangFrom) return false;
            auto it = answers.find({code, index});
            answer = it == answers.end() ? 0 : it->second;
            return true;
        };
    }
};

placement::RegionBox BoxOf(Box box, int* calls = nullptr)
{
    return [box, calls] {
        if (calls) ++*calls;
        return box;
    };
}

const Box kRegion{10, 20, 171, 261}; // 161 x 241: odd sizes show the rounding

} // namespace

TEST(Placement, PointQueryUnansweredFallsBackToTheRectangleCentre)
{
    TableHost host;
    host.Point(132, 0, 0);
    host.Rect(128, 100, 20, 200, 220);
    EXPECT_EQ(placement::Anchor(0, host.Query(), BoxOf(kRegion)), (Point{150, 120}));
    const std::vector<std::pair<int, int>> order{{132, 0}, {132, 1}, {128, 0}, {128, 1}, {128, 2}, {128, 3}};
    EXPECT_EQ(host.asked, order);
}

TEST(Placement, EachBasePositionWithAnswersAndWithEveryFallback)
{
    struct Case {
        const char* what;
        int32_t baseposition;
        std::vector<std::pair<int, std::vector<int32_t>>> answers;
        Point expected;
        bool boxAsked;
    };
    const std::vector<Case> cases{
        {"0: point answered", 0, {{132, {150, 40}}}, {150, 40}, false},
        {"0: point (-1,-1), rectangle all -1: box top centre",
         0,
         {{132, {-1, -1}}, {128, {-1, -1, -1, -1}}},
         {10 + 161 / 2, 20},
         true},
        {"0: nothing answered: box top centre", 0, {}, {90, 20}, true},
        {"0: a point with one zero coordinate counts", 0, {{132, {0, 35}}}, {0, 35}, false},
        {"0: rectangle centre rounds toward zero", 0, {{128, {-7, -7, 0, 0}}}, {-4, -4}, false},
        {"1: rectangle centre", 1, {{129, {0, 0, 51, 11}}}, {25, 5}, false},
        {"1: unanswered: box left + w/2, top + w/2", 1, {{129, {0, 0, 0, 0}}}, {10 + 80, 20 + 80}, true},
        {"2: rectangle centre", 2, {{130, {10, 10, 30, 50}}}, {20, 30}, false},
        {"2: unanswered: box centre", 2, {{130, {-1, -1, -1, -1}}}, {90, 140}, true},
        {"3: point answered", 3, {{131, {5, 6}}}, {5, 6}, false},
        {"3: (-1,-1): box centre", 3, {{131, {-1, -1}}}, {90, 140}, true},
        {"3: (0,0): box centre", 3, {}, {90, 140}, true},
        {"out of range: as 0", 9, {{132, {70, 80}}}, {70, 80}, false},
    };
    for (const Case& c : cases) {
        TableHost host;
        for (const auto& a : c.answers) {
            if (a.second.size() == 2)
                host.Point(a.first, a.second[0], a.second[1]);
            else
                host.Rect(a.first, a.second[0], a.second[1], a.second[2], a.second[3]);
        }
        int boxCalls = 0;
        EXPECT_EQ(placement::Anchor(c.baseposition, host.Query(), BoxOf(kRegion, &boxCalls)), c.expected) << c.what;
        EXPECT_EQ(boxCalls > 0, c.boxAsked) << c.what;
    }
}

TEST(Placement, BasePosition3WithMinusOneGivesTheRegionBoxCentre)
{
    TableHost host;
    host.Point(131, -1, -1);
    const Box region{0, 0, 160, 240};
    EXPECT_EQ(placement::Anchor(3, host.Query(), BoxOf(region)), (Point{80, 120}));
}

TEST(Placement, AFailedQueryEndsThePlacementsQueries)
{
    // The first query times out: nothing else is sent, the region decides.
    TableHost host;
    host.Point(132, 150, 40);
    host.Rect(128, 100, 20, 200, 220);
    host.hangFrom = 0;
    EXPECT_EQ(placement::Anchor(0, host.Query(), BoxOf(kRegion)), (Point{90, 20}));
    EXPECT_EQ(host.asked.size(), 1u);

    // The third query (the rectangle's left) times out after an unanswered
    // point: the rectangle counts as unanswered even though the host knows it.
    TableHost later;
    later.Rect(128, 100, 20, 200, 220);
    later.hangFrom = 2;
    EXPECT_EQ(placement::Anchor(0, later.Query(), BoxOf(kRegion)), (Point{90, 20}));
    EXPECT_EQ(later.asked.size(), 3u);

    // A hang on the y of an answered point: the point is (x, 0), which counts
    // as answered only when x is not 0.
    TableHost half;
    half.Point(131, 33, 44);
    half.hangFrom = 1;
    EXPECT_EQ(placement::Anchor(3, half.Query(), BoxOf(kRegion)), (Point{33, 0}));
}

TEST(Placement, BaseAdjustTable)
{
    const Point a{150, 120};
    const int32_t w = 64, h = 48;
    struct Row {
        int32_t adjust;
        Point expected;
    };
    const Row rows[] = {
        {0, {150 - 32, 120 - 48}}, {1, {150 - 32, 120}},       {2, {150, 120 - 24}},      {3, {150 - 64, 120 - 24}},
        {4, {150, 120 - 48}},      {5, {150 - 64, 120 - 48}},  {6, {150, 120}},           {7, {150 - 64, 120}},
        {8, {150 - 32, 120 - 24}}, {-1, {150 - 32, 120 - 48}}, {9, {150 - 32, 120 - 48}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(placement::TopLeft(a, w, h, r.adjust), r.expected) << "baseadjust " << r.adjust;
    // Odd sizes: halves round toward zero.
    EXPECT_EQ(placement::TopLeft({0, 0}, 65, 49, 8), (Point{-32, -24}));
}

TEST(Placement, ExampleSkinTopLeftInClientCoordinates)
{
    // A 64 x 48 skin with baseadjust 0 at the anchor of the first example
    // stands at (118, 72) of the host's client area; with the client origin
    // at screen (1000, 500) that is (1118, 572), checked on real windows.
    TableHost host;
    host.Point(132, 0, 0);
    host.Rect(128, 100, 20, 200, 220);
    const Point anchor = placement::Anchor(0, host.Query(), BoxOf(kRegion));
    EXPECT_EQ(placement::TopLeft(anchor, 64, 48, 0), (Point{118, 72}));
}
