#pragma once

#include <memory>
#include <string>

#include "checks/checks.h"
#include "model/appcontext.h"
#include "model/briscodoc.h"
#include "model/reporter.h"
#include "options.h"

// What every run of the batch tool does alike: messages on standard error,
// the program folder, opening a network, the design checks' settings, and
// the report written whole.
namespace orvex::cli {

// Message boxes become lines on stderr; questions are answered No. The
// errors are counted: the window goes on after one, the batch tool does not.
class ConsoleReporter : public Reporter {
public:
    void message(const std::string& text, const std::string& caption, MessageKind kind) override;
    Answer ask(const std::string& text, const std::string& caption, bool withCancel) override;
    int errors = 0;
};

// Says what is wrong on stderr and gives the bad-input status.
int fail(const std::string& message);

// The program folder from --program-folder, else from where the program
// is run and where it is installed; false once said why none was found.
bool chooseProgramFolder(const Options& options, const char* argv0, std::string& folder);

// The network file as the window's File Open opens it, or null once said why.
bool checkNetworkPath(const std::string& network);
std::unique_ptr<CBriscoDoc> openNetwork(AppContext& app, ConsoleReporter& reporter, const std::string& path);

// The design checks' settings: the installation's defaults and the
// network's own limits; a damaged line is said and the rest used.
void readCheckSettings(CBriscoDoc& doc, Reporter& reporter, CheckDefaults& defaults, CheckOverrides& overrides);

// The report on standard output or, with -o, into its file whole; false
// once said why it could not be written.
bool writeReportText(const std::string& text, const Options& options);

// The files of the network to be written at output that are there already
// are replaced only with --overwrite; false once said which are there.
bool mayWrite(const CBriscoDoc& doc, const Options& options);

// Saves the network under output's name as one save (its companion files
// taken along), replacing what mayWrite allowed; with parameters, its
// parameter file too. False once said why not.
bool saveAs(CBriscoDoc& doc, const Options& options, ConsoleReporter& console, bool parameters);

// --compare, --scenarios and --sweep: the exit status.
int runWhatIf(const Options& options, AppContext& app, ConsoleReporter& reporter);

// The imports and exports: the exit status.
int runExchange(const Options& options, AppContext& app, ConsoleReporter& reporter);

// --calibrate: the exit status.
int runCalibration(const Options& options, AppContext& app, ConsoleReporter& reporter);

}  // namespace orvex::cli
