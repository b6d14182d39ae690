// Node mixing: the air leaving a node is the mass-flow weighted mean of the
// air arriving through normal roads, fixed-flow roads and fans. The flows,
// outlet temperatures and gas concentrations are set by hand; nothing is
// solved.
#include <gtest/gtest.h>

#include <cmath>

#include "support.h"

namespace orvex::firetest {
namespace {

// The standard-air factor of a fan: m³/min at 1.20459 kg/m³ in kg/s.
constexpr double kFanMass = 1.20459 / 60;

class Mixing : public ::testing::Test {
protected:
    void SetUp() override
    {
        net.surfaceTemperature = 12;
        net.surface(1);
        net.surface(2);
        net.surface(3);
        for (int n : {50, 100, 101, 102, 103, 105, 106, 107, 108, 109, 110, 111, 112})
            net.underground(n);
        r1 = net.road(1, 100, 1);
        r2 = net.road(100, 2, 1);
        r3 = net.road(100, 3, 1);
        r4 = net.road(101, 100, 1);
        r5 = net.road(50, 101, 1);
        r6 = net.road(2, 106, 1);
        r7 = net.road(3, 107, 1);
        r8 = net.road(111, 3, 1);
        r9 = net.road(3, 112, 1);
        f1 = net.fixedRoad(101, 103, 0);
        f2 = net.fixedRoad(105, 101, 0);
        f3 = net.fixedRoad(100, 106, 0);
        f4 = net.fixedRoad(107, 108, 0);
        f5 = net.fixedRoad(109, 110, 0);
        f6 = net.fixedRoad(110, 109, 0);
        fan1 = net.fan(100, 102, 10, {100, 50});
        fan2 = net.fan(101, 106, 10, {100, 50});
        fan3 = net.fan(108, 107, 10, {100, 50});
        CBriscoDoc& doc = net.build(50);
        doc.fire.fireTemperature = 700;
        // Node 100: r1 and r2 bring air in (r2 against its direction);
        // r3 and r4 take it away.
        set(r1, 3, 30, 0);
        set(r2, -2, 80, 40);
        set(r3, 4, 999, 77);
        set(r4, -1, 500, 90);
        // Node 101: the fire's road r5 and r4.
        set(r5, 1.5f, 200, 100);
        set(r6, 2.5f, 15, 0);
        set(r7, 1, 40, 25);
        set(r8, 0.7f, 300, 60);  // leaves 111
        set(r9, 0, 300, 60);     // at rest
        net.roadAt(f1).massFlow = 2;     // 101 -> 103
        net.roadAt(f2).massFlow = -0.5f; // against its direction: 101 -> 105
        net.roadAt(f3).massFlow = 1;     // 100 -> 106
        net.roadAt(f4).massFlow = 2;     // 107 -> 108
        net.roadAt(f5).massFlow = 1;     // 109 -> 110
        net.roadAt(f6).massFlow = 1;     // 110 -> 109
        doc.fans[size_t(fan1)].fanFlow = 60;
        doc.fans[size_t(fan2)].fanFlow = -30;  // counts with its size
        doc.fans[size_t(fan3)].fanFlow = 100;
    }

    void set(int k, float massFlow, float outlet, float gas)
    {
        Road& r = net.roadAt(k);
        r.massFlow = massFlow;
        r.outletTemperature = outlet;
        r.gasConcentration = gas;
    }

    struct Air {
        float temperature, gas;
        bool ok;
    };
    Air mix(int number)
    {
        Air a{0, 0, false};
        a.ok = net.doc().mixNode(number, a.temperature, a.gas);
        return a;
    }

    FireNet net;
    int r1 = 0, r2 = 0, r3 = 0, r4 = 0, r5 = 0, r6 = 0, r7 = 0, r8 = 0, r9 = 0;
    int f1 = 0, f2 = 0, f3 = 0, f4 = 0, f5 = 0, f6 = 0;
    int fan1 = 0, fan2 = 0, fan3 = 0;
};

TEST_F(Mixing, NormalRoadsAreWeightedByMassFlowAndOnlyInflowsCount)
{
    // Node 100: r1 (3 kg/s, 30 °C, 0 %) and r2 (2 kg/s, 80 °C, 40 %).
    const Air a = mix(100);
    ASSERT_TRUE(a.ok);
    EXPECT_NEAR(a.temperature, (3 * 30.0 + 2 * 80.0) / 5, 1e-4);  // 50 °C
    EXPECT_NEAR(a.gas, (3 * 0.0 + 2 * 40.0) / 5, 1e-5);            // 16 %
    // Node 101: r5 from the fire side (1.5 kg/s) and r4, which runs from
    // 100 to 101 against its direction (1 kg/s); the fixed road f2 leaves.
    const Air b = mix(101);
    ASSERT_TRUE(b.ok);
    EXPECT_NEAR(b.temperature, (1.5 * 200 + 1 * 500.0) / 2.5, 1e-3);  // 320 °C
    EXPECT_NEAR(b.gas, (1.5 * 100 + 1 * 90.0) / 2.5, 1e-4);           // 96 %
    EXPECT_FLOAT_EQ(net.doc().nodeGasTemperature(net.index(101)), b.temperature);
    // Mixing changes nothing: asked again, the same answer.
    const Air again = mix(100);
    EXPECT_EQ(again.temperature, a.temperature);
    EXPECT_EQ(again.gas, a.gas);
    EXPECT_TRUE(net.reporter.messages.empty()) << net.reporter.all();
}

TEST_F(Mixing, FireAndSurfaceNodesGiveTheirOwnAir)
{
    const Air fire = mix(50);
    ASSERT_TRUE(fire.ok);
    EXPECT_FLOAT_EQ(fire.temperature, 700.0f);
    EXPECT_FLOAT_EQ(fire.gas, 100.0f);
    for (int s : {1, 2, 3}) {
        const Air a = mix(s);
        ASSERT_TRUE(a.ok);
        EXPECT_FLOAT_EQ(a.temperature, 12.0f) << s;
        EXPECT_FLOAT_EQ(a.gas, 0.0f) << s;
    }
}

TEST_F(Mixing, NodeFedOnlyByAFanOrAFixedFlowRoadTakesTheUpstreamAir)
{
    const Air up100 = mix(100), up101 = mix(101);
    // 102 is fed by the fan from 100 only.
    const Air fanFed = mix(102);
    ASSERT_TRUE(fanFed.ok);
    EXPECT_FLOAT_EQ(fanFed.temperature, up100.temperature);
    EXPECT_FLOAT_EQ(fanFed.gas, up100.gas);
    // 103 by the fixed-flow road from 101 (positive airflow, 101 first).
    const Air fixedFed = mix(103);
    ASSERT_TRUE(fixedFed.ok);
    EXPECT_FLOAT_EQ(fixedFed.temperature, up101.temperature);
    EXPECT_FLOAT_EQ(fixedFed.gas, up101.gas);
    // 105 by f2 (105 -> 101) whose airflow is negative: its upstream node
    // is its second node, 101.
    const Air reverseFed = mix(105);
    ASSERT_TRUE(reverseFed.ok);
    EXPECT_FLOAT_EQ(reverseFed.temperature, up101.temperature);
    EXPECT_FLOAT_EQ(reverseFed.gas, up101.gas);
    EXPECT_TRUE(net.reporter.messages.empty()) << net.reporter.all();
}

TEST_F(Mixing, FansCountWithTheirStandardAirMassFlow)
{
    // Node 106: r6 (2.5 kg/s, 15 °C, 0 %), the fan from 101 (|-30| m³/min
    // of standard air) and the fixed-flow road f3 from 100 (1 kg/s).
    const double wFan = 30 * kFanMass;  // 0.6023 kg/s
    const double t101 = (1.5 * 200 + 1 * 500.0) / 2.5, c101 = (1.5 * 100 + 1 * 90.0) / 2.5;
    const double t100 = 50, c100 = 16;
    const double w = 2.5 + wFan + 1;
    const Air a = mix(106);
    ASSERT_TRUE(a.ok);
    EXPECT_NEAR(a.temperature, (2.5 * 15 + wFan * t101 + 1 * t100) / w, 1e-3);
    EXPECT_NEAR(a.gas, (2.5 * 0 + wFan * c101 + 1 * c100) / w, 1e-4);
}

// 107 and 108 form a closed loop of a fixed-flow road (107 -> 108) and a
// fan (108 -> 107); 107 also takes air from road r7. The loop carries 107's
// own air back to it, so in the steady state 107 has r7's air, and 108 too.
TEST_F(Mixing, ClosedLoopOfFixedFlowRoadAndFanEnds)
{
    const Air a = mix(107);
    ASSERT_TRUE(a.ok);
    EXPECT_NEAR(a.temperature, 40.0f, 1e-4);
    EXPECT_NEAR(a.gas, 25.0f, 1e-5);
    const Air b = mix(108);
    ASSERT_TRUE(b.ok);
    EXPECT_NEAR(b.temperature, 40.0f, 1e-4);
    EXPECT_NEAR(b.gas, 25.0f, 1e-5);
    // Air does flow into 108 (from 107): nothing says otherwise.
    EXPECT_FALSE(net.reporter.contains("No airflow")) << net.reporter.all();
}

// 109 and 110 feed each other through two fixed-flow roads and get nothing
// from outside: the loop holds no air that came from anywhere.
TEST_F(Mixing, ClosedLoopWithoutInflowHasNoAirAndSaysSoOnce)
{
    const Air a = mix(109);
    EXPECT_FALSE(a.ok);
    EXPECT_FLOAT_EQ(a.temperature, -99.0f);
    EXPECT_FLOAT_EQ(a.gas, -99.0f);
    EXPECT_EQ(net.reporter.count("Error : No airflow into 109"), 1) << net.reporter.all();
    const Air again = mix(109);
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(net.reporter.count("Error : No airflow into 109"), 1) << net.reporter.all();
}

TEST_F(Mixing, NodeWithoutInflowIsReportedOncePerNode)
{
    // 111 only gives air away (r8); 112 has a road at rest (r9).
    for (int n : {111, 112}) {
        const Air a = mix(n);
        EXPECT_FALSE(a.ok) << n;
        EXPECT_FLOAT_EQ(a.temperature, -99.0f) << n;
        EXPECT_FLOAT_EQ(a.gas, -99.0f) << n;
    }
    mix(111);
    mix(112);
    EXPECT_EQ(net.reporter.count("Error : No airflow into 111"), 1) << net.reporter.all();
    EXPECT_EQ(net.reporter.count("Error : No airflow into 112"), 1) << net.reporter.all();
    EXPECT_EQ(net.reporter.messages.size(), 2u) << net.reporter.all();
}

}  // namespace
}  // namespace orvex::firetest
