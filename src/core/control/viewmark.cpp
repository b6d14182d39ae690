#include "control/viewcontrol.h"

#include <algorithm>

namespace orvex {

// --- the marked element --------------------------------------------------------------

void ViewController::mark(MarkKind kind, int element, int other)
{
    if (kind == mMarkKind && element == mMarked && other == mMarkedOther)
        return;
    mMarkKind = kind;
    mMarked = element;
    mMarkedOther = other;
    float x = 0, y = 0;
    if (!mPreview && markCentre(x, y)) {
        const ViewGeometry& g = mPlan.geo;
        const bool inside = x >= g.scrollX && x < g.scrollX + g.clientWidth && y >= g.scrollY &&
                            y < g.scrollY + g.clientHeight;
        if (!inside) {
            mWindow.scrollTo(int(x) - g.clientWidth / 2, int(y) - g.clientHeight / 2);
            return;  // the window redrew
        }
    }
    mWindow.redraw();
}

bool ViewController::markEnds(int& a, int& b) const
{
    const PlanData& d = mPlan.data;
    a = b = 0;
    switch (mMarkKind) {
    case MarkKind::None: return false;
    case MarkKind::Node:
        if (mMarked < 1 || mMarked > d.nodeCount)
            return false;
        a = b = mMarked;
        break;
    case MarkKind::NodePair:
        if (std::min(mMarked, mMarkedOther) < 1 || std::max(mMarked, mMarkedOther) > d.nodeCount)
            return false;
        a = mMarked;
        b = mMarkedOther;
        break;
    case MarkKind::Road:
        if (mMarked < 1 || mMarked > d.roadCount + d.fixedCount || mMarked >= kMaxRoads)
            return false;
        a = d.nodeIndex(d.roadFirst[std::size_t(mMarked)]);
        b = d.nodeIndex(d.roadSecond[std::size_t(mMarked)]);
        break;
    case MarkKind::Fan:
        if (mMarked < 1 || mMarked > d.fanCount || mMarked >= kMaxFans)
            return false;
        a = d.nodeIndex(d.fanFirst[std::size_t(mMarked)]);
        b = d.nodeIndex(d.fanSecond[std::size_t(mMarked)]);
        break;
    }
    return a != 0 && b != 0;
}

bool ViewController::markCentre(float& x, float& y) const
{
    int a = 0, b = 0;
    if (!markEnds(a, b))
        return false;
    const PlanData& d = mPlan.data;
    const DevicePoint p = mPlan.geo.drawingPosition(0.5f * (d.nodeX[a] + d.nodeX[b]),
                                                    0.5f * (d.nodeY[a] + d.nodeY[b]));
    x = p.x;
    y = p.y;
    return true;
}

void ViewController::drawMark(Canvas& canvas)
{
    int a = 0, b = 0;
    if (mPreview || !markEnds(a, b))
        return;
    // A road or fan comes with its two end nodes, so that a short one is
    // found at a glance.
    const Colour strong = mPlan.settings.colours.strong;
    mPlan.drawNodeOnWindow(canvas, a, strong);
    if (b != a)
        mPlan.drawNodeOnWindow(canvas, b, strong);
    switch (mMarkKind) {
    case MarkKind::Road: mPlan.drawRoadOnWindow(canvas, mMarked, strong, strong, strong); break;
    case MarkKind::Node: mPlan.drawNodeOnWindow(canvas, mMarked, strong); break;
    case MarkKind::Fan: mPlan.drawFanOnWindow(canvas, mMarked, strong); break;
    case MarkKind::NodePair:
    case MarkKind::None: break;
    }
}

}  // namespace orvex
