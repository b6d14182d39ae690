// Drawing single elements on the window over the plan: a road, node or fan
// picked or marked, circles and lines of the editor, and the front of a fire.
#include <algorithm>
#include <cmath>
#include <vector>

#include "display/planview.h"

namespace orvex {

// --- single elements on the window -------------------------------------------------

void PlanView::drawRoadOnWindow(Canvas& canvas, int road, Colour roadColour, Colour onlineColour,
                                Colour underlineColour)
{
    if (road < 1 || road > data.roadCount + data.fixedCount)
        return;
    mWindow = true;
    drawRoad(canvas, road, RoadPens{roadColour, onlineColour, underlineColour, true, true});
    mWindow = false;
}

void PlanView::drawRoadNormalOnWindow(Canvas& canvas, int road)
{
    if (road < 1 || road > data.roadCount + data.fixedCount)
        return;
    const ColourSlots& c = settings.colours;
    mWindow = mLook = true;
    drawRoad(canvas, road, RoadPens{c.road, c.online, c.underline, true, true});
    mWindow = mLook = false;
}

void PlanView::drawNodeOnWindow(Canvas& canvas, int index, Colour colour)
{
    if (index < 1 || index > data.nodeCount)
        return;
    mWindow = true;
    canvas.setPen(PenStyle::Solid, 1, colour);
    drawNodeCircles(canvas, index);
    drawTextCentred(canvas, nodeNumberText(index), data.nodeX[index],
                    data.nodeY[index] - 0.35f * geo.charSize, 1, 0);
    mWindow = false;
}

void PlanView::drawFanOnWindow(Canvas& canvas, int fan, Colour colour)
{
    if (fan < 1 || fan > data.fanCount)
        return;
    mWindow = true;
    canvas.setPen(PenStyle::Solid, 1, colour);
    drawFan(canvas, fan);
    mWindow = false;
}

void PlanView::drawCircleAtWorld(Canvas& canvas, float x, float y, float radius, Colour colour)
{
    mWindow = true;
    canvas.setInvert(colour == 0);
    canvas.setPen(PenStyle::Solid, 1, colour);
    circleAt(canvas, x, y, radius);
    canvas.setInvert(false);
    mWindow = false;
}

void PlanView::drawCircleAtClient(Canvas& canvas, float x, float y, float radius, Colour colour)
{
    const float d = radius * geo.scale;
    if (colour == 0) {
        canvas.setInvert(true);
        canvas.setPen(PenStyle::Solid, 1, colour);
        canvas.circle(x - d, y - d, x + d, y + d);
        canvas.setInvert(false);
        return;
    }
    DevicePoint ring[36];
    for (int i = 0; i < 36; ++i) {
        const float t = float(i) * 2 * kPi / 36;
        ring[i] = {x + d * std::cos(t), y + d * std::sin(t)};
    }
    canvas.fillPolygon(ring, 36, settings.colours.back, colour);
}

void PlanView::drawLineOnWindow(Canvas& canvas, float x0, float y0, float x1, float y1, Colour colour)
{
    mWindow = true;
    canvas.setInvert(colour == 0);
    canvas.setPen(PenStyle::Solid, 1, colour);
    lineWorld(canvas, x0, y0, x1, y1);
    canvas.setInvert(false);
    mWindow = false;
}

namespace {

// A road's path from A' through its bending points to B', each end moved
// `distance` along the road inwards, and its whole length before the moving.
struct Path {
    std::vector<float> xs, ys;
    float length = 0;
};

Path roadPath(const PlanData& data, int road, int a, int b, float distance)
{
    const int s = data.roadBend[road];
    const int n = s >= 1 && s < kMaxBendSlots ? std::clamp(data.bends[s].mark, 0, kMaxBendSlots - 1 - s) : 0;
    Path p;
    p.xs.push_back(data.nodeX[a]);
    p.ys.push_back(data.nodeY[a]);
    for (int k = 1; k <= n; ++k) {
        p.xs.push_back(data.bends[s + k].x);
        p.ys.push_back(data.bends[s + k].y);
    }
    p.xs.push_back(data.nodeX[b]);
    p.ys.push_back(data.nodeY[b]);
    std::vector<float>& xs = p.xs;
    std::vector<float>& ys = p.ys;
    const std::size_t last = xs.size() - 1;
    for (std::size_t k = 1; k <= last; ++k)
        p.length += std::hypot(xs[k] - xs[k - 1], ys[k] - ys[k - 1]);
    const float t0 = std::atan2(ys[1] - ys[0], xs[1] - xs[0]);
    const float t1 = std::atan2(ys[last] - ys[last - 1], xs[last] - xs[last - 1]);
    xs[0] += distance * std::cos(t0);
    ys[0] += distance * std::sin(t0);
    xs[last] += distance * std::cos(t1 + kPi);
    ys[last] += distance * std::sin(t1 + kPi);
    return p;
}

}  // namespace

// A fire front inside road `road`: a small circle where the front is, and
// the trail it has filled behind it.
void PlanView::drawFireFront(Canvas& canvas, int road, float distance, float fraction, int direction)
{
    if (road < 1 || road > data.roadCount + data.fixedCount)
        return;
    const int a = data.nodeIndex(data.roadFirst[road]), b = data.nodeIndex(data.roadSecond[road]);
    if (!a || !b)
        return;
    bool trail = true;
    float f = fraction;
    if (f < 0) {
        f = -f;
        trail = false;
    }
    if (direction == -1)
        f = 1 - f;
    mWindow = true;
    canvas.setPen(PenStyle::Solid, 1, settings.colours.strong);

    const Path path = roadPath(data, road, a, b, distance);
    const std::vector<float>& xs = path.xs;
    const std::vector<float>& ys = path.ys;
    const std::size_t last = xs.size() - 1;
    const float target = f * (path.length - 2 * distance);
    float walked = 0, fx = xs[0], fy = ys[0];
    std::size_t segment = 1;
    for (; segment <= last; ++segment) {
        const float length = std::hypot(xs[segment] - xs[segment - 1], ys[segment] - ys[segment - 1]);
        if (length == 0)
            continue;
        if (walked + length >= target || segment == last) {
            const float u = std::clamp((target - walked) / length, 0.0f, 1.0f);
            fx = xs[segment - 1] + u * (xs[segment] - xs[segment - 1]);
            fy = ys[segment - 1] + u * (ys[segment] - ys[segment - 1]);
            break;
        }
        walked += length;
    }
    if (segment > last)
        segment = last;
    if (trail) {
        if (direction == 1) {
            for (std::size_t k = 1; k < segment; ++k)
                lineWorld(canvas, xs[k - 1], ys[k - 1], xs[k], ys[k]);
            lineWorld(canvas, xs[segment - 1], ys[segment - 1], fx, fy);
        } else {
            lineWorld(canvas, fx, fy, xs[segment], ys[segment]);
            for (std::size_t k = segment + 1; k <= last; ++k)
                lineWorld(canvas, xs[k - 1], ys[k - 1], xs[k], ys[k]);
        }
    }
    circleAt(canvas, fx, fy, distance / 2);
    mWindow = false;
}

}  // namespace orvex
