#pragma once

#include <string>
#include <vector>

#include "model/briscodoc.h"

// What-if cases: named lists of changes made to a copy of a network, never
// to the network itself. A scenario file lists them (docs/scenarios.md):
//
//   # a comment
//   scenario "Main fan stopped"
//     fan-off 12 1
//   scenario "Door 14-15 left open, booster at 90 %"
//     resistance 14 15 = 0.05
//     fan-speed 20 21 0.9
//
// The changes: fan-off A B; fan-speed A B N; resistance A B = R;
// resistance A B * F; close A B [R]; open A B R; fixed-flow A B Q;
// fire NODE [MINUTES].
namespace orvex {

enum class ChangeKind {
    FanOff,          // the fan moves no air and lets none through
    FanSpeed,        // the fan laws: its airflows × n, its pressures × n²
    SetResistance,   // a normal road's resistance becomes value
    ScaleResistance, // a normal road's resistance × value
    Close,           // a door: the road's resistance becomes value, or kClosedResistanceFactor × the largest
    Open,            // the road's resistance becomes value; a new road where none joins the two nodes
    FixedFlow,       // a fixed-flow road's airflow becomes value (flow unit, + from a to b)
    Fire,            // a fire at node a, for value minutes (NaN: the network's finish time)
};
// "fan-off", "fan-speed", "resistance", "resistance", "close", "open", "fixed-flow", "fire".
const char* changeKeyword(ChangeKind kind);

struct Change {
    ChangeKind kind = ChangeKind::FanOff;
    int a = 0, b = 0;   // node numbers: the fan's inlet and outlet, the road's ends, the fire node
    double value = 0;   // as the kind says; NaN where the file gave none
    int line = 0;       // in the scenario file, 0 for a sweep's
};

struct Scenario {
    std::string name;
    std::vector<Change> changes;
    int line = 0;
    bool fire() const;  // a fire change makes the case a fire simulation
};

// A closed road without a resistance of its own: this many times the
// largest resistance of any normal road of the network, so that a door lets
// through a trace of the air the road carried, as a real one does.
constexpr double kClosedResistanceFactor = 10000;
// A fire of a sweep or a scenario when the network sets no finish time, min.
constexpr double kDefaultFireMinutes = 30;

// Reads a scenario file. False when it cannot be read, holds no scenario,
// or any line is damaged: then `errors` names each damaged line as
// "FILE:LINE: what is wrong", and no scenario is run.
bool readScenarioFile(const std::string& path, std::vector<Scenario>& scenarios, std::vector<std::string>& errors);
// The same from text; `name` stands for the file in the messages.
bool parseScenarios(const std::string& text, const std::string& name, std::vector<Scenario>& scenarios,
                    std::vector<std::string>& errors);
// The scenarios as a file holds them: reading the text gives them back.
std::string scenarioText(const std::vector<Scenario>& scenarios);

// Makes a scenario's changes to a document (a copy). Empty when every
// change was made; else the first change that names no such element or
// cannot be made, and the document is to be dropped.
std::string applyScenario(CBriscoDoc& doc, const Scenario& scenario);

// Two node numbers as the files and reports write a road or fan: "14-15".
std::string nodePairText(int a, int b);

// The cases of a sweep. A list of node numbers or node pairs ("14-15")
// limits it to those; an empty list takes every fan, every normal road, or
// every underground node.
enum class SweepKind { FansOff, RoadsClosed, FireNodes };
struct SweepItem {
    int a = 0, b = 0;  // a road's or fan's two nodes; a fire node in a
};
bool parseSweepKind(const std::string& text, SweepKind& kind);  // "fans-off", "roads-closed", "fire-nodes"
const char* sweepKindName(SweepKind kind);
// Reads "14-15,20-21" (roads) or "14,15" (fire nodes): false and `error`
// for a damaged list.
bool parseSweepList(const std::string& text, SweepKind kind, std::vector<SweepItem>& items, std::string& error);
std::vector<Scenario> sweepScenarios(const CBriscoDoc& doc, SweepKind kind, const std::vector<SweepItem>& items);

}  // namespace orvex
