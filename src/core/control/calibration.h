#pragma once

#include <memory>
#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "control/results.h"
#include "control/viewcontrol.h"
#include "edit/snapshot.h"

// The window's calibration: a survey read from a file, what to fit, the fit
// run on a copy of the network (on a worker, the window stays free), its
// tables, the element each row is about, the residuals the plan is coloured
// by, and Accept, the fitted values written into the network as one step of
// its history. GUI-free: the Calibrate dialog forwards to it.
namespace orvex {

// What the person chose to fit, as the dialog holds it.
enum class FitWhat { AllRoads, Groups, Written };
struct FitChoice {
    FitWhat what = FitWhat::AllRoads;
    std::string prefixes;  // groups: name prefixes, by commas or blanks
    std::string written;   // the terms of a --fit text
    bool fanOffsets = false;
    double priorPercent = 50;
};
// The fit a choice names; false with why it cannot be run.
bool fitTermsOf(const FitChoice& choice, FitTerms& terms, std::string& error);

struct CalibrationMessage {
    std::string text;
    MessageKind kind = MessageKind::Information;
};

enum class MeasurementColumn { Kind, From, To, Note, Measured, Sd, Before, After, NormBefore, NormAfter, Flag };
enum class UnknownColumn { What, Start, Fitted, Uncertainty, Determined };

// What a row of the tables marks on the plan, as the network stands now.
struct CalibrationTarget {
    MarkKind kind = MarkKind::None;  // Road, Fan, or NodePair (a pressure drop); None: gone
    int element = 0, other = 0;      // the road or fan; or the two node indexes
};

class CalibrationSession {
public:
    enum class State { Idle, Running, Done };
    State state() const { return mState; }

    // --- the survey ---
    // Reads it: false with the error (the survey loaded before stays). Its
    // damaged lines are in surveyMessages().
    bool loadSurvey(const std::string& path, std::string& error);
    bool surveyLoaded() const { return !mSurvey.measurements.empty(); }
    const Survey& survey() const { return mSurvey; }
    // "mine-survey.csv: 24 measurements (2 lines left out)", or "no survey".
    std::string surveySummary() const;
    std::vector<CalibrationMessage> surveyMessages() const;

    // --- the fit ---
    bool fitEnabled() const { return surveyLoaded() && mState != State::Running; }
    bool stopEnabled() const { return mState == State::Running; }
    // The network the fit will run on, as it stands now (its copy is the caller's).
    void started(const CBriscoDoc& doc);
    void finished(CalibrationResult result);
    const CalibrationResult& result() const { return mResult; }
    // The network differs from the one fitted: the fit is to be run again.
    bool networkChanged(const CBriscoDoc& doc) const;
    bool acceptEnabled(const CBriscoDoc& doc) const;
    // What the person should know of the last fit, most important first.
    std::vector<CalibrationMessage> resultMessages() const;

    // --- its tables and the plan ---
    ResultsTable measurementTable(const UnitsSettings& units) const;
    ResultsTable unknownTable() const;
    CalibrationTarget measurementTarget(int row, const CBriscoDoc& doc) const;
    CalibrationTarget unknownTarget(int row, const CBriscoDoc& doc) const;
    // Each road's normalised residual after the fit, by road index 1..
    // (slot 0 unused); NaN without a measurement, or while the network
    // differs from the one fitted.
    std::vector<float> residualByRoad(const CBriscoDoc& doc) const;

    // Writes the fit into the network as one undoable step, marked modified
    // and not saved; false with why not (nothing changed then).
    bool accept(CBriscoDoc& doc, ViewDocument& document, std::string& why);

private:
    State mState = State::Idle;
    Survey mSurvey;
    CalibrationResult mResult;
    std::unique_ptr<NetworkSnapshot> mFitted;  // the network the fit ran on
    bool mAccepted = false;
};

inline const std::string kCalibrationCaption = "Calibrate";

}  // namespace orvex
