#pragma once

#include <string>

#include "model/briscodoc.h"

// Plan images from the batch tool: the plan fitted to the image, drawn with
// the window's drawing routine.
namespace orvex::cli {

struct PlanOptions {
    int width = 1600, height = 1000;
    int aboveKind = 1, belowKind = 0, nodeKind = 1;  // the profile's initial choices
    int digits = 0;
    bool printColours = false;
};

// Writes a PNG, or a PDF when the path ends in ".pdf". False (with a
// message on the reporter) when the file cannot be written.
bool writePlanImage(CBriscoDoc& doc, const PlanOptions& options, const std::string& path,
                    Reporter& reporter);

}  // namespace orvex::cli
