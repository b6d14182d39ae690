#include <atomic>
#include <cmath>

#include <gtest/gtest.h>

#include "scenario/runcases.h"
#include "capacitynet.h"
#include "parsed.h"
#include "support.h"

namespace orvex::test {
namespace {


std::vector<CaseResult> runOn(CBriscoDoc& doc, const std::vector<Scenario>& scenarios, int jobs = 1)
{
    const BaseRun base = runBase(doc, {}, {});
    EXPECT_TRUE(base.converged);
    CaseSettings settings;
    settings.jobs = jobs;
    return runCases(doc, base.findings, scenarios, settings);
}

const RoadChange* roadChange(const CaseResult& r, int a, int b)
{
    for (const RoadChange& c : r.comparison.roads)
        if ((c.from == a && c.to == b) || (c.from == b && c.to == a))
            return &c;
    return nullptr;
}

// 100 m3/min are forced in at 10 and leave at 13 for the surface. The way
// through 11 is the harder one out (11-13 has 3, 12-13 has 1), so air
// crosses from 11 to 12. With the door 10-11 shut everything comes in
// through 12 and splits there: straight on to 13 (1) or back through the
// crosscut and 11 (1 + 3), in the square law's ratio sqrt(4 / 1) = 2, so
// the crosscut carries 100 / 3 from 12 to 11, less the trace the door
// lets through.
TEST(WhatIf, ClosingADoorReversesTheCrosscut)
{
    TestNetwork net;
    net.method = SolverMethod::Newton;
    net.surface({{1, 0}, {2, 0}});
    net.underground({{10, 0}, {11, 0}, {12, 0}, {13, 0}});
    net.road(10, 11, 0.1f);
    net.road(11, 13, 3);
    net.road(10, 12, 0.1f);
    net.road(12, 13, 1);
    net.road(11, 12, 1);
    net.road(13, 2, 0.1f);
    net.fixedRoad(1, 10, 100);
    const std::vector<CaseResult> cases = runOn(net.build(), {parsedScenario("scenario door\n close 10 11\n"),
                                                              parsedScenario("scenario tight\n close 10 11 1e9\n")});
    ASSERT_EQ(cases.size(), 2u);
    // A door that lets next to nothing through turns nothing round.
    EXPECT_FALSE(roadChange(cases[1], 10, 11)->reversed);
    EXPECT_EQ(cases[1].reversed, 1);
    const CaseResult& c = cases[0];
    ASSERT_TRUE(c.converged) << c.problem;
    const RoadChange* crosscut = roadChange(c, 11, 12);
    ASSERT_NE(crosscut, nullptr);
    EXPECT_EQ(crosscut->from, 11);
    EXPECT_GT(crosscut->baseFlow, 5);
    EXPECT_NEAR(crosscut->flow, -100.0 / 3, 0.7);
    EXPECT_TRUE(crosscut->reversed);
    EXPECT_NEAR(roadChange(c, 12, 13)->flow, 200.0 / 3, 0.7);
    EXPECT_NEAR(roadChange(c, 10, 11)->flow, 0, 0.5);  // the door's trace
    EXPECT_FALSE(roadChange(c, 10, 11)->reversed);
    EXPECT_EQ(c.reversed, 1);
}

// The fan laws on a square-law system: at speed ratio n the operating point
// moves along the system curve to n times the airflow and n² times the
// pressure, and the curve itself is scaled so.
TEST(WhatIf, FanSpeedFollowsTheFanLaws)
{
    TestNetwork net;
    net.method = SolverMethod::Newton;
    net.surface({{1, 0}, {2, 0}});
    net.underground({{10, 0}});
    net.road(1, 10, 1);
    net.fan(10, 2, 1000, {1500, 1400, 1100, 600, 0});
    CBriscoDoc& doc = net.build();
    const std::vector<CaseResult> cases = runOn(
        doc, {parsedScenario("scenario slow\n fan-speed 10 2 0.8\n"), parsedScenario("scenario off\n fan-off 10 2\n")});
    ASSERT_EQ(cases.size(), 2u);
    ASSERT_EQ(cases[0].comparison.fans.size(), 1u);
    const FanChange& slow = cases[0].comparison.fans[0];
    ASSERT_GT(slow.baseFlow, 500);
    EXPECT_NEAR(slow.flow / slow.baseFlow, 0.8, 0.004);
    EXPECT_NEAR(slow.pressure / slow.basePressure, 0.64, 0.004);
    EXPECT_EQ(doc.fans[1].curve[2], 1400) << "the base network is never changed";
    EXPECT_EQ(applyScenario(doc, parsedScenario("scenario back\n fan-off 2 10\n")),
              "line 2: fan 2-10 is not in the network");  // a fan is named in its own sense
    const FanChange& off = cases[1].comparison.fans[0];
    EXPECT_EQ(off.flow, 0);
    EXPECT_NEAR(roadChange(cases[1], 1, 10)->flow, 0, 1e-3);
}

// Each case runs on a copy of its own, so two or three workers give exactly
// what one gives, in the same order.
TEST(WhatIf, ParallelResultsEqualSerialBitForBit)
{
    TestNetwork net;
    net.build();
    openSample(net, "mine.vad");
    net.doc().solverMethod = SolverMethod::Newton;
    std::vector<Scenario> cases = sweepScenarios(net.doc(), SweepKind::RoadsClosed, {});
    cases.resize(24);
    const std::vector<CaseResult> serial = runOn(net.doc(), cases, 1);
    const std::vector<CaseResult> parallel = runOn(net.doc(), cases, 3);
    ASSERT_EQ(serial.size(), parallel.size());
    for (std::size_t i = 0; i < serial.size(); ++i) {
        const CaseResult &s = serial[i], &p = parallel[i];
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.name, p.name);
        EXPECT_EQ(s.converged, p.converged);
        EXPECT_EQ(s.findings.size(), p.findings.size());
        ASSERT_EQ(s.comparison.roads.size(), p.comparison.roads.size());
        for (std::size_t k = 0; k < s.comparison.roads.size(); ++k)
            ASSERT_EQ(s.comparison.roads[k].flow, p.comparison.roads[k].flow) << k;
        for (std::size_t n = 0; n < s.comparison.nodes.size(); ++n)
            ASSERT_EQ(s.comparison.nodes[n].pressure, p.comparison.nodes[n].pressure) << n;
        for (std::size_t f = 0; f < s.comparison.fans.size(); ++f)
            ASSERT_EQ(s.comparison.fans[f].flow, p.comparison.fans[f].flow) << f;
    }
}

// A fire case lists the roads gas reached, the first one leaving the fire.
TEST(WhatIf, FireCaseListsTheRoadsGasReached)
{
    TestNetwork net;
    net.build();
    openSample(net, "minefire.vad");
    net.doc().solverMethod = SolverMethod::Newton;
    const std::vector<CaseResult> cases = runOn(net.doc(), {parsedScenario("scenario f\n fire 212 10\n")});
    const CaseResult& c = cases.at(0);
    ASSERT_TRUE(c.converged) << c.problem;
    EXPECT_TRUE(c.fire);
    ASSERT_GT(c.gas.size(), 3u);
    EXPECT_TRUE(c.gas.front().first == 212 || c.gas.front().second == 212);
    for (std::size_t i = 1; i < c.gas.size(); ++i)
        EXPECT_LE(c.gas[i - 1].arrival, c.gas[i].arrival);
    EXPECT_LE(c.gas.back().arrival, 10);
}

struct ApplyCase {
    const char* changes;
    const char* problem;
};

// A change naming what the network has not is said, and only that case
// is left out.
TEST(WhatIf, ChangesThatCannotBeMade)
{
    const ApplyCase cases[] = {
        {" fan-off 10 3\n", "line 2: fan 10-3 is not in the network"},
        {" close 11 10\n close 12 99\n", "line 3: road 12-99 is not in the network"},
        {" resistance 1 10 * 2\n", "line 2: road 1-10 is a fixed-flow road"},
        {" open 1 10 0.5\n", "line 2: road 1-10 is a fixed-flow road: change its airflow with fixed-flow"},
        {" open 12 77 0.5\n", "line 2: node 77 is not in the network"},
        {" fixed-flow 10 11 5\n", "line 2: no fixed-flow road joins nodes 10-11"},
        {" fire 77\n", "line 2: the fire node 77 is not in the network"},
        {" open 10 12 0.5\n fixed-flow 10 1 40\n", ""},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.changes);
        TestNetwork net;
        net.surface({{1, 0}, {2, 0}});
        net.underground({{10, 0}, {11, 0}, {12, 0}});
        net.road(10, 11, 0.1f);
        net.road(11, 2, 0.1f);
        net.road(11, 12, 0.1f);
        net.fixedRoad(1, 10, 50);
        CBriscoDoc& doc = net.build();
        EXPECT_EQ(applyScenario(doc, parsedScenario(std::string("scenario s\n") + c.changes)), c.problem);
        if (*c.problem == '\0') {
            EXPECT_EQ(doc.roadCount, 4);
            EXPECT_EQ(doc.findRoad(10, 12), 4);
            EXPECT_EQ(doc.roads[5].first, 1) << "the fixed-flow road moved up";
            EXPECT_EQ(doc.roads[5].resistance, -40) << "given against the road's sense";
        }
    }
    TestNetwork water(true);
    water.surface({{1, 10}});
    water.underground({{10, 0}});
    water.pipe(1, 10, 0.2f, 100, 100);
    EXPECT_EQ(applyScenario(water.build(), parsedScenario("scenario s\n close 1 10\n")).substr(0, 44),
              "line 2: a water network's pipe resistances f");
}

// A closed road without a resistance gets 10 000 times the largest normal
// one, taken before any change, so a second door is no harder than the first.
TEST(WhatIf, DoorsTakeTheLargestResistanceBeforeAnyChange)
{
    TestNetwork net;
    net.surface({{1, 0}});
    net.underground({{10, 0}, {11, 0}});
    net.road(1, 10, 0.5f);
    net.road(10, 11, 2, 20, 3);
    CBriscoDoc& doc = net.build();
    ASSERT_EQ(applyScenario(doc, parsedScenario("scenario s\n close 10 11\n close 1 10\n")), "");
    EXPECT_EQ(doc.roads[2].resistance, 30000);
    EXPECT_EQ(doc.roads[2].altResistance, 30000);
    EXPECT_EQ(doc.roads[1].resistance, 30000);
    EXPECT_EQ(doc.roads[1].altResistance, 0);
}

// Networks matched by node numbers: a road written the other way round is
// the same road, and what one network has alone is listed.
TEST(WhatIf, CompareMatchesByNodeNumbersAndListsTheRest)
{
    TestNetwork base, other;
    for (TestNetwork* net : {&base, &other}) {
        net->method = SolverMethod::Newton;
        net->surface({{1, 0}, {2, 0}});
        net->underground({{10, 0}, {11, 0}});
    }
    base.road(11, 10, 0.1f);  // the air runs from its second node to its first
    base.road(11, 2, 0.1f);
    other.underground({{12, 0}});
    other.road(10, 11, 0.1f);
    other.road(11, 12, 0.1f);
    other.road(12, 2, 0.1f);
    for (TestNetwork* net : {&base, &other})
        net->fixedRoad(1, 10, 50);  // after the normal roads
    ASSERT_EQ(base.solve().result, 1);
    ASSERT_EQ(other.solve().result, 1);
    Finding low{CheckKind::VelocityLow, Severity::Violation, 1, 0, {10, 11}};
    Finding lowTurned = low, flow = low;
    lowTurned.nodes = {11, 10};
    flow.kind = CheckKind::AirflowLow;
    const Comparison c = compareRuns(base.doc(), {low}, other.doc(), {lowTurned, flow});
    ASSERT_EQ(c.roads.size(), 2u);
    EXPECT_TRUE(c.roads[1].fixed);
    const RoadChange& road = c.roads[0];
    EXPECT_EQ(road.from, 10);
    EXPECT_EQ(road.to, 11);
    EXPECT_NEAR(road.baseFlow, 50, 0.5);
    EXPECT_NEAR(road.flow, 50, 0.5);
    EXPECT_FALSE(road.reversed);
    EXPECT_EQ(c.unshared.otherNodes, std::vector<int>{12});
    EXPECT_EQ(c.unshared.baseRoads, (std::vector<NodePair>{{11, 2}}));
    EXPECT_EQ(c.unshared.otherRoads, (std::vector<NodePair>{{11, 12}, {12, 2}}));
    EXPECT_EQ(c.nodes.size(), 4u);
    ASSERT_EQ(c.appeared.size(), 1u);
    EXPECT_EQ(c.appeared[0].kind, CheckKind::AirflowLow);
    EXPECT_TRUE(c.disappeared.empty());
}

struct ThresholdCase {
    double baseFlow, change;
    bool changed;
};

// The threshold counts from 1 % of the largest base flow (here 100) at least.
TEST(WhatIf, ChangedBeyondTheThreshold)
{
    const ThresholdCase cases[] = {{50, 5.1, true}, {50, -5.1, true}, {50, 4.9, false},
                                   {0.2, 0.05, false}, {0.2, 0.11, true}, {0, 0.11, true}};
    for (const ThresholdCase& c : cases) {
        RoadChange road;
        road.baseFlow = c.baseFlow;
        road.change = c.change;
        EXPECT_EQ(changedBeyond(road, 100, 10), c.changed) << c.baseFlow << " " << c.change;
    }
}

// Cases stopped before they start are not run, and progress still counts them.
TEST(WhatIf, StopAndWorkers)
{
    TestNetwork net;
    net.surface({{1, 0}, {2, 0}});
    net.underground({{10, 0}});
    net.road(1, 10, 1);
    net.road(10, 2, 1);
    const std::atomic<bool> stop{true};
    CaseSettings settings;
    settings.stop = &stop;
    int calls = 0, last = 0;
    settings.progress = [&](int done, int total) {
        ++calls;
        last = done;
        EXPECT_EQ(total, 2);
    };
    const std::vector<CaseResult> cases =
        runCases(net.build(), {}, {parsedScenario("scenario a\n"), parsedScenario("scenario b\n")}, settings);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(last, 2);
    for (const CaseResult& c : cases) {
        EXPECT_FALSE(c.run);
        EXPECT_EQ(c.problem, "stopped");
    }
    const int workers[][3] = {{0, 1, 1}, {4, 2, 2}, {4, 9, 4}, {1000, 2000, kMaxJobs}, {-3, 1, 1}};
    for (const auto& w : workers)
        EXPECT_EQ(workerCount(w[0], w[1]), w[2]) << w[0] << " " << w[1];
}

TEST(WhatIf, MostSevereFirst)
{
    const auto make = [](const char* name, bool converged, int gas, int violations, int reversed, double largest) {
        CaseResult r;
        r.name = name;
        r.converged = converged;
        r.gas.resize(std::size_t(gas));
        r.violationsAppeared = violations;
        r.reversed = reversed;
        r.largestChange = largest;
        return r;
    };
    std::vector<CaseResult> cases = {make("calm", true, 0, 0, 0, 1),   make("reversing", true, 0, 0, 2, 1),
                                     make("failed", false, 0, 0, 0, 0), make("violating", true, 0, 1, 0, 1),
                                     make("smoky", true, 5, 0, 0, 0),   make("shifting", true, 0, 0, 0, 50),
                                     make("calm too", true, 0, 0, 0, 1)};
    sortBySeverity(cases);
    std::string order;
    for (const CaseResult& c : cases)
        order += c.name + std::string(";");
    EXPECT_EQ(order, "failed;violating;smoky;reversing;shifting;calm;calm too;");
}

}  // namespace
}  // namespace orvex::test

namespace orvex::test {
namespace {

// With one of its main fans off the capacity network leaves the Newton
// method at a point its steps cannot leave; it gives up within a few dozen
// steps instead of running to the iteration limit, and the relaxation
// settles the network.
TEST(WhatIf, StagnantNewtonGivesUpEarly)
{
    TestNetwork net(false, shippedUnits());
    net.build();
    ASSERT_EQ(gennet::generate(gennet::Shape{}, net.doc()), "");
    net.doc().solverMethod = SolverMethod::Newton;
    ASSERT_EQ(applyScenario(net.doc(), parsedScenario("scenario s\n fan-off 62 5\n")), "");
    const RunOutcome outcome = runAnalysis(net.doc(), net.dialog, true);
    EXPECT_EQ(outcome.result, 1);
    const std::string said = "The Newton method did not converge in ";
    bool found = false;
    for (const std::string& w : outcome.warnings)
        if (w.rfind(said, 0) == 0) {
            found = true;
            EXPECT_LT(std::stoi(w.substr(said.size())), 60) << w;
        }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace orvex::test
