#pragma once

#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "model/solvermethod.h"
#include "planimage.h"
#include "report.h"
#include "scenario/scenario.h"

// The command line of orvex-solve.
namespace orvex::cli {

// The exit status, also listed in the usage and the README.
enum ExitStatus {
    kExitConverged = 0,     // the analysis converged (a fire run reached its finish time or settled)
    kExitNotConverged = 1,  // iteration limit, a run cut short, or air that cannot balance
    kExitBadInput = 2,      // options, files or settings that cannot be used
    kExitChecksFailed = 3,  // with --fail-on-checks: a design check found a violation
};

// What-if runs: two networks compared, a scenario file, or a sweep.
enum class WhatIf { None, Compare, Scenarios, Sweep };

// Networks in and out of other files: each stands alone, without an analysis.
enum class Exchange { None, ExportTables, ImportTables, ImportDxf, ExportDxf, ImportInp, ExportInp };

struct ExchangeOptions {
    Exchange kind = Exchange::None;
    std::string file;          // the folder or file exported to or imported from
    std::string tables;        // --import-tables beside --import-dxf: matched afterwards
    std::string layers;        // --layers A,B: the drawing's layers to import
    double snap = -1;          // --snap METRES; below 0: the importer's default
    std::string depthShift;    // --depth-shift DX,DY: levels beside one another on the plan
    std::string roadDefaults;  // --road-defaults FILE
    bool overwrite = false;    // files that are there may be replaced
};

// --calibrate: the network fitted to a survey and written under another name
// (docs/calibration.md).
struct CalibrationOptions {
    std::string survey;  // the survey file; empty: no calibration
    std::string fit;     // the --fit terms; empty: every normal road
    double priorPercent = FitTerms{}.priorPercent;
    double lowFactor = FitTerms{}.lowFactor, highFactor = FitTerms{}.highFactor;
    int iterations = FitTerms{}.iterationLimit;
};

struct Options {
    std::string programFolder;  // empty: found from the current folder and the executable
    std::string network;
    Format format = Format::Text;
    std::string output;         // report file; empty: standard output
    bool save = false;
    bool airflowOnly = false;
    bool timing = false;
    bool failOnChecks = false;
    bool escape = false;        // the ways out after a fire run
    SolverMethod method = kDefaultSolverMethod;
    std::string plan;           // image file to draw the plan into; empty: none
    PlanOptions planOptions;

    WhatIf whatIf = WhatIf::None;
    std::string compareBase;    // --compare: the base network
    std::string scenarioFile;   // --scenarios
    SweepKind sweep = SweepKind::FansOff;
    std::vector<SweepItem> sweepItems;  // empty: every fan, road or underground node
    int jobs = 0;               // workers; 0: one per core
    double thresholdPercent = 10;
    bool quiet = false;         // no progress line

    ExchangeOptions exchange;   // with an import, output names the network written
    CalibrationOptions calibration;  // with --calibrate, output names the fitted network
};

enum class ParseResult {
    Run,   // options holds what to do
    Done,  // help or version was printed: exit 0
    Bad,   // a message on standard error said what was wrong: exit 2
};

ParseResult parseCommandLine(int argc, const char* const* argv, Options& options);

}  // namespace orvex::cli
