#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include <vector>

#include "checks/checks.h"
#include "display/quantitynames.h"
#include "escapereport.h"
#include "run/rundriver.h"

// The results of one batch run, printed as a text report, CSV or JSON. The
// three carry the same quantities in the same units; docs/report.md lists
// every field.
namespace orvex::cli {

struct Timing {
    double openMs = 0, analysisMs = 0, saveMs = 0;
};

struct RunReport {
    const CBriscoDoc* doc = nullptr;  // the analysed network (relative pressures already computed)
    RunOutcome outcome;
    std::optional<Timing> timing;     // only with --timing
    std::vector<Finding> checks;      // the design checks' findings
    CheckDefaults checkDefaults;      // and the limits, efficiencies and prices they used
    CheckOverrides checkOverrides;
    std::optional<EscapeResults> escape;  // only with --escape, after a fire run
};

enum class Format { Text, Csv, Json };

void printReport(std::ostream& out, const RunReport& report, Format format);

// The natural draught of the network in the display pressure unit: the
// pressure that the weight of the air adds along its way, averaged over the
// air entering from the surface,
//   (Σ roads Pn × M + Σ surface nodes (P − Pmin) × M_out) / M_in,
// with Pn = (z_first − z_second) × density each normal road's natural
// draught and M its mass flow, M_out the mass flow a surface node gives to
// the network (negative where air leaves it), Pmin the lowest surface
// pressure and M_in the sum of the positive M_out. For air that takes a
// single way from one intake to one exit it is the natural draught of that
// way, the outside air column between the two surface nodes included;
// positive helps the air along the way it flows. 0 when no air enters.
double networkNaturalDraught(const CBriscoDoc& doc);

}  // namespace orvex::cli
