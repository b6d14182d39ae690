// Plan images in a build without the Qt layer: --plan is refused with the
// reason, and nothing is written.
#include "planimage.h"

namespace orvex::cli {

bool writePlanImage(CBriscoDoc&, const PlanOptions&, const std::string& path, Reporter& reporter)
{
    reporter.message("--plan: cannot write " + path +
                         ": this orvex-solve was built without the Qt layer, which draws plan images",
                     kDocumentCaption, MessageKind::Error);
    return false;
}

}  // namespace orvex::cli
