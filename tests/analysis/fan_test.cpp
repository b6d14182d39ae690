// The fan operating point: one update moves the fan's airflow to where a
// line of slope S through the current operating point crosses the curve.
#include <gtest/gtest.h>

#include <cmath>

#include "support.h"
#include "analysis/fan.h"

namespace orvex::test {
namespace {

// 31 fans from node 2 to node 3, each with the curve 100, 80, 40 (Pa) at
// airflows 0, 10, 20 (m3/min): Qmax = 20, mean curve pressure 220/3, slope
// of the search line S = 4 x mean / Qmax = 44/3.
class FanUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        net.surface({{1, 0}});
        net.underground({{2, 0}, {3, 0}});
        net.road(1, 2, 1.0f);
        net.road(1, 3, 1.0f);
        for (int f = 1; f <= 31; ++f)
            net.fan(2, 3, 10, {100, 80, 40});
        resetFans(net.build());
        net.app.units.displayData = 1;
    }
    // Puts fan f at (qf, pc) and makes the network's rise pf across it.
    Fan& operatingPoint(int f, float qf, float pc, double pf)
    {
        Fan& fan = net.doc().fans[size_t(f)];
        fan.fanFlow = qf, fan.pressure = pc;
        net.pressure(2) = 10000.0;
        net.pressure(3) = 10000.0 + pf * net.app.units.pressureUnitFactor;
        return fan;
    }
    TestNetwork net;
};

TEST_F(FanUpdate, MovesToTheLineCrossingAndDampsOnceTheNetworkPushesBack)
{
    const struct {
        const char* name;
        int state;
        float prev, qf, pc;
        double pf;
        bool forced;
        int result;
        float newQf, newPc, newPrev;  // NAN: not checked
        int newState;
    } cases[] = {
        // The worked example. c = 60 - 5 S = -40/3; the line first rises above
        // the curve at the second point (line(10) = 400/3 > 80); the curve falls
        // by 2 per unit there, so Qnew = (100 + 40/3) / (44/3 + 2) = 6.8, where
        // the curve gives 100 - 2 x 6.8 = 86.4. Pf <= Pc: no damping.
        {"worked example", 1, 0, 5, 90, 60, true, 1, 6.8f, 86.4f, 0, 1},
        // Pf on the curve at Qf: the crossing is Qf itself, settled.
        {"settled", 1, 0, 6.8f, 86.4f, 86.4, false, 0, 6.8f, 86.4f, 0, 1},
        {"settled, forced", 1, 0, 6.8f, 86.4f, 86.4, true, 0, 6.8f, 86.4f, 0, 1},
        {"outside a thousandth of the mean", 1, 0, 6.8f, 86.4f, 86.48, false, 1, NAN, NAN, NAN, 2},
        // Pf above the whole curve: Qnew = 0. Pf > Pc starts the damping with
        // the mean of old and new airflow.
        {"above the curve", 1, 0, 5, 90, 200, true, 1, 0, 100, 2.5f, 2},
        // Damped: Qf moves a fifth of the way to Qnew, the previous airflow a
        // tenth of the remaining gap. Qnew 0: Qf = 0.8 x 2.5 = 2, previous
        // 0.2 + 2.25 = 2.45, on the curve 100 - 2 x 2 = 96. At zero airflow a
        // fan is never settled.
        {"zero airflow", 2, 2.5f, 0, 100, 100, false, 1, 2, 96, 2.45f, 2},
        // Far below the curve Qnew = Qmax = 20: Qf 12, previous 10.2, 80 - 4 x 2.
        {"damped upwards", 2, 10, 10, 80, -1000, true, 1, 12, 72, 10.2f, 2},
        // Far above: Qnew = 0: Qf 8, previous 9.8, 100 - 2 x 8.
        {"damped downwards", 2, 10, 10, 80, 500, true, 1, 8, 84, 9.8f, 2},
    };
    EXPECT_NEAR(net.doc().fans[1].fanMeanPressure, 220.0 / 3, 1e-4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fan& fan = operatingPoint(1, c.qf, c.pc, c.pf);
        fan.fanState = c.state, fan.fanPrevFlow = c.prev;
        net.dialog.fanCells.clear();
        EXPECT_EQ(updateFan(net.doc(), 1, c.forced, net.dialog), c.result);
        if (!std::isnan(c.newQf)) {
            EXPECT_NEAR(fan.fanFlow, c.newQf, 1e-4);
            EXPECT_NEAR(fan.pressure, c.newPc, 1e-3);
            EXPECT_NEAR(fan.fanPrevFlow, c.newPrev, 1e-5);
        }
        EXPECT_EQ(fan.fanState, c.newState);
        // A settled unforced update ends before the list row.
        EXPECT_EQ(net.dialog.fanCells.size(), c.result == 0 && !c.forced ? 0u : 4u);
    }
}

}  // namespace
}  // namespace orvex::test
