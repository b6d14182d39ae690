#pragma once

#include <array>

#include "model/limits.h"

// The values the edit dialogs exchange with the editor and the edit
// operations, and the interface through which they are opened. The window
// program implements it with its modal dialogs; tests answer from a script.
namespace orvex {

// How a modal dialog was closed. ChangeLocation is the "Change a location"
// button of the two road data dialogs: the values are taken over as for OK
// and the road's bending points are entered next.
enum class DialogResult { Ok = 1, Cancel = 2, ChangeLocation = 3 };

// The model's node kinds, as the edit operations take them.
enum class NodeKind { Underground = 1, Surface = 2 };

// "Make new node": filled by the person; kind comes in preset.
struct NewNodeValues {
    int number = 0;
    float elevation = 0;  // m
    NodeKind kind = NodeKind::Underground;
    bool insertToRoad = false;  // "Insert to a road"
};

// "change node data": only the elevation can be changed.
struct NodeDataValues {
    int number = 0;
    float elevation = 0;  // m
    NodeKind kind = NodeKind::Underground;
};

// "make new road": the two node numbers come in; the rest all start at 0.
struct NewRoadValues {
    int first = 0, second = 0;
    bool fixedFlow = false;   // the "fixed flow road" radio button
    float resistance = 0;     // resistance unit (Murgue)
    float temperature = 0;    // °C
    float length = 0;         // m
    float area = 0;           // m²
    float conductivity = 0;   // kcal/(m·h·°C)
    float airflow = 0;        // user flow unit
};

// "change normal road data".
struct RoadDataValues {
    int first = 0, second = 0;
    float resistance = 0, temperature = 0, length = 0, area = 0, conductivity = 0;
};

// "change fixed flow road data".
struct FixedRoadValues {
    int first = 0, second = 0;
    float airflow = 0;  // user flow unit
};

// "Insert node" for node `node` and the road first-second. The person enters
// the resistance and length of the first part; the second part gets the rest.
struct InsertNodeValues {
    int node = 0;
    float elevation = 0;
    NodeKind kind = NodeKind::Underground;
    int roadFirst = 0, roadSecond = 0;
    float resistance = 0;       // the road's R
    float length = 0;           // the road's L
    float firstResistance = 0;  // R1, 0 ≤ R1 ≤ R
    float firstLength = 0;      // L1, 0 ≤ L1 ≤ L
};

// A fan's characteristic curve as the fan dialogs exchange it: pressure[j]
// is the fan pressure at airflow j × flowStep, for j = 0..points-1.
struct FanCurve {
    int points = 0;       // 0..30
    float flowStep = 0;   // user flow unit
    std::array<float, kMaxFanPoints> pressure{};
};

// "Choose a symbol": the item's position, 0 "Line", 1 "No line", 2..7 the
// six symbols in the order of the dialog.
constexpr int kSymbolLine = 0;
constexpr int kSymbolNoLine = 1;
constexpr int kSymbolItems = 8;

class EditDialogs {
public:
    virtual ~EditDialogs() = default;
    virtual DialogResult makeNode(NewNodeValues& values) = 0;
    virtual DialogResult changeNode(NodeDataValues& values) = 0;
    virtual DialogResult makeRoad(NewRoadValues& values) = 0;
    // Ok, Cancel or ChangeLocation.
    virtual DialogResult changeNormalRoad(RoadDataValues& values) = 0;
    virtual DialogResult changeFixedRoad(FixedRoadValues& values) = 0;
    virtual DialogResult insertNode(InsertNodeValues& values) = 0;
    // The chosen item, however the dialog was closed.
    virtual int chooseSymbol() = 0;
    // "make new fans": curve comes in empty.
    virtual DialogResult makeFan(int inlet, int outlet, FanCurve& curve) = 0;
    // "change fan data": curve comes in with the fan's values.
    virtual DialogResult changeFan(int inlet, int outlet, FanCurve& curve) = 0;
};

}  // namespace orvex
