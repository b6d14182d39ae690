// Fixed-flow roads: roads with a given airflow act as sources; a fixed-flow
// road with airflow 0 is a connection without resistance whose airflow
// follows from continuity. Also roads with an alternative resistance for
// reversed airflow.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::analysistest {
namespace {

// The tests below are level and at the surface temperature: no draught. A
// fixed airflow of 600 m³/min pushes γq × 600 = 12.05 kg/s into node 10.
constexpr double kPushed = kGammaQ * 600;
constexpr double kFlowTolerance = 4 * kTargetImbalance;  // as for the draught networks

// Network: collar 1 -(600 m³/min)-> 10 -(R 0.4)-> collar 2, and 10 joined
// without resistance to 11 -(R 0.8)-> collar 3. Nodes 10 and 11 act as one.
class ZeroFlowRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        net.surface(1, 0);
        net.surface(2, 0);
        net.surface(3, 0);
        net.underground(10, 0);
        net.underground(11, 0);
        net.road(10, 2, 0.4f);
        net.road(11, 3, 0.8f);
        fixedIndex = net.fixedIndex(net.fixedRoad(1, 10, 600));
        zeroIndex = net.fixedIndex(net.fixedRoad(10, 11, 0));
    }
    TestNetwork net;
    int fixedIndex = 0, zeroIndex = 0;
};

TEST_F(ZeroFlowRoad, MergedNodesShareOnePressureAndTheRoadCarriesTheContinuityFlow)
{
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    // By hand: one pressure p at 10 and 11; the two roads to the surface
    // take what the fixed road brings.
    const double ps = net.pressure(2);
    const auto out = [&](double p) {
        return flowBetween(p, ps, 0, 0, 20, 0.4) + flowBetween(p, ps, 0, 0, 20, 0.8);
    };
    const double p = bisect([&](double x) { return kPushed - out(x); }, ps, ps + 100);
    const double via11 = flowBetween(p, ps, 0, 0, 20, 0.8);

    EXPECT_EQ(net.pressure(10), net.pressure(11));
    EXPECT_NEAR(net.pressure(10), p, 2e-3);
    EXPECT_NEAR(doc.roads[1].massFlow, flowBetween(p, ps, 0, 0, 20, 0.4), kFlowTolerance);
    EXPECT_NEAR(doc.roads[2].massFlow, via11, kFlowTolerance);
    EXPECT_NEAR(doc.roads[size_t(fixedIndex)].massFlow, kPushed, 1e-5);
    // The zero-flow road carries what reaches 11 on the way to collar 3 ...
    EXPECT_NEAR(doc.roads[size_t(zeroIndex)].massFlow, via11, kFlowTolerance);
    // ... which is the net inflow of the other roads at its first node.
    EXPECT_NEAR(doc.roads[size_t(zeroIndex)].massFlow,
                doc.roads[size_t(fixedIndex)].massFlow - doc.roads[1].massFlow, 1e-5);
    // Both nodes balance (the continuity flow balances 10 exactly, so 11
    // carries what is left of the merged node), and the roads have their own
    // ends again.
    EXPECT_NEAR(netInflow(doc, net.index(10)), 0.0, 1e-5);
    EXPECT_LE(meanImbalance(doc), kTargetImbalance);
    EXPECT_EQ(doc.roads[2].first, 11);
    EXPECT_EQ(doc.roads[size_t(zeroIndex)].second, 11);
    EXPECT_EQ(doc.nodes[size_t(net.index(11))].degree, 1);
}

TEST_F(ZeroFlowRoad, TwoInParallelAreLeftUndetermined)
{
    // A second connection between 10 and 11: continuity cannot tell how the
    // airflow divides between the two, so both keep 0; the rest is solved.
    const int second = net.fixedIndex(net.fixedRoad(10, 11, 0));
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();
    EXPECT_EQ(doc.roads[size_t(zeroIndex)].massFlow, 0.0f);
    EXPECT_EQ(doc.roads[size_t(second)].massFlow, 0.0f);
    EXPECT_EQ(net.pressure(10), net.pressure(11));
    EXPECT_NEAR(doc.roads[1].massFlow + doc.roads[2].massFlow, kPushed, 2 * kTargetImbalance);
}

TEST(ZeroFlowRoads, BetweenSurfaceNodesCarryTheSmallestSettledValue)
{
    // Nothing decides the airflow between two collars: the road gets
    // τ × 0.001, a nonzero mark that it was looked at.
    TestNetwork net;
    net.surface(1, 0);
    net.surface(2, 20);
    net.surface(3, 40);
    net.underground(10, -100);
    net.road(1, 10, 0.5f, 10);
    net.road(10, 2, 0.5f, 30);
    const int zero = net.fixedIndex(net.fixedRoad(2, 3, 0));
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();
    EXPECT_FLOAT_EQ(doc.roads[size_t(zero)].massFlow, float(kTargetImbalance * 0.001));
}

TEST(ZeroFlowRoads, ContinuityFromTheSecondEndWhenTheFirstIsASurfaceNode)
{
    // Collar 1 is joined without resistance to node 10, from where a road
    // leads to collar 2, 50 m higher; warm air in it rises. Node 10 acts as
    // collar 1 and the road carries what a road between the two collars
    // carries; the connection 1-10 brings exactly that into node 10.
    TestNetwork net;
    net.surfaceTemperature = 10;
    net.surface(1, 0);
    net.surface(2, 50);
    net.underground(10, 0);
    net.road(10, 2, 0.5f, 30);
    const int zero = net.fixedIndex(net.fixedRoad(1, 10, 0));
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    const double p1 = net.pressure(1), p2 = net.pressure(2);
    const double m = flowBetween(p1, p2, 0, 50, 30, 0.5);
    ASSERT_GT(m, 1.0);
    EXPECT_EQ(net.pressure(10), p1);
    EXPECT_NEAR(doc.roads[1].massFlow, m, kFlowTolerance);
    EXPECT_NEAR(doc.roads[size_t(zero)].massFlow, doc.roads[1].massFlow, 1e-6);
}

TEST(AlternativeResistance, ReversedRoadUsesItAndIsMarkedReverse)
{
    // Three roads in parallel from node 10 to collar 2 take 600 m³/min:
    //   A entered from 2 to 10 (so its airflow is negative), R 0.5, alternative 2.0;
    //   B from 10 to 2, R 1.0, no alternative;
    //   C from 10 to 2, R 1.0, alternative 5.0 (forward: not used).
    // A reversed road takes its alternative resistance, so by hand A, B and C
    // share the flow as 1/sqrt(2) : 1 : 1. With R 0.5 for A it would be
    // sqrt(2) : 1 : 1, far outside the tolerance.
    TestNetwork net;
    net.surface(1, 0);
    net.surface(2, 0);
    net.underground(10, 0);
    const int a = net.road(2, 10, 0.5f, 20, 2.0f);
    const int b = net.road(10, 2, 1.0f, 20);
    const int c = net.road(10, 2, 1.0f, 20, 5.0f);
    net.fixedRoad(1, 10, 600);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    const double ps = net.pressure(2);
    const auto out = [&](double p) {
        return flowBetween(p, ps, 0, 0, 20, 2.0) + 2 * flowBetween(p, ps, 0, 0, 20, 1.0);
    };
    const double p = bisect([&](double x) { return kPushed - out(x); }, ps, ps + 100);
    EXPECT_NEAR(doc.roads[size_t(a)].massFlow, -flowBetween(p, ps, 0, 0, 20, 2.0), kFlowTolerance);
    EXPECT_NEAR(doc.roads[size_t(b)].massFlow, flowBetween(p, ps, 0, 0, 20, 1.0), kFlowTolerance);
    EXPECT_NEAR(doc.roads[size_t(c)].massFlow, flowBetween(p, ps, 0, 0, 20, 1.0), kFlowTolerance);
    EXPECT_NEAR(net.pressure(10), p, 2e-3);

    EXPECT_EQ(doc.roads[size_t(a)].roadClass, 2);
    EXPECT_EQ(doc.roads[size_t(b)].roadClass, 0);  // no alternative: never classed
    EXPECT_EQ(doc.roads[size_t(c)].roadClass, 1);

    // Shown values: direction 2.0, and the pressure loss of the reversed road
    // worked out with its alternative resistance is the pressure difference
    // between its ends (Pa, first end minus second end).
    float value = -1;
    ASSERT_TRUE(doc.roadValue(a, 3, value));
    EXPECT_EQ(value, 2.0f);
    ASSERT_TRUE(doc.roadValue(a, 4, value));
    EXPECT_NEAR(value, (net.pressure(2) - net.pressure(10)) / kPressureFactor, 0.01);
    ASSERT_TRUE(doc.roadValue(c, 4, value));
    EXPECT_NEAR(value, (net.pressure(10) - net.pressure(2)) / kPressureFactor, 0.01);
}

}  // namespace
}  // namespace orvex::analysistest
