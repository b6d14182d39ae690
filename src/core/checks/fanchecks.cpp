#include "checks/checks.h"

namespace orvex {

FanDuty fanDuty(const CBriscoDoc&, int, const CheckDefaults&, const CheckOverrides&) { return {}; }
void checkFans(const CBriscoDoc&, const CheckDefaults&, const CheckOverrides&, std::vector<Finding>&) {}
}  // namespace orvex
