#include "planlegend.h"

namespace orvex::cli {

namespace {

std::string withUnit(const std::string& name, const std::string& unit)
{
    return unit.empty() ? name : name + " (" + unit + ")";
}

bool isFlowKind(int kind) { return kind == 1 || kind == 2 || kind == 4; }

}  // namespace

std::string roadQuantity(int kind, const UnitLabels& u)
{
    switch (kind) {
    case 1: return withUnit(u.flowWord + " at standard density", u.flow);
    case 2: return withUnit(u.flowWord + " at the road's own density", u.flow);
    case 3: return "direction (1 forward, 2 reverse)";
    case 4: return withUnit("pressure loss", u.pressure);
    case 5: return withUnit("resistance", u.resistance) + ", fixed-flow roads their set " + u.flowWord;
    case 6: return withUnit("alternative resistance", u.resistance);
    case 7: return "temperature (C)";
    case 8: return u.water ? "pipe diameter (m)" : "cross-section (m2)";
    case 9: return "length (m)";
    case 10: return u.water ? "Hazen-Williams or loss coefficient" : "rock heat conductivity (kcal/m h C)";
    case 11: return "gas concentration (not computed)";
    case 12: return "road name";
    case 13: return "hazard (not computed)";
    case 14: return "mean air temperature (C)";
    case 15: return "gas temperature at each end, first#second";
    case 16: return "dry-bulb temperature at each end, first#second";
    case 17: return "wet-bulb temperature at each end, first#second";
    case 18: return "relative humidity at each end, first#second";
    case 19: return "enthalpy at each end, first#second";
    default: return "";
    }
}

std::string nodeQuantity(int kind, const UnitLabels& u)
{
    switch (kind) {
    case 1: return "node number";
    case 2: return "elevation (m)";
    case 3: return withUnit("pressure above the lowest surface node", u.pressure);
    case 4: return withUnit("pressure loss from the surface", u.pressure);
    case 5: return "gas temperature (C)";
    case 6: return "hazard (not computed)";
    case 7: return "dry-bulb temperature";
    case 8: return "wet-bulb temperature";
    case 9: return "relative humidity";
    case 10: return "enthalpy";
    default: return "";
    }
}

std::vector<LegendEntry> legendOf(const PlanView& view, const UnitLabels& u, int fans)
{
    const DisplaySettings& s = view.settings;
    const PlanData& d = view.data;
    const ColourSlots& c = s.colours;
    std::vector<LegendEntry> entries;
    if (!roadQuantity(s.onlineKind, u).empty())
        entries.push_back({"Above roads: " + roadQuantity(s.onlineKind, u), c.online});
    if (!roadQuantity(s.underlineKind, u).empty())
        entries.push_back({"Below roads: " + roadQuantity(s.underlineKind, u), c.underline});
    if (isFlowKind(s.onlineKind) || isFlowKind(s.underlineKind))
        entries.push_back({"12-) flows the way the text reads, (-12 against it", c.online});
    const bool flowShown = s.onlineKind == 1 || s.onlineKind == 2 || s.underlineKind == 1 ||
                           s.underlineKind == 2;
    if (flowShown && d.fixedCount > 0)
        entries.push_back({"#0# fixed-flow road of set flow 0", c.online});
    if (s.nodeKind == 1)
        entries.push_back({"In the nodes: node number", c.onnode});
    else if (!nodeQuantity(s.nodeKind, u).empty())
        entries.push_back({"Nodes: [" + nodeQuantity(s.nodeKind, u) + "] below, number above",
                           c.nodedata});
    if (fans > 0)
        entries.push_back({std::string(u.water ? "Pumps: " : "Fans: ") + withUnit(u.flowWord, u.flow) +
                               " over " + withUnit("pressure", u.pressure),
                           c.underline});
    if (d.surfaceCount > 0)
        entries.push_back({"surface node", c.node, Symbol::SurfaceNode});
    if (d.fixedCount > 0)
        entries.push_back({"fixed-flow road", c.road, Symbol::FixedRoad});
    return entries;
}

}  // namespace orvex::cli
