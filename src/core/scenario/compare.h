#pragma once

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "checks/checks.h"
#include "model/briscodoc.h"

// Two runs of networks that share node numbers, side by side: per road the
// change of airflow, per fan the change of its duty, per node the change of
// pressure, and the design checks that appear or disappear. Elements are
// matched by their node numbers, never by their place in the files; what
// only one network has is listed, not compared.
namespace orvex {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A road of both runs. `from` and `to` are its ends in the direction the
// base run's air flows (its first and second node when no air flowed), so
// that baseFlow is never negative; flow is in the same sense, negative
// where the air turned. Flows in the flow unit of the units settings.
struct RoadChange {
    int baseRoad = 0, otherRoad = 0;  // the road's index in each network
    int from = 0, to = 0;
    bool fixed = false;               // a fixed-flow road
    double baseFlow = 0, flow = 0;
    double change = 0;                // flow - baseFlow
    double changePercent = kNaN;      // of baseFlow; NaN where the base carried no air
    bool reversed = false;            // both carry air worth naming, in opposite senses
};

// A fan of both runs: airflow in the flow unit, pressure in the display unit.
struct FanChange {
    int baseFan = 0, otherFan = 0;
    int inlet = 0, outlet = 0;
    double baseFlow = 0, flow = 0, basePressure = 0, pressure = 0;
    double change = 0;  // flow - baseFlow
};

// A node of both: absolute pressure in the display pressure unit.
struct NodeChange {
    int number = 0;
    double basePressure = 0, pressure = 0, change = 0;
};

using NodePair = std::pair<int, int>;

// What only one of the two networks has.
struct Unshared {
    std::vector<int> baseNodes, otherNodes;
    std::vector<NodePair> baseRoads, otherRoads;  // first, second node
    std::vector<NodePair> baseFans, otherFans;    // inlet, outlet
    bool empty() const;
};

struct Comparison {
    std::vector<RoadChange> roads;  // in the base network's road order
    std::vector<FanChange> fans;
    std::vector<NodeChange> nodes;
    std::vector<Finding> appeared, disappeared;  // checks of one run that the other has not
    Unshared unshared;
    double largestBaseFlow = 0;  // of any road, for thresholds
};

// Compares `other` with `base`, each with the findings of its own checks. A
// finding is the same in both when its kind and its nodes (in any order)
// are; several roads between the same two nodes pair up in their order.
Comparison compareRuns(const CBriscoDoc& base, const std::vector<Finding>& baseFindings,
                       const CBriscoDoc& other, const std::vector<Finding>& otherFindings);

// A road's airflow worth naming: above this share of the largest road flow
// of the base run. Smaller flows are the solver's remainder, and they turn
// with it.
constexpr double kFlowFloorShare = 0.001;

// A road changed beyond `thresholdPercent` of its base flow, counted from
// at least 1 % of the largest base flow, so that a road with next to no
// air does not change "by 400 %" for a trickle.
bool changedBeyond(const RoadChange& road, double largestBaseFlow, double thresholdPercent);

}  // namespace orvex
