// The sample mine (three levels, a main fan and a booster, regulators, a
// fixed-flow ore pass and a connection without resistance), opened as the
// program opens it and analysed as the dialog's Start does. The results are
// checked against conservation, the road law and the fan curves. (The water
// sample's pipe losses: WaterNetwork by hand in solve_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "analysis/quantities.h"
#include "model/networkio.h"
#include "model/profile.h"
#include "support.h"

namespace orvex::test {
namespace {

TEST(SampleMine, ConvergesToBalancedFlowsThatObeyTheRoadLawAndTheFanCurves)
{
    TestNetwork net;
    net.app.pendingFile = std::string(ORVEX_SOURCE_DIR) + "/data/mine.vad";
    net.app.pending = true;
    MemoryProfile profile;
    ASSERT_TRUE(openPendingNetwork(net.doc(), profile)) << net.reporter.all();
    const CBriscoDoc& doc = net.doc();
    ASSERT_GT(doc.undergroundCount, 20);
    ASSERT_EQ(doc.fanCount, 2);
    ASSERT_EQ(runAnalysis(net.doc(), net.dialog).result, 1) << net.reporter.all();
    EXPECT_TRUE(allResultsFinite(doc));

    // Mass balance over every road, fixed-flow road and fan: the mean within
    // tau, as the stopping rule demands. A node the sweeps missed (a merged
    // node, a fan's end) would be off by whole kg/s: ten tau at any node.
    double worst = 0;
    for (int i = doc.surfaceCount + 1; i <= doc.nodeCount; ++i)
        worst = std::max(worst, std::fabs(netInflow(doc, i)));
    EXPECT_LE(meanImbalance(doc), kTau);
    EXPECT_LE(worst, 10 * kTau);
    EXPECT_GT(doc.roads[1].massFlow / doc.specificWeight, 1000.0f);  // the intake shaft, m3/min

    // The road law from the returned pressures: density from the mean end
    // pressure and the road's temperature, draught from the elevations, the
    // alternative resistance where the air runs backwards. Near zero drop the
    // regularising pressure dominates: a floor of the flow at 1e-3 kgf/m2.
    for (int k = 1; k <= doc.roadCount; ++k) {
        const Road& road = doc.roads[size_t(k)];
        const Node& a = doc.nodes[size_t(doc.nodeIndex(road.first))];
        const Node& b = doc.nodes[size_t(doc.nodeIndex(road.second))];
        const double rho = airDensity((a.pressure + b.pressure) / 2, road.initialTemperature);
        const double dp = a.pressure - b.pressure + (a.elevation - b.elevation) * rho;
        const double r = dp < 0 && road.altResistance > 0 ? road.altResistance : road.resistance;
        const double expected = roadLawFlow(dp, rho, r);
        EXPECT_NEAR(road.massFlow, expected, 1e-4 * std::fabs(expected) + roadLawFlow(1e-3, rho, r))
            << "road " << road.first << "-" << road.second;
        if (road.altResistance > 0) {
            EXPECT_EQ(road.roadClass, road.massFlow < 0 ? 2 : 1) << "road " << k;
        }
    }
    EXPECT_GT(doc.altResistanceRoads, 0);

    // Each fan works inside its curve with the network's rise on the curve.
    for (int f = 1; f <= doc.fanCount; ++f) {
        const Fan& fan = doc.fans[size_t(f)];
        const std::vector<double> curve(fan.curve.begin() + 1, fan.curve.begin() + 1 + fan.points);
        const double mean = std::accumulate(curve.begin(), curve.end(), 0.0) / double(curve.size());
        const double pf = (net.pressure(fan.outlet) - net.pressure(fan.inlet)) / kPressureFactor;
        EXPECT_GT(fan.fanFlow, 0.0f) << "fan " << f;
        EXPECT_LT(fan.fanFlow, fan.flowStep * float(fan.points - 1)) << "fan " << f;
        EXPECT_LT(std::fabs(pf - curveAt(curve, fan.flowStep, fan.fanFlow)), 0.001 * mean) << "fan " << f;
    }

    // The ore pass carries its fixed 600 m3/min; the connection 201-202 leaves
    // its ends at one pressure and carries what continuity gives it.
    const int orePass = doc.findRoad(306, 323, RoadScope::All), connection = doc.findRoad(201, 202, RoadScope::All);
    ASSERT_GT(std::min(orePass, connection), doc.roadCount);
    EXPECT_FLOAT_EQ(doc.roads[size_t(orePass)].massFlow, doc.specificWeight * 600.0f);
    EXPECT_EQ(net.pressure(201), net.pressure(202));
    EXPECT_NE(doc.roads[size_t(connection)].massFlow, 0.0f);
}

}  // namespace
}  // namespace orvex::test
