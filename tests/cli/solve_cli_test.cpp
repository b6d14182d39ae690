// orvex-solve's command line: options, their messages and the exit status.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "support.h"

namespace orvex::test {
namespace {

struct CommandCase {
    const char* arguments;
    int status;
    const char* said;  // in the output for status 0, on standard error otherwise
};
void PrintTo(const CommandCase& c, std::ostream* out) { *out << "'" << c.arguments << "'"; }

class Command : public ::testing::TestWithParam<CommandCase> {};

// Run in a folder of its own beside the samples: input that cannot be used
// gets no report and leaves no file behind.
TEST_P(Command, ExitsWithItsStatusAndSaysWhy)
{
    const CommandCase& c = GetParam();
    TempFolder folder;
    fs::create_directory_symlink(kSourceDir + "/data", folder.path() / "data");
    fs::create_directory_symlink(kSourceDir + "/sdt", folder.path() / "sdt");
    const SolveRun run = runIn(folder.path().string(), solveBinary(), c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.said), std::string::npos) << run.out << run.err;
    if (c.status == 2) {
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, Command,
    ::testing::Values(
        CommandCase{"--help", 0, "Exit status"},
        CommandCase{"--version", 0, "orvex-solve "},
        CommandCase{"", 2, "NETWORK is required"},
        CommandCase{"data/no-such-network.vad", 2, "data/no-such-network.vad: no such file"},
        CommandCase{"data", 2, "data is a folder, not a network file"},
        CommandCase{"--frobnicate data/mine.vad", 2, "--frobnicate"},
        CommandCase{"--format yaml data/mine.vad", 2, "--format: expected text, csv or json, got yaml"},
        CommandCase{"--method newton data/water.vad", 0, "Result 1 (converged)"},
        CommandCase{"data/minefire.vad", 0, "Fire at node 212, 400 C, simulated 29.9 of 30.0 min"},
        CommandCase{"--airflow-only data/minefire.vad", 0, "Newton method\nNatural draught"},
        CommandCase{"--escape --format csv data/minefire.vad", 0, "safe,route\n10,1,1585.0,26.42,,0.000,1,10-140-106"},
        CommandCase{"--escape data/mine.vad", 2, "data/mine.sdt: --escape needs a fire run"},
        CommandCase{"--escape data/minefire.vad", 0, "No safe way out from: 212\n"},
        CommandCase{"--escape --airflow-only data/minefire.vad", 2, "excludes"},
        CommandCase{"--escape --sweep fans-off data/minefire.vad", 2, "--escape goes with the fire run of one NETWORK"},
        CommandCase{"--fail-on-checks data/mine.vad", 3, "5 design-check violations"},
        CommandCase{"--method fast data/mine.vad", 2, "--method: expected newton or relaxation, got fast"},
        CommandCase{"--plan p.png --size abc data/mine.vad", 2, "--size: expected WxH"},
        CommandCase{"--plan p.png --above 25 data/mine.vad", 2, "--above: expected a whole number 0 to 23, got 25"},
        CommandCase{"--plan p.png --above 5x data/mine.vad", 2, "--above: expected a whole number 0 to 23, got 5x"},
        CommandCase{"--plan p.png --size 63x600 data/mine.vad", 2, "--size: expected WxH"},
        CommandCase{"--plan p.png --colour-by 3 data/mine.vad", 2, "--colour-by: roads cannot be coloured by 3"},
        CommandCase{"--plan plan.jpg data/mine.vad", 2, "--plan: cannot write plan.jpg: a plan image is a .png or a .pdf"},
        CommandCase{"--size 800x600 data/mine.vad", 2, "--size requires --plan"},
        CommandCase{"--import-tables t", 2, "name the network to write with -o NET.vad"},
        CommandCase{"--import-tables data -o n.vad", 2, "data/nodes.csv: the table cannot be read"},
        CommandCase{"--export-tables t --import-inp x.inp -o n.vad", 2, "one import or export at a time"},
        CommandCase{"--import-inp x.inp -o n.vad data/mine.vad", 2, "the import makes a new network"},
        CommandCase{"--export-dxf p.dxf", 2, "NETWORK is required"},
        CommandCase{"--snap 1 data/mine.vad", 2, "--snap requires --import-dxf"},
        CommandCase{"--export-tables t --save data/mine.vad", 2, "an import or export runs no analysis"},
        CommandCase{"--print-colours data/mine.vad", 2, "--print-colours requires --plan"},
        CommandCase{"--plan missing/p.png data/mine.vad", 2, "--plan: cannot write missing/p.png: its folder does not exist"},
        CommandCase{"-o missing/r.txt data/mine.vad", 2, "-o: cannot write missing/r.txt: its folder does not exist"},
        CommandCase{"--program-folder /nonexistent data/mine.vad", 2, "--program-folder: /nonexistent holds no sdt/units.sdt"},
        CommandCase{"--sweep fans-off data/mine.vad", 0, "fan 10-3 off  "},
        CommandCase{"data/mine.vad --sweep roads-closed 305-306", 1, "1 of 1 cases did not converge"},
        CommandCase{"--sweep fire-nodes 999 data/minefire.vad", 1, "1 of 1 cases did not converge"},
        CommandCase{"--sweep bogus data/mine.vad", 2, "--sweep: expected fans-off, roads-closed or fire-nodes, got bogus"},
        CommandCase{"--sweep roads-closed 5 data/mine.vad", 2, "\"5\" in the list of roads-closed is not two node"},
        CommandCase{"data/mine.vad --sweep roads-closed 1-2 3-4", 2, "one list, and 3-4 is a second"},
        CommandCase{"--sweep fans-off data/water.vad", 0, "Sweep fans-off"},
        CommandCase{"--sweep fans-off --jobs 0 data/mine.vad", 2, "--jobs: expected a whole number 1 to 256, got 0"},
        CommandCase{"--sweep fans-off --jobs 99999 data/mine.vad", 2, "--jobs: expected a whole number 1 to 256"},
        CommandCase{"--sweep fans-off --save data/mine.vad", 2, "--save excludes --sweep"},
        CommandCase{"--scenarios none.txt data/mine.vad", 2, "none.txt: the scenario file cannot be read: not found"},
        CommandCase{"--compare data/none.vad data/mine.vad", 2, "data/none.vad: no such file"},
        CommandCase{"--compare data/mine.vad data/built.vad", 0, "fans only in data/built.vad: 30-2"}));

// A units file whose iteration limit is 5 stops the sample short: exit 1.
TEST(SolveCli, RunStoppedAtTheIterationLimitExitsOne)
{
    TempFolder program;
    fs::copy(kSourceDir + "/sdt", program.path() / "sdt");
    std::string units = readFile(program.file("sdt/units.sdt"));
    const std::string limit = "Maximum number of iterations\n";
    units.replace(units.find(limit) + limit.size(), 4, "5   ");
    writeFile(program.file("sdt/units.sdt"), units);
    const SolveRun run = solve("--program-folder '" + program.path().string() + "' data/mine.vad");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("stopped at the iteration limit"), std::string::npos);
}

}  // namespace
}  // namespace orvex::test
