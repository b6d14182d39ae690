#include "analysis/networkcheck.h"

namespace orvex {

NetworkCheck checkNetwork(const CBriscoDoc&)
{
    return {};
}

NodeImbalance largestNodeImbalance(const CBriscoDoc&)
{
    return {};
}

}  // namespace orvex
