#include "axisunits.h"

#include <filesystem>

#include "model/units.h"

namespace orvex::vistrel {

namespace {

QString titled(const char* quantity, const QString& unit)
{
    const QString name = QString::fromLatin1(quantity);
    return unit.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, unit);
}

}  // namespace

QString AxisUnits::flowTitle() const { return titled("airflow", flow); }
QString AxisUnits::pressureTitle() const { return titled("pressure", pressure); }

QString AxisUnits::withUnit(const QString& value, const QString& unit)
{
    return unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}

AxisUnits readAxisUnits(const std::string& programFolder)
{
    AxisUnits units;
    if (programFolder.empty() || !holdsSettingsFiles(programFolder))
        return units;
    UnitsSettings settings;
    SilentReporter silent;
    readUnitsFile(withoutTrailingSlash(programFolder), settings, silent);
    // The labels come first in the file: a file damaged further on still names them.
    units.flow = QString::fromLocal8Bit(settings.flowUnitName.c_str());
    units.pressure = QString::fromLocal8Bit(settings.pressureUnitName.c_str());
    if (!units.flow.isEmpty() || !units.pressure.isEmpty())
        units.source = QString::fromStdString(withoutTrailingSlash(programFolder) + kUnitsFileName);
    return units;
}

AxisUnits findAxisUnits(const std::string& executablePath, const std::string& currentFolder,
                        const InstallLayout& layout)
{
    const ProgramFolderSearch search = findProgramFolder(executablePath, currentFolder, layout);
    if (!search.folder.empty())
        return readAxisUnits(search.folder);
    if (executablePath.empty())
        return {};
    return readAxisUnits(std::filesystem::path(executablePath).parent_path().string());
}

}  // namespace orvex::vistrel
