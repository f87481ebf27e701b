#include "skin/Placement.h"

namespace placement {

namespace {

// The queries of one placement, stopped for good by the first failure.
class QuerySession {
  public:
    explicit QuerySession(const HostQuery& query) : m_query(query) {}

    // The answer, or 0 once the host has failed to answer (as an unanswered
    // query counts).
    int32_t Ask(int code, int index)
    {
        if (m_failed || !m_query) return 0;
        int32_t answer = 0;
        if (!m_query(code, index, answer)) {
            m_failed = true;
            return 0;
        }
        return answer;
    }

    bool AskPoint(int code, Point& out)
    {
        out.x = Ask(code, 0);
        out.y = Ask(code, 1);
        const bool none = (out.x == 0 && out.y == 0) || (out.x == -1 && out.y == -1);
        return !none;
    }

    bool AskRect(int code, Box& out)
    {
        out.left = Ask(code, 0);
        out.top = Ask(code, 1);
        out.right = Ask(code, 2);
        out.bottom = Ask(code, 3);
        const bool zero = out.left == 0 && out.top == 0 && out.right == 0 && out.bottom == 0;
        const bool minus = out.left == -1 && out.top == -1 && out.right == -1 && out.bottom == -1;
        return !zero && !minus;
    }

  private:
    const HostQuery& m_query;
    bool m_failed = false;
};

// Computed as left + (right - left) / 2, which does not overflow where
// (left + right) / 2 would, and rounds the half toward zero.
Point Centre(const Box& b)
{
    return {b.left + (b.right - b.left) / 2, b.top + (b.bottom - b.top) / 2};
}

Box AskBox(const RegionBox& regionBox)
{
    return regionBox ? regionBox() : Box{};
}

} // namespace

Point Anchor(int32_t baseposition, const HostQuery& query, const RegionBox& regionBox)
{
    QuerySession session(query);
    Point point;
    Box rect;
    switch (baseposition) {
    case 1:
        if (session.AskRect(kQueryRect1, rect)) return Centre(rect);
        {
            const Box box = AskBox(regionBox);
            const int32_t width = box.right - box.left;
            // The box's width, not its height, sets the drop below the top.
            return {box.left + width / 2, box.top + width / 2};
        }
    case 2:
        if (session.AskRect(kQueryRect2, rect)) return Centre(rect);
        return Centre(AskBox(regionBox));
    case 3:
        if (session.AskPoint(kQueryPoint3, point)) return point;
        return Centre(AskBox(regionBox));
    default:
        if (session.AskPoint(kQueryPoint0, point)) return point;
        if (session.AskRect(kQueryRect0, rect)) return Centre(rect);
        {
            const Box box = AskBox(regionBox);
            return {box.left + (box.right - box.left) / 2, box.top};
        }
    }
}

Point TopLeft(Point anchor, int32_t width, int32_t height, int32_t baseadjust)
{
    const int32_t X = anchor.x;
    const int32_t Y = anchor.y;
    const int32_t W = width;
    const int32_t H = height;
    switch (baseadjust) {
    case 1:
        return {X - W / 2, Y};
    case 2:
        return {X, Y - H / 2};
    case 3:
        return {X - W, Y - H / 2};
    case 4:
        return {X, Y - H};
    case 5:
        return {X - W, Y - H};
    case 6:
        return {X, Y};
    case 7:
        return {X - W, Y};
    case 8:
        return {X - W / 2, Y - H / 2};
    default:
        return {X - W / 2, Y - H};
    }
}

} // namespace placement
