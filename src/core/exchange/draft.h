#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/briscodoc.h"

// A network as an importer gathers it, element by element, before it
// becomes a document: the tables, the DXF and the water-network importers
// fill a draft and storeDraft checks it whole and puts it into a document.
namespace orvex::exchange {

struct DraftNode {
    int number = 0;
    bool surface = false;
    float elevation = 0;  // m
    float x = 0, y = 0;   // plan position, m
};

struct DraftRoad {
    int first = 0, second = 0;
    bool fixedFlow = false;
    // resistance (a fixed-flow road's: its airflow), altResistance,
    // temperature, area, length, conductivity and name are taken.
    Road values;
    // Bending points from the first node towards the second.
    std::vector<BendSlot> bends;
};

struct DraftFan {
    int inlet = 0, outlet = 0;
    std::string heading = "Fan:\n";  // with its line end
    float flowStep = 0;               // user flow unit between points
    std::vector<float> curve;         // pressure at 0, flowStep, 2·flowStep, ...
};

struct NetworkDraft {
    // Heading lines 1..10 with their line ends; an empty one keeps the
    // document's.
    std::array<std::string, kGeneralHeadings + 1> headings;
    std::optional<int> kind;
    std::optional<float> surfaceTemperature;
    std::vector<DraftNode> nodes;  // surface nodes go first, each group in this order
    std::vector<DraftRoad> roads;  // normal roads go first, each group in this order
    std::vector<DraftFan> fans;
};

// What an importer made of a file: a draft (ok) and, for the person, what
// it made and what it left out; or, when nothing could be made, the error
// (the file, the line and what is wrong there).
struct ImportResult {
    bool ok = false;
    NetworkDraft draft;
    std::string report;
    std::string error;
};

// Room the network's arrays leave, for importers that stop at it.
struct DraftRoom {
    int nodes = kMaxNodes - 1;
    int roads = kMaxRoads - 1;
    int bendSlots = kMaxBendSlots - 1;
    int fans = kMaxFans - 1;
    int fanPoints = kMaxFanPoints;
};

// Checks the draft whole (node numbers 0..1499 given once, road and fan ends
// that are nodes of the draft, the arrays' room, the fans' points) and, when
// it passes, replaces the document's network with it: nodes, roads with
// their names, alternative resistances and bending points, fans, headings,
// kind and surface temperature; then prepares it as an opened network is
// (adjacency, starting pressures, water resistances). The document keeps its
// parameters; a not-useable road stays one where a normal road joins the
// same nodes, and is dropped where none does. Its saves write the road names
// (CBriscoDoc::writesRoadNames). An
// empty string when stored, else what is wrong (the document is unchanged).
std::string storeDraft(const NetworkDraft& draft, CBriscoDoc& doc);

// What a network holds, as an import reports it: "50 nodes (5 on the
// surface), 64 roads, 2 fixed-flow roads, 2 fans" (a water network's free
// surfaces, pipes and pumps).
std::string networkSummary(const CBriscoDoc& doc);

// Lays the levels of a mine beside one another on the plan, as an oblique
// view does: each node moves by (xPerMetre, yPerMetre) for every metre it
// lies below the draft's highest node; a bending point moves as its road's
// ends do, in proportion to its distance along the road.
void shiftByDepth(NetworkDraft& draft, double xPerMetre, double yPerMetre);

// The document's network as a draft (the inverse of storeDraft).
NetworkDraft draftOf(const CBriscoDoc& doc);

}  // namespace orvex::exchange
