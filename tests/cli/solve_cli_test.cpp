// orvex-solve as a user runs it: the options, their messages and the exit
// status, the sample runs, and the README's account of them.
#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support.h"

namespace orvex::clitest {
namespace {

TEST(SolveCli, SampleMineReportsEveryNodeRoadAndFanInJson)
{
    const SolveRun run = solve("--format json --timing data/mine.vad");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["result"], 1);
    EXPECT_EQ(report["kind"], "air");
    EXPECT_EQ(report["units"]["flow"], "m3/min");
    ASSERT_EQ(report["nodes"].size(), 50u);
    ASSERT_EQ(report["roads"].size(), 66u);
    ASSERT_EQ(report["fans"].size(), 2u);
    for (const char* key : {"openMs", "analysisMs", "saveMs"})
        EXPECT_TRUE(report["timing"].contains(key)) << key;
    // The main fan delivers air from its inlet to the surface on its curve.
    EXPECT_GT(report["fans"][0]["flow"].get<double>(), 1000.0);
}

TEST(SolveCli, FireRunAddsTheFireQuantities)
{
    const SolveRun run = solve("--format json data/minefire.vad");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto report = nlohmann::json::parse(run.out);
    EXPECT_NEAR(report["simulatedMinutes"].get<double>(), 29.9, 0.05);
    double hottest = 0;
    for (const auto& road : report["roads"])
        if (!road["fixed"].get<bool>())
            hottest = std::max(hottest, road["meanTemperature"].get<double>());
    EXPECT_GT(hottest, 100.0);
    EXPECT_LE(hottest, 400.0);

    const SolveRun airflow = solve("--format json --airflow-only data/minefire.vad");
    ASSERT_EQ(airflow.status, 0);
    EXPECT_FALSE(nlohmann::json::parse(airflow.out).contains("simulatedMinutes"));
}

// --- the command line ----------------------------------------------------------

struct CommandCase {
    const char* arguments;
    int status;
    const char* said;  // in the output for status 0, on standard error otherwise
};

class Command : public ::testing::TestWithParam<CommandCase> {};

TEST_P(Command, ExitsWithItsStatusAndSaysWhy)
{
    const CommandCase& c = GetParam();
    const SolveRun run = solve(c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status == 0) {
        EXPECT_NE(run.out.find(c.said), std::string::npos) << run.out;
        return;
    }
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << "no report for input that cannot be used";
}

INSTANTIATE_TEST_SUITE_P(
    Options, Command,
    ::testing::Values(
        CommandCase{"--help", 0, "Exit status"},
        CommandCase{"-h", 0, "--program-folder DIR"},
        CommandCase{"--version", 0, "orvex-solve "},
        CommandCase{"data/water.vad", 0, "Result 1 (converged)"},
        CommandCase{"", 2, "NETWORK is required"},
        CommandCase{"data/no-such-network.vad", 2, "data/no-such-network.vad: no such file"},
        CommandCase{"data", 2, "data is a folder, not a network file"},
        CommandCase{"data/mine.vad data/water.vad", 2, "data/water.vad"},
        CommandCase{"--frobnicate data/mine.vad", 2, "--frobnicate"},
        CommandCase{"--format yaml data/mine.vad", 2, "--format: expected text, csv or json, got yaml"},
        CommandCase{"--plan p.png --size abc data/mine.vad", 2, "--size: expected WxH"},
        CommandCase{"--plan p.png --size 800x10 data/mine.vad", 2, "got 800x10"},
        CommandCase{"--plan p.png --above 25 data/mine.vad", 2,
                    "--above: expected a whole number 0 to 19, got 25"},
        CommandCase{"--plan p.png --digits two data/mine.vad", 2,
                    "--digits: expected a whole number 0 to 7, got two"},
        CommandCase{"--plan plan.jpg data/mine.vad", 2,
                    "--plan: cannot write plan.jpg: a plan image is a .png or a .pdf file"},
        CommandCase{"--size 800x600 data/mine.vad", 2, "--size requires --plan"},
        CommandCase{"--nodes 3 data/mine.vad", 2, "--nodes requires --plan"},
        CommandCase{"--print-colours data/mine.vad", 2, "--print-colours requires --plan"},
        CommandCase{"--program-folder /nonexistent data/mine.vad", 2,
                    "--program-folder: /nonexistent holds no sdt/units.sdt"}),
    [](const ::testing::TestParamInfo<CommandCase>& info) {
        return std::to_string(info.index) + "_" + testName(info.param.arguments);
    });

// The iteration limit of the units settings cuts the run short: exit 1.
TEST(SolveCli, RunStoppedAtTheIterationLimitExitsOne)
{
    TempFolder program("limit");
    fs::copy(kSource + "/sdt", program / "sdt");
    std::string units = readFile(program / "sdt/units.sdt");
    const std::size_t at = units.find("Maximum number of iterations\n5000");
    ASSERT_NE(at, std::string::npos);
    units.replace(at, std::string("Maximum number of iterations\n5000").size(),
                  "Maximum number of iterations\n5");
    writeFile(program / "sdt/units.sdt", units);
    const SolveRun run = solve("--program-folder '" + program.path().string() + "' data/mine.vad");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("stopped at the iteration limit"), std::string::npos);
}

// The README lists every option of the usage and the three exit statuses.
TEST(SolveCli, ReadmeStatesEveryOptionAndTheExitStatus)
{
    const std::string usage = solve("--help").out;
    const std::string readme = readFile(kSource + "/README.md");
    const std::regex option("(^|[ ,])(--?[a-z][a-z-]*)");
    std::set<std::string> options;
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it)
        options.insert((*it)[2]);
    EXPECT_GE(options.size(), 15u);
    for (const std::string& o : options)
        EXPECT_NE(readme.find("`" + o), std::string::npos) << o << " is not in the README";
    for (const char* status : {"| 0 |", "| 1 |", "| 2 |"})
        EXPECT_NE(readme.find(status), std::string::npos) << status;
}

}  // namespace
}  // namespace orvex::clitest
