#include "planlegend.h"

namespace orvex::cli {

namespace {

std::string withUnit(const std::string& name, const std::string& unit)
{
    return unit.empty() ? name : name + " (" + unit + ")";
}

bool isFlowKind(int kind) { return kind == 1 || kind == 2 || kind == 4; }

}  // namespace

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
