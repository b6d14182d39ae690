#pragma once

#include <string>
#include <vector>

#include "control/results.h"
#include "escape/escape.h"

// The window's escape routes after a fire run: the table of every
// underground node's way out, and what the plan shows of them.
namespace orvex {

// A fire run's results are in the document: the simulation ran in this
// window since the network was read (its hazards are not kept in files).
bool escapeAvailable(const CBriscoDoc& doc);

enum class EscapeColumn { Node, Destination, Route, Length, Time, Margin, Safe };

struct EscapeOutcome {
    std::vector<EscapeRoute> routes;  // every underground node's, in node order
    ResultsTable table;               // a row per route
    std::string message;              // why there are none, or the search's warnings
};
// The ways out of every underground node of a document after its fire run.
EscapeOutcome escapeRoutes(const CBriscoDoc& doc);

// What the plan shows: the way out of `node` (its roads by the minute the
// walker leaves each) and every node's state (no safe way, little to spare,
// enough), into the document's EscapeWork.
void showEscapeWork(CBriscoDoc& doc, const std::vector<EscapeRoute>& routes, int node);

}  // namespace orvex
