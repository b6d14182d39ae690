#include "support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "model/networkio.h"
#include "model/profile.h"
#include "model/units.h"

namespace orvex::displaytest {

std::string RecordingReporter::all() const
{
    std::string out;
    for (const Entry& m : messages)
        out += "[" + m.caption + "] " + m.text + "\n";
    return out;
}

Op& RecordingCanvas::add(Op::Kind kind, float x, float y)
{
    ops.push_back(mPen);
    ops.back().kind = kind;
    ops.back().x = x;
    ops.back().y = y;
    if (kind == Op::Move || kind == Op::Line)
        mPen.x2 = x, mPen.y2 = y;  // the current position: where the next line starts
    return ops.back();
}

void RecordingCanvas::fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen)
{
    Op& op = add(Op::Fill, 0, 0);
    op.colour = brush;
    op.outline = pen;
    op.polygon.assign(points, points + count);
}

void RecordingCanvas::setPen(PenStyle style, int, Colour colour)
{
    mPen.style = style;
    mPen.colour = colour;
    add(Op::Pen, 0, 0);
}

void RecordingCanvas::setInvert(bool on)
{
    mPen.invert = on;
    add(Op::Invert, 0, 0);
}

void RecordingCanvas::moveTo(float x, float y) { add(Op::Move, x, y); }
void RecordingCanvas::lineTo(float x, float y) { add(Op::Line, x, y); }

void RecordingCanvas::circle(float left, float top, float right, float bottom)
{
    Op& op = add(Op::Circle, left, top);
    op.x2 = right;
    op.y2 = bottom;
}

namespace {

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v == 0 ? 0.0 : v);
    return text;
}

}  // namespace

std::string RecordingCanvas::lines(Colour colour) const
{
    std::string out;
    for (const Op& op : ops)
        if (op.kind == Op::Line && (colour == kAny || op.colour == colour))
            out += (out.empty() ? "" : ", ") + str({op.x2, op.y2}) + " " + str({op.x, op.y});
    return out;
}

std::string RecordingCanvas::circles(Colour colour) const
{
    std::string out;
    for (const Op& op : ops)
        if (op.kind == Op::Circle && (colour == kAny || op.colour == colour))
            out += (out.empty() ? "" : ", ") + str({(op.x + op.x2) / 2, (op.y + op.y2) / 2}) + " " +
                   number((op.x2 - op.x) / 2);
    return out;
}

int RecordingCanvas::count(Op::Kind kind, Colour colour) const
{
    int n = 0;
    for (const Op& op : ops)
        n += op.kind == kind && (colour == kAny || op.colour == colour);
    return n;
}

std::vector<DrawnText> RecordingCanvas::texts(Colour colour) const
{
    std::vector<DrawnText> out;
    bool open = false;  // a text of this colour is being read
    for (std::size_t k = 0; k < ops.size(); ++k) {
        if (ops[k].kind == Op::Pen) {
            open = ops[k].colour == colour;
            if (open)
                out.push_back({});
        }
        if (ops[k].kind != Op::Move || !open)
            continue;
        std::size_t strokes = 0;  // a glyph: a move, then its strokes
        while (k + strokes + 1 < ops.size() && ops[k + strokes + 1].kind == Op::Line)
            ++strokes;
        if (strokes > 0) {
            const std::size_t n = kTestFontChars.size();
            out.back().text += strokes <= n ? kTestFontChars[strokes - 1] : char(128 + strokes - (n - 1));
            out.back().origins.push_back({ops[k].x, ops[k].y});
        }
    }
    std::vector<DrawnText> drawn;
    for (const DrawnText& t : out)
        if (!t.text.empty())
            drawn.push_back(t);
    return drawn;
}

std::string RecordingCanvas::labels(Colour colour) const
{
    std::string out;
    for (const DrawnText& t : texts(colour))
        out += (out.empty() ? "" : "|") + t.text;
    return out;
}

bool RecordingCanvas::allFinite() const
{
    bool finite = true;
    for (const Op& op : ops) {
        finite = finite && std::isfinite(op.x) && std::isfinite(op.y) && std::isfinite(op.x2) && std::isfinite(op.y2);
        for (const DevicePoint& p : op.polygon)
            finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
    }
    return finite;
}

std::unique_ptr<PlanView> makeView()
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

void addNode(PlanView& view, int number, float x, float y, bool surface)
{
    PlanData& d = view.data;
    const int i = ++d.nodeCount;
    d.nodeNumber[std::size_t(i)] = number;
    d.nodeX[std::size_t(i)] = x;
    d.nodeY[std::size_t(i)] = y;
    d.indexOfNumber[std::size_t(number)] = i;
    d.surfaceCount += surface;
}

void addRoad(PlanView& view, int a, int b, float online, std::vector<Bend> bends, bool fixedFlow)
{
    PlanData& d = view.data;
    const std::size_t j = std::size_t(d.roadCount + d.fixedCount + 1);
    (fixedFlow ? d.fixedCount : d.roadCount)++;
    d.roadFirst[j] = a;
    d.roadSecond[j] = b;
    d.onlineValue[j] = online;
    d.roadBend[j] = bends.empty() ? 0 : d.bendUsed + 1;
    if (!bends.empty())
        d.bends[std::size_t(++d.bendUsed)] = BendSlot{int(bends.size()), 0, 0};
    for (const Bend& p : bends)
        d.bends[std::size_t(++d.bendUsed)] = BendSlot{p.mark, p.x, p.y};
}

void addFan(PlanView& view, int a, int b)
{
    const std::size_t f = std::size_t(++view.data.fanCount);
    view.data.fanFirst[f] = a;
    view.data.fanSecond[f] = b;
}

DevicePoint expectedDevice(const PlanView& view, double x, double y)
{
    const ViewGeometry& g = view.geo;
    return {float(std::trunc(x * g.scale + g.originX)), float(std::trunc(-y * g.scale + g.originY))};
}

std::string str(DevicePoint p)
{
    return number(p.x) + " " + number(p.y);
}

::testing::AssertionResult nearly(const std::string& actual, const std::string& expected, double tolerance)
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

SampleMine::SampleMine(const std::string& file)
{
    app.programFolder = kSourceDir;
    readUnitsFile(app.programFolder, app.units, reporter);
    doc = std::make_unique<CBriscoDoc>(app, reporter);
    app.pendingFile = file;
    app.pending = true;
    MemoryProfile profile;
    opened = openPendingNetwork(*doc, profile);
}

}  // namespace orvex::displaytest
