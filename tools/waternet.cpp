#include "waternet.h"

#include <cmath>
#include <vector>

#include "capacitynet.h"
#include "capacitynet/mine.h"

namespace orvex::gennet {

namespace {

constexpr double kSpacing = 150.0;        // m between junctions
constexpr double kGroundLevel = 330.0;    // mean elevation of the grid, m
constexpr double kWellLevel = 300.0;      // m
constexpr double kTankLevel = 395.0;      // m
constexpr int kTrunkEvery = 5;            // rows and columns of trunk mains
constexpr double kDiagonalShare = 0.35;   // cells with a diagonal link
constexpr int kFittingEvery = 97;         // every so many grid pipes is a fitting
// Pump curve: pressure (Pa) at 0, 0.5, ... 3.0 m³/min.
constexpr float kPumpStep = 0.5f;
constexpr float kPumpCurve[] = {1300000, 1290000, 1270000, 1240000, 1200000, 1150000, 0};

struct Pipe {
    int a, b;           // node numbers
    float diameter;     // m
    float length;       // m; 0: a fitting with loss coefficient `coefficient`
    float coefficient;  // Hazen-Williams C, or the loss coefficient
};

}  // namespace

// Kept whole: builds the pipe network in one pass, each element numbered
// after the ones before it.
std::string generateWater(const WaterShape& shape, CBriscoDoc& doc)
{
    const int junctions = shape.columns * shape.rows;
    if (shape.columns < 2 || shape.rows < 2 || shape.consumers < 0 || shape.consumers > junctions)
        return "the grid needs at least 2 x 2 junctions and at most one consumer per junction";
    const int nodes = 3 + 2 + junctions;  // wells and tank, pump houses, grid
    if (nodes >= kMaxNodes || 100 + junctions >= kMaxNodeNumbers)
        return "the grid holds more junctions than a network can";

    Random random(shape.seed);
    const auto junction = [&shape](int column, int row) { return 100 + row * shape.columns + column; };
    std::vector<Pipe> pipes;
    const auto gridPipe = [&](int a, int b, bool trunk) {
        const bool fitting = (int(pipes.size()) + 1) % kFittingEvery == 0;
        const float d = trunk ? 0.30f : float(rounded(random.uniform(0.10, 0.16), 1000));
        if (fitting)
            pipes.push_back({a, b, d, 0.0f, float(rounded(random.uniform(2.0, 5.0), 100))});
        else
            pipes.push_back({a, b, d, float(rounded(kSpacing * random.uniform(0.8, 1.2), 10)),
                             float(rounded(random.uniform(100, 140), 1))});
    };
    for (int row = 0; row < shape.rows; ++row)
        for (int column = 0; column + 1 < shape.columns; ++column)
            gridPipe(junction(column, row), junction(column + 1, row), row % kTrunkEvery == 0);
    for (int column = 0; column < shape.columns; ++column)
        for (int row = 0; row + 1 < shape.rows; ++row)
            gridPipe(junction(column, row), junction(column, row + 1), column % kTrunkEvery == 0);
    for (int row = 0; row + 1 < shape.rows; ++row)
        for (int column = 0; column + 1 < shape.columns; ++column)
            if (random.chance(kDiagonalShare))
                pipes.push_back({junction(column, row), junction(column + 1, row + 1),
                                 float(rounded(random.uniform(0.08, 0.12), 1000)),
                                 float(rounded(kSpacing * 1.414 * random.uniform(0.9, 1.1), 10)),
                                 float(rounded(random.uniform(90, 130), 1))});
    // Pump houses 11 and 12 at two corners, the tank 3 on the middle main.
    pipes.push_back({11, junction(0, 0), 0.30f, 200.0f, 130.0f});
    pipes.push_back({12, junction(shape.columns - 1, shape.rows - 1), 0.30f, 200.0f, 130.0f});
    pipes.push_back({3, junction(shape.columns / 2, shape.rows / 2), 0.30f, 300.0f, 130.0f});
    if (int(pipes.size()) + shape.consumers >= kMaxRoads)
        return "the grid has more pipes than a network can";

    doc.nodes.fill(Node{});
    doc.roads.fill(Road{});
    doc.fans.fill(Fan{});
    doc.bends.fill(BendSlot{});
    doc.fire = FireParameters{};
    doc.bendUsed = 0;

    doc.surfaceCount = 3;
    doc.undergroundCount = nodes - 3;
    int i = 0;
    const auto node = [&doc, &i](int number, double z, double x, double y) {
        doc.nodes[std::size_t(++i)] = Node{number, float(rounded(z, 10)), float(x), float(y)};
    };
    const double width = kSpacing * (shape.columns - 1), depth = kSpacing * (shape.rows - 1);
    node(1, kWellLevel, -300, -300);
    node(2, kWellLevel, width + 300, depth + 300);
    node(3, kTankLevel, width / 2 + 300, depth / 2);
    node(11, kWellLevel + 1, -150, -150);
    node(12, kWellLevel + 1, width + 150, depth + 150);
    for (int row = 0; row < shape.rows; ++row)
        for (int column = 0; column < shape.columns; ++column) {
            const double x = kSpacing * column, y = kSpacing * row;
            node(junction(column, row),
                 kGroundLevel + 20 * std::sin(x / 300) * std::cos(y / 400) + random.uniform(-3, 3), x, y);
        }

    doc.roadCount = int(pipes.size());
    doc.fixedCount = shape.consumers;
    for (std::size_t k = 0; k < pipes.size(); ++k) {
        Road& road = doc.roads[k + 1];
        road.first = pipes[k].a;
        road.second = pipes[k].b;
        road.temperature = 15.0f;
        road.area = pipes[k].diameter;
        road.length = pipes[k].length;
        road.conductivity = pipes[k].coefficient;
    }
    // Consumers: every so many junctions draws a fixed flow (m³/min).
    for (int c = 0; c < shape.consumers; ++c) {
        Road& road = doc.roads[pipes.size() + std::size_t(c) + 1];
        road.first = 100 + int((long long)c * junctions / shape.consumers);
        road.second = 3;
        road.resistance = float(rounded(random.uniform(0.05, 0.15), 1000));
    }

    doc.fanCount = 2;
    const int wells[2][2] = {{1, 11}, {2, 12}};
    for (int f = 1; f <= 2; ++f) {
        Fan& pump = doc.fans[std::size_t(f)];
        pump.inlet = wells[f - 1][0];
        pump.outlet = wells[f - 1][1];
        pump.points = int(std::size(kPumpCurve));
        pump.flowStep = kPumpStep;
        for (int p = 1; p <= pump.points; ++p)
            pump.curve[std::size_t(p)] = kPumpCurve[p - 1];
        doc.fanHeadings[std::size_t(f)] = "Fan: well pump\n";
    }
    frameGenerated(doc,
                   {{"[ORVEX network]Generated water supply\n",
                     "Water pipes: area = diameter (m), rock k = Hazen-Williams C\n",
                     "Free surfaces (wells, tank): number, elevation (m)\n", "Pipe junctions: number, elevation (m)\n",
                     "Pipes: node, node, resistance, temp (C), diameter (m), length (m), C\n",
                     "Fixed-flow pipes: node, node, flow\n",
                     "Pumps: heading, inlet, outlet, points, flow step, pressures\n",
                     "Network kind (-9 water), unused, elevation switch\n", "Surface temperature (C)\n",
                     "& end of network data\n"},
                    kWaterNetworkKind, 15.0f, kWaterTitle, kWaterDensity},
                   3);
    doc.rebuildAdjacency();
    doc.prepareAfterLoad();
    return {};
}

}  // namespace orvex::gennet
