// Quantities derived from the results: the pressure loss walked out from the
// surface, pressures relative to the lowest collar, and road values.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::analysistest {
namespace {

// The pressure drop (Pa) that a road shows for mass flow m: the road law
// with the density of the road's air at its temperature and the mean
// pressure of its ends.
double shownDrop(double pa, double pb, double t, double r, double m)
{
    return roadLawDrop(m, airDensity((pa + pb) / 2, t), r, kResistanceFactor) / kPressureFactor;
}

// Collar 1; node 10 joined to it by two parallel roads entered in opposite
// directions; node 11 reached only through a fan from 10, node 12 only
// through a fan into 10. Pressures and flows are set by hand, not solved.
class PressureLossWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        net.surface(1, 0);
        for (int number : {10, 11, 12})
            net.underground(number, 0);
        net.road(1, 10, 0.5f, 20);
        net.road(10, 1, 2.0f, 25);
        net.fan(10, 11, 100, {1000, 500});
        net.fan(12, 10, 100, {1000, 500});
    }
    void setResults(CBriscoDoc& doc)
    {
        doc.nodes[size_t(net.index(1))].pressure = 10336;
        doc.nodes[size_t(net.index(10))].pressure = 10300;
        doc.nodes[size_t(net.index(11))].pressure = 10400;
        doc.nodes[size_t(net.index(12))].pressure = 10250;
        doc.roads[1].massFlow = 20;  // 1 -> 10
        doc.roads[2].massFlow = -5;  // also 1 -> 10
    }
    double value(int number) { return net.doc().nodes[size_t(net.index(number))].displayValue; }
    TestNetwork net;
};

TEST_F(PressureLossWalk, FollowsTheLowerRoadAndAddsFanRises)
{
    CBriscoDoc& doc = net.build();
    setResults(doc);
    doc.walkPressureLoss();
    EXPECT_TRUE(net.reporter.messages.empty()) << net.reporter.all();

    // 10 is reached from 1 through the lower-indexed road (R 0.5, 20 kg/s,
    // 20 °C), with the flow: the value drops by that road's loss. Through the
    // other road it would drop by a quarter as much.
    const double drop = shownDrop(10336, 10300, 20, 0.5, 20);
    EXPECT_EQ(value(1), 0.0);
    EXPECT_NEAR(value(10), -drop, 1e-3);
    // Through the fan 10 -> 11 the value rises by the fan's rise; reaching 12
    // against the fan 12 -> 10 it falls by that fan's rise.
    EXPECT_NEAR(value(11), value(10) + (10400 - 10300) / kPressureFactor, 1e-2);
    EXPECT_NEAR(value(12), value(10) - (10300 - 10250) / kPressureFactor, 1e-2);
}

TEST_F(PressureLossWalk, NodeReachedOnlyByAFixedFlowRoadIsNotWalkedTo)
{
    net.underground(13, 0);
    net.fixedRoad(10, 13, 100);
    CBriscoDoc& doc = net.build();
    setResults(doc);
    doc.nodes[size_t(net.index(13))].displayValue = 7.5f;
    doc.walkPressureLoss();
    EXPECT_TRUE(net.reporter.contains("pressure set down")) << net.reporter.all();
    EXPECT_EQ(value(13), 7.5f);
    EXPECT_NE(value(10), 0.0);  // the rest was walked before the message
}

TEST(PressureLossWalkWithoutSurface, StopsAtOnce)
{
    TestNetwork net;
    net.underground(10, 0);
    net.underground(11, 0);
    net.road(10, 11, 1.0f);
    CBriscoDoc& doc = net.build();
    doc.nodes[1].displayValue = 3;
    doc.nodes[2].displayValue = 4;
    doc.walkPressureLoss();
    ASSERT_EQ(net.reporter.messages.size(), 1u);
    EXPECT_EQ(net.reporter.messages[0].text, "pressure set down");
    EXPECT_EQ(doc.nodes[1].displayValue, 3.0f);
    EXPECT_EQ(doc.nodes[2].displayValue, 4.0f);
}

TEST(RelativePressure, IsMeasuredFromTheLowestCollar)
{
    TestNetwork net;
    net.surface(1, 0);
    net.surface(2, 0);
    net.underground(10, 0);
    net.road(1, 10, 1.0f);
    CBriscoDoc& doc = net.build();
    doc.nodes[1].pressure = 10336;
    doc.nodes[2].pressure = 10300;  // the lower collar
    doc.nodes[3].pressure = 10400;
    doc.computeRelativePressures();
    EXPECT_NEAR(doc.nodes[1].displayValue, 36 / kPressureFactor, 1e-3);
    EXPECT_EQ(doc.nodes[2].displayValue, 0.0f);
    EXPECT_NEAR(doc.nodes[3].displayValue, 100 / kPressureFactor, 1e-3);
}

TEST(RelativePressure, WithoutCollarsIsMeasuredFromTheFirstNode)
{
    TestNetwork net;
    net.underground(10, 0);
    net.underground(11, 0);
    net.road(10, 11, 1.0f);
    CBriscoDoc& doc = net.build();
    doc.nodes[1].pressure = 10400;
    doc.nodes[2].pressure = 10300;
    doc.computeRelativePressures();
    EXPECT_EQ(doc.nodes[1].displayValue, 0.0f);
    EXPECT_NEAR(doc.nodes[2].displayValue, -100 / kPressureFactor, 1e-3);
}

TEST(RoadValues, FlowsAndLossesAfterASolve)
{
    // 600 m³/min are pushed from collar 1 into node 10 by a fixed-flow road
    // and leave through a normal road to collar 2.
    TestNetwork net;
    net.surface(1, 0);
    net.surface(2, 0);
    net.underground(10, 0);
    net.road(10, 2, 0.5f, 30);
    const int fixed = net.fixedIndex(net.fixedRoad(1, 10, 600));
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1);

    float value = 0;
    // A fixed-flow road shows its airflow as entered, not a result.
    ASSERT_TRUE(doc.roadValue(fixed, 1, value));
    EXPECT_EQ(value, 600.0f);
    ASSERT_TRUE(doc.roadValue(fixed, 2, value));
    EXPECT_EQ(value, 600.0f);
    // The normal road carries the same air: 600 m³/min of standard air, and
    // at its own density (30 °C, lighter than standard) a larger volume.
    ASSERT_TRUE(doc.roadValue(1, 1, value));
    EXPECT_NEAR(value, 600.0, 0.05);
    ASSERT_TRUE(doc.roadValue(1, 2, value));
    const double rho = airDensity((net.pressure(10) + net.pressure(2)) / 2, 30);
    EXPECT_NEAR(value, 600.0 * kStandardDensity / rho, 0.05);
    EXPECT_GT(value, 600.0f);
    // Pressure losses: the road law for the normal road, the pressure
    // difference for the fixed-flow road (Pa).
    ASSERT_TRUE(doc.roadValue(1, 4, value));
    EXPECT_NEAR(value, shownDrop(net.pressure(10), net.pressure(2), 30, 0.5, kGammaQ * 600), 0.01);
    EXPECT_NEAR(value, (net.pressure(10) - net.pressure(2)) / kPressureFactor, 0.01);
    ASSERT_TRUE(doc.roadValue(fixed, 4, value));
    EXPECT_NEAR(value, (net.pressure(1) - net.pressure(10)) / kPressureFactor, 1e-3);

    // Kinds without a value leave the caller's value alone.
    for (int kind : {0, 11, 12, 13, 15, 16, 17, 18, 19}) {
        value = -42;
        EXPECT_FALSE(doc.roadValue(1, kind, value)) << "kind " << kind;
        EXPECT_EQ(value, -42.0f) << "kind " << kind;
    }

    // The iterator walks normal and fixed-flow roads, then starts again.
    std::vector<float> standardFlows;
    while (doc.nextRoadValue(1, value) == 1)
        standardFlows.push_back(value);
    ASSERT_EQ(standardFlows.size(), 2u);
    EXPECT_EQ(standardFlows[1], 600.0f);
    EXPECT_EQ(doc.nextRoadValue(1, value), 1);
}

}  // namespace
}  // namespace orvex::analysistest
