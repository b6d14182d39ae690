// vistrel FILE: shows the characteristic curves of a network's fans. The
// network window starts it on base name + "fan" with every blank of the
// path written as "*".
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "viewerwindow.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vistrel"));

    QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() == 1 && (arguments[0] == "-h" || arguments[0] == "--help")) {
        std::printf("Usage: vistrel [FILE]\n"
                    "Shows the fan characteristic curves of a fan curve file. A \"*\" in FILE\n"
                    "stands for a blank.\n");
        return 0;
    }

    orvex::InstallLayout layout;
    layout.dataFromExecutable = ORVEX_DATA_FROM_EXECUTABLE;
    layout.buildTree = ORVEX_BUILD_TREE;
    layout.sourceTree = ORVEX_SOURCE_TREE;
    const orvex::vistrel::AxisUnits units = orvex::vistrel::findAxisUnits(
        orvex::executablePath(argv[0]), QDir::currentPath().toStdString(), layout);

    orvex::vistrel::DialogPrompts prompts;
    orvex::vistrel::ViewerWindow window(units, prompts);
    window.show();
    // One argument is expected; a path that a shell split at its blanks is
    // put back together.
    if (!arguments.isEmpty())
        window.openFile(orvex::vistrel::pathFromArgument(arguments.join(QLatin1Char(' '))));
    return application.exec();
}
