// Finding the program folder: the finder on laid-out folders, and the
// batch tool run from elsewhere, from an installed layout and without one.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/programfolder.h"
#include "support.h"

namespace orvex::test {
namespace {

// Paths below one temporary root; folders marked "+" hold sdt/units.sdt.
struct FinderCase {
    std::vector<std::string> folders;
    const char *current, *executable, *buildTree, *found;
    std::vector<std::string> tried;
};

void PrintTo(const FinderCase& c, std::ostream* out) { *out << c.executable << " in " << c.current; }

class Finder : public ::testing::TestWithParam<FinderCase> {};

TEST_P(Finder, TakesTheFirstFolderThatHoldsTheSettings)
{
    const FinderCase& c = GetParam();
    TempFolder root;
    const std::string r = fs::weakly_canonical(root.path()).string() + "/";
    for (const std::string& f : c.folders) {
        fs::create_directories(r + f.substr(f[0] == '+'));
        if (f[0] == '+')
            writeFile(r + f.substr(1) + "/sdt/units.sdt", "units\n");
    }
    const InstallLayout layout{"../share/orvex", *c.buildTree ? r + c.buildTree : "", r + "src"};
    const ProgramFolderSearch search = findProgramFolder(r + c.executable, r + c.current, layout);
    EXPECT_EQ(search.folder, *c.found ? r + c.found : "");
    std::vector<std::string> tried;
    for (const std::string& t : c.tried)
        tried.push_back(r + t);
    EXPECT_EQ(search.tried, tried);
}

// The installed data folder, found or not, is the program runs' below.
INSTANTIATE_TEST_SUITE_P(Layouts, Finder, ::testing::Values(
    // the current folder first, with its trailing "/" gone
    FinderCase{{"+work", "+usr/share/orvex"}, "work/", "usr/bin/orvex-solve", "", "work", {"work"}},
    FinderCase{{"work", "+src", "src/build/src/cli"}, "work", "src/build/src/cli/orvex-solve", "src/build", "src",
               {"work", "src/build/src/share/orvex", "src"}},
    // build-other is not inside build, though its name begins the same
    FinderCase{{"work", "+src", "build-other/cli"}, "work", "build-other/cli/orvex-solve", "build", "",
               {"work", "build-other/share/orvex"}}));

// An installed program (bin/ beside share/orvex/) takes share/orvex;
// without it the program says where it looked.
TEST(ProgramFolder, InstalledProgramTakesItsDataFolder)
{
    TempFolder prefix, elsewhere;
    fs::create_directories(prefix.path() / "bin");
    fs::copy_file(solveBinary(), prefix.file("bin/orvex-solve"));
    const std::string network = "'" + kSourceDir + "/data/mine.vad'";
    SolveRun run = runIn(elsewhere.path().string(), prefix.file("bin/orvex-solve"), network);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no program folder found"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(prefix.file("share/orvex")), std::string::npos) << run.err;

    fs::create_directories(prefix.path() / "share/orvex");
    fs::copy(kSourceDir + "/sdt", prefix.path() / "share/orvex/sdt");
    run = runIn(elsewhere.path().string(), prefix.file("bin/orvex-solve"), network);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace orvex::test
