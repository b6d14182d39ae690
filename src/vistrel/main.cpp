// vistrel FILE [--operating-point INLET-OUTLET,AIRFLOW,PRESSURE]...: shows
// the characteristic curves of a network's fans, each marked where it ran
// in the last run. The network window starts it on base name + "fan" with
// every blank of the path written as "*".
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "viewerwindow.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vistrel"));

    const orvex::vistrel::ViewerArguments given = orvex::vistrel::parseViewerArguments(QApplication::arguments().mid(1));
    if (given.help) {
        std::printf("Usage: vistrel [FILE] [--operating-point INLET-OUTLET,AIRFLOW,PRESSURE]...\n"
                    "Shows the fan characteristic curves of a fan curve file. A \"*\" in FILE\n"
                    "stands for a blank. Each --operating-point marks where the fan with these\n"
                    "inlet and outlet nodes ran, in the units of the file, as in\n"
                    "  vistrel mine.fan --operating-point 3-12,2450,1234\n");
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
    window.setOperatingPoints(given.points, given.problems);
    // given.file: a path that a shell split at its blanks is put back together.
    if (!given.file.isEmpty())
        window.openFile(orvex::vistrel::pathFromArgument(given.file));
    for (const QString& problem : window.pointProblems())
        std::fprintf(stderr, "vistrel: %s\n", qPrintable(problem));
    return application.exec();
}
