#pragma once

#include "display/canvas.h"

// How plan coordinates (world units, metres, y up) become device coordinates
// (pixels, y down) and back, the scale and its bounds, the extents and the
// scrollable size. Drawing, printing and mouse picking all go through here,
// so a point drawn, printed or picked lands at the same place.
namespace orvex {

constexpr float kMinScale = 0.015384615f;  // figure size 0.01
constexpr float kMaxScale = 15.384616f;    // figure size 10
constexpr float kFigureSizePerScale = 0.65f;
constexpr double kScalePerFigureSize = 1.5384615384615383;

// Round to nearest, a half away from zero (2.5 -> 3, -2.5 -> -3).
int roundHalfAway(double value);

struct ViewGeometry {
    float scale = 1.0f;        // device units per world unit
    float originX = 0, originY = 0;  // device position of world (0, 0)
    float minX = 0, maxX = 0, minY = 0, maxY = 0;  // node extents, always containing 0
    int scrollWidth = 0, scrollHeight = 0;
    bool scrollSizesChanged = false;  // the window should take the new scrollable size
    float nodeRadius = 8.0f;   // world units
    float charSize = 10.0f;    // world units
    int displayAngle = 0;      // degrees this view has turned the plan, 0..359

    bool pagePreview = false;
    int pageDragX = 0, pageDragY = 0;    // device shift of the plan on the preview page
    int pageCornerX = 0, pageCornerY = 0;  // client position of the page's top-left corner
    bool drawAll = false;      // printing: every element counts as visible

    // The window: its client size and scroll position, set by the caller.
    int clientWidth = 0, clientHeight = 0;
    int scrollX = 0, scrollY = 0;

    DevicePoint worldToDevice(float x, float y) const;
    // Where a world point is drawn: device point plus the page offsets.
    DevicePoint drawingPosition(float x, float y) const;
    // A client point with the scroll position already added, back to whole world units.
    void deviceToWorld(float x, float y, float& worldX, float& worldY) const;
    bool visible(float x, float y) const;

    void boundScale();
};

}  // namespace orvex
