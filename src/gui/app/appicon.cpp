#include "app/icons.h"
#include "app/iconpainting.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace orvex::gui {

namespace {

using namespace iconpainting;

// ---- the program icon ----------------------------------------------------
// Laid out on 64 x 64 units, the same coordinates as desktop/orvex.svg; a
// change here belongs there too.

constexpr int kAppGrid = 64;
constexpr QRgb kGroundTop = 0xff23408e;
constexpr QRgb kGroundBottom = 0xff0c1a4d;
constexpr QRgb kValueGreen = 0xff3fd67a;

// The navy tile, `margin` units in from the edge of the square.
void drawGround(QPainter& p, qreal margin)
{
    QLinearGradient ground(0, margin, 0, kAppGrid - margin);
    ground.setColorAt(0, QColor(kGroundTop));
    ground.setColorAt(1, QColor(kGroundBottom));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(margin, margin, kAppGrid - 2 * margin, kAppGrid - 2 * margin), 12, 12);
    p.fillPath(tile, ground);
}

// The fan in its shaft: a ring round green blades.
void drawShaftFan(QPainter& p, QPointF centre, qreal radius, qreal ringWidth, qreal hub)
{
    p.setPen(pen(kWhite, ringWidth));
    p.setBrush(QColor(kGroundBottom));
    p.drawEllipse(centre, radius, radius);
    propeller(p, centre, radius - ringWidth / 2 - 1, kValueGreen, -10);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kWhite));
    p.drawEllipse(centre, hub, hub);
}

// The exhaust to the surface: the arrow head leaving the fan.
void drawExhaust(QPainter& p, qreal fromX, qreal halfWidth)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kWhite));
    p.drawPolygon(QPolygonF({QPointF(fromX, 32 - halfWidth), QPointF(fromX + halfWidth * 1.08, 32),
                             QPointF(fromX, 32 + halfWidth)}));
}

void drawApplicationIcon(QPainter& p)
{
    drawGround(p, 2);

    // The airway network: three roads from the intake side join at the fan.
    QPen road = pen(kWhite, 3.5, Qt::RoundCap);
    road.setJoinStyle(Qt::RoundJoin);
    p.setPen(road);
    p.setBrush(Qt::NoBrush);
    QPainterPath roads;
    roads.moveTo(14, 14);
    roads.lineTo(14, 50);
    roads.moveTo(14, 14);
    roads.lineTo(40, 14);
    roads.lineTo(40, 21);
    roads.moveTo(14, 50);
    roads.lineTo(40, 50);
    roads.lineTo(40, 43);
    roads.moveTo(14, 32);
    roads.lineTo(29, 32);
    roads.moveTo(51, 32);
    roads.lineTo(53, 32);
    p.drawPath(roads);

    // Green values along the roads, as the plan shows them.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kValueGreen));
    p.drawRoundedRect(QRectF(20, 6.5, 12, 3.5), 1.75, 1.75);
    p.drawRoundedRect(QRectF(18, 36, 9, 3.5), 1.75, 1.75);

    // Nodes: hollow circles.
    p.setPen(pen(kWhite, 3.0));
    p.setBrush(QColor(kGroundBottom));
    for (const QPointF c : {QPointF(14, 14), QPointF(14, 32), QPointF(14, 50)})
        p.drawEllipse(c, 4.5, 4.5);

    drawShaftFan(p, {40, 32}, 11, 3.5, 2.6);
    drawExhaust(p, 52, 6.5);
}

// The same picture for 16 to 24 pixels, where a unit is a quarter of a pixel
// or less: the tile out to the edges so that they fall on whole pixels, the
// fan larger, the roads bolder, the values and the middle road left out.
void drawSmallApplicationIcon(QPainter& p)
{
    drawGround(p, 0);
    QPen road = pen(kWhite, 6.0, Qt::FlatCap);
    road.setJoinStyle(Qt::MiterJoin);
    p.setPen(road);
    p.setBrush(Qt::NoBrush);
    const QPointF frame[] = {{36, 16}, {36, 11}, {11, 11}, {11, 53}, {36, 53}, {36, 48}};
    p.drawPolyline(frame, 6);
    drawShaftFan(p, {36, 32}, 15, 6.0, 3.5);
    drawExhaust(p, 51, 10);
}

}  // namespace

void paintShaftFan(QPainter& painter, QPointF centre, qreal radius, qreal ringWidth)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    drawShaftFan(painter, centre, radius, ringWidth, radius * 0.24);
    painter.restore();
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(render(size < 32 ? drawSmallApplicationIcon : drawApplicationIcon, size, kAppGrid));
    return icon;
}

}  // namespace orvex::gui
