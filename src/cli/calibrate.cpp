// --calibrate: the network's resistances (and fan pressures) fitted to a
// survey; the fitted network is written under the output's name only when
// the fit converged. The report goes to standard output.
#include <atomic>
#include <csignal>
#include <iostream>
#include <sstream>

#include "analysis/analysisdialog.h"
#include "batch.h"
#include "calibration/calibration.h"
#include "calibrationreport.h"
#include "model/networkio.h"
#include "run/rundriver.h"

namespace orvex::cli {

namespace {

// Set by Ctrl+C while the fit runs: it stops between iterations and reports
// where it got to, and nothing is written.
std::atomic<bool> interrupted{false};

extern "C" void interrupt(int)
{
    interrupted = true;
}

// The --fit terms with the prior and bounds given; false once said why not.
bool fitTermsOf(const CalibrationOptions& c, FitTerms& terms)
{
    terms = defaultFitTerms();
    terms.priorPercent = c.priorPercent;
    terms.lowFactor = c.lowFactor;
    terms.highFactor = c.highFactor;
    terms.iterationLimit = c.iterations;
    std::string error;
    if (c.fit.empty() || parseFitTerms(c.fit, terms, error))
        return true;
    fail(error);
    return false;
}

// The survey, its damaged lines said on standard error; false once said why
// it cannot be used.
bool surveyOf(const std::string& path, Survey& survey)
{
    SurveyRead read = readSurvey(path);
    if (!read.error.empty()) {
        fail(read.error);
        return false;
    }
    for (const std::string& w : read.survey.warnings)
        std::cerr << "orvex-solve: warning: " << w << "\n";
    survey = std::move(read.survey);
    return true;
}

CalibrationResult fit(const CBriscoDoc& doc, const Survey& survey, const FitTerms& terms)
{
    interrupted = false;
    const auto before = std::signal(SIGINT, interrupt);
    CalibrationResult result = calibrate(doc, survey, terms, &interrupted);
    std::signal(SIGINT, before == SIG_ERR ? SIG_DFL : before);
    return result;
}

// The fitted values into the network, solved again so that its results file
// holds the fitted network's airflows, and saved under the output's name.
bool writeFitted(CBriscoDoc& doc, const CalibrationResult& result, const Options& options,
                 ConsoleReporter& reporter)
{
    applyCalibration(doc, result);
    doc.solverMethod = options.method;
    QuietAnalysisDialog dialog;
    const RunOutcome outcome = runAnalysis(doc, dialog, true);
    if (outcome.result != 1) {
        fail(options.output + ": not written: the fitted network does not converge in a run of its own");
        return false;
    }
    return saveAs(doc, options, reporter, false);
}

}  // namespace

int runCalibration(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    const auto doc = openNetwork(app, reporter, options.network);
    FitTerms terms;
    Survey survey;
    if (!doc || !mayWrite(*doc, options) || !fitTermsOf(options.calibration, terms) ||
        !surveyOf(options.calibration.survey, survey))
        return kExitBadInput;

    CalibrationReport report;
    report.doc = doc.get();
    report.network = options.network;
    report.survey = options.calibration.survey;
    report.fit = options.calibration.fit;
    report.terms = terms;
    report.result = fit(*doc, survey, terms);
    const CalibrationResult& result = report.result;
    if (!result.error.empty())
        return fail(options.network + ": " + result.error);
    report.warnings = survey.warnings;
    report.warnings.insert(report.warnings.end(), result.warnings.begin(), result.warnings.end());

    // What the report takes from the network (units, heading, road ends) the
    // fitted values leave as they were.
    int status = kExitConverged;
    if (!result.usable()) {
        std::cerr << "orvex-solve: " << (result.stopped ? "the fit was stopped" : "the fit did not converge")
                  << " after " << result.iterations << (result.iterations == 1 ? " iteration" : " iterations")
                  << "; nothing written\n";
        status = kExitNotConverged;
    } else {
        if (!writeFitted(*doc, result, options, reporter))
            status = kExitBadInput;
        else
            report.written = doc->companionPath(baseNameOf(options.output), "vad");
    }
    std::ostringstream text;
    printCalibration(text, report, options.format);
    std::cout << text.str();
    std::cout.flush();
    return status;
}

}  // namespace orvex::cli
