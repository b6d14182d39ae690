#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "fancurvefile.h"

// The program's arguments: the fan curve file, and where each fan ran in
// the network's last run, which the network window passes along with it:
//     vistrel FILE [--operating-point INLET-OUTLET,AIRFLOW,PRESSURE]...
// The fan is named by its node numbers as the legend names it; the airflow
// and the pressure are in the units of the file (the user flow unit and the
// display pressure unit). An argument that cannot be taken is named in a
// problem and left out; the file is shown all the same.
namespace orvex::vistrel {

inline const QString kOperatingPointOption = QStringLiteral("--operating-point");

struct OperatingPoint {
    int inlet = 0, outlet = 0;  // the fan
    CurvePoint at;
    QString argument;           // the value as given, to name it in problems
};

struct ViewerArguments {
    // The file argument; the pieces of a path that a shell split at its
    // blanks are joined again with one blank. Empty when none was given.
    QString file;
    std::vector<OperatingPoint> points;
    QStringList problems;  // one sentence per argument left out
    bool help = false;     // -h or --help
};

ViewerArguments parseViewerArguments(const QStringList& arguments);

// The points the fans of `set` are marked at, one entry per fan (empty for
// a fan without a point). A point of a fan the file does not hold, or of a
// fan that has one already, adds a problem. Of fans with the same nodes,
// each point goes to the first that has none yet.
std::vector<std::optional<CurvePoint>> pointsOfFans(const FanCurveSet& set, const std::vector<OperatingPoint>& points,
                                                    QStringList& problems);

}  // namespace orvex::vistrel
