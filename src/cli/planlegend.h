#pragma once

#include <string>
#include <vector>

#include "display/planview.h"

// What the legend of a plan image says: the quantities written on the plan
// with their units, the marks, the fans' labels, in the plan's colours.
namespace orvex::cli {

struct UnitLabels {
    std::string flow, pressure, resistance;
    bool water;
    std::string flowWord;  // "airflow", or "flow" in a water network
};

enum class Symbol { None, SurfaceNode, FixedRoad };

struct LegendEntry {
    std::string text;
    Colour colour;
    Symbol symbol = Symbol::None;
};

// A road or node quantity kind as the legend names it, with its unit;
// empty for a kind the plan does not show.
std::string roadQuantity(int kind, const UnitLabels& u);
std::string nodeQuantity(int kind, const UnitLabels& u);

// The legend's entries for what the view shows.
std::vector<LegendEntry> legendOf(const PlanView& view, const UnitLabels& u, int fans);

}  // namespace orvex::cli
