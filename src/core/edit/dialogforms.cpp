// Enter stepping and field rules of the node and road dialogs; the checks
// and results of "Display setting", "parameters" and "File Information".
#include "edit/dialogforms.h"

#include <algorithm>

namespace orvex {

// --- "Make new node" ----------------------------------------------------------

void NewNodeForm::focusGained(Field field)
{
    switch (field) {
    case Field::Number: mStep = 1; break;
    case Field::Elevation: mStep = 2; break;
    case Field::Surface: mStep = 3; break;
    case Field::Underground: mStep = 4; break;
    case Field::InsertToRoad: mStep = 5; break;
    }
}

void NewNodeForm::kindClicked(NodeKind kind)
{
    mKind = kind;
    focusGained(kind == NodeKind::Surface ? Field::Surface : Field::Underground);
}

std::optional<NewNodeForm::Field> NewNodeForm::enter()
{
    Field next;
    switch (mStep) {
    case 1: next = Field::Elevation; break;
    case 2: next = mKind == NodeKind::Underground ? Field::Underground : Field::Surface; break;
    case 3:
    case 4: next = Field::InsertToRoad; break;
    default: return std::nullopt;
    }
    focusGained(next);
    return next;
}

// --- "make new road" ----------------------------------------------------------

NewRoadForm::NewRoadForm(const NewRoadValues& initial) : values(initial) {}

void NewRoadForm::normalClicked()
{
    values.fixedFlow = false;
    mStep = 1;
}

void NewRoadForm::fixedClicked()
{
    values.fixedFlow = true;
    mStep = 7;
}

void NewRoadForm::focusGained(Field field)
{
    mStep = field == Field::Airflow ? 8 : int(field) + 2;
}

std::optional<NewRoadForm::Field> NewRoadForm::enter()
{
    Field next;
    switch (mStep) {
    case 1: next = Field::Resistance; break;
    case 2: next = Field::Temperature; break;
    case 3: next = Field::Length; break;
    case 4: next = Field::Area; break;
    case 5: next = Field::Conductivity; break;
    case 7: next = Field::Airflow; break;
    default: return std::nullopt;  // steps 6 and 8 accept
    }
    focusGained(next);
    return next;
}

bool NewRoadForm::readOnly(Field field) const
{
    return (field == Field::Airflow) != values.fixedFlow;
}

// --- "change normal road data" ----------------------------------------------------

std::optional<ChangeRoadForm::Field> ChangeRoadForm::enter()
{
    if (mStep < 1 || mStep >= 5)
        return std::nullopt;
    const Field next = Field(mStep);  // the field after the one of this step
    focusGained(next);
    return next;
}

// --- "Insert node" ----------------------------------------------------------------

InsertNodeForm::InsertNodeForm(float resistance, float length)
    : mResistance(resistance), mLength(length)
{
}

float InsertNodeForm::clampPart(float part, float whole)
{
    if (!(part >= 0))
        part = 0;
    if (part > whole)
        part = whole;
    return part;
}

void InsertNodeForm::resistanceLeft(std::optional<float> value)
{
    mFirstResistance = clampPart(value.value_or(0.0f), mResistance);
}

void InsertNodeForm::lengthLeft(std::optional<float> value)
{
    mFirstLength = clampPart(value.value_or(0.0f), mLength);
}

std::string notANumberMessage(const std::string& label, bool whole)
{
    return std::string("Please enter ") + (whole ? "a whole number" : "a number") + " for \"" +
           label + "\".";
}

// --- "Display setting" ----------------------------------------------------------------

namespace {

// Character sizes the plan accepts; the label's "max : 20" is advice only.
constexpr double kMinCharSize = 0;
constexpr double kMaxCharSize = 50;

const std::string kBadCharSize = "Please enter a character size between 0 and 50.";
const std::string kBadAngle = "Please enter the display angle as a whole number of degrees.";
const std::string kBadNodeRadius = "Please enter the node radius as a number.";

float keptOrRead(bool shown, float given, double read) { return shown ? given : float(read); }
int kindOf(int entry, int given) { return entry >= 0 ? entry : given; }

}  // namespace

DisplayChoice displayChoiceOf(const PlanView& view)
{
    DisplayChoice c;
    c.settings = view.settings;
    c.figureSize = figureSizeOf(view.geo.scale);
    c.charSize = view.geo.charSize;
    c.nodeRadius = view.geo.nodeRadius;
    c.angle = view.geo.displayAngle;
    return c;
}

DisplayTaken takeDisplayFields(const DisplayChoice& given, const DisplayFields& f)
{
    using Field = DisplayTaken::Field;
    DisplayTaken taken;
    const auto refuse = [&taken](Field field, const std::string& text) {
        taken.refused = field;
        taken.message = text;
        return taken;
    };
    if (!f.figureSize || !figureSizeAcceptable(float(*f.figureSize)))
        return refuse(Field::FigureSize, kBadFigureSize);
    if (!f.charSize || *f.charSize < kMinCharSize || *f.charSize > kMaxCharSize)
        return refuse(Field::CharSize, kBadCharSize);
    if (!f.angle)
        return refuse(Field::Angle, kBadAngle);
    if (!f.nodeRadius)
        return refuse(Field::NodeRadius, kBadNodeRadius);
    std::string why;
    if (!f.automaticLimits && !f.colourLow)
        return refuse(Field::ColourLow, "The lower colour limit must be a number");
    if (!f.automaticLimits && !f.colourHigh)
        return refuse(Field::ColourHigh, "The upper colour limit must be a number");
    if (!f.automaticLimits && !colourLimitsUsable(*f.colourLow, *f.colourHigh, why))
        return refuse(Field::ColourHigh, why);

    DisplayChoice& c = taken.choice;
    c = given;
    c.figureSize = keptOrRead(f.figureSizeShown, given.figureSize, *f.figureSize);
    if (!figureSizeAcceptable(c.figureSize))  // shown rounded into the range
        c.figureSize = float(*f.figureSize);
    c.charSize = keptOrRead(f.charSizeShown, given.charSize, *f.charSize);
    c.nodeRadius = keptOrRead(f.nodeRadiusShown, given.nodeRadius, *f.nodeRadius);
    c.angle = *f.angle;

    DisplaySettings& s = c.settings;
    s.onlineKind = kindOf(f.onlineKind, given.settings.onlineKind);
    s.underlineKind = kindOf(f.underlineKind, given.settings.underlineKind);
    s.nodeKind = kindOf(f.nodeKind, given.settings.nodeKind);
    s.onlineDigits = f.onlineDigits;
    s.underlineDigits = f.underlineDigits;
    s.nodeDigits = f.nodeDigits;
    s.onlineBracket = f.onlineBracket;
    s.underlineBracket = f.underlineBracket;
    s.colours = f.colours;
    PlanLook& look = s.look;
    const auto entry = [](const auto& kinds, int index, int kept) {
        return index >= 0 && index < int(kinds.size()) ? kinds[std::size_t(index)] : kept;
    };
    look.roadColourKind = entry(kRoadColourKinds, f.roadColourEntry, given.settings.look.roadColourKind);
    look.nodeColourKind = entry(kNodeColourKinds, f.nodeColourEntry, given.settings.look.nodeColourKind);
    look.limits.automatic = f.automaticLimits;
    if (!f.automaticLimits) {
        look.limits.low = *f.colourLow;
        look.limits.high = *f.colourHigh;
    }
    look.widthByFlow = f.widthByFlow;
    look.arrows = f.arrows;
    look.screenLabels = f.screenLabels;
    look.titleBlock = f.titleBlock;
    look.labelPixels = std::clamp(f.labelPixels, kSmallestLabelPixels, kLargestLabelPixels);
    return taken;
}

// --- "parameters" -------------------------------------------------------------------

namespace {

constexpr double kMinSolverError = 0.0;
constexpr double kMaxSolverError = 50000.0;
constexpr int kMinIterations = 0;
constexpr int kMaxIterations = 9999;

}  // namespace

ParameterValues parametersOf(const CBriscoDoc& doc)
{
    ParameterValues v;
    v.frontDisplayStep = doc.fire.frontDisplayStep;
    v.fireNode = doc.fire.fireNode;
    v.fireTemperature = doc.fire.fireTemperature;
    v.fireTimeStep = doc.fire.fireTimeStep;
    v.finishTime = doc.fire.finishTime;
    v.gasLimit = doc.fire.gasLimit;
    v.maxIteration = doc.app().units.maxIteration;
    v.surfaceTemperature = doc.surfaceTemperature;
    v.solverError = doc.app().units.solverError;
    v.relaxation = doc.app().units.relaxation;
    v.method = doc.solverMethod;
    return v;
}

bool iterationsAcceptable(int iterations)
{
    return iterations >= kMinIterations && iterations <= kMaxIterations;
}

bool solverErrorAcceptable(float error)
{
    return double(error) >= kMinSolverError && double(error) <= kMaxSolverError;
}

// The fire values and the surface temperature go into the document, the
// solver settings into the application's units settings.
bool storeParameters(CBriscoDoc& doc, const ParameterValues& v)
{
    FireParameters& fire = doc.fire;
    const bool changed = fire.frontDisplayStep != v.frontDisplayStep ||
                         fire.fireNode != v.fireNode ||
                         fire.fireTemperature != v.fireTemperature ||
                         fire.fireTimeStep != v.fireTimeStep || fire.finishTime != v.finishTime ||
                         fire.gasLimit != v.gasLimit ||
                         doc.surfaceTemperature != v.surfaceTemperature;
    fire.frontDisplayStep = v.frontDisplayStep;
    fire.fireNode = v.fireNode;
    fire.fireTemperature = v.fireTemperature;
    fire.fireTimeStep = v.fireTimeStep;
    fire.finishTime = v.finishTime;
    fire.gasLimit = v.gasLimit;
    doc.surfaceTemperature = v.surfaceTemperature;
    if (changed)
        doc.modified = true;

    UnitsSettings& units = doc.app().units;
    units.maxIteration = v.maxIteration;
    units.solverError = v.solverError;
    units.relaxation = v.relaxation;
    doc.solverMethod = v.method;
    return changed;
}

// --- "File Information" ---------------------------------------------------------------

bool titleTooLong(const std::string& utf8)
{
    constexpr int kTitleLetterLimit = 80;
    int letters = 0;
    for (const char c : utf8)
        letters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // not a continuation byte
    return letters >= kTitleLetterLimit;
}

}  // namespace orvex
