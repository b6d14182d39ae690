#pragma once

// A canvas that records every call in order, with the pen and the inverting
// mode in force, and reads back what was drawn: lines and circles of a
// colour, texts of a stroke font whose glyph n draws n strokes (see
// kTestFontChars), and each call as a line of text.
#include <cstdio>
#include <string>
#include <vector>

#include "display/canvas.h"

namespace orvex::test {

inline std::string num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v == 0 ? 0.0 : v);
    return text;
}
inline std::string str(DevicePoint p) { return num(p.x) + " " + num(p.y); }  // "x y"

// The test font: the glyph of kTestFontChars[n - 1] (and of symbol m, as
// n = 26 + m) moves to its origin and draws n strokes of 1 unit along x.
inline const std::string kTestFontChars = "0123456789-.()[]#ROADWYNME_";

struct Op {
    enum Kind { Move, Line, Circle, Fill, Pen, Invert, Text } kind = Move;
    float x = 0, y = 0, x2 = 0, y2 = 0;  // Line: from (x2, y2) to (x, y); Circle: its box
    Colour colour = 0, outline = 0;      // the pen's (Fill: the brush) and a polygon's outline or a text's box
    PenStyle style = PenStyle::Solid;
    int width = 0;
    bool invert = false, boxed = false;  // boxed: a text on a box of the `outline` colour
    std::string text;
    std::vector<DevicePoint> polygon;
};

struct DrawnText {  // a text in the test font: its characters and each glyph's origin
    std::string text;
    std::vector<DevicePoint> origins;
    DevicePoint middle() const  // halfway between the first and the last origin
    {
        return {(origins.front().x + origins.back().x) / 2, (origins.front().y + origins.back().y) / 2};
    }
};
inline constexpr Colour kAny = 0xFFFFFFFFu;  // no rgb() colour is this

class RecordingCanvas : public Canvas {
public:
    void fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen) override
    {
        add(Op::Fill, 0, 0).polygon.assign(points, points + count);
        ops.back().colour = brush, ops.back().outline = pen;
    }
    void setPen(PenStyle style, int width, Colour colour) override
    {
        mPen.style = style, mPen.width = width, mPen.colour = colour;
        add(Op::Pen, 0, 0);
    }
    void setInvert(bool on) override { mPen.invert = on, add(Op::Invert, 0, 0); }
    void moveTo(float x, float y) override { add(Op::Move, x, y); }
    void lineTo(float x, float y) override { add(Op::Line, x, y); }
    void circle(float left, float top, float right, float bottom) override
    {
        add(Op::Circle, left, top).x2 = right, ops.back().y2 = bottom;
    }
    void text(float x, float y, const std::string& s, Colour colour) override { addText(x, y, s, colour, false, 0); }
    void textOnBackground(float x, float y, const std::string& s, Colour colour, Colour background) override
    {
        addText(x, y, s, colour, true, background);
    }

    // "x0 y0 x1 y1, ..." of the lines and "cx cy r, ..." of the circles of a colour, in order.
    std::string lines(Colour colour = kAny) const;
    std::string circles(Colour colour = kAny) const;
    int count(Op::Kind kind, Colour colour = kAny) const;
    // The texts drawn in the test font in a colour (each pen selection starts one), and them joined by "|".
    std::vector<DrawnText> texts(Colour colour) const;
    std::string labels(Colour colour) const;
    // Every call, one line each: "line 10 20", "pen solid 1 800000", "text 0 0 ...",
    // "text 0 0 ... on 800000" (on a box of that colour).
    std::vector<std::string> calls() const;
    int count(const std::string& call) const;

    std::vector<Op> ops;

private:
    Op& add(Op::Kind kind, float x, float y)
    {
        ops.push_back(mPen);
        ops.back().kind = kind, ops.back().x = x, ops.back().y = y;
        if (kind == Op::Move || kind == Op::Line)
            mPen.x2 = x, mPen.y2 = y;  // the current position: where the next line starts
        return ops.back();
    }
    void addText(float x, float y, const std::string& s, Colour colour, bool boxed, Colour background)
    {
        Op& op = add(Op::Text, x, y);
        op.text = s, op.colour = colour, op.boxed = boxed, op.outline = background;
    }
    Op mPen;
};

inline std::string RecordingCanvas::lines(Colour colour) const
{
    std::string out;
    for (const Op& op : ops)
        if (op.kind == Op::Line && (colour == kAny || op.colour == colour))
            out += (out.empty() ? "" : ", ") + str({op.x2, op.y2}) + " " + str({op.x, op.y});
    return out;
}

inline std::string RecordingCanvas::circles(Colour colour) const
{
    std::string out;
    for (const Op& op : ops)
        if (op.kind == Op::Circle && (colour == kAny || op.colour == colour))
            out += (out.empty() ? "" : ", ") + str({(op.x + op.x2) / 2, (op.y + op.y2) / 2}) + " " +
                   num((op.x2 - op.x) / 2);
    return out;
}

inline int RecordingCanvas::count(Op::Kind kind, Colour colour) const
{
    int n = 0;
    for (const Op& op : ops)
        n += op.kind == kind && (colour == kAny || op.colour == colour);
    return n;
}

inline std::vector<DrawnText> RecordingCanvas::texts(Colour colour) const
{
    std::vector<DrawnText> out;
    bool open = false;  // a text of this colour is being read
    for (std::size_t k = 0; k < ops.size(); ++k) {
        if (ops[k].kind == Op::Pen && (open = ops[k].colour == colour) && (out.empty() || !out.back().text.empty()))
            out.push_back({});
        std::size_t strokes = 0;  // a glyph: a move, then its strokes
        while (open && ops[k].kind == Op::Move && k + strokes + 1 < ops.size() &&
               ops[k + strokes + 1].kind == Op::Line)
            ++strokes;
        if (strokes > 0) {
            const std::size_t n = kTestFontChars.size();
            out.back().text += strokes <= n ? kTestFontChars[strokes - 1] : char(128 + strokes - (n - 1));
            out.back().origins.push_back({ops[k].x, ops[k].y});
        }
    }
    if (!out.empty() && out.back().text.empty())
        out.pop_back();
    return out;
}

inline std::string RecordingCanvas::labels(Colour colour) const
{
    std::string out;
    for (const DrawnText& t : texts(colour))
        out += (out.empty() ? "" : "|") + t.text;
    return out;
}

inline std::vector<std::string> RecordingCanvas::calls() const
{
    std::vector<std::string> out;
    char colour[16];
    for (const Op& op : ops) {
        std::snprintf(colour, sizeof colour, "%06x", op.kind == Op::Text ? op.outline : op.colour);
        switch (op.kind) {
        case Op::Fill: out.push_back("fill " + std::to_string(op.polygon.size())); break;
        case Op::Pen:
            out.push_back(std::string("pen ") + (op.style == PenStyle::Solid ? "solid " : "dotted ") +
                          std::to_string(op.width) + " " + colour);
            break;
        case Op::Invert: out.push_back("invert " + std::to_string(int(op.invert))); break;
        case Op::Move: out.push_back("move " + str({op.x, op.y})); break;
        case Op::Line: out.push_back("line " + str({op.x, op.y})); break;
        case Op::Circle: out.push_back("circle " + str({op.x, op.y}) + " " + str({op.x2, op.y2})); break;
        case Op::Text:
            out.push_back("text " + str({op.x, op.y}) + " " + op.text + (op.boxed ? std::string(" on ") + colour : ""));
            break;
        }
    }
    return out;
}

inline int RecordingCanvas::count(const std::string& call) const
{
    int n = 0;
    for (const std::string& c : calls())
        n += c == call;
    return n;
}

}  // namespace orvex::test
