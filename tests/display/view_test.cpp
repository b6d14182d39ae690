// The plan's geometry (transform, extents, fit, zoom, turns), the page
// arithmetic of printing, the display profile and the Display setting
// dialog's OK.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "display/displaysettings.h"
#include "model/profile.h"
#include "support.h"

namespace orvex::test {
namespace {

TEST(Geometry, TransformVisibilityExtentsAndFit)
{
    ViewGeometry g;
    g.scale = 2, g.originX = 100, g.originY = 50;
    // trunc(2x + 100), trunc(50 − 2y): 121.4 → 121 and −20.6 → −20 (not −21).
    EXPECT_EQ(str(g.worldToDevice(10.7f, 3.3f)) + ", " + str(g.worldToDevice(-60.3f, 30.3f)), "121 43, -20 -10");
    float x = 0, y = 0, x2 = 0, y2 = 0;  // back to whole world units, cut toward zero: ±12.5 → ±12
    g.deviceToWorld(125, 43, x, y);
    g.deviceToWorld(75, 57, x2, y2);
    EXPECT_EQ(str({x, y}) + ", " + str({x2, y2}), "12 3, -12 -3");
    g.pageDragX = 7, g.pageDragY = -3, g.pageCornerX = 30, g.pageCornerY = 40;  // drawn: plus drag and corner
    EXPECT_EQ(str(g.drawingPosition(10.7f, 3.3f)), "158 80");
    EXPECT_EQ(std::to_string(roundHalfAway(2.5)) + std::to_string(roundHalfAway(-2.5)) +
                  std::to_string(roundHalfAway(2.495)),
              "3-32");

    // Visible strictly inside the scrolled client area (scale 1: device (x, −y)); printing: everything.
    ViewGeometry v;
    v.clientWidth = 300, v.clientHeight = 200, v.scrollX = 100, v.scrollY = 200;
    std::string visible;
    for (const auto& [px, py] : {std::pair{101, -201}, {399, -399}, {100, -300}, {400, -300}, {250, -200}, {250, -400}})
        visible += v.visible(float(px), float(py)) ? 'y' : 'n';
    EXPECT_EQ(visible, "yynnnn");
    v.drawAll = true;
    EXPECT_TRUE(v.visible(-5000, 5000));

    // Size |trunc(min s)| + |trunc(max s)| + 4rs; origin trunc((|trunc(min x)| + 2r) s),
    // trunc((max y + 2r) s); r = 8; the extents always hold world 0.
    auto view = makeView();
    addNode(*view, 1, -40.7f, -90.2f);
    addNode(*view, 2, 250.9f, 30.6f);
    view->geo.scale = 2;
    view->recomputeExtents(true);
    const ViewGeometry& e = view->geo;  // 81 + 501 + 64 by 180 + 61 + 64; origin (40 + 16) × 2, trunc(93.2)
    EXPECT_EQ(std::to_string(e.scrollWidth) + " " + std::to_string(e.scrollHeight) + ", " + str({e.originX, e.originY}),
              "646 305, 112 93");
    view->data.nodeX[1] = view->data.nodeY[1] = 0;  // (0, 0) and (1000, 500) in 800 × 600: 800 / 1032 < 600 / 532
    view->data.nodeX[2] = 1000, view->data.nodeY[2] = 500;
    view->geo.clientWidth = 800, view->geo.clientHeight = 600;
    view->fitToWindow();
    EXPECT_FLOAT_EQ(view->geo.scale, 800.0f / 1032);
    view->data.nodeX[2] = view->data.nodeY[2] = 0;  // no extent without a node radius: the scale stays
    view->geo.nodeRadius = 0;
    view->fitToWindow();
    EXPECT_FLOAT_EQ(view->geo.scale, 800.0f / 1032);
}

TEST(Zoom, StepsWithinTheBoundsAndToARectangle)
{
    auto view = makeView();
    for (const auto& [in, from, to] : {std::tuple{true, 1.0f, 2.0f}, {true, 10.0f, kMaxScale},
                                       {false, 1.0f, 0.5f}, {false, 0.02f, kMinScale}}) {
        view->geo.scale = from;
        in ? view->zoomIn() : view->zoomOut();
        EXPECT_EQ(view->geo.scale, to) << (in ? "in from " : "out from ") << from;
    }
    RecordingCanvas canvas;  // every paint bounds the scale, also one that is no number
    for (const auto& [from, to] : {std::pair{0.0f, kMinScale}, {100.0f, kMaxScale}, {std::nanf(""), kMinScale}}) {
        view->geo.scale = from;
        view->paint(canvas);
        EXPECT_EQ(view->geo.scale, to) << from;
    }
    view->geo.pagePreview = true;  // on the page by 10/9 and without bounds
    view->geo.scale = 15;
    view->zoomIn();
    EXPECT_FLOAT_EQ(view->geo.scale, 15 * 1.1111112f);

    // Client 800 × 600 scrolled to (40, 30): the scale grows by the whole ratio
    // 800 / width, and the rectangle's corner becomes the window's.
    struct Row {
        float scale;
        int x0, y0, x1, y1;
        float newScale;
        int scrollX, scrollY;  // −1: refused
    };
    for (const Row& r : {Row{1, 300, 250, 100, 100, 4, (40 + 100) * 4, (30 + 100) * 4},  // corners in any order
                         Row{1, 0, 0, 300, 10, 2, 80, 60},                               // 800 / 300 is 2
                         Row{14.6f, 100, 100, 500, 250, 15.384615f, 147, 136},  // figure size 9.49 rounds to 9
                         Row{15.3f, 100, 100, 300, 250, 15.3f, -1, -1},         // 9.945 rounds to 10: the maximum
                         Row{1, 100, 120, 300, 120, 1, -1, -1}}) {              // no height
        view->geo = ViewGeometry{};
        view->geo.clientWidth = 800, view->geo.clientHeight = 600, view->geo.scrollX = 40, view->geo.scrollY = 30;
        view->geo.scale = r.scale;
        RecordingReporter reporter;
        int sx = -1, sy = -1;
        EXPECT_EQ(view->zoomToRectangle(r.x0, r.y0, r.x1, r.y1, reporter, sx, sy), r.scrollX >= 0);
        EXPECT_EQ(view->geo.scale, r.newScale) << r.scale;
        EXPECT_EQ(std::pair(sx, sy), std::pair(r.scrollX, r.scrollY)) << r.scale;
        EXPECT_EQ(reporter.all(), r.scale == 15.3f ? "[This is a maximum !!]\n" : "");
    }
}

TEST(Turns, RightAndLeftTurnsAndTheDialogTurnsByTheDifference)
{
    SampleNetwork mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    CBriscoDoc& doc = *mine.doc;
    auto view = makeView();
    view->update(doc);
    const std::size_t i = std::size_t(doc.nodeIndex(102));  // at (120, 0)
    const double d = 120 / std::sqrt(2.0);
    const auto at = [&](int angle, double x, double y) {
        EXPECT_EQ(view->geo.displayAngle, angle);
        EXPECT_TRUE(nearly(str({doc.nodes[i].x, doc.nodes[i].y}), str({float(x), float(y)}), 0.01)) << angle;
        EXPECT_EQ(view->data.nodeY[i], doc.nodes[i].y) << "the view follows";
    };
    view->rightTurn(doc);
    at(45, d, -d);  // clockwise on the screen
    view->leftTurn(doc);
    view->leftTurn(doc);
    at(315, d, d);
    view->setAngle(doc, 405);  // 45: turned by 315 − 45
    at(45, d, -d);
    view->setAngle(doc, -45);  // 315
    at(315, d, d);
}

TEST(Page, OnTheScreenInThePreviewAndOnPaper)
{
    const auto page = [](int w, int h, int pw, int ph, int orientation) {
        const PageRect r = pageOnScreen(w, h, pw, ph, orientation);
        return std::to_string(r.width) + " " + std::to_string(r.height) + " at " + std::to_string(r.left) + " " +
               std::to_string(r.top);
    };
    // A wide window: 3/4 of its height. 800 × 600 with the 2880 × 3969 page:
    // portrait 2880 × 450 / 3969 = 326 wide (drawn in Drawing.BackgroundThenNetworkOrThePreviewPage),
    // landscape 3969 × 450 / 2880 = 620.
    EXPECT_EQ(page(800, 600, 3969, 2880, 2), "620 450 at 90 75");
    EXPECT_EQ(page(600, 800, 3969, 2880, 2), "450 326 at 75 237");  // tall: 3/4 of the width

    auto view = makeView();
    addNode(*view, 1, 0, 0);
    addNode(*view, 2, 1000, 500);
    addRoad(*view, 1, 2, 5.0f);
    ViewGeometry& g = view->geo;
    g.clientWidth = 800, g.clientHeight = 600;
    const ColourSlots screen = view->settings.colours;
    view->settings.print = PrintColours{rgb(1, 0, 0), rgb(2, 0, 0), rgb(3, 0, 0), rgb(4, 0, 0), rgb(5, 0, 0), rgb(6, 0, 0)};
    view->page.savedOffsetX = 100;
    view->enterPagePreview();  // the 326 × 450 page: the window's view shrunk onto it, in print colours
    EXPECT_FLOAT_EQ(g.scale, 326.0f / 800);
    EXPECT_EQ(g.pageDragX, int(100 * g.scale));
    EXPECT_EQ(std::pair(view->settings.colours.road, view->settings.colours.onnode),
              std::pair(rgb(2, 0, 0), rgb(5, 0, 0)));
    view->zoomIn();  // zoom on the page, move the plan, change a colour; leave
    const float zoomed = g.scale;
    g.pageDragX = 50, g.pageDragY = 30;
    view->settings.colours.road = rgb(0, 0, 77);
    view->leavePagePreview();
    EXPECT_EQ(g.scale, 1.0f);
    EXPECT_EQ(view->page.savedOffsetX, int(50 / zoomed));
    EXPECT_EQ(view->settings.colours.road, screen.road);
    EXPECT_EQ(view->settings.print.road, rgb(0, 0, 77)) << "kept as the print colour";
    view->enterPagePreview();  // again: the page scale as last used
    EXPECT_EQ(g.scale, zoomed);

    // The printout puts the plan where the preview has it on the page, with
    // the labels of the kind in force at the last paint.
    view->settings.onlineKind = 4;
    RecordingCanvas canvas;
    view->paint(canvas);
    view->settings.onlineKind = 0;
    const DevicePoint preview = g.drawingPosition(1000, 500);
    EXPECT_FLOAT_EQ(view->beginPrint(2880, 3969), 2880 * zoomed / 326);
    const DevicePoint printed = g.drawingPosition(1000, 500);
    EXPECT_NEAR(printed.x / 2880.0, (preview.x - 237) / 326.0, 0.005);
    EXPECT_NEAR(printed.y / 3969.0, (preview.y - 75) / 450.0, 0.005);
    canvas.ops.clear();
    view->drawNetwork(canvas, true);
    EXPECT_EQ(canvas.labels(view->settings.colours.online), "5-)");
    view->finishPrint();
    EXPECT_FALSE(g.drawAll);
    EXPECT_EQ(str(g.drawingPosition(1000, 500)), str(preview));
}

TEST(DisplayProfile, WrittenReadBackAndWhatCannotBeRead)
{
    MemoryProfile profile;
    DisplaySettings written;
    written.onlineKind = 16, written.underlineKind = 12, written.nodeKind = 4, written.previewKind = 0;
    written.colours = ColourSlots{rgb(1, 2, 3), rgb(4, 5, 6), rgb(7, 8, 9), rgb(10, 11, 12), rgb(13, 14, 15),
                                  rgb(16, 17, 18), rgb(19, 20, 21), rgb(22, 23, 24)};
    written.print = PrintColours{rgb(31, 0, 0), rgb(0, 32, 0), rgb(0, 0, 33), rgb(34, 0, 34), rgb(35, 35, 0), rgb(0, 36, 36)};
    ViewGeometry geometry;
    geometry.charSize = 12.5f;
    geometry.scale = 0.7f - 1e-6f;  // "factor" is the figure size 0.65 × scale in thousandths, cut: 454
    writeDisplaySettings(profile, written, geometry);
    std::string keys;
    for (const char* key : {"factor", "font", "back", "road", "node", "print_online", "print_preview_num"})
        keys += profile.readString(kDisplaySection, key, "") + " ";
    EXPECT_EQ(keys, "454 12500 197121 394500 986637 2162688 0 ");  // colours 0x00BBGGRR

    DisplaySettings read;
    ViewGeometry readGeometry;
    readDisplaySettings(profile, read, readGeometry);
    EXPECT_EQ(str({readGeometry.scale * 0.65f, readGeometry.charSize}), "0.454 12.5");
    MemoryProfile sparse;  // missing keys and an empty "factor": the values stay; the preview kind is 1
    sparse.writeString(kDisplaySection, "factor", "");
    sparse.writeString(kDisplaySection, "font", "large");  // text that is no number reads as 0
    readDisplaySettings(sparse, read, readGeometry);
    EXPECT_EQ(str({readGeometry.scale * 0.65f, readGeometry.charSize}), "0.454 0");
    EXPECT_EQ(read.previewKind, 1);
    read.previewKind = 0;
    const auto all = [](const DisplaySettings& s) {
        const ColourSlots& c = s.colours;
        const PrintColours& p = s.print;
        return std::vector<unsigned>{unsigned(s.onlineKind), unsigned(s.underlineKind), unsigned(s.nodeKind),
                                     unsigned(s.previewKind), c.back, c.road, c.online, c.underline, c.node, c.onnode,
                                     c.strong, c.nodedata, p.node, p.road, p.online, p.underline, p.onnode, p.nodedata};
    };
    EXPECT_EQ(all(read), all(written));
    sparse.writeInt(kDisplaySection, "strong", -1);  // only a colour's three bytes are read
    readDisplaySettings(sparse, read, readGeometry);
    EXPECT_EQ(read.colours.strong, rgb(255, 255, 255));
}

TEST(ApplySettings, TakesTheSettingsOverOrRefusesTheFigureSize)
{
    // The sample mine beside a file of external road values: two columns of
    // two values per normal road, (k + 10, k + 20) and (k + 30, k + 40).
    TempFolder folder;
    for (const char* ext : {"vad", "sdt", "nrd", "jpd", "apd"})
        writeFile(folder.file(std::string("mine.") + ext), readFile(kSourceDir + "/data/mine." + ext));
    SampleNetwork mine(folder.file("mine.vad"));
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    CBriscoDoc& doc = *mine.doc;
    std::ofstream erd(folder.file("mine.erd"));
    erd << "external road values\n2  2\n";
    for (int k = 1; k <= doc.roadCount; ++k)
        erd << doc.roads[std::size_t(k)].first << " " << doc.roads[std::size_t(k)].second << "  " << k + 10 << " "
            << k + 20 << "  " << k + 30 << " " << k + 40 << "\n";
    erd.close();
    auto view = makeView();
    view->update(doc);
    DisplaySettings chosen = view->settings;
    RecordingReporter reporter;
    const auto apply = [&](float figure, float charSize = 10) {
        return view->applyDisplaySettings(doc, chosen, figure, charSize, 8, 0, reporter);
    };
    EXPECT_FALSE(apply(0.0099f, 12) || apply(10.01f, 12));
    EXPECT_EQ(view->geo.charSize, 10.0f);
    EXPECT_EQ(reporter.messages, Strings(2, kBadFigureSize));
    EXPECT_EQ(reporter.captions, Strings(2, kViewCaption));
    EXPECT_TRUE(apply(10.0f));
    EXPECT_NEAR(view->geo.scale, kMaxScale, 1e-5);

    chosen.onlineKind = 16;     // column 1 on the lines
    chosen.underlineKind = 17;  // column 2 under them
    chosen.nodeKind = 3;        // each node's pressure above the lowest surface pressure
    chosen.previewKind = 0;     // not the dialog's to set
    EXPECT_TRUE(apply(0.65f, 12.5f));
    EXPECT_EQ(str({view->geo.scale, view->geo.charSize}), "1 12.5");
    EXPECT_EQ(view->settings.previewKind, 1);
    const float* values = &view->data.nodeValue[1];  // the lowest surface node shows 0, the deeper ones more
    EXPECT_EQ(*std::min_element(values, values + doc.surfaceCount), 0.0f);
    EXPECT_GT(*std::max_element(values, values + doc.nodeCount), 0.0f);
    // Road 1 (node 1 to 101) reads from its first node; road 4 (node 10 at
    // (1200, 220) to 140 at (1150, 90)) points down to the left: turned.
    RecordingCanvas canvas;
    view->paint(canvas);  // fixes the on-line kind in force
    for (const auto& [road, expected] : {std::pair{1, "11#21 31#41"}, {4, "24#14 44#34"}}) {
        canvas.ops.clear();
        view->drawRoadOnWindow(canvas, road, kRoad, kOnline, kUnderline);
        EXPECT_EQ(canvas.labels(kOnline) + " " + canvas.labels(kUnderline), expected) << "road " << road;
    }
    // Lengths, then gas concentrations, which the model does not have: each road keeps its length.
    chosen.onlineKind = 9;
    EXPECT_TRUE(apply(0.65f));
    chosen.onlineKind = 11;
    EXPECT_TRUE(apply(0.65f));
    for (int k = 1; k <= doc.totalRoads(); ++k)
        EXPECT_EQ(view->data.onlineValue[std::size_t(k)], doc.roads[std::size_t(k)].length) << "road " << k;

    // Node kind 7 shows the first column of the external node values.
    std::ofstream end(folder.file("mine.end"));
    end << "external node values\n2\n" << doc.nodes[1].number << " 7.5 8.5\n";
    end.close();
    chosen.nodeKind = 7;
    EXPECT_TRUE(apply(0.65f));
    EXPECT_EQ(view->data.nodeValue[1], 7.5f);
}

}  // namespace
}  // namespace orvex::test
