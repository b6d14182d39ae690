#pragma once

#include <string>
#include <vector>

#include "display/planview.h"
#include "display/quantitynames.h"

// What the legend of a plan image says: the quantities written on the plan
// with their units, the marks, the fans' labels, in the plan's colours.
namespace orvex::cli {

enum class Symbol { None, SurfaceNode, FixedRoad };

struct LegendEntry {
    std::string text;
    Colour colour;
    Symbol symbol = Symbol::None;
};

// The legend's entries for what the view shows.
std::vector<LegendEntry> legendOf(const PlanView& view, const UnitLabels& u, int fans);

}  // namespace orvex::cli
