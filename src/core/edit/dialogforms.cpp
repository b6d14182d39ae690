// Enter stepping and field rules of the node and road dialogs.
#include "edit/dialogforms.h"

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

}  // namespace orvex
