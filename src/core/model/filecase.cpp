#include "filecase.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace orvex {

namespace fs = std::filesystem;

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool sameButCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

}  // namespace

std::string inExistingCase(const std::string& path)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(path, error)))
        return path;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return path;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (sameButCase(entry, name))
            matches.push_back(entry);
    }
    if (matches.empty())
        return path;
    std::string chosen = matches.front();
    for (const std::string& m : matches)
        chosen = std::min(chosen, m);
    return path.substr(0, path.size() - name.size()) + chosen;
}

std::string casedLike(const std::string& extension, const std::string& model)
{
    std::string out = extension;
    for (std::size_t i = 0; i < out.size() && i < model.size(); ++i) {
        if (model[i] >= 'A' && model[i] <= 'Z')
            out[i] = upper(out[i]);
        else if (model[i] >= 'a' && model[i] <= 'z')
            out[i] = lower(out[i]);
    }
    return out;
}

std::string networkExtensionOf(const std::string& path)
{
    const std::size_t n = path.size();
    if (n >= 4 && path[n - 4] == '.' && path.find('/', n - 4) == std::string::npos &&
        sameButCase(path.substr(n - 3), "vad"))
        return path.substr(n - 3);
    return "vad";
}

}  // namespace orvex
