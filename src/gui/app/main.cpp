#include <QApplication>
#include <QDir>
#include <iostream>
#include <string>
#include <vector>

#include "app/briscoapp.h"
#include "app/icons.h"
#include "app/qsettingsprofile.h"
#include "app/qtreporter.h"
#include "app/mainframe.h"
#include "model/startcommand.h"
#include "view/viewservices.h"

int main(int argc, char* argv[])
{
    // Read before the toolkit starts: --help and --version answer, and a
    // mistyped option is refused, without a display.
    const orvex::StartCommand command =
        orvex::parseStartCommand(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.action) {
    case orvex::StartCommand::Action::Help:
        std::cout << orvex::startUsage();
        return 0;
    case orvex::StartCommand::Action::Version:
        std::cout << "orvex " ORVEX_VERSION "\n";
        return 0;
    case orvex::StartCommand::Action::Refuse:
        std::cerr << "orvex: " << command.error << "\n\n" << orvex::startUsage();
        return 2;
    case orvex::StartCommand::Action::Start:
        break;
    }

    QApplication application(argc, argv);  // takes the person's locale
    QApplication::setApplicationName("orvex");
    QApplication::setApplicationDisplayName("ORVEX");
    QApplication::setWindowIcon(orvex::gui::applicationIcon());

    orvex::gui::QSettingsProfile profile;
    orvex::gui::QtReporter reporter;
    orvex::gui::PlatformFileDialogs files;
    orvex::gui::CBriscoApp app(profile, reporter, files);

    orvex::gui::StartOptions options;
    options.arguments = QApplication::arguments().mid(1);
    options.currentFolder = QDir::currentPath().toStdString();
    options.executablePath = orvex::executablePath(argv[0]);
    options.layout.dataFromExecutable = ORVEX_DATA_FROM_EXECUTABLE;
    options.layout.buildTree = ORVEX_BUILD_TREE;
    options.layout.sourceTree = ORVEX_SOURCE_TREE;
    if (!app.initInstance(options))
        return 1;
    reporter.setMainWindow(app.mainFrame());
    return application.exec();
}
