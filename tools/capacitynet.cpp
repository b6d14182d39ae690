// The generator's public face: the stages run in order, what they built
// checked against the promises of the header, and the document filled and
// written.
#include "capacitynet.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <queue>

#include "capacitynet/mine.h"
#include "model/networkio.h"

namespace orvex::gennet {

namespace {

// The promises of the header, checked on what was built.
std::string check(const Mine& mine)
{
    const std::vector<GenNode>& nodes = mine.nodes;
    const std::vector<GenRoad>& roads = mine.roads;
    const Shape& shape = mine.shape;
    const int n = int(nodes.size());
    const int normal = mine.layout.normalRoads;
    if (n != shape.nodes)
        return "internal: " + std::to_string(n) + " nodes instead of " + std::to_string(shape.nodes);
    if (int(roads.size()) != shape.roads)
        return "internal: " + std::to_string(roads.size()) + " roads instead of " + std::to_string(shape.roads);
    if (int(mine.fans.size()) != shape.fans)
        return "internal: " + std::to_string(mine.fans.size()) + " fans instead of " + std::to_string(shape.fans);
    std::set<int> numbers;
    for (const GenNode& node : nodes)
        if (!isValidNodeNumber(node.number) || !numbers.insert(node.number).second)
            return "internal: node number " + std::to_string(node.number) + " is outside 0..1499 or repeated";
    std::set<std::pair<int, int>> pairs;
    std::vector<int> degree(std::size_t(n), 0);
    std::vector<std::vector<int>> neighbours(static_cast<std::size_t>(n));
    for (int k = 0; k < int(roads.size()); ++k) {
        const GenRoad& road = roads[std::size_t(k)];
        if (road.a == road.b || !pairs.insert({std::min(road.a, road.b), std::max(road.a, road.b)}).second)
            return "internal: road " + std::to_string(k + 1) + " is a loop or joins a pair twice";
        if ((road.kind == Kind::FixedFlow) != (k >= normal))
            return "internal: the fixed-flow roads are not the last roads";
        if (k < normal) {
            if (!(road.resistance >= kMinResistance && road.resistance <= kMaxResistance))
                return "internal: road " + std::to_string(k + 1) + " has resistance " + std::to_string(road.resistance);
            ++degree[std::size_t(road.a)];
            ++degree[std::size_t(road.b)];
            neighbours[std::size_t(road.a)].push_back(road.b);
            neighbours[std::size_t(road.b)].push_back(road.a);
        }
    }
    for (int i = 0; i < n; ++i)
        if (degree[std::size_t(i)] < 2)
            return "internal: node " + std::to_string(nodes[std::size_t(i)].number) + " is on fewer than two roads";
    std::vector<bool> seen(std::size_t(n), false);
    std::queue<int> queue;
    queue.push(0);
    seen[0] = true;
    int reached = 1;
    while (!queue.empty()) {
        const int i = queue.front();
        queue.pop();
        for (int j : neighbours[std::size_t(i)])
            if (!seen[std::size_t(j)]) {
                seen[std::size_t(j)] = true;
                ++reached;
                queue.push(j);
            }
    }
    if (reached != n)
        return "internal: the normal roads do not connect all nodes";
    for (const GenFan& fan : mine.fans)
        if (fan.inlet == fan.outlet || fan.points < 6 || fan.points > 12)
            return "internal: a fan joins a node to itself or has a bad curve";
    if (mine.bendSlots >= kMaxBendSlots)
        return "internal: the bending points overflow the store";
    return {};
}

// Every stage draws from the one random sequence, in this order.
std::string build(Mine& mine)
{
    Random random(mine.shape.seed);
    layNodes(mine, random);
    if (std::string error = layRoads(mine, random); !error.empty())
        return error;
    if (std::string error = placeFans(mine, random); !error.empty())
        return error;
    if (std::string error = layFixedRoads(mine, random); !error.empty())
        return error;
    numberNodes(mine);
    bendRoads(mine, random);
    assignValues(mine, random);
    return check(mine);
}

// Puts what was built into the document, with the fire parameters and the
// results of load preparation.
// Kept whole: one assignment after another, in the order of the document's
// arrays.
void fill(const Mine& mine, CBriscoDoc& doc)
{
    const std::vector<GenNode>& nodes = mine.nodes;
    const std::vector<GenRoad>& roads = mine.roads;
    const std::vector<GenFan>& fans = mine.fans;
    const int normal = mine.layout.normalRoads;
    const int surface = int(std::count_if(nodes.begin(), nodes.end(), [](const GenNode& n) { return n.surface; }));

    doc.nodes.fill(Node{});
    doc.roads.fill(Road{});
    doc.fans.fill(Fan{});
    doc.bends.fill(BendSlot{});
    doc.fire = FireParameters{};

    doc.surfaceCount = surface;
    doc.undergroundCount = int(nodes.size()) - surface;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        Node& node = doc.nodes[i + 1];
        node.number = nodes[i].number;
        node.elevation = float(nodes[i].z);
        node.x = float(nodes[i].x);
        node.y = float(nodes[i].y);
    }

    doc.roadCount = normal;
    doc.fixedCount = int(roads.size()) - normal;
    int used = 0;
    for (std::size_t k = 0; k < roads.size(); ++k) {
        const GenRoad& in = roads[k];
        Road& road = doc.roads[k + 1];
        const GenNode& a = nodes[std::size_t(in.a)];
        const GenNode& b = nodes[std::size_t(in.b)];
        road.first = a.number;
        road.second = b.number;
        if (in.kind == Kind::FixedFlow) {
            road.resistance = float(in.flow);
        } else {
            road.resistance = float(in.resistance);
            road.temperature = float(in.temperature);
            road.area = float(in.area);
            road.length = float(in.length);
            road.conductivity = float(in.conductivity);
        }
        if (in.points > 0) {
            const int s = used + 1;
            road.bendStart = s;
            doc.bends[std::size_t(s)] = BendSlot{in.points, 0.0f, 0.0f};
            int p = 1;
            for (const auto& [x, y] : bendPoints(a, b, in)) {
                const int mark = p == 1 && in.hiddenFirst ? kNoLineMark : in.mark;
                doc.bends[std::size_t(s + p)] = BendSlot{mark, float(x), float(y)};
                ++p;
            }
            used += in.points + 1;
        }
    }
    doc.bendUsed = used;

    doc.fanCount = int(fans.size());
    for (std::size_t j = 0; j < fans.size(); ++j) {
        const GenFan& in = fans[j];
        Fan& fan = doc.fans[j + 1];
        fan.inlet = nodes[std::size_t(in.inlet)].number;
        fan.outlet = nodes[std::size_t(in.outlet)].number;
        fan.points = in.points;
        fan.flowStep = float(in.step);
        for (int p = 1; p <= in.points; ++p)
            fan.curve[std::size_t(p)] = float(in.curve[std::size_t(p - 1)]);
        doc.fanHeadings[j + 1] = in.heading;
    }
    const std::string title = "Generated capacity network\n";
    frameGenerated(doc,
                   {{"[ORVEX network]" + title,
                     "Mine-like test network, seed " + std::to_string(mine.shape.seed) + ": " +
                         std::to_string(mine.shape.nodes) + " nodes, " + std::to_string(mine.shape.roads) +
                         " roads, " + std::to_string(mine.shape.fans) + " fans\n",
                     "Surface nodes: number, elevation (m)\n", "Underground nodes: number, elevation (m)\n",
                     "Roads: nodes, resistance Ns2/m8, temp C, area m2, length m, rock k\n",
                     "Fixed-flow roads: nodes, airflow m3/min\n",
                     "Fans: nodes, points, airflow step m3/min, pressures Pa\n",
                     "Network kind, unused, elevation switch\n", "Surface temperature (C)\n",
                     "& end of network data\n"},
                    0, float(kSurfaceTemperature), title, float(kAirDensity)},
                   doc.fanCount + 1);

    // Fire on the first level near the intake; the collars are the way out;
    // two stoppings are not to be used in an evacuation.
    FireParameters& fire = doc.fire;
    fire.fireNode = nodes[std::size_t(mine.fireNode)].number;
    fire.destinationCount = 2;
    fire.destinationNode[1] = nodes[std::size_t(mine.intakeCollar)].number;
    fire.destinationNode[2] = nodes[std::size_t(mine.portal)].number;
    for (int k = 1; k <= normal && fire.unusableCount < 2; ++k)
        if (roads[std::size_t(k - 1)].device == Device::Stopping)
            fire.unusableRoad[std::size_t(++fire.unusableCount)] = k;

    doc.rebuildAdjacency();
    // Results as load preparation leaves them: pressures at rest, no flow;
    // each road's air specific weight from its mean pressure and temperature.
    doc.prepareAfterLoad();
    for (int k = 1; k <= normal; ++k) {
        Road& road = doc.roads[std::size_t(k)];
        const double pressure =
            (doc.nodes[std::size_t(doc.nodeIndex(road.first))].pressure +
             doc.nodes[std::size_t(doc.nodeIndex(road.second))].pressure) / 2;
        road.density = float(rounded(pressure / (kAirGasConstant * (road.temperature + kCelsiusZero)), 1e6));
    }
}

// Messages of the document's writers, kept for the caller's error.
class CollectingReporter : public Reporter {
public:
    void message(const std::string& text, const std::string&, MessageKind) override
    {
        mText += (mText.empty() ? "" : "; ") + text;
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
    void clear() { mText.clear(); }
    const std::string& text() const { return mText; }

private:
    std::string mText;
};

}  // namespace

void frameGenerated(CBriscoDoc& doc, const GeneratedFrame& frame, int firstUnusedFan)
{
    for (int j = std::max(1, firstUnusedFan); j <= kMaxFans; ++j)
        doc.fanHeadings[std::size_t(j)] = "Fan:\n";
    for (std::size_t i = 0; i < frame.headings.size(); ++i)
        doc.headings[i + 1] = frame.headings[i];
    doc.networkKind = frame.networkKind;
    doc.surfaceTemperature = frame.surfaceTemperature;
    doc.title = frame.title;
    doc.windowTitle = frame.title;
    doc.density = frame.density;
    doc.specificWeight = doc.app().units.flowUnitFactor * frame.density;
    doc.altResistanceRoads = 0;
    doc.modified = false;
}

std::string generate(const Shape& shape, CBriscoDoc& doc, Summary* summary)
{
    Layout layout;
    if (std::string error = planLayout(shape, layout); !error.empty())
        return error;
    Mine mine(shape, layout);
    if (std::string error = build(mine); !error.empty())
        return error;
    fill(mine, doc);
    if (summary) {
        summary->surfaceNodes = doc.surfaceCount;
        summary->nodes = doc.nodeCount;
        summary->normalRoads = doc.roadCount;
        summary->fixedRoads = doc.fixedCount;
        summary->fans = doc.fanCount;
        summary->mainFans = layout.mainFans;
        summary->levels = layout.levels;
        summary->bendSlots = doc.bendUsed;
    }
    return {};
}

std::string writeNetwork(const Shape& shape, const std::string& path, Summary* summary)
{
    namespace fs = std::filesystem;
    const std::string base = baseNameOf(path);
    const std::string folder = folderOf(base);
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return "the folder " + folder + " does not exist";

    // A program folder without settings files: the document starts empty, and
    // the parameter writer has no program-folder fallback to write into.
    AppContext app;
    app.programFolder = folder + "/.orvex-gennet-no-program-folder";
    CollectingReporter reporter;
    auto doc = std::make_unique<CBriscoDoc>(app, reporter);
    if (std::string error = generate(shape, *doc, summary); !error.empty())
        return error;

    reporter.clear();
    doc->baseName = base;
    const bool ok = doc->writeNetworkFile(base + "vad") == 1 && doc->writeParameterFile(base) == 1 &&
                    doc->writeNodeLocationFile(base) == 1 && doc->writeBendFile(base) == 1 &&
                    doc->writeResultsFile(base) == 1;
    if (!ok)
        return reporter.text().empty() ? "the files could not be written" : reporter.text();
    return {};
}

}  // namespace orvex::gennet
