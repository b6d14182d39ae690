#pragma once

#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/briscodoc.h"
#include "model/reporter.h"

// Design checks after a run: every road's air velocity and airflow against
// its limits, each fan's place on its curve and what it costs, air that
// goes round in circles, the regulator or booster each fixed-flow road asks
// for, and roads whose air turned since the run before. Each finding names
// its element by node numbers, its value, the limit and why.
namespace orvex {

enum class CheckKind {
    VelocityLow, VelocityHigh, AirflowLow, FanStall, FanCurveEnd, Recirculation, Regulator, Booster, Reversal
};
// "velocity-low", "velocity-high", "airflow-low", "fan-stall", "fan-curve-end",
// "recirculation", "regulator", "booster", "reversal".
const char* checkKindName(CheckKind kind);

enum class Severity { Violation, Warning, Note };
const char* severityName(Severity severity);  // "violation", "warning", "note"

struct Finding {
    CheckKind kind = CheckKind::VelocityLow;
    Severity severity = Severity::Violation;
    int road = 0, fan = 0;   // the road (1..) or fan (1..) it is about, 0 for neither
    std::vector<int> nodes;  // the element's node numbers: a road's or fan's two, a loop's in order
    double value = std::numeric_limits<double>::quiet_NaN();
    double limit = std::numeric_limits<double>::quiet_NaN();
    std::string unit;        // of value and limit: "m/s", the flow unit, "%", the pressure unit
    std::string reason;      // one short sentence
};

// The program's defaults, from the settings file sdt/checks.sdt; a missing
// file leaves these built-in values.
struct CheckDefaults {
    double minVelocity = 0.25;       // m/s
    double maxVelocity = 8.0;        // m/s
    double minAirflow = 0;           // flow unit; 0: no airflow check
    double fanEfficiency = 0.70;     // shaft power = air power / efficiency
    double hoursPerYear = 8760;      // the fans run all year
    double pricePerKwh = 0.10;       // energy price, currency per kWh
    double stallMargin = 10;         // % of the peak pressure: a fan nearer its peak may stall
    double orificeCoefficient = 0.65;  // discharge coefficient of a regulator's sharp-edged orifice
};

// A network's own limits, from its companion file, by node pair or road name.
struct RoadLimits {
    std::optional<double> minVelocity, maxVelocity, minAirflow;
};
struct CheckOverrides {
    std::map<std::pair<int, int>, RoadLimits> roads;        // first, second node
    std::map<std::string, RoadLimits> namedRoads;           // as the road name file has it
    std::map<std::pair<int, int>, double> fanEfficiency;    // inlet, outlet
};

// A fan's duty, for the results and the report.
struct FanDuty {
    double margin = std::numeric_limits<double>::quiet_NaN();  // % of the peak pressure left to the peak
    double airPowerKw = 0, shaftPowerKw = 0, costPerYear = 0;
};

// The airflows of the run before, to find reversals: each road by its ends.
struct FlowHistory {
    std::map<std::pair<int, int>, float> massFlow;
    static FlowHistory of(const CBriscoDoc& doc);
};

// --- files -------------------------------------------------------------------
// sdt/checks.sdt of the program folder: false (and a message naming file and
// line) when a line is damaged; the lines read before and after it are kept.
bool readCheckDefaults(const std::string& programFolder, CheckDefaults& defaults, Reporter& reporter);
// The network's companion file (base name + "chk"): missing is no overrides.
bool readCheckOverrides(const std::string& base, CheckOverrides& overrides, Reporter& reporter);
bool writeCheckOverrides(const std::string& base, const CheckOverrides& overrides, Reporter& reporter);

// --- the checks ---------------------------------------------------------------
void checkRoadLimits(const CBriscoDoc& doc, const CheckDefaults& defaults, const CheckOverrides& overrides,
                     std::vector<Finding>& findings);
// One warning listing the network's own limits that name no normal road
// (by either node order or by name) and no fan.
void reportUnknownOverrides(const CBriscoDoc& doc, const CheckOverrides& overrides, Reporter& reporter);
FanDuty fanDuty(const CBriscoDoc& doc, int fan, const CheckDefaults& defaults, const CheckOverrides& overrides);
void checkFans(const CBriscoDoc& doc, const CheckDefaults& defaults, const CheckOverrides& overrides,
               std::vector<Finding>& findings);
void checkRecirculation(const CBriscoDoc& doc, std::vector<Finding>& findings);
void checkFixedFlows(const CBriscoDoc& doc, const CheckDefaults& defaults, std::vector<Finding>& findings);
void checkReversals(const CBriscoDoc& doc, const FlowHistory& before, std::vector<Finding>& findings);

// Every check, in the order above; reversals only with a run before.
std::vector<Finding> runChecks(const CBriscoDoc& doc, const CheckDefaults& defaults, const CheckOverrides& overrides,
                               const FlowHistory* before = nullptr);

// The findings of a window's last run, kept with its document, and the
// airflows of that run for the next one's reversals.
struct CheckWork : LayerWork {
    CheckDefaults defaults;      // as read for the last checks
    CheckOverrides overrides;
    std::vector<Finding> findings;
    FlowHistory last;
    bool ranBefore = false;
};
CheckWork& checkWork(CBriscoDoc& doc);
const CheckWork& checkWork(const CBriscoDoc& doc);

// After a run in a window: the installation's and the network's limits read
// again (a damaged line is said, the rest used), every check made, the
// findings kept.
void checkAfterRun(CBriscoDoc& doc, Reporter& reporter);

// A road's state for colouring: -1 below a limit, +1 above one, 0 within,
// NaN where it was not checked.
float roadCheckState(const CBriscoDoc& doc, int road);

}  // namespace orvex
