// Which element a point of the window picks, at several scales and scroll positions.
#include <gtest/gtest.h>

#include "display/planpick.h"
#include "support.h"

namespace orvex::test {
namespace {

TEST(PlanPick, NearestElementWithinReach)
{
    // Nodes 1 (0, 0), 2 (200, 0), 3 (200, 200), 4 (0, 200), 5 (400, 0), 6 (400, 10).
    // Roads: 1 1-2; 2 2-3 bent out through (300, 100); 3 3-4 through
    // (100, 300), drawn only from there on; 4 2-5 with a fixed flow.
    // Fans: 1 from 4 to 1; 2 from 1 to 2, over road 1.
    auto view = makeView();
    for (const auto& [number, x, y] :
         {std::tuple{1, 0, 0}, {2, 200, 0}, {3, 200, 200}, {4, 0, 200}, {5, 400, 0}, {6, 400, 10}})
        addNode(*view, number, float(x), float(y));
    addRoad(*view, 1, 2);
    addRoad(*view, 2, 3, 0, {{300, 100, 1}});
    addRoad(*view, 3, 4, 0, {{100, 300, -1}});
    addRoad(*view, 2, 5, 0, {}, true);
    addFan(*view, 4, 1);
    addFan(*view, 1, 2);

    using K = PlanElementKind;
    const struct { float scale; int scrollX, scrollY; float x, y; K kind; int index; } cases[] = {  // x, y: world
        {1, 0, 0, 6, 3, K::Node, 1},       // inside the circle, though on road 1 and fan 2 too
        {1, 0, 0, 150, 3, K::Road, 1},     // the outlet half of fan 2 is the road's
        {1, 0, 0, 50, -3, K::Fan, 2},      // the inlet half is the fan's
        {1, 0, 0, 150, 10, K::None, 0},
        {1, 0, 0, 250, 50, K::Road, 2},    // on the piece to the bending point
        {1, 0, 0, 200, 100, K::None, 0},   // where a straight road 2-3 would be
        {1, 0, 0, 50, 250, K::Road, 3},
        {1, 0, 0, 150, 250, K::None, 0},   // the piece drawn with no line
        {1, 0, 0, -5, 100, K::Fan, 1},     // at the reach
        {1, 0, 0, 300, -2, K::Road, 4},
        {1, 0, 0, 400, 4, K::Node, 5},     // node 6 is within reach too
        {1, 150, 40, 199, 201, K::Node, 3},
        {4, 0, 0, 150, 1.25f, K::Road, 1}, // 5 pixels off: at the reach
        {4, 0, 0, 150, 2, K::None, 0},     // 8 pixels off
        {4, 0, 0, 6, 3, K::Node, 1},       // the circle is 32 pixels wide
        {0.25f, 0, 0, 16, 0, K::Node, 1},  // a circle of 2 pixels: the reach counts
        {0.25f, 0, 0, 24, 0, K::Fan, 2},
        {0.25f, 0, 0, 50, 40, K::None, 0},
    };
    for (const auto& c : cases) {
        ViewGeometry& g = view->geo;
        g.scale = c.scale, g.scrollX = c.scrollX, g.scrollY = c.scrollY;
        const DevicePoint p = g.worldToDevice(c.x, c.y);
        const PlanElement picked = pickPlanElement(*view, int(p.x) - c.scrollX, int(p.y) - c.scrollY);
        EXPECT_EQ(std::pair(picked.kind, picked.index), std::pair(c.kind, c.index))
            << "world " << c.x << " " << c.y << " at scale " << c.scale;
    }

    view->data.nodeCount = 0;  // a road without its nodes on the plan is not drawn, nor picked
    EXPECT_EQ(pickPlanElement(*view, 537, 500).kind, K::None);
}

}  // namespace
}  // namespace orvex::test
