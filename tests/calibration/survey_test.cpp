// The survey file and the --fit terms: what is read, and every damaged line
// named by its line and column and left out while the rest is used.
#include <sstream>

#include <gtest/gtest.h>

#include "calibration/calibration.h"

namespace orvex {
namespace {

SurveyRead parse(const std::string& text)
{
    std::istringstream in(text);
    return parseSurvey(in, "survey.csv");
}

TEST(Survey, ReadsEveryKindWithNotesPercentagesAndSpreadsheetLineEnds)
{
    const SurveyRead read = parse("\xEF\xBB\xBFkind,from,to,value,sd,name,remark\r\n"
                                  "# taken on the day shift\r\n"
                                  "airflow,12,13,1500,45,MAIN-1,\"vane, twice\"\r\n"
                                  "\r\n"
                                  "  # a note after blanks\n"
                                  "Pressure-Drop,13,20,-120.5,4%\n"
                                  "fan-pressure,1,2,2300,2.5 %\n");
    ASSERT_EQ(read.error, "");
    EXPECT_TRUE(read.survey.warnings.empty());
    ASSERT_EQ(read.survey.measurements.size(), 3u);
    const Measurement& a = read.survey.measurements[0];
    EXPECT_EQ(a.kind, MeasurementKind::Airflow);
    EXPECT_EQ(a.from * 100 + a.to, 1213);
    EXPECT_EQ(a.value, 1500);
    EXPECT_EQ(a.sd, 45);
    EXPECT_EQ(a.note, "MAIN-1, vane, twice");
    EXPECT_EQ(a.line, 3);
    const Measurement& p = read.survey.measurements[1];
    EXPECT_EQ(p.kind, MeasurementKind::PressureDrop);
    EXPECT_NEAR(p.sd, 4.82, 1e-5);  // a percentage of the size of the value
    EXPECT_EQ(p.line, 6);
    EXPECT_NEAR(read.survey.measurements[2].sd, 57.5, 1e-4);
}

struct BadLine {
    const char* name;
    const char* line;
    const char* problem;
};

class DamagedLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(DamagedLine, IsNamedAndLeftOutWhileTheRestIsUsed)
{
    const SurveyRead read = parse(std::string("kind,from,to,value,sd\nairflow,1,2,10,1\n") + GetParam().line + "\n");
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.survey.measurements.size(), 1u);
    ASSERT_EQ(read.survey.warnings.size(), 1u);
    EXPECT_EQ(read.survey.warnings[0], std::string("survey.csv: line 3, ") + GetParam().problem +
                                           "; the line is left out");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DamagedLine,
    ::testing::Values(
        BadLine{"UnknownKind", "velocity,1,2,3,1",
                "column 1 (kind): \"velocity\" is not airflow, pressure-drop or fan-pressure"},
        BadLine{"NodeNotANumber", "airflow,A,2,3,1", "column 2 (from): a whole number is needed, but the field holds \"A\""},
        BadLine{"EmptyValue", "airflow,1,2,,1", "column 4 (value): a number is needed, but the field is empty"},
        BadLine{"ZeroDeviation", "airflow,1,2,3,0", "column 5 (sd): the standard deviation must be above 0"},
        BadLine{"NegativeDeviation", "airflow,1,2,3,-1", "column 5 (sd): the standard deviation must be above 0"},
        BadLine{"ZeroPercentOfZero", "airflow,1,2,0,5%", "column 5 (sd): the standard deviation must be above 0"},
        BadLine{"PercentNotANumber", "airflow,1,2,3,x%",
                "column 5 (sd): a percentage is needed, but the field holds \"x%\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Survey, WithoutItsHeaderOrAUsableLineIsRefused)
{
    EXPECT_EQ(parse("from,to,kind,value,sd\nairflow,1,2,3,1\n").error,
              "survey.csv: the first line must be the header kind,from,to,value,sd");
    EXPECT_EQ(parse("kind,from,to,value\n").error, "survey.csv: the first line must be the header kind,from,to,value,sd");
    EXPECT_EQ(parse("kind,from,to,value,sd\nairflow,1,2,3,0\n").error,
              "survey.csv: no usable measurement (survey.csv: line 2, column 5 (sd): the standard deviation must be "
              "above 0; the line is left out)");
    EXPECT_EQ(readSurvey("/nonexistent/survey.csv").error, "/nonexistent/survey.csv: cannot be opened");
}

TEST(FitTerms, TermsAreReadAndMistakesNamed)
{
    FitTerms terms;
    terms.priorPercent = 20;
    terms.lowFactor = 0.5;
    terms.highFactor = 3;
    terms.fanPriorShare = 0.2;
    terms.iterationLimit = 7;
    std::string error;
    ASSERT_TRUE(parseFitTerms("groups:MAIN,DEV; roads:1-2, 3-4 ;group:5-6,6-7;fans:1-2", terms, error)) << error;
    EXPECT_FALSE(terms.allRoads);
    EXPECT_FALSE(terms.allFans);
    EXPECT_EQ(terms.prefixes, (std::vector<std::string>{"MAIN", "DEV"}));
    EXPECT_EQ(terms.roads, (std::vector<std::pair<int, int>>{{1, 2}, {3, 4}}));
    EXPECT_EQ(terms.lists, (std::vector<std::vector<std::pair<int, int>>>{{{5, 6}, {6, 7}}}));
    EXPECT_EQ(terms.fans, (std::vector<std::pair<int, int>>{{1, 2}}));
    // The settings beside the terms stay.
    EXPECT_EQ(terms.priorPercent, 20);
    EXPECT_EQ(terms.lowFactor, 0.5);
    EXPECT_EQ(terms.highFactor, 3);
    EXPECT_EQ(terms.fanPriorShare, 0.2);
    EXPECT_EQ(terms.iterationLimit, 7);
    ASSERT_TRUE(parseFitTerms("roads;fans", terms, error));
    EXPECT_TRUE(terms.allRoads && terms.allFans && terms.roads.empty());

    for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
             {"", "--fit: nothing to fit is named"},
             {"resistances", "--fit: \"resistances\" is not one of roads, roads:A-B,..., groups:PREFIX,..., "
                             "group:A-B,..., fans, fans:A-B,..."},
             {"roads:1-", "--fit: \"1-\" in \"roads:1-\" is not two node numbers such as 12-13"},
             {"fans:1", "--fit: \"1\" in \"fans:1\" is not two node numbers such as 12-13"},
             {"group:", "--fit: \"group:\" lists nothing after the colon"},
             {"groups:A,", "--fit: an empty name prefix in \"groups:A,\""},
             {"group", "--fit: \"group\" is not one of roads, roads:A-B,..., groups:PREFIX,..., group:A-B,..., "
                       "fans, fans:A-B,..."}}) {
        FitTerms kept = defaultFitTerms();
        EXPECT_FALSE(parseFitTerms(text, kept, error)) << text;
        EXPECT_EQ(error, message);
        EXPECT_TRUE(kept.allRoads) << "a refused text leaves the terms as it was";
    }
}

}  // namespace
}  // namespace orvex
