// Files that are broken, out of range or beyond the capacities: the reader
// says what is wrong and where, and the document stays consistent.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "model/networkio.h"
#include "support/support.h"

namespace orvex::test {
namespace {

TEST(BadInput, RejectedNetworkFileIsReportedWithItsLineAndChangesNothing)
{
    const struct {
        const char *from, *to;  // text of tests/data/small.vad to change; "" for `to` cuts the file there
        int line;               // line the message must name, 0 when it spans lines
        const char* part;       // further text of the message
    } cases[] = {
        {"7\n1 100", "", 0, "the number of surface nodes"},  // ends before any count
        {"-70", "-7O", 10, "\"-7O\""},                      // a letter inside a number
        {"fans\n2\n", "fans\n2x\n", 20, "\"2x\""},          // and inside a count
        {"12 -70", "1500 -70", 10, "1500"},                 // node numbers are 0..1499
        {"1 100 2", "-1 100 2", 5, "-1"},
        {"11 12 0.25", "11 13 0.25", 15, "13"},             // a road, a fixed-flow road and
        {"5 12 0", "5 13 0", 18, "13"},                     // a fan naming no node
        {"12 6 8 500", "12 99 8 500", 22, "99"},
        {"12 -70", "11 -70", 10, "11"},                     // a node number given twice
        {"3\n10 -50.5", "-3\n10 -50.5", 8, "-3"},           // a negative count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        const std::string small = readFile(kSmallBase + "vad");
        const std::string text = *c.to ? replaced(small, c.from, c.to) : small.substr(0, small.find(c.from));

        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        ASSERT_EQ(openNetwork(doc, kSmallBase + "vad"), 1);  // with every companion file
        const std::string before = snapshot(doc);
        const std::string path = inst.work("bad.vad");
        writeFile(path, text);
        inst.reporter.clear();

        EXPECT_EQ(doc.readNetworkFile(path, true), 0);
        ASSERT_EQ(inst.reporter.messages.size(), 1u) << inst.reporter.all();
        const std::string& message = inst.reporter.messages[0];
        EXPECT_EQ(message.rfind(path + ": " + (c.line ? "line " + std::to_string(c.line) + ": " : ""), 0), 0u) << message;
        EXPECT_NE(message.find(c.part), std::string::npos) << message;
        EXPECT_EQ(snapshot(doc), before);
        EXPECT_EQ(doc.windowTitle, " Test mine\n");
    }
}

TEST(BadInput, NetworkFileThatEndsEarlyLoadsWhatWasReadWithDataInputError)
{
    // small.vad cut right after `at`. What the file did not reach keeps the
    // document's value: its headings and the default network's surface
    // temperature of 20.
    const struct {
        const char* at;
        int line;  // where the message says the file ends
        int surface, nodes, roads, fixed, fans;
        float surfaceTemperature;
        const char* heading10;
    } cases[] = {
        {"1 100 2 101.3 3", 5, 2, 2, 0, 0, 0, 20.0f, "&\n"},  // inside a node record
        {"12 -70\n", 11, 7, 10, 0, 0, 0, 20.0f, "&\n"},
        {"10 11 1.5", 14, 7, 10, 1, 0, 0, 20.0f, "&\n"},
        {"4 11", 18, 7, 10, 3, 2, 0, 20.0f, "&\n"},
        {"100 90 80", 23, 7, 10, 3, 4, 0, 20.0f, "&\n"},  // inside a fan's curve
        {"18.5\n", 32, 7, 10, 3, 4, 2, 18.5f, "&\n"},    // before the end line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        const std::string text = readFile(kSmallBase + "vad");
        const std::size_t at = text.find(c.at);
        ASSERT_NE(at, std::string::npos);
        const std::string path = inst.work("cut.vad");
        writeFile(path, text.substr(0, at + std::string(c.at).size()));

        ASSERT_EQ(doc.readNetworkFile(path, true), 1);
        ASSERT_EQ(inst.reporter.messages.size(), 1u) << inst.reporter.all();
        const std::string& message = inst.reporter.messages[0];
        EXPECT_EQ(message.rfind("Data Input Error\n" + path + ": line " + std::to_string(c.line) + ": the file ends", 0),
                  0u) << message;
        EXPECT_EQ(std::make_tuple(doc.surfaceCount, doc.nodeCount, doc.roadCount, doc.fixedCount, doc.fanCount),
                  std::make_tuple(c.surface, c.nodes, c.roads, c.fixed, c.fans));
        EXPECT_EQ(std::make_tuple(doc.surfaceTemperature, doc.headings[10].str(), doc.windowTitle),
                  std::make_tuple(c.surfaceTemperature, std::string(c.heading10), std::string(" Test mine\n")));
        const int lastNumber[] = {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12};  // by node count
        EXPECT_EQ(doc.nodes[doc.nodeCount].number, lastNumber[doc.nodeCount]);
    }
}

// Node numbers 0..n-1, normal and fixed-flow roads joining neighbours, fans
// from node 0 to node 1 with the curve 50 40 30.
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

TEST(BadInput, CountsBeyondTheCapacitiesKeepWhatFitsAndStayConsistent)
{
    const struct {
        int surface, underground, roads, fixed, fans;
        const char *message, *capacity;  // the message's first line and what its second says
        int keptSurface, keptNodes, keptRoads, keptFixed, keptFans;
    } cases[] = {
        {1000, 0, 2, 0, 0, "Error : Node number over", "at most 999 nodes; the file gives 1000.", 999, 999, 2, 0, 0},
        {500, 600, 2, 0, 0, "Error : Node number over", "at most 999 nodes, surface and underground together; "
         "the file gives 1100.", 500, 999, 2, 0, 0},
        {3, 0, 1500, 2, 0, "Error : Branch number over", "at most 1499 roads; the file gives 1500.", 3, 3, 1499, 0, 0},
        {3, 0, 1000, 600, 0, "Error : Branch number over", "at most 1499 roads, normal and fixed-flow together; "
         "the file gives 1600.", 3, 3, 1000, 499, 0},
        {2, 0, 1, 0, 50, "Error : Fan number over", "at most 49 fans; the file gives 50.", 2, 2, 1, 0, 49},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        writeFile(inst.work("big.vad"), generatedNetwork(c.surface, c.underground, c.roads, c.fixed, c.fans));
        EXPECT_EQ(doc.readNetworkFile(inst.work("big.vad"), true), 1);
        EXPECT_TRUE(inst.reporter.contains(std::string(c.message) + "\n" + inst.work("big.vad") +
                                           ": the network holds " + c.capacity)) << inst.reporter.all();
        EXPECT_EQ(std::make_tuple(doc.surfaceCount, doc.nodeCount, doc.roadCount, doc.fixedCount, doc.fanCount),
                  std::make_tuple(c.keptSurface, c.keptNodes, c.keptRoads, c.keptFixed, c.keptFans));
        EXPECT_EQ(doc.surfaceCount + doc.undergroundCount, doc.nodeCount);
        EXPECT_EQ(doc.nodes[doc.nodeCount].number, doc.nodeCount - 1);  // the last kept record
        if (doc.fanCount > 0) {
            EXPECT_EQ(doc.fans[doc.fanCount].curve[3], 30.0f);
        }
        EXPECT_EQ(doc.fanHeadings[kMaxFans].view(), "Fan:\n");
    }

    // Counts at the top of the whole numbers: their sums must not wrap round the checks.
    Installation inst;
    writeFile(inst.work("huge.vad"), "[H] huge\nh2\nh3\n2\n0 0 1 -1\nh4\n2147483647\n2 -2\n");
    EXPECT_EQ(inst.doc->readNetworkFile(inst.work("huge.vad"), true), 1);  // ends early: nodes 0, 1, 2
    EXPECT_TRUE(inst.reporter.contains("surface and underground together; the file gives 2147483649."))
        << inst.reporter.all();
    EXPECT_EQ(inst.doc->nodeCount, 3);
}

TEST(BadInput, NetworkFilesThatLoadWithAWarning)
{
    std::string points;
    for (int p = 1; p <= 31; ++p)
        points += std::to_string(p) + " ";
    const struct {
        std::string from, to, message;
        std::function<void(const CBriscoDoc&)> check;
    } cases[] = {
        {"9 250.5\n1 2 3 4 5 6 7 8 9", "31 250.5\n" + points, "fan 2", [](const CBriscoDoc& d) {
             EXPECT_EQ(std::make_tuple(d.fans[2].points, d.fans[2].curve[30]), std::make_tuple(30, 30.0f));
             EXPECT_EQ(d.surfaceTemperature, 18.5f);  // the rest of the file stays aligned
         }},
        {"heading two\n", std::string(100, 'x') + "\n", ": line 2", [](const CBriscoDoc& d) {
             EXPECT_EQ(d.headings[2].view(), std::string(78, 'x') + "\n");  // 79 with the line end
             EXPECT_EQ(d.headings[3].view(), "heading three\n");
         }},
        // An end line without "&": "Data Input Error", then the line and what it lacks.
        {"end of data &", "end of data",
         "warn.vad: line 32: the last heading line, which ends the network, was expected to hold \"&\" "
         "(as in \"end &\"), but the file holds \"end of data\".",
         [](const CBriscoDoc& d) {
             EXPECT_EQ(std::make_tuple(d.nodeCount, d.fanCount), std::make_tuple(10, 2));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        const std::string path = inst.work("warn.vad");
        writeFile(path, replaced(readFile(kSmallBase + "vad"), c.from, c.to));
        ASSERT_EQ(doc.readNetworkFile(path, true), 1);
        ASSERT_EQ(inst.reporter.messages.size(), 1u) << inst.reporter.all();
        EXPECT_TRUE(inst.reporter.contains(c.message)) << inst.reporter.all();
        EXPECT_TRUE(inst.reporter.contains(path)) << inst.reporter.all();  // every warning names the file
        EXPECT_EQ(inst.reporter.messages[0].rfind("Data Input Error\n" + path + ": ", 0) == 0, c.from == "end of data &");
        c.check(doc);
    }
    // A heading of exactly 79 bytes with its line end is whole: nothing is said.
    Installation inst;
    const std::string path = inst.work("full.vad");
    writeFile(path, replaced(readFile(kSmallBase + "vad"), "heading two\n", std::string(78, 'x') + "\n"));
    ASSERT_EQ(inst.doc->readNetworkFile(path, true), 1);
    EXPECT_EQ(inst.reporter.all(), "");
}

TEST(BadInput, TextInACompanionFileStopsItsReaderWithTheFileAndLine)
{
    using Read = void (*)(CBriscoDoc&, const std::string&);
    using Check = void (*)(const CBriscoDoc&);  // what was read before the fault stays
    const struct {
        const char *ext, *text;
        int line;
        Read read;
        Check kept;
    } cases[] = {
        {"jpd", "1 5 5\n2 x 5\n3 7 7\n", 2, [](CBriscoDoc& d, const std::string& b) { d.readNodeLocationFile(b); },
         [](const CBriscoDoc& d) { EXPECT_EQ(std::make_tuple(d.nodes[1].x, d.nodes[3].x), std::make_tuple(5.0f, 0.0f)); }},
        {"apd", "10 11 1\n1 1 0\n12 11 1\n2 two 0\n", 4, [](CBriscoDoc& d, const std::string& b) { d.readBendFile(b); },
         [](const CBriscoDoc& d) { EXPECT_EQ(std::make_tuple(d.roads[2].bendStart, d.roads[3].bendStart), std::make_tuple(1, 0)); }},
        {"nrd", "1 10 0 1 A\n10 11 zero 2 B\n", 2, [](CBriscoDoc& d, const std::string& b) { d.readRoadNameFile(b); },
         [](const CBriscoDoc& d) { EXPECT_EQ(std::make_tuple(d.roads[1].name.str(), d.roads[2].name.str()), std::make_tuple("A", "")); }},
        {"pkd", "10\n1 10300\n2 abc\n", 3, [](CBriscoDoc& d, const std::string& b) { d.readResultsFile(b); },
         [](const CBriscoDoc& d) { EXPECT_EQ(std::make_tuple(d.nodes[1].pressure, d.holdsResults), std::make_tuple(10300.0, false)); }},
        {"sdt", "kval\n5 0.1 0\nfirenode\nseven 300 1 0 0.001\n", 4, [](CBriscoDoc& d, const std::string& b) { d.readParameterFile(b); },
         [](const CBriscoDoc& d) { EXPECT_EQ(d.fire.kval, 5.0f); }},
        {"mcd", "sensors\n1\nh\nh\n2 10 110\n3 10 lots\n", 6, [](CBriscoDoc& d, const std::string& b) { d.readFlowSensorFile(b); },
         [](const CBriscoDoc& d) { EXPECT_EQ(std::make_tuple(d.roads[4].resistance, d.roads[5].resistance), std::make_tuple(110.0f, 200.5f)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ext);
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
        const std::string base = inst.work("broken.");
        writeFile(base + c.ext, c.text);
        inst.reporter.clear();
        c.read(doc, base);
        ASSERT_FALSE(inst.reporter.messages.empty());
        const std::string& message = inst.reporter.messages.back();
        EXPECT_EQ(message.rfind(base + c.ext + ": line " + std::to_string(c.line) + ": ", 0), 0u) << message;
        c.kept(doc);
    }
}

TEST(BadInput, RecordsNamingNothingInTheNetworkAreDropped)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
    // Node numbers no node carries or outside 0..1499; a fan and a road named
    // against their direction; sensor data switched off (0).
    writeFile(inst.work("u.jpd"), "1 5 5\n1200 9 9\n-4 9 9\n5000 9 9\n12 6 6\n");
    writeFile(inst.work("u.pkd"), "4\n1 1.5\n1200 9\n5000 9\n12 2.5\n1\n6 12 5\n1\n10 1 1 9 9\n");
    writeFile(inst.work("u.mcd"), "sensors\n0\nh\nh\n2 10 999\n");
    ASSERT_EQ(doc.readNodeLocationFile(inst.work("u.")), 1);
    ASSERT_EQ(doc.readResultsFile(inst.work("u.")), 1);
    doc.readFlowSensorFile(inst.work("u."));
    EXPECT_TRUE(inst.reporter.contains("1200") && inst.reporter.contains("fan 6-12") &&
                inst.reporter.contains("road 10-1")) << inst.reporter.all();
    for (int i = 1; i < kMaxNodes; ++i) {
        const bool given = i == 1 || i == 10;
        const float value = i == 1 ? 5.0f : 6.0f;
        ASSERT_EQ(std::make_tuple(doc.nodes[i].x, doc.nodes[i].y),
                  std::make_tuple(given ? value : 0.0f, given ? value : 0.0f)) << i;
        ASSERT_EQ(doc.nodes[i].pressure, !given ? 0.0 : i == 1 ? 1.5 : 2.5) << i;
    }
    EXPECT_EQ(std::make_tuple(doc.fans[1].fanFlow, doc.roads[1].massFlow, doc.roads[4].first, doc.roads[4].resistance),
              std::make_tuple(0.0f, 0.0f, 2, 100.0f));
    EXPECT_TRUE(doc.holdsResults) << "what names nothing is dropped; the rest are a run's results";
    ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
    EXPECT_FALSE(doc.holdsResults) << "a network read again has none";
}

}  // namespace
}  // namespace orvex::test
