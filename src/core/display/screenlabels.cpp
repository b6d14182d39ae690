// Labels at one size in screen pixels at any zoom: node numbers first, then
// the roads' values, then the nodes' values, each left out where a label
// drawn before lies, so that a fitted plan shows what fits and zooming in
// shows more.
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "display/planview.h"

namespace orvex {

// The labels placed so far, as rectangles turned with their text, device
// pixels, found through a grid of square cells.
struct PlanView::LabelPlaces {
    struct Box {
        float cx, cy, hw, hh, c, s;  // centre, half width and height, direction of the text
    };
    static constexpr float kCell = 64.0f;
    std::vector<Box> boxes;
    std::unordered_map<long long, std::vector<int>> cells;

    static long long key(int x, int y) { return (static_cast<long long>(x) << 32) ^ static_cast<unsigned int>(y); }

    // Separating axes: two turned rectangles are apart when their shadows
    // on one of the four edge directions do not meet.
    static bool overlap(const Box& a, const Box& b)
    {
        const float dx = b.cx - a.cx, dy = b.cy - a.cy;
        const float axes[4][2] = {{a.c, a.s}, {-a.s, a.c}, {b.c, b.s}, {-b.s, b.c}};
        for (const auto& u : axes) {
            const float ra = a.hw * std::fabs(u[0] * a.c + u[1] * a.s) + a.hh * std::fabs(-u[0] * a.s + u[1] * a.c);
            const float rb = b.hw * std::fabs(u[0] * b.c + u[1] * b.s) + b.hh * std::fabs(-u[0] * b.s + u[1] * b.c);
            if (std::fabs(dx * u[0] + dy * u[1]) >= ra + rb)
                return false;
        }
        return true;
    }

    bool place(const Box& box)
    {
        const float ex = std::fabs(box.c) * box.hw + std::fabs(box.s) * box.hh;
        const float ey = std::fabs(box.s) * box.hw + std::fabs(box.c) * box.hh;
        const int x0 = int(std::floor((box.cx - ex) / kCell)), x1 = int(std::floor((box.cx + ex) / kCell));
        const int y0 = int(std::floor((box.cy - ey) / kCell)), y1 = int(std::floor((box.cy + ey) / kCell));
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y) {
                const auto cell = cells.find(key(x, y));
                if (cell == cells.end())
                    continue;
                for (const int other : cell->second)
                    if (overlap(boxes[std::size_t(other)], box))
                        return false;
            }
        const int index = int(boxes.size());
        boxes.push_back(box);
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y)
                cells[key(x, y)].push_back(index);
        return true;
    }
};

bool PlanView::placeLabel(float centreX, float centreY, float halfWidth, float halfHeight, float cosA, float sinA)
{
    return mPlaces->place(LabelPlaces::Box{centreX, centreY, halfWidth, halfHeight, cosA, sinA});
}

void PlanView::drawLabel(Canvas& canvas, const std::string& text, float mx, float my, float cosA, float sinA)
{
    if (text.empty())
        return;
    if (mPlaces) {
        // The text's box: from its baseline up a capital's height, with
        // room for a gap of four pixels beside it and three above and
        // below; world y points up, device y down.
        const float c = geo.charSize;
        const float half = (float(text.size() - 1) * 0.55f * c + 0.4f * c) / 2;
        const DevicePoint centre = at(mx - 0.375f * c * sinA, my + 0.375f * c * cosA);
        const float unit = pixelUnit();
        if (!placeLabel(centre.x, centre.y, half * geo.scale + 2 * unit, 0.375f * c * geo.scale + 1.5f * unit, cosA,
                        -sinA))
            return;
    }
    drawTextCentred(canvas, text, mx, my, cosA, sinA);
}

void PlanView::drawScreenSizedLabels(Canvas& canvas, const RoadPens& pens)
{
    std::vector<DeferredLabels> deferred;
    mDeferred = &deferred;
    for (int j = 1; j <= data.roadCount + data.fixedCount; ++j)
        drawRoad(canvas, j, pens);
    mDeferred = nullptr;
    if (mArrows) {
        std::vector<Arrow>& arrows = *mArrows;
        mArrows = nullptr;
        drawArrows(canvas, arrows);
    }

    const float keptSize = geo.charSize;
    if (geo.scale > 0)
        geo.charSize = float(settings.look.labelPixels) * pixelUnit() / geo.scale;
    LabelPlaces places;
    mPlaces = &places;
    drawNodeLabels(canvas, true, false);
    for (const DeferredLabels& d : deferred)
        drawRoadLabels(canvas, d.road, pens, d.theta, d.midX, d.midY);
    drawNodeLabels(canvas, false, true);
    mPlaces = nullptr;
    geo.charSize = keptSize;
}

}  // namespace orvex
