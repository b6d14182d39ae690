#pragma once

#include <string>
#include <vector>

#include "draft.h"
#include "dxfread.h"

// The geometry of the DXF import: airway centrelines into nodes and roads.
namespace orvex::exchange::dxf {

// What the network was made of and what was left out, for the report.
struct BuildCounts {
    int zeroLength = 0;      // segments (and whole lines) shorter than the snap distance
    int duplicates = 0;      // roads drawn twice
    int loops = 0;           // roads from a node back to itself
    int snapped = 0;         // ends moved to join a node
    double largestMove = 0;  // m
    int splitLines = 0, splitVertices = 0;  // airways split where other airways end
    int onSegments = 0;      // of those splits, where an end lies between two vertices
    int straightened = 0;    // roads kept straight: no room for their bending points
    int bends = 0;           // bending points stored
    int leftOutRoads = 0, leftOutLines = 0, firstLeftOutLine = 0;  // past the network's room
    std::vector<std::string> leftOutLayers;
    std::vector<std::pair<int, int>> parts;  // parts not joined to the largest: (roads, a node number)
};

// Makes the draft's nodes and roads (ends, lengths and bending points; the
// road values are left to the caller) from the lines, in their order, until
// the room is reached. Ends within snap of a node join it; an airway is
// split where another airway's end lies on one of its vertices or on a
// segment between two.
NetworkDraft buildNetwork(const std::vector<const DrawnLine*>& lines, double snap, const DraftRoom& room,
                          BuildCounts& counts);

}  // namespace orvex::exchange::dxf
