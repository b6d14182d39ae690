#pragma once

#include <cctype>
#include <string>

#include "display/displaysettings.h"
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
    PlanLook look;  // colours, arrows and screen-sized labels
};

enum class PlanFormat { None, Png, Pdf };

// The image format a file name asks for by its extension, in any case.
inline PlanFormat planFormatOf(const std::string& path)
{
    const auto endsWith = [&path](const char* tail) {
        const std::string t = tail;
        if (path.size() < t.size())
            return false;
        for (std::size_t i = 0; i < t.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(path[path.size() - t.size() + i])) != t[i])
                return false;
        return true;
    };
    return endsWith(".png") ? PlanFormat::Png : endsWith(".pdf") ? PlanFormat::Pdf : PlanFormat::None;
}

// Writes the image in the format of its file name, replacing any old file
// only once the new one is whole. Returns an empty text when the file is
// written, otherwise why it is not; a stroke font without the digits is
// such a reason, since every text of the image is drawn with it. Messages
// of the font files go to the reporter.
std::string writePlanImage(CBriscoDoc& doc, const PlanOptions& options, const std::string& path,
                           Reporter& reporter);

// The smallest character size, pixels, of the labels of an image whose
// shorter side is given: a share of it, never below what the stroke font
// needs to be read.
float legibleLabelSize(float shorterSide);

// A title as it fits a room of the given width, pixels, at a character
// size: whole when it fits, otherwise its longest beginning that fits with
// "..." after it.
std::string fittedTitle(std::string title, float size, float room);

}  // namespace orvex::cli
