#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "report.h"

// The report of --calibrate: what was fitted, how far the fit went, each
// unknown with its uncertainty, the sets the survey cannot split, and each
// measurement before and after, as text, CSV or JSON with the same fields
// (docs/calibration.md).
namespace orvex::cli {

struct CalibrationReport {
    const CBriscoDoc* doc = nullptr;    // the network as opened: units, heading, road ends
    std::string network, survey;        // the files as given
    std::string fit;                    // the --fit terms as given; empty: every normal road
    FitTerms terms;                      // what was fitted, with the prior and the bounds
    CalibrationResult result;
    std::vector<std::string> warnings;  // the survey's lines left out, then the fit's warnings
    std::string written;                // the fitted network's file; empty: nothing written
};

void printCalibration(std::ostream& out, const CalibrationReport& report, Format format);

}  // namespace orvex::cli
