// The mine's layout: how many levels and parallel drifts a shape gets, where
// every node lies, and the node numbers.
#include <algorithm>

#include "capacitynet/mine.h"

namespace orvex::gennet {

std::string planLayout(const Shape& shape, Layout& layout)
{
    if (shape.nodes >= kMaxNodes)
        return "the number of nodes must stay below " + std::to_string(kMaxNodes);
    if (shape.roads >= kMaxRoads)
        return "the number of roads must stay below " + std::to_string(kMaxRoads);
    if (shape.fans < 1 || shape.fans >= kMaxFans)
        return "the number of fans must be between 1 and " + std::to_string(kMaxFans - 1);

    // About one main fan per dozen fans, at most four; the rest are boosters.
    const int wantMain = std::min(shape.fans, std::clamp((shape.fans + 11) / 12, 1, 4));
    const int wantLevels = std::clamp(int(std::lround(shape.nodes / 125.0)), 2, 10);
    for (int levels = wantLevels; levels >= 2; --levels) {
        for (int rows = 4; rows >= 2; --rows) {
            const int main = std::min(wantMain, rows);
            // Per level: intake shaft station, ramp node, two ramp bends above
            // it, one station per return shaft; plus the return shafts' tops.
            const int overhead = levels * (4 + main) + main;
            const int grid = shape.nodes - (kIntakes + main) - overhead;
            if (grid < 0 || grid / levels < 4 * rows)
                continue;  // every drift has at least four nodes
            layout.levels = levels;
            layout.rows = rows;
            layout.mainFans = main;
            layout.boosters = shape.fans - main;
            layout.fixedRoads = std::clamp(shape.roads / 150, 1, 9);
            layout.normalRoads = shape.roads - layout.fixedRoads;
            layout.rowLength.assign(std::size_t(levels), std::vector<int>(std::size_t(rows)));
            for (int k = 0; k < levels; ++k) {
                const int onLevel = grid / levels + (k < grid % levels ? 1 : 0);
                for (int r = 0; r < rows; ++r) {
                    const int n = onLevel / rows + (r < onLevel % rows ? 1 : 0);
                    layout.rowLength[std::size_t(k)][std::size_t(r)] = n;
                    layout.maxRowLength = std::max(layout.maxRowLength, n);
                }
            }
            return {};
        }
    }
    return "too few nodes for a mine of two levels: at least 30 are needed";
}

int Mine::addNode(double x, double y, double z, bool surface, int group)
{
    GenNode node;
    node.x = rounded(x, 100);
    node.y = rounded(y, 100);
    node.z = rounded(z, 10);
    node.surface = surface;
    node.group = group;
    nodes.push_back(node);
    return int(nodes.size()) - 1;
}

// The collars and fan outlets on the surface, the return shafts' tops, and
// on every level its drifts, the intake shaft station, the ramp's foot and
// one station per return shaft. The ramp's switchbacks come with the roads.
void layNodes(Mine& mine, Random& random)
{
    const Layout& L = mine.layout;
    const int levels = L.levels, rows = L.rows, shafts = L.mainFans;
    const double top = L.topY();

    mine.intakeCollar = mine.addNode(-120.0, top + 140.0, kCollarElevation + 2.0, true, 0);
    mine.portal = mine.addNode(-300.0, top + 170.0, kCollarElevation - 12.5, true, 0);
    for (int j = 0; j < shafts; ++j)
        mine.fanOutlet.push_back(mine.addNode(L.returnX(0, j) + 20.0, top + 180.0 + 15.0 * j,
                                              kCollarElevation + 6.0 + 5.0 * j + random.uniform(0, 3), true, 0));
    for (int j = 0; j < shafts; ++j)
        mine.shaftTop.push_back(mine.addNode(L.returnX(0, j), top + 130.0 + 15.0 * j,
                                             mine.nodes[std::size_t(mine.fanOutlet[std::size_t(j)])].z - 2.0, false,
                                             1));

    mine.grid.resize(std::size_t(levels));
    mine.returnStation.resize(std::size_t(levels));
    for (int k = 0; k < levels; ++k) {
        const int group = 2 + k;
        const double x0 = L.levelX(k), y0 = L.levelY(k), z0 = L.levelZ(k);
        auto& grid = mine.grid[std::size_t(k)];
        grid.resize(std::size_t(rows));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < L.length(k, r); ++c) {
                // Drifts rise gently towards the return end for drainage.
                const double x = x0 + c * kColumnSpacing + (c == 0 ? 0.0 : random.uniform(-8, 8));
                const double y = y0 + r * kRowSpacing + random.uniform(-6, 6);
                const double z = z0 + 0.005 * c * kColumnSpacing + random.uniform(-0.3, 0.3);
                grid[std::size_t(r)].push_back(mine.addNode(x, y, z, false, group));
            }
        }
        mine.intakeStation.push_back(mine.addNode(x0 - 120.0, y0, z0, false, group));
        mine.rampNode.push_back(mine.addNode(x0 - 300.0, y0 + top, z0, false, group));
        for (int j = 0; j < shafts; ++j) {
            const int row = L.returnRow(j);
            const double z = z0 + 0.005 * (L.length(k, row) - 1) * kColumnSpacing;
            mine.returnStation[std::size_t(k)].push_back(
                mine.addNode(L.returnX(k, j), y0 + row * kRowSpacing, z, false, group));
        }
    }
}

// Roads are listed level by level, each level's roads by kind; fixed-flow
// roads stay last. Nodes are numbered in blocks: the surface, the collar
// area, then one block per level starting at a round number.
void numberNodes(Mine& mine)
{
    std::vector<GenNode>& nodes = mine.nodes;
    std::vector<GenRoad>& roads = mine.roads;
    const auto fixedBegin = std::stable_partition(roads.begin(), roads.end(),
                                                  [](const GenRoad& r) { return r.kind != Kind::FixedFlow; });
    std::stable_sort(roads.begin(), fixedBegin, [](const GenRoad& x, const GenRoad& y) {
        return std::make_pair(x.level, int(x.kind)) < std::make_pair(y.level, int(y.kind));
    });

    std::vector<int> order(nodes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int x, int y) { return nodes[std::size_t(x)].group < nodes[std::size_t(y)].group; });
    const int groups = nodes[std::size_t(order.back())].group + 1;
    const int lastNumber = kMaxNodeNumbers - 1;
    const int spare = lastNumber - int(nodes.size());
    const int gap = spare / groups;
    int next = 1;
    std::size_t i = 0;
    while (i < order.size()) {
        const int group = nodes[std::size_t(order[i])].group;
        const int remaining = int(order.size() - i);
        int start = next;
        if (group > 0) {
            const int spaced = next + gap;
            const int round = (spaced + 9) / 10 * 10;
            if (round + remaining - 1 <= lastNumber)
                start = round;
            else if (spaced + remaining - 1 <= lastNumber)
                start = spaced;
        }
        int number = start;
        for (; i < order.size() && nodes[std::size_t(order[i])].group == group; ++i)
            nodes[std::size_t(order[i])].number = number++;
        next = number;
    }

    // The document lists the nodes in this order: surface nodes first.
    std::vector<int> position(nodes.size());
    std::vector<GenNode> sorted;
    for (std::size_t p = 0; p < order.size(); ++p) {
        position[std::size_t(order[p])] = int(p);
        sorted.push_back(nodes[std::size_t(order[p])]);
    }
    nodes = std::move(sorted);
    for (GenRoad& road : roads) {
        road.a = position[std::size_t(road.a)];
        road.b = position[std::size_t(road.b)];
    }
    for (GenFan& fan : mine.fans) {
        fan.inlet = position[std::size_t(fan.inlet)];
        fan.outlet = position[std::size_t(fan.outlet)];
    }
    mine.fireNode = position[std::size_t(mine.gridNode(0, std::min(1, mine.layout.rows - 1), 2))];
    mine.intakeCollar = position[std::size_t(mine.intakeCollar)];
    mine.portal = position[std::size_t(mine.portal)];
}

}  // namespace orvex::gennet
