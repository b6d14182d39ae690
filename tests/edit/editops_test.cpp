// The edit operations straight on the model: orderings, merges, insertion,
// fans, the bending-point store, and every refusal leaving the model as it was.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "support.h"

namespace orvex::edittest {
namespace {

using Strings = std::vector<std::string>;

// Expects `action` to be refused with exactly `message` and no change to any
// written file or the bending-point store.
void expectRefused(EditBench& b, const std::function<void()>& action, const std::string& message)
{
    const std::string before = snapshot(*b.doc);
    b.reporter.messages.clear();
    action();
    EXPECT_EQ(b.reporter.messages, Strings{message});
    EXPECT_EQ(snapshot(*b.doc), before);
}

class EditOpsTest : public ::testing::Test, public EditBench {
protected:
    void expectRefused(const std::function<void()>& action, const std::string& message)
    {
        edittest::expectRefused(*this, action, message);
    }
    const Road& roadAt(int k) const { return doc->roads[std::size_t(k)]; }
};

TEST_F(EditOpsTest, SurfaceNodesComeFirstAndFixedFlowRoadsLast)
{
    node(10, 0, 0);
    node(20, 50, 0);
    node(5, -50, 0, NodeKind::Surface);
    node(6, -50, 40, NodeKind::Surface);
    EXPECT_EQ(nodeNumbers(), (std::vector<int>{5, 6, 10, 20}));
    EXPECT_EQ(doc->surfaceCount, 2);
    EXPECT_EQ(doc->nodes[2].y, 40.0f);

    ASSERT_TRUE(ops().addFixedRoad(5, 10, 300));
    road(10, 20);
    EXPECT_EQ(roadPairs(), (Strings{"10-20", "5-10"}));  // the fixed-flow road moved up
    road(6, 10);
    ops().removeNormalRoad(20, 10);
    EXPECT_EQ(roadPairs(), (Strings{"6-10", "5-10"}));
    EXPECT_EQ(doc->roadCount, 1);
    EXPECT_EQ(roadAt(2).resistance, 300.0f);
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(doc->nodes[size_t(doc->nodeIndex(10))].degree, 1);  // adjacency rebuilt
}

TEST_F(EditOpsTest, NewNodeNumbersOutsideOneTo1499OrInUseAreRefused)
{
    node(10, 0, 0);
    expectRefused([&] { EXPECT_EQ(ops().makeNode(-1, 0, NodeKind::Underground, 0, 0), 0); },
        "Node number must be 0 - 1500");
    expectRefused(
        [&] { ops().makeNode(1500, 0, NodeKind::Surface, 0, 0); }, "Node number must be 0 - 1500");
    expectRefused([&] { ops().makeNode(10, 0, NodeKind::Surface, 9, 9); }, "Already exist ");
    reporter.messages.clear();
    const std::string before = snapshot(*doc);
    EXPECT_EQ(ops().makeNode(0, 0, NodeKind::Underground, 0, 0), 0);  // refused silently
    EXPECT_EQ(snapshot(*doc), before);
    EXPECT_EQ(reporter.messages, Strings{});
    EXPECT_EQ(ops().makeNode(1499, 0, NodeKind::Underground, 0, 0), 1);
}

TEST_F(EditOpsTest, DeletingANodeBetweenTwoRoadsMergesThem)
{
    node(1, 0, 0);
    node(2, 50, 0);
    node(3, 100, 0);
    road(1, 2, 4, 10, 4, 30, 2);
    road(2, 3, 6, 20, 4, 70, 2);
    ASSERT_TRUE(ops().deleteNode(doc->nodeIndex(2)));
    EXPECT_EQ(nodeNumbers(), (std::vector<int>{1, 3}));
    ASSERT_EQ(roadPairs(), Strings{"1-3"});
    EXPECT_FLOAT_EQ(roadAt(1).resistance, 10);
    EXPECT_FLOAT_EQ(roadAt(1).length, 100);
    EXPECT_FLOAT_EQ(roadAt(1).temperature, 17);  // (10·30 + 20·70) / 100
    EXPECT_FLOAT_EQ(roadAt(1).area, 4);

    // Without length the temperature is the plain mean; a node without roads just goes.
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

// Node 2 of a small network of nodes 1..4 (node 2 on the surface where
// said); the refusal leaves every file as it was. Network words: "a-b" a
// normal road (area 4, conductivity 2), "a-b/A" one of area 5, "a-b/K" one of
// conductivity 3, "=a-b" a fixed-flow road, "fa-b" a fan.
TEST(EditOpsRefusals, NodeDeletionsThatCannotMergeAreRefused)
{
    struct Case {
        const char* network;
        bool surface;
        std::string message;
    };
    const Case cases[] = {
        {"1-2 2-3 =2-4", false, kFixedRoadAtNode},
        {"1-2 =3-2", false, kFixedRoadAtNode},  // before the count of roads
        {"1-2 2-3 f4-2", false, kFanAtNode},
        {"1-2", false, kNotTwoRoads},
        {"1-2 2-3 4-2", false, kNotTwoRoads},
        {"1-2 2-3", true, kNotTwoRoads},
        {"1-2 2-3/A", false, kDifferentRoads},
        {"1-2/K 2-3", false, kDifferentRoads},
        {"1-2 2-3 3-1", false, kSameRoadMade},
        {"1-2 2-1", false, kBothRoadsToOneNode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.network);
        EditBench b;
        for (int n = 1; n <= 4; ++n)
            b.node(n, 30 * n, 0, c.surface && n == 2 ? NodeKind::Surface : NodeKind::Underground);
        std::istringstream words(c.network);
        for (std::string w; words >> w;) {
            const char kind = std::isdigit(static_cast<unsigned char>(w[0])) ? ' ' : w[0];
            const int a = w[kind == ' ' ? 0 : 1] - '0', b2 = w[kind == ' ' ? 2 : 3] - '0';
            if (kind == '=')
                b.ops().addFixedRoad(a, b2, 50);
            else if (kind == 'f')
                b.fan(a, b2, 10, {80, 40});
            else
                b.road(a, b2, 10, 20, w.back() == 'A' ? 5 : 4, 100, w.back() == 'K' ? 3 : 2);
        }
        expectRefused(
            b, [&] { EXPECT_FALSE(b.ops().deleteNode(b.doc->nodeIndex(2))); }, c.message);
    }
}

TEST_F(EditOpsTest, InsertingANodeSplitsANormalRoad)
{
    node(1, 0, 0);
    node(2, 100, 0);
    node(3, 50, 10);
    ASSERT_TRUE(ops().addFixedRoad(1, 2, 500));
    road(1, 2, 10, 25, 6, 100, 3);
    dialogs.inserts.push_back(ok<InsertNodeValues>([](InsertNodeValues& v) {
        EXPECT_EQ(v.node, 3);
        EXPECT_EQ(v.resistance, 10.0f);
        EXPECT_EQ(v.length, 100.0f);
        v.firstResistance = 4;
        v.firstLength = 30;
    }));
    EXPECT_EQ(ops().insertNode(3, 1), 1);
    EXPECT_EQ(roadPairs(), (Strings{"1-3", "3-2", "1-2"}));
    EXPECT_EQ(roadAt(1).resistance, 4.0f);
    EXPECT_EQ(roadAt(1).length, 30.0f);
    EXPECT_EQ(roadAt(2).resistance, 6.0f);
    EXPECT_EQ(roadAt(2).length, 70.0f);
    EXPECT_EQ(roadAt(2).temperature, 25.0f);
    EXPECT_EQ(roadAt(2).conductivity, 3.0f);

    // Parts beyond the road are kept within it.
    dialogs.inserts.push_back(ok<InsertNodeValues>([](InsertNodeValues& v) {
        v.firstResistance = 15;
        v.firstLength = -5;
    }));
    node(4, 20, 0);
    EXPECT_EQ(ops().insertNode(4, 1), 1);
    EXPECT_EQ(roadPairs(), (Strings{"3-2", "1-4", "4-3", "1-2"}));
    EXPECT_EQ(roadAt(2).resistance, 4.0f);
    EXPECT_EQ(roadAt(3).resistance, 0.0f);
    EXPECT_EQ(roadAt(2).length, 0.0f);
    EXPECT_EQ(roadAt(3).length, 30.0f);

    // A fixed-flow road has nothing to give the two parts; a road's own end cannot be inserted.
    expectRefused([&] { EXPECT_EQ(ops().insertNode(3, 4), 0); }, kInsertIntoFixed);
    expectRefused([&] { EXPECT_EQ(ops().insertNode(4, 2), 0); }, kInsertAtRoadEnd);
}

TEST_F(EditOpsTest, TheLastFanTakesTheNumberOfADeletedFan)
{
    for (int n = 1; n <= 6; ++n)
        node(n, 20 * n, 0);
    for (int f = 1; f <= 5; ++f) {
        fan(f, f + 1, float(f), {float(100 * f)});
        doc->fanHeadings[std::size_t(f)] = "Fan " + std::to_string(f) + "\n";
    }
    ops().deleteFan(2);
    ASSERT_EQ(doc->fanCount, 4);
    EXPECT_EQ(doc->fans[2].inlet, 5);
    EXPECT_EQ(doc->fans[2].outlet, 6);
    EXPECT_EQ(doc->fans[2].curve[1], 500.0f);
    EXPECT_EQ(doc->fanHeadings[2].str(), "Fan 5\n");
    EXPECT_EQ(ops().findFan(6, 5), 2);

    // A change that brings more than 30 points stores 30.
    dialogs.fanChanges.push_back(ok<FanCurve>([](FanCurve& c) { c.points = 45; }));
    ops().changeFan(1);
    EXPECT_EQ(doc->fans[1].points, 30);

    node(7, 0, 50, NodeKind::Underground, 5);
    expectRefused([&] { ops().makeFan(1, 7); }, kDifferentElevation);
    expectRefused([&] { ops().makeFan(1, 1); }, kSelfFan);
}

TEST_F(EditOpsTest, ReplacingBendingPointsClosesUpTheStore)
{
    for (int n = 1; n <= 4; ++n)
        node(n, 20 * n, 0);
    road(1, 2);
    road(2, 3);
    road(3, 4);
    const BendPoint two[] = {{1, 1, 1}, {2, 2, -1}};
    for (int k = 1; k <= 3; ++k)
        ASSERT_TRUE(ops().replaceBends(k, two, 2));  // blocks at slots 1, 4, 7
    const BendPoint three[] = {{7, 7, 1}, {8, 8, 3}, {9, 9, 1}};
    ASSERT_TRUE(ops().replaceBends(1, three, 3));
    EXPECT_EQ(doc->bendUsed, 10);
    EXPECT_EQ(roadAt(2).bendStart, 1);
    EXPECT_EQ(roadAt(3).bendStart, 4);
    EXPECT_EQ(roadAt(1).bendStart, 7);
    EXPECT_EQ(doc->bends[7].mark, 3);
    EXPECT_EQ(doc->bends[9].mark, 3);
    EXPECT_EQ(doc->bends[9].x, 8.0f);

    // A store that cannot take the new block keeps the road's old points.
    doc->bendUsed = kMaxBendSlots - 1;
    expectRefused([&] { EXPECT_FALSE(ops().replaceBends(2, three, 3)); }, kBendStoreFull);
    EXPECT_EQ(roadAt(2).bendStart, 1);
    EXPECT_EQ(reporter.captions.back(), kViewCaption);
    EXPECT_TRUE(ops().replaceBends(2, two, 2));  // fits once its own three slots are freed
}

TEST_F(EditOpsTest, NothingIsMadeBeyondTheModelsCapacities)
{
    for (int n = 1; n < kMaxNodes; ++n)
        ASSERT_EQ(ops().makeNode(n, 0, NodeKind::Underground, n, 0), 1);
    expectRefused([&] { ops().makeNode(1200, 0, NodeKind::Surface, 0, 0); }, kNodesFull);
    for (int k = 1; k < kMaxRoads; ++k)
        ASSERT_TRUE(ops().addFixedRoad(k % 999 + 1, (k + 1) % 999 + 1, 1.0f));
    expectRefused([&] { ops().addNormalRoad(1, 2, 1, 1, 1, 1, 1); }, kRoadsFull);
    for (int f = 1; f < kMaxFans; ++f)
        fan(f, f + 1, 1, {1});
    expectRefused([&] { ops().makeFan(60, 61); }, kFansFull);
    expectRefused([&] { ops().addFixedRoad(5, 5, 1); }, kSelfRoad);
}

TEST_F(EditOpsTest, EvacuationEntriesFollowTheirRoads)
{
    for (int n = 1; n <= 4; ++n)
        node(n, 20 * n, 0);
    road(1, 2);
    road(2, 3);
    road(3, 4);
    doc->fire.unusableCount = 2;
    doc->fire.unusableRoad[1] = 1;  // 1-2
    doc->fire.unusableRoad[2] = 3;  // 3-4
    ops().deleteRoad(1);
    EXPECT_EQ(doc->fire.unusableRoad[1], 0);  // the road is gone
    EXPECT_EQ(roadPairs()[std::size_t(doc->fire.unusableRoad[2] - 1)], "3-4");
}

}  // namespace
}  // namespace orvex::edittest
