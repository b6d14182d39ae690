#pragma once

#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QVector>

#include <vector>

#include "display/canvas.h"

// The plan's canvas on a QPainter: the window, a printer page, an image or a
// PDF file. Lines are gathered per pen and drawn in batches (a plan switches
// pens between every road and its labels, and one call per pen is much
// cheaper than one per road); the inverting mode is an XOR of white onto
// what is below, drawn in strict order.
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
    struct Batch {
        QPen pen;
        QVector<QLineF> lines;
    };
    void applyPen();
    QVector<QLineF>& linesOfPen();

    QPainter& mPainter;
    bool mAntialiased;
    QPen mPen;
    bool mInvert = false;
    QPointF mCurrent;
    std::vector<Batch> mBatches;  // in the order the pens were first used
    int mBatch = -1;              // the batch of the pen in force
};

}  // namespace orvex
