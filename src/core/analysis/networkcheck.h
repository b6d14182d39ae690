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
    // Some node has air forced into or out of it (a fan, a fixed airflow)
    // with no road to carry it on: the flows cannot balance there.
    bool airCannotBalance = false;
};

// Nodes without any road or fan, underground nodes with no path to a
// surface node, fans or fixed airflows that push air into a node that
// nothing carries it away from, and fans without a curve to run on (they
// stand still).
NetworkCheck checkNetwork(const CBriscoDoc& doc);

// The node whose net inflow of air is largest in size after the last
// solve, over every underground node (merged zero-flow roads included).
struct NodeImbalance {
    int number = 0;       // node number, 0 when the network has no underground node
    double massFlow = 0;  // kg/s, net inflow (+ more air arrives than leaves)
    double flow = 0;      // the same in the user flow unit at the standard density
};
NodeImbalance largestNodeImbalance(const CBriscoDoc& doc);

}  // namespace orvex
