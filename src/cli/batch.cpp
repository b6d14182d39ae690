#include "batch.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "model/fileio.h"
#include "model/networkio.h"
#include "model/programfolder.h"

namespace orvex::cli {

namespace fs = std::filesystem;

void ConsoleReporter::message(const std::string& text, const std::string& caption, MessageKind kind)
{
    std::cerr << caption << ": " << text << "\n";
    errors += kind == MessageKind::Error;
}

Answer ConsoleReporter::ask(const std::string& text, const std::string& caption, bool)
{
    std::cerr << caption << ": " << text << " (answered No)\n";
    return Answer::No;
}

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
    const InstallLayout layout{ORVEX_DATA_FROM_EXECUTABLE, ORVEX_BUILD_TREE,
                                      ORVEX_SOURCE_TREE};
    const ProgramFolderSearch search =
        findProgramFolder(executablePath(argv0), current, layout);
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

std::unique_ptr<CBriscoDoc> openNetwork(AppContext& app, ConsoleReporter& reporter, const std::string& path)
{
    if (!checkNetworkPath(path))
        return nullptr;
    app.pendingFile = path;
    app.pending = true;
    const int errorsBefore = reporter.errors;
    auto doc = std::make_unique<CBriscoDoc>(app, reporter);
    MemoryProfile profile;
    if (!openPendingNetwork(*doc, profile)) {
        fail(path + ": the network could not be opened");
        return nullptr;
    }
    if (reporter.errors > errorsBefore) {
        fail(path + ": not analysed, because of the error above");
        return nullptr;
    }
    return doc;
}

void readCheckSettings(CBriscoDoc& doc, Reporter& reporter, CheckDefaults& defaults, CheckOverrides& overrides)
{
    readCheckDefaults(doc.app().programFolder, defaults, reporter);
    readCheckOverrides(doc.baseName, overrides, reporter);
    reportUnknownOverrides(doc, overrides, reporter);
}

namespace {

// Says what the console reporter says, and answers Yes: the person asked
// with --overwrite for the files that are there to be replaced.
class ReplacingReporter : public Reporter {
public:
    explicit ReplacingReporter(ConsoleReporter& console) : mConsole(console) {}
    void message(const std::string& text, const std::string& caption, MessageKind kind) override
    {
        mConsole.message(text, caption, kind);
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::Yes; }

private:
    ConsoleReporter& mConsole;
};

// The files of the network at path that are there already, one per line.
std::string filesThere(const CBriscoDoc& doc, const std::string& base)
{
    std::string list;
    for (const char* ext : {"vad", "jpd", "apd", "pkd", "nrd", "sdt"}) {
        const std::string path = doc.existingCompanion(base, ext);
        if (fileExists(path))
            list += "\n  " + path;
    }
    return list;
}

}  // namespace

bool mayWrite(const CBriscoDoc& doc, const Options& options)
{
    const std::string there = filesThere(doc, baseNameOf(options.output));
    if (there.empty() || options.exchange.overwrite)
        return true;
    fail("these files are there already:" + there + "\n--overwrite replaces them");
    return false;
}

bool saveAs(CBriscoDoc& doc, const Options& options, ConsoleReporter& console, bool parameters)
{
    const std::string base = baseNameOf(options.output);
    ReplacingReporter replacing(console);
    Reporter& before = doc.exchangeReporter(replacing);
    const int errors = console.errors;
    const bool written = saveNetwork(doc, base) == 1 && (!parameters || doc.writeParameterFile(base) == 1);
    doc.exchangeReporter(before);
    if (written && console.errors == errors)
        return true;
    fail(doc.companionPath(base, "vad") + ": the network could not be written");
    return false;
}

bool writeReportText(const std::string& text, const Options& options)
{
    if (options.output.empty()) {
        std::cout << text;
        std::cout.flush();
        if (!std::cout) {
            fail("the report could not be written to standard output");
            return false;
        }
        return true;
    }
    std::error_code error;
    if (!writeFileSafely(options.output, text, error)) {
        fail("-o: cannot write " + options.output + ": " + failureReason(error));
        return false;
    }
    return true;
}

}  // namespace orvex::cli
