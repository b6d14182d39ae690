#include "draft.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace orvex::exchange {

namespace {

std::string pair(int a, int b) { return std::to_string(a) + "-" + std::to_string(b); }

std::string roomText(std::size_t given, int room, const char* what)
{
    return "the network holds at most " + std::to_string(room) + " " + what + "; " +
           std::to_string(given) + " were given";
}

std::string checkDraft(const NetworkDraft& draft)
{
    const DraftRoom room;
    if (draft.nodes.size() > std::size_t(room.nodes))
        return roomText(draft.nodes.size(), room.nodes, "nodes");
    if (draft.roads.size() > std::size_t(room.roads))
        return roomText(draft.roads.size(), room.roads, "roads");
    if (draft.fans.size() > std::size_t(room.fans))
        return roomText(draft.fans.size(), room.fans, "fans");
    for (int h = 1; h <= kGeneralHeadings; ++h)
        if (int(draft.headings[h].size()) > kHeadingChars)
            return "heading line " + std::to_string(h) + " is longer than " +
                   std::to_string(kHeadingChars - 1) + " characters";
    std::set<int> numbers;
    for (const DraftNode& node : draft.nodes) {
        if (!isValidNodeNumber(node.number))
            return "node number " + std::to_string(node.number) + " is outside 0..1499";
        if (!numbers.insert(node.number).second)
            return "node " + std::to_string(node.number) + " is given twice";
    }
    std::size_t slots = 0;
    for (const DraftRoad& road : draft.roads) {
        for (int end : {road.first, road.second})
            if (!numbers.count(end))
                return "road " + pair(road.first, road.second) + " names node " +
                       std::to_string(end) + ", which is not in the network";
        if (!road.bends.empty())
            slots += road.bends.size() + 1;
    }
    if (slots > std::size_t(room.bendSlots))
        return roomText(slots, room.bendSlots, "bending-point slots");
    for (const DraftFan& fan : draft.fans) {
        for (int end : {fan.inlet, fan.outlet})
            if (!numbers.count(end))
                return "fan " + pair(fan.inlet, fan.outlet) + " names node " +
                       std::to_string(end) + ", which is not in the network";
        if (fan.curve.empty() || fan.curve.size() > std::size_t(room.fanPoints))
            return "fan " + pair(fan.inlet, fan.outlet) + " has " + std::to_string(fan.curve.size()) +
                   " characteristic points; 1 to " + std::to_string(room.fanPoints) + " are needed";
        if (int(fan.heading.size()) > kHeadingChars)
            return "the heading of fan " + pair(fan.inlet, fan.outlet) + " is longer than " +
                   std::to_string(kHeadingChars - 1) + " characters";
    }
    return {};
}

void storeNodes(const NetworkDraft& draft, CBriscoDoc& doc)
{
    int i = 0;
    for (bool surface : {true, false})
        for (const DraftNode& in : draft.nodes) {
            if (in.surface != surface)
                continue;
            Node node;
            node.number = in.number;
            node.elevation = in.elevation;
            node.x = in.x;
            node.y = in.y;
            doc.nodes[++i] = node;
        }
    doc.surfaceCount = int(std::count_if(draft.nodes.begin(), draft.nodes.end(),
                                         [](const DraftNode& n) { return n.surface; }));
    doc.undergroundCount = int(draft.nodes.size()) - doc.surfaceCount;
    doc.nodeCount = doc.surfaceCount + doc.undergroundCount;
}

void storeRoads(const NetworkDraft& draft, CBriscoDoc& doc)
{
    int k = 0, used = 0;
    for (bool fixedFlow : {false, true})
        for (const DraftRoad& in : draft.roads) {
            if (in.fixedFlow != fixedFlow)
                continue;
            Road road;
            road.first = in.first;
            road.second = in.second;
            road.resistance = in.values.resistance;
            if (!fixedFlow) {
                road.altResistance = in.values.altResistance;
                road.temperature = in.values.temperature;
                road.area = in.values.area;
                road.length = in.values.length;
                road.conductivity = in.values.conductivity;
                road.name = in.values.name.view();
            }
            if (!in.bends.empty()) {
                road.bendStart = used + 1;
                doc.bends[++used] = BendSlot{int(in.bends.size()), 0.0f, 0.0f};
                for (const BendSlot& point : in.bends)
                    doc.bends[++used] = point;
            }
            doc.roads[++k] = road;
        }
    doc.roadCount = int(std::count_if(draft.roads.begin(), draft.roads.end(),
                                      [](const DraftRoad& r) { return !r.fixedFlow; }));
    doc.fixedCount = int(draft.roads.size()) - doc.roadCount;
    doc.bendUsed = used;
    doc.altResistanceRoads = int(std::count_if(doc.roads.begin() + 1, doc.roads.begin() + 1 + doc.roadCount,
                                               [](const Road& r) { return r.altResistance > 0; }));
}

void storeFans(const NetworkDraft& draft, CBriscoDoc& doc)
{
    doc.fanCount = int(draft.fans.size());
    for (int j = 1; j <= kMaxFans - 1; ++j)
        doc.fanHeadings[j] = "Fan:\n";
    for (int j = 1; j <= doc.fanCount; ++j) {
        const DraftFan& in = draft.fans[std::size_t(j - 1)];
        Fan fan;
        fan.inlet = in.inlet;
        fan.outlet = in.outlet;
        fan.points = int(in.curve.size());
        fan.flowStep = in.flowStep;
        std::copy(in.curve.begin(), in.curve.end(), fan.curve.begin() + 1);
        doc.fans[j] = fan;
        doc.fanHeadings[j] = in.heading;
    }
}

}  // namespace

std::string storeDraft(const NetworkDraft& draft, CBriscoDoc& doc)
{
    if (std::string problem = checkDraft(draft); !problem.empty())
        return problem;
    for (int h = 1; h <= kGeneralHeadings; ++h)
        if (!draft.headings[h].empty())
            doc.headings[h] = draft.headings[h];
    if (draft.kind)
        doc.networkKind = *draft.kind;
    if (draft.surfaceTemperature)
        doc.surfaceTemperature = *draft.surfaceTemperature;
    // The not-useable roads are named by their place among the roads: they
    // follow their node pairs to the new places, and go where no normal
    // road joins the pair any longer.
    std::vector<std::pair<int, int>> unusable;
    for (int e = 1; e <= doc.fire.unusableCount && e < kMaxEvacuation; ++e) {
        const int k = doc.fire.unusableRoad[e];
        unusable.emplace_back(k >= 1 && k <= doc.roadCount ? doc.roads[k].first : -1,
                              k >= 1 && k <= doc.roadCount ? doc.roads[k].second : -1);
    }
    doc.roads.fill(Road{});
    doc.bends.fill(BendSlot{});
    storeNodes(draft, doc);
    storeRoads(draft, doc);
    storeFans(draft, doc);
    doc.fire.unusableCount = 0;
    for (const auto& [a, b] : unusable)
        if (const int k = doc.findRoad(a, b); k > 0)
            doc.fire.unusableRoad[++doc.fire.unusableCount] = k;
    doc.holdsResults = false;
    doc.writesRoadNames = true;

    const std::string first(doc.headings[1].view());
    const std::size_t bracket = first.find(']');
    doc.title = bracket == std::string::npos ? first : first.substr(bracket + 1);
    doc.density = doc.isWater() ? kWaterDensity : kAirDensity;
    if (doc.isWater())
        doc.title = kWaterTitle;
    doc.windowTitle = doc.title;
    doc.specificWeight = doc.app().units.flowUnitFactor * doc.density;
    doc.rebuildAdjacency();
    doc.prepareAfterLoad();
    return {};
}

std::string networkSummary(const CBriscoDoc& doc)
{
    const bool water = doc.isWater();
    const auto count = [](int n, const std::string& what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    return count(doc.nodeCount, "node") + " (" + std::to_string(doc.surfaceCount) +
           (water ? " free surfaces), " : " on the surface), ") + count(doc.roadCount, water ? "pipe" : "road") + ", " +
           count(doc.fixedCount, water ? "fixed-flow pipe" : "fixed-flow road") + ", " +
           count(doc.fanCount, water ? "pump" : "fan");
}

void shiftByDepth(NetworkDraft& draft, double xPerMetre, double yPerMetre)
{
    if (draft.nodes.empty() || (xPerMetre == 0 && yPerMetre == 0))
        return;
    float top = draft.nodes.front().elevation;
    for (const DraftNode& n : draft.nodes)
        top = std::max(top, n.elevation);
    std::map<int, const DraftNode*> byNumber;
    for (const DraftNode& n : draft.nodes)
        byNumber[n.number] = &n;
    const auto depth = [&](int number) {
        const auto it = byNumber.find(number);
        return it == byNumber.end() ? 0.0 : double(top) - it->second->elevation;
    };
    for (DraftRoad& road : draft.roads) {
        if (road.bends.empty())
            continue;
        const auto a = byNumber.find(road.first), b = byNumber.find(road.second);
        if (a == byNumber.end() || b == byNumber.end())
            continue;
        // Distances along the road's plan line, from its first node.
        std::vector<double> along{0};
        float x = a->second->x, y = a->second->y;
        for (const BendSlot& p : road.bends) {
            along.push_back(along.back() + std::hypot(double(p.x - x), double(p.y - y)));
            x = p.x, y = p.y;
        }
        const double total = along.back() + std::hypot(double(b->second->x - x), double(b->second->y - y));
        const double from = depth(road.first), to = depth(road.second);
        for (std::size_t i = 0; i < road.bends.size(); ++i) {
            const double d = total > 0 ? from + (to - from) * along[i + 1] / total : from;
            road.bends[i].x += float(d * xPerMetre);
            road.bends[i].y += float(d * yPerMetre);
        }
    }
    for (DraftNode& n : draft.nodes) {
        const double d = double(top) - n.elevation;
        n.x += float(d * xPerMetre);
        n.y += float(d * yPerMetre);
    }
}

NetworkDraft draftOf(const CBriscoDoc& doc)
{
    NetworkDraft draft;
    for (int h = 1; h <= kGeneralHeadings; ++h)
        draft.headings[h] = std::string(doc.headings[h].view());
    draft.kind = doc.networkKind;
    draft.surfaceTemperature = doc.surfaceTemperature;
    for (int i = 1; i <= doc.nodeCount; ++i) {
        const Node& n = doc.nodes[i];
        draft.nodes.push_back({n.number, i <= doc.surfaceCount, n.elevation, n.x, n.y});
    }
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& r = doc.roads[k];
        DraftRoad road;
        road.first = r.first;
        road.second = r.second;
        road.fixedFlow = k > doc.roadCount;
        road.values = r;
        const int s = r.bendStart;
        if (s >= 1 && s < kMaxBendSlots) {
            const int n = std::clamp(doc.bends[s].mark, 0, kMaxBendSlots - 1 - s);
            road.bends.assign(doc.bends.begin() + s + 1, doc.bends.begin() + s + 1 + n);
        }
        draft.roads.push_back(std::move(road));
    }
    for (int j = 1; j <= doc.fanCount; ++j) {
        const Fan& f = doc.fans[j];
        DraftFan fan;
        fan.inlet = f.inlet;
        fan.outlet = f.outlet;
        fan.heading = std::string(doc.fanHeadings[j].view());
        fan.flowStep = f.flowStep;
        fan.curve.assign(f.curve.begin() + 1, f.curve.begin() + 1 + std::clamp(f.points, 0, kMaxFanPoints));
        draft.fans.push_back(std::move(fan));
    }
    return draft;
}

}  // namespace orvex::exchange
