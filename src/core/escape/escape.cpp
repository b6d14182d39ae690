// Escape routes: a search on arrival times from the walker's node.
//
// A walker who enters road k at minute t leaves it at t + L/v and may enter
// it only if that is no later than the road's deadline (the minute its air
// became untenable, over the safety factor). Deadlines never move, so an
// earlier arrival at a node never leaves fewer roads open than a later one:
// the first time a node is taken from the queue is its earliest arrival, and
// the search is a plain shortest-path search whose roads close at their
// deadlines. Walkers do not wait: waiting can only close roads.
//
// One search from the destinations first gives every node its quickest way
// out regardless of the fire; where that way is tenable nothing can be
// quicker, and only the places whose quickest way the fire cuts get a search
// of their own, led towards the exits by those quickest times (which no
// tenable way can beat). Where none is tenable, the quickest way is shown.
#include "escape/escape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
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

using Entry = std::pair<double, int>;  // minutes, node index

double walkMinutes(const Road& road, double speed)
{
    return std::max(0.0f, road.length) / speed;
}

// Calls visit(road, far node index) for every usable normal road at node index i.
template <typename Visit>
void forEachRoad(const CBriscoDoc& doc, int i, const std::vector<char>& closed, Visit visit)
{
    const Node& node = doc.nodes[std::size_t(i)];
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
        const int k = doc.adjacentRoad[std::size_t(pos)];
        const Road& road = doc.roads[std::size_t(k)];
        const int j = doc.nodeIndex(doc.adjacentSign[std::size_t(pos)] > 0 ? road.second : road.first);
        if (!closed[std::size_t(k)] && j != 0)
            visit(k, j);
    }
}

}  // namespace

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
    if (mError.empty())
        findQuickestWays();
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

int EscapeSearch::otherEnd(int k, int i) const
{
    const Road& road = mDoc.roads[std::size_t(k)];
    return mDoc.nodeIndex(road.first == mDoc.nodes[std::size_t(i)].number ? road.second : road.first);
}

// One search outward from the destinations, each starting at its level: the
// quickest way out of every node regardless of the fire. Where that way is
// tenable it is the answer, and most places need no search of their own.
void EscapeSearch::findQuickestWays()
{
    const std::size_t size = std::size_t(mDoc.nodeCount) + 1;
    mQuickest.assign(size, kNoHazard);
    mNext.assign(size, 0);
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    for (std::size_t i = 1; i < size; ++i)
        if (!std::isnan(mPenalty[i]))
            queue.push({mQuickest[i] = mPenalty[i], int(i)});
    while (!queue.empty()) {
        const auto [t, i] = queue.top();
        queue.pop();
        if (t > mQuickest[std::size_t(i)])
            continue;
        forEachRoad(mDoc, i, mClosed, [&](int k, int j) {
            const double through = t + walkMinutes(mDoc.roads[std::size_t(k)], mSettings.speed);
            if (through < mQuickest[std::size_t(j)]) {
                mQuickest[std::size_t(j)] = through, mNext[std::size_t(j)] = k;
                queue.push({through, j});
            }
        });
    }
}

// The quickest way out from node index start that leaves every road before
// its deadline: roads, in order; none when there is none.
std::optional<std::vector<int>> EscapeSearch::tenableWay(int start) const
{
    const std::size_t size = std::size_t(mDoc.nodeCount) + 1;
    std::vector<double> arrival(size, kNoHazard);
    std::vector<int> via(size, 0);
    // Taken in the order of arrival plus the quickest way on: no way out of
    // a node is quicker, so the order stays that of the earliest arrivals.
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    arrival[std::size_t(start)] = mSettings.startMinute;
    queue.push({mSettings.startMinute + mQuickest[std::size_t(start)], start});
    double best = kNoHazard;  // the earliest arrival plus level found
    int reached = 0;
    while (!queue.empty()) {
        const auto [key, i] = queue.top();
        queue.pop();
        if (key >= best)  // nothing taken later ends sooner
            break;
        const double t = arrival[std::size_t(i)];
        if (key > t + mQuickest[std::size_t(i)])
            continue;
        if (t + mPenalty[std::size_t(i)] < best)  // false for NaN: not a destination
            best = t + mPenalty[std::size_t(i)], reached = i;
        forEachRoad(mDoc, i, mClosed, [&](int k, int j) {
            const double out = t + walkMinutes(mDoc.roads[std::size_t(k)], mSettings.speed);
            if (out <= deadline(k) && out < arrival[std::size_t(j)] && std::isfinite(mQuickest[std::size_t(j)])) {
                arrival[std::size_t(j)] = out, via[std::size_t(j)] = k;
                queue.push({out + mQuickest[std::size_t(j)], j});
            }
        });
    }
    if (reached == 0)
        return std::nullopt;
    std::vector<int> roads;
    for (int i = reached; i != start; i = otherEnd(roads.back(), i))
        roads.push_back(via[std::size_t(i)]);
    std::reverse(roads.begin(), roads.end());
    return roads;
}

// The route along the roads from node index start, walked for its margin
// and exposure; a road's exposure is its highest gas for the time the walker
// is in it after gas first came.
EscapeRoute EscapeSearch::routeAlong(int start, const std::vector<int>& roads) const
{
    EscapeRoute r;
    r.node = mDoc.nodes[std::size_t(start)].number;
    r.roads = roads;
    r.route.push_back(r.node);
    double t = mSettings.startMinute;
    for (const int k : roads) {
        const Road& road = mDoc.roads[std::size_t(k)];
        const double out = t + walkMinutes(road, mSettings.speed);
        r.route.push_back(road.first == r.route.back() ? road.second : road.first);
        r.length += std::max(0.0f, road.length);
        r.margin = std::min(r.margin, deadline(k) - out);
        const double gassed = std::max(t, double(road.gasArrival));
        if (!std::isnan(road.gasArrival) && out > gassed)
            r.exposure += (out - gassed) * road.peakGas;
        t = out;
    }
    r.destination = r.route.back();
    r.time = t - mSettings.startMinute;
    r.safe = r.margin >= 0;
    return r;
}

EscapeRoute EscapeSearch::from(int nodeNumber) const
{
    EscapeRoute r;
    r.node = nodeNumber;
    const int i = mDoc.nodeIndex(nodeNumber);
    if (!mError.empty() || i == 0 || !std::isfinite(mQuickest[std::size_t(i)]))
        return r;
    std::vector<int> quickest;
    for (int j = i; mNext[std::size_t(j)] != 0; j = otherEnd(quickest.back(), j))
        quickest.push_back(mNext[std::size_t(j)]);
    r = routeAlong(i, quickest);
    if (r.safe)
        return r;
    const std::optional<std::vector<int>> tenable = tenableWay(i);
    return tenable ? routeAlong(i, *tenable) : r;
}
std::vector<EscapeRoute> EscapeSearch::fromUnderground() const
{
    std::vector<EscapeRoute> routes;
    for (int i = mDoc.surfaceCount + 1; i <= mDoc.nodeCount; ++i)
        routes.push_back(from(mDoc.nodes[std::size_t(i)].number));
    return routes;
}

std::vector<int> cutOff(const std::vector<EscapeRoute>& routes)
{
    std::vector<int> nodes;
    for (const EscapeRoute& r : routes)
        if (r.destination != 0 && !r.safe)
            nodes.push_back(r.node);
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

}  // namespace orvex
