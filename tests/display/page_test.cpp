// The page arithmetic of printing: the page on the screen, the page layout,
// entering and leaving page preview, and the print scale.
#include <gtest/gtest.h>

#include <cmath>

#include "display/planview.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

::testing::AssertionResult isPage(const PageRect& r, int width, int height, int left, int top)
{
    if (r.width == width && r.height == height && r.left == left && r.top == top)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << r.width << " x " << r.height << " at (" << r.left << ", "
                                         << r.top << "), expected " << width << " x " << height << " at ("
                                         << left << ", " << top << ")";
}

TEST(PageOnScreen, WideAndTallWindowsPortraitAndLandscape)
{
    // 800 × 600, the default page (2880 × 3969), portrait: 450 high,
    // 2880 × 450 / 3969 = 326 wide.
    EXPECT_TRUE(isPage(pageOnScreen(800, 600, 2880, 3969, 1), 326, 450, 237, 75));
    // A landscape printer of 3969 × 2880: 3969 × 450 / 2880 = 620 wide.
    EXPECT_TRUE(isPage(pageOnScreen(800, 600, 3969, 2880, 2), 620, 450, 90, 75));
    // Only the orientation decides, not which side is given first.
    EXPECT_TRUE(isPage(pageOnScreen(800, 600, 3969, 2880, 1), 326, 450, 237, 75));
    EXPECT_TRUE(isPage(pageOnScreen(800, 600, 2880, 3969, 0), 620, 450, 90, 75));
    // A tall (or square) window: 3/4 of its width.
    EXPECT_TRUE(isPage(pageOnScreen(600, 800, 2880, 3969, 1), 450, 620, 75, 90));
    EXPECT_TRUE(isPage(pageOnScreen(600, 800, 3969, 2880, 2), 450, 326, 75, 237));
    EXPECT_TRUE(isPage(pageOnScreen(600, 600, 2880, 3969, 1), 450, 620, 75, -10));
    // Whole-number arithmetic: 3 × 601 / 4 = 450.
    EXPECT_TRUE(isPage(pageOnScreen(801, 601, 2880, 3969, 1), 326, 450, 237, 75));
}

class PagePreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = makeView();
        PlanBuilder build(*view);
        build.underground(1, 0, 0);
        build.underground(2, 1000, 500);
        build.road(1, 2, 5.0f);
        view->geo.clientWidth = 800;
        view->geo.clientHeight = 600;
        view->geo.scale = 1.0f;
        view->recomputeExtents(true);
        screen = view->settings.colours;
        view->settings.print = PrintColours{rgb(1, 0, 0), rgb(2, 0, 0), rgb(3, 0, 0),
                                            rgb(4, 0, 0), rgb(5, 0, 0), rgb(6, 0, 0)};
    }
    std::unique_ptr<PlanView> view;
    ColourSlots screen;
};

TEST_F(PagePreview, LayoutPutsThePageInTheMiddleAndShrinksTheView)
{
    view->geo.scrollX = 10;
    view->geo.scrollY = 20;
    view->geo.pagePreview = true;
    view->page.savedOffsetX = 100;
    view->page.savedOffsetY = -40;
    view->pageLayout();
    const ViewGeometry& g = view->geo;
    EXPECT_EQ(g.scrollWidth, 800);
    EXPECT_EQ(g.scrollHeight, 600);
    EXPECT_EQ(g.pageCornerX, 237);
    EXPECT_EQ(g.pageCornerY, 75);
    // The corners include the scroll position.
    EXPECT_EQ(view->page.corners[0].x, 247.0f);
    EXPECT_EQ(view->page.corners[0].y, 95.0f);
    EXPECT_EQ(view->page.corners[2].x, 247.0f + 326);
    EXPECT_EQ(view->page.corners[2].y, 95.0f + 450);
    // Page scale not chosen: the window's view shrunk onto the page.
    EXPECT_FLOAT_EQ(g.scale, std::min(326.0f / 800, 450.0f / 600));
    EXPECT_EQ(g.pageDragX, int(100 * g.scale));
    EXPECT_EQ(g.pageDragY, int(-40 * g.scale));
    EXPECT_EQ(view->page.lastDragX, g.pageDragX);
    // The print colours are drawn; background and emphasis stay.
    const ColourSlots& c = view->settings.colours;
    EXPECT_EQ(c.node, rgb(1, 0, 0));
    EXPECT_EQ(c.road, rgb(2, 0, 0));
    EXPECT_EQ(c.online, rgb(3, 0, 0));
    EXPECT_EQ(c.underline, rgb(4, 0, 0));
    EXPECT_EQ(c.onnode, rgb(5, 0, 0));
    EXPECT_EQ(c.nodedata, rgb(6, 0, 0));
    EXPECT_EQ(c.back, screen.back);
    EXPECT_EQ(c.strong, screen.strong);
    // The origin follows the scale; the extents are those of the screen.
    EXPECT_EQ(g.originX, std::trunc(16 * g.scale));
    EXPECT_EQ(g.originY, std::trunc((500 + 16) * g.scale));

    // A chosen page scale is taken as it is.
    view->page.pageScale = 0.3f;
    view->pageLayout();
    EXPECT_EQ(view->geo.scale, 0.3f);
}

TEST_F(PagePreview, EnterAndLeaveKeepScreenAndPageApart)
{
    view->enterPagePreview();
    EXPECT_TRUE(view->geo.pagePreview);
    EXPECT_EQ(view->page.screenScale, 1.0f);
    const float pageScale = std::min(326.0f / 800, 450.0f / 600);
    EXPECT_FLOAT_EQ(view->geo.scale, pageScale) << "the screen scale shrunk, not the fitted one";
    EXPECT_EQ(view->page.pageScale, view->geo.scale);
    EXPECT_EQ(view->settings.colours.road, rgb(2, 0, 0));

    // Zoom on the page, move the plan, change the colours (colour setup).
    view->zoomIn();
    const float zoomed = view->geo.scale;
    view->geo.pageDragX = 50;
    view->geo.pageDragY = 30;
    view->settings.colours.road = rgb(0, 0, 77);
    view->leavePagePreview();
    EXPECT_FALSE(view->geo.pagePreview);
    EXPECT_EQ(view->geo.scale, 1.0f);
    EXPECT_EQ(view->page.pageScale, zoomed);
    EXPECT_EQ(view->page.savedOffsetX, int(50 / zoomed));
    EXPECT_EQ(view->page.savedOffsetY, int(30 / zoomed));
    EXPECT_EQ(view->geo.pageCornerX, 0);
    EXPECT_EQ(view->geo.pageDragX, 0);
    EXPECT_EQ(view->settings.colours.road, screen.road) << "the screen colours return";
    EXPECT_EQ(view->settings.colours.node, screen.node);
    EXPECT_EQ(view->settings.print.road, rgb(0, 0, 77)) << "kept as the print colour";
    EXPECT_EQ(view->geo.scrollWidth, 1000 + 32);
    EXPECT_TRUE(view->geo.scrollSizesChanged);

    // Again: the page scale as last used, the plan at the same place.
    view->enterPagePreview();
    EXPECT_EQ(view->geo.scale, zoomed);
    EXPECT_NEAR(view->geo.pageDragX, 50, 1);
    EXPECT_NEAR(view->geo.pageDragY, 30, 1);
    EXPECT_EQ(view->settings.colours.road, rgb(0, 0, 77));
}

TEST_F(PagePreview, ThePrintedPlanTakesThePreviewsPlaceOnThePage)
{
    view->enterPagePreview();
    view->geo.pageDragX = 40;
    view->geo.pageDragY = 25;
    const float pageScale = view->geo.scale;
    // Where node 2 lies on the preview page, as a fraction of the page.
    const DevicePoint preview = view->geo.drawingPosition(1000, 500);
    const double fx = (preview.x - view->geo.pageCornerX) / 326.0;
    const double fy = (preview.y - view->geo.pageCornerY) / 450.0;

    const float printScale = view->beginPrint(2880, 3969);
    EXPECT_FLOAT_EQ(printScale, 2880 * pageScale / 326);
    EXPECT_EQ(view->geo.scale, printScale);
    EXPECT_TRUE(view->geo.drawAll);
    EXPECT_TRUE(view->page.printing);
    EXPECT_FALSE(view->geo.pagePreview);
    EXPECT_EQ(view->geo.pageCornerX, 0);
    EXPECT_EQ(view->geo.pageDragX, int(printScale * int(40 / pageScale)));
    const DevicePoint printed = view->geo.drawingPosition(1000, 500);
    EXPECT_NEAR(printed.x / 2880.0, fx, 0.005);
    EXPECT_NEAR(printed.y / 3969.0, fy, 0.005);

    // The page drawn on the printer: no labels lost, every element drawn.
    RecordingCanvas canvas;
    view->drawNetwork(canvas, true);
    EXPECT_EQ(canvas.circles(view->settings.colours.node).size(), 2u);

    view->finishPrint();
    EXPECT_FALSE(view->geo.drawAll);
    EXPECT_FALSE(view->page.printing);
    EXPECT_TRUE(view->geo.pagePreview);
    EXPECT_EQ(view->geo.scale, pageScale);
    EXPECT_EQ(view->page.pageScale, pageScale);
    EXPECT_EQ(view->geo.pageDragX, 40);
    EXPECT_EQ(view->geo.pageDragY, 25);
    EXPECT_EQ(view->geo.pageCornerX, 237);
    EXPECT_EQ(view->page.screenScale, 1.0f);
    const DevicePoint again = view->geo.drawingPosition(1000, 500);
    EXPECT_EQ(again.x, preview.x);
    EXPECT_EQ(again.y, preview.y);
}

TEST_F(PagePreview, PrintingUsesTheKindOfTheLastPaint)
{
    view->enterPagePreview();
    view->settings.onlineKind = 4;
    RecordingCanvas canvas;
    view->paint(canvas);  // fixes kind 4 in force
    view->settings.onlineKind = 0;
    view->beginPrint(2880, 3969);
    canvas.clear();
    view->drawNetwork(canvas, true);
    EXPECT_EQ(canvas.texts(view->settings.colours.online).size(), 1u);
    view->finishPrint();
}

}  // namespace
}  // namespace orvex::displaytest
