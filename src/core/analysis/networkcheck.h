#pragma once

#include <string>
#include <vector>

#include "model/briscodoc.h"

// Checks made before every run on how air can move through the network, and
// the balance left at the nodes after it.
namespace orvex {

// What the check before a run found. The run goes on as written; the
// warnings are shown once (a message box in the window, standard error in
// the batch tool).
struct NetworkCheck {
    std::vector<std::string> warnings;  // one sentence each, naming the nodes and fans concerned
    // Some group of nodes without a road to a surface node has air forced
    // into or out of it (by fans, fixed airflows) that no airflows of its
    // fans within their curves can balance: the flows cannot balance there.
    bool airCannotBalance = false;
    std::vector<int> unbalancedFans;  // the fans (1..F) named in such a warning
};

// Nodes without any road or fan, underground nodes with no path to a
// surface node (named when nothing sets their pressures, or when the fans
// and fixed airflows across their edge cannot balance them), and fans
// without a curve to run on (they stand still).
NetworkCheck checkNetwork(const CBriscoDoc& doc);

// Where a fan's operating point lies after a solve, and why.
enum class FanPointKind {
    OnCurve,      // between zero airflow and the curve's last point
    CannotStart,  // held at zero airflow: the network's rise across it is at or above its shut-off pressure
    AtZeroFlow,   // at zero airflow for another reason (no run yet, a stop)
    AtCurveEnd,   // at the airflow of the curve's last point
    NoCurve,      // fewer than two curve points or no airflow step: it stands still
};
struct FanPoint {
    FanPointKind kind = FanPointKind::NoCurve;
    double rise = 0;     // the pressure the network puts across the fan, outlet minus inlet, display unit
    double shutOff = 0;  // the curve's pressure at zero airflow, display unit
};
FanPoint fanPoint(const CBriscoDoc& doc, int f);
// A few words for the results tables: "on curve", "held at zero flow:
// shut-off pressure below what it faces", ...
std::string fanPointText(FanPointKind kind);
// One sentence per fan that cannot start, naming it with its shut-off
// pressure and the rise it faces; not for the fans the check found moving
// air that cannot balance (named: NetworkCheck::unbalancedFans), whose rise
// means nothing.
std::vector<std::string> fanPointWarnings(const CBriscoDoc& doc, const std::vector<int>& named = {});

// The node whose net inflow of air is largest in size after the last
// solve, over every underground node (merged zero-flow roads included).
struct NodeImbalance {
    int number = 0;       // node number, 0 when the network has no underground node
    double massFlow = 0;  // kg/s, net inflow (+ more air arrives than leaves)
    double flow = 0;      // the same in the user flow unit at the standard density
};
NodeImbalance largestNodeImbalance(const CBriscoDoc& doc);
// An imbalance in fixed notation with at least three decimals and three
// significant digits, so that what is not 0 never reads as 0.000.
std::string imbalanceText(double value);

}  // namespace orvex
