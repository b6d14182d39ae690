#include <gtest/gtest.h>

#include "checks/checks.h"
#include "support/support.h"

namespace orvex::test {
namespace {

TEST(CheckDefaultsFile, ShippedFileHoldsTheBuiltInValuesAndAMissingOneIsSilent)
{
    RecordingReporter reporter;
    CheckDefaults shipped{0, 0, 1, 1, 0, 0, 0, 1}, builtIn;
    EXPECT_TRUE(readCheckDefaults(kSourceDir, shipped, reporter));
    for (auto field : {&CheckDefaults::minVelocity, &CheckDefaults::maxVelocity, &CheckDefaults::minAirflow,
                       &CheckDefaults::fanEfficiency, &CheckDefaults::hoursPerYear, &CheckDefaults::pricePerKwh,
                       &CheckDefaults::stallMargin, &CheckDefaults::orificeCoefficient})
        EXPECT_EQ(shipped.*field, builtIn.*field);

    CheckDefaults kept;
    kept.maxVelocity = 3;
    EXPECT_TRUE(readCheckDefaults("/nonexistent-orvex", kept, reporter));
    EXPECT_EQ(kept.maxVelocity, 3);
    EXPECT_EQ(reporter.all(), "");
}

// A bad second line is told with its file and line; the first and third
// lines still count, and the refused setting keeps its default.
TEST(CheckDefaultsFile, BadLineIsToldAndTheRestRead)
{
    const struct {
        const char* line;
        const char* told;
    } cases[] = {
        {"max_velocity fast", "not a number: \"fast\""},
        {"max_velocty 6", "\"max_velocty\" is no setting"},
        {"max_velocity", "max_velocity has no value"},
        {"max_velocity 6 7", "followed by \"7\""},
        {"max_velocity -1", "max_velocity -1 is refused"},
        {"fan_efficiency 0", "fan_efficiency 0 is refused"},
        {"fan_efficiency 1.2  # too good", "fan_efficiency 1.2 is refused"},
        {"min_velocity 9", "least velocity 9 m/s is above the greatest, 8 m/s"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir.file("sdt/checks.sdt");
        writeFile(path, std::string("min_airflow 5\n") + c.line + "\nprice_per_kwh 0.2\nhours_per_year 8784\n");
        RecordingReporter reporter;
        CheckDefaults read;
        EXPECT_FALSE(readCheckDefaults(dir.path().string(), read, reporter)) << c.line;
        EXPECT_TRUE(reporter.contains(path + ": line 2: ")) << reporter.all();
        EXPECT_TRUE(reporter.contains(c.told)) << reporter.all();
        EXPECT_EQ(read.minAirflow, 5) << c.line;
        EXPECT_EQ(read.pricePerKwh, 0.2) << c.line;
        EXPECT_EQ(read.hoursPerYear, 8784) << c.line;
        EXPECT_EQ(read.minVelocity, 0.25) << c.line;
        EXPECT_EQ(read.maxVelocity, 8) << c.line;
        EXPECT_EQ(read.fanEfficiency, 0.7) << c.line;
    }
}

TEST(CheckOverridesFile, BadLineIsToldAndTheRestRead)
{
    const struct {
        const char* line;
        const char* told;
    } cases[] = {
        {"pump 5 6", "names a road or a fan, not \"pump\""},
        {"road 5", "road 5 needs its second node"},
        {"road 5 6", "has no limits"},
        {"road 5 6 top_speed 3", "\"top_speed\" is no limit"},
        {"road 5 6 max_velocity x", "not a number: \"x\""},
        {"road 5 6 max_velocity 3 max_velocity 4", "max_velocity is given twice"},
        {"road 5 6 min_velocity -1", "min_velocity -1 is refused"},
        {"road 5 6 min_velocity 5 max_velocity 4", "least velocity 5 m/s is above the greatest, 4 m/s"},
        {"road 1 2 min_velocity 7", "least velocity 7 m/s is above the greatest, 6 m/s"},  // with line 1's
        {"road \"stope max_velocity 3", "no closing quote"},
        {"fan 7", "by its inlet and outlet"},
        {"fan 7 8 efficiency 1.5", "efficiency 1.5 of fan 7-8 is refused"},
        {"fan 7 8 max_velocity 3", "a fan line gives only its efficiency"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string base = dir.file("mine.");
        writeFile(base + "chk", std::string("road 1 2 min_velocity 6 max_velocity 6 min_airflow 0\n") + c.line +
                                "\n\nfan 3 4 efficiency 1\n");
        RecordingReporter reporter;
        CheckOverrides read;
        EXPECT_FALSE(readCheckOverrides(base, read, reporter)) << c.line;
        EXPECT_TRUE(reporter.contains(base + "chk: line 2: ")) << reporter.all();
        EXPECT_TRUE(reporter.contains(c.told)) << reporter.all();
        ASSERT_EQ(read.roads.size(), 1u) << c.line;
        const RoadLimits first = read.roads[std::pair(1, 2)];
        EXPECT_EQ(first.maxVelocity, 6.0);
        EXPECT_EQ(first.minVelocity, 6.0);
        EXPECT_TRUE(read.namedRoads.empty()) << c.line;
        EXPECT_EQ(read.fanEfficiency, (std::map<std::pair<int, int>, double>{{{3, 4}, 1.0}})) << c.line;
    }
}

TEST(CheckOverridesFile, WrittenInAStableOrderAndReadBackUnchanged)
{
    TempFolder dir;
    const std::string base = dir.file("mine.");
    RecordingReporter reporter;
    CheckOverrides none;
    EXPECT_TRUE(readCheckOverrides(base, none, reporter));  // no file: no limits, nothing said
    EXPECT_TRUE(none.roads.empty() && none.namedRoads.empty() && none.fanEfficiency.empty());

    CheckOverrides limits;
    limits.roads[{102, 101}].maxVelocity = 6;
    limits.roads[{101, 102}] = {0.5, 6, 300};
    limits.namedRoads["stope_2a"].maxVelocity = 4;
    limits.namedRoads["say \"hi\" \\"].minAirflow = 1.0 / 3;
    limits.fanEfficiency[{10, 3}] = 0.75;
    ASSERT_TRUE(writeCheckOverrides(base, limits, reporter)) << reporter.all();
    const std::string written = readFile(base + "chk");
    EXPECT_NE(written.find("road 101 102 min_velocity 0.5 max_velocity 6 min_airflow 300\n"
                           "road 102 101 max_velocity 6\n"
                           "road \"say \\\"hi\\\" \\\\\" min_airflow 0.3333333333333333\n"
                           "road \"stope_2a\" max_velocity 4\n"
                           "fan 10 3 efficiency 0.75\n"),
              std::string::npos)
        << written;

    CheckOverrides back;
    EXPECT_TRUE(readCheckOverrides(base, back, reporter));
    EXPECT_EQ(back.namedRoads["say \"hi\" \\"].minAirflow, 1.0 / 3);
    ASSERT_TRUE(writeCheckOverrides(base, back, reporter));
    EXPECT_EQ(readFile(base + "chk"), written);
    EXPECT_EQ(reporter.all(), "");
}

}  // namespace
}  // namespace orvex::test
