// The window's escape routes: none before a fire run; after it, a row per
// underground node and a plan that draws one way and colours every node,
// for a while, never in the profile.
#include <cmath>

#include "control/escape.h"
#include "run/rundriver.h"
#include "support.h"
#include "viewbench.h"

namespace orvex::test {
namespace {

TEST(EscapeWindow, RowsAfterAFireRunAndTheWayDrawnAlongItsRoads)
{
    SampleNetwork net("minefire.vad");
    ASSERT_TRUE(net.opened);
    QuietAnalysisDialog dialog;
    runAnalysis(*net.doc, dialog, true);  // the airflow alone: no hazards yet
    EXPECT_NE(escapeRoutes(*net.doc).message.find("Run the fire simulation first"), std::string::npos);
    runAnalysis(*net.doc, dialog, false);
    const ResultsTable roads = resultsTable(ResultsTab::Roads, *net.doc, [](const std::string& t) { return t; });
    const int untenable = roads.section(int(RoadColumn::Untenable));
    ASSERT_GE(untenable, 0);
    for (int k = 1; k <= net.doc->roadCount; ++k)
        EXPECT_EQ(roads.rows[std::size_t(k - 1)][std::size_t(untenable)].value,
                  std::isnan(net.doc->roads[std::size_t(k)].untenableAt) ? 0.0 : double(net.doc->roads[std::size_t(k)].untenableAt))
            << k;
    const EscapeOutcome outcome = escapeRoutes(*net.doc);
    ASSERT_FALSE(outcome.routes.empty()) << outcome.message;
    EXPECT_EQ(outcome.table.rows.size(), outcome.routes.size());
    const EscapeRoute* longest = &outcome.routes.front();
    for (const EscapeRoute& r : outcome.routes)
        if (r.roads.size() > longest->roads.size())
            longest = &r;
    ASSERT_GE(longest->roads.size(), 2u);
    showEscapeWork(*net.doc, outcome.routes, longest->node);
    const EscapeWork& work = escapeWork(*net.doc);
    float last = 0;
    for (int k : longest->roads) {  // the minutes grow along the way
        EXPECT_GT(work.roadMinute.at(std::size_t(k)), last);
        last = work.roadMinute.at(std::size_t(k));
    }
    EXPECT_NEAR(last, longest->length / net.doc->fire.spdEsc, 1e-3);
    for (const EscapeRoute& r : outcome.routes) {
        const float state = work.nodeState.at(std::size_t(net.doc->nodeIndex(r.node)));
        EXPECT_EQ(state, !r.safe ? 0.0f : r.margin < EscapeWork::kTightMargin ? 1.0f : 2.0f) << r.node;
    }
}

TEST(EscapeWindow, ColoursForAWhileAndNeverReachTheProfile)
{
    ViewBench b;
    b.node(1, 0, 0, NodeKind::Surface);
    b.node(2, 100, 0);
    b.road(1, 2);
    b.view->settings.look.roadColourKind = 3;
    b.view->settings.look.nodeColourKind = 2;
    EscapeRoute route;
    route.node = 2, route.destination = 1, route.route = {2, 1}, route.roads = {1}, route.safe = true;
    b.control.showEscape({route}, 2);
    b.control.showEscape({route}, 2);  // twice keeps the person's kinds
    EXPECT_EQ(std::make_pair(b.view->settings.look.roadColourKind, b.view->settings.look.nodeColourKind),
              std::make_pair(kEscapeRouteKind, kEscapeMarginKind));
    EXPECT_EQ(b.view->data.roadColourTitle, "minute the walker leaves the road (min) from node 2");
    b.control.clearEscape();
    EXPECT_EQ(std::make_pair(b.view->settings.look.roadColourKind, b.view->settings.look.nodeColourKind),
              std::make_pair(3, 2));
    b.control.showEscape({route}, 2);
    b.control.closing();
    DisplaySettings stored;
    ViewGeometry geometry;
    readDisplaySettings(b.profile, stored, geometry);
    EXPECT_EQ(std::make_pair(stored.look.roadColourKind, stored.look.nodeColourKind), std::make_pair(3, 2));
}

}  // namespace
}  // namespace orvex::test
