// Escape routes: hand-checked routes on a small network whose hazard times
// are set by hand, the evacuation parameters that cannot be used, and the
// fire sample's routes after its run.
#include "analysis/quantities.h"
#include "escape/escape.h"
#include "fire/support.h"

#include <algorithm>
#include <tuple>

namespace orvex::test {
namespace {

// Surface 1 is the way out. From 10 the short way 10-20-1 (180 m) and the
// long way 10-30-1 (600 m); 40 lies 60 m from 20; 50-60 leads nowhere.
// Roads: 1 10-20, 2 20-1, 3 10-30, 4 30-1, 5 40-20, 6 50-60; 60 m/min.
struct EscapeNet : FireNet {
    EscapeNet() : FireNet({1}, {10, 20, 30, 40, 50, 60})
    {
        for (const auto& [a, b, length] : {std::tuple{10, 20, 120}, {20, 1, 60}, {10, 30, 300}, {30, 1, 300},
                                            {40, 20, 60}, {50, 60, 60}})
            road(a, b, 0.1f, 10, float(length));
        build(20);
        doc->fire.destinationCount = 1, doc->fire.destinationNode[1] = 1;
    }
};

struct RouteCase {
    const char* name;
    int from;
    float road2, road3, safetyFactor;  // untenable minutes of roads 2 and 3, NaN never
    bool closeRoad2;
    float level30;  // 30 a destination with this level; NaN not one
    std::vector<int> route;
    bool safe;
    double margin;  // and the minutes walked: the route's metres over 60
};

class Route : public ::testing::TestWithParam<RouteCase> {};

TEST_P(Route, IsTheQuickestTenableWay)
{
    const RouteCase c = GetParam();
    EscapeNet net;
    FireParameters& f = net.doc->fire;
    net.at(2).untenableAt = c.road2, net.at(3).untenableAt = c.road3, f.ftfEsc = c.safetyFactor;
    f.unusableCount = c.closeRoad2, f.unusableRoad[1] = 2;
    if (!std::isnan(c.level30))
        f.destinationCount = 2, f.destinationNode[2] = 30, f.destinationHazard[2] = c.level30;
    const EscapeSearch search(*net.doc);
    ASSERT_EQ(search.error(), "");
    const EscapeRoute r = search.from(c.from);
    EXPECT_EQ(r.route, c.route);
    EXPECT_EQ(r.safe, c.safe);
    EXPECT_EQ(r.margin, c.margin);
    EXPECT_DOUBLE_EQ(r.time * 60, r.length);
    EXPECT_EQ(r.destination, r.route.empty() ? 0 : r.route.back());
}

const float kNever = NAN;
const double kInf = kNoHazard;

INSTANTIATE_TEST_SUITE_P(
    Cases, Route,
    ::testing::Values(
        RouteCase{"ShortWayCutBeforeTheWalkerLeavesIt", 10, 2.5f, kNever, 1, false, kNever, {10, 30, 1}, true, kInf},
        RouteCase{"NearTheExitInTime", 20, 2.5f, kNever, 1, false, kNever, {20, 1}, true, 1.5},
        RouteCase{"ThroughTheNodeInTime", 40, 2.5f, kNever, 1, false, kNever, {40, 20, 1}, true, 0.5},
        RouteCase{"OutAsTheAirTurns", 10, 3, kNever, 1, false, kNever, {10, 20, 1}, true, 0},
        RouteCase{"SafetyFactorBringsCutsForward", 40, 2.5f, kNever, 2, false, kNever, {40, 20, 10, 30, 1}, true, kInf},
        RouteCase{"BothCutQuickestShown", 10, 2.5f, 4, 1, false, kNever, {10, 20, 1}, false, -0.5},
        RouteCase{"LongWayLeftAsItsAirTurns", 10, 2.5f, 5, 1, false, kNever, {10, 30, 1}, true, 0},
        RouteCase{"NotUseableRoadAvoided", 20, kNever, kNever, 1, true, kNever, {20, 10, 30, 1}, true, kInf},
        RouteCase{"NearerDestination", 10, 2.5f, kNever, 1, false, 0, {10, 30}, true, kInf},
        RouteCase{"HazardLevelCountsAsMinutes", 10, 2.5f, kNever, 1, false, 6, {10, 30, 1}, true, kInf},
        RouteCase{"LevelSendsOnFromADestination", 30, kNever, kNever, 1, false, 6, {30, 1}, true, kInf},
        RouteCase{"NoRoadToADestination", 50, kNever, kNever, 1, false, kNever, {}, false, kInf},
        RouteCase{"NoSuchNode", 77, kNever, kNever, 1, false, kNever, {}, false, kInf}),
    [](const auto& info) { return std::string(info.param.name); });

// The places a fire cuts off are those that had a way out; the plan's road
// and node hazards are the roads' untenable minutes, a node's its earliest.
TEST(Hazard, CutOffPlacesAndThePlansValues)
{
    EscapeNet net;
    net.at(2).untenableAt = 2.5f, net.at(3).untenableAt = 2.5f;  // both ways from 10 cut
    net.at(1).untenableAt = 9, net.at(1).gasArrival = 1;
    const std::vector<EscapeRoute> routes = EscapeSearch(*net.doc).fromUnderground();
    const std::vector<int> cut = cutOff(routes);
    EXPECT_TRUE(std::find(cut.begin(), cut.end(), 10) != cut.end());
    EXPECT_TRUE(std::find(cut.begin(), cut.end(), 50) == cut.end()) << "never had a way out";
    float value = 0;
    ASSERT_TRUE(roadValue(*net.doc, 1, kRoadHazardKind, value));
    EXPECT_EQ(value, 9.0f);
    ASSERT_TRUE(nodeValue(*net.doc, net.doc->nodeIndex(20), kNodeHazardKind, value));
    EXPECT_EQ(value, 2.5f);  // roads 1 (9 min) and 2 (2.5 min) end at 20
}

struct BadCase {
    const char* name;
    std::function<void(FireParameters&)> spoil;
    std::string error, warning;
};

class BadParameters : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadParameters, AreSaid)
{
    const BadCase c = GetParam();
    EscapeNet net;
    c.spoil(net.doc->fire);
    const EscapeSearch search(*net.doc);
    EXPECT_NE(search.error().find(c.error), std::string::npos) << search.error();
    std::string warnings;
    for (const std::string& w : search.warnings())
        warnings += w + "\n";
    EXPECT_NE(warnings.find(c.warning), std::string::npos) << warnings;
    EXPECT_EQ(search.from(10).route.empty(), !c.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadParameters,
    ::testing::Values(
        BadCase{"ZeroSpeed", [](FireParameters& f) { f.spdEsc = 0; }, "walking speed spd_esc is 0 m/min", ""},
        BadCase{"ZeroSafetyFactor", [](FireParameters& f) { f.ftfEsc = 0; }, "ftf_esc is 0", ""},
        BadCase{"NoGasLimit", [](FireParameters& f) { f.gsfEsc = 0; }, "gas_esc x gsf_esc = 0 %", ""},
        BadCase{"NoDestination", [](FireParameters& f) { f.destinationCount = 0; }, "no evacuation destination", ""},
        BadCase{"DestinationNotANode", [](FireParameters& f) { f.destinationNode[1] = 99; },
                "none of the evacuation destinations", "destination 1, node 99, is not in the network"},
        BadCase{"OneDestinationNotANode",
                [](FireParameters& f) { f.destinationCount = 2, f.destinationNode[2] = 98; }, "", "node 98"},
        BadCase{"NotUseableRoadOfNoNode", [](FireParameters& f) { f.unusableCount = 1; }, "",
                "not-useable road 1 joins no normal road"},
        BadCase{"FireOnTheSurface", [](FireParameters& f) { f.fireNode = 1; }, "", "fire node 1 is a surface node"},
        BadCase{"FireNodeNotANode", [](FireParameters& f) { f.fireNode = 5; }, "", "fire node 5 is not in the"}),
    [](const auto& info) { return std::string(info.param.name); });

// The fire sample: every underground node gets a route along joined roads,
// never the not-useable one, tenable when it says so; the fire node's air is
// untenable at once, by its heat alone too, the cooled air never by heat.
TEST(Sample, EveryConnectedNodeGetsARoute)
{
    SampleNetwork net("minefire.vad");
    ASSERT_TRUE(net.opened);
    QuietAnalysisDialog dialog;
    ASSERT_TRUE(runAnalysis(*net.doc, dialog).fire);
    const CBriscoDoc& doc = *net.doc;
    const EscapeSearch search(doc);
    ASSERT_EQ(search.error(), "");
    const std::vector<EscapeRoute> routes = search.fromUnderground();
    ASSERT_EQ(int(routes.size()), doc.undergroundCount);
    int safe = 0;
    for (const EscapeRoute& r : routes) {
        ASSERT_FALSE(r.route.empty()) << r.node;
        EXPECT_EQ(r.route.front(), r.node);
        EXPECT_TRUE(r.destination == 1 || r.destination == 2);
        for (std::size_t s = 0; s < r.roads.size(); ++s) {
            EXPECT_NE(r.roads[s], doc.fire.unusableRoad[1]);
            const Road& road = doc.roads[std::size_t(r.roads[s])];
            EXPECT_EQ(std::minmax(road.first, road.second), std::minmax(r.route[s], r.route[s + 1]));
        }
        EXPECT_EQ(r.safe, r.margin >= 0) << r.node;
        safe += r.safe;
    }
    EXPECT_GT(safe, 0);
    float fireNode = NAN, surface = 0;
    nodeValue(*net.doc, doc.nodeIndex(212), kNodeHazardKind, fireNode);
    nodeValue(*net.doc, 1, kNodeHazardKind, surface);
    EXPECT_EQ(fireNode, 0);
    EXPECT_TRUE(std::isnan(surface));
    net.doc->fire.gsfEsc = 100;  // only heat counts: the fire's own road at once, the cooled air never
    runAnalysis(*net.doc, dialog);
    EXPECT_EQ(doc.roads[std::size_t(doc.fire.unusableRoad[1])].untenableAt, 0);
    EXPECT_TRUE(std::isnan(doc.roads[std::size_t(doc.findRoad(203, 204))].untenableAt));
}

}  // namespace
}  // namespace orvex::test
