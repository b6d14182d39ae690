// Editing sessions played through the editor's events with scripted dialogs
// and answers, one per mode at least, checked on the model afterwards.
#include <gtest/gtest.h>

#include "support.h"

namespace orvex::test {
namespace {

using namespace command;

class Session : public ::testing::Test, public EditBench {};

// Two nodes and a road between them, reshaped with three bending points (a
// plain one, a "No line" one and a symbol); a node inserted into the road and
// deleted again gives back one road with the summed resistance and length.
TEST_F(Session, MakeReshapeSplitAndMergeARoad)
{
    editor->command(kMakeNode);
    for (int number : {1, 2})
        dialogs.nodes.push_back(ok<NewNodeValues>([number](NewNodeValues& v) { v.number = number; }));
    click(0, 0);
    click(200, 0);
    editor->command(kMakeRoad);
    dialogs.roads.push_back(ok<NewRoadValues>([](NewRoadValues& v) {
        EXPECT_EQ(std::pair(v.first, v.second), std::pair(1, 2));
        v.resistance = 10, v.temperature = 20, v.length = 100, v.area = 4, v.conductivity = 2;
    }));
    click(0, 0);
    click(200, 0);
    ASSERT_EQ(roadPairs(), Strings{"1-2"});

    editor->command(kChangeRoad);
    dialogs.roadData.push_back([](RoadDataValues& v) {
        v.resistance = 12;
        return DialogResult::ChangeLocation;
    });
    click(0, 0);
    click(200, 0);
    ASSERT_EQ(editor->mode(), EditMode::BendPoints);
    // the prompts on the background colour, over whatever the plan has there
    EXPECT_EQ(canvas.count("text 0 0 Change a location of road.  on 800000") +
                  canvas.count("text 0 20 " + kPromptBendClick + " on 800000"),
              2);
    editor->mouseMove(cx(50), cy(40));
    editor->mouseMove(cx(60), cy(40));  // the band to (50, 40) is drawn again, which takes it away
    EXPECT_EQ(canvas.count("line 550 460"), 2);
    click(50, 40);
    dialogs.symbols = {kSymbolNoLine, 4};
    canvas.ops.clear();
    rightClick(100, 60);
    const Strings calls = canvas.calls();
    EXPECT_EQ(Strings(calls.begin() + 1, calls.begin() + 3),
              (Strings{"pen solid 1 800000", "move 550 460"}))
        << "the gap is drawn in the background colour";
    rightClick(150, 40);
    click(200, 0);  // on the road's second node: done
    EXPECT_EQ(editor->mode(), EditMode::ChangeRoad);
    std::string points;  // the store from the road's block on: its count, then each point's mark and place
    for (int s = roadAt(1).bendStart; s >= 1 && s <= doc->bendUsed; ++s)
        appendf(points, "%d %g %g, ", doc->bends[std::size_t(s)].mark, double(doc->bends[std::size_t(s)].x),
                double(doc->bends[std::size_t(s)].y));
    EXPECT_EQ(points, "3 0 0, 1 50 40, -1 100 60, 4 150 40, ");

    editor->command(kMakeNode);
    dialogs.nodes.push_back(ok<NewNodeValues>([](NewNodeValues& v) { v.number = 3, v.insertToRoad = true; }));
    click(100, -50);
    ASSERT_EQ(editor->mode(), EditMode::InsertNode);
    EXPECT_EQ(canvas.count("text 0 0 " + kPromptInsert + " on 800000"), 1);
    dialogs.inserts.push_back(
        ok<InsertNodeValues>([](InsertNodeValues& v) { v.firstResistance = 5, v.firstLength = 40; }));
    click(0, 0);
    click(200, 0);
    ASSERT_EQ(roadPairs(), (Strings{"1-3", "3-2"}));
    EXPECT_EQ(editor->pickState(), 1) << "the first node stays picked";

    editor->command(kDeleteNode);
    click(100, -50);  // single clicks do nothing
    reporter.answers = {Answer::No, Answer::Yes};
    doubleClick(100, -50);
    doubleClick(100, -50);
    EXPECT_EQ(reporter.questions, Strings(2, "可以删除节点3吗?"));
    EXPECT_EQ(reporter.questionCaptions.back(), kViewCaption);
    ASSERT_EQ(roadPairs(), Strings{"1-2"});
    EXPECT_EQ(std::pair(roadAt(1).resistance, roadAt(1).length), std::pair(12.0f, 100.0f));
    EXPECT_EQ(reporter.messages, Strings{});
}

TEST_F(Session, MakeNodeAsksAgainAfterARefusedNumberAndKeepsTheKind)
{
    node(5, 300, 300);
    editor->command(kMakeNode);
    dialogs.nodes.push_back(ok<NewNodeValues>([](NewNodeValues& v) { v.number = 5; }));
    dialogs.nodes.push_back(ok<NewNodeValues>([](NewNodeValues& v) {
        EXPECT_EQ(std::pair(v.kind, v.number), std::pair(NodeKind::Underground, 0)) << "the dialog comes back empty";
        v.number = 7, v.kind = NodeKind::Surface;
    }));
    click(100, 50);
    EXPECT_EQ(nodeNumbers(), (std::vector<int>{7, 5}));
    EXPECT_EQ(std::pair(doc->nodes[1].x, doc->nodes[1].y), std::pair(100.0f, 50.0f));
    dialogs.nodes.push_back([](NewNodeValues& v) {
        EXPECT_EQ(v.kind, NodeKind::Surface) << "the kind chosen last";
        return DialogResult::Cancel;
    });
    click(-100, 0);
    EXPECT_EQ(doc->nodeCount, 2);
    EXPECT_EQ(canvas.count("circle 392 492 408 508"), 2) << "the mark, and the mark taken away";
}

TEST_F(Session, ChangeNodeMovesANodeAndChangesItsElevation)
{
    node(1, 0, 0);
    node(2, 100, 100);
    editor->command(kChangeNode);
    editor->leftButtonDown(503, 498);  // 3 right of and 2 above node 1's centre
    EXPECT_TRUE(window->captured);
    editor->mouseMove(550, 480);
    editor->mouseMove(603, 448);
    editor->leftButtonUp(603, 448);
    EXPECT_FALSE(window->captured);
    EXPECT_EQ(std::pair(doc->nodes[1].x, doc->nodes[1].y), std::pair(100.0f, 50.0f));
    click(101, 50);  // released where pressed: no move
    EXPECT_EQ(doc->nodes[1].x, 100.0f);
    dialogs.nodeData.push_back(ok<NodeDataValues>([](NodeDataValues& v) {
        EXPECT_EQ(std::pair(v.number, v.kind), std::pair(2, NodeKind::Underground));
        v.elevation = 12.5f;
    }));
    doubleClick(100, 100);
    EXPECT_EQ(std::pair(doc->nodes[2].elevation, doc->nodes[2].x), std::pair(12.5f, 100.0f));
}

TEST_F(Session, MakeRoadRefusesExistingAndLoopRoadsAndDeleteRoadAsks)
{
    node(1, 0, 0);
    node(2, 100, 0);
    node(3, 0, 100);
    editor->command(kMakeRoad);
    dialogs.roads.push_back(ok<NewRoadValues>([](NewRoadValues& v) { v.resistance = 5; }));
    dialogs.roads.push_back(ok<NewRoadValues>([](NewRoadValues& v) { v.fixedFlow = true, v.airflow = 300; }));
    dialogs.roads.push_back([](NewRoadValues&) { return DialogResult::Cancel; });
    click(0, 0), click(100, 0);    // 1-2
    click(0, 0), click(0, 100);    // 1-3, fixed flow
    click(100, 0), click(0, 0);    // 2-1 is there already
    click(0, 100), click(0, 100);  // 3-3
    click(100, 0), click(0, 100);  // 2-3, cancelled
    EXPECT_EQ(roadPairs(), (Strings{"1-2", "1-3"}));
    EXPECT_EQ(std::pair(doc->fixedCount, roadAt(2).resistance), std::pair(1, 300.0f));
    EXPECT_EQ(reporter.messages, (Strings{"Already exist ", kSelfRoad}));
    EXPECT_EQ(reporter.captions, (Strings{kViewCaption, kViewCaption}));
    EXPECT_EQ(editor->pickState(), 0);

    editor->command(kDeleteRoad);
    reporter.answers = {Answer::No, Answer::Yes};
    click(0, 0), click(100, 0);
    click(0, 0), click(300, 300);  // no node: the first pick stays
    EXPECT_EQ(editor->pickState(), 1);
    rightClick(300, 300);  // the right button drops it
    EXPECT_EQ(editor->pickState(), 0);
    click(100, 0), click(0, 0);
    EXPECT_EQ(reporter.questions, Strings(2, "Do you want to delete the road 1 to 2 ?"));
    EXPECT_EQ(roadPairs(), Strings{"1-3"});
}

TEST_F(Session, MakeChangeAndDeleteAFan)
{
    node(1, 0, 0);
    node(2, 100, 0);
    node(4, 0, 100, NodeKind::Underground, 5);
    editor->command(kMakeFan);
    dialogs.fans.push_back(ok<FanCurve>([](FanCurve& c) { c = curve(10, {100, 80, 50}); }));
    click(0, 0), click(100, 0);
    click(0, 0), click(0, 100);  // a different elevation
    ASSERT_EQ(doc->fanCount, 1);
    EXPECT_EQ(reporter.messages, Strings{kDifferentElevation});
    editor->command(kChangeFan);
    dialogs.fanChanges.push_back(ok<FanCurve>([](FanCurve& c) {
        EXPECT_EQ(std::pair(c.points, c.pressure[1]), std::pair(3, 80.0f));
        c.points = 2;
    }));
    click(100, 0), click(0, 0);
    EXPECT_EQ(std::pair(doc->fans[1].points, doc->fans[1].curve[3]), std::pair(2, 0.0f));
    editor->command(kDeleteFan);
    reporter.answers = {Answer::Yes};
    click(0, 0), click(100, 0);
    EXPECT_EQ(reporter.questions, Strings{"可以删除风机1 - 2吗?"});
    EXPECT_EQ(reporter.questionCaptions.back(), kViewCaption);
    EXPECT_EQ(doc->fanCount, 0);
}

TEST_F(Session, BendPointEntryHoldsFortyNinePoints)
{
    node(1, 0, 0);
    node(2, 400, 0);
    road(1, 2);
    editor->command(kChangeRoad);
    dialogs.roadData.push_back([](RoadDataValues&) { return DialogResult::ChangeLocation; });
    click(0, 0), click(400, 0);
    for (int i = 0; i < kMaxBendPointsPerRoad; ++i)
        click(5 + 5 * i, 100);
    click(300, 200);
    EXPECT_EQ(reporter.messages, Strings{kBendPointsFull});
    EXPECT_EQ(editor->bendEntry().count(), 49);
    rightClick(400, 0);  // the right button on the second node finishes too
    EXPECT_EQ(std::pair(doc->bends[std::size_t(roadAt(1).bendStart)].mark, doc->bendUsed), std::pair(49, 50));
}

TEST_F(Session, ZoomInWithTheMouse)
{
    editor->command(kZoomWithMouse);
    editor->leftButtonDown(100, 100);
    editor->mouseMove(300, 150);
    editor->leftButtonUp(300, 150);  // 200 wide (so 160 high in the 1000 × 800 window): 1000 / 200
    EXPECT_EQ(view->geo.scale, 5.0f);
    EXPECT_EQ(window->scrolls.back(), std::pair(500, 500));
    EXPECT_TRUE(doc->modified);
    EXPECT_FALSE(window->captured);
    editor->leftButtonDown(10, 10);
    editor->leftButtonUp(300, 10);  // released at the press's height: no zoom
    editor->leftButtonDown(0, 0);
    editor->leftButtonUp(600, 10);  // wider than half the window: the factor is 1
    EXPECT_EQ(view->geo.scale, 5.0f);
}

TEST_F(Session, CommandsPicksAndKeys)
{
    node(1, 0, 0);
    node(2, 5, 0);
    // The node-radius square: both nodes in it, the lower index wins; its
    // left and top edges belong to it, the right one does not.
    EXPECT_EQ(std::vector<int>(
                  {editor->pickNode(cx(3), cy(0)), editor->pickNode(cx(8), cy(8)), editor->pickNode(cx(-8), cy(0))}),
              std::vector<int>({1, 1, 0}));
    editor->command(kMakeRoad);
    EXPECT_TRUE(editor->commandChecked(kMakeRoad));
    click(0, 0);
    EXPECT_EQ(editor->pickState(), 1);
    editor->command(kStop);  // Esc drops the pick, the mode stays
    EXPECT_EQ(std::pair(editor->pickState(), editor->mode()), std::pair(0, EditMode::MakeRoad));
    editor->command(kMakeRoad);
    EXPECT_EQ(editor->mode(), EditMode::None);

    // Arrows scroll by 30; at the left or top edge the plan widens instead.
    EXPECT_TRUE(editor->keyDown(Key::Left));  // 0 − 30 is not above 0
    EXPECT_EQ(std::pair(view->geo.originX, view->geo.scrollWidth), std::pair(530.0f, 2030));
    EXPECT_TRUE(window->scrolls.empty());
    editor->keyDown(Key::Right);
    EXPECT_EQ(window->scrolls.back(), std::pair(30, 0));
    editor->keyDown(Key::Left);  // 30 − 30 is not above 0 either
    EXPECT_EQ(std::pair(view->geo.scrollX, view->geo.scrollWidth), std::pair(30, 2060));
    view->geo.scrollY = 790;
    editor->keyDown(Key::Down);  // 800 + 820 runs past 1600: the height grows by 820
    EXPECT_EQ(std::pair(view->geo.scrollHeight, window->scrolls.back()), std::pair(2420, std::pair(30, 820)));
    EXPECT_EQ(window->repaints, 3);
    EXPECT_FALSE(editor->keyDown(Key::Other));

    view->geo.pagePreview = true;  // the page preview takes the mouse and the commands
    EXPECT_FALSE(editor->command(kMakeFan) || editor->commandEnabled(kMakeFan) || editor->leftButtonDown(cx(0), cy(0)));
    EXPECT_EQ(editor->mode(), EditMode::None);
}

}  // namespace
}  // namespace orvex::test
