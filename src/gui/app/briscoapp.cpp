#include "app/briscoapp.h"

#include <clocale>
#include <vector>

#include "app/mainframe.h"
#include "model/startcommand.h"
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
    std::vector<std::string> words;
    for (const QString& argument : options.arguments)
        words.push_back(argument.toStdString());
    const StartCommand command = parseStartCommand(words);
    const bool dde = command.dde;
    const bool splash = options.splash && command.splash;
    const std::string& name = command.network;

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
