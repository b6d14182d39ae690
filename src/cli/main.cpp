// orvex-solve: the batch front end. Opens a network the way the window
// program's File Open does, runs what the analysis dialog's Start runs, and
// prints the results.
#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>

#include "analysis/quantities.h"
#include "fire/fire.h"
#include "run/rundriver.h"
#include "model/fileio.h"
#include "model/networkio.h"
#include "model/programfolder.h"
#include "options.h"
#include "planimage.h"
#include "report.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace orvex::cli;
namespace fs = std::filesystem;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Message boxes become lines on stderr; questions are answered No. The
// errors are counted: the window goes on after one, the batch tool does not.
class ConsoleReporter : public orvex::Reporter {
public:
    void message(const std::string& text, const std::string& caption, orvex::MessageKind kind) override
    {
        std::cerr << caption << ": " << text << "\n";
        errors += kind == orvex::MessageKind::Error;
    }
    orvex::Answer ask(const std::string& text, const std::string& caption, bool) override
    {
        std::cerr << caption << ": " << text << " (answered No)\n";
        return orvex::Answer::No;
    }
    int errors = 0;
};

// The analysis dialog nobody sees; it keeps the last status line, which
// says why a run ended early.
class BatchDialog : public orvex::QuietAnalysisDialog {
public:
    void setStatusLine(const std::string& text) override { lastStatus = text; }
    std::string lastStatus;
};

int fail(const std::string& message)
{
    std::cerr << "orvex-solve: " << message << "\n";
    return kExitBadInput;
}

// The program folder from --program-folder, else from where the program
// is run and where it is installed.
bool chooseProgramFolder(const Options& options, const char* argv0, std::string& folder)
{
    if (!options.programFolder.empty()) {
        folder = options.programFolder;
        return true;
    }
    std::error_code ec;
    const std::string current = fs::current_path(ec).string();
    const orvex::InstallLayout layout{ORVEX_DATA_FROM_EXECUTABLE, ORVEX_BUILD_TREE,
                                      ORVEX_SOURCE_TREE};
    const orvex::ProgramFolderSearch search =
        orvex::findProgramFolder(orvex::executablePath(argv0), current, layout);
    if (!search.folder.empty()) {
        folder = search.folder;
        return true;
    }
    std::string tried;
    for (const std::string& f : search.tried)
        tried += "\n  " + f;
    fail("no program folder found: none of these holds sdt/units.sdt:" + tried +
         "\nGive the folder with --program-folder DIR.");
    return false;
}

bool checkNetworkPath(const std::string& network)
{
    std::error_code ec;
    if (fs::is_directory(network, ec)) {
        fail(network + " is a folder, not a network file; give the .vad file to analyse");
        return false;
    }
    if (!fs::exists(network, ec)) {
        fail(network + ": no such file");
        return false;
    }
    return true;
}

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
    auto doc = std::make_unique<orvex::CBriscoDoc>(app, reporter);
    orvex::MemoryProfile profile;
    if (!orvex::openPendingNetwork(*doc, profile)) {
        fail(options.network + ": the network could not be opened");
        return nullptr;
    }
    if (reporter.errors > 0) {
        fail(options.network + ": not analysed, because of the error above");
        return nullptr;
    }
    timing.openMs = millisecondsSince(start);

    if (doc->fire.finishTime > 0 && !options.airflowOnly && doc->nodeIndex(doc->fire.fireNode) == 0) {
        fail(doc->baseName + "sdt: the fire node " + std::to_string(doc->fire.fireNode) +
             " is not in the network");
        return nullptr;
    }
    return doc;
}

// The design checks with the installation's defaults and the network's own
// limits; a damaged line of their files is said and the rest used.
void designChecks(orvex::CBriscoDoc& doc, ConsoleReporter& reporter, RunReport& report)
{
    orvex::readCheckDefaults(doc.app().programFolder, report.checkDefaults, reporter);
    orvex::readCheckOverrides(doc.baseName, report.checkOverrides, reporter);
    orvex::reportUnknownOverrides(doc, report.checkOverrides, reporter);
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
    if (options.output.empty()) {
        printReport(std::cout, report, options.format);
        std::cout.flush();
        if (!std::cout) {
            fail("the report could not be written to standard output");
            return false;
        }
        return true;
    }
    std::ostringstream text;
    printReport(text, report, options.format);
    std::error_code error;
    if (!orvex::writeFileSafely(options.output, text.str(), error)) {
        fail("-o: cannot write " + options.output + ": " + orvex::failureReason(error));
        return false;
    }
    return true;
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
    if (!checkNetworkPath(options.network))
        return kExitBadInput;
    if (!orvex::readUnitsFile(app.programFolder, app.units, reporter))
        return fail("the units settings " + app.programFolder + orvex::kUnitsFileName +
                    " could not be read");
    app.pendingFile = options.network;
    app.pending = true;

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
