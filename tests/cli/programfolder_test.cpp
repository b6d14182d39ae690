// Finding the program folder: the finder on laid-out folders, and the
// batch tool run from elsewhere, from an installed layout and without one.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/programfolder.h"
#include "support.h"

namespace orvex::clitest {
namespace {

// Folders below one temporary root; "+" marks those that get sdt/units.sdt.
struct FinderCase {
    const char* name;
    std::vector<std::string> folders;
    const char* current;     // relative to the root
    const char* executable;  // relative to the root
    const char* buildTree;   // relative to the root, "" for none
    const char* found;       // relative to the root, "" for none
    std::vector<std::string> tried;
};

class Finder : public ::testing::TestWithParam<FinderCase> {};

TEST_P(Finder, TakesTheFirstFolderThatHoldsTheSettings)
{
    const FinderCase& c = GetParam();
    TempFolder root(std::string("finder-") + c.name);
    const std::string r = fs::weakly_canonical(root.path()).string();
    for (std::string f : c.folders) {
        const bool settings = f.front() == '+';
        if (settings)
            f.erase(0, 1);
        fs::create_directories(root.path() / f);
        if (settings)
            writeFile(root.path() / f / "sdt/units.sdt", "units\n");
    }
    const InstallLayout layout{"../share/orvex", *c.buildTree ? r + "/" + c.buildTree : "",
                               r + "/src"};
    const ProgramFolderSearch search = findProgramFolder(r + "/" + c.executable, r + "/" + c.current, layout);
    EXPECT_EQ(search.folder, *c.found ? r + "/" + c.found : "");
    std::vector<std::string> tried;
    for (const std::string& t : c.tried)
        tried.push_back(r + "/" + t);
    EXPECT_EQ(search.tried, tried);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Finder,
    ::testing::Values(
        FinderCase{"current", {"+work", "+usr/share/orvex", "usr/bin"}, "work", "usr/bin/orvex-solve", "",
                   "work", {"work"}},
        FinderCase{"installed", {"work", "+usr/share/orvex", "usr/bin"}, "work", "usr/bin/orvex-solve", "",
                   "usr/share/orvex", {"work", "usr/share/orvex"}},
        FinderCase{"trailing-slash", {"+work"}, "work/", "usr/bin/orvex-solve", "", "work", {"work"}},
        FinderCase{"build-tree", {"work", "+src", "src/build/src/cli"}, "work", "src/build/src/cli/orvex-solve",
                   "src/build", "src", {"work", "src/build/src/share/orvex", "src"}},
        // build-other is not inside build, though its name begins the same
        FinderCase{"beside-build-tree", {"work", "+src", "build-other/cli"}, "work", "build-other/cli/orvex-solve",
                   "build", "", {"work", "build-other/share/orvex"}},
        FinderCase{"none", {"work", "usr/bin"}, "work", "usr/bin/orvex-solve", "", "",
                   {"work", "usr/share/orvex"}}),
    [](const ::testing::TestParamInfo<FinderCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == '-')
                ch = '_';
        return name;
    });

// Run from a folder without sdt/, the build's own program finds the source tree's settings.
TEST(ProgramFolder, SampleRunsFromAnyFolder)
{
    TempFolder elsewhere("elsewhere");
    const SolveRun run = runIn(elsewhere.path().string(), solveBinary(), "'" + kSource + "/data/mine.vad'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Result 1 (converged)"), std::string::npos);
}

// An installed program (bin/ beside share/orvex/) takes share/orvex; without
// it the program says where it looked.
TEST(ProgramFolder, InstalledProgramTakesItsDataFolder)
{
    TempFolder prefix("prefix"), elsewhere("installed-run");
    fs::create_directories(prefix.path() / "bin");
    fs::copy_file(solveBinary(), prefix / "bin/orvex-solve");
    const std::string network = "'" + kSource + "/data/mine.vad'";

    SolveRun run = runIn(elsewhere.path().string(), prefix / "bin/orvex-solve", network);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no program folder found"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(prefix / "share/orvex"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--program-folder"), std::string::npos) << run.err;

    fs::create_directories(prefix.path() / "share/orvex");
    fs::copy(kSource + "/sdt", prefix.path() / "share/orvex/sdt");
    run = runIn(elsewhere.path().string(), prefix / "bin/orvex-solve", network);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

// The default parameter file is the program folder's: a damaged ztna.sdt in
// the folder the program runs from is never read.
TEST(ProgramFolder, DefaultParametersComeFromTheProgramFolderOnly)
{
    TempFolder elsewhere("ztna");
    writeFile(elsewhere.path() / "ztna.sdt", "damaged\n");
    const SolveRun run = runIn(elsewhere.path().string(), solveBinary(),
                               "--program-folder '" + kSource + "' '" + kSource + "/data/water.vad'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace orvex::clitest
