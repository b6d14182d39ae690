// The fan operating point: one update moves the fan's airflow to where a
// line of slope S through the current operating point crosses the curve.
#include <gtest/gtest.h>

#include <cmath>

#include "support.h"

namespace orvex::analysistest {
namespace {

// Curve 100, 80, 40 (Pa) at airflows 0, 10, 20 (m³/min): Qmax = 20, mean
// curve pressure 220/3, slope of the search line S = 4 × mean / Qmax = 44/3.
class FanUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        net.surface(1, 0);
        net.underground(2, 0);
        net.underground(3, 0);
        net.road(1, 2, 1.0f);
        net.road(1, 3, 1.0f);
        net.fan(2, 3, 10, {100, 80, 40});
        doc = &net.build();
        doc->resetFans();
    }

    // Puts the fan at (qf, pc) and makes the network's rise Pf across it.
    void operatingPoint(float qf, float pc, double pf)
    {
        Fan& fan = doc->fans[1];
        fan.fanFlow = qf;
        fan.pressure = pc;
        const double unit = net.app.units.pressureUnitFactor;
        doc->nodes[size_t(net.index(2))].pressure = 10000.0;
        doc->nodes[size_t(net.index(3))].pressure = 10000.0 + pf * unit;
    }

    TestNetwork net;
    CBriscoDoc* doc = nullptr;
    RecordingDialog dialog;
};

TEST_F(FanUpdate, WorkedExampleMovesTheAirflowToTheLineCrossing)
{
    // Qf 5 with Pc 90 on the curve, but the network puts only 60 across the
    // fan. c = 60 - 5 S = -40/3; the line first rises above the curve at the
    // second point (line(10) = 400/3 > 80); on that segment the curve falls
    // by 2 per unit, so Qnew = (100 + 40/3) / (44/3 + 2) = 6.8, where the
    // curve gives 100 - 2 × 6.8 = 86.4. Pf ≤ Pc, so no damping starts.
    EXPECT_NEAR(doc->fans[1].fanMeanPressure, 220.0 / 3, 1e-4);
    operatingPoint(5, 90, 60);
    EXPECT_EQ(doc->updateFan(1, true, dialog), 1);
    EXPECT_NEAR(doc->fans[1].fanFlow, 6.8, 1e-4);
    EXPECT_NEAR(doc->fans[1].pressure, 86.4, 1e-3);
    EXPECT_EQ(doc->fans[1].fanState, 1);
    EXPECT_EQ(doc->fans[1].fanPrevFlow, 0.0f);
}

TEST_F(FanUpdate, OperatingPointOnTheCurveIsSettled)
{
    // When the network's rise equals the curve at Qf, the crossing of the
    // search line is Qf itself: settled, and a forced update keeps it there.
    operatingPoint(6.8f, 86.4f, 86.4);
    EXPECT_EQ(doc->updateFan(1, false, dialog), 0);
    EXPECT_FLOAT_EQ(doc->fans[1].fanFlow, 6.8f);
    EXPECT_EQ(doc->updateFan(1, true, dialog), 0);
    EXPECT_NEAR(doc->fans[1].fanFlow, 6.8, 1e-4);
    EXPECT_NEAR(doc->fans[1].pressure, 86.4, 1e-3);

    // Just outside a thousandth of the mean curve pressure it moves again.
    operatingPoint(6.8f, 86.4f, 86.4 + 0.08);
    EXPECT_EQ(doc->updateFan(1, false, dialog), 1);
}

TEST_F(FanUpdate, LineAboveTheFirstPointStopsTheFanAndItStaysUnsettled)
{
    // Pf 200 lies above the whole curve: the line is above p[0] at airflow 0,
    // so Qnew = 0. Pf > Pc starts the damping with the mean of old and new.
    operatingPoint(5, 90, 200);
    EXPECT_EQ(doc->updateFan(1, true, dialog), 1);
    EXPECT_EQ(doc->fans[1].fanFlow, 0.0f);
    EXPECT_FLOAT_EQ(doc->fans[1].pressure, 100.0f);
    EXPECT_EQ(doc->fans[1].fanState, 2);
    EXPECT_FLOAT_EQ(doc->fans[1].fanPrevFlow, 2.5f);
    // At zero airflow a fan is never settled, forced or not.
    EXPECT_EQ(doc->updateFan(1, false, dialog), 1);
    EXPECT_EQ(doc->updateFan(1, true, dialog), 1);
}

TEST_F(FanUpdate, DampedStateMovesAFifthOfTheJump)
{
    // Damped, at Qf = previous = 10. A network rise far below the curve sends
    // the line crossing to Qmax = 20, one far above it to 0; either way Qf
    // moves only a fifth of the way, and the smoothed previous airflow a tenth
    // of the remaining gap.
    doc->fans[1].fanState = 2;
    doc->fans[1].fanPrevFlow = 10;
    operatingPoint(10, 80, -1000);
    EXPECT_EQ(doc->updateFan(1, true, dialog), 1);
    EXPECT_NEAR(doc->fans[1].fanFlow, 12.0, 1e-5);
    EXPECT_NEAR(doc->fans[1].fanPrevFlow, 10.2, 1e-5);
    EXPECT_NEAR(doc->fans[1].pressure, 72.0, 1e-4);  // 80 - 4 × 2

    doc->fans[1].fanPrevFlow = 10;
    operatingPoint(10, 80, 500);
    EXPECT_EQ(doc->updateFan(1, true, dialog), 1);
    EXPECT_NEAR(doc->fans[1].fanFlow, 8.0, 1e-5);
    EXPECT_NEAR(doc->fans[1].fanPrevFlow, 9.8, 1e-5);
    EXPECT_NEAR(doc->fans[1].pressure, 84.0, 1e-4);
    EXPECT_EQ(doc->fans[1].fanState, 2);
}

TEST_F(FanUpdate, ListRowShowsNodesRiseAirflowAndResult)
{
    net.app.units.displayData = 1;
    operatingPoint(5, 90, 60);
    doc->updateFan(1, true, dialog);
    EXPECT_EQ(dialog.cell(0, 0), "   2-   3");
    EXPECT_EQ(dialog.cell(0, 1), "   60.000");
    EXPECT_EQ(dialog.cell(0, 2), "     6.80");
    EXPECT_EQ(dialog.cell(0, 3), "1");

    // A settled unforced update ends before the row; without display data
    // nothing is written at all.
    dialog.fanCells.clear();
    operatingPoint(6.8f, 86.4f, 86.4);
    doc->updateFan(1, false, dialog);
    EXPECT_TRUE(dialog.fanCells.empty());
    net.app.units.displayData = 0;
    operatingPoint(5, 90, 60);
    doc->updateFan(1, true, dialog);
    EXPECT_TRUE(dialog.fanCells.empty());
}

TEST(FanList, FansBeyondTheThirtiethUpdateButWriteNoRow)
{
    TestNetwork net;
    net.surface(1, 0);
    net.underground(2, 0);
    net.road(1, 2, 1.0f);
    for (int f = 1; f <= 31; ++f)
        net.fan(1, 2, 10, {100, 80, 40});
    CBriscoDoc& doc = net.build();
    net.app.units.displayData = 1;
    doc.resetFans();
    doc.nodes[2].pressure = doc.nodes[1].pressure + 60 * double(net.app.units.pressureUnitFactor);
    RecordingDialog dialog;
    for (int f = 1; f <= 31; ++f) {
        doc.fans[size_t(f)].fanFlow = 5;
        doc.fans[size_t(f)].pressure = 90;
        EXPECT_EQ(doc.updateFan(f, true, dialog), 1);
        EXPECT_NEAR(doc.fans[size_t(f)].fanFlow, 6.8, 1e-4) << "fan " << f;
    }
    EXPECT_EQ(dialog.highestFanRow(), 29);
    EXPECT_EQ(dialog.fanCells.size(), 30u * 4u);
    EXPECT_EQ(dialog.cell(29, 2), "     6.80");
}

}  // namespace
}  // namespace orvex::analysistest
