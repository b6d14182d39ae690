#include "control/calibration.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "control/resultstext.h"

namespace orvex {

namespace {

constexpr int kValueDecimals = 3;
constexpr int kNormalisedDecimals = 2;

// Resistances span many decades: four significant digits whatever their size.
ResultsCell significantCell(double value)
{
    if (!std::isfinite(value))
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return {text, ResultsCell::Sort::Number, value};
}

ResultsColumn column(MeasurementColumn id, std::string title, std::string tip, bool numeric)
{
    return {int(id), std::move(title), std::move(tip), numeric};
}

ResultsColumn column(UnknownColumn id, std::string title, std::string tip, bool numeric)
{
    return {int(id), std::move(title), std::move(tip), numeric};
}

std::string kindText(MeasurementKind kind, const UnitsSettings& units)
{
    const std::string unit = kind == MeasurementKind::Airflow ? units.flowUnitName.str() : units.pressureUnitName.str();
    return std::string(measurementKindWord(kind)) + (unit.empty() ? "" : " (" + unit + ")");
}

// The prefixes of a group choice: "MAIN, DEV" or "MAIN DEV" alike.
std::string prefixTerm(const std::string& text)
{
    std::string list, word;
    const auto flush = [&] {
        if (!word.empty())
            list += (list.empty() ? "" : ",") + word;
        word.clear();
    };
    for (const char c : text) {
        if (c == ',' || c == ' ' || c == '\t' || c == ';')
            flush();
        else
            word += c;
    }
    flush();
    return list;
}

CalibrationTarget roadTarget(int a, int b, const CBriscoDoc& doc)
{
    if (const int k = doc.findRoad(a, b, RoadScope::All))
        return {MarkKind::Road, k, 0};
    return {};
}

}  // namespace

bool fitTermsOf(const FitChoice& choice, FitTerms& terms, std::string& error)
{
    std::string text;
    switch (choice.what) {
    case FitWhat::AllRoads: text = "roads"; break;
    case FitWhat::Groups:
        text = prefixTerm(choice.prefixes);
        if (text.empty()) {
            error = "Name the groups: the prefixes their roads' names start with, such as MAIN, DEV.";
            return false;
        }
        text = "groups:" + text;
        break;
    case FitWhat::Written:
        text = choice.written;
        break;
    }
    if (choice.fanOffsets)
        text += text.empty() ? "fans" : ";fans";
    if (text.empty()) {
        error = "Write what to fit, such as roads:1-2,3-4;fans.";
        return false;
    }
    if (!(choice.priorPercent > 0) || !std::isfinite(choice.priorPercent)) {
        error = "The prior must be a percentage above 0.";
        return false;
    }
    terms = FitTerms{};
    if (!parseFitTerms(text, terms, error))
        return false;
    terms.priorPercent = choice.priorPercent;
    return true;
}

bool CalibrationSession::loadSurvey(const std::string& path, std::string& error)
{
    SurveyRead read = readSurvey(path);
    if (!read.error.empty()) {
        error = read.error;
        return false;
    }
    mSurvey = std::move(read.survey);
    // A result belongs to the survey it fitted.
    if (mState == State::Done) {
        mState = State::Idle;
        mResult = CalibrationResult{};
        mFitted.reset();
    }
    return true;
}

std::string CalibrationSession::surveySummary() const
{
    if (!surveyLoaded())
        return "No survey: load one.";
    const std::string name = mSurvey.name.substr(mSurvey.name.find_last_of("/\\") + 1);
    const std::size_t left = mSurvey.warnings.size();
    return name + ": " + std::to_string(mSurvey.measurements.size()) + " measurements" +
           (left ? " (" + std::to_string(left) + (left == 1 ? " line" : " lines") + " left out)" : "");
}

std::vector<CalibrationMessage> CalibrationSession::surveyMessages() const
{
    std::vector<CalibrationMessage> messages;
    for (const std::string& w : mSurvey.warnings)
        messages.push_back({w, MessageKind::Warning});
    return messages;
}

void CalibrationSession::started(const CBriscoDoc& doc)
{
    mState = State::Running;
    mResult = CalibrationResult{};
    mFitted = std::make_unique<NetworkSnapshot>(takeSnapshot(doc));
    mAccepted = false;
}

void CalibrationSession::finished(CalibrationResult result)
{
    mState = State::Done;
    mResult = std::move(result);
}

bool CalibrationSession::networkChanged(const CBriscoDoc& doc) const
{
    return mFitted && !takeSnapshot(doc).sameNetwork(*mFitted);
}

bool CalibrationSession::acceptEnabled(const CBriscoDoc& doc) const
{
    return mState == State::Done && mResult.usable() && !mAccepted && !networkChanged(doc);
}

std::vector<CalibrationMessage> CalibrationSession::resultMessages() const
{
    std::vector<CalibrationMessage> m;
    const CalibrationResult& r = mResult;
    if (mState != State::Done)
        return m;
    if (!r.error.empty())
        return {{"The fit could not start: " + r.error, MessageKind::Error}};
    if (r.stopped)
        m.push_back({"Stopped after " + std::to_string(r.iterations) +
                         " iterations: the tables show its last state, nothing applied.",
                     MessageKind::Warning});
    else if (!r.converged)
        m.push_back({"The fit did not converge in " + std::to_string(r.iterations) +
                         " iterations: the tables show its last state, nothing applied.",
                     MessageKind::Warning});
    else
        m.push_back({"Converged in " + std::to_string(r.iterations) + " iterations: the sum of squared normalised "
                         "residuals fell from " + fixedText(r.costBefore, 1) + " to " + fixedText(r.costAfter, 1) +
                         " (" + std::to_string(r.degreesOfFreedom) + " degrees of freedom).",
                     MessageKind::Information});
    for (const std::vector<int>& set : r.undetermined) {
        std::string names;
        for (const int i : set)
            if (i >= 0 && i < int(r.unknowns.size()))
                names += (names.empty() ? "" : ", ") + r.unknowns[std::size_t(i)].name;
        m.push_back({"The survey determines only a combination of " + names +
                         ", not each separately: measure between them to tell them apart.",
                     MessageKind::Warning});
    }
    int flagged = 0;
    for (const MeasurementFit& f : r.measurements)
        flagged += f.flagged;
    if (flagged)
        m.push_back({std::to_string(flagged) + " measurements stay beyond " + fixedText(kFlagNormalised, 0) +
                         " standard deviations: the model cannot match them (a wrong reading, or a road "
                         "missing or wrongly joined).",
                     MessageKind::Warning});
    for (const std::string& w : r.warnings)
        m.push_back({w, MessageKind::Warning});
    return m;
}

ResultsTable CalibrationSession::measurementTable(const UnitsSettings& units) const
{
    using C = MeasurementColumn;
    ResultsTable t;
    t.columns = {
        column(C::Kind, "Kind", "What was measured, in its unit", false),
        column(C::From, "From", "The road's first node, the fan's inlet, or the first node of a pressure drop", false),
        column(C::To, "To", "The other node", false),
        column(C::Note, "Note", "The survey's words on the line", false),
        column(C::Measured, "Measured", "The survey's value", true),
        column(C::Sd, "SD", "Its standard deviation", true),
        column(C::Before, "Before", "The model's value before the fit", true),
        column(C::After, "After", "The model's value after the fit", true),
        column(C::NormBefore, "Normalised before", "(measured - modelled) / sd before the fit", true),
        column(C::NormAfter, "Normalised after", "(measured - modelled) / sd after the fit", true),
        column(C::Flag, "Flag", "Beyond 3 standard deviations after the fit: the model cannot match it", false),
    };
    for (const MeasurementFit& f : mResult.measurements) {
        const Measurement& m = f.measurement;
        t.rows.push_back({textCell(kindText(m.kind, units)), wholeCell(m.from), wholeCell(m.to), textCell(m.note),
                          finiteNumberCell(m.value, kValueDecimals), finiteNumberCell(m.sd, kValueDecimals),
                          finiteNumberCell(f.before, kValueDecimals), finiteNumberCell(f.after, kValueDecimals),
                          finiteNumberCell(f.normalisedBefore, kNormalisedDecimals),
                          finiteNumberCell(f.normalisedAfter, kNormalisedDecimals),
                          f.flagged ? textCell("beyond 3 sd") : ResultsCell{}});
    }
    return t;
}

ResultsTable CalibrationSession::unknownTable() const
{
    using C = UnknownColumn;
    ResultsTable t;
    t.columns = {
        column(C::What, "What", "A road's resistance, a group's factor or a fan's pressure offset", false),
        column(C::Start, "Start", "Its value before the fit", true),
        column(C::Fitted, "Fitted", "Its value after the fit", true),
        column(C::Uncertainty, "±", "The fitted value's standard uncertainty", true),
        column(C::Determined, "Determined", "Whether the survey determines it, apart from its prior", false),
    };
    for (const FitUnknown& u : mResult.unknowns)
        t.rows.push_back({textCell(u.name + (u.atBound ? " (at a bound)" : "")), significantCell(u.start),
                          significantCell(u.fitted), significantCell(u.uncertainty),
                          textCell(u.determined ? "yes" : "no")});
    return t;
}

CalibrationTarget CalibrationSession::measurementTarget(int row, const CBriscoDoc& doc) const
{
    if (row < 0 || row >= int(mResult.measurements.size()))
        return {};
    const Measurement& m = mResult.measurements[std::size_t(row)].measurement;
    switch (m.kind) {
    case MeasurementKind::Airflow: return roadTarget(m.from, m.to, doc);
    case MeasurementKind::FanPressure:
        if (const int f = doc.findFan(m.from, m.to))
            return {MarkKind::Fan, f, 0};
        return {};
    case MeasurementKind::PressureDrop: {
        const int a = doc.nodeIndex(m.from), b = doc.nodeIndex(m.to);
        return a && b ? CalibrationTarget{MarkKind::NodePair, a, b} : CalibrationTarget{};
    }
    }
    return {};
}

CalibrationTarget CalibrationSession::unknownTarget(int row, const CBriscoDoc& doc) const
{
    if (row < 0 || row >= int(mResult.unknowns.size()) || !mFitted)
        return {};
    const FitUnknown& u = mResult.unknowns[std::size_t(row)];
    if (u.items.empty())
        return {};
    // By the ends the element had when the fit ran: an edit may have renumbered it.
    const int i = u.items.front();
    if (u.kind == UnknownKind::FanOffset) {
        if (i < 1 || i > int(mFitted->fans.size()))
            return {};
        const Fan& fan = mFitted->fans[std::size_t(i - 1)];
        const int f = doc.findFan(fan.inlet, fan.outlet);
        return f ? CalibrationTarget{MarkKind::Fan, f, 0} : CalibrationTarget{};
    }
    if (i < 1 || i > int(mFitted->roads.size()))
        return {};
    const Road& road = mFitted->roads[std::size_t(i - 1)];
    return roadTarget(road.first, road.second, doc);
}

std::vector<float> CalibrationSession::residualByRoad(const CBriscoDoc& doc) const
{
    std::vector<float> residual(std::size_t(doc.totalRoads() + 1), std::numeric_limits<float>::quiet_NaN());
    if (mState != State::Done || !mResult.error.empty() || networkChanged(doc))
        return residual;
    for (int k = 1; k <= doc.totalRoads(); ++k)
        residual[std::size_t(k)] = float(roadNormalisedResidual(doc, mResult, k));
    return residual;
}

bool CalibrationSession::accept(CBriscoDoc& doc, ViewDocument& document, std::string& why)
{
    if (mState != State::Done || !mResult.usable()) {
        why = "Only a fit that converged can be applied.";
        return false;
    }
    if (mAccepted) {
        why = "This fit is in the network already.";
        return false;
    }
    if (networkChanged(doc)) {
        why = "The network has changed since the fit: fit again.";
        return false;
    }
    applyCalibration(doc, mResult);
    doc.modified = true;
    // The network now holds the fitted values: the fit's residuals are its
    // own, before the history tells the window of the change.
    mFitted = std::make_unique<NetworkSnapshot>(takeSnapshot(doc));
    mAccepted = true;
    document.networkChanged("Calibrate");
    document.updateAllViews();
    return true;
}

}  // namespace orvex
