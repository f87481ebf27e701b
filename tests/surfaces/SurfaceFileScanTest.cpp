// Which files become which surfaces, in the folder's listing order.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "skin/SurfaceFileScan.h"

namespace {

using Loads = std::vector<std::pair<int32_t, std::string>>;

// Scans 'listing'; the loader records every call and fails for 'broken' files.
Loads Scan(const std::vector<std::string>& listing, std::set<int32_t>& taken, const std::set<std::string>& broken = {})
{
    Loads loaded;
    SurfaceFileScan::Scan(listing, taken, [&](int32_t number, const std::string& name) {
        if (broken.count(name)) return false;
        loaded.emplace_back(number, name);
        return true;
    });
    return loaded;
}

} // namespace

TEST(SurfaceFileScan, NumbersFromNames)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"surface0.png", 0}, {"surface3.png", 3},   {"surface03.png", 3},   {"surfaceX.png", 0},
        {"surface.png", 0},  {"surface-2.png", -2}, {"surface 12.png", 12}, {"surface7b.png", 7},
        {"SURFACE5.PNG", 5}, {"surface1.2.png", 1}, {"surface9", 9},        {"surface99999999999.png", 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SurfaceFileScan::NumberOf(c.first), c.second) << c.first;
    EXPECT_EQ(SurfaceFileScan::AnimationFileFor(3), "surface3a.txt");
    EXPECT_EQ(SurfaceFileScan::AnimationFileFor(-2), "surface-2a.txt");
}

TEST(SurfaceFileScan, FirstListedFileWinsAmongEqualNumbers)
{
    std::set<int32_t> taken;
    EXPECT_EQ(Scan({".", "..", "surface0.png", "surface3.png", "surface03.png"}, taken),
              (Loads{{0, "surface0.png"}, {3, "surface3.png"}}));
    EXPECT_EQ(taken, (std::set<int32_t>{0, 3}));

    taken.clear();
    EXPECT_EQ(Scan({"surfaceX.png", "surface0.png"}, taken), (Loads{{0, "surfaceX.png"}}))
        << "surfaceX.png gives surface 0 when listed before surface0.png";

    taken = {0}; // a non-default base image took number 0 already
    EXPECT_EQ(Scan({"surface0.png", "surfaceX.png", "surface1.png"}, taken), (Loads{{1, "surface1.png"}}));
}

TEST(SurfaceFileScan, AFileThatFailsToLoadLeavesItsNumberFree)
{
    std::set<int32_t> taken;
    EXPECT_EQ(Scan({"surface3.png", "surface03.png", "surface003.png", "surface5.png"}, taken,
                   {"surface3.png", "surface5.png"}),
              (Loads{{3, "surface03.png"}}));
    EXPECT_EQ(taken, (std::set<int32_t>{3}));
}
