// The Newton method beside the relaxation: the same flows on the samples, a
// handful of iterations where the relaxation needs hundreds or cannot
// converge at all, fans held at the ends of their curves, and input that
// leaves the linear system singular.
// (The hand-solved networks run with both methods in solve_test.cpp, the
// family of small fan networks in family_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/quantities.h"
#include "analysis/solver.h"
#include "model/networkio.h"
#include "model/units.h"
#include "support.h"

namespace orvex::test {
namespace {

constexpr int kFewIterations = 30;

// Both methods' road and fan flows agree within a thousandth of the largest
// road flow (kg/s).
void expectSameFlows(const CBriscoDoc& relaxed, const CBriscoDoc& newton)
{
    double largest = 0;
    for (int k = 1; k <= relaxed.totalRoads(); ++k)
        largest = std::max(largest, double(std::fabs(relaxed.roads[size_t(k)].massFlow)));
    ASSERT_GT(largest, 1.0);
    const double tolerance = 1e-3 * largest;
    for (int k = 1; k <= relaxed.totalRoads(); ++k) {
        const Road& road = relaxed.roads[size_t(k)];
        EXPECT_NEAR(newton.roads[size_t(k)].massFlow, road.massFlow, tolerance)
            << "road " << road.first << "-" << road.second;
        EXPECT_EQ(newton.roads[size_t(k)].roadClass, road.roadClass) << "road " << road.first << "-" << road.second;
    }
    for (int f = 1; f <= relaxed.fanCount; ++f)
        EXPECT_NEAR(relaxed.specificWeight * newton.fans[size_t(f)].fanFlow,
                    relaxed.specificWeight * relaxed.fans[size_t(f)].fanFlow, tolerance)
            << "fan " << f;
}

// Each sample solved with each method, as the dialog's Start does with the
// fire left out (the fire sample has a finish time).
class Samples : public testing::TestWithParam<const char*> {};

TEST_P(Samples, BothMethodsGiveTheSameFlows)
{
    TestNetwork relaxation(false, shippedUnits()), newtonNet(false, shippedUnits());
    openSample(relaxation, GetParam()), openSample(newtonNet, GetParam());
    newtonNet.doc().solverMethod = SolverMethod::Newton;
    const RunOutcome outcome = runAnalysis(relaxation.doc(), relaxation.dialog, true);
    ASSERT_EQ(std::make_pair(outcome.result, outcome.fire), std::make_pair(1, false)) << relaxation.reporter.all();
    ASSERT_EQ(runAnalysis(newtonNet.doc(), newtonNet.dialog, true).result, 1) << newtonNet.reporter.all();
    const CBriscoDoc& newton = newtonNet.doc();
    EXPECT_LT(newton.lastIterations, kFewIterations);
    EXPECT_TRUE(allResultsFinite(newton));
    EXPECT_LE(meanImbalance(newton), kTau);
    EXPECT_EQ(newtonNet.reporter.all(), relaxation.reporter.all());  // no warning of its own
    expectSameFlows(relaxation.doc(), newton);
}

INSTANTIATE_TEST_SUITE_P(Data, Samples, testing::Values("water.vad", "built.vad", "minefire.vad"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(0, std::string(info.param).find('.'));
                         });

// Three roads of very low resistance in series, bridged by one of very
// high resistance, between an intake and an exhaust road: the node sweeps
// correct the chain's two pairs one after the other through a coupling of
// 1e5 times the others' conductance and never settle, the whole-network
// step does not care. Chosen, the relaxation runs to its limit and the
// Newton method, run after it, gives the results, and the run says so.
TEST(StiffLoop, RelaxationStopsAtItsLimitNewtonConvergesToTheHandSolution)
{
    const auto build = [](TestNetwork& net) {
        net.surface({{1, 0}, {2, 0}});
        net.underground({{10, 0}, {11, 0}, {12, 0}, {13, 0}});
        net.road(1, 10, 0.5f), net.road(10, 11, 1e-5f), net.road(11, 12, 1e-5f), net.road(12, 13, 1e-5f);
        net.road(13, 2, 0.5f), net.road(10, 13, 100);
        net.fixedRoad(1, 10, 600);
    };
    TestNetwork relaxed(false, shippedUnits()), newtonNet(false, shippedUnits());
    build(relaxed), build(newtonNet);
    newtonNet.method = SolverMethod::Newton;
    const RunOutcome fellBack = relaxed.solve();
    EXPECT_EQ(std::make_tuple(fellBack.result, fellBack.chosenMethod, fellBack.method),
              std::make_tuple(1, SolverMethod::Relaxation, SolverMethod::Newton));
    const int limit = shippedUnits().maxIteration;
    const int newtonIterations = relaxed.doc().lastIterations;
    EXPECT_LT(newtonIterations, kFewIterations);
    EXPECT_EQ(int(relaxed.dialog.statusLines.size()), limit - 1 + newtonIterations);
    EXPECT_EQ(relaxed.dialog.statusLines[size_t(limit - 2)].substr(0, 5), std::to_string(limit - 1) + ":");
    EXPECT_EQ(relaxed.dialog.methodLines,
              (std::vector<std::string>{"Solving with the relaxation",
                                        "Solving with the Newton method (the relaxation did not converge)",
                                        "Results of the Newton method (the relaxation did not converge)"}));
    EXPECT_EQ(relaxed.reporter.all(), "[The relaxation did not converge in " + std::to_string(limit - 1) +
                                        " iterations; the Newton method did, in " +
                                        std::to_string(newtonIterations) + ", and gave the results.]\n");
    ASSERT_EQ(newtonNet.solve().result, 1) << newtonNet.reporter.all();
    EXPECT_EQ(newtonNet.doc().lastIterations, newtonIterations);
    EXPECT_EQ(newtonNet.dialog.methodLines.back(), "Results of the Newton method");
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(relaxed.flow(k), newtonNet.flow(k)) << "road " << k;

    // By hand, level and at one temperature (no draught): for a pressure p
    // at node 10 the intake road brings M_in from collar 1, the exhaust
    // road takes M_in + 600 m3/min to collar 2 from p13, and between 10 and
    // 13 the chain (as one road of 3e-5, its three ends at nearly one
    // pressure) and the bridge must carry that together.
    const double p1 = newtonNet.pressure(1), p2 = newtonNet.pressure(2);
    const auto upstream = [&](double m) { return bisect([&](double p) { return flowBetween(p, p2, 0, 0, 20, 0.5) - m; }, p2, p2 + 500); };
    const auto out = [&](double p10) { return flowBetween(p1, p10, 0, 0, 20, 0.5) + kGammaQ * 600; };
    const double p10 = bisect([&](double p) {
        const double p13 = upstream(out(p));
        return flowBetween(p, p13, 0, 0, 20, 3e-5) + flowBetween(p, p13, 0, 0, 20, 100) - out(p);
    }, p2, p1 + 500);
    const double p13 = upstream(out(p10));
    EXPECT_NEAR(newtonNet.flow(1), out(p10) - kGammaQ * 600, kFlowTolerance);
    for (int k : {2, 3, 4})
        EXPECT_NEAR(newtonNet.flow(k), flowBetween(p10, p13, 0, 0, 20, 3e-5), kFlowTolerance) << "road " << k;
    EXPECT_NEAR(newtonNet.flow(6), flowBetween(p10, p13, 0, 0, 20, 100), 1e-2 * kTau);
    EXPECT_NEAR(newtonNet.pressure(10), p10, 1e-3);
}

// A fan whose operating point would lie beyond an end of its curve is held
// at that end, moves that airflow, and is named.
TEST(FanOffItsCurve, IsHeldAtTheEndAndNamed)
{
    const struct {
        const char* name;
        std::vector<float> curve;  // Pa at steps of 500 m3/min
        float pushed;              // m3/min pushed into the fan's outlet
        float held;                // m3/min the fan is held at
        const char* said;
    } cases[] = {
        // The curve rises to 300 Pa at 1000 m3/min; the roads need 83 Pa there.
        {"rising curve: beyond its last point", {100, 200, 300}, 0, 1000, "fan 10-11 beyond the last point of its curve"},
        // 4000 m3/min pushed into its outlet hold that 667 Pa above the surface.
        {"against the pushed air: below zero", {400, 300, 0}, 4000, 0, "Fan 10-11 cannot start: its shut-off pressure, 400.000 Pa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestNetwork net;
        net.method = SolverMethod::Newton;
        net.surface({{1, 0}, {2, 0}});
        net.underground({{10, 0}, {11, 0}});
        net.road(1, 10, 0.15f), net.road(11, 2, 0.15f);
        net.fan(10, 11, 500, c.curve);
        if (c.pushed > 0)
            net.fixedRoad(1, 11, c.pushed);
        ASSERT_EQ(net.solve().result, 1) << net.reporter.all();
        const Fan& fan = net.doc().fans[1];
        EXPECT_EQ(fan.fanFlow, c.held);
        EXPECT_EQ(fan.pressure, c.held > 0 ? c.curve.back() : c.curve.front());
        EXPECT_TRUE(net.reporter.contains(c.said)) << net.reporter.all();
        EXPECT_TRUE(allResultsFinite(net.doc()));
        EXPECT_LE(meanImbalance(net.doc()), kTau);
        EXPECT_LE(net.doc().lastIterations, 10) << "held once, not switched back and forth";
    }
}

TEST(BadInput, SolverCalledWithoutTheDriversChecksStoresOnlyNumbers)
{
    // As a caller that does not check could: a road of resistance 0, a water
    // pipe without a diameter (resistance 0 after load preparation), units of 0.
    const struct {
        const char* name;
        bool water;
        UnitsSettings units;
        SolverMethod method;
    } cases[] = {{"air", false, standardUnits(), SolverMethod::Newton},
                 {"water", true, standardUnits(), SolverMethod::Newton},
                 {"units of 0", false, UnitsSettings{}, SolverMethod::Newton},
                 {"units of 0, relaxation then Newton", false, UnitsSettings{}, SolverMethod::Relaxation}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UnitsSettings units = c.units;
        units.maxIteration = 50;
        TestNetwork net(c.water, units);
        net.method = c.method;
        addJoinedDraughtNetwork(net, [&c](TestNetwork& m) { c.water ? void(m.pipe(10, 2, 0, 500, 120)) : void(m.road(10, 2, 0)); });
        net.fixedRoad(1, 10, 100);
        net.fan(10, 11, 100, {500, 400, 200});
        CBriscoDoc& doc = net.build();
        UpdateRoadDensities(doc);
        const int result = SolveNetwork(doc, net.dialog, 1, 1, 1, 1);
        EXPECT_TRUE(result == 1 || result == -1) << result;
        EXPECT_TRUE(allResultsFinite(doc));
        EXPECT_EQ(doc.roads[3].massFlow, 0.0f);  // the road without resistance carries nothing
        computeRelativePressures(doc);
        for (int i = 1; i <= doc.nodeCount; ++i)
            EXPECT_TRUE(std::isfinite(doc.nodes[size_t(i)].displayValue)) << i;
        for (int k = 1; k <= doc.totalRoads(); ++k)
            for (int kind : {1, 2, 4}) {
                float value = NAN;
                EXPECT_TRUE(roadValue(doc, k, kind, value) && std::isfinite(value)) << "road " << k << " kind " << kind;
            }
    }
}

TEST(NewtonRun, NetworkWithNothingToDriveTheAirSettlesAtRest)
{
    // One node joined by two equal roads to two collars at one elevation,
    // no fan, no draught: every flow vanishes, which no relative change of
    // the flows can show.
    TestNetwork net;
    net.method = SolverMethod::Newton;
    net.surface({{1, 0}, {2, 0}});
    net.underground({{10, 0}});
    net.road(1, 10, 0.5f), net.road(10, 2, 0.5f);
    ASSERT_EQ(net.solve().result, 1);
    EXPECT_LT(net.doc().lastIterations, kFewIterations);
    EXPECT_NEAR(net.flow(1), 0, kTau);
    EXPECT_NEAR(net.flow(2), 0, kTau);
}

TEST(SolverMethodSetting, IsKeptInTheProfileByName)
{
    MemoryProfile profile;
    EXPECT_EQ(readSolverMethod(profile), SolverMethod::Newton);  // nothing kept yet
    writeSolverMethod(profile, SolverMethod::Relaxation);
    EXPECT_EQ(profile.readString("ANALYSIS", "method", ""), "relaxation");
    EXPECT_EQ(readSolverMethod(profile), SolverMethod::Relaxation);
    profile.writeString("ANALYSIS", "method", "Newton");
    EXPECT_EQ(readSolverMethod(profile), SolverMethod::Newton);
    profile.writeString("ANALYSIS", "method", "quick");
    EXPECT_EQ(readSolverMethod(profile), SolverMethod::Newton);
    EXPECT_EQ(parseSolverMethod("NEWTON"), SolverMethod::Newton);
    EXPECT_EQ(parseSolverMethod(""), std::nullopt);
}

}  // namespace
}  // namespace orvex::test
