#include "control/escape.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "display/planview.h"

namespace orvex {

bool escapeAvailable(const CBriscoDoc& doc)
{
    if (!(doc.fire.finishTime > 0) || !doc.holdsResults)
        return false;
    return std::any_of(doc.roads.begin() + 1, doc.roads.begin() + 1 + doc.totalRoads(),
                       [](const Road& r) { return std::isfinite(r.gasArrival); });
}

namespace {

std::string routeText(const std::vector<int>& nodes)
{
    std::string text;
    for (int n : nodes)
        text += (text.empty() ? "" : " ") + std::to_string(n);
    return text;
}

std::vector<ResultsColumn> escapeColumns()
{
    using C = EscapeColumn;
    return {{int(C::Node), "Node", "Where the walker starts", true},
            {int(C::Destination), "Destination", "The evacuation destination reached", true},
            {int(C::Route), "Route", "The nodes walked, from the node to the destination", false},
            {int(C::Length), "Length (m)", "The way's length", true},
            {int(C::Time), "Time (min)", "Walking time at the parameters' speed", true},
            {int(C::Margin), "Margin (min)",
             "Minutes to spare before a road of the way becomes untenable; empty: none of them does", true},
            {int(C::Safe), "Safe", "Whether every road is left before its air becomes untenable", false}};
}

}  // namespace

EscapeOutcome escapeRoutes(const CBriscoDoc& doc)
{
    EscapeOutcome outcome;
    outcome.table.columns = escapeColumns();
    if (!escapeAvailable(doc)) {
        outcome.message = "Run the fire simulation first: the ways out follow the air's hazards of a fire run.";
        return outcome;
    }
    const EscapeSearch search(doc);
    if (!search.error().empty()) {
        outcome.message = search.error();
        return outcome;
    }
    for (const std::string& warning : search.warnings())
        outcome.message += (outcome.message.empty() ? "" : "\n") + warning;
    outcome.routes = search.fromUnderground();
    for (const EscapeRoute& r : outcome.routes) {
        const bool reached = r.destination != 0;
        outcome.table.rows.push_back(
            {wholeCell(r.node), reached ? wholeCell(r.destination) : textCell("none"),
             textCell(reached ? routeText(r.route) : "no road leads to a destination"),
             reached ? finiteNumberCell(r.length, 0) : ResultsCell{}, reached ? finiteNumberCell(r.time, 1) : ResultsCell{},
             reached ? finiteNumberCell(r.margin, 1) : ResultsCell{}, textCell(r.safe ? "yes" : "no")});
    }
    return outcome;
}

void showEscapeWork(CBriscoDoc& doc, const std::vector<EscapeRoute>& routes, int node)
{
    EscapeWork& work = escapeWork(doc);
    const float none = std::numeric_limits<float>::quiet_NaN();
    work.roadMinute.assign(std::size_t(doc.totalRoads()) + 1, none);
    work.nodeState.assign(std::size_t(doc.nodeCount) + 1, none);
    work.from = "from node " + std::to_string(node);
    const double speed = std::max(doc.fire.spdEsc, 1e-6f);
    for (const EscapeRoute& r : routes) {
        if (const int i = doc.nodeIndex(r.node); i > 0)
            work.nodeState[std::size_t(i)] = !r.safe ? 0.0f : r.margin < EscapeWork::kTightMargin ? 1.0f : 2.0f;
        if (r.node != node)
            continue;
        double walked = 0;
        for (const int k : r.roads)
            if (k >= 1 && k <= doc.totalRoads()) {
                walked += doc.roads[std::size_t(k)].length / speed;
                work.roadMinute[std::size_t(k)] = float(walked);
            }
    }
}

}  // namespace orvex
