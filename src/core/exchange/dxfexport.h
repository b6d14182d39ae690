#pragma once

#include <string>

#include "model/briscodoc.h"

// The network's plan as a DXF drawing (R12, which every CAD program reads),
// to be laid over the mine plan: each kind of element on a layer of its own.
namespace orvex::exchange {

// The layers the export writes, each holding one kind of element.
inline constexpr const char* kDxfRoadLayer = "ORVEX-ROADS";              // normal roads, 3D polylines
inline constexpr const char* kDxfFixedFlowLayer = "ORVEX-FIXED-FLOW";    // fixed-flow roads, 3D polylines
inline constexpr const char* kDxfNodeLayer = "ORVEX-NODES";              // nodes, points
inline constexpr const char* kDxfFanLayer = "ORVEX-FANS";                // fans: a line inlet to outlet and a circle
inline constexpr const char* kDxfNodeNumberLayer = "ORVEX-NODE-NUMBERS"; // node numbers, text
inline constexpr const char* kDxfRoadNameLayer = "ORVEX-ROAD-NAMES";     // road names, text

// Writes the plan: roads as 3D polylines from node to node through their
// bending points (whose elevations are interpolated along the road), nodes
// as points at their elevations, fans, node numbers and road names. The file
// is written whole or not at all; false with the reason in error.
bool exportDxf(const CBriscoDoc& doc, const std::string& path, std::string& error);

}  // namespace orvex::exchange
