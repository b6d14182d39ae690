#pragma once

#include <string>

#include "fixedtext.h"
#include "limits.h"
#include "reporter.h"

// The program-wide units and analysis settings, read once at start-up from
// sdt/units.sdt in the program folder and never written back.
namespace orvex {

struct UnitsSettings {
    float flowUnitFactor = 0;        // user flow unit -> m³/s
    FixedText<kUnitLabelChars> flowUnitName;
    float pressureUnitFactor = 0;    // shown pressure = internal kgf/m² / factor
    FixedText<kUnitLabelChars> pressureUnitName;
    float resistanceUnitFactor = 0;  // applied to resistances in the road law
    FixedText<kUnitLabelChars> resistanceUnitName;  // stored; nothing shows it

    float solverError = 0;      // target accuracy, user flow unit
    float epsFactor = 0;
    float thresholdFactor = 0;
    float pressureBound = 0;
    float relaxation = 0;
    float shiftFactor = 0;
    int innerSweeps = 0;
    int displayData = 0;        // nonzero: diagnostic lines and fan list in the run dialog
    int maxIteration = 0;
};

inline const std::string kUnitsFileName = "/sdt/units.sdt";

// Reads programFolder + "/sdt/units.sdt" into settings. Returns 1 when the
// file was read whole, 0 when it cannot be opened or a value cannot be read
// (the message says which); fields not read stay 0.
int readUnitsFile(const std::string& programFolder, UnitsSettings& settings, Reporter& reporter);

}  // namespace orvex
