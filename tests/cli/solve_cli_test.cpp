// orvex-solve as a user runs it: exit codes, the JSON report and its fields.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

struct SolveRun {
    int status = -1;
    std::string out;
};

SolveRun solve(const std::string& arguments)
{
    const std::string command = "cd '" ORVEX_SOURCE_DIR "' && '" ORVEX_SOLVE "' " + arguments + " 2>/dev/null";
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
    return run;
}

TEST(SolveCli, SampleMineReportsEveryNodeRoadAndFanInJson)
{
    const SolveRun run = solve("--format json --timing data/mine.vad");
    ASSERT_EQ(run.status, 0);
    const auto report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["result"], 1);
    EXPECT_EQ(report["kind"], "air");
    EXPECT_EQ(report["units"]["flow"], "m3/min");
    ASSERT_EQ(report["nodes"].size(), 50u);
    ASSERT_EQ(report["roads"].size(), 66u);
    ASSERT_EQ(report["fans"].size(), 2u);
    for (const char* key : {"openMs", "analysisMs", "saveMs"})
        EXPECT_TRUE(report["timing"].contains(key)) << key;
    // The last road is the fixed-flow road of airflow 0: kind 1 shows the
    // airflow as entered, its mass flow is what continuity left for it.
    const auto& last = report["roads"].back();
    EXPECT_TRUE(last["fixed"].get<bool>());
    EXPECT_EQ(last["flow"], 0.0);
    EXPECT_GT(last["massFlow"].get<double>(), 1.0);
    // The main fan delivers air from its inlet to the surface on its curve.
    EXPECT_GT(report["fans"][0]["flow"].get<double>(), 1000.0);
}

TEST(SolveCli, ExitCodesTellConvergedAndBadInput)
{
    EXPECT_EQ(solve("data/water.vad").status, 0);
    EXPECT_EQ(solve("data/no-such-network.vad").status, 2);
    EXPECT_EQ(solve("--format yaml data/mine.vad").status, 2);
    EXPECT_EQ(solve("").status, 2);
}

TEST(SolveCli, FireRunAddsTheFireQuantities)
{
    const SolveRun run = solve("--format json data/minefire.vad");
    ASSERT_EQ(run.status, 0);
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

TEST(SolveCli, PlanImageIsWritten)
{
    const std::string image = (std::filesystem::temp_directory_path() / "orvex-cli-plan.png").string();
    std::filesystem::remove(image);
    EXPECT_EQ(solve("--plan '" + image + "' --size 400x300 data/mine.vad").status, 0);
    EXPECT_GT(std::filesystem::file_size(image), 1000u);
    std::filesystem::remove(image);
}

}  // namespace
