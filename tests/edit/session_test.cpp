// Whole editing sessions played through the editor's events, with scripted
// dialogs and answers, checked on the model afterwards.
#include <gtest/gtest.h>

#include "support.h"

namespace orvex::edittest {
namespace {

using Strings = std::vector<std::string>;
using namespace command;

class SessionTest : public ::testing::Test, public EditBench {
protected:
    void answer(Answer a) { reporter.answers.push_back(a); }
    const Road& roadAt(int k) const { return doc->roads[std::size_t(k)]; }
    const BendSlot& slot(int s) const { return doc->bends[std::size_t(s)]; }
};

// Two nodes and a road between them, reshaped with three bending points (a
// plain one, a "No line" one and a symbol); a node inserted into the road and
// deleted again gives back one road with the summed resistance and length.
TEST_F(SessionTest, MakeReshapeSplitAndMergeARoad)
{
    enter(kMakeNode);
    for (int number : {1, 2})
        dialogs.nodes.push_back(
            ok<NewNodeValues>([number](NewNodeValues& v) { v.number = number; }));
    click(0, 0);
    click(200, 0);
    ASSERT_EQ(nodeNumbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(doc->nodes[2].x, 200.0f);

    enter(kMakeRoad);
    dialogs.roads.push_back(ok<NewRoadValues>([](NewRoadValues& v) {
        EXPECT_EQ(v.first, 1);
        EXPECT_EQ(v.second, 2);
        v.resistance = 10, v.temperature = 20, v.length = 100, v.area = 4, v.conductivity = 2;
    }));
    click(0, 0);
    click(200, 0);
    ASSERT_EQ(roadPairs(), Strings{"1-2"});

    enter(kChangeRoad);
    dialogs.roadData.push_back([](RoadDataValues& v) {
        v.resistance = 12;
        return DialogResult::ChangeLocation;
    });
    click(0, 0);
    click(200, 0);
    ASSERT_EQ(editor->mode(), EditMode::BendPoints);
    EXPECT_EQ(roadAt(1).resistance, 12.0f);
    EXPECT_EQ(canvas.count("text 0 0 Change a location of road. "), 1);
    EXPECT_EQ(canvas.count("text 0 20 " + kPromptBendClick), 1);
    editor->mouseMove(cx(50), cy(40));
    editor->mouseMove(cx(60), cy(40));  // the first band is drawn again, which erases it
    EXPECT_EQ(canvas.count("line 550 460"), 2);
    click(50, 40);
    dialogs.symbols = {kSymbolNoLine, 4};
    canvas.calls.clear();
    rightClick(100, 60);
    EXPECT_EQ(canvas.calls[1], "pen solid 1 800000");  // the gap is drawn in the background colour
    EXPECT_EQ(canvas.calls[2], "move 550 460");
    rightClick(150, 40);
    click(200, 0);  // on the road's second node: done
    EXPECT_EQ(editor->mode(), EditMode::ChangeRoad);
    ASSERT_EQ(roadAt(1).bendStart, 1);
    EXPECT_EQ(doc->bendUsed, 4);
    EXPECT_EQ(slot(1).mark, 3);
    EXPECT_EQ(slot(2).mark, 1);
    EXPECT_EQ(slot(3).mark, -1);
    EXPECT_EQ(slot(3).y, 60.0f);
    EXPECT_EQ(slot(4).mark, 4);
    EXPECT_EQ(slot(4).x, 150.0f);

    enter(kMakeNode);
    dialogs.nodes.push_back(ok<NewNodeValues>([](NewNodeValues& v) {
        v.number = 3;
        v.insertToRoad = true;
    }));
    click(100, -50);
    ASSERT_EQ(editor->mode(), EditMode::InsertNode);
    EXPECT_EQ(canvas.count("text 0 0 " + kPromptInsert), 1);
    dialogs.inserts.push_back(ok<InsertNodeValues>([](InsertNodeValues& v) {
        v.firstResistance = 5;
        v.firstLength = 40;
    }));
    click(0, 0);
    click(200, 0);
    ASSERT_EQ(roadPairs(), (Strings{"1-3", "3-2"}));
    EXPECT_EQ(roadAt(2).resistance, 7.0f);
    EXPECT_EQ(roadAt(2).length, 60.0f);
    EXPECT_EQ(editor->pickState(), 1);  // the first node stays picked

    enter(kDeleteNode);
    answer(Answer::Yes);
    doubleClick(100, -50);
    EXPECT_EQ(reporter.questions, Strings{"可以删除节点3吗?"});
    EXPECT_EQ(reporter.captions.back(), kViewCaption);
    ASSERT_EQ(roadPairs(), Strings{"1-2"});
    EXPECT_EQ(roadAt(1).resistance, 12.0f);
    EXPECT_EQ(roadAt(1).length, 100.0f);
    EXPECT_EQ(nodeNumbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(reporter.messages, Strings{});
}

TEST_F(SessionTest, MakeNodeAsksAgainAfterARefusedNumberAndKeepsTheKind)
{
    node(5, 300, 300);
    enter(kMakeNode);
    dialogs.nodes.push_back(ok<NewNodeValues>([](NewNodeValues& v) { v.number = 5; }));
    dialogs.nodes.push_back(ok<NewNodeValues>([](NewNodeValues& v) {
        EXPECT_EQ(v.kind, NodeKind::Underground);  // the dialog comes back empty
        EXPECT_EQ(v.number, 0);
        v.number = 7;
        v.kind = NodeKind::Surface;
    }));
    click(100, 50);
    EXPECT_EQ(reporter.messages, Strings{"Already exist "});
    EXPECT_EQ(nodeNumbers(), (std::vector<int>{7, 5}));
    EXPECT_EQ(doc->nodes[1].x, 100.0f);
    EXPECT_EQ(doc->nodes[1].y, 50.0f);

    dialogs.nodes.push_back([](NewNodeValues& v) {
        EXPECT_EQ(v.kind, NodeKind::Surface);  // the kind chosen last
        return DialogResult::Cancel;
    });
    click(-100, 0);
    EXPECT_EQ(doc->nodeCount, 2);
    EXPECT_EQ(canvas.count("circle 392 492 408 508"), 2);  // the mark, and the mark taken away
}

TEST_F(SessionTest, ChangeNodeDataMovesANodeAndChangesItsElevation)
{
    node(1, 0, 0);
    node(2, 100, 100);
    enter(kChangeNode);
    editor->leftButtonDown(503, 498);  // 3 right and 2 above node 1's centre
    EXPECT_TRUE(window->captured);
    editor->mouseMove(550, 480);
    editor->mouseMove(603, 448);
    editor->leftButtonUp(603, 448);
    EXPECT_FALSE(window->captured);
    EXPECT_EQ(doc->nodes[1].x, 100.0f);
    EXPECT_EQ(doc->nodes[1].y, 50.0f);

    editor->leftButtonDown(cx(101), cy(50));
    editor->leftButtonUp(cx(101), cy(50));  // released where pressed: no move
    EXPECT_EQ(doc->nodes[1].x, 100.0f);

    dialogs.nodeData.push_back(ok<NodeDataValues>([](NodeDataValues& v) {
        EXPECT_EQ(v.number, 2);
        EXPECT_EQ(v.kind, NodeKind::Underground);
        v.elevation = 12.5f;
    }));
    doubleClick(100, 100);
    EXPECT_EQ(doc->nodes[2].elevation, 12.5f);
    EXPECT_EQ(doc->nodes[2].x, 100.0f);
}

TEST_F(SessionTest, DeleteNodeAsksAndReportsRefusals)
{
    node(1, 0, 0, NodeKind::Surface);
    node(2, 100, 0);
    node(3, 200, 0);
    road(1, 2);
    road(2, 3);
    const std::string before = snapshot(*doc);
    enter(kDeleteNode);
    click(100, 0);  // single clicks do nothing
    answer(Answer::No);
    doubleClick(100, 0);
    answer(Answer::Yes);
    doubleClick(0, 0);
    EXPECT_EQ(reporter.questions, (Strings{"可以删除节点2吗?", "可以删除节点1吗?"}));
    EXPECT_EQ(reporter.messages, Strings{kNotTwoRoads});
    EXPECT_EQ(snapshot(*doc), before);
}

TEST_F(SessionTest, MakeRoadRefusesExistingAndLoopRoads)
{
    node(1, 0, 0);
    node(2, 100, 0);
    node(3, 0, 100);
    enter(kMakeRoad);
    dialogs.roads.push_back(ok<NewRoadValues>([](NewRoadValues& v) { v.resistance = 5; }));
    dialogs.roads.push_back(ok<NewRoadValues>([](NewRoadValues& v) {
        v.fixedFlow = true;
        v.airflow = 300;
    }));
    dialogs.roads.push_back([](NewRoadValues&) { return DialogResult::Cancel; });
    click(0, 0), click(100, 0);
    click(0, 0), click(0, 100);
    click(100, 0), click(0, 0);
    click(0, 100), click(0, 100);
    click(100, 0), click(0, 100);
    EXPECT_EQ(roadPairs(), (Strings{"1-2", "1-3"}));
    EXPECT_EQ(doc->fixedCount, 1);
    EXPECT_EQ(roadAt(2).resistance, 300.0f);
    EXPECT_EQ(reporter.messages, (Strings{"Already exist ", kSelfRoad}));
    EXPECT_EQ(reporter.captions, (Strings{kViewCaption, kViewCaption}));
    EXPECT_EQ(editor->pickState(), 0);
}

TEST_F(SessionTest, DeleteRoadAsksWithTheRoadsNodes)
{
    node(1, 0, 0);
    node(2, 100, 0);
    node(3, 200, 0);
    road(1, 2);
    road(2, 3);
    ASSERT_TRUE(ops().addFixedRoad(1, 3, 50));
    enter(kDeleteRoad);
    answer(Answer::No);
    click(0, 0), click(100, 0);
    click(0, 0), click(300, 300);  // no node: the first pick stays
    EXPECT_EQ(editor->pickState(), 1);
    rightClick(300, 300);  // the right button drops it
    EXPECT_EQ(editor->pickState(), 0);
    answer(Answer::Yes);
    click(100, 0), click(0, 0);
    EXPECT_EQ(reporter.questions,
        (Strings{
            "Do you want to delete the road 1 to 2 ?", "Do you want to delete the road 1 to 2 ?"}));
    EXPECT_EQ(roadPairs(), (Strings{"2-3", "1-3"}));
    EXPECT_EQ(doc->roadCount, 1);
}

TEST_F(SessionTest, MakeChangeAndDeleteAFan)
{
    node(1, 0, 0);
    node(2, 100, 0);
    node(4, 0, 100, NodeKind::Underground, 5);
    enter(kMakeFan);
    dialogs.fans.push_back(ok<FanCurve>([](FanCurve& c) { c = curve(10, {100, 80, 50}); }));
    click(0, 0), click(100, 0);
    click(0, 0), click(0, 100);
    ASSERT_EQ(doc->fanCount, 1);
    EXPECT_EQ(doc->fans[1].outlet, 2);
    EXPECT_EQ(reporter.messages, Strings{kDifferentElevation});

    enter(kChangeFan);
    dialogs.fanChanges.push_back(ok<FanCurve>([](FanCurve& c) {
        EXPECT_EQ(c.points, 3);
        EXPECT_EQ(c.pressure[1], 80.0f);
        c.points = 2;
    }));
    click(100, 0), click(0, 0);
    EXPECT_EQ(doc->fans[1].points, 2);
    EXPECT_EQ(doc->fans[1].curve[3], 0.0f);

    enter(kDeleteFan);
    answer(Answer::Yes);
    click(0, 0), click(100, 0);
    EXPECT_EQ(reporter.questions, Strings{"可以删除风机1 - 2吗?"});
    EXPECT_EQ(reporter.captions.back(), kViewCaption);
    EXPECT_EQ(doc->fanCount, 0);
}

TEST_F(SessionTest, BendPointEntryHoldsFortyNinePoints)
{
    node(1, 0, 0);
    node(2, 400, 0);
    road(1, 2);
    enter(kChangeRoad);
    dialogs.roadData.push_back([](RoadDataValues&) { return DialogResult::ChangeLocation; });
    click(0, 0), click(400, 0);
    for (int i = 0; i < kMaxBendPointsPerRoad; ++i)
        click(5 + 5 * i, 100);
    click(300, 200);
    EXPECT_EQ(reporter.messages, Strings{kBendPointsFull});
    EXPECT_EQ(editor->bendEntry().count(), 49);
    rightClick(400, 0);  // the right button on the second node finishes too
    EXPECT_EQ(slot(roadAt(1).bendStart).mark, 49);
    EXPECT_EQ(doc->bendUsed, 50);
}

TEST_F(SessionTest, ZoomInWithTheMouse)
{
    enter(kZoomWithMouse);
    editor->leftButtonDown(100, 100);
    editor->mouseMove(300, 150);
    editor->leftButtonUp(300, 150);  // 200 wide, so 160 high in a 1000 × 800 window
    EXPECT_EQ(view->geo.scale, 5.0f);  // 1000 / 200
    EXPECT_EQ(window->scrolls.back(), std::make_pair(500, 500));
    EXPECT_TRUE(doc->modified);
    EXPECT_FALSE(window->captured);

    editor->leftButtonDown(10, 10);
    editor->leftButtonUp(300, 10);  // released at the press's height: no zoom
    editor->leftButtonDown(0, 0);
    editor->leftButtonUp(600, 10);  // wider than half the window: the factor is 1
    EXPECT_EQ(view->geo.scale, 5.0f);

    view->geo.scale = 15.384615f;
    editor->leftButtonDown(100, 100);
    editor->leftButtonUp(200, 300);
    EXPECT_EQ(reporter.messages, Strings{"This is a maximum !!"});
    EXPECT_EQ(view->geo.scale, 15.384615f);
}

TEST_F(SessionTest, InsertingIntoAFixedFlowRoadIsRefused)
{
    node(1, 0, 0);
    node(2, 200, 0);
    ASSERT_TRUE(ops().addFixedRoad(1, 2, 100));
    enter(kMakeNode);
    dialogs.nodes.push_back(ok<NewNodeValues>([](NewNodeValues& v) {
        v.number = 3;
        v.insertToRoad = true;
    }));
    click(100, 50);
    const std::string before = snapshot(*doc);
    click(0, 0), click(200, 0);
    EXPECT_EQ(reporter.messages, Strings{kInsertIntoFixed});
    EXPECT_EQ(snapshot(*doc), before);
}

TEST_F(SessionTest, CommandsPicksAndEsc)
{
    node(1, 0, 0);
    node(2, 5, 0);
    EXPECT_EQ(editor->pickNode(cx(3), cy(0)), 1);  // both in the square: the lower index
    EXPECT_EQ(editor->pickNode(cx(8), cy(8)), 1);  // left and top edges belong to the square
    EXPECT_EQ(editor->pickNode(cx(-8), cy(0)), 0);  // the right edge does not

    enter(kMakeRoad);
    EXPECT_TRUE(editor->commandChecked(kMakeRoad));
    click(0, 0);
    EXPECT_EQ(editor->pickState(), 1);
    editor->command(kStop);
    EXPECT_EQ(editor->pickState(), 0);
    EXPECT_EQ(editor->mode(), EditMode::MakeRoad);
    enter(kMakeRoad);
    EXPECT_EQ(editor->mode(), EditMode::None);

    view->geo.pagePreview = true;
    EXPECT_FALSE(editor->command(kMakeFan));
    EXPECT_FALSE(editor->commandEnabled(kMakeFan));
    EXPECT_FALSE(editor->leftButtonDown(cx(0), cy(0)));
    EXPECT_EQ(editor->mode(), EditMode::None);
}

TEST_F(SessionTest, ArrowKeysScrollOrWidenThePlan)
{
    EXPECT_TRUE(editor->keyDown(Key::Left));  // position 0 - 30 is not above 0
    EXPECT_EQ(view->geo.originX, 530.0f);
    EXPECT_EQ(view->geo.scrollWidth, 2030);
    EXPECT_EQ(window->repaints, 1);
    EXPECT_TRUE(window->scrolls.empty());
    editor->keyDown(Key::Right);
    EXPECT_EQ(window->scrolls.back(), std::make_pair(30, 0));
    view->geo.scrollY = 790;
    editor->keyDown(Key::Down);  // 800 + 820 runs past 1600: the height grows by 820
    EXPECT_EQ(view->geo.scrollHeight, 2420);
    EXPECT_EQ(window->scrolls.back(), std::make_pair(30, 820));
    EXPECT_FALSE(editor->keyDown(Key::Other));
}

}  // namespace
}  // namespace orvex::edittest
