#pragma once

#include <optional>

#include "edit/editdialogs.h"

// The behaviour of the node and road dialogs apart from their widgets: which
// field the Enter key moves to, which fields are writable, and the clamping
// of "Insert node". The window program's dialogs hold one of these, tell it
// where the focus went and what was clicked, and do what it answers.
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

}  // namespace orvex
