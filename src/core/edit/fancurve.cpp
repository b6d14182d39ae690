// Point-by-point entry of a fan curve and the fan curve file.
#include "edit/fancurve.h"

#include <algorithm>

#include "analysis/fan.h"
#include "model/fileio.h"

namespace orvex {

// --- entry -----------------------------------------------------------------------

FanCurveEntry FanCurveEntry::forNewFan()
{
    return FanCurveEntry(true);
}

FanCurveEntry FanCurveEntry::forFan(const FanCurve& curve)
{
    FanCurveEntry e(false);
    e.mCount = std::clamp(curve.points, 0, kMaxFanPoints);
    e.mFlowStep = curve.flowStep;
    for (int j = 0; j < e.mCount; ++j)
        e.mPressure[std::size_t(j)] = curve.pressure[std::size_t(j)];
    e.showPoint();
    return e;
}

const std::string& FanCurveEntry::countMessage()
{
    static const std::string text = "Enter a number of datas from 1 to 30.";
    return text;
}

// Takes the count and the airflow step from their fields. "make new fans"
// refuses a count outside 1..30 and keeps the old one; "change fan data"
// keeps the count within 0..30, as the model holds no more.
bool FanCurveEntry::takeFields()
{
    if (mCheckCount && (countField < 1 || countField > kMaxFanPoints))
        return false;
    mCount = std::clamp(countField, 0, kMaxFanPoints);
    countField = mCount;
    mFlowStep = flowStepField;
    return true;
}

// Shows point c: its label and pressure, and the fields as taken.
void FanCurveEntry::showPoint()
{
    mLabel.clear();
    appendf(mLabel, "Pressure(*) at %.0f air flow (%d/%d)", double(float(mCurrent) * mFlowStep),
            mCurrent + 1, mCount);
    pressureField = mPressure[std::size_t(mCurrent)];
    countField = mCount;
    flowStepField = mFlowStep;
}

FanCurveEntry::Step FanCurveEntry::next()
{
    if (!takeFields())
        return Step::Refused;
    mPressure[std::size_t(mCurrent)] = pressureField;
    if (mCurrent >= mCount - 1)
        return Step::Accept;
    ++mCurrent;
    showPoint();
    mFocus = Field::Pressure;
    return Step::Stay;
}

FanCurveEntry::Step FanCurveEntry::back()
{
    if (mCurrent < 1)
        return Step::Stay;
    if (!takeFields())
        return Step::Refused;
    mPressure[std::size_t(mCurrent)] = pressureField;
    --mCurrent;
    showPoint();
    return Step::Stay;
}

FanCurveEntry::Step FanCurveEntry::ok()
{
    if (!takeFields())
        return Step::Refused;
    mPressure[std::size_t(mCurrent)] = pressureField;
    return Step::Accept;
}

FanCurveEntry::Step FanCurveEntry::countLeft()
{
    return takeFields() ? Step::Stay : Step::Refused;
}

FanCurveEntry::Step FanCurveEntry::enter(std::optional<Field>& focus)
{
    focus.reset();
    switch (mFocus) {
    case Field::FlowStep:
        focus = Field::Count;
        break;
    case Field::Count:
        focus = Field::Pressure;
        break;
    case Field::Pressure:
        return next();
    }
    mFocus = *focus;
    return Step::Stay;
}

FanCurve FanCurveEntry::result() const
{
    FanCurve curve;
    curve.points = mCount;
    curve.flowStep = mFlowStep;
    for (int j = 0; j < mCount; ++j)
        curve.pressure[std::size_t(j)] = mPressure[std::size_t(j)];
    return curve;
}

// --- the fan curve file ------------------------------------------------------------

namespace {

// "[コメント]" in half-width katakana and "コメント" in full-width katakana,
// both in the Shift-JIS code page that the display program reads.
constexpr const char* kHalfWidthComment = "\xBA\xD2\xDD\xC4";
constexpr const char* kFullWidthComment = "\x83\x52\x83\x81\x83\x93\x83\x67";

}  // namespace

std::string fanCurveText(const CBriscoDoc& doc)
{
    std::string out;
    for (int h = 1; h <= 3; ++h)
        out += std::string("[") + kHalfWidthComment + "]fan" + std::to_string(h) + "\n";
    for (int f = 1; f <= doc.fanCount && f < kMaxFans; ++f) {
        const Fan& fan = doc.fans[std::size_t(f)];
        out += std::string("* ") + kFullWidthComment + "\n";
        appendf(out, " %d  %d \n", fan.inlet, fan.outlet);
        const int points = std::clamp(fan.points, 0, kMaxFanPoints);
        for (int j = 0; j < points; ++j)
            appendf(out, "%11.5f %7.2f\n", double(float(j) * fan.flowStep),
                    double(fan.curve[std::size_t(j + 1)]));
    }
    return out;
}

bool writeFanCurveFile(CBriscoDoc& doc)
{
    const std::string path = doc.companionPath(doc.baseName, "fan");
    std::error_code error;
    if (writeFileSafely(path, fanCurveText(doc), error))
        return true;
    doc.reporter().message(withReason(path + ":write ?", error), kViewCaption, MessageKind::Error);
    return false;
}

std::string curveDisplayArgument(const CBriscoDoc& doc)
{
    const std::string path = doc.companionPath(doc.baseName, "fan");
    return curveDisplayArgument(doc.baseName, path.substr(doc.baseName.size()));
}

std::string curveDisplayArgument(const std::string& baseName, const std::string& extension)
{
    constexpr int kMaxBlanks = 50;
    std::string argument;
    int blanks = 0;
    for (char c : baseName) {
        if (c == ' ') {
            if (blanks == kMaxBlanks)
                break;
            ++blanks;
            c = '*';
        }
        argument += c;
    }
    return argument + extension;
}

std::vector<std::string> operatingPointArguments(const CBriscoDoc& doc)
{
    std::vector<std::string> arguments;
    for (int f = 1; f <= doc.fanCount && f < kMaxFans; ++f) {
        if (!fanCanOperate(doc, f))
            continue;
        // The pressure from the curve, not Fan::pressure: a run leaves that
        // on the curve, but the results file gives the rise between the
        // fan's nodes in the solver's unit.
        const Fan& fan = doc.fans[std::size_t(f)];
        const double pressure = curvePressure(&fan.curve[1], fan.points, double(fan.flowStep),
                                              std::max(double(fan.fanFlow), 0.0), CurveEnd::Hold);
        std::string value;
        appendf(value, "%d-%d,%.7g,%.7g", fan.inlet, fan.outlet, double(fan.fanFlow), pressure);
        arguments.push_back(kOperatingPointOption);
        arguments.push_back(value);
    }
    return arguments;
}

void fanCharacterDisplay(CBriscoDoc& doc, ProgramStarter& programs, bool withOperatingPoints)
{
    Reporter& reporter = doc.reporter();
    if (doc.baseName.empty()) {
        reporter.message("Save the network first: its fan curves are written beside it.", kViewCaption,
                         MessageKind::Information);
        return;
    }
    if (!writeFanCurveFile(doc))
        return;
    const std::string& folder = doc.app().programFolder;
    const std::string viewer = programs.find(kCurveDisplayProgram, folder);
    if (viewer.empty()) {
        reporter.message("The fan curve viewer \"" + kCurveDisplayProgram +
                             "\" was not found beside this program, in " + folder + " or on the path.",
                         kViewCaption, MessageKind::Error);
        return;
    }
    std::vector<std::string> arguments = {curveDisplayArgument(doc)};
    if (withOperatingPoints)
        for (std::string& point : operatingPointArguments(doc))
            arguments.push_back(std::move(point));
    if (!programs.start(viewer, arguments))
        reporter.message("Cannot start " + viewer, kViewCaption, MessageKind::Error);
}

}  // namespace orvex
