#include <cmath>
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "analysis/quantities.h"
#include "checks/checks.h"
#include "model/physics.h"
#include "support/support.h"

namespace orvex::test {
namespace {

// Roads with a run's airflows written straight in: flow m3/min, so a road
// of Q m3/min through A m2 has the velocity Q / 60 / A m/s.
struct LimitNet {
    LimitNet()
    {
        app.units.flowUnitFactor = 1.0f / 60;
        app.units.flowUnitName = "m3/min";
        app.programFolder = "/nonexistent-orvex";  // no default network
        doc = std::make_unique<CBriscoDoc>(app, reporter);
        reporter.clear();
        doc->specificWeight = app.units.flowUnitFactor * kAirDensity;
    }
    int road(int first, int second, float airflow, float area, const char* name = "")
    {
        Road& r = doc->roads[size_t(++doc->roadCount)];
        r.first = first, r.second = second, r.area = area, r.name = name;
        r.massFlow = airflow * doc->specificWeight, r.density = kAirDensity;
        return doc->roadCount;
    }
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
};

TEST(RoadLimits, VelocityAndAirflowAgainstDefaultsAndTheNetworksOwnLimits)
{
    LimitNet net;
    net.road(1, 2, 600, 10);                // 1 m/s: within 0.25..8
    net.road(2, 3, 60, 10);                 // 0.1 m/s: too slow; 60 m3/min under 100
    net.road(3, 4, -6000, 10);              // 10 m/s against the road's direction: too fast
    net.road(4, 5, 50, 0);                  // no cross-section; 50 m3/min under 100
    net.road(5, 6, 600, 10);                // 1 m/s over its own 0.5, given as 6 5
    net.road(6, 7, 600, 2, "stope_2a");     // 5 m/s over its own 4 by name
    net.road(7, 8, 600, 10, "vent");        // 1 m/s: exactly at its pair's least and greatest,
                                            // which come before its name's 0.5
    net.doc->roads[size_t(net.road(8, 9, 30, 10, "dead"))].density = 0;  // no run reached it
    CheckDefaults defaults;
    defaults.minAirflow = 100;
    CheckOverrides own;
    own.roads[{6, 5}].maxVelocity = 0.5;
    const double vent = std::fabs(double(roadVelocity(*net.doc, 7)));
    own.roads[{7, 8}] = {vent, vent, std::nullopt};
    own.namedRoads["stope_2a"].maxVelocity = 4;
    own.namedRoads["vent"].maxVelocity = 0.5;
    own.namedRoads["dead"].minAirflow = 50;

    std::vector<Finding> found;
    checkRoadLimits(*net.doc, defaults, own, found);
    Strings shown;
    for (const Finding& f : found) {
        char text[120];
        std::snprintf(text, sizeof text, "road %d (%d %d) %s %s %.4g/%.4g %s", f.road, f.nodes.at(0), f.nodes.at(1),
                      checkKindName(f.kind), severityName(f.severity), f.value, f.limit, f.unit.c_str());
        shown.push_back(text);
    }
    EXPECT_EQ(shown, (Strings{"road 2 (2 3) velocity-low violation 0.1/0.25 m/s",
                              "road 2 (2 3) airflow-low violation 60/100 m3/min",
                              "road 3 (3 4) velocity-high violation 10/8 m/s",
                              "road 4 (4 5) velocity-low note nan/nan m/s",
                              "road 4 (4 5) airflow-low violation 50/100 m3/min",
                              "road 5 (5 6) velocity-high violation 1/0.5 m/s",
                              "road 6 (6 7) velocity-high violation 5/4 m/s"}));
    ASSERT_EQ(found.size(), 7u);
    EXPECT_EQ(found[1].reason, "airflow 60.0 m3/min below the 100.0 m3/min limit");
    EXPECT_EQ(found[2].reason, "air velocity 10.0 m/s above the 8.0 m/s limit");
    EXPECT_EQ(found[3].reason, "no cross-section: velocity not checked");
}

TEST(RoadLimits, LimitsNamingNothingAreTold)
{
    LimitNet net;
    net.road(1, 2, 600, 10, "drift");
    net.doc->baseName = "/x/mine.";
    CheckOverrides own;
    own.roads[{2, 1}].maxVelocity = 6;
    own.roads[{2, 9}].maxVelocity = 6;
    own.namedRoads["drift"].maxVelocity = 6;
    own.namedRoads["stope"].maxVelocity = 6;
    own.fanEfficiency[{1, 2}] = 0.8;
    reportUnknownOverrides(*net.doc, own, net.reporter);
    EXPECT_EQ(net.reporter.messages,
              Strings{"/x/mine.chk: 3 limits name nothing in the network and are not used: "
                      "road 2-9, road \"stope\", fan 1-2"});
}

}  // namespace
}  // namespace orvex::test
