#include <gtest/gtest.h>

#include "scenario/scenario.h"
#include "support.h"

namespace orvex::test {
namespace {

// Every change a file can hold, read and written back the same.
TEST(ScenarioFile, ReadsEveryChangeAndWritesItBack)
{
    const std::string text =
        "# what if\n"
        "scenario \"Main fan stopped\"\n"
        "  fan-off 10 3\n"
        "\n"
        "scenario Fan at 90 %\n"
        "  fan-speed 10 3 0.9\n"
        "  resistance 14 15 = 0.05\n"
        "  resistance 14 15 * 2.5\n"
        "  close 20 21\n"
        "  close 22 23 400\n"
        "  open 30 31 0.2\n"
        "  fixed-flow 40 41 -120\n"
        "  fire 212\n"
        "  fire 14 45\n";
    std::vector<Scenario> scenarios;
    std::vector<std::string> errors;
    ASSERT_TRUE(parseScenarios(text, "what.txt", scenarios, errors)) << errors.front();
    ASSERT_EQ(scenarios.size(), 2u);
    EXPECT_EQ(scenarios[0].name, "Main fan stopped");
    EXPECT_EQ(scenarios[1].name, "Fan at 90 %");
    EXPECT_FALSE(scenarios[0].fire());
    EXPECT_TRUE(scenarios[1].fire());
    const std::vector<Change>& c = scenarios[1].changes;
    ASSERT_EQ(c.size(), 9u);
    const ChangeKind kinds[] = {ChangeKind::FanSpeed, ChangeKind::SetResistance, ChangeKind::ScaleResistance,
                                ChangeKind::Close,    ChangeKind::Close,         ChangeKind::Open,
                                ChangeKind::FixedFlow, ChangeKind::Fire,         ChangeKind::Fire};
    for (std::size_t i = 0; i < c.size(); ++i)
        EXPECT_EQ(c[i].kind, kinds[i]) << i;
    EXPECT_EQ(c[0].line, 6);
    EXPECT_EQ(c[2].value, 2.5);
    EXPECT_TRUE(std::isnan(c[3].value));
    EXPECT_EQ(c[4].value, 400);
    EXPECT_EQ(c[6].value, -120);
    EXPECT_EQ(c[7].a, 212);
    EXPECT_TRUE(std::isnan(c[7].value));
    EXPECT_EQ(c[8].value, 45);

    std::vector<Scenario> again;
    ASSERT_TRUE(parseScenarios(scenarioText(scenarios), "again", again, errors));
    EXPECT_EQ(scenarioText(again), scenarioText(scenarios));
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1].changes.size(), c.size());
}

struct DamagedCase {
    const char* text;
    const char* message;  // the whole first error
};

// A damaged file runs nothing, and every damaged line is named.
TEST(ScenarioFile, DamagedLinesAreNamedAndNothingIsRun)
{
    const DamagedCase cases[] = {
        {"", "f: no scenario in the file (a line \"scenario NAME\" starts one)"},
        {"# only a comment\n", "f: no scenario in the file (a line \"scenario NAME\" starts one)"},
        {"fan-off 1 2\n", "f:1: a change before the first scenario line"},
        {"scenario\n", "f:1: a scenario needs a name: scenario \"NAME\""},
        {"scenario \"a\nb\n", "f:1: a scenario needs a name: scenario \"NAME\""},
        {"scenario a\nscenario a\n", "f:2: the scenario name \"a\" is used twice"},
        {"scenario a\n  shut 1 2\n", "f:2: unknown change \"shut\": fan-off, fan-speed, resistance, close, open, "
                                     "fixed-flow or fire"},
        {"scenario a\n  fan-off 1\n", "f:2: fan-off needs two node numbers"},
        {"scenario a\n  fire\n", "f:2: fire needs a node number"},
        {"scenario a\n  fan-off 1 1500\n", "f:2: a node number is a whole number 0 to 1499"},
        {"scenario a\n  fan-off 1 2.5\n", "f:2: a node number is a whole number 0 to 1499"},
        {"scenario a\n  fan-off 1 1e30\n", "f:2: a node number is a whole number 0 to 1499"},
        {"scenario a\n  close 4 4\n", "f:2: the two nodes are the same"},
        {"scenario a\n  fan-off 1 2 3\n", "f:2: fan-off takes the fan's two nodes only"},
        {"scenario a\n  fan-speed 1 2 0\n",
         "f:2: fan-speed takes the speed ratio after the fan's nodes, a number above 0"},
        {"scenario a\n  resistance 1 2 0.5\n",
         "f:2: resistance takes = R (a new resistance) or * F (a factor) after the road's nodes, a number above 0"},
        {"scenario a\n  resistance 1 2 = -1\n",
         "f:2: resistance takes = R (a new resistance) or * F (a factor) after the road's nodes, a number above 0"},
        {"scenario a\n  close 1 2 nan\n",
         "f:2: close takes the road's nodes and, if given, its resistance, a number above 0"},
        {"scenario a\n  open 1 2\n", "f:2: open takes the road's resistance after its nodes, a number above 0"},
        {"scenario a\n  fixed-flow 1 2 inf\n", "f:2: fixed-flow takes the road's airflow after its nodes"},
        {"scenario a\n  fire 14 0\n",
         "f:2: fire takes the fire node and, if given, the minutes it burns, a number above 0"},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<Scenario> scenarios;
        std::vector<std::string> errors;
        EXPECT_FALSE(parseScenarios(c.text, "f", scenarios, errors));
        EXPECT_TRUE(scenarios.empty());
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.front(), c.message);
    }
    std::vector<Scenario> scenarios;
    std::vector<std::string> errors;
    EXPECT_FALSE(parseScenarios("scenario a\n fan-off 1\nscenario b\n close 2\n", "f", scenarios, errors));
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_FALSE(readScenarioFile("/nonexistent/what.txt", scenarios, errors));
    EXPECT_EQ(errors.front(), "/nonexistent/what.txt: the scenario file cannot be read: not found");
}

struct ListCase {
    SweepKind kind;
    const char* text;
    std::size_t items;
    const char* error;
};

TEST(Sweeps, ListsOfRoadsAndNodes)
{
    const ListCase cases[] = {
        {SweepKind::RoadsClosed, "14-15,20-21", 2, ""},
        {SweepKind::FansOff, "10-3", 1, ""},
        {SweepKind::FireNodes, "14,212,0", 3, ""},
        {SweepKind::FireNodes, "", 0, "the list of fire-nodes is empty"},
        {SweepKind::RoadsClosed, "14", 0, "\"14\" in the list of roads-closed is not two node numbers A-B"},
        {SweepKind::RoadsClosed, "14-", 0, "\"14-\" in the list of roads-closed is not two node numbers A-B"},
        {SweepKind::FireNodes, "14-15", 0, "\"14-15\" in the list of fire-nodes is not a node number 0 to 1499"},
        {SweepKind::FireNodes, "1500", 0, "\"1500\" in the list of fire-nodes is not a node number 0 to 1499"},
        {SweepKind::FireNodes, "14,,15", 0, "\"\" in the list of fire-nodes is not a node number 0 to 1499"},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<SweepItem> items;
        std::string error;
        EXPECT_EQ(parseSweepList(c.text, c.kind, items, error), c.items > 0);
        EXPECT_EQ(items.size(), c.items);
        EXPECT_EQ(error, c.error);
    }
    SweepKind kind = SweepKind::FansOff;
    EXPECT_TRUE(parseSweepKind("fire-nodes", kind));
    EXPECT_EQ(kind, SweepKind::FireNodes);
    EXPECT_FALSE(parseSweepKind("fans", kind));
}

// Without a list: every fan, every pair of nodes a normal road joins (once),
// every underground node.
TEST(Sweeps, EveryElementWithoutAList)
{
    TestNetwork net;
    net.surface({{1, 0}, {2, 0}});
    net.underground({{10, 0}, {11, 0}});
    net.road(1, 10, 0.1f);
    net.road(10, 11, 0.2f);
    net.road(11, 10, 0.3f);  // a second road between 10 and 11
    net.fixedRoad(11, 2, 50);
    net.fan(11, 2, 100, {300, 200, 0});
    CBriscoDoc& doc = net.build();
    const auto names = [&](SweepKind kind, const std::vector<SweepItem>& items) {
        std::string all;
        for (const Scenario& s : sweepScenarios(doc, kind, items))
            all += s.name + ";";
        return all;
    };
    EXPECT_EQ(names(SweepKind::FansOff, {}), "fan 11-2 off;");
    EXPECT_EQ(names(SweepKind::RoadsClosed, {}), "road 1-10 closed;road 10-11 closed;");
    EXPECT_EQ(names(SweepKind::FireNodes, {}), "fire at 10;fire at 11;");
    EXPECT_EQ(names(SweepKind::FireNodes, {{99, 0}}), "fire at 99;");
}

}  // namespace
}  // namespace orvex::test
