// Companion files of a network: exact written layouts, read/write agreement
// and the matching rules of each reader.
#include <gtest/gtest.h>

#include <tuple>

#include "testsupport.h"

namespace orvex::test {
namespace {

class CompanionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
        inst.reporter.clear();
    }
    // Writes the file with the given extension from doc under the work folder.
    std::string written(CBriscoDoc& from, const std::string& ext, const std::string& name = "out.")
    {
        const std::string base = inst.work(name);
        int ok = 0;
        if (ext == "jpd") ok = from.writeNodeLocationFile(base);
        if (ext == "apd") ok = from.writeBendFile(base);
        if (ext == "pkd") ok = from.writeResultsFile(base);
        if (ext == "sdt") ok = from.writeParameterFile(base);
        EXPECT_EQ(ok, 1) << ext;
        return readFile(base + ext);
    }
    std::string base(const std::string& ext, const std::string& text)
    {
        writeFile(inst.work("in.") + ext, text);
        return inst.work("in.");
    }

    Installation inst;
    CBriscoDoc& doc = *inst.doc;
};

TEST_F(CompanionTest, NodeLocationFileLayout)
{
    ASSERT_EQ(doc.readNodeLocationFile(kSmallBase), 1);
    // " %4d %8.2f %8.2f \n"
    EXPECT_EQ(written(doc, "jpd"),
              "    1     0.00     0.00 \n"
              "    2    10.00     0.00 \n"
              "    3    20.00     0.00 \n"
              "    4    30.00     0.00 \n"
              "    5    40.00     0.00 \n"
              "    6    50.00     0.00 \n"
              "    7    60.00     0.00 \n"
              "   10     0.00   -50.25 \n"
              "   11   100.50   -50.25 \n"
              "   12   200.00  -100.00 \n");
}

TEST_F(CompanionTest, BendFileLayout)
{
    ASSERT_EQ(doc.readBendFile(kSmallBase), 1);
    // " %4d  %4d  %5d \n" per road, then " %8.1f %8.1f %2d \n" per point; the
    // block given as 12 11 is written under its road's own order 11 12.
    EXPECT_EQ(written(doc, "apd"),
              "   10    11      2 \n"
              "     20.0    -50.0  0 \n"
              "     60.0    -50.0  3 \n"
              "   11    12      1 \n"
              "    150.0    -75.0 -1 \n");
}

TEST_F(CompanionTest, ResultsFileLayoutAndFanPressures)
{
    ASSERT_EQ(doc.readResultsFile(kSmallBase), 1);
    EXPECT_TRUE(inst.reporter.messages.empty()) << inst.reporter.all();
    EXPECT_EQ(doc.fans[1].pressure, float(10299.25 - 10370.75));  // node B minus node A
    EXPECT_EQ(doc.fans[2].pressure, float(10299.0 - 10360.5));
    // "%5d\n" counts, "%4d %14.6f\n" nodes, "%4d %4d %14.6f \n" fans,
    // "%4d %4d %2d %14.6f %14.6f \n" roads.
    EXPECT_EQ(written(doc, "pkd"),
              "   10\n"
              "   1   10300.500000\n"
              "   2   10300.250000\n"
              "   3   10300.000000\n"
              "   4   10299.750000\n"
              "   5   10299.500000\n"
              "   6   10299.250000\n"
              "   7   10299.000000\n"
              "  10   10350.125000\n"
              "  11   10360.500000\n"
              "  12   10370.750000\n"
              "    2\n"
              "  12    6    1500.500000 \n"
              "  11    7       0.000000 \n"
              "    3\n"
              "   1   10  0       0.000000       0.000000 \n"
              "  10   11  1      25.500000       1.200000 \n"
              "  11   12  2      -3.250000       1.150000 \n");
}

TEST_F(CompanionTest, ParameterFileLayout)
{
    ASSERT_EQ(doc.readParameterFile(kSmallBase), 1);
    EXPECT_EQ(doc.fire.unusableCount, 2);
    EXPECT_EQ(doc.fire.unusableRoad[1], 2);  // given as 11 10
    EXPECT_EQ(doc.fire.unusableRoad[2], 3);
    EXPECT_EQ(written(doc, "sdt"),
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
              "  10   11" "  11   12");
}

TEST_F(CompanionTest, WrittenFilesReadBackAndWriteIdentically)
{
    doc.readParameterFile(kSmallBase);
    doc.readNodeLocationFile(kSmallBase);
    doc.readBendFile(kSmallBase);
    doc.readResultsFile(kSmallBase);
    for (const char* ext : {"sdt", "jpd", "apd", "pkd"}) {
        const std::string first = written(doc, ext, "first.");
        auto again = inst.newDocument();
        ASSERT_EQ(again->readNetworkFile(dataPath("small.vad"), true), 1);
        const std::string b = inst.work("first.");
        const int read = std::string(ext) == "sdt" ? again->readParameterFile(b)
                       : std::string(ext) == "jpd" ? again->readNodeLocationFile(b)
                       : std::string(ext) == "apd" ? again->readBendFile(b)
                                                   : again->readResultsFile(b);
        EXPECT_EQ(read, 1) << ext;
        EXPECT_EQ(written(*again, ext, "second."), first) << ext;
    }
}

TEST_F(CompanionTest, BendBlockNamedInReverseStoresPointsFromTheFirstNode)
{
    const std::string b = base("apd", "99 98 1\n5 5 0\n"  // no such road: dropped
                                      "11 10 3\n1 1 0\n2 2 -1\n3 3 4\n");
    ASSERT_EQ(doc.readBendFile(b), 1);
    EXPECT_EQ(inst.reporter.all(), "[Not find branch ]\n");
    ASSERT_EQ(doc.roads[2].bendStart, 1);  // road 10-11
    EXPECT_EQ(doc.bendUsed, 4);
    EXPECT_EQ(doc.bends[1].mark, 3);
    EXPECT_EQ(std::make_tuple(doc.bends[2].x, doc.bends[2].mark), std::make_tuple(3.0f, 4));
    EXPECT_EQ(std::make_tuple(doc.bends[3].x, doc.bends[3].mark), std::make_tuple(2.0f, -1));
    EXPECT_EQ(std::make_tuple(doc.bends[4].x, doc.bends[4].mark), std::make_tuple(1.0f, 0));
}

std::string bendBlock(int a, int b, int n)
{
    std::string text = std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(n) + "\n";
    for (int p = 1; p <= n; ++p)
        text += std::to_string(p) + " 0 0\n";
    return text;
}

TEST_F(CompanionTest, BendBlockThatWouldFillTheStoreIsRefusedAndEndsTheRead)
{
    // 11 slots used, then 11 + 2488 + 1 = 2500: refused; the block after it would fit.
    ASSERT_EQ(doc.readBendFile(base("apd", bendBlock(10, 11, 10) + bendBlock(11, 12, 2488) +
                                               bendBlock(1, 10, 1))), 1);
    EXPECT_EQ(inst.reporter.all(), "[No more array for branch location]\n");
    EXPECT_EQ(doc.bendUsed, 11);
    EXPECT_EQ(doc.roads[2].bendStart, 1);
    EXPECT_EQ(doc.roads[3].bendStart, 0);
    EXPECT_EQ(doc.roads[1].bendStart, 0);

    // One point fewer fits: 11 + 2487 + 1 = 2499.
    inst.reporter.clear();
    ASSERT_EQ(doc.readBendFile(base("apd", bendBlock(10, 11, 10) + bendBlock(11, 12, 2487))), 1);
    EXPECT_TRUE(inst.reporter.messages.empty()) << inst.reporter.all();
    EXPECT_EQ(doc.bendUsed, 2499);
    EXPECT_EQ(doc.roads[3].bendStart, 12);
    EXPECT_EQ(doc.bends[2499].x, 2487.0f);
}

TEST_F(CompanionTest, BendPointsWrittenAndReadAreRepackedInRoadOrder)
{
    // Road 4 (fixed-flow 2-10) first in the store, a gap, then road 3 (11-12).
    doc.bends[1] = {1, 0, 0};
    doc.bends[2] = {-1, 7, 8};
    doc.bends[10] = {2, 0, 0};
    doc.bends[11] = {0, 1, 2};
    doc.bends[12] = {5, 3, 4};
    doc.roads[4].bendStart = 1;
    doc.roads[3].bendStart = 10;
    doc.bendUsed = 12;
    written(doc, "apd");
    ASSERT_EQ(doc.readBendFile(inst.work("out.")), 1);
    EXPECT_EQ(doc.bendUsed, 5);
    EXPECT_EQ(doc.roads[3].bendStart, 1);
    EXPECT_EQ(doc.roads[4].bendStart, 4);
    const int marks[] = {0, 2, 0, 5, 1, -1};
    const float xs[] = {0, 0, 1, 3, 0, 7};
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(std::make_tuple(doc.bends[s].mark, doc.bends[s].x), std::make_tuple(marks[s], xs[s])) << s;
}

TEST_F(CompanionTest, RoadNameFileSetsNormalRoadsOnly)
{
    EXPECT_EQ(doc.readRoadNameFile(kSmallBase), 3);
    EXPECT_EQ(doc.altResistanceRoads, 3);
    EXPECT_EQ(doc.roads[1].name.view(), "Intake_drift");
    EXPECT_EQ(doc.roads[2].name.view(), "Main_drift");
    EXPECT_EQ(doc.roads[3].name.view(), "Return_ramp");
    EXPECT_EQ(doc.roads[3].altResistance, 0.75f);
    // 2-10 is a fixed-flow road and 1-12 joins nothing: no road changes.
    for (int k = 4; k < kMaxRoads; ++k) {
        ASSERT_TRUE(doc.roads[k].name.empty()) << k;
        ASSERT_EQ(doc.roads[k].altResistance, 0.0f) << k;
    }

    EXPECT_EQ(doc.readRoadNameFile(base("nrd", "10 11 0 -1 Main_drift\n")), 2);
    EXPECT_EQ(doc.readRoadNameFile(inst.work("absent.")), 0);
    EXPECT_EQ(doc.altResistanceRoads, 2);  // a missing file keeps the count
}

TEST_F(CompanionTest, ParameterFileFoundNowhereLeavesTheDefaults)
{
    ProgramFiles files;
    files.withDefaultParameters = false;
    Installation bare(files);
    bare.doc->fire.fireNode = 3;
    bare.doc->fire.fireTemperature = 9;
    bare.doc->fire.destinationCount = 2;
    const std::string b = bare.work("none.");
    EXPECT_EQ(bare.doc->readParameterFile(b), -1);
    EXPECT_EQ(bare.reporter.all(), "[" + b + "sdt]\n");
    const FireParameters& f = bare.doc->fire;
    EXPECT_EQ(std::make_tuple(f.kval, f.frontDisplayStep, f.fireNode, f.fireTemperature, f.fireTimeStep),
              std::make_tuple(5.0f, 0.1f, 14, 400.0f, 1.0f));
    EXPECT_EQ(std::make_tuple(f.finishTime, f.gasLimit, f.gasEsc, f.spdEsc, f.destinationCount),
              std::make_tuple(0.0f, 0.001f, 5.0f, 60.0f, 0));

    // Beside the network missing, the program folder's file is taken.
    EXPECT_EQ(doc.readParameterFile(inst.work("none.")), 1);
    EXPECT_EQ(doc.fire.fireNode, 7);
}

TEST_F(CompanionTest, NotUseableRoadsWithFourDigitNodesStayReadable)
{
    const std::string net =
        "four digits\nh2\nh3\n1\n1001 0\nh4\n3\n1002 -10 1003 -20 999 -30\nh5\n3\n"
        "1001 1002 1 20 10 100 2\n1002 1003 1 20 10 100 2\n999 1001 1 20 10 100 2\n"
        "h6\n0\nh7\n0\nh8\n0 0 0\nh9\n20\n&\n";
    ASSERT_EQ(doc.readNetworkFile(base("vad", net) + "vad", true), 1);
    doc.fire.unusableCount = 3;
    doc.fire.unusableRoad[1] = 2;
    doc.fire.unusableRoad[2] = 1;
    doc.fire.unusableRoad[3] = 3;
    const std::string text = written(doc, "sdt");
    EXPECT_NE(text.find("   3 \n1002 1003 1001 1002 999 1001"), std::string::npos) << text;
    doc.fire.unusableRoad = {};
    ASSERT_EQ(doc.readParameterFile(inst.work("out.")), 1);
    EXPECT_EQ(doc.fire.unusableCount, 3);
    EXPECT_EQ(std::make_tuple(doc.fire.unusableRoad[1], doc.fire.unusableRoad[2], doc.fire.unusableRoad[3]),
              std::make_tuple(2, 1, 3));
}

TEST_F(CompanionTest, ResultsMatchFansAndRoadsInStoredOrderOnly)
{
    const std::string b = base("pkd", "0\n"
                                      "2\n6 12 5.0\n12 6 7.5\n"  // fan 12-6 given reversed first
                                      "1\n10 1 1 9 9\n");        // road 1-10 reversed
    ASSERT_EQ(doc.readResultsFile(b), 1);
    EXPECT_EQ(doc.fans[1].fanFlow, 7.5f);
    EXPECT_EQ(doc.fans[2].fanFlow, 0.0f);
    EXPECT_EQ(doc.roads[1].massFlow, 0.0f);
    EXPECT_EQ(doc.roads[1].roadClass, 0);

    // Only the first m fans and r roads are searched, m and r being the file's counts.
    ASSERT_EQ(doc.readResultsFile(base("pkd", "0\n1\n11 7 3.5\n1\n10 11 1 4 1.1\n")), 1);
    EXPECT_EQ(doc.fans[2].fanFlow, 0.0f);
    EXPECT_EQ(doc.roads[2].massFlow, 0.0f);
    ASSERT_EQ(doc.readResultsFile(base("pkd", "0\n2\n11 7 3.5\n9 9 1\n2\n10 11 1 4 1.1\n1 2 1 1 1\n")), 1);
    EXPECT_EQ(doc.fans[2].fanFlow, 3.5f);
    EXPECT_EQ(std::make_tuple(doc.roads[2].roadClass, doc.roads[2].massFlow, doc.roads[2].density),
              std::make_tuple(1, 4.0f, 1.1f));
    EXPECT_EQ(doc.readResultsFile(inst.work("absent.")), 0);
}

TEST_F(CompanionTest, FlowSensorSwitchReplacesTheFixedFlowRoads)
{
    doc.readFlowSensorFile(base("mcd", "sensors\n0\nh\nh\n9 9 9\n"));
    EXPECT_TRUE(inst.reporter.messages.empty()) << inst.reporter.all();
    EXPECT_EQ(std::make_tuple(doc.roads[4].first, doc.roads[4].second, doc.roads[4].resistance),
              std::make_tuple(2, 10, 100.0f));

    doc.readFlowSensorFile(kSmallBase);
    ASSERT_EQ(inst.reporter.messages.size(), 1u);
    EXPECT_EQ(inst.reporter.messages[0].text, "== Flow Sensor Data Active ! ==");
    EXPECT_EQ(inst.reporter.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(std::make_tuple(doc.roads[4].first, doc.roads[4].second, doc.roads[4].resistance),
              std::make_tuple(2, 10, 110.0f));
    EXPECT_EQ(doc.roads[5].resistance, 210.5f);
    EXPECT_EQ(doc.roads[7].resistance, 1.0f);
    EXPECT_EQ(doc.roads[3].resistance, 0.25f);  // normal roads untouched
}

TEST_F(CompanionTest, ExternalValuesFillTheChosenColumn)
{
    doc.baseName = base("end", "node values\n2\n1 10 11\n12 20 21\n1400 30 31\n");
    doc.readExternalNodeValues(2);
    EXPECT_EQ(doc.nodes[1].displayValue, 11.0f);
    EXPECT_EQ(doc.nodes[10].displayValue, 21.0f);
    doc.readExternalNodeValues(3);  // beyond the columns: nothing
    EXPECT_EQ(doc.nodes[1].displayValue, 11.0f);

    base("erd", "road values\n2 2\n10 1 1 2 3 4\n11 10 5 6 7 8\n12 11 9 10 11 12\n");
    doc.readExternalRoadValues(2, 1);
    EXPECT_EQ(std::make_tuple(doc.roads[1].external[1][0], doc.roads[1].external[1][1]),
              std::make_tuple(3.0f, 4.0f));
    EXPECT_EQ(doc.roads[3].external[1][1], 12.0f);
    EXPECT_EQ(doc.roads[2].external[0][0], 0.0f);

    doc.baseName = inst.work("absent.");
    doc.readExternalNodeValues(1);
    EXPECT_TRUE(inst.reporter.contains("<" + inst.work("absent.end") + ">:read ?"));
}

}  // namespace
}  // namespace orvex::test
