// A water pipe network checked against a hand Hazen-Williams calculation:
// the classic three-reservoir problem with a local loss in one branch.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::analysistest {
namespace {

// Pressures of a water network are gauge pressures in kgf/m², that is
// millimetres of water: 1000 kgf/m² is one metre of head. A free surface is
// at gauge 0, so the head of a reservoir is its elevation, and the head of a
// junction is z + P / 1000.
//
// The program's pipe resistance for a pipe of length L > 0 is
//   R = ρ × 10.676 × L / (D^4.87 × C^1.852),
// and the solver's law for such a pipe is M = G × dp with
//   y = (dp / R)^0.54,  G = ρ / (R × y^0.852)
// (ε, the solver's regularising pressure, is left out; at convergence it is
// 1e-5 kgf/m², far below the drops here). So
//   M = ρ × dp / R × (dp / R)^(-0.54 × 0.852) = ρ × (dp / R)^(1 - 0.46008),
// i.e. Q = M / ρ = (dp / R)^(1/n) with n = 1 / 0.53992 = 1.85213, which is
// Hazen-Williams' head loss
//   h = dp / 1000 = 10.676 × L × Q^n / (C^1.852 × D^4.87)
// with the exponent 1.852 to four digits. The hand calculation uses n as the
// law defines it: with Q^1.852 the flows would differ by about 2e-4 of their
// value, more than the solver's target accuracy for these flows.
//
// For L = 0 the pipe is a local loss with coefficient ζ (in the C field):
// R = ρ × ζ × 0.082711 / D^4 and G = ρ / sqrt(R × dp), so dp = R × Q², i.e.
//   h = ζ × 0.082711 × Q² / D^4 = ζ × v² / (2 × 9.8).
const double kExponent = 1.0 / (1.0 - 0.54 * 0.852);

double hazenWilliamsFlow(double head, double length, double diameter, double c)
{
    const double k = 10.676 * length / (std::pow(c, 1.852) * std::pow(diameter, 4.87));
    const double q = std::pow(std::fabs(head) / k, 1.0 / kExponent);
    return head < 0 ? -q : q;
}

double hazenWilliamsHead(double q, double length, double diameter, double c)
{
    const double k = 10.676 * length / (std::pow(c, 1.852) * std::pow(diameter, 4.87));
    const double h = k * std::pow(std::fabs(q), kExponent);
    return q < 0 ? -h : h;
}

double localLossHead(double q, double diameter, double zeta)
{
    return zeta * 0.082711 * q * std::fabs(q) / std::pow(diameter, 4);
}

TEST(WaterNetwork, ThreeReservoirFlowsMatchHazenWilliams)
{
    // Reservoirs 1 (100 m), 2 (60 m) and 3 (20 m); junction 10 at 0 m feeds
    // reservoir 2 directly and reservoir 3 through a fitting (ζ = 4) to
    // junction 11 at 5 m and a pipe.
    TestNetwork net(/*water=*/true);
    net.surface(1, 100);
    net.surface(2, 60);
    net.surface(3, 20);
    net.underground(10, 0);
    net.underground(11, 5);
    net.pipe(1, 10, 0.30f, 1500, 120);
    net.pipe(10, 2, 0.25f, 1000, 110);
    net.pipe(10, 11, 0.20f, 0, 4);
    net.pipe(11, 3, 0.20f, 800, 130);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    // One unknown: the flow q towards reservoir 3 (m³/s). It fixes the heads
    // of 11 and 10; what flows in from 1 must leave to 2 and 3.
    const auto headAt10 = [](double q) {
        const double h11 = 20 + hazenWilliamsHead(q, 800, 0.20, 130);
        return h11 + localLossHead(q, 0.20, 4);
    };
    const auto surplus = [&](double q) {
        const double h10 = headAt10(q);
        return hazenWilliamsFlow(100 - h10, 1500, 0.30, 120) -
               hazenWilliamsFlow(h10 - 60, 1000, 0.25, 110) - q;
    };
    const double q3 = bisect(surplus, -1, 1);
    const double h10 = headAt10(q3);
    const double h11 = 20 + hazenWilliamsHead(q3, 800, 0.20, 130);
    const double q1 = hazenWilliamsFlow(100 - h10, 1500, 0.30, 120);
    const double q2 = hazenWilliamsFlow(h10 - 60, 1000, 0.25, 110);
    ASSERT_GT(q3, 0.01);
    ASSERT_GT(q2, 0.01);  // the junction's head lies between the reservoirs: all three flow

    // Mass flows, kg/s = 1000 × m³/s. The target accuracy τ = 2.4e-4 kg/s is
    // a mean imbalance per junction; four τ bounds the flow error here.
    const double tolerance = 4 * kTargetImbalance;
    EXPECT_NEAR(doc.roads[1].massFlow, 1000 * q1, tolerance);
    EXPECT_NEAR(doc.roads[2].massFlow, 1000 * q2, tolerance);
    EXPECT_NEAR(doc.roads[3].massFlow, 1000 * q3, tolerance);
    EXPECT_NEAR(doc.roads[4].massFlow, 1000 * q3, tolerance);

    // Gauge pressures of the junctions. A flow error of τ corresponds to a
    // head error of τ / (dM/dp); dM/dp is about 0.002 kg/s per kgf/m² here,
    // so 0.5 kgf/m² (half a millimetre of water) bounds it.
    EXPECT_NEAR(net.pressure(10), 1000 * (h10 - 0), 0.5);
    EXPECT_NEAR(net.pressure(11), 1000 * (h11 - 5), 0.5);
    // Free surfaces stay at gauge 0.
    for (int number : {1, 2, 3})
        EXPECT_EQ(net.pressure(number), 0.0);
}

}  // namespace
}  // namespace orvex::analysistest
