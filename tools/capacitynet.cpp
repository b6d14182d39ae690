#include "capacitynet.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <queue>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "model/networkio.h"

namespace orvex::gennet {

namespace {

// splitmix64 with its own uniform draws: the distributions of <random> give
// different numbers with different standard libraries, and a seed should
// name the same network everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : mState(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double uniform(double lo, double hi) { return lo + (hi - lo) * unit(); }
    int below(int n) { return n <= 1 ? 0 : int(next() % std::uint64_t(n)); }
    bool chance(double p) { return unit() < p; }
    template <class T>
    void shuffle(std::vector<T>& items)
    {
        for (int i = int(items.size()) - 1; i > 0; --i)
            std::swap(items[std::size_t(i)], items[std::size_t(below(i + 1))]);
    }

private:
    std::uint64_t mState;
};

// Values are rounded to the precision the files keep, so that what the
// generator holds is what a reader gets back.
double rounded(double value, double perUnit) { return std::round(value * perUnit) / perUnit; }

// --- the mine's dimensions --------------------------------------------------

constexpr double kCollarElevation = 400.0;  // mean elevation of the collars, m
constexpr double kFirstLevelDepth = 150.0;  // m below the collars
constexpr double kLevelInterval = 60.0;     // m between levels
constexpr double kSurfaceTemperature = 15.0;  // °C
constexpr double kTemperatureGradient = 0.025;  // °C per m of depth, level air
constexpr double kColumnSpacing = 70.0;     // plan distance between crosscuts, m
constexpr double kRowSpacing = 60.0;        // plan distance between parallel drifts, m
constexpr double kLevelShiftX = 25.0;       // plan shift of each deeper level, m
constexpr double kLevelGap = 160.0;         // plan gap between the drawings of two levels, m
constexpr double kMinResistance = 0.001;    // Ns²/m⁸
constexpr double kMaxResistance = 0.3;
constexpr int kBendTarget = kMaxBendSlots - 10;  // slots used at capacity, below the 2499 slots
constexpr int kIntakes = 2;                 // intake shaft collar and decline portal

enum class Kind {
    Drift,
    Crosscut,
    StationAccess,
    RampAccess,
    Raise,
    IntakeShaft,
    RampSegment,
    Conveyor,
    EscapeRaise,
    FreshAirRaise,
    ReturnShaft,
    CollarLeak,
    FixedFlow,
};

enum class Device { None, Stopping, Regulator, Bulkhead };

// Point marks of the bending points: symbols for the ventilation devices.
constexpr int kStoppingMark = 2;
constexpr int kRegulatorMark = 3;
constexpr int kBulkheadMark = 4;
constexpr int kLeakMark = 5;
constexpr int kFixedFlowMark = 6;
constexpr int kNoLineMark = -1;

struct GenNode {
    double x = 0, y = 0, z = 0;
    bool surface = false;
    int group = 0;  // numbering group: 0 surface, 1 collar area, 2 + level
    int number = 0;
};

struct GenRoad {
    int a = 0, b = 0;  // node indexes into Builder::nodes; air is meant to go a -> b
    Kind kind = Kind::Drift;
    Device device = Device::None;
    int level = 0;
    int row = -1, column = -1;  // drifts: row and first column
    double side = 0;            // 0 intake end of a level .. 1 return end
    double flow = 0;            // fixed-flow roads, m³/min
    // bending points
    int points = 0;
    double amplitude = 0;
    int mark = 0;
    bool hiddenFirst = false;
    // values written to the network file
    double resistance = 0, temperature = 0, area = 0, length = 0, conductivity = 0;
};

struct GenFan {
    int inlet = 0, outlet = 0;  // node indexes
    int level = 0, row = 0, column = 0;
    int points = 0;
    double step = 0;
    std::vector<double> curve;
    std::string heading;
};

struct Layout {
    int levels = 0, rows = 0, mainFans = 0, boosters = 0;
    int fixedRoads = 0, normalRoads = 0;
    std::vector<std::vector<int>> rowLength;  // [level][row]
    int maxRowLength = 0;
};

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

class Builder {
public:
    Builder(const Shape& shape, const Layout& layout) : mShape(shape), mLayout(layout), mRandom(shape.seed) {}

    std::string build();
    std::string fill(CBriscoDoc& doc) const;

    std::vector<GenNode> nodes;
    std::vector<GenRoad> roads;  // normal roads, then fixed-flow roads
    std::vector<GenFan> fans;    // main fans, then boosters
    int bendSlots = 0;

private:
    int addNode(double x, double y, double z, bool surface, int group);
    int addRoad(int a, int b, Kind kind, int level, double side);
    int length(int level, int row) const { return mLayout.rowLength[std::size_t(level)][std::size_t(row)]; }
    int gridNode(int level, int row, int column) const
    {
        return mGrid[std::size_t(level)][std::size_t(row)][std::size_t(column)];
    }
    double levelX(int level) const { return level * kLevelShiftX; }
    double levelY(int level) const { return -level * ((mLayout.rows - 1) * kRowSpacing + kLevelGap); }
    double levelZ(int level) const { return kCollarElevation - kFirstLevelDepth - level * kLevelInterval; }
    double topY() const { return (mLayout.rows - 1) * kRowSpacing; }
    double returnX(int level, int shaft) const
    {
        return levelX(level) + (mLayout.maxRowLength - 1) * kColumnSpacing + 140.0 + 60.0 * shaft;
    }
    int returnRow(int shaft) const
    {
        return mLayout.mainFans == 1 ? 0 : shaft * (mLayout.rows - 1) / (mLayout.mainFans - 1);
    }

    void buildNodes();
    std::string buildRoads();
    std::string buildFans();
    std::string buildFixedRoads();
    void sortAndNumber();
    void assignBends();
    void assignValues();
    std::string check() const;

    const Shape mShape;
    const Layout mLayout;
    Random mRandom;
    std::set<std::pair<int, int>> mPairs;
    std::vector<std::vector<std::vector<int>>> mGrid;  // [level][row][column]
    std::vector<int> mIntakeStation, mRampNode;        // [level]
    std::vector<std::vector<int>> mReturnStation;      // [level][shaft]
    std::vector<int> mShaftTop, mFanOutlet;            // [shaft]
    int mIntakeCollar = 0, mPortal = 0;
    int mFireNode = 0;
};

int Builder::addNode(double x, double y, double z, bool surface, int group)
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

// A road joins two different nodes that no other road joins yet; -1 otherwise.
int Builder::addRoad(int a, int b, Kind kind, int level, double side)
{
    if (a == b || !mPairs.insert({std::min(a, b), std::max(a, b)}).second)
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

void Builder::buildNodes()
{
    const int levels = mLayout.levels, rows = mLayout.rows, shafts = mLayout.mainFans;
    const double top = topY();

    mIntakeCollar = addNode(-120.0, top + 140.0, kCollarElevation + 2.0, true, 0);
    mPortal = addNode(-300.0, top + 170.0, kCollarElevation - 12.5, true, 0);
    for (int j = 0; j < shafts; ++j)
        mFanOutlet.push_back(addNode(returnX(0, j) + 20.0, top + 180.0 + 15.0 * j,
                                     kCollarElevation + 6.0 + 5.0 * j + mRandom.uniform(0, 3), true, 0));
    for (int j = 0; j < shafts; ++j)
        mShaftTop.push_back(addNode(returnX(0, j), top + 130.0 + 15.0 * j,
                                    nodes[std::size_t(mFanOutlet[std::size_t(j)])].z - 2.0, false, 1));

    mGrid.resize(std::size_t(levels));
    mReturnStation.resize(std::size_t(levels));
    for (int k = 0; k < levels; ++k) {
        const int group = 2 + k;
        const double x0 = levelX(k), y0 = levelY(k), z0 = levelZ(k);
        auto& grid = mGrid[std::size_t(k)];
        grid.resize(std::size_t(rows));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < length(k, r); ++c) {
                // Drifts rise gently towards the return end for drainage.
                const double x = x0 + c * kColumnSpacing + (c == 0 ? 0.0 : mRandom.uniform(-8, 8));
                const double y = y0 + r * kRowSpacing + mRandom.uniform(-6, 6);
                const double z = z0 + 0.005 * c * kColumnSpacing + mRandom.uniform(-0.3, 0.3);
                grid[std::size_t(r)].push_back(addNode(x, y, z, false, group));
            }
        }
        mIntakeStation.push_back(addNode(x0 - 120.0, y0, z0, false, group));
        mRampNode.push_back(addNode(x0 - 300.0, y0 + top, z0, false, group));
        for (int j = 0; j < shafts; ++j) {
            const int row = returnRow(j);
            const double z = z0 + 0.005 * (length(k, row) - 1) * kColumnSpacing;
            mReturnStation[std::size_t(k)].push_back(
                addNode(returnX(k, j), y0 + row * kRowSpacing, z, false, group));
        }
    }
}

std::string Builder::buildRoads()
{
    const int levels = mLayout.levels, rows = mLayout.rows, shafts = mLayout.mainFans;

    // Levels: parallel drifts from the intake end (column 0) to the return
    // end, crosscuts at both ends, station accesses to the shafts and ramp.
    for (int k = 0; k < levels; ++k) {
        for (int r = 0; r < rows; ++r) {
            const int n = length(k, r);
            for (int c = 0; c + 1 < n; ++c) {
                const int road = addRoad(gridNode(k, r, c), gridNode(k, r, c + 1), Kind::Drift, k,
                                         (c + 0.5) / (n - 1));
                roads[std::size_t(road)].row = r;
                roads[std::size_t(road)].column = c;
            }
        }
        for (int r = 0; r + 1 < rows; ++r) {
            addRoad(gridNode(k, r, 0), gridNode(k, r + 1, 0), Kind::Crosscut, k, 0.0);
            addRoad(gridNode(k, r, length(k, r) - 1), gridNode(k, r + 1, length(k, r + 1) - 1),
                    Kind::Crosscut, k, 1.0);
        }
        addRoad(mIntakeStation[std::size_t(k)], gridNode(k, 0, 0), Kind::StationAccess, k, 0.0);
        addRoad(mRampNode[std::size_t(k)], gridNode(k, rows - 1, 0), Kind::RampAccess, k, 0.0);
        for (int j = 0; j < shafts; ++j) {
            const int row = returnRow(j);
            const int road = addRoad(gridNode(k, row, length(k, row) - 1),
                                     mReturnStation[std::size_t(k)][std::size_t(j)], Kind::StationAccess, k, 1.0);
            if (mRandom.chance(0.3))
                roads[std::size_t(road)].device = Device::Regulator;
        }
    }

    // Intake shaft from its collar through a station on every level, and an
    // escapeway raise from the same collar to the first level.
    addRoad(mIntakeCollar, mIntakeStation[0], Kind::IntakeShaft, 0, 0.0);
    for (int k = 0; k + 1 < levels; ++k)
        addRoad(mIntakeStation[std::size_t(k)], mIntakeStation[std::size_t(k + 1)], Kind::IntakeShaft, k + 1, 0.0);
    addRoad(mIntakeCollar, gridNode(0, rows - 1, 0), Kind::EscapeRaise, 0, 0.0);

    // Decline ramp from the portal, three switchback legs per level; a
    // conveyor incline from the same portal to the first level.
    for (int k = 0; k < levels; ++k) {
        const int upper = k == 0 ? mPortal : mRampNode[std::size_t(k - 1)];
        const int lower = mRampNode[std::size_t(k)];
        const GenNode u = nodes[std::size_t(upper)], v = nodes[std::size_t(lower)];
        const int group = k == 0 ? 1 : 2 + k;
        const int m1 = addNode(v.x - 120.0, u.y + (v.y - u.y) / 3.0, u.z + (v.z - u.z) / 3.0, false, group);
        const int m2 = addNode(v.x, u.y + 2.0 * (v.y - u.y) / 3.0, u.z + 2.0 * (v.z - u.z) / 3.0, false, group);
        addRoad(upper, m1, Kind::RampSegment, k, 0.0);
        addRoad(m1, m2, Kind::RampSegment, k, 0.0);
        addRoad(m2, lower, Kind::RampSegment, k, 0.0);
    }
    addRoad(mPortal, gridNode(0, rows - 1, 1), Kind::Conveyor, 0, 0.0);

    // Return shafts up from the deepest level to their tops, where the main
    // fans stand. The fan outlet is open air: leakage through the fan house
    // into the shaft top, and a fresh-air raise from the same yard.
    for (int j = 0; j < shafts; ++j) {
        for (int k = levels - 1; k >= 1; --k)
            addRoad(mReturnStation[std::size_t(k)][std::size_t(j)], mReturnStation[std::size_t(k - 1)][std::size_t(j)],
                    Kind::ReturnShaft, k, 1.0);
        addRoad(mReturnStation[0][std::size_t(j)], mShaftTop[std::size_t(j)], Kind::ReturnShaft, 0, 1.0);
        addRoad(mFanOutlet[std::size_t(j)], mShaftTop[std::size_t(j)], Kind::CollarLeak, 0, 1.0);
        const int n = length(0, rows - 1);
        const int column = std::clamp(int(std::lround((n - 1) * (j + 1.0) / (shafts + 1.0))), 2, n - 2);
        addRoad(mFanOutlet[std::size_t(j)], gridNode(0, rows - 1, column), Kind::FreshAirRaise, 0, 0.5);
    }

    // One inclined raise between each pair of neighbouring levels, from the
    // first drift of the upper level to the last drift of the lower one.
    std::vector<int> firstRaise(std::size_t(levels), -1);
    for (int k = 0; k + 1 < levels; ++k) {
        const int c = std::min(length(k, 0), length(k + 1, rows - 1)) / 2;
        firstRaise[std::size_t(k)] = c;
        addRoad(gridNode(k, 0, c), gridNode(k + 1, rows - 1, c), Kind::Raise, k + 1, 0.5);
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
            const int n = std::min(length(k, r), length(k, r + 1));
            for (int c = 1; c + 1 < n; ++c)
                crosscuts.push_back({gridNode(k, r, c), gridNode(k, r + 1, c), k, Kind::Crosscut,
                                     double(c) / (n - 1)});
        }
        if (k + 1 < levels) {
            const int n = std::min(length(k, 0), length(k + 1, rows - 1));
            for (int c = 1; c + 1 < n; ++c)
                if (c != firstRaise[std::size_t(k)])
                    raises.push_back({gridNode(k, 0, c), gridNode(k + 1, rows - 1, c), k + 1, Kind::Raise,
                                      double(c) / (n - 1)});
        }
    }
    const int mandatory = int(roads.size());
    const int extras = mLayout.normalRoads - mandatory;
    const int available = int(crosscuts.size() + raises.size());
    if (extras < 0 || extras > available)
        return "a mine of " + std::to_string(mShape.nodes) + " nodes needs between " +
               std::to_string(mandatory + mLayout.fixedRoads) + " and " +
               std::to_string(mandatory + available + mLayout.fixedRoads) + " roads";
    mRandom.shuffle(crosscuts);
    mRandom.shuffle(raises);
    int wantRaises = std::min(int(raises.size()), extras / 12);
    int wantCrosscuts = extras - wantRaises;
    if (wantCrosscuts > int(crosscuts.size())) {
        wantCrosscuts = int(crosscuts.size());
        wantRaises = extras - wantCrosscuts;
    }
    for (int i = 0; i < wantCrosscuts; ++i) {
        const Candidate& c = crosscuts[std::size_t(i)];
        addRoad(c.a, c.b, c.kind, c.level, c.side);
    }
    for (int i = 0; i < wantRaises; ++i) {
        const Candidate& c = raises[std::size_t(i)];
        const int road = addRoad(c.a, c.b, c.kind, c.level, c.side);
        roads[std::size_t(road)].hiddenFirst = i % 6 == 5;
    }

    // Stoppings between the drifts in some of the crosscuts.
    for (GenRoad& road : roads)
        if (road.kind == Kind::Crosscut && mRandom.chance(0.3))
            road.device = Device::Stopping;

    if (int(roads.size()) != mLayout.normalRoads)
        return "internal: " + std::to_string(roads.size()) + " normal roads were laid out";
    return {};
}

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

// Main fans: 1200..2000 Pa at shut-off, 15000..21000 m³/min at free
// delivery. Boosters: 300..700 Pa, 12000..18000 m³/min. The drifts are joined
// to their neighbours by many crosscuts, so a booster works against little
// resistance; it must be able to deliver more than its drift would carry
// without it, or the network would drive it beyond the end of its curve.
std::string Builder::buildFans()
{
    for (int j = 0; j < mLayout.mainFans; ++j) {
        GenFan fan;
        fan.inlet = mShaftTop[std::size_t(j)];
        fan.outlet = mFanOutlet[std::size_t(j)];
        fan.points = 6 + mRandom.below(7);
        const double shutOff = rounded(mRandom.uniform(1200, 2000), 1);
        const double maxFlow = 100.0 * std::round(mRandom.uniform(150, 210));  // m³/min
        fan.step = rounded(maxFlow / (fan.points - 1), 1e5);
        fan.curve = fanCurve(fan.points, shutOff);
        fan.heading = "Main fan " + std::to_string(j + 1) + " on return shaft " + std::to_string(j + 1) +
                      " (airflow m3/min, pressure Pa)\n";
        fans.push_back(fan);
    }

    // Boosters stand in bulkheads across drifts, in the middle fifths of a
    // level (the ends carry a whole level's air), off the drifts that feed the
    // shafts and ramp where there are inner drifts, and at least three
    // crosscuts apart in one drift.
    std::vector<int> candidates, outer;
    for (int i = 0; i < int(roads.size()); ++i) {
        const GenRoad& road = roads[std::size_t(i)];
        const int n = road.kind == Kind::Drift ? length(road.level, road.row) : 0;
        if (road.kind != Kind::Drift || road.column < std::max(1, n / 5) || road.column + 1 > n - std::max(2, n / 5))
            continue;
        const bool inner = road.row > 0 && road.row + 1 < mLayout.rows;
        (inner ? candidates : outer).push_back(i);
    }
    mRandom.shuffle(outer);
    mRandom.shuffle(candidates);
    candidates.insert(candidates.end(), outer.begin(), outer.end());
    std::vector<GenFan> boosters;
    for (int i : candidates) {
        if (int(boosters.size()) == mLayout.boosters)
            break;
        GenRoad& road = roads[std::size_t(i)];
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
    if (int(boosters.size()) < mLayout.boosters)
        return "the drifts of " + std::to_string(mShape.nodes) + " nodes have room for at most " +
               std::to_string(boosters.size() + std::size_t(mLayout.mainFans)) + " fans";
    std::sort(boosters.begin(), boosters.end(), [](const GenFan& x, const GenFan& y) {
        return std::tie(x.level, x.row, x.column) < std::tie(y.level, y.row, y.column);
    });
    int number = 0;
    for (GenFan& fan : boosters) {
        fan.points = 6 + mRandom.below(7);
        const double shutOff = rounded(mRandom.uniform(300, 700), 1);
        const double maxFlow = 100.0 * std::round(mRandom.uniform(120, 180));
        fan.step = rounded(maxFlow / (fan.points - 1), 1e5);
        fan.curve = fanCurve(fan.points, shutOff);
        fan.heading = "Booster fan " + std::to_string(++number) + " in a bulkhead on level " +
                      std::to_string(fan.level + 1) + "\n";
        fans.push_back(fan);
    }
    return {};
}

std::string Builder::buildFixedRoads()
{
    // Fixed-flow roads: auxiliary-ventilated connections between two drifts,
    // diagonal to the crosscuts, with a set airflow.
    std::vector<std::pair<int, int>> candidates;
    for (int k = 0; k < mLayout.levels; ++k)
        for (int r = 0; r + 1 < mLayout.rows; ++r) {
            const int n = std::min(length(k, r), length(k, r + 1));
            for (int c = 1; c + 2 < n; ++c)
                candidates.push_back({gridNode(k, r, c), gridNode(k, r + 1, c + 1)});
        }
    mRandom.shuffle(candidates);
    int added = 0;
    for (const auto& [a, b] : candidates) {
        if (added == mLayout.fixedRoads)
            break;
        const int level = nodes[std::size_t(a)].group - 2;
        const int road = addRoad(a, b, Kind::FixedFlow, level, 0.5);
        if (road < 0)
            continue;
        roads[std::size_t(road)].flow = 10.0 * std::round(mRandom.uniform(10, 60));  // 100..600 m³/min
        ++added;
    }
    if (added < mLayout.fixedRoads)
        return "no room for " + std::to_string(mLayout.fixedRoads) + " fixed-flow roads";
    return {};
}

// Roads are listed level by level, each level's roads by kind; fixed-flow
// roads stay last. Nodes are numbered in blocks: the surface, the collar
// area, then one block per level starting at a round number.
void Builder::sortAndNumber()
{
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
    for (GenFan& fan : fans) {
        fan.inlet = position[std::size_t(fan.inlet)];
        fan.outlet = position[std::size_t(fan.outlet)];
    }
    mFireNode = position[std::size_t(gridNode(0, std::min(1, mLayout.rows - 1), 2))];
    mIntakeCollar = position[std::size_t(mIntakeCollar)];
    mPortal = position[std::size_t(mPortal)];
}

// Bending points: the ramp's switchbacks, the raises and inclines, one symbol
// point on every ventilation device and fixed-flow road, then small bends on
// drifts and crosscuts until most of the store is used.
void Builder::assignBends()
{
    const int target = std::min(kBendTarget, int(std::lround(double(kBendTarget) * mShape.roads / (kMaxRoads - 1))));
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
    mRandom.shuffle(rest);
    for (int i : rest) {
        if (used + 2 > target)
            break;
        const double amplitude = mRandom.uniform(3, 8) * (mRandom.chance(0.5) ? 1 : -1);
        take(roads[std::size_t(i)], 1 + mRandom.below(3), amplitude, 0);
    }
    bendSlots = used;
}

double planLength(const std::vector<std::pair<double, double>>& path)
{
    double total = 0;
    for (std::size_t p = 1; p < path.size(); ++p)
        total += std::hypot(path[p].first - path[p - 1].first, path[p].second - path[p - 1].second);
    return total;
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

// Length, cross-section, rock conductivity, air temperature and resistance
// (Atkinson's law R = k·L·perimeter/A³, within 0.001..0.3 Ns²/m⁸).
void Builder::assignValues()
{
    for (GenRoad& road : roads) {
        if (road.kind == Kind::FixedFlow)
            continue;
        const GenNode& a = nodes[std::size_t(road.a)];
        const GenNode& b = nodes[std::size_t(road.b)];
        const double dz = std::abs(a.z - b.z);
        const double zMid = (a.z + b.z) / 2;
        const double depth = std::max(0.0, kCollarElevation - zMid);

        std::vector<std::pair<double, double>> path{{a.x, a.y}};
        for (const auto& point : bendPoints(a, b, road))
            path.push_back(point);
        path.push_back({b.x, b.y});
        const double plan = planLength(path);

        double length = 0, area = 0, friction = 0, temperature = 0;
        bool circular = false;
        const double levelAir = kSurfaceTemperature + kTemperatureGradient * depth + 2.5 * road.side;
        switch (road.kind) {
        case Kind::Drift:
            length = std::hypot(plan, dz), area = mRandom.uniform(16, 22), friction = mRandom.uniform(0.010, 0.014);
            temperature = levelAir;
            break;
        case Kind::Crosscut:
            length = std::hypot(plan, dz), area = mRandom.uniform(12, 18), friction = mRandom.uniform(0.010, 0.014);
            temperature = levelAir;
            break;
        case Kind::StationAccess:
        case Kind::RampAccess:
            length = std::hypot(plan, dz), area = mRandom.uniform(18, 24), friction = mRandom.uniform(0.010, 0.013);
            temperature = levelAir;
            break;
        case Kind::Raise:
            length = std::hypot(dz, (mLayout.rows - 1) * kRowSpacing), area = mRandom.uniform(6, 10);
            friction = mRandom.uniform(0.014, 0.018);
            temperature = levelAir + 1.0;
            break;
        case Kind::IntakeShaft:
            length = dz, area = 31.17, friction = 0.025, circular = true;
            temperature = kSurfaceTemperature + 0.01 * depth;  // autocompression
            break;
        case Kind::RampSegment:
            length = 7.0 * dz, area = mRandom.uniform(20, 25), friction = mRandom.uniform(0.010, 0.013);
            temperature = kSurfaceTemperature + 0.015 * depth;
            break;
        case Kind::Conveyor:
            length = 4.0 * dz, area = mRandom.uniform(14, 18), friction = 0.016;
            temperature = kSurfaceTemperature + 0.012 * depth;
            break;
        case Kind::EscapeRaise:
            length = 1.05 * dz, area = mRandom.uniform(4, 6), friction = 0.030;
            temperature = kSurfaceTemperature + 0.01 * depth;
            break;
        case Kind::FreshAirRaise:
            length = 1.05 * dz, area = mRandom.uniform(7, 12), friction = 0.012, circular = true;
            temperature = kSurfaceTemperature + 0.01 * depth;
            break;
        case Kind::ReturnShaft:
            length = dz, area = mRandom.uniform(20, 28), friction = 0.020, circular = true;
            temperature = kSurfaceTemperature + kTemperatureGradient * (depth + kLevelInterval) + 3.0;
            break;
        case Kind::CollarLeak:
            length = mRandom.uniform(6, 12), area = mRandom.uniform(1.5, 3.0), friction = 0.0;
            temperature = kSurfaceTemperature + 0.5;
            break;
        case Kind::FixedFlow: break;
        }
        road.length = rounded(std::max(length, 1.0), 10);
        road.area = rounded(area, 100);
        road.temperature = rounded(temperature, 10);
        road.conductivity = rounded(mRandom.uniform(1.8, 2.6), 100);
        const double perimeter = (circular ? 3.545 : 4.16) * std::sqrt(road.area);
        double resistance = friction * road.length * perimeter / (road.area * road.area * road.area);
        switch (road.device) {
        case Device::Stopping: resistance = mRandom.uniform(0.1, kMaxResistance); break;
        case Device::Regulator: resistance = mRandom.uniform(0.02, 0.1); break;
        case Device::Bulkhead: resistance = mRandom.uniform(0.25, kMaxResistance); break;
        case Device::None: break;
        }
        if (road.kind == Kind::CollarLeak)
            resistance = mRandom.uniform(0.2, kMaxResistance);
        road.resistance = rounded(std::clamp(resistance, kMinResistance, kMaxResistance), 1e7);
    }
}

// The promises of the header, checked on what was built.
std::string Builder::check() const
{
    const int n = int(nodes.size());
    const int normal = mLayout.normalRoads;
    if (n != mShape.nodes)
        return "internal: " + std::to_string(n) + " nodes instead of " + std::to_string(mShape.nodes);
    if (int(roads.size()) != mShape.roads)
        return "internal: " + std::to_string(roads.size()) + " roads instead of " + std::to_string(mShape.roads);
    if (int(fans.size()) != mShape.fans)
        return "internal: " + std::to_string(fans.size()) + " fans instead of " + std::to_string(mShape.fans);
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
    for (const GenFan& fan : fans)
        if (fan.inlet == fan.outlet || fan.points < 6 || fan.points > 12)
            return "internal: a fan joins a node to itself or has a bad curve";
    if (bendSlots >= kMaxBendSlots)
        return "internal: the bending points overflow the store";
    return {};
}

std::string Builder::build()
{
    buildNodes();
    if (std::string error = buildRoads(); !error.empty())
        return error;
    if (std::string error = buildFans(); !error.empty())
        return error;
    if (std::string error = buildFixedRoads(); !error.empty())
        return error;
    sortAndNumber();
    assignBends();
    assignValues();
    return check();
}

std::string Builder::fill(CBriscoDoc& doc) const
{
    const int normal = mLayout.normalRoads;
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
    for (int j = doc.fanCount + 1; j <= kMaxFans; ++j)
        doc.fanHeadings[std::size_t(j)] = "Fan:\n";

    const std::string title = "Generated capacity network\n";
    doc.headings[1] = "[ORVEX network]" + title;
    doc.headings[2] = "Mine-like test network, seed " + std::to_string(mShape.seed) + ": " +
                      std::to_string(mShape.nodes) + " nodes, " + std::to_string(mShape.roads) + " roads, " +
                      std::to_string(mShape.fans) + " fans\n";
    doc.headings[3] = "Surface nodes: number, elevation (m)\n";
    doc.headings[4] = "Underground nodes: number, elevation (m)\n";
    doc.headings[5] = "Roads: nodes, resistance Ns2/m8, temp C, area m2, length m, rock k\n";
    doc.headings[6] = "Fixed-flow roads: nodes, airflow m3/min\n";
    doc.headings[7] = "Fans: nodes, points, airflow step m3/min, pressures Pa\n";
    doc.headings[8] = "Network kind, unused, elevation switch\n";
    doc.headings[9] = "Surface temperature (C)\n";
    doc.headings[10] = "& end of network data\n";
    doc.networkKind = 0;
    doc.surfaceTemperature = float(kSurfaceTemperature);
    doc.title = title;
    doc.windowTitle = title;
    doc.density = kAirDensity;
    doc.specificWeight = doc.app().units.flowUnitFactor * kAirDensity;
    doc.altResistanceRoads = 0;
    doc.modified = false;

    // Fire on the first level near the intake; the collars are the way out;
    // two stoppings are not to be used in an evacuation.
    FireParameters& fire = doc.fire;
    fire.fireNode = nodes[std::size_t(mFireNode)].number;
    fire.destinationCount = 2;
    fire.destinationNode[1] = nodes[std::size_t(mIntakeCollar)].number;
    fire.destinationNode[2] = nodes[std::size_t(mPortal)].number;
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
        road.density = float(rounded(pressure / (29.27 * (road.temperature + 273.15)), 1e6));
    }
    return {};
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

std::string generate(const Shape& shape, CBriscoDoc& doc, Summary* summary)
{
    Layout layout;
    if (std::string error = planLayout(shape, layout); !error.empty())
        return error;
    Builder builder(shape, layout);
    if (std::string error = builder.build(); !error.empty())
        return error;
    if (std::string error = builder.fill(doc); !error.empty())
        return error;
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
