#pragma once

#include <string>

#include "model/briscodoc.h"

// Plan images from the batch tool, made to be pasted into a report: the
// network's heading as a title line, the plan fitted to the space between
// title and legend and centred there, each fan's airflow and pressure beside
// it, and a legend of the quantities shown with their units. The plan is
// drawn with the window's drawing routine; the window itself keeps its own
// fit.
namespace orvex::cli {

struct PlanOptions {
    int width = 1600, height = 1000;
    int aboveKind = 1, belowKind = 0, nodeKind = 1;  // the profile's initial choices
    int digits = 0;
    bool printColours = false;
};

// Writes a PNG, or a PDF when the path ends in ".pdf", replacing any old
// file only once the new one is whole. False (with a message on the
// reporter) when the file cannot be written.
bool writePlanImage(CBriscoDoc& doc, const PlanOptions& options, const std::string& path,
                    Reporter& reporter);

}  // namespace orvex::cli
