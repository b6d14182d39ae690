#pragma once

#include "model/briscodoc.h"

namespace orvex {

class AnalysisDialog;

// Road densities and natural draught from the current node pressures.
void UpdateRoadDensities(CBriscoDoc& doc);

// Solves for node pressures, road mass flows and fan airflows with the
// document's solverMethod; when that method cannot settle the network,
// with the other one from the same start (doc.solvedBy says whose results
// the document then holds, doc.solverWarnings that it happened). The scale
// factors multiply the target accuracy, the floor of ε, the first error
// threshold and the shift bound (the last three belong to the relaxation;
// the Newton method uses only the first). 1 converged, 0 stopped, -1
// iteration limit (or a system the Newton method could not solve) with both
// methods.
int SolveNetwork(CBriscoDoc& doc, AnalysisDialog& dialog, float a1, float a2, float a3, float a4);

}  // namespace orvex
