#include "view/qpaintercanvas.h"

#include <QPaintEngine>
#include <QPolygonF>
#include <QString>

namespace orvex {

QColor toQColor(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

QPainterCanvas::QPainterCanvas(QPainter& painter, bool antialiased)
    : mPainter(painter), mAntialiased(antialiased), mColour(mPen.colour)
{
    mPainter.setRenderHint(QPainter::Antialiasing, mAntialiased);
    mPainter.setBrush(Qt::NoBrush);
    mMadePen.colour = rgb(0, 0, 0);  // anything but mPen, so that its QPen is made
    usePen(mPen);
}

QPainterCanvas::~QPainterCanvas()
{
    flush();
}

void QPainterCanvas::setPenScale(double scale)
{
    flush();
    mPenScale = scale > 0 ? scale : 1.0;
    mMadePen.colour = mPen.colour == rgb(0, 0, 0) ? rgb(255, 255, 255) : rgb(0, 0, 0);
    usePen(mPen);
}

void QPainterCanvas::usePen(const Pen& pen)
{
    if (pen != mMadePen) {
        mQPen = QPen(toQColor(pen.colour), double(pen.width) * mPenScale);
        mQPen.setStyle(pen.style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
        mQPen.setCapStyle(Qt::FlatCap);
        mMadePen = pen;
    }
    // Cheap when the painter has this pen already; set every time, as the
    // painter's owner may have drawn with another pen in between.
    mPainter.setPen(mQPen);
}

void QPainterCanvas::flush()
{
    if (mLines.isEmpty())
        return;
    usePen(mLinesPen);
    mPainter.drawLines(mLines);
    mLines.clear();
}

void QPainterCanvas::fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen)
{
    flush();
    mPolygon.clear();
    for (int i = 0; i < count; ++i)
        mPolygon << QPointF(points[i].x, points[i].y);
    // Every other drawing selects its own pen; only the brush is put back.
    mPainter.setPen(QPen(toQColor(pen), 1));
    mPainter.setBrush(toQColor(brush));
    mPainter.drawPolygon(mPolygon);
    mPainter.setBrush(Qt::NoBrush);
}

void QPainterCanvas::fillTriangles(const DevicePoint* points, int triangles, Colour colour)
{
    flush();
    const QColor fill = toQColor(mInvert ? rgb(255, 255, 255) : colour);
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(fill);
    for (int t = 0; t < triangles; ++t) {
        const DevicePoint* p = points + 3 * t;
        const QPointF corners[3] = {{p[0].x, p[0].y}, {p[1].x, p[1].y}, {p[2].x, p[2].y}};
        mPainter.drawConvexPolygon(corners, 3);
    }
    mPainter.setBrush(Qt::NoBrush);
}

void QPainterCanvas::setPen(PenStyle style, int width, Colour colour)
{
    // Nothing is drawn here: the gathered lines go on while the pen stays the same.
    mColour = colour;
    mPen.style = style;
    mPen.width = width <= 1 ? 1 : width;
    mPen.colour = mInvert ? rgb(255, 255, 255) : colour;
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
    mPen.colour = on ? rgb(255, 255, 255) : mColour;
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
    if (mPen != mLinesPen) {
        flush();
        mLinesPen = mPen;
    }
    const QPointF next(x + kPixelCentre, y + kPixelCentre);
    mLines.append(QLineF(mCurrent, next));
    mCurrent = next;
}

void QPainterCanvas::circle(float left, float top, float right, float bottom)
{
    flush();
    usePen(mPen);
    mPainter.drawEllipse(QRectF(QPointF(left + kPixelCentre, top + kPixelCentre),
                                QPointF(right + kPixelCentre, bottom + kPixelCentre)));
}

void QPainterCanvas::text(float x, float y, const std::string& text, Colour colour)
{
    drawText(x, y, text, colour, nullptr);
}

void QPainterCanvas::textOnBackground(float x, float y, const std::string& text, Colour colour,
                                      Colour background)
{
    drawText(x, y, text, colour, &background);
}

float QPainterCanvas::textWidth(const std::string& text) const
{
    return float(mPainter.fontMetrics().horizontalAdvance(QString::fromStdString(text)));
}

float QPainterCanvas::textHeight() const
{
    return float(mPainter.fontMetrics().height());
}

void QPainterCanvas::drawText(float x, float y, const std::string& text, Colour colour,
                              const Colour* background)
{
    flush();
    mPainter.save();
    mPainter.setPen(toQColor(colour));
    if (background) {
        mPainter.setBackgroundMode(Qt::OpaqueMode);
        mPainter.setBackground(toQColor(*background));
    }
    mPainter.drawText(QPointF(x, y + mPainter.fontMetrics().ascent()), QString::fromStdString(text));
    mPainter.restore();
}

}  // namespace orvex
