// Escape routes: a search on arrival times from the walker's node.
//
// A walker who enters road k at minute t leaves it at t + L/v and may enter
// it only if that is no later than the road's deadline (the minute its air
// became untenable, over the safety factor). Deadlines never move, so an
// earlier arrival at a node never leaves fewer roads open than a later one:
// the first time a node is taken from the queue is its earliest arrival, and
// the search is a plain shortest-path search whose roads close at their
// deadlines. Walkers do not wait: waiting can only close roads.
#include "escape/escape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <queue>
#include <utility>

namespace orvex {

namespace {

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string parameterFileOf(const CBriscoDoc& doc)
{
    return doc.parameterRead.path.empty() ? doc.baseName + "sdt" : doc.parameterRead.path;
}

}  // namespace

// The labels of one search, by node index.
struct EscapeSearch::Search {
    std::vector<double> arrival;  // minutes after the fire started
    std::vector<int> via;         // the road the walker came by
    int reached = 0;              // the destination chosen, 0 none
};

EscapeSearch::EscapeSearch(const CBriscoDoc& doc, double startMinute) : mDoc(doc)
{
    const FireParameters& f = doc.fire;
    mSettings = EscapeSettings{tenabilityLimits(f), f.spdEsc, f.ftfEsc, startMinute};
    const std::string file = parameterFileOf(doc) + ": ";
    const auto refuse = [this, &file](const std::string& why) {
        if (mError.empty())
            mError = file + why;
    };
    if (!(mSettings.speed > 0) || !std::isfinite(mSettings.speed))
        refuse("the walking speed spd_esc is " + number(mSettings.speed) + " m/min; it must be above 0");
    if (!(mSettings.safetyFactor > 0) || !std::isfinite(mSettings.safetyFactor))
        refuse("the safety factor ftf_esc is " + number(mSettings.safetyFactor) + "; it must be above 0");
    if (!(mSettings.limits.gas > 0) || !(mSettings.limits.temperature > 0))
        refuse("the tenability limits gas_esc x gsf_esc = " + number(mSettings.limits.gas) +
               " % and 50 C x tmf_esc x tpf_esc = " + number(mSettings.limits.temperature) +
               " C must both be above 0");
    if (!(startMinute >= 0) || !std::isfinite(startMinute))
        refuse("the warning delay " + number(startMinute) + " min must be 0 or more");
    readDestinations();
    readClosedRoads();
    const int fire = doc.nodeIndex(f.fireNode);
    if (fire == 0)
        mWarnings.push_back(file + "the fire node " + std::to_string(f.fireNode) +
                            " is not in the network: no road has a hazard time");
    else if (fire <= doc.surfaceCount)
        mWarnings.push_back(file + "the fire node " + std::to_string(f.fireNode) +
                            " is a surface node: only the air it sends underground is followed");
}

// Each destination's hazard level counts as minutes added to the walk that
// ends there; a node listed twice keeps its lower level.
void EscapeSearch::readDestinations()
{
    const FireParameters& f = mDoc.fire;
    const std::string file = parameterFileOf(mDoc) + ": ";
    mPenalty.assign(std::size_t(mDoc.nodeCount) + 1, std::nan(""));
    int usable = 0;
    for (int e = 1; e <= f.destinationCount && e < kMaxEvacuation; ++e) {
        const std::string what = "evacuation destination " + std::to_string(e) + ", node " +
                                 std::to_string(f.destinationNode[e]);
        const int i = mDoc.nodeIndex(f.destinationNode[e]);
        if (i == 0) {
            mWarnings.push_back(file + what + ", is not in the network; it is left out");
            continue;
        }
        double level = f.destinationHazard[e];
        if (!(level >= 0)) {
            mWarnings.push_back(file + what + ", has the hazard level " + number(level) + "; it counts as 0");
            level = 0;
        }
        double& penalty = mPenalty[std::size_t(i)];
        usable += std::isnan(penalty);
        if (!(penalty <= level))
            penalty = level;
    }
    if (f.destinationCount == 0 && mError.empty())
        mError = file + "no evacuation destination is given";
    else if (usable == 0 && mError.empty())
        mError = file + "none of the evacuation destinations is a node of the network";
}

void EscapeSearch::readClosedRoads()
{
    const FireParameters& f = mDoc.fire;
    mClosed.assign(std::size_t(mDoc.totalRoads()) + 1, 0);
    for (int e = 1; e <= f.unusableCount && e < kMaxEvacuation; ++e) {
        const int k = f.unusableRoad[e];
        if (k >= 1 && k <= mDoc.roadCount)
            mClosed[std::size_t(k)] = 1;
        else
            mWarnings.push_back(parameterFileOf(mDoc) + ": not-useable road " + std::to_string(e) +
                                " joins no normal road of the network (a node not in it, or two nodes "
                                "no road joins); nothing is closed for it");
    }
}

double EscapeSearch::deadline(int k) const
{
    if (k < 1 || k > mDoc.totalRoads())
        return kNoHazard;
    const double at = mDoc.roads[std::size_t(k)].untenableAt;
    return std::isnan(at) ? kNoHazard : at / mSettings.safetyFactor;
}

void EscapeSearch::walk(Search& s, int start, bool heedFire) const
{
    const std::size_t size = std::size_t(mDoc.nodeCount) + 1;
    s.arrival.assign(size, kNoHazard);
    s.via.assign(size, 0);
    s.reached = 0;
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    s.arrival[std::size_t(start)] = mSettings.startMinute;
    queue.push({mSettings.startMinute, start});
    double best = kNoHazard;  // the earliest arrival plus hazard level found
    while (!queue.empty()) {
        const auto [t, i] = queue.top();
        queue.pop();
        // Levels are not negative: nothing taken later can end sooner.
        if (t >= best)
            break;
        if (t > s.arrival[std::size_t(i)])
            continue;
        const double penalty = mPenalty[std::size_t(i)];
        if (t + penalty < best) {  // false for NaN: not a destination
            best = t + penalty;
            s.reached = i;
        }
        const Node& node = mDoc.nodes[std::size_t(i)];
        for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
            const int k = mDoc.adjacentRoad[std::size_t(pos)];
            const Road& road = mDoc.roads[std::size_t(k)];
            const int j = mDoc.nodeIndex(mDoc.adjacentSign[std::size_t(pos)] > 0 ? road.second : road.first);
            const double out = t + std::max(0.0f, road.length) / mSettings.speed;
            if (mClosed[std::size_t(k)] || j == 0 || (heedFire && out > deadline(k)) ||
                !(out < s.arrival[std::size_t(j)]))
                continue;
            s.arrival[std::size_t(j)] = out;
            s.via[std::size_t(j)] = k;
            queue.push({out, j});
        }
    }
}

// The route back from end to start, walked forward again for its margin
// and exposure; a road's exposure is its highest gas for the time the walker
// is in it after gas first came.
EscapeRoute EscapeSearch::routeOf(const Search& s, int start, int end) const
{
    EscapeRoute r;
    r.node = mDoc.nodes[std::size_t(start)].number;
    r.destination = mDoc.nodes[std::size_t(end)].number;
    for (int i = end; i != start;) {
        const int k = s.via[std::size_t(i)];
        r.roads.push_back(k);
        const Road& road = mDoc.roads[std::size_t(k)];
        i = mDoc.nodeIndex(road.first == mDoc.nodes[std::size_t(i)].number ? road.second : road.first);
    }
    std::reverse(r.roads.begin(), r.roads.end());
    r.route.push_back(r.node);
    double t = mSettings.startMinute;
    for (const int k : r.roads) {
        const Road& road = mDoc.roads[std::size_t(k)];
        const double length = std::max(0.0f, road.length), out = t + length / mSettings.speed;
        r.route.push_back(road.first == r.route.back() ? road.second : road.first);
        r.length += length;
        r.margin = std::min(r.margin, deadline(k) - out);
        const double gassed = std::max(t, double(road.gasArrival));
        if (!std::isnan(road.gasArrival) && out > gassed)
            r.exposure += (out - gassed) * road.peakGas;
        t = out;
    }
    r.time = t - mSettings.startMinute;
    return r;
}

EscapeRoute EscapeSearch::from(int nodeNumber) const
{
    EscapeRoute r;
    r.node = nodeNumber;
    const int i = mDoc.nodeIndex(nodeNumber);
    if (!mError.empty() || i == 0)
        return r;
    Search s;
    walk(s, i, true);
    if (s.reached) {
        r = routeOf(s, i, s.reached);
        r.safe = true;
        return r;
    }
    walk(s, i, false);
    return s.reached ? routeOf(s, i, s.reached) : r;
}

std::vector<EscapeRoute> EscapeSearch::fromUnderground() const
{
    std::vector<EscapeRoute> routes;
    for (int i = mDoc.surfaceCount + 1; i <= mDoc.nodeCount; ++i)
        routes.push_back(from(mDoc.nodes[std::size_t(i)].number));
    return routes;
}

}  // namespace orvex
