// The label rules: arrows, turned labels, "#0#", brackets, two-ended kinds,
// names, long values, kinds out of range; as text and as drawn on a road.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/planview.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

constexpr float kNotTurned = -1.0f;
constexpr float kTurned = 1.0f;

std::string label(int kind, float v, float sigma, bool fixedRoad = false, int digits = 0,
                  bool bracket = false)
{
    return roadLabel(kind, v, sigma, fixedRoad, 0, 0, digits, bracket, "NAME");
}

TEST(LabelText, ArrowsShowTheFlowInReadingOrder)
{
    for (const int kind : {1, 2, 4}) {
        SCOPED_TRACE(kind);
        // With the reading direction: the number, then "-)".
        EXPECT_EQ(label(kind, 5, kNotTurned), "5-)");
        EXPECT_EQ(label(kind, -5, kTurned), "5-)");
        // Against it: "(-", then the number.
        EXPECT_EQ(label(kind, 5, kTurned), "(-5");
        EXPECT_EQ(label(kind, -5, kNotTurned), "(-5");
        EXPECT_EQ(label(kind, -1234.56f, kNotTurned, false, 1), "(-1234.6");
    }
    // Other kinds: the absolute value, no arrow.
    EXPECT_EQ(label(5, -3.25f, kNotTurned, false, 2), "3.25");
    EXPECT_EQ(label(3, 2, kTurned), "2");
    EXPECT_EQ(label(14, -20.5f, kTurned, false, 1, true), "[20.5]");
}

TEST(LabelText, ZeroFlowOnAFixedFlowRoadIsHashZeroHash)
{
    EXPECT_EQ(label(1, 0, kNotTurned, true), "#0#");
    EXPECT_EQ(label(2, 0, kTurned, true, 3), "#0#");
    EXPECT_EQ(label(1, -0.0f, kNotTurned, true), "#0#");
    EXPECT_EQ(label(1, 0, kNotTurned, true, 0, true), "[#0#]");
    // Only kinds 1 and 2, only fixed-flow roads, only exactly 0.
    EXPECT_EQ(label(4, 0, kNotTurned, true), "(-0");
    EXPECT_EQ(label(1, 0, kNotTurned, false), "(-0") << "σ × 0 is not below 0";
    EXPECT_EQ(label(1, 0, kTurned, false, 2), "(-0.00");
    EXPECT_EQ(label(1, 0.0001f, kNotTurned, true), "0-)");
}

TEST(LabelText, TwoEndedKindsSwapTheirEndsWhenTurned)
{
    for (int kind = 15; kind <= 19; ++kind) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(roadLabel(kind, 99, kNotTurned, false, -1.5f, 2.25f, 2, false, ""), "-1.50#2.25");
        EXPECT_EQ(roadLabel(kind, 99, kTurned, false, -1.5f, 2.25f, 2, false, ""), "2.25#-1.50");
        EXPECT_EQ(roadLabel(kind, 99, kTurned, true, 0, 0, 0, true, ""), "[0#0]");
    }
}

TEST(LabelText, NamesNothingAndKindsOutOfRange)
{
    EXPECT_EQ(roadLabel(12, 5, kTurned, false, 0, 0, 0, false, "Stope_1A"), "Stope_1A");
    EXPECT_EQ(roadLabel(12, 5, kTurned, false, 0, 0, 0, true, "Stope_1A"), "[Stope_1A]");
    EXPECT_EQ(roadLabel(0, 5, kTurned, false, 0, 0, 0, true, "x"), "");
    EXPECT_EQ(roadLabel(20, 5, kTurned, false, 0, 0, 0, true, "x"), "");
    EXPECT_EQ(roadLabel(25, 5, kNotTurned, false, 0, 0, 0, false, "x"), "");
    EXPECT_EQ(roadLabel(-3, 5, kNotTurned, false, 0, 0, 0, false, "x"), "");
}

TEST(LabelText, HugeValuesWithSevenDecimalsStayWithin99Characters)
{
    // 3e38 with 7 decimals is 39 digits, the point and 7 more.
    const std::string big = label(1, 3e38f, kTurned, false, 7, true);
    EXPECT_LE(big.size(), 99u);
    EXPECT_EQ(big.substr(0, 6), "[(-300");
    EXPECT_EQ(big.substr(big.size() - 9), ".0000000]");

    // Two such values with their signs, "#" and brackets: exactly 99.
    char one[80];
    std::snprintf(one, sizeof one, "%.7f", double(-3e38f));
    const std::string expected = "[" + std::string(one) + "#" + one + "]";
    ASSERT_EQ(expected.size(), 99u);
    EXPECT_EQ(roadLabel(16, 0, kNotTurned, false, -3e38f, -3e38f, 7, true, ""), expected);
    // Larger digit counts are held to 7.
    EXPECT_EQ(roadLabel(16, 0, kNotTurned, false, -3e38f, -3e38f, 12, true, ""), expected);
    EXPECT_LE(roadLabel(16, 0, kNotTurned, false, -3.4e38f, 3.4e38f, 7, true, "").size(), 99u);
}

// --- labels drawn on roads ---------------------------------------------------------

constexpr double kPi = 3.14159;

// One road of length 200 from (ax, ay) at angle theta, with the given values.
class RoadLabels : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = makeView();
        view->settings.nodeKind = 0;
    }
    int road(double theta, float online, bool fixedRoad = false, double ax = 0, double ay = 0)
    {
        mTheta = theta;
        ax_ = ax;
        ay_ = ay;
        PlanBuilder build(*view);
        build.underground(1, float(ax), float(ay));
        build.underground(2, float(ax + 200 * std::cos(theta)), float(ay + 200 * std::sin(theta)));
        return fixedRoad ? build.fixedRoad(1, 2, online) : build.road(1, 2, online);
    }
    std::vector<DrawnText> draw(Colour colour)
    {
        canvas.clear();
        view->paint(canvas);
        return canvas.texts(colour);
    }
    // Where a centred label of n characters begins (device), with the
    // reading angle and the offset below the line in character sizes.
    DevicePoint expectedStart(int n, double reading, double below = 0) const
    {
        const double r = view->geo.nodeRadius, c = view->geo.charSize;
        // Midpoint of the line between the node circles.
        const double mx = ax_ + 100 * std::cos(mTheta), my = ay_ + 100 * std::sin(mTheta);
        (void)r;
        const double half = ((n - 1) * 0.55 * c + 0.4 * c) / 2;
        const double x = mx - half * std::cos(reading) - below * c * std::cos(reading + kPi / 2);
        const double y = my - half * std::sin(reading) - below * c * std::sin(reading + kPi / 2);
        return expectedDevice(*view, x, y);
    }
    // Checks that a text reads along `reading` from `start`.
    void expectAlong(const DrawnText& text, double reading, DevicePoint start) const
    {
        ASSERT_FALSE(text.origins.empty());
        EXPECT_NEAR(text.origins[0].x, start.x, 1.5) << text.text;
        EXPECT_NEAR(text.origins[0].y, start.y, 1.5) << text.text;
        const double step = 0.55 * view->geo.charSize * view->geo.scale;
        for (std::size_t i = 1; i < text.origins.size(); ++i) {
            EXPECT_NEAR(text.origins[i].x - text.origins[0].x, double(i) * step * std::cos(reading), 1.5) << text.text;
            EXPECT_NEAR(text.origins[i].y - text.origins[0].y, -double(i) * step * std::sin(reading), 1.5) << text.text;
        }
    }

    std::unique_ptr<PlanView> view;
    RecordingCanvas canvas;
    double mTheta = 0, ax_ = 0, ay_ = 0;
};

TEST_F(RoadLabels, LeftToRightWithTheFlowReadsValueThenArrow)
{
    road(0.0, 5.0f);
    const std::vector<DrawnText> texts = draw(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "5-)");
    expectAlong(texts[0], 0.0, expectedStart(3, 0.0));
}

TEST_F(RoadLabels, RightToLeftIsTurnedAndShowsTheArrowFirst)
{
    // θ = 3.0 is turned to 3.0 − 3.14159: it reads from left to right.
    road(3.0, 5.0f, false, 100, 0);
    const std::vector<DrawnText> texts = draw(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "(-5");
    expectAlong(texts[0], 3.0 - kPi, expectedStart(3, 3.0 - kPi));
    EXPECT_GT(texts[0].origins[2].x, texts[0].origins[0].x);

    // The flow the other way runs with the reading direction.
    view->data.onlineValue[1] = -5.0f;
    EXPECT_EQ(draw(kOnline).at(0).text, "5-)");
}

TEST_F(RoadLabels, SteepRoadsTurnAtHalfPiAndBelowMinusHalfPi)
{
    struct Case {
        double theta;
        bool turned;
    };
    // round(1.4) = 1: not turned; just above 1.5 rounds to 2: turned; ±π/2 both turned;
    // -1.5 is above −1.570795: not turned.
    for (const Case& c : {Case{1.4, false}, Case{1.5001, true}, Case{kPi / 2, true},
                          Case{-std::acos(-1.0) / 2, true}, Case{-1.5, false}, Case{-2.5, true}}) {
        SCOPED_TRACE(c.theta);
        view = makeView();
        view->settings.nodeKind = 0;
        road(c.theta, 7.0f);
        const std::vector<DrawnText> texts = draw(kOnline);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, c.turned ? "(-7" : "7-)");
        const double reading = c.turned ? (c.theta >= 1.5 ? c.theta - kPi : c.theta + kPi) : c.theta;
        expectAlong(texts[0], reading, expectedStart(3, reading));
    }
}

TEST_F(RoadLabels, UnderLineLabelSitsOneCharacterSizeBelowOnTheRight)
{
    view->geo.scale = 2.0f;
    view->settings.underlineKind = 9;  // length
    view->settings.underlineDigits = 1;
    for (const double theta : {0.0, 3.0, -1.0}) {
        SCOPED_TRACE(theta);
        view->data = PlanData{};
        road(theta, 5.0f, false, -50, 20);
        view->data.underlineValue[1] = 12.5f;
        draw(kUnderline);
        const std::vector<DrawnText> under = canvas.texts(kUnderline);
        ASSERT_EQ(under.size(), 1u);
        EXPECT_EQ(under[0].text, "12.5");
        const double reading = theta > 1.5 ? theta - kPi : theta;
        expectAlong(under[0], reading, expectedStart(4, reading, 1.0));
    }
}

TEST_F(RoadLabels, FixedFlowRoadsAreDottedAndShowHashZeroHash)
{
    PlanBuilder build(*view);
    build.underground(1, -200, 0);
    build.underground(2, 0, 0);
    build.underground(3, 0, 100);
    build.underground(4, 200, 100);
    build.road(1, 2, 0.0f);
    build.fixedRoad(3, 4, 0.0f);
    std::vector<DrawnText> texts = draw(kOnline);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "(-0");
    EXPECT_EQ(texts[1].text, "#0#");

    const std::vector<Segment> lines = canvas.lines(kRoad);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].style, PenStyle::Solid);
    EXPECT_EQ(lines[1].style, PenStyle::Dotted);

    view->settings.onlineBracket = true;
    texts = draw(kOnline);
    EXPECT_EQ(texts[1].text, "[#0#]");
    // Kind 4 has arrows but never "#0#".
    view->settings.onlineKind = 4;
    texts = draw(kOnline);
    EXPECT_EQ(texts[1].text, "[(-0]");
}

TEST_F(RoadLabels, TwoEndedKindsUseTheirSlotsEndValues)
{
    road(3.0, 0.0f, false, 100, 0);  // turned
    view->settings.onlineKind = 16;
    view->settings.underlineKind = 17;
    // On-line first end, under-line first end, on-line second end, under-line second end.
    view->data.endValues[1] = {1, 3, 2, 4};
    draw(kOnline);
    ASSERT_EQ(canvas.texts(kOnline).size(), 1u);
    EXPECT_EQ(canvas.texts(kOnline)[0].text, "2#1");
    ASSERT_EQ(canvas.texts(kUnderline).size(), 1u);
    EXPECT_EQ(canvas.texts(kUnderline)[0].text, "4#3");
}

TEST_F(RoadLabels, RoadNamesOnTheLineAndAPlaceholderOnTheWindow)
{
    road(0.5, 0.0f);
    view->data.roadName[1] = "ROAD_NAME";
    view->settings.onlineKind = 12;
    view->settings.underlineKind = 12;
    view->settings.underlineBracket = true;
    draw(kOnline);
    ASSERT_EQ(canvas.texts(kOnline).size(), 1u);
    EXPECT_EQ(canvas.texts(kOnline)[0].text, "ROAD_NAME");
    expectAlong(canvas.texts(kOnline)[0], 0.5, expectedStart(9, 0.5));
    EXPECT_EQ(canvas.texts(kUnderline).at(0).text, "[ROAD_NAME]");

    // A single road drawn on the window shows a placeholder instead.
    canvas.clear();
    view->drawRoadOnWindow(canvas, 1, kStrong, kOnNode, kNodeData);
    EXPECT_EQ(canvas.texts(kOnNode).at(0).text, "ROADWAYNAME");
    EXPECT_EQ(canvas.texts(kNodeData).at(0).text, "[ROADWAYNAME]");
}

TEST_F(RoadLabels, KindsOutOfRangeDrawNoLabel)
{
    PlanBuilder build(*view);
    build.surface(1, -200, 0);
    build.underground(2, 0, 0);
    build.underground(3, 0, 150);
    build.road(1, 2, 5.0f);
    build.road(2, 3, 6.0f, {{0, 100, 0}});
    for (const int kind : {25, 20, -3}) {
        SCOPED_TRACE(kind);
        view->settings.onlineKind = kind;
        view->settings.underlineKind = kind;
        view->settings.nodeKind = kind;
        draw(kOnline);
        EXPECT_TRUE(canvas.texts(kOnline).empty());
        EXPECT_TRUE(canvas.texts(kUnderline).empty());
        EXPECT_TRUE(canvas.texts(kNodeData).empty());
        EXPECT_TRUE(canvas.texts(kOnNode).empty());
        EXPECT_EQ(canvas.lines(kRoad).size(), 3u) << "the roads are still drawn";
        EXPECT_EQ(canvas.circles(kNode).size(), 4u);
    }
}

TEST_F(RoadLabels, HugeValueLabelIsDrawnWhole)
{
    road(0.0, 0.0f);
    view->settings.onlineKind = 16;
    view->settings.onlineDigits = 7;
    view->settings.onlineBracket = true;
    view->data.endValues[1] = {-3e38f, 0, -3e38f, 0};
    const std::vector<DrawnText> texts = draw(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text.size(), 99u);
    EXPECT_EQ(texts[0].text.front(), '[');
    EXPECT_EQ(texts[0].text.back(), ']');
    EXPECT_TRUE(canvas.allFinite());
}

// --- node labels -----------------------------------------------------------------

TEST(NodeLabels, NumbersInTheNodeOrNumberAboveAndValueBelow)
{
    auto view = makeView();
    view->geo.scale = 2.0f;
    PlanBuilder build(*view);
    build.surface(12, 30, -40);
    build.underground(7, -100, 60);
    view->data.nodeValue[1] = 3.25f;
    view->data.nodeValue[2] = -0.5f;
    RecordingCanvas canvas;
    const double c = view->geo.charSize, r = view->geo.nodeRadius;

    // Kind 1: the number centred on (x, y − 0.35 c).
    view->settings.nodeKind = 1;
    view->paint(canvas);
    std::vector<DrawnText> numbers = canvas.texts(kOnNode);
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_EQ(numbers[0].text, "12");
    EXPECT_EQ(numbers[1].text, "7");
    DevicePoint start = expectedDevice(*view, 30 - (0.55 * c + 0.4 * c) / 2, -40 - 0.35 * c);
    EXPECT_NEAR(numbers[0].origins[0].x, start.x, 1.5);
    EXPECT_NEAR(numbers[0].origins[0].y, start.y, 1.5);
    EXPECT_TRUE(canvas.texts(kNodeData).empty());

    // Kind 2 and up: "[value]" below (x, y − 0.875 r), the number above (x, y + r − 0.35 c).
    view->settings.nodeKind = 2;
    view->settings.nodeDigits = 2;
    canvas.clear();
    view->paint(canvas);
    const std::vector<DrawnText> values = canvas.texts(kNodeData);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].text, "[3.25]");
    EXPECT_EQ(values[1].text, "[-0.50]");
    start = expectedDevice(*view, 30 - (5 * 0.55 * c + 0.4 * c) / 2, -40 - 0.875 * r);
    EXPECT_NEAR(values[0].origins[0].x, start.x, 1.5);
    EXPECT_NEAR(values[0].origins[0].y, start.y, 1.5);
    numbers = canvas.texts(kOnNode);
    ASSERT_EQ(numbers.size(), 2u);
    start = expectedDevice(*view, 30 - (0.55 * c + 0.4 * c) / 2, -40 + r - 0.35 * c);
    EXPECT_NEAR(numbers[0].origins[0].x, start.x, 1.5);
    EXPECT_NEAR(numbers[0].origins[0].y, start.y, 1.5);

    // Kind 0: nothing.
    view->settings.nodeKind = 0;
    canvas.clear();
    view->paint(canvas);
    EXPECT_TRUE(canvas.texts(kOnNode).empty());
    EXPECT_TRUE(canvas.texts(kNodeData).empty());
}

}  // namespace
}  // namespace orvex::displaytest
