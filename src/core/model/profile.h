#pragma once

#include <map>
#include <string>
#include <utility>

// The program's private profile: whole numbers and text by section and entry.
// The window program keeps it in an INI file; tests and the batch tool use
// MemoryProfile.
namespace orvex {

class Profile {
public:
    virtual ~Profile() = default;
    virtual std::string readString(const std::string& section, const std::string& entry,
                                   const std::string& fallback) = 0;
    virtual int readInt(const std::string& section, const std::string& entry, int fallback) = 0;
    virtual void writeString(const std::string& section, const std::string& entry,
                             const std::string& value) = 0;
    virtual void writeInt(const std::string& section, const std::string& entry, int value) = 0;
    virtual void removeEntry(const std::string& section, const std::string& entry) = 0;
};

class MemoryProfile : public Profile {
public:
    std::string readString(const std::string& section, const std::string& entry,
                           const std::string& fallback) override;
    int readInt(const std::string& section, const std::string& entry, int fallback) override;
    void writeString(const std::string& section, const std::string& entry,
                     const std::string& value) override;
    void writeInt(const std::string& section, const std::string& entry, int value) override;
    void removeEntry(const std::string& section, const std::string& entry) override;

    bool contains(const std::string& section, const std::string& entry) const;

private:
    std::map<std::pair<std::string, std::string>, std::string> mEntries;
};

// Profile sections and entries of the network files.
inline const std::string kDirectorySection = "DIRECTORY";
inline const std::string kDataEntry = "data";
inline const std::string kInstallEntry = "install";
inline const std::string kRecentFileSection = "Recent File";
inline const std::string kRecentFileEntry = "file";

}  // namespace orvex
