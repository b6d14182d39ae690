#pragma once

#include <string>

#include "model/briscodoc.h"

// The road and node quantities as legends, title blocks and tool tips name
// them, with their units: the installation's flow, pressure and resistance
// units, and words that suit an air or a water network.
namespace orvex {

struct UnitLabels {
    std::string flow, pressure, resistance;
    bool water = false;
    std::string flowWord;  // "airflow", or "flow" in a water network
};

UnitLabels unitLabelsOf(const CBriscoDoc& doc);

// The network's heading, the title of reports, plan images and printed
// pages: the first line of the network file after its first "]", without
// the blanks around it, as UTF-8.
std::string networkHeading(const CBriscoDoc& doc);

// A kind's name with its unit; empty for a kind that shows nothing.
std::string roadQuantity(int kind, const UnitLabels& u);
std::string nodeQuantity(int kind, const UnitLabels& u);

// Road kinds whose sign is the flow's direction: coloured by their size.
bool isDirectedRoadKind(int kind);

}  // namespace orvex
