// The draft of what InpReader read: the room it needs, node numbers for the
// file's IDs, pipes with their minor losses, pumps on resampled curves, and
// the report of what was made and what was left out.
#include "inpread.h"
#include "model/textcodec.h"

namespace orvex::exchange {

namespace {

const char* const kWaterHeadings[kGeneralHeadings] = {
    "",
    "Water pipes: area = diameter (m), rock k = Hazen-Williams C\n",
    "Free surfaces (reservoir, tank): number, elevation (m)\n",
    "Pipe junctions: number, elevation (m)\n",
    "Pipes: node, node, resistance, temp (C), diameter (m), length (m), C\n",
    "Fixed-flow pipes: node, node, flow\n",
    "Pumps: heading, inlet, outlet, points, flow step, pressures\n",
    "Network kind (-9 water), unused, elevation switch\n",
    "Surface temperature (C)\n",
    "& end of network data\n",
};
constexpr std::size_t kNameChars = kRoadNameChars - 1;
constexpr float kFittingPlace = 0.1f;  // an added node lies this share of the pipe's last line before its end
const std::string kNetworkMark = "[ORVEX network]";

std::string cut(const std::string& text, std::size_t chars) { return text.substr(0, characterCut(text, chars)); }

// "a, b, c" in lines of at most eight.
std::string listed(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "  " : i % 8 == 0 ? ",\n  " : ", ") + items[i];
    return text + "\n";
}

}  // namespace

void InpReader::checkRoom() const
{
    const DraftRoom room;
    int nodes = int(mNodes.size()), roads = 0, slots = 0, fans = 0;
    for (const LinkItem& link : mLinks) {
        if (link.kind == LinkKind::Pump)
            ++fans;
        if (link.kind == LinkKind::Pump || link.kind == LinkKind::LeftOut)
            continue;
        ++roads;
        if (link.kind == LinkKind::Pipe && link.minorLoss > 0)
            ++nodes, ++roads;
        if (!link.bends.empty())
            slots += int(link.bends.size()) + 1;
    }
    std::string over;
    const auto check = [&over](int needed, int most, const char* what) {
        if (needed > most)
            over += std::string(over.empty() ? "" : ", ") + std::to_string(needed) + " " + what + " (" +
                    std::to_string(needed - most) + " left out)";
    };
    check(nodes, room.nodes, "nodes");
    check(roads, room.roads, "pipes");
    check(slots, room.bendSlots, "bending-point slots");
    check(fans, room.fans, "pumps");
    if (!over.empty())
        throw InpRefusal{mSource.path + ": the network is larger than ORVEX holds (" + std::to_string(room.nodes) +
                         " nodes, " + std::to_string(room.roads) + " pipes, " + std::to_string(room.bendSlots) +
                         " bending-point slots, " + std::to_string(room.fans) + " pumps): it needs " + over +
                         "; nothing was imported"};
}

int InpReader::freeNumber()
{
    for (; mNextFree <= kMaxNodeNumbers; ++mNextFree) {
        const int n = mNextFree % kMaxNodeNumbers;  // 1..1499, then 0
        if (!mTaken[std::size_t(n)]) {
            mTaken[std::size_t(n)] = true;
            return n;
        }
    }
    return -1;  // checkRoom left room for every node
}

void InpReader::numberNodes()
{
    mTaken.assign(kMaxNodeNumbers, false);
    for (NodeItem& node : mNodes) {
        int n = 0;
        const std::string& id = node.id;
        if (!id.empty() && id.size() <= 4 && id.find_first_not_of("0123456789") == std::string::npos &&
            isValidNodeNumber(n = std::stoi(id)) && !mTaken[std::size_t(n)]) {
            node.number = n;
            mTaken[std::size_t(n)] = true;
        }
    }
    for (NodeItem& node : mNodes)
        if (node.number < 0) {
            node.number = freeNumber();
            mRenumbered.push_back(node.id + " = " + std::to_string(node.number));
        }
}

DraftFan InpReader::pumpOf(const LinkItem& pump)
{
    const auto points = mCurves.find(pump.curve);
    if (points == mCurves.end())
        throw InpRefusal{mSource.at(pump.record->line, 0) + "pump " + pump.id + " names curve " + pump.curve +
                         ", which [CURVES] does not hold"};
    std::vector<double> flows, heads;
    const std::string of = " of a point of curve " + pump.curve;
    for (const InpRecord* r : points->second) {
        flows.push_back(mSource.number(*r, 1, "the flow" + of) * pump.speed);
        heads.push_back(mSource.number(*r, 2, "the head" + of) * pump.speed * pump.speed);
    }
    const InpRecord* first = points->second.front();
    SampledCurve sampled;
    const std::string problem = samplePumpCurve(flows, heads, DraftRoom{}.fanPoints, sampled);
    if (!problem.empty())
        throw InpRefusal{mSource.at(first->line, 0) + "curve " + pump.curve + " of pump " + pump.id +
                         " is no head curve: " + problem};
    if (sampled.resampled)
        note("[CURVES] pump curves resampled to " + std::to_string(sampled.heads.size()) + " evenly spaced points");
    DraftFan fan;
    fan.inlet = mNodes[std::size_t(pump.from)].number;
    fan.outlet = mNodes[std::size_t(pump.to)].number;
    fan.heading = pump.heading;
    fan.flowStep = userFlow(sampled.step, *mFile, mUnits);
    for (const double head : sampled.heads)
        fan.curve.push_back(userPressure(head, *mFile, mUnits));
    return fan;
}

void InpReader::addPipe(const LinkItem& pipe)
{
    const NodeItem& from = mNodes[std::size_t(pipe.from)];
    const NodeItem& to = mNodes[std::size_t(pipe.to)];
    DraftRoad road;
    road.first = from.number;
    road.second = to.number;
    road.fixedFlow = pipe.kind == LinkKind::FixedFlow;
    road.values = pipe.values;
    road.bends = pipe.bends;
    // A pipe named by its nodes, as ORVEX shows an unnamed one, keeps no name.
    const std::string name = cut(pipe.id, kNameChars);
    if (pipe.id != std::to_string(from.number) + "-" + std::to_string(to.number))
        road.values.name = name;
    if (name != pipe.id)
        mCut.push_back(pipe.id + " to " + name);
    if (pipe.kind != LinkKind::Pipe || pipe.minorLoss <= 0) {
        mDraft.roads.push_back(road);
        return;
    }
    // The minor loss: a local-loss element from a node added on the pipe's
    // last line, a little before its end, at the end's elevation.
    DraftNode fitting;
    fitting.number = freeNumber();
    fitting.elevation = to.elevation;
    const float lastX = road.bends.empty() ? from.x : road.bends.back().x;
    const float lastY = road.bends.empty() ? from.y : road.bends.back().y;
    fitting.x = to.x + kFittingPlace * (lastX - to.x);
    fitting.y = to.y + kFittingPlace * (lastY - to.y);
    mDraft.nodes.push_back(fitting);
    road.second = fitting.number;
    mDraft.roads.push_back(road);
    DraftRoad loss;
    loss.first = fitting.number;
    loss.second = to.number;
    loss.values.temperature = kInpWaterTemperature;
    loss.values.area = pipe.values.area;
    loss.values.conductivity = pipe.minorLoss;
    loss.values.name = cut(pipe.id + "_loss", kNameChars);
    mDraft.roads.push_back(loss);
}

void InpReader::build()
{
    mDraft.kind = kWaterNetworkKind;
    mDraft.surfaceTemperature = kInpWaterTemperature;
    for (int h = 2; h <= kGeneralHeadings; ++h)
        mDraft.headings[std::size_t(h)] = kWaterHeadings[h - 1];
    std::string title = mTitle;
    if (title.empty())
        title = mSource.path.substr(mSource.path.find_last_of('/') + 1);
    mDraft.headings[1] = kNetworkMark + cut(title, std::size_t(kHeadingChars) - 2 - kNetworkMark.size()) + "\n";
    for (const NodeItem& node : mNodes)
        mDraft.nodes.push_back({node.number, node.surface, node.elevation, node.x, node.y});
    for (const LinkItem& link : mLinks) {
        if (link.kind == LinkKind::Pump)
            mDraft.fans.push_back(pumpOf(link));
        else if (link.kind != LinkKind::LeftOut)
            addPipe(link);
    }
}

std::string InpReader::report() const
{
    int surface = 0, fixed = 0;
    for (const DraftNode& node : mDraft.nodes)
        surface += node.surface;
    for (const DraftRoad& road : mDraft.roads)
        fixed += road.fixedFlow;
    std::string text = mSource.path + " (flows in " + mFile->name + ", head loss " + mHeadloss + "): free surfaces " +
                       std::to_string(surface) + ", pipe junctions " +
                       std::to_string(mDraft.nodes.size() - std::size_t(surface)) + ", pipes " +
                       std::to_string(mDraft.roads.size() - std::size_t(fixed)) + ", fixed-flow pipes " +
                       std::to_string(fixed) + ", pumps " + std::to_string(mDraft.fans.size()) + ".\n";
    if (!mNotRepresented.empty()) {
        text += "Not held as the file has it:\n";
        for (const auto& [what, count] : mNotRepresented)
            text += "  " + what + ": " + std::to_string(count) + "\n";
    }
    if (!mRenumbered.empty())
        text += "Node numbers given in place of IDs (ID = number):\n" + listed(mRenumbered);
    if (!mCut.empty())
        text += "Pipe names cut to " + std::to_string(kNameChars) + " characters:\n" + listed(mCut);
    return text;
}

}  // namespace orvex::exchange
