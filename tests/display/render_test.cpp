// Drawing through QPainter: the canvas itself, the sample mine's plan with
// its pixels checked at positions computed from the plan's numbers, and the
// batch tool's plan images. The images stay in the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "analysis/analysisdialog.h"
#include "analysis/rundriver.h"
#include "canvas/qpaintercanvas.h"
#include "planimage.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

const std::string kImageDir = ORVEX_IMAGE_DIR;
constexpr double kPi = 3.14159;

bool isColour(const QImage& image, int x, int y, Colour c)
{
    return image.pixel(x, y) == qRgb(redOf(c), greenOf(c), blueOf(c));
}

// A pixel within `radius` of (x, y) that is mostly the colour: at least 35%
// of the way from the background to it, and not far off that blend.
bool colourNear(const QImage& image, double x, double y, Colour colour, Colour back, int radius = 2)
{
    const double d[3] = {double(redOf(colour) - redOf(back)), double(greenOf(colour) - greenOf(back)),
                         double(blueOf(colour) - blueOf(back))};
    const double len2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    for (int v = int(std::lround(y)) - radius; v <= int(std::lround(y)) + radius; ++v)
        for (int u = int(std::lround(x)) - radius; u <= int(std::lround(x)) + radius; ++u) {
            if (u < 0 || v < 0 || u >= image.width() || v >= image.height())
                continue;
            const QRgb p = image.pixel(u, v);
            const double q[3] = {double(qRed(p) - redOf(back)), double(qGreen(p) - greenOf(back)),
                                 double(qBlue(p) - blueOf(back))};
            const double t = (q[0] * d[0] + q[1] * d[1] + q[2] * d[2]) / len2;
            const double off = std::hypot(q[0] - t * d[0], q[1] - t * d[1], q[2] - t * d[2]);
            if (t >= 0.35 && off <= 60)
                return true;
        }
    return false;
}

TEST(PainterCanvas, LinesCirclesPolygonsDotsAndInverting)
{
    QImage image(120, 100, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 128));
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter, false);
        canvas.setPen(PenStyle::Solid, 1, rgb(255, 0, 0));
        canvas.moveTo(10, 20);
        canvas.lineTo(50, 20);
        canvas.lineTo(50, 60);  // on from the line's end
        canvas.circle(70, 40, 90, 60);
        const DevicePoint square[4] = {{10, 70}, {40, 70}, {40, 95}, {10, 95}};
        canvas.fillPolygon(square, 4, rgb(0, 255, 0), rgb(255, 255, 0));
        canvas.setPen(PenStyle::Dotted, 1, rgb(255, 255, 255));
        canvas.moveTo(0, 5);
        canvas.lineTo(100, 5);
        canvas.setPen(PenStyle::Solid, 1, rgb(255, 255, 255));
        canvas.moveTo(60, 90);
        canvas.lineTo(110, 90);  // still gathered when the canvas goes away
    }
    EXPECT_TRUE(isColour(image, 30, 20, rgb(255, 0, 0)));
    EXPECT_TRUE(isColour(image, 50, 40, rgb(255, 0, 0)));
    EXPECT_TRUE(isColour(image, 30, 23, rgb(0, 0, 128)));
    EXPECT_TRUE(colourNear(image, 90, 50, rgb(255, 0, 0), rgb(0, 0, 128), 1));
    EXPECT_TRUE(colourNear(image, 80, 40, rgb(255, 0, 0), rgb(0, 0, 128), 1));
    EXPECT_TRUE(isColour(image, 80, 50, rgb(0, 0, 128))) << "circles are hollow";
    EXPECT_TRUE(isColour(image, 25, 82, rgb(0, 255, 0)));
    EXPECT_TRUE(isColour(image, 10, 82, rgb(255, 255, 0)));
    EXPECT_TRUE(isColour(image, 85, 90, rgb(255, 255, 255)));
    int dots = 0;
    for (int x = 5; x < 95; ++x)
        dots += isColour(image, x, 5, rgb(255, 255, 255));
    EXPECT_GT(dots, 15);
    EXPECT_LT(dots, 60);

    // Inverting: the navy under the line becomes 255 − (0, 0, 128); twice restores the picture.
    const QImage before = image.copy();
    for (int pass = 1; pass <= 2; ++pass) {
        {
            QPainter painter(&image);
            QPainterCanvas canvas(painter);
            canvas.setInvert(true);
            canvas.setPen(PenStyle::Solid, 1, rgb(200, 10, 10));
            canvas.moveTo(0, 40);
            canvas.lineTo(110, 40);
            canvas.circle(20, 20, 60, 60);
        }
        EXPECT_TRUE(pass == 2 || isColour(image, 70, 40, rgb(255, 255, 127))) << "255 − (0, 0, 128)";
    }
    EXPECT_EQ(image, before);
}

// What is drawn last lies on top, whatever came before it on the same canvas:
// every pixel the last call paints on an empty picture has the same colour
// when it is drawn after the others.
TEST(PainterCanvas, TheLastCallLiesOnTop)
{
    constexpr Colour kRed = rgb(255, 0, 0), kGreen = rgb(0, 255, 0), kWhite = rgb(255, 255, 255);
    const auto line = [](Canvas& c, Colour colour, float x0, float y0, float x1, float y1) {
        c.setPen(PenStyle::Solid, 1, colour);
        c.moveTo(x0, y0);
        c.lineTo(x1, y1);
    };
    const auto ring = [](Canvas& c, Colour colour) {
        c.setPen(PenStyle::Solid, 1, colour);
        c.circle(20, 10, 40, 30);
    };
    struct Row {
        const char* what;
        std::function<void(Canvas&)> before, last;
    };
    const Row rows[] = {
        {"red, green, then red again",
         [&](Canvas& c) { line(c, kRed, 5, 20, 55, 20), line(c, kGreen, 5, 20, 55, 20); },
         [&](Canvas& c) { line(c, kRed, 5, 20, 55, 20); }},
        {"a ring after the road through it",
         [&](Canvas& c) { line(c, kWhite, 30, 0, 30, 40); },
         [&](Canvas& c) { ring(c, kGreen); }},
        {"a road after the label of the road before",
         [&](Canvas& c) { line(c, kWhite, 5, 5, 55, 5), line(c, kGreen, 10, 2, 50, 38); },
         [&](Canvas& c) { line(c, kWhite, 5, 35, 55, 35), line(c, kWhite, 30, 0, 30, 40); }},
        {"a line after an inverted one",
         [&](Canvas& c) { c.setInvert(true), line(c, kWhite, 5, 20, 55, 20), c.setInvert(false); },
         [&](Canvas& c) { line(c, kRed, 5, 20, 55, 20); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QImage alone(60, 40, QImage::Format_RGB32), drawn(60, 40, QImage::Format_RGB32);
        alone.fill(QColor(0, 0, 128));
        drawn.fill(QColor(0, 0, 128));
        for (QImage* image : {&alone, &drawn}) {
            QPainter painter(image);
            QPainterCanvas canvas(painter, false);
            if (image == &drawn)
                row.before(canvas);
            row.last(canvas);
        }
        int painted = 0, kept = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                if (alone.pixel(x, y) != qRgb(0, 0, 128))
                    ++painted, kept += drawn.pixel(x, y) == alone.pixel(x, y);
        EXPECT_GT(painted, 30);
        EXPECT_EQ(kept, painted) << "pixels of the last call covered by what came before it";
    }
}

// The editor shows a road emphasised and then normal again on the window's
// canvas: afterwards the window looks as if it had only been drawn normally.
TEST(PainterCanvas, ARoadEmphasisedAndBackLooksAsBefore)
{
    auto view = makeView();
    addNode(*view, 1, -200, -50);
    addNode(*view, 2, 200, 50);
    addRoad(*view, 1, 2, 5.0f, {{0, 100, 2}});
    QImage once(1000, 1000, QImage::Format_RGB32), back(1000, 1000, QImage::Format_RGB32);
    for (QImage* image : {&once, &back}) {
        image->fill(QColor(0, 0, 128));
        QPainter painter(image);
        QPainterCanvas canvas(painter, false);
        view->drawRoadOnWindow(canvas, 1, kRoad, kOnline, kUnderline);
        if (image == &back) {
            view->drawRoadOnWindow(canvas, 1, kStrong, kStrong, kStrong);
            view->drawRoadOnWindow(canvas, 1, kRoad, kOnline, kUnderline);
        }
    }
    int road = 0, strong = 0;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x)
            road += isColour(back, x, y, kRoad), strong += isColour(back, x, y, kStrong);
    EXPECT_GT(road, 300);
    EXPECT_EQ(strong, 0);
    EXPECT_TRUE(back == once) << "the emphasis shows through";
}

// --- the sample mine's plan ------------------------------------------------------

constexpr Colour kNavy = rgb(0, 0, 128), kWhite = rgb(255, 255, 255), kGreen = rgb(0, 255, 0),
                 kMagenta = rgb(255, 0, 255), kCyan = rgb(0, 255, 255);

struct Line {
    double x0, y0, x1, y1;
    double distance(double x, double y) const
    {
        const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
        const double t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0) : 0;
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
    }
};
struct Place {  // a disc of `radius`, or a box `radius` wide and `height` high each way
    double x, y, radius, height = -1;
    std::size_t characters = 0;
    double distance(double px, double py) const
    {
        if (height < 0)
            return std::hypot(px - x, py - y) - radius;
        return std::hypot(std::max(0.0, std::fabs(px - x) - radius), std::max(0.0, std::fabs(py - y) - height));
    }
};

// The sample mine after its analysis, drawn at 1600 × 1000, and where the
// drawing rules put things, in device pixels: node circles; road segments
// between the node circles, "no line" ones left out; each road's label around
// the middle of its longest drawn segment and each node's number around
// (x, y − 0.35 c), a text of length (n − 1) × 0.55 c + 0.4 c and height
// 0.75 c (the number upright, the label along its road at any angle);
// symbols within 0.6 c of their bending points; a fan's ring (r) and hub
// (r / 2) around C = inlet + 2r along the fan, its duct within r of the line
// on to the outlet's circle.
class SamplePlan : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        mine = new SampleMine;
        ASSERT_TRUE(mine->opened) << mine->reporter.all();
        QuietAnalysisDialog dialog;
        ASSERT_EQ(runAnalysis(*mine->doc, dialog).result, 1) << mine->reporter.all();
        view = new PlanView;
        RecordingReporter reporter;
        view->font.load(kSourceDir, reporter);
        ASSERT_TRUE(reporter.messages.empty()) << reporter.all();
        view->settings.colours =
            ColourSlots{kNavy, kWhite, kGreen, rgb(255, 255, 0), kMagenta, kCyan, rgb(255, 0, 0), rgb(255, 128, 0)};
        view->geo.clientWidth = 1600, view->geo.clientHeight = 1000;
        view->networkLoaded = true;
        view->update(*mine->doc);
        view->fitToWindow();
        image = new QImage(1600, 1000, QImage::Format_RGB32);
        {
            QPainter painter(image);
            QPainterCanvas canvas(painter);
            view->paint(canvas);
        }
        image->save(QString::fromStdString(kImageDir + "/mine_plan_checked.png"), "PNG");

        const PlanData& d = view->data;
        const double r = view->geo.nodeRadius, c = view->geo.charSize, s = view->geo.scale;
        const auto at = [&](int i) { return dev(d.nodeX[std::size_t(i)], d.nodeY[std::size_t(i)]); };
        const auto text = [&](double x, double y, std::size_t n, bool upright) {
            const double half = ((double(n) - 1) * 0.55 * c + 0.4 * c) / 2;
            if (upright)
                return Place{dev(x, y + 0.375 * c).x, dev(x, y + 0.375 * c).y, half * s, 0.375 * c * s, n};
            return Place{dev(x, y).x, dev(x, y).y, std::hypot(half, 0.75 * c) * s, -1, n};
        };
        for (int i = 1; i <= d.nodeCount; ++i) {
            nodes.push_back({at(i).x, at(i).y, r * s});
            const std::size_t digits = std::to_string(d.nodeNumber[std::size_t(i)]).size();
            numbers.push_back(text(d.nodeX[std::size_t(i)], d.nodeY[std::size_t(i)] - 0.35 * c, digits, true));
        }
        for (int j = 1; j <= d.roadCount + d.fixedCount; ++j) {
            const int a = d.nodeIndex(d.roadFirst[std::size_t(j)]), b = d.nodeIndex(d.roadSecond[std::size_t(j)]);
            std::vector<BendSlot> p{{0, d.nodeX[std::size_t(a)], d.nodeY[std::size_t(a)]}};
            for (int k = 1, at = d.roadBend[std::size_t(j)]; at > 0 && k <= d.bends[std::size_t(at)].mark; ++k)
                p.push_back(d.bends[std::size_t(at + k)]);
            p.push_back({0, d.nodeX[std::size_t(b)], d.nodeY[std::size_t(b)]});
            double longest = 0, mx = 0, my = 0;
            for (std::size_t k = 1; k < p.size(); ++k) {
                const bool last = k + 1 == p.size();
                if (!last && p[k].mark >= 2)
                    symbols.push_back({dev(p[k].x, p[k].y).x, dev(p[k].x, p[k].y).y, 0.6 * c * s});
                if (!last && p[k].mark == -1)
                    continue;
                const double t = std::atan2(p[k].y - p[k - 1].y, p[k].x - p[k - 1].x);
                const double in = k == 1 ? r : 0, out = last ? r : 0;  // cut at the node circles
                const double sx = p[k - 1].x + in * std::cos(t), sy = p[k - 1].y + in * std::sin(t);
                const double ex = p[k].x - out * std::cos(t), ey = p[k].y - out * std::sin(t);
                segments.push_back({dev(sx, sy).x, dev(sx, sy).y, dev(ex, ey).x, dev(ex, ey).y});
                segmentRoad.push_back(j);
                if (std::hypot(ex - sx, ey - sy) > longest + 1e-3)  // the first of equally long ones
                    longest = std::hypot(ex - sx, ey - sy), mx = (sx + ex) / 2, my = (sy + ey) / 2;
            }
            const std::string label =
                roadLabel(1, d.onlineValue[std::size_t(j)], 1, j > d.roadCount, 0, 0, 0, false, "");
            labels.push_back(text(mx, my, label.size(), false));
        }
        for (int f = 1; f <= d.fanCount; ++f) {
            const DevicePoint a = at(d.nodeIndex(d.fanFirst[std::size_t(f)]));
            const DevicePoint b = at(d.nodeIndex(d.fanSecond[std::size_t(f)]));
            const double len = std::hypot(b.x - a.x, b.y - a.y), ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
            fans.push_back({a.x + 2 * r * s * ux, a.y + 2 * r * s * uy, b.x - r * s * ux, b.y - r * s * uy});
        }
    }
    static void TearDownTestSuite()
    {
        delete image;
        delete view;
        delete mine;
    }
    static DevicePoint dev(double x, double y) { return view->geo.worldToDevice(float(x), float(y)); }
    // How far a device point is from everything drawn, leaving out one node and the road segments if asked.
    static double clearance(double x, double y, std::size_t node = 0, bool withSegments = true)
    {
        double best = 1e9;
        for (const std::vector<Place>* discs : {&labels, &numbers, &symbols})
            for (const Place& d : *discs)
                best = std::min(best, d.distance(x, y));
        for (std::size_t i = 0; i < nodes.size(); ++i)
            best = i + 1 == node ? best : std::min(best, std::fabs(nodes[i].distance(x, y)) - 0.15 * nodes[i].radius);
        for (const Line& f : fans)
            best = std::min(best, f.distance(x, y) - nodes[0].radius);
        for (const Line& s : segments)
            best = withSegments ? std::min(best, s.distance(x, y)) : best;
        return best;
    }
    static inline SampleMine* mine = nullptr;
    static inline PlanView* view = nullptr;
    static inline QImage* image = nullptr;
    static inline std::vector<Place> nodes, numbers, labels, symbols;
    static inline std::vector<Line> segments, fans;  // a fan: from C to the outlet's circle
    static inline std::vector<int> segmentRoad;
};

TEST_F(SamplePlan, NodeCirclesAndFansAreWhereTheirNodesAre)
{
    ASSERT_GT(nodes.size(), 40u);
    EXPECT_GT(std::max(view->geo.scrollWidth / 1600.0, view->geo.scrollHeight / 1000.0), 0.97) << "fitted";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const Place& n = nodes[i];
        EXPECT_TRUE(n.x - 1.15 * n.radius >= 0 && n.x + 1.15 * n.radius <= 1600 && n.y - 1.15 * n.radius >= 0 &&
                    n.y + 1.15 * n.radius <= 1000) << "node " << view->data.nodeNumber[i + 1] << " inside the image";
        int checked = 0;
        for (int step = 0; step < 24; ++step) {  // rim points clear of everything else
            const double x = n.x + n.radius * std::cos(step * kPi / 12), y = n.y - n.radius * std::sin(step * kPi / 12);
            if (clearance(x, y, i + 1) <= 3)
                continue;
            ++checked;
            EXPECT_TRUE(colourNear(*image, x, y, kMagenta, kNavy))
                << "node " << view->data.nodeNumber[i + 1] << " at " << step * 15 << "°";
        }
        EXPECT_GE(checked, 1) << "node " << view->data.nodeNumber[i + 1];
        EXPECT_FALSE(colourNear(*image, n.x, n.y - n.radius / 2, kMagenta, kNavy, 0))
            << "inside node " << view->data.nodeNumber[i + 1];
    }
    ASSERT_EQ(fans.size(), 2u);
    for (const Line& f : fans) {
        const double r = nodes[0].radius, len = std::hypot(f.x1 - f.x0, f.y1 - f.y0);
        const double ux = (f.x1 - f.x0) / len, uy = (f.y1 - f.y0) / len;
        EXPECT_TRUE(colourNear(*image, f.x0 - uy * r / 2, f.y0 + ux * r / 2, kMagenta, kNavy, 1)) << "hub";
        EXPECT_TRUE(colourNear(*image, f.x0 + uy * r / 2, f.y0 - ux * r / 2, kMagenta, kNavy, 1)) << "hub";
        EXPECT_TRUE(colourNear(*image, f.x0 - ux * r, f.y0 - uy * r, kMagenta, kNavy, 1)) << "ring";
        EXPECT_TRUE(isColour(*image, int(f.x0), int(f.y0), kNavy)) << "the hub's centre";
    }
}

TEST_F(SamplePlan, EveryRoadIsDrawnAlongItsSegments)
{
    std::vector<int> checked(std::size_t(view->data.roadCount + view->data.fixedCount + 1), 0);
    for (std::size_t s = 0; s < segments.size(); ++s)
        for (double f = 0.1; f < 0.95; f += 0.05) {
            const Line& seg = segments[s];
            const double x = seg.x0 + f * (seg.x1 - seg.x0), y = seg.y0 + f * (seg.y1 - seg.y0);
            if (clearance(x, y, 0, false) <= 4)
                continue;
            ++checked[std::size_t(segmentRoad[s])];
            EXPECT_TRUE(colourNear(*image, x, y, kWhite, kNavy))
                << "road " << segmentRoad[s] << " at " << x << ", " << y;
        }
    for (std::size_t j = 1; j < checked.size(); ++j)
        EXPECT_GE(checked[j], 1) << "road " << j << " was checked nowhere";
}

TEST_F(SamplePlan, LabelsAroundTheirPlacesAndNothingAwayFromThePlan)
{
    std::vector<int> inside[2] = {std::vector<int>(labels.size()), std::vector<int>(numbers.size())};
    int stray = 0, empty = 0;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1600; ++x) {
            for (int kind = 0; kind < 2; ++kind) {  // label strokes (green) and node numbers (cyan)
                if (!colourNear(*image, x, y, kind == 0 ? kGreen : kCyan, kNavy, 0))
                    continue;
                const std::vector<Place>& discs = kind == 0 ? labels : numbers;
                bool placed = false;
                for (std::size_t k = 0; k < discs.size(); ++k)
                    if (discs[k].distance(x + 0.5, y + 0.5) <= 1.5)
                        placed = true, ++inside[kind][k];
                if (!placed && ++stray <= 10)
                    ADD_FAILURE() << (kind == 0 ? "label" : "number") << " pixel at " << x << ", " << y
                                  << " is in no place of its kind";
            }
            if (x % 23 == 5 && y % 23 == 5 && clearance(x, y) >= 8) {
                ++empty;
                EXPECT_TRUE(isColour(*image, x, y, kNavy)) << "drawn away from the plan at " << x << ", " << y;
            }
        }
    EXPECT_EQ(stray, 0);
    EXPECT_GT(empty, 1000);
    for (std::size_t k = 0; k < labels.size(); ++k)
        EXPECT_GE(inside[0][k], 3 * int(labels[k].characters)) << "label of road " << k + 1;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        EXPECT_GE(inside[1][i], 4) << "number of node " << view->data.nodeNumber[i + 1];
}

// --- the batch tool's plan images ---------------------------------------------

TEST(PlanImages, ScreenColoursAndPrintColours)
{
    SampleMine mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    QuietAnalysisDialog dialog;
    ASSERT_EQ(runAnalysis(*mine.doc, dialog).result, 1);
    cli::PlanOptions options;
    const std::string screen = kImageDir + "/mine_plan.png", print = kImageDir + "/mine_plan_print.png";
    ASSERT_TRUE(cli::writePlanImage(*mine.doc, options, screen, mine.reporter)) << mine.reporter.all();
    options.printColours = true;
    ASSERT_TRUE(cli::writePlanImage(*mine.doc, options, print, mine.reporter)) << mine.reporter.all();
    const QImage shown(QString::fromStdString(screen)), printed(QString::fromStdString(print));
    ASSERT_EQ(shown.size(), QSize(1600, 1000));
    ASSERT_EQ(printed.size(), QSize(1600, 1000));

    // The writer's view: the plan fitted to 1600 × 1000. The tops of nodes 2
    // (far left), 310 (bottom) and 3 are clear of their roads.
    PlanView view;
    view.geo.clientWidth = 1600, view.geo.clientHeight = 1000;
    view.update(*mine.doc);
    view.fitToWindow();
    const DisplaySettings defaults;
    for (const int number : {2, 310, 3}) {
        const int i = view.data.nodeIndex(number);
        const DevicePoint c = view.geo.worldToDevice(view.data.nodeX[std::size_t(i)], view.data.nodeY[std::size_t(i)]);
        const double top = c.y - view.geo.nodeRadius * view.geo.scale;
        EXPECT_TRUE(colourNear(shown, c.x, top, defaults.colours.node, defaults.colours.back)) << number;
        EXPECT_TRUE(colourNear(printed, c.x, top, defaults.print.node, rgb(255, 255, 255))) << number;
    }
    EXPECT_TRUE(isColour(shown, 1590, 990, defaults.colours.back)) << "bottom right is empty";
    EXPECT_TRUE(isColour(printed, 1590, 990, rgb(255, 255, 255)));

    mine.reporter.messages.clear();
    EXPECT_FALSE(cli::writePlanImage(*mine.doc, options, "/nonexistent-folder/plan.png", mine.reporter));
    EXPECT_EQ(mine.reporter.messages.size(), 1u) << "a file that cannot be written is reported";
}

}  // namespace
}  // namespace orvex::displaytest

// The plan images need a GUI application (fonts, image writers).
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
