#pragma once

#include <QStringList>
#include <memory>
#include <string>

#include "model/appcontext.h"
#include "model/profile.h"
#include "model/programfolder.h"
#include "model/reporter.h"
#include "view/viewservices.h"

// The application: finds the program folder and the data folder, takes the
// last network as the pending file, reads the units settings, makes the
// main window and opens the first network window. The profile, the message
// boxes and the file dialogs are handed in, so tests run the same start-up
// with their own.
namespace orvex::gui {

class CMainFrame;

struct StartOptions {
    QStringList arguments;        // the command line after the program's name
    std::string currentFolder;    // where the program was started
    std::string executablePath;   // the program file itself
    InstallLayout layout;         // where the build put the settings files
    bool splash = true;           // show the splash picture ("/dde" and --no-splash turn it off)
    Qt::WindowStates shown = Qt::WindowNoState;  // how the main window shows without a stored placement
};

class CBriscoApp {
public:
    // Made after the QApplication: sets the numbers' locale back to "C".
    CBriscoApp(Profile& profile, Reporter& reporter, FileDialogs& files);
    ~CBriscoApp();

    // The start-up; false when the main window could not be made.
    bool initInstance(const StartOptions& options);

    AppContext& context() { return mApp; }
    ViewServices& services() { return mServices; }
    CMainFrame* mainFrame() const { return mFrame.get(); }

private:
    AppContext mApp;
    ViewServices mServices;
    std::unique_ptr<CMainFrame> mFrame;
};

}  // namespace orvex::gui
