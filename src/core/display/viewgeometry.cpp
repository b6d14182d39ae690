#include "display/viewgeometry.h"

#include <cmath>

namespace orvex {

int roundHalfAway(double value)
{
    return int(value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5));
}

DevicePoint ViewGeometry::worldToDevice(float x, float y) const
{
    return {std::trunc(x * scale + originX), std::trunc(-y * scale + originY)};
}

DevicePoint ViewGeometry::drawingPosition(float x, float y) const
{
    DevicePoint p = worldToDevice(x, y);
    p.x += float(pageDragX + pageCornerX);
    p.y += float(pageDragY + pageCornerY);
    return p;
}

void ViewGeometry::deviceToWorld(float x, float y, float& worldX, float& worldY) const
{
    worldX = std::trunc((x - originX) / scale);
    worldY = -std::trunc((y - originY) / scale);
}

bool ViewGeometry::visible(float x, float y) const
{
    if (drawAll)
        return true;
    const DevicePoint p = worldToDevice(x, y);
    return float(scrollX) < p.x && p.x < float(scrollX + clientWidth) && float(scrollY) < p.y &&
           p.y < float(scrollY + clientHeight);
}

void ViewGeometry::boundScale()
{
    if (!(scale >= kMinScale))  // also a scale that is not a number
        scale = kMinScale;
    if (scale > kMaxScale)
        scale = kMaxScale;
}

}  // namespace orvex
