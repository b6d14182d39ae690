// Layout and drawing of the fan curve plot.
#include "curveplot.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace orvex::vistrel {

// --- colours and scales ----------------------------------------------------------

QColor fanColour(int index)
{
    static const QColor kPalette[] = {
        QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
        QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
        QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf), QColor(0xbc, 0xbd, 0x22),
        QColor(0x40, 0x40, 0x40),
    };
    constexpr int kHandPicked = int(std::size(kPalette));
    if (index >= 0 && index < kHandPicked)
        return kPalette[index];
    // Golden-angle hues never come back to the same hue; three brightnesses
    // and two saturations keep neighbours on the wheel apart. The start hue
    // keeps the first 49 fans at least 60 (summed over red, green and blue)
    // from each other and from the hand-picked ones.
    const int k = std::max(index - kHandPicked, 0);
    const double hue = std::fmod(210.0 + k * 137.50776, 360.0);
    static const float kValues[] = {0.90f, 0.50f, 0.70f};
    static const float kSaturations[] = {1.0f, 0.70f};
    return QColor::fromHsvF(float(hue / 360.0), kSaturations[k % 2], kValues[k % 3]);
}

std::vector<double> AxisScale::ticks() const
{
    constexpr int kMostTicks = 100;  // a guard against a step lost in rounding
    std::vector<double> values;
    const int count = int(std::lround((max - min) / step));
    for (int i = 0; i <= count && i <= kMostTicks; ++i)
        values.push_back(min + i * step);
    return values;
}

QString AxisScale::label(double value) const
{
    if (std::fabs(value) < step * 1e-6)
        value = 0;  // never "-0"
    return QString::number(value, 'f', decimals);
}

AxisScale niceScale(double low, double high, int targetTicks)
{
    AxisScale s;
    if (!std::isfinite(low) || !std::isfinite(high) || !std::isfinite(high - low)) {
        low = 0;
        high = 1;
    }
    if (high < low)
        std::swap(low, high);
    if (high - low <= std::fabs(high) * 1e-9) {  // one value: a range around it
        const double pad = high == 0 ? 1 : std::fabs(high) * 0.1;
        low -= low == 0 ? 0 : pad;
        high += pad;
    }
    const double raw = (high - low) / std::max(targetTicks, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double normalised = raw / magnitude;
    const double factor = normalised < 1.5 ? 1 : normalised < 3 ? 2 : normalised < 7 ? 5 : 10;
    s.step = factor * magnitude;
    s.min = std::floor(low / s.step + 1e-9) * s.step;
    s.max = std::ceil(high / s.step - 1e-9) * s.step;
    s.decimals = s.step >= 1 ? 0 : int(std::ceil(-std::log10(s.step) - 1e-9));
    if (!(std::isfinite(s.step) && s.step > 0 && s.max > s.min))
        s = AxisScale{};  // a range too small for round ticks: 0..1
    return s;
}

// --- layout -------------------------------------------------------------------------

QFont plotFont()
{
    QFont font;
    font.setPixelSize(12);
    return font;
}

QFont titleFont()
{
    QFont font;
    font.setPixelSize(15);
    font.setBold(true);
    return font;
}

namespace {

constexpr double kMargin = 14;       // px round the plot
constexpr double kTickLength = 5;    // px, outwards from the frame
constexpr double kMarkerRadius = 3.5;
constexpr double kSwatchWidth = 30;  // px of curve sample in a legend entry
constexpr double kHeadroom = 0.04;   // of the pressure range, so no curve runs along the top
const QString kLegendTitle = QStringLiteral("Fan (inlet-outlet)");

struct Range {
    double minFlow = 0, maxFlow = 0, minPressure = 0, maxPressure = 0;
    bool any = false;
};

// Airflows and pressures of all fans; both axes include 0.
Range dataRange(const FanCurveSet* set)
{
    Range r;
    if (!set)
        return r;
    for (const FanCurveData& fan : set->fans)
        for (const CurvePoint& p : fan.points) {
            r.minFlow = std::min(r.minFlow, p.flow);
            r.maxFlow = std::max(r.maxFlow, p.flow);
            r.minPressure = std::min(r.minPressure, p.pressure);
            r.maxPressure = std::max(r.maxPressure, p.pressure);
            r.any = true;
        }
    return r;
}

int fanCount(const FanCurveSet* set) { return set ? int(set->fans.size()) : 0; }

}  // namespace

PlotLayout::PlotLayout(const PlotInput& input, const QRectF& area) : mSet(input.set), mArea(area)
{
    const QFontMetricsF fm(plotFont());
    const QFontMetricsF tm(titleFont());
    const double line = fm.height();

    QRectF inner = area.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (!input.title.isEmpty())
        inner.setTop(inner.top() + tm.height() + 8);

    // The legend at the right, in as many columns as its entries need.
    const int fans = fanCount(mSet);
    if (fans > 0) {
        double textWidth = 0;
        for (const FanCurveData& fan : mSet->fans)
            textWidth = std::max(textWidth, fm.horizontalAdvance(fan.name()));
        mEntryWidth = kSwatchWidth + 8 + textWidth + 12;
        mEntryHeight = line + 4;
        mLegendHead = line + 6;
        const double available = std::max(inner.height() - 2 * line - mLegendHead, mEntryHeight);
        mLegendRows = std::max(1, std::min(fans, int(available / mEntryHeight)));
        const int columns = (fans + mLegendRows - 1) / mLegendRows;
        const double width = std::max(columns * mEntryWidth, fm.horizontalAdvance(kLegendTitle) + 8) + 8;
        const double height = mLegendHead + mLegendRows * mEntryHeight + 8;
        mLegend = QRectF(inner.right() - width, inner.top(), width, height);
        inner.setRight(mLegend.left() - 16);
    }

    // Axis titles and tick labels take their room from the frame.
    const Range r = dataRange(mSet);
    const double pressurePad = (r.maxPressure - r.minPressure) * kHeadroom;
    QRectF frame = inner.adjusted(0, 0, 0, -(kTickLength + 2 * line + 10));
    frame.setLeft(frame.left() + line + 8);  // the y title, turned
    mY = niceScale(r.minPressure - (r.minPressure < 0 ? pressurePad : 0), r.maxPressure + pressurePad,
                   std::max(4, int(frame.height() / 45)));
    double labelWidth = 0;
    for (double v : mY.ticks())
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(mY.label(v)));
    frame.setLeft(frame.left() + labelWidth + kTickLength + 4);
    frame.setRight(frame.right() - fm.horizontalAdvance(QStringLiteral("0000")) / 2);  // last x label
    if (frame.width() < 10)
        frame.setWidth(10);
    if (frame.height() < 10)
        frame.setHeight(10);
    mX = niceScale(r.minFlow, r.maxFlow,
                   std::max(4, int(frame.width() / 75)));
    mFrame = frame;
}

QRectF PlotLayout::legendEntry(int fan) const
{
    if (mLegendRows <= 0 || fan < 0)
        return {};
    const int column = fan / mLegendRows, row = fan % mLegendRows;
    return QRectF(mLegend.left() + 4 + column * mEntryWidth,
                  mLegend.top() + 4 + mLegendHead + row * mEntryHeight,
                  mEntryWidth, mEntryHeight);
}

QPointF PlotLayout::map(const CurvePoint& point) const
{
    const double x = mFrame.left() + (point.flow - mX.min) / (mX.max - mX.min) * mFrame.width();
    const double y = mFrame.bottom() - (point.pressure - mY.min) / (mY.max - mY.min) * mFrame.height();
    return {x, y};
}

PointMark PlotLayout::mark(const CurvePoint& point) const
{
    const auto clamp = [](double v, double low, double high, int& side) {
        if (!(v >= low)) {  // a value beyond doubles counts as below
            side = -1;
            return low;
        }
        side = v > high ? 1 : 0;
        return std::min(v, high);
    };
    const QPointF at = map(point);
    int x = 0, y = 0;
    PointMark m;
    m.at = {clamp(at.x(), mFrame.left(), mFrame.right(), x), clamp(at.y(), mFrame.top(), mFrame.bottom(), y)};
    m.outward = {x, y};
    return m;
}

std::optional<PointRef> PlotLayout::pointAt(const QPointF& pos, double radius) const
{
    std::optional<PointRef> nearest;
    double best = radius * radius;
    for (int f = 0; f < fanCount(mSet); ++f) {
        const std::vector<CurvePoint>& points = mSet->fans[std::size_t(f)].points;
        for (int j = 0; j < int(points.size()); ++j) {
            const QPointF d = map(points[std::size_t(j)]) - pos;
            const double squared = d.x() * d.x() + d.y() * d.y();
            if (squared <= best) {
                best = squared;
                nearest = PointRef{f, j};
            }
        }
    }
    return nearest;
}

// --- drawing ------------------------------------------------------------------------

namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kGrid(0xe4, 0xe4, 0xe4);
const QColor kZeroLine(0xa0, 0xa0, 0xa0);

// Marker shapes go round with the fans, so that curves of like colours
// and prints in grey still tell apart.
void drawMarker(QPainter& painter, const QPointF& c, int fan, const QColor& colour)
{
    const double r = kMarkerRadius;
    painter.setPen(QPen(colour, 1));
    painter.setBrush(colour);
    switch (fan % 5) {
    case 0:
        painter.drawEllipse(c, r, r);
        break;
    case 1:
        painter.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
        break;
    case 2:
        painter.drawPolygon(QPolygonF({c + QPointF(0, -r - 1), c + QPointF(r + 0.5, r),
                                       c + QPointF(-r - 0.5, r)}));
        break;
    case 3:
        painter.drawPolygon(QPolygonF({c + QPointF(0, -r - 1), c + QPointF(r + 1, 0),
                                       c + QPointF(0, r + 1), c + QPointF(-r - 1, 0)}));
        break;
    default:
        painter.drawPolygon(QPolygonF({c + QPointF(0, r + 1), c + QPointF(r + 0.5, -r),
                                       c + QPointF(-r - 0.5, -r)}));
        break;
    }
}

void drawAxes(QPainter& painter, const PlotLayout& layout, const PlotInput& input)
{
    const QRectF& frame = layout.frame();
    const QFontMetricsF fm(plotFont());
    painter.setFont(plotFont());

    // Grid, then the zero line when pressures go below 0.
    painter.setPen(QPen(kGrid, 1));
    for (double v : layout.xScale().ticks())
        painter.drawLine(QPointF(layout.map({v, 0}).x(), frame.top()),
                         QPointF(layout.map({v, 0}).x(), frame.bottom()));
    for (double v : layout.yScale().ticks())
        painter.drawLine(QPointF(frame.left(), layout.map({0, v}).y()),
                         QPointF(frame.right(), layout.map({0, v}).y()));
    if (layout.yScale().min < 0) {
        painter.setPen(QPen(kZeroLine, 1));
        const double y = layout.map({0, 0}).y();
        painter.drawLine(QPointF(frame.left(), y), QPointF(frame.right(), y));
    }

    // Frame, ticks and their labels.
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    for (double v : layout.xScale().ticks()) {
        const double x = layout.map({v, 0}).x();
        painter.drawLine(QPointF(x, frame.bottom()), QPointF(x, frame.bottom() + kTickLength));
        const QString text = layout.xScale().label(v);
        const double w = fm.horizontalAdvance(text);
        painter.drawText(QPointF(x - w / 2, frame.bottom() + kTickLength + 2 + fm.ascent()), text);
    }
    for (double v : layout.yScale().ticks()) {
        const double y = layout.map({0, v}).y();
        painter.drawLine(QPointF(frame.left() - kTickLength, y), QPointF(frame.left(), y));
        const QString text = layout.yScale().label(v);
        const double w = fm.horizontalAdvance(text);
        painter.drawText(QPointF(frame.left() - kTickLength - 4 - w, y + fm.ascent() / 2 - 1), text);
    }

    // Axis titles: airflow centred below, pressure turned along the left edge.
    const QString xTitle = input.units.flowTitle();
    painter.drawText(QPointF(frame.center().x() - fm.horizontalAdvance(xTitle) / 2,
                             frame.bottom() + kTickLength + 2 + fm.height() + 6 + fm.ascent()),
                     xTitle);
    const QString yTitle = input.units.pressureTitle();
    painter.save();
    painter.translate(layout.area().left() + kMargin + fm.ascent(), frame.center().y());
    painter.rotate(-90);
    painter.drawText(QPointF(-fm.horizontalAdvance(yTitle) / 2, 0), yTitle);
    painter.restore();
}

void drawCurves(QPainter& painter, const PlotLayout& layout, const FanCurveSet& set)
{
    painter.save();
    painter.setClipRect(layout.frame().adjusted(-kMarkerRadius - 1, -kMarkerRadius - 1,
                                                kMarkerRadius + 1, kMarkerRadius + 1));
    for (int f = 0; f < int(set.fans.size()); ++f) {
        const FanCurveData& fan = set.fans[std::size_t(f)];
        const QColor colour = fanColour(f);
        QPolygonF line;
        for (const CurvePoint& p : fan.points)
            line << layout.map(p);
        painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(line);
        for (const QPointF& c : line)
            drawMarker(painter, c, f, colour);
    }
    painter.restore();
}

// A filled circle on the curve with guides to both axes, or an arrow on the
// frame's edge for a point off the plot; a label beside it, moved down past
// the labels drawn before.
void drawOperatingPoints(QPainter& painter, const PlotLayout& layout, const PlotInput& input)
{
    constexpr double kRadius = 6;
    constexpr double kArrow = 14;
    const QRectF& frame = layout.frame();
    const QFontMetricsF fm(plotFont());
    painter.setFont(plotFont());
    std::vector<QRectF> labels;
    const int count = std::min(int(input.operatingPoints.size()), fanCount(input.set));
    for (int f = 0; f < count; ++f) {
        const std::optional<CurvePoint>& point = input.operatingPoints[std::size_t(f)];
        if (!point)
            continue;
        const QColor colour = fanColour(f);
        const PointMark m = layout.mark(*point);
        if (m.inside()) {
            QColor guide = colour;
            guide.setAlpha(160);
            painter.setPen(QPen(guide, 1, Qt::DashLine));
            painter.drawLine(m.at, QPointF(m.at.x(), frame.bottom()));
            painter.drawLine(m.at, QPointF(frame.left(), m.at.y()));
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawEllipse(m.at, kRadius + 2, kRadius + 2);
            painter.setPen(QPen(kInk, 1.5));
            painter.setBrush(colour);
            painter.drawEllipse(m.at, kRadius, kRadius);
        } else {
            const QPointF out(m.outward);
            const QPointF along = out / std::hypot(out.x(), out.y());
            const QPointF across(-along.y(), along.x());
            const QPointF base = m.at - along * kArrow;
            painter.setPen(QPen(kInk, 1.2));
            painter.setBrush(colour);
            painter.drawPolygon(QPolygonF({m.at, base + across * (kArrow / 2), base - across * (kArrow / 2)}));
        }

        QString text = operatingPointLabel(input, f);
        if (!m.inside())
            text += QStringLiteral(" (off the plot)");
        const QSizeF size(fm.horizontalAdvance(text) + 10, fm.height() + 4);
        const double gap = kRadius + 5;
        QRectF box(QPointF(m.at.x() + gap, m.at.y() - gap - size.height()), size);
        if (box.right() > frame.right())
            box.moveRight(m.at.x() - gap);
        if (box.top() < frame.top())
            box.moveTop(m.at.y() + gap);
        const auto overlaps = [&labels](const QRectF& r) {
            return std::any_of(labels.begin(), labels.end(), [&r](const QRectF& l) { return l.intersects(r); });
        };
        for (std::size_t tries = 0; tries < labels.size() && overlaps(box); ++tries)
            box.translate(0, size.height() + 2);
        labels.push_back(box);
        painter.setPen(QPen(colour, 1.2));
        painter.setBrush(QColor(255, 255, 255, 235));
        painter.drawRoundedRect(box, 3, 3);
        painter.setPen(kInk);
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

void drawLegend(QPainter& painter, const PlotLayout& layout, const FanCurveSet& set)
{
    if (set.fans.empty())
        return;
    const QFontMetricsF fm(plotFont());
    painter.setFont(plotFont());
    painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(layout.legend());
    painter.setPen(kInk);
    painter.drawText(QPointF(layout.legend().left() + 8, layout.legend().top() + 5 + fm.ascent()), kLegendTitle);
    for (int f = 0; f < int(set.fans.size()); ++f) {
        const QRectF entry = layout.legendEntry(f);
        const QColor colour = fanColour(f);
        const double y = entry.center().y();
        painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(entry.left() + 4, y), QPointF(entry.left() + kSwatchWidth, y));
        drawMarker(painter, QPointF(entry.left() + 4 + (kSwatchWidth - 4) / 2, y), f, colour);
        painter.setPen(kInk);
        painter.drawText(QPointF(entry.left() + kSwatchWidth + 8, y + fm.ascent() / 2 - 1),
                         set.fans[std::size_t(f)].name());
    }
}

}  // namespace

void paintPlot(QPainter& painter, const QRectF& area, const PlotInput& input)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(area, Qt::white);
    const PlotLayout layout(input, area);

    if (!input.title.isEmpty()) {
        const QFontMetricsF tm(titleFont());
        painter.setFont(titleFont());
        painter.setPen(kInk);
        painter.drawText(QPointF(area.center().x() - tm.horizontalAdvance(input.title) / 2,
                                 area.top() + kMargin + tm.ascent()),
                         input.title);
    }
    drawAxes(painter, layout, input);
    const bool curves = input.set && input.set->pointCount() > 0;
    if (input.set) {
        drawCurves(painter, layout, *input.set);
        drawOperatingPoints(painter, layout, input);
        drawLegend(painter, layout, *input.set);
    }
    if (!curves && !input.message.isEmpty()) {
        QFont font = plotFont();
        font.setPixelSize(15);
        painter.setFont(font);
        painter.setPen(QColor(0x70, 0x70, 0x70));
        painter.drawText(layout.frame(), Qt::AlignCenter | Qt::TextWordWrap, input.message);
    }
    painter.restore();
}

QImage plotImage(const PlotInput& input, const QSize& size, qreal pixelRatio)
{
    QImage image(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPlot(painter, QRectF(QPointF(0, 0), QSizeF(size)), input);
    return image;
}

bool savePlotPng(const QString& path, const PlotInput& input, const QSize& size, qreal pixelRatio,
                 QString& error)
{
    QImageWriter writer(path, "png");
    if (writer.write(plotImage(input, size, pixelRatio)))
        return true;
    error = writer.errorString();
    return false;
}

}  // namespace orvex::vistrel
