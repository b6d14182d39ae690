#pragma once

#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QPolygonF>
#include <QVector>

#include "display/canvas.h"

// The plan's canvas on a QPainter: the window, a printer page, an image or a
// PDF file. Everything is drawn in the order of the calls, so what comes last
// lies on top: a node's ring over the road through it, a road drawn normal
// again over its emphasis. Only consecutive lines of one pen are gathered
// and drawn in one call; any other call (a new pen, a circle, a polygon,
// text, the inverting mode) draws them first. The inverting mode is an XOR
// of white onto what is below.
//
// A canvas that lives longer than one drawing (the editor's on the window)
// must be flushed when the drawing is done; the destructor flushes too.
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
    void textOnBackground(float x, float y, const std::string& text, Colour colour,
                          Colour background) override;
    void fillTriangles(const DevicePoint* points, int triangles, Colour colour) override;
    float textWidth(const std::string& text) const override;
    float textHeight() const override;

    // Draws the lines gathered so far.
    void flush();
    // Pens this many device pixels wide for each pixel asked for: a printer
    // draws the window's one-pixel lines as wide as a screen shows them.
    void setPenScale(double scale);

private:
    // The text, on a box of the background colour when there is one.
    void drawText(float x, float y, const std::string& text, Colour colour, const Colour* background);

    // A pen as drawn: the colour is white while inverting.
    struct Pen {
        PenStyle style = PenStyle::Solid;
        int width = 1;
        Colour colour = rgb(255, 255, 255);
        bool operator==(const Pen& o) const { return style == o.style && width == o.width && colour == o.colour; }
        bool operator!=(const Pen& o) const { return !(*this == o); }
    };
    void usePen(const Pen& pen);  // selects it on the painter

    QPainter& mPainter;
    bool mAntialiased;
    bool mInvert = false;
    double mPenScale = 1.0;
    Pen mPen;             // the pen set last, as drawn
    Colour mColour;       // its colour as asked for
    Pen mMadePen;         // the pen mQPen was made for
    QPen mQPen;
    QPointF mCurrent;
    QVector<QLineF> mLines;  // consecutive lines of one pen, not drawn yet
    QPolygonF mPolygon;      // the last polygon filled, its storage kept
    Pen mLinesPen;
};

}  // namespace orvex
