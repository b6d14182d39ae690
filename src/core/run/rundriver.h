#pragma once

#include <string>
#include <vector>

#include "analysis/analysisdialog.h"
#include "analysis/networkcheck.h"
#include "fire/fireobserver.h"
#include "model/briscodoc.h"

// Run control: what the analysis dialog's Start does, without the dialog.
namespace orvex {

struct RunOutcome {
    int result = 0;        // 1 converged (or the fire run ended), 0 stopped or not started, -1 iteration limit
    bool fire = false;     // the run was a fire simulation
    bool refused = false;  // the input could not be analysed; a message said why
    NetworkCheck check;    // what the check before the run found
    SolverMethod chosenMethod = SolverMethod::Newton;  // the document's solverMethod
    SolverMethod method = SolverMethod::Newton;        // the one whose results the run left (of its last solve)
    // Every warning the run gave, in the order shown: the check's, then
    // the iteration limit, what the solve found and the fans that cannot start.
    std::vector<std::string> warnings;
};

// Which method gave the results, for the analysis dialog and the report:
// "Results of the Newton method (the relaxation did not converge)"; empty
// when the run was refused.
std::string methodSummary(const RunOutcome& outcome);

// The end texts of the analysis dialog's caption.
inline const std::string kAnalyzingCaption = "Now analyzing.......";
inline const std::string kCompletedCaption = "Completed. Press the button of updating.";
inline const std::string kFireCompletedCaption = "completed";
inline const std::string kSuspendedCaption = "Suspended.";

// The run ran to its end: the airflow analysis converged, or the fire
// simulation reached its finish time or settled before it (no front left in
// any road), and the air can balance.
bool runConverged(const RunOutcome& outcome, const CBriscoDoc& doc);

// Checks what would make an analysis meaningless (unit factors of 0, roads
// without resistance) and says so in one message. What the run can go on
// with (fans without a curve, air that cannot go anywhere) is the network
// check's, warned once before the run.
bool checkAnalysisInput(CBriscoDoc& doc);

// The driver: sets the dialog up for the run, runs the airflow analysis, or
// the fire simulation when the finish time is above 0 (unless airflowOnly),
// both with the document's solverMethod (the other one where it cannot
// settle the network), warns about what the solve found and the fans that
// cannot start, and puts the dialog back with the end caption and the
// method that gave the results.
RunOutcome runDriver(CBriscoDoc& doc, AnalysisDialog& dialog, FireObserver& observer,
                     bool airflowOnly = false);

// Start: load preparation, the driver, and the document marked modified.
RunOutcome runAnalysis(CBriscoDoc& doc, AnalysisDialog& dialog, FireObserver& observer,
                       bool airflowOnly = false);
// The same for callers that draw no fire fronts.
RunOutcome runAnalysis(CBriscoDoc& doc, AnalysisDialog& dialog, bool airflowOnly = false);

}  // namespace orvex
