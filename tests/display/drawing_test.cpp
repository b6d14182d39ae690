// What the network drawing puts on the canvas: label texts by their rules,
// labels that read along their roads and sit by their nodes, node circles,
// roads through their bending points, fans, fire fronts, single elements on
// the window, the background and the preview page. Device points are
// (500 + x, 500 − y) at scale 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support.h"

namespace orvex::test {
namespace {

TEST(LabelText, Rules)
{
    struct Row {
        int kind;
        float v, sigma;  // σ −1: the label reads along the road; +1: it was turned
        bool fixedFlow, bracket;
        const char* expected;  // with one decimal
    };
    const Row rows[] = {
        // Kinds 1, 2, 4: the number, then "-)" with the reading direction; "(-" first against it.
        {1, 5, -1, false, false, "5.0-)"}, {2, -5, 1, false, false, "5.0-)"}, {4, 5, 1, false, false, "(-5.0"},
        {5, -3.25f, -1, false, false, "3.2"}, {14, -20.5f, 1, false, true, "[20.5]"},  // others: |v|
        // A flow of exactly 0 on a fixed-flow road, kinds 1 and 2 only; σ × 0 is not below 0.
        {1, 0, -1, true, false, "#0#"}, {2, -0.0f, 1, true, true, "[#0#]"}, {4, 0, -1, true, false, "(-0.0"},
        {1, 0, -1, false, false, "(-0.0"}, {1, 0.01f, -1, true, false, "0.0-)"},
        // The road name; kinds out of range have no label.
        {12, 5, 1, false, true, "[NAME]"}, {0, 5, 1, false, true, ""}, {24, 5, 1, false, true, ""},
        {-3, 5, -1, false, false, ""}, {20, 5, 1, false, true, "[5.0]"},
        {21, NAN, 1, false, true, ""}, {13, NAN, 1, false, true, ""},  // a value not there: no label
        {13, 7.25f, 1, false, false, "7.2"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(roadLabel(r.kind, r.v, r.sigma, r.fixedFlow, 0, 0, 1, r.bracket, "NAME"), r.expected)
            << "kind " << r.kind << ", " << r.v << ", σ " << r.sigma;
    // Two-ended kinds 15..19: first end # second end, swapped when turned.
    EXPECT_EQ(roadLabel(15, 99, -1, false, -1.5f, 2.25f, 2, false, "") + " " +
                  roadLabel(19, 99, 1, false, -1.5f, 2.25f, 2, false, ""), "-1.50#2.25 2.25#-1.50");
    // At most 99 characters, even with seven decimals of the largest values.
    EXPECT_EQ(roadLabel(12, 0, -1, false, 0, 0, 0, true, std::string(120, 'N')), "[" + std::string(98, 'N'));
    EXPECT_LE(roadLabel(16, 0, -1, false, -3.4e38f, -3.4e38f, 12, true, "").size(), 99u);
}

TEST(RoadLabels, ReadAlongTheirRoadNeverUpsideDownAndTheUnderLineOneBelow)
{
    // A road of length 200 at angle θ from (−50, 20); 7 above it, 12.5 below
    // it. A label is turned (reading against the road, arrow first) when
    // round(θ) ≥ 2, that is from θ = 1.5 on, or when θ < −1.570795.
    auto view = makeView();
    view->settings.underlineKind = 9;
    view->settings.underlineDigits = 1;
    for (const auto& [theta, turned] : {std::pair{0.0, false}, {3.0, true}, {1.4, false}, {1.5001, true},
                                        {1.570795, true}, {-std::acos(-1.0) / 2, true}, {-1.55, false}, {-2.5, true}}) {
        SCOPED_TRACE(theta);
        view->data = PlanData{};
        addNode(*view, 1, -50, 20);
        addNode(*view, 2, float(-50 + 200 * std::cos(theta)), float(20 + 200 * std::sin(theta)));
        addRoad(*view, 1, 2, 7.0f);
        view->data.underlineValue[1] = 12.5f;
        RecordingCanvas canvas;
        view->paint(canvas);
        const std::vector<DrawnText> on = canvas.texts(kOnline), under = canvas.texts(kUnderline);
        ASSERT_EQ(on.size() + under.size(), 2u);
        EXPECT_EQ(on[0].text + " " + under[0].text, std::string(turned ? "(-7" : "7-)") + " 12.5");
        // On the screen the text runs along the road, from its first glyph to its last, ...
        const DevicePoint a = on[0].middle(), b = under[0].middle();
        const double dx = on[0].origins.back().x - on[0].origins.front().x;
        const double dy = on[0].origins.back().y - on[0].origins.front().y, length = std::hypot(dx, dy);
        const double along = turned ? -1 : 1;
        EXPECT_TRUE(nearly(str({float(dx / length), float(dy / length)}),
                           str({float(along * std::cos(theta)), float(-along * std::sin(theta))}), 0.1));
        // ... centred on the road's middle, the under-line label one character size (10) to its right.
        EXPECT_TRUE(nearly(str(a), str({float(450 + 100 * std::cos(theta)), float(480 - 100 * std::sin(theta))}), 3));
        EXPECT_TRUE(nearly(str({b.x - a.x, b.y - a.y}), str({float(-10 * dy / length), float(10 * dx / length)}), 1.5));
    }
}

TEST(NodeLabels, TheNumberInTheNodeOrAboveItsValue)
{
    // Node 12 at device (560, 580) at scale 2 (radius 16), node 7 elsewhere.
    auto view = makeView();
    view->geo.scale = 2;
    addNode(*view, 12, 30, -40, true);
    addNode(*view, 7, -100, 60);
    view->data.nodeValue[1] = 3.25f;
    view->data.nodeValue[2] = -0.5f;
    view->settings.nodeDigits = 2;
    RecordingCanvas canvas;
    const auto paint = [&](int kind) {
        view->settings.nodeKind = kind;
        canvas.ops.clear();
        view->paint(canvas);
    };
    // Where the first text's glyphs are from the node's centre (their origins'
    // middle is half a glyph, 0.2 c, left of the text's middle): the number's
    // baseline just below the centre, the value's under the node, the number above.
    const auto at = [&](Colour colour) {
        const DevicePoint m = canvas.texts(colour).at(0).middle();
        return str({m.x - 560, m.y - 580});
    };
    paint(1);
    EXPECT_EQ(canvas.labels(kOnNode) + " / " + canvas.labels(kNodeData), "12|7 / ");
    EXPECT_TRUE(nearly(at(kOnNode), "-4 7", 1.5));
    paint(2);
    EXPECT_EQ(canvas.labels(kNodeData) + " / " + canvas.labels(kOnNode), "[3.25]|[-0.50] / 12|7");
    EXPECT_TRUE(nearly(at(kNodeData) + ", " + at(kOnNode), "-4 14, -4 -9", 1.5));
    paint(0);
    EXPECT_EQ(canvas.labels(kOnNode) + canvas.labels(kNodeData), "");
}

TEST(Drawing, WhatLiesInTheWindowUnlessPrinting)
{
    auto view = makeView();
    view->geo.scale = 2;
    addNode(*view, 1, 10, 20, true);
    addNode(*view, 2, -50, -30);
    addNode(*view, 3, 300, 0);     // device x 1100: outside
    addNode(*view, 4, -400, 100);  // device x −300: outside
    addRoad(*view, 3, 4);          // across the window, no point inside
    addRoad(*view, 2, 3, 0, {{100, 0, 0}}, true);  // fixed flow, its bending point inside
    RecordingCanvas canvas;
    const auto drawn = [&] {
        canvas.ops.clear();
        view->paint(canvas);
        std::string out;
        for (const Op& op : canvas.ops)
            out += op.kind != Op::Line || op.colour != kRoad ? "" : op.style == PenStyle::Dotted ? "dotted " : "solid ";
        return out + canvas.labels(kOnline);
    };
    EXPECT_EQ(drawn(), "dotted dotted #0#");
    EXPECT_EQ(canvas.circles(kNode), "520 460 18.4, 520 460 16, 400 560 16");  // radius 1.15 r and r, r = 8 × 2
    view->geo.drawAll = true;  // printing: everything
    EXPECT_EQ(drawn(), "solid dotted dotted (-0|#0#");
    EXPECT_EQ(canvas.count(Op::Circle, kNode), 5);
}

TEST(Drawing, BendingPointsNoLineMarksAndSymbols)
{
    // A → P1 → P2 (no line) → B, between the node circles: P1 → P2, the
    // longest, is missing; "5-)" is centred on the longest drawn one, (46, 450).
    auto view = makeView();
    addNode(*view, 1, -200, 0);
    addNode(*view, 2, 200, 450);
    addRoad(*view, 1, 2, 5.0f, {{-100, 0, 0}, {-100, 450, -1}});
    // Every point "no line" and the last on the second node: only the segment
    // into that node is drawn, one node radius long (it has no direction: θ = 0);
    // without a node radius nothing has a length, and there is no label.
    addNode(*view, 3, 300, -300);
    addNode(*view, 4, 300, -400);
    addRoad(*view, 3, 4, 6.0f, {{300, -350, -1}, {300, -400, -1}});
    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_TRUE(nearly(canvas.lines(kRoad), "308 500 400 500, 400 50 692 50, 800 900 792 900"));
    EXPECT_EQ(canvas.labels(kOnline), "5-)|6-)");
    EXPECT_TRUE(nearly(str(canvas.texts(kOnline)[0].middle()), "544 50", 1.5));
    view->geo.nodeRadius = 0;
    canvas.ops.clear();
    view->paint(canvas);
    EXPECT_EQ(canvas.labels(kOnline), "5-)");

    // Symbols 2..7 (26 + m strokes, read as 128 + m) drawn in the road's colour
    // on their bending points along the segment into them.
    view->data = PlanData{};
    addNode(*view, 1, -300, 0);
    addNode(*view, 2, 300, 0);
    addRoad(*view, 1, 2, 0, {{-250, 0, 2}, {-150, 0, 3}, {-50, 0, 4}, {50, 0, 5}, {150, 0, 6}, {250, 100, 7}});
    view->settings.onlineKind = 0;
    view->geo.charSize = 100;  // long strokes show their direction
    canvas.ops.clear();
    view->paint(canvas);
    const DrawnText drawn = canvas.texts(kRoad).at(0);
    std::string symbols;
    for (std::size_t k = 0; k < drawn.text.size(); ++k)
        if (drawn.text[k] != '0')  // a segment is one stroke
            symbols += std::to_string(drawn.text[k] - char(128)) + " at " + str(drawn.origins[k]) + ", ";
    EXPECT_EQ(symbols, "2 at 250 500, 3 at 350 500, 4 at 450 500, 5 at 550 500, 6 at 650 500, 7 at 750 400, ");
    // Symbol 7 follows its segment from (150, 0): its 33 strokes run up and right at 45°.
    const auto move7 = std::find_if(canvas.ops.begin(), canvas.ops.end(),
                                    [](const Op& op) { return op.kind == Op::Move && op.x == 750 && op.y == 400; });
    ASSERT_LT(move7 + 33, canvas.ops.end());
    EXPECT_TRUE(nearly(str({(move7 + 33)->x, (move7 + 33)->y}), "767.5 382.5"));  // 33 units × 0.75 at 45°
}

TEST(Drawing, FansRingHubAndDuctWhenEitherNodeIsVisible)
{
    auto view = makeView();
    for (const auto& [number, x, y] : {std::tuple{1, 0, 0}, {2, 100, 0}, {3, 480, -100}, {4, 700, -100}, {5, 700, 0}, {6, 900, 0}})
        addNode(*view, number, float(x), float(y));
    for (const int a : {1, 3, 5})  // the second visible, its outlet not; the third not at all
        addFan(*view, a, a + 1);
    view->settings.nodeKind = 0;
    // Ring r and hub r/2 at C = A + 2r d; the duct from C + r n along d for
    // |AB| − 3r, across by 2r, back to A + 3r d (d along +x, n along +y).
    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_TRUE(nearly(canvas.circles(kNode), "500 500 8, 600 500 8, 980 600 8, 516 500 8, 516 500 4, 996 600 8, 996 600 4"));
    EXPECT_TRUE(nearly(canvas.lines(kNode), "516 492 592 492, 592 492 592 508, 592 508 524 500, "
                                            "996 592 1192 592, 1192 592 1192 608, 1192 608 1004 600"));
}

TEST(Drawing, FireFrontsWalkTheRoadFromEitherEnd)
{
    auto view = makeView();
    addNode(*view, 1, 0, 0);
    addNode(*view, 2, 100, 100);
    addRoad(*view, 1, 2, 0, {{100, 0, 0}});
    view->geo.scrollX = 20;  // on the window: minus the scroll position
    // The path A' = (10, 0), (100, 0), B' = (100, 90) is 180 long (ends 10 in);
    // the front is f × 180 along it (1 − f from direction −1), a circle of 5.
    for (const auto& [fraction, direction, expected] :
         {std::tuple{0.75f, 1, "580 455 5 / 490 500 580 500, 580 500 580 455"}, {0.25f, -1, "580 455 5 / 580 455 580 410"},
          {0.1f, 1, "508 500 5 / 490 500 508 500"}, {-0.1f, 1, "508 500 5 / "}}) {  // a negative fraction: no trail
        RecordingCanvas canvas;
        view->drawFireFront(canvas, 1, 10, fraction, direction);
        EXPECT_TRUE(nearly(canvas.circles(kStrong) + " / " + canvas.lines(kStrong), expected)) << fraction;
    }
}

TEST(Drawing, SingleElementsOnTheWindow)
{
    auto view = makeView();
    addNode(*view, 1, 900, 0, true);
    addNode(*view, 2, 700, 0);
    addRoad(*view, 1, 2);
    addFan(*view, 2, 1);
    view->settings.underlineKind = 12;  // the on-line kind in force until a paint: 1
    view->data.roadName[1] = "NAME";
    view->geo.scrollX = 300, view->geo.scrollY = 40;  // subtracted; no test of visibility
    RecordingCanvas canvas;
    view->drawNodeOnWindow(canvas, 1, kUnderline);
    EXPECT_TRUE(nearly(canvas.circles(kUnderline), "1100 460 9.2, 1100 460 8"));
    EXPECT_EQ(canvas.labels(kUnderline), "1");
    canvas.ops.clear();  // a road's name shows as a placeholder
    view->drawRoadOnWindow(canvas, 1, kStrong, kOnNode, kNodeData);
    view->drawFanOnWindow(canvas, 1, kUnderline);
    EXPECT_EQ(canvas.labels(kOnNode) + " " + canvas.labels(kNodeData), "(-0 ROADWAYNAME");
    EXPECT_EQ(canvas.count(Op::Circle, kUnderline) + canvas.count(Op::Line, kUnderline), 2 + 3);
    canvas.ops.clear();  // colour 0 draws inverted and switches it off again
    view->drawCircleAtWorld(canvas, 900, 0, 4, 0);
    view->drawLineOnWindow(canvas, 900, 0, 1000, 0, 0);
    EXPECT_EQ(canvas.circles() + " / " + canvas.lines(), "1100 460 4 / 1100 460 1200 460");
    for (const Op& op : canvas.ops)
        EXPECT_TRUE(op.invert || (op.kind != Op::Circle && op.kind != Op::Line));
    EXPECT_FALSE(canvas.ops.back().invert);
}

TEST(Drawing, BackgroundThenNetworkOrThePreviewPage)
{
    auto view = makeView();
    addNode(*view, 1, 0, 0);
    addNode(*view, 2, 100, 0);
    addRoad(*view, 1, 2, 5.0f);
    ViewGeometry& g = view->geo;
    g.scrollX = 30, g.scrollY = 70, g.clientWidth = 400, g.clientHeight = 300, g.originX = g.originY = 200;
    RecordingCanvas canvas;
    const auto paint = [&] {  // the polygons' corners and colours, the labels
        canvas.ops.clear();
        view->paint(canvas);
        std::string out;
        for (const Op& op : canvas.ops)
            if (op.kind == Op::Fill)
                out += str(op.polygon[0]) + " " + str(op.polygon[2]) + " " + std::to_string(op.colour) + ", ";
        return out + canvas.labels(kOnline);
    };
    EXPECT_EQ(paint(), "30 70 430 370 8388608, 5-)");  // the scrolled client area in the background colour
    // The preview: a white page, the plan shifted onto it with labels, in
    // print colours; in the simple preview inverted, without labels.
    g.scrollX = g.scrollY = 0, g.clientWidth = 800, g.clientHeight = 600;
    g.pagePreview = true;
    view->settings.print = PrintColours{kStrong, kRoad, kOnline, kUnderline, kOnNode, kNodeData};
    view->pageLayout();
    g.pageDragX = 11, g.pageDragY = -6;
    EXPECT_EQ(paint(), "0 0 800 600 8388608, 237 75 563 525 16777215, 5-)");
    // Scale 326 / 800, origin trunc(16 × scale) = 6, plus the page corner and the drag.
    EXPECT_TRUE(nearly(canvas.circles(kStrong), "254 75 3.26, 294 75 3.26", 0.01));
    view->settings.previewKind = 0;
    EXPECT_EQ(paint(), "0 0 800 600 8388608, 237 75 563 525 16777215, ");
    for (const Op& op : canvas.ops)
        EXPECT_TRUE(op.kind != Op::Line || op.invert);
}

}  // namespace
}  // namespace orvex::test
