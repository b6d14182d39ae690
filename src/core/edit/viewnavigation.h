#pragma once

#include "display/viewgeometry.h"

// The two ways the editor moves the plan in its window: the rectangle that
// the mouse drags out to zoom in, and the arrow keys.
namespace orvex {

struct ClientRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// The zoom rectangle from the press point towards the mouse at (x, y): as
// wide as the drag, as high as the window's proportions make it, upward
// when the mouse is above the press point and downward otherwise. A window
// without width gives a rectangle without height.
ClientRect zoomRectangle(int pressX, int pressY, int x, int y, int clientWidth, int clientHeight);

enum class Key { Left, Up, Right, Down, Other };

// What an arrow key did to the geometry.
struct ArrowScroll {
    bool handled = false;       // an arrow key
    bool scrolled = false;      // scroll position changed (geometry's scrollX/Y hold it)
    bool sizesChanged = false;  // scrollable size or origin changed: repaint everything
};

// Scrolls by 30 × scale pixels. Towards the left or top, a position that
// would not stay above 0 moves the plan's origin instead and enlarges the
// scrollable area; towards the right or bottom, the area grows first when
// the window would run past its end.
ArrowScroll arrowScroll(ViewGeometry& geo, Key key);

}  // namespace orvex
