#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "control/results.h"
#include "model/briscodoc.h"
#include "scenario/compare.h"
#include "scenario/runcases.h"
#include "scenario/scenario.h"

// What a network window decides about what-if runs, apart from its widgets:
// comparing its network with another one, the scenarios of its Scenarios
// dialog, the change of each of its roads that colours its plan, the
// Differences tab of its results and the table of cases. Every run is made
// on copies; the window's own document is never changed.
namespace orvex {

// Which run of a comparison the window's own network made. "Compare
// with…" holds the window against the chosen network (the base); a
// scenario's case is held against the window's network.
enum class WindowSide { Base, Other };

// The ends (node numbers) of a network's roads by index, slot 0 unused: the
// network as a comparison saw it.
using RoadEnds = std::vector<std::pair<int, int>>;
RoadEnds roadEndsOf(const CBriscoDoc& doc);

// A comparison as a window shows it.
struct WindowComparison {
    Comparison comparison;
    WindowSide side = WindowSide::Base;
    std::string against;  // the other run's name, for the legend: "mine.vad", "fan 10-3 off"
    RoadEnds ran;         // the window's network when it ran
};

// The window's own index of a compared road or fan.
int windowRoad(const RoadChange& road, WindowSide side);
int windowFan(const FanChange& fan, WindowSide side);

// The change of airflow of each road of `doc` (the window's network as it
// stands), by road index 1.. (slot 0 unused), in the flow unit; NaN where a
// road was not compared or no longer joins the nodes it joined in the run.
std::vector<float> flowChangeByRoad(const WindowComparison& shown, const CBriscoDoc& doc);
// Whether the window's network was edited since the run: its roads differ.
bool comparisonOutdated(const WindowComparison& shown, const CBriscoDoc& doc);

// --- the Differences tab ---
enum class DifferenceColumn { From, To, BaseFlow, Flow, Change, ChangePercent, Reversed };
enum class FanDifferenceColumn { Inlet, Outlet, BaseFlow, Flow, Change, BasePressure, Pressure };
struct DifferenceTables {
    ResultsTable roads, fans, checks;  // checks: "appeared" or "disappeared", then a finding's columns
    std::vector<int> roadOfRow, fanOfRow;  // the window's road or fan of each row, 0: none
    std::vector<NodePair> roadEndsOfRow, fanEndsOfRow;  // its first and second node (inlet, outlet) then
    std::vector<Finding> findingOfRow;                  // of the checks' rows
};
// The window's road or fan a row is about, as its network stands now: the
// one of the run while it still joins the same nodes, else the first that
// does (an edit renumbered it); 0 when none does.
int rowRoad(const DifferenceTables& tables, int row, const CBriscoDoc& doc);
int rowFan(const DifferenceTables& tables, int row, const CBriscoDoc& doc);
// What a check row marks in the window's network: the road or fan joining
// the nodes the finding names, else its first node; nothing when the
// network has none of them.
CheckTarget rowCheckTarget(const DifferenceTables& tables, int row, const CBriscoDoc& doc);
DifferenceTables differenceTables(const WindowComparison& shown, const std::string& flowUnit,
                                  const std::string& pressureUnit);

// What only one network has, in a few lines naming the two.
std::string unsharedText(const Unshared& unshared, const std::string& baseName, const std::string& otherName);

// --- Compare with… ---
// The chosen network is the base. Both run on copies, each with the
// installation's check settings and its own; `shown` is set when there is
// something to colour, `message` says what the person should know.
struct CompareOutcome {
    bool compared = false;
    std::string message;
    WindowComparison shown;
};
CompareOutcome compareWindow(const CBriscoDoc& window, const CBriscoDoc& chosen, const std::string& chosenName);

// A network file opened for a comparison only, as a window opens it; its
// messages go to `reporter`, which outlives it. Null when it cannot be read.
// The application's pending file is left as it was.
std::unique_ptr<CBriscoDoc> openComparedNetwork(AppContext& app, Reporter& reporter, const std::string& path);

// The design checks' settings of a network, read quietly.
void readCheckSettings(const CBriscoDoc& doc, CheckDefaults& defaults, CheckOverrides& overrides);

// --- Scenarios… ---
// The base run and its cases, on a copy made before the run; run on a
// worker, it touches nothing else. The cases are sorted by severity.
struct ScenarioBatch {
    BaseRun base;
    std::vector<CaseResult> cases;
    RoadEnds ran;
    std::string problem;  // the base did not converge: nothing was run
};
ScenarioBatch runScenarioBatch(CBriscoDoc& copy, const std::vector<Scenario>& scenarios, CaseSettings settings);

enum class CaseColumn {
    Case, Converged, NewViolations, NewWarnings, Reversed, BelowLimit, Changed, LargestChange, GasRoads, Problem
};
std::vector<ResultsColumn> caseColumns(const std::string& flowUnit);
std::vector<ResultsCell> caseRow(const CaseResult& result);

// The Scenarios dialog's state: whether Run and Stop may be used, what the
// text holds, the cases of the last run and the comparison a case shows.
class ScenarioSession {
public:
    enum class State { Idle, Running, Done };
    State state() const { return mState; }
    bool runEnabled() const { return mState != State::Running; }
    bool stopEnabled() const { return mState == State::Running; }

    // Reads the editor's text: false with the damaged lines ("line N: …"),
    // and then nothing is run.
    bool prepare(const std::string& text, std::vector<Scenario>& scenarios, std::vector<std::string>& errors) const;
    void started();
    // The run is over; a stopped run keeps the cases that finished.
    void finished(ScenarioBatch batch);
    const ScenarioBatch& batch() const { return mBatch; }
    ResultsTable caseTable(const std::string& flowUnit) const;
    // A row's case (0..) against the window's network; false for no such case
    // or one that was not run.
    bool caseComparison(int row, WindowComparison& shown) const;
    // "12 of 49 cases", or why there are none.
    std::string summary() const;

private:
    State mState = State::Idle;
    ScenarioBatch mBatch;
};

}  // namespace orvex
