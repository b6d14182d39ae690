#include "compare.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace orvex {

namespace {

double flowOf(const CBriscoDoc& doc, int k)
{
    return doc.specificWeight != 0 ? doc.roads[std::size_t(k)].massFlow / double(doc.specificWeight) : 0.0;
}

double pressureOf(const CBriscoDoc& doc, int i)
{
    const double unit = doc.app().units.pressureUnitFactor;
    return unit != 0 ? doc.nodes[std::size_t(i)].pressure / unit : 0.0;
}

// Roads by their two nodes in either order and their kind, each list in
// road order, so that the n-th road between two nodes meets the n-th.
using RoadKey = std::pair<NodePair, bool>;
std::map<RoadKey, std::vector<int>> roadsByEnds(const CBriscoDoc& doc)
{
    std::map<RoadKey, std::vector<int>> ends;
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& r = doc.roads[std::size_t(k)];
        ends[{{std::min(r.first, r.second), std::max(r.first, r.second)}, k > doc.roadCount}].push_back(k);
    }
    return ends;
}

std::map<NodePair, std::vector<int>> fansByEnds(const CBriscoDoc& doc)
{
    std::map<NodePair, std::vector<int>> ends;
    for (int f = 1; f <= doc.fanCount; ++f)
        ends[{doc.fans[std::size_t(f)].inlet, doc.fans[std::size_t(f)].outlet}].push_back(f);
    return ends;
}

void compareRoads(const CBriscoDoc& base, const CBriscoDoc& other, Comparison& c)
{
    for (int k = 1; k <= base.totalRoads(); ++k)
        c.largestBaseFlow = std::max(c.largestBaseFlow, std::fabs(flowOf(base, k)));
    const double floor = kFlowFloorShare * c.largestBaseFlow;
    auto otherEnds = roadsByEnds(other);
    std::map<RoadKey, std::size_t> used;
    for (int k = 1; k <= base.totalRoads(); ++k) {
        const Road& b = base.roads[std::size_t(k)];
        const RoadKey key{{std::min(b.first, b.second), std::max(b.first, b.second)}, k > base.roadCount};
        const std::vector<int>& matches = otherEnds[key];
        const std::size_t n = used[key]++;
        if (n >= matches.size()) {
            c.unshared.baseRoads.emplace_back(b.first, b.second);
            continue;
        }
        RoadChange r;
        r.baseRoad = k;
        r.otherRoad = matches[n];
        r.fixed = key.second;
        const Road& o = other.roads[std::size_t(r.otherRoad)];
        const double baseFlow = flowOf(base, k);
        const double flow = flowOf(other, r.otherRoad) * (o.first == b.first ? 1 : -1);
        const double sense = baseFlow < 0 ? -1 : 1;
        r.from = sense > 0 ? b.first : b.second;
        r.to = sense > 0 ? b.second : b.first;
        r.baseFlow = sense * baseFlow;
        r.flow = sense * flow;
        r.change = r.flow - r.baseFlow;
        if (r.baseFlow > 0)
            r.changePercent = 100 * r.change / r.baseFlow;
        r.reversed = r.baseFlow > floor && r.flow < -floor;
        c.roads.push_back(r);
    }
    // The other network's roads past the ones matched, in its road order.
    std::map<RoadKey, std::size_t> seen;
    for (int k = 1; k <= other.totalRoads(); ++k) {
        const Road& o = other.roads[std::size_t(k)];
        const RoadKey key{{std::min(o.first, o.second), std::max(o.first, o.second)}, k > other.roadCount};
        if (seen[key]++ >= used[key])
            c.unshared.otherRoads.emplace_back(o.first, o.second);
    }
}

void compareFans(const CBriscoDoc& base, const CBriscoDoc& other, Comparison& c)
{
    auto otherEnds = fansByEnds(other);
    std::map<NodePair, std::size_t> used;
    for (int f = 1; f <= base.fanCount; ++f) {
        const Fan& b = base.fans[std::size_t(f)];
        const NodePair key{b.inlet, b.outlet};
        const std::vector<int>& matches = otherEnds[key];
        const std::size_t n = used[key]++;
        if (n >= matches.size()) {
            c.unshared.baseFans.push_back(key);
            continue;
        }
        const Fan& o = other.fans[std::size_t(matches[n])];
        c.fans.push_back({f, matches[n], b.inlet, b.outlet, b.fanFlow, o.fanFlow, b.pressure, o.pressure,
                          double(o.fanFlow) - double(b.fanFlow)});
    }
    for (auto& [key, fans] : otherEnds)
        for (std::size_t n = used[key]; n < fans.size(); ++n)
            c.unshared.otherFans.push_back(key);
}

void compareNodes(const CBriscoDoc& base, const CBriscoDoc& other, Comparison& c)
{
    for (int i = 1; i <= base.nodeCount; ++i) {
        const int number = base.nodes[std::size_t(i)].number;
        const int j = other.nodeIndex(number);
        if (j == 0) {
            c.unshared.baseNodes.push_back(number);
            continue;
        }
        const double p0 = pressureOf(base, i), p1 = pressureOf(other, j);
        c.nodes.push_back({number, p0, p1, p1 - p0});
    }
    for (int j = 1; j <= other.nodeCount; ++j)
        if (base.nodeIndex(other.nodes[std::size_t(j)].number) == 0)
            c.unshared.otherNodes.push_back(other.nodes[std::size_t(j)].number);
}

using FindingKey = std::pair<CheckKind, std::vector<int>>;
FindingKey keyOf(const Finding& f)
{
    std::vector<int> nodes = f.nodes;
    std::sort(nodes.begin(), nodes.end());
    return {f.kind, nodes};
}

// The findings of `from` whose key `against` has not.
std::vector<Finding> missingFrom(const std::vector<Finding>& from, const std::vector<Finding>& against)
{
    std::set<FindingKey> keys;
    for (const Finding& f : against)
        keys.insert(keyOf(f));
    std::vector<Finding> missing;
    for (const Finding& f : from)
        if (keys.count(keyOf(f)) == 0)
            missing.push_back(f);
    return missing;
}

}  // namespace

bool Unshared::empty() const
{
    return baseNodes.empty() && otherNodes.empty() && baseRoads.empty() && otherRoads.empty() &&
           baseFans.empty() && otherFans.empty();
}

Comparison compareRuns(const CBriscoDoc& base, const std::vector<Finding>& baseFindings,
                       const CBriscoDoc& other, const std::vector<Finding>& otherFindings)
{
    Comparison c;
    compareRoads(base, other, c);
    compareFans(base, other, c);
    compareNodes(base, other, c);
    c.appeared = missingFrom(otherFindings, baseFindings);
    c.disappeared = missingFrom(baseFindings, otherFindings);
    return c;
}

bool changedBeyond(const RoadChange& road, double largestBaseFlow, double thresholdPercent)
{
    const double reference = std::max(road.baseFlow, 0.01 * largestBaseFlow);
    return std::fabs(road.change) > thresholdPercent / 100 * reference;
}

}  // namespace orvex
