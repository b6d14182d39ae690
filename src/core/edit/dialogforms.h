#pragma once

#include <optional>
#include <string>

#include "display/planview.h"
#include "edit/editdialogs.h"
#include "model/briscodoc.h"

// The behaviour of the dialogs apart from their widgets. For the node and
// road dialogs: which field the Enter key moves to, which fields are
// writable, and the clamping of "Insert node"; the window program's dialogs
// hold one of these, tell it where the focus went and what was clicked, and
// do what it answers. For "Display setting", "parameters" and "File
// Information": what a field accepts, the refusals, and what OK hands back
// or stores.
//
// enter() answers the field to focus next, or nothing when Enter accepts
// the dialog as OK does. A focus move made by Enter counts as that field
// getting the focus.
namespace orvex {

// "Make new node".
class NewNodeForm {
public:
    enum class Field { Number, Elevation, Surface, Underground, InsertToRoad };

    explicit NewNodeForm(NodeKind preset) : mKind(preset) {}
    void focusGained(Field field);
    // A click on "surface" or "underground" chooses the kind.
    void kindClicked(NodeKind kind);
    std::optional<Field> enter();

    NodeKind kind() const { return mKind; }
    int step() const { return mStep; }

private:
    NodeKind mKind;
    int mStep = 1;  // 1 number, 2 elevation, 3 surface, 4 underground, 5 "Insert to a road"
};

// "make new road": the radio group switches between the five normal-road
// fields and the airflow field; values typed so far are kept either way.
class NewRoadForm {
public:
    enum class Field { Resistance, Temperature, Length, Area, Conductivity, Airflow };

    explicit NewRoadForm(const NewRoadValues& values);
    void normalClicked();
    void fixedClicked();
    void focusGained(Field field);
    std::optional<Field> enter();

    bool readOnly(Field field) const;
    int step() const { return mStep; }
    NewRoadValues values;  // the fields as typed; fixedFlow follows the radio group

private:
    int mStep = 1;  // 1 opened or "normal road", 2..6 the normal fields, 7 "fixed flow road", 8 airflow
};

// "change normal road data".
class ChangeRoadForm {
public:
    enum class Field { Resistance, Temperature, Length, Area, Conductivity };

    void focusGained(Field field) { mStep = int(field) + 1; }
    std::optional<Field> enter();
    int step() const { return mStep; }

private:
    int mStep = 1;
};

// "Insert node": the first part's resistance and length are kept within
// 0 .. the road's value, and the second part shows the rest.
class InsertNodeForm {
public:
    InsertNodeForm(float resistance, float length);

    // The focus left the first part's resistance (or length) field; an empty
    // field (nullopt) counts as 0.
    void resistanceLeft(std::optional<float> value);
    void lengthLeft(std::optional<float> value);

    float firstResistance() const { return mFirstResistance; }
    float secondResistance() const { return mResistance - mFirstResistance; }
    float firstLength() const { return mFirstLength; }
    float secondLength() const { return mLength - mFirstLength; }

    // A part of `whole`: below 0 (or not a number) becomes 0, above whole becomes whole.
    static float clampPart(float part, float whole);

private:
    float mResistance, mLength;
    float mFirstResistance = 0, mFirstLength = 0;
};

// What a field that does not hold a number says: "Please enter a number for
// "<label>"." ("a whole number" for whole-number fields).
std::string notANumberMessage(const std::string& label, bool whole);

// --- "Display setting" --------------------------------------------------------------

// What the dialog starts from and what OK hands back; the view takes it over
// with PlanView::applyDisplaySettings.
struct DisplayChoice {
    DisplaySettings settings;  // kinds, digits, brackets and screen colours; the rest as given
    float figureSize = 0;
    float charSize = 0;
    float nodeRadius = 0;
    int angle = 0;
};
DisplayChoice displayChoiceOf(const PlanView& view);

// The dialog's fields as read: a number field's value (nullopt when it does
// not hold one) and whether it still shows the text it was given; a list's
// entry (-1 when it shows none).
struct DisplayFields {
    std::optional<double> figureSize, charSize, nodeRadius;
    std::optional<int> angle;
    bool figureSizeShown = false, charSizeShown = false, nodeRadiusShown = false;
    int onlineKind = -1, underlineKind = -1, nodeKind = -1;
    int onlineDigits = 0, underlineDigits = 0, nodeDigits = 0;
    bool onlineBracket = false, underlineBracket = false;
    ColourSlots colours;
    // The look: entries of the colour lists (kRoadColourKinds,
    // kNodeColourKinds), the typed limits unless automatic, the switches.
    int roadColourEntry = 0, nodeColourEntry = 0;
    bool automaticLimits = true;
    std::optional<double> colourLow, colourHigh;
    bool widthByFlow = false, arrows = false, screenLabels = false, titleBlock = true;
    int labelPixels = 12;
};

// OK of "Display setting": the fields are checked in the order they are
// shown; the first refused one is named with its message, otherwise choice
// holds what OK hands back. A number field left as shown hands back the value
// it came from, so OK without edits changes nothing by rounding; a list that
// shows no entry (a kind of an older profile) keeps the kind it was given.
struct DisplayTaken {
    enum class Field { None, FigureSize, CharSize, Angle, NodeRadius, ColourLow, ColourHigh };
    Field refused = Field::None;
    std::string message;
    DisplayChoice choice;
};
DisplayTaken takeDisplayFields(const DisplayChoice& given, const DisplayFields& fields);
constexpr int kMaxDisplayDigits = 7;  // the decimals a value on the plan can have

// --- "parameters" -------------------------------------------------------------------

// The fire simulation's values and the network's surface temperature (saved
// with the network), the solver's "maximum iteration", "error" and "Acc"
// (the application's units settings, kept until the program ends) and the
// solver method, in the order the dialog shows them.
struct ParameterValues {
    float frontDisplayStep = 0;  // min
    int fireNode = 0;
    float fireTemperature = 0;  // °C
    float fireTimeStep = 0;
    float finishTime = 0;  // min; above 0 a run is a fire simulation
    float gasLimit = 0;
    int maxIteration = 0;
    float surfaceTemperature = 0;  // °C
    float solverError = 0;         // user flow unit
    float relaxation = 0;
    SolverMethod method = SolverMethod::Relaxation;
};
ParameterValues parametersOf(const CBriscoDoc& doc);
// "maximum iteration" 0..9999 and "error" 0.0..50000.0.
bool iterationsAcceptable(int iterations);
bool solverErrorAcceptable(float error);
inline const std::string kSolverErrorRange = "Please enter an \"error\" between 0.0 and 50000.0.";
inline const std::string kIterationRange =
    "Please enter a whole number from 0 to 9999 for \"maximum iteration\".";
// Stores all the values; true, and the document marked modified, when a
// value saved with the network changed.
bool storeParameters(CBriscoDoc& doc, const ParameterValues& values);

// --- "File Information" ---------------------------------------------------------------

// A title of 80 letters or more is refused; letters are counted as the
// person sees them (code points of the UTF-8 text), so a Chinese one is one.
bool titleTooLong(const std::string& utf8);
inline const std::string kTooManyLetters = "Too many letters(- 80)";

}  // namespace orvex
