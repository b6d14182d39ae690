// The course of a fire run under the run driver, and the input it must
// survive (a fire node that is no node, steps that would never move the
// clock: no crash, nothing undefined stored, no endless loop).
#include "support.h"
#include "fire/fire.h"

namespace orvex::test {
namespace {

struct RunCase {
    const char* name;
    int fireNode;
    float display, fireStep, finish;
    int stopAfter, failAfter, pausesKept;  // pausesKept 0: no pausing
    bool fire;
    int result;
    std::string caption;
    size_t lines;
    int resolves, redraws;
};

// A 2000 m road from the fire node 100 to surface 2 still holds gas at the
// finish. Re-solves come every fireStep, the first at fireStep - step/2.
class Run : public ::testing::TestWithParam<RunCase> {};

TEST_P(Run, EndsAsItShould)
{
    const RunCase c = GetParam();
    FireNet net({1, 2}, {100});
    net.road(100, 2, 0.05f, 10, 2000);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(c.fireNode);
    doc.fire.frontDisplayStep = c.display, doc.fire.fireTimeStep = c.fireStep, doc.fire.finishTime = c.finish;
    doc.pauseFlag = c.pausesKept > 0;
    net.rec.pausesKept = c.pausesKept, net.rec.stopAfter = c.stopAfter;
    net.rec.onLine = [&] {
        if (int(net.rec.lines.size()) == c.failAfter)
            net.app.units.maxIteration = 2;
    };
    net.at(1).gasConcentration = 33;  // an earlier run's result
    const RunOutcome outcome = net.run();
    EXPECT_EQ(outcome.fire, c.fire);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(net.rec.captions.back(), c.caption);
    ASSERT_EQ(net.rec.lines.size(), c.lines);
    EXPECT_EQ(fireWork(doc).lastSolveResult, c.lines == 0 ? 0 : c.failAfter ? -1 : 1);
    EXPECT_EQ(fireWork(doc).resolves, c.resolves);
    EXPECT_EQ(net.rec.redraws, c.redraws);
    EXPECT_EQ(net.rec.pauses, c.pausesKept);
    EXPECT_EQ(net.rec.opt1Clears, c.pausesKept > 0);
    EXPECT_EQ(std::count(net.rec.startTexts.begin(), net.rec.startTexts.end(), "restart"), c.stopAfter > 0);
    EXPECT_TRUE(allFinite(net));
    if (c.fire && c.lines == 0) {  // no fire node: nothing solved, nothing reset
        EXPECT_EQ(net.rec.statusLines, std::vector<std::string>{"No fire node!"});
        EXPECT_EQ(net.at(1).gasConcentration, 33);
    }
}

const std::string kDone = kFireCompletedCaption, kStop = kSuspendedCaption;

INSTANTIATE_TEST_SUITE_P(
    Cases, Run,
    ::testing::Values(RunCase{"ToTheFinish", 100, 0.1f, 1, 3, 0, 0, 0, true, 1, kDone, 31, 3, 0},
                      RunCase{"NoFinishTime", 100, 0.1f, 1, 0, 0, 0, 0, false, 1, kCompletedCaption, 0, 0, 0},
                      RunCase{"SmallerStepRules", 100, 0.5f, 0.25f, 3, 0, 0, 0, true, 1, kDone, 13, 12, 0},
                      RunCase{"StopTakenAtTheNextResolve", 100, 0.1f, 1, 3, 5, 0, 0, true, 0, kStop, 11, 0, 0},
                      RunCase{"FailedResolveEnds", 100, 0.1f, 1, 3, 0, 2, 0, true, 1, kDone, 11, 1, 0},
                      RunCase{"PausesUntilUnticked", 100, 0.1f, 1, 3, 0, 0, 2, true, 1, kDone, 31, 3, 2},
                      RunCase{"NegativeFireStep", 100, 0.1f, -1, 3, 0, 0, 0, true, 0, kStop, 1, 0, 0},
                      RunCase{"FireNodeNamingNoNode", 77, 0.1f, 1, 3, 0, 0, 0, true, 0, kStop, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvex::test
