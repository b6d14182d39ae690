#include "programfolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "fileio.h"
#include "units.h"

namespace orvex {

namespace fs = std::filesystem;

namespace {

// The path with "." and ".." resolved where the folders exist, so that the
// folders named in messages read as the person would type them.
fs::path tidy(const fs::path& path)
{
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : resolved;
}

// True when path lies inside folder (or is it), compared folder by folder.
bool liesInside(const fs::path& path, const fs::path& folder)
{
    const fs::path p = tidy(path), f = tidy(folder);
    auto pi = p.begin();
    for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
        if (fi->empty() && std::next(fi) == f.end())  // a trailing "/" of the folder
            break;
        if (pi == p.end() || *pi != *fi)
            return false;
    }
    return true;
}

}  // namespace

bool holdsSettingsFiles(const std::string& folder)
{
    return fileExists(withoutTrailingSlash(folder) + kUnitsFileName);
}

std::string withoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

ProgramFolderSearch findProgramFolder(const std::string& executablePath,
                                      const std::string& currentFolder,
                                      const InstallLayout& layout)
{
    ProgramFolderSearch search;
    const auto consider = [&search](const fs::path& folder) {
        const std::string name = withoutTrailingSlash(tidy(folder).string());
        search.tried.push_back(name);
        if (holdsSettingsFiles(name))
            search.folder = name;
        return !search.folder.empty();
    };

    if (!currentFolder.empty() && consider(currentFolder))
        return search;
    if (executablePath.empty())
        return search;
    const fs::path executableFolder = fs::path(executablePath).parent_path();
    if (!layout.dataFromExecutable.empty() &&
        consider(executableFolder / layout.dataFromExecutable))
        return search;
    if (!layout.buildTree.empty() && !layout.sourceTree.empty() &&
        liesInside(executableFolder, layout.buildTree))
        consider(layout.sourceTree);
    return search;
}

std::string executablePath(const char* argv0)
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty())
        return self.string();
    return argv0 ? fs::absolute(argv0, ec).string() : std::string();
}

}  // namespace orvex
