#include "app/briscoapp.h"

#include <clocale>

#include "app/mainframe.h"
#include "model/units.h"

namespace orvex::gui {

CBriscoApp::CBriscoApp(Profile& profile, Reporter& reporter, FileDialogs& files)
    : mServices{mApp, profile, reporter, files, {}, {}}
{
    // The network files are written and read with the C library's number
    // formats: never with a decimal comma, whatever the person's locale.
    // The application object has set the locale from the environment; the
    // numbers go back to "C".
    std::setlocale(LC_NUMERIC, "C");
}

CBriscoApp::~CBriscoApp() = default;

bool CBriscoApp::initInstance(const StartOptions& options)
{
    Profile& profile = mServices.profile;

    // The command line: "/dde", options, and at most one network name.
    bool dde = false;
    bool splash = options.splash;
    std::string name;
    for (const QString& argument : options.arguments) {
        if (argument == "/dde") {
            dde = true;
            splash = false;
        } else if (argument == "--no-splash") {
            splash = false;
        } else if (name.empty()) {
            name = argument.toStdString();
        }
    }

    // The program folder: from the profile when the desktop starts the
    // program for a file ("/dde"), else found from where the program runs,
    // and remembered.
    if (dde && options.arguments.size() == 1) {
        mApp.programFolder = profile.readString(kDirectorySection, kInstallEntry, "");
    } else {
        const ProgramFolderSearch search =
            findProgramFolder(options.executablePath, options.currentFolder, options.layout);
        mApp.programFolder = search.folder.empty() ? options.currentFolder : search.folder;
        profile.writeString(kDirectorySection, kInstallEntry, withoutTrailingSlash(mApp.programFolder));
    }
    mApp.programFolder = withoutTrailingSlash(mApp.programFolder);
    mApp.dataFolder = profile.readString(kDirectorySection, kDataEntry, mApp.programFolder + "/data");

    const std::string recent = profile.readString(kRecentFileSection, kRecentFileEntry, "");
    mApp.pendingFile = recent;
    mApp.pending = !recent.empty();

    // A missing units file has been reported; the program goes on with zeros.
    readUnitsFile(mApp.programFolder, mApp.units, mServices.reporter);

    mFrame = std::make_unique<CMainFrame>(mServices, splash);
    CMainFrame* frame = mFrame.get();
    mServices.openPendingInNewWindow = [frame] { frame->newWindow(); };

    // The main window shows before the first network window opens, so that
    // the plan is fitted to the window's real size.
    frame->showAtStart(options.shown);
    if (!name.empty())
        frame->openDocumentFile(name);
    else
        frame->newWindow();
    return true;
}

}  // namespace orvex::gui
