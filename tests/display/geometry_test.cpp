// The plan's transform, extents, origin, fit, zoom and turns.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "display/planview.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

TEST(Transform, WorldToDeviceCutsTowardZeroAndFlipsY)
{
    ViewGeometry g;
    g.scale = 2.0f;
    g.originX = 100;
    g.originY = 50;
    DevicePoint p = g.worldToDevice(10.7f, 3.3f);  // 121.4, 43.4
    EXPECT_EQ(p.x, 121.0f);
    EXPECT_EQ(p.y, 43.0f);
    // Negative device coordinates are cut toward zero, not down: -20.6 -> -20.
    p = g.worldToDevice(-60.3f, 30.3f);  // -20.6, -10.6
    EXPECT_EQ(p.x, -20.0f);
    EXPECT_EQ(p.y, -10.0f);
    // 0.9 of a pixel is still the same pixel.
    p = g.worldToDevice(0.45f, -0.45f);
    EXPECT_EQ(p.x, 100.0f);
    EXPECT_EQ(p.y, 50.0f);

    // The drawing position adds the page drag offset and the page corner.
    g.pageDragX = 7;
    g.pageDragY = -3;
    g.pageCornerX = 30;
    g.pageCornerY = 40;
    p = g.drawingPosition(10.7f, 3.3f);
    EXPECT_EQ(p.x, 121.0f + 7 + 30);
    EXPECT_EQ(p.y, 43.0f - 3 + 40);
}

TEST(Transform, DeviceToWorldGivesWholeNumbersCutTowardZero)
{
    ViewGeometry g;
    g.scale = 2.0f;
    g.originX = 100;
    g.originY = 50;
    float x = 0, y = 0;
    g.deviceToWorld(125, 43, x, y);  // 12.5, -(-3.5)
    EXPECT_EQ(x, 12.0f);
    EXPECT_EQ(y, 3.0f);
    g.deviceToWorld(75, 57, x, y);  // -12.5, -(3.5)
    EXPECT_EQ(x, -12.0f);
    EXPECT_EQ(y, -3.0f);

    // A whole-numbered world point comes back from its device point.
    const DevicePoint p = g.worldToDevice(37, -18);
    g.deviceToWorld(p.x, p.y, x, y);
    EXPECT_EQ(x, 37.0f);
    EXPECT_EQ(y, -18.0f);
}

TEST(Transform, VisibleOnlyStrictlyInsideTheScrolledClientArea)
{
    ViewGeometry g;
    g.scale = 1.0f;
    g.clientWidth = 300;
    g.clientHeight = 200;
    g.scrollX = 100;
    g.scrollY = 200;
    // Device x = world x, device y = -world y.
    EXPECT_TRUE(g.visible(101, -201));
    EXPECT_TRUE(g.visible(399, -399));
    EXPECT_FALSE(g.visible(100, -300)) << "on the left edge";
    EXPECT_FALSE(g.visible(400, -300)) << "on the right edge";
    EXPECT_FALSE(g.visible(250, -200)) << "on the top edge";
    EXPECT_FALSE(g.visible(250, -400)) << "on the bottom edge";
    EXPECT_FALSE(g.visible(50, -300)) << "left of the window";
    // The page offsets do not enter the test.
    g.pageCornerX = 500;
    EXPECT_TRUE(g.visible(250, -300));
    // Printing: everything counts as visible.
    g.drawAll = true;
    EXPECT_TRUE(g.visible(-5000, 5000));
}

TEST(Transform, RoundsHalfAwayFromZero)
{
    EXPECT_EQ(roundHalfAway(2.5), 3);
    EXPECT_EQ(roundHalfAway(-2.5), -3);
    EXPECT_EQ(roundHalfAway(1.5), 2);
    EXPECT_EQ(roundHalfAway(1.4999), 1);
    EXPECT_EQ(roundHalfAway(-0.5), -1);
    EXPECT_EQ(roundHalfAway(-0.49), 0);
    EXPECT_EQ(roundHalfAway(9.5), 10);
}

// --- extents and origin ----------------------------------------------------------

class Extents : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = std::make_unique<PlanView>();
        build = std::make_unique<PlanBuilder>(*view);
    }
    std::unique_ptr<PlanView> view;
    std::unique_ptr<PlanBuilder> build;
};

TEST_F(Extents, PositiveCoordinatesKeepTheWorldOriginInsideTheDrawnArea)
{
    build->underground(1, 100, 50);
    build->underground(2, 300, 200);
    view->recomputeExtents(true);
    const ViewGeometry& g = view->geo;
    EXPECT_EQ(g.minX, 0.0f);
    EXPECT_EQ(g.minY, 0.0f);
    EXPECT_EQ(g.maxX, 300.0f);
    EXPECT_EQ(g.maxY, 200.0f);
    // margin 4 node radii: 32
    EXPECT_EQ(g.scrollWidth, 332);
    EXPECT_EQ(g.scrollHeight, 232);
    // Two node radii from world 0, not from the smallest x.
    EXPECT_EQ(g.originX, 16.0f);
    EXPECT_EQ(g.originY, 216.0f);
    EXPECT_TRUE(g.scrollSizesChanged);
    const DevicePoint node = g.worldToDevice(100, 50);
    EXPECT_EQ(node.x, 116.0f);
    EXPECT_EQ(node.y, 166.0f);

    view->geo.scale = 2.0f;
    view->geo.scrollSizesChanged = false;
    view->recomputeExtents(false);
    EXPECT_EQ(g.scrollWidth, 664);
    EXPECT_EQ(g.scrollHeight, 464);
    EXPECT_EQ(g.originX, 32.0f);
    EXPECT_EQ(g.originY, 432.0f);
    EXPECT_FALSE(g.scrollSizesChanged) << "extents without new scroll sizes";
}

TEST_F(Extents, NegativeCoordinatesCutBeforeAndAfterScaling)
{
    build->underground(1, -40.7f, -90.2f);
    build->underground(2, 250.9f, 30.6f);
    view->geo.scale = 2.0f;
    view->recomputeExtents(true);
    const ViewGeometry& g = view->geo;
    EXPECT_FLOAT_EQ(g.minX, -40.7f);
    EXPECT_FLOAT_EQ(g.maxY, 30.6f);
    // |trunc(-81.4)| + |trunc(501.8)| + 64
    EXPECT_EQ(g.scrollWidth, 81 + 501 + 64);
    // |trunc(-180.4)| + |trunc(61.2)| + 64
    EXPECT_EQ(g.scrollHeight, 180 + 61 + 64);
    // The smallest x is cut to a whole number before scaling: (40 + 16) * 2.
    EXPECT_EQ(g.originX, 112.0f);
    // trunc((30.6 + 16) * 2)
    EXPECT_EQ(g.originY, 93.0f);
}

TEST_F(Extents, FitToWindowUsesTheNarrowerDirection)
{
    build->underground(1, 0, 0);
    build->underground(2, 1000, 500);
    view->geo.clientWidth = 800;
    view->geo.clientHeight = 600;
    view->fitToWindow();
    ViewGeometry& g = view->geo;
    // Scroll size at scale 1: 1032 × 532; kx = 800 / 1032 wins over ky = 600 / 532.
    EXPECT_FLOAT_EQ(g.scale, 800.0f / 1032.0f);
    EXPECT_LE(g.scrollWidth, 800);
    EXPECT_LE(g.scrollHeight, 600);
    const DevicePoint far = g.worldToDevice(1000, 500);
    EXPECT_LT(far.x + g.nodeRadius * g.scale, 800.0f);
    EXPECT_GT(far.y - g.nodeRadius * g.scale, 0.0f);

    // A tall plan is fitted by its height, whatever the scale before.
    view->data.nodeY[2] = 3000;
    g.scale = 5.0f;
    view->fitToWindow();
    EXPECT_NEAR(g.scale, 600.0 / (3000 + 32), 0.001);
    EXPECT_LE(g.scrollHeight, 600);
    EXPECT_GT(g.scrollHeight, 590);
}

TEST_F(Extents, NodesAllAtOnePointDrawWithoutNaN)
{
    for (const float x : {250.0f, 0.0f}) {
        SCOPED_TRACE(x);
        view = makeView();
        build = std::make_unique<PlanBuilder>(*view);
        const float y = -x / 2;
        for (int n = 1; n <= 4; ++n)
            build->underground(n, x, y);
        build->road(1, 2, 3.0f);
        build->road(3, 4, 0.0f, {{x, y, 0}});
        build->fan(1, 2);
        view->geo.clientWidth = 1000;
        view->geo.clientHeight = 700;
        view->fitToWindow();
        EXPECT_TRUE(std::isfinite(view->geo.scale));
        EXPECT_GT(view->geo.scale, 0.0f);

        RecordingCanvas canvas;
        view->paint(canvas);
        EXPECT_TRUE(canvas.allFinite());
        EXPECT_LE(view->geo.scale, kMaxScale);
        EXPECT_GE(view->geo.scale, kMinScale);
        const std::vector<CircleCall> nodes = canvas.circles(kNode);
        ASSERT_EQ(nodes.size(), 4u + 2u);  // four nodes, the fan's ring and hub
        for (const CircleCall& c : nodes)
            EXPECT_GT(c.radius, 0.0f);

        // Without a node radius a plan at the world origin has no extent at
        // all: the scale stays as it was.
        view->geo.nodeRadius = 0;
        view->geo.scale = 1.0f;
        view->fitToWindow();
        if (x == 0) {
            EXPECT_EQ(view->geo.scale, 1.0f);
        }
        EXPECT_TRUE(std::isfinite(view->geo.scale));
        canvas.clear();
        view->paint(canvas);
        EXPECT_TRUE(canvas.allFinite());
    }
}

// --- zoom ------------------------------------------------------------------------

TEST_F(Extents, ZoomDoublesAndHalvesWithinTheBounds)
{
    build->underground(1, 100, 100);
    ViewGeometry& g = view->geo;
    g.scale = 1.0f;
    view->zoomIn();
    EXPECT_EQ(g.scale, 2.0f);
    EXPECT_TRUE(g.scrollSizesChanged);
    EXPECT_EQ(g.scrollWidth, 200 + 64);

    g.scale = 10.0f;
    view->zoomIn();
    EXPECT_EQ(g.scale, 15.384616f) << "not 20";
    view->zoomIn();
    EXPECT_EQ(g.scale, 15.384616f);

    g.scale = 0.02f;
    view->zoomOut();
    EXPECT_EQ(g.scale, 0.015384615f) << "not 0.01";
    view->zoomOut();
    EXPECT_EQ(g.scale, 0.015384615f);
}

TEST_F(Extents, PagePreviewZoomKeepsTheScrollSizesAndHasNoBound)
{
    build->underground(1, -50, 100);
    ViewGeometry& g = view->geo;
    g.pagePreview = true;
    g.scale = 1.0f;
    g.scrollWidth = 1234;
    g.scrollHeight = 567;
    g.scrollSizesChanged = false;
    view->zoomIn();
    EXPECT_EQ(g.scale, 1.1111112f);
    EXPECT_EQ(view->page.pageScale, 1.1111112f);
    EXPECT_EQ(g.scrollWidth, 1234);
    EXPECT_EQ(g.scrollHeight, 567);
    EXPECT_FALSE(g.scrollSizesChanged);
    // The origin follows the new scale; the extents were not recomputed.
    EXPECT_EQ(g.originX, std::trunc((0 + 16) * 1.1111112f));

    g.scale = 15.0f;
    view->zoomIn();
    EXPECT_FLOAT_EQ(g.scale, 15.0f * 1.1111112f) << "no bound in page preview";
    g.scale = 0.016f;
    view->zoomOut();
    EXPECT_FLOAT_EQ(g.scale, 0.016f * 0.9f);
    EXPECT_EQ(view->page.pageScale, g.scale);
}

TEST(ScaleBound, EveryPaintBoundsTheScale)
{
    auto view = makeView();
    RecordingCanvas canvas;
    view->geo.scale = 0.0f;
    view->paint(canvas);
    EXPECT_EQ(view->geo.scale, kMinScale);
    view->geo.scale = 100.0f;
    view->paint(canvas);
    EXPECT_EQ(view->geo.scale, kMaxScale);
    view->geo.scale = std::nanf("");
    view->paint(canvas);
    EXPECT_EQ(view->geo.scale, kMinScale);
    view->geo.scale = 3.0f;
    view->paint(canvas);
    EXPECT_EQ(view->geo.scale, 3.0f);
}

class RectangleZoom : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = std::make_unique<PlanView>();
        PlanBuilder(*view).underground(1, 400, 300);
        view->geo.clientWidth = 800;
        view->geo.clientHeight = 600;
        view->geo.scrollX = 40;
        view->geo.scrollY = 30;
    }
    std::unique_ptr<PlanView> view;
    RecordingReporter reporter;
    int sx = -1, sy = -1;
};

TEST_F(RectangleZoom, ScalesByTheWholeRatioAndScrollsToTheCorner)
{
    // Corners in any order; 800 / 200 = 4.
    ASSERT_TRUE(view->zoomToRectangle(300, 250, 100, 100, reporter, sx, sy));
    EXPECT_EQ(view->geo.scale, 4.0f);
    EXPECT_EQ(sx, (40 + 100) * 4);
    EXPECT_EQ(sy, (30 + 100) * 4);
    EXPECT_TRUE(view->geo.scrollSizesChanged);
    EXPECT_EQ(view->geo.scrollWidth, 1600 + 128);
    EXPECT_TRUE(reporter.messages.empty());

    // 800 / 300 is 2 in whole numbers.
    view->geo.scale = 1.0f;
    ASSERT_TRUE(view->zoomToRectangle(0, 0, 300, 10, reporter, sx, sy));
    EXPECT_EQ(view->geo.scale, 2.0f);
    EXPECT_EQ(sx, 80);
    EXPECT_EQ(sy, 60);
}

TEST_F(RectangleZoom, CapsBelowTheLargestFigureSize)
{
    view->geo.scale = 5.0f;
    ASSERT_TRUE(view->zoomToRectangle(0, 0, 200, 100, reporter, sx, sy));
    EXPECT_EQ(view->geo.scale, 15.384615f);
}

TEST_F(RectangleZoom, AtTheLargestFigureSizeSaysSoAndChangesNothing)
{
    for (const float scale : {kMaxScale, 15.3f /* figure size 9.945 rounds to 10 */}) {
        reporter.messages.clear();
        view->geo.scale = scale;
        view->geo.scrollSizesChanged = false;
        EXPECT_FALSE(view->zoomToRectangle(100, 100, 300, 250, reporter, sx, sy));
        EXPECT_EQ(view->geo.scale, scale);
        EXPECT_FALSE(view->geo.scrollSizesChanged);
        EXPECT_EQ(sx, -1);
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(reporter.messages[0].text, "This is a maximum !!");
        EXPECT_EQ(reporter.messages[0].caption, "Tenbrook for Windows");
    }
    // Figure size 9.49 rounds to 9: the zoom runs.
    view->geo.scale = 14.6f;
    EXPECT_TRUE(view->zoomToRectangle(100, 100, 500, 250, reporter, sx, sy));
    EXPECT_EQ(view->geo.scale, 15.384615f);
}

TEST_F(RectangleZoom, FlatOrEmptyRectanglesAndPagePreviewChangeNothing)
{
    EXPECT_FALSE(view->zoomToRectangle(100, 120, 300, 120, reporter, sx, sy)) << "release at the press's y";
    EXPECT_FALSE(view->zoomToRectangle(100, 120, 100, 300, reporter, sx, sy)) << "no width";
    view->geo.pagePreview = true;
    EXPECT_FALSE(view->zoomToRectangle(100, 100, 300, 250, reporter, sx, sy));
    EXPECT_EQ(view->geo.scale, 1.0f);
    EXPECT_EQ(sx, -1);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(RectangleZoom, WiderThanTheWindowTakesTheSmallestScale)
{
    // 800 / 1000 is 0: the lower bound is taken at once, and the scroll
    // position follows that scale.
    ASSERT_TRUE(view->zoomToRectangle(-100, 0, 900, 50, reporter, sx, sy));
    EXPECT_EQ(view->geo.scale, kMinScale);
    EXPECT_EQ(sx, int((40 - 100) * kMinScale / 1.0f));
    EXPECT_TRUE(std::isfinite(view->geo.originX));
}

// --- turns -----------------------------------------------------------------------

class Turns : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openSampleMine(fixture));
        view = std::make_unique<PlanView>();
        view->geo.clientWidth = 1600;
        view->geo.clientHeight = 1000;
        view->update(*fixture.doc);
        view->fitToWindow();
    }
    CBriscoDoc& doc() { return *fixture.doc; }
    // The node of this number in the document.
    const Node& node(int number) { return doc().nodes[std::size_t(doc().nodeIndex(number))]; }

    DocFixture fixture;
    std::unique_ptr<PlanView> view;
};

TEST_F(Turns, EightRightTurnsComeBackToTheStart)
{
    std::vector<std::pair<float, float>> nodes, bends;
    for (int i = 1; i <= doc().nodeCount; ++i)
        nodes.emplace_back(doc().nodes[std::size_t(i)].x, doc().nodes[std::size_t(i)].y);
    for (int s = 1; s <= doc().bendUsed; ++s)
        bends.emplace_back(doc().bends[std::size_t(s)].x, doc().bends[std::size_t(s)].y);
    ASSERT_GT(bends.size(), 5u);

    std::vector<int> angles;
    for (int t = 0; t < 8; ++t) {
        view->geo.scrollSizesChanged = false;
        view->rightTurn(doc());
        angles.push_back(view->geo.displayAngle);
        EXPECT_TRUE(view->geo.scrollSizesChanged);
    }
    EXPECT_EQ(angles, (std::vector<int>{45, 90, 135, 180, 225, 270, 315, 0}));
    for (int i = 1; i <= doc().nodeCount; ++i) {
        EXPECT_NEAR(doc().nodes[std::size_t(i)].x, nodes[std::size_t(i - 1)].first, 0.01) << "node index " << i;
        EXPECT_NEAR(doc().nodes[std::size_t(i)].y, nodes[std::size_t(i - 1)].second, 0.01) << "node index " << i;
        // The view's copy follows the document.
        EXPECT_EQ(view->data.nodeX[std::size_t(i)], doc().nodes[std::size_t(i)].x);
    }
    for (int s = 1; s <= doc().bendUsed; ++s) {
        EXPECT_NEAR(doc().bends[std::size_t(s)].x, bends[std::size_t(s - 1)].first, 0.01);
        EXPECT_NEAR(doc().bends[std::size_t(s)].y, bends[std::size_t(s - 1)].second, 0.01);
    }
}

TEST_F(Turns, RightTurnsClockwiseAndLeftTurnFromZeroGives315)
{
    // Node 102 lies at (120, 0).
    ASSERT_EQ(node(102).x, 120.0f);
    ASSERT_EQ(node(102).y, 0.0f);
    view->rightTurn(doc());
    EXPECT_EQ(view->geo.displayAngle, 45);
    EXPECT_NEAR(node(102).x, 84.853, 0.01);
    EXPECT_NEAR(node(102).y, -84.853, 0.01) << "clockwise on the screen";
    view->leftTurn(doc());
    EXPECT_EQ(view->geo.displayAngle, 0);
    view->leftTurn(doc());
    EXPECT_EQ(view->geo.displayAngle, 315);
    EXPECT_NEAR(node(102).x, 84.853, 0.01);
    EXPECT_NEAR(node(102).y, 84.853, 0.01);
}

TEST_F(Turns, AngleFromTheDialogTurnsByTheDifference)
{
    view->setAngle(doc(), 405);  // normalised to 45: turned by 0 - 45
    EXPECT_EQ(view->geo.displayAngle, 45);
    EXPECT_NEAR(node(102).x, 84.853, 0.01);
    EXPECT_NEAR(node(102).y, -84.853, 0.01);
    EXPECT_EQ(view->data.nodeY[std::size_t(doc().nodeIndex(102))], node(102).y);

    view->setAngle(doc(), -45);  // 315: turned by 45 - 315 = -270
    EXPECT_EQ(view->geo.displayAngle, 315);
    EXPECT_NEAR(node(102).x, 84.853, 0.01);
    EXPECT_NEAR(node(102).y, 84.853, 0.01);

    view->setAngle(doc(), 315);  // unchanged
    view->setAngle(doc(), 360 + 315);  // the same angle once normalised: no turn
    EXPECT_EQ(view->geo.displayAngle, 315);
    EXPECT_NEAR(node(102).y, 84.853, 0.01);
}

TEST_F(Turns, IgnoredInPagePreview)
{
    view->geo.pagePreview = true;
    view->rightTurn(doc());
    view->leftTurn(doc());
    view->leftTurn(doc());
    EXPECT_EQ(view->geo.displayAngle, 0);
    EXPECT_EQ(node(102).x, 120.0f);
}

}  // namespace
}  // namespace orvex::displaytest
