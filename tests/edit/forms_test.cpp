// Enter stepping and field rules of the node and road dialogs, and the
// zoom rectangle's shape.
#include <gtest/gtest.h>

#include "edit/dialogforms.h"
#include "edit/viewnavigation.h"

namespace orvex {
namespace {

TEST(DialogForms, MakeNewNodeStepsThroughTheChosenKind)
{
    using F = NewNodeForm::Field;
    NewNodeForm form(NodeKind::Underground);
    EXPECT_EQ(form.enter(), F::Elevation);
    EXPECT_EQ(form.enter(), F::Underground);
    EXPECT_EQ(form.enter(), F::InsertToRoad);
    EXPECT_EQ(form.enter(), std::nullopt);  // accepts

    NewNodeForm surface(NodeKind::Surface);
    surface.focusGained(F::Elevation);
    EXPECT_EQ(surface.enter(), F::Surface);
    surface.kindClicked(NodeKind::Underground);
    EXPECT_EQ(surface.step(), 4);
    EXPECT_EQ(surface.kind(), NodeKind::Underground);
    EXPECT_EQ(surface.enter(), F::InsertToRoad);
}

TEST(DialogForms, MakeNewRoadSwitchesItsFieldsAndKeepsTheValues)
{
    using F = NewRoadForm::Field;
    NewRoadForm form(NewRoadValues{});
    EXPECT_TRUE(form.readOnly(F::Airflow));
    EXPECT_FALSE(form.readOnly(F::Conductivity));
    for (F next : {F::Resistance, F::Temperature, F::Length, F::Area, F::Conductivity})
        EXPECT_EQ(form.enter(), next);
    EXPECT_EQ(form.enter(), std::nullopt);

    form.values.resistance = 5;
    form.fixedClicked();
    EXPECT_TRUE(form.readOnly(F::Resistance));
    EXPECT_FALSE(form.readOnly(F::Airflow));
    EXPECT_EQ(form.enter(), F::Airflow);
    EXPECT_EQ(form.enter(), std::nullopt);
    form.normalClicked();
    EXPECT_EQ(form.values.resistance, 5.0f);
    EXPECT_FALSE(form.values.fixedFlow);
    EXPECT_EQ(form.enter(), F::Resistance);

    using C = ChangeRoadForm::Field;
    ChangeRoadForm change;
    for (C next : {C::Temperature, C::Length, C::Area, C::Conductivity})
        EXPECT_EQ(change.enter(), next);
    EXPECT_EQ(change.enter(), std::nullopt);
}

TEST(DialogForms, InsertNodeKeepsTheFirstPartWithinTheRoad)
{
    InsertNodeForm form(10, 100);
    form.resistanceLeft(15.0f);
    EXPECT_EQ(form.firstResistance(), 10.0f);
    EXPECT_EQ(form.secondResistance(), 0.0f);
    form.lengthLeft(-5.0f);
    EXPECT_EQ(form.firstLength(), 0.0f);
    EXPECT_EQ(form.secondLength(), 100.0f);
    form.resistanceLeft(4.0f);
    EXPECT_EQ(form.secondResistance(), 6.0f);
    form.resistanceLeft(std::nullopt);  // an empty field counts as 0
    EXPECT_EQ(form.secondResistance(), 10.0f);
}

TEST(ZoomRectangle, TakesTheWindowsProportions)
{
    const ClientRect up = zoomRectangle(100, 300, 300, 250, 1000, 800);
    EXPECT_EQ(up.y1, 140);  // 200 wide -> 160 high, upward
    const ClientRect flat = zoomRectangle(100, 300, 300, 350, 0, 800);  // a window without width
    EXPECT_EQ(flat.y1, 300);
}

}  // namespace
}  // namespace orvex
