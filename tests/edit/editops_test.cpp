// The edit operations straight on the model: orderings, merges, insertion,
// fans, the bending-point store, and refusals that leave the model as it was.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "edit/snapshot.h"
#include "model/networkio.h"
#include "support.h"

namespace orvex::test {
namespace {

class EditOps : public ::testing::Test, public EditBench {};

// "Change a location" keeps the values typed in the dialog, as OK does, for
// both kinds of road; Cancel keeps none.
TEST_F(EditOps, ChangeALocationKeepsTheTypedValues)
{
    node(1, 0, 0);
    node(2, 100, 0);
    road(1, 2);
    ASSERT_TRUE(ops().addFixedRoad(2, 1, 300));
    dialogs.roadData.push_back([](RoadDataValues& v) { return v.length = 250, DialogResult::ChangeLocation; });
    dialogs.fixedData.push_back([](FixedRoadValues& v) { return v.airflow = 450, DialogResult::ChangeLocation; });
    dialogs.fixedData.push_back([](FixedRoadValues& v) { return v.airflow = 999, DialogResult::Cancel; });
    EXPECT_EQ(ops().changeRoadData(1), DialogResult::ChangeLocation);
    EXPECT_EQ(ops().changeRoadData(2), DialogResult::ChangeLocation);
    EXPECT_EQ(ops().changeRoadData(2), DialogResult::Cancel);
    EXPECT_EQ(std::pair(roadAt(1).length, roadAt(2).resistance), std::pair(250.0f, 450.0f));
}

// Evacuation entries name roads by their place, so they follow the roads.
TEST_F(EditOps, SurfaceNodesComeFirstFixedFlowRoadsLastAndEvacuationEntriesFollow)
{
    node(10, 0, 0);
    node(5, -50, 0, NodeKind::Surface);
    node(6, -50, 40, NodeKind::Surface);
    EXPECT_EQ(nodeNumbers(), (std::vector<int>{5, 6, 10}));
    EXPECT_EQ(doc->nodes[2].y, 40.0f);
    ASSERT_TRUE(ops().addFixedRoad(5, 10, 300));
    road(10, 5);
    doc->fire.unusableCount = 2;
    doc->fire.unusableRoad[1] = 1;  // 10-5
    doc->fire.unusableRoad[2] = 2;  // the fixed-flow road
    road(6, 10);
    EXPECT_EQ(roadPairs(), (Strings{"10-5", "6-10", "5-10"})) << "the fixed-flow road moved up";
    EXPECT_EQ(std::pair(doc->fire.unusableRoad[1], doc->fire.unusableRoad[2]), std::pair(1, 3));
    ops().deleteRoad(doc->findRoad(5, 10));
    EXPECT_EQ(roadPairs(), (Strings{"6-10", "5-10"}));
    EXPECT_EQ(std::vector<float>({float(doc->roadCount), roadAt(2).resistance}), std::vector<float>({1, 300}));
    EXPECT_EQ(std::pair(doc->fire.unusableRoad[1], doc->fire.unusableRoad[2]), std::pair(0, 2));
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(doc->nodes[3].degree, 1) << "the adjacency was rebuilt";
}

TEST_F(EditOps, NodeNumbersOutside1To1499OrInUseAreRefused)
{
    node(10, 0, 0);
    const std::string range = "Node number must be 0 - 1500";
    expectRefused(*this, [&] { EXPECT_EQ(ops().makeNode(-1, 0, NodeKind::Underground, 0, 0), 0); }, range);
    expectRefused(*this, [&] { ops().makeNode(1500, 0, NodeKind::Surface, 0, 0); }, range);
    expectRefused(*this, [&] { ops().makeNode(10, 0, NodeKind::Surface, 9, 9); }, "Already exist ");
    reporter.messages.clear();
    EXPECT_EQ(ops().makeNode(0, 0, NodeKind::Underground, 0, 0), 0);  // refused without a word
    EXPECT_EQ(ops().makeNode(1499, 0, NodeKind::Underground, 0, 0), 1);
    EXPECT_EQ(std::pair(doc->nodeCount, reporter.messages), std::pair(2, Strings{}));
}

TEST_F(EditOps, DeletingANodeBetweenTwoRoadsMergesThem)
{
    node(1, 0, 0);
    node(2, 50, 0);
    node(3, 100, 0);
    road(1, 2, 4, 10, 4, 30, 2);
    road(2, 3, 6, 20, 4, 70, 2);
    ASSERT_TRUE(ops().deleteNode(doc->nodeIndex(2)));
    ASSERT_EQ(roadPairs(), Strings{"1-3"});
    // Resistances and lengths add up; the temperature is weighted by length: (10 × 30 + 20 × 70) / 100.
    EXPECT_EQ(std::vector<float>({roadAt(1).resistance, roadAt(1).length, roadAt(1).temperature, roadAt(1).area}),
              std::vector<float>({10, 100, 17, 4}));
    // Without length the temperature is the plain mean; a node without roads simply goes.
    node(4, 0, 50);
    node(5, 0, 90);
    road(3, 4, 1, 10, 4, 0, 2);
    road(4, 5, 1, 30, 4, 0, 2);
    ASSERT_TRUE(ops().deleteNode(doc->nodeIndex(4)));
    EXPECT_EQ(roadPairs(), (Strings{"1-3", "3-5"}));
    EXPECT_FLOAT_EQ(roadAt(2).temperature, 20);
    node(6, 9, 9);
    ASSERT_TRUE(ops().deleteNode(doc->nodeIndex(6)));
    EXPECT_EQ(nodeNumbers(), (std::vector<int>{1, 3, 5}));
}

TEST(EditOpsRefusals, NodeDeletionsThatCannotMergeAreRefused)
{
    // Node 2 of nodes 1..4 (on the surface where said). Roads: "a-b" normal
    // (area 4, conductivity 2), "a-b/A" of area 5, "a-b/K" of conductivity 3,
    // "=a-b" fixed-flow; "fa-b" a fan.
    struct Case {
        const char* network;
        bool surface;
        std::string message;
    };
    const Case cases[] = {
        {"1-2 2-3 =2-4", false, kFixedRoadAtNode}, {"1-2 =3-2", false, kFixedRoadAtNode},  // before the count of roads
        {"1-2 2-3 f4-2", false, kFanAtNode},       {"1-2", false, kNotTwoRoads},
        {"1-2 2-3 4-2", false, kNotTwoRoads},      {"1-2 2-3", true, kNotTwoRoads},
        {"1-2 2-3/A", false, kDifferentRoads},     {"1-2/K 2-3", false, kDifferentRoads},
        {"1-2 2-3 3-1", false, kSameRoadMade},     {"1-2 2-1", false, kBothRoadsToOneNode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.network);
        EditBench b;
        for (int n = 1; n <= 4; ++n)
            b.node(n, 30 * n, 0, c.surface && n == 2 ? NodeKind::Surface : NodeKind::Underground);
        std::istringstream words(c.network);
        for (std::string w; words >> w;) {
            const std::size_t at = std::isdigit(static_cast<unsigned char>(w[0])) ? 0 : 1;
            const int from = w[at] - '0', to = w[at + 2] - '0';
            if (w[0] == '=')
                b.ops().addFixedRoad(from, to, 50);
            else if (w[0] == 'f')
                b.fan(from, to, 10, {80, 40});
            else
                b.road(from, to, 10, 20, w.back() == 'A' ? 5 : 4, 100, w.back() == 'K' ? 3 : 2);
        }
        expectRefused(b, [&] { EXPECT_FALSE(b.ops().deleteNode(b.doc->nodeIndex(2))); }, c.message);
    }
}

TEST_F(EditOps, InsertingANodeSplitsANormalRoad)
{
    node(1, 0, 0);
    node(2, 100, 0);
    node(3, 50, 10);
    ASSERT_TRUE(ops().addFixedRoad(1, 2, 500));
    road(1, 2, 10, 25, 6, 100, 3);
    dialogs.inserts.push_back(ok<InsertNodeValues>([](InsertNodeValues& v) {
        EXPECT_EQ(std::vector<float>({float(v.node), v.resistance, v.length}), std::vector<float>({3, 10, 100}));
        v.firstResistance = 4;
        v.firstLength = 30;
    }));
    EXPECT_EQ(ops().insertNode(3, 1), 1);
    EXPECT_EQ(roadPairs(), (Strings{"1-3", "3-2", "1-2"}));
    // The second part takes the rest and the road's temperature, area and conductivity.
    EXPECT_EQ(std::vector<float>({roadAt(1).resistance, roadAt(1).length, roadAt(2).resistance, roadAt(2).length,
                                  roadAt(2).temperature, roadAt(2).area, roadAt(2).conductivity}),
              std::vector<float>({4, 30, 6, 70, 25, 6, 3}));
    // Parts beyond the road are kept within it.
    dialogs.inserts.push_back(ok<InsertNodeValues>([](InsertNodeValues& v) {
        v.firstResistance = 15;
        v.firstLength = -5;
    }));
    node(4, 20, 0);
    EXPECT_EQ(ops().insertNode(4, 1), 1);
    EXPECT_EQ(roadPairs(), (Strings{"3-2", "1-4", "4-3", "1-2"}));
    EXPECT_EQ(std::vector<float>({roadAt(2).resistance, roadAt(3).resistance, roadAt(2).length, roadAt(3).length}),
              std::vector<float>({4, 0, 0, 30}));
    // A fixed-flow road has nothing to give two normal roads; a road's own end cannot be inserted.
    expectRefused(*this, [&] { EXPECT_EQ(ops().insertNode(3, 4), 0); }, kInsertIntoFixed);
    expectRefused(*this, [&] { EXPECT_EQ(ops().insertNode(4, 2), 0); }, kInsertAtRoadEnd);
}

TEST_F(EditOps, TheLastFanTakesTheNumberOfADeletedFan)
{
    for (int n = 1; n <= 4; ++n)
        node(n, 20 * n, 0);
    for (int f = 1; f <= 3; ++f) {
        fan(f, f + 1, float(f), {float(100 * f)});
        doc->fanHeadings[std::size_t(f)] = "Fan " + std::to_string(f) + "\n";
    }
    ops().deleteFan(1);
    ASSERT_EQ(doc->fanCount, 2);
    EXPECT_EQ(std::vector<float>({float(doc->fans[1].inlet), float(doc->fans[1].outlet), doc->fans[1].curve[1]}),
              std::vector<float>({3, 4, 300}));
    EXPECT_EQ(doc->fanHeadings[1].str(), "Fan 3\n");
    EXPECT_EQ(ops().findFan(4, 3), 1);
    dialogs.fanChanges.push_back(ok<FanCurve>([](FanCurve& c) { c.points = 45; }));
    ops().changeFan(1);
    EXPECT_EQ(doc->fans[1].points, 30) << "never more than 30 points stored";
    node(7, 0, 50, NodeKind::Underground, 5);
    expectRefused(*this, [&] { ops().makeFan(1, 7); }, kDifferentElevation);
    expectRefused(*this, [&] { ops().makeFan(1, 1); }, kSelfFan);
}

TEST_F(EditOps, ReplacingBendingPointsClosesUpTheStore)
{
    for (int n = 1; n <= 4; ++n)
        node(n, 20 * n, 0);
    road(1, 2);
    road(2, 3);
    road(3, 4);
    const BendPoint two[] = {{1, 1, 1}, {2, 2, -1}}, three[] = {{7, 7, 1}, {8, 8, 3}, {9, 9, 1}};
    for (int k = 1; k <= 3; ++k)
        ASSERT_TRUE(ops().replaceBends(k, two, 2));  // blocks at slots 1, 4, 7
    ASSERT_TRUE(ops().replaceBends(1, three, 3));
    EXPECT_EQ(doc->bendUsed, 10);
    EXPECT_EQ(std::vector<int>({roadAt(1).bendStart, roadAt(2).bendStart, roadAt(3).bendStart}),
              std::vector<int>({7, 1, 4}));
    EXPECT_EQ(std::vector<int>({doc->bends[7].mark, doc->bends[9].mark, int(doc->bends[9].x)}),
              std::vector<int>({3, 3, 8}));
    // A store that cannot take the new block keeps the road's old points.
    doc->bendUsed = kMaxBendSlots - 1;
    expectRefused(*this, [&] { EXPECT_FALSE(ops().replaceBends(2, three, 3)); }, kBendStoreFull);
    EXPECT_EQ(reporter.captions.back(), kViewCaption);
    EXPECT_TRUE(ops().replaceBends(2, two, 2)) << "fits once its own three slots are freed";
}

TEST_F(EditOps, NothingIsMadeBeyondTheModelsCapacities)
{
    for (int n = 1; n < kMaxNodes; ++n)
        ASSERT_EQ(ops().makeNode(n, 0, NodeKind::Underground, n, 0), 1);
    expectRefused(*this, [&] { ops().makeNode(1200, 0, NodeKind::Surface, 0, 0); }, kNodesFull);
    for (int k = 1; k < kMaxRoads; ++k)
        ASSERT_TRUE(ops().addFixedRoad(k % 999 + 1, (k + 1) % 999 + 1, 1.0f));
    expectRefused(*this, [&] { ops().addNormalRoad(1, 2, 1, 1, 1, 1, 1); }, kRoadsFull);
    for (int f = 1; f < kMaxFans; ++f)
        fan(f, f + 1, 1, {1});
    expectRefused(*this, [&] { ops().makeFan(60, 61); }, kFansFull);
    expectRefused(*this, [&] { ops().addFixedRoad(5, 5, 1); }, kSelfRoad);
}

// One operation on each kind of record, taken back through the undo history's
// snapshots: the sample mine (its parameter file names a not-useable road)
// written after the undo as before the operation, and after the redo as right after it.
TEST(EditOpsUndo, RestoringASnapshotGivesBackEveryFile)
{
    const auto written = [](EditBench& b) {
        std::string all = snapshot(*b.doc);
        all += "== names and alternative resistances\n";
        for (int k = 1; k <= b.doc->totalRoads(); ++k)
            appendf(all, "%s %g\n", b.roadAt(k).name.str().c_str(), double(b.roadAt(k).altResistance));
        return all;
    };
    const auto road = [](EditBench& b, int a, int c) { return b.doc->findRoad(a, c, RoadScope::All); };
    const BendPoint bends[] = {{5, 5, 1}, {9, 9, 3}};
    const struct {
        const char* what;
        std::function<void(EditBench&)> before, operation;
    } cases[] = {
        {"make a surface node", {}, [](EditBench& b) { b.ops().makeNode(900, 300, NodeKind::Surface, 1, 2); }},
        {"delete a node, joining its roads", {}, [](EditBench& b) { b.ops().deleteNode(b.doc->nodeIndex(251)); }},
        {"delete the first of two parallel roads of other names",
         [](EditBench& b) {
             b.road(1, 101, 0.5f);
             b.doc->roads[std::size_t(b.doc->roadCount)].name = FixedText<kRoadNameChars>("Parallel");
         },
         [&](EditBench& b) { b.ops().deleteRoad(road(b, 1, 101)); }},
        {"delete the not-useable road 212-203", {}, [&](EditBench& b) { b.ops().deleteRoad(road(b, 212, 203)); }},
        {"delete a fixed flow road", {}, [&](EditBench& b) { b.ops().deleteRoad(road(b, 306, 323)); }},
        {"insert a node into road 1", [](EditBench& b) { b.node(999, 0, 0); },
         [](EditBench& b) {
             b.dialogs.inserts.push_back(ok<InsertNodeValues>([](InsertNodeValues& v) { v.firstResistance = 0.004f; }));
             b.ops().insertNode(999, 1);
         }},
        {"reshape a road with bending points", {}, [&](EditBench& b) { b.ops().replaceBends(road(b, 4, 10), bends, 2); }},
        {"make a fan", {},
         [](EditBench& b) {
             b.dialogs.fans.push_back(ok<FanCurve>([](FanCurve& c) { c = curve(100, {500, 300}); }));
             b.ops().makeFan(102, 103);
         }},
        {"delete the first fan", {}, [](EditBench& b) { b.ops().deleteFan(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EditBench b;
        ASSERT_EQ(openNetwork(*b.doc, ORVEX_SOURCE_DIR "/data/mine.vad"), 1);
        if (c.before)
            c.before(b);
        const std::string before = written(b);
        const NetworkSnapshot was = takeSnapshot(*b.doc);
        c.operation(b);
        const std::string after = written(b);
        ASSERT_NE(after, before) << "the operation changed nothing";
        const NetworkSnapshot is = takeSnapshot(*b.doc);
        restoreSnapshot(*b.doc, was);
        EXPECT_EQ(written(b), before);
        restoreSnapshot(*b.doc, is);
        EXPECT_EQ(written(b), after);
    }
}

// Undo gives back the network but keeps the results of now: a road's from
// the road of the same ends and kind, a fan's from the fan of the same ends.
TEST(EditOpsUndo, ResultsOfNowStayWithTheRoadsAndFansRestored)
{
    EditBench b;
    ASSERT_EQ(openNetwork(*b.doc, ORVEX_SOURCE_DIR "/data/mine.vad"), 1);
    CBriscoDoc& doc = *b.doc;
    ASSERT_GT(doc.fire.unusableCount, 0);
    b.ops().addFixedRoad(1, 101, 300);
    const int normal = doc.findRoad(1, 101, RoadScope::All);
    doc.roads[std::size_t(normal)].massFlow = 11;
    doc.roads[std::size_t(doc.totalRoads())].massFlow = 99;
    const NetworkSnapshot was = takeSnapshot(doc);
    b.ops().deleteRoad(normal);
    doc.fans[1].fanFlow = 1234;
    doc.fire.unusableCount = 0;
    restoreSnapshot(doc, was);
    EXPECT_EQ(doc.roads[std::size_t(normal)].massFlow, 11) << "not the fixed-flow road's";
    EXPECT_EQ(doc.fans[1].fanFlow, 1234);
    EXPECT_EQ(doc.fire.unusableCount, int(was.unusableRoads.size()));

    ASSERT_GT(doc.bendUsed, 0);
    EXPECT_TRUE(was.sameNetwork(takeSnapshot(doc)));
    doc.bends[1].x += 1;
    EXPECT_FALSE(was.sameNetwork(takeSnapshot(doc))) << "a bending point moved";
}

}  // namespace
}  // namespace orvex::test
