#include "checks/checks.h"

namespace orvex {

void checkRecirculation(const CBriscoDoc&, std::vector<Finding>&) {}
void checkFixedFlows(const CBriscoDoc&, const CheckDefaults&, std::vector<Finding>&) {}
void checkReversals(const CBriscoDoc&, const FlowHistory&, std::vector<Finding>&) {}
}  // namespace orvex
