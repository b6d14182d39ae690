#include "edit/viewnavigation.h"

#include <cstdlib>

namespace orvex {

ClientRect zoomRectangle(int pressX, int pressY, int x, int y, int clientWidth, int clientHeight)
{
    const long long width = std::llabs(static_cast<long long>(x) - pressX);
    const int height = clientWidth > 0 ? int(width * clientHeight / clientWidth) : 0;
    return ClientRect{pressX, pressY, x, y < pressY ? pressY - height : pressY + height};
}

ArrowScroll arrowScroll(ViewGeometry& geo, Key key)
{
    ArrowScroll result;
    const float s = 30 * geo.scale;
    switch (key) {
    case Key::Left:
    case Key::Up: {
        const bool horizontal = key == Key::Left;
        int& position = horizontal ? geo.scrollX : geo.scrollY;
        const int next = int(float(position) - s);
        if (next > 0) {
            position = next;
            result.scrolled = true;
        } else {
            (horizontal ? geo.originX : geo.originY) += s;
            int& size = horizontal ? geo.scrollWidth : geo.scrollHeight;
            size = int(float(size) + s);
            result.sizesChanged = true;
        }
        break;
    }
    case Key::Right:
    case Key::Down: {
        const bool horizontal = key == Key::Right;
        int& position = horizontal ? geo.scrollX : geo.scrollY;
        int& size = horizontal ? geo.scrollWidth : geo.scrollHeight;
        const int client = horizontal ? geo.clientWidth : geo.clientHeight;
        const float next = float(position) + s;
        if (float(client) + next >= float(size)) {
            size = int(float(size) + next);
            result.sizesChanged = true;
        }
        position = int(next);
        result.scrolled = true;
        break;
    }
    case Key::Other:
        return result;
    }
    result.handled = true;
    if (result.sizesChanged)
        geo.scrollSizesChanged = true;
    return result;
}

}  // namespace orvex
