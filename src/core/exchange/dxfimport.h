#pragma once

#include <optional>
#include <string>
#include <vector>

#include "draft.h"
#include "model/units.h"

// Mine plans drawn in CAD, read from DXF: the centrelines of the airways
// (lines and polylines, 2D or 3D) become roads, their ends nodes. What a
// drawing does not give (resistance, area, temperature, rock) comes from
// defaults, which a small text file may set.
namespace orvex::exchange {

struct RoadDefaults {
    // Resistance per metre of road, in the units file's resistance unit; when
    // not given, Atkinson's R = k·P·L/A³ (Ns²/m⁸) with the values below,
    // converted to the units file's resistance unit.
    std::optional<double> resistancePerMetre;
    double area = 12.0;             // m²
    double perimeter = 14.0;        // m
    double frictionFactor = 0.012;  // k, kg/m³
    double temperature = 20.0;      // °C
    double conductivity = 2.0;      // rock, kcal/(m·h·°C)
};

// Reads "key = value" lines (keys resistance_per_metre, area, perimeter,
// friction_factor, temperature, conductivity; '#' starts a comment) into
// defaults. An empty string when read, else the file, the line and what is
// wrong (defaults are then unchanged).
std::string readRoadDefaults(const std::string& path, RoadDefaults& defaults);

struct DxfImportOptions {
    std::vector<std::string> layers;  // the layers whose lines are airways; empty: every layer
    double snap = 0.5;                // m: ends closer than this are one node
    RoadDefaults defaults;
    // The levels laid beside one another on the plan: metres along X and Y
    // per metre below the highest node (shiftByDepth); 0, 0 the true plan.
    double depthShiftX = 0, depthShiftY = 0;
};

// The layers of the drawing's model space that hold lines or polylines,
// sorted, for the person to choose from; empty with the reason in error when
// the file cannot be read.
std::vector<std::string> dxfLayers(const std::string& path, std::string& error);

// Reads the drawing into a draft: nodes numbered 1, 2, ... where airways end
// or meet, roads with their bending points, lengths from the 3D geometry and
// values from the defaults, surface nodes at the open ends that lie above
// every junction, the title the file's name; the report says what was made,
// joined, dropped and not used. The units give the resistance unit.
ImportResult importDxf(const std::string& path, const DxfImportOptions& options, const UnitsSettings& units);

}  // namespace orvex::exchange
