#pragma once

#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QVector>

#include "display/canvas.h"

// The plan's canvas on a QPainter: the window, a printer page, an image or a
// PDF file. Lines are gathered and drawn in batches; the inverting mode is
// an XOR of white onto what is below.
namespace orvex {

QColor toQColor(Colour colour);

class QPainterCanvas : public Canvas {
public:
    explicit QPainterCanvas(QPainter& painter, bool antialiased = true);
    ~QPainterCanvas() override;

    void fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen) override;
    void setPen(PenStyle style, int width, Colour colour) override;
    void setInvert(bool on) override;
    void moveTo(float x, float y) override;
    void lineTo(float x, float y) override;
    void circle(float left, float top, float right, float bottom) override;
    void text(float x, float y, const std::string& text, Colour colour) override;

    // Draws the lines gathered so far.
    void flush();

private:
    void applyPen();

    QPainter& mPainter;
    bool mAntialiased;
    QPen mPen;
    bool mInvert = false;
    QPointF mCurrent;
    QVector<QLineF> mLines;
};

}  // namespace orvex
