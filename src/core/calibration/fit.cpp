// The fit (being built).
#include "calibration/calibration.h"

namespace orvex {

CalibrationResult calibrate(const CBriscoDoc&, const Survey&, const FitSpec&, const std::atomic<bool>*)
{
    CalibrationResult r;
    r.error = "not built yet";
    return r;
}

}  // namespace orvex
