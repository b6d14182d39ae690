// Files that are broken, out of range or beyond the capacities: the reader
// says what is wrong and where, and the document stays consistent.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "model/networkio.h"
#include "testsupport.h"

namespace orvex::test {
namespace {

// --- network files that are refused as a whole --------------------------------

struct RejectedCase {
    const char* name;
    const char* from;  // text of tests/data/small.vad to change
    const char* to;
    bool truncate;     // the file ends right after `to`
    int line;          // line the message must name, 0 when it spans lines
    const char* part;  // further text of the message
};

void PrintTo(const RejectedCase& c, std::ostream* os) { *os << c.name; }

class RejectedNetworkFile : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedNetworkFile, IsReportedWithItsLineAndChangesNothing)
{
    const RejectedCase& c = GetParam();
    std::string text = readFile(dataPath("small.vad"));
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    text = c.truncate ? text.substr(0, at) + c.to
                      : text.replace(at, std::string(c.from).size(), c.to);

    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(openNetwork(doc, dataPath("small.vad")), 1);  // with every companion file
    const std::string before = snapshot(doc, inst.work("before"));
    const std::string path = inst.work("bad.vad");
    writeFile(path, text);
    inst.reporter.clear();

    EXPECT_EQ(doc.readNetworkFile(path, true), 0);
    ASSERT_EQ(inst.reporter.messages.size(), 1u) << inst.reporter.all();
    const std::string& message = inst.reporter.messages[0].text;
    EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
    if (c.line) {
        EXPECT_NE(message.find(": line " + std::to_string(c.line) + ": "), std::string::npos) << message;
    }
    EXPECT_NE(message.find(c.part), std::string::npos) << message;
    EXPECT_EQ(snapshot(doc, inst.work("after")), before);
    EXPECT_EQ(doc.windowTitle, " Test mine\n");
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, RejectedNetworkFile,
    ::testing::Values(
        RejectedCase{"TruncatedInARoad", "9.75 250.5", "", true, 14, "ends"},
        RejectedCase{"TruncatedBeforeTheLastHeading", "end of data &\n", "", true, 0, "heading line 10"},
        RejectedCase{"TextForAnElevation", "101.3", "abc", false, 5, "\"abc\""},
        RejectedCase{"LetterInsideANumber", "-70", "-7O", false, 10, "\"-7O\""},
        RejectedCase{"TextForACount", "fans\n2\n", "fans\ntwo\n", false, 20, "\"two\""},
        RejectedCase{"NodeNumberAbove1499", "12 -70", "1500 -70", false, 10, "1500"},
        RejectedCase{"NegativeNodeNumber", "1 100 2", "-1 100 2", false, 5, "-1"},
        RejectedCase{"RoadNamesAnUnknownNode", "11 12 0.25", "11 13 0.25", false, 15, "13"},
        RejectedCase{"FixedFlowRoadNamesAnUnknownNode", "5 12 0", "5 13 0", false, 18, "13"},
        RejectedCase{"FanNamesAnUnknownNode", "12 6 8 500", "12 99 8 500", false, 22, "99"},
        RejectedCase{"DuplicateNodeNumber", "12 -70", "11 -70", false, 10, "11"},
        RejectedCase{"NegativeCount", "3\n10 -50.5", "-3\n10 -50.5", false, 8, "-3"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- counts beyond the capacities ---------------------------------------------

// Node numbers 0..n-1, normal and fixed-flow roads joining neighbours, fans
// from node 0 to node 1 with three points.
std::string generatedNetwork(int surface, int underground, int roads, int fixed, int fans)
{
    const int n = surface + underground;
    std::string t = "[GEN] generated\nh2\nh3\n" + std::to_string(surface) + "\n";
    for (int i = 0; i < n; ++i) {
        if (i == surface)
            t += "h4\n" + std::to_string(underground) + "\n";
        t += std::to_string(i) + " " + std::to_string(-i) + "\n";
    }
    if (underground == 0)
        t += "h4\n0\n";
    t += "h5\n" + std::to_string(roads) + "\n";
    for (int k = 0; k < roads; ++k)
        t += std::to_string(k % (n - 1)) + " " + std::to_string(k % (n - 1) + 1) + " 1 20 10 100 2\n";
    t += "h6\n" + std::to_string(fixed) + "\n";
    for (int k = 0; k < fixed; ++k)
        t += "0 1 " + std::to_string(k) + "\n";
    t += "h7\n" + std::to_string(fans) + "\n";
    for (int j = 0; j < fans; ++j)
        t += "Fan " + std::to_string(j + 1) + "\n0 1 3 100\n50 40 30\n";
    return t + "h8\n0 0 0\nh9\n20\n&\n";
}

struct CapacityCase {
    const char* name;
    int surface, underground, roads, fixed, fans;
    const char* message;
    NetworkCounts kept;  // surface, nodes, roads, fixedRoads, bendSlots, fans
};

void PrintTo(const CapacityCase& c, std::ostream* os) { *os << c.name; }

class OverCapacity : public ::testing::TestWithParam<CapacityCase> {};

TEST_P(OverCapacity, KeepsWhatFitsAndStaysConsistent)
{
    const CapacityCase& c = GetParam();
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    const std::string path = inst.work("big.vad");
    writeFile(path, generatedNetwork(c.surface, c.underground, c.roads, c.fixed, c.fans));

    EXPECT_EQ(doc.readNetworkFile(path, true), 1);
    EXPECT_TRUE(inst.reporter.contains(c.message)) << inst.reporter.all();
    const NetworkCounts got = doc.counts();
    EXPECT_EQ(std::tie(got.surface, got.nodes, got.roads, got.fixedRoads, got.fans),
              std::tie(c.kept.surface, c.kept.nodes, c.kept.roads, c.kept.fixedRoads, c.kept.fans));
    EXPECT_EQ(doc.surfaceCount + doc.undergroundCount, doc.nodeCount);
    EXPECT_EQ(doc.nodes[doc.nodeCount].number, doc.nodeCount - 1);  // the last kept record
    if (doc.fanCount > 0) {
        EXPECT_EQ(doc.fans[doc.fanCount].curve[3], 30.0f);
    }
    EXPECT_EQ(doc.fanHeadings[kMaxFans].view(), "Fan:\n");

    // What was kept is a network of its own: it writes and reads back quietly.
    ASSERT_EQ(doc.writeNetworkFile(inst.work("kept.vad")), 1);
    auto again = inst.newDocument();
    inst.reporter.clear();
    ASSERT_EQ(again->readNetworkFile(inst.work("kept.vad"), true), 1);
    EXPECT_TRUE(inst.reporter.messages.empty()) << inst.reporter.all();
    const NetworkCounts back = again->counts();
    EXPECT_EQ(std::tie(back.surface, back.nodes, back.roads, back.fixedRoads, back.fans),
              std::tie(got.surface, got.nodes, got.roads, got.fixedRoads, got.fans));
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, OverCapacity,
    ::testing::Values(
        CapacityCase{"SurfaceNodes", 1000, 0, 2, 0, 0, "Error : Node number over", {999, 999, 2, 0, 0, 0}},
        CapacityCase{"AllNodes", 500, 600, 2, 0, 0, "Error : Node number over", {500, 999, 2, 0, 0, 0}},
        CapacityCase{"NormalRoads", 3, 0, 1500, 2, 0, "Error : Branch number over", {3, 3, 1499, 0, 0, 0}},
        CapacityCase{"AllRoads", 3, 0, 1000, 600, 0, "Error : Branch number over", {3, 3, 1000, 499, 0, 0}},
        CapacityCase{"Fans", 2, 0, 1, 0, 50, "Error : Fan number over", {2, 2, 1, 0, 0, 49}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- network files that load with a warning -----------------------------------

class NetworkWarningTest : public ::testing::Test {
protected:
    int read(const std::string& from, const std::string& to)
    {
        std::string text = readFile(dataPath("small.vad"));
        text.replace(text.find(from), from.size(), to);
        writeFile(path, text);
        return doc.readNetworkFile(path, true);
    }
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    const std::string path = inst.work("warn.vad");
};

TEST_F(NetworkWarningTest, FanWithMoreThan30PointsKeepsTheFirst30)
{
    std::string points;
    for (int p = 1; p <= 31; ++p)
        points += std::to_string(p) + " ";
    ASSERT_EQ(read("9 250.5\n1 2 3 4 5 6 7 8 9", "31 250.5\n" + points), 1);
    EXPECT_EQ(doc.fans[2].points, 30);
    EXPECT_EQ(doc.fans[2].curve[30], 30.0f);
    EXPECT_EQ(doc.surfaceTemperature, 18.5f);  // the rest of the file stays aligned
    ASSERT_EQ(inst.reporter.messages.size(), 1u);
    EXPECT_NE(inst.reporter.messages[0].text.find(path), std::string::npos);
    EXPECT_NE(inst.reporter.messages[0].text.find("fan 2"), std::string::npos);
}

TEST_F(NetworkWarningTest, LongHeadingIsCutAndKeepsItsLineEnd)
{
    ASSERT_EQ(read("heading two\n", std::string(100, 'x') + "\n"), 1);
    EXPECT_EQ(doc.headings[2].view(), std::string(78, 'x') + "\n");
    EXPECT_EQ(doc.headings[3].view(), "heading three\n");
    ASSERT_EQ(inst.reporter.messages.size(), 1u);
    EXPECT_NE(inst.reporter.messages[0].text.find(path + ": line 2"), std::string::npos)
        << inst.reporter.all();
    ASSERT_EQ(doc.writeNetworkFile(inst.work("cut.vad")), 1);
    const std::string start = "[ORVEX] Test mine\n" + std::string(78, 'x') + "\nheading three\n     7 \n";
    EXPECT_EQ(readFile(inst.work("cut.vad")).substr(0, start.size()), start);
}

TEST_F(NetworkWarningTest, LastHeadingWithoutAmpersandStillLoads)
{
    ASSERT_EQ(read("end of data &", "end of data"), 1);
    EXPECT_EQ(inst.reporter.all(), "[Data Input Error]\n");
    EXPECT_EQ(doc.nodeCount, 10);
    EXPECT_EQ(doc.fanCount, 2);
}

// --- companion files with text where numbers belong ---------------------------

struct CompanionCase {
    const char* name;
    const char* ext;
    const char* text;
    int line;
    std::function<void(const CBriscoDoc&)> kept;  // what was read before the fault
};

void PrintTo(const CompanionCase& c, std::ostream* os) { *os << c.name; }

class BrokenCompanionFile : public ::testing::TestWithParam<CompanionCase> {};

TEST_P(BrokenCompanionFile, StopsWithTheFileAndLine)
{
    const CompanionCase& c = GetParam();
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
    const std::string base = inst.work("broken.");
    writeFile(base + c.ext, c.text);
    inst.reporter.clear();

    const std::string ext = c.ext;
    if (ext == "jpd") doc.readNodeLocationFile(base);
    if (ext == "apd") doc.readBendFile(base);
    if (ext == "nrd") doc.readRoadNameFile(base);
    if (ext == "pkd") doc.readResultsFile(base);
    if (ext == "sdt") doc.readParameterFile(base);
    if (ext == "mcd") doc.readFlowSensorFile(base);

    ASSERT_FALSE(inst.reporter.messages.empty());
    const std::string& message = inst.reporter.messages.back().text;
    EXPECT_EQ(message.rfind(base + ext + ": line " + std::to_string(c.line) + ": ", 0), 0u) << message;
    c.kept(doc);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, BrokenCompanionFile,
    ::testing::Values(
        CompanionCase{"NodeLocations", "jpd", "1 5 5\n2 x 5\n3 7 7\n", 2,
                      [](const CBriscoDoc& d) { EXPECT_EQ(d.nodes[1].x, 5.0f); EXPECT_EQ(d.nodes[3].x, 0.0f); }},
        CompanionCase{"BendingPoints", "apd", "10 11 1\n1 1 0\n12 11 1\n2 two 0\n", 4,
                      [](const CBriscoDoc& d) { EXPECT_EQ(d.roads[2].bendStart, 1); EXPECT_EQ(d.roads[3].bendStart, 0); }},
        CompanionCase{"RoadNames", "nrd", "1 10 0 1 A\n10 11 zero 2 B\n", 2,
                      [](const CBriscoDoc& d) { EXPECT_EQ(d.roads[1].name.view(), "A"); EXPECT_TRUE(d.roads[2].name.empty()); }},
        CompanionCase{"Results", "pkd", "10\n1 10300\n2 abc\n", 3,
                      [](const CBriscoDoc& d) { EXPECT_EQ(d.nodes[1].pressure, 10300.0); }},
        CompanionCase{"Parameters", "sdt", "kval\n5 0.1 0\nfirenode\nseven 300 1 0 0.001\n", 4,
                      [](const CBriscoDoc& d) { EXPECT_EQ(d.fire.kval, 5.0f); }},
        CompanionCase{"FlowSensors", "mcd", "sensors\n1\nh\nh\n2 10 110\n3 10 lots\n", 6,
                      [](const CBriscoDoc& d) { EXPECT_EQ(d.roads[4].resistance, 110.0f); EXPECT_EQ(d.roads[5].resistance, 200.5f); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BadInput, UnknownNodeNumbersInPositionsAndResultsAreDropped)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
    writeFile(inst.work("u.jpd"), "1 5 5\n1200 9 9\n-4 9 9\n5000 9 9\n12 6 6\n");
    writeFile(inst.work("u.pkd"), "4\n1 1.5\n1200 9\n5000 9\n12 2.5\n0\n0\n");
    ASSERT_EQ(doc.readNodeLocationFile(inst.work("u.")), 1);
    ASSERT_EQ(doc.readResultsFile(inst.work("u.")), 1);
    for (int i = 1; i < kMaxNodes; ++i) {
        const bool given = i == 1 || i == 10;
        const float value = i == 1 ? 5.0f : 6.0f;
        ASSERT_EQ(doc.nodes[i].x, given ? value : 0.0f) << i;
        ASSERT_EQ(doc.nodes[i].y, given ? value : 0.0f) << i;
        ASSERT_EQ(doc.nodes[i].pressure, !given ? 0.0 : i == 1 ? 1.5 : 2.5) << i;
    }
}

}  // namespace
}  // namespace orvex::test
