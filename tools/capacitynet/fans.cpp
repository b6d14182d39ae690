// The mine's fans: a main fan on top of every return shaft and booster fans
// set in bulkheads across drifts, each with a falling characteristic curve.
#include <algorithm>
#include <tuple>

#include "capacitynet/mine.h"

namespace orvex::gennet {

namespace {

std::vector<double> fanCurve(int points, double shutOff)
{
    // A falling characteristic from the shut-off pressure down to 0 at free
    // delivery, so that a fan runs on its curve wherever the network puts any
    // pressure rise across it.
    std::vector<double> curve;
    for (int p = 0; p < points; ++p) {
        const double t = double(p) / (points - 1);
        curve.push_back(std::max(0.0, rounded(shutOff * (1.0 - 0.15 * t - 0.85 * t * t), 100)) + 0.0);
    }
    return curve;
}

}  // namespace

// Main fans: 1200..2000 Pa at shut-off, 15000..21000 m³/min at free
// delivery. Boosters: 300..700 Pa, 12000..18000 m³/min. The drifts are joined
// to their neighbours by many crosscuts, so a booster works against little
// resistance; it must be able to deliver more than its drift would carry
// without it, or the network would drive it beyond the end of its curve.
// Kept whole: the main fans and the boosters are placed in one pass, each
// after the roads it needs.
std::string placeFans(Mine& mine, Random& random)
{
    const Layout& L = mine.layout;
    for (int j = 0; j < L.mainFans; ++j) {
        GenFan fan;
        fan.inlet = mine.shaftTop[std::size_t(j)];
        fan.outlet = mine.fanOutlet[std::size_t(j)];
        fan.points = 6 + random.below(7);
        const double shutOff = rounded(random.uniform(1200, 2000), 1);
        const double maxFlow = 100.0 * std::round(random.uniform(150, 210));  // m³/min
        fan.step = rounded(maxFlow / (fan.points - 1), 1e5);
        fan.curve = fanCurve(fan.points, shutOff);
        fan.heading = "Main fan " + std::to_string(j + 1) + " on return shaft " + std::to_string(j + 1) +
                      " (airflow m3/min, pressure Pa)\n";
        mine.fans.push_back(fan);
    }

    // Boosters stand in bulkheads across drifts, in the middle fifths of a
    // level (the ends carry a whole level's air), off the drifts that feed the
    // shafts and ramp where there are inner drifts, and at least three
    // crosscuts apart in one drift.
    std::vector<int> candidates, outer;
    for (int i = 0; i < int(mine.roads.size()); ++i) {
        const GenRoad& road = mine.roads[std::size_t(i)];
        const int n = road.kind == Kind::Drift ? L.length(road.level, road.row) : 0;
        if (road.kind != Kind::Drift || road.column < std::max(1, n / 5) || road.column + 1 > n - std::max(2, n / 5))
            continue;
        const bool inner = road.row > 0 && road.row + 1 < L.rows;
        (inner ? candidates : outer).push_back(i);
    }
    random.shuffle(outer);
    random.shuffle(candidates);
    candidates.insert(candidates.end(), outer.begin(), outer.end());
    std::vector<GenFan> boosters;
    for (int i : candidates) {
        if (int(boosters.size()) == L.boosters)
            break;
        GenRoad& road = mine.roads[std::size_t(i)];
        const bool crowded = std::any_of(boosters.begin(), boosters.end(), [&](const GenFan& f) {
            return f.level == road.level && f.row == road.row && std::abs(f.column - road.column) < 3;
        });
        if (crowded)
            continue;
        road.device = Device::Bulkhead;
        GenFan fan;
        fan.inlet = road.a;
        fan.outlet = road.b;
        fan.level = road.level;
        fan.row = road.row;
        fan.column = road.column;
        boosters.push_back(fan);
    }
    if (int(boosters.size()) < L.boosters)
        return "the drifts of " + std::to_string(mine.shape.nodes) + " nodes have room for at most " +
               std::to_string(boosters.size() + std::size_t(L.mainFans)) + " fans";
    std::sort(boosters.begin(), boosters.end(), [](const GenFan& x, const GenFan& y) {
        return std::tie(x.level, x.row, x.column) < std::tie(y.level, y.row, y.column);
    });
    int number = 0;
    for (GenFan& fan : boosters) {
        fan.points = 6 + random.below(7);
        const double shutOff = rounded(random.uniform(300, 700), 1);
        const double maxFlow = 100.0 * std::round(random.uniform(120, 180));
        fan.step = rounded(maxFlow / (fan.points - 1), 1e5);
        fan.curve = fanCurve(fan.points, shutOff);
        fan.heading = "Booster fan " + std::to_string(++number) + " in a bulkhead on level " +
                      std::to_string(fan.level + 1) + "\n";
        mine.fans.push_back(fan);
    }
    return {};
}

}  // namespace orvex::gennet
