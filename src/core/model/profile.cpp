#include "profile.h"

#include <cstdlib>

namespace orvex {

std::string MemoryProfile::readString(const std::string& section, const std::string& entry,
                                      const std::string& fallback)
{
    auto it = mEntries.find({section, entry});
    return it == mEntries.end() ? fallback : it->second;
}

int MemoryProfile::readInt(const std::string& section, const std::string& entry, int fallback)
{
    auto it = mEntries.find({section, entry});
    if (it == mEntries.end())
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(it->second.c_str(), &end, 10);
    return end == it->second.c_str() ? fallback : int(value);
}

void MemoryProfile::writeString(const std::string& section, const std::string& entry,
                                const std::string& value)
{
    mEntries[{section, entry}] = value;
}

void MemoryProfile::writeInt(const std::string& section, const std::string& entry, int value)
{
    mEntries[{section, entry}] = std::to_string(value);
}

void MemoryProfile::removeEntry(const std::string& section, const std::string& entry)
{
    mEntries.erase({section, entry});
}

bool MemoryProfile::contains(const std::string& section, const std::string& entry) const
{
    return mEntries.count({section, entry}) != 0;
}

}  // namespace orvex
