// Where the air goes after a run: air that goes round in circles, what each
// fixed-flow road asks of the network, and roads whose air turned since the
// run before.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "checks/checks.h"

namespace orvex {

namespace {

// Mass flows (kg/s) below this share of the network's largest are taken
// for no airflow: the solver leaves flows that far off their exact values,
// so their direction means nothing.
constexpr double kNoFlowShare = 1e-3;
constexpr double kNoFlowFloor = 1e-6;

double noFlowBelow(const CBriscoDoc& doc)
{
    double largest = 0;
    for (int k = 1; k <= doc.totalRoads(); ++k)
        largest = std::max(largest, std::fabs(double(doc.roads[size_t(k)].massFlow)));
    for (int f = 1; f <= doc.fanCount; ++f)
        largest = std::max(largest, std::fabs(double(doc.specificWeight) * doc.fans[size_t(f)].fanFlow));
    return std::max(kNoFlowFloor, kNoFlowShare * largest);
}

// A mass flow in the user flow unit, at the standard density as the solver
// converts the fixed airflows.
double userFlow(const CBriscoDoc& doc, double massFlow)
{
    return doc.specificWeight != 0 ? massFlow / doc.specificWeight : std::nan("");
}

struct FlowEdge {
    int to = 0;
    double flow = 0;  // user unit
    int road = 0, fan = 0;  // what carries it
};
using FlowGraph = std::vector<std::vector<FlowEdge>>;  // by node index, from 1

// Every road with air in it, pointed the way the air goes, and every fan
// moving air from its inlet to its outlet. The surface nodes are joined
// through the atmosphere, and no edge joins two of them, not even a road
// written between them (it stands for that open air): air drawn in at one
// shaft and blown out at another goes through, not round.
FlowGraph flowGraph(const CBriscoDoc& doc)
{
    FlowGraph graph(size_t(doc.surfaceCount + doc.undergroundCount + 1));
    const double small = noFlowBelow(doc);
    const auto add = [&](int from, int to, double flow, int road, int fan) {
        const int a = doc.nodeIndex(from), b = doc.nodeIndex(to);
        const bool open = a <= doc.surfaceCount && b <= doc.surfaceCount;
        if (a && b && a != b && !open)
            graph[size_t(a)].push_back({b, flow, road, fan});
    };
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& road = doc.roads[size_t(k)];
        if (std::fabs(road.massFlow) <= small)
            continue;
        const double flow = userFlow(doc, std::fabs(double(road.massFlow)));
        if (road.massFlow > 0)
            add(road.first, road.second, flow, k, 0);
        else
            add(road.second, road.first, flow, k, 0);
    }
    for (int f = 1; f <= doc.fanCount; ++f) {
        const Fan& fan = doc.fans[size_t(f)];
        if (fan.fanFlow > 0)
            add(fan.inlet, fan.outlet, fan.fanFlow, 0, f);
    }
    return graph;
}

// Tarjan's strongly connected components, with a stack of its own instead
// of recursion: the component (1..) of every node index.
std::vector<int> components(const FlowGraph& graph)
{
    const size_t n = graph.size();
    std::vector<int> order(n, 0), low(n, 0), component(n, 0);
    std::vector<char> stacked(n, 0);
    std::vector<int> stack;
    std::vector<std::pair<int, size_t>> calls;  // node, its next edge
    int counter = 0, count = 0;
    const auto visit = [&](int v) {
        order[size_t(v)] = low[size_t(v)] = ++counter;
        stack.push_back(v);
        stacked[size_t(v)] = 1;
        calls.emplace_back(v, 0);
    };
    for (int start = 1; start < int(n); ++start) {
        if (order[size_t(start)])
            continue;
        visit(start);
        while (!calls.empty()) {
            const int v = calls.back().first;
            const size_t next = calls.back().second++;
            if (next < graph[size_t(v)].size()) {
                const int w = graph[size_t(v)][next].to;
                if (!order[size_t(w)])
                    visit(w);
                else if (stacked[size_t(w)])
                    low[size_t(v)] = std::min(low[size_t(v)], order[size_t(w)]);
                continue;
            }
            calls.pop_back();
            if (!calls.empty()) {
                const size_t parent = size_t(calls.back().first);
                low[parent] = std::min(low[parent], low[size_t(v)]);
            }
            if (low[size_t(v)] != order[size_t(v)])
                continue;
            ++count;
            int w = 0;
            do {
                w = stack.back();
                stack.pop_back();
                stacked[size_t(w)] = 0;
                component[size_t(w)] = count;
            } while (w != v);
        }
    }
    return component;
}

}  // namespace

// Every group of nodes the air can go round (a strongly connected component
// of the flow graph with more than one node) is one finding. Its value is
// the smallest airflow on an edge inside it: every such edge lies on a
// loop, so at least that much air goes round. For a single loop it is the
// airflow that circulates; for a knot of loops the least that does.
void checkRecirculation(const CBriscoDoc& doc, std::vector<Finding>& findings)
{
    const FlowGraph graph = flowGraph(doc);
    const std::vector<int> component = components(graph);
    const int count = component.empty() ? 0 : *std::max_element(component.begin(), component.end());
    const std::string unit = doc.app().units.flowUnitName.str();
    for (int c = 1; c <= count; ++c) {
        std::vector<int> members;  // node indexes, by number
        for (size_t i = 1; i < graph.size(); ++i)
            if (component[i] == c)
                members.push_back(int(i));
        if (members.size() < 2)
            continue;
        std::sort(members.begin(), members.end(), [&doc](int a, int b) {
            return doc.nodes[size_t(a)].number < doc.nodes[size_t(b)].number;
        });
        double smallest = std::numeric_limits<double>::infinity();
        std::string carriers;  // the roads and fans of the loop, the first few named
        int named = 0;
        for (const int v : members)
            for (const FlowEdge& edge : graph[size_t(v)])
                if (component[size_t(edge.to)] == c) {
                    smallest = std::min(smallest, edge.flow);
                    if (++named <= 4) {
                        const int a = edge.fan ? doc.fans[size_t(edge.fan)].inlet : doc.roads[size_t(edge.road)].first;
                        const int b = edge.fan ? doc.fans[size_t(edge.fan)].outlet : doc.roads[size_t(edge.road)].second;
                        carriers += std::string(carriers.empty() ? "" : ", ") + (edge.fan ? "fan " : "road ") +
                                    std::to_string(a) + "-" + std::to_string(b);
                    }
                }
        if (named > 4)
            carriers += " and " + std::to_string(named - 4) + " more";

        // The nodes in the order the air goes, from the lowest number along
        // the first way on to a node not yet named; for a single loop that
        // is the loop, for a knot one way through it, the rest after it.
        Finding finding;
        finding.kind = CheckKind::Recirculation;
        finding.severity = Severity::Violation;
        std::vector<char> listed(graph.size(), 0);
        for (int v = members.front(); v;) {
            listed[size_t(v)] = 1;
            finding.nodes.push_back(doc.nodes[size_t(v)].number);
            const auto& out = graph[size_t(v)];
            const auto on = std::find_if(out.begin(), out.end(), [&](const FlowEdge& edge) {
                return component[size_t(edge.to)] == c && !listed[size_t(edge.to)];
            });
            v = on != out.end() ? on->to : 0;
        }
        for (const int v : members)
            if (!listed[size_t(v)])
                finding.nodes.push_back(doc.nodes[size_t(v)].number);
        finding.value = smallest;
        finding.unit = unit;
        char text[80];
        std::snprintf(text, sizeof text, ": at least %.4g %s circulates", smallest, unit.c_str());
        finding.reason = "air goes round " + carriers + text;
        findings.push_back(std::move(finding));
    }
}

// The node pressures are absolute: they include the weight of the air
// column above each node, so two nodes at different depths differ by it
// even where no air moves. The solver holds a fixed-flow road's airflow
// whatever the pressures, with no air column of its own (as it holds a
// fan, between two points), so the duty it leaves is the plain difference
// P(first) - P(second) in the set airflow's direction, as the results
// show it for the road: above 0 the network has pressure to spare that a
// regulator must take; below 0 a booster fan must add what is missing.
void checkFixedFlows(const CBriscoDoc& doc, const CheckDefaults& defaults, std::vector<Finding>& findings)
{
    const UnitsSettings& units = doc.app().units;
    for (int k = doc.roadCount + 1; k <= doc.totalRoads(); ++k) {
        const Road& road = doc.roads[size_t(k)];
        const int a = doc.nodeIndex(road.first), b = doc.nodeIndex(road.second);
        if (road.resistance == 0 || !a || !b)
            continue;
        const double along = road.resistance > 0 ? 1 : -1;
        const double lost = along * (doc.nodes[size_t(a)].pressure - doc.nodes[size_t(b)].pressure) * kPascalPerKgfM2;
        const double q = std::fabs(double(road.resistance)) * units.flowUnitFactor;  // m³/s
        if (lost == 0)
            continue;
        Finding finding;
        finding.road = k;
        finding.nodes = {road.first, road.second};
        char text[200];
        if (lost > 0) {
            // A sharp-edged orifice passing Q at Δp: Q = Cd A sqrt(2 Δp / ρ).
            const double rho = doc.density > 0 ? doc.density : road.density;
            finding.kind = CheckKind::Regulator;
            finding.severity = Severity::Note;
            finding.value = q / (defaults.orificeCoefficient * std::sqrt(2 * lost / rho));
            finding.unit = "m2";
            std::snprintf(text, sizeof text,
                          "the network has %.4g %s to spare here: a regulator of %.3g m2 holds the set airflow",
                          lost / kPascalPerKgfM2 / units.pressureUnitFactor, units.pressureUnitName.str().c_str(),
                          finding.value);
        } else {
            finding.kind = CheckKind::Booster;
            finding.severity = Severity::Warning;
            finding.value = -lost / kPascalPerKgfM2 / units.pressureUnitFactor;
            finding.unit = units.pressureUnitName.str();
            std::snprintf(text, sizeof text,
                          "the network cannot move the set airflow: a booster fan must add %.4g %s (%.3g kW of air power)",
                          finding.value, finding.unit.c_str(), -lost * q / 1000);
        }
        finding.reason = text;
        findings.push_back(std::move(finding));
    }
}

void checkReversals(const CBriscoDoc& doc, const FlowHistory& before, std::vector<Finding>& findings)
{
    const double small = noFlowBelow(doc);
    const std::string unit = doc.app().units.flowUnitName.str();
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& road = doc.roads[size_t(k)];
        const auto was = before.massFlow.find({road.first, road.second});
        if (was == before.massFlow.end())
            continue;
        const double then = was->second, now = road.massFlow;
        if (std::fabs(then) <= small || std::fabs(now) <= small || (then > 0) == (now > 0))
            continue;
        Finding finding;
        finding.kind = CheckKind::Reversal;
        finding.severity = Severity::Warning;
        finding.road = k;
        finding.nodes = {road.first, road.second};
        finding.value = userFlow(doc, now);
        finding.unit = unit;
        char text[200];
        std::snprintf(text, sizeof text, "the air turned: %.4g %s before, %.4g %s now", userFlow(doc, then),
                      unit.c_str(), finding.value, unit.c_str());
        finding.reason = text;
        findings.push_back(std::move(finding));
    }
}

}  // namespace orvex
