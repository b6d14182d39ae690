// The run driver (what the analysis dialog shows, how a run ends) and input
// that an analysis cannot make sense of: every run ends with a result code,
// stores only numbers, and says so where the user has to act.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "support.h"
#include "analysis/quantities.h"
#include "analysis/solver.h"

namespace orvex::test {
namespace {

// The draught network whose two underground nodes, 10 m apart in height, are
// joined without resistance: merged for the solve.
class Driver : public ::testing::Test {
protected:
    void SetUp() override
    {
        addJoinedDraughtNetwork(net);
    }
    void expectEndOfRun(const std::string& caption)
    {
        const CBriscoDoc& doc = net.doc();
        EXPECT_EQ(net.dialog.captions, (std::vector<std::string>{kAnalyzingCaption, caption}));
        EXPECT_EQ(std::make_pair(bool(net.dialog.closeStates.front()), bool(net.dialog.closeStates.back())),
                  std::make_pair(false, true));
        EXPECT_EQ(net.dialog.startTexts, (std::vector<std::string>{"Stop", "Start"}));
        EXPECT_EQ(std::make_tuple(doc.analysisRunning, doc.modified), std::make_tuple(0, true));
        // The merge is undone: the roads have their own ends, node 11 node 10's pressure.
        EXPECT_EQ(std::make_pair(doc.roads[2].first, doc.roads[3].second), std::make_pair(11, 11));
        EXPECT_EQ(doc.nodes[size_t(net.index(11))].degree, 1);
        EXPECT_EQ(net.pressure(11), net.pressure(10));
        EXPECT_TRUE(allResultsFinite(doc));
    }
    TestNetwork net;
};

TEST_F(Driver, ConvergedRunShowsEveryIterationAndEndsCompleted)
{
    net.app.units.displayData = 1;
    const RunOutcome outcome = net.solve();
    ASSERT_EQ(outcome.result, 1) << net.reporter.all();
    EXPECT_FALSE(outcome.refused || outcome.fire);
    expectEndOfRun(kCompletedCaption);
    EXPECT_EQ(net.dialog.range, std::make_pair(0, 5000));
    EXPECT_LE(meanImbalance(net.doc()), kTau);

    // Per iteration a status line, a progress step and two diagnostic lines;
    // the last status line shows the mean imbalance in the user's unit.
    const RecordingDialog& dialog = net.dialog;
    const int n = net.doc().lastIterations;
    EXPECT_EQ(std::make_tuple(int(dialog.statusLines.size()), dialog.progressSteps, int(dialog.diagnostics.size())),
              std::make_tuple(n, n, 2 * n));
    int it = 0;
    double error = -1;
    char unit[32] = {};
    ASSERT_EQ(std::sscanf(dialog.statusLines.back().c_str(), "%d: Error= %lf %31s", &it, &error, unit), 3);
    EXPECT_EQ(std::make_tuple(it, std::string(unit)), std::make_tuple(n, std::string("m3/min")));
    EXPECT_LE(error, kTau / kGammaQ + 1e-6);
    EXPECT_EQ(dialog.diagnostics.at(1).second.substr(0, 7), "Pbad = ");
}

TEST_F(Driver, StopOrIterationLimitEndsTheRun)
{
    // At the limit the other method gets the same number of iterations,
    // cannot settle the network in them either, and the chosen method's
    // results stand, its last iteration line shown again.
    const struct {
        SolverMethod method;
        int maxIteration, stopAt, result, iterations;
    } cases[] = {
        // iterations 1 .. limit - 1
        {SolverMethod::Relaxation, 0, 0, -1, 0}, {SolverMethod::Relaxation, 4, 0, -1, 3},
        {SolverMethod::Newton, 1, 0, -1, 0}, {SolverMethod::Newton, 3, 0, -1, 2},
        // stopped at the given iteration
        {SolverMethod::Relaxation, 5000, 3, 0, 3}, {SolverMethod::Newton, 5000, 2, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(solverMethodName(c.method)) + ", maxIteration " + std::to_string(c.maxIteration));
        net.dialog = RecordingDialog();
        net.dialog.stopAt = c.stopAt;
        net.method = c.method;
        net.app.units.maxIteration = c.maxIteration;
        net.app.units.displayData = 1;
        net.build().roads[1].massFlow = 123;  // the result of an earlier run
        const RunOutcome outcome = runAnalysis(net.doc(), net.dialog);
        EXPECT_EQ(std::make_pair(outcome.result, outcome.refused), std::make_pair(c.result, false));
        EXPECT_EQ(net.doc().holdsResults, c.result != 0) << "a stopped run leaves no results to show";
        const int n = net.doc().lastIterations;
        EXPECT_EQ(n, c.iterations);
        // Once per iteration a status line, the two diagnostic lines, a stop
        // query and, unless it stopped there, a progress step; at the limit
        // as many again for the other method, and the last line once more.
        const int runs = c.result == -1 && c.maxIteration > 1 ? 2 : 1;
        const RecordingDialog& dialog = net.dialog;
        EXPECT_EQ(std::make_tuple(int(dialog.statusLines.size()), int(dialog.diagnostics.size()), dialog.stopQueries,
                                  dialog.progressSteps),
                  std::make_tuple(runs * n + runs - 1, 2 * runs * n, runs * n, c.result == 0 ? n - 1 : runs * n));
        if (n > 0) {
            EXPECT_EQ(dialog.statusLines.back().substr(0, 5), "   " + std::to_string(n) + ":");
        }
        EXPECT_EQ(outcome.method, c.method);
        EXPECT_EQ(dialog.range, std::make_pair(0, c.maxIteration));
        expectEndOfRun(c.result == 0 ? kSuspendedCaption : kCompletedCaption);
        // Stopped: road results stay from before. At the limit: from the
        // last pressures, where the draught already moves air down the cold road.
        if (c.result == 0 || n > 0) {
            EXPECT_TRUE(c.result == 0 ? net.flow(1) == 123 : net.flow(1) > 0) << net.flow(1);
        }
    }
}

TEST(BadInput, EveryRunEndsWithAResultCodeAndOnlyNumbers)
{
    using Network = std::function<void(TestNetwork&)>;
    const struct {
        const char* name;
        UnitsSettings units;
        Network add;
        bool refused;
        std::vector<int> results;
        const char* message;  // "" when nothing is said
        MessageKind kind;
        Network check;
        const char* held = "";  // said by the Newton method of a group it held
    } cases[] = {
        {"normal road without resistance", standardUnits(), [](TestNetwork& n) { addDraughtNetwork(n), n.road(10, 11, 0.2f), n.road(10, 2, 0); },
         true, {0}, "resistance 0 or below: 10-2", MessageKind::Error, [](TestNetwork& n) { EXPECT_TRUE(n.dialog.statusLines.empty()); }},
        {"units file missing: every setting 0", UnitsSettings{}, [](TestNetwork& n) {
             addDraughtNetwork(n), n.road(10, 11, 0.2f), n.fixedRoad(1, 10, 100), n.fan(10, 11, 100, {500, 400, 200});
         }, true, {0}, "units.sdt", MessageKind::Error, [](TestNetwork&) {}},
        // Fans with one point, without an airflow step, without points stand
        // still. Node 12 is then a dead end 240 m below collar 2: its road
        // carries only node 12's imbalance (below 3 tau for three nodes), and
        // 12 holds the static pressure of the heading's air column.
        {"fans without a usable curve", standardUnits(), [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{12, -200}}), n.road(10, 11, 0.2f), n.road(12, 2, 0.5f);
             n.fan(10, 12, 100, {500}), n.fan(10, 12, 0, {500, 400, 200}), n.fan(10, 12, 100, {});
         }, false, {1}, "10-12", MessageKind::Warning, [](TestNetwork& n) {
             for (int f = 1; f <= 3; ++f)
                 EXPECT_EQ(n.doc().fans[size_t(f)].fanFlow, 0.0f) << "fan " << f;
             EXPECT_NEAR(n.flow(4), 0.0, 3 * kTau);
             const double p2 = n.pressure(2);
             EXPECT_NEAR(n.pressure(12), bisect([&](double p) { return flowBetween(p, p2, -200, 40, 20, 0.5); }, p2, p2 + 600), 2e-3);
         }},
        // A closed loop with a warm and a cold side: air circulates, but no
        // pressure level is tied to anything, which the run says first. The
        // air goes round the loop, and its draught is what its roads lose.
        {"no surface node", standardUnits(), [](TestNetwork& n) {
             n.underground({{10, 0}, {11, -200}, {12, -200}, {13, 0}});
             n.road(10, 11, 0.4f, 8), n.road(11, 12, 0.2f, 20), n.road(12, 13, 0.3f, 35), n.road(13, 10, 0.2f, 20);
         }, false, {1, -1}, "No road joins nodes 10, 11, 12, 13 to a surface node: the pressures there are not determined.",
         MessageKind::Warning, [](TestNetwork& n) {
             const CBriscoDoc& doc = n.doc();
             double draught = 0, lost = 0;
             for (int k = 1; k <= 4; ++k) {
                 const Road& road = doc.roads[size_t(k)];
                 draught += road.naturalDraught;
                 lost += roadLawDrop(road.massFlow, road.density, road.resistance);
                 EXPECT_NEAR(road.massFlow, doc.roads[1].massFlow, kFlowTolerance) << "road " << k;
             }
             EXPECT_GT(doc.roads[1].massFlow, 1.0f);
             EXPECT_NEAR(lost, draught, 1e-3);
         }, "No road or fan joins nodes 10, 11, 12, 13 to a surface node: the Newton method held node 10"},
        // A closed loop that no road joins to the rest, and a node without roads.
        {"disconnected part", standardUnits(), [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{20, -100}, {21, -300}, {22, -300}, {30, -50}}), n.road(10, 11, 0.2f);
             n.road(20, 21, 0.5f, 10), n.road(21, 22, 0.5f), n.road(22, 20, 0.5f, 30);
         }, false, {1, -1}, "No road joins nodes 20, 21, 22 to a surface node: the pressures there are not determined.\n"
                            "Node 30 has no road, fixed-flow road or fan.",
         MessageKind::Warning, [](TestNetwork& n) { EXPECT_GT(n.flow(1), 1.0f); },
         "No road or fan joins nodes 20, 21, 22 to a surface node: the Newton method held node 20"},
    };
    for (const auto& c : cases)
        for (const SolverMethod method : {SolverMethod::Relaxation, SolverMethod::Newton}) {
            SCOPED_TRACE(std::string(c.name) + ", " + solverMethodName(method));
            TestNetwork net(false, c.units);
            net.method = method;
            c.add(net);
            const RunOutcome outcome = net.solve();
            EXPECT_EQ(outcome.refused, c.refused);
            EXPECT_NE(std::find(c.results.begin(), c.results.end(), outcome.result), c.results.end())
                << outcome.result;
            EXPECT_TRUE(allResultsFinite(net.doc()));
            // One message of the expected kind, a second warning when the run
            // stopped at its limit, and one for a group the Newton method held.
            const char* held = method == SolverMethod::Newton ? c.held : "";
            const size_t messages = (*c.message ? 1 : 0) + (outcome.result == -1 ? 1 : 0) + (*held ? 1 : 0);
            EXPECT_EQ(net.reporter.kinds.size(), messages) << net.reporter.all();
            for (const MessageKind kind : net.reporter.kinds)
                EXPECT_TRUE(kind == c.kind || (kind == MessageKind::Warning && outcome.result == -1));
            EXPECT_TRUE(net.reporter.contains(c.message) && net.reporter.contains(held)) << net.reporter.all();
            if (outcome.result == 1) {
                EXPECT_LE(meanImbalance(net.doc()), kTau);
            }
            c.check(net);
        }
}

// The check before a run: what it says, and whether air can balance.
TEST(NetworkCheck, NamesTheNodesAndFansWhereAirCannotGo)
{
    using Network = std::function<void(TestNetwork&)>;
    const struct {
        const char* name;
        Network add;
        bool cannotBalance;
        std::vector<std::string> warnings;
    } cases[] = {
        {"connected through a connection", [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{12, -200}}), n.road(10, 11, 0.2f), n.fixedRoad(11, 12, 0);
             n.fan(12, 10, 100, {300, 200, 0});
         }, false, {}},
        {"fan into a dead end", [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{20, -200}}), n.road(10, 11, 0.2f), n.fan(10, 20, 100, {500, 400, 0});
         }, true, {"No road joins node 20 to a surface node, but fan 10-20 moves air across: the air cannot balance there."}},
        {"fixed airflow into a district on its own, booster inside it", [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{20, -200}, {21, -200}}), n.road(10, 11, 0.2f), n.road(20, 21, 0.3f);
             n.fixedRoad(10, 20, 50), n.fan(21, 20, 100, {500, 400, 0});
         }, true, {"No road joins nodes 20, 21 to a surface node, but fixed-flow road 10-20 moves air across: "
                   "the air cannot balance there."}},
        // Between two fans in series: the fans set its pressure level.
        {"between fans in series", [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{20, -200}}), n.road(10, 11, 0.2f);
             n.fan(10, 20, 100, {500, 400, 0}), n.fan(20, 11, 100, {500, 400, 0});
         }, false, {}},
        {"blown into by a fan, emptied by a fixed airflow within its curve", [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{20, -200}}), n.road(10, 11, 0.2f);
             n.fan(10, 20, 100, {500, 400, 0}), n.fixedRoad(20, 11, 150);
         }, false, {}},
        {"emptied by a fixed airflow beyond the fan's curve", [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{20, -200}}), n.road(10, 11, 0.2f);
             n.fan(10, 20, 100, {500, 400, 0}), n.fixedRoad(20, 11, 201);
         }, true, {"No road joins node 20 to a surface node, but fan 10-20, fixed-flow road 20-11 move air across: "
                   "the air cannot balance there."}},
        {"loop on its own with a booster, and two nodes with nothing", [](TestNetwork& n) {
             addDraughtNetwork(n), n.underground({{20, -200}, {21, -200}, {30, 0}, {31, 0}}), n.road(10, 11, 0.2f);
             n.road(20, 21, 0.3f), n.road(21, 20, 0.3f), n.fan(20, 21, 100, {500, 400, 0});
         }, false, {"No road joins nodes 20, 21 to a surface node: the pressures there are not determined.",
                    "Nodes 30, 31 have no road, fixed-flow road or fan."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestNetwork net;
        c.add(net);
        const RunOutcome outcome = net.solve();
        EXPECT_EQ(outcome.check.airCannotBalance, c.cannotBalance);
        EXPECT_EQ(outcome.check.warnings, c.warnings);
        // Shown once, in one message, before the run.
        std::string shown;
        for (const std::string& w : c.warnings)
            shown += (shown.empty() ? "" : "\n") + w;
        EXPECT_EQ(net.reporter.all().find("[" + shown + "]") != std::string::npos, !c.warnings.empty()) << net.reporter.all();
    }
}

// The warning of a run that reached its limit names the node with the
// largest imbalance and gives it in both units, in digits that show it
// whatever its size (the sizes read back within half a per cent).
void expectImbalanceWarning(TestNetwork& net, int limit)
{
    const NodeImbalance worst = largestNodeImbalance(net.doc());
    const std::string said = "limit of " + std::to_string(limit) +
                             " iterations without converging. The largest imbalance is ";
    const size_t at = net.reporter.all().find(said);
    ASSERT_NE(at, std::string::npos) << net.reporter.all();
    double flow = 0, massFlow = 0;
    int node = 0;
    ASSERT_EQ(std::sscanf(net.reporter.all().c_str() + at + said.size(), "%lf m3/min (%lf kg/s) at node %d.", &flow,
                          &massFlow, &node), 3) << net.reporter.all();
    EXPECT_NEAR(flow, worst.flow, 5e-3 * std::fabs(worst.flow)) << net.reporter.all();
    EXPECT_NEAR(massFlow, worst.massFlow, 5e-3 * std::fabs(worst.massFlow)) << net.reporter.all();
    EXPECT_EQ(node, worst.number);
}

TEST(NetworkCheck, LargestImbalanceAndTheIterationLimitAreReported)
{
    // Stopped after 5 iterations, the draught network is far from balance
    // (the Newton method cannot settle it in as many either, and the
    // relaxation's results stand); the warning names the node with the
    // largest imbalance.
    UnitsSettings units = standardUnits();
    units.maxIteration = 6;
    TestNetwork net(false, units);
    addDraughtNetwork(net), net.road(10, 11, 0.2f);
    ASSERT_EQ(net.solve().result, -1);
    const NodeImbalance worst = largestNodeImbalance(net.doc());
    const double at10 = netInflow(net.doc(), net.index(10)), at11 = netInflow(net.doc(), net.index(11));
    EXPECT_EQ(worst.number, std::fabs(at10) > std::fabs(at11) ? 10 : 11);
    EXPECT_NEAR(worst.massFlow, std::fabs(at10) > std::fabs(at11) ? at10 : at11, 1e-6);
    EXPECT_NEAR(worst.flow, worst.massFlow / kGammaQ, 1e-3);
    ASSERT_GT(std::fabs(worst.flow), 0.01);
    expectImbalanceWarning(net, 6);
}

// A fan 20 m below the surface node it blows to, whose shut-off pressure of
// 1500 Pa is below the suction of the main fan at its inlet, cannot start.
// Whichever method solves, it is held at zero flow and named with why, not
// taken for a fan on its curve. The relaxation never settles it; with an
// accuracy of 0, which the Newton method cannot reach either, the
// relaxation's results stand, their small imbalance shown as it is.
TEST(NetworkCheck, FanThatCannotStartIsNamedWithWhy)
{
    const struct {
        const char* name;
        SolverMethod method;
        float solverError;
        int result;
        SolverMethod solvedBy;
    } cases[] = {
        {"relaxation, settled by the Newton method", SolverMethod::Relaxation, 0.01f, 1, SolverMethod::Newton},
        {"Newton method", SolverMethod::Newton, 0.01f, 1, SolverMethod::Newton},
        {"accuracy 0", SolverMethod::Relaxation, 0.0f, -1, SolverMethod::Relaxation},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UnitsSettings units = standardUnits();
        units.solverError = c.solverError;
        units.maxIteration = 2000;
        TestNetwork net(false, units);
        net.method = c.method;
        net.surface({{1, 0}, {2, 20}, {3, 0}});
        net.underground({{10, 0}, {11, 0}, {12, 0}});
        net.road(1, 10, 2.0f), net.road(10, 11, 0.05f), net.road(11, 12, 0.05f);
        net.fan(12, 3, 1000, {3000, 2800, 2400, 1800, 1000, 0});
        net.fan(10, 2, 1000, {1500, 1000, 0});
        const RunOutcome outcome = net.solve();
        EXPECT_EQ(std::make_pair(outcome.result, outcome.method), std::make_pair(c.result, c.solvedBy));
        const CBriscoDoc& doc = net.doc();
        const FanPoint point = fanPoint(doc, 2);
        EXPECT_EQ(std::make_pair(point.kind, fanPoint(doc, 1).kind),
                  std::make_pair(FanPointKind::CannotStart, FanPointKind::OnCurve));
        EXPECT_EQ(fanPointText(point.kind), "held at zero flow: shut-off pressure below what it faces");
        EXPECT_LT(doc.fans[2].fanFlow, 1e-3f);
        EXPECT_GT(point.rise, 1600.0);
        char said[200];
        std::snprintf(said, sizeof said, "Fan 10-2 cannot start: its shut-off pressure, 1500.000 Pa, is below the %.3f Pa",
                      point.rise);
        EXPECT_TRUE(net.reporter.contains(said)) << net.reporter.all();
        if (c.result == -1) {
            EXPECT_LT(std::fabs(largestNodeImbalance(doc).flow), 5e-4);
            EXPECT_NE(largestNodeImbalance(doc).flow, 0.0);
            expectImbalanceWarning(net, units.maxIteration);
        }
    }
}

}  // namespace
}  // namespace orvex::test
