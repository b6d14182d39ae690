#pragma once

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPointF>

// What the tool bar icons and the program's icon are painted with.
namespace orvex::gui::iconpainting {

constexpr QRgb kInk = 0xff1c2f6b;     // navy: outlines, shapes
constexpr QRgb kTint = 0xffdce5f4;    // pale navy: fills
constexpr QRgb kGreen = 0xff1e9a4f;   // computed values, adding
constexpr QRgb kRed = 0xffd0342c;     // removing, stopping, fire
constexpr QRgb kAmber = 0xfff3a81c;   // flame core, pencil
constexpr QRgb kWhite = 0xffffffff;

QPen pen(QRgb colour, qreal width = 1.0, Qt::PenCapStyle cap = Qt::SquareCap);

// Three curved blades round a hub, turned by `turn` degrees.
void propeller(QPainter& p, QPointF centre, qreal length, QRgb colour, qreal turn = 0);

// Draws `draw`, laid out on a grid of `grid` units, into a square pixmap of
// `size` pixels.
template <typename Draw>
QPixmap render(Draw draw, int size, qreal grid)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / grid, size / grid);
    draw(p);
    p.end();
    return QPixmap::fromImage(image);
}

}  // namespace orvex::gui::iconpainting
