#pragma once

#include <QString>
#include <string>

#include "model/programfolder.h"

// The units of the two axes. The fan curve file carries numbers only: its
// airflows are in the user's flow unit and its pressures in the display
// pressure unit, both named in the installation's units settings file
// (sdt/units.sdt in the program folder), which is found as the network
// program finds it.
namespace orvex::vistrel {

struct AxisUnits {
    QString flow, pressure;  // unit labels; empty when unknown
    QString source;          // the units file they were read from; empty when none was found

    // Axis titles: "airflow (m3/min)", or "airflow" alone without a unit.
    QString flowTitle() const;
    QString pressureTitle() const;
    // A value with its unit, as in a tool tip: "2.5 m3/min".
    static QString withUnit(const QString& value, const QString& unit);
};

// The unit labels of programFolder + "/sdt/units.sdt"; empty labels (and
// source) when the folder holds no readable units file.
AxisUnits readAxisUnits(const std::string& programFolder);

// The units of the program folder as the network program finds it (the
// current folder, the installed data folder, the source tree of a build
// tree), else of the folder this program lies in.
AxisUnits findAxisUnits(const std::string& executablePath, const std::string& currentFolder,
                        const InstallLayout& layout);

}  // namespace orvex::vistrel
