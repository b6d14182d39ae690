// What a node mixes is the air that has reached it: gas still on its way
// through a road is nowhere mixed, and a change of temperature travels on
// even where the gas no longer changes.
#include "support.h"
#include "analysis/quantities.h"

namespace orvex::test {
namespace {

// 600 m3/min pushed into the fire node 100 leave through a drift of 10 m2
// and the given length to node 101 and on by road 2 to surface 2.
struct DriftNet : FireNet {
    explicit DriftNet(float length) : FireNet({1, 2}, {100, 101})
    {
        road(100, 101, 0.5f, 10, length), road(101, 2, 0.5f, 10, 100), fixedRoad(1, 100, 600);
    }
    const int drift = 1, beyond = 2;
};

// 600 m3/min pushed into the fire node F (100) leave through a drift 3 km
// long (10 m2: 50 minutes of travel) to node 101 and on to surface 2. After
// 5 minutes the fire's front is a tenth of the way along the drift.
TEST(Arrival, GasOnItsWayThroughALongRoadReachesNothingBeyondIt)
{
    DriftNet net(3000);
    const int drift = net.drift, beyond = net.beyond;
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
    ASSERT_TRUE(mixNode(doc, 101, temperature, gas));
    EXPECT_EQ(gas, 0);
    EXPECT_EQ(temperature, d.outletTemperature);
    EXPECT_EQ(d.outletTemperature, 20);  // the rock's: nothing hot has arrived
    EXPECT_EQ(net.at(beyond).gasConcentration, 0);
    EXPECT_TRUE(net.rec.of(beyond).empty());
}

// A change of temperature alone is sent on: the fire grows hotter after two
// minutes, with the same gas, and the roads from the fire node take a new
// front with the hotter air.
TEST(Arrival, AChangeOfTemperatureAloneStartsAFront)
{
    DriftNet net(2000);
    const int drift = net.drift;
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
}  // namespace orvex::test
