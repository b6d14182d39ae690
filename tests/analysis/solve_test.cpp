// Networks small enough to solve by hand. Expected values come from the road
// law, the gas law and Hazen-Williams alone (bisection on one unknown), never
// from the solver's own intermediate values; only the surface pressures,
// which the solver holds fixed, are read from the document.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "support.h"
#include "analysis/quantities.h"

namespace orvex::test {
namespace {

constexpr double kPressureTolerance = 2e-3;  // kgf/m2: a flow error of tau moves a node by about 3e-4

// Every case is solved with both methods, and must give the hand-solved
// flows with either; the Newton method in a handful of iterations.
class HandSolved : public ::testing::TestWithParam<SolverMethod> {
protected:
    int solved(TestNetwork& net)
    {
        const int result = net.solve().result;
        if (GetParam() == SolverMethod::Newton) {
            EXPECT_LT(net.doc().lastIterations, 30);
        }
        return result;
    }
};

TEST_P(HandSolved, NaturalDraughtParallelRoadsShareTheFlowAsTheLawRequires)
{
    // Node 20 at -300 m joined to collar 1 by a cold road (5 C) and a hot one
    // (35 C, entered from 20 to 1), and to collar 2 at the same elevation by a
    // road at 20 C. Down the cold road, up the others. One unknown: p at 20.
    TestNetwork net;
    net.method = GetParam();
    net.surfaceTemperature = 15;
    net.surface({{1, 0}, {2, 0}});
    net.underground({{20, -300}});
    net.road(1, 20, 0.6f, 5);
    net.road(20, 1, 0.9f, 35);
    net.road(20, 2, 0.5f, 20);
    ASSERT_EQ(solved(net), 1) << net.reporter.all();

    const double ps = net.pressure(1);
    const auto flows = [&](double p) {
        return std::vector<double>{flowBetween(ps, p, 0, -300, 5, 0.6), flowBetween(p, ps, -300, 0, 35, 0.9),
                                   flowBetween(p, ps, -300, 0, 20, 0.5)};
    };
    const double p20 = bisect([&](double p) { auto m = flows(p); return m[0] - m[1] - m[2]; }, ps, ps + 800);
    const std::vector<double> expected = flows(p20);
    ASSERT_GT(std::min({expected[0] - 5, expected[1], expected[2]}), 1.0);
    for (int k = 1; k <= 3; ++k)
        EXPECT_NEAR(net.flow(k), expected[size_t(k - 1)], kFlowTolerance) << "road " << k;
    EXPECT_NEAR(net.pressure(20), p20, kPressureTolerance);
}

TEST_P(HandSolved, PairedNodesTwinRoadsBetweenThemSplitTheFlowEvenly)
{
    // 600 m3/min pushed into node 100, through two equal roads to node 110
    // and out to the surface; all at one elevation, so no draught. The two
    // nodes form the solver's pair: their coupling is both roads together,
    // and each road takes half of the flow. With the installation's strong
    // relaxation a coupling of one road alone drives the pair apart.
    UnitsSettings units = standardUnits();
    units.relaxation = 1.9f;
    units.innerSweeps = 10;
    TestNetwork net(false, units);
    net.method = GetParam();
    net.surface({{1, 0}, {2, 0}});
    net.underground({{100, 0}, {110, 0}});
    const int twinA = net.road(100, 110, 0.05f);
    const int twinB = net.road(100, 110, 0.05f);
    const int out = net.road(110, 2, 0.05f);
    net.fixedRoad(1, 100, 600);
    ASSERT_EQ(solved(net), 1) << net.reporter.all();
    ASSERT_TRUE(allResultsFinite(net.doc()));
    EXPECT_NEAR(net.flow(twinA), 300 * kGammaQ, kFlowTolerance);
    EXPECT_NEAR(net.flow(twinB), 300 * kGammaQ, kFlowTolerance);
    EXPECT_NEAR(net.flow(out), 600 * kGammaQ, kFlowTolerance);
}

// Water pressures are gauge kgf/m2 (1000 = one metre of head). The pipe law
// M = rho (dp / R)^(1 - 0.54 x 0.852) with R = rho 10.676 L / (D^4.87 C^1.852)
// is Hazen-Williams h = 10.676 L Q^n / (C^1.852 D^4.87) with n = 1 / 0.53992
// = 1.85213 (with 1.852 the flows would differ by 2e-4 of their value). A
// pipe of length 0 is a local loss h = zeta 0.082711 Q^2 / D^4 = zeta v^2 / 2g.
double hazenWilliamsHead(double q, double length, double d, double c)
{
    const double n = 1.0 / (1.0 - 0.54 * 0.852);
    return std::copysign(10.676 * length * std::pow(std::fabs(q), n) / (std::pow(c, 1.852) * std::pow(d, 4.87)), q);
}

TEST_P(HandSolved, WaterNetworkThreeReservoirFlowsMatchHazenWilliams)
{
    // Reservoirs 1 (100 m), 2 (60 m) and 3 (20 m); junction 10 at 0 m feeds
    // reservoir 2 and, through a fitting (zeta 4) to junction 11 at 5 m and a
    // pipe, reservoir 3.
    TestNetwork net(/*water=*/true);
    net.method = GetParam();
    net.surface({{1, 100}, {2, 60}, {3, 20}});
    net.underground({{10, 0}, {11, 5}});
    net.pipe(1, 10, 0.30f, 1500, 120);
    net.pipe(10, 2, 0.25f, 1000, 110);
    net.pipe(10, 11, 0.20f, 0, 4);
    net.pipe(11, 3, 0.20f, 800, 130);
    // Before a run: the static head below the highest reservoir.
    net.build();
    EXPECT_EQ(std::pair(net.pressure(10), net.pressure(11)), std::pair(100000.0, 95000.0));
    ASSERT_EQ(solved(net), 1) << net.reporter.all();

    // One unknown, the flow q to reservoir 3 (m3/s): it fixes the heads of 11
    // and 10, and what comes from 1 must leave to 2 and 3.
    const auto flow = [](double head, double length, double d, double c) {
        return bisect([&](double q) { return hazenWilliamsHead(q, length, d, c) - head; }, -10, 10);
    };
    const auto h11 = [](double q) { return 20 + hazenWilliamsHead(q, 800, 0.20, 130); };
    const auto h10 = [&](double q) { return h11(q) + 4 * 0.082711 * q * std::fabs(q) / std::pow(0.20, 4); };
    const auto q1 = [&](double q) { return flow(100 - h10(q), 1500, 0.30, 120); };
    const auto q2 = [&](double q) { return flow(h10(q) - 60, 1000, 0.25, 110); };
    const double q3 = bisect([&](double q) { return q1(q) - q2(q) - q; }, -1, 1);
    ASSERT_GT(std::min(q2(q3), q3), 0.01);  // the junction's head lies between the reservoirs

    const double expected[] = {0, q1(q3), q2(q3), q3, q3};
    for (int k = 1; k <= 4; ++k)
        EXPECT_NEAR(net.flow(k), 1000 * expected[k], kFlowTolerance) << "pipe " << k;  // kg/s
    // dM/dp is about 0.002 kg/s per kgf/m2: half a millimetre of head bounds a flow error of tau.
    EXPECT_NEAR(net.pressure(10), 1000 * h10(q3), 0.5);
    EXPECT_NEAR(net.pressure(11), 1000 * (h11(q3) - 5), 0.5);
    for (int number : {1, 2, 3})
        EXPECT_EQ(net.pressure(number), 0.0);  // free surfaces

    // The loss shown for each pipe is its head loss by hand, in Pa.
    const double heads[] = {0, hazenWilliamsHead(q1(q3), 1500, 0.30, 120),
                            hazenWilliamsHead(q2(q3), 1000, 0.25, 110),
                            4 * 0.082711 * q3 * std::fabs(q3) / std::pow(0.20, 4),
                            hazenWilliamsHead(q3, 800, 0.20, 130)};
    for (int k = 1; k <= 4; ++k) {
        float loss = 0;
        roadValue(net.doc(), k, 4, loss);
        EXPECT_NEAR(loss, 1000 * heads[k] / kPressureFactor, 0.002 * 1000 * heads[1] / kPressureFactor)
            << "pipe " << k;
    }
}

TEST_P(HandSolved, ZeroFlowRoadsMergeTheirNodesAndCarryTheContinuityFlow)
{
    // Level, no draught. 600 m3/min pushed from collar 1 into node 10 leave by
    // road A to collar 2 and, through connections without resistance 10-11
    // and 11-13, by road B from 13 to 12, which is connected to collar 3,
    // connected to collar 2. So 10, 11 and 13 act as one node, 12 as the
    // collars. With a second connection 10-11 nothing tells how the air
    // divides between the two: both stay 0.
    for (const bool parallel : {false, true}) {
        SCOPED_TRACE(parallel ? "two connections 10-11" : "one connection 10-11");
        TestNetwork net;
        net.method = GetParam();
        net.surface({{1, 0}, {2, 0}, {3, 0}});
        net.underground({{10, 0}, {11, 0}, {12, 0}, {13, 0}});
        const int a = net.road(10, 2, 0.4f), b = net.road(13, 12, 0.8f);
        const int pushed = net.fixedRoad(1, 10, 600), join = net.fixedRoad(10, 11, 0), chain = net.fixedRoad(11, 13, 0);
        const int toCollar = net.fixedRoad(3, 12, 0), collars = net.fixedRoad(2, 3, 0);
        const int second = parallel ? net.fixedRoad(10, 11, 0) : 0;
        ASSERT_EQ(solved(net), 1) << net.reporter.all();

        const double ps = net.pressure(2);
        const auto viaB = [&](double p) { return flowBetween(p, ps, 0, 0, 20, 0.8); };
        const double p = bisect([&](double x) { return kGammaQ * 600 - flowBetween(x, ps, 0, 0, 20, 0.4) - viaB(x); }, ps, ps + 100);
        EXPECT_EQ(std::make_pair(net.pressure(11), net.pressure(13)), std::make_pair(net.pressure(10), net.pressure(10)));
        EXPECT_EQ(net.pressure(12), ps);
        EXPECT_NEAR(net.pressure(10), p, kPressureTolerance);
        EXPECT_NEAR(net.flow(a), flowBetween(p, ps, 0, 0, 20, 0.4), kFlowTolerance);
        EXPECT_NEAR(net.flow(b), viaB(p), kFlowTolerance);
        EXPECT_NEAR(net.flow(pushed), kGammaQ * 600, 1e-5);
        // Continuity: a connection carries what its first end does not pass
        // on; from a collar, what its second end passes on; between collars
        // the smallest settled value.
        if (parallel) {
            EXPECT_EQ(std::make_pair(net.flow(join), net.flow(second)), std::make_pair(0.0f, 0.0f));
        } else {
            EXPECT_NEAR(net.flow(join), net.flow(pushed) - net.flow(a), 1e-5);
            EXPECT_LE(meanImbalance(net.doc()), kTau);
        }
        EXPECT_NEAR(net.flow(chain), net.flow(b), kFlowTolerance);
        EXPECT_NEAR(net.flow(toCollar), -net.flow(b), 1e-5);
        EXPECT_FLOAT_EQ(net.flow(collars), float(kTau * 0.001));
        // The roads have their own ends again.
        const Road& roadB = net.doc().roads[size_t(b)];
        EXPECT_EQ(std::make_tuple(roadB.first, roadB.second, net.doc().nodes[size_t(net.index(12))].degree),
                  std::make_tuple(13, 12, 1));
    }
}

TEST_P(HandSolved, ZeroFlowRoadsConnectionActsTheSameWhicheverWayItIsWritten)
{
    // Collars 1 (0 m) and 2 (+30 m), node 10 at +30 m in the hillside, warm
    // road 1-10 (40 C), road 10-2, 600 m3/min pushed from 1 into 10 and a
    // connection between 10 and 2. The connection holds 10 at the pressure
    // of collar 2, so road 10-2 carries nothing, road 1-10 carries what its
    // draught drives between the two collar pressures, and the connection
    // takes the 600 m3/min and that draught flow out to collar 2.
    struct Result {
        double p10, p2, road1, road2, connection;  // connection + from 10 to 2
    };
    const auto run = [this](bool fromSurface) {
        TestNetwork net;
        net.method = GetParam();
        net.surface({{1, 0}, {2, 30}});
        net.underground({{10, 30}});
        const int r1 = net.road(1, 10, 0.5f, 40), r2 = net.road(10, 2, 0.5f);
        net.fixedRoad(1, 10, 600);
        const int join = fromSurface ? net.fixedRoad(2, 10, 0) : net.fixedRoad(10, 2, 0);
        const double collar = net.build().nodes[2].pressure;
        EXPECT_EQ(solved(net), 1);
        EXPECT_EQ(net.pressure(2), collar);  // a surface node keeps its pressure
        return Result{net.pressure(10), net.pressure(2), net.flow(r1), net.flow(r2),
                      (fromSurface ? -1 : 1) * double(net.flow(join))};
    };
    const Result down = run(false), up = run(true);
    for (const Result& r : {down, up}) {
        EXPECT_NEAR(r.p10, r.p2, 1e-6);
        EXPECT_NEAR(r.road2, 0, kFlowTolerance);
        EXPECT_NEAR(r.connection, kGammaQ * 600 + r.road1 - r.road2, 1e-4);
    }
    EXPECT_GT(down.road1, 0.5);  // the warm road's draught, about 1.2 kg/s
    EXPECT_NEAR(down.road1, up.road1, 0.01);
    EXPECT_NEAR(down.connection, up.connection, 0.01);
}

TEST_P(HandSolved, AlternativeResistanceReversedRoadUsesItAndRoadsShowTheirFlowsAndLoss)
{
    // 600 m3/min pushed from collar 1 into node 10 by a fixed-flow road leave
    // to collar 2 by three roads:
    //   A entered from 2 to 10 (its airflow negative), R 0.5, alternative 2.0;
    //   B from 10 to 2, R 1.0, no alternative;
    //   C from 10 to 2, R 1.0, alternative 5.0 (forward: not used), warm.
    // Reversed, A takes its alternative: with R 0.5 it would take twice the air.
    TestNetwork net;
    net.method = GetParam();
    net.surface({{1, 0}, {2, 0}});
    net.underground({{10, 0}});
    const int a = net.road(2, 10, 0.5f, 20, 2.0f), b = net.road(10, 2, 1.0f), c = net.road(10, 2, 1.0f, 35, 5.0f);
    const int fixed = net.fixedRoad(1, 10, 600);
    ASSERT_EQ(solved(net), 1) << net.reporter.all();
    CBriscoDoc& doc = net.doc();

    const double ps = net.pressure(2);
    const auto flows = [&](double p) {
        return std::vector<double>{-flowBetween(p, ps, 0, 0, 20, 2.0), flowBetween(p, ps, 0, 0, 20, 1.0),
                                   flowBetween(p, ps, 0, 0, 35, 1.0)};
    };
    const double p = bisect([&](double x) { auto m = flows(x); return kGammaQ * 600 + m[0] - m[1] - m[2]; }, ps, ps + 100);
    for (const int k : {a, b, c})
        EXPECT_NEAR(net.flow(k), flows(p)[size_t(k - 1)], kFlowTolerance) << "road " << k;
    EXPECT_EQ(std::make_tuple(doc.roads[size_t(a)].roadClass, doc.roads[size_t(b)].roadClass, doc.roads[size_t(c)].roadClass),
              std::make_tuple(2, 0, 1));  // a road without alternative is never classed

    // Kinds: 1 standard flow and 2 flow at the road's own density (m3/min), 3
    // direction, 4 pressure loss (Pa, first end to second) from the road law
    // with the resistance in use, so the pressure difference of the ends.
    const double rhoC = airDensity((net.pressure(10) + ps) / 2, 35);
    const double drop = (net.pressure(10) - ps) / kPressureFactor;
    ASSERT_GT(kStandardDensity / rhoC, 1.04);  // warm air: a larger volume
    const struct {
        int road, kind;
        double expected, tolerance;
    } cases[] = {
        {fixed, 1, 600, 0}, {fixed, 2, 600, 0},  // a fixed-flow road shows its airflow as entered
        {fixed, 4, (net.pressure(1) - net.pressure(10)) / kPressureFactor, 1e-3},
        {c, 1, net.flow(c) / kGammaQ, 0.01}, {c, 2, net.flow(c) / kGammaQ * kStandardDensity / rhoC, 0.01},
        {c, 3, 1, 0}, {c, 4, drop, 0.01}, {c, 4, roadLawDrop(net.flow(c), rhoC, 1.0) / kPressureFactor, 0.01},
        {a, 3, 2, 0}, {a, 4, -drop, 0.01},
    };
    for (const auto& v : cases) {
        float value = -1;
        ASSERT_TRUE(roadValue(doc, v.road, v.kind, value));
        EXPECT_NEAR(value, v.expected, v.tolerance) << "road " << v.road << " kind " << v.kind;
    }
    for (int kind : {0, 11, 12, 15, 16, 17, 18, 19}) {
        float value = -42;
        EXPECT_FALSE(roadValue(doc, 1, kind, value) || value != -42) << "kind " << kind;  // left as it was
    }
    int shown = 0;  // the iterator walks normal and fixed-flow roads
    RecordCursor cursor;
    for (float value = 0; nextRoadValue(doc, cursor, 1, value) == 1;)
        ++shown;
    EXPECT_EQ(shown, 4);
}

INSTANTIATE_TEST_SUITE_P(Methods, HandSolved, ::testing::Values(SolverMethod::Relaxation, SolverMethod::Newton),
                         [](const auto& info) { return info.param == SolverMethod::Newton ? "Newton" : "Relaxation"; });

}  // namespace
}  // namespace orvex::test
