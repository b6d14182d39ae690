#include "planimage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include "view/qpaintercanvas.h"
#include "display/planview.h"
#include "model/fileio.h"
#include "planlegend.h"
#include "report.h"

namespace orvex::cli {

namespace {

// Stroke font metrics, in character sizes: the advance from one character
// to the next, the width of the last glyph and the height of a capital.
constexpr float kAdvance = 0.55f;
constexpr float kLastGlyph = 0.4f;
constexpr float kCapHeight = 0.75f;

// The smallest character size of the plan's labels, pixels: a share of the
// image's shorter side, so that the image reads the same at any size once
// scaled to the page, and never below a size the strokes can be told apart.
constexpr float kLegibleShare = 0.012f;
constexpr float kLegibleMinimum = 9.0f;

float textWidth(const std::string& text, float size)
{
    return text.empty() ? 0.0f : (float(text.size() - 1) * kAdvance + kLastGlyph) * size;
}

std::string fixed(double value, int digits)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(digits, 0, 7), value);
    return text;
}

// --- where things go -----------------------------------------------------------

struct Box {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;
    void add(float x, float y, float halfWidth, float halfHeight)
    {
        if (empty) {
            minX = x - halfWidth, maxX = x + halfWidth, minY = y - halfHeight, maxY = y + halfHeight;
            empty = false;
            return;
        }
        minX = std::min(minX, x - halfWidth), maxX = std::max(maxX, x + halfWidth);
        minY = std::min(minY, y - halfHeight), maxY = std::max(maxY, y + halfHeight);
    }
};

// A fan's two label lines, their centre and half extents, world units.
struct FanLabel {
    std::string flow, pressure;
    float x = 0, y = 0, halfWidth = 0, halfHeight = 0;
};

float distanceToSegment(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax, dy = by - ay;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Calls visit(x0, y0, x1, y1) for every straight piece of every road.
template <typename Visit>
void forEachRoadPiece(const PlanData& d, Visit visit)
{
    for (int j = 1; j <= d.roadCount + d.fixedCount; ++j) {
        const int a = d.nodeIndex(d.roadFirst[j]), b = d.nodeIndex(d.roadSecond[j]);
        if (!a || !b)
            continue;
        const int s = d.roadBend[j];
        const int n = s >= 1 && s < kMaxBendSlots ? std::clamp(d.bends[s].mark, 0, kMaxBendSlots - 1 - s) : 0;
        float x = d.nodeX[a], y = d.nodeY[a];
        for (int k = 1; k <= n + 1; ++k) {
            const float nx = k == n + 1 ? d.nodeX[b] : d.bends[s + k].x;
            const float ny = k == n + 1 ? d.nodeY[b] : d.bends[s + k].y;
            visit(x, y, nx, ny);
            x = nx, y = ny;
        }
    }
}

// Beside each fan, on the side of its symbol with more room: the airflow
// over the pressure, written level.
std::vector<FanLabel> placeFanLabels(const PlanView& view, const CBriscoDoc& doc,
                                     const UnitLabels& u, int digits)
{
    const PlanData& d = view.data;
    const float r = view.geo.nodeRadius, c = view.geo.charSize;
    std::vector<FanLabel> labels;
    for (int f = 1; f <= d.fanCount && f <= doc.fanCount; ++f) {
        const int a = d.nodeIndex(d.fanFirst[f]), b = d.nodeIndex(d.fanSecond[f]);
        if (!a || !b)
            continue;
        FanLabel label;
        label.flow = fixed(doc.fans[f].fanFlow, digits) + " " + u.flow;
        label.pressure = fixed(doc.fans[f].pressure, digits) + " " + u.pressure;
        label.halfWidth = std::max(textWidth(label.flow, c), textWidth(label.pressure, c)) / 2;
        label.halfHeight = (1.2f + kCapHeight) * c / 2;

        const float ax = d.nodeX[a], ay = d.nodeY[a], bx = d.nodeX[b], by = d.nodeY[b];
        const float length = std::hypot(bx - ax, by - ay);
        const float dx = length > 0 ? (bx - ax) / length : 1.0f, dy = length > 0 ? (by - ay) / length : 0.0f;
        const float nx = -dy, ny = dx;
        const float mx = length > 2 * r ? (ax + bx) / 2 : ax + 2 * r * dx;
        const float my = length > 2 * r ? (ay + by) / 2 : ay + 2 * r * dy;
        const float reach = r + label.halfWidth * std::fabs(nx) + label.halfHeight * std::fabs(ny) + 0.35f * c;

        float bestRoom = -1;
        for (const float side : {1.0f, -1.0f}) {
            const float x = mx + side * reach * nx, y = my + side * reach * ny;
            float room = 1e30f;
            forEachRoadPiece(d, [&](float x0, float y0, float x1, float y1) {
                room = std::min(room, distanceToSegment(x, y, x0, y0, x1, y1));
            });
            for (int i = 1; i <= d.nodeCount; ++i)
                room = std::min(room, std::hypot(x - d.nodeX[i], y - d.nodeY[i]));
            if (room > bestRoom + 1e-3f || (std::fabs(room - bestRoom) <= 1e-3f && y > label.y)) {
                bestRoom = room;
                label.x = x, label.y = y;
            }
        }
        labels.push_back(label);
    }
    return labels;
}

// What the plan draws, world units: nodes with their labels, bending points
// with their symbols, and the fan labels.
Box planExtent(const PlanView& view, const std::vector<FanLabel>& fanLabels)
{
    const PlanData& d = view.data;
    const float r = view.geo.nodeRadius, c = view.geo.charSize;
    const int k = view.settings.nodeKind;
    Box box;
    for (int i = 1; i <= d.nodeCount; ++i) {
        float halfWidth = 1.15f * r;
        float top = 1.15f * r, bottom = 1.15f * r;
        if (k >= 2 && k < kNodeKinds) {
            const std::string value = "[" + fixed(d.nodeValue[i], view.settings.nodeDigits) + "]";
            halfWidth = std::max(halfWidth, textWidth(value, c) / 2);
            top = std::max(top, r + 0.45f * c);
            bottom = std::max(bottom, 0.875f * r + 0.3f * c);
        }
        box.add(d.nodeX[i], d.nodeY[i] + (top - bottom) / 2, halfWidth, (top + bottom) / 2);
    }
    forEachRoadPiece(d, [&](float, float, float x1, float y1) { box.add(x1, y1, 0.5f * c, 0.5f * c); });
    for (const FanLabel& label : fanLabels)
        box.add(label.x, label.y, label.halfWidth, label.halfHeight);
    return box;
}

// Writes stroke text at whole-pixel positions and sizes: the view's
// geometry is set to one pixel per world unit while it lives.
class PixelText {
public:
    explicit PixelText(PlanView& view) : mView(view), mKept(view.geo)
    {
        ViewGeometry& g = mView.geo;
        g.scale = 1, g.originX = g.originY = 0;
        g.pageDragX = g.pageDragY = g.pageCornerX = g.pageCornerY = 0;
    }
    ~PixelText() { mView.geo = mKept; }
    PixelText(const PixelText&) = delete;
    PixelText& operator=(const PixelText&) = delete;

    void write(Canvas& canvas, const std::string& text, float left, float baseline, float size)
    {
        mView.geo.charSize = size;
        mView.drawTextFrom(canvas, text, left, -baseline, 1, 0);
    }

private:
    PlanView& mView;
    ViewGeometry mKept;
};

// The image's canvas for the colour legend: its texts in the stroke font,
// as every text of the image, at one size.
class StrokeTextCanvas : public Canvas {
public:
    StrokeTextCanvas(Canvas& inner, PixelText& text, float size) : mInner(inner), mText(text), mSize(size) {}
    void fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen) override
    {
        mInner.fillPolygon(points, count, brush, pen);
    }
    void setPen(PenStyle style, int width, Colour colour) override { mInner.setPen(style, width, colour); }
    void setInvert(bool on) override { mInner.setInvert(on); }
    void moveTo(float x, float y) override { mInner.moveTo(x, y); }
    void lineTo(float x, float y) override { mInner.lineTo(x, y); }
    void circle(float left, float top, float right, float bottom) override { mInner.circle(left, top, right, bottom); }
    void text(float x, float y, const std::string& text, Colour colour) override
    {
        mInner.setPen(PenStyle::Solid, 1, colour);
        mText.write(mInner, text, x, y + kCapHeight * mSize, mSize);
    }
    void textOnBackground(float x, float y, const std::string& text, Colour colour, Colour) override
    {
        this->text(x, y, text, colour);
    }
    float textWidth(const std::string& text) const override { return orvex::cli::textWidth(text, mSize); }
    float textHeight() const override { return 1.4f * mSize; }

private:
    Canvas& mInner;
    PixelText& mText;
    float mSize;
};

// The image: title band, plan area and legend, pixels.
struct Layout {
    float shorterSide = 0;
    float margin = 0;
    std::string title;
    float titleSize = 0, titleBaseline = 0;
    float legendSize = 0, legendTop = 0;
    std::vector<std::vector<std::size_t>> legendLines;  // entry indexes per line
    float planLeft = 0, planTop = 0, planRight = 0, planBottom = 0;
};

float symbolWidth(const LegendEntry& e, float size) { return e.symbol == Symbol::None ? 0 : 2.6f * size; }

Layout layOut(int width, int height, std::string title, const std::vector<LegendEntry>& legend)
{
    Layout l;
    const float w = float(width), h = float(height);
    l.shorterSide = std::min(w, h);
    l.margin = std::max(6.0f, std::round(0.015f * std::min(w, h)));
    const float room = w - 2 * l.margin;

    l.titleSize = std::clamp(std::round(0.03f * h), 10.0f, 40.0f);
    if (textWidth(title, l.titleSize) > room)
        l.titleSize = std::max(6.0f, std::floor(room / textWidth(title, 1)));
    l.title = fittedTitle(std::move(title), l.titleSize, room);
    l.titleBaseline = l.margin + kCapHeight * l.titleSize;

    l.legendSize = std::min(l.titleSize * 0.75f, std::clamp(std::round(0.018f * h), 8.0f, 22.0f));
    const float gap = 2.5f * l.legendSize;
    float x = 0;
    for (std::size_t i = 0; i < legend.size(); ++i) {
        const float entry = symbolWidth(legend[i], l.legendSize) + textWidth(legend[i].text, l.legendSize);
        if (l.legendLines.empty() || (x > 0 && x + gap + entry > room)) {
            l.legendLines.emplace_back();
            x = 0;
        } else if (x > 0) {
            x += gap;
        }
        l.legendLines.back().push_back(i);
        x += entry;
    }
    const float lineHeight = 1.6f * l.legendSize;
    const float lastBaseline = h - l.margin - 0.25f * l.legendSize;
    const float firstBaseline = lastBaseline - float(l.legendLines.size() - 1) * lineHeight;
    l.legendTop = firstBaseline - kCapHeight * l.legendSize;

    l.planLeft = l.margin;
    l.planRight = w - l.margin;
    l.planTop = l.titleBaseline + 0.3f * l.titleSize + 0.8f * l.titleSize;
    l.planBottom = std::max(l.planTop + 1, l.legendTop - 1.5f * l.legendSize);
    return l;
}

// Fits the extent into the plan area and centres it there.
void fitAndCentre(ViewGeometry& g, const Box& box, const Layout& l)
{
    const float areaWidth = l.planRight - l.planLeft, areaHeight = l.planBottom - l.planTop;
    const float boxWidth = box.maxX - box.minX, boxHeight = box.maxY - box.minY;
    float scale = g.scale;
    if (boxWidth > 0 && boxHeight > 0)
        scale = std::min(areaWidth / boxWidth, areaHeight / boxHeight);
    else if (boxWidth > 0)
        scale = areaWidth / boxWidth;
    else if (boxHeight > 0)
        scale = areaHeight / boxHeight;
    g.scale = std::clamp(scale, kMinScale, kMaxScale);
    g.originX = std::round((l.planLeft + l.planRight) / 2 - g.scale * (box.minX + box.maxX) / 2);
    g.originY = std::round((l.planTop + l.planBottom) / 2 + g.scale * (box.minY + box.maxY) / 2);
    g.scrollX = g.scrollY = 0;
    g.pageDragX = g.pageDragY = g.pageCornerX = g.pageCornerY = 0;
    g.drawAll = true;  // the image shows the whole plan
}

// The window's character size and node radius are world units, so labels
// shrink with a plan fitted into an image. Where they would come out
// smaller than can be read, both grow by one factor to that size, but never
// so far that a label of five characters takes more than half of a typical
// road piece (the median length): a dense plan stays a plan.
void growLabelsToLegible(ViewGeometry& g, const PlanData& d, const Layout& l)
{
    const float wanted = legibleLabelSize(l.shorterSide);
    const float drawn = g.charSize * g.scale;
    if (drawn >= wanted || drawn <= 0)
        return;
    std::vector<float> lengths;
    forEachRoadPiece(d, [&](float x0, float y0, float x1, float y1) {
        lengths.push_back(std::hypot(x1 - x0, y1 - y0));
    });
    float factor = wanted / drawn;
    if (!lengths.empty()) {
        std::nth_element(lengths.begin(), lengths.begin() + lengths.size() / 2, lengths.end());
        const float typical = lengths[lengths.size() / 2];
        factor = std::min(factor, typical / 2 / textWidth("12345", g.charSize));
    }
    if (factor > 1) {
        g.charSize *= factor;
        g.nodeRadius *= factor;
    }
}

void fillBand(Canvas& canvas, float top, float bottom, float width, Colour colour)
{
    const DevicePoint band[4] = {{0, top}, {width, top}, {width, bottom}, {0, bottom}};
    canvas.fillPolygon(band, 4, colour, colour);
}

void drawLegend(Canvas& canvas, PixelText& text, const Layout& l,
                const std::vector<LegendEntry>& legend)
{
    const float size = l.legendSize, gap = 2.5f * size;
    float baseline = l.legendTop + kCapHeight * size;
    for (const std::vector<std::size_t>& line : l.legendLines) {
        float x = l.margin;
        for (const std::size_t i : line) {
            const LegendEntry& e = legend[i];
            const float mid = baseline - 0.5f * kCapHeight * size;
            if (e.symbol == Symbol::SurfaceNode) {
                canvas.setPen(PenStyle::Solid, 1, e.colour);
                const float cx = x + 1.0f * size, r = 0.55f * size;
                canvas.circle(cx - r, mid - r, cx + r, mid + r);
                canvas.circle(cx - 1.15f * r, mid - 1.15f * r, cx + 1.15f * r, mid + 1.15f * r);
            } else if (e.symbol == Symbol::FixedRoad) {
                canvas.setPen(PenStyle::Dotted, 1, e.colour);
                canvas.moveTo(std::round(x), std::round(mid));
                canvas.lineTo(std::round(x + 2.0f * size), std::round(mid));
            }
            x += symbolWidth(e, size);
            canvas.setPen(PenStyle::Solid, 1, e.colour);
            text.write(canvas, e.text, x, baseline, size);
            x += textWidth(e.text, size) + gap;
        }
        baseline += 1.6f * size;
    }
}

void preparePlan(PlanView& view, CBriscoDoc& doc, const PlanOptions& options, Reporter& reporter)
{
    view.font.load(doc.app().programFolder, reporter);
    view.settings.onlineKind = options.aboveKind;
    view.settings.underlineKind = options.belowKind;
    view.settings.nodeKind = options.nodeKind;
    view.settings.onlineDigits = view.settings.underlineDigits = view.settings.nodeDigits = options.digits;
    view.settings.look = options.look;
    if (options.printColours) {
        view.settings.colours.back = rgb(255, 255, 255);
        usePrintColours(view.settings.colours, view.settings.print);
    }
    view.geo.clientWidth = options.width;
    view.geo.clientHeight = options.height;
    view.networkLoaded = true;
    view.update(doc);
}

// Draws the whole image onto the canvas.
void drawImage(PlanView& view, CBriscoDoc& doc, const PlanOptions& options, Canvas& canvas)
{
    const UnitsSettings& units = doc.app().units;
    const UnitLabels u{units.flowUnitName.str(), units.pressureUnitName.str(),
                       units.resistanceUnitName.str(), doc.isWater(),
                       doc.isWater() ? "flow" : "airflow"};
    const int fans = std::min(view.data.fanCount, doc.fanCount);
    const std::vector<LegendEntry> legend = legendOf(view, u, fans);
    const Layout layout = layOut(options.width, options.height, networkHeading(doc), legend);
    fitAndCentre(view.geo, planExtent(view, {}), layout);
    growLabelsToLegible(view.geo, view.data, layout);
    if (view.settings.look.screenLabels)
        view.settings.look.labelPixels = int(std::lround(legibleLabelSize(layout.shorterSide)));
    const std::vector<FanLabel> fanLabels = placeFanLabels(view, doc, u, options.digits);
    fitAndCentre(view.geo, planExtent(view, fanLabels), layout);

    view.paint(canvas);
    const ColourSlots& c = view.settings.colours;
    canvas.setPen(PenStyle::Solid, 1, c.underline);
    const float ch = view.geo.charSize;
    for (const FanLabel& label : fanLabels) {
        // Two lines 1.2 characters apart, their capitals to their baseline centred on the label.
        view.drawTextCentred(canvas, label.flow, label.x, label.y + 0.225f * ch, 1, 0);
        view.drawTextCentred(canvas, label.pressure, label.x, label.y - 0.975f * ch, 1, 0);
    }

    // Title and legend stand on bands of their own.
    const float width = float(options.width);
    fillBand(canvas, 0, layout.planTop - 1, width, c.back);
    fillBand(canvas, layout.planBottom + 1, float(options.height), width, c.back);
    PixelText text(view);
    canvas.setPen(PenStyle::Solid, 1, c.onnode);
    text.write(canvas, layout.title, layout.margin, layout.titleBaseline, layout.titleSize);
    drawLegend(canvas, text, layout, legend);
    StrokeTextCanvas legendCanvas(canvas, text, layout.legendSize);
    view.drawColourLegends(legendCanvas, layout.margin, layout.planBottom - 4, c.onnode, c.back);
}

}  // namespace

std::string writePlanImage(CBriscoDoc& doc, const PlanOptions& options, const std::string& path,
                           Reporter& reporter)
{
    auto view = std::make_unique<PlanView>();
    preparePlan(*view, doc, options, reporter);
    if (!view->font.hasGlyph('0'))
        return "the stroke font " + doc.app().programFolder + "/sdt/gslft.sdt has no digits to draw with";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    bool drawn = buffer.open(QIODevice::WriteOnly);
    if (drawn && planFormatOf(path) == PlanFormat::Pdf) {
        QPdfWriter writer(&buffer);
        writer.setResolution(96);
        writer.setPageSize(QPageSize(QSizeF(options.width, options.height), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        drawn = painter.begin(&writer);
        if (drawn) {
            painter.scale(double(writer.width()) / options.width, double(writer.height()) / options.height);
            QPainterCanvas canvas(painter);
            drawImage(*view, doc, options, canvas);
            canvas.flush();
            drawn = painter.end();
        }
    } else if (drawn) {
        QImage image(options.width, options.height, QImage::Format_RGB32);
        drawn = !image.isNull();
        if (drawn) {
            QPainter painter(&image);
            QPainterCanvas canvas(painter);
            drawImage(*view, doc, options, canvas);
        }
        drawn = drawn && image.save(&buffer, "PNG");
    }
    buffer.close();
    if (!drawn)
        return "the image could not be drawn (" + std::to_string(options.width) + "x" +
               std::to_string(options.height) + " pixels)";
    std::error_code error;
    if (!writeFileSafely(path, bytes.toStdString(), error))
        return failureReason(error);
    return {};
}

float legibleLabelSize(float shorterSide)
{
    return std::max(kLegibleMinimum, kLegibleShare * shorterSide);
}

std::string fittedTitle(std::string title, float size, float room)
{
    while (title.size() > 4 && textWidth(title, size) > room)
        title = title.substr(0, title.size() - 4) + "...";
    return title;
}

}  // namespace orvex::cli
