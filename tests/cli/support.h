#pragma once

// Running orvex-solve as a user does, from a chosen folder, with its
// standard output and standard error kept apart.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace orvex::clitest {

namespace fs = std::filesystem;

inline const std::string kSource = ORVEX_SOURCE_DIR;

// The program under test; ORVEX_SOLVE_BINARY runs the suite against another build.
inline std::string solveBinary()
{
    const char* other = std::getenv("ORVEX_SOLVE_BINARY");
    return other && *other ? other : ORVEX_SOLVE;
}

inline std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A fresh folder of its own under the system's temporary folder, removed at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& name)
        : mPath(fs::temp_directory_path() / ("orvex-cli-" + name + "-" + std::to_string(::getpid())))
    {
        fs::remove_all(mPath);
        fs::create_directories(mPath);
    }
    ~TempFolder() { fs::remove_all(mPath); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& path() const { return mPath; }
    std::string operator/(const std::string& name) const { return (mPath / name).string(); }

private:
    fs::path mPath;
};

struct SolveRun {
    int status = -1;
    std::string out, err;
};

// Runs `program arguments` in folder.
inline SolveRun runIn(const std::string& folder, const std::string& program,
                      const std::string& arguments)
{
    const fs::path errFile = fs::temp_directory_path() / ("orvex-cli-stderr-" + std::to_string(::getpid()));
    const std::string command = "cd '" + folder + "' && QT_QPA_PLATFORM=offscreen '" + program +
                                "' " + arguments + " 2>'" + errFile.string() + "'";
    SolveRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readFile(errFile);
    fs::remove(errFile);
    return run;
}

// orvex-solve run from the source tree, where the sample networks are.
inline SolveRun solve(const std::string& arguments)
{
    return runIn(kSource, solveBinary(), arguments);
}

// A test name made of the letters and digits of a text.
inline std::string testName(const std::string& text)
{
    std::string name;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name.empty() ? "none" : name;
}

}  // namespace orvex::clitest
