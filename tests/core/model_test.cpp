// The document's model operations: construction, adjacency, road look-up,
// load preparation, plan rotation and the record iterators.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "model/fileio.h"
#include "model/meanings.h"
#include "model/networkio.h"
#include "model/textscanner.h"
#include "support/support.h"

namespace orvex::test {
namespace {

TEST(Document, StartsWithTheDefaultNetworkWithoutResistances)
{
    Installation inst;
    const CBriscoDoc& doc = *inst.doc;
    EXPECT_EQ(std::make_tuple(doc.surfaceCount, doc.nodeCount, doc.roadCount), std::make_tuple(2, 3, 2));
    EXPECT_EQ(doc.title, " Default network\n");
    EXPECT_EQ(doc.fire.fireNode, 7);  // from the program folder's parameter file
    EXPECT_EQ(std::make_tuple(doc.roads[1].resistance, doc.roads[2].resistance, doc.roads[2].temperature),
              std::make_tuple(0.0f, 0.0f, 22.0f));

    // Without the two settings files: both reported, the built-in defaults stay.
    Installation bare(ProgramFiles{false, false});
    auto fresh = bare.newDocument();
    ASSERT_EQ(bare.reporter.messages.size(), 2u) << bare.reporter.all();
    EXPECT_NE(bare.reporter.messages[0].find("ztna.sdt\nnot found"), std::string::npos) << bare.reporter.all();
    EXPECT_EQ(bare.reporter.messages[1], bare.program() + "/sdt/ztkihon.sdt:read ?\nnot found");
    EXPECT_EQ(std::make_tuple(fresh->nodeCount, fresh->totalRoads(), fresh->title), std::make_tuple(0, 0, std::string("Untitled")));
    EXPECT_EQ(std::make_tuple(fresh->fire.fireNode, fresh->fire.fireTemperature), std::make_tuple(14, 400.0f));
}

TEST(Document, AdjacencyListsNormalRoadsAndFindRoadTakesTheLowestIndex)
{
    // Nodes 10, 20, 30, 40; normal roads 10-20, 20-30, 30-10, 20-40, 20-10;
    // a fixed-flow road 10-40.
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    doc.surfaceCount = 1;
    doc.undergroundCount = 3;
    for (int i = 1; i <= 4; ++i)
        doc.nodes[i].number = 10 * i;
    const std::pair<int, int> ends[] = {{0, 0}, {10, 20}, {20, 30}, {30, 10}, {20, 40}, {20, 10}, {10, 40}};
    for (int k = 1; k <= 6; ++k)
        std::tie(doc.roads[k].first, doc.roads[k].second) = ends[k];
    doc.roadCount = 5;
    doc.fixedCount = 1;
    doc.rebuildAdjacency();

    // Degrees 3, 4, 2, 1; filled road by road, first end (+1) then second (-1).
    const int start[] = {0, 0, 3, 7, 9};
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(doc.nodes[i].adjacencyStart, start[i]) << i;
    EXPECT_EQ(doc.nodes[4].degree, 1);
    const int neighbour[] = {0, 2, 3, 2, 1, 3, 4, 1, 2, 1, 2};
    const int road[] = {0, 1, 3, 5, 1, 2, 4, 5, 2, 3, 4};
    const int sign[] = {0, +1, -1, -1, -1, +1, +1, +1, -1, +1, -1};
    for (int p = 1; p <= 10; ++p)
        EXPECT_EQ(std::make_tuple(doc.adjacentNode[p], doc.adjacentRoad[p], doc.adjacentSign[p]),
                  std::make_tuple(neighbour[p], road[p], sign[p])) << p;

    EXPECT_EQ(std::make_tuple(doc.findRoad(10, 20), doc.findRoad(20, 10), doc.findRoad(30, 20)), std::make_tuple(1, 1, 2));
    EXPECT_EQ(std::make_tuple(doc.findRoad(10, 40), doc.findRoad(40, 10, RoadScope::All)), std::make_tuple(0, 6));

    // A node renumbered in place is found under neither number until the index is rebuilt.
    doc.nodes[2].number = 25;
    EXPECT_EQ(std::make_pair(doc.nodeIndex(20), doc.nodeIndex(25)), std::make_pair(0, 0));
    doc.rebuildAdjacency();
    EXPECT_EQ(doc.nodeIndex(25), 2);
}

TEST(Document, PrepareSetsHydrostaticPressuresAndResetsFans)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
    doc.surfaceCount = 2;  // keep nodes 1 (100 m) and 2 on the surface
    doc.undergroundCount = 8;
    doc.nodes[2].elevation = 300;
    doc.nodes[10].elevation = -300;
    doc.surfaceTemperature = 20;
    doc.fans[1].fanFlow = 99;
    doc.rebuildAdjacency();
    doc.prepareAfterLoad();
    // zm = (100 + 300) / 2 = 200
    // Pm = 10336 (1 - 2.257e-5 × 200)^5.256 = 10336 exp(5.256 ln 0.995486) = 10093.12
    // g  = 10093.12 / ((20 + 273.15) × 29.27) = 1.176285
    // node at -300 m: 10093.12 + (200 + 300) × 1.176285 = 10681.26
    EXPECT_NEAR(doc.nodes[10].pressure, 10681.26, 0.01);
    EXPECT_NEAR(doc.nodes[1].pressure, 10093.12 + 100 * 1.176285, 0.01);
    EXPECT_EQ(doc.roads[3].initialTemperature, 25.0f);
    EXPECT_EQ(std::make_tuple(doc.fans[1].fanFlow, doc.fans[1].pressure, doc.fans[2].pressure),
              std::make_tuple(0.0f, 100.0f, 1.0f));  // airflow 0 at the first curve point
}

TEST(Document, RotateTurnsNodesAndBendingPointsAboutTheOrigin)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    doc.nodes[1].x = 1000;
    doc.nodes[2].y = 500;
    doc.bendUsed = 2;
    doc.bends[2] = {0, -800, 600};
    doc.rotatePlan(-45);
    // Degrees turn with 3.14159 / 180: 45° gives cos 0.70710725 and sin
    // 0.70710631 (with pi both would be 0.70710678, 4.7e-4 m off at 1000 m).
    const double c = 0.70710725, s = 0.70710631;
    EXPECT_NEAR(doc.nodes[1].x, 1000 * c, 1e-4);
    EXPECT_NEAR(doc.nodes[1].y, -1000 * s, 1e-4);
    EXPECT_NEAR(doc.nodes[2].x, 500 * s, 1e-4);
    EXPECT_NEAR(doc.nodes[2].y, 500 * c, 1e-4);
    EXPECT_NEAR(doc.bends[2].x, -800 * c + 600 * s, 1e-3);
    EXPECT_NEAR(doc.bends[2].y, 800 * s + 600 * c, 1e-3);
}

TEST(Document, IteratorsKeepTheirOwnPositionsAndStartAgainAfterTheEnd)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
    doc.readNodeLocationFile(kSmallBase);

    RecordCursor alone;
    std::vector<float> xs;
    float x = 0, y = 0;
    while (doc.nextNodePosition(alone, x, y))
        xs.push_back(x);
    EXPECT_EQ(xs, (std::vector<float>{0, 10, 20, 30, 40, 50, 60, 0, 100.5f, 200}));
    ASSERT_EQ(doc.nextNodePosition(alone, x, y), 1);  // again from record 1
    EXPECT_EQ(x, 0.0f);

    // Walks interleaved with other walks give what each gives alone.
    RecordCursor positions, fans, roads;
    std::vector<float> interleaved;
    std::vector<std::pair<int, int>> fanEnds, roadEnds;
    int inlet = 0, outlet = 0, first = 0, second = 0, bend = 0;
    for (bool nodesLeft = true, fansLeft = true, roadsLeft = true; nodesLeft || fansLeft || roadsLeft;) {
        if (nodesLeft && (nodesLeft = doc.nextNodePosition(positions, x, y) == 1))
            interleaved.push_back(x);
        if (fansLeft && (fansLeft = doc.nextFan(fans, inlet, outlet) == 1))
            fanEnds.emplace_back(inlet, outlet);
        if (roadsLeft && (roadsLeft = doc.nextRoad(roads, first, second, bend) == 1))
            roadEnds.emplace_back(first, second);
    }
    EXPECT_EQ(interleaved, xs);
    ASSERT_EQ(fanEnds.size(), 2u);
    EXPECT_EQ(fanEnds[0], std::make_pair(12, 6));
    ASSERT_EQ(roadEnds.size(), 7u);  // fixed-flow roads included
    EXPECT_EQ(roadEnds.back(), std::make_pair(5, 12));
}

// The files' texts as UTF-8, and where a text too long for its field is
// cut: between two characters of UTF-8 or GBK, wherever bytes of neither.
// The system's questions get their English meaning with their numbers; a
// text that only begins like one, or lacks a number, gets none.
TEST(Meanings, TheQuestionsWithTheirNumbers)
{
    const std::pair<std::string, std::string> rows[] = {
        {kSaveQuestion, "The data have not been saved: save them?"},
        {"可以删除节点7吗?", "Delete node 7?"},
        {"可以删除风机12 - -3吗?", "Delete fan 12 - -3?"},
        {"可以删除节点7吗?!", ""},
        {"可以删除节点x吗?", ""},
        {"Anything else", ""},
    };
    for (const auto& [text, meaning] : rows)
        EXPECT_EQ(englishMeaning(text), meaning) << text;
}

// Numbers stand alone and are finite, a leading plus allowed; a line is cut
// at its buffer's size; a record reader keeps the first failure it met.
TEST(TextScanner, NumbersLinesAndTheFirstFailure)
{
    using R = TextScanner::Result;
    const std::pair<const char*, R> numbers[] = {{"+5", R::Ok}, {"-2.5e3", R::Ok}, {"inf", R::Bad}, {"nan", R::Bad},
                                                 {"1,5", R::Bad}, {"+", R::Bad}, {" ", R::End}};
    for (const auto& [text, result] : numbers) {
        TextScanner scanner(text);
        double value = 0;
        EXPECT_EQ(scanner.readDouble(value), result) << text;
    }
    TextScanner lines("abcdef\nxy\n");
    std::string line;
    ASSERT_TRUE(lines.readLine(line, 4));
    EXPECT_EQ(line, "abcd");
    RecordReader reader(lines, "f.txt");
    reader.fail("first");
    reader.fail("second");
    EXPECT_EQ(reader.error(), "f.txt: line 1: first");
}

TEST(FileTexts, AreUtf8AndCutBetweenCharacters)
{
    const std::string gbk = "\xd6\xf7\xcf\xef";                  // two Chinese characters in GBK
    const std::string utf8 = "\xe4\xb8\xbb\xe5\xb7\xb7";          // the same in UTF-8
    const std::string latin1 = "Caf\xe9 Nord";                   // neither: Latin-1
    const struct {
        std::string text, asUtf8;
        std::size_t limit, cut;
    } cases[] = {
        {"ab" + utf8, "ab" + utf8, 4, 2},
        {"ab" + utf8, "ab" + utf8, 5, 5},
        {"ab" + gbk, "ab" + utf8, 3, 2},
        {"ab" + gbk, "ab" + utf8, 4, 4},
        {latin1, "Caf\xc3\xa9 Nord", 4, 4},
        {"\x80\xff", "\xc2\x80\xc3\xbf", 1, 1},
        {"ab" + utf8, "ab" + utf8, 20, 8},
        {"\xed\xa0\x80", "\xe9\xa0\x8e\xe2\x82\xac", 3, 3},  // an encoded surrogate is not UTF-8: GBK
        {"\x81\x7f", "\xc2\x81\x7f", 1, 1},                  // nor is 0x7F the second byte of GBK
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " to " + std::to_string(c.limit));
        EXPECT_EQ(textAsUtf8(c.text), c.asUtf8);
        EXPECT_EQ(characterCut(c.text, c.limit), c.cut);
    }
    // A road name holds 20 bytes: seven Chinese characters of UTF-8 keep six.
    FixedText<kRoadNameChars> name(utf8 + utf8 + utf8 + utf8.substr(0, 3));
    EXPECT_EQ(name.str(), utf8 + utf8 + utf8);

    // Formatted texts of any length come out whole, after what was there.
    for (const std::size_t length : {255u, 256u, 257u, 1000u}) {
        std::string out = "<";
        appendf(out, "%s|", std::string(length - 1, 'x').c_str());
        EXPECT_EQ(out, "<" + std::string(length - 1, 'x') + "|") << length;
    }
}

}  // namespace
}  // namespace orvex::test
