// How the gas spreads within a finite front table, back along a road whose
// airflow reverses, and with a change of the fire's temperature alone.
#include "support.h"
#include "analysis/quantities.h"
#include "fire/fire.h"

namespace orvex::test {
namespace {

// 520 roads of equal airflow leave the fire node: 100 short, then 420 long.
// The first emission fills the 499 slots; each emission refuses the rest
// with one message until the short roads are passed and free their slots.
TEST(FrontTable, FullTableIsReportedOncePerEmissionAndTheRunGoesOn)
{
    FireNet net({1, 2}, {100});
    for (int k = 1; k <= 520; ++k)
        net.road(100, 2, 1, 1, k <= 100 ? 5 : 40);
    net.fixedRoad(1, 100, 6000);
    CBriscoDoc& doc = net.build(100);
    doc.fire.fireTimeStep = 1000, doc.fire.finishTime = 10;
    std::vector<int> messages;  // " Front over " so far, at every fire line
    net.rec.onLine = [&] { messages.push_back(net.reporter.count(" Front over ")); };
    EXPECT_EQ(net.run().result, 0);  // all passed before the finish
    EXPECT_TRUE(fireWork(doc).settled);
    ASSERT_TRUE(allFinite(net));
    // The fire node emits at 0 and at the start of every step; all before
    // the step in which the short roads are passed find the table full.
    const Road& r1 = net.at(1);
    ASSERT_EQ(net.at(520).massFlow, r1.massFlow);
    int freed = 1;
    while (hoursAt(freed) < passageHours(1, 5, r1.massFlow, r1.density))
        ++freed;
    ASSERT_GT(freed, 2);
    ASSERT_GT(messages.size(), size_t(freed));
    for (int s = 1; s <= freed; ++s)
        EXPECT_EQ(messages[size_t(s)], s) << "step " << s;
    EXPECT_EQ(net.reporter.count(" Front over "), freed);
    for (int k = 1; k <= 520; ++k) {
        ASSERT_EQ(net.rec.of(k, 1).size(), k <= kFrontSlots ? 1u : 0u) << k;
        ASSERT_EQ(net.at(k).gasConcentration, 100) << k;
    }
}

// Air pushed into the fire node F (100) leaves straight to surface 2 through
// the wide road z, or down x to D (101, 300 m deeper) and up y. The fire's
// gas makes x's column lighter: the first re-solve turns x upwards, which
// drops its front and makes both its ends emit: D sends the clean air it now
// gets from y up x. With that the column is cold again: the second re-solve
// turns x back, drops the clean front, and the fire's gas comes down again.
// The parameter builds x from F to D or from D to F.
class Reversal : public ::testing::TestWithParam<bool> {};

TEST_P(Reversal, DropsTheRoadsFrontsAndRefillsItFromTheNewUpstreamEnd)
{
    FireNet net({1, 2}, {100, 101});
    net.doc->nodes[4].elevation = -300;  // D
    const int x = GetParam() ? net.road(100, 101, 1, 10, 400) : net.road(101, 100, 1, 10, 400);
    net.road(101, 2, 1, 10, 400);
    net.road(100, 2, 0.01f, 10, 100);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.finishTime = 3;  // re-solves after steps 10, 20 and 30
    doc.pauseFlag = 1;        // redraws after the start's solve and every re-solve
    std::vector<Road> solved, atLine;
    net.rec.onRedraw = [&] { solved.push_back(net.at(x)); };
    net.rec.onLine = [&] { atLine.push_back(net.at(x)); };
    ASSERT_EQ(net.run().result, 1);
    ASSERT_TRUE(allFinite(net));
    ASSERT_EQ(solved.size(), 4u);
    const int down = GetParam() ? 1 : -1;  // x's sense from F to D
    ASSERT_GT(down * solved[0].massFlow, 0);
    ASSERT_LT(down * solved[1].massFlow, 0);
    ASSERT_GT(down * solved[2].massFlow, 0);
    // Steps 1-10: the fire's front goes down x. Steps 11-20: only D's
    // clean front goes up, drawn a second time at half the distance as it
    // has no gas. Steps 21-30: the fire's gas goes down again. Each front
    // entered at the step before the phase, at the speed of its solve.
    for (int s = 1; s <= 30; ++s) {
        const int phase = (s - 1) / 10;
        const Road& speed = solved[size_t(phase)];
        const std::vector<Mark> marks = net.rec.of(x, s);
        ASSERT_EQ(marks.size(), phase == 1 ? 2u : 1u) << s;
        for (const Mark& m : marks) {
            EXPECT_EQ(m.direction, phase == 1 ? -down : down) << s;
            const double tau = passageHours(10, 400, speed.massFlow, speed.density);
            EXPECT_NEAR(m.fraction, hoursAt(s - phase * 10) / tau, 2e-5) << s;
        }
        EXPECT_EQ(marks.back().distance, phase == 1 ? 4 : 8);
        EXPECT_EQ(atLine[size_t(s)].gasConcentration, phase == 1 ? 0 : 100) << s;
    }
    // At the reversal x's outlet takes its mean: the fire's air cooling
    // along the d metres behind the front, rock-tempered air ahead of it.
    const double d = hoursAt(10) / passageHours(10, 400, solved[0].massFlow, solved[0].density) * 400;
    const double mean = roadMean(20, ntuOf(2, 1, solved[0].massFlow), 400, {{d, 400}, {400, 20}});
    EXPECT_NEAR(atLine[11].outletTemperature, mean, 2e-3);
}

INSTANTIATE_TEST_SUITE_P(Orientation, Reversal, ::testing::Values(true, false));

// A change of temperature alone is sent on: the fire grows hotter after two
// minutes, with the same gas, and the road from the fire node takes a new
// front with the hotter air.
TEST(Spread, AChangeOfTemperatureAloneStartsAFront)
{
    FireNet net({1, 2}, {100});
    const int drift = net.road(100, 2, 0.5f, 10, 2000);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.finishTime = 3;
    net.rec.onLine = [&] {
        if (net.rec.lines.size() == 21)  // the end of step 20, at 2 minutes
            doc.fire.fireTemperature = 600;
    };
    ASSERT_EQ(net.run().result, 1);
    EXPECT_EQ(net.at(drift).gasArrival, 0);  // the hotter air after it changes nothing
    EXPECT_EQ(net.rec.of(drift, 20).size(), 1u);
    EXPECT_EQ(net.rec.of(drift, 21).size(), 2u);
    EXPECT_EQ(net.at(drift).entryTemperature, 600);
    EXPECT_EQ(net.at(drift).gasConcentration, 100);
}

// Fire at node 100 at the head of a line of three roads of different
// sections and lengths, pulled by a fixed-flow road; a side road brings
// fresh air into the line's end. Gas reaches each road when it has passed
// the ones before at their air speeds in the cold network: exactly for a
// fire as warm as the rock, within one fire time step of re-solves for a
// hot one, whose air expands and goes faster. The side road never sees gas.
TEST(Spread, GasArrivesAfterTheRoadsBeforeAndLeavesItsPeaks)
{
    for (const auto& [fireTemperature, within] : {std::pair{20.0f, 1e-4}, {400.0f, 1.0}}) {
        SCOPED_TRACE(fireTemperature);
        FireNet net({1, 2}, {100, 101, 102, 103});
        const int line[] = {net.road(100, 101, 0.05f, 10, 200), net.road(101, 102, 0.05f, 5, 300),
                            net.road(102, 103, 0.05f, 20, 150)};
        const int side = net.road(2, 103, 0.5f, 10, 100);
        net.fixedRoad(1, 100, 600);
        net.fixedRoad(103, 2, 700);
        CBriscoDoc& doc = net.build(100);
        EXPECT_TRUE(std::isnan(net.at(side).gasArrival) && std::isnan(net.at(side).peakGas));  // no fire run yet
        ASSERT_EQ(net.run().result, 1);  // airflow alone
        double minutes[4] = {0, 0, 0, 0};
        for (int i = 0; i < 3; ++i)
            minutes[i + 1] = minutes[i] + net.at(line[i]).length / roadVelocity(doc, line[i]) / 60;
        doc.fire.finishTime = 15;
        doc.fire.fireTemperature = fireTemperature;
        ASSERT_EQ(net.run().result, 0);  // settled: the gas filled the line before the finish
        for (int i = 0; i < 3; ++i) {
            const Road& r = net.at(line[i]);
            EXPECT_NEAR(r.gasArrival, minutes[i], within) << "road " << line[i];
            EXPECT_EQ(r.peakGas, 100);
            EXPECT_LE(r.peakTemperature, fireTemperature);
            EXPECT_GE(r.peakTemperature, r.temperature);
        }
        EXPECT_EQ(net.at(line[0]).peakTemperature, fireTemperature);
        EXPECT_TRUE(std::isnan(net.at(side).gasArrival));
        EXPECT_EQ(net.at(side).peakGas, 0);
        EXPECT_EQ(net.at(side).peakTemperature, net.at(side).temperature);
    }
}

}  // namespace
}  // namespace orvex::test
