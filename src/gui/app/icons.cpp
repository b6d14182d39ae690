#include "app/icons.h"
#include "app/iconpainting.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QtMath>

// Every tool bar icon is drawn on a grid of 16 x 16 units, one unit being a
// pixel of the 16-pixel icon. One-unit strokes run along half units (3.5, not
// 3) so that at 16 and 32 pixels they cover whole pixel rows and stay sharp;
// filled shapes have their edges on whole units.
namespace orvex::gui {

namespace {

using namespace iconpainting;

constexpr int kGrid = 16;  // units across a tool bar icon

void fillAndStroke(QPainter& p, const QPainterPath& path, QRgb fill, QRgb stroke, qreal width = 1.0)
{
    p.fillPath(path, QColor(fill));
    p.strokePath(path, pen(stroke, width));
}

QPainterPath polygonPath(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath circlePath(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// A filled triangle pointing along `direction` (degrees on screen, counter-
// clockwise from the +x axis) with its tip at `tip`.
void arrowHead(QPainter& p, QPointF tip, qreal direction, qreal length, qreal halfWidth, QRgb colour)
{
    const qreal a = qDegreesToRadians(direction);
    const QPointF along(qCos(a), -qSin(a));
    const QPointF across(-along.y(), along.x());
    const QPointF base = tip - along * length;
    p.fillPath(polygonPath({tip, base + across * halfWidth, base - across * halfWidth}), QColor(colour));
}

// An arc round `centre` from `start` degrees sweeping `sweep` degrees
// (positive counter-clockwise), ending in an arrow head.
void arcArrow(QPainter& p, QPointF centre, qreal radius, qreal start, qreal sweep, QRgb colour, qreal width)
{
    const qreal end = start + sweep;
    const qreal a = qDegreesToRadians(end);
    const QPointF endPoint = centre + QPointF(qCos(a), -qSin(a)) * radius;
    // The tangent at the end, in the direction of travel.
    const qreal heading = end + (sweep < 0 ? -90.0 : 90.0);
    // Stop the line a little short so its end hides under the head.
    const qreal shortened = sweep - (sweep < 0 ? -12.0 : 12.0);
    QPainterPath arc;
    arc.arcMoveTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), start);
    arc.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), start, shortened);
    p.strokePath(arc, pen(colour, width, Qt::FlatCap));
    const qreal h = qDegreesToRadians(heading);
    const QPointF forward(qCos(h), -qSin(h));
    arrowHead(p, endPoint + forward * 2.2, heading, 4.6, 3.0, colour);
}

// ---- shared pieces -------------------------------------------------------

// A sheet of paper with a folded corner, right edge at 13.5.
QPainterPath pagePath()
{
    return polygonPath({{3.5, 1.5}, {9.5, 1.5}, {13.5, 5.5}, {13.5, 14.5}, {3.5, 14.5}});
}

void page(QPainter& p)
{
    fillAndStroke(p, pagePath(), kWhite, kInk);
    fillAndStroke(p, polygonPath({{9.5, 1.5}, {9.5, 5.5}, {13.5, 5.5}}), kTint, kInk);
}

// A node of the plan: a hollow circle, white inside.
void node(QPainter& p, QPointF centre, qreal radius, QRgb fill = kWhite)
{
    fillAndStroke(p, circlePath(centre, radius), fill, kInk);
}

// The plan's fan symbol: the fan's circle with its hub near the first node
// and the duct drawn round to the second.
void fanSymbol(QPainter& p)
{
    QPainterPath duct;
    duct.moveTo(4.5, 2.5);
    duct.lineTo(14.5, 2.5);
    duct.lineTo(14.5, 9.5);
    duct.lineTo(8.5, 9.5);
    p.strokePath(duct, pen(kInk));
    fillAndStroke(p, circlePath({4.5, 6.0}, 3.5), kWhite, kInk, 1.5);
    p.fillPath(circlePath({4.5, 6.0}, 1.5), QColor(kGreen));
}

// A road of the plan between two nodes, running up to the right so the lower
// right corner stays free for a badge.
void roadSymbol(QPainter& p)
{
    p.setPen(pen(kInk, 1.5, Qt::FlatCap));
    p.drawLine(QPointF(5.2, 10.8), QPointF(10.8, 5.2));
    node(p, {3.5, 12.5}, 2.5);
    node(p, {12.5, 3.5}, 2.5);
}

// A node with the ends of two roads that meet at it.
void nodeSymbol(QPainter& p)
{
    p.setPen(pen(kInk, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(0, 6.5), QPointF(2, 6.5));
    p.drawLine(QPointF(6.5, 0), QPointF(6.5, 2));
    fillAndStroke(p, circlePath({6.5, 6.5}, 4.75), kWhite, kInk, 1.5);
    p.fillPath(circlePath({6.5, 6.5}, 1.75), QColor(kGreen));
}

// Badges in the lower right corner, each with a white rim so it reads over
// what lies beneath.
void plusBadge(QPainter& p)
{
    const QPainterPath cross = polygonPath({{11, 8}, {13, 8}, {13, 11}, {16, 11}, {16, 13}, {13, 13},
                                            {13, 16}, {11, 16}, {11, 13}, {8, 13}, {8, 11}, {11, 11}});
    p.strokePath(cross, pen(kWhite, 2.0));
    p.fillPath(cross, QColor(kGreen));
}

void crossBadge(QPainter& p)
{
    for (const auto& [colour, width] : {std::pair{kWhite, 4.5}, std::pair{kRed, 2.2}}) {
        p.setPen(pen(colour, width, Qt::RoundCap));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 9.5), QPointF(9.5, 14.5));
    }
}

void pencilBadge(QPainter& p)
{
    p.save();
    p.translate(8.0, 16.0);
    p.rotate(-45.0);
    // Along the pencil from its tip at 0; across from -1.5 to 1.5.
    const QPainterPath body = polygonPath({{3.0, -1.6}, {10.5, -1.6}, {10.5, 1.6}, {3.0, 1.6}});
    const QPainterPath point = polygonPath({{0.0, 0.0}, {3.0, -1.6}, {3.0, 1.6}});
    QPainterPath outline = body.united(point);
    p.strokePath(outline, pen(kWhite, 2.4));
    p.fillPath(body, QColor(kAmber));
    p.fillPath(point, QColor(kTint));
    p.fillPath(polygonPath({{0.0, 0.0}, {1.2, -0.65}, {1.2, 0.65}}), QColor(kInk));
    p.strokePath(outline, pen(kInk, 0.9));
    p.restore();
}

// A magnifying glass; the lens centre and radius are in grid units.
void magnifier(QPainter& p, QPointF centre, qreal radius, qreal handleEnd, qreal handleWidth)
{
    const qreal reach = radius * 0.7071 + 0.4;
    p.setPen(pen(kInk, handleWidth, Qt::RoundCap));
    p.drawLine(centre + QPointF(reach, reach), QPointF(handleEnd, handleEnd));
    fillAndStroke(p, circlePath(centre, radius), kWhite, kInk, 1.2);
}

// ---- the icons -----------------------------------------------------------

void drawNew(QPainter& p)
{
    page(p);
    // A green spark: a fresh, empty network.
    const QPainterPath spark = polygonPath({{8.5, 7.0}, {9.4, 9.6}, {12.0, 10.5}, {9.4, 11.4}, {8.5, 14.0},
                                            {7.6, 11.4}, {5.0, 10.5}, {7.6, 9.6}});
    p.fillPath(spark, QColor(kGreen));
}

void drawOpen(QPainter& p)
{
    fillAndStroke(p, polygonPath({{1.5, 13.5}, {1.5, 2.5}, {5.5, 2.5}, {7.5, 4.5}, {12.5, 4.5}, {12.5, 13.5}}),
                  kWhite, kInk);
    fillAndStroke(p, polygonPath({{1.5, 13.5}, {4.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}}), kTint, kInk);
}

void drawSave(QPainter& p)
{
    fillAndStroke(p, polygonPath({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}), kInk, kInk);
    p.fillRect(QRectF(4, 2, 7, 4), QColor(kTint));
    p.fillRect(QRectF(8, 3, 2, 2), QColor(kInk));
    p.fillRect(QRectF(3, 8, 10, 6), QColor(kWhite));
    p.setPen(pen(kGreen, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
    p.drawLine(QPointF(5, 12.5), QPointF(9, 12.5));
}

void drawPrint(QPainter& p)
{
    fillAndStroke(p, polygonPath({{4.5, 1.5}, {11.5, 1.5}, {11.5, 6}, {4.5, 6}}), kWhite, kInk);
    QPainterPath body;
    body.addRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
    fillAndStroke(p, body, kTint, kInk);
    p.fillRect(QRectF(11, 7, 2, 1.5), QColor(kGreen));
    fillAndStroke(p, polygonPath({{4.5, 9.5}, {11.5, 9.5}, {11.5, 14.5}, {4.5, 14.5}}), kWhite, kInk);
    p.setPen(pen(kInk, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(6, 12), QPointF(10, 12));
}

void drawAbout(QPainter& p)
{
    p.fillPath(circlePath({8, 8}, 7), QColor(kInk));
    QPainterPath hook;
    const QRectF bow(5.6, 3.4, 4.8, 4.6);
    hook.arcMoveTo(bow, 165);
    hook.arcTo(bow, 165, -225);
    hook.quadTo(8.0, 8.4, 8.0, 10.0);
    p.strokePath(hook, pen(kWhite, 1.7, Qt::FlatCap));
    p.fillRect(QRectF(7.1, 11.2, 1.8, 1.8), QColor(kWhite));
}

void drawInfo(QPainter& p)
{
    page(p);
    p.setPen(pen(kInk, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(5, 4.5), QPointF(8.5, 4.5));
    p.drawLine(QPointF(5, 6.5), QPointF(11, 6.5));
    // An "i" in a green disc.
    p.setPen(pen(kWhite, 1.0));
    p.setBrush(QColor(kGreen));
    p.drawEllipse(QPointF(11.5, 11.5), 4.5, 4.5);
    p.setBrush(Qt::NoBrush);
    p.fillRect(QRectF(11, 8.5, 1.5, 1.5), QColor(kWhite));
    p.fillRect(QRectF(11, 11, 1.5, 3.5), QColor(kWhite));
}

void drawFit(QPainter& p)
{
    p.setPen(pen(kInk, 1.0));
    const QPointF corners[][3] = {
        {{1.5, 5.5}, {1.5, 1.5}, {5.5, 1.5}},
        {{10.5, 1.5}, {14.5, 1.5}, {14.5, 5.5}},
        {{14.5, 10.5}, {14.5, 14.5}, {10.5, 14.5}},
        {{5.5, 14.5}, {1.5, 14.5}, {1.5, 10.5}},
    };
    for (const auto& corner : corners)
        p.drawPolyline(corner, 3);
    // The plan, grown to fill the frame.
    fillAndStroke(p, polygonPath({{4.5, 4.5}, {11.5, 4.5}, {11.5, 11.5}, {4.5, 11.5}}), kTint, kInk);
    p.setPen(pen(kGreen, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(6.5, 9.5), QPointF(9.5, 6.5));
}

void drawZoomIn(QPainter& p)
{
    magnifier(p, {6.5, 6.5}, 5.0, 14.3, 2.6);
    p.setPen(pen(kInk, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
}

void drawZoomOut(QPainter& p)
{
    magnifier(p, {6.5, 6.5}, 5.0, 14.3, 2.6);
    p.setPen(pen(kInk, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
}

void drawZoomMouse(QPainter& p)
{
    QPen dashed = pen(kInk, 1.0, Qt::FlatCap);
    dashed.setDashPattern({2.0, 1.0});
    p.setPen(dashed);
    p.drawRect(QRectF(1.5, 1.5, 11, 8));
    magnifier(p, {10.5, 10.5}, 3.2, 15.0, 2.2);
    p.setPen(pen(kInk, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(9, 10.5), QPointF(12, 10.5));
    p.drawLine(QPointF(10.5, 9), QPointF(10.5, 12));
}

// Turning the plan: an arrow round a small plan square.
void drawRightTurn(QPainter& p)
{
    arcArrow(p, {8, 9}, 5.5, 215, -230, kInk, 1.8);
    p.fillRect(QRectF(6.5, 7.5, 3, 3), QColor(kGreen));
}

void drawLeftTurn(QPainter& p)
{
    p.save();
    p.translate(kGrid, 0);
    p.scale(-1, 1);
    drawRightTurn(p);
    p.restore();
}

// Undo: an arrow bending back to the left; redo its mirror image.
void drawUndo(QPainter& p)
{
    QPainterPath hook;
    hook.moveTo(5.5, 4.5);
    hook.lineTo(10, 4.5);
    hook.arcTo(QRectF(6, 4.5, 8, 8), 90, -180);
    hook.lineTo(3, 12.5);
    p.setPen(pen(kInk, 2.2, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kGreen));
    p.drawPolygon(QPolygonF({QPointF(0.5, 4.5), QPointF(6, 0.5), QPointF(6, 8.5)}));
}

void drawRedo(QPainter& p)
{
    p.save();
    p.translate(kGrid, 0);
    p.scale(-1, 1);
    drawUndo(p);
    p.restore();
}

// Redrawing the plan: two green arrows chasing each other.
void drawUpdate(QPainter& p)
{
    arcArrow(p, {8, 8}, 5.5, 20, 140, kGreen, 1.6);
    arcArrow(p, {8, 8}, 5.5, 200, 140, kGreen, 1.6);
}

// Display settings: three sliders.
void drawDisplaySetting(QPainter& p)
{
    p.setPen(pen(kInk, 1.0));
    for (const qreal y : {3.5, 8.5, 13.5})
        p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
    const struct { qreal x, y; QRgb fill; } knobs[] = {{4.5, 3.5, kWhite}, {10.5, 8.5, kGreen}, {6.5, 13.5, kWhite}};
    for (const auto& k : knobs)
        fillAndStroke(p, polygonPath({{k.x - 1.5, k.y - 2}, {k.x + 1.5, k.y - 2}, {k.x + 1.5, k.y + 2},
                                      {k.x - 1.5, k.y + 2}}),
                      k.fill, kInk);
}

void drawAnalysis(QPainter& p)
{
    fillAndStroke(p, circlePath({8, 8}, 7.0), kWhite, kInk, 1.0);
    propeller(p, {8, 8}, 6.2, kGreen, -10);
    p.fillPath(circlePath({8, 8}, 1.6), QColor(kInk));
}

void drawFire(QPainter& p)
{
    QPainterPath outer;
    outer.moveTo(8.2, 0.8);
    outer.cubicTo(9.0, 4.0, 13.5, 6.0, 13.5, 10.2);
    outer.cubicTo(13.5, 13.2, 11.0, 15.2, 8.0, 15.2);
    outer.cubicTo(5.0, 15.2, 2.5, 13.2, 2.5, 10.2);
    outer.cubicTo(2.5, 7.8, 4.0, 6.4, 5.2, 4.8);
    outer.cubicTo(5.5, 6.4, 6.0, 7.4, 6.9, 8.0);
    outer.cubicTo(7.2, 5.4, 6.8, 3.0, 8.2, 0.8);
    outer.closeSubpath();
    p.fillPath(outer, QColor(kRed));
    QPainterPath inner;
    inner.moveTo(8.3, 7.6);
    inner.cubicTo(8.9, 9.6, 11.0, 10.6, 11.0, 12.3);
    inner.cubicTo(11.0, 13.9, 9.6, 14.8, 8.0, 14.8);
    inner.cubicTo(6.4, 14.8, 5.0, 13.9, 5.0, 12.3);
    inner.cubicTo(5.0, 10.6, 7.4, 9.8, 8.3, 7.6);
    inner.closeSubpath();
    p.fillPath(inner, QColor(kAmber));
}

void drawStop(QPainter& p)
{
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const qreal a = qDegreesToRadians(22.5 + 45.0 * i);
        octagon << QPointF(8 + 7.4 * qCos(a), 8 + 7.4 * qSin(a));
    }
    QPainterPath path;
    path.addPolygon(octagon);
    path.closeSubpath();
    p.fillPath(path, QColor(kRed));
    p.fillRect(QRectF(3.5, 6.75, 9, 2.5), QColor(kWhite));
}

void drawMakeNode(QPainter& p) { nodeSymbol(p); plusBadge(p); }
void drawChangeNode(QPainter& p) { nodeSymbol(p); pencilBadge(p); }
void drawDeleteNode(QPainter& p) { nodeSymbol(p); crossBadge(p); }
void drawMakeRoad(QPainter& p) { roadSymbol(p); plusBadge(p); }
void drawChangeRoad(QPainter& p) { roadSymbol(p); pencilBadge(p); }
void drawDeleteRoad(QPainter& p) { roadSymbol(p); crossBadge(p); }
void drawMakeFan(QPainter& p) { fanSymbol(p); plusBadge(p); }
void drawChangeFan(QPainter& p) { fanSymbol(p); pencilBadge(p); }
void drawDeleteFan(QPainter& p) { fanSymbol(p); crossBadge(p); }

// A road bent through two bending points, the one being moved in green.
void drawRoadLocation(QPainter& p)
{
    p.setPen(pen(kInk, 1.2, Qt::FlatCap));
    const QPointF path[] = {{2.5, 13.5}, {5.5, 4.5}, {10.5, 11.5}, {13.5, 2.5}};
    p.drawPolyline(path, 4);
    node(p, path[0], 1.8);
    node(p, path[3], 1.8);
    const auto handle = [&](QPointF c, QRgb fill) {
        fillAndStroke(p, polygonPath({{c.x() - 1.5, c.y() - 1.5}, {c.x() + 1.5, c.y() - 1.5},
                                      {c.x() + 1.5, c.y() + 1.5}, {c.x() - 1.5, c.y() + 1.5}}),
                      fill, kInk);
    };
    handle(path[1], kWhite);
    handle(path[2], kGreen);
}

// A new node dropped onto a road, splitting it.
void drawInsertNode(QPainter& p)
{
    p.setPen(pen(kInk, 1.0, Qt::FlatCap));
    p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 11.5));
    node(p, {2.5, 11.5}, 2.0);
    node(p, {13.5, 11.5}, 2.0);
    node(p, {8.0, 11.5}, 2.6, kGreen);
    p.fillRect(QRectF(7, 0.5, 2, 3.5), QColor(kGreen));
    p.fillPath(polygonPath({{4.5, 4.0}, {11.5, 4.0}, {8.0, 7.5}}), QColor(kGreen));
}

using DrawIcon = void (*)(QPainter&);

struct CommandIcon {
    const char* name;
    DrawIcon draw;
};

const CommandIcon kCommandIcons[] = {
    {"new", drawNew},
    {"open", drawOpen},
    {"save", drawSave},
    {"print", drawPrint},
    {"about", drawAbout},
    {"info", drawInfo},
    {"fit", drawFit},
    {"zoomin", drawZoomIn},
    {"zoomout", drawZoomOut},
    {"zoommouse", drawZoomMouse},
    {"rightturn", drawRightTurn},
    {"leftturn", drawLeftTurn},
    {"update", drawUpdate},
    {"undo", drawUndo},
    {"redo", drawRedo},
    {"displaysetting", drawDisplaySetting},
    {"analysis", drawAnalysis},
    {"fire", drawFire},
    {"makenode", drawMakeNode},
    {"changenode", drawChangeNode},
    {"deletenode", drawDeleteNode},
    {"makeroad", drawMakeRoad},
    {"changeroad", drawChangeRoad},
    {"deleteroad", drawDeleteRoad},
    {"roadlocation", drawRoadLocation},
    {"insertnode", drawInsertNode},
    {"makefan", drawMakeFan},
    {"changefan", drawChangeFan},
    {"deletefan", drawDeleteFan},
    {"stop", drawStop},
};

}  // namespace

QIcon commandIcon(const QString& name)
{
    for (const CommandIcon& entry : kCommandIcons) {
        if (name != QLatin1String(entry.name))
            continue;
        QIcon icon;
        for (const int size : {16, 24, 32, 48})
            icon.addPixmap(render(entry.draw, size, kGrid));
        return icon;
    }
    return {};
}

QStringList commandIconNames()
{
    QStringList names;
    for (const CommandIcon& entry : kCommandIcons)
        names << QString::fromLatin1(entry.name);
    return names;
}

namespace iconpainting {

QPen pen(QRgb colour, qreal width, Qt::PenCapStyle cap)
{
    QPen result{QColor(colour), width};
    result.setCapStyle(cap);
    result.setJoinStyle(Qt::MiterJoin);
    return result;
}

void propeller(QPainter& p, QPointF centre, qreal length, QRgb colour, qreal turn)
{
    QPainterPath blade;
    blade.moveTo(0, 0);
    blade.cubicTo(0.25 * length, -0.42 * length, 0.75 * length, -0.62 * length, 0.98 * length, -0.30 * length);
    blade.cubicTo(1.05 * length, -0.05 * length, 0.55 * length, 0.12 * length, 0, 0);
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(turn + i * 120.0);
        p.fillPath(blade, QColor(colour));
        p.restore();
    }
}

}  // namespace iconpainting

}  // namespace orvex::gui
