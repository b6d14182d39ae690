#pragma once

// Running orvex-solve as a user does, from a chosen folder, with its
// standard output and standard error kept apart.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "support/support.h"

namespace orvex::test {

namespace fs = std::filesystem;

// The program under test; ORVEX_SOLVE_BINARY runs the suite against another build.
inline std::string solveBinary()
{
    const char* other = std::getenv("ORVEX_SOLVE_BINARY");
    return other && *other ? other : ORVEX_SOLVE;
}

struct SolveRun {
    int status = -1;
    std::string out, err;
};

inline SolveRun runIn(const std::string& folder, const std::string& program, const std::string& arguments)
{
    const fs::path err = fs::temp_directory_path() / ("orvex-cli-stderr-" + std::to_string(::getpid()));
    const std::string command = "cd '" + folder + "' && QT_QPA_PLATFORM=offscreen '" + program + "' " +
                                arguments + " 2>'" + err.string() + "'";
    SolveRun run;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            run.out.append(buffer, n);
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.err = std::filesystem::exists(err) ? readFile(err.string()) : "";
    fs::remove(err);
    return run;
}

// Run from the source tree, where the sample networks are.
inline SolveRun solve(const std::string& arguments)
{
    return runIn(kSourceDir, solveBinary(), arguments);
}

}  // namespace orvex::test
