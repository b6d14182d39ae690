// The mine's airways: drifts, crosscuts, shafts, the decline ramp, raises
// and the fixed-flow roads, with their ventilation devices and bending points.
#include <algorithm>

#include "capacitynet/mine.h"

namespace orvex::gennet {

int Mine::addRoad(int a, int b, Kind kind, int level, double side)
{
    if (a == b || !pairs.insert({std::min(a, b), std::max(a, b)}).second)
        return -1;
    GenRoad road;
    road.a = a;
    road.b = b;
    road.kind = kind;
    road.level = level;
    road.side = side;
    roads.push_back(road);
    return int(roads.size()) - 1;
}

// Kept whole: lays the shafts, levels, drifts and crosscuts out in one pass,
// each element numbered after the ones before it.
std::string layRoads(Mine& mine, Random& random)
{
    const Layout& L = mine.layout;
    const int levels = L.levels, rows = L.rows, shafts = L.mainFans;
    std::vector<GenRoad>& roads = mine.roads;
    const auto gridNode = [&mine](int level, int row, int column) { return mine.gridNode(level, row, column); };

    // Levels: parallel drifts from the intake end (column 0) to the return
    // end, crosscuts at both ends, station accesses to the shafts and ramp.
    for (int k = 0; k < levels; ++k) {
        for (int r = 0; r < rows; ++r) {
            const int n = L.length(k, r);
            for (int c = 0; c + 1 < n; ++c) {
                const int road = mine.addRoad(gridNode(k, r, c), gridNode(k, r, c + 1), Kind::Drift, k,
                                              (c + 0.5) / (n - 1));
                roads[std::size_t(road)].row = r;
                roads[std::size_t(road)].column = c;
            }
        }
        for (int r = 0; r + 1 < rows; ++r) {
            mine.addRoad(gridNode(k, r, 0), gridNode(k, r + 1, 0), Kind::Crosscut, k, 0.0);
            mine.addRoad(gridNode(k, r, L.length(k, r) - 1), gridNode(k, r + 1, L.length(k, r + 1) - 1),
                         Kind::Crosscut, k, 1.0);
        }
        mine.addRoad(mine.intakeStation[std::size_t(k)], gridNode(k, 0, 0), Kind::StationAccess, k, 0.0);
        mine.addRoad(mine.rampNode[std::size_t(k)], gridNode(k, rows - 1, 0), Kind::RampAccess, k, 0.0);
        for (int j = 0; j < shafts; ++j) {
            const int row = L.returnRow(j);
            const int road = mine.addRoad(gridNode(k, row, L.length(k, row) - 1),
                                          mine.returnStation[std::size_t(k)][std::size_t(j)], Kind::StationAccess,
                                          k, 1.0);
            if (random.chance(0.3))
                roads[std::size_t(road)].device = Device::Regulator;
        }
    }

    // Intake shaft from its collar through a station on every level, and an
    // escapeway raise from the same collar to the first level.
    mine.addRoad(mine.intakeCollar, mine.intakeStation[0], Kind::IntakeShaft, 0, 0.0);
    for (int k = 0; k + 1 < levels; ++k)
        mine.addRoad(mine.intakeStation[std::size_t(k)], mine.intakeStation[std::size_t(k + 1)], Kind::IntakeShaft,
                     k + 1, 0.0);
    mine.addRoad(mine.intakeCollar, gridNode(0, rows - 1, 0), Kind::EscapeRaise, 0, 0.0);

    // Decline ramp from the portal, three switchback legs per level; a
    // conveyor incline from the same portal to the first level.
    for (int k = 0; k < levels; ++k) {
        const int upper = k == 0 ? mine.portal : mine.rampNode[std::size_t(k - 1)];
        const int lower = mine.rampNode[std::size_t(k)];
        const GenNode u = mine.nodes[std::size_t(upper)], v = mine.nodes[std::size_t(lower)];
        const int group = k == 0 ? 1 : 2 + k;
        const int m1 = mine.addNode(v.x - 120.0, u.y + (v.y - u.y) / 3.0, u.z + (v.z - u.z) / 3.0, false, group);
        const int m2 =
            mine.addNode(v.x, u.y + 2.0 * (v.y - u.y) / 3.0, u.z + 2.0 * (v.z - u.z) / 3.0, false, group);
        mine.addRoad(upper, m1, Kind::RampSegment, k, 0.0);
        mine.addRoad(m1, m2, Kind::RampSegment, k, 0.0);
        mine.addRoad(m2, lower, Kind::RampSegment, k, 0.0);
    }
    mine.addRoad(mine.portal, gridNode(0, rows - 1, 1), Kind::Conveyor, 0, 0.0);

    // Return shafts up from the deepest level to their tops, where the main
    // fans stand. The fan outlet is open air: leakage through the fan house
    // into the shaft top, and a fresh-air raise from the same yard.
    for (int j = 0; j < shafts; ++j) {
        for (int k = levels - 1; k >= 1; --k)
            mine.addRoad(mine.returnStation[std::size_t(k)][std::size_t(j)],
                         mine.returnStation[std::size_t(k - 1)][std::size_t(j)], Kind::ReturnShaft, k, 1.0);
        mine.addRoad(mine.returnStation[0][std::size_t(j)], mine.shaftTop[std::size_t(j)], Kind::ReturnShaft, 0,
                     1.0);
        mine.addRoad(mine.fanOutlet[std::size_t(j)], mine.shaftTop[std::size_t(j)], Kind::CollarLeak, 0, 1.0);
        const int n = L.length(0, rows - 1);
        const int column = std::clamp(int(std::lround((n - 1) * (j + 1.0) / (shafts + 1.0))), 2, n - 2);
        mine.addRoad(mine.fanOutlet[std::size_t(j)], gridNode(0, rows - 1, column), Kind::FreshAirRaise, 0, 0.5);
    }

    // One inclined raise between each pair of neighbouring levels, from the
    // first drift of the upper level to the last drift of the lower one.
    std::vector<int> firstRaise(std::size_t(levels), -1);
    for (int k = 0; k + 1 < levels; ++k) {
        const int c = std::min(L.length(k, 0), L.length(k + 1, rows - 1)) / 2;
        firstRaise[std::size_t(k)] = c;
        mine.addRoad(gridNode(k, 0, c), gridNode(k + 1, rows - 1, c), Kind::Raise, k + 1, 0.5);
    }

    // The rest of the roads: more crosscuts, some more raises.
    struct Candidate {
        int a, b, level;
        Kind kind;
        double side;
    };
    std::vector<Candidate> crosscuts, raises;
    for (int k = 0; k < levels; ++k) {
        for (int r = 0; r + 1 < rows; ++r) {
            const int n = std::min(L.length(k, r), L.length(k, r + 1));
            for (int c = 1; c + 1 < n; ++c)
                crosscuts.push_back({gridNode(k, r, c), gridNode(k, r + 1, c), k, Kind::Crosscut,
                                     double(c) / (n - 1)});
        }
        if (k + 1 < levels) {
            const int n = std::min(L.length(k, 0), L.length(k + 1, rows - 1));
            for (int c = 1; c + 1 < n; ++c)
                if (c != firstRaise[std::size_t(k)])
                    raises.push_back({gridNode(k, 0, c), gridNode(k + 1, rows - 1, c), k + 1, Kind::Raise,
                                      double(c) / (n - 1)});
        }
    }
    const int mandatory = int(roads.size());
    const int extras = L.normalRoads - mandatory;
    const int available = int(crosscuts.size() + raises.size());
    if (extras < 0 || extras > available)
        return "a mine of " + std::to_string(mine.shape.nodes) + " nodes needs between " +
               std::to_string(mandatory + L.fixedRoads) + " and " +
               std::to_string(mandatory + available + L.fixedRoads) + " roads";
    random.shuffle(crosscuts);
    random.shuffle(raises);
    int wantRaises = std::min(int(raises.size()), extras / 12);
    int wantCrosscuts = extras - wantRaises;
    if (wantCrosscuts > int(crosscuts.size())) {
        wantCrosscuts = int(crosscuts.size());
        wantRaises = extras - wantCrosscuts;
    }
    for (int i = 0; i < wantCrosscuts; ++i) {
        const Candidate& c = crosscuts[std::size_t(i)];
        mine.addRoad(c.a, c.b, c.kind, c.level, c.side);
    }
    for (int i = 0; i < wantRaises; ++i) {
        const Candidate& c = raises[std::size_t(i)];
        const int road = mine.addRoad(c.a, c.b, c.kind, c.level, c.side);
        roads[std::size_t(road)].hiddenFirst = i % 6 == 5;
    }

    // Stoppings between the drifts in some of the crosscuts.
    for (GenRoad& road : roads)
        if (road.kind == Kind::Crosscut && random.chance(0.3))
            road.device = Device::Stopping;

    if (int(roads.size()) != L.normalRoads)
        return "internal: " + std::to_string(roads.size()) + " normal roads were laid out";
    return {};
}

std::string layFixedRoads(Mine& mine, Random& random)
{
    // Fixed-flow roads: auxiliary-ventilated connections between two drifts,
    // diagonal to the crosscuts, with a set airflow.
    const Layout& L = mine.layout;
    std::vector<std::pair<int, int>> candidates;
    for (int k = 0; k < L.levels; ++k)
        for (int r = 0; r + 1 < L.rows; ++r) {
            const int n = std::min(L.length(k, r), L.length(k, r + 1));
            for (int c = 1; c + 2 < n; ++c)
                candidates.push_back({mine.gridNode(k, r, c), mine.gridNode(k, r + 1, c + 1)});
        }
    random.shuffle(candidates);
    int added = 0;
    for (const auto& [a, b] : candidates) {
        if (added == L.fixedRoads)
            break;
        const int level = mine.nodes[std::size_t(a)].group - 2;
        const int road = mine.addRoad(a, b, Kind::FixedFlow, level, 0.5);
        if (road < 0)
            continue;
        mine.roads[std::size_t(road)].flow = 10.0 * std::round(random.uniform(10, 60));  // 100..600 m³/min
        ++added;
    }
    if (added < L.fixedRoads)
        return "no room for " + std::to_string(L.fixedRoads) + " fixed-flow roads";
    return {};
}

// Bending points: the ramp's switchbacks, the raises and inclines, one symbol
// point on every ventilation device and fixed-flow road, then small bends on
// drifts and crosscuts until most of the store is used.
void bendRoads(Mine& mine, Random& random)
{
    std::vector<GenRoad>& roads = mine.roads;
    const int target =
        std::min(kBendTarget, int(std::lround(double(kBendTarget) * mine.shape.roads / (kMaxRoads - 1))));
    int used = 0;
    const auto take = [&](GenRoad& road, int points, double amplitude, int mark) {
        points = std::min(points, target - used - 1);
        if (points < 1)
            return;
        road.points = points;
        road.amplitude = amplitude;
        road.mark = mark;
        used += points + 1;
    };

    int segment = 0;
    for (GenRoad& road : roads) {
        switch (road.device) {
        case Device::Stopping: take(road, 1, 0.0, kStoppingMark); continue;
        case Device::Regulator: take(road, 1, 0.0, kRegulatorMark); continue;
        case Device::Bulkhead: take(road, 1, 0.0, kBulkheadMark); continue;
        case Device::None: break;
        }
        switch (road.kind) {
        case Kind::RampSegment: take(road, 3, (segment++ % 2 ? 25.0 : -25.0), 0); break;
        case Kind::Conveyor: take(road, 2, 20.0, 0); break;
        case Kind::EscapeRaise: take(road, 1, 12.0, 0); break;
        case Kind::FreshAirRaise: take(road, 2, 30.0, 0); break;
        case Kind::Raise: take(road, 2, 10.0, 0); break;
        case Kind::CollarLeak: take(road, 1, 15.0, kLeakMark); break;
        case Kind::FixedFlow: take(road, 1, 10.0, kFixedFlowMark); break;
        default: break;
        }
    }

    std::vector<int> rest;
    for (int i = 0; i < int(roads.size()); ++i) {
        const GenRoad& road = roads[std::size_t(i)];
        if (road.points == 0 && (road.kind == Kind::Drift || road.kind == Kind::Crosscut ||
                                 road.kind == Kind::StationAccess || road.kind == Kind::RampAccess))
            rest.push_back(i);
    }
    random.shuffle(rest);
    for (int i : rest) {
        if (used + 2 > target)
            break;
        const double amplitude = random.uniform(3, 8) * (random.chance(0.5) ? 1 : -1);
        take(roads[std::size_t(i)], 1 + random.below(3), amplitude, 0);
    }
    mine.bendSlots = used;
}

std::vector<std::pair<double, double>> bendPoints(const GenNode& a, const GenNode& b, const GenRoad& road)
{
    std::vector<std::pair<double, double>> points;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double span = std::hypot(dx, dy);
    const double nx = span > 0 ? -dy / span : 0.0, ny = span > 0 ? dx / span : 0.0;
    for (int p = 1; p <= road.points; ++p) {
        const double t = double(p) / (road.points + 1);
        const double offset = road.amplitude * std::sin(3.141592653589793 * t);
        points.push_back({rounded(a.x + t * dx + offset * nx, 10), rounded(a.y + t * dy + offset * ny, 10)});
    }
    return points;
}

}  // namespace orvex::gennet
