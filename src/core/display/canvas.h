#pragma once

#include <cstdint>
#include <string>

// The surface the plan is drawn on: the window, the page preview, a printer
// page or an image file. Coordinates are device units (pixels), whole-number
// valued; the y axis points down.
namespace orvex {

// A colour as 0x00BBGGRR: red in the lowest byte, then green, then blue.
using Colour = std::uint32_t;

constexpr Colour rgb(int r, int g, int b)
{
    return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}
constexpr int redOf(Colour c) { return int(c & 0xFF); }
constexpr int greenOf(Colour c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return int((c >> 16) & 0xFF); }

enum class PenStyle { Solid, Dotted };

struct DevicePoint {
    float x = 0, y = 0;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    // Fills a polygon with the brush colour and outlines it with a 1-pixel pen.
    virtual void fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen) = 0;
    virtual void setPen(PenStyle style, int width, Colour colour) = 0;
    // While on, every pixel drawn inverts the pixel below instead of taking the pen colour.
    virtual void setInvert(bool on) = 0;
    virtual void moveTo(float x, float y) = 0;
    virtual void lineTo(float x, float y) = 0;
    // A hollow circle (ellipse) in its bounding box.
    virtual void circle(float left, float top, float right, float bottom) = 0;
    // The platform's own text at a client point (the status line during a run).
    virtual void text(float x, float y, const std::string& text, Colour colour) = 0;
    // The same on a box of the background colour as large as the text, so
    // that nothing drawn below shows through (the editor's prompts).
    virtual void textOnBackground(float x, float y, const std::string& text, Colour colour,
                                  Colour background) = 0;
    // Many small triangles of one colour (three points each), such as the
    // flow arrows: one call, so that a canvas may fill them together.
    virtual void fillTriangles(const DevicePoint* points, int triangles, Colour colour)
    {
        for (int t = 0; t < triangles; ++t)
            fillPolygon(points + 3 * t, 3, colour, colour);
    }
    // The size of the platform's text, pixels; a canvas without a font of
    // its own answers for a common 7 × 13 pixel screen font.
    virtual float textWidth(const std::string& text) const { return 7.0f * float(text.size()); }
    virtual float textHeight() const { return 13.0f; }
};

}  // namespace orvex
