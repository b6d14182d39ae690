// Plan images in a build without the Qt layer: --plan is refused with the
// reason, and nothing is written.
#include "planimage.h"

namespace orvex::cli {

std::string writePlanImage(CBriscoDoc&, const PlanOptions&, const std::string&, Reporter&)
{
    return "this orvex-solve was built without the Qt layer, which draws plan images";
}

}  // namespace orvex::cli
