// orvex-solve: the batch front end. Opens a network the way the window
// program's File Open does, runs what the analysis dialog's Start runs, and
// prints the results.
#include <algorithm>
#include <chrono>
#include <exception>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "analysis/quantities.h"
#include "escape/escape.h"
#include "fire/fire.h"
#include "run/rundriver.h"
#include "model/networkio.h"
#include "batch.h"
#include "options.h"
#include "planimage.h"
#include "report.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace orvex::cli;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The analysis dialog nobody sees; it keeps the last status line, which
// says why a run ended early.
class BatchDialog : public orvex::QuietAnalysisDialog {
public:
    void setStatusLine(const std::string& text) override { lastStatus = text; }
    std::string lastStatus;
};

// A fire run that ended early because its air settled has done its work.
bool completed(const orvex::RunOutcome& outcome, const orvex::CBriscoDoc& doc)
{
    return outcome.result == 1 || (outcome.fire && outcome.result == 0 && fireWork(doc).settled);
}

int exitStatus(const orvex::RunOutcome& outcome, const orvex::CBriscoDoc& doc)
{
    if (outcome.refused)
        return kExitBadInput;
    if (completed(outcome, doc) && !outcome.check.airCannotBalance)
        return kExitConverged;
    return kExitNotConverged;
}

// The network opened and checked for analysis, or null once said why.
std::unique_ptr<orvex::CBriscoDoc> openForAnalysis(orvex::AppContext& app, ConsoleReporter& reporter,
                                                   const Options& options, Timing& timing)
{
    const auto start = Clock::now();
    auto doc = openNetwork(app, reporter, options.network);
    if (!doc)
        return nullptr;
    timing.openMs = millisecondsSince(start);

    if (doc->fire.finishTime > 0 && !options.airflowOnly && doc->nodeIndex(doc->fire.fireNode) == 0) {
        fail(doc->baseName + "sdt: the fire node " + std::to_string(doc->fire.fireNode) +
             " is not in the network");
        return nullptr;
    }
    if (options.escape && !(doc->fire.finishTime > 0)) {
        fail(doc->baseName + "sdt: --escape needs a fire run, and the parameter file sets no finish time "
                             "(firetime)");
        return nullptr;
    }
    return doc;
}

// The ways out from every underground node after the fire run, the search's
// warnings on standard error; false once said why there are none.
bool escapeRoutes(const orvex::CBriscoDoc& doc, RunReport& report)
{
    const orvex::EscapeSearch search(doc);
    for (const std::string& warning : search.warnings())
        std::cerr << "orvex-solve: warning: " << warning << "\n";
    if (!search.error().empty()) {
        fail(search.error());
        return false;
    }
    report.escape = EscapeResults{search.settings(), search.fromUnderground()};
    return true;
}

// The design checks with the installation's defaults and the network's own
// limits; a damaged line of their files is said and the rest used.
void designChecks(orvex::CBriscoDoc& doc, ConsoleReporter& reporter, RunReport& report)
{
    readCheckSettings(doc, reporter, report.checkDefaults, report.checkOverrides);
    report.checks = orvex::runChecks(doc, report.checkDefaults, report.checkOverrides);
}

// The plan image and the saved results the options ask for; false once said
// why one could not be written.
bool writeFiles(orvex::CBriscoDoc& doc, const Options& options, ConsoleReporter& reporter, Timing& timing)
{
    if (!options.plan.empty()) {
        const std::string failure = writePlanImage(doc, options.planOptions, options.plan, reporter);
        if (!failure.empty()) {
            fail("--plan: cannot write " + options.plan + ": " + failure);
            return false;
        }
    }
    if (options.save) {
        const auto start = Clock::now();
        const int saved = orvex::saveNetwork(doc, doc.baseName);
        timing.saveMs = millisecondsSince(start);
        if (!saved) {
            fail(doc.companionPath(doc.baseName, "vad") + ": the results could not be saved");
            return false;
        }
    }
    return true;
}

// The report on standard output or, with -o, into its file whole.
bool writeReport(const RunReport& report, const Options& options)
{
    if (report.timing && options.format != Format::Json)
        std::cerr << "timing: open " << report.timing->openMs << " ms, analysis " << report.timing->analysisMs
                  << " ms, save " << report.timing->saveMs << " ms\n";
    std::ostringstream text;
    printReport(text, report, options.format);
    return writeReportText(text.str(), options);
}

int run(int argc, char** argv)
{
    Options options;
    switch (parseCommandLine(argc, argv, options)) {
    case ParseResult::Done: return kExitConverged;
    case ParseResult::Bad: return kExitBadInput;
    case ParseResult::Run: break;
    }

    ConsoleReporter reporter;
    orvex::AppContext app;
    if (!chooseProgramFolder(options, argv[0], app.programFolder))
        return kExitBadInput;
    if (!orvex::readUnitsFile(app.programFolder, app.units, reporter))
        return fail("the units settings " + app.programFolder + orvex::kUnitsFileName +
                    " could not be read");
    if (options.exchange.kind != Exchange::None)
        return runExchange(options, app, reporter);
    if (!options.calibration.survey.empty())
        return runCalibration(options, app, reporter);
    if (options.whatIf != WhatIf::None)
        return runWhatIf(options, app, reporter);

    Timing timing;
    const auto doc = openForAnalysis(app, reporter, options, timing);
    if (!doc)
        return kExitBadInput;
    doc->solverMethod = options.method;
    const auto start = Clock::now();
    BatchDialog dialog;
    const orvex::RunOutcome outcome = orvex::runAnalysis(*doc, dialog, options.airflowOnly);
    timing.analysisMs = millisecondsSince(start);
    if (outcome.refused)
        return kExitBadInput;
    if (!completed(outcome, *doc) && outcome.result == 0)
        std::cerr << "orvex-solve: the run did not complete: " << dialog.lastStatus << "\n";
    RunReport report;
    if (completed(outcome, *doc))
        designChecks(*doc, reporter, report);
    if (options.escape && !escapeRoutes(*doc, report))
        return kExitBadInput;
    orvex::checkWork(*doc).findings = report.checks;  // for a plan coloured by them
    orvex::checkWork(*doc).ranBefore = true;
    if (!writeFiles(*doc, options, reporter, timing))
        return kExitBadInput;

    computeRelativePressures(*doc);
    report.doc = doc.get();
    report.outcome = outcome;
    if (options.timing)
        report.timing = timing;
    if (!writeReport(report, options))
        return kExitBadInput;
    const int status = exitStatus(outcome, *doc);
    const auto violations = std::count_if(report.checks.begin(), report.checks.end(),
                                          [](const orvex::Finding& f) { return f.severity == orvex::Severity::Violation; });
    if (status != kExitConverged || !options.failOnChecks || violations == 0)
        return status;
    std::cerr << "orvex-solve: " << violations << " design-check violation" << (violations == 1 ? "" : "s")
              << ": see the report's checks\n";
    return kExitChecksFailed;
}

}  // namespace

int main(int argc, char** argv)
{
    // Nothing the files hold may end the program without a word.
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        return fail(std::string("stopped by an unexpected error: ") + e.what());
    }
}
