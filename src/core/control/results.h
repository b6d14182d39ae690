#pragma once

#include <functional>
#include <string>
#include <vector>

#include "checks/checks.h"
#include "model/briscodoc.h"

// The tables of the results of the last run: one row per road, node or fan
// of a document, in the units of the installation's units file, as texts
// with the values they sort by. Numbers have a fixed number of decimals
// (those of the batch report); a cell without a value (the resistance of a
// fixed-flow road) is empty and has no sort value.
namespace orvex {

enum class ResultsTab { Roads, Nodes, Fans, Checks };

struct ResultsColumn {
    int id;               // the table's column enum
    std::string title;    // with its unit in brackets
    std::string toolTip;  // what the column holds
    bool numeric;         // right-aligned
};

struct ResultsCell {
    enum class Sort { None, Number, Text };
    std::string text;
    Sort sort = Sort::None;  // None: an empty cell, sorted after every number
    double value = 0;        // the value sorted by, for Number
};

struct ResultsTable {
    std::vector<ResultsColumn> columns;
    std::vector<std::vector<ResultsCell>> rows;

    // The column's section, -1 when the table does not show it.
    int section(int id) const;
};

// Roads 1..Nr+Nf (normal roads, then the fixed-flow roads); the fire
// columns only after a fire run.
enum class RoadColumn {
    Number, From, To, Name, Kind, Airflow, SetAirflow, MassFlow, PressureLoss, Resistance,
    Direction, MeanTemperature, OutletTemperature, Gas, Velocity, GasArrival, PeakGas, PeakTemperature, Untenable
};
// Nodes 1..N, the surface nodes first.
enum class NodeColumn { Number, Position, Elevation, Pressure, RelativePressure };
// The design checks' findings of the window's last run, in their order.
enum class CheckColumn { Severity, Kind, Element, Value, Limit, Unit, Reason };
// Fans 1..F.
enum class FanColumn {
    Number, Inlet, Outlet, Heading, Airflow, Pressure, Power, CurveEnd, OperatingPoint, Margin, ShaftPower, Cost
};

// Cells as the results tables make them: a number with its decimals (empty
// for NaN and infinite values), a whole number, a text.
ResultsCell finiteNumberCell(double value, int decimals);
ResultsCell wholeCell(int value);
ResultsCell textCell(const std::string& value);

// Texts read from the network's files (road names, fan headings) as UTF-8.
using FileTextDecoder = std::function<std::string(const std::string&)>;

ResultsTable resultsTable(ResultsTab tab, const CBriscoDoc& doc, const FileTextDecoder& decode);
// The columns and the one row of a road, node index or fan (1..); no row
// when there is no such element.
ResultsTable resultsRecord(ResultsTab tab, const CBriscoDoc& doc, int element, const FileTextDecoder& decode);

// The road, node index or fan a row of the table stands for (1..); for a
// finding, its index (1..).
int elementOfRow(ResultsTab tab, int row);

// What a finding points at on the plan: a road, a fan, or a loop's first node.
struct CheckTarget {
    ResultsTab tab = ResultsTab::Roads;  // Roads, Nodes or Fans
    int element = 0;                     // 0: nothing
};
CheckTarget checkTarget(const CBriscoDoc& doc, int finding);

// The findings' table parts.
std::vector<ResultsColumn> checkColumns();
std::vector<ResultsCell> checkRow(const CBriscoDoc& doc, int finding);
std::vector<ResultsCell> findingRow(const Finding& finding);
int findingCount(const CBriscoDoc& doc);
// The row of the table that stands for an element, the other way round.
int rowOfElement(ResultsTab tab, int element);

// The pressure of node i above the lowest surface pressure (above node 1
// when there is no surface node), display unit. The same as node kind 3,
// computed here from the node pressures so that the table does not
// overwrite the display values the plan shows beside the nodes.
double relativePressure(const CBriscoDoc& doc, int i);
// Whether the document holds the results of a fire run: a finish time above
// 0 and a run that simulated at least one step.
bool hasFireResults(const CBriscoDoc& doc);

}  // namespace orvex
