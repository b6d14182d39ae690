#pragma once

#include "display/planview.h"

// Which element of the plan lies under a point of the window: the nearest
// node, road or fan within a few pixels of it, measured on the screen so
// that the reach is the same at every scale.
namespace orvex {

enum class PlanElementKind { None, Node, Road, Fan };

struct PlanElement {
    PlanElementKind kind = PlanElementKind::None;
    int index = 0;  // node index 1..N, road 1..Nr+Nf, fan 1..F
};

// How far from a road or fan a point still picks it, pixels. A node is
// picked within its circle, or within this reach when its circle is smaller.
constexpr float kPickReach = 5.0f;

// The element nearest the client point (pixels; the view geometry's scroll
// position is added, as for the editor's picks). A node within reach wins
// over any road or fan. A road is measured to its drawn pieces through its
// bending points, a fan to the straight line between its two nodes. A fan
// drawn over a road of the same two nodes takes the half at its inlet,
// where its circles are; the road keeps the other half.
PlanElement pickPlanElement(const PlanView& view, int x, int y);

}  // namespace orvex
