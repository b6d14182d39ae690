// Node quantities derived from the results: pressures relative to the lowest
// collar, and the pressure loss walked out from the surface.
#include <gtest/gtest.h>

#include "support.h"
#include "analysis/quantities.h"

namespace orvex::test {
namespace {

TEST(NodeQuantities, RelativePressureAndPressureLossWalk)
{
    // Collars 1 and 2; node 10 joined to collar 1 by two parallel roads
    // entered in opposite directions; 11 reached only through a fan from 10,
    // 12 only through a fan into 10, 13 only by a fixed-flow road. Pressures
    // and flows set by hand.
    TestNetwork net;
    net.surface({{1, 0}, {2, 0}});
    net.underground({{10, 0}, {11, 0}, {12, 0}, {13, 0}});
    net.road(1, 10, 0.5f, 20);
    net.road(10, 1, 2.0f, 25);
    net.fixedRoad(10, 13, 100);
    net.fan(10, 11, 100, {1000, 500});
    net.fan(12, 10, 100, {1000, 500});
    CBriscoDoc& doc = net.build();
    const double pressures[] = {0, 10336, 10320, 10300, 10400, 10250, 10000};
    for (int i = 1; i <= 6; ++i)
        doc.nodes[size_t(i)].pressure = pressures[i];
    net.flow(1) = 20;  // 1 -> 10
    net.flow(2) = -5;  // also 1 -> 10
    const auto value = [&](int number) { return doc.nodes[size_t(net.index(number))].displayValue; };

    computeRelativePressures(doc);  // from the lower collar, 2
    for (int i = 1; i <= 6; ++i)
        EXPECT_NEAR(doc.nodes[size_t(i)].displayValue, (pressures[i] - 10320) / kPressureFactor, 1e-3) << i;

    walkPressureLoss(doc);
    EXPECT_EQ(net.reporter.all(), "[pressure set down]\n");  // 13 is not reached
    // 10 is reached through the lower-indexed road (R 0.5, 20 kg/s, 20 C)
    // with the flow: its loss (a quarter of it through the other road).
    const double drop = roadLawDrop(20, airDensity((10336 + 10300) / 2.0, 20), 0.5) / kPressureFactor;
    EXPECT_EQ(std::make_pair(value(1), value(2)), std::make_pair(0.0f, 0.0f));
    EXPECT_NEAR(value(10), -drop, 1e-3);
    // Through the fan 10 -> 11 the value rises by its rise, against 12 -> 10 it falls by it.
    EXPECT_NEAR(value(11), value(10) + 100 / kPressureFactor, 1e-2);
    EXPECT_NEAR(value(12), value(10) - 50 / kPressureFactor, 1e-2);
    EXPECT_NEAR(value(13), -320 / kPressureFactor, 1e-2);  // unchanged

    // Without a collar: measured from the first node, and nothing to walk from.
    TestNetwork loop;
    loop.underground({{10, 0}, {11, 0}});
    loop.road(10, 11, 1.0f);
    CBriscoDoc& closed = loop.build();
    closed.nodes[1].pressure = 10336, closed.nodes[2].pressure = 10300;
    computeRelativePressures(closed);
    walkPressureLoss(closed);
    EXPECT_EQ(loop.reporter.all(), "[pressure set down]\n");
    EXPECT_EQ(closed.nodes[1].displayValue, 0.0f);
    EXPECT_NEAR(closed.nodes[2].displayValue, -36 / kPressureFactor, 1e-3);
}

// The velocity in every road of the air and water samples: the mass flow
// over the road's own density over its section (a pipe's section from its
// diameter), none without a section; a fixed-flow road's from its set flow.
TEST(RoadQuantities, VelocityIsTheFlowOverTheSection)
{
    for (const char* sample : {"mine.vad", "water.vad"}) {
        SCOPED_TRACE(sample);
        TestNetwork net(false, shippedUnits());
        openSample(net, sample);
        ASSERT_EQ(runAnalysis(net.doc(), net.dialog, true).result, 1) << net.reporter.all();
        const CBriscoDoc& doc = net.doc();
        int checked = 0;
        for (int k = 1; k <= doc.totalRoads(); ++k) {
            const Road& r = doc.roads[size_t(k)];
            const double section = doc.isWater() ? 3.141592653589793 * r.area * r.area / 4 : r.area;
            const double flow = k > doc.roadCount ? r.resistance * doc.app().units.flowUnitFactor
                                                  : r.massFlow / (doc.isWater() ? doc.density : r.density);
            float v = 0;
            ASSERT_TRUE(roadValue(doc, k, kVelocityKind, v));
            if (section > 0) {
                EXPECT_NEAR(v, flow / section, 1e-4 * std::fabs(flow / section) + 1e-6) << k;
                ++checked;
            } else {
                EXPECT_TRUE(std::isnan(v)) << k;
            }
        }
        EXPECT_GT(checked, 10);
        if (doc.isWater()) {  // a fixed-flow pipe: its set flow over its bore
            CBriscoDoc& d = net.doc();
            Road& pipe = d.roads[size_t(d.roadCount + ++d.fixedCount)];
            pipe.resistance = 6, pipe.area = 0.2f, pipe.massFlow = 1;
            EXPECT_NEAR(roadVelocity(d, d.totalRoads()), 6 * d.app().units.flowUnitFactor / (0.01 * 3.14159265), 1e-5);
        }
    }
}

}  // namespace
}  // namespace orvex::test
