#include "control/framerecent.h"

#include <algorithm>

namespace orvex {

namespace {

// The framework's list of recently used networks.
const std::string kRecentListSection = "Recent File List";

std::string entryName(int i) { return "File" + std::to_string(i); }

}  // namespace

void RecentFiles::read()
{
    mPaths.clear();
    for (int i = 1; i <= kCount; ++i) {
        const std::string path = mProfile.readString(kRecentListSection, entryName(i), "");
        if (!path.empty())
            mPaths.push_back(path);
    }
}

bool RecentFiles::note(const std::string& path)
{
    if (!mPaths.empty() && mPaths.front() == path)
        return false;
    mPaths.erase(std::remove(mPaths.begin(), mPaths.end(), path), mPaths.end());
    mPaths.insert(mPaths.begin(), path);
    while (int(mPaths.size()) > kCount)
        mPaths.pop_back();
    write();
    return true;
}

bool RecentFiles::forget(const std::string& path)
{
    const auto kept = std::remove(mPaths.begin(), mPaths.end(), path);
    if (kept == mPaths.end())
        return false;
    mPaths.erase(kept, mPaths.end());
    write();
    return true;
}

std::string RecentFiles::entryText(int index, const std::string& path)
{
    return "&" + std::to_string(index + 1) + " " + path;
}

void RecentFiles::write()
{
    for (int i = 1; i <= kCount; ++i) {
        if (i <= int(mPaths.size()))
            mProfile.writeString(kRecentListSection, entryName(i), mPaths[std::size_t(i - 1)]);
        else
            mProfile.removeEntry(kRecentListSection, entryName(i));
    }
}

}  // namespace orvex
