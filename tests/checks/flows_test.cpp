#include <gtest/gtest.h>

#include "checks/checks.h"
#include "support.h"

namespace orvex::test {
namespace {

// Intake 1-10, a main fan 11-2 drawing the air out; from 10 to 11 a
// crosscut and, beside it, a way through 12 with or without a booster fan.
// A booster moving more air than the main fan drives the rest back through
// the crosscut: 10 > 12 > 11 > 10.
TEST(RecirculationTest, BoosterDrivesAirRoundItsCrosscut)
{
    for (const bool booster : {true, false}) {
        SCOPED_TRACE(booster ? "booster" : "no booster");
        TestNetwork net;
        net.surface({{1, 0}, {2, 0}});
        net.underground({{10, 0}, {11, 0}, {12, 0}});
        net.road(1, 10, 0.1f);
        const int crosscut = net.road(10, 11, 2);
        net.road(12, 11, 0.1f);
        net.fan(11, 2, 1000, {500, 400, 250, 0});
        if (booster)
            net.fan(10, 12, 1000, {400, 380, 340, 250, 0});
        else
            net.road(10, 12, 0.1f);
        ASSERT_EQ(net.solve().result, 1);
        std::vector<Finding> findings;
        checkRecirculation(net.doc(), findings);
        if (!booster) {
            EXPECT_TRUE(findings.empty());
            continue;
        }
        ASSERT_EQ(findings.size(), 1u);
        // The crosscut carries the air back, the least round the loop.
        const double back = -net.flow(crosscut) / net.doc().specificWeight;
        ASSERT_GT(back, 10);
        EXPECT_LT(back, net.doc().fans[2].fanFlow);
        EXPECT_EQ(findings[0].nodes, (std::vector<int>{10, 12, 11}));
        EXPECT_NEAR(findings[0].value, back, 1e-3);
        EXPECT_EQ(findings[0].unit, "m3/min");
        EXPECT_EQ(findings[0].reason.substr(0, 50), "air goes round fan 10-12, road 10-11, road 12-11: ");
    }
}

// Flows set by hand (m3/min): two loops sharing node 12 form one knot,
// named along one way through it, its least airflow the value; a pair of
// roads carrying air back and forth is a loop of its own; air in at 1 and
// out at 2 goes through, even with a road between the two on the surface.
TEST(RecirculationTest, KnotsAndPairs)
{
    TestNetwork net;
    net.surface({{1, 0}, {2, 0}});
    net.underground({{10, 0}, {11, 0}, {12, 0}, {13, 0}, {14, 0}, {20, 0}, {21, 0}});
    const struct {
        int first, second;
        float flow;
    } roads[] = {{1, 10, 50}, {10, 11, 80}, {12, 11, -70}, {12, 10, 30}, {12, 13, 40}, {13, 14, 40},
                 {14, 12, 15}, {14, 2, 25}, {20, 21, 9}, {21, 20, 7}, {2, 1, 5}};
    for (const auto& r : roads)
        net.road(r.first, r.second, 1);
    CBriscoDoc& doc = net.build();
    for (int k = 1; k <= doc.roadCount; ++k)
        net.flow(k) = roads[k - 1].flow * doc.specificWeight;
    std::vector<Finding> findings;
    checkRecirculation(doc, findings);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].nodes, (std::vector<int>{10, 11, 12, 13, 14}));
    EXPECT_NEAR(findings[0].value, 15, 1e-3);
    EXPECT_EQ(findings[1].nodes, (std::vector<int>{20, 21}));
    EXPECT_NEAR(findings[1].value, 7, 1e-3);
}

// Pressures set by hand (Pa) across a fixed-flow road 10-11 of 600 m3/min
// (10 m3/s): a surplus asks for an orifice A = Q / (Cd sqrt(2 dp / rho)),
// 10 / (0.65 sqrt(200 / 1.20459)) = 1.19396 m2 for 100 Pa; a shortfall for
// a booster of that pressure. Against the set airflow the signs turn.
TEST(FixedFlowTest, RegulatorOrBooster)
{
    struct Case {
        double p10, p11;
        float flow;
        CheckKind kind;
        double value;
    } const cases[] = {
        {-100, -200, 600, CheckKind::Regulator, 1.19396},
        {-200, -100, -600, CheckKind::Regulator, 1.19396},
        {-200, -50, 600, CheckKind::Booster, 150},
        {-100, -200, -600, CheckKind::Booster, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flow);
        TestNetwork net;
        net.surface({{1, 0}});
        net.underground({{10, 0}, {11, 0}});
        net.road(1, 10, 1);
        net.road(11, 1, 1);
        const int fixed = net.fixedRoad(10, 11, c.flow);
        net.fixedRoad(11, 10, 0);
        net.build();
        net.pressure(10) = c.p10 * kPressureFactor;
        net.pressure(11) = c.p11 * kPressureFactor;
        std::vector<Finding> findings;
        checkFixedFlows(net.doc(), CheckDefaults{}, findings);
        ASSERT_EQ(findings.size(), 1u);
        EXPECT_EQ(findings[0].kind, c.kind);
        EXPECT_EQ(findings[0].road, fixed);
        EXPECT_NEAR(findings[0].value, c.value, 1e-4 * c.value);
    }
}

// Curve 800, 1000, 1000, 600, 0 Pa at 0..400 m3/min, its peak the first
// 1000 at 100; the default stall margin 10 %, efficiency 0.7 or the fan's
// own 0.5, 8760 h at 0.10 a kWh. At 250 m3/min and 750 Pa: 25 % margin, 750 x 250 / 60 / 1000
// = 3.125 kW of air.
TEST(FanCheckTest, PlaceOnCurveAndCost)
{
    struct Case {
        float flow, pressure;
        double efficiency;
        double margin, cost;
        std::vector<CheckKind> kinds;
    } const cases[] = {
        {250, 750, 0, 25, 3.125 / 0.7 * 876, {}},
        {250, 750, 0.5, 25, 3.125 / 0.5 * 876, {}},
        {130, 970, 0, 3, 970 * 130 / 60e3 / 0.7 * 876, {CheckKind::FanStall}},
        {50, 900, 0, 10, 900 * 50 / 60e3 / 0.7 * 876, {CheckKind::FanStall}},
        {100, 800, 0, 20, 800 * 100 / 60e3 / 0.7 * 876, {CheckKind::FanStall}},
        {150, 850, 0, 15, 850 * 150 / 60e3 / 0.7 * 876, {}},
        {400, 0, 0, 100, 0, {CheckKind::FanCurveEnd}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flow);
        TestNetwork net;
        net.surface({{1, 0}});
        net.underground({{10, 0}});
        net.road(1, 10, 1);
        net.fan(10, 1, 100, {800, 1000, 1000, 600, 0});
        CBriscoDoc& doc = net.build();
        doc.fans[1].fanFlow = c.flow, doc.fans[1].pressure = c.pressure;
        CheckOverrides overrides;
        if (c.efficiency > 0)
            overrides.fanEfficiency[{10, 1}] = c.efficiency;
        const FanDuty duty = fanDuty(doc, 1, CheckDefaults{}, overrides);
        EXPECT_NEAR(duty.margin, c.margin, 1e-4);
        EXPECT_NEAR(duty.costPerYear, c.cost, 1e-5 * c.cost + 1e-9);
        std::vector<Finding> findings;
        checkFans(doc, CheckDefaults{}, overrides, findings);
        std::vector<CheckKind> kinds;
        for (const Finding& finding : findings) {
            kinds.push_back(finding.kind);
            EXPECT_NEAR(finding.value, c.margin, 1e-4);  // at the curve's end, 100 % of its last airflow
        }
        EXPECT_EQ(kinds, c.kinds);
    }
}

// Between two runs: a road that turned, one that only slowed, one that was
// still before, one that is new.
TEST(ReversalTest, OnlyAirThatTurned)
{
    TestNetwork net;
    net.surface({{1, 0}});
    net.underground({{10, 0}, {11, 0}, {12, 0}});
    const int turned = net.road(1, 10, 1);
    net.road(10, 11, 1);
    net.road(11, 12, 1);
    CBriscoDoc& doc = net.build();
    net.flow(1) = 2, net.flow(2) = 2, net.flow(3) = 1e-7f;
    const FlowHistory before = FlowHistory::of(doc);
    net.flow(1) = -1, net.flow(2) = 1, net.flow(3) = -2;
    net.road(12, 1, 1);
    net.flow(4) = -2;
    std::vector<Finding> findings;
    checkReversals(doc, before, findings);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].road, turned);
    EXPECT_NEAR(findings[0].value, -1 / doc.specificWeight, 1e-3);
}

}  // namespace
}  // namespace orvex::test
