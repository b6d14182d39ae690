// A scenario's changes, made to a copy of a network.
#include <algorithm>
#include <cmath>

#include "scenario.h"

namespace orvex {

namespace {

// A normal road's resistance both ways: the alternative one follows where
// the road has one.
void setResistance(Road& road, double resistance)
{
    road.resistance = float(resistance);
    if (road.altResistance > 0)
        road.altResistance = float(resistance);
}

// The mean temperature of the normal roads meeting at node a or b: a new
// road's air is that of its neighbours; the surface air where it has none.
float neighbourTemperature(const CBriscoDoc& doc, int a, int b)
{
    double sum = 0;
    int count = 0;
    for (int k = 1; k <= doc.roadCount; ++k) {
        const Road& r = doc.roads[k];
        if (r.first == a || r.second == a || r.first == b || r.second == b) {
            sum += r.temperature;
            ++count;
        }
    }
    return count > 0 ? float(sum / count) : doc.surfaceTemperature;
}

std::string openRoad(CBriscoDoc& doc, const Change& c)
{
    if (const int k = doc.findRoad(c.a, c.b)) {
        setResistance(doc.roads[k], c.value);
        return {};
    }
    if (doc.findRoad(c.a, c.b, RoadScope::All) != 0)
        return "road " + nodePairText(c.a, c.b) + " is a fixed-flow road: change its airflow with fixed-flow";
    for (const int n : {c.a, c.b})
        if (doc.nodeIndex(n) == 0)
            return "node " + std::to_string(n) + " is not in the network";
    if (doc.totalRoads() + 1 >= kMaxRoads)
        return "no room for the new road " + nodePairText(c.a, c.b);
    Road road;
    road.first = c.a;
    road.second = c.b;
    road.resistance = float(c.value);
    road.temperature = neighbourTemperature(doc, c.a, c.b);
    doc.appendNormalRoad(road);
    return {};
}

// One change; `largest` is the largest normal resistance before any.
std::string applyChange(CBriscoDoc& doc, const Change& c, double largest)
{
    const std::string road = "road " + nodePairText(c.a, c.b);
    switch (c.kind) {
    case ChangeKind::FanOff:
    case ChangeKind::FanSpeed: {
        const int f = doc.findFan(c.a, c.b);
        if (f == 0)
            return "fan " + nodePairText(c.a, c.b) + " is not in the network";
        Fan& fan = doc.fans[f];
        if (c.kind == ChangeKind::FanOff) {
            fan.points = 0;  // a fan without a curve stands still and moves no air
            return {};
        }
        fan.flowStep = float(fan.flowStep * c.value);
        for (int p = 1; p <= fan.points && p <= kMaxFanPoints; ++p)
            fan.curve[std::size_t(p)] = float(fan.curve[std::size_t(p)] * c.value * c.value);
        return {};
    }
    case ChangeKind::FixedFlow: {
        const int k = doc.findRoad(c.a, c.b, RoadScope::All);
        if (k <= doc.roadCount)
            return "no fixed-flow road joins nodes " + nodePairText(c.a, c.b);
        doc.roads[k].resistance = float(doc.roads[k].first == c.a ? c.value : -c.value);
        return {};
    }
    case ChangeKind::Fire:
        if (doc.nodeIndex(c.a) == 0)
            return "the fire node " + std::to_string(c.a) + " is not in the network";
        doc.fire.fireNode = c.a;
        doc.fire.finishTime = float(std::isfinite(c.value) ? c.value
                                    : doc.fire.finishTime > 0 ? doc.fire.finishTime
                                                              : kDefaultFireMinutes);
        return {};
    default:
        break;
    }
    if (doc.isWater())
        return "a water network's pipe resistances follow from their diameter, length and roughness: "
               "resistance, close and open are for air networks";
    if (c.kind == ChangeKind::Open)
        return openRoad(doc, c);
    const int k = doc.findRoad(c.a, c.b);
    if (k == 0)
        return doc.findRoad(c.a, c.b, RoadScope::All) ? road + " is a fixed-flow road" : road + " is not in the network";
    Road& r = doc.roads[k];
    if (c.kind == ChangeKind::SetResistance)
        setResistance(r, c.value);
    else if (c.kind == ChangeKind::ScaleResistance) {
        r.resistance = float(r.resistance * c.value);
        r.altResistance = float(r.altResistance * c.value);
    }
    else
        setResistance(r, std::isfinite(c.value) ? c.value : kClosedResistanceFactor * largest);
    return {};
}

}  // namespace

std::string applyScenario(CBriscoDoc& doc, const Scenario& scenario)
{
    double largest = 0;
    for (int k = 1; k <= doc.roadCount; ++k)
        largest = std::max({largest, double(doc.roads[k].resistance), double(doc.roads[k].altResistance)});
    for (const Change& c : scenario.changes) {
        const std::string problem = applyChange(doc, c, largest);
        if (!problem.empty())
            return (c.line > 0 ? "line " + std::to_string(c.line) + ": " : std::string()) + problem;
    }
    return {};
}

}  // namespace orvex
