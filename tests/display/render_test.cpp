// Drawing through QPainter: the canvas itself, the sample mine's plan with
// its pixels checked at positions computed from the plan's geometry, and
// the batch tool's plan images. The images stay in the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "analysis/analysisdialog.h"
#include "analysis/rundriver.h"
#include "canvas/qpaintercanvas.h"
#include "display/planview.h"
#include "planimage.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

const std::string kImageDir = ORVEX_IMAGE_DIR;

struct Rgb {
    int r, g, b;
};
Rgb rgbOf(Colour c) { return {redOf(c), greenOf(c), blueOf(c)}; }
Rgb pixel(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p)};
}

// How far a pixel is a blend of the background toward a colour: the blend
// factor t along background -> target (1 is the colour itself), and how far
// the pixel lies off that line (0 for a pure blend).
void blend(Rgb p, Rgb back, Rgb target, double& t, double& off)
{
    const double dx = target.r - back.r, dy = target.g - back.g, dz = target.b - back.b;
    const double px = p.r - back.r, py = p.g - back.g, pz = p.b - back.b;
    const double len2 = dx * dx + dy * dy + dz * dz;
    t = len2 > 0 ? (px * dx + py * dy + pz * dz) / len2 : 0;
    const double ex = px - t * dx, ey = py - t * dy, ez = pz - t * dz;
    off = std::sqrt(ex * ex + ey * ey + ez * ez);
}

// A pixel within `radius` of (x, y) that is (mostly) the colour, allowing for
// antialiasing against the background.
bool colourNear(const QImage& image, double x, double y, Colour colour, Colour back, int radius = 2)
{
    const int cx = int(std::lround(x)), cy = int(std::lround(y));
    for (int v = cy - radius; v <= cy + radius; ++v)
        for (int u = cx - radius; u <= cx + radius; ++u) {
            if (u < 0 || v < 0 || u >= image.width() || v >= image.height())
                continue;
            double t = 0, off = 0;
            blend(pixel(image, u, v), rgbOf(back), rgbOf(colour), t, off);
            if (t >= 0.35 && off <= 60)
                return true;
        }
    return false;
}

bool isColour(const QImage& image, int x, int y, Colour colour)
{
    const Rgb p = pixel(image, x, y), c = rgbOf(colour);
    return p.r == c.r && p.g == c.g && p.b == c.b;
}

// --- the canvas ------------------------------------------------------------------

class PainterCanvas : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = QImage(120, 100, QImage::Format_RGB32);
        image.fill(QColor(0, 0, 128));
    }
    QImage image;
};

TEST_F(PainterCanvas, ColoursAreRedInTheLowestByte)
{
    EXPECT_EQ(toQColor(rgb(10, 20, 30)), QColor(10, 20, 30));
    EXPECT_EQ(toQColor(Colour(0x00FF0000)), QColor(0, 0, 255));
}

TEST_F(PainterCanvas, LinesCirclesAndPolygonsLandOnTheirPixels)
{
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter, false);
        canvas.setPen(PenStyle::Solid, 1, rgb(255, 0, 0));
        canvas.moveTo(10, 20);
        canvas.lineTo(50, 20);
        canvas.lineTo(50, 60);  // continues from the line's end
        canvas.circle(70, 40, 90, 60);
        const DevicePoint square[4] = {{10, 70}, {40, 70}, {40, 95}, {10, 95}};
        canvas.fillPolygon(square, 4, rgb(0, 255, 0), rgb(255, 255, 0));
        // Lines still gathered are drawn when the canvas goes away.
        canvas.setPen(PenStyle::Solid, 1, rgb(255, 255, 255));
        canvas.moveTo(60, 90);
        canvas.lineTo(110, 90);
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
}

TEST_F(PainterCanvas, DottedPenLeavesGaps)
{
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter, false);
        canvas.setPen(PenStyle::Dotted, 1, rgb(255, 255, 255));
        canvas.moveTo(0, 10);
        canvas.lineTo(100, 10);
        canvas.setPen(PenStyle::Solid, 1, rgb(255, 255, 255));
        canvas.moveTo(0, 30);
        canvas.lineTo(100, 30);
    }
    int dotted = 0, solid = 0;
    for (int x = 5; x < 95; ++x) {
        dotted += isColour(image, x, 10, rgb(255, 255, 255));
        solid += isColour(image, x, 30, rgb(255, 255, 255));
    }
    EXPECT_EQ(solid, 90);
    EXPECT_GT(dotted, 15);
    EXPECT_LT(dotted, 60);
}

TEST_F(PainterCanvas, InvertingTwiceRestoresThePicture)
{
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        canvas.setPen(PenStyle::Solid, 1, rgb(200, 10, 10));
        canvas.moveTo(5, 5);
        canvas.lineTo(100, 50);
    }
    const QImage before = image.copy();
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        canvas.setInvert(true);
        canvas.setPen(PenStyle::Solid, 1, rgb(200, 10, 10));
        canvas.moveTo(0, 40);
        canvas.lineTo(110, 40);
        canvas.circle(20, 20, 60, 60);
        canvas.setInvert(false);
    }
    // Background under the inverted line: 255 - (0, 0, 128).
    EXPECT_TRUE(isColour(image, 70, 40, rgb(255, 255, 127)));
    EXPECT_NE(image, before);
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        canvas.setInvert(true);
        canvas.moveTo(0, 40);
        canvas.lineTo(110, 40);
        canvas.circle(20, 20, 60, 60);
    }
    EXPECT_EQ(image, before);
}

// --- the sample mine's plan ------------------------------------------------------

constexpr Colour kNavy = rgb(0, 0, 128);
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kGreen = rgb(0, 255, 0);
constexpr Colour kMagenta = rgb(255, 0, 255);
constexpr Colour kCyan = rgb(0, 255, 255);

struct Box {  // a label's rectangle, turned: along u from its start, up by v
    double sx, sy, ux, uy, vx, vy, length, height;
    // Distance from a device point (0 inside).
    double distance(double x, double y) const
    {
        const double px = x - sx, py = y - sy;
        const double a = px * ux + py * uy, b = px * vx + py * vy;
        const double da = a < 0 ? -a : a > length ? a - length : 0;
        const double db = b < 0 ? -b : b > height ? b - height : 0;
        return std::hypot(da, db);
    }
    double cx() const { return sx + ux * length / 2 + vx * height / 2; }
    double cy() const { return sy + uy * length / 2 + vy * height / 2; }
};

struct DeviceSegment {
    double x0, y0, x1, y1;
    double distance(double x, double y) const
    {
        const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
        const double t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0) : 0;
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
    }
};

class SamplePlan : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        fixture = new DocFixture;
        ASSERT_TRUE(openSampleMine(*fixture));
        QuietAnalysisDialog dialog;
        const RunOutcome outcome = runAnalysis(*fixture->doc, dialog);
        ASSERT_EQ(outcome.result, 1) << fixture->reporter.all();

        view = new PlanView;
        RecordingReporter reporter;
        view->font.load(kSourceDir, reporter);
        ASSERT_TRUE(reporter.messages.empty()) << reporter.all();
        view->settings.colours = ColourSlots{kNavy, kWhite, kGreen, rgb(255, 255, 0),
                                             kMagenta, kCyan, rgb(255, 0, 0), rgb(255, 128, 0)};
        view->geo.clientWidth = 1600;
        view->geo.clientHeight = 1000;
        view->networkLoaded = true;
        view->update(*fixture->doc);
        view->fitToWindow();

        image = new QImage(1600, 1000, QImage::Format_RGB32);
        {
            QPainter painter(image);
            QPainterCanvas canvas(painter);
            view->paint(canvas);
        }
        image->save(QString::fromStdString(kImageDir + "/mine_plan_checked.png"), "PNG");
        collectGeometry();
    }
    static void TearDownTestSuite()
    {
        delete image;
        delete view;
        delete fixture;
        image = nullptr;
        view = nullptr;
        fixture = nullptr;
    }

    static DevicePoint dev(double x, double y) { return view->geo.worldToDevice(float(x), float(y)); }
    static double pixels(double world) { return world * view->geo.scale; }

    // The road's points: first node, bending points (with marks), second node.
    struct RoadPoint {
        double x, y;
        int mark;
    };
    static std::vector<RoadPoint> roadPoints(int j)
    {
        const PlanData& d = view->data;
        const int a = d.nodeIndex(d.roadFirst[std::size_t(j)]), b = d.nodeIndex(d.roadSecond[std::size_t(j)]);
        std::vector<RoadPoint> points{{d.nodeX[std::size_t(a)], d.nodeY[std::size_t(a)], 0}};
        const int s = d.roadBend[std::size_t(j)];
        if (s > 0)
            for (int k = 1; k <= d.bends[std::size_t(s)].mark; ++k) {
                const BendSlot& p = d.bends[std::size_t(s + k)];
                points.push_back({p.x, p.y, p.mark});
            }
        points.push_back({d.nodeX[std::size_t(b)], d.nodeY[std::size_t(b)], 0});
        return points;
    }

    // Boxes of the labels as the label rules place them: centred on the
    // middle of the longest drawn segment, never upside down.
    static void collectGeometry()
    {
        const PlanData& d = view->data;
        const double r = view->geo.nodeRadius, c = view->geo.charSize;
        const double pi = 3.14159;
        for (int j = 1; j <= d.roadCount + d.fixedCount; ++j) {
            const std::vector<RoadPoint> p = roadPoints(j);
            const std::size_t n = p.size() - 2;
            double best = 0, theta = 0, mx = 0, my = 0;
            for (std::size_t k = 1; k <= n + 1; ++k) {
                if (k <= n && p[k].mark == -1)
                    continue;
                const double t = std::atan2(p[k].y - p[k - 1].y, p[k].x - p[k - 1].x);
                double sx = p[k - 1].x, sy = p[k - 1].y, ex = p[k].x, ey = p[k].y;
                if (k == 1)
                    sx += r * std::cos(t), sy += r * std::sin(t);
                if (k == n + 1)
                    ex -= r * std::cos(t), ey -= r * std::sin(t);
                const DevicePoint a = dev(sx, sy), b = dev(ex, ey);
                segments.push_back({a.x, a.y, b.x, b.y});
                segmentRoad.push_back(j);
                if (k <= n && p[k].mark >= 2)
                    symbols.push_back(dev(p[k].x, p[k].y));
                const double len = (ex - sx) * (ex - sx) + (ey - sy) * (ey - sy);
                if (len > best)
                    best = len, theta = t, mx = (sx + ex) / 2, my = (sy + ey) / 2;
            }
            bool turned = false;
            if (roundHalfAway(theta) >= 2)
                theta -= pi, turned = true;
            else if (theta < -pi / 2)
                theta += pi, turned = true;
            const std::string text =
                roadLabel(1, d.onlineValue[std::size_t(j)], turned ? 1.0f : -1.0f, j > d.roadCount, 0, 0, 0,
                          false, "");
            labels.push_back(textBox(text.size(), mx, my, theta, c));
            labelText.push_back(text);
        }
        for (int i = 1; i <= d.nodeCount; ++i) {
            const std::string number = std::to_string(d.nodeNumber[std::size_t(i)]);
            numbers.push_back(textBox(number.size(), d.nodeX[std::size_t(i)],
                                      d.nodeY[std::size_t(i)] - 0.35 * c, 0, c));
        }
        for (int f = 1; f <= d.fanCount; ++f) {
            const int a = d.nodeIndex(d.fanFirst[std::size_t(f)]), b = d.nodeIndex(d.fanSecond[std::size_t(f)]);
            const double ax = d.nodeX[std::size_t(a)], ay = d.nodeY[std::size_t(a)];
            const double t = std::atan2(d.nodeY[std::size_t(b)] - ay, d.nodeX[std::size_t(b)] - ax);
            const double cx = ax + 2 * r * std::cos(t), cy = ay + 2 * r * std::sin(t);
            fanHubs.push_back({cx, cy, t});
            const DevicePoint from = dev(ax, ay), to = dev(d.nodeX[std::size_t(b)], d.nodeY[std::size_t(b)]);
            // The ring and the duct lie within r of the line between the nodes.
            fanLines.push_back({from.x, from.y, to.x, to.y});
        }
    }

    // A text of n characters centred on (mx, my) along theta, as a device box.
    static Box textBox(std::size_t n, double mx, double my, double theta, double c)
    {
        const double length = (double(n) - 1) * 0.55 * c + 0.4 * c;
        const DevicePoint start = dev(mx - length / 2 * std::cos(theta), my - length / 2 * std::sin(theta));
        // Device y points down: "up" along the text is (−sin θ, −cos θ).
        return {start.x, start.y, std::cos(theta), -std::sin(theta), -std::sin(theta), -std::cos(theta),
                pixels(length), pixels(0.75 * c)};
    }

    // Distance from a device point to the nearest thing the plan draws.
    static double clearance(double x, double y)
    {
        const PlanData& d = view->data;
        double best = 1e9;
        for (int i = 1; i <= d.nodeCount; ++i) {
            const DevicePoint c = dev(d.nodeX[std::size_t(i)], d.nodeY[std::size_t(i)]);
            best = std::min(best, std::hypot(x - c.x, y - c.y) - pixels(1.15 * view->geo.nodeRadius));
        }
        for (const DeviceSegment& s : segments)
            best = std::min(best, s.distance(x, y));
        for (const DeviceSegment& s : fanLines)
            best = std::min(best, s.distance(x, y) - pixels(view->geo.nodeRadius));
        for (const Box& b : labels)
            best = std::min(best, b.distance(x, y));
        for (const Box& b : numbers)
            best = std::min(best, b.distance(x, y));
        for (const DevicePoint& p : symbols)
            best = std::min(best, std::hypot(x - p.x, y - p.y) - pixels(0.6 * view->geo.charSize));
        return best;
    }

    // Device angles (counter-clockwise on the screen) from node index i to
    // the other node of each fan at it.
    static std::vector<double> fanDirections(int i)
    {
        const PlanData& d = view->data;
        std::vector<double> out;
        for (int f = 1; f <= d.fanCount; ++f) {
            const int a = d.nodeIndex(d.fanFirst[std::size_t(f)]), b = d.nodeIndex(d.fanSecond[std::size_t(f)]);
            if (a != i && b != i)
                continue;
            const int other = a == i ? b : a;
            out.push_back(std::atan2(double(d.nodeY[std::size_t(other)] - d.nodeY[std::size_t(i)]),
                                     double(d.nodeX[std::size_t(other)] - d.nodeX[std::size_t(i)])));
        }
        return out;
    }

    struct Hub {
        double x, y, theta;
    };
    static DocFixture* fixture;
    static PlanView* view;
    static QImage* image;
    static std::vector<DeviceSegment> segments, fanLines;
    static std::vector<int> segmentRoad;
    static std::vector<DevicePoint> symbols;
    static std::vector<Box> labels, numbers;
    static std::vector<std::string> labelText;
    static std::vector<Hub> fanHubs;
};

DocFixture* SamplePlan::fixture = nullptr;
PlanView* SamplePlan::view = nullptr;
QImage* SamplePlan::image = nullptr;
std::vector<DeviceSegment> SamplePlan::segments, SamplePlan::fanLines;
std::vector<int> SamplePlan::segmentRoad;
std::vector<DevicePoint> SamplePlan::symbols;
std::vector<Box> SamplePlan::labels, SamplePlan::numbers;
std::vector<std::string> SamplePlan::labelText;
std::vector<SamplePlan::Hub> SamplePlan::fanHubs;

TEST_F(SamplePlan, FitsTheImage)
{
    const PlanData& d = view->data;
    ASSERT_GT(d.nodeCount, 40);
    for (int i = 1; i <= d.nodeCount; ++i) {
        const DevicePoint p = dev(d.nodeX[std::size_t(i)], d.nodeY[std::size_t(i)]);
        const double rim = pixels(1.15 * view->geo.nodeRadius);
        EXPECT_GE(p.x - rim, 0) << "node " << d.nodeNumber[std::size_t(i)];
        EXPECT_LE(p.x + rim, 1600) << "node " << d.nodeNumber[std::size_t(i)];
        EXPECT_GE(p.y - rim, 0) << "node " << d.nodeNumber[std::size_t(i)];
        EXPECT_LE(p.y + rim, 1000) << "node " << d.nodeNumber[std::size_t(i)];
    }
    // Fitted: the plan fills the image in one direction.
    EXPECT_GT(std::max(view->geo.scrollWidth / 1600.0, view->geo.scrollHeight / 1000.0), 0.97);
}

TEST_F(SamplePlan, EveryNodeCircleIsWhereItsNodeIs)
{
    const PlanData& d = view->data;
    for (int i = 1; i <= d.nodeCount; ++i) {
        const DevicePoint c = dev(d.nodeX[std::size_t(i)], d.nodeY[std::size_t(i)]);
        const double radius = pixels(view->geo.nodeRadius);
        int checked = 0;
        for (int step = 0; step < 24; ++step) {
            const double a = step * 15 * 3.14159265 / 180;
            const double x = c.x + radius * std::cos(a), y = c.y - radius * std::sin(a);
            // Points of the rim away from the roads and fans that leave the node.
            bool clear = true;
            for (const DeviceSegment& s : segments)
                clear = clear && s.distance(x, y) > 3;
            // Three-digit numbers reach the rim at the sides.
            clear = clear && numbers[std::size_t(i - 1)].distance(x, y) > 2;
            for (const double fan : fanDirections(i)) {
                const double diff = std::remainder(a - fan, 2 * 3.14159265);
                clear = clear && std::fabs(diff) > 50 * 3.14159265 / 180;
            }
            if (!clear)
                continue;
            ++checked;
            EXPECT_TRUE(colourNear(*image, x, y, kMagenta, kNavy))
                << "node " << d.nodeNumber[std::size_t(i)] << " at " << step * 15 << " degrees (" << x << ", "
                << y << ")";
        }
        EXPECT_GE(checked, 2) << "node " << d.nodeNumber[std::size_t(i)];
        // The centre of the circle is not drawn over by the node colour.
        EXPECT_FALSE(colourNear(*image, c.x, c.y - pixels(view->geo.nodeRadius) / 2, kMagenta, kNavy, 0))
            << "node " << d.nodeNumber[std::size_t(i)];
    }
}

TEST_F(SamplePlan, EveryRoadIsDrawnAlongItsSegments)
{
    std::vector<int> checkedPerRoad(std::size_t(view->data.roadCount + view->data.fixedCount + 1), 0);
    for (std::size_t s = 0; s < segments.size(); ++s) {
        const DeviceSegment& seg = segments[s];
        const int road = segmentRoad[s];
        for (double f = 0.1; f < 0.95; f += 0.05) {
            const double x = seg.x0 + f * (seg.x1 - seg.x0), y = seg.y0 + f * (seg.y1 - seg.y0);
            bool clear = true;
            for (const Box& b : labels)
                clear = clear && b.distance(x, y) > 4;
            for (const Box& b : numbers)
                clear = clear && b.distance(x, y) > 4;
            for (const DevicePoint& p : symbols)
                clear = clear && std::hypot(x - p.x, y - p.y) > pixels(view->geo.charSize);
            for (const DeviceSegment& fan : fanLines)
                clear = clear && fan.distance(x, y) > pixels(view->geo.nodeRadius) + 3;
            const PlanData& d = view->data;
            for (int i = 1; i <= d.nodeCount; ++i) {
                const DevicePoint c = dev(d.nodeX[std::size_t(i)], d.nodeY[std::size_t(i)]);
                clear = clear && std::hypot(x - c.x, y - c.y) > pixels(1.15 * view->geo.nodeRadius) + 3;
            }
            if (!clear)
                continue;
            ++checkedPerRoad[std::size_t(road)];
            EXPECT_TRUE(colourNear(*image, x, y, kWhite, kNavy)) << "road " << road << " at (" << x << ", " << y << ")";
        }
    }
    for (int j = 1; j < int(checkedPerRoad.size()); ++j)
        EXPECT_GE(checkedPerRoad[std::size_t(j)], 1) << "road " << j << " was not checked anywhere";
}

TEST_F(SamplePlan, FanHubsAndRingsSitBesideTheirInletNodes)
{
    ASSERT_EQ(fanHubs.size(), 2u);
    const double r = view->geo.nodeRadius;
    for (const Hub& h : fanHubs) {
        const DevicePoint c = dev(h.x, h.y);
        // The hub (r/2) on both sides across the fan, the ring (r) beyond it.
        for (const double side : {1.0, -1.0}) {
            const double nx = -std::sin(h.theta) * side, ny = std::cos(h.theta) * side;
            const DevicePoint hub = dev(h.x + r / 2 * nx, h.y + r / 2 * ny);
            EXPECT_TRUE(colourNear(*image, hub.x, hub.y, kMagenta, kNavy, 1)) << "hub at (" << hub.x << ", " << hub.y << ")";
        }
        const DevicePoint far = dev(h.x + r * std::cos(h.theta), h.y + r * std::sin(h.theta));
        EXPECT_TRUE(colourNear(*image, far.x, far.y, kMagenta, kNavy, 1));
        // Nothing at the hub's centre.
        EXPECT_TRUE(isColour(*image, int(c.x), int(c.y), kNavy)) << "hub centre (" << c.x << ", " << c.y << ")";
    }
}

TEST_F(SamplePlan, LabelsAreDrawnInTheirBoxesAndNowhereElse)
{
    // Every road label box holds strokes of the label colour...
    for (std::size_t j = 0; j < labels.size(); ++j) {
        const Box& b = labels[j];
        int found = 0;
        for (int y = int(b.cy()) - 30; y <= int(b.cy()) + 30; ++y)
            for (int x = int(b.cx()) - 60; x <= int(b.cx()) + 60; ++x)
                if (x >= 0 && y >= 0 && x < 1600 && y < 1000 && b.distance(x + 0.5, y + 0.5) <= 1 &&
                    colourNear(*image, x, y, kGreen, kNavy, 0))
                    ++found;
        EXPECT_GE(found, int(labelText[j].size()) * 3) << "label \"" << labelText[j] << "\" of road " << j + 1;
    }
    // ...and so does every node number box.
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const Box& b = numbers[i];
        int found = 0;
        for (int y = int(b.cy()) - 20; y <= int(b.cy()) + 20; ++y)
            for (int x = int(b.cx()) - 30; x <= int(b.cx()) + 30; ++x)
                if (b.distance(x + 0.5, y + 0.5) <= 1 && colourNear(*image, x, y, kCyan, kNavy, 0))
                    ++found;
        EXPECT_GE(found, 4) << "number of node " << view->data.nodeNumber[i + 1];
    }
    // No stroke of either colour lies outside the boxes.
    int stray = 0;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1600; ++x) {
            const bool label = colourNear(*image, x, y, kGreen, kNavy, 0);
            const bool number = colourNear(*image, x, y, kCyan, kNavy, 0);
            if (!label && !number)
                continue;
            double nearest = 1e9;
            for (const Box& b : label ? labels : numbers)
                nearest = std::min(nearest, b.distance(x + 0.5, y + 0.5));
            if (nearest > 3) {
                if (++stray <= 10)
                    ADD_FAILURE() << (label ? "label" : "number") << " pixel at (" << x << ", " << y
                                  << ") is " << nearest << " px from every box";
            }
        }
    EXPECT_EQ(stray, 0);
}

TEST_F(SamplePlan, TheBackgroundIsEmptyAwayFromTheNetwork)
{
    int checked = 0;
    for (int y = 5; y < 1000; y += 23)
        for (int x = 5; x < 1600; x += 23) {
            if (clearance(x, y) < 8)
                continue;
            ++checked;
            EXPECT_TRUE(isColour(*image, x, y, kNavy)) << "(" << x << ", " << y << ")";
        }
    EXPECT_GT(checked, 1000);
}

// --- the batch tool's plan images ---------------------------------------------

class PlanImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openSampleMine(fixture));
        QuietAnalysisDialog dialog;
        ASSERT_EQ(runAnalysis(*fixture.doc, dialog).result, 1);
        // The same view the writer makes, for the positions.
        view = std::make_unique<PlanView>();
        view->geo.clientWidth = 1600;
        view->geo.clientHeight = 1000;
        view->update(*fixture.doc);
        view->fitToWindow();
    }
    // A node whose rim at the top is clear of its roads.
    DevicePoint topOfNode(int number) const
    {
        const int i = view->data.nodeIndex(number);
        const DevicePoint c = view->geo.worldToDevice(view->data.nodeX[std::size_t(i)], view->data.nodeY[std::size_t(i)]);
        return {c.x, c.y - view->geo.nodeRadius * view->geo.scale};
    }
    DocFixture fixture;
    std::unique_ptr<PlanView> view;
};

TEST_F(PlanImages, ScreenColoursAndPrintColours)
{
    // Node 2 (a surface node at the far left, one road going down to the
    // right) and node 310 (underground, at the bottom).
    const std::string screen = kImageDir + "/mine_plan.png";
    const std::string print = kImageDir + "/mine_plan_print.png";
    cli::PlanOptions options;
    ASSERT_TRUE(cli::writePlanImage(*fixture.doc, options, screen, fixture.reporter)) << fixture.reporter.all();
    options.printColours = true;
    ASSERT_TRUE(cli::writePlanImage(*fixture.doc, options, print, fixture.reporter)) << fixture.reporter.all();

    QImage shown(QString::fromStdString(screen));
    ASSERT_EQ(shown.size(), QSize(1600, 1000));
    QImage printed(QString::fromStdString(print));
    ASSERT_EQ(printed.size(), QSize(1600, 1000));
    const DisplaySettings defaults;
    for (const int number : {2, 310, 3}) {
        const DevicePoint top = topOfNode(number);
        EXPECT_TRUE(colourNear(shown, top.x, top.y, defaults.colours.node, defaults.colours.back)) << number;
        EXPECT_TRUE(colourNear(printed, top.x, top.y, defaults.print.node, rgb(255, 255, 255))) << number;
    }
    // Bottom right is empty: the plan is fitted to the width.
    EXPECT_TRUE(isColour(shown, 1590, 990, defaults.colours.back));
    EXPECT_TRUE(isColour(printed, 1590, 990, rgb(255, 255, 255)));

    // A file that cannot be written is reported.
    fixture.reporter.messages.clear();
    EXPECT_FALSE(cli::writePlanImage(*fixture.doc, options, "/nonexistent-folder/plan.png", fixture.reporter));
    EXPECT_EQ(fixture.reporter.messages.size(), 1u);
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
