#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "checks/checks.h"
#include "run/rundriver.h"
#include "scenario/compare.h"
#include "scenario/scenario.h"

// Runs what-if cases against a base run, on every core: each case on a copy
// of the base network of its own, so that the results are the same whatever
// the number of workers and the order they finish in.
namespace orvex {

// A road that fire gas reached in a fire case.
struct GasReach {
    int road = 0, first = 0, second = 0;
    double arrival = 0;  // min after the fire started
    double peakGas = 0;  // %
};

struct CaseResult {
    std::string name;
    bool fire = false;
    bool run = false;        // false: a change could not be made, or the run was stopped
    bool converged = false;  // the run converged (a fire reached its finish time or settled)
    std::string problem;     // why it was not run or did not converge
    std::vector<std::string> warnings;  // what the run warned of
    std::vector<Finding> findings;      // its design checks
    Comparison comparison;              // against the base run
    std::vector<GasReach> gas;          // fire cases: the roads gas reached, earliest first
    // Fire cases with CaseSettings::escape: the underground nodes (numbers,
    // ascending) from which a destination can be reached but no way out stays
    // tenable; or why the ways out were not searched.
    std::vector<int> noSafeWay;
    std::string escapeProblem;
    // What changed beyond the threshold, for sorting by severity.
    int violationsAppeared = 0, warningsAppeared = 0, reversed = 0, belowLimit = 0, changed = 0;
    double largestChange = 0;  // |change| of any road, in the flow unit
};

struct CaseSettings {
    int jobs = 0;                   // workers; 0: one per core
    double thresholdPercent = 10;   // a road changed beyond this share of its base flow (changedBeyond)
    CheckDefaults defaults;         // of the design checks of the base and every case
    CheckOverrides overrides;
    // Called after each case (from the worker that ran it, one call at a time).
    std::function<void(int done, int total)> progress;
    const std::atomic<bool>* stop = nullptr;  // set: the cases not yet finished are not run
    bool escape = false;  // fire cases search the ways out of every underground node
};

// The largest number of workers a run is given.
constexpr int kMaxJobs = 256;
// The workers for `cases` cases: the request (0 for one per core), never
// more than the cases or kMaxJobs.
int workerCount(int requested, int cases);

// The base: the airflow analysis of `base` (a fire the network's own
// parameters set is left to the fire cases) and its design checks.
struct BaseRun {
    RunOutcome outcome;
    bool converged = false;
    std::vector<Finding> findings;
};
BaseRun runBase(CBriscoDoc& base, const CheckDefaults& defaults, const CheckOverrides& overrides);

// Runs each scenario on a copy of the solved base, in the scenarios' order.
std::vector<CaseResult> runCases(const CBriscoDoc& base, const std::vector<Finding>& baseFindings,
                                 const std::vector<Scenario>& scenarios, const CaseSettings& settings);

// Most severe first: cases that were not run or did not converge, then by
// the check violations that appear, the roads fire gas reached, the check
// warnings that appear, roads reversed, roads fallen below a limit, roads
// changed beyond the threshold and the largest change, each deciding only
// where the ones before are equal. Equal cases keep their order.
void sortBySeverity(std::vector<CaseResult>& cases);

}  // namespace orvex
