// Network data file: the exact written layout, read/write agreement and the
// reader's handling of titles, water networks and the elevation switch.
#include <gtest/gtest.h>

#include <tuple>

#include "testsupport.h"

namespace orvex::test {
namespace {

// What the writer must produce for tests/data/small.vad, field by field from
// the output templates: "%6d \n" counts, "%5d %7.1f  " node records five to a
// line, roads "%5d %5d " "%13.7f " "%5.1f " "%9.5f %7.1f %6.2f\n", fixed-flow
// roads "%5d %5d %13.7f    " three to a line, fans "%4d %4d\n" "%4d %11.5f\n"
// and "%7.2f " points eight to a line, the kind line "%4d   %10.1f   %10.1f\n"
// and "%7.1f\n" for the surface temperature.
const std::string kSmallWritten = std::string() +
    "[ORVEX] Test mine\n"
    "heading two\n"
    "heading three\n"
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

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class NetworkFileTest : public ::testing::Test {
protected:
    int read(const std::string& text, CBriscoDoc& doc, bool setTitle = true)
    {
        const std::string path = inst.work("in.vad");
        writeFile(path, text);
        return doc.readNetworkFile(path, setTitle);
    }
    std::string written(CBriscoDoc& doc)
    {
        const std::string path = inst.work("out.vad");
        EXPECT_EQ(doc.writeNetworkFile(path), 1);
        return readFile(path);
    }

    Installation inst;
    CBriscoDoc& doc = *inst.doc;
};

TEST_F(NetworkFileTest, WritesTheExactLayout)
{
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1) << inst.reporter.all();
    EXPECT_TRUE(inst.reporter.messages.empty()) << inst.reporter.all();
    EXPECT_EQ(written(doc), kSmallWritten);
}

TEST_F(NetworkFileTest, WaterNetworkWritesZeroResistancesAndGetsItsTitle)
{
    const std::string water = replaced(readFile(dataPath("small.vad")), "0 0 0\n", "-9 0 0\n");
    ASSERT_EQ(read(water, doc, false), 1);
    EXPECT_EQ(doc.title, kWaterTitle);
    EXPECT_EQ(doc.windowTitle, kWaterTitle);  // even though the caller did not ask for it
    EXPECT_EQ(doc.density, 1000.0f);
    EXPECT_FLOAT_EQ(doc.specificWeight, inst.app.units.flowUnitFactor * 1000.0f);
    EXPECT_FLOAT_EQ(doc.roads[2].resistance, 1.5f);  // kept in memory, only written as 0

    std::string expected = kSmallWritten;
    for (const char* r : {"    0.0156250 ", "    1.5000000 ", "    0.2500000 "})
        expected = replaced(expected, r, "    0.0000000 ");
    expected = replaced(expected, "   0          0.0          0.0\n", "  -9          0.0          0.0\n");
    EXPECT_EQ(written(doc), expected);
}

TEST_F(NetworkFileTest, AirNetworkDensityAndSpecificWeight)
{
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
    EXPECT_EQ(doc.density, 1.20459f);
    EXPECT_FLOAT_EQ(doc.specificWeight, inst.app.units.flowUnitFactor * 1.20459f);
}

TEST_F(NetworkFileTest, WrittenFileReadsBackToTheSameArraysAndWritesIdentically)
{
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
    const std::string first = written(doc);

    auto again = inst.newDocument();
    ASSERT_EQ(read(first, *again), 1);
    EXPECT_EQ(written(*again), first);

    const NetworkCounts a = doc.counts(), b = again->counts();
    EXPECT_EQ(std::tie(a.surface, a.nodes, a.roads, a.fixedRoads, a.fans),
              std::tie(b.surface, b.nodes, b.roads, b.fixedRoads, b.fans));
    EXPECT_EQ(again->undergroundCount, 3);
    for (int i = 1; i <= a.nodes; ++i) {
        EXPECT_EQ(again->nodes[i].number, doc.nodes[i].number);
        EXPECT_EQ(again->nodes[i].elevation, doc.nodes[i].elevation);
    }
    for (int k = 1; k <= a.roads + a.fixedRoads; ++k) {
        const Road &x = doc.roads[k], &y = again->roads[k];
        EXPECT_EQ(std::tie(x.first, x.second, x.resistance), std::tie(y.first, y.second, y.resistance));
        if (k <= a.roads) {
            EXPECT_EQ(std::tie(x.temperature, x.area, x.length, x.conductivity),
                      std::tie(y.temperature, y.area, y.length, y.conductivity));
        }
    }
    for (int j = 1; j <= a.fans; ++j) {
        const Fan &x = doc.fans[j], &y = again->fans[j];
        EXPECT_EQ(std::tie(x.inlet, x.outlet, x.points, x.flowStep),
                  std::tie(y.inlet, y.outlet, y.points, y.flowStep));
        EXPECT_EQ(x.curve, y.curve);
        EXPECT_EQ(doc.fanHeadings[j], again->fanHeadings[j]);
    }
    for (int h = 1; h <= kGeneralHeadings; ++h)
        EXPECT_EQ(doc.headings[h], again->headings[h]);
    EXPECT_EQ(again->surfaceTemperature, 18.5f);
    EXPECT_EQ(again->title, doc.title);
}

TEST_F(NetworkFileTest, TitleIsTheFirstLineAfterItsFirstBracket)
{
    ASSERT_EQ(read(readFile(dataPath("small.vad")), doc, false), 1);
    EXPECT_EQ(doc.title, " Test mine\n");
    EXPECT_EQ(doc.windowTitle, "");  // not asked for

    ASSERT_EQ(read(replaced(readFile(dataPath("small.vad")), "[ORVEX] Test mine", "A]b]c"), doc), 1);
    EXPECT_EQ(doc.title, "b]c\n");
    EXPECT_EQ(doc.windowTitle, "b]c\n");

    ASSERT_EQ(read(replaced(readFile(dataPath("small.vad")), "[ORVEX] Test mine", "No tag"), doc), 1);
    EXPECT_EQ(doc.title, "No tag\n");
}

TEST_F(NetworkFileTest, UnusedFanHeadingsBecomeFanAndANewFanIsWrittenWithIt)
{
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
    for (int j = 3; j <= kMaxFans; ++j)
        EXPECT_EQ(doc.fanHeadings[j].view(), "Fan:\n") << j;

    doc.fanCount = 3;
    doc.fans[3] = doc.fans[1];
    const std::string text = written(doc);
    EXPECT_NE(text.find("   9.00 \nFan:\n  12    6\n"), std::string::npos) << text;
}

TEST_F(NetworkFileTest, ElevationSwitchBelowMinus99ZeroesEveryElevation)
{
    ASSERT_EQ(read(replaced(readFile(dataPath("small.vad")), "0 0 0\n", "0 0 -100\n"), doc), 1);
    for (int i = 1; i <= doc.nodeCount; ++i)
        EXPECT_EQ(doc.nodes[i].elevation, 0.0f) << i;
    // The switch is never written back: the saved file keeps the zeroes, not the switch.
    EXPECT_NE(written(doc).find("   0          0.0          0.0\n"), std::string::npos);

    ASSERT_EQ(read(replaced(readFile(dataPath("small.vad")), "0 0 0\n", "0 0 -99\n"), doc), 1);
    EXPECT_EQ(doc.nodes[1].elevation, 100.0f);
}

TEST_F(NetworkFileTest, MissingFileIsReportedAndChangesNothing)
{
    const std::string before = snapshot(doc, inst.work("before"));
    const std::string path = inst.work("absent.vad");
    EXPECT_EQ(doc.readNetworkFile(path, true), 0);
    ASSERT_EQ(inst.reporter.messages.size(), 1u);
    EXPECT_EQ(inst.reporter.messages[0].text, path + ":read ?");
    EXPECT_EQ(inst.reporter.messages[0].caption, kDocumentCaption);
    EXPECT_EQ(snapshot(doc, inst.work("after")), before);
}

}  // namespace
}  // namespace orvex::test
