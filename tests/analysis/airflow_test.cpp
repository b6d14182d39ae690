// Air networks small enough to solve by hand: natural draught through roads
// in series and in parallel, and a fan working against two roads. The
// expected values come from the road law and the gas law alone (bisection on
// one unknown), never from the solver's own intermediate values; only the
// surface pressures, which the solver holds fixed, are read from the document.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::analysistest {
namespace {

constexpr double kRuf = kResistanceFactor;
constexpr double kPuf = kPressureFactor;

// The pressure at the far end b of a road (elevations za, zb, temperature t,
// resistance r) carrying mass flow m from a, when a is at pa: the road law
// pa - pb + (za - zb) ρ = f_R r m|m| / (ρ ρs), with ρ the specific weight of
// air at the mean pressure of the two ends. ρ depends on pb only weakly
// (dρ/dp × Δz is of order 0.02), so a plain fixed-point iteration converges.
double pressureDownstream(double pa, double za, double zb, double t, double r, double m)
{
    double pb = pa + (za - zb) * 1.2;
    for (int n = 0; n < 200; ++n) {
        const double rho = airDensity((pa + pb) / 2, t);
        pb = pa + (za - zb) * rho - roadLawDrop(m, rho, r, kRuf);
    }
    return pb;
}

// The same law solved for the near end a when the far end b is at pb.
double pressureUpstream(double pb, double za, double zb, double t, double r, double m)
{
    double pa = pb - (za - zb) * 1.2;
    for (int n = 0; n < 200; ++n) {
        const double rho = airDensity((pa + pb) / 2, t);
        pa = pb - (za - zb) * rho + roadLawDrop(m, rho, r, kRuf);
    }
    return pa;
}

// Surface pressures of load preparation, worked out here in double
// precision: standard atmosphere at the mean surface elevation zm, then a
// column of air at the surface temperature to each node.
double surfacePressure(double zm, double z, double surfaceTemperature)
{
    const double pm = 10336.0 * std::pow(1.0 - 2.257e-05 * zm, 5.256);
    return (zm - z) * pm / ((surfaceTemperature + 273.15) * 29.27) + pm;
}

// How closely a converged solve reproduces a hand-calculated flow. The solver
// stops once the mean imbalance per underground node is below the target
// τ = 2.4e-4 kg/s; in these networks a flow error of that order moves the
// underground pressures by about τ / (dM/dp) ≈ 3e-4 kgf/m² and every flow by
// a few τ. Four τ (1e-3 kg/s, 0.05 m³/min of air) leaves room for that and for
// single-precision flows of about 30 kg/s.
constexpr double kFlowTolerance = 4 * kTargetImbalance;
constexpr double kPressureTolerance = 2e-3;  // kgf/m², 0.02 Pa

TEST(NaturalDraught, RoadsInSeriesCarryTheHandCalculatedFlow)
{
    // Cold downcast from collar 1 (0 m) to the level at -250 m, a drift, and a
    // warm upcast to collar 2 at +60 m. The draught around the loop,
    // 250 ρ(8 °C) - 310 ρ(30 °C) + 60 ρ(surface air), is about 26 kgf/m².
    TestNetwork net;
    net.surfaceTemperature = 15;
    net.surface(1, 0);
    net.surface(2, 60);
    net.underground(10, -250);
    net.underground(11, -250);
    net.road(1, 10, 0.4f, 8);
    net.road(10, 11, 0.05f, 22);
    net.road(11, 2, 0.3f, 30);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    const double p1 = net.pressure(1), p2 = net.pressure(2);
    EXPECT_NEAR(p1, surfacePressure(30, 0, 15), 2e-3);  // single-precision preparation
    EXPECT_NEAR(p2, surfacePressure(30, 60, 15), 2e-3);

    // One unknown: the flow m. Walk the chain from collar 1 and compare the
    // pressure that arrives at collar 2 with the one held there.
    const auto arrival = [&](double m) {
        const double p10 = pressureDownstream(p1, 0, -250, 8, 0.4, m);
        const double p11 = pressureDownstream(p10, -250, -250, 22, 0.05, m);
        return pressureDownstream(p11, -250, 60, 30, 0.3, m) - p2;
    };
    const double m = bisect(arrival, -200, 200);
    const double p10 = pressureDownstream(p1, 0, -250, 8, 0.4, m);
    const double p11 = pressureDownstream(p10, -250, -250, 22, 0.05, m);
    ASSERT_GT(m, 15.0);  // the warm side rises: a real draught, not a trivial zero

    for (int k = 1; k <= 3; ++k)
        EXPECT_NEAR(doc.roads[size_t(k)].massFlow, m, kFlowTolerance) << "road " << k;
    EXPECT_NEAR(net.pressure(10), p10, kPressureTolerance);
    EXPECT_NEAR(net.pressure(11), p11, kPressureTolerance);
    // The surface pressures were held.
    EXPECT_EQ(net.pressure(1), p1);
    EXPECT_EQ(net.pressure(2), p2);
}

TEST(NaturalDraught, ParallelRoadsShareTheFlowAsTheLawRequires)
{
    // Node 20 at -300 m is joined to collar 1 by a cold road (5 °C) and a hot
    // road (35 °C, entered from 20 to 1), and to collar 2, at the same
    // elevation as collar 1, by a road at 20 °C. Cold air sinks in the first
    // road and rises in the other two. One unknown: the pressure at 20.
    TestNetwork net;
    net.surfaceTemperature = 15;
    net.surface(1, 0);
    net.surface(2, 0);
    net.underground(20, -300);
    net.road(1, 20, 0.6f, 5);
    net.road(20, 1, 0.9f, 35);
    net.road(20, 2, 0.5f, 20);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    const double ps = net.pressure(1);
    ASSERT_EQ(net.pressure(2), ps);
    const auto flows = [&](double p20) {
        return std::vector<double>{flowBetween(ps, p20, 0, -300, 5, 0.6),
                                   flowBetween(p20, ps, -300, 0, 35, 0.9),
                                   flowBetween(p20, ps, -300, 0, 20, 0.5)};
    };
    const double p20 = bisect(
        [&](double p) {
            const std::vector<double> m = flows(p);
            return m[0] - m[1] - m[2];  // net inflow into node 20
        },
        ps, ps + 800);
    const std::vector<double> expected = flows(p20);
    ASSERT_GT(expected[0], 5.0);
    ASSERT_GT(expected[1], 1.0);  // hot road: upcast, from 20 to 1
    ASSERT_GT(expected[2], 1.0);

    for (int k = 1; k <= 3; ++k)
        EXPECT_NEAR(doc.roads[size_t(k)].massFlow, expected[size_t(k - 1)], kFlowTolerance)
            << "road " << k;
    EXPECT_NEAR(net.pressure(20), p20, kPressureTolerance);
    EXPECT_NEAR(netInflow(doc, net.index(20)), 0.0, kTargetImbalance);
}

TEST(NaturalDraught, DeadEndHeadingCarriesNoAir)
{
    // A heading from the warm return up to collar 2 that ends blind at node
    // 12, 240 m below the collar: a standing column of air with a large
    // draught term (Pn ≈ 290 kgf/m²) and, at rest, a very large conductance.
    // Nothing can flow through a dead end; its flow is node 12's imbalance,
    // which the stopping rule keeps below 3 τ (three underground nodes).
    TestNetwork net;
    net.surfaceTemperature = 15;
    net.surface(1, 0);
    net.surface(2, 40);
    net.underground(10, -200);
    net.underground(11, -200);
    net.underground(12, -200);
    net.road(1, 10, 0.4f, 8);
    net.road(10, 11, 0.2f, 20);
    net.road(11, 2, 0.3f, 30);
    const int heading = net.road(12, 2, 0.5f, 20);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1);
    EXPECT_NEAR(doc.roads[size_t(heading)].massFlow, 0.0, 3 * kTargetImbalance);
    EXPECT_LE(meanImbalance(doc), kTargetImbalance);
    // The blind end holds the static pressure of the heading's air column.
    const double p2 = net.pressure(2);
    const double p12 = bisect([&](double p) { return flowBetween(p, p2, -200, 40, 20, 0.5); },
                              p2, p2 + 600);
    EXPECT_NEAR(net.pressure(12), p12, kPressureTolerance);
}

TEST(NaturalDraught, LevelNetworkWithoutFansStaysAtRest)
{
    // One node joined by two equal roads to two collars at the same elevation,
    // everything at the surface temperature: nothing drives air.
    TestNetwork net;
    net.surface(1, 100);
    net.surface(2, 100);
    net.underground(5, 100);
    net.road(1, 5, 0.5f, 20);
    net.road(5, 2, 0.5f, 20);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1);
    EXPECT_NEAR(doc.roads[1].massFlow, 0.0, kTargetImbalance);
    EXPECT_NEAR(doc.roads[2].massFlow, 0.0, kTargetImbalance);
    EXPECT_NEAR(net.pressure(5), net.pressure(1), kPressureTolerance);
}

// A main fan between two underground nodes, with an intake road from collar 1
// and an exhaust road to collar 2; everything level and at the surface
// temperature, so there is no draught. Curve in Pa at steps of 300 m³/min.
class FanNetwork : public ::testing::Test {
protected:
    const std::vector<double> curve{2000, 1950, 1850, 1650, 1350, 900, 300};
    const double step = 300;
    const double r1 = 0.8, r2 = 0.6;

    void SetUp() override
    {
        net.surface(1, 0);
        net.surface(2, 0);
        net.underground(10, 0);
        net.underground(11, 0);
        net.road(1, 10, float(r1), 20);
        net.road(11, 2, float(r2), 20);
        net.fan(10, 11, float(step), {2000, 1950, 1850, 1650, 1350, 900, 300});
        net.build();
    }

    // The rise (Pa) that the two roads need for a fan airflow q (m³/min).
    double networkRise(double q) const
    {
        const double ps = net.doc().nodes[1].pressure;
        const double m = kGammaQ * q;
        const double p10 = pressureDownstream(ps, 0, 0, 20, r1, m);
        const double p11 = pressureUpstream(ps, 0, 0, 20, r2, m);
        return (p11 - p10) / kPuf;
    }

    mutable TestNetwork net;
};

TEST_F(FanNetwork, OperatingPointLiesOnTheCurveAndMatchesTheNetwork)
{
    CBriscoDoc& doc = net.doc();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    const Fan& fan = doc.fans[1];
    double mean = 0;
    for (const double p : curve)
        mean += p / double(curve.size());
    const double qf = fan.fanFlow;
    const double pf = (net.pressure(11) - net.pressure(10)) / kPuf;

    // Settled: the network's rise equals the curve at the fan's airflow within
    // a thousandth of the mean curve pressure.
    EXPECT_LT(std::fabs(pf - curveAt(curve, step, qf)), 0.001 * mean);
    EXPECT_NEAR(fan.pressure, curveAt(curve, step, qf), 0.01);

    // The rise across the fan is what the two roads need for its airflow. A
    // flow error of kFlowTolerance in 30 kg/s changes the square-law drop of
    // about 885 Pa by 2 × 1e-3 / 30 of it: 0.06 Pa.
    EXPECT_NEAR(pf, networkRise(qf), 0.06);
    // Mass balance: both roads carry the fan's airflow.
    EXPECT_NEAR(doc.roads[1].massFlow, kGammaQ * qf, kFlowTolerance);
    EXPECT_NEAR(doc.roads[2].massFlow, kGammaQ * qf, kFlowTolerance);

    // The operating point by hand: where the curve meets the network's
    // characteristic. The settled test leaves |curve - network| up to 0.001 ×
    // mean, which moves the crossing by that much over the sum of the two
    // slopes there.
    const double q = bisect([&](double x) { return curveAt(curve, step, x) - networkRise(x); }, 0,
                            step * double(curve.size() - 1));
    const double curveSlope = std::fabs(curveAt(curve, step, q + 1) - curveAt(curve, step, q - 1)) / 2;
    const double networkSlope = (networkRise(q + 1) - networkRise(q - 1)) / 2;
    ASSERT_GT(q, 1200.0);
    ASSERT_LT(q, 1800.0);
    EXPECT_NEAR(qf, q, 0.001 * mean / (curveSlope + networkSlope) + 0.01);
}

TEST_F(FanNetwork, PressureLossWalkAgreesWithRelativePressures)
{
    // Without draught the loss walked from the surface along each road is the
    // node's pressure above the surface.
    CBriscoDoc& doc = net.doc();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1);
    doc.computeRelativePressures();
    std::vector<float> relative;
    for (int i = 1; i <= doc.nodeCount; ++i)
        relative.push_back(doc.nodes[size_t(i)].displayValue);
    doc.walkPressureLoss();
    EXPECT_TRUE(net.reporter.messages.empty()) << net.reporter.all();
    for (int i = 1; i <= doc.nodeCount; ++i)
        EXPECT_NEAR(doc.nodes[size_t(i)].displayValue, relative[size_t(i - 1)], 0.05)
            << "node " << doc.nodes[size_t(i)].number;
    EXPECT_LT(relative[size_t(net.index(10) - 1)], -100.0f);  // suction side of the fan
    EXPECT_GT(relative[size_t(net.index(11) - 1)], 100.0f);
}

}  // namespace
}  // namespace orvex::analysistest
