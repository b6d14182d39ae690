// orvex-solve: the batch front end. Opens a network the way the window
// program's File Open does, runs what the analysis dialog's Start runs, and
// prints the results.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "analysis/rundriver.h"
#include "model/networkio.h"
#include "planimage.h"
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
    std::string plan;  // image file to draw the plan into
    orvex::cli::PlanOptions planOptions;
};

constexpr const char* kUsage =
    "usage: orvex-solve [--program-folder DIR] [--format text|csv|json] [--save]\n"
    "                   [--airflow-only] [--timing]\n"
    "                   [--plan FILE.png|FILE.pdf [--size WxH] [--above K] [--below K]\n"
    "                    [--nodes K] [--digits N] [--print-colours]] NETWORK.vad\n";

bool parseWhole(const char* text, int low, int high, int& value)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high)
        return false;
    value = int(v);
    return true;
}

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
        } else if (arg == "--plan" && i + 1 < argc) {
            options.plan = argv[++i];
        } else if (arg == "--size" && i + 1 < argc) {
            const std::string size = argv[++i];
            const std::size_t x = size.find('x');
            if (x == std::string::npos ||
                !parseWhole(size.substr(0, x).c_str(), 16, 20000, options.planOptions.width) ||
                !parseWhole(size.substr(x + 1).c_str(), 16, 20000, options.planOptions.height))
                return false;
        } else if (arg == "--above" && i + 1 < argc) {
            if (!parseWhole(argv[++i], 0, 19, options.planOptions.aboveKind))
                return false;
        } else if (arg == "--below" && i + 1 < argc) {
            if (!parseWhole(argv[++i], 0, 19, options.planOptions.belowKind))
                return false;
        } else if (arg == "--nodes" && i + 1 < argc) {
            if (!parseWhole(argv[++i], 0, 10, options.planOptions.nodeKind))
                return false;
        } else if (arg == "--digits" && i + 1 < argc) {
            if (!parseWhole(argv[++i], 0, 7, options.planOptions.digits))
                return false;
        } else if (arg == "--print-colours") {
            options.planOptions.printColours = true;
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
    if (!options.plan.empty() &&
        !orvex::cli::writePlanImage(*doc, options.planOptions, options.plan, reporter))
        return 2;
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
