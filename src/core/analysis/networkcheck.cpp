// What the network allows the air to do, checked before every run.
//
// Pressures travel through normal roads and through connections (fixed-flow
// roads of airflow 0); fans and fixed airflows only move air between the
// nodes they join. A group of nodes that no such path joins to a surface
// node has no pressure level of its own. The air that fans and fixed
// airflows move across its edge must add up to nothing. Fixed airflows are
// what they are; a fan moves anything between zero and the airflow of its
// curve's last point, the more the lower the pressure it works against, so
// the group's pressure level settles where its fans balance it -- two fans
// in series with a road between them are an ordinary network. Air cannot
// balance where no airflows of its fans strictly inside their curves
// (a fan at either end of its curve never settles) add up with the fixed
// airflows to nothing: a single fan into a dead end, fixed airflows that do
// not sum to zero, fans that all blow in while nothing takes air out. A
// group that nothing moves air across, or only fixed airflows that cancel,
// balances at any pressure: its pressures are not determined.
#include "analysis/networkcheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "analysis/fan.h"
#include "model/nodegroups.h"
#include "model/itemlist.h"

namespace orvex {

namespace {

// The air moved across the edge of a group that no road joins to a surface
// node, in the user flow unit.
struct GroupBalance {
    double fixedInflow = 0;   // net inflow of the fixed airflows
    double fixedSize = 0;     // their sizes added up, for the rounding of their sum
    double inflowLimit = 0;   // the fans blowing in, at the last points of their curves
    double outflowLimit = 0;  // the fans drawing out
    bool hasFans() const { return inflowLimit > 0 || outflowLimit > 0; }
    // Fan airflows strictly inside their curves that balance the fixed
    // airflows: fans blowing in bring anything in (0, inflowLimit), fans
    // drawing out take anything in (0, outflowLimit), both together give
    // anything in between; without fans the fixed airflows must cancel.
    bool canBalance() const
    {
        const double needed = -fixedInflow;  // what the fans must bring in
        const double rounding = 1e-6 * fixedSize;
        if (!hasFans())
            return std::fabs(needed) <= rounding;
        return needed + rounding > -outflowLimit && needed - rounding < inflowLimit;
    }
    // Its fans balance it at one pressure level.
    bool determined() const { return hasFans() && canBalance(); }
};

// A group of nodes that no road joins to a surface node: settled by the
// fans and fixed-flow roads across its edge, or the warning it gets.
void checkLooseGroup(const CBriscoDoc& doc, NodeGroups& groups, int start, int root, NetworkCheck& check)
{
    const int n = doc.surfaceCount + doc.undergroundCount;
    const int total = doc.totalRoads();
    ItemList members, movers;
    for (int j = start; j <= n; ++j)
        if (groups.find(j) == root)
            members.add(std::to_string(doc.nodes[size_t(j)].number));
    // +1 into the group, -1 out of it, 0 not across its edge.
    const auto across = [&](int first, int second) {
        const int a = doc.nodeIndex(first), b = doc.nodeIndex(second);
        if (!a || !b || (groups.find(a) == root) == (groups.find(b) == root))
            return 0;
        return groups.find(b) == root ? 1 : -1;
    };
    GroupBalance balance;
    std::vector<int> fans;
    for (int f = 1; f <= doc.fanCount; ++f) {
        const Fan& fan = doc.fans[size_t(f)];
        const int direction = across(fan.inlet, fan.outlet);
        if (direction == 0 || !fanCanOperate(doc, f))
            continue;  // a fan without a curve stands still
        movers.add("fan " + pairText(fan.inlet, fan.outlet));
        fans.push_back(f);
        (direction > 0 ? balance.inflowLimit : balance.outflowLimit) +=
            double(fan.points - 1) * fan.flowStep;
    }
    for (int k = doc.roadCount + 1; k <= total; ++k) {
        const Road& road = doc.roads[size_t(k)];
        const int direction = across(road.first, road.second);
        if (road.resistance == 0.0f || direction == 0)
            continue;
        movers.add("fixed-flow road " + pairText(road.first, road.second));
        balance.fixedInflow += direction * double(road.resistance);
        balance.fixedSize += std::fabs(double(road.resistance));
    }
    const std::string nodes = (members.count() == 1 ? "node " : "nodes ") + members.text();
    if (balance.determined())
        return;  // its fans set its pressure level
    if (!balance.canBalance()) {
        check.airCannotBalance = true;
        check.unbalancedFans.insert(check.unbalancedFans.end(), fans.begin(), fans.end());
        check.warnings.push_back("No road joins " + nodes + " to a surface node, but " +
                                 movers.text() + (movers.count() == 1 ? " moves" : " move") +
                                 " air across: the air cannot balance there.");
    } else {
        check.warnings.push_back("No road joins " + nodes +
                                 " to a surface node: the pressures there are not determined.");
    }
}

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
        checkLooseGroup(doc, groups, i, root, check);
    }
    if (!alone.empty())
        check.warnings.push_back((alone.count() == 1 ? "Node " : "Nodes ") + alone.text() +
                                 (alone.count() == 1 ? " has" : " have") +
                                 " no road, fixed-flow road or fan.");

    ItemList idle;
    for (int f = 1; f <= doc.fanCount; ++f)
        if (!fanCanOperate(doc, f))
            idle.add(pairText(doc.fans[size_t(f)].inlet, doc.fans[size_t(f)].outlet));
    if (!idle.empty())
        check.warnings.push_back("Fans without at least two curve points and an airflow step stand "
                                 "still in this analysis: " + idle.text() + ".");
    return check;
}

namespace {

// A fan whose airflow is below this share of its curve's last airflow stands
// at zero: the relaxation's damping takes a fan that cannot start down
// towards 0 without ever reaching it.
constexpr double kZeroFlowShare = 1e-6;
// The rise across a fan held at zero may fall short of its shut-off
// pressure by this share of its largest curve pressure (the accuracy a fan
// settles to).
constexpr double kRiseShare = 1e-3;

}  // namespace

FanPoint fanPoint(const CBriscoDoc& doc, int f)
{
    FanPoint point;
    if (!fanCanOperate(doc, f))
        return point;
    const Fan& fan = doc.fans[size_t(f)];
    const double unit = doc.app().units.pressureUnitFactor;
    const int in = doc.nodeIndex(fan.inlet), out = doc.nodeIndex(fan.outlet);
    point.shutOff = fan.curve[1];
    if (in && out && unit != 0)
        point.rise = (doc.nodes[size_t(out)].pressure - doc.nodes[size_t(in)].pressure) / unit;
    double largest = 0;
    for (int p = 1; p <= fan.points; ++p)
        largest = std::max(largest, std::fabs(double(fan.curve[size_t(p)])));
    const double last = double(fan.points - 1) * fan.flowStep;
    if (fan.fanFlow <= kZeroFlowShare * last)
        point.kind = point.rise >= point.shutOff - kRiseShare * largest ? FanPointKind::CannotStart
                                                                        : FanPointKind::AtZeroFlow;
    else if (fan.fanFlow >= last)
        point.kind = FanPointKind::AtCurveEnd;
    else
        point.kind = FanPointKind::OnCurve;
    return point;
}

std::string fanPointText(FanPointKind kind)
{
    switch (kind) {
    case FanPointKind::OnCurve: return "on curve";
    case FanPointKind::CannotStart: return "held at zero flow: shut-off pressure below what it faces";
    case FanPointKind::AtZeroFlow: return "at zero flow";
    case FanPointKind::AtCurveEnd: return "at curve end";
    case FanPointKind::NoCurve: break;
    }
    return "no curve";
}

std::vector<std::string> fanPointWarnings(const CBriscoDoc& doc, const std::vector<int>& named)
{
    const std::string unit = doc.app().units.pressureUnitName.str();
    std::vector<std::string> warnings;
    for (int f = 1; f <= doc.fanCount; ++f) {
        const FanPoint point = fanPoint(doc, f);
        const bool warned = std::find(named.begin(), named.end(), f) != named.end();
        if (point.kind != FanPointKind::CannotStart || warned)
            continue;
        const Fan& fan = doc.fans[size_t(f)];
        char text[300];
        std::snprintf(text, sizeof text,
                      "Fan %s cannot start: its shut-off pressure, %.3f %s, is below the %.3f %s that "
                      "the network puts across it, so it is held at zero airflow.",
                      pairText(fan.inlet, fan.outlet).c_str(), point.shutOff, unit.c_str(), point.rise,
                      unit.c_str());
        warnings.emplace_back(text);
    }
    return warnings;
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

std::string imbalanceText(double value)
{
    char text[64];
    const double size = std::fabs(value);
    if (value == 0 || !std::isfinite(value)) {
        std::snprintf(text, sizeof text, "%.3f", value == 0 ? 0.0 : value);
    } else if (size < 1e-9) {
        std::snprintf(text, sizeof text, "%.2e", value);
    } else {
        const int decimals = std::max(3, 2 - int(std::floor(std::log10(size))));
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
    }
    return text;
}

}  // namespace orvex
