// How the gas spreads: it stops at surface nodes, a road whose gas hardly
// differs from its node's gets no new front, the front table is finite, and
// a road whose airflow reverses loses its fronts and is filled again from
// whichever end now feeds it.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::firetest {
namespace {

double outletOf(double rock, double tIn, double ntu)
{
    return profileAt(rock, tIn, ntu, 1.0);
}

// Fire node 100 is fed from surface 1; road a takes its air to surface 2,
// from where road b draws air into node 101 (a fixed-flow road pulls it out
// to surface 3), and a fixed-flow road pushes air from surface 2 into node
// 104. Gas reaching surface 2 goes no further: road b stays clean, and
// node 104 does not pass gas on when it reaches surface 2. Node 104 has gas
// only once the slow road r from the fire node brings it; from then on
// road g out of 104 takes it.
TEST(Spread, GasStopsAtSurfaceNodes)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    net.surface(3);
    net.underground(100);
    net.underground(101);
    net.underground(104);
    const int a = net.road(100, 2, 0.05f, 5, 100, 2, 20);
    const int b = net.road(2, 101, 0.05f, 5, 100, 2, 24);
    const int r = net.road(100, 104, 2.0f, 2, 100, 2, 20);
    const int g = net.road(104, 3, 0.05f, 5, 100, 2, 20);
    net.fixedRoad(1, 100, 300);
    net.fixedRoad(101, 3, 500);
    net.fixedRoad(2, 104, 200);
    CBriscoDoc& doc = net.build(100);
    doc.fire.fireTimeStep = 1000;  // no re-solve: the airflows stay
    doc.fire.finishTime = 20;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    std::vector<float> gasOfG;
    dialog.onSecondLine = [&](const std::string&) { gasOfG.push_back(net.roadAt(g).gasConcentration); };
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(everythingFinite(doc));
    ASSERT_GT(net.roadAt(b).massFlow, 0);  // from surface 2 into 101
    ASSERT_GT(net.roadAt(r).massFlow, 0);

    const Road& ra = net.roadAt(a);
    EXPECT_FLOAT_EQ(ra.gasConcentration, 100.0f);
    EXPECT_NEAR(ra.outletTemperature, outletOf(20, 400, transferUnits(2, 5, 100, ra.massFlow)), 0.01);
    const Road& rb = net.roadAt(b);
    EXPECT_EQ(rb.gasConcentration, 0.0f);
    EXPECT_EQ(rb.outletTemperature, 24.0f);
    EXPECT_EQ(rb.inletTemperature, 24.0f);
    EXPECT_EQ(rb.initialTemperature, 24.0f);
    EXPECT_TRUE(observer.marksOf(b).empty());

    // Road g has gas from the first step that reaches r's passage time on,
    // not from a's.
    const double tauA = passageHours(5, 100, ra.massFlow, ra.density);
    const double tauR = passageHours(2, 100, net.roadAt(r).massFlow, net.roadAt(r).density);
    ASSERT_LT(tauA * 60 + 0.5, tauR * 60) << tauR * 60;
    ASSERT_LT(tauR * 60, 19.0) << tauR * 60;
    const std::vector<float> times = fireStepTimes(0.1f, 1000, 20);
    size_t first = 1;
    while (first < gasOfG.size() && gasOfG[first] == 0)
        ++first;
    ASSERT_LT(first, gasOfG.size());
    EXPECT_GE(times[first - 1] / 60.0, tauR);
    EXPECT_LT(times[first - 2] / 60.0, tauR);
    // The mixture of surface air (fixed-flow road) and r's gas.
    const double wr = net.roadAt(r).massFlow, w2 = 200 * kMassPerFlowUnit;
    EXPECT_NEAR(net.roadAt(g).gasConcentration, 100 * wr / (wr + w2), 1e-3);
    // Once the gas has reached its final extent nothing moves: the run
    // ends early.
    EXPECT_EQ(outcome.result, 0);
    EXPECT_LT(doc.fireWork.simulatedMinutes, 20.0f);
}

// Fixed-flow roads and fans hold no air: when the gas reaches node 101,
// node 102 behind a fixed-flow road from 101 and node 103 behind a fan from
// 101 send it on at the same moment. Only one level: node 104 behind a
// fixed-flow road from 102 does not.
TEST(Spread, FixedFlowRoadsAndFansPassGasOnAtOnce)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    for (int n : {100, 101, 102, 103, 104})
        net.underground(n);
    const int a = net.road(100, 101, 0.05f, 5, 100, 2, 20);
    const int c = net.road(101, 2, 0.05f, 5, 100, 2, 20);
    const int b = net.road(102, 2, 0.05f, 5, 100, 2, 20);
    const int e = net.road(103, 2, 128, 5, 100, 2, 20);
    const int h = net.road(104, 2, 0.05f, 5, 100, 2, 20);
    net.fixedRoad(1, 100, 600);
    net.fixedRoad(101, 102, 200);
    net.fixedRoad(102, 104, 100);
    net.fan(101, 103, 50, {400, 300, 100});
    CBriscoDoc& doc = net.build(100);
    doc.fire.fireTimeStep = 1000;
    doc.fire.finishTime = 10;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(everythingFinite(doc));
    ASSERT_GT(doc.fans[1].fanFlow, 0.0f);
    ASSERT_LT(doc.fans[1].fanFlow, 100.0f);
    for (int k : {a, b, c, e, h})
        ASSERT_GT(net.roadAt(k).massFlow, 0) << k;

    const Road& ra = net.roadAt(a);
    const double tauA = passageHours(5, 100, ra.massFlow, ra.density);
    const std::vector<float> times = fireStepTimes(0.1f, 1000, 10);
    for (int k : {b, c, e}) {
        const Road& r = net.roadAt(k);
        const double tau = passageHours(5, 100, r.massFlow, r.density);
        const auto marks = observer.marksOf(k);
        ASSERT_FALSE(marks.empty()) << k;
        for (const auto& m : marks)
            EXPECT_NEAR(m.fraction, (times[size_t(m.step - 1)] / 60.0 - tauA) / tau, 2e-5) << k;
        EXPECT_FLOAT_EQ(r.gasConcentration, 100.0f) << k;
        // All of them take 101's air: what left road a.
        EXPECT_FLOAT_EQ(r.inletTemperature, ra.outletTemperature) << k;
    }
    EXPECT_EQ(net.roadAt(h).gasConcentration, 0.0f);
    EXPECT_TRUE(observer.marksOf(h).empty());
}

// Two fronts reach node 101 within one step (of a minute): along road a1,
// and along the detour p, q through 103. The first makes a front into road
// r; when the second arrives, that front is still travelling. The second
// front merges into it (keeping its arrival time) when the two arrivals
// lie within 0.001 h, or else when their temperatures lie within 5 °C;
// otherwise r gets a second front.
struct MergeCase {
    float detour;        // length of p plus q, m
    float conductivity;  // of q: high cools the detour's air to the rock temperature
    int frontsInR;
};

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << "detour " << c.detour << " m, conductivity " << c.conductivity << ", " << c.frontsInR
        << " front(s)";
}

class Merge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(Merge, SecondFrontMergesWhenCloseInTimeOrTemperature)
{
    const MergeCase mc = GetParam();
    FireNet net;
    net.surface(1);
    net.surface(2);
    for (int n : {100, 101, 103})
        net.underground(n);
    const int a1 = net.road(100, 101, 0.05f, 2, 100, 2, 20);
    const int p = net.road(100, 103, 0.05f, 2, mc.detour / 2, 2, 20);
    const int q = net.road(103, 101, 0.05f, 2, mc.detour / 2, mc.conductivity, 20);
    const int r = net.road(101, 2, 0.05f, 10, 500, 2, 20);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.frontDisplayStep = 1;
    doc.fire.fireTimeStep = 1000;
    doc.fire.finishTime = 5;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(everythingFinite(doc));

    const double w1 = net.roadAt(a1).massFlow, w2 = net.roadAt(q).massFlow;
    const double t1 = passageHours(2, 100, w1, net.roadAt(a1).density);
    const double t2 = passageHours(2, mc.detour / 2, w2, net.roadAt(p).density) +
                      passageHours(2, mc.detour / 2, w2, net.roadAt(q).density);
    ASSERT_LT(t1, t2);
    ASSERT_LT(t2, 1.0 / 60);  // both in the first step
    // The air leaving 101 after the first and after the second arrival.
    const double outA1 = outletOf(20, 400, transferUnits(2, 5, 100, w1));
    const double outP = outletOf(20, 400, transferUnits(2, 5, mc.detour / 2, w2));
    const double outQ = outletOf(20, outP, transferUnits(mc.conductivity, 5, mc.detour / 2, w2));
    const double mix1 = (w1 * outA1 + w2 * 20) / (w1 + w2);
    const double mix2 = (w1 * outA1 + w2 * outQ) / (w1 + w2);
    const bool merges = t2 - t1 <= 0.001 || std::fabs(mix2 - mix1) <= 5;
    ASSERT_EQ(merges, mc.frontsInR == 1);

    const Road& rr = net.roadAt(r);
    const double tauR = passageHours(10, 500, rr.massFlow, rr.density);
    const std::vector<float> times = fireStepTimes(1, 1000, 5);
    const auto marks = observer.marksOf(r);
    ASSERT_EQ(marks.size(), times.size() * size_t(mc.frontsInR));
    for (size_t s = 0; s < times.size(); ++s) {
        const double t = times[s] / 60.0;
        // The first (or only) front entered at t1.
        EXPECT_NEAR(marks[s * mc.frontsInR].fraction, (t - t1) / tauR, 2e-5) << "step " << s + 1;
        if (mc.frontsInR == 2) {
            EXPECT_NEAR(marks[s * 2 + 1].fraction, (t - t2) / tauR, 2e-5) << "step " << s + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Merge,
    ::testing::Values(MergeCase{75, 0.01f, 1},   // 0.0006 h apart, about 90 °C apart: merged by time
                      MergeCase{80, 50.0f, 1},   // 0.0012 h apart, within 1 °C: merged by temperature
                      MergeCase{80, 0.01f, 2})); // far apart in both: a second front

// Fire node 100 sends its air to node 101 along a short road a1 and along
// a slow detour: road p to node 103, then the short road a2 to 101, with a
// hundred times a1's resistance (a tenth of its airflow). Fresh air comes to
// 101 from surface 3 along road f, and road b takes the mixture on. When
// a1's gas arrives, 101 has C1 = 100·w1/W percent gas (a2 still carries
// clean air), and road b takes it. When the detour's gas arrives much later,
// 101 has C2 = 100·(w1 + w2)/W: about three points more. That starts a new
// front in b only when it is at least fc_lim·100 points away from b's gas.
class GasLimit : public ::testing::TestWithParam<float> {
protected:
    void SetUp() override
    {
        net.surface(1);
        net.surface(2);
        net.surface(3);
        net.underground(100);
        net.underground(101);
        net.underground(102);
        net.underground(103);
        a1 = net.road(100, 101, 0.05f, 2, 50, 2, 20);
        p = net.road(100, 103, 2.5f, 2, 100, 2, 20);
        a2 = net.road(103, 101, 2.5f, 2, 10, 2, 20);
        f = net.road(3, 101, 0.05f, 10, 100, 2, 20);
        b = net.road(101, 102, 0.05f, 2, 50, 2, 20);
        net.fixedRoad(1, 100, 300);
        net.fixedRoad(102, 2, 1000);
        CBriscoDoc& doc = net.build(100);
        doc.fire.gasLimit = GetParam();
        doc.fire.fireTimeStep = 1000;  // no re-solve: the airflows stay
        doc.fire.finishTime = 15;
        outcome = runAnalysis(doc, dialog, observer);
    }

    FireNet net;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    RunOutcome outcome;
    int a1 = 0, p = 0, a2 = 0, f = 0, b = 0;
};

TEST_P(GasLimit, NewFrontOnlyWhenTheGasChangesByTheLimit)
{
    CBriscoDoc& doc = net.doc();
    EXPECT_TRUE(everythingFinite(doc));
    const double w1 = std::fabs(net.roadAt(a1).massFlow), w2 = std::fabs(net.roadAt(a2).massFlow);
    const double wf = std::fabs(net.roadAt(f).massFlow);
    const double w = w1 + w2 + wf;
    EXPECT_NEAR(w, 1000 * kMassPerFlowUnit, 1e-3);
    EXPECT_NEAR(net.roadAt(p).massFlow, w2, 1e-3);
    const double c1 = 100 * w1 / w, c2 = 100 * (w1 + w2) / w;
    ASSERT_GT(c2 - c1, 2.0);
    ASSERT_LT(c2 - c1, 5.0);
    // Road b is passed long before the detour's gas comes.
    const double tau1 = passageHours(2, 50, w1, net.roadAt(a1).density);
    const double tau2 = passageHours(2, 100, w2, net.roadAt(p).density) +
                        passageHours(2, 10, w2, net.roadAt(a2).density);
    const double tauB = passageHours(2, 50, net.roadAt(b).massFlow, net.roadAt(b).density);
    ASSERT_LT(tau1 + tauB + 0.2 / 60, tau2);
    ASSERT_LT(tau2 * 60, 14.0);

    const Road& rb = net.roadAt(b);
    const bool newFront = std::fabs(c2 - c1) / 100 >= GetParam();
    EXPECT_NEAR(rb.gasConcentration, newFront ? c2 : c1, 1e-3);
    // The temperature the front brought: a1's exchanged fire air, then
    // (with a new front) also the detour's, mixed with the rock-tempered
    // air of the other roads (f at 20 °C; a2 before its gas arrives, its
    // outlet still at the rock temperature of 20 °C).
    const double outA1 = outletOf(20, 400, transferUnits(2, 5, 50, w1));
    const double outP = outletOf(20, 400, transferUnits(2, 5, 100, w2));
    const double outA2 = outletOf(20, outP, transferUnits(2, 5, 10, w2));
    const double mix1 = (w1 * outA1 + w2 * 20 + wf * 20) / w;
    const double mix2 = (w1 * outA1 + w2 * outA2 + wf * 20) / w;
    EXPECT_NEAR(rb.inletTemperature, newFront ? mix2 : mix1, 0.01);
    EXPECT_EQ(outcome.result, 0);  // everything passed before the finish
}

// 0.05: three points are below five, no new front; 0.02: they are above two.
INSTANTIATE_TEST_SUITE_P(Limit, GasLimit, ::testing::Values(0.05f, 0.02f));

// 520 roads leave the fire node for surface 2: 100 short ones first, then
// 420 long ones, all with the same resistance and so the same airflow. The
// fire node's first emission fills the 499 slots of the front table and
// refuses the 500th road; every later emission is refused too (once each)
// until the short roads have been passed, which frees a hundred slots for
// the roads still without gas. The run goes on and in the end every road
// has the fire's gas.
TEST(FrontTable, FullTableIsReportedOncePerEmissionAndTheRunGoesOn)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    net.underground(100);
    constexpr int kShort = 100, kRoads = 520;
    for (int k = 1; k <= kRoads; ++k)
        net.road(100, 2, 1.0f, 1, k <= kShort ? 5.0f : 40.0f, 2, 20);
    net.fixedRoad(1, 100, 6000);
    CBriscoDoc& doc = net.build(100);
    doc.fire.fireTimeStep = 1000;
    doc.fire.finishTime = 10;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    std::vector<int> fullMessages;  // " Front over " messages so far, after each fire line
    dialog.onSecondLine = [&](const std::string&) {
        fullMessages.push_back(net.reporter.count(" Front over "));
    };
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    EXPECT_TRUE(everythingFinite(doc));

    const Road& first = net.roadAt(1);
    for (int k = 2; k <= kRoads; ++k)
        ASSERT_EQ(net.roadAt(k).massFlow, first.massFlow) << k;
    EXPECT_NEAR(first.massFlow * kRoads, 6000 * kMassPerFlowUnit, 1e-3);
    const double tauShort = passageHours(1, 5, first.massFlow, first.density);
    const double tauLong = passageHours(1, 40, first.massFlow, first.density);
    const std::vector<float> times = fireStepTimes(0.1f, 1000, 10);
    // The fire node emits at 0 and at the start of every later step; those
    // before the step in which the short roads are passed find the table full.
    size_t freed = 0;
    while (freed < times.size() && times[freed] / 60.0 < tauShort)
        ++freed;
    ASSERT_LT(freed + 1, times.size());
    ASSERT_GT(std::fabs(times[freed] / 60.0 - tauShort), 1e-5);
    const int expectedMessages = int(freed) + 1;
    ASSERT_GE(fullMessages.size(), freed + 2);
    EXPECT_EQ(fullMessages[1], 1);  // the first step: one message, not one per refused road
    EXPECT_EQ(fullMessages[freed + 1], expectedMessages);
    EXPECT_EQ(net.reporter.count(" Front over "), expectedMessages) << net.reporter.all();
    for (size_t s = 1; s + 1 < fullMessages.size() && s <= freed + 1; ++s)
        EXPECT_EQ(fullMessages[s], int(s)) << "step " << s;

    // The first emission filled exactly the 499 slots: roads 1..499 were
    // drawn in the first step, the others not.
    std::vector<int> firstStep(kRoads + 1, 0);
    for (const auto& m : observer.marks)
        if (m.step == 1)
            ++firstStep[size_t(m.road)];
    for (int k = 1; k <= kRoads; ++k)
        ASSERT_EQ(firstStep[size_t(k)], k <= kFrontSlots ? 1 : 0) << "road " << k;

    // Every road got its gas; the first refused road (500) entered at the
    // start of the step after the short roads were passed.
    for (int k = 1; k <= kRoads; ++k)
        ASSERT_FLOAT_EQ(net.roadAt(k).gasConcentration, 100.0f) << k;
    const double entered = times[freed] / 60.0;
    const auto marks = observer.marksOf(kFrontSlots + 1);  // road 500
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks.front().step, int(freed) + 2);
    EXPECT_NEAR(marks.front().fraction, (times[freed + 1] / 60.0 - entered) / tauLong, 2e-5);
    const Road& late = net.roadAt(kRoads);
    EXPECT_NEAR(late.outletTemperature, outletOf(20, 400, transferUnits(2, 5, 40, late.massFlow)), 0.01);
    EXPECT_EQ(outcome.result, 0);  // all passed before the finish
}

// A natural-draught reversal. Air pushed into the fire node F (100, at
// level 0) leaves either straight to surface 2 through the wide road z, or
// down road x to D (101, 300 m deeper) and up road y to surface 2. While all
// air is cold the columns in x and y balance; the fire's hot gas entering x
// makes its column lighter than y's, and at the first re-solve the draught
// turns the air in x upwards (D -> F), and in y downwards. Road x then loses
// its gas front; its outlet temperature becomes its mean temperature, and
// both its ends emit: D sends the clean air it now gets from y up x. At the
// second re-solve the lighter column is gone and x turns back: its clean
// front is dropped, and the fire's gas comes again. The parameter builds x
// from F to D or from D to F: either end must emit.
class Reversal : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        net.surface(1, 0);
        net.surface(2, 0);
        net.underground(100, 0);
        net.underground(101, -300);
        forward = GetParam();
        x = forward ? net.road(100, 101, 1.0f, 10, 400, 2, 20) : net.road(101, 100, 1.0f, 10, 400, 2, 20);
        y = net.road(101, 2, 1.0f, 10, 400, 2, 20);
        z = net.road(100, 2, 0.01f, 10, 100, 2, 20);
        net.fixedRoad(1, 100, 600);
        CBriscoDoc& doc = net.build(100);
        doc.fire.finishTime = 3;
        doc.pauseFlag = 1;  // the run pauses after every re-solve: look at the solve's result there
        observer.onRedraw = [this] {
            const Road& r = net.roadAt(x);
            afterSolve.push_back(
                {r.massFlow, r.density, r.reversalFlag, r.initialTemperature, net.roadAt(y).massFlow});
        };
        dialog.onSecondLine = [this](const std::string&) {
            const Road& r = net.roadAt(x);
            lines.push_back({r.massFlow, r.outletTemperature, r.initialTemperature, r.gasConcentration});
        };
        outcome = runAnalysis(doc, dialog, observer);
    }

    struct Solved {
        float massFlow, density;
        int reversalFlag;
        float mean;
        float massFlowY;
    };
    struct Line {
        float massFlow, outlet, mean, gas;
    };
    FireNet net;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    std::vector<Solved> afterSolve;  // x after the initial solve and every re-solve
    std::vector<Line> lines;         // x at every fire line
    RunOutcome outcome;
    bool forward = true;
    int x = 0, y = 0, z = 0;
};

TEST_P(Reversal, ReversedRoadDropsItsFrontsAndIsRefilledFromTheNewUpstreamEnd)
{
    CBriscoDoc& doc = net.doc();
    ASSERT_EQ(outcome.result, 1) << net.reporter.all();
    EXPECT_TRUE(everythingFinite(doc));
    std::vector<bool> resolves;
    const std::vector<float> times = fireStepTimes(0.1f, 1.0f, 3, &resolves);
    ASSERT_EQ(afterSolve.size(), 1u + doc.fireWork.resolves);
    ASSERT_EQ(doc.fireWork.resolves, 3);
    std::vector<size_t> resolveSteps;  // 1-based steps followed by a re-solve
    for (size_t s = 0; s < resolves.size(); ++s)
        if (resolves[s])
            resolveSteps.push_back(s + 1);
    ASSERT_EQ(resolveSteps.size(), 3u);
    const size_t r1 = resolveSteps[0], r2 = resolveSteps[1];
    ASSERT_EQ(r1, 10u);
    ASSERT_EQ(r2, 20u);

    // The sense of x's first-to-second direction that points from F to D.
    const int down = forward ? 1 : -1;
    const Solved& initial = afterSolve[0];
    ASSERT_GT(down * initial.massFlow, 0);         // F -> D before the fire heats x
    ASSERT_LT(down * afterSolve[1].massFlow, 0);   // D -> F after the first re-solve
    EXPECT_EQ(afterSolve[1].reversalFlag, 1);
    ASSERT_GT(down * afterSolve[2].massFlow, 0);   // and back at the second
    EXPECT_EQ(afterSolve[2].reversalFlag, 1);
    // y turns with x: the air now goes down y and up x.
    EXPECT_GT(initial.massFlowY, 0);
    EXPECT_LT(afterSolve[1].massFlowY, 0);

    // Steps 1..r1: the fire's front goes down x, one mark a step.
    const double tau0 = passageHours(10, 400, initial.massFlow, initial.density);
    const auto marks = observer.marksOf(x);
    std::vector<std::vector<RecordingObserver::Mark>> byStep(times.size() + 2);
    for (const auto& m : marks)
        byStep[size_t(m.step)].push_back(m);
    for (size_t s = 1; s <= r1; ++s) {
        ASSERT_EQ(byStep[s].size(), 1u) << "step " << s;
        EXPECT_EQ(byStep[s][0].direction, down);
        EXPECT_FLOAT_EQ(byStep[s][0].distance, observer.radius);
        EXPECT_NEAR(byStep[s][0].fraction, times[s - 1] / 60.0 / tau0, 2e-5) << "step " << s;
    }

    // The mean temperature before the first re-solve: the front is d metres
    // in; behind it the fire's air cools along the road, ahead of it the air
    // is at the rock's 20 °C.
    const double d = times[r1 - 1] / 60.0 / tau0 * 400;
    const double perMetre = transferUnits(2, 5, 1, initial.massFlow);
    const double hot = meanBySimpson([&](double s) { return profileAt(20, 400, perMetre * s, 1.0); }, 0, d);
    const double mean1 = (hot * d + 20.0 * (400 - d)) / 400;
    EXPECT_NEAR(afterSolve[1].mean, mean1, 2e-3);
    // lines[s] is x at the end of step s's front processing, before that
    // step's re-solve. Up to the reversal x has the fire's gas and the
    // rock's outlet temperature; after it its outlet temperature is that
    // mean.
    EXPECT_EQ(lines[r1].gas, 100.0f);
    EXPECT_EQ(lines[r1].outlet, 20.0f);
    EXPECT_NEAR(lines[r1 + 1].outlet, mean1, 2e-3);
    EXPECT_FLOAT_EQ(lines[r1 + 1].outlet, lines[r1 + 1].mean);

    // Steps r1+1..r2: only the new front, emitted by D at the re-solve
    // step's time with D's air (clean: 0 % gas, so its mark is drawn twice,
    // the second time at half the distance), goes up x at the new speed.
    const double t1 = times[r1 - 1] / 60.0;
    const double tau1 = passageHours(10, 400, afterSolve[1].massFlow, afterSolve[1].density);
    for (size_t s = r1 + 1; s <= r2; ++s) {
        ASSERT_EQ(byStep[s].size(), 2u) << "step " << s;
        const double fraction = (times[s - 1] / 60.0 - t1) / tau1;
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(byStep[s][size_t(k)].direction, -down) << "step " << s;
            EXPECT_NEAR(byStep[s][size_t(k)].fraction, fraction, 2e-5) << "step " << s;
        }
        EXPECT_FLOAT_EQ(byStep[s][0].distance, observer.radius);
        EXPECT_FLOAT_EQ(byStep[s][1].distance, observer.radius / 2);
        EXPECT_EQ(lines[s].gas, 0.0f) << "step " << s;
    }

    // The second re-solve turns x back. Its gas is 0 now, so its ends do
    // not emit for it and its outlet temperature stays; the clean front is
    // dropped, and the fire node's emission at the start of the next step
    // sends the gas down again.
    EXPECT_FLOAT_EQ(lines[r2 + 1].outlet, lines[r2].outlet);
    const double t2 = times[r2 - 1] / 60.0;
    const double tau2 = passageHours(10, 400, afterSolve[2].massFlow, afterSolve[2].density);
    for (size_t s = r2 + 1; s < times.size() && resolves[s - 1] == false; ++s) {
        ASSERT_EQ(byStep[s].size(), 1u) << "step " << s;
        EXPECT_EQ(byStep[s][0].direction, down);
        EXPECT_NEAR(byStep[s][0].fraction, (times[s - 1] / 60.0 - t2) / tau2, 2e-5) << "step " << s;
        EXPECT_EQ(lines[s].gas, 100.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Orientation, Reversal, ::testing::Values(true, false));

}  // namespace
}  // namespace orvex::firetest
