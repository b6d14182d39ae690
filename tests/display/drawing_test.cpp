// What the network drawing puts on the canvas: node circles, roads through
// their bending points with symbols, fans, fire fronts, single elements on
// the window, the background and the preview page; and the view's copy of
// the document.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "display/planview.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

::testing::AssertionResult sameSegment(const Segment& s, DevicePoint a, DevicePoint b, float tolerance = 1.0f)
{
    const auto near = [tolerance](float u, float v) { return std::fabs(u - v) <= tolerance; };
    const bool forward = near(s.x0, a.x) && near(s.y0, a.y) && near(s.x1, b.x) && near(s.y1, b.y);
    const bool backward = near(s.x0, b.x) && near(s.y0, b.y) && near(s.x1, a.x) && near(s.y1, a.y);
    if (forward || backward)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "segment (" << s.x0 << ", " << s.y0 << ") - (" << s.x1 << ", "
                                         << s.y1 << "), expected (" << a.x << ", " << a.y << ") - (" << b.x
                                         << ", " << b.y << ")";
}

class Drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = makeView();
        build = std::make_unique<PlanBuilder>(*view);
    }
    DevicePoint dev(double x, double y) const { return expectedDevice(*view, x, y); }
    void paint()
    {
        canvas.clear();
        view->paint(canvas);
    }
    std::unique_ptr<PlanView> view;
    std::unique_ptr<PlanBuilder> build;
    RecordingCanvas canvas;
};

TEST_F(Drawing, SurfaceNodesHaveTwoCirclesUndergroundNodesOne)
{
    view->geo.scale = 2.0f;
    build->surface(1, 10, 20);
    build->underground(2, -50, -30);
    paint();
    const std::vector<CircleCall> circles = canvas.circles(kNode);
    ASSERT_EQ(circles.size(), 3u);
    const DevicePoint a = dev(10, 20), b = dev(-50, -30);
    EXPECT_EQ(circles[0].cx, a.x);
    EXPECT_EQ(circles[0].cy, a.y);
    EXPECT_NEAR(circles[0].radius, 1.15 * 8 * 2, 1e-4);
    EXPECT_EQ(circles[1].cx, a.x);
    EXPECT_FLOAT_EQ(circles[1].radius, 8 * 2);
    EXPECT_EQ(circles[2].cx, b.x);
    EXPECT_EQ(circles[2].cy, b.y);
    EXPECT_FLOAT_EQ(circles[2].radius, 8 * 2);

    // A node outside the window is not drawn.
    view->data.nodeX[2] = 600;
    paint();
    EXPECT_EQ(canvas.circles(kNode).size(), 2u);
}

TEST_F(Drawing, RoadsRunBetweenTheNodeCirclesThroughTheirBendingPoints)
{
    build->underground(1, -200, 0);
    build->underground(2, 100, 100);
    build->road(1, 2, 5.0f, {{0, 0, 0}, {0, 100, 1}});
    paint();
    const std::vector<Segment> lines = canvas.lines(kRoad);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(sameSegment(lines[0], dev(-192, 0), dev(0, 0)));
    EXPECT_TRUE(sameSegment(lines[1], dev(0, 0), dev(0, 100)));
    EXPECT_TRUE(sameSegment(lines[2], dev(0, 100), dev(92, 100)));
    // The label sits on the longest segment, the first one.
    const std::vector<DrawnText> texts = canvas.texts(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NEAR(texts[0].origins[0].x, dev(-96 - 7.5, 0).x, 1.5);
    EXPECT_NEAR(texts[0].origins[0].y, dev(0, 0).y, 1.5);
}

TEST_F(Drawing, NoLineMarkMissesItsSegmentAndLabelsMoveToTheLongestDrawnOne)
{
    // A -> P1 -> P2 (no line) -> B: the segment P1 -> P2, which would be
    // the longest, is missing.
    build->underground(1, -200, 0);
    build->underground(2, 200, 450);
    build->road(1, 2, 5.0f, {{-100, 0, 0}, {-100, 450, -1}});
    paint();
    const std::vector<Segment> lines = canvas.lines(kRoad);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(sameSegment(lines[0], dev(-192, 0), dev(-100, 0)));
    EXPECT_TRUE(sameSegment(lines[1], dev(-100, 450), dev(192, 450)));
    const std::vector<DrawnText> texts = canvas.texts(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    // Midpoint of (-100, 450) - (192, 450) is (46, 450).
    EXPECT_NEAR(texts[0].origins[0].x, dev(46 - 7.5, 450).x, 1.5);
    EXPECT_NEAR(texts[0].origins[0].y, dev(46, 450).y, 1.5);
}

TEST_F(Drawing, EverySegmentMarkedNoLine)
{
    // Every bending point is "no line": only the segment into the second
    // node is drawn, and the labels sit on it.
    build->underground(1, -300, 0);
    build->underground(2, 300, 0);
    build->road(1, 2, 5.0f, {{-200, 100, -1}, {0, 100, -1}});
    paint();
    std::vector<Segment> lines = canvas.lines(kRoad);
    ASSERT_EQ(lines.size(), 1u);
    const double u = 8 / std::hypot(300.0, 100.0);
    EXPECT_TRUE(sameSegment(lines[0], dev(0, 100), dev(300 - 300 * u, 100 * u)));
    EXPECT_EQ(canvas.texts(kOnline).size(), 1u);

    // With the last bending point on the second node and no node radius,
    // not even that segment has a length: no labels, and nothing breaks.
    view->data.bends[3] = BendSlot{-1, 300, 0};
    view->geo.nodeRadius = 0;
    view->settings.underlineKind = 4;
    paint();
    EXPECT_TRUE(canvas.texts(kOnline).empty());
    EXPECT_TRUE(canvas.texts(kUnderline).empty());
    EXPECT_TRUE(canvas.allFinite());
}

TEST_F(Drawing, SymbolsAreDrawnAtTheirBendingPointsAlongTheSegment)
{
    build->underground(1, -300, 0);
    build->underground(2, 300, 0);
    build->road(1, 2, 0.0f,
                {{-250, 0, 2}, {-150, 0, 3}, {-50, 0, 4}, {50, 0, 5}, {150, 0, 6}, {250, 100, 7}});
    view->settings.onlineKind = 0;
    view->geo.charSize = 100;  // long strokes, to see their direction
    paint();
    // Symbol m is glyph 128 + m: in the test font 28 + (m - 2) strokes.
    const float xs[] = {-250, -150, -50, 50, 150};
    for (int m = 2; m <= 6; ++m) {
        const std::vector<DevicePoint> at = canvas.glyphOrigins(kRoad, 28 + m - 2);
        ASSERT_EQ(at.size(), 1u) << "symbol " << m;
        EXPECT_EQ(at[0].x, dev(xs[m - 2], 0).x);
        EXPECT_EQ(at[0].y, dev(0, 0).y);
    }
    // Symbol 7 sits at (250, 100) and follows its segment (from (150, 0)):
    // its strokes run along 45 degrees, up and to the right on the screen.
    const std::vector<DevicePoint> seven = canvas.glyphOrigins(kRoad, 33);
    ASSERT_EQ(seven.size(), 1u);
    EXPECT_EQ(seven[0].x, dev(250, 100).x);
    EXPECT_EQ(seven[0].y, dev(250, 100).y);
    const auto moveOf7 = std::find_if(canvas.ops.begin(), canvas.ops.end(), [&](const Op& op) {
        return op.kind == Op::Move && op.x == seven[0].x && op.y == seven[0].y && op.colour == kRoad;
    });
    ASSERT_NE(moveOf7, canvas.ops.end());
    const Op& lastStroke = *(moveOf7 + 33);
    EXPECT_NEAR(lastStroke.x - seven[0].x, 33 * 0.75 * std::cos(std::atan(1.0)), 1.0);
    EXPECT_NEAR(lastStroke.y - seven[0].y, -33 * 0.75 * std::sin(std::atan(1.0)), 1.0);
}

TEST_F(Drawing, RoadsWithoutAVisiblePointAreSkipped)
{
    build->underground(1, -700, 0);
    build->underground(2, 700, 0);
    build->underground(3, -700, 100);
    build->underground(4, 700, 100);
    build->road(1, 2, 5.0f);                    // crosses the window, but no point is inside
    build->road(3, 4, 6.0f, {{0, 100, 0}});     // its bending point is inside
    paint();
    EXPECT_EQ(canvas.lines(kRoad).size(), 2u);
    ASSERT_EQ(canvas.texts(kOnline).size(), 1u);
    EXPECT_EQ(canvas.texts(kOnline)[0].text, "6-)");

    // While printing every element counts as visible.
    view->geo.drawAll = true;
    paint();
    EXPECT_EQ(canvas.lines(kRoad).size(), 3u);
}

// --- fans ------------------------------------------------------------------------

TEST_F(Drawing, FanSymbolRingHubAndDuct)
{
    build->underground(1, 0, 0);
    build->underground(2, 100, 0);
    build->underground(3, -200, 0);
    build->underground(4, -200, 100);
    build->fan(1, 2);
    build->fan(3, 4);
    view->settings.nodeKind = 0;
    paint();
    const std::vector<CircleCall> circles = canvas.circles(kNode);
    ASSERT_EQ(circles.size(), 4u + 4u);
    // Fan 1 along +x: ring of radius r and hub of r/2 at C = A + 2r d = (16, 0).
    EXPECT_EQ(circles[4].cx, dev(16, 0).x);
    EXPECT_EQ(circles[4].cy, dev(16, 0).y);
    EXPECT_FLOAT_EQ(circles[4].radius, 8);
    EXPECT_EQ(circles[5].cx, dev(16, 0).x);
    EXPECT_FLOAT_EQ(circles[5].radius, 4);
    // Duct: C + r n, then L = 100 - 3r along d, back by 2r n, to A + 3r d.
    const std::vector<Segment> duct = canvas.lines(kNode);
    ASSERT_EQ(duct.size(), 6u);
    EXPECT_TRUE(sameSegment(duct[0], dev(16, 8), dev(92, 8)));
    EXPECT_TRUE(sameSegment(duct[1], dev(92, 8), dev(92, -8)));
    EXPECT_TRUE(sameSegment(duct[2], dev(92, -8), dev(24, 0)));

    // Fan 2 along +y: the normal points to -x.
    EXPECT_NEAR(circles[6].cx, dev(-200, 16).x, 1.0);
    EXPECT_NEAR(circles[6].cy, dev(-200, 16).y, 1.0);
    EXPECT_TRUE(sameSegment(duct[3], dev(-208, 16), dev(-208, 92)));
    EXPECT_TRUE(sameSegment(duct[4], dev(-208, 92), dev(-192, 92)));
    EXPECT_TRUE(sameSegment(duct[5], dev(-192, 92), dev(-200, 24)));
}

TEST_F(Drawing, FanIsDrawnWhenEitherNodeIsVisible)
{
    build->underground(1, 480, 0);
    build->underground(2, 700, 0);
    build->underground(3, 700, 100);
    build->underground(4, 900, 100);
    build->fan(1, 2);
    build->fan(3, 4);
    paint();
    EXPECT_EQ(canvas.circles(kNode).size(), 1u + 2u);  // node 1, one fan's ring and hub
}

// --- fire fronts -----------------------------------------------------------------

TEST_F(Drawing, FireFrontOnAStraightRoad)
{
    build->underground(1, 0, 0);
    build->underground(2, 100, 0);
    build->road(1, 2);
    view->geo.scrollX = 20;  // drawn on the window: minus the scroll position
    const auto onWindow = [&](double x, double y) {
        DevicePoint p = dev(x, y);
        p.x -= 20;
        return p;
    };

    // Half way with its trail from A' = (10, 0): front at (50, 0), circle of ρ/2.
    view->drawFireFront(canvas, 1, 10, 0.5f, 1);
    std::vector<Segment> lines = canvas.lines(kStrong);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(sameSegment(lines[0], onWindow(10, 0), onWindow(50, 0)));
    std::vector<CircleCall> circles = canvas.circles(kStrong);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].cx, onWindow(50, 0).x);
    EXPECT_FLOAT_EQ(circles[0].radius, 5);

    // Direction -1: f becomes 1 - f, the trail runs from B' = (90, 0).
    canvas.clear();
    view->drawFireFront(canvas, 1, 10, 0.25f, -1);
    lines = canvas.lines(kStrong);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(sameSegment(lines[0], onWindow(70, 0), onWindow(90, 0)));
    EXPECT_EQ(canvas.circles(kStrong).at(0).cx, onWindow(70, 0).x);

    // A negative fraction: the front without its trail.
    canvas.clear();
    view->drawFireFront(canvas, 1, 10, -0.5f, 1);
    EXPECT_TRUE(canvas.lines(kStrong).empty());
    EXPECT_EQ(canvas.circles(kStrong).at(0).cx, onWindow(50, 0).x);
}

TEST_F(Drawing, FireFrontWalksTheBendingPoints)
{
    build->underground(1, 0, 0);
    build->underground(2, 100, 100);
    build->road(1, 2, 0, {{100, 0, 0}});
    // Path A' = (10, 0), (100, 0), B' = (100, 90); t = 0.75 × (200 - 20) = 135:
    // 90 along the first segment, 45 along the second.
    view->drawFireFront(canvas, 1, 10, 0.75f, 1);
    std::vector<Segment> lines = canvas.lines(kStrong);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(sameSegment(lines[0], dev(10, 0), dev(100, 0)));
    EXPECT_TRUE(sameSegment(lines[1], dev(100, 0), dev(100, 45)));
    std::vector<CircleCall> circles = canvas.circles(kStrong);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].cx, dev(100, 45).x);
    EXPECT_EQ(circles[0].cy, dev(100, 45).y);

    // Direction -1 with 0.25: the same front, the trail from it to B'.
    canvas.clear();
    view->drawFireFront(canvas, 1, 10, 0.25f, -1);
    lines = canvas.lines(kStrong);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(sameSegment(lines[0], dev(100, 45), dev(100, 90)));

    // Early on the first segment.
    canvas.clear();
    view->drawFireFront(canvas, 1, 10, 0.1f, 1);
    EXPECT_EQ(canvas.circles(kStrong).at(0).cx, dev(28, 0).x);
    EXPECT_EQ(canvas.lines(kStrong).size(), 1u);

    // Roads that do not exist draw nothing.
    canvas.clear();
    view->drawFireFront(canvas, 0, 10, 0.5f, 1);
    view->drawFireFront(canvas, 2, 10, 0.5f, 1);
    EXPECT_TRUE(canvas.ops.empty());
}

// --- single elements on the window ---------------------------------------------

TEST_F(Drawing, WindowDrawingsSubtractTheScrollPositionAndSkipTheVisibilityTest)
{
    build->surface(1, 900, 0);
    build->underground(2, 1100, 0);
    build->road(1, 2, 5.0f);
    view->geo.scrollX = 300;
    view->geo.scrollY = 40;
    const auto onWindow = [&](double x, double y) {
        DevicePoint p = dev(x, y);
        p.x -= 300;
        p.y -= 40;
        return p;
    };

    view->drawRoadOnWindow(canvas, 1, kStrong, kStrong, kStrong);
    std::vector<Segment> lines = canvas.lines(kStrong);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(sameSegment(lines[0], onWindow(908, 0), onWindow(1092, 0)));
    EXPECT_FALSE(canvas.texts(kStrong).empty());

    canvas.clear();
    view->drawNodeOnWindow(canvas, 1, kUnderline);
    std::vector<CircleCall> circles = canvas.circles(kUnderline);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0].cx, onWindow(900, 0).x);
    EXPECT_EQ(circles[0].cy, onWindow(900, 0).y);
    ASSERT_EQ(canvas.texts(kUnderline).size(), 1u);
    EXPECT_EQ(canvas.texts(kUnderline)[0].text, "1");

    // Colour 0: the inverting mode, switched off again afterwards.
    canvas.clear();
    view->drawCircleAtWorld(canvas, 900, 0, 4, 0);
    ASSERT_EQ(canvas.circles().size(), 1u);
    EXPECT_TRUE(canvas.circles()[0].invert);
    EXPECT_EQ(canvas.circles()[0].cx, onWindow(900, 0).x);
    EXPECT_FLOAT_EQ(canvas.circles()[0].radius, 4);
    EXPECT_FALSE(canvas.ops.back().invert);
    EXPECT_EQ(canvas.ops.back().kind, Op::Invert);

    canvas.clear();
    view->drawLineOnWindow(canvas, 900, 0, 1000, 0, 0);
    ASSERT_EQ(canvas.lines().size(), 1u);
    EXPECT_TRUE(canvas.lines()[0].invert);
    EXPECT_TRUE(sameSegment(canvas.lines()[0], onWindow(900, 0), onWindow(1000, 0)));

    // Around a client point: filled with the background, outlined in the colour.
    canvas.clear();
    view->geo.scale = 2.0f;
    view->drawCircleAtClient(canvas, 50, 60, 5, kStrong);
    ASSERT_EQ(canvas.ops.size(), 1u);
    const Op& fill = canvas.ops[0];
    EXPECT_EQ(fill.kind, Op::Fill);
    EXPECT_EQ(fill.colour, kBack);
    EXPECT_EQ(fill.outline, kStrong);
    for (const DevicePoint& p : fill.polygon)
        EXPECT_NEAR(std::hypot(p.x - 50, p.y - 60), 10, 0.01);
    canvas.clear();
    view->drawCircleAtClient(canvas, 50, 60, 5, 0);
    ASSERT_EQ(canvas.circles().size(), 1u);
    EXPECT_TRUE(canvas.circles()[0].invert);
    EXPECT_EQ(canvas.circles()[0].cx, 50.0f);
    EXPECT_FLOAT_EQ(canvas.circles()[0].radius, 10);

    // Elements that do not exist draw nothing.
    canvas.clear();
    view->drawRoadOnWindow(canvas, 2, kStrong, kStrong, kStrong);
    view->drawNodeOnWindow(canvas, 3, kStrong);
    view->drawFanOnWindow(canvas, 1, kStrong);
    EXPECT_TRUE(canvas.ops.empty());
}

// --- paint -----------------------------------------------------------------------

TEST_F(Drawing, PaintFillsTheScrolledClientAreaThenDrawsTheNetwork)
{
    build->underground(1, 0, 0);
    view->geo.scrollX = 30;
    view->geo.scrollY = 70;
    view->geo.clientWidth = 400;
    view->geo.clientHeight = 300;
    view->geo.originX = 200;
    view->geo.originY = 200;
    paint();
    ASSERT_FALSE(canvas.ops.empty());
    const Op& back = canvas.ops[0];
    ASSERT_EQ(back.kind, Op::Fill);
    EXPECT_EQ(back.colour, kBack);
    ASSERT_EQ(back.polygon.size(), 4u);
    EXPECT_EQ(back.polygon[0].x, 30.0f);
    EXPECT_EQ(back.polygon[0].y, 70.0f);
    EXPECT_EQ(back.polygon[2].x, 430.0f);
    EXPECT_EQ(back.polygon[2].y, 370.0f);
    EXPECT_EQ(canvas.circles(kNode).size(), 1u);

    view->networkLoaded = false;
    paint();
    EXPECT_EQ(canvas.ops.size(), 1u) << "only the background without a network";
}

TEST_F(Drawing, PagePreviewDrawsThePageAndShiftsThePlan)
{
    build->underground(1, 0, 0);
    build->underground(2, 100, 0);
    build->road(1, 2, 5.0f);
    view->geo.clientWidth = 800;
    view->geo.clientHeight = 600;
    view->geo.pagePreview = true;
    view->pageLayout();
    view->geo.pageDragX = 11;
    view->geo.pageDragY = -6;
    view->settings.colours.road = kRoad;
    view->settings.colours.node = kNode;
    view->settings.colours.online = kOnline;
    paint();
    ASSERT_GE(canvas.ops.size(), 2u);
    const Op& page = canvas.ops[1];
    ASSERT_EQ(page.kind, Op::Fill);
    EXPECT_EQ(page.colour, rgb(255, 255, 255));
    EXPECT_EQ(page.outline, rgb(0, 0, 0));
    EXPECT_EQ(page.polygon[0].x, 237.0f);
    EXPECT_EQ(page.polygon[0].y, 75.0f);
    EXPECT_EQ(page.polygon[2].x, 237.0f + 326);
    EXPECT_EQ(page.polygon[2].y, 75.0f + 450);
    const std::vector<CircleCall> circles = canvas.circles(kNode);
    ASSERT_EQ(circles.size(), 2u);
    const DevicePoint node = view->geo.worldToDevice(0, 0);
    EXPECT_EQ(circles[0].cx, node.x + 237 + 11);
    EXPECT_EQ(circles[0].cy, node.y + 75 - 6);
    EXPECT_EQ(canvas.texts(kOnline).size(), 1u) << "the full preview has labels";

    // The simple preview: the plan inverted, without labels.
    view->settings.previewKind = 0;
    paint();
    EXPECT_TRUE(canvas.texts(kOnline).empty());
    EXPECT_TRUE(canvas.texts(view->settings.colours.onnode).empty());
    for (const Segment& s : canvas.lines())
        EXPECT_TRUE(s.invert);
    EXPECT_FALSE(canvas.ops.back().invert);
}

// --- the view's copy of the document ---------------------------------------------

class ViewUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openSampleMine(fixture));
        view = makeView();
    }
    CBriscoDoc& doc() { return *fixture.doc; }
    DocFixture fixture;
    std::unique_ptr<PlanView> view;
};

TEST_F(ViewUpdate, CopiesTheNetwork)
{
    view->update(doc());
    const PlanData& d = view->data;
    EXPECT_EQ(d.nodeCount, doc().nodeCount);
    EXPECT_EQ(d.surfaceCount, doc().surfaceCount);
    EXPECT_EQ(d.roadCount, doc().roadCount);
    EXPECT_EQ(d.fixedCount, doc().fixedCount);
    EXPECT_EQ(d.fanCount, doc().fanCount);
    EXPECT_EQ(d.bendUsed, doc().bendUsed);
    for (int i = 1; i <= doc().nodeCount; ++i) {
        const Node& n = doc().nodes[std::size_t(i)];
        EXPECT_EQ(d.nodeNumber[std::size_t(i)], n.number);
        EXPECT_EQ(d.nodeIndex(n.number), i);
        EXPECT_EQ(d.nodeX[std::size_t(i)], n.x);
        EXPECT_EQ(d.nodeY[std::size_t(i)], n.y);
    }
    for (int k = 1; k <= doc().totalRoads(); ++k) {
        const Road& r = doc().roads[std::size_t(k)];
        EXPECT_EQ(d.roadFirst[std::size_t(k)], r.first);
        EXPECT_EQ(d.roadSecond[std::size_t(k)], r.second);
        EXPECT_EQ(d.roadBend[std::size_t(k)], r.bendStart);
        EXPECT_EQ(d.roadName[std::size_t(k)], r.name);
    }
    for (int s = 1; s <= doc().bendUsed; ++s)
        EXPECT_EQ(d.bends[std::size_t(s)].mark, doc().bends[std::size_t(s)].mark);
    EXPECT_EQ(d.fanFirst[1], doc().fans[1].inlet);
    EXPECT_EQ(d.fanSecond[2], doc().fans[2].outlet);
    // A number that no node carries.
    EXPECT_EQ(d.nodeIndex(999), 0);
    EXPECT_EQ(d.nodeIndex(-1), 0);
    EXPECT_EQ(d.nodeIndex(1500), 0);
}

TEST_F(ViewUpdate, RoadEndValuesReachTheirLabels)
{
    // The external values of road 1 (node 1 -> 101, drawn left to right and
    // down: not turned): on-line slot (first end, second end) and under-line slot.
    Road& road = doc().roads[1];
    ASSERT_EQ(road.first, 1);
    ASSERT_EQ(road.second, 101);
    road.external[0][0] = 1.5f;
    road.external[0][1] = 2.5f;
    road.external[1][0] = 7.0f;
    road.external[1][1] = 8.0f;
    view->settings.onlineKind = 16;
    view->settings.underlineKind = 17;
    view->settings.onlineDigits = 1;
    view->settings.underlineDigits = 1;
    view->settings.nodeKind = 0;
    view->update(doc());
    view->geo.clientWidth = 1600;
    view->geo.clientHeight = 1000;
    view->fitToWindow();

    RecordingCanvas canvas;
    view->paint(canvas);  // fixes the on-line kind in force
    canvas.clear();
    view->drawRoadOnWindow(canvas, 1, kRoad, kOnline, kUnderline);
    ASSERT_EQ(canvas.texts(kOnline).size(), 1u);
    EXPECT_EQ(canvas.texts(kOnline)[0].text, "1.5#2.5");
    ASSERT_EQ(canvas.texts(kUnderline).size(), 1u);
    EXPECT_EQ(canvas.texts(kUnderline)[0].text, "7.0#8.0");
}

TEST_F(ViewUpdate, AKindWithoutValuesKeepsEachRoadsValue)
{
    // Lengths first, then "Gas concentration", for which the model has no
    // value: every road keeps its own value, none takes another's.
    view->settings.onlineKind = 9;
    view->update(doc());
    std::vector<float> lengths;
    for (int k = 1; k <= doc().totalRoads(); ++k) {
        EXPECT_EQ(view->data.onlineValue[std::size_t(k)], doc().roads[std::size_t(k)].length);
        lengths.push_back(view->data.onlineValue[std::size_t(k)]);
    }
    view->settings.onlineKind = 11;
    view->settings.underlineKind = 13;
    view->update(doc());
    for (int k = 1; k <= doc().totalRoads(); ++k) {
        EXPECT_EQ(view->data.onlineValue[std::size_t(k)], lengths[std::size_t(k - 1)]) << "road " << k;
        EXPECT_EQ(view->data.underlineValue[std::size_t(k)], 0.0f) << "road " << k;
    }
}

}  // namespace
}  // namespace orvex::displaytest
