// What a node mixes is the air that has reached it: gas still on its way
// through a road is nowhere mixed, and a change of temperature travels on
// even where the gas no longer changes.
#include "support.h"

namespace orvex::firetest {
namespace {

// 600 m3/min pushed into the fire node F (100) leave through a drift 3 km
// long (10 m2: 50 minutes of travel) to node 101 and on to surface 2. After
// 5 minutes the fire's front is a tenth of the way along the drift.
TEST(Arrival, GasOnItsWayThroughALongRoadReachesNothingBeyondIt)
{
    FireNet net({1, 2}, {100, 101});
    const int drift = net.road(100, 101, 0.5f, 10, 3000);
    const int beyond = net.road(101, 2, 0.5f, 10, 100);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.finishTime = 5;
    ASSERT_EQ(net.run().result, 1);
    ASSERT_TRUE(allFinite(net));

    const Road& d = net.at(drift);
    const double travel = passageHours(10, 3000, d.massFlow, d.density);
    ASSERT_GT(travel, 8 * hoursAt(50));
    const std::vector<Mark> last = net.rec.of(drift, 50);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_LT(last[0].fraction, 0.2);
    // The drift holds fire gas, none of it has come out at 101 yet.
    EXPECT_EQ(d.gasConcentration, 100);
    EXPECT_EQ(d.outletGas, 0);
    float temperature = 0, gas = -1;
    ASSERT_TRUE(doc.mixNode(101, temperature, gas));
    EXPECT_EQ(gas, 0);
    EXPECT_EQ(temperature, d.outletTemperature);
    EXPECT_EQ(d.outletTemperature, 20);  // the rock's: nothing hot has arrived
    EXPECT_EQ(net.at(beyond).gasConcentration, 0);
    EXPECT_TRUE(net.rec.of(beyond).empty());
}

// Two ways from the fire node F (100) to node M (101): a short one that
// cools the air to near the rock's temperature, and one three times as long
// through rock that barely takes heat. M first gets the cooled air with
// only part of the gas, then the hot air with the rest: each arrival sends
// its own front down M's outlet road, which ends holding the air of both.
TEST(Arrival, EachArrivalAtANodeSendsItsMixtureOn)
{
    FireNet net({1, 2}, {100, 101});
    const int shortWay = net.road(100, 101, 1, 4, 100, 8);
    const int longWay = net.road(100, 101, 1, 4, 300, 0.05f);
    const int outlet = net.road(101, 2, 0.2f, 10, 1500);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.finishTime = 4;
    std::vector<std::pair<float, float>> outletAir;  // gas and entry temperature of the newest air, per step
    std::vector<double> shortShare;                  // the short way's share of M's air, per step
    net.rec.onLine = [&] {
        outletAir.push_back({net.at(outlet).gasConcentration, net.at(outlet).entryTemperature});
        const double wa = std::fabs(net.at(shortWay).massFlow), wb = std::fabs(net.at(longWay).massFlow);
        shortShare.push_back(wa / (wa + wb));
    };
    ASSERT_EQ(net.run().result, 1);
    ASSERT_TRUE(allFinite(net));

    const Road &a = net.at(shortWay), &b = net.at(longWay);
    const double ta = passageHours(4, 100, a.massFlow, a.density), tb = passageHours(4, 300, b.massFlow, b.density);
    ASSERT_LT(ta, tb);
    ASSERT_LT(tb, hoursAt(30));
    // Before the long way's air is there, M mixes the short way's gas with
    // the long way's clean air; afterwards all of it is the fire's.
    int firstStep = 0, secondStep = 0;
    for (size_t s = 1; s < outletAir.size(); ++s) {
        if (!firstStep && outletAir[s].first > 0)
            firstStep = int(s);
        if (!secondStep && outletAir[s].first == 100)
            secondStep = int(s);
    }
    ASSERT_GT(firstStep, 0);
    ASSERT_GT(secondStep, firstStep);
    EXPECT_NEAR(outletAir[size_t(firstStep)].first, 100 * shortShare[size_t(firstStep)], 1e-3);
    EXPECT_GT(outletAir[size_t(secondStep)].second, outletAir[size_t(firstStep)].second + 50);
    // One front in the outlet road until the second arrival, two after it.
    EXPECT_EQ(net.rec.of(outlet, secondStep - 1).size(), 1u);
    EXPECT_EQ(net.rec.of(outlet, secondStep + 1).size(), 2u);
}

// A change of temperature alone is sent on: the fire grows hotter after two
// minutes, with the same gas, and the roads from the fire node take a new
// front with the hotter air.
TEST(Arrival, AChangeOfTemperatureAloneStartsAFront)
{
    FireNet net({1, 2}, {100, 101});
    const int drift = net.road(100, 101, 0.5f, 10, 2000);
    net.road(101, 2, 0.5f, 10, 100);
    net.fixedRoad(1, 100, 600);
    CBriscoDoc& doc = net.build(100);
    doc.fire.finishTime = 3;
    net.rec.onLine = [&] {
        if (net.rec.lines.size() == 21)  // the end of step 20, at 2 minutes
            doc.fire.fireTemperature = 600;
    };
    ASSERT_EQ(net.run().result, 1);
    EXPECT_EQ(net.rec.of(drift, 20).size(), 1u);
    EXPECT_EQ(net.rec.of(drift, 21).size(), 2u);
    EXPECT_EQ(net.at(drift).entryTemperature, 600);
    EXPECT_EQ(net.at(drift).gasConcentration, 100);
}

}  // namespace
}  // namespace orvex::firetest
