#include "edit/snapshot.h"

#include <algorithm>
#include <tuple>

namespace orvex {

namespace {

template <typename T, std::size_t N>
std::vector<T> slice(const std::array<T, N>& items, int count)
{
    const std::size_t n = std::size_t(std::clamp(count, 0, int(N) - 1));
    return std::vector<T>(items.begin() + 1, items.begin() + 1 + std::ptrdiff_t(n));
}

template <typename T, std::size_t N>
void unslice(std::array<T, N>& items, const std::vector<T>& from, const T& empty)
{
    const std::size_t n = std::min(from.size(), N - 1);
    std::copy(from.begin(), from.begin() + std::ptrdiff_t(n), items.begin() + 1);
    std::fill(items.begin() + 1 + std::ptrdiff_t(n), items.end(), empty);
}

// What defines each element; the rest of its record is results or derived.
auto nodeKey(const Node& n) { return std::tie(n.number, n.elevation, n.x, n.y); }
auto roadKey(const Road& r)
{
    return std::tie(r.first, r.second, r.resistance, r.altResistance, r.temperature, r.area, r.length,
                    r.conductivity, r.bendStart);
}
auto fanKey(const Fan& f) { return std::tie(f.inlet, f.outlet, f.points, f.flowStep, f.curve); }

void keepNodeResults(Node& restored, const Node& now)
{
    restored.pressure = now.pressure;
    restored.displayValue = now.displayValue;
}

void keepRoadResults(Road& restored, const Road& now)
{
    Road r = now;
    // the road's own values from the snapshot, its results from now
    r.first = restored.first;
    r.second = restored.second;
    r.resistance = restored.resistance;
    r.altResistance = restored.altResistance;
    r.temperature = restored.temperature;
    r.area = restored.area;
    r.length = restored.length;
    r.conductivity = restored.conductivity;
    r.name = restored.name;
    r.bendStart = restored.bendStart;
    restored = r;
}

void keepFanResults(Fan& restored, const Fan& now)
{
    restored.fanFlow = now.fanFlow;
    restored.pressure = now.pressure;
    restored.fanPrevFlow = now.fanPrevFlow;
    restored.fanState = now.fanState;
    restored.fanMeanPressure = now.fanMeanPressure;
}

}  // namespace

std::size_t NetworkSnapshot::bytes() const
{
    return sizeof(*this) + nodes.capacity() * sizeof(Node) + roads.capacity() * sizeof(Road) +
           fans.capacity() * sizeof(Fan) + bends.capacity() * sizeof(BendSlot) +
           fanHeadings.capacity() * sizeof(FixedText<kHeadingChars>) +
           unusableRoads.capacity() * sizeof(int) + title.capacity() + windowTitle.capacity();
}

void NetworkSnapshot::turn(int degrees)
{
    for (Node& node : nodes)
        rotatePlanPoint(node.x, node.y, degrees);
    for (BendSlot& bend : bends)
        rotatePlanPoint(bend.x, bend.y, degrees);
}

bool NetworkSnapshot::sameNetwork(const NetworkSnapshot& o) const
{
    if (std::tie(surfaceCount, undergroundCount, roadCount, fixedCount, fanCount, bendUsed, title,
                 windowTitle) != std::tie(o.surfaceCount, o.undergroundCount, o.roadCount, o.fixedCount,
                                          o.fanCount, o.bendUsed, o.title, o.windowTitle))
        return false;
    const auto same = [](const auto& a, const auto& b, auto key) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [&](const auto& x, const auto& y) { return key(x) == key(y); });
    };
    return same(nodes, o.nodes, [](const Node& n) { return nodeKey(n); }) &&
           same(roads, o.roads, [](const Road& r) { return std::tuple_cat(roadKey(r), std::make_tuple(r.name.str())); }) &&
           same(fans, o.fans, [](const Fan& f) { return fanKey(f); }) &&
           same(bends, o.bends, [](const BendSlot& b) { return std::tie(b.mark, b.x, b.y); }) &&
           same(fanHeadings, o.fanHeadings, [](const auto& h) { return h.str(); }) &&
           unusableRoads == o.unusableRoads;
}

NetworkSnapshot takeSnapshot(const CBriscoDoc& doc)
{
    NetworkSnapshot s;
    s.surfaceCount = doc.surfaceCount;
    s.undergroundCount = doc.undergroundCount;
    s.roadCount = doc.roadCount;
    s.fixedCount = doc.fixedCount;
    s.fanCount = doc.fanCount;
    s.bendUsed = doc.bendUsed;
    s.altResistanceRoads = doc.altResistanceRoads;
    s.nodes = slice(doc.nodes, doc.surfaceCount + doc.undergroundCount);
    s.roads = slice(doc.roads, doc.totalRoads());
    s.fans = slice(doc.fans, doc.fanCount);
    s.bends = slice(doc.bends, doc.bendUsed);
    s.fanHeadings = slice(doc.fanHeadings, doc.fanCount);
    s.unusableRoads = slice(doc.fire.unusableRoad, doc.fire.unusableCount);
    s.title = doc.title;
    s.windowTitle = doc.windowTitle;
    return s;
}

void restoreSnapshot(CBriscoDoc& doc, const NetworkSnapshot& s)
{
    NetworkSnapshot restored = s;
    for (Node& node : restored.nodes)
        if (const int now = doc.nodeIndex(node.number))
            keepNodeResults(node, doc.nodes[std::size_t(now)]);
    for (std::size_t j = 0; j < restored.roads.size(); ++j) {
        Road& road = restored.roads[j];
        const bool fixed = int(j) + 1 > s.roadCount;
        const auto matches = [&](int k) {
            const Road& r = doc.roads[std::size_t(k)];
            return r.first == road.first && r.second == road.second && (k > doc.roadCount) == fixed;
        };
        int match = int(j) + 1 <= doc.totalRoads() && matches(int(j) + 1) ? int(j) + 1 : 0;
        for (int k = 1; !match && k <= doc.totalRoads(); ++k)
            if (matches(k))
                match = k;
        if (match)
            keepRoadResults(road, doc.roads[std::size_t(match)]);
    }
    for (Fan& fan : restored.fans)
        for (int f = 1; f <= doc.fanCount; ++f)
            if (doc.fans[std::size_t(f)].inlet == fan.inlet && doc.fans[std::size_t(f)].outlet == fan.outlet) {
                keepFanResults(fan, doc.fans[std::size_t(f)]);
                break;
            }

    doc.surfaceCount = s.surfaceCount;
    doc.undergroundCount = s.undergroundCount;
    doc.roadCount = s.roadCount;
    doc.fixedCount = s.fixedCount;
    doc.fanCount = s.fanCount;
    doc.bendUsed = s.bendUsed;
    doc.altResistanceRoads = s.altResistanceRoads;
    unslice(doc.nodes, restored.nodes, Node{});
    unslice(doc.roads, restored.roads, Road{});
    unslice(doc.fans, restored.fans, Fan{});
    unslice(doc.bends, restored.bends, BendSlot{});
    unslice(doc.fanHeadings, restored.fanHeadings, FixedText<kHeadingChars>("Fan:\n"));
    doc.fire.unusableCount = int(s.unusableRoads.size());
    unslice(doc.fire.unusableRoad, s.unusableRoads, 0);
    doc.title = s.title;
    doc.windowTitle = s.windowTitle;
    doc.rebuildAdjacency();
}

}  // namespace orvex
