// What a window decides about what-if runs: which of its roads a comparison's
// changes colour on either side, what the Differences tab and the case
// table say, and the Scenarios dialog's states.
#include <gtest/gtest.h>

#include <cmath>

#include "control/whatif.h"
#include "support/support.h"
#include "viewbench.h"
#include "../scenario/parsed.h"

namespace orvex::test {
namespace {


// mine.vad against the window's copy of it with a new road 10-51: the
// window's fixed-flow roads come one index later than the base's.
TEST(WhatIfCompare, EachSideColoursItsOwnRoads)
{
    SampleNetwork base;
    ASSERT_TRUE(base.opened);
    RecordingReporter quiet;
    CBriscoDoc window(*base.doc, quiet);
    ASSERT_EQ(applyScenario(window, parsedScenario("scenario \"x\"\n open 10 51 0.5\n")), "");
    const int added = window.roadCount;
    ASSERT_EQ(window.roads[added].first, 10);

    const CompareOutcome out = compareWindow(window, *base.doc, "mine.vad");
    ASSERT_TRUE(out.compared) << out.message;
    EXPECT_EQ(out.shown.side, WindowSide::Other);
    EXPECT_EQ(out.shown.against, "mine.vad");
    EXPECT_NE(out.message.find("Only in this network: roads 10-51"), std::string::npos) << out.message;

    const std::vector<float> change = flowChangeByRoad(out.shown, window);
    ASSERT_EQ(change.size(), std::size_t(window.totalRoads() + 1));
    EXPECT_TRUE(std::isnan(change[0]));
    EXPECT_TRUE(std::isnan(change[std::size_t(added)])) << "a road the base lacks";
    int fixed = 0, moved = 0;
    for (const RoadChange& r : out.shown.comparison.roads) {
        EXPECT_FLOAT_EQ(change[std::size_t(r.otherRoad)], float(r.change));
        fixed += r.fixed && r.otherRoad == r.baseRoad + 1;
        moved += r.change != 0;
    }
    EXPECT_EQ(fixed, base.doc->fixedCount);
    EXPECT_GT(moved, 0);

    // The same comparison seen from the base's window.
    WindowComparison fromBase = out.shown;
    fromBase.side = WindowSide::Base;
    fromBase.ran = roadEndsOf(*base.doc);
    const std::vector<float> baseChange = flowChangeByRoad(fromBase, *base.doc);
    for (const RoadChange& r : out.shown.comparison.roads)
        EXPECT_FLOAT_EQ(baseChange[std::size_t(r.baseRoad)], float(r.change));

    // An edit moves road 1 to other nodes: it loses its colour, the rest keep theirs.
    EXPECT_FALSE(comparisonOutdated(out.shown, window));
    window.roads[1].second = 102;
    EXPECT_TRUE(comparisonOutdated(out.shown, window));
    const std::vector<float> after = flowChangeByRoad(out.shown, window);
    EXPECT_TRUE(std::isnan(after[1]));
    EXPECT_FLOAT_EQ(after[2], change[2]);
}

TEST(WhatIfCompare, DifferenceTablesAndUnshared)
{
    WindowComparison shown;
    shown.side = WindowSide::Other;
    RoadChange road{3, 7, 10, 20, false, 100, 50, -50, -50, false};
    RoadChange turned{4, 8, 20, 30, false, 10, -12, -22, -220, true};
    shown.comparison.roads = {road, turned};
    shown.comparison.fans = {{2, 5, 10, 3, 900, 850, 2000, 2100, -50}};
    Finding low;
    low.kind = CheckKind::AirflowLow;
    low.nodes = {20, 30};
    shown.comparison.appeared = {low};
    const DifferenceTables t = differenceTables(shown, "m3/min", "Pa");
    EXPECT_EQ(t.roadOfRow, (std::vector<int>{7, 8}));
    EXPECT_EQ(t.fanOfRow, std::vector<int>{5});
    ASSERT_EQ(t.roads.rows.size(), 2u);
    const auto cell = [&](int row, DifferenceColumn c) { return t.roads.rows[std::size_t(row)][std::size_t(c)].text; };
    EXPECT_EQ(cell(0, DifferenceColumn::ChangePercent), "-50.0");
    EXPECT_EQ(cell(1, DifferenceColumn::Reversed), "yes");
    ASSERT_EQ(t.checks.rows.size(), 1u);
    EXPECT_EQ(t.checks.rows[0][0].text, "appeared");
    EXPECT_EQ(t.checks.rows[0][3].text, "20-30");
    shown.side = WindowSide::Base;
    const DifferenceTables base = differenceTables(shown, "", "");
    EXPECT_EQ(base.roadOfRow, (std::vector<int>{3, 4}));
    EXPECT_EQ(base.fanOfRow, std::vector<int>{2});

    Unshared u;
    u.baseNodes = {5, 6};
    u.otherRoads = {{1, 2}};
    u.otherFans = {{3, 4}};
    EXPECT_EQ(unsharedText(u, "a.vad", "b"), "Only in a.vad: nodes 5, 6.\nOnly in b: roads 1-2; fans 3-4.\n");
    EXPECT_EQ(unsharedText({}, "a", "b"), "");
}

TEST(WhatIfCases, RowsOfEachKindOfCase)
{
    CaseResult failed;
    failed.name = "door open";
    failed.run = true;
    failed.problem = "the analysis did not converge";
    failed.largestChange = 5;
    CaseResult good;
    good.name = "fan off";
    good.run = good.converged = true;
    good.violationsAppeared = 2, good.warningsAppeared = 1, good.reversed = 3, good.belowLimit = 4, good.changed = 5;
    good.largestChange = -12.5;
    good.gas = {GasReach{}};
    using C = CaseColumn;
    const std::vector<ResultsCell> f = caseRow(failed), g = caseRow(good);
    ASSERT_EQ(f.size(), caseColumns("m3/min").size());
    EXPECT_EQ(f[int(C::Converged)].text, "no");
    EXPECT_EQ(f[int(C::LargestChange)].sort, ResultsCell::Sort::None);
    EXPECT_EQ(f[int(C::Problem)].text, failed.problem);
    const std::pair<C, const char*> shown[] = {
        {C::Case, "fan off"}, {C::Converged, "yes"}, {C::NewViolations, "2"}, {C::NewWarnings, "1"},
        {C::Reversed, "3"}, {C::BelowLimit, "4"}, {C::Changed, "5"}, {C::LargestChange, "-12.500"}, {C::GasRoads, "1"}};
    for (const auto& [column, text] : shown)
        EXPECT_EQ(g[int(column)].text, text) << int(column);

    ScenarioSession session;
    session.finished({BaseRun{}, {failed, good}, {}, {}});
    WindowComparison comparison;
    EXPECT_FALSE(session.caseComparison(0, comparison)) << "a case that did not converge colours nothing";
    EXPECT_TRUE(session.caseComparison(1, comparison));
}

TEST(WhatIfSession, DamagedTextRunsNothingAndCasesShowOnTheBase)
{
    ScenarioSession session;
    std::vector<Scenario> scenarios;
    std::vector<std::string> errors;
    EXPECT_FALSE(session.prepare("scenario \"a\"\n  fan-off 10\n  bogus 1 2\n", scenarios, errors));
    EXPECT_TRUE(scenarios.empty());
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].rfind("line 2: ", 0), 0u) << errors[0];
    EXPECT_EQ(errors[1].rfind("line 3: ", 0), 0u) << errors[1];
    EXPECT_FALSE(session.prepare("# nothing\n", scenarios, errors));
    EXPECT_EQ(errors.front().rfind("no scenario", 0), 0u) << errors.front();

    SampleNetwork net;
    ASSERT_TRUE(net.opened);
    ASSERT_TRUE(session.prepare("scenario \"bad\"\n fan-off 1 2\nscenario \"fan 10-3 off\"\n fan-off 10 3\n",
                                scenarios, errors));
    session.started();
    EXPECT_FALSE(session.runEnabled());
    EXPECT_TRUE(session.stopEnabled());
    RecordingReporter quiet;
    CBriscoDoc copy(*net.doc, quiet);
    session.finished(runScenarioBatch(copy, scenarios, CaseSettings{}));
    EXPECT_TRUE(session.runEnabled());
    EXPECT_FALSE(session.stopEnabled());
    EXPECT_EQ(session.summary(), "1 of 2 cases converged");
    const ResultsTable table = session.caseTable("m3/min");
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0][0].text, "bad");  // not run: the most severe
    WindowComparison shown;
    EXPECT_FALSE(session.caseComparison(0, shown));
    EXPECT_FALSE(session.caseComparison(2, shown));
    ASSERT_TRUE(session.caseComparison(1, shown));
    EXPECT_EQ(shown.side, WindowSide::Base);
    EXPECT_EQ(shown.against, "fan 10-3 off");
    const std::vector<float> change = flowChangeByRoad(shown, *net.doc);
    const int shaft = net.doc->findRoad(10, 140);
    ASSERT_GT(shaft, 0);
    EXPECT_LT(change[std::size_t(shaft)], 0) << "the main return loses air";
    EXPECT_TRUE(std::isfinite(change[1]));
}

// A comparison colours the plan for a while: the person's own colour kind
// comes back when it is cleared, and the profile only ever keeps that one.
// A row marks the road it was about, wherever an edit has moved it since,
// and nothing once no road joins its nodes.
TEST(WhatIfCompare, RowsFollowTheirRoadsThroughEdits)
{
    ViewBench b;
    b.node(1, 0, 0, NodeKind::Surface);
    b.node(2, 100, 0);
    b.node(3, 200, 0);
    b.road(1, 2);
    b.road(2, 3);
    WindowComparison shown;
    shown.side = WindowSide::Base;
    shown.ran = roadEndsOf(*b.doc);
    RoadChange road;
    road.baseRoad = 2, road.from = 3, road.to = 2;  // its air ran from 3 to 2
    shown.comparison.roads = {road};
    const DifferenceTables t = differenceTables(shown, "", "");
    EXPECT_EQ(rowRoad(t, 0, *b.doc), 2);
    std::swap(b.doc->roads[1], b.doc->roads[2]);
    EXPECT_EQ(rowRoad(t, 0, *b.doc), 1);
    b.doc->roads[1].second = 1;
    EXPECT_EQ(rowRoad(t, 0, *b.doc), 0);
    EXPECT_EQ(rowRoad(t, 1, *b.doc), 0);
    EXPECT_EQ(rowFan(t, 0, *b.doc), 0);

    // A check row marks the road joining the nodes it names, else its first node.
    Finding low;
    low.road = 7, low.nodes = {2, 1};
    Finding loop = low;
    loop.road = 0, loop.nodes = {3, 2, 1};
    shown.comparison.appeared = {low};
    shown.comparison.disappeared = {loop};
    const DifferenceTables checks = differenceTables(shown, "", "");
    const CheckTarget onRoad = rowCheckTarget(checks, 0, *b.doc), onNode = rowCheckTarget(checks, 1, *b.doc);
    EXPECT_EQ(onRoad.tab, ResultsTab::Roads);
    EXPECT_EQ(onRoad.element, 1);  // road 1 joins 2 and 1 since the edits above
    EXPECT_EQ(onNode.tab, ResultsTab::Nodes);
    EXPECT_EQ(onNode.element, b.doc->nodeIndex(3));
    EXPECT_EQ(rowCheckTarget(checks, 2, *b.doc).element, 0);
}

TEST(ViewComparison, ColoursForAWhileAndNeverReachesTheProfile)
{
    ViewBench b;
    b.node(1, 0, 0, NodeKind::Surface);
    b.node(2, 100, 0);
    b.road(1, 2);
    b.view->settings.look.roadColourKind = 3;
    WindowComparison shown;
    shown.side = WindowSide::Other;
    shown.against = "old.vad";
    shown.ran = roadEndsOf(*b.doc);
    RoadChange road;
    road.baseRoad = 9, road.otherRoad = 1, road.change = 2.5;
    shown.comparison.roads = {road};
    b.control.showComparison(shown);
    b.control.showComparison(shown);  // twice keeps the person's kind, not the comparison's
    EXPECT_TRUE(b.control.comparisonShown());
    EXPECT_EQ(b.view->settings.look.roadColourKind, kFlowChangeKind);
    EXPECT_EQ(flowChangeWork(*b.doc).against, "against old.vad");
    EXPECT_FLOAT_EQ(flowChangeWork(*b.doc).change.at(1), 2.5f);
    // Even about 0, so that grey means unchanged.
    EXPECT_EQ(str({float(b.view->data.roadScale.low), float(b.view->data.roadScale.high)}), "-2.5 2.5");
    EXPECT_TRUE(b.shell.saw("redraw"));
    b.control.clearComparison();
    EXPECT_FALSE(b.control.comparisonShown());
    EXPECT_EQ(b.view->settings.look.roadColourKind, 3);
    EXPECT_TRUE(flowChangeWork(*b.doc).change.empty());

    b.control.showComparison(shown);
    b.control.closing();
    DisplaySettings stored;
    ViewGeometry geometry;
    readDisplaySettings(b.profile, stored, geometry);
    EXPECT_EQ(stored.look.roadColourKind, 3);
}

}  // namespace
}  // namespace orvex::test
