#include "checks/checks.h"

namespace orvex {

bool readCheckDefaults(const std::string&, CheckDefaults&, Reporter&) { return true; }
bool readCheckOverrides(const std::string&, CheckOverrides&, Reporter&) { return true; }
bool writeCheckOverrides(const std::string&, const CheckOverrides&, Reporter&) { return true; }
}  // namespace orvex
