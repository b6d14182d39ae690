// The air leaving each node during a fire: the streams that reach the node
// mixed in proportion to their mass flows. Normal roads bring the air that
// has come out at their far end; fixed-flow roads and fans hold no volume
// and bring their upstream node's air at once. The fire simulation spreads
// this air into the roads leaving the node, and the plan shows its
// temperature as a node quantity.
#include <cmath>
#include <cstdio>

#include "model/briscodoc.h"

namespace orvex {

// Temperature and gas of the air leaving node `number`. A connection of
// fixed-flow roads and fans back to a node already being mixed adds nothing,
// so a closed loop of such connections cannot recurse forever. The air such
// a loop carries is the other node's own, which that node's mixing counts
// already: a node fed only through the loop has air, and no "No airflow"
// message is given for it.
bool CBriscoDoc::mixNode(int number, float& temperature, float& gas)
{
    FireWork& w = fireWork;
    const int i = nodeIndex(number);
    if (number == fire.fireNode) {
        temperature = fire.fireTemperature;
        gas = 100.0f;
        return true;
    }
    if (i == 0 || i <= surfaceCount) {
        temperature = surfaceTemperature;
        gas = 0;
        return true;
    }
    w.mixing[i] = 1;
    double weight = 0, heat = 0, gasSum = 0;
    bool looped = false;  // an inflow comes from another node on the mixing path
    const Node& node = nodes[i];
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
        const Road& road = roads[adjacentRoad[pos]];
        if (adjacentSign[pos] * road.massFlow > 0)
            continue;
        const double q = std::fabs(road.massFlow);
        weight += q;
        heat += q * road.outletTemperature;
        gasSum += q * road.outletGas;
    }
    const auto inflowFrom = [&](int upstream, double q) {
        const int u = nodeIndex(upstream);
        if (u == 0)
            return;
        if (w.mixing[u]) {
            looped = looped || u != i;
            return;
        }
        float t = 0, c = 0;
        if (!mixNode(upstream, t, c))
            return;
        weight += q;
        heat += q * t;
        gasSum += q * c;
    };
    for (int k = roadCount + 1; k <= totalRoads(); ++k) {
        const Road& road = roads[k];
        if (road.massFlow > 0 && road.second == number)
            inflowFrom(road.first, road.massFlow);
        else if (road.massFlow < 0 && road.first == number)
            inflowFrom(road.second, -road.massFlow);
    }
    for (int f = 1; f <= fanCount; ++f)
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
        report(text);
    }
    return false;
}

float CBriscoDoc::nodeGasTemperature(int i)
{
    float t = 0, c = 0;
    mixNode(nodes[i].number, t, c);
    return t;
}

}  // namespace orvex
