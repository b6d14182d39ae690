#pragma once

#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>

#include "display/canvas.h"
#include "view/qpaintercanvas.h"

// Drawing at once, between full redraws. The editor and the fire
// simulation draw marks (rubber bands, outlines, fire fronts) the moment
// they happen; Qt paints a widget only inside its paint event. So the view
// keeps its picture in a backing image: the full redraw paints the whole
// image, and this canvas paints single marks into the same image (the
// inverting mode as an XOR, so a mark drawn twice is gone) and asks the
// view for an update, whose paint event copies the image to the screen.
namespace orvex::gui {

class BackingCanvas : public Canvas {
public:
    // changed is called after every drawing call (the view schedules a repaint).
    BackingCanvas(QImage& image, std::function<void()> changed);
    ~BackingCanvas() override;

    void fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen) override;
    void setPen(PenStyle style, int width, Colour colour) override;
    void setInvert(bool on) override;
    void moveTo(float x, float y) override;
    void lineTo(float x, float y) override;
    void circle(float left, float top, float right, float bottom) override;
    void text(float x, float y, const std::string& text, Colour colour) override;
    void textOnBackground(float x, float y, const std::string& text, Colour colour,
                          Colour background) override;

    // Finishes what was drawn so far into the image. Called before the
    // image is shown, resized or redrawn whole; the next drawing call opens
    // it again with the pen and inverting mode in force.
    void end();

private:
    QPainterCanvas& open();

    QImage& mImage;
    std::function<void()> mChanged;
    std::unique_ptr<QPainter> mPainter;
    std::unique_ptr<QPainterCanvas> mCanvas;
    // kept across end(): the state a reopened painter starts from
    PenStyle mStyle = PenStyle::Solid;
    int mWidth = 1;
    Colour mColour = rgb(255, 255, 255);
    bool mInvert = false;
    float mX = 0, mY = 0;
};

}  // namespace orvex::gui
