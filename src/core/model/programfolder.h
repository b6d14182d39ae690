#pragma once

#include <string>
#include <vector>

// Finding the program folder: the folder that holds the installation's
// settings files (sdt/units.sdt, the default network, the default parameter
// file, the stroke font). The window program and the batch tool both call
// this once at start-up, before the units settings are read.
namespace orvex {

// What the build knows about where its settings files go.
struct InstallLayout {
    // The installed data folder relative to the installed executable's
    // folder ("../share/orvex" for bin/ beside share/). Empty: none.
    std::string dataFromExecutable;
    // A build tree and the source tree it was built from: an executable
    // that lies inside buildTree takes sourceTree's settings files, so a
    // program runs from its build folder without being installed.
    std::string buildTree, sourceTree;
};

struct ProgramFolderSearch {
    std::string folder;              // without a trailing "/"; empty when no folder qualified
    std::vector<std::string> tried;  // every folder looked at, in order
};

// True when folder holds sdt/units.sdt.
bool holdsSettingsFiles(const std::string& folder);

// The folder without trailing "/" (the root stays "/").
std::string withoutTrailingSlash(std::string folder);

// The current folder when it holds sdt/units.sdt; otherwise the installed
// data folder next to the executable; otherwise, for an executable inside
// the build tree, the source tree. executablePath is the program file
// itself (symbolic links already resolved, as /proc/self/exe gives it).
ProgramFolderSearch findProgramFolder(const std::string& executablePath,
                                      const std::string& currentFolder,
                                      const InstallLayout& layout);

// The path of the running executable, or argv0 when the system does not
// tell it.
std::string executablePath(const char* argv0);

}  // namespace orvex
