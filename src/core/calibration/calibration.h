#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "model/briscodoc.h"

// Calibration: fitting a network's resistances (and its fans' pressures) to
// a ventilation survey by weighted least squares, and saying which of them
// the survey determines. docs/calibration.md gives the survey file, the
// model and what the uncertainties mean.
namespace orvex {

enum class MeasurementKind { Airflow, PressureDrop, FanPressure };

// The survey file's word for a kind: "airflow", "pressure-drop", "fan-pressure".
const char* measurementKindWord(MeasurementKind kind);

// One line of a survey, in the units of this installation's units file.
struct Measurement {
    MeasurementKind kind = MeasurementKind::Airflow;
    int from = 0, to = 0;  // node numbers: the road, the fan, or the two nodes of a pressure drop
    double value = 0;      // flow or pressure unit
    double sd = 0;         // standard deviation, same unit (a percentage is already applied)
    std::string note;      // the columns after sd, joined by ", " (a road name, a remark)
    int line = 0;          // line of the survey file
};

struct Survey {
    std::string name;                   // the file's name, for messages
    std::vector<Measurement> measurements;
    std::vector<std::string> warnings;  // damaged lines left out: "survey.csv, line 7: ..."
};

struct SurveyRead {
    Survey survey;
    std::string error;  // empty when the survey can be used
};

// Reads a survey: the header kind,from,to,value,sd (more columns may
// follow), one measurement per line; blank lines and lines starting with #
// are skipped. A damaged line is named and left out; a file without a
// usable line is an error.
SurveyRead readSurvey(const std::string& path);
SurveyRead parseSurvey(std::istream& in, const std::string& name);

// What to fit. Terms of the --fit text, joined by ';':
//   roads                 every normal road's resistance
//   roads:1-2,3-4         the resistances of the roads named by their nodes
//   groups:MAIN,DEV       one factor per group of roads whose names start so
//   group:1-2,2-3,3-4     one factor for the roads listed
//   fans                  a pressure offset for every fan
//   fans:1-2              the offsets of the fans named by inlet and outlet
struct FitTerms {
    bool allRoads = false;
    std::vector<std::pair<int, int>> roads;
    std::vector<std::string> prefixes;
    std::vector<std::vector<std::pair<int, int>>> lists;
    bool allFans = false;
    std::vector<std::pair<int, int>> fans;
    // The prior of a resistance or a group factor: its starting value with
    // this relative standard uncertainty, %.
    double priorPercent = 50;
    // A resistance stays within these factors of its starting value.
    double lowFactor = 0.01, highFactor = 100;
    // The prior of a fan offset: 0 with this share of the fan's largest
    // curve pressure as its standard uncertainty; the offset stays within
    // plus or minus that largest pressure.
    double fanPriorShare = 0.1;
    // The steps tried before the fit is given up as not converged.
    int iterationLimit = 100;
};

// The default when nothing is chosen: every normal road.
FitTerms defaultFitTerms();
// Parses the terms above; false with a message naming the term.
bool parseFitTerms(const std::string& text, FitTerms& terms, std::string& error);

enum class UnknownKind { Resistance, GroupFactor, FanOffset };

struct FitUnknown {
    UnknownKind kind = UnknownKind::Resistance;
    std::string name;        // "road 12-13", "group MAIN (14 roads)", "group 3 (2 roads)", "fan 1-2"
    std::vector<int> items;  // road indexes, or the fan's index
    // Resistance: the road's resistance (resistance unit); group: the factor
    // (1 at the start); fan: the offset added to its curve (pressure unit).
    double start = 0, fitted = 0;
    double uncertainty = 0;  // standard uncertainty of fitted, same unit
    double prior = 0;        // the prior's standard uncertainty, same unit
    bool atBound = false;    // the fit stopped at a bound
    // The survey determines it: its uncertainty is well below its prior's
    // and it is not part of a combination the survey cannot split.
    bool determined = true;
};

struct MeasurementFit {
    Measurement measurement;
    // Modelled value before and after the fit, and measured minus modelled.
    double before = 0, after = 0;
    double residualBefore = 0, residualAfter = 0;
    double normalisedBefore = 0, normalisedAfter = 0;  // residual / sd
    bool flagged = false;  // |normalisedAfter| above kFlagNormalised: the model cannot match it
};

// Beyond this many standard deviations a measurement is flagged.
constexpr double kFlagNormalised = 3.0;

struct CalibrationResult {
    // Empty when the fit ran; else why it could not start (nothing to fit,
    // no usable measurement, the network does not solve at the start).
    std::string error;
    bool converged = false;  // false: the last state is reported, and nothing may be applied
    bool stopped = false;    // the caller asked to stop
    int iterations = 0;
    std::vector<std::string> warnings;  // measurements left out, more unknowns than measurements...
    std::vector<MeasurementFit> measurements;  // those used, in the survey's order
    std::vector<FitUnknown> unknowns;
    // Sets of unknowns (indexes into unknowns) of which the survey
    // determines only a combination, such as roads in series with one
    // airflow measurement.
    std::vector<std::vector<int>> undetermined;
    double costBefore = 0, costAfter = 0;  // sum of squared normalised residuals
    int degreesOfFreedom = 0;              // measurements minus determined unknowns
    bool usable() const { return error.empty() && converged && !stopped; }
};

// Fits on a copy of doc: the document is not changed. stop, when given, is
// polled between iterations.
CalibrationResult calibrate(const CBriscoDoc& doc, const Survey& survey, const FitTerms& terms,
                            const std::atomic<bool>* stop = nullptr);

// Writes the fitted values into doc: roads' resistances, fans' curves
// shifted by their offsets. Only for a usable result of this network.
void applyCalibration(CBriscoDoc& doc, const CalibrationResult& result);

// The normalised residual (after the fit) of the measurement on road k (its
// airflow, else the pressure drop between its ends); NaN when none.
double roadNormalisedResidual(const CBriscoDoc& doc, const CalibrationResult& result, int k);

}  // namespace orvex
