// The plan's geometry (transform, extents, fit, zoom, turns), the page
// arithmetic of printing, the display profile and the Display setting
// dialog's OK.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "display/displaysettings.h"
#include "model/profile.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

TEST(Geometry, TransformCutsTowardZeroAndVisibilityIsStrict)
{
    ViewGeometry g;
    g.scale = 2, g.originX = 100, g.originY = 50;
    // trunc(2x + 100), trunc(50 − 2y): 121.4 → 121 and −20.6 → −20 (not −21).
    EXPECT_EQ(str(g.worldToDevice(10.7f, 3.3f)), "121 43");
    EXPECT_EQ(str(g.worldToDevice(-60.3f, 30.3f)), "-20 -10");
    EXPECT_EQ(str(g.worldToDevice(0.45f, -0.45f)), "100 50");
    float x = 0, y = 0;  // back to whole world units, cut toward zero: ±12.5 → ±12
    g.deviceToWorld(125, 43, x, y);
    EXPECT_EQ(str({x, y}), "12 3");
    g.deviceToWorld(75, 57, x, y);
    EXPECT_EQ(str({x, y}), "-12 -3");
    g.pageDragX = 7, g.pageDragY = -3, g.pageCornerX = 30, g.pageCornerY = 40;  // drawn: plus drag and corner
    EXPECT_EQ(str(g.drawingPosition(10.7f, 3.3f)), "158 80");
    EXPECT_EQ(roundHalfAway(2.5), 3);
    EXPECT_EQ(roundHalfAway(-2.5), -3);
    EXPECT_EQ(roundHalfAway(1.4999), 1);

    // Visible strictly inside the scrolled client area (scale 1: device (x, −y)); printing: everything.
    ViewGeometry v;
    v.clientWidth = 300, v.clientHeight = 200, v.scrollX = 100, v.scrollY = 200;
    std::string visible;
    for (const auto& [px, py] : {std::pair{101, -201}, {399, -399}, {100, -300}, {400, -300}, {250, -200}, {250, -400}})
        visible += v.visible(float(px), float(py)) ? 'y' : 'n';
    EXPECT_EQ(visible, "yynnnn");
    v.drawAll = true;
    EXPECT_TRUE(v.visible(-5000, 5000));
}

TEST(Geometry, ExtentsAndFitToWindow)
{
    // Size |trunc(min s)| + |trunc(max s)| + 4rs; origin trunc((|trunc(min x)| + 2r) s),
    // trunc((max y + 2r) s); r = 8; the extents always hold world 0.
    const auto extents = [](float x1, float y1, float x2, float y2, float scale) {
        auto view = makeView();
        addNode(*view, 1, x1, y1);
        addNode(*view, 2, x2, y2);
        view->geo.scale = scale;
        view->recomputeExtents(true);
        const ViewGeometry& g = view->geo;
        return std::to_string(g.scrollWidth) + " " + std::to_string(g.scrollHeight) + ", " +
               str({g.originX, g.originY});
    };
    EXPECT_EQ(extents(100, 50, 300, 200, 1), "332 232, 16 216");
    EXPECT_EQ(extents(100, 50, 300, 200, 2), "664 464, 32 432");
    // 81 + 501 + 64 by 180 + 61 + 64; origin (40 + 16) × 2 and trunc(93.2).
    EXPECT_EQ(extents(-40.7f, -90.2f, 250.9f, 30.6f, 2), "646 305, 112 93");

    auto view = makeView();
    addNode(*view, 1, 0, 0);
    addNode(*view, 2, 1000, 500);
    view->geo.clientWidth = 800, view->geo.clientHeight = 600;
    view->fitToWindow();  // 1032 × 532 at scale 1: 800 / 1032 < 600 / 532
    EXPECT_FLOAT_EQ(view->geo.scale, 800.0f / 1032);
    view->data.nodeY[2] = 3000;  // tall now: 600 / 3032, whatever the scale before
    view->geo.scale = 5;
    view->fitToWindow();
    EXPECT_NEAR(view->geo.scale, 600.0 / 3032, 0.001);
}

TEST(Geometry, NodesAllAtOnePoint)
{
    for (const float x : {250.0f, 0.0f}) {
        auto view = makeView();
        for (int n = 1; n <= 4; ++n)
            addNode(*view, n, x, -x / 2);
        addRoad(*view, 1, 2, 3.0f);
        addRoad(*view, 3, 4, 0, {{x, -x / 2, 0}});
        addFan(*view, 1, 2);
        view->geo.clientHeight = 700;
        for (const float radius : {8.0f, 0.0f}) {  // without a radius the plan has no extent at all
            SCOPED_TRACE(testing::Message() << "at " << x << ", radius " << radius);
            view->geo.nodeRadius = radius;
            view->geo.scale = 1;
            view->fitToWindow();
            if (x == 0 && radius == 0) {
                EXPECT_EQ(view->geo.scale, 1.0f) << "no extent: the scale stays";
            }
            RecordingCanvas canvas;
            view->paint(canvas);
            EXPECT_TRUE(std::isfinite(view->geo.scale) && view->geo.scale >= kMinScale && view->geo.scale <= kMaxScale);
            EXPECT_TRUE(canvas.allFinite());
            if (radius > 0) {
                EXPECT_EQ(canvas.count(Op::Circle, kNode), 4 + 2);  // the nodes, the fan's ring and hub
            }
        }
    }
}

TEST(Zoom, DoublesAndHalvesWithinTheBounds)
{
    auto view = makeView();
    addNode(*view, 1, 100, 100);
    for (const auto& [in, from, to] : {std::tuple{true, 1.0f, 2.0f}, {true, 10.0f, 15.384616f},
                                       {true, kMaxScale, kMaxScale}, {false, 1.0f, 0.5f},
                                       {false, 0.02f, 0.015384615f}, {false, kMinScale, kMinScale}}) {
        view->geo.scale = from;
        in ? view->zoomIn() : view->zoomOut();
        EXPECT_EQ(view->geo.scale, to) << (in ? "in from " : "out from ") << from;
    }
    RecordingCanvas canvas;  // every paint bounds the scale, also one that is no number
    for (const auto& [from, to] :
         {std::pair{0.0f, kMinScale}, {100.0f, kMaxScale}, {std::nanf(""), kMinScale}, {3.0f, 3.0f}}) {
        view->geo.scale = from;
        view->paint(canvas);
        EXPECT_EQ(view->geo.scale, to) << from;
    }
    // The page preview zooms by 10/9 and 9/10 without bounds, keeps the
    // scroll sizes, remembers the page scale and moves the origin with it.
    view->geo.pagePreview = true;
    view->geo.scale = 15;
    view->geo.scrollWidth = 1234;
    view->zoomIn();
    EXPECT_FLOAT_EQ(view->geo.scale, 15 * 1.1111112f);
    EXPECT_EQ(view->page.pageScale, view->geo.scale);
    EXPECT_EQ(view->geo.scrollWidth, 1234);
    EXPECT_EQ(view->geo.originX, std::trunc(16 * view->geo.scale));
    view->geo.scale = 0.016f;
    view->zoomOut();
    EXPECT_FLOAT_EQ(view->geo.scale, 0.016f * 0.9f);
}

TEST(Zoom, ToARectangle)
{
    // Client 800 × 600 scrolled to (40, 30): the scale grows by the whole ratio
    // 800 / width, and the rectangle's corner becomes the window's.
    struct Row {
        float scale;
        int x0, y0, x1, y1;
        bool done;
        float newScale;
        int scrollX, scrollY;
    };
    const Row rows[] = {
        {1, 300, 250, 100, 100, true, 4, (40 + 100) * 4, (30 + 100) * 4},  // corners in any order
        {1, 0, 0, 300, 10, true, 2, 80, 60},                               // 800 / 300 is 2
        {5, 0, 0, 200, 100, true, 15.384615f, 123, 92},                    // 40 × 15.38 / 5
        {1, -100, 0, 900, 50, true, kMinScale, 0, 0},                      // 800 / 1000 is 0: the least scale
        {14.6f, 100, 100, 500, 250, true, 15.384615f, 147, 136},           // figure size 9.49 rounds to 9
        {kMaxScale, 100, 100, 300, 250, false, kMaxScale, -1, -1},
        {15.3f, 100, 100, 300, 250, false, 15.3f, -1, -1},  // figure size 9.945 rounds to 10
        {1, 100, 120, 300, 120, false, 1, -1, -1},          // no height
        {1, 100, 120, 100, 300, false, 1, -1, -1},          // no width
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.scale << ": " << r.x0 << " " << r.y0 << " " << r.x1 << " " << r.y1);
        auto view = makeView();
        addNode(*view, 1, 400, 300);
        view->geo.clientWidth = 800, view->geo.clientHeight = 600, view->geo.scrollX = 40, view->geo.scrollY = 30;
        view->geo.scale = r.scale;
        RecordingReporter reporter;
        int sx = -1, sy = -1;
        EXPECT_EQ(view->zoomToRectangle(r.x0, r.y0, r.x1, r.y1, reporter, sx, sy), r.done);
        EXPECT_EQ(view->geo.scale, r.newScale);
        EXPECT_EQ(std::pair(sx, sy), std::pair(r.scrollX, r.scrollY));
        const bool atMaximum = !r.done && r.y0 != r.y1 && r.x0 != r.x1;
        EXPECT_EQ(reporter.all(), atMaximum ? "[Tenbrook for Windows] This is a maximum !!\n" : "");
        view->geo.pagePreview = true;
        EXPECT_FALSE(view->zoomToRectangle(0, 0, 200, 100, reporter, sx, sy)) << "page preview";
    }
}

TEST(Turns, EightRightTurnsComeBackAndTheDialogTurnsByTheDifference)
{
    SampleMine mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    CBriscoDoc& doc = *mine.doc;
    auto view = makeView();
    view->update(doc);
    const auto positions = [&] {
        std::vector<float> all;
        for (int i = 1; i <= doc.nodeCount; ++i)
            all.insert(all.end(), {doc.nodes[std::size_t(i)].x, doc.nodes[std::size_t(i)].y});
        for (int s = 1; s <= doc.bendUsed; ++s)
            all.insert(all.end(), {doc.bends[std::size_t(s)].x, doc.bends[std::size_t(s)].y});
        return all;
    };
    const std::vector<float> before = positions();
    ASSERT_GT(doc.bendUsed, 5);
    std::string angles;
    for (int t = 0; t < 8; ++t) {
        view->rightTurn(doc);
        angles += std::to_string(view->geo.displayAngle) + " ";
    }
    EXPECT_EQ(angles, "45 90 135 180 225 270 315 0 ");
    const std::vector<float> after = positions();
    for (std::size_t k = 0; k < before.size(); ++k)
        EXPECT_NEAR(after[k], before[k], 0.01) << "coordinate " << k;

    // Node 102 lies at (120, 0); the view's copy follows the document.
    const int i = doc.nodeIndex(102);
    const auto at = [&](int angle, double x, double y) {
        EXPECT_EQ(view->geo.displayAngle, angle);
        EXPECT_NEAR(doc.nodes[std::size_t(i)].x, x, 0.01) << angle;
        EXPECT_NEAR(doc.nodes[std::size_t(i)].y, y, 0.01) << angle;
        EXPECT_EQ(view->data.nodeY[std::size_t(i)], doc.nodes[std::size_t(i)].y);
    };
    const double d = 120 / std::sqrt(2.0);
    view->rightTurn(doc);
    at(45, d, -d);  // clockwise on the screen
    view->leftTurn(doc);
    view->leftTurn(doc);
    at(315, d, d);
    view->setAngle(doc, 405);  // 45: turned by 315 − 45
    at(45, d, -d);
    view->setAngle(doc, -45);  // 315
    at(315, d, d);
    view->setAngle(doc, 360 + 315);  // the same angle: no turn
    view->geo.pagePreview = true;    // turns are ignored
    view->rightTurn(doc);
    view->leftTurn(doc);
    view->leftTurn(doc);
    at(315, d, d);
}

// --- the page --------------------------------------------------------------------

TEST(Page, OnTheScreen)
{
    const auto page = [](int w, int h, int pw, int ph, int orientation) {
        const PageRect r = pageOnScreen(w, h, pw, ph, orientation);
        return std::to_string(r.width) + " " + std::to_string(r.height) + " at " + std::to_string(r.left) + " " +
               std::to_string(r.top);
    };
    // A wide window: 3/4 of its height. 800 × 600 with the 2880 × 3969 page:
    // portrait 2880 × 450 / 3969 = 326 wide, landscape 3969 × 450 / 2880 = 620.
    EXPECT_EQ(page(800, 600, 2880, 3969, 1), "326 450 at 237 75");
    EXPECT_EQ(page(800, 600, 3969, 2880, 2), "620 450 at 90 75");
    EXPECT_EQ(page(800, 600, 3969, 2880, 1), "326 450 at 237 75");  // only the orientation decides
    EXPECT_EQ(page(800, 600, 2880, 3969, 0), "620 450 at 90 75");
    EXPECT_EQ(page(600, 800, 2880, 3969, 1), "450 620 at 75 90");  // tall: 3/4 of the width
    EXPECT_EQ(page(600, 800, 3969, 2880, 2), "450 326 at 75 237");
    EXPECT_EQ(page(600, 600, 2880, 3969, 1), "450 620 at 75 -10");
    EXPECT_EQ(page(801, 601, 2880, 3969, 1), "326 450 at 237 75");  // whole numbers: 3 × 601 / 4 = 450
}

TEST(Page, PreviewAndPrintKeepScreenAndPageApart)
{
    auto view = makeView();
    addNode(*view, 1, 0, 0);
    addNode(*view, 2, 1000, 500);
    addRoad(*view, 1, 2, 5.0f);
    ViewGeometry& g = view->geo;
    g.clientWidth = 800, g.clientHeight = 600;
    view->recomputeExtents(true);
    const ColourSlots screen = view->settings.colours;
    view->settings.print =
        PrintColours{rgb(1, 0, 0), rgb(2, 0, 0), rgb(3, 0, 0), rgb(4, 0, 0), rgb(5, 0, 0), rgb(6, 0, 0)};
    view->page.savedOffsetX = 100;
    const auto colours = [&] {
        const ColourSlots& c = view->settings.colours;
        return std::vector<Colour>{c.node, c.road, c.online, c.underline, c.onnode, c.nodedata, c.back, c.strong};
    };

    view->enterPagePreview();  // the 326 × 450 page at (237, 75): the window's view shrunk onto it
    EXPECT_TRUE(g.pagePreview);
    EXPECT_FLOAT_EQ(g.scale, 326.0f / 800);
    EXPECT_EQ(g.pageCornerX, 237);
    EXPECT_EQ(g.pageDragX, int(100 * g.scale));
    EXPECT_EQ(g.originY, std::trunc((500 + 16) * g.scale));
    EXPECT_EQ(colours(), (std::vector<Colour>{rgb(1, 0, 0), rgb(2, 0, 0), rgb(3, 0, 0), rgb(4, 0, 0), rgb(5, 0, 0),
                                              rgb(6, 0, 0), screen.back, screen.strong}));
    view->zoomIn();  // zoom on the page, move the plan, change a colour; leave
    const float zoomed = g.scale;
    g.pageDragX = 50, g.pageDragY = 30;
    view->settings.colours.road = rgb(0, 0, 77);
    view->leavePagePreview();
    EXPECT_FALSE(g.pagePreview);
    EXPECT_EQ(g.scale, 1.0f);
    EXPECT_EQ(view->page.savedOffsetX, int(50 / zoomed));
    EXPECT_EQ(g.pageCornerX + g.pageDragX, 0);
    EXPECT_EQ(colours(), (std::vector<Colour>{screen.node, screen.road, screen.online, screen.underline, screen.onnode,
                                              screen.nodedata, screen.back, screen.strong}));
    EXPECT_EQ(view->settings.print.road, rgb(0, 0, 77)) << "kept as the print colour";
    EXPECT_EQ(g.scrollWidth, 1000 + 32);
    view->enterPagePreview();  // again: the page scale as last used, the plan where it was
    EXPECT_EQ(g.scale, zoomed);
    EXPECT_NEAR(g.pageDragX, 50, 1);
    EXPECT_NEAR(g.pageDragY, 30, 1);
    EXPECT_EQ(view->settings.colours.road, rgb(0, 0, 77));

    // The printout puts the plan where the preview has it on the page, with
    // the labels of the kind in force at the last paint.
    view->settings.onlineKind = 4;
    RecordingCanvas canvas;
    view->paint(canvas);
    view->settings.onlineKind = 0;
    const DevicePoint preview = g.drawingPosition(1000, 500);
    EXPECT_FLOAT_EQ(view->beginPrint(2880, 3969), 2880 * zoomed / 326);
    EXPECT_TRUE(g.drawAll);
    const DevicePoint printed = g.drawingPosition(1000, 500);
    EXPECT_NEAR(printed.x / 2880.0, (preview.x - 237) / 326.0, 0.005);
    EXPECT_NEAR(printed.y / 3969.0, (preview.y - 75) / 450.0, 0.005);
    canvas.ops.clear();
    view->drawNetwork(canvas, true);
    EXPECT_EQ(canvas.labels(view->settings.colours.online), "5-)");
    view->finishPrint();
    EXPECT_FALSE(g.drawAll);
    EXPECT_TRUE(g.pagePreview);
    EXPECT_EQ(g.scale, zoomed);
    EXPECT_EQ(str(g.drawingPosition(1000, 500)), str(preview));
}

// --- the display profile ---------------------------------------------------------

std::vector<unsigned> everything(const DisplaySettings& s)
{
    const ColourSlots& c = s.colours;
    const PrintColours& p = s.print;
    return {unsigned(s.onlineKind), unsigned(s.underlineKind), unsigned(s.nodeKind), unsigned(s.previewKind),
            c.back, c.road, c.online, c.underline, c.node, c.onnode, c.strong, c.nodedata,
            p.node, p.road, p.online, p.underline, p.onnode, p.nodedata};
}

TEST(DisplayProfile, WrittenReadBackAndMissingKeysKeepTheValues)
{
    MemoryProfile profile;
    DisplaySettings written;
    written.onlineKind = 16, written.underlineKind = 12, written.nodeKind = 4, written.previewKind = 0;
    written.colours = ColourSlots{rgb(1, 2, 3), rgb(4, 5, 6), rgb(7, 8, 9), rgb(10, 11, 12), rgb(13, 14, 15),
                                  rgb(16, 17, 18), rgb(19, 20, 21), rgb(22, 23, 24)};
    written.print =
        PrintColours{rgb(31, 0, 0), rgb(0, 32, 0), rgb(0, 0, 33), rgb(34, 0, 34), rgb(35, 35, 0), rgb(0, 36, 36)};
    ViewGeometry geometry;
    geometry.charSize = 12.5f;
    // "factor" is the figure size 0.65 × scale in thousandths, cut: 0.7 × 650 − a little gives 454.
    geometry.scale = 0.7f - 1e-6f;
    writeDisplaySettings(profile, written, geometry);
    EXPECT_EQ(profile.readString(kDisplaySection, "factor", ""), "454");
    geometry.scale = 1;
    writeDisplaySettings(profile, written, geometry);
    EXPECT_EQ(profile.readString(kDisplaySection, "factor", ""), "650");
    EXPECT_EQ(profile.readString(kDisplaySection, "font", ""), "12500");
    EXPECT_EQ(profile.readInt(kDisplaySection, "back", -1), 1 + (2 << 8) + (3 << 16));  // 0x00BBGGRR

    DisplaySettings read;
    ViewGeometry readGeometry;
    readDisplaySettings(profile, read, readGeometry);
    EXPECT_EQ(everything(read), everything(written));
    EXPECT_EQ(str({readGeometry.scale, readGeometry.charSize}), "1 12.5");
    MemoryProfile sparse;  // missing keys, empty "factor" and "font": the values stay; the preview kind is 1
    sparse.writeString(kDisplaySection, "factor", "");
    sparse.writeString(kDisplaySection, "font", "");
    readDisplaySettings(sparse, read, readGeometry);
    EXPECT_EQ(read.previewKind, 1);
    read.previewKind = 0;
    EXPECT_EQ(everything(read), everything(written));
    EXPECT_EQ(str({readGeometry.scale, readGeometry.charSize}), "1 12.5");
}

TEST(DisplayProfile, NonNumericSizesAndKindsOutOfRange)
{
    MemoryProfile profile;
    profile.writeString(kDisplaySection, "factor", "big");
    profile.writeString(kDisplaySection, "font", "large");
    profile.writeInt(kDisplaySection, "onlinevalue", 25);
    profile.writeInt(kDisplaySection, "underlinevalue", -1);
    profile.writeInt(kDisplaySection, "nodevalue", 11);
    auto view = makeView();
    readDisplaySettings(profile, view->settings, view->geo);
    EXPECT_EQ(str({view->geo.scale, view->geo.charSize}), "0 0") << "text that is no number reads as 0";
    EXPECT_EQ(str({float(view->settings.onlineKind), float(view->settings.underlineKind)}), "25 -1");
    EXPECT_EQ(view->settings.nodeKind, 11);
    addNode(*view, 1, -200, 0, true);
    addNode(*view, 2, 0, 0);
    addNode(*view, 3, 0, 150);
    addRoad(*view, 1, 2, 5.0f);
    addRoad(*view, 2, 3, 6.0f, {{0, 100, 0}});
    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_EQ(view->geo.scale, kMinScale) << "the paint raises the scale";
    EXPECT_TRUE(canvas.allFinite());
    EXPECT_EQ(canvas.count(Op::Circle, kNode), 4);
    EXPECT_EQ(canvas.count(Op::Line, kRoad), 3);
    for (const Colour colour : {kOnline, kUnderline, kOnNode, kNodeData})
        EXPECT_TRUE(canvas.texts(colour).empty()) << "no label for a kind out of range";
}

// --- the Display setting dialog's OK ---------------------------------------------

// The sample mine copied beside a file of external road values: two columns
// of two values per normal road, (k + 10, k + 20) and (k + 30, k + 40).
class ApplySettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        for (const char* ext : {"vad", "sdt", "nrd", "jpd", "apd"})
            std::filesystem::copy_file(kSourceDir + "/data/mine." + ext, folder / (std::string("mine.") + ext));
        mine = std::make_unique<SampleMine>((folder / "mine.vad").string());
        ASSERT_TRUE(mine->opened) << mine->reporter.all();
        std::ofstream erd(folder / "mine.erd");
        erd << "external road values\n2  2\n";
        for (int k = 1; k <= doc().roadCount; ++k)
            erd << doc().roads[std::size_t(k)].first << " " << doc().roads[std::size_t(k)].second << "  " << k + 10
                << " " << k + 20 << "  " << k + 30 << " " << k + 40 << "\n";
        view->geo.clientWidth = 1600, view->geo.clientHeight = 1000;
        view->update(doc());
        view->fitToWindow();
        chosen = view->settings;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    CBriscoDoc& doc() { return *mine->doc; }
    bool apply(float figureSize, float charSize = 10, float radius = 8, int angle = 0)
    {
        return view->applyDisplaySettings(doc(), chosen, figureSize, charSize, radius, angle, reporter);
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orvex-erd-" + std::to_string(::getpid()));
    std::unique_ptr<SampleMine> mine;
    std::unique_ptr<PlanView> view = makeView();
    DisplaySettings chosen;
    RecordingReporter reporter;
};

TEST_F(ApplySettings, FigureSizesOutsideTheRangeTakeNothing)
{
    const float scale = view->geo.scale;
    chosen.onlineKind = 9;
    for (const float figure : {0.0099f, 10.01f, 0.0f}) {
        reporter.messages.clear();
        EXPECT_FALSE(apply(figure, 12, 6)) << figure;
        EXPECT_EQ(reporter.all(), "[Tenbrook for Windows] Bad figure size(0.01 - 10.00)\n");
        EXPECT_EQ(view->geo.scale, scale);
        EXPECT_EQ(str({view->geo.charSize, view->geo.nodeRadius}), "10 8");
        EXPECT_EQ(view->settings.onlineKind, 1);
    }
}

TEST_F(ApplySettings, TakesTheSettingsOverAndRecomputes)
{
    EXPECT_TRUE(apply(0.01f));
    EXPECT_NEAR(view->geo.scale, kMinScale, 1e-8);
    EXPECT_TRUE(apply(10.0f));
    EXPECT_NEAR(view->geo.scale, kMaxScale, 1e-5);

    chosen.onlineKind = 16;     // column 1 on the lines
    chosen.underlineKind = 17;  // column 2 under them
    chosen.nodeKind = 2;        // elevations
    chosen.colours.road = rgb(1, 2, 3);
    chosen.previewKind = 0;              // not the dialog's to set
    chosen.print.road = rgb(200, 0, 0);  // nor this
    EXPECT_TRUE(apply(0.65f, 12.5f, 5.0f));
    EXPECT_TRUE(reporter.messages.empty()) << reporter.all();
    EXPECT_FLOAT_EQ(view->geo.scale, 1.0f);
    EXPECT_EQ(str({view->geo.charSize, view->geo.nodeRadius}), "12.5 5");
    EXPECT_EQ(view->settings.colours.road, rgb(1, 2, 3));
    EXPECT_EQ(view->settings.previewKind, 1);
    EXPECT_EQ(view->settings.print.road, rgb(0, 0, 0));
    EXPECT_EQ(view->geo.originX, std::trunc((430 + 2 * 5.0f) * view->geo.scale)) << "extents for the new radius";
    for (int i = 1; i <= doc().nodeCount; ++i)
        EXPECT_EQ(view->data.nodeValue[std::size_t(i)], doc().nodes[std::size_t(i)].elevation) << "node " << i;
    // Road 1 (node 1 to 101) reads from its first node; road 4 (node 10 at
    // (1200, 220) to 140 at (1150, 90)) points down to the left: turned.
    RecordingCanvas canvas;
    view->paint(canvas);  // fixes the on-line kind in force
    ASSERT_EQ(doc().roads[4].first, 10);
    for (const auto& [road, expected] : {std::pair{1, "11#21 31#41"}, {4, "24#14 44#34"}}) {
        canvas.ops.clear();
        view->drawRoadOnWindow(canvas, road, kRoad, kOnline, kUnderline);
        EXPECT_EQ(canvas.labels(kOnline) + " " + canvas.labels(kUnderline), expected) << "road " << road;
    }

    // Kind 3: each node's pressure above the lowest surface pressure, in the pressure unit.
    chosen.onlineKind = 9;  // lengths
    chosen.nodeKind = 3;
    EXPECT_TRUE(apply(0.65f, 10, 8, 405));
    for (int k = 1; k <= doc().totalRoads(); ++k)
        EXPECT_EQ(view->data.onlineValue[std::size_t(k)], doc().roads[std::size_t(k)].length) << "road " << k;
    double lowest = doc().nodes[1].pressure;
    for (int i = 1; i <= doc().surfaceCount; ++i)
        lowest = std::min(lowest, doc().nodes[std::size_t(i)].pressure);
    for (int i = 1; i <= doc().nodeCount; ++i) {
        const double expected = (doc().nodes[std::size_t(i)].pressure - lowest) / mine->app.units.pressureUnitFactor;
        EXPECT_NEAR(view->data.nodeValue[std::size_t(i)], expected, 1e-4 * std::max(1.0, std::fabs(expected)));
    }
    EXPECT_EQ(view->geo.displayAngle, 45) << "turned by the angle";
    EXPECT_NEAR(doc().nodes[std::size_t(doc().nodeIndex(102))].y, -84.853, 0.01);
}

}  // namespace
}  // namespace orvex::displaytest
