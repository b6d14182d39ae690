// The quantities shown above and below every road and beside every node,
// computed from the network and the last analysis. Kinds are numbered as in
// the display settings; a kind without a value leaves the caller's value.
#include "analysis/quantities.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvex {

// Pressure lost along road k with its airflow, display pressure unit.
float roadPressureDrop(const CBriscoDoc& doc, int k)
{
    const auto& nodes = doc.nodes;
    const Road& road = doc.roads[size_t(k)];
    const int a = doc.nodeIndex(road.first), b = doc.nodeIndex(road.second);
    const float unit = doc.app().units.pressureUnitFactor;
    if (!a || !b || unit == 0)
        return 0;
    if (k > doc.roadCount)
        return float((nodes[size_t(a)].pressure - nodes[size_t(b)].pressure) / unit);
    if (doc.isWater()) {
        // The pipe law the solver used, with the volume flow Q = M / ρs in
        // m³/s and the resistance in kgf/m² per (m³/s)^n: Hazen-Williams
        // where the pipe has a length (n = 1 / (1 - 0.54 × 0.852) = 1.8521,
        // the inverse of the solver's linearisation), a local loss (n = 2)
        // where it has none. At the solution this is the head lost between
        // the pipe's ends, P_a - P_b + (z_a - z_b) ρs.
        if (doc.density == 0)
            return 0;
        const double q = double(road.massFlow) / doc.density;
        const double exponent = road.length > 0 ? 1.0 / (1.0 - double(kPipeHeadExponent) * kPipeFlowExponent) : 2.0;
        return float(std::copysign(road.resistance * std::pow(std::fabs(q), exponent), q) / unit);
    }
    // The density at the road's own temperature and mean pressure.
    const double rho = ((nodes[size_t(a)].pressure + nodes[size_t(b)].pressure) / 2) /
                       ((road.temperature + kCelsiusZero) * kAirGasConstant);
    if (rho == 0)
        return 0;
    const float r = road.roadClass == 2 ? road.altResistance : road.resistance;
    return float(doc.app().units.resistanceUnitFactor * r * road.massFlow * std::fabs(road.massFlow) /
                 (rho * kAirDensity) / unit);
}

double fanPowerKw(const CBriscoDoc& doc, int f)
{
    const UnitsSettings& u = doc.app().units;
    const Fan& fan = doc.fans[size_t(f)];
    const double pascal = double(fan.pressure) * u.pressureUnitFactor * kPascalPerKgfM2;
    const double cubicMetresPerSecond = double(fan.fanFlow) * u.flowUnitFactor;
    return pascal * cubicMetresPerSecond / 1000.0;
}

float roadVelocity(const CBriscoDoc& doc, int k)
{
    constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
    const Road& road = doc.roads[size_t(k)];
    const bool fixed = k > doc.roadCount;
    if (doc.isWater()) {
        // The pipe's diameter stands in its area field.
        const double area = 3.141592653589793 * double(road.area) * road.area / 4;
        const double flow = fixed ? double(road.resistance) * doc.app().units.flowUnitFactor
                                  : (doc.density != 0 ? double(road.massFlow) / doc.density : 0.0);
        return area > 0 ? float(flow / area) : kNone;
    }
    if (!fixed && road.density == 0)
        return kNone;  // no run has given the air in the road its density
    float ownDensityFlow = 0;  // user unit
    roadValue(doc, k, 2, ownDensityFlow);
    return road.area > 0 ? ownDensityFlow * doc.app().units.flowUnitFactor / road.area : kNone;
}

bool roadValue(const CBriscoDoc& doc, int k, int kind, float& value)
{
    const Road& road = doc.roads[size_t(k)];
    const bool fixed = k > doc.roadCount;
    const float specificWeight = doc.specificWeight;
    switch (kind) {
    case 1:  // standard flow, user unit
        value = fixed ? road.resistance
                      : (specificWeight != 0 ? road.massFlow / specificWeight : 0.0f);
        return true;
    case 2:  // flow at the road's own density
        if (fixed)
            value = road.resistance;
        else
            value = specificWeight != 0 && road.density != 0
                ? road.massFlow / specificWeight * kAirDensity / road.density
                : 0.0f;
        return true;
    case 3: value = float(road.roadClass); return true;
    case 4: value = roadPressureDrop(doc, k); return true;
    case 5: value = road.resistance; return true;
    case 6: value = road.altResistance; return true;
    case 7: value = road.temperature; return true;
    case 8: value = road.area; return true;
    case 9: value = road.length; return true;
    case 10: value = road.conductivity; return true;
    case 14: value = road.initialTemperature; return true;
    case kRoadHazardKind: value = road.untenableAt; return true;
    case kVelocityKind: value = roadVelocity(doc, k); return true;
    case kGasArrivalKind: value = road.gasArrival; return true;
    case kPeakGasKind: value = road.peakGas; return true;
    case kPeakTemperatureKind: value = road.peakTemperature; return true;
    default: return false;  // nothing, or drawn from names and end values
    }
}

float nodeUntenableAt(const CBriscoDoc& doc, int i)
{
    const Node& node = doc.nodes[size_t(i)];
    float earliest = std::numeric_limits<float>::quiet_NaN();
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
        const float t = doc.roads[size_t(doc.adjacentRoad[size_t(pos)])].untenableAt;
        if (!std::isnan(t) && !(earliest <= t))
            earliest = t;
    }
    return earliest;
}

bool nodeValue(CBriscoDoc& doc, int i, int kind, float& value)
{
    const Node& node = doc.nodes[size_t(i)];
    switch (kind) {
    case 0: return false;
    case 5: value = nodeGasTemperature(doc, i); return true;  // the fire simulation's node mixing
    case 1: value = float(node.number); return true;
    case 2: value = node.elevation; return true;
    case kNodeHazardKind: value = nodeUntenableAt(doc, i); return true;
    default: value = node.displayValue; return true;  // 3, 4, 7..10
    }
}

int nextRoadValue(const CBriscoDoc& doc, RecordCursor& cursor, int kind, float& value)
{
    int k = 0;
    if (!cursor.advance(doc.totalRoads(), k))
        return 0;
    roadValue(doc, k, kind, value);
    return 1;
}

int nextNodeValue(CBriscoDoc& doc, RecordCursor& cursor, int mode, int& number, float& value)
{
    int i = 0;
    if (!cursor.advance(doc.nodeCount, i))
        return 0;
    number = doc.nodes[size_t(i)].number;
    nodeValue(doc, i, mode, value);
    return 1;
}

// Node kind 3: every pressure relative to the lowest surface pressure.
void computeRelativePressures(CBriscoDoc& doc)
{
    auto& nodes = doc.nodes;
    const int nodeCount = doc.nodeCount;
    const float unit = doc.app().units.pressureUnitFactor;
    if (nodeCount < 1 || unit == 0)
        return;
    double reference = nodes[1].pressure;
    for (int i = 2; i <= doc.surfaceCount; ++i)
        reference = std::min(reference, nodes[i].pressure);
    for (int i = 1; i <= nodeCount; ++i)
        nodes[i].displayValue = float((nodes[i].pressure - reference) / unit);
}

// Node kind 4: the pressure loss walked out from the surface, breadth first:
// through a road with the flow the value drops by the road's pressure drop,
// through a fan from inlet to outlet it rises by the fan's pressure rise.
void walkPressureLoss(CBriscoDoc& doc)
{
    auto& nodes = doc.nodes;
    const auto& roads = doc.roads;
    const auto& fans = doc.fans;
    const int nodeCount = doc.nodeCount;
    const float unit = doc.app().units.pressureUnitFactor;
    std::array<int, kMaxNodes> queue{};
    std::array<unsigned char, kMaxNodes> queued{};
    int tail = 0;
    for (int i = 1; i <= doc.surfaceCount; ++i) {
        nodes[i].displayValue = 0;
        queue[++tail] = i;
        queued[i] = 1;
    }
    for (int head = 1; head <= tail && tail < nodeCount; ++head) {
        const int x = queue[head];
        const Node& node = nodes[x];
        for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
            const int y = doc.adjacentNode[pos];
            if (queued[y])
                continue;
            queue[++tail] = y;
            queued[y] = 1;
            const int r = doc.findRoad(node.number, nodes[y].number);
            const float s = roads[r].first == node.number ? 1.0f : -1.0f;
            nodes[y].displayValue = node.displayValue - s * roadPressureDrop(doc, r);
        }
        for (int f = 1; f <= doc.fanCount; ++f) {
            int y = 0;
            float s = 0;
            if (fans[f].inlet == node.number)
                y = doc.nodeIndex(fans[f].outlet), s = 1;
            if (fans[f].outlet == node.number)
                y = doc.nodeIndex(fans[f].inlet), s = -1;
            if (!y || queued[y])
                continue;
            queue[++tail] = y;
            queued[y] = 1;
            const int in = doc.nodeIndex(fans[f].inlet), out = doc.nodeIndex(fans[f].outlet);
            const double rise = unit != 0 ? (nodes[out].pressure - nodes[in].pressure) / unit : 0;
            nodes[y].displayValue = node.displayValue + float(s * rise);
        }
    }
    if (tail < nodeCount)
        doc.report("pressure set down");
}

}  // namespace orvex
