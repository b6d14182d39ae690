#include "view/backingcanvas.h"

namespace orvex::gui {

BackingCanvas::BackingCanvas(QImage& image, std::function<void()> changed)
    : mImage(image), mChanged(std::move(changed))
{
}

BackingCanvas::~BackingCanvas() { end(); }

QPainterCanvas& BackingCanvas::open()
{
    if (!mCanvas) {
        mPainter = std::make_unique<QPainter>(&mImage);
        mCanvas = std::make_unique<QPainterCanvas>(*mPainter);
        mCanvas->setInvert(mInvert);
        mCanvas->setPen(mStyle, mWidth, mColour);
        mCanvas->moveTo(mX, mY);
    }
    return *mCanvas;
}

void BackingCanvas::end()
{
    mCanvas.reset();  // draws the lines it gathered
    mPainter.reset();
}

void BackingCanvas::fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen)
{
    open().fillPolygon(points, count, brush, pen);
    mChanged();
}

void BackingCanvas::setPen(PenStyle style, int width, Colour colour)
{
    mStyle = style;
    mWidth = width;
    mColour = colour;
    if (mCanvas)
        mCanvas->setPen(style, width, colour);
}

void BackingCanvas::setInvert(bool on)
{
    mInvert = on;
    if (mCanvas)
        mCanvas->setInvert(on);
}

void BackingCanvas::moveTo(float x, float y)
{
    mX = x;
    mY = y;
    if (mCanvas)
        mCanvas->moveTo(x, y);
}

void BackingCanvas::lineTo(float x, float y)
{
    open().lineTo(x, y);
    mX = x;
    mY = y;
    mChanged();
}

void BackingCanvas::circle(float left, float top, float right, float bottom)
{
    open().circle(left, top, right, bottom);
    mChanged();
}

void BackingCanvas::text(float x, float y, const std::string& text, Colour colour)
{
    open().text(x, y, text, colour);
    mChanged();
}

void BackingCanvas::textOnBackground(float x, float y, const std::string& text, Colour colour,
                                     Colour background)
{
    open().textOnBackground(x, y, text, colour, background);
    mChanged();
}

}  // namespace orvex::gui
