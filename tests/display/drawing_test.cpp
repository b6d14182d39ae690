// What the network drawing puts on the canvas: label texts by their rules,
// labels along their roads and on nodes, node circles, roads through their
// bending points with "no line" marks and symbols, fans, fire fronts,
// single elements on the window, the background and the preview page.
// Device points: (500 + x, 500 − y) at scale 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "support.h"

namespace orvex::displaytest {
namespace {

constexpr double kPi = 3.14159;  // the drawing's own value

TEST(LabelText, Rules)
{
    struct Row {
        int kind;
        float v, sigma;  // σ −1: the label reads along the road; +1: it was turned
        bool fixedFlow;
        int digits;
        bool bracket;
        const char* expected;
    };
    const Row rows[] = {
        // Kinds 1, 2, 4: the number, then "-)" with the reading direction; "(-" first against it.
        {1, 5, -1, false, 0, false, "5-)"}, {2, -5, 1, false, 0, false, "5-)"}, {4, 5, 1, false, 0, false, "(-5"},
        {1, -1234.56f, -1, false, 1, false, "(-1234.6"},
        {5, -3.25f, -1, false, 2, false, "3.25"}, {14, -20.5f, 1, false, 1, true, "[20.5]"},  // others: |v|
        // A flow of exactly 0 on a fixed-flow road, kinds 1 and 2 only.
        {1, 0, -1, true, 0, false, "#0#"}, {2, 0, 1, true, 3, false, "#0#"}, {1, -0.0f, -1, true, 0, false, "#0#"},
        {1, 0, -1, true, 0, true, "[#0#]"}, {4, 0, -1, true, 0, false, "(-0"},
        {1, 0, -1, false, 0, false, "(-0"},  // σ × 0 is not below 0
        {1, 0.0001f, -1, true, 0, false, "0-)"},
        // The road name; kinds out of range have no label.
        {12, 5, 1, false, 0, true, "[NAME]"}, {0, 5, 1, false, 0, true, ""}, {20, 5, 1, false, 0, true, ""},
        {25, 5, -1, false, 0, false, ""}, {-3, 5, -1, false, 0, false, ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(roadLabel(r.kind, r.v, r.sigma, r.fixedFlow, 0, 0, r.digits, r.bracket, "NAME"), r.expected)
            << "kind " << r.kind << ", " << r.v << ", σ " << r.sigma;
    // Two-ended kinds 15..19: first end # second end, swapped when turned.
    EXPECT_EQ(roadLabel(15, 99, -1, false, -1.5f, 2.25f, 2, false, ""), "-1.50#2.25");
    EXPECT_EQ(roadLabel(19, 99, 1, false, -1.5f, 2.25f, 2, false, ""), "2.25#-1.50");
    EXPECT_EQ(roadLabel(17, 99, 1, true, 0, 0, 0, true, ""), "[0#0]");
}

TEST(LabelText, HugeValuesWithSevenDecimalsStayWithin99Characters)
{
    char one[80];
    std::snprintf(one, sizeof one, "%.7f", double(-3e38f));  // sign, 39 digits, point, 7 decimals
    const std::string expected = "[" + std::string(one) + "#" + one + "]";
    ASSERT_EQ(expected.size(), 99u);
    EXPECT_EQ(roadLabel(16, 0, -1, false, -3e38f, -3e38f, 7, true, ""), expected);
    EXPECT_EQ(roadLabel(16, 0, -1, false, -3e38f, -3e38f, 12, true, ""), expected) << "digits held to 7";
    EXPECT_LE(roadLabel(16, 0, -1, false, -3.4e38f, -3.4e38f, 7, true, "").size(), 99u);
    EXPECT_EQ(roadLabel(12, 0, -1, false, 0, 0, 0, true, std::string(120, 'N')), "[" + std::string(98, 'N'))
        << "cut to 99";
    auto view = makeView();  // drawn whole
    addNode(*view, 1, -300, 0);
    addNode(*view, 2, 300, 0);
    addRoad(*view, 1, 2);
    view->settings.onlineKind = 16, view->settings.onlineDigits = 7, view->settings.onlineBracket = true;
    view->data.endValues[1] = {-3e38f, 0, -3e38f, 0};
    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_EQ(canvas.labels(kOnline), expected);
    EXPECT_TRUE(canvas.allFinite());
}

// A road of length 200 from (ax, ay) at angle θ; its labels centred on its middle.
class RoadLabels : public ::testing::Test {
protected:
    void road(double theta, float online, double ax = 0, double ay = 0)
    {
        view->data = PlanData{};
        mx = ax + 100 * std::cos(theta), my = ay + 100 * std::sin(theta);
        addNode(*view, 1, float(ax), float(ay));
        addNode(*view, 2, float(ax + 200 * std::cos(theta)), float(ay + 200 * std::sin(theta)));
        addRoad(*view, 1, 2, online);
    }
    void draw()
    {
        canvas.ops.clear();
        view->paint(canvas);
    }
    // The only text of a colour reads along `reading`, `below` character sizes under the line.
    void expectAlong(Colour colour, const std::string& text, double reading, double below = 0) const
    {
        const std::vector<DrawnText> texts = canvas.texts(colour);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, text);
        const double c = view->geo.charSize, s = view->geo.scale, half = ((text.size() - 1) * 0.55 * c + 0.4 * c) / 2;
        const DevicePoint start = expectedDevice(*view, mx - half * std::cos(reading) + below * c * std::sin(reading),
                                                 my - half * std::sin(reading) - below * c * std::cos(reading));
        for (std::size_t i = 0; i < texts[0].origins.size(); ++i) {
            EXPECT_NEAR(texts[0].origins[i].x, start.x + i * 0.55 * c * s * std::cos(reading), 1.5) << text << " " << i;
            EXPECT_NEAR(texts[0].origins[i].y, start.y - i * 0.55 * c * s * std::sin(reading), 1.5) << text << " " << i;
        }
    }
    std::unique_ptr<PlanView> view = makeView();
    RecordingCanvas canvas;
    double mx = 0, my = 0;
};

TEST_F(RoadLabels, NeverUpsideDownAndUnderTheLineOneCharacterSizeBelow)
{
    // Turned (reading along θ ∓ π, arrow first) when round(θ) ≥ 2, that is
    // from θ = 1.5 on, or when θ < −1.570795.
    view->settings.underlineKind = 9;  // length
    view->settings.underlineDigits = 1;
    for (const auto& [theta, turned] : {std::pair{0.0, false}, {3.0, true}, {1.4, false}, {1.5001, true},
                                        {kPi / 2, true}, {-std::acos(-1.0) / 2, true}, {-1.55, false}, {-2.5, true}}) {
        SCOPED_TRACE(theta);
        road(theta, 7.0f, -50, 20);
        view->data.underlineValue[1] = 12.5f;
        draw();
        const double reading = !turned ? theta : theta > 0 ? theta - kPi : theta + kPi;
        expectAlong(kOnline, turned ? "(-7" : "7-)", reading);
        expectAlong(kUnderline, "12.5", reading, 1.0);
    }
}

TEST_F(RoadLabels, NamesOnTheLineAndAPlaceholderOnTheWindow)
{
    view->settings.onlineKind = view->settings.underlineKind = 12;
    view->settings.underlineBracket = true;
    road(0.5, 0.0f);
    view->data.roadName[1] = "ROAD_NAME";
    draw();
    expectAlong(kOnline, "ROAD_NAME", 0.5);
    EXPECT_EQ(canvas.labels(kUnderline), "[ROAD_NAME]");
    canvas.ops.clear();
    view->drawRoadOnWindow(canvas, 1, kStrong, kOnNode, kNodeData);
    EXPECT_EQ(canvas.labels(kOnNode) + " " + canvas.labels(kNodeData), "ROADWAYNAME [ROADWAYNAME]");
}

TEST(NodeLabels, NumberInTheNodeOrNumberAboveAndValueBelow)
{
    auto view = makeView();
    view->geo.scale = 2;
    addNode(*view, 12, 30, -40, true);
    addNode(*view, 7, -100, 60);
    view->data.nodeValue[1] = 3.25f;
    view->data.nodeValue[2] = -0.5f;
    view->settings.nodeDigits = 2;
    const auto start = [&](Colour colour, double y) {  // node 12's text centred on (30, y); c = 10
        RecordingCanvas canvas;
        view->paint(canvas);
        const std::vector<DrawnText> texts = canvas.texts(colour);
        const double half = texts.empty() ? 0 : ((texts[0].text.size() - 1) * 0.55 * 10 + 0.4 * 10) / 2;
        return nearly(texts.empty() ? "none" : str(texts[0].origins[0]), str(expectedDevice(*view, 30 - half, y)), 1.5);
    };
    RecordingCanvas canvas;
    view->settings.nodeKind = 1;  // the number centred on (x, y − 0.35 c)
    view->paint(canvas);
    EXPECT_EQ(canvas.labels(kOnNode), "12|7");
    EXPECT_EQ(canvas.labels(kNodeData), "");
    EXPECT_TRUE(start(kOnNode, -40 - 3.5));
    view->settings.nodeKind = 2;  // "[value]" on (x, y − 0.875 r), the number on (x, y + r − 0.35 c)
    canvas.ops.clear();
    view->paint(canvas);
    EXPECT_EQ(canvas.labels(kNodeData) + " " + canvas.labels(kOnNode), "[3.25]|[-0.50] 12|7");
    EXPECT_TRUE(start(kNodeData, -40 - 7));
    EXPECT_TRUE(start(kOnNode, -40 + 8 - 3.5));
    view->settings.nodeKind = 0;
    canvas.ops.clear();
    view->paint(canvas);
    EXPECT_EQ(canvas.labels(kOnNode) + canvas.labels(kNodeData), "");
}

// --- the drawing ---------------------------------------------------------------------

class Drawing : public ::testing::Test {
protected:
    RecordingCanvas& paint()
    {
        canvas.ops.clear();
        view->paint(canvas);
        return canvas;
    }
    std::unique_ptr<PlanView> view = makeView();
    RecordingCanvas canvas;
};

TEST_F(Drawing, WhatLiesInTheWindowUnlessPrinting)
{
    view->geo.scale = 2;
    addNode(*view, 1, 10, 20, true);
    addNode(*view, 2, -50, -30);
    addNode(*view, 3, 300, 0);     // device x 1100: outside
    addNode(*view, 4, -400, 100);  // device x −300: outside
    addRoad(*view, 3, 4);          // across the window, no point inside
    addRoad(*view, 2, 3, 0, {{100, 0, 0}}, true);  // fixed flow, its bending point inside
    const auto styles = [&] {
        std::string out;
        for (const Op& op : canvas.ops)
            if (op.kind == Op::Line && op.colour == kRoad)
                out += op.style == PenStyle::Dotted ? "dotted " : "solid ";
        return out;
    };
    EXPECT_EQ(paint().circles(kNode), "520 460 18.4, 520 460 16, 400 560 16");  // radius 1.15 r and r, r = 8 × 2
    EXPECT_EQ(styles(), "dotted dotted ");
    EXPECT_EQ(canvas.labels(kOnline), "#0#");
    view->geo.drawAll = true;  // printing: everything
    EXPECT_EQ(paint().count(Op::Circle, kNode), 5);
    EXPECT_EQ(styles(), "solid dotted dotted ");
    EXPECT_EQ(canvas.labels(kOnline), "(-0|#0#");
}

TEST_F(Drawing, NoLineMarksLeaveTheirSegmentsOut)
{
    // A → P1 → P2 (no line) → B, between the node circles: P1 → P2, the
    // longest, is missing; the label is centred on the longest drawn one.
    addNode(*view, 1, -200, 0);
    addNode(*view, 2, 200, 450);
    addRoad(*view, 1, 2, 5.0f, {{-100, 0, 0}, {-100, 450, -1}});
    EXPECT_TRUE(nearly(paint().lines(kRoad), "308 500 400 500, 400 50 692 50"));
    ASSERT_EQ(canvas.texts(kOnline).size(), 1u);  // "5-)", 15 long, centred on (46, 450)
    EXPECT_TRUE(nearly(str(canvas.texts(kOnline)[0].origins[0]), str(expectedDevice(*view, 46 - 7.5, 450)), 1.5));

    // Every bending point "no line": only the segment into the second node is left.
    view->data = PlanData{};
    addNode(*view, 1, -300, 0);
    addNode(*view, 2, 300, 0);
    addRoad(*view, 1, 2, 5.0f, {{-200, 100, -1}, {0, 100, -1}});
    EXPECT_TRUE(nearly(paint().lines(kRoad), "500 400 792 497"));  // to (300, 0) − 8 (300, −100) / 316
    EXPECT_EQ(canvas.labels(kOnline), "5-)");
    // With the last point on the second node and no node radius not even that
    // one has a length: no labels, and nothing breaks.
    view->data.bends[3] = BendSlot{-1, 300, 0};
    view->geo.nodeRadius = 0;
    view->settings.underlineKind = 4;
    EXPECT_EQ(paint().labels(kOnline) + canvas.labels(kUnderline), "");
    EXPECT_TRUE(canvas.allFinite());
}

TEST_F(Drawing, SymbolsSitOnTheirBendingPointsAlongTheSegment)
{
    addNode(*view, 1, -300, 0);
    addNode(*view, 2, 300, 0);
    addRoad(*view, 1, 2, 0, {{-250, 0, 2}, {-150, 0, 3}, {-50, 0, 4}, {50, 0, 5}, {150, 0, 6}, {250, 100, 7}});
    view->settings.onlineKind = 0;
    view->geo.charSize = 100;  // long strokes show their direction
    // In the road's colour: segments (one stroke: '0') and symbol m (26 + m strokes, read as 128 + m).
    const std::vector<DrawnText> drawn = paint().texts(kRoad);
    ASSERT_EQ(drawn.size(), 1u);
    std::string symbols;
    for (std::size_t k = 0; k < drawn[0].text.size(); ++k)
        if (drawn[0].text[k] != '0')
            symbols += std::to_string(drawn[0].text[k] - char(128)) + " at " + str(drawn[0].origins[k]) + ", ";
    EXPECT_EQ(symbols, "2 at 250 500, 3 at 350 500, 4 at 450 500, 5 at 550 500, 6 at 650 500, 7 at 750 400, ");
    // Symbol 7 follows its segment from (150, 0): its strokes run up and right at 45°.
    const auto move7 = std::find_if(canvas.ops.begin(), canvas.ops.end(),
                                    [](const Op& op) { return op.kind == Op::Move && op.x == 750 && op.y == 400; });
    ASSERT_LT(move7 + 33, canvas.ops.end());
    EXPECT_TRUE(nearly(str({(move7 + 33)->x, (move7 + 33)->y}), "767.5 382.5"));  // 33 units × 0.75 at 45°
}

TEST_F(Drawing, FansRingHubAndDuctWhenEitherNodeIsVisible)
{
    addNode(*view, 1, 0, 0);
    addNode(*view, 2, 100, 0);
    addNode(*view, 3, -200, 0);
    addNode(*view, 4, -200, 100);
    addFan(*view, 1, 2);
    addFan(*view, 3, 4);
    view->settings.nodeKind = 0;
    // Ring r and hub r/2 at C = A + 2r d; the duct from C + r n along d for
    // 100 − 3r, across by 2r, back to A + 3r d. Fan 2 runs along +y, its n to −x.
    EXPECT_TRUE(nearly(paint().circles(kNode), "500 500 8, 600 500 8, 300 500 8, 300 400 8, "
                                               "516 500 8, 516 500 4, 300 484 8, 300 484 4"));
    EXPECT_TRUE(nearly(canvas.lines(kNode), "516 492 592 492, 592 492 592 508, 592 508 524 500, "
                                            "292 484 292 408, 292 408 308 408, 308 408 300 476"));
    view->data = PlanData{};
    addNode(*view, 5, 480, -100);  // visible, its outlet not
    addNode(*view, 6, 700, -100);
    addNode(*view, 7, 700, 0);  // neither visible
    addNode(*view, 8, 900, 0);
    addFan(*view, 5, 6);
    addFan(*view, 7, 8);
    EXPECT_EQ(paint().count(Op::Circle, kNode), 1 + 2);
}

TEST_F(Drawing, FireFrontsWalkTheRoadFromEitherEnd)
{
    addNode(*view, 1, 0, 0);
    addNode(*view, 2, 100, 100);
    addRoad(*view, 1, 2, 0, {{100, 0, 0}});
    view->geo.scrollX = 20;  // on the window: minus the scroll position
    // The path A' = (10, 0), (100, 0), B' = (100, 90) is 180 long (ends 10 in);
    // the front is f × 180 along it (1 − f from direction −1), a circle of 5.
    struct Row {
        float fraction;
        int direction;
        const char *front, *trail;
    };
    for (const Row& r : {Row{0.75f, 1, "580 455 5", "490 500 580 500, 580 500 580 455"},
                         Row{0.25f, -1, "580 455 5", "580 455 580 410"}, Row{0.1f, 1, "508 500 5", "490 500 508 500"},
                         Row{-0.1f, 1, "508 500 5", ""}}) {  // a negative fraction: no trail
        canvas.ops.clear();
        view->drawFireFront(canvas, 1, 10, r.fraction, r.direction);
        const std::string expected = r.front + (" / " + std::string(r.trail));
        EXPECT_TRUE(nearly(canvas.circles(kStrong) + " / " + canvas.lines(kStrong), expected))
            << r.fraction << " from " << r.direction;
    }
    canvas.ops.clear();
    view->drawFireFront(canvas, 0, 10, 0.5f, 1);
    view->drawFireFront(canvas, 2, 10, 0.5f, 1);
    EXPECT_TRUE(canvas.ops.empty()) << "roads that do not exist";
}

TEST_F(Drawing, SingleElementsOnTheWindow)
{
    addNode(*view, 1, 900, 0, true);
    view->geo.scrollX = 300, view->geo.scrollY = 40;  // subtracted; no test of visibility
    view->drawNodeOnWindow(canvas, 1, kUnderline);
    EXPECT_TRUE(nearly(canvas.circles(kUnderline), "1100 460 9.2, 1100 460 8"));
    EXPECT_EQ(canvas.labels(kUnderline), "1");
    canvas.ops.clear();  // colour 0 draws inverted and switches it off again
    view->drawCircleAtWorld(canvas, 900, 0, 4, 0);
    view->drawLineOnWindow(canvas, 900, 0, 1000, 0, 0);
    EXPECT_EQ(canvas.circles() + " / " + canvas.lines(), "1100 460 4 / 1100 460 1200 460");
    for (const Op& op : canvas.ops)
        EXPECT_TRUE(op.invert || (op.kind != Op::Circle && op.kind != Op::Line));
    EXPECT_FALSE(canvas.ops.back().invert);
    canvas.ops.clear();  // around a client point: filled with the background, outlined in the colour
    view->drawCircleAtClient(canvas, 50, 60, 5, kStrong);
    EXPECT_EQ(std::pair(canvas.ops.at(0).colour, canvas.ops.at(0).outline), std::pair(kBack, kStrong));
    for (const DevicePoint& p : canvas.ops[0].polygon)
        EXPECT_NEAR(std::hypot(p.x - 50, p.y - 60), 5, 0.01);
    canvas.ops.clear();
    view->drawRoadOnWindow(canvas, 1, kStrong, kStrong, kStrong);
    view->drawNodeOnWindow(canvas, 2, kStrong);
    view->drawFanOnWindow(canvas, 1, kStrong);
    EXPECT_TRUE(canvas.ops.empty()) << "elements that do not exist";
}

TEST_F(Drawing, BackgroundThenNetworkOrThePreviewPage)
{
    addNode(*view, 1, 0, 0);
    addNode(*view, 2, 100, 0);
    addRoad(*view, 1, 2, 5.0f);
    ViewGeometry& g = view->geo;
    g.scrollX = 30, g.scrollY = 70, g.clientWidth = 400, g.clientHeight = 300, g.originX = g.originY = 200;
    const auto polygon = [&](std::size_t k) {
        std::string out;
        for (const DevicePoint& p : canvas.ops.at(k).polygon)
            out += str(p) + ", ";
        return out;
    };
    paint();
    EXPECT_EQ(polygon(0), "30 70, 430 70, 430 370, 30 370, ");  // the scrolled client area
    EXPECT_EQ(canvas.ops[0].colour, kBack);
    EXPECT_EQ(canvas.circles(kNode), "200 200 8, 300 200 8");
    view->networkLoaded = false;
    EXPECT_EQ(paint().ops.size(), 1u) << "only the background without a network";

    // The preview: a white page, the plan shifted onto it, labels in the full preview.
    view->networkLoaded = true;
    g.scrollX = g.scrollY = 0, g.clientWidth = 800, g.clientHeight = 600;
    g.pagePreview = true;
    view->settings.print = PrintColours{kNode, kRoad, kOnline, kUnderline, kOnNode, kNodeData};
    view->pageLayout();
    g.pageDragX = 11, g.pageDragY = -6;
    paint();
    EXPECT_EQ(polygon(1), "237 75, 563 75, 563 525, 237 525, ");
    EXPECT_EQ(std::pair(canvas.ops[1].colour, canvas.ops[1].outline), std::pair(rgb(255, 255, 255), rgb(0, 0, 0)));
    // Scale 326 / 800, origin trunc(16 × scale) = 6, plus the page corner and the drag.
    EXPECT_TRUE(nearly(canvas.circles(kNode), "254 75 3.26, 294 75 3.26", 0.01));
    EXPECT_EQ(canvas.labels(kOnline), "5-)");
    view->settings.previewKind = 0;  // the simple preview: inverted, without labels
    EXPECT_EQ(paint().labels(kOnline), "");
    for (const Op& op : canvas.ops)
        EXPECT_TRUE(op.kind != Op::Line || op.invert);
    EXPECT_FALSE(canvas.ops.back().invert);
}

TEST(ViewUpdate, AKindWithoutValuesKeepsEachRoadsValue)
{
    // Lengths first, then gas concentrations, which the model does not have.
    SampleMine mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    auto view = makeView();
    view->settings.onlineKind = 9;
    view->update(*mine.doc);
    view->settings.onlineKind = 11;
    view->settings.underlineKind = 13;
    view->update(*mine.doc);
    for (int k = 1; k <= mine.doc->totalRoads(); ++k) {
        EXPECT_EQ(view->data.onlineValue[std::size_t(k)], mine.doc->roads[std::size_t(k)].length) << "road " << k;
        EXPECT_EQ(view->data.underlineValue[std::size_t(k)], 0.0f) << "road " << k;
    }
}

}  // namespace
}  // namespace orvex::displaytest
