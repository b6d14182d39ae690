// What the network allows the air to do, checked before every run.
//
// Pressures travel through normal roads and through connections (fixed-flow
// roads of airflow 0); fans and fixed airflows only move air between the
// nodes they join. A group of nodes that no such path joins to a surface
// node has no pressure level of its own: if a fan or a fixed airflow moves
// air across its edge, that air has nowhere to go and the flows cannot
// balance; if nothing does, its pressures are simply not determined.
#include "analysis/networkcheck.h"

#include <array>
#include <cmath>
#include <numeric>

#include "model/itemlist.h"

namespace orvex {

namespace {

// Groups of node indexes joined by roads that carry pressure.
class NodeGroups {
public:
    explicit NodeGroups(int count)
    {
        std::iota(mParent.begin(), mParent.begin() + count + 1, 0);
    }
    int find(int i)
    {
        while (mParent[size_t(i)] != i)
            i = mParent[size_t(i)] = mParent[size_t(mParent[size_t(i)])];
        return i;
    }
    void join(int a, int b) { mParent[size_t(find(a))] = find(b); }

private:
    std::array<int, kMaxNodes> mParent{};
};

}  // namespace

NetworkCheck checkNetwork(const CBriscoDoc& doc)
{
    const int n = doc.surfaceCount + doc.undergroundCount;
    NodeGroups groups(n);
    std::array<int, kMaxNodes> ends{};  // roads and fans ending at each node
    const int total = doc.totalRoads();
    for (int k = 1; k <= total; ++k) {
        const Road& road = doc.roads[size_t(k)];
        const int a = doc.nodeIndex(road.first), b = doc.nodeIndex(road.second);
        if (!a || !b)
            continue;
        ++ends[size_t(a)], ++ends[size_t(b)];
        if (k <= doc.roadCount || road.resistance == 0.0f)
            groups.join(a, b);
    }
    for (int f = 1; f <= doc.fanCount; ++f) {
        const int a = doc.nodeIndex(doc.fans[size_t(f)].inlet), b = doc.nodeIndex(doc.fans[size_t(f)].outlet);
        if (a && b)
            ++ends[size_t(a)], ++ends[size_t(b)];
    }

    std::array<unsigned char, kMaxNodes> anchored{};  // by group root
    for (int i = 1; i <= doc.surfaceCount && i <= n; ++i)
        anchored[size_t(groups.find(i))] = 1;

    NetworkCheck check;
    ItemList alone;
    std::array<unsigned char, kMaxNodes> reported{};  // group roots already in a warning
    for (int i = doc.surfaceCount + 1; i <= n; ++i) {
        const int root = groups.find(i);
        if (anchored[size_t(root)] || reported[size_t(root)])
            continue;
        reported[size_t(root)] = 1;
        if (ends[size_t(i)] == 0) {
            alone.add(std::to_string(doc.nodes[size_t(i)].number));
            continue;
        }
        ItemList members, movers;
        for (int j = i; j <= n; ++j)
            if (groups.find(j) == root)
                members.add(std::to_string(doc.nodes[size_t(j)].number));
        const auto crosses = [&](int first, int second) {
            const int a = doc.nodeIndex(first), b = doc.nodeIndex(second);
            return a && b && (groups.find(a) == root) != (groups.find(b) == root);
        };
        for (int f = 1; f <= doc.fanCount; ++f) {
            const Fan& fan = doc.fans[size_t(f)];
            if (crosses(fan.inlet, fan.outlet))
                movers.add("fan " + pairText(fan.inlet, fan.outlet));
        }
        for (int k = doc.roadCount + 1; k <= total; ++k) {
            const Road& road = doc.roads[size_t(k)];
            if (road.resistance != 0.0f && crosses(road.first, road.second))
                movers.add("fixed-flow road " + pairText(road.first, road.second));
        }
        const std::string nodes = (members.count() == 1 ? "node " : "nodes ") + members.text();
        if (!movers.empty()) {
            check.airCannotBalance = true;
            check.warnings.push_back("No road joins " + nodes + " to a surface node, but " +
                                     movers.text() + (movers.count() == 1 ? " moves" : " move") +
                                     " air across: the air cannot balance there.");
        } else {
            check.warnings.push_back("No road joins " + nodes +
                                     " to a surface node: the pressures there are not determined.");
        }
    }
    if (!alone.empty())
        check.warnings.push_back((alone.count() == 1 ? "Node " : "Nodes ") + alone.text() +
                                 (alone.count() == 1 ? " has" : " have") +
                                 " no road, fixed-flow road or fan.");

    ItemList idle;
    for (int f = 1; f <= doc.fanCount; ++f)
        if (!doc.fanCanOperate(f))
            idle.add(pairText(doc.fans[size_t(f)].inlet, doc.fans[size_t(f)].outlet));
    if (!idle.empty())
        check.warnings.push_back("Fans without at least two curve points and an airflow step stand "
                                 "still in this analysis: " + idle.text() + ".");
    return check;
}

NodeImbalance largestNodeImbalance(const CBriscoDoc& doc)
{
    const int n = doc.surfaceCount + doc.undergroundCount;
    std::array<double, kMaxNodes> inflow{};  // kg/s, by node index
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& road = doc.roads[size_t(k)];
        const int a = doc.nodeIndex(road.first), b = doc.nodeIndex(road.second);
        if (!a || !b)
            continue;
        inflow[size_t(a)] -= road.massFlow;
        inflow[size_t(b)] += road.massFlow;
    }
    for (int f = 1; f <= doc.fanCount; ++f) {
        const Fan& fan = doc.fans[size_t(f)];
        const int a = doc.nodeIndex(fan.inlet), b = doc.nodeIndex(fan.outlet);
        const double m = double(doc.specificWeight) * fan.fanFlow;
        if (a)
            inflow[size_t(a)] -= m;
        if (b)
            inflow[size_t(b)] += m;
    }
    NodeImbalance worst;
    for (int i = doc.surfaceCount + 1; i <= n; ++i) {
        if (worst.number != 0 && !(std::fabs(inflow[size_t(i)]) > std::fabs(worst.massFlow)))
            continue;
        worst.number = doc.nodes[size_t(i)].number;
        worst.massFlow = inflow[size_t(i)];
    }
    worst.flow = doc.specificWeight != 0 ? worst.massFlow / doc.specificWeight : 0.0;
    return worst;
}

}  // namespace orvex
