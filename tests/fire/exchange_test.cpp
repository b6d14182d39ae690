// Heat exchange with the rock against its closed forms, fronts passing a
// road in its volume over its volume flow, the mean temperature of a road
// that fronts have partly filled, and the mass-flow weighted mixing of the
// air arriving at a node through roads, fixed-flow roads and fans.
#include "support.h"
#include "analysis/quantities.h"

namespace orvex::test {
namespace {

struct RoadCase {
    const char* name;
    float area, length, conductivity;
};

// The fire burns at surface node 1; road a (the case's) takes its air to
// 101. From 101 road b leads to 102 (pulled out by a fixed-flow road), a
// fixed-flow road feeds road e, a fan feeds road f, and a fan that cannot
// run leads to 105, which has nothing else. Road z joins the surface nodes
// 1 and 3 and carries no air; road d draws surface air from 2 into 106
// through rock 20 °C warmer than that air. No re-solve, run twice.
class SingleRoad : public ::testing::TestWithParam<RoadCase> {};

TEST_P(SingleRoad, ExchangeAndTravelFollowTheClosedForms)
{
    const RoadCase c = GetParam();
    FireNet net({1, 2, 3}, {101, 102, 103, 104, 105, 106});
    const int a = net.road(1, 101, 0.05f, c.area, c.length, c.conductivity, 20);
    const int b = net.road(101, 102, 0.05f, 8, 140, 3, 25), e = net.road(103, 2, 0.05f, 5);
    const int f = net.road(104, 2, 128, 5);
    const int z = net.road(1, 3, 0.05f, 10, 100, 2, 21), d = net.road(2, 106, 0.05f, 10, 100, 2, 40);
    net.fixedRoad(102, 2, 600);
    net.fixedRoad(101, 103, 200);
    net.fixedRoad(106, 3, 200);
    net.fan(101, 104, 50, {400, 300, 100});
    net.fan(101, 105, 10, {300});
    CBriscoDoc& doc = net.build(1);
    doc.fire.fireTimeStep = 1000, doc.fire.finishTime = 20;
    std::vector<float> first;
    for (int run = 1; run <= 2; ++run) {
        net.rec.lines.clear(), net.rec.marks.clear();
        EXPECT_EQ(net.run().result, 0);  // everything passed before the finish
        ASSERT_TRUE(allFinite(net));
        EXPECT_EQ(net.reporter.count("Error : No airflow into 105"), run);
        for (int k = 1; k <= doc.roadCount; ++k)
            if (run == 1)
                first.push_back(net.at(k).initialTemperature);
            else
                EXPECT_EQ(net.at(k).initialTemperature, first[size_t(k - 1)]) << k;
    }
    ASSERT_GT(doc.fans[1].fanFlow, 0);
    for (const int k : {z, d}) {
        ASSERT_EQ(k == z, net.at(k).massFlow == 0);
        EXPECT_EQ(net.at(k).gasConcentration, 0);
        EXPECT_EQ(net.at(k).outletTemperature, net.at(k).temperature);
        EXPECT_TRUE(net.rec.of(k).empty());
    }

    // a takes the fire's air, the others the air leaving a. The mean is the
    // profile integrated over the road; without transfer units it is the
    // inlet's. A front is drawn at (t - entry) / passage time, b's, e's and
    // f's entering when a's arrived; a road without volume is never drawn.
    const Road& ra = net.at(a);
    const double tauA = passageHours(c.area, c.length, ra.massFlow, ra.density);
    const double outA = profile(20, 400, ntuOf(c.conductivity, c.length, ra.massFlow));
    EXPECT_EQ(net.rec.of(a).empty(), tauA == 0);
    struct Expect {
        int k;
        double area, length, K, rock, tIn;
    };
    for (const Expect& x : {Expect{a, c.area, c.length, c.conductivity, 20, 400}, Expect{b, 8, 140, 3, 25, outA},
                            Expect{e, 5, 100, 2, 20, outA}, Expect{f, 5, 100, 2, 20, outA}}) {
        const Road& r = net.at(x.k);
        const double ntu = ntuOf(x.K, x.length, r.massFlow), out = profile(x.rock, x.tIn, ntu);
        const double mean = meanOf([&](double s) { return profile(x.rock, x.tIn, ntu, s); }, 0, 1);
        EXPECT_EQ(r.gasConcentration, 100) << x.k;
        EXPECT_NEAR(r.inletTemperature, x.tIn, 1e-3 * x.tIn) << x.k;
        EXPECT_NEAR(r.outletTemperature, out, 1e-3 * out) << x.k;
        EXPECT_NEAR(r.initialTemperature, mean, 1e-4 * mean) << x.k;
        const double tau = passageHours(x.area, x.length, r.massFlow, r.density), entry = x.k == a ? 0 : tauA;
        ASSERT_TRUE(x.k == a || !net.rec.of(x.k).empty()) << x.k;
        for (const Mark& m : net.rec.of(x.k)) {
            EXPECT_NEAR(m.fraction, (hoursAt(m.step) - entry) / tau, 2e-5) << x.k << " step " << m.step;
            EXPECT_EQ(m.direction, 1);
        }
    }

    // Re-solving every minute takes the densities from these roads' means.
    doc.fire.fireTimeStep = 1;
    net.run();
    EXPECT_TRUE(allFinite(net));
}

INSTANTIATE_TEST_SUITE_P(Roads, SingleRoad,
                         ::testing::Values(RoadCase{"Exchange", 10, 200, 2}, RoadCase{"NoConductivity", 10, 200, 0},
                                           RoadCase{"NoLength", 10, 0, 2}, RoadCase{"NoArea", 0, 100, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// The fire's air reaches node 101 along road a1 and later along the detour
// p, q; road r takes it on. The second arrival raises 101's gas from
// 100·w1/(w1 + w2) to 100 %: no new front below fc_lim·100 points. It merges
// into r's first front while that is still travelling if they arrive within
// 0.001 h or 5 °C of each other (keeping its time, taking the new air). At
// the re-solve after 4 min r's mean is made of its stretches of air, each
// cooled from its entry temperature; ahead of the oldest front is the air of
// the last front that passed r, else rock air. Then the fronts go on at the
// new speed.
struct FillCase {
    const char* name;
    float detour, detourResistance, conductivityQ, lengthR, gasLimit;
    int frontsInR;
};

class PartlyFilled : public ::testing::TestWithParam<FillCase> {};

TEST_P(PartlyFilled, FrontsMergeAndMakeTheMeanTemperature)
{
    const FillCase c = GetParam();
    FireNet net({1, 2}, {100, 101, 103});
    const int a1 = net.road(100, 101, 0.05f, 2, 100), p = net.road(100, 103, c.detourResistance, 2, c.detour / 2);
    const int q = net.road(103, 101, c.detourResistance, 2, c.detour / 2, c.conductivityQ);
    const int r = net.road(101, 2, 0.05f, 10, c.lengthR, 2, 18);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.frontDisplayStep = 1, doc.fire.fireTimeStep = 4, doc.fire.finishTime = 5, doc.fire.gasLimit = c.gasLimit;
    std::vector<std::vector<Road>> atLine;  // the normal roads at every fire line
    net.rec.onLine = [&] { atLine.emplace_back(doc.roads.begin(), doc.roads.begin() + 5); };
    net.run();
    ASSERT_TRUE(allFinite(net));
    ASSERT_EQ(atLine.size(), c.frontsInR ? 6u : 5u);  // with nothing in r the run ends
    const std::vector<Road>& s = atLine[4];  // end of step 4, before the re-solve
    const double w1 = s[size_t(a1)].massFlow, w2 = s[size_t(q)].massFlow;

    // Entry times into r (h) and the air at 101 after each arrival.
    const double t1 = passageHours(2, 100, w1, s[size_t(a1)].density);
    const double t2 = passageHours(2, c.detour / 2, w2, s[size_t(p)].density) +
                      passageHours(2, c.detour / 2, w2, s[size_t(q)].density);
    const double outA1 = profile(20, 400, ntuOf(2, 100, w1));
    const double outP = profile(20, 400, ntuOf(2, c.detour / 2, w2));
    const double outQ = profile(20, outP, ntuOf(c.conductivityQ, c.detour / 2, w2));
    const double mix1 = (w1 * outA1 + w2 * 20) / (w1 + w2), mix2 = (w1 * outA1 + w2 * outQ) / (w1 + w2);
    const double tauR = passageHours(10, c.lengthR, s[size_t(r)].massFlow, s[size_t(r)].density), T = hoursAt(4, 1);
    std::vector<std::pair<double, double>> fronts{{t1, mix1}};  // entry, °C
    const bool below = w2 / (w1 + w2) < c.gasLimit;
    if (!below && t1 + tauR > t2 && (t2 - t1 <= 0.001 || std::fabs(mix2 - mix1) <= 5))
        fronts[0].second = mix2;
    else if (!below)
        fronts.push_back({t2, mix2});
    double ahead = 18;
    std::vector<std::pair<double, double>> stretches;  // from the inlet: (end m, °C at entry)
    for (auto f = fronts.rbegin(); f != fronts.rend(); ++f)
        if (T < f->first + tauR)
            stretches.push_back({(T - f->first) / tauR * c.lengthR, f->second});
        else if (ahead == 18)
            ahead = f->second;
    ASSERT_EQ(int(stretches.size()), c.frontsInR);
    stretches.push_back({c.lengthR, ahead});

    const std::vector<Mark> step4 = net.rec.of(r, 4), step5 = net.rec.of(r, 5);
    ASSERT_EQ(int(step4.size()), c.frontsInR);
    ASSERT_EQ(int(step5.size()), c.frontsInR);
    const Road& after = atLine.back()[size_t(r)];
    const double tauAfter = passageHours(10, c.lengthR, after.massFlow, after.density);
    EXPECT_NEAR(s[size_t(r)].gasConcentration, below ? 100 * w1 / (w1 + w2) : 100, 1e-3);
    for (int k = 0; k < c.frontsInR; ++k) {  // oldest first
        const double d = stretches[size_t(c.frontsInR - 1 - k)].first / c.lengthR;
        EXPECT_NEAR(step4[size_t(k)].fraction, d, 2e-5) << k;
        EXPECT_NEAR(step5[size_t(k)].fraction, d + hoursAt(1, 1) / tauAfter, 2e-5) << k;
    }
    const double mean = roadMean(18, ntuOf(2, 1, s[size_t(r)].massFlow), c.lengthR, stretches);
    EXPECT_NEAR(after.initialTemperature, mean, 2e-3);
}

// Arrivals 0.0006 h and about 90 °C apart; 0.0012 h and about 3 °C apart;
// far apart in both; the first front passed r before the second comes, with
// 101's gas rising by 9 points: above 0.05·100, below 0.1·100.
INSTANTIATE_TEST_SUITE_P(Cases, PartlyFilled,
                         ::testing::Values(FillCase{"MergedByTime", 75, 0.05f, 0.01f, 500, 0.001f, 1},
                                           FillCase{"MergedByTemperature", 80, 0.05f, 12, 500, 0.001f, 1},
                                           FillCase{"TwoFronts", 80, 0.05f, 0.01f, 500, 0.001f, 2},
                                           FillCase{"AfterAPassedFront", 100, 2.5f, 0.01f, 150, 0.05f, 1},
                                           FillCase{"BelowTheGasLimit", 100, 2.5f, 0.01f, 150, 0.1f, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Node mixing, with airflows, outlet temperatures and gas set by hand.
TEST(Mixing, WeightsInflowsByMassFlowAndTakesUpstreamAirThroughFansAndFixedRoads)
{
    FireNet net({1, 2, 3}, {50, 100, 101, 102, 103, 105, 106, 107, 108, 109, 110, 111, 112});
    struct Set {
        int first, second;
        float massFlow, outlet = 0, gas = 0;
    };
    // 100 gets r1 and r2 (against its direction); r3 and r4 take air away.
    // 101 gets the fire's road and r4; 111 only gives air; 112's road is at rest.
    for (const Set& s : {Set{1, 100, 3, 30, 0}, Set{100, 2, -2, 80, 40}, Set{100, 3, 4, 999, 77},
                         Set{101, 100, -1, 500, 90}, Set{50, 101, 1.5f, 200, 100}, Set{2, 106, 2.5f, 15, 0},
                         Set{3, 107, 1, 40, 25}, Set{111, 3, 0.7f, 300, 60}, Set{3, 112, 0, 300, 60}}) {
        Road& r = net.at(net.road(s.first, s.second, 1));
        r.massFlow = s.massFlow, r.outletTemperature = s.outlet, r.outletGas = s.gas;
    }
    // Fixed-flow roads 101 -> 103, 101 -> 105 (against), 100 -> 106, and two
    // closed loops: 107 -> 108 with a fan back, 109 <-> 110 with nothing else.
    for (const Set& s : {Set{101, 103, 2}, Set{105, 101, -0.5f}, Set{100, 106, 1}, Set{107, 108, 2},
                         Set{109, 110, 1}, Set{110, 109, 1}})
        net.at(net.fixedRoad(s.first, s.second, 0)).massFlow = s.massFlow;
    net.fan(100, 102, 10, {100, 50});
    net.fan(101, 106, 10, {100, 50});
    net.fan(108, 107, 10, {100, 50});
    CBriscoDoc& doc = net.build(50);
    doc.fire.fireTemperature = 700;
    doc.fans[1].fanFlow = 60, doc.fans[2].fanFlow = -30, doc.fans[3].fanFlow = 100;

    const double t100 = (3 * 30 + 2 * 80) / 5.0, c100 = (3 * 0 + 2 * 40) / 5.0;          // 50 °C, 16 %
    const double t101 = (1.5 * 200 + 1 * 500) / 2.5, c101 = (1.5 * 100 + 1 * 90) / 2.5;  // 320 °C, 96 %
    const double fan = 30 * kMassPerFlow, w106 = 2.5 + fan + 1;  // |-30| m³/min of standard air
    const struct {
        int node;
        bool ok;
        double temperature, gas;
    } rows[] = {
        {100, true, t100, c100}, {101, true, t101, c101}, {50, true, 700, 100} /* the fire */,
        {1, true, 20, 0} /* surface */, {2, true, 20, 0},
        {102, true, t100, c100} /* fed by a fan only */, {103, true, t101, c101} /* by a fixed-flow road */,
        {105, true, t101, c101} /* by one with negative airflow */,
        {106, true, (2.5 * 15 + fan * t101 + 1 * t100) / w106, (fan * c101 + 1 * c100) / w106},
        {107, true, 40, 25} /* the loop brings back 107's own air */, {108, true, 40, 25},
        {109, false, -99, -99}, {111, false, -99, -99}, {112, false, -99, -99},
    };
    for (const auto& row : rows)
        for (int again = 0; again < 2; ++again) {  // "No airflow" is said once
            SCOPED_TRACE(row.node);
            float t = 0, c = 0;
            EXPECT_EQ(mixNode(doc, row.node, t, c), row.ok);
            EXPECT_NEAR(t, row.temperature, 1e-3);
            EXPECT_NEAR(c, row.gas, 1e-4);
            EXPECT_EQ(net.reporter.count("Error : No airflow into " + std::to_string(row.node)), row.ok ? 0 : 1);
        }
    EXPECT_EQ(net.reporter.messages.size(), 3u);
}

}  // namespace
}  // namespace orvex::test
