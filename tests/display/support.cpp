#include "support.h"

#include <cmath>

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

std::vector<std::string> RecordingReporter::texts() const
{
    std::vector<std::string> out;
    for (const Entry& m : messages)
        out.push_back(m.text);
    return out;
}

// --- recording canvas ------------------------------------------------------------

void RecordingCanvas::fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen)
{
    Op op;
    op.kind = Op::Fill;
    op.colour = brush;
    op.outline = pen;
    op.invert = mInvert;
    op.polygon.assign(points, points + count);
    ops.push_back(op);
}

void RecordingCanvas::setPen(PenStyle style, int width, Colour colour)
{
    mStyle = style;
    mWidth = width;
    mColour = colour;
    Op op;
    op.kind = Op::Pen;
    op.colour = colour;
    op.style = style;
    op.width = width;
    op.invert = mInvert;
    ops.push_back(op);
}

void RecordingCanvas::setInvert(bool on)
{
    mInvert = on;
    Op op;
    op.kind = Op::Invert;
    op.invert = on;
    ops.push_back(op);
}

void RecordingCanvas::moveTo(float x, float y)
{
    Op op;
    op.kind = Op::Move;
    op.x = x;
    op.y = y;
    op.colour = mColour;
    op.style = mStyle;
    op.width = mWidth;
    op.invert = mInvert;
    ops.push_back(op);
}

void RecordingCanvas::lineTo(float x, float y)
{
    Op op;
    op.kind = Op::Line;
    op.x = x;
    op.y = y;
    // The line starts at the current position: the last move or line end.
    for (auto it = ops.rbegin(); it != ops.rend(); ++it)
        if (it->kind == Op::Move || it->kind == Op::Line) {
            op.x2 = it->x;
            op.y2 = it->y;
            break;
        }
    op.colour = mColour;
    op.style = mStyle;
    op.width = mWidth;
    op.invert = mInvert;
    ops.push_back(op);
}

void RecordingCanvas::circle(float left, float top, float right, float bottom)
{
    Op op;
    op.kind = Op::Circle;
    op.x = left;
    op.y = top;
    op.x2 = right;
    op.y2 = bottom;
    op.colour = mColour;
    op.style = mStyle;
    op.width = mWidth;
    op.invert = mInvert;
    ops.push_back(op);
}

void RecordingCanvas::text(float x, float y, const std::string& text, Colour colour)
{
    Op op;
    op.kind = Op::Text;
    op.x = x;
    op.y = y;
    op.text = text;
    op.colour = colour;
    ops.push_back(op);
}

std::vector<Segment> RecordingCanvas::lines() const
{
    std::vector<Segment> out;
    for (const Op& op : ops)
        if (op.kind == Op::Line)
            out.push_back({op.x2, op.y2, op.x, op.y, op.colour, op.style, op.invert});
    return out;
}

std::vector<Segment> RecordingCanvas::lines(Colour colour) const
{
    std::vector<Segment> out;
    for (const Segment& s : lines())
        if (s.colour == colour)
            out.push_back(s);
    return out;
}

std::vector<CircleCall> RecordingCanvas::circles() const
{
    std::vector<CircleCall> out;
    for (const Op& op : ops)
        if (op.kind == Op::Circle)
            out.push_back({(op.x + op.x2) / 2, (op.y + op.y2) / 2, (op.x2 - op.x) / 2, op.colour,
                           op.invert});
    return out;
}

std::vector<CircleCall> RecordingCanvas::circles(Colour colour) const
{
    std::vector<CircleCall> out;
    for (const CircleCall& c : circles())
        if (c.colour == colour)
            out.push_back(c);
    return out;
}

std::vector<DrawnText> RecordingCanvas::texts(Colour colour) const
{
    std::vector<DrawnText> out;
    bool open = false;       // a text of this colour is being collected
    int strokes = -1;        // strokes of the glyph being collected, -1 none
    DevicePoint origin{};
    const auto endGlyph = [&] {
        if (strokes >= 0 && open) {
            out.back().text += testFontChar(strokes);
            out.back().origins.push_back(origin);
        }
        strokes = -1;
    };
    for (const Op& op : ops) {
        switch (op.kind) {
        case Op::Pen:
            endGlyph();
            open = op.colour == colour;
            if (open)
                out.push_back(DrawnText{"", {}, colour});
            break;
        case Op::Move:
            endGlyph();
            if (open)
                strokes = 0, origin = {op.x, op.y};
            break;
        case Op::Line:
            if (strokes >= 0)
                ++strokes;
            break;
        default:
            endGlyph();
            break;
        }
    }
    endGlyph();
    std::vector<DrawnText> nonEmpty;
    for (DrawnText& t : out)
        if (!t.text.empty())
            nonEmpty.push_back(t);
    return nonEmpty;
}

std::vector<DevicePoint> RecordingCanvas::glyphOrigins(Colour colour, int strokes) const
{
    std::vector<DevicePoint> out;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (ops[i].kind != Op::Move || ops[i].colour != colour)
            continue;
        int n = 0;
        std::size_t k = i + 1;
        while (k < ops.size() && ops[k].kind == Op::Line) {
            ++n;
            ++k;
        }
        if (n == strokes)
            out.push_back({ops[i].x, ops[i].y});
    }
    return out;
}

bool RecordingCanvas::allFinite() const
{
    for (const Op& op : ops) {
        if (!std::isfinite(op.x) || !std::isfinite(op.y) || !std::isfinite(op.x2) ||
            !std::isfinite(op.y2))
            return false;
        for (const DevicePoint& p : op.polygon)
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                return false;
    }
    return true;
}

// --- test font -------------------------------------------------------------------

namespace {

std::string glyphRecord(const std::string& name, int strokes)
{
    std::string out = name + " " + std::to_string(strokes + 1) + "  0 0 0";
    for (int k = 1; k <= strokes; ++k)
        out += "  " + std::to_string(k) + " 0 1";
    return out + "\n";
}

constexpr int kSymbolBase = 28;  // strokes of symbol 2; symbols 2..7 follow

}  // namespace

std::string testFontText()
{
    std::string text = "decoding font: glyph n draws n strokes\n";
    for (std::size_t i = 0; i < kTestFontChars.size(); ++i)
        text += glyphRecord(std::string(1, kTestFontChars[i]), int(i) + 1);
    for (int m = 2; m <= 7; ++m)
        text += glyphRecord("! " + std::to_string(m), kSymbolBase + m - 2);
    return text;
}

StrokeFont testFont()
{
    StrokeFont font;
    RecordingReporter reporter;
    const bool ok = font.parse(testFontText(), "test font", reporter);
    EXPECT_TRUE(ok) << reporter.all();
    return font;
}

char testFontChar(int strokes)
{
    if (strokes >= 1 && strokes <= int(kTestFontChars.size()))
        return kTestFontChars[std::size_t(strokes - 1)];
    if (strokes >= kSymbolBase && strokes < kSymbolBase + 6)
        return char(128 + 2 + strokes - kSymbolBase);  // the symbol's own character code
    return '?';
}

// --- views and networks ----------------------------------------------------------

std::unique_ptr<PlanView> makeView()
{
    auto view = std::make_unique<PlanView>();
    view->font = testFont();
    view->settings.colours = ColourSlots{kBack, kRoad, kOnline, kUnderline, kNode, kOnNode, kStrong,
                                         kNodeData};
    ViewGeometry& g = view->geo;
    g.scale = 1.0f;
    g.originX = 500;
    g.originY = 500;
    g.clientWidth = 1000;
    g.clientHeight = 1000;
    view->networkLoaded = true;
    return view;
}

int PlanBuilder::node(int number, float x, float y)
{
    PlanData& d = mView.data;
    const int i = ++d.nodeCount;
    d.nodeNumber[std::size_t(i)] = number;
    d.nodeX[std::size_t(i)] = x;
    d.nodeY[std::size_t(i)] = y;
    d.indexOfNumber[std::size_t(number)] = i;
    return i;
}

int PlanBuilder::surface(int number, float x, float y)
{
    EXPECT_EQ(mView.data.surfaceCount, mView.data.nodeCount) << "surface nodes come first";
    const int i = node(number, x, y);
    mView.data.surfaceCount = i;
    return i;
}

int PlanBuilder::underground(int number, float x, float y)
{
    return node(number, x, y);
}

int PlanBuilder::addRoad(int first, int second, float online, std::initializer_list<BendPoint> bends)
{
    PlanData& d = mView.data;
    const int j = d.roadCount + d.fixedCount + 1;
    d.roadFirst[std::size_t(j)] = first;
    d.roadSecond[std::size_t(j)] = second;
    d.onlineValue[std::size_t(j)] = online;
    d.roadBend[std::size_t(j)] = 0;
    if (bends.size() > 0) {
        const int s = d.bendUsed + 1;
        d.roadBend[std::size_t(j)] = s;
        d.bends[std::size_t(s)] = BendSlot{int(bends.size()), 0, 0};
        int k = s;
        for (const BendPoint& p : bends)
            d.bends[std::size_t(++k)] = BendSlot{p.mark, p.x, p.y};
        d.bendUsed = k;
    }
    return j;
}

int PlanBuilder::road(int first, int second, float online, std::initializer_list<BendPoint> bends)
{
    EXPECT_EQ(mView.data.fixedCount, 0) << "normal roads come first";
    const int j = addRoad(first, second, online, bends);
    ++mView.data.roadCount;
    return j;
}

int PlanBuilder::fixedRoad(int first, int second, float online, std::initializer_list<BendPoint> bends)
{
    const int j = addRoad(first, second, online, bends);
    ++mView.data.fixedCount;
    return j;
}

int PlanBuilder::fan(int first, int second)
{
    PlanData& d = mView.data;
    const int f = ++d.fanCount;
    d.fanFirst[std::size_t(f)] = first;
    d.fanSecond[std::size_t(f)] = second;
    return f;
}

DevicePoint expectedDevice(const PlanView& view, double x, double y)
{
    const ViewGeometry& g = view.geo;
    return {float(std::trunc(x * g.scale + g.originX)), float(std::trunc(-y * g.scale + g.originY))};
}

DocFixture::DocFixture()
{
    app.programFolder = kSourceDir;
    readUnitsFile(app.programFolder, app.units, reporter);
    doc = std::make_unique<CBriscoDoc>(app, reporter);
}

::testing::AssertionResult openSampleMine(DocFixture& fixture)
{
    fixture.app.pendingFile = kSourceDir + "/data/mine.vad";
    fixture.app.pending = true;
    MemoryProfile profile;
    if (!openPendingNetwork(*fixture.doc, profile))
        return ::testing::AssertionFailure() << "the sample mine did not open:\n" << fixture.reporter.all();
    return ::testing::AssertionSuccess();
}

}  // namespace orvex::displaytest
