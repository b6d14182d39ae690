#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "report.h"
#include "scenario/runcases.h"

// The reports of the what-if runs: two networks compared, and the cases of
// a scenario file or a sweep against their base, as text, CSV or JSON.
// docs/scenarios.md lists every field.
namespace orvex::cli {

enum class WhatIfKind { Compare, Scenarios, Sweep };

struct WhatIfReport {
    WhatIfKind kind = WhatIfKind::Compare;
    const CBriscoDoc* base = nullptr;  // the base network, solved
    std::string baseFile, file;        // compare: the two networks; else the network
    std::string source;                // the scenario file, or the sweep's kind
    std::vector<Finding> baseFindings;
    Comparison comparison;             // compare only
    std::vector<CaseResult> cases;     // most severe first
    double thresholdPercent = 10;
    int jobs = 1;
    double fireMinutes = 0;            // a fire-nodes sweep: how long each fire burns
    bool escape = false;               // fire cases searched their ways out
};

void printWhatIf(std::ostream& out, const WhatIfReport& report, Format format);

}  // namespace orvex::cli
