// The fire run under the run driver: when it runs instead of the airflow
// analysis, what the dialog shows step by step, and how a run ends
// (finish time, stop at a re-solve, a failed re-solve, pausing).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::firetest {
namespace {

// A long road from the fire node 100 to surface 2: the gas is still inside
// it at the finish, so the run goes all the way.
class FireRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        net.surface(1);
        net.surface(2);
        net.underground(100);
        a = net.road(100, 2, 0.05f, 10, 2000, 2, 20);
        net.fixedRoad(1, 100, 600);
        CBriscoDoc& doc = net.build(100);
        doc.fire.fireTemperature = 650;
        doc.fire.finishTime = 3;
    }

    FireNet net;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    int a = 0;
};

TEST_F(FireRun, FinishTimeZeroRunsTheAirflowAnalysis)
{
    CBriscoDoc& doc = net.doc();
    doc.fire.finishTime = 0;
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_FALSE(outcome.fire);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(dialog.captions.back(), kCompletedCaption);
    EXPECT_TRUE(dialog.secondLines.empty());
    EXPECT_EQ(dialog.ranges.back(), std::make_pair(0, 5000));  // iterations, not minutes
    EXPECT_NEAR(net.roadAt(a).massFlow, 600 * kMassPerFlowUnit, 1e-3);
    // No fire quantity was touched.
    EXPECT_EQ(net.roadAt(a).outletTemperature, 0.0f);
    EXPECT_EQ(net.roadAt(a).gasConcentration, 0.0f);
    EXPECT_TRUE(observer.marks.empty());
}

TEST_F(FireRun, AirflowOnlyIgnoresTheFinishTime)
{
    CBriscoDoc& doc = net.doc();
    const RunOutcome outcome = runAnalysis(doc, dialog, observer, true);
    EXPECT_FALSE(outcome.fire);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(dialog.secondLines.empty());
    EXPECT_EQ(net.roadAt(a).gasConcentration, 0.0f);
}

TEST_F(FireRun, StatusLineAndProgressEveryStepUntilTheFinish)
{
    CBriscoDoc& doc = net.doc();
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(outcome.fire);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(dialog.captions.front(), kAnalyzingCaption);
    EXPECT_EQ(dialog.captions.back(), kFireCompletedCaption);
    EXPECT_EQ(dialog.ranges.back(), std::make_pair(0, 3));
    EXPECT_EQ(dialog.startTexts, (std::vector<std::string>{"Stop", "Start"}));
    EXPECT_EQ(dialog.progressSteps, 0);  // solver iterations do not move the bar in a fire run

    std::vector<bool> resolves;
    const std::vector<float> times = fireStepTimes(0.1f, 1.0f, 3, &resolves);
    ASSERT_EQ(dialog.secondLines.size(), times.size() + 1);
    EXPECT_EQ(dialog.secondLines[0], "Fire[ 100,  650C] Time=0/3");
    EXPECT_EQ(dialog.secondLines[1], "Fire[ 100,  650C] Time=0/3");   // 0.1 min
    EXPECT_EQ(dialog.secondLines[10], "Fire[ 100,  650C] Time=1/3");  // 1.0 min
    EXPECT_EQ(dialog.secondLines[20], "Fire[ 100,  650C] Time=2/3");  // 2.0 min
    EXPECT_EQ(dialog.secondLines.back(), "Fire[ 100,  650C] Time=3/3");
    // The driver's 0, then the whole minutes of every step.
    ASSERT_EQ(dialog.positions.size(), times.size() + 1);
    EXPECT_EQ(dialog.positions[0], 0);
    for (size_t s = 0; s < times.size(); ++s)
        EXPECT_EQ(dialog.positions[s + 1], int(times[s])) << "step " << s + 1;
    int expectedResolves = 0;
    for (const bool r : resolves)
        expectedResolves += r;
    EXPECT_EQ(doc.fireWork.resolves, expectedResolves);
    EXPECT_EQ(expectedResolves, 3);  // after about 1, 2 and 3 minutes
    EXPECT_FLOAT_EQ(doc.fireWork.simulatedMinutes, times.back());
    EXPECT_EQ(observer.marksOf(a).size(), times.size());
    EXPECT_EQ(observer.redraws, 0);  // not paused
}

// The time step is the smaller of the two steps: with a fire step of 0.25
// min below the display step of 0.5 min, every step re-solves.
TEST_F(FireRun, TimeStepIsTheSmallerStep)
{
    CBriscoDoc& doc = net.doc();
    doc.fire.frontDisplayStep = 0.5f;
    doc.fire.fireTimeStep = 0.25f;
    runAnalysis(doc, dialog, observer);
    const std::vector<float> times = fireStepTimes(0.5f, 0.25f, 3);
    ASSERT_EQ(times.size(), 12u);
    EXPECT_EQ(dialog.secondLines.size(), 13u);
    EXPECT_EQ(doc.fireWork.resolves, 12);
    EXPECT_FLOAT_EQ(doc.fireWork.simulatedMinutes, 3.0f);
}

// A stop is taken at the next re-solve point only: here the one after 1
// minute, although it was asked for after the fifth step.
TEST_F(FireRun, StopIsHonouredAtTheNextResolve)
{
    CBriscoDoc& doc = net.doc();
    dialog.stopWhen = [this] { return dialog.secondLines.size() > 5; };
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(outcome.fire);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(dialog.captions.back(), kSuspendedCaption);
    EXPECT_EQ(dialog.startTexts, (std::vector<std::string>{"Stop", "restart", "Start"}));
    ASSERT_GE(dialog.closeStates.size(), 2u);
    EXPECT_TRUE(dialog.closeStates[dialog.closeStates.size() - 2]);  // enabled by the stop itself
    const std::vector<float> times = fireStepTimes(0.1f, 1.0f, 3);
    EXPECT_EQ(dialog.secondLines.size(), 11u);  // start and ten steps
    EXPECT_FLOAT_EQ(doc.fireWork.simulatedMinutes, times[9]);
    EXPECT_EQ(doc.fireWork.resolves, 0);
    EXPECT_TRUE(everythingFinite(doc));
}

// A re-solve that fails ends the run, which then counts as ended.
TEST_F(FireRun, FailedResolveEndsTheRun)
{
    CBriscoDoc& doc = net.doc();
    dialog.onSecondLine = [this](const std::string&) {
        if (dialog.secondLines.size() == 2)  // after the initial solve
            net.app.units.maxIteration = 2;
    };
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(dialog.captions.back(), kFireCompletedCaption);
    EXPECT_EQ(doc.fireWork.lastSolveResult, -1);
    EXPECT_EQ(doc.fireWork.resolves, 1);
    EXPECT_EQ(dialog.secondLines.size(), 11u);
    EXPECT_TRUE(everythingFinite(doc));
}

// Pausing: the views are redrawn at the start and after each re-solve while
// the pause flag is set; each re-solve shows the pause dialog first, and
// clearing its box clears the flag and the dialog's Opt1 box.
TEST_F(FireRun, PauseDialogAtEveryResolveUntilItIsCleared)
{
    CBriscoDoc& doc = net.doc();
    doc.pauseFlag = 1;
    observer.pauseAnswers = {true, false};
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(observer.pauseDialogs, 2);
    EXPECT_EQ(dialog.opt1Clears, 1);
    EXPECT_EQ(doc.pauseFlag, 0);
    EXPECT_EQ(observer.redraws, 2);  // the start, the first re-solve
    EXPECT_EQ(doc.fireWork.resolves, 3);
}

// Every start begins afresh: a second run gives the same results.
TEST_F(FireRun, RestartGivesTheSameResults)
{
    CBriscoDoc& doc = net.doc();
    doc.fire.finishTime = 2;
    runAnalysis(doc, dialog, observer);
    const Road first = net.roadAt(a);
    RecordingDialog again;
    RecordingObserver observer2{again};
    runAnalysis(doc, again, observer2);
    const Road& second = net.roadAt(a);
    EXPECT_EQ(second.outletTemperature, first.outletTemperature);
    EXPECT_EQ(second.initialTemperature, first.initialTemperature);
    EXPECT_EQ(second.gasConcentration, first.gasConcentration);
    EXPECT_EQ(second.massFlow, first.massFlow);
    ASSERT_EQ(observer2.marks.size(), observer.marks.size());
    for (size_t k = 0; k < observer.marks.size(); ++k)
        EXPECT_EQ(observer2.marks[k].fraction, observer.marks[k].fraction);
}

}  // namespace
}  // namespace orvex::firetest
