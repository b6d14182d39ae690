// orvex-solve: the batch front end. Opens a network the way the window
// program's File Open does, runs what the analysis dialog's Start runs, and
// prints the results.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "analysis/rundriver.h"
#include "model/networkio.h"
#include "report.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Message boxes become lines on stderr; questions are answered No.
class ConsoleReporter : public orvex::Reporter {
public:
    void message(const std::string& text, const std::string& caption, orvex::MessageKind) override
    {
        std::cerr << caption << ": " << text << "\n";
    }
    orvex::Answer ask(const std::string& text, const std::string& caption, bool) override
    {
        std::cerr << caption << ": " << text << " (answered No)\n";
        return orvex::Answer::No;
    }
};

struct Options {
    std::string programFolder;
    std::string network;
    orvex::cli::Format format = orvex::cli::Format::Text;
    bool save = false;
    bool airflowOnly = false;
    bool timing = false;
};

constexpr const char* kUsage =
    "usage: orvex-solve [--program-folder DIR] [--format text|csv|json] [--save]\n"
    "                   [--airflow-only] [--timing] NETWORK.vad\n";

bool parseArguments(int argc, char** argv, Options& options)
{
    options.programFolder = std::filesystem::current_path().string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--program-folder" && i + 1 < argc) {
            options.programFolder = argv[++i];
        } else if (arg == "--format" && i + 1 < argc) {
            const std::string f = argv[++i];
            if (f == "text")
                options.format = orvex::cli::Format::Text;
            else if (f == "csv")
                options.format = orvex::cli::Format::Csv;
            else if (f == "json")
                options.format = orvex::cli::Format::Json;
            else
                return false;
        } else if (arg == "--save") {
            options.save = true;
        } else if (arg == "--airflow-only") {
            options.airflowOnly = true;
        } else if (arg == "--timing") {
            options.timing = true;
        } else if (arg.rfind("--", 0) == 0 || !options.network.empty()) {
            return false;
        } else {
            options.network = arg;
        }
    }
    while (options.programFolder.size() > 1 && options.programFolder.back() == '/')
        options.programFolder.pop_back();
    return !options.network.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseArguments(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }

    ConsoleReporter reporter;
    orvex::AppContext app;
    app.programFolder = options.programFolder;
    orvex::readUnitsFile(app.programFolder, app.units, reporter);
    app.pendingFile = options.network;
    app.pending = true;

    orvex::cli::Timing timing;
    auto start = Clock::now();
    auto doc = std::make_unique<orvex::CBriscoDoc>(app, reporter);
    orvex::MemoryProfile profile;
    if (!orvex::openPendingNetwork(*doc, profile)) {
        std::cerr << options.network << ": the network could not be opened\n";
        return 2;
    }
    timing.openMs = millisecondsSince(start);

    start = Clock::now();
    orvex::QuietAnalysisDialog dialog;
    const orvex::RunOutcome outcome = orvex::runAnalysis(*doc, dialog, options.airflowOnly);
    timing.analysisMs = millisecondsSince(start);
    if (outcome.refused)
        return 2;

    if (options.save) {
        start = Clock::now();
        const int saved = orvex::saveNetwork(*doc, doc->baseName);
        timing.saveMs = millisecondsSince(start);
        if (!saved)
            return 2;
    }

    doc->computeRelativePressures();
    orvex::cli::RunReport report;
    report.doc = doc.get();
    report.outcome = outcome;
    if (options.timing) {
        report.timing = timing;
        if (options.format != orvex::cli::Format::Json)
            std::cerr << "timing: open " << timing.openMs << " ms, analysis " << timing.analysisMs
                      << " ms, save " << timing.saveMs << " ms\n";
    }
    orvex::cli::printReport(std::cout, report, options.format);
    if (outcome.result == 1)
        return 0;
    return outcome.result == -1 ? 1 : 2;
}
