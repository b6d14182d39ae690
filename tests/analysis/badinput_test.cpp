// Input that an analysis cannot make sense of, or only partly: every run
// ends with a result code, stores nothing that is not a number, and says so
// where the user has to act.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::analysistest {
namespace {

// A draught network: cold intake from collar 1, warm return to collar 2.
void addDraughtNetwork(TestNetwork& net)
{
    net.surfaceTemperature = 15;
    net.surface(1, 0);
    net.surface(2, 40);
    net.underground(10, -200);
    net.underground(11, -200);
    net.road(1, 10, 0.4f, 8);
    net.road(10, 11, 0.2f, 20);
    net.road(11, 2, 0.3f, 30);
}

TEST(BadInput, NormalRoadWithoutResistanceIsRefused)
{
    TestNetwork net;
    addDraughtNetwork(net);
    net.road(10, 2, 0.0f, 20);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    const RunOutcome outcome = runAnalysis(doc, dialog);
    EXPECT_TRUE(outcome.refused);
    EXPECT_EQ(outcome.result, 0);
    ASSERT_EQ(net.reporter.count(MessageKind::Error), 1) << net.reporter.all();
    EXPECT_TRUE(net.reporter.contains("resistance 0")) << net.reporter.all();
    EXPECT_TRUE(net.reporter.contains("10-2")) << net.reporter.all();
    EXPECT_TRUE(dialog.statusLines.empty());
    EXPECT_EQ(dialog.closeStates.back(), true);
    EXPECT_EQ(doc.analysisRunning, 0);
    EXPECT_TRUE(allResultsFinite(doc));
}

TEST(BadInput, FansWithoutAUsableCurveStandStillAndTheRunGoesOn)
{
    TestNetwork net;
    addDraughtNetwork(net);
    net.underground(12, -200);
    net.road(12, 2, 0.5f, 20);
    net.fan(10, 12, 100, {500});           // one point only
    net.fan(10, 12, 0, {500, 400, 200});   // no airflow step
    net.fan(10, 12, 100, {});              // no points at all
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    const RunOutcome outcome = runAnalysis(doc, dialog);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_FALSE(outcome.refused);
    ASSERT_EQ(net.reporter.count(MessageKind::Warning), 1) << net.reporter.all();
    EXPECT_EQ(net.reporter.count(MessageKind::Error), 0) << net.reporter.all();
    EXPECT_TRUE(net.reporter.contains("10-12")) << net.reporter.all();
    for (int f = 1; f <= 3; ++f)
        EXPECT_EQ(doc.fans[size_t(f)].fanFlow, 0.0f) << "fan " << f;
    EXPECT_TRUE(allResultsFinite(doc));
    // The idle fans move no air: node 12 has only its road, so that road is
    // at rest although 240 m of air column stand in it. Its flow is node 12's
    // imbalance, which the stopping rule keeps below 3 τ (three nodes).
    EXPECT_NEAR(doc.roads[4].massFlow, 0.0, 3 * kTargetImbalance);
    EXPECT_LE(meanImbalance(doc), kTargetImbalance);
}

TEST(BadInput, NetworkWithoutSurfaceNodesEndsWithoutNonsense)
{
    // A closed loop underground with a warm and a cold side: air circulates,
    // but the pressure level is not tied to anything.
    TestNetwork net;
    net.underground(10, 0);
    net.underground(11, -200);
    net.underground(12, -200);
    net.underground(13, 0);
    net.road(10, 11, 0.4f, 8);
    net.road(11, 12, 0.2f, 20);
    net.road(12, 13, 0.3f, 35);
    net.road(13, 10, 0.2f, 20);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    const RunOutcome outcome = runAnalysis(doc, dialog);
    EXPECT_TRUE(outcome.result == 1 || outcome.result == -1) << outcome.result;
    EXPECT_TRUE(allResultsFinite(doc));
    if (outcome.result == 1) {
        // Converged: the loop carries one circulating flow, down the cold side.
        EXPECT_GT(doc.roads[1].massFlow, 0.0f);
        EXPECT_LE(meanImbalance(doc), kTargetImbalance);
    }
}

TEST(BadInput, DisconnectedPartAndNodeWithoutRoads)
{
    // The draught network, a closed loop that no road joins to it, and a
    // node without any road.
    TestNetwork net;
    addDraughtNetwork(net);
    net.underground(20, -100);
    net.underground(21, -300);
    net.underground(22, -300);
    net.road(20, 21, 0.5f, 10);
    net.road(21, 22, 0.5f, 20);
    net.road(22, 20, 0.5f, 30);
    net.underground(30, -50);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    const RunOutcome outcome = runAnalysis(doc, dialog);
    EXPECT_TRUE(outcome.result == 1 || outcome.result == -1) << outcome.result;
    EXPECT_TRUE(allResultsFinite(doc));
    // The part joined to the surface is solved all the same: mean imbalance
    // over the six underground nodes within the target.
    EXPECT_LE(meanImbalance(doc), kTargetImbalance);
    EXPECT_GT(doc.roads[1].massFlow, 1.0f);
}

TEST(BadInput, MissingUnitsSettingsRefuseTheRun)
{
    // No units file: every setting 0. The run is refused with a message that
    // names the units file; nothing is computed.
    TestNetwork net(false, UnitsSettings{});
    addDraughtNetwork(net);
    net.fixedRoad(1, 10, 100);
    net.fan(10, 11, 100, {500, 400, 200});
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    const RunOutcome outcome = runAnalysis(doc, dialog);
    EXPECT_TRUE(outcome.refused);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(net.reporter.contains("units.sdt")) << net.reporter.all();
    EXPECT_TRUE(allResultsFinite(doc));
}

TEST(BadInput, SolverItselfSurvivesUnitsOfZero)
{
    // The same settings given straight to the solver (as a caller that does
    // not check could), with an iteration limit so that it does run: with
    // accuracy 0 it cannot converge and must stop at the limit, storing only
    // numbers.
    UnitsSettings units;
    units.maxIteration = 50;
    TestNetwork net(false, units);
    addDraughtNetwork(net);
    net.fixedRoad(1, 10, 100);
    net.fixedRoad(10, 11, 0);
    net.fan(10, 11, 100, {500, 400, 200});
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    doc.UpdateRoadDensities();
    EXPECT_EQ(doc.SolveNetwork(dialog, 1, 1, 1, 1), -1);
    EXPECT_TRUE(allResultsFinite(doc));
    doc.computeRelativePressures();
    for (int i = 1; i <= doc.nodeCount; ++i)
        EXPECT_TRUE(std::isfinite(doc.nodes[size_t(i)].displayValue));
    for (int k = 1; k <= doc.totalRoads(); ++k)
        for (int kind : {1, 2, 4}) {
            float value = 0;
            doc.roadValue(k, kind, value);
            EXPECT_TRUE(std::isfinite(value)) << "road " << k << " kind " << kind;
        }
}

TEST(BadInput, WaterNetworkWithUnusablePipeIsRefused)
{
    // A pipe without a diameter has no resistance.
    TestNetwork net(/*water=*/true);
    net.surface(1, 50);
    net.surface(2, 20);
    net.underground(10, 0);
    net.pipe(1, 10, 0.3f, 500, 120);
    net.pipe(10, 2, 0.0f, 500, 120);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    const RunOutcome outcome = runAnalysis(doc, dialog);
    EXPECT_TRUE(outcome.refused);
    EXPECT_TRUE(net.reporter.contains("10-2")) << net.reporter.all();
    EXPECT_TRUE(allResultsFinite(doc));
}

}  // namespace
}  // namespace orvex::analysistest
