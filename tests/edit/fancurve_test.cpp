// Fan curve entry point by point, the fan curve file and the display program's argument.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "edit/fancurve.h"
#include "support.h"

namespace orvex::edittest {
namespace {

using Step = FanCurveEntry::Step;

TEST(FanCurveEntry, NewFanPointByPoint)
{
    FanCurveEntry e = FanCurveEntry::forNewFan();
    EXPECT_EQ(e.label(), "Pressure(*) at 0 air flow");
    EXPECT_EQ(e.next(), Step::Refused);  // no count yet
    e.countField = 31;
    EXPECT_EQ(e.countLeft(), Step::Refused);
    e.countField = 3;
    e.flowStepField = 12.5f;
    e.pressureField = 100;
    EXPECT_EQ(e.next(), Step::Stay);
    EXPECT_EQ(e.label(), "Pressure(*) at 12 air flow (2/3)");  // 12.5 shown without decimals
    EXPECT_EQ(e.focusState(), 2);
    e.pressureField = 80;
    e.next();
    EXPECT_EQ(e.label(), "Pressure(*) at 25 air flow (3/3)");
    e.pressureField = 50;
    EXPECT_EQ(e.back(), Step::Stay);
    EXPECT_EQ(e.pressureField, 80.0f);
    e.back();
    EXPECT_EQ(e.back(), Step::Stay);  // nothing before the first point
    EXPECT_EQ(e.current(), 0);
    e.next();
    e.next();
    EXPECT_EQ(e.pressureField, 50.0f);
    EXPECT_EQ(e.next(), Step::Accept);  // "next" on the last point closes as OK
    const FanCurve c = e.result();
    EXPECT_EQ(c.points, 3);
    EXPECT_EQ(c.flowStep, 12.5f);
    EXPECT_EQ(c.pressure[2], 50.0f);
}

TEST(FanCurveEntry, LoweringTheCountDropsTheLaterPoints)
{
    FanCurveEntry e = FanCurveEntry::forFan(curve(10, {9, 8, 7, 6, 5}));
    EXPECT_EQ(e.label(), "Pressure(*) at 0 air flow (1/5)");
    EXPECT_EQ(e.pressureField, 9.0f);
    for (int j = 0; j < 4; ++j)
        e.next();
    e.back();
    e.back();
    e.countField = 2;
    EXPECT_EQ(e.next(), Step::Accept);  // point 3 of 2 is past the end
    const FanCurve c = e.result();
    EXPECT_EQ(c.points, 2);
    EXPECT_EQ(c.pressure[1], 8.0f);
    EXPECT_EQ(c.pressure[2], 0.0f);

    // "change fan data" takes a count above 30 as 30: no fan holds more.
    FanCurveEntry big = FanCurveEntry::forFan(curve(10, {9}));
    big.countField = 45;
    for (int j = 0; j < 60 && big.next() == Step::Stay; ++j) { }
    EXPECT_EQ(big.countField, 30);
    EXPECT_EQ(big.current(), 29);
    EXPECT_EQ(big.result().points, 30);
}

TEST(FanCurveEntry, EnterMovesFromAirflowToCountToPressureThenNext)
{
    FanCurveEntry e = FanCurveEntry::forFan(curve(10, {9, 8}));
    std::optional<FanCurveEntry::Field> focus;
    EXPECT_EQ(e.enter(focus), Step::Stay);
    EXPECT_EQ(focus, FanCurveEntry::Field::Count);
    e.enter(focus);
    EXPECT_EQ(focus, FanCurveEntry::Field::Pressure);
    EXPECT_EQ(e.enter(focus), Step::Stay);
    EXPECT_EQ(e.current(), 1);
    EXPECT_EQ(e.enter(focus), Step::Accept);
}

// Two fans; the heading and comment lines are Shift-JIS bytes.
TEST(FanCurveFile, ExactBytes)
{
    EditBench b;
    for (int n : {3, 12, 7, 8})
        b.node(n, n, 0);
    b.fan(3, 12, 2.5f, {120.5f, 100, 60.25f});
    b.fan(7, 8, 10, {50});
    TempFolder folder;
    b.doc->baseName = folder.file("my mine.");
    ASSERT_TRUE(writeFanCurveFile(*b.doc));
    std::ifstream in(folder.file("my mine.fan"), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string heading = "[\xBA\xD2\xDD\xC4]fan";
    const std::string comment = "* \x83\x52\x83\x81\x83\x93\x83\x67\n";
    const std::string headings = heading + "1\n" + heading + "2\n" + heading + "3\n";
    EXPECT_EQ(bytes.str(),
        headings + comment
            + " 3  12 \n"
              "    0.00000  120.50\n"
              "    2.50000  100.00\n"
              "    5.00000   60.25\n"
            + comment
            + " 7  8 \n"
              "    0.00000   50.00\n");
    b.ops().deleteFan(1);
    b.ops().deleteFan(1);
    EXPECT_EQ(fanCurveText(*b.doc), headings);
}

TEST(FanCurveFile, DisplayProgramStartsEvenWhenTheFileCannotBeWritten)
{
    struct Starter : ProgramStarter {
        void open(const std::string& program, const std::string& argument) override
        {
            started = program + " " + argument;
        }
        std::string started;
    } starter;
    EditBench b;
    b.doc->baseName = "/no such folder/x.";
    fanCharacterDisplay(*b.doc, starter);
    EXPECT_EQ(b.reporter.messages, std::vector<std::string>{"/no such folder/x.fan:write ?"});
    EXPECT_EQ(starter.started, b.app.programFolder + "/Vistrel.exe /no*such*folder/x.fan");

    EXPECT_EQ(curveDisplayArgument("C:\\my data\\mine."), "C:\\my*data\\mine.fan");
    EXPECT_EQ(curveDisplayArgument("a" + std::string(51, ' ') + "tail."),
        "a" + std::string(50, '*') + "fan");
}

}  // namespace
}  // namespace orvex::edittest
