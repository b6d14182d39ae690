// The air leaving each node during a fire: the streams that reach the node
// mixed in proportion to their mass flows. Normal roads bring the air that
// has come out at their far end; fixed-flow roads and fans hold no volume
// and bring their upstream node's air at once. The fire simulation spreads
// this air into the roads leaving the node, and the plan shows its
// temperature as a node quantity.
#include <cmath>
#include <cstdio>

#include "analysis/quantities.h"

namespace orvex {

// Temperature and gas of the air leaving node `number`. A connection of
// fixed-flow roads and fans back to a node already being mixed adds nothing,
// so a closed loop of such connections cannot recurse forever. The air such
// a loop carries is the other node's own, which that node's mixing counts
// already: a node fed only through the loop has air, and no "No airflow"
// message is given for it.
MixingWork& mixingWork(CBriscoDoc& doc)
{
    return doc.layerWork().get<MixingWork>();
}

// Kept whole: the sums and the loop flag are shared by the three kinds of
// inflow and by the recursion into the nodes upstream.
bool mixNode(CBriscoDoc& doc, int number, float& temperature, float& gas)
{
    MixingWork& w = mixingWork(doc);
    const FireParameters& fire = doc.fire;
    const auto& roads = doc.roads;
    const auto& fans = doc.fans;
    const int i = doc.nodeIndex(number);
    if (number == fire.fireNode) {
        temperature = fire.fireTemperature;
        gas = 100.0f;
        return true;
    }
    if (i == 0 || i <= doc.surfaceCount) {
        temperature = doc.surfaceTemperature;
        gas = 0;
        return true;
    }
    w.mixing[i] = 1;
    double weight = 0, heat = 0, gasSum = 0;
    bool looped = false;  // an inflow comes from another node on the mixing path
    const Node& node = doc.nodes[i];
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
        const Road& road = roads[doc.adjacentRoad[pos]];
        if (doc.adjacentSign[pos] * road.massFlow > 0)
            continue;
        const double q = std::fabs(road.massFlow);
        weight += q;
        heat += q * road.outletTemperature;
        gasSum += q * road.outletGas;
    }
    const auto inflowFrom = [&](int upstream, double q) {
        const int u = doc.nodeIndex(upstream);
        if (u == 0)
            return;
        if (w.mixing[u]) {
            looped = looped || u != i;
            return;
        }
        float t = 0, c = 0;
        if (!mixNode(doc, upstream, t, c))
            return;
        weight += q;
        heat += q * t;
        gasSum += q * c;
    };
    for (int k = doc.roadCount + 1; k <= doc.totalRoads(); ++k) {
        const Road& road = roads[k];
        if (road.massFlow > 0 && road.second == number)
            inflowFrom(road.first, road.massFlow);
        else if (road.massFlow < 0 && road.first == number)
            inflowFrom(road.second, -road.massFlow);
    }
    for (int f = 1; f <= doc.fanCount; ++f)
        if (fans[f].outlet == number)
            inflowFrom(fans[f].inlet, std::fabs(fans[f].fanFlow * kStandardAirPerMinute));
    w.mixing[i] = 0;

    if (weight > 0) {
        temperature = float(heat / weight);
        gas = float(gasSum / weight);
        return true;
    }
    temperature = -99.0f;
    gas = -99.0f;
    if (!looped && !w.noInflowShown[i]) {
        w.noInflowShown[i] = 1;
        char text[64];
        std::snprintf(text, sizeof text, "Error : No airflow into %d", number);
        doc.report(text);
    }
    return false;
}

float nodeGasTemperature(CBriscoDoc& doc, int i)
{
    float t = 0, c = 0;
    mixNode(doc, doc.nodes[i].number, t, c);
    return t;
}

}  // namespace orvex
