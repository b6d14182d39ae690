#include "display/planpick.h"

#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

struct Point {
    float x = 0, y = 0;
};

// Where a world point is drawn on the window, as the window drawing places it.
Point onClient(const ViewGeometry& g, float x, float y)
{
    const DevicePoint p = g.drawingPosition(x, y);
    return {p.x - float(g.scrollX), p.y - float(g.scrollY)};
}

// The distance of p from the segment a-b, and how far along it (0..1) the
// nearest point lies.
float segmentDistance(Point p, Point a, Point b, float* along = nullptr)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    const float t =
        length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0f, 1.0f) : 0.0f;
    if (along)
        *along = t;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

Point nodeOnClient(const PlanView& view, int i)
{
    return onClient(view.geo, view.data.nodeX[std::size_t(i)], view.data.nodeY[std::size_t(i)]);
}

// The distance of p from road j as it is drawn: the pieces from its first
// node through its bending points to its second node, without the pieces
// drawn with no line. Negative when the road has no end on the plan.
float roadDistance(const PlanView& view, int j, Point p)
{
    const PlanData& d = view.data;
    const int a = d.nodeIndex(d.roadFirst[std::size_t(j)]), b = d.nodeIndex(d.roadSecond[std::size_t(j)]);
    if (!a || !b)
        return -1;
    const int s = d.roadBend[std::size_t(j)];
    const int n = s >= 1 && s < kMaxBendSlots ? std::clamp(d.bends[std::size_t(s)].mark, 0, kMaxBendSlots - 1 - s) : 0;
    const auto point = [&](int k) {
        if (k == 0)
            return nodeOnClient(view, a);
        if (k == n + 1)
            return nodeOnClient(view, b);
        const BendSlot& bend = d.bends[std::size_t(s + k)];
        return onClient(view.geo, bend.x, bend.y);
    };
    float best = -1;
    Point from = point(0);
    for (int k = 1; k <= n + 1; ++k) {
        const Point to = point(k);
        const bool drawn = k > n || d.bends[std::size_t(s + k)].mark != -1;
        if (drawn) {
            const float distance = segmentDistance(p, from, to);
            if (best < 0 || distance < best)
                best = distance;
        }
        from = to;
    }
    return best;
}

}  // namespace

PlanElement pickPlanElement(const PlanView& view, int x, int y)
{
    const PlanData& d = view.data;
    const Point p{float(x), float(y)};

    const float nodeReach = std::max(view.geo.nodeRadius * view.geo.scale, kPickReach);
    PlanElement nearest;
    float best = 0;
    for (int i = 1; i <= d.nodeCount; ++i) {
        const Point c = nodeOnClient(view, i);
        const float distance = std::hypot(p.x - c.x, p.y - c.y);
        if (distance <= nodeReach && (nearest.kind == PlanElementKind::None || distance < best)) {
            nearest = {PlanElementKind::Node, i};
            best = distance;
        }
    }
    if (nearest.kind != PlanElementKind::None)
        return nearest;

    for (int j = 1; j <= d.roadCount + d.fixedCount && j < kMaxRoads; ++j) {
        const float distance = roadDistance(view, j, p);
        if (distance >= 0 && distance <= kPickReach && (nearest.kind == PlanElementKind::None || distance < best)) {
            nearest = {PlanElementKind::Road, j};
            best = distance;
        }
    }
    constexpr float kSameDistance = 0.5f;  // pixels: a fan and a road on the same line
    for (int f = 1; f <= d.fanCount && f < kMaxFans; ++f) {
        const int a = d.nodeIndex(d.fanFirst[std::size_t(f)]), b = d.nodeIndex(d.fanSecond[std::size_t(f)]);
        if (!a || !b)
            continue;
        float along = 0;
        const float distance = segmentDistance(p, nodeOnClient(view, a), nodeOnClient(view, b), &along);
        if (distance > kPickReach)
            continue;
        const bool same = nearest.kind != PlanElementKind::None && std::fabs(distance - best) <= kSameDistance;
        const bool wins = nearest.kind == PlanElementKind::None ||
                          (same ? nearest.kind == PlanElementKind::Road && along < 0.5f : distance < best);
        if (wins) {
            nearest = {PlanElementKind::Fan, f};
            best = distance;
        }
    }
    return nearest;
}

}  // namespace orvex
