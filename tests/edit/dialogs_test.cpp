// Fan curve entry point by point, the fan curve file and the curve display
// program's argument; the node and road dialogs' field rules; the zoom rectangle.
#include <gtest/gtest.h>

#include "edit/dialogforms.h"
#include "edit/fancurve.h"
#include "support.h"

namespace orvex::test {
namespace {

using Step = FanCurveEntry::Step;

TEST(FanCurveEntry, NewFanPointByPoint)
{
    FanCurveEntry e = FanCurveEntry::forNewFan();
    EXPECT_EQ(e.label(), "Pressure(*) at 0 air flow");
    EXPECT_EQ(e.next(), Step::Refused) << "no count yet";
    e.countField = 31;
    EXPECT_EQ(e.countLeft(), Step::Refused);
    e.countField = 3, e.flowStepField = 12.5f, e.pressureField = 100;
    EXPECT_EQ(e.next(), Step::Stay);
    EXPECT_EQ(e.label(), "Pressure(*) at 12 air flow (2/3)") << "12.5 without decimals";
    EXPECT_EQ(e.focusState(), 2);
    e.pressureField = 80;
    e.next();
    e.pressureField = 50;
    EXPECT_EQ(e.back(), Step::Stay);
    EXPECT_EQ(e.pressureField, 80.0f);
    e.back();
    EXPECT_EQ(e.back(), Step::Stay) << "nothing before the first point";
    e.next();
    e.next();
    EXPECT_EQ(e.pressureField, 50.0f) << "kept when going back";
    EXPECT_EQ(e.next(), Step::Accept) << "next on the last point closes as OK";
    const FanCurve c = e.result();
    EXPECT_EQ(std::vector<float>({float(c.points), c.flowStep, c.pressure[0], c.pressure[2]}),
              std::vector<float>({3, 12.5f, 100, 50}));
}

TEST(FanCurveEntry, LowerCountsCountsAbove30AndEnter)
{
    // Lowering the count after later points were entered drops them.
    FanCurveEntry e = FanCurveEntry::forFan(curve(10, {9, 8, 7, 6, 5}));
    EXPECT_EQ(e.label(), "Pressure(*) at 0 air flow (1/5)");
    for (int j = 0; j < 4; ++j)
        e.next();
    e.back();
    e.back();
    e.countField = 2;
    EXPECT_EQ(e.next(), Step::Accept) << "point 3 of 2 is past the end";
    EXPECT_EQ(std::vector<float>({float(e.result().points), e.result().pressure[1], e.result().pressure[2]}),
              std::vector<float>({2, 8, 0}));
    // "change fan data" takes a count above 30 as 30: no fan holds more.
    FanCurveEntry big = FanCurveEntry::forFan(curve(10, {9}));
    big.countField = 45;
    for (int j = 0; j < 60 && big.next() == Step::Stay; ++j) {
    }
    EXPECT_EQ(std::vector<int>({big.countField, big.current(), big.result().points}), std::vector<int>({30, 29, 30}));
    // Enter moves from the airflow to the count to the pressure, then acts as "next".
    FanCurveEntry keys = FanCurveEntry::forFan(curve(10, {9, 8}));
    std::optional<FanCurveEntry::Field> count, pressure, none;
    keys.enter(count);
    keys.enter(pressure);
    EXPECT_EQ(std::pair(count, pressure), std::pair(std::optional(FanCurveEntry::Field::Count),
                                                    std::optional(FanCurveEntry::Field::Pressure)));
    EXPECT_EQ(keys.enter(none), Step::Stay);
    EXPECT_EQ(keys.enter(none), Step::Accept);
}

TEST(FanCurveFile, ExactBytesForTwoFansAndForNone)
{
    EditBench b;
    for (int n : {3, 12, 7, 8})
        b.node(n, n, 0);
    b.fan(3, 12, 2.5f, {120.5f, 100, 60.25f});
    b.fan(7, 8, 10, {50});
    TempFolder folder;
    b.doc->baseName = folder.file("my mine.");
    ASSERT_TRUE(writeFanCurveFile(*b.doc));
    const std::string bytes = readFile(folder.file("my mine.fan"));
    // "[コメント]" in half-width katakana, "コメント" in full-width, in Shift-JIS.
    const std::string heading = "[\xBA\xD2\xDD\xC4]fan", comment = "* \x83\x52\x83\x81\x83\x93\x83\x67\n";
    const std::string headings = heading + "1\n" + heading + "2\n" + heading + "3\n";
    EXPECT_EQ(bytes, headings + comment + " 3  12 \n    0.00000  120.50\n    2.50000  100.00\n" +
                               "    5.00000   60.25\n" + comment + " 7  8 \n    0.00000   50.00\n");
    b.ops().deleteFan(1);
    b.ops().deleteFan(1);
    EXPECT_EQ(fanCurveText(*b.doc), headings);
}

// The fields that Enter moves to, one press after another; nullopt: the dialog accepts.
template <typename Form> std::vector<std::optional<typename Form::Field>> enters(Form& form, int presses)
{
    std::vector<std::optional<typename Form::Field>> fields;
    for (int p = 0; p < presses; ++p)
        fields.push_back(form.enter());
    return fields;
}

TEST(DialogForms, EnterSteppingAndFieldRules)
{
    using N = NewNodeForm::Field;
    using Ns = std::vector<std::optional<N>>;
    NewNodeForm node(NodeKind::Underground), surface(NodeKind::Surface);
    EXPECT_EQ(enters(node, 4), (Ns{N::Elevation, N::Underground, N::InsertToRoad, std::nullopt}));
    surface.focusGained(N::Elevation);
    EXPECT_EQ(surface.enter(), N::Surface);
    surface.kindClicked(NodeKind::Underground);
    EXPECT_EQ(std::pair(surface.step(), surface.kind()), std::pair(4, NodeKind::Underground));

    using R = NewRoadForm::Field;
    using Rs = std::vector<std::optional<R>>;
    NewRoadForm road(NewRoadValues{});
    EXPECT_TRUE(road.readOnly(R::Airflow) && !road.readOnly(R::Conductivity));
    EXPECT_EQ(enters(road, 6), (Rs{R::Resistance, R::Temperature, R::Length, R::Area, R::Conductivity, std::nullopt}));
    road.values.resistance = 5;
    road.fixedClicked();
    EXPECT_TRUE(road.readOnly(R::Resistance) && !road.readOnly(R::Airflow));
    EXPECT_EQ(enters(road, 2), (Rs{R::Airflow, std::nullopt}));
    road.normalClicked();
    EXPECT_EQ(std::pair(road.values.resistance, road.values.fixedFlow), std::pair(5.0f, false))
        << "the values are kept";
    EXPECT_EQ(road.enter(), R::Resistance);
    using C = ChangeRoadForm::Field;
    ChangeRoadForm change;
    EXPECT_EQ(enters(change, 5), (std::vector<std::optional<C>>{C::Temperature, C::Length, C::Area, C::Conductivity,
                                                                  std::nullopt}));

    // "Insert node" keeps the first part within 0 .. the road's value; an empty field counts as 0.
    InsertNodeForm insert(10, 100);
    insert.resistanceLeft(15.0f);
    insert.lengthLeft(-5.0f);
    EXPECT_EQ(std::vector<float>(
                  {insert.firstResistance(), insert.secondResistance(), insert.firstLength(), insert.secondLength()}),
              std::vector<float>({10, 0, 0, 100}));
    insert.resistanceLeft(std::nullopt);
    EXPECT_EQ(insert.secondResistance(), 10.0f);

    // The zoom rectangle takes the window's proportions: 200 wide is 160 high, upward.
    EXPECT_EQ(zoomRectangle(100, 300, 300, 250, 1000, 800).y1, 140);
    EXPECT_EQ(zoomRectangle(100, 300, 300, 350, 0, 800).y1, 300) << "a window without width";
}

}  // namespace
}  // namespace orvex::test
