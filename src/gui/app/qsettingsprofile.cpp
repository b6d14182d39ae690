#include "app/qsettingsprofile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace orvex::gui {

namespace {

QString keyOf(const std::string& section, const std::string& entry)
{
    return QString::fromStdString(section) + '/' + QString::fromStdString(entry);
}

}  // namespace

QSettingsProfile::QSettingsProfile()
    : mSettings(QSettings::IniFormat, QSettings::UserScope, "orvex", "orvex")
{
}

QSettingsProfile::QSettingsProfile(const QString& iniPath) : mSettings(iniPath, QSettings::IniFormat)
{
}

std::string QSettingsProfile::readString(const std::string& section, const std::string& entry,
                                         const std::string& fallback)
{
    const QVariant value = mSettings.value(keyOf(section, entry));
    if (!value.isValid())
        return fallback;
    // A value with commas comes back as a list: it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',').toStdString();
    return value.toString().toStdString();
}

int QSettingsProfile::readInt(const std::string& section, const std::string& entry, int fallback)
{
    const std::string text = readString(section, entry, std::string());
    if (text.empty())
        return fallback;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str())
        return fallback;
    if (errno == ERANGE || value > INT_MAX || value < INT_MIN)
        return value < 0 ? INT_MIN : INT_MAX;
    return int(value);
}

void QSettingsProfile::writeString(const std::string& section, const std::string& entry,
                                   const std::string& value)
{
    mSettings.setValue(keyOf(section, entry), QString::fromStdString(value));
}

void QSettingsProfile::writeInt(const std::string& section, const std::string& entry, int value)
{
    mSettings.setValue(keyOf(section, entry), value);
}

void QSettingsProfile::removeEntry(const std::string& section, const std::string& entry)
{
    mSettings.remove(keyOf(section, entry));
}

}  // namespace orvex::gui
