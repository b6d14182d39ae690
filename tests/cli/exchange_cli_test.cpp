// orvex-solve's imports and exports as a user runs them: the sample's tables
// back into the same files, and nothing on disk replaced unasked.
#include <string>

#include <gtest/gtest.h>

#include "support.h"

namespace orvex::test {
namespace {

TEST(ExchangeCli, TablesGoOutAndComeBackAsTheSameNetwork)
{
    TempFolder folder;
    const std::string tables = folder.file("tables"), net = folder.file("net.vad");
    SolveRun run = solve("--export-tables '" + tables + "' data/mine.vad");
    ASSERT_EQ(run.status, 0) << run.err;
    run = solve("--import-tables '" + tables + "' -o '" + net + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("net.vad: 50 nodes (5 on the surface), 64 roads, 2 fixed-flow roads, 2 fans"),
              std::string::npos) << run.out;
    for (const char* ext : {"vad", "jpd", "apd", "nrd"})
        EXPECT_EQ(readFile(folder.file(std::string("net.") + ext)), readFile(kSourceDir + "/data/mine." + ext)) << ext;
    EXPECT_EQ(solve("'" + net + "'").status, 0);

    // Asked again: the network and the tables are there, and stay as they are.
    writeFile(tables + "/roads.csv", "from,to,resistance [Ns2/m8]\n1,101,0.5\n");
    for (const std::string& again : {"--import-tables '" + tables + "' -o '" + net + "' data/mine.vad",
                                     "--export-tables '" + tables + "' data/mine.vad"}) {
        run = solve(again);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("--overwrite replaces them"), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFile(net), readFile(kSourceDir + "/data/mine.vad"));
    run = solve("--import-tables '" + tables + "' -o '" + net + "' --overwrite data/mine.vad");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readFile(net).find("    1   101     0.5000000"), std::string::npos);
    EXPECT_EQ(readFile(folder.file("net.sdt")), readFile(kSourceDir + "/data/mine.sdt"));
}

// The sample drawing with its fan from a table is a mine that analyses.
TEST(ExchangeCli, ADrawingWithAFanFromATableAnalyses)
{
    TempFolder folder;
    const std::string net = folder.file("plan.vad");
    const SolveRun made = solve("--import-dxf data/mineplan.dxf --layers DRIVES,RAMP,SHAFTS --depth-shift 1,-1 "
                                "--import-tables data/mineplan-tables -o '" + net + "'");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("29 nodes (3 on the surface), 34 roads, 0 fixed-flow roads, 1 fan\n"), std::string::npos)
        << made.out;
    const SolveRun run = solve("'" + net + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Result 1 (converged)"), std::string::npos);
}

}  // namespace
}  // namespace orvex::test
