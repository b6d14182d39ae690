// Units settings file.
#include <gtest/gtest.h>

#include <tuple>

#include "model/units.h"
#include "testsupport.h"

namespace orvex::test {
namespace {

int readUnits(const std::string& text, UnitsSettings& s, RecordingReporter& reporter, TempDir& dir)
{
    writeFile(dir.file("sdt/units.sdt"), text);
    return readUnitsFile(dir.path().string(), s, reporter);
}

TEST(UnitsFile, ValuesAreReadInOrder)
{
    TempDir dir;
    RecordingReporter reporter;
    UnitsSettings s;
    ASSERT_EQ(readUnits(kUnitsText, s, reporter, dir), 1);
    EXPECT_TRUE(reporter.messages.empty()) << reporter.all();
    EXPECT_EQ(std::make_tuple(s.flowUnitFactor, s.flowUnitName.str()), std::make_tuple(0.01666667f, "m3/min"));
    EXPECT_EQ(std::make_tuple(s.pressureUnitFactor, s.pressureUnitName.str()), std::make_tuple(9.80665f, "Pa"));
    EXPECT_EQ(std::make_tuple(s.resistanceUnitFactor, s.resistanceUnitName.str()), std::make_tuple(1.0f, "Murgue"));
    EXPECT_EQ(std::make_tuple(s.solverError, s.epsFactor, s.thresholdFactor, s.pressureBound, s.relaxation, s.shiftFactor),
              std::make_tuple(0.01f, 0.001f, 0.5f, 1000.0f, 1.2f, 0.1f));
    EXPECT_EQ(std::make_tuple(s.innerSweeps, s.displayData, s.maxIteration), std::make_tuple(3, 0, 500));
}

TEST(UnitsFile, LongLabelIsCutTo19Characters)
{
    TempDir dir;
    RecordingReporter reporter;
    UnitsSettings s;
    std::string text = kUnitsText;
    text.replace(text.find("0.01666667 m3/min"), 17, "0.01666667 cubic_metres_per_minute_of_air");
    ASSERT_EQ(readUnits(text, s, reporter, dir), 1);
    EXPECT_EQ(s.flowUnitName.str(), "cubic_metres_per_mi");
    EXPECT_EQ(s.pressureUnitFactor, 9.80665f);  // the rest stays aligned
    EXPECT_EQ(s.maxIteration, 500);
}

TEST(UnitsFile, MissingFileLeavesZeroesAndNetworksGetNoSpecificWeight)
{
    ProgramFiles files;
    files.withUnits = false;
    Installation inst(files);
    EXPECT_EQ(readUnitsFile(inst.program(), inst.app.units, inst.reporter), 0);
    ASSERT_EQ(inst.reporter.messages.size(), 1u);
    EXPECT_EQ(inst.reporter.messages[0].text, "Tenbrook read ? : /sdt/units.sdt");
    EXPECT_EQ(inst.app.units.flowUnitFactor, 0.0f);
    EXPECT_EQ(inst.app.units.solverError, 0.0f);
    EXPECT_TRUE(inst.app.units.flowUnitName.empty());

    ASSERT_EQ(inst.doc->readNetworkFile(dataPath("small.vad"), true), 1);
    EXPECT_EQ(inst.doc->density, 1.20459f);
    EXPECT_EQ(inst.doc->specificWeight, 0.0f);
}

}  // namespace
}  // namespace orvex::test
