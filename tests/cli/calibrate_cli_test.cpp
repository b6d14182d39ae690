// orvex-solve --calibrate as a user runs it: the sample mine fitted to its
// survey, written under a new name, and input that cannot be used refused
// with nothing written.
#include <cmath>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support.h"

namespace orvex::test {
namespace {

// A folder with the sample mine's files and its survey beside the settings.
class CalibrateCli : public ::testing::Test {
protected:
    CalibrateCli()
    {
        for (const auto& f : fs::directory_iterator(kSourceDir + "/data"))
            if (f.path().stem() == "mine" || f.path().filename() == "mine-survey.csv")
                fs::copy_file(f.path(), folder.path() / f.path().filename());
        fs::create_directory_symlink(kSourceDir + "/sdt", folder.path() / "sdt");
        writeFile(folder.file("elsewhere.csv"), "kind,from,to,value,sd\nairflow,7,8,100,5%\n");
    }
    SolveRun calibrate(const std::string& arguments) { return runIn(folder.path().string(), solveBinary(), arguments); }
    TempFolder folder;
};

TEST_F(CalibrateCli, RefusesInputItCannotUseAndWritesNothing)
{
    const struct {
        const char* arguments;
        const char* said;
    } cases[] = {
        {"--calibrate none.csv -o fit.vad mine.vad", "none.csv: cannot be opened"},
        {"--calibrate mine.vad -o fit.vad mine.vad", "mine.vad: the first line must be the header kind,from,to,value,sd"},
        {"--calibrate elsewhere.csv -o fit.vad mine.vad", "mine.vad: No measurement of the survey names a road"},
        {"--calibrate mine-survey.csv --fit fans:1-2 -o fit.vad mine.vad", "mine.vad: Nothing to fit"},
        {"--calibrate mine-survey.csv --fit pipes -o fit.vad mine.vad", "--fit: \"pipes\" is not one of"},
        {"--calibrate mine-survey.csv --fit roads:1-x -o fit.vad mine.vad", "\"1-x\" in \"roads:1-x\""},
        {"--calibrate mine-survey.csv --bounds 2,10 -o fit.vad mine.vad", "--bounds: expected LO,HI"},
        {"--calibrate mine-survey.csv --prior 0 -o fit.vad mine.vad", "--prior: expected a percentage above 0"},
        {"--calibrate mine-survey.csv --fit-iterations 0 -o fit.vad mine.vad", "--fit-iterations: expected a whole"},
        {"--calibrate mine-survey.csv mine.vad", "name the fitted network to write with -o FITTED.vad"},
        {"--calibrate mine-survey.csv --save -o fit.vad mine.vad", "leave out --save"},
        {"--fit roads -o fit.vad mine.vad", "--fit requires --calibrate"},
        {"--calibrate mine-survey.csv -o mine.vad mine.vad", "--overwrite replaces them"},
    };
    const std::string sample = readFile(folder.file("mine.vad"));
    for (const auto& c : cases) {
        const SolveRun run = calibrate(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.arguments << "\n" << run.err;
        EXPECT_EQ(run.out, "") << c.arguments;
        EXPECT_FALSE(fs::exists(folder.file("fit.vad"))) << c.arguments;
    }
    EXPECT_EQ(readFile(folder.file("mine.vad")), sample);
}

// The survey was made from the sample with six resistances changed
// (tools/mine-survey.py): the fit takes every measurement within 3 sd, and
// finds the regulators' changes (x1.5 and x0.7) within 3 uncertainties.
TEST_F(CalibrateCli, FitsTheSampleToItsSurveyAndWritesTheFittedNetwork)
{
    SolveRun run = calibrate("--calibrate mine-survey.csv --format json -o fit.vad mine.vad");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto report = nlohmann::json::parse(run.out);
    EXPECT_TRUE(report["converged"].get<bool>());
    EXPECT_EQ(report["measurements"].size(), 30u);
    EXPECT_LT(report["costAfter"].get<double>(), report["costBefore"].get<double>());
    for (const auto& m : report["measurements"])
        EXPECT_LE(std::fabs(m["normalisedAfter"].get<double>()), 3.0) << m.dump();
    double regulator = 0;  // road 205-223's fitted resistance, as the fitted network holds it
    const std::string fitted = readFile(folder.file("fit.vad"));
    std::istringstream(fitted.substr(fitted.find("  205   223 ") + 12)) >> regulator;
    for (const auto& [name, factor] : {std::make_pair("road 103-121", 1.5), std::make_pair("road 205-223", 0.7)}) {
        for (const auto& u : report["unknowns"]) {
            if (u["name"] != name)
                continue;
            EXPECT_LE(std::fabs(u["fitted"].get<double>() - factor * u["start"].get<double>()),
                      3 * u["uncertainty"].get<double>()) << u.dump();
            if (u["name"] == "road 205-223") {
                EXPECT_NEAR(regulator, u["fitted"].get<double>(), 1e-3);
            }
        }
    }
    EXPECT_EQ(readFile(folder.file("fit.sdt")), readFile(folder.file("mine.sdt")));
    EXPECT_EQ(calibrate("fit.vad").status, 0);

    const struct {
        const char* format;
        const char* said;
    } formats[] = {
        {"text", "Fitted network written to fit.vad"},
        {"text", "\nUnknowns\n"},
        {"csv", "\nkind,name,elements,unit,start,fitted,uncertainty,prior,atBound,determined,undeterminedSet\n"
                "resistance,road 1-101,1-101,"},
        {"csv", "\nkind,from,to,note,line,unit,measured,sd,before,after,"},
    };
    for (const auto& f : formats) {
        run = calibrate(std::string("--calibrate mine-survey.csv --overwrite --format ") + f.format +
                        " -o fit.vad mine.vad");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(f.said), std::string::npos) << run.out;
    }
}

// A fit cut short is reported with its last state, fails with status 1 and
// writes nothing.
TEST_F(CalibrateCli, AFitThatDoesNotConvergeWritesNothing)
{
    const SolveRun run = calibrate("--calibrate mine-survey.csv --fit roads --fit-iterations 1 -o fit.vad mine.vad");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the fit did not converge after 1 iteration; nothing written"), std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("Did not converge after 1 iteration; cost 128.01 -> "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nNothing written\n"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(folder.file("fit.vad")));
}

}  // namespace
}  // namespace orvex::test
