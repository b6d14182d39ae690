#pragma once

#include <string>

#include "draft.h"
#include "model/units.h"

// Water networks in and out of EPANET input files (.inp).
//
// Reading: junctions become pipe junctions, reservoirs (and tanks, at their
// initial level) free surfaces, pipes ORVEX pipes of Hazen-Williams C, a
// pipe's minor loss a local-loss element (length 0, the coefficient in
// `conductivity`) after a node added at the pipe's end, throttle control
// valves local-loss elements, flow control valves fixed-flow pipes, pumps
// with a HEAD curve pumps whose curve is resampled to evenly spaced points
// in the units file's flow and pressure units. What a water network of
// ORVEX cannot hold is named, with its count, in one paragraph of the
// report. docs/epanet.md tells the mapping section by section.
namespace orvex::exchange {

// The water network of an EPANET input file as a draft (kind -9), or the
// error naming the file, the line (and column) and what is wrong there.
// `units` gives the flow and pressure units of the pump curves.
ImportResult importInp(const std::string& path, const UnitsSettings& units);

// The document's water network as the text of an EPANET input file (flows in
// LPS, lengths in m, diameters in mm, Hazen-Williams). notes says, a line
// each, what the file cannot give exactly (fixed-flow pipes, alternative
// resistances, curves EPANET reads otherwise). An air network gives an
// empty text and says so in notes.
std::string inpText(const CBriscoDoc& doc, std::string& notes);

// Writes inpText to path whole or not at all. False with the reason in
// error (an air network, a file that cannot be written).
bool exportInp(const CBriscoDoc& doc, const std::string& path, std::string& error, std::string& notes);

}  // namespace orvex::exchange
