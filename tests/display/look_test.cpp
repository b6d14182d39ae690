// Colouring the plan: the scale from values and limits, ticks, the look's
// profile keys, and what the drawing does with colours, widths, arrows and
// labels at screen size. Device points are (500 + x, 500 − y) at scale 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "display/colourscale.h"
#include "support.h"

namespace orvex::test {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(ColourScale, LimitsFromValuesOrTypedAndNothingToColourBy)
{
    struct Row {
        std::vector<float> values;
        ColourLimits limits;
        const char* expected;  // low high, d when diverging, e when empty, the note
    };
    const Row rows[] = {
        {{3, kNaN, -kInf, 9, 5}, {}, "3 9  "},  // NaN and infinite values are left out
        {{-2, 4}, {}, "-2 4 d "},             // both signs: centred on 0
        {{2, 4}, {false, 0, 10}, "0 10  "},
        {{2, 4}, {false, 5, 5}, "2 4  The upper colour limit must be above the lower (5.000 to 5.000): the values' own are used"},
        {{2, 4}, {false, 9, 1}, "2 4  The upper colour limit must be above the lower (9.000 to 1.000): the values' own are used"},
        {{kNaN, kInf}, {}, "0 0 e no value to colour by"},
        {{}, {false, 0, 1}, "0 1  no value to colour by"},
    };
    for (const Row& r : rows) {
        const ColourScale s = colourScaleFor(r.values, r.limits);
        EXPECT_EQ(num(s.low) + " " + num(s.high) + " " + (s.diverging ? "d" : "") + (s.empty ? "e" : "") + " " + s.note,
                  r.expected);
    }
    // Colours: the ends of the map in use, clamped beyond; grey for no value.
    ColourScale paper = colourScaleFor({0, 10}, {}), screen = paper;
    fitToBackground(paper, rgb(255, 255, 255));
    fitToBackground(screen, rgb(0, 0, 128));
    Colour c = 0;
    const auto colour = [&c](const ColourScale& s, double v) { return colourOf(s, v, c) ? c : Colour(1); };
    EXPECT_EQ(colour(paper, 0), rgb(0x44, 0x01, 0x54));
    EXPECT_EQ(colour(paper, -5), rgb(0x44, 0x01, 0x54));
    EXPECT_EQ(colour(paper, 20), colour(paper, 10));
    EXPECT_EQ(colour(screen, 10), rgb(0xfd, 0xe7, 0x25));  // the light end shows on a dark screen
    EXPECT_NE(colour(screen, 0), rgb(0x44, 0x01, 0x54));   // the dark end does not
    EXPECT_NE(colour(paper, 10), rgb(0xfd, 0xe7, 0x25));
    EXPECT_EQ(colour(paper, kNaN), Colour(1));
    EXPECT_EQ(c, kNoValueColour);
    const ColourScale diverging = colourScaleFor({-2, 4}, {});
    EXPECT_EQ(colour(diverging, 0), rgb(0xdd, 0xdd, 0xdd));
    EXPECT_EQ(colour(diverging, 4), rgb(0xb4, 0x04, 0x26));
    EXPECT_EQ(colour(colourScaleFor({kNaN}, {}), 1), Colour(1));
}

TEST(ColourScale, TicksAreRoundAndFew)
{
    const auto ticks = [](double low, double high, int most) {
        std::string out;
        const std::vector<double> t = niceTicks(low, high, most);
        for (const double v : t)
            out += tickText(v, t.size() >= 2 ? t[1] - t[0] : 1) + " ";
        return out;
    };
    EXPECT_EQ(ticks(0, 6047, 7), "0 1000 2000 3000 4000 5000 6000 ");
    EXPECT_EQ(ticks(0, 6047, 4), "0 2000 4000 6000 ");
    EXPECT_EQ(ticks(0.13, 0.92, 5), "0.2 0.4 0.6 0.8 ");
    EXPECT_EQ(ticks(-3, 3, 3), "-2 0 2 ");
    EXPECT_EQ(ticks(5, 5, 6), "5 ");
    EXPECT_EQ(ticks(0, 10, 5), "0 5 10 ");  // six steps of 2 would be one too many
    EXPECT_EQ(ticks(kNaN, 1, 6), "");
}

TEST(DisplayProfile, TheLookIsKeptOnlyOnceChosen)
{
    MemoryProfile profile;
    DisplaySettings settings;
    ViewGeometry geometry;
    writeDisplaySettings(profile, settings, geometry);
    EXPECT_FALSE(profile.contains(kDisplaySection, "colour_roads_by") || profile.contains(kDisplaySection, "flow_arrows"));
    settings.look = PlanLook{20, 3, {false, -1.5, 4}, true, true, true, 15, false};
    writeDisplaySettings(profile, settings, geometry);
    EXPECT_EQ(profile.readString(kDisplaySection, "colour_limits", ""), "-1.5 4");
    DisplaySettings read;
    readDisplaySettings(profile, read, geometry);
    const auto all = [](const PlanLook& l) {
        return std::vector<double>{double(l.roadColourKind), double(l.nodeColourKind), double(l.limits.automatic),
                                   l.limits.low, l.limits.high, double(l.widthByFlow), double(l.arrows),
                                   double(l.screenLabels), double(l.labelPixels), double(l.titleBlock)};
    };
    EXPECT_EQ(all(read.look), all(settings.look));
    // Back to the plain plan: the keys now in the profile say so.
    settings.look = PlanLook{};
    writeDisplaySettings(profile, settings, geometry);
    readDisplaySettings(profile, read, geometry);
    EXPECT_EQ(all(read.look), all(PlanLook{}));
    // What cannot be read is the plain plan's.
    for (const auto& [key, value] : {std::pair{"colour_roads_by", "25"}, {"colour_nodes_by", "1"},
                                     {"colour_limits", "4 4"}, {"screen_label_pixels", "500"}})
        profile.writeString(kDisplaySection, key, value);
    readDisplaySettings(profile, read, geometry);
    EXPECT_EQ(str({float(read.look.roadColourKind), float(read.look.nodeColourKind)}), "0 0");
    EXPECT_TRUE(read.look.limits.automatic);
    EXPECT_EQ(read.look.labelPixels, kLargestLabelPixels);
    for (const char* text : {"auto", "1", "1 x", "2 1", "1 2 3", "nan 2"})
        EXPECT_TRUE(colourLimitsFromText(text).automatic) << text;
}

TEST(Drawing, ColoursWidthsAndArrowsWithTheAir)
{
    // Road 1 carries 100 from node 1 to 2, road 2 carries 50 against its
    // direction, road 3 none and has no value to colour by.
    auto view = makeView();
    addNode(*view, 1, -200, 0);
    addNode(*view, 2, 0, 0);
    addNode(*view, 3, 0, 200);
    addRoad(*view, 1, 2);
    addRoad(*view, 2, 3);
    addRoad(*view, 3, 1);
    PlanData& d = view->data;
    d.flowValue = {0, 100, -50, 0};
    d.colourValue = {0, 10, 0, kNaN};
    d.largestFlow = 100;
    d.roadScale = colourScaleFor({10, 0}, {});
    d.nodeColourValue = {0, 1, 2, kNaN};
    d.nodeScale = colourScaleFor({1, 2}, {});
    view->settings.look = PlanLook{1, 2, {}, true, true, false, 12};
    RecordingCanvas canvas;
    view->paint(canvas);
    std::string pens, arrows;
    for (const Op& op : canvas.ops) {
        if (op.kind == Op::Pen && op.colour != kNode && op.colour != kOnline && op.colour != kOnNode)
            pens += std::to_string(op.width) + " " + (op.colour == kNoValueColour ? "grey" : "c") + ", ";
        if (op.kind == Op::Fill && op.polygon.size() == 3)
            arrows += str(op.polygon[0]) + ", ";
    }
    EXPECT_EQ(pens, "2 c, 2 c, 2 grey, 6 c, 4 c, 1 grey, ");  // three nodes, three roads
    // Tips 5.5 px on from a quarter of the piece (184 between the circles) past its middle, downstream.
    EXPECT_EQ(arrows, "451.5 500, 500 451.5, ");
    Colour top = 0, bottom = 0;
    colourOf(d.roadScale, 10, top);
    colourOf(d.roadScale, 0, bottom);
    EXPECT_NE(top, bottom);
    EXPECT_EQ(canvas.count(Op::Line, top), 1);
    // The legend names the quantity; nothing on a plan without colours.
    const auto text = std::find_if(canvas.ops.begin(), canvas.ops.end(), [](const Op& op) { return op.kind == Op::Text; });
    ASSERT_NE(text, canvas.ops.end());
    EXPECT_EQ(text->text, "Roads: ");
    view->settings.look = PlanLook{};
    canvas.ops.clear();
    view->paint(canvas);
    EXPECT_EQ(canvas.count(Op::Fill), 1);  // the background alone
}

TEST(Drawing, ScreenSizedLabelsLeaveOutWhatWouldOverlap)
{
    // Three nodes 10 world units apart at scale 1: at 12 pixels their numbers
    // (11.4 wide) would overlap, so the first and third are drawn; zoomed
    // in, all three and the road's label between them.
    auto view = makeView();
    for (int n = 1; n <= 3; ++n)
        addNode(*view, n * 11, float(10 * n), 0);
    addRoad(*view, 11, 22, 7);
    view->settings.look.screenLabels = true;
    RecordingCanvas canvas;
    const auto paint = [&](float scale) {
        view->geo.scale = scale;
        canvas.ops.clear();
        view->paint(canvas);
        return canvas.labels(kOnNode) + " / " + canvas.labels(kOnline);
    };
    EXPECT_EQ(paint(1), "11|33 / ");
    EXPECT_EQ(paint(8), "11|22|33 / 7-)");
    EXPECT_EQ(view->geo.charSize, 10.0f);  // the view's own size is kept
    // A number wider than its circle stands beside it: node 33 at device 530, r 2, text 11.4 wide.
    view->geo.nodeRadius = 2;
    paint(1);
    EXPECT_NEAR(canvas.texts(kOnNode).at(1).middle().x, 530 + 2 + 5.7 + 2.4 - 0.2 * 12, 0.5);
    // On paper, at 4 dots a pixel, they are four times the size.
    view->page.printing = true;
    view->page.dotsPerPixel = 4;
    EXPECT_EQ(view->pixelUnit(), 4.0f);
}

// The view copies each road's flow, its colour value (flows by their size)
// and the network's title; a node colour kind is computed beside the node
// kind shown.
TEST(Drawing, UpdateCopiesTheLookOfTheNetwork)
{
    SampleNetwork mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    CBriscoDoc& doc = *mine.doc;
    doc.roads[1].massFlow = -6, doc.roads[2].massFlow = 3;
    auto view = makeView();
    view->settings.look.roadColourKind = 1;
    view->settings.look.nodeColourKind = 3;
    view->settings.nodeKind = 2;
    view->update(doc);
    const PlanData& d = view->data;
    EXPECT_EQ(str({d.flowValue[1], d.colourValue[1]}), str({-6 / doc.specificWeight, 6 / doc.specificWeight}));
    EXPECT_FALSE(d.roadScale.diverging);
    EXPECT_EQ(d.largestFlow, 600);  // a fixed-flow road's set flow
    EXPECT_EQ(d.nodeValue[3], doc.nodes[3].elevation);
    EXPECT_EQ(d.nodeColourValue[3], doc.nodes[3].displayValue);  // the pressures, computed first
    EXPECT_EQ(d.fileName, "mine.vad");
    EXPECT_EQ(d.shown.size(), 4u);  // above the roads, on the nodes, and the road and node colours
}

TEST(Drawing, TheTitleBlockSaysWhatThePageShows)
{
    auto view = makeView();
    view->data.fileName = "mine.vad";
    view->data.shown = {"Above roads: airflow (m3/min)"};
    RecordingCanvas canvas;
    const DevicePoint corner = view->drawTitleBlock(canvas, 900, 800, "2026-12-08 10:40", kOnNode, kBack);
    std::string texts;
    for (const Op& op : canvas.ops)
        if (op.kind == Op::Text)
            texts += op.text + "|";
    EXPECT_EQ(texts, "Untitled network|mine.vad   2026-12-08 10:40|Above roads: airflow (m3/min)|");
    // 13-pixel lines, 6-pixel margins and a gap under the heading; as wide as its longest line.
    EXPECT_EQ(str(corner), num(900 - 7 * 29 - 12) + " " + num(800 - 3 * 13 - 18));
    view->settings.look.titleBlock = false;
    canvas.ops.clear();
    EXPECT_EQ(str(view->drawTitleBlock(canvas, 900, 800, "", kOnNode, kBack)), "900 800");
    EXPECT_TRUE(canvas.ops.empty());
}

}  // namespace
}  // namespace orvex::test
