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
    if (mLines.isEmpty())
        return;
    mPainter.drawLines(mLines);
    mLines.clear();
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
    flush();
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

// Device points are whole pixels; a 1-pixel line through pixel centres stays
// one pixel wide and sharp when it is antialiased.
constexpr double kPixelCentre = 0.5;

void QPainterCanvas::moveTo(float x, float y)
{
    mCurrent = QPointF(x + kPixelCentre, y + kPixelCentre);
}

void QPainterCanvas::lineTo(float x, float y)
{
    const QPointF next(x + kPixelCentre, y + kPixelCentre);
    mLines.append(QLineF(mCurrent, next));
    mCurrent = next;
}

void QPainterCanvas::circle(float left, float top, float right, float bottom)
{
    flush();
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
