#pragma once
// Where a skin window stands beside its host window: the anchor point the
// host's answers to the "Sakura" queries give, with the fallbacks of each
// "baseposition", and the skin's top-left from that anchor by "baseadjust".
// Pure: the window side sends the queries and moves the window.
#include <cstdint>
#include <functional>

namespace placement {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

// A rectangle as the region box reports it: right and bottom exclusive.
struct Box {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The host's query codes on its "Sakura" message.
constexpr int kQueryPoint0 = 132; // point, baseposition 0
constexpr int kQueryRect0 = 128;  // rectangle, baseposition 0 after 132
constexpr int kQueryRect1 = 129;  // rectangle, baseposition 1
constexpr int kQueryRect2 = 130;  // rectangle, baseposition 2
constexpr int kQueryPoint3 = 131; // point, baseposition 3

// One query to the host: code and index in, the answer out. False when the
// send failed or timed out (a hung host).
using HostQuery = std::function<bool(int code, int index, int32_t& answer)>;

// The host window's region box (its window region's bounding box, in the
// host's window coordinates); asked only when a fallback needs it.
using RegionBox = std::function<Box()>;

// The anchor in the host's client coordinates. A point (0, 0) or (-1, -1)
// and a rectangle of four 0 or four -1 count as unanswered. Once one query
// fails, every later query of the same placement counts as unanswered
// without being sent, so a hung host costs one time-out, not six.
// A "baseposition" outside 0..3 is taken as 0.
Point Anchor(int32_t baseposition, const HostQuery& query, const RegionBox& regionBox);

// The skin window's top-left for a W x H skin whose "baseadjust" point is at
// 'anchor' (halves round toward zero). A "baseadjust" outside 0..8 is
// taken as 0 (bottom centre).
Point TopLeft(Point anchor, int32_t width, int32_t height, int32_t baseadjust);

} // namespace placement
