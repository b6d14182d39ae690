// The run driver: what the analysis dialog shows before, during and after a
// run, and how a run ends (converged, stopped, iteration limit).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::analysistest {
namespace {

// A draught network whose two underground nodes, at different elevations,
// are joined without resistance (a fixed-flow road with airflow 0).
class Driver : public ::testing::Test {
protected:
    void SetUp() override
    {
        net.surfaceTemperature = 15;
        net.surface(1, 0);
        net.surface(2, 60);
        net.underground(10, -250);
        net.underground(11, -240);
        net.road(1, 10, 0.4f, 8);
        net.road(11, 2, 0.3f, 30);
        zero = net.fixedIndex(net.fixedRoad(10, 11, 0));
    }

    void expectMergeUndone(const CBriscoDoc& doc)
    {
        EXPECT_EQ(doc.roads[2].first, 11);
        EXPECT_EQ(doc.roads[size_t(zero)].first, 10);
        EXPECT_EQ(doc.roads[size_t(zero)].second, 11);
        EXPECT_EQ(doc.nodes[size_t(net.index(11))].degree, 1);
        EXPECT_EQ(doc.nodes[size_t(net.index(10))].degree, 1);
        EXPECT_EQ(net.pressure(11), net.pressure(10));
    }

    TestNetwork net;
    RecordingDialog dialog;
    int zero = 0;
};

TEST_F(Driver, ConvergedRunReportsEveryIterationAndEndsCompleted)
{
    CBriscoDoc& doc = net.build();
    const RunOutcome outcome = runAnalysis(doc, dialog);
    ASSERT_EQ(outcome.result, 1) << net.reporter.all();
    EXPECT_FALSE(outcome.fire);
    EXPECT_FALSE(outcome.refused);

    EXPECT_EQ(dialog.captions, (std::vector<std::string>{kAnalyzingCaption, kCompletedCaption}));
    ASSERT_FALSE(dialog.ranges.empty());
    EXPECT_EQ(dialog.ranges.back(), std::make_pair(0, 5000));
    EXPECT_EQ(dialog.steps.back(), 1);
    EXPECT_EQ(dialog.positions.front(), 0);
    EXPECT_EQ(dialog.startTexts, (std::vector<std::string>{"Stop", "Start"}));
    EXPECT_EQ(dialog.closeStates.front(), false);
    EXPECT_EQ(dialog.closeStates.back(), true);
    EXPECT_EQ(dialog.runControlStates, (std::vector<bool>{false, true}));
    EXPECT_EQ(doc.analysisRunning, 0);
    EXPECT_TRUE(doc.modified);

    // One status line and one progress step per iteration; the last line
    // shows a mean imbalance within the target, in the user's flow unit.
    ASSERT_GT(doc.lastIterations, 1);
    EXPECT_EQ(int(dialog.statusLines.size()), doc.lastIterations);
    EXPECT_EQ(dialog.progressSteps, doc.lastIterations);
    int it = 0;
    double error = -1;
    char unit[32] = {};
    ASSERT_EQ(std::sscanf(dialog.statusLines.back().c_str(), "%d: Error= %lf %31s", &it, &error, unit), 3)
        << dialog.statusLines.back();
    EXPECT_EQ(it, doc.lastIterations);
    EXPECT_LE(error, kTargetImbalance / kGammaQ + 1e-6);
    EXPECT_EQ(std::string(unit), "m3/min");
    EXPECT_EQ(dialog.statusLines.front().substr(0, 5), "   1:");
    EXPECT_TRUE(dialog.diagnostics.empty());

    expectMergeUndone(doc);
    EXPECT_LE(meanImbalance(doc), kTargetImbalance);
}

TEST_F(Driver, DisplayDataAddsTheDiagnosticLines)
{
    net.app.units.displayData = 1;
    CBriscoDoc& doc = net.build();
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1);
    ASSERT_EQ(int(dialog.diagnostics.size()), 2 * doc.lastIterations);
    EXPECT_EQ(dialog.diagnostics[0].first, 1);
    EXPECT_EQ(dialog.diagnostics[0].second.substr(0, 7), "dPav = ");
    EXPECT_EQ(dialog.diagnostics[0].second.substr(dialog.diagnostics[0].second.size() - 3), " Pa");
    EXPECT_EQ(dialog.diagnostics[1].first, 2);
    EXPECT_EQ(dialog.diagnostics[1].second.substr(0, 7), "Pbad = ");
}

TEST_F(Driver, StopRequestSuspendsTheRunAndUndoesTheMerge)
{
    CBriscoDoc& doc = net.build();
    doc.roads[1].massFlow = 123;  // the result of an earlier run
    dialog.stopAt = 3;
    const RunOutcome outcome = runAnalysis(doc, dialog);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(dialog.captions.back(), kSuspendedCaption);
    EXPECT_EQ(dialog.statusLines.size(), 3u);
    EXPECT_EQ(dialog.closeStates.back(), true);
    EXPECT_EQ(dialog.startTexts.back(), "Start");
    EXPECT_EQ(doc.analysisRunning, 0);
    EXPECT_TRUE(doc.modified);
    // Road results stay from before the run; pressures are those of the last sweep.
    EXPECT_EQ(doc.roads[1].massFlow, 123.0f);
    expectMergeUndone(doc);
    EXPECT_TRUE(allResultsFinite(doc));
}

TEST_F(Driver, IterationLimitOfZeroOrOneRunsNoIteration)
{
    for (const int limit : {0, 1}) {
        SCOPED_TRACE("maxIteration " + std::to_string(limit));
        net.app.units.maxIteration = limit;
        CBriscoDoc& doc = net.build();
        RecordingDialog runDialog;
        const RunOutcome outcome = runAnalysis(doc, runDialog);
        EXPECT_EQ(outcome.result, -1);
        EXPECT_FALSE(outcome.refused);
        EXPECT_TRUE(runDialog.statusLines.empty());
        EXPECT_EQ(runDialog.progressSteps, 0);
        EXPECT_EQ(runDialog.stopQueries, 0);
        EXPECT_EQ(runDialog.ranges.back(), std::make_pair(0, limit));
        EXPECT_EQ(runDialog.captions.back(), kCompletedCaption);
        EXPECT_EQ(doc.lastIterations, 0);
        // The merge is undone even though nothing was solved: node 11 (10 m
        // above node 10) takes node 10's pressure.
        expectMergeUndone(doc);
        EXPECT_TRUE(allResultsFinite(doc));
    }
}

TEST_F(Driver, IterationLimitEndsTheRunWithResultsFromTheLastPressures)
{
    net.app.units.maxIteration = 4;
    CBriscoDoc& doc = net.build();
    const RunOutcome outcome = runAnalysis(doc, dialog);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(doc.lastIterations, 3);
    EXPECT_EQ(dialog.statusLines.size(), 3u);
    EXPECT_EQ(dialog.captions.back(), kCompletedCaption);
    expectMergeUndone(doc);
    // Road results come from the last pressures: the draught is already
    // moving air down the cold road.
    EXPECT_GT(doc.roads[1].massFlow, 0.0f);
    EXPECT_TRUE(allResultsFinite(doc));
}

}  // namespace
}  // namespace orvex::analysistest
