#pragma once

#include <string>
#include <vector>

#include "model/profile.h"

// The recently used networks of the File menu, newest first, kept in the
// profile's "Recent File List" as File1..File4. The paths are absolute;
// the main window makes them so.
namespace orvex {

class RecentFiles {
public:
    static constexpr int kCount = 4;

    explicit RecentFiles(Profile& profile) : mProfile(profile) {}

    // Takes the list from the profile; empty entries are skipped.
    void read();
    const std::vector<std::string>& paths() const { return mPaths; }

    // The network becomes the newest, once; the oldest beyond four goes.
    // False when nothing changed (it already was the newest).
    bool note(const std::string& path);
    // Takes a network off the list (one that no longer opens); false when
    // it was not on it.
    bool forget(const std::string& path);

    // The menu entry of the network at `index` (0 the newest): "&1 path".
    static std::string entryText(int index, const std::string& path);

private:
    void write();

    Profile& mProfile;
    std::vector<std::string> mPaths;
};

}  // namespace orvex
