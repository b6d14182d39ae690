#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "analysis/rundriver.h"

// The results of one batch run, printed as a text report, CSV or JSON.
namespace orvex::cli {

struct Timing {
    double openMs = 0, analysisMs = 0, saveMs = 0;
};

struct RunReport {
    const CBriscoDoc* doc = nullptr;  // the analysed network (relative pressures already computed)
    RunOutcome outcome;
    std::optional<Timing> timing;     // only with --timing
};

enum class Format { Text, Csv, Json };

void printReport(std::ostream& out, const RunReport& report, Format format);

}  // namespace orvex::cli
