#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/briscodoc.h"

// The state of a network as the editor changes it: its nodes, roads, fans,
// bending points, fan headings and titles, and the not-useable roads of the
// evacuation parameters (they name roads by their place, which the edit
// operations renumber), in the used part of the arrays only. The other
// parameters are not the editor's and are left as they stand. The undo
// history keeps one snapshot per step.
//
// Restoring brings the network back and leaves the analysis results as an
// edit leaves them: every node, road and fan that exists now (the same node
// number, the same road ends and kind, the same fan ends) keeps the results
// it has now; the ones that come back keep what they had when the snapshot
// was taken.
namespace orvex {

struct NetworkSnapshot {
    int surfaceCount = 0, undergroundCount = 0, roadCount = 0, fixedCount = 0, fanCount = 0;
    int bendUsed = 0, altResistanceRoads = 0;
    std::vector<Node> nodes;      // 1..N
    std::vector<Road> roads;      // 1..Nr+Nf
    std::vector<Fan> fans;        // 1..F
    std::vector<BendSlot> bends;  // 1..bendUsed
    std::vector<FixedText<kHeadingChars>> fanHeadings;  // 1..F
    std::vector<int> unusableRoads;  // the not-useable road entries, 1..their count
    std::string title, windowTitle;

    // Memory the snapshot holds, for the undo history's bound.
    std::size_t bytes() const;
    // The plan turned as CBriscoDoc::rotatePlan turns it, so that the
    // history follows the turned plan.
    void turn(int degrees);
    // The same network (results aside).
    bool sameNetwork(const NetworkSnapshot& other) const;
};

NetworkSnapshot takeSnapshot(const CBriscoDoc& doc);
// Also rebuilds the adjacency. The modified flag is the caller's.
void restoreSnapshot(CBriscoDoc& doc, const NetworkSnapshot& snapshot);

}  // namespace orvex
