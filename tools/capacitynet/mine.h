#pragma once

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "capacitynet.h"

// The network generator's working state and its stages. generate() runs
// the stages in a fixed order on one random sequence, so that order is part
// of what a seed names:
//   layout.cpp  how many levels and drifts, where the nodes lie, their numbers
//   roads.cpp   the airways, the fixed-flow roads and the bending points
//   fans.cpp    main fans on the return shafts, boosters in the drifts
//   values.cpp  lengths, cross-sections, temperatures and resistances
namespace orvex::gennet {

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
inline double rounded(double value, double perUnit) { return std::round(value * perUnit) / perUnit; }

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
    int a = 0, b = 0;  // node indexes into Mine::nodes; air is meant to go a -> b
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

// How many levels, drifts, fans and roads a shape gets, and where the levels
// lie: level k is drawn below level k − 1 and a little to the right.
struct Layout {
    int levels = 0, rows = 0, mainFans = 0, boosters = 0;
    int fixedRoads = 0, normalRoads = 0;
    std::vector<std::vector<int>> rowLength;  // [level][row]: nodes along the drift
    int maxRowLength = 0;

    int length(int level, int row) const { return rowLength[std::size_t(level)][std::size_t(row)]; }
    double levelX(int level) const { return level * kLevelShiftX; }
    double levelY(int level) const { return -level * ((rows - 1) * kRowSpacing + kLevelGap); }
    double levelZ(int level) const { return kCollarElevation - kFirstLevelDepth - level * kLevelInterval; }
    double topY() const { return (rows - 1) * kRowSpacing; }
    double returnX(int level, int shaft) const
    {
        return levelX(level) + (maxRowLength - 1) * kColumnSpacing + 140.0 + 60.0 * shaft;
    }
    // The drift whose return end leads to return shaft `shaft`.
    int returnRow(int shaft) const { return mainFans == 1 ? 0 : shaft * (rows - 1) / (mainFans - 1); }
};

// What the stages build. The named places are node indexes; numberNodes()
// reorders the nodes and brings roads, fans and the intake collar, portal
// and fire node along, after which the grid and station lists are stale.
struct Mine {
    Mine(const Shape& shape, const Layout& layout) : shape(shape), layout(layout) {}

    int addNode(double x, double y, double z, bool surface, int group);
    // A road joins two different nodes that no other road joins yet; -1 otherwise.
    int addRoad(int a, int b, Kind kind, int level, double side);
    int gridNode(int level, int row, int column) const
    {
        return grid[std::size_t(level)][std::size_t(row)][std::size_t(column)];
    }

    const Shape shape;
    const Layout layout;
    std::vector<GenNode> nodes;
    std::vector<GenRoad> roads;  // normal roads, then fixed-flow roads
    std::vector<GenFan> fans;    // main fans, then boosters
    int bendSlots = 0;

    std::set<std::pair<int, int>> pairs;  // node pairs joined by a road, lower index first
    std::vector<std::vector<std::vector<int>>> grid;  // [level][row][column]
    std::vector<int> intakeStation, rampNode;         // [level]
    std::vector<std::vector<int>> returnStation;      // [level][shaft]
    std::vector<int> shaftTop, fanOutlet;             // [shaft]
    int intakeCollar = 0, portal = 0;
    int fireNode = 0;  // chosen by numberNodes()
};

// layout.cpp
std::string planLayout(const Shape& shape, Layout& layout);
void layNodes(Mine& mine, Random& random);
void numberNodes(Mine& mine);

// roads.cpp
std::string layRoads(Mine& mine, Random& random);
std::string layFixedRoads(Mine& mine, Random& random);
void bendRoads(Mine& mine, Random& random);
// A road's bending points, evenly spaced and swung aside by its amplitude.
std::vector<std::pair<double, double>> bendPoints(const GenNode& a, const GenNode& b, const GenRoad& road);

// fans.cpp
std::string placeFans(Mine& mine, Random& random);

// values.cpp
void assignValues(Mine& mine, Random& random);

}  // namespace orvex::gennet
