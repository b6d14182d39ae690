// orvex-solve's what-if runs as a user starts them: scenario files good and
// damaged, and the JSON a script reads.
#include <map>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support.h"

namespace orvex::test {
namespace {

// A damaged file runs nothing and names its line; a scenario naming what
// the network has not is said in the report, and the others run.
TEST(WhatIfCli, ScenarioFiles)
{
    TempFolder folder;
    writeFile(folder.file("bad.txt"), "scenario a\n  fan-off 10 3\n  shut 1 2\n");
    SolveRun run = solve("--scenarios '" + folder.file("bad.txt") + "' data/mine.vad");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("bad.txt:3: unknown change \"shut\""), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    writeFile(folder.file("what.txt"), "scenario \"no such fan\"\n  fan-off 1 2\nscenario booster\n  fan-off 330 331\n");
    run = solve("--scenarios '" + folder.file("what.txt") + "' --format json data/mine.vad");
    EXPECT_EQ(run.status, 1) << run.err;
    const nlohmann::json report = nlohmann::json::parse(run.out);
    ASSERT_EQ(report["cases"].size(), 2u);
    const nlohmann::json& failed = report["cases"][0];
    EXPECT_EQ(failed["name"], "no such fan");
    EXPECT_EQ(failed["run"], false);
    EXPECT_EQ(failed["problem"], "line 2: fan 1-2 is not in the network");
    EXPECT_EQ(report["notConverged"], nlohmann::json::array({"no such fan"}));
    const nlohmann::json& booster = report["cases"][1];
    EXPECT_EQ(booster["converged"], true);
    ASSERT_FALSE(booster["roads"].empty());
    for (const char* key : {"from", "to", "baseFlow", "flow", "change"})
        EXPECT_TRUE(booster["roads"][0].contains(key)) << key;
    EXPECT_EQ(booster["fans"][1]["flow"], 0.0);
}

// The JSON of a comparison carries every shared road in the flow unit.
TEST(WhatIfCli, CompareJson)
{
    const SolveRun run = solve("--compare data/mine.vad --format json data/minefire.vad");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["units"]["flow"], "m3/min");
    ASSERT_EQ(report["roads"].size(), 66u);
    for (const auto& road : report["roads"])
        EXPECT_NEAR(road["change"].get<double>(), road["flow"].get<double>() - road["baseFlow"].get<double>(), 1e-9);
    EXPECT_EQ(report["fans"].size(), 2u);
    EXPECT_EQ(report["nodes"].size(), 50u);
    EXPECT_TRUE(report["notShared"]["nodes"].empty());
}

// A fire at each node says which places it leaves without a safe way out.
TEST(WhatIfCli, FireSweepNamesThePlacesWithoutASafeWayOut)
{
    const SolveRun run = solve("--sweep fire-nodes 212,303 --escape --format json data/minefire.vad");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json report = nlohmann::json::parse(run.out);
    std::map<std::string, nlohmann::json> unsafe;
    for (const auto& c : report["cases"])
        unsafe[c["name"].get<std::string>()] = c["noSafeWay"];
    EXPECT_EQ(unsafe["fire at 212"], nlohmann::json::array({212}));
    EXPECT_EQ(unsafe["fire at 303"], nlohmann::json::array({304, 306}));
}

}  // namespace
}  // namespace orvex::test
