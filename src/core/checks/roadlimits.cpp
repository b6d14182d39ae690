#include "checks/checks.h"

namespace orvex {

void checkRoadLimits(const CBriscoDoc&, const CheckDefaults&, const CheckOverrides&, std::vector<Finding>&) {}
}  // namespace orvex
