// --compare, --scenarios and --sweep: the base run, the cases on every core
// with a progress line, and the report.
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <sstream>

#include "batch.h"
#include "whatifreport.h"

namespace orvex::cli {

namespace {

using Clock = std::chrono::steady_clock;

// "12/49 cases" on a terminal's standard error, once the cases have taken
// half a second; nothing when it is not a terminal or with --quiet.
class ProgressLine {
public:
    explicit ProgressLine(bool quiet) : mShown(!quiet && isatty(STDERR_FILENO)) {}
    ~ProgressLine()
    {
        if (mWritten)
            std::cerr << "\n";
    }
    void update(int done, int total)
    {
        if (!mShown || Clock::now() - mStart < std::chrono::milliseconds(500))
            return;
        std::cerr << "\r" << done << "/" << total << " cases" << std::flush;
        mWritten = true;
    }

private:
    bool mShown, mWritten = false;
    Clock::time_point mStart = Clock::now();
};

// A network opened, its checks' settings read and its base run made; null
// once said why it cannot serve as a base.
struct Solved {
    std::unique_ptr<CBriscoDoc> doc;
    CheckDefaults defaults;
    CheckOverrides overrides;
    BaseRun run;
};

bool solve(const std::string& path, const Options& options, AppContext& app, ConsoleReporter& reporter,
           Solved& solved, int& status)
{
    solved.doc = openNetwork(app, reporter, path);
    status = kExitBadInput;
    if (!solved.doc)
        return false;
    solved.doc->solverMethod = options.method;
    readCheckSettings(*solved.doc, reporter, solved.defaults, solved.overrides);
    solved.run = runBase(*solved.doc, solved.defaults, solved.overrides);
    if (solved.run.outcome.refused)
        return false;
    if (!solved.run.converged) {
        fail(path + ": the airflow analysis did not converge, so there is nothing to compare against");
        status = kExitNotConverged;
        return false;
    }
    return true;
}

bool readCases(const Options& options, const CBriscoDoc& doc, std::vector<Scenario>& cases, std::string& source)
{
    if (options.whatIf == WhatIf::Scenarios) {
        std::vector<std::string> errors;
        source = options.scenarioFile;
        if (readScenarioFile(options.scenarioFile, cases, errors))
            return true;
        for (const std::string& e : errors)
            std::cerr << "orvex-solve: " << e << "\n";
        return false;
    }
    source = sweepKindName(options.sweep);
    cases = sweepScenarios(doc, options.sweep, options.sweepItems);
    if (!cases.empty())
        return true;
    fail(options.network + ": nothing to sweep: the network has no " +
         (options.sweep == SweepKind::FansOff ? "fan" : options.sweep == SweepKind::RoadsClosed ? "normal road"
                                                                                               : "underground node"));
    return false;
}

int caseStatus(const Options& options, const std::vector<CaseResult>& cases)
{
    int failed = 0, violations = 0;
    for (const CaseResult& c : cases) {
        failed += !c.converged;
        violations += c.violationsAppeared > 0;
    }
    if (failed > 0) {
        std::cerr << "orvex-solve: " << failed << " of " << cases.size()
                  << " cases did not converge or could not be made: see the report\n";
        return kExitNotConverged;
    }
    if (options.failOnChecks && violations > 0) {
        std::cerr << "orvex-solve: " << violations << " cases add a design-check violation: see the report\n";
        return kExitChecksFailed;
    }
    return kExitConverged;
}

bool print(const WhatIfReport& report, const Options& options)
{
    std::ostringstream text;
    printWhatIf(text, report, options.format);
    return writeReportText(text.str(), options);
}

}  // namespace

int runWhatIf(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    int status = kExitBadInput;
    Solved network;
    WhatIfReport report;
    report.file = options.network;
    report.thresholdPercent = options.thresholdPercent;
    if (options.whatIf == WhatIf::Compare) {
        Solved base;
        if (!solve(options.compareBase, options, app, reporter, base, status) ||
            !solve(options.network, options, app, reporter, network, status))
            return status;
        report.kind = WhatIfKind::Compare;
        report.base = base.doc.get();
        report.baseFile = options.compareBase;
        report.baseFindings = base.run.findings;
        report.comparison = compareRuns(*base.doc, base.run.findings, *network.doc, network.run.findings);
        return print(report, options) ? kExitConverged : kExitBadInput;
    }
    if (!solve(options.network, options, app, reporter, network, status))
        return status;
    std::vector<Scenario> scenarios;
    if (!readCases(options, *network.doc, scenarios, report.source))
        return kExitBadInput;
    report.kind = options.whatIf == WhatIf::Sweep ? WhatIfKind::Sweep : WhatIfKind::Scenarios;
    report.base = network.doc.get();
    report.baseFindings = network.run.findings;
    report.jobs = workerCount(options.jobs, int(scenarios.size()));
    report.escape = options.escape;
    if (options.whatIf == WhatIf::Sweep && options.sweep == SweepKind::FireNodes)
        report.fireMinutes = network.doc->fire.finishTime > 0 ? network.doc->fire.finishTime : kDefaultFireMinutes;
    CaseSettings settings;
    settings.jobs = report.jobs;
    settings.thresholdPercent = options.thresholdPercent;
    settings.escape = options.escape;
    settings.defaults = network.defaults;
    settings.overrides = network.overrides;
    {
        ProgressLine progress(options.quiet);
        settings.progress = [&progress](int done, int total) { progress.update(done, total); };
        report.cases = runCases(*network.doc, network.run.findings, scenarios, settings);
    }
    sortBySeverity(report.cases);
    if (!print(report, options))
        return kExitBadInput;
    return caseStatus(options, report.cases);
}

}  // namespace orvex::cli
