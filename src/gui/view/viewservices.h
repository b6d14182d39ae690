#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/exchange.h"
#include "display/displaysettings.h"
#include "edit/editor.h"
#include "edit/fancurve.h"
#include "model/appcontext.h"
#include "model/profile.h"
#include "model/reporter.h"

class QWidget;

// What a network view needs from the program around it: the application's
// values, the profile, the message boxes, the file dialogs, and a way to
// have the main frame open the pending file in a new window.
namespace orvex::gui {

class CBriscoView;
class PrintServices;

// The open and save dialogs of networks; nullopt when cancelled. A dialog
// starts in the folder startFolder, or, when that names a file, in the
// file's folder with its name filled in. The program shows QFileDialogs;
// tests answer themselves.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::string> openNetwork(QWidget* parent, const std::string& startFolder) = 0;
    virtual std::optional<std::string> saveNetwork(QWidget* parent, const std::string& startFolder) = 0;
    // A file (a folder for tables) to import from or export to.
    virtual std::optional<std::string> exchangeFile(QWidget* parent, ExchangeFormat format, bool save,
                                                    const std::string& startFolder) = 0;
    // A ventilation survey (CSV) to calibrate the network against.
    virtual std::optional<std::string> surveyFile(QWidget* parent, const std::string& startFolder) = 0;
};

// The filter and default extension of every network file dialog.
inline const char* const kNetworkFilter = "network data (*.vad)";
inline const char* const kNetworkExtension = "vad";

class PlatformFileDialogs : public FileDialogs {
public:
    std::optional<std::string> openNetwork(QWidget* parent, const std::string& startFolder) override;
    std::optional<std::string> saveNetwork(QWidget* parent, const std::string& startFolder) override;
    std::optional<std::string> exchangeFile(QWidget* parent, ExchangeFormat format, bool save,
                                            const std::string& startFolder) override;
    std::optional<std::string> surveyFile(QWidget* parent, const std::string& startFolder) override;
};

struct ViewServices {
    AppContext& app;
    Profile& profile;
    Reporter& reporter;
    FileDialogs& files;
    // Opens the application's pending file in a new network window.
    std::function<void()> openPendingInNewWindow;
    SharedEditState sharedEdit;  // what every view's editor shares
    // Starts outside programs (the fan curve viewer); nullptr: detached
    // processes of the system.
    ProgramStarter* programs = nullptr;
    // The edit dialogs; nullptr: the view's own modal dialogs.
    EditDialogs* editDialogs = nullptr;
    // The printer and the dialogs of printing and export; nullptr: the
    // program's, shared by every window.
    PrintServices* printing = nullptr;
    SharedDisplay sharedDisplay{};  // what every view draws with alike
    std::vector<CBriscoView*> views{};  // every open view, which adds itself
};

}  // namespace orvex::gui
