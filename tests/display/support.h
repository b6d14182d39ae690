#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/planview.h"
#include "model/appcontext.h"
#include "model/networkio.h"
#include "model/profile.h"
#include "model/units.h"

namespace orvex::displaytest {

struct RecordingReporter : Reporter {  // nothing here asks a question
    void message(const std::string& text, const std::string& caption, MessageKind) override
    {
        messages.push_back("[" + caption + "] " + text + "\n");
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
    std::string all() const
    {
        std::string out;
        for (const std::string& m : messages)
            out += m;
        return out;
    }
    std::vector<std::string> messages;  // "[caption] text\n" each
};

inline std::string num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v == 0 ? 0.0 : v);
    return text;
}
inline std::string str(DevicePoint p) { return num(p.x) + " " + num(p.y); }  // "x y"

// The test font: the glyph of kTestFontChars[n - 1] (and of symbol m, as
// n = 26 + m) moves to its origin and draws n strokes of 1 unit along x;
// "G" is (0, 0) → (10, 20).
inline const std::string kTestFontChars = "0123456789-.()[]#ROADWYNME_";

// Every canvas call in order, with the pen and the inverting mode in force.
struct Op {
    enum Kind { Move, Line, Circle, Fill, Pen, Invert } kind = Move;
    float x = 0, y = 0, x2 = 0, y2 = 0;  // Line: from (x2, y2) to (x, y); Circle: its box
    Colour colour = 0, outline = 0;      // the pen's (Fill: the brush) and a polygon's outline
    PenStyle style = PenStyle::Solid;
    bool invert = false;
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
    void setPen(PenStyle style, int, Colour colour) override { mPen.style = style, mPen.colour = colour, add(Op::Pen, 0, 0); }
    void setInvert(bool on) override { mPen.invert = on, add(Op::Invert, 0, 0); }
    void moveTo(float x, float y) override { add(Op::Move, x, y); }
    void lineTo(float x, float y) override { add(Op::Line, x, y); }
    void circle(float left, float top, float right, float bottom) override
    {
        add(Op::Circle, left, top).x2 = right, ops.back().y2 = bottom;
    }
    void text(float, float, const std::string&, Colour) override {}
    void textOnBackground(float, float, const std::string&, Colour, Colour) override {}

    // "x0 y0 x1 y1, ..." of the lines and "cx cy r, ..." of the circles of a colour, in order.
    std::string lines(Colour colour = kAny) const
    {
        std::string out;
        for (const Op& op : ops)
            if (op.kind == Op::Line && (colour == kAny || op.colour == colour))
                out += (out.empty() ? "" : ", ") + str({op.x2, op.y2}) + " " + str({op.x, op.y});
        return out;
    }
    std::string circles(Colour colour = kAny) const
    {
        std::string out;
        for (const Op& op : ops)
            if (op.kind == Op::Circle && (colour == kAny || op.colour == colour))
                out += (out.empty() ? "" : ", ") + str({(op.x + op.x2) / 2, (op.y + op.y2) / 2}) + " " + num((op.x2 - op.x) / 2);
        return out;
    }
    int count(Op::Kind kind, Colour colour = kAny) const
    {
        int n = 0;
        for (const Op& op : ops)
            n += op.kind == kind && (colour == kAny || op.colour == colour);
        return n;
    }
    // The texts drawn in the test font in a colour (each pen selection starts one), and them joined by "|".
    std::vector<DrawnText> texts(Colour colour) const
    {
        std::vector<DrawnText> out;
        bool open = false;  // a text of this colour is being read
        for (std::size_t k = 0; k < ops.size(); ++k) {
            if (ops[k].kind == Op::Pen && (open = ops[k].colour == colour) && (out.empty() || !out.back().text.empty()))
                out.push_back({});
            std::size_t strokes = 0;  // a glyph: a move, then its strokes
            while (open && ops[k].kind == Op::Move && k + strokes + 1 < ops.size() && ops[k + strokes + 1].kind == Op::Line)
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
    std::string labels(Colour colour) const
    {
        std::string out;
        for (const DrawnText& t : texts(colour))
            out += (out.empty() ? "" : "|") + t.text;
        return out;
    }
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
    Op mPen;
};

inline constexpr Colour kBack = rgb(0, 0, 128), kRoad = rgb(200, 200, 200), kOnline = rgb(0, 255, 0),
                        kUnderline = rgb(255, 255, 0), kNode = rgb(255, 0, 255), kOnNode = rgb(0, 255, 255),
                        kStrong = rgb(255, 0, 0), kNodeData = rgb(255, 128, 0);

// A view with the test font and the colours above at scale 1, world (0, 0)
// at device (500, 500), so world (x, y) at device (500 + x, 500 − y); client
// area 1000 × 1000, node radius 8, character size 10; its network is filled
// by hand with the functions below (surface nodes and normal roads first).
inline std::unique_ptr<PlanView> makeView()
{
    std::string font = "decoding font: glyph n draws n strokes\nG 2 0 0 0 10 20 1\n";
    for (std::size_t n = 1; n <= kTestFontChars.size() + 6; ++n) {
        const std::size_t m = n + 1 - kTestFontChars.size();  // the symbols after the characters
        font += (n <= kTestFontChars.size() ? std::string(1, kTestFontChars[n - 1]) : "! " + std::to_string(m)) + " " +
                std::to_string(n + 1) + "  0 0 0";
        for (std::size_t k = 1; k <= n; ++k)
            font += "  " + std::to_string(k) + " 0 1";
        font += "\n";
    }
    auto view = std::make_unique<PlanView>();
    RecordingReporter reporter;
    EXPECT_TRUE(view->font.parse(font, "test font", reporter)) << reporter.all();
    view->settings.colours = ColourSlots{kBack, kRoad, kOnline, kUnderline, kNode, kOnNode, kStrong, kNodeData};
    view->geo.originX = view->geo.originY = 500;
    view->geo.clientWidth = view->geo.clientHeight = 1000;
    view->networkLoaded = true;
    return view;
}

inline void addNode(PlanView& view, int number, float x, float y, bool surface = false)
{
    PlanData& d = view.data;
    const std::size_t i = std::size_t(++d.nodeCount);
    d.nodeNumber[i] = number, d.nodeX[i] = x, d.nodeY[i] = y;
    d.indexOfNumber[std::size_t(number)] = int(i);
    d.surfaceCount += surface;
}

struct Bend {
    float x, y;
    int mark;
};
inline void addRoad(PlanView& view, int a, int b, float online = 0, std::vector<Bend> bends = {}, bool fixedFlow = false)
{
    PlanData& d = view.data;
    const std::size_t j = std::size_t(d.roadCount + d.fixedCount + 1);
    (fixedFlow ? d.fixedCount : d.roadCount)++;
    d.roadFirst[j] = a, d.roadSecond[j] = b, d.onlineValue[j] = online;
    d.roadBend[j] = bends.empty() ? 0 : d.bendUsed + 1;
    if (!bends.empty())
        d.bends[std::size_t(++d.bendUsed)] = BendSlot{int(bends.size()), 0, 0};
    for (const Bend& p : bends)
        d.bends[std::size_t(++d.bendUsed)] = BendSlot{p.mark, p.x, p.y};
}

inline void addFan(PlanView& view, int a, int b)
{
    const std::size_t f = std::size_t(++view.data.fanCount);
    view.data.fanFirst[f] = a, view.data.fanSecond[f] = b;
}

// The same text with every number within `tolerance` of the expected one.
inline ::testing::AssertionResult nearly(const std::string& actual, const std::string& expected, double tolerance = 1.0)
{
    const char *a = actual.c_str(), *e = expected.c_str();
    while (*a != 0 && *e != 0) {
        char *aEnd = nullptr, *eEnd = nullptr;
        const double u = std::strtod(a, &aEnd), v = std::strtod(e, &eEnd);
        if (aEnd == a || eEnd == e) {  // no number here: the characters must agree
            if (*a++ != *e++)
                break;
        } else if (std::fabs(u - v) > tolerance) {
            break;
        } else {
            a = aEnd, e = eEnd;
        }
    }
    if (*a == 0 && *e == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << actual << "\" is not near \"" << expected << "\"";
}

inline const std::string kSourceDir = ORVEX_SOURCE_DIR;

// A network opened as a new window opens it (units first), the sample mine
// unless told otherwise; `opened` is false, with the messages, when it failed.
struct SampleMine {
    explicit SampleMine(const std::string& file = kSourceDir + "/data/mine.vad")
    {
        app.programFolder = kSourceDir;
        readUnitsFile(app.programFolder, app.units, reporter);
        doc = std::make_unique<CBriscoDoc>(app, reporter);
        app.pendingFile = file;
        app.pending = true;
        MemoryProfile profile;
        opened = openPendingNetwork(*doc, profile);
    }
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
    bool opened = false;
};

}  // namespace orvex::displaytest
