// Each road's air velocity and airflow against its limits: the network's own
// by node pair, else by the road's name, else the program's defaults, limit
// by limit.
#include <cmath>
#include <cstdio>

#include "analysis/quantities.h"
#include "checks/checks.h"

namespace orvex {

namespace {

// One decimal, two below 1 so that a limit of 0.25 m/s reads as such.
std::string shown(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, std::fabs(value) < 1 ? "%.2f" : "%.1f", value);
    return text;
}

double limitOf(std::optional<double> RoadLimits::*field, const RoadLimits* byPair, const RoadLimits* byName,
               double fallback)
{
    if (byPair && byPair->*field)
        return *(byPair->*field);
    if (byName && byName->*field)
        return *(byName->*field);
    return fallback;
}

const RoadLimits* byPair(const CheckOverrides& overrides, const Road& road)
{
    auto it = overrides.roads.find({road.first, road.second});
    if (it == overrides.roads.end())
        it = overrides.roads.find({road.second, road.first});
    return it == overrides.roads.end() ? nullptr : &it->second;
}

const RoadLimits* byName(const CheckOverrides& overrides, const Road& road)
{
    if (road.name.empty())
        return nullptr;
    const auto it = overrides.namedRoads.find(road.name.str());
    return it == overrides.namedRoads.end() ? nullptr : &it->second;
}

Finding roadFinding(const Road& road, int k, CheckKind kind, Severity severity)
{
    Finding f;
    f.kind = kind;
    f.severity = severity;
    f.road = k;
    f.nodes = {road.first, road.second};
    return f;
}

}  // namespace

// Air networks after a run: a road the run has not reached (no density) has
// no airflow to check. Water networks have no air limits.
void checkRoadLimits(const CBriscoDoc& doc, const CheckDefaults& defaults, const CheckOverrides& overrides,
                     std::vector<Finding>& findings)
{
    if (doc.isWater())
        return;
    const std::string flowUnit = doc.app().units.flowUnitName.str();
    for (int k = 1; k <= doc.roadCount; ++k) {
        const Road& road = doc.roads[size_t(k)];
        if (road.density == 0)
            continue;
        const RoadLimits* pair = byPair(overrides, road);
        const RoadLimits* name = byName(overrides, road);
        const auto limit = [&](std::optional<double> RoadLimits::*field, double fallback) {
            return limitOf(field, pair, name, fallback);
        };
        const auto add = [&](CheckKind kind, double value, double bound, const std::string& unit,
                             const std::string& what, const char* side) {
            Finding f = roadFinding(road, k, kind, Severity::Violation);
            f.value = value, f.limit = bound, f.unit = unit;
            f.reason = what + " " + shown(value) + " " + unit + " " + side + " the " + shown(bound) + " " + unit +
                       " limit";
            findings.push_back(f);
        };

        if (road.area <= 0) {
            Finding f = roadFinding(road, k, CheckKind::VelocityLow, Severity::Note);
            f.unit = "m/s";
            f.reason = "no cross-section: velocity not checked";
            findings.push_back(f);
        } else {
            const double speed = std::fabs(double(roadVelocity(doc, k)));
            const double low = limit(&RoadLimits::minVelocity, defaults.minVelocity);
            const double high = limit(&RoadLimits::maxVelocity, defaults.maxVelocity);
            if (speed < low)
                add(CheckKind::VelocityLow, speed, low, "m/s", "air velocity", "below");
            else if (speed > high)
                add(CheckKind::VelocityHigh, speed, high, "m/s", "air velocity", "above");
        }
        float airflow = 0;
        roadValue(doc, k, 1, airflow);
        const double least = limit(&RoadLimits::minAirflow, defaults.minAirflow);
        if (least > 0 && std::fabs(airflow) < least)
            add(CheckKind::AirflowLow, std::fabs(double(airflow)), least, flowUnit, "airflow", "below");
    }
}

void reportUnknownOverrides(const CBriscoDoc& doc, const CheckOverrides& overrides, Reporter& reporter)
{
    std::vector<std::string> unknown;
    for (const auto& entry : overrides.roads)
        if (doc.findRoad(entry.first.first, entry.first.second) == 0)
            unknown.push_back("road " + std::to_string(entry.first.first) + "-" + std::to_string(entry.first.second));
    for (const auto& entry : overrides.namedRoads) {
        bool found = false;
        for (int k = 1; k <= doc.roadCount && !found; ++k)
            found = doc.roads[size_t(k)].name.view() == entry.first;
        if (!found)
            unknown.push_back("road \"" + entry.first + "\"");
    }
    for (const auto& entry : overrides.fanEfficiency) {
        bool found = false;
        for (int f = 1; f <= doc.fanCount && !found; ++f) {
            const Fan& fan = doc.fans[size_t(f)];
            found = (fan.inlet == entry.first.first && fan.outlet == entry.first.second) ||
                    (fan.inlet == entry.first.second && fan.outlet == entry.first.first);
        }
        if (!found)
            unknown.push_back("fan " + std::to_string(entry.first.first) + "-" + std::to_string(entry.first.second));
    }
    if (unknown.empty())
        return;
    std::string list;
    for (std::size_t i = 0; i < unknown.size() && i < 10; ++i)
        list += (i ? ", " : "") + unknown[i];
    if (unknown.size() > 10)
        list += ", ...";
    const std::string file = doc.baseName.empty() ? "The design limits" : doc.baseName + "chk";
    reporter.message(file + ": " + std::to_string(unknown.size()) + " limit" + (unknown.size() == 1 ? "" : "s") +
                         " name" + (unknown.size() == 1 ? "s" : "") + " nothing in the network and " +
                         (unknown.size() == 1 ? "is" : "are") + " not used: " + list,
                     kDocumentCaption, MessageKind::Warning);
}

}  // namespace orvex
