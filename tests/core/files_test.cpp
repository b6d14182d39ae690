// The network file, the written companion files and the units file: exact
// written layouts, read/write agreement and the rules of the readers.
#include <gtest/gtest.h>

#include <tuple>

#include "model/units.h"
#include "support/support.h"

namespace orvex::test {
namespace {

// tests/data/small.vad as the writer must give it back: counts "%6d \n",
// nodes "%5d %7.1f  " five to a line, roads "%5d %5d " "%13.7f " "%5.1f "
// "%9.5f %7.1f %6.2f\n", fixed-flow roads "%5d %5d %13.7f    " three to a
// line, fans "%4d %4d\n" "%4d %11.5f\n" and points "%7.2f " eight to a line,
// the kind line "%4d   %10.1f   %10.1f\n", the surface temperature "%7.1f\n".
const std::string kSmallVad = std::string() +
    "[ORVEX] Test mine\nheading two\nheading three\n"
    "     7 \n"
    "    1   100.0  " "    2   101.3  " "    3   102.0  " "    4   103.0  " "    5   104.0  " "\n"
    "    6   105.0  " "    7   106.0  " "\n"
    "underground nodes\n"
    "     3 \n"
    "   10   -50.5  " "   11   -60.0  " "   12   -70.0  " "\n"
    "normal roads\n"
    "     3 \n"
    "    1    10 " "    0.0156250 " " 15.5 " " 12.25000   100.0   2.50\n"
    "   10    11 " "    1.5000000 " " 20.0 " "  9.75000   250.5   1.75\n"
    "   11    12 " "    0.2500000 " " 25.0 " "  3.00000    50.0   2.00\n"
    "fixed-flow roads\n"
    "     4 \n"
    "    2    10   100.0000000    " "    3    10   200.5000000    " "    4    11   -30.0000000    " "\n"
    "    5    12     0.0000000    " "\n"
    "fans\n"
    "     2 \n"
    "Fan: main\n"
    "  12    6\n"
    "   8   500.00000\n"
    " 100.00   90.00   80.00   70.00   60.00   50.00   40.00   30.00 \n"
    "Fan: booster\n"
    "  11    7\n"
    "   9   250.50000\n"
    "   1.00    2.00    3.00    4.00    5.00    6.00    7.00    8.00 \n"
    "   9.00 \n"
    "network kind\n"
    "   0" "   " "       0.0" "   " "       0.0" "\n"
    "surface temperature\n"
    "   18.5\n"
    "end of data &\n";

using FileFunction = int (*)(CBriscoDoc&, const std::string& base);

struct FileCase {
    const char* ext;
    FileFunction read, write;
    std::string expected;
};

const FileCase kFiles[] = {
    {"vad", [](CBriscoDoc& d, const std::string& b) { return d.readNetworkFile(b + "vad", true); },
     [](CBriscoDoc& d, const std::string& b) { return d.writeNetworkFile(b + "vad"); }, kSmallVad},
    // " %4d %8.2f %8.2f \n"
    {"jpd", [](CBriscoDoc& d, const std::string& b) { return d.readNodeLocationFile(b); },
     [](CBriscoDoc& d, const std::string& b) { return d.writeNodeLocationFile(b); },
     "    1     0.00     0.00 \n    2    10.00     0.00 \n    3    20.00     0.00 \n"
     "    4    30.00     0.00 \n    5    40.00     0.00 \n    6    50.00     0.00 \n"
     "    7    60.00     0.00 \n   10     0.00   -50.25 \n   11   100.50   -50.25 \n"
     "   12   200.00  -100.00 \n"},
    // " %4d  %4d  %5d \n" per road in road order, " %8.1f %8.1f %2d \n" per
    // point from the road's first node: the block given as 12 11 comes last,
    // its points reversed.
    {"apd", [](CBriscoDoc& d, const std::string& b) { return d.readBendFile(b); },
     [](CBriscoDoc& d, const std::string& b) { return d.writeBendFile(b); },
     "   10    11      2 \n"
     "     20.0    -50.0  0 \n"
     "     60.0    -50.0  3 \n"
     "   11    12      2 \n"
     "    170.0    -80.0  4 \n"
     "    150.0    -75.0 -1 \n"
     "    2    10      1 \n"
     "      5.0      5.0  2 \n"},
    // "%5d\n" counts, "%4d %14.6f\n" nodes, "%4d %4d %14.6f \n" fans,
    // "%4d %4d %2d %14.6f %14.6f \n" roads.
    {"pkd", [](CBriscoDoc& d, const std::string& b) { return d.readResultsFile(b); },
     [](CBriscoDoc& d, const std::string& b) { return d.writeResultsFile(b); },
     "   10\n"
     "   1   10300.500000\n   2   10300.250000\n   3   10300.000000\n   4   10299.750000\n"
     "   5   10299.500000\n   6   10299.250000\n   7   10299.000000\n  10   10350.125000\n"
     "  11   10360.500000\n  12   10370.750000\n"
     "    2\n"
     "  12    6    1500.500000 \n"
     "  11    7       0.000000 \n"
     "    3\n"
     "   1   10  0       0.000000       0.000000 \n"
     "  10   11  1      25.500000       1.200000 \n"
     "  11   12  2      -3.250000       1.150000 \n"},
    {"sdt", [](CBriscoDoc& d, const std::string& b) { return d.readParameterFile(b); },
     [](CBriscoDoc& d, const std::string& b) { return d.writeParameterFile(b); },
     "kval, ftime_fi, dummy\n"
     "   6.00   0.20   0.0\n"
     "firenode, firetemp, ftime_ai, firetime, fc_lim\n"
     "  10 500.0   2.0  30.0  0.0020\n"
     "gas_esc, tmf_esc, ftf_esc, gsf_esc, tpf_esc, spd_esc\n"
     "  4.0   1.5   2.0   2.5   3.0  50.0 \n"
     "Evacuation destination / Number / Node hazard_level(s)\n"
     "   2 \n"
     "   1     3\n"
     "   6     2\n"
     "Not Useable roadway    / Number / Node1 Node2 \n"
     "   2 \n"
     "  10   11  11   12"},
};

TEST(WrittenFiles, HaveTheExactLayoutAndReadBackToTheSameFile)
{
    for (const FileCase& c : kFiles) {
        SCOPED_TRACE(c.ext);
        const std::string ext = c.ext;
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
        ASSERT_EQ(c.read(doc, kSmallBase), 1);
        EXPECT_EQ(inst.reporter.all(), "");
        ASSERT_EQ(c.write(doc, inst.work("first.")), 1);
        const std::string first = readFile(inst.work("first.") + ext);
        EXPECT_EQ(first, c.expected);

        // A fresh document (the default network) reads the written file.
        auto again = inst.newDocument();
        if (ext != "vad") {
            ASSERT_EQ(again->readNetworkFile(kSmallBase + "vad", true), 1);
        }
        ASSERT_EQ(c.read(*again, inst.work("first.")), 1);
        ASSERT_EQ(c.write(*again, inst.work("second.")), 1);
        EXPECT_EQ(readFile(inst.work("second.") + ext), first);
    }
}

TEST(NetworkFile, TitleKindLineAndElevationSwitch)
{
    // The title follows the first "]" of the first line; a water network
    // (kind -9) gets its own title, water's density and resistances written
    // as 0; a third number of the kind line below -99 sets every elevation
    // to 0. The kind line is written back without the switch.
    const struct {
        const char *from, *to, *title;
        float elevation;  // of node 10
        float density;
        const char *resistance, *kind;  // of the first road and the kind line, as written
    } cases[] = {
        {"[ORVEX] Test mine", "A]b]c", "b]c\n", -50.5f, 1.20459f, "0.0156250", "   0"},
        {"[ORVEX] Test mine", "No tag", "No tag\n", -50.5f, 1.20459f, "0.0156250", "   0"},
        {"0 0 0\n", "-9 0 0\n", "....< Water Path Network >", -50.5f, 1000, "0.0000000", "  -9"},
        {"0 0 0\n", "0 0 -100\n", " Test mine\n", 0, 1.20459f, "0.0156250", "   0"},
        {"0 0 0\n", "0 0 -99\n", " Test mine\n", -50.5f, 1.20459f, "0.0156250", "   0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        writeFile(inst.work("t.vad"), replaced(readFile(kSmallBase + "vad"), c.from, c.to));
        ASSERT_EQ(doc.readNetworkFile(inst.work("t.vad"), false), 1);
        EXPECT_EQ(doc.title, c.title);
        EXPECT_EQ(doc.windowTitle, doc.isWater() ? c.title : "");  // water: although not asked for
        EXPECT_EQ(doc.nodes[8].elevation, c.elevation);
        EXPECT_EQ(doc.density, c.density);
        EXPECT_NEAR(doc.specificWeight, c.density / 60, c.density * 1e-7);  // kg/s per m3/min
        EXPECT_EQ(doc.roads[1].resistance, 0.015625f);        // water too: kept in memory
        ASSERT_EQ(doc.writeNetworkFile(inst.work("out.vad")), 1);
        const std::string out = readFile(inst.work("out.vad"));
        EXPECT_NE(out.find("\n    1    10     " + std::string(c.resistance) + " "), std::string::npos) << out;
        EXPECT_NE(out.find("\n" + std::string(c.kind) + "          0.0          0.0\n"), std::string::npos) << out;
    }
}

TEST(UnitsFile, ValuesInOrderLabelsCutTo19AndMissingFileReported)
{
    TempFolder dir;
    RecordingReporter reporter;
    UnitsSettings s;
    writeFile(dir.file("sdt/units.sdt"), replaced(kUnitsText, " m3/min\n", " cubic_metres_per_minute_of_air\n"));
    ASSERT_EQ(readUnitsFile(dir.path().string(), s, reporter), 1);
    EXPECT_EQ(reporter.all(), "");
    EXPECT_EQ(std::make_tuple(s.flowUnitFactor, s.flowUnitName.str()), std::make_tuple(0.01666667f, "cubic_metres_per_mi"));
    EXPECT_EQ(std::make_tuple(s.pressureUnitFactor, s.pressureUnitName.str()), std::make_tuple(9.80665f, "Pa"));
    EXPECT_EQ(std::make_tuple(s.resistanceUnitFactor, s.resistanceUnitName.str()), std::make_tuple(1.0f, "Murgue"));
    EXPECT_EQ(std::make_tuple(s.solverError, s.epsFactor, s.thresholdFactor, s.pressureBound, s.relaxation, s.shiftFactor),
              std::make_tuple(0.01f, 0.001f, 0.5f, 1000.0f, 1.2f, 0.1f));
    EXPECT_EQ(std::make_tuple(s.innerSweeps, s.displayData, s.maxIteration), std::make_tuple(3, 0, 500));

    UnitsSettings none;
    EXPECT_EQ(readUnitsFile(dir.file("absent"), none, reporter), 0);
    EXPECT_EQ(reporter.all(), "[Tenbrook read ? : /sdt/units.sdt\nnot found]\n");
    EXPECT_EQ(std::make_tuple(none.flowUnitFactor, none.maxIteration), std::make_tuple(0.0f, 0));
}

std::string bendBlock(int a, int b, int n)
{
    std::string text = std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(n) + "\n";
    for (int p = 1; p <= n; ++p)
        text += std::to_string(p) + " 0 0\n";
    return text;
}

TEST(BendFile, UnknownRoadIsSkippedAndTheStoreKeepsBelow2500Slots)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
    // 99-98 names no road: its 5 points are read past. Road 10-11 takes 11
    // slots; 11-12 with 2485 points and 1-10 with one fill the store to slot
    // 2499. With 2488 points 11-12 would reach slot 2500: refused, and the
    // read ends there although the block after it would fit.
    for (const int points : {2485, 2488}) {
        SCOPED_TRACE(points);
        inst.reporter.clear();
        writeFile(inst.work("b.apd"), bendBlock(99, 98, 5) + bendBlock(10, 11, 10) +
                                          bendBlock(11, 12, points) + bendBlock(1, 10, 1));
        ASSERT_EQ(doc.readBendFile(inst.work("b.")), 1);
        const bool fits = points == 2485;
        const std::string where = inst.work("b.apd") + ": ";
        const std::string skipped = "[Not find branch \n" + where + "no road joins nodes 99 and 98; its 5 points are skipped.]\n";
        const std::string full = "[No more array for branch location\n" + where + "the store holds 2499 bending-point "
                                 "slots; 11 are taken and road 11-12 needs 2489 more. The blocks from here on are not read.]\n";
        EXPECT_EQ(inst.reporter.all(), fits ? skipped : skipped + full);
        EXPECT_EQ(doc.bendUsed, fits ? 2499 : 11);
        EXPECT_EQ(doc.roads[2].bendStart, 1);
        EXPECT_EQ(doc.roads[3].bendStart, fits ? 12 : 0);
        EXPECT_EQ(doc.roads[1].bendStart, fits ? 2498 : 0);
    }

    // A count at the top of the whole numbers must not wrap round the check.
    inst.reporter.clear();
    writeFile(inst.work("b.apd"), "10 11 2147483647\n" + bendBlock(11, 12, 3000).substr(11));
    ASSERT_EQ(doc.readBendFile(inst.work("b.")), 1);
    EXPECT_TRUE(inst.reporter.contains("0 are taken and road 10-11 needs 2147483648 more.")) << inst.reporter.all();
    EXPECT_EQ(std::make_tuple(doc.bendUsed, doc.roads[2].bendStart), std::make_tuple(0, 0));
}

TEST(ParameterFile, NotUseableRoadsWithFourDigitNodesReadBack)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    writeFile(inst.work("f.vad"),
              "four digits\nh2\nh3\n1\n1001 0\nh4\n3\n1002 -10 1003 -20 999 -30\nh5\n3\n"
              "1001 1002 1 20 10 100 2\n1002 1003 1 20 10 100 2\n999 1001 1 20 10 100 2\n"
              "h6\n0\nh7\n0\nh8\n0 0 0\nh9\n20\n&\n");
    ASSERT_EQ(doc.readNetworkFile(inst.work("f.vad"), true), 1);
    doc.fire.unusableCount = 3;
    doc.fire.unusableRoad = {0, 2, 1, 3};
    ASSERT_EQ(doc.writeParameterFile(inst.work("f.")), 1);
    EXPECT_NE(readFile(inst.work("f.sdt")).find("   3 \n1002 1003 1001 1002 999 1001"), std::string::npos);
    doc.fire.unusableRoad = {};
    ASSERT_EQ(doc.readParameterFile(inst.work("f.")), 1);
    EXPECT_EQ(std::make_tuple(doc.fire.unusableCount, doc.fire.unusableRoad[1], doc.fire.unusableRoad[2],
                              doc.fire.unusableRoad[3]),
              std::make_tuple(3, 2, 1, 3));
}

TEST(ExternalValues, FillTheChosenColumnOfKnownNodesAndRoads)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
    doc.baseName = inst.work("x.");
    writeFile(inst.work("x.end"), "node values\n2\n1 10 11\n1400 20 21\n12 30 31\n");
    writeFile(inst.work("x.erd"), "road values\n2 2\n10 1 1 2 3 4\n11 10 5 6 7 8\n12 11 9 10 11 12\n");
    doc.readExternalNodeValues(2);
    doc.readExternalNodeValues(3);  // beyond the columns: nothing
    doc.readExternalRoadValues(2, 1);
    EXPECT_EQ(std::make_tuple(doc.nodes[1].displayValue, doc.nodes[2].displayValue, doc.nodes[10].displayValue),
              std::make_tuple(11.0f, 0.0f, 31.0f));
    EXPECT_EQ(std::make_tuple(doc.roads[1].external[1][0], doc.roads[1].external[1][1], doc.roads[3].external[1][1],
                              doc.roads[2].external[0][0]),
              std::make_tuple(3.0f, 4.0f, 12.0f, 0.0f));
}

}  // namespace
}  // namespace orvex::test
