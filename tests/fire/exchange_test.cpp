// Heat exchange with the rock and the travel of the fronts: a front needs the
// road's volume divided by its volume flow to pass it, and the air leaving a
// road and the road's mean temperature follow the exponential approach of
// the air temperature to the rock temperature along the road.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::firetest {
namespace {

constexpr float kFireTemperature = 400.0f;

// Outlet and mean temperature of a road whose air entered at tIn: the
// profile at the road's end, and its mean over the length (integrated).
struct Exchange {
    double outlet, mean;
};
Exchange exchangeOf(double rock, double tIn, double ntu)
{
    return {profileAt(rock, tIn, ntu, 1.0),
            meanBySimpson([&](double s) { return profileAt(rock, tIn, ntu, s); }, 0.0, 1.0)};
}

// Surface 1 pushes a fixed airflow into the fire node 100; the air leaves
// through road a (100 -> 101) and road b (101 -> surface 2). All nodes lie
// level, so the hot air makes no natural draught, and the re-solve interval
// is longer than the run: airflows and densities stay those of the initial
// solve, and the fronts move at constant speed.
class Chain : public ::testing::TestWithParam<float> {
protected:
    void SetUp() override
    {
        net.surface(1);
        net.surface(2);
        net.underground(100);
        net.underground(101);
        a = net.road(100, 101, 0.05f, 10, 200, GetParam(), 20);
        b = net.road(101, 2, 0.05f, 8, 140, 1.5f * GetParam(), 25);
        fixedIn = net.fixedRoad(1, 100, 600);
        CBriscoDoc& doc = net.build(100);
        doc.fire.fireTemperature = kFireTemperature;
        doc.fire.kval = 5;
        doc.fire.frontDisplayStep = 0.1f;
        doc.fire.fireTimeStep = 1000;
        doc.fire.finishTime = 20;
        dialog.onSecondLine = [this](const std::string&) {
            gasOfB.push_back(net.roadAt(b).gasConcentration);
        };
        outcome = runAnalysis(doc, dialog, observer);
    }

    FireNet net;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    std::vector<float> gasOfB;  // road b's gas at the start and after every step
    RunOutcome outcome;
    int a = 0, b = 0, fixedIn = 0;
};

TEST_P(Chain, AirflowIsTheFixedFlowInEveryRoad)
{
    CBriscoDoc& doc = net.doc();
    ASSERT_TRUE(outcome.fire);
    EXPECT_TRUE(everythingFinite(doc));
    const double m = 600 * kMassPerFlowUnit;  // 12.046 kg/s
    EXPECT_NEAR(doc.roads[size_t(fixedIn)].massFlow, m, 1e-4);
    EXPECT_NEAR(net.roadAt(a).massFlow, m, 1e-3);
    EXPECT_NEAR(net.roadAt(b).massFlow, m, 1e-3);
}

TEST_P(Chain, OutletAndMeanTemperaturesFollowTheRockExchange)
{
    const Road& ra = net.roadAt(a);
    const Road& rb = net.roadAt(b);
    // Road a takes the fire's air; road b the air that left road a.
    const double ntuA = transferUnits(GetParam(), 5, 200, ra.massFlow);
    const double ntuB = transferUnits(1.5 * GetParam(), 5, 140, rb.massFlow);
    const Exchange ea = exchangeOf(20, kFireTemperature, ntuA);
    const Exchange eb = exchangeOf(25, ea.outlet, ntuB);

    EXPECT_FLOAT_EQ(ra.inletTemperature, kFireTemperature);
    EXPECT_NEAR(ra.outletTemperature, ea.outlet, 1e-3 * ea.outlet);
    EXPECT_NEAR(ra.initialTemperature, ea.mean, 1e-4 * ea.mean);
    EXPECT_NEAR(rb.inletTemperature, ea.outlet, 1e-3 * ea.outlet);
    EXPECT_NEAR(rb.outletTemperature, eb.outlet, 1e-3 * eb.outlet);
    EXPECT_NEAR(rb.initialTemperature, eb.mean, 1e-4 * eb.mean);
    EXPECT_FLOAT_EQ(ra.gasConcentration, 100.0f);
    EXPECT_FLOAT_EQ(rb.gasConcentration, 100.0f);
    // The mean lies between the outlet and the inlet temperature.
    EXPECT_LT(ra.initialTemperature, kFireTemperature);
    EXPECT_GT(ra.initialTemperature, ra.outletTemperature);
    // The road temperatures themselves are the rock's and are not touched.
    EXPECT_FLOAT_EQ(ra.temperature, 20.0f);
    EXPECT_FLOAT_EQ(rb.temperature, 25.0f);
}

TEST_P(Chain, FrontsTakeTheRoadVolumeOverTheVolumeFlow)
{
    const Road& ra = net.roadAt(a);
    const Road& rb = net.roadAt(b);
    const double tauA = passageHours(10, 200, ra.massFlow, ra.density);  // about 0.0556 h
    const double tauB = passageHours(8, 140, rb.massFlow, rb.density);   // about 0.0306 h
    const std::vector<float> times = fireStepTimes(0.1f, 1000, 20);
    const double dt = 0.1 / 60;
    // The arrivals must not fall onto a step boundary, or rounding decides.
    const double phaseA = std::fmod(tauA, dt) / dt, phaseB = std::fmod(tauA + tauB, dt) / dt;
    ASSERT_GT(phaseA, 0.05);
    ASSERT_LT(phaseA, 0.95);
    ASSERT_GT(phaseB, 0.05);
    ASSERT_LT(phaseB, 0.95);

    // Road a: one front from the fire at time 0, drawn at every step it is
    // inside the road, with the filled fraction t/τa.
    const auto marksA = observer.marksOf(a);
    int stepsInA = 0;
    for (const float t : times)
        stepsInA += t / 60.0 < tauA;
    ASSERT_EQ(int(marksA.size()), stepsInA);
    for (const auto& m : marksA) {
        const double t = times[size_t(m.step - 1)] / 60.0;
        EXPECT_NEAR(m.fraction, t / tauA, 2e-5) << "step " << m.step;
        EXPECT_EQ(m.direction, 1);
        EXPECT_FLOAT_EQ(m.distance, observer.radius);
    }

    // Road b has gas from the first step at or after τa on.
    ASSERT_LE(gasOfB.size(), times.size() + 1);
    int firstGas = -1;
    for (size_t s = 1; s < gasOfB.size() && firstGas < 0; ++s)
        if (gasOfB[s] != 0)
            firstGas = int(s);
    ASSERT_GT(firstGas, 1);
    EXPECT_GE(times[size_t(firstGas - 1)] / 60.0, tauA);
    EXPECT_LT(times[size_t(firstGas - 2)] / 60.0, tauA);

    // Its front entered at τa and fills it at the rate 1/τb.
    const auto marksB = observer.marksOf(b);
    ASSERT_FALSE(marksB.empty());
    EXPECT_EQ(marksB.front().step, firstGas);
    for (const auto& m : marksB) {
        const double t = times[size_t(m.step - 1)] / 60.0;
        EXPECT_NEAR(m.fraction, (t - tauA) / tauB, 2e-5) << "step " << m.step;
        EXPECT_EQ(m.direction, 1);
    }

    // Once the gas has left road b nothing moves any more: the run ends at
    // the first step at or after τa + τb, with the "stopped moving" result.
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(dialog.captions.back(), kSuspendedCaption);
    ASSERT_GE(dialog.secondLines.size(), 2u);
    const size_t steps = dialog.secondLines.size() - 1;
    EXPECT_GE(times[steps - 1] / 60.0, tauA + tauB);
    EXPECT_LT(times[steps - 2] / 60.0, tauA + tauB);
    EXPECT_FLOAT_EQ(net.doc().fireWork.simulatedMinutes, times[steps - 1]);
}

// Conductivities giving small, medium and large transfer numbers.
INSTANTIATE_TEST_SUITE_P(Conductivity, Chain, ::testing::Values(0.2f, 2.0f, 9.0f));

// The fire burns at surface node 1: a fire node on the surface still emits.
// The air goes down road 1 -> 100 and leaves through a fixed-flow road to
// surface 2, which passes no gas to the surface.
TEST(SurfaceFire, RoadFromTheFireNodeTakesTheExchangedFireAir)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    net.underground(100);
    const int a = net.road(1, 100, 0.03f, 12, 300, 2.5f, 18);
    net.fixedRoad(100, 2, 900);
    CBriscoDoc& doc = net.build(1);
    doc.fire.fireTemperature = 650;
    doc.fire.kval = 4;
    doc.fire.finishTime = 10;
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    ASSERT_TRUE(outcome.fire);
    EXPECT_TRUE(everythingFinite(doc));

    // The mixing of a surface node that burns gives the fire's air.
    float t = 0, c = 0;
    EXPECT_TRUE(doc.mixNode(1, t, c));
    EXPECT_FLOAT_EQ(t, 650.0f);
    EXPECT_FLOAT_EQ(c, 100.0f);

    const Road& road = net.roadAt(a);
    EXPECT_NEAR(road.massFlow, 900 * kMassPerFlowUnit, 1e-3);
    const double ntu = transferUnits(2.5, 4, 300, road.massFlow);
    const Exchange e = exchangeOf(18, 650, ntu);
    EXPECT_FLOAT_EQ(road.gasConcentration, 100.0f);
    EXPECT_FLOAT_EQ(road.inletTemperature, 650.0f);
    EXPECT_NEAR(road.outletTemperature, e.outlet, 1e-3 * e.outlet);
    EXPECT_NEAR(road.initialTemperature, e.mean, 1e-4 * e.mean);
}

// A front is still inside a long road at the re-solves: before each the
// road's mean temperature is that of the air behind the front (hot air
// cooling along the first d metres) and of the rock-tempered air ahead of
// it; the new density follows from it, and the front goes on at the speed
// of the new volume flow.
TEST(PartlyFilledRoad, MeanTemperatureDensityAndSpeedAfterTheResolve)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    net.underground(100);
    const int a = net.road(100, 2, 0.05f, 20, 600, 2, 20);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.finishTime = 2.5f;  // defaults: 400 °C, steps 0.1 and 1 min, kval 5
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    struct Snapshot {
        float mean, density, massFlow;
        double pressureSum;
    };
    std::vector<Snapshot> snaps;
    dialog.onSecondLine = [&](const std::string&) {
        const Road& r = net.roadAt(a);
        snaps.push_back({r.initialTemperature, r.density, r.massFlow,
                         doc.nodes[size_t(net.index(100))].pressure +
                             doc.nodes[size_t(net.index(2))].pressure});
    };
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    ASSERT_EQ(outcome.result, 1) << net.reporter.all();
    EXPECT_EQ(dialog.captions.back(), kFireCompletedCaption);
    EXPECT_TRUE(everythingFinite(doc));

    std::vector<bool> resolves;
    const std::vector<float> times = fireStepTimes(0.1f, 1.0f, 2.5f, &resolves);
    ASSERT_EQ(dialog.secondLines.size(), times.size() + 1);
    ASSERT_EQ(snaps.size(), times.size() + 1);
    EXPECT_EQ(doc.fireWork.resolves, 2);

    const auto marks = observer.marksOf(a);
    ASSERT_EQ(marks.size(), times.size());  // the front never leaves the road
    // snaps[k] is written at the end of step k's front processing, before
    // its re-solve; snaps[0] at the start, before the initial solve.
    const double m = snaps[1].massFlow;
    EXPECT_NEAR(m, 600 * kMassPerFlowUnit, 1e-3);
    // The heat exchanger's transfer units per metre.
    const double perMetre = transferUnits(2, 5, 1, m);

    double entry = 0;  // h: when the front would have entered at the current speed
    double tau = passageHours(20, 600, m, snaps[1].density);
    int resolveCount = 0;
    for (size_t s = 0; s < times.size(); ++s) {
        const double t = times[s] / 60.0;
        const double fraction = (t - entry) / tau;
        ASSERT_EQ(marks[s].step, int(s + 1));
        EXPECT_NEAR(marks[s].fraction, fraction, 2e-5) << "step " << s + 1;
        if (!resolves[s])
            continue;
        ++resolveCount;
        ASSERT_LT(s + 2, snaps.size());
        // The mean before the re-solve: the front is d metres in.
        const double d = fraction * 600;
        const double hot = meanBySimpson([&](double x) { return profileAt(20, 400, perMetre * x, 1.0); },
                                         0, d);
        const double expected = (hot * d + 20.0 * (600 - d)) / 600;
        const Snapshot& after = snaps[s + 2];  // the end of the next step's front processing
        EXPECT_NEAR(after.mean, expected, 2e-3) << "re-solve " << resolveCount;
        // The density of the re-solve comes from that mean temperature (the
        // gas law at the mean pressure of the road's ends; the solver takes
        // the pressures of one of its stages, which differ a little from
        // the final ones).
        const double rho = after.pressureSum / 2 / ((expected + 273.15) * 29.27);
        EXPECT_NEAR(after.density, rho, 1e-4 * rho);
        // The airflow is fixed; the front keeps its place and moves on at
        // the new volume flow.
        EXPECT_NEAR(after.massFlow, m, 1e-3);
        const double newTau = passageHours(20, 600, after.massFlow, after.density);
        entry = t - (t - entry) / tau * newTau;
        tau = newTau;
    }
    EXPECT_EQ(resolveCount, 2);
    // Hot air is lighter: the road's air got thinner and the front faster.
    EXPECT_LT(snaps.back().density, snaps[1].density);
}

// Road b has been passed by a first front (its air entered at T1) when a
// second front (air entering at T2) starts into it. At a re-solve while the
// second front is d metres in, b's mean temperature is that of the T2 air
// cooling along the first d metres and of the T1 air ahead of it, cooled
// along the rest. The first front comes to node 101 along the short road
// a1, the second much later along the detour p, q; fresh air from surface 3
// dilutes both.
TEST(PartlyFilledRoad, AirAheadOfTheFrontIsThatOfTheLastPassedFront)
{
    FireNet net;
    net.surface(1);
    net.surface(2);
    net.surface(3);
    for (int n : {100, 101, 102, 103})
        net.underground(n);
    net.road(100, 101, 0.05f, 2, 50, 2, 20);
    net.road(100, 103, 2.5f, 2, 300, 2, 20);
    net.road(103, 101, 2.5f, 2, 10, 2, 20);
    net.road(3, 101, 0.05f, 10, 100, 2, 20);
    const int b = net.road(101, 102, 0.05f, 20, 400, 2, 18);
    net.fixedRoad(1, 100, 300);
    net.fixedRoad(102, 2, 1000);
    CBriscoDoc& doc = net.build(100);
    doc.fire.finishTime = 24;  // re-solves every minute
    RecordingDialog dialog;
    RecordingObserver observer{dialog};
    struct Snapshot {
        float inlet, mean, massFlow, mix;
    };
    std::vector<Snapshot> snaps;
    dialog.onSecondLine = [&](const std::string&) {
        const Road& r = net.roadAt(b);
        float t = 0, c = 0;
        doc.mixNode(101, t, c);
        snaps.push_back({r.inletTemperature, r.initialTemperature, r.massFlow, t});
    };
    const RunOutcome outcome = runAnalysis(doc, dialog, observer);
    ASSERT_EQ(outcome.result, 1) << net.reporter.all();
    EXPECT_TRUE(everythingFinite(doc));
    std::vector<bool> resolves;
    const std::vector<float> times = fireStepTimes(0.1f, 1.0f, 24, &resolves);
    ASSERT_EQ(snaps.size(), times.size() + 1);

    std::vector<std::vector<float>> fractions(times.size() + 2);
    for (const auto& m : observer.marksOf(b))
        fractions[size_t(m.step)].push_back(m.fraction);
    int checked = 0;
    for (size_t s = 1; s + 1 < snaps.size(); ++s) {
        // A re-solve after step s, with the first front passed (b's inlet
        // temperature is no longer the rock's) and one front inside b at
        // step s and still at step s + 1.
        if (!resolves[s - 1] || snaps[s].inlet == 18.0f || fractions[s].size() != 1 ||
            fractions[s + 1].size() != 1)
            continue;
        const double t1 = snaps[s].inlet, t2 = snaps[s].mix;
        ASSERT_GT(std::fabs(t2 - t1), 1.0);  // the two airs differ
        const double d = fractions[s][0] * 400.0;
        const double perMetre = transferUnits(2, 5, 1, snaps[s].massFlow);
        const auto air = [&](double tIn) {
            return [=](double x) { return profileAt(18, tIn, perMetre * x, 1.0); };
        };
        const double expected =
            (meanBySimpson(air(t2), 0, d) * d + meanBySimpson(air(t1), d, 400) * (400 - d)) / 400;
        EXPECT_NEAR(snaps[s + 1].mean, expected, 2e-3) << "re-solve after step " << s;
        ++checked;
    }
    EXPECT_GE(checked, 2);
}

}  // namespace
}  // namespace orvex::firetest
