#include "canvas/qpaintercanvas.h"

#include <QPaintEngine>
#include <QPolygonF>
#include <QString>

namespace orvex {

QColor toQColor(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

QPainterCanvas::QPainterCanvas(QPainter& painter, bool antialiased)
    : mPainter(painter), mAntialiased(antialiased)
{
    mPainter.setRenderHint(QPainter::Antialiasing, mAntialiased);
    mPainter.setBrush(Qt::NoBrush);
    mPen = QPen(Qt::white, 1);
    mPen.setCapStyle(Qt::FlatCap);
    applyPen();
}

QPainterCanvas::~QPainterCanvas()
{
    flush();
}

void QPainterCanvas::flush()
{
    for (Batch& batch : mBatches) {
        if (batch.lines.isEmpty())
            continue;
        mPainter.setPen(batch.pen);
        mPainter.drawLines(batch.lines);
    }
    mBatches.clear();
    mBatch = -1;
    applyPen();
}

QVector<QLineF>& QPainterCanvas::linesOfPen()
{
    if (mBatch < 0) {
        QPen pen = mPen;
        if (mInvert)
            pen.setColor(Qt::white);
        for (std::size_t i = 0; i < mBatches.size() && mBatch < 0; ++i)
            if (mBatches[i].pen == pen)
                mBatch = int(i);
        if (mBatch < 0) {
            mBatches.push_back(Batch{pen, {}});
            mBatch = int(mBatches.size()) - 1;
        }
    }
    return mBatches[std::size_t(mBatch)].lines;
}

void QPainterCanvas::applyPen()
{
    QPen pen = mPen;
    if (mInvert)
        pen.setColor(Qt::white);
    mPainter.setPen(pen);
}

void QPainterCanvas::fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen)
{
    flush();
    QPolygonF polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i)
        polygon << QPointF(points[i].x, points[i].y);
    mPainter.save();
    mPainter.setPen(QPen(toQColor(pen), 1));
    mPainter.setBrush(toQColor(brush));
    mPainter.drawPolygon(polygon);
    mPainter.restore();
}

void QPainterCanvas::setPen(PenStyle style, int width, Colour colour)
{
    // Inverted strokes toggle pixels, so their order matters: no batching then.
    if (mInvert)
        flush();
    mBatch = -1;
    mPen = QPen(toQColor(colour), width <= 1 ? 1.0 : double(width));
    mPen.setStyle(style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    mPen.setCapStyle(Qt::FlatCap);
    applyPen();
}

void QPainterCanvas::setInvert(bool on)
{
    flush();
    mInvert = on;
    // Inverting pixels only works on raster surfaces; elsewhere it draws white.
    if (mPainter.paintEngine() && mPainter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        mPainter.setCompositionMode(on ? QPainter::RasterOp_SourceXorDestination
                                       : QPainter::CompositionMode_SourceOver);
    mPainter.setRenderHint(QPainter::Antialiasing, mAntialiased && !on);
    applyPen();
}

// Device points are whole pixels and are drawn as they are: shifting them to
// pixel centres would make axis-parallel lines one pixel sharp instead of
// two pixels soft, but costs a fifth more drawing time on a full plan.
constexpr double kPixelCentre = 0.0;

void QPainterCanvas::moveTo(float x, float y)
{
    mCurrent = QPointF(x + kPixelCentre, y + kPixelCentre);
}

void QPainterCanvas::lineTo(float x, float y)
{
    const QPointF next(x + kPixelCentre, y + kPixelCentre);
    linesOfPen().append(QLineF(mCurrent, next));
    mCurrent = next;
}

void QPainterCanvas::circle(float left, float top, float right, float bottom)
{
    if (mInvert)
        flush();
    applyPen();
    mPainter.setBrush(Qt::NoBrush);
    mPainter.drawEllipse(QRectF(QPointF(left + kPixelCentre, top + kPixelCentre),
                                QPointF(right + kPixelCentre, bottom + kPixelCentre)));
}

void QPainterCanvas::text(float x, float y, const std::string& text, Colour colour)
{
    flush();
    mPainter.save();
    mPainter.setPen(toQColor(colour));
    mPainter.drawText(QPointF(x, y + mPainter.fontMetrics().ascent()), QString::fromStdString(text));
    mPainter.restore();
}

}  // namespace orvex
