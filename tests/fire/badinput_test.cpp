// Input the simulation must survive: a fire node that is no node, roads
// without airflow, length, area or heat conductivity, loops of fixed-flow
// roads and fans, nodes without inflow, steps that would never advance the
// clock. No crash, nothing infinite or undefined stored, no endless loop.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::firetest {
namespace {

// Every mark a view was asked to draw has a finite fraction within 0..1
// and a direction of +1 or -1.
::testing::AssertionResult marksSound(const RecordingObserver& observer)
{
    for (const auto& m : observer.marks)
        if (!std::isfinite(m.fraction) || m.fraction < 0 || m.fraction > 1 ||
            (m.direction != 1 && m.direction != -1) || !std::isfinite(m.distance))
            return ::testing::AssertionFailure() << "road " << m.road << " step " << m.step
                                                 << ": fraction " << m.fraction << ", direction "
                                                 << m.direction;
    return ::testing::AssertionSuccess();
}

// ---- the fire node ---------------------------------------------------------

class MissingFireNode : public ::testing::TestWithParam<int> {};

TEST_P(MissingFireNode, SaysNoFireNodeAndDoesNotRun)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    net.underground(100);
    const int a = net.road(100, 2, 0.05f);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(GetParam());
    doc.fire.finishTime = 5;
    net.roadAt(a).gasConcentration = 33;  // a previous run's result stays
    net.roadAt(a).outletTemperature = 77;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(outcome.fire);
    EXPECT_FALSE(outcome.refused);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(dialog.statusLines, std::vector<std::string>{"No fire node!"});  // nothing solved
    EXPECT_TRUE(dialog.secondLines.empty());
    EXPECT_EQ(dialog.captions.back(), kSuspendedCaption);
    EXPECT_EQ(net.roadAt(a).massFlow, 0.0f);
    EXPECT_EQ(net.roadAt(a).gasConcentration, 33.0f);
    EXPECT_EQ(net.roadAt(a).outletTemperature, 77.0f);
    EXPECT_TRUE(observer.marks.empty());
    EXPECT_TRUE(net.reporter.messages.empty()) << net.reporter.all();
}

// Below and above the number range, far outside it, and a number in range
// that no node carries.
INSTANTIATE_TEST_SUITE_P(Numbers, MissingFireNode,
                         ::testing::Values(-1, 1500, 100000, INT_MIN, INT_MAX, 77, 0));

// ---- roads -----------------------------------------------------------------

// The fire burns at surface node 1. Road z joins it to surface 3 at the
// same level: both hold the same pressure, so no air moves in z at all. Road
// a takes the fire's air down to 100, from where it is pulled out to
// surface 2; road d is a dead end below 100, with (almost) no airflow.
TEST(ZeroAirflow, RoadAtRestTakesNoFront)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    net.surface(3);
    net.underground(100);
    net.underground(104);
    const int a = net.road(1, 100, 0.05f, 10, 200, 2, 20);
    const int z = net.road(1, 3, 0.05f, 10, 200, 2, 21);
    const int d = net.road(100, 104, 0.05f, 10, 200, 2, 22);
    net.fixedRoad(100, 2, 600);
    CBriscoDoc& doc = net.build(1);
    doc.fire.finishTime = 5;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(everythingFinite(doc));
    EXPECT_TRUE(frontTableFinite(doc));
    EXPECT_TRUE(marksSound(observer));

    ASSERT_EQ(net.roadAt(z).massFlow, 0.0f);
    const Road& rz = net.roadAt(z);
    EXPECT_EQ(rz.gasConcentration, 0.0f);
    EXPECT_EQ(rz.outletTemperature, 21.0f);
    EXPECT_EQ(rz.initialTemperature, 21.0f);
    EXPECT_TRUE(observer.marksOf(z).empty());
    EXPECT_FLOAT_EQ(net.roadAt(a).gasConcentration, 100.0f);
    // Whatever airflow the dead end has, its quantities stay in range.
    const Road& rd = net.roadAt(d);
    EXPECT_GE(rd.gasConcentration, 0.0f);
    EXPECT_LE(rd.gasConcentration, 100.0f);
    EXPECT_GE(rd.initialTemperature, 20.0f);
    EXPECT_LE(rd.initialTemperature, 400.0f);
}

// A chain from the fire node 100 to surface 2: road z0 without length, road
// za without area, road c without heat conductivity, then a normal road b.
// A road without length or area holds no air: the front passes it at once.
// Without length or conductivity there is no heat exchange (NTU = 0), and
// the air leaves as it came in; the road's mean temperature is then that
// inlet temperature, the limit of the mean for NTU -> 0.
class Degenerate : public ::testing::TestWithParam<float> {};

TEST_P(Degenerate, RoadsWithoutLengthAreaOrConductivity)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    for (int n : {100, 101, 102, 103})
        net.underground(n);
    const int z0 = net.road(100, 101, 0.05f, 10, 0, 2, 20);
    const int za = net.road(101, 102, 0.05f, 0, 100, 2, 22);
    const int c = net.road(102, 103, 0.05f, 10, 200, 0, 24);
    const int b = net.road(103, 2, 0.05f, 10, 150, 2, 26);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.fireTimeStep = GetParam();
    doc.fire.finishTime = 10;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(everythingFinite(doc));
    EXPECT_TRUE(frontTableFinite(doc));
    EXPECT_TRUE(marksSound(observer));
    EXPECT_EQ(outcome.result, 0);  // all passed before the finish
    const double m = 600 * kMassPerFlowUnit;

    const Road& r0 = net.roadAt(z0);
    EXPECT_FLOAT_EQ(r0.inletTemperature, 400.0f);
    EXPECT_FLOAT_EQ(r0.outletTemperature, 400.0f);
    EXPECT_FLOAT_EQ(r0.initialTemperature, 400.0f);
    const Road& ra = net.roadAt(za);
    ASSERT_NEAR(ra.massFlow, m, 1e-3);
    const double ntuA = transferUnits(2, 5, 100, ra.massFlow);
    const double outA = profileAt(22, 400, ntuA, 1.0);
    EXPECT_NEAR(ra.outletTemperature, outA, 1e-3 * outA);
    EXPECT_NEAR(ra.initialTemperature,
                meanBySimpson([&](double s) { return profileAt(22, 400, ntuA, s); }, 0, 1), 0.01);
    const Road& rc = net.roadAt(c);
    EXPECT_FLOAT_EQ(rc.inletTemperature, ra.outletTemperature);
    EXPECT_FLOAT_EQ(rc.outletTemperature, ra.outletTemperature);
    EXPECT_FLOAT_EQ(rc.initialTemperature, ra.outletTemperature);
    const Road& rb = net.roadAt(b);
    const double outB = profileAt(26, rc.outletTemperature, transferUnits(2, 5, 150, rb.massFlow), 1.0);
    EXPECT_NEAR(rb.outletTemperature, outB, 1e-3 * outB);
    for (int k : {z0, za, c, b})
        EXPECT_FLOAT_EQ(net.roadAt(k).gasConcentration, 100.0f) << k;

    // The roads without volume are never drawn as partly filled; road c is,
    // from the first step on, as if it began at the fire node.
    EXPECT_TRUE(observer.marksOf(z0).empty());
    EXPECT_TRUE(observer.marksOf(za).empty());
    const auto marks = observer.marksOf(c);
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks.front().step, 1);
    if (GetParam() > 100) {  // no re-solve: the speed stays
        const std::vector<float> times = fireStepTimes(0.1f, GetParam(), 10);
        const double tau = passageHours(10, 200, rc.massFlow, rc.density);
        for (const auto& mark : marks)
            EXPECT_NEAR(mark.fraction, times[size_t(mark.step - 1)] / 60.0 / tau, 2e-5);
    }
}

// Without re-solves, and with a re-solve every minute (the densities of
// these roads then come from their mean temperatures).
INSTANTIATE_TEST_SUITE_P(FireTimeStep, Degenerate, ::testing::Values(1000.0f, 1.0f));

// ---- loops and nodes without inflow ----------------------------------------

// The gas comes to node 101 along road a and leaves along road b. Node 101
// also lies on two closed loops: fixed-flow roads 101 -> 102 -> 101, and a
// fan 101 -> 103 with a fixed-flow road 103 -> 101 back (node 103 also lets
// some of the fan's air out to surface 2 through road e, which gives the
// fan its operating point). The loops return 101's own air, so b takes a's
// air; spreading and mixing through the loops must end.
TEST(Loops, ClosedLoopsOfFixedFlowRoadsAndFansEnd)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    for (int n : {100, 101, 102, 103})
        net.underground(n);
    const int a = net.road(100, 101, 0.05f, 10, 100, 2, 20);
    const int b = net.road(101, 2, 0.05f, 10, 100, 2, 20);
    const int e = net.road(103, 2, 2700, 2, 50, 2, 20);
    net.fixedRoad(1, 100, 600);
    net.fixedRoad(101, 102, 50);
    net.fixedRoad(102, 101, 50);
    net.fixedRoad(103, 101, 10);
    net.fan(101, 103, 20, {500, 400, 200});
    CBriscoDoc& doc = net.build(100);
    doc.fire.finishTime = 10;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_EQ(outcome.result, 0) << net.reporter.all();  // all gas arrived before the finish
    EXPECT_TRUE(everythingFinite(doc));
    EXPECT_TRUE(frontTableFinite(doc));
    EXPECT_FALSE(net.reporter.contains("No airflow")) << net.reporter.all();
    ASSERT_GT(doc.fans[1].fanFlow, 10.0f);
    ASSERT_LT(doc.fans[1].fanFlow, 40.0f);
    const Road& ra = net.roadAt(a);
    const Road& rb = net.roadAt(b);
    EXPECT_FLOAT_EQ(rb.gasConcentration, 100.0f);
    EXPECT_FLOAT_EQ(rb.inletTemperature, ra.outletTemperature);
    float t = 0, g = 0;
    ASSERT_TRUE(doc.mixNode(103, t, g));  // the fan's outlet: 101's air
    EXPECT_FLOAT_EQ(t, ra.outletTemperature);
    EXPECT_FLOAT_EQ(g, 100.0f);
    // Road e, fed through the fan only, took that air on.
    EXPECT_FLOAT_EQ(net.roadAt(e).gasConcentration, 100.0f);
    EXPECT_FLOAT_EQ(net.roadAt(e).inletTemperature, ra.outletTemperature);
}

// The gas reaches node 110 twice: along the short road a1, and later along
// the detour p, q through node 112. A fan that cannot run (one curve point)
// leads from 110 to node 111, which has nothing else. Each time 110 spreads,
// 111 is mixed and has no air: that is said once per run, and the run goes
// on.
TEST(NoInflow, ReportedOncePerNodeAndRunAndTheRunGoesOn)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    for (int n : {100, 110, 111, 112})
        net.underground(n);
    const int a1 = net.road(100, 110, 0.05f, 5, 50, 2, 20);
    const int p = net.road(100, 112, 0.05f, 5, 200, 2, 20);
    const int q = net.road(112, 110, 0.05f, 5, 200, 2, 20);
    const int b = net.road(110, 2, 0.05f, 10, 100, 2, 20);
    net.fixedRoad(1, 100, 600);
    net.fan(110, 111, 10, {300});
    CBriscoDoc& doc = net.build(100);
    doc.fire.fireTimeStep = 1000;
    doc.fire.finishTime = 10;
    const std::string message = "Error : No airflow into 111";
    for (int run = 1; run <= 2; ++run) {
        RecordingDialog dialog;
        RecordingObserver observer{dialog};
        const RunOutcome outcome = runAnalysis(doc, dialog, observer);
        EXPECT_EQ(outcome.result, 0) << run;  // all gas arrived before the finish
        EXPECT_EQ(net.reporter.count(message), run) << net.reporter.all();
        EXPECT_EQ(doc.fans[1].fanFlow, 0.0f);
        EXPECT_TRUE(everythingFinite(doc));
        EXPECT_TRUE(frontTableFinite(doc));
        for (int k : {a1, p, q, b})
            EXPECT_FLOAT_EQ(net.roadAt(k).gasConcentration, 100.0f) << k << " run " << run;
        // The two arrivals at 110 lie steps apart: 110 spread twice.
        const double t1 = passageHours(5, 50, net.roadAt(a1).massFlow, net.roadAt(a1).density);
        const double t2 = passageHours(5, 200, net.roadAt(p).massFlow, net.roadAt(p).density) +
                          passageHours(5, 200, net.roadAt(q).massFlow, net.roadAt(q).density);
        EXPECT_GT((t2 - t1) * 60, 0.5);
    }
    EXPECT_FALSE(net.reporter.contains("No airflow into 110"));
}

// ---- steps that would not advance the clock ---------------------------------

struct Steps {
    float display, fire;
};

void PrintTo(const Steps& s, std::ostream* os)
{
    *os << "display step " << s.display << ", fire step " << s.fire;
}

class NoStep : public ::testing::TestWithParam<Steps> {};

TEST_P(NoStep, RunEndsAfterTheInitialSolve)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    net.underground(100);
    net.road(100, 2, 0.05f, 10, 1000, 2, 20);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.frontDisplayStep = GetParam().display;
    doc.fire.fireTimeStep = GetParam().fire;
    doc.fire.finishTime = 5;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(dialog.captions.back(), kSuspendedCaption);
    EXPECT_EQ(dialog.secondLines.size(), 1u);  // the start line only
    EXPECT_TRUE(observer.marks.empty());
    EXPECT_TRUE(everythingFinite(doc));
}

INSTANTIATE_TEST_SUITE_P(Values, NoStep,
                         ::testing::Values(Steps{0, 1}, Steps{0.1f, -1}, Steps{-0.5f, 1},
                                           Steps{0.1f, 0}));

}  // namespace
}  // namespace orvex::firetest
