#pragma once

#include <QSettings>
#include <QString>

#include "model/profile.h"

// The program's private profile in an INI file: a section is an INI group,
// an entry a key. Whole numbers are read the way they were written; an
// entry that does not start with a number reads as the fallback, like a
// missing one.
namespace orvex::gui {

class QSettingsProfile : public Profile {
public:
    // The user's profile of the program (~/.config/orvex/orvex.ini).
    QSettingsProfile();
    // A profile in the given INI file (tests, or a profile chosen by the user).
    explicit QSettingsProfile(const QString& iniPath);

    std::string readString(const std::string& section, const std::string& entry,
                           const std::string& fallback) override;
    int readInt(const std::string& section, const std::string& entry, int fallback) override;
    void writeString(const std::string& section, const std::string& entry,
                     const std::string& value) override;
    void writeInt(const std::string& section, const std::string& entry, int value) override;
    void removeEntry(const std::string& section, const std::string& entry) override;

    // Writes what is pending to the file.
    void sync() { mSettings.sync(); }
    QString fileName() const { return mSettings.fileName(); }

private:
    QSettings mSettings;
};

}  // namespace orvex::gui
