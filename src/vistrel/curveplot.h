#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "axisunits.h"
#include "fancurvefile.h"

class QPainter;

// The plot of the fan curves: pressure (y) against airflow (x), one colour
// and one marker shape per fan, a legend of the fans by node pair. One paint
// routine draws it on the screen and into exported images; its layout also
// tells which point lies under the mouse.
namespace orvex::vistrel {

// The colour of fan `index` (from 0): ten hand-picked colours, then hues a
// golden angle apart at several brightnesses and saturations.
QColor fanColour(int index);

// Round tick values covering low..high: steps of 1, 2 or 5 times a power of
// ten, about `targetTicks` of them.
struct AxisScale {
    double min = 0, max = 1, step = 1;
    int decimals = 0;  // of the tick labels

    std::vector<double> ticks() const;
    QString label(double value) const;
};
AxisScale niceScale(double low, double high, int targetTicks);

// What the plot shows.
struct PlotInput {
    const FanCurveSet* set = nullptr;  // nothing drawn but the frame when null
    AxisUnits units;
    QString title;
    QString message;  // shown inside the frame when no curve is drawn
    // Where each fan (by index) ran in the network's last run; fans beyond
    // the end or without a value have no point.
    std::vector<std::optional<CurvePoint>> operatingPoints;
};

// A point of the plot: fan and point index, both from 0.
struct PointRef {
    int fan = -1, point = -1;
    friend bool operator==(PointRef a, PointRef b) { return a.fan == b.fan && a.point == b.point; }
};

// Where an operating point is marked: at its place when that lies within
// the frame, else on the frame's edge nearest to it, with `outward` (each
// coordinate -1, 0 or 1, in pixel directions) pointing the way it lies.
struct PointMark {
    QPointF at;
    QPoint outward;
    bool inside() const { return outward.isNull(); }
};

// Where everything goes in a given area: the frame of the data, the axis
// scales, the legend with its entries.
class PlotLayout {
public:
    PlotLayout(const PlotInput& input, const QRectF& area);

    const QRectF& area() const { return mArea; }
    const QRectF& frame() const { return mFrame; }
    const AxisScale& xScale() const { return mX; }
    const AxisScale& yScale() const { return mY; }
    const QRectF& legend() const { return mLegend; }
    QRectF legendEntry(int fan) const;

    QPointF map(const CurvePoint& point) const;
    PointMark mark(const CurvePoint& point) const;
    // The point whose marker lies within `radius` pixels of pos, the nearest
    // when several do.
    std::optional<PointRef> pointAt(const QPointF& pos, double radius = 6) const;

private:
    const FanCurveSet* mSet;
    QRectF mArea, mFrame, mLegend;
    AxisScale mX, mY;
    double mEntryWidth = 0, mEntryHeight = 0, mLegendHead = 0;
    int mLegendRows = 0;
};

// The plot's fonts, in pixels, so that screen and image files agree.
QFont plotFont();
QFont titleFont();

// Draws the whole plot into area.
void paintPlot(QPainter& painter, const QRectF& area, const PlotInput& input);

// The plot drawn on white into an image of size × pixelRatio pixels.
QImage plotImage(const PlotInput& input, const QSize& size, qreal pixelRatio = 1);
// Writes plotImage as a PNG file; false with the reason in error.
bool savePlotPng(const QString& path, const PlotInput& input, const QSize& size, qreal pixelRatio,
                 QString& error);

// The label of fan `fan`'s operating point: "Q=2450 m3/min, P=1234 Pa",
// with the fan's name in front when the plot shows more than one fan;
// empty when the fan has no point.
QString operatingPointLabel(const PlotInput& input, int fan);

// The tool tip of a point: fan, point, airflow and pressure with units,
// and the fan's comment.
QString pointDescription(const PlotInput& input, PointRef ref);

}  // namespace orvex::vistrel
