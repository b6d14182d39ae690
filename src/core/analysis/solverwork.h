#pragma once

#include <array>

#include "model/briscodoc.h"

namespace orvex {

class AnalysisDialog;

// The airflow solver's scratch arrays, kept with the document so that a
// solve allocates nothing. Indexed from 1 like the model's arrays.
struct SolverWork : LayerWork {
    std::array<float, kMaxNodes> a{};  // sum of conductances at the node, kg/s per kgf/m²
    // Source term, kg/s (net inflow from fans, fixed flows, draught). Held in
    // double: the draught part Pn × G of a road at rest is large (G grows as
    // the pressure drop vanishes) and is cancelled almost exactly by the
    // pressure part of the imbalance, so single precision would leave an
    // error far above the target accuracy at such a node.
    std::array<double, kMaxNodes> b{};
    std::array<float, kMaxNodes> c{};  // correction coefficient of the last outer sweep

    std::array<float, kAdjacencySize + 1> adjacentG{};  // conductance of each adjacency entry's road
    std::array<int, kMaxRoads> endA{};       // node index of each normal road's ends while solving
    std::array<int, kMaxRoads> endB{};
    std::array<int, kMaxRoads> order{};      // normal roads by ascending resistance
    std::array<int, kMaxRoads> pairRoad{};   // roads whose two nodes are corrected together
    std::array<float, kMaxRoads> pairD{};    // coupling coefficient of each pair
    int pairCount = 0;
    std::array<int, kMaxNodes> single{};     // nodes corrected on their own
    int singleCount = 0;
    std::array<unsigned char, kMaxNodes> free{};  // node not yet taken by a pair

    std::array<int, kMaxRoads> savedFirst{};   // road ends before zero-flow roads were merged
    std::array<int, kMaxRoads> savedSecond{};
    std::array<int, kMaxRoads> merged{};       // zero-flow fixed roads, in road order
    // 1 when the merged road keeps its second node (a surface node) and its
    // first node is renamed into it; 0 when the second is renamed into the first.
    std::array<unsigned char, kMaxRoads> mergedKeepsSecond{};
    int mergedCount = 0;

    // The relaxation in use: the units file's factor, stepped back towards 1
    // when the iteration stops making progress.
    float omega = 1.0f;
    float progressError = 0;  // mean imbalance when the iteration last made progress, kg/s
    int progressIteration = 0;
};

SolverWork& solverWork(CBriscoDoc& doc);

// The steps both solvers take (solver.cpp): zero-flow fixed roads merged and
// the ends of every normal road looked up; the merged nodes given back their
// pressures and the roads their ends; the mass flows of the fixed-flow roads.
void prepareSolve(CBriscoDoc& doc, SolverWork& w);
void restoreMergedNodes(CBriscoDoc& doc, SolverWork& w);
void fixedFlowResults(CBriscoDoc& doc, float tau);

// The two methods; SolveNetwork chooses between them.
int solveByRelaxation(CBriscoDoc& doc, AnalysisDialog& dialog, float a1, float a2, float a3, float a4);
int solveByNewton(CBriscoDoc& doc, AnalysisDialog& dialog, float a1);

}  // namespace orvex
