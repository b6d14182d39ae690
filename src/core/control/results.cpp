#include "analysis/fan.h"
#include "analysis/quantities.h"
#include "control/results.h"

#include <algorithm>
#include <cmath>

#include "analysis/networkcheck.h"
#include "checks/checks.h"
#include "control/resultstext.h"
#include "fire/fire.h"
#include "model/physics.h"

namespace orvex {

namespace {

// Decimals of the shown numbers, those of the batch report's text tables.
constexpr int kFlowDecimals = 3;
constexpr int kMassFlowDecimals = 4;
constexpr int kLossDecimals = 3;
constexpr int kResistanceDecimals = 4;
constexpr int kElevationDecimals = 1;
constexpr int kNodePressureDecimals = 2;
constexpr int kFanPressureDecimals = 3;
constexpr int kPowerDecimals = 3;
constexpr int kTemperatureDecimals = 1;
constexpr int kGasDecimals = 3;
constexpr int kVelocityDecimals = 2;
constexpr int kMinuteDecimals = 1;
// Resistances from here up (very large water pipe resistances) in the
// exponent form, with this many significant digits.
constexpr float kExponentResistance = 1e6f;
constexpr int kResistanceDigits = 6;

// The words of the tables: a water network has flows, pipes and free
// surfaces where a mine has airflows, roads and surface nodes.
struct Wording {
    std::string flow, normalRoad, surface, underground, power;
};

Wording wordingOf(const CBriscoDoc& doc)
{
    if (doc.isWater())
        return {"Flow", "pipe", "free surface", "junction", "Power"};
    return {"Airflow", "normal", "surface", "underground", "Air power"};
}

const UnitsSettings& unitsOf(const CBriscoDoc& doc) { return doc.app().units; }

std::string withUnit(const std::string& name, const std::string& unit)
{
    return unit.empty() ? name : name + " (" + unit + ")";
}

ResultsCell number(double value, int decimals)
{
    // A small negative value would round to "-0.000"; it is shown as 0.
    const double shown = std::fabs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value;
    return {fixedText(shown, decimals), ResultsCell::Sort::Number, value};
}

// No value (NaN: no cross-section, no gas came) is an empty cell.
ResultsCell finiteNumber(double value, int decimals)
{
    return std::isfinite(value) ? number(value, decimals) : ResultsCell{};
}

ResultsCell whole(int value) { return {std::to_string(value), ResultsCell::Sort::Number, double(value)}; }

ResultsCell text(const std::string& value) { return {value, ResultsCell::Sort::Text, 0}; }

template <typename Column> ResultsColumn column(Column id, std::string title, std::string tip, bool numeric)
{
    return {int(id), std::move(title), std::move(tip), numeric};
}

}  // namespace

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The length of the white space (as Unicode counts it) that text holds at
// `at` in UTF-8, 0 when there is none.
std::size_t spaceAt(const std::string& text, std::size_t at)
{
    static const char* const kSpaces[] = {
        "\t", "\n", "\v", "\f", "\r", " ", "\u0085", "\u00a0", "\u1680", "\u2000", "\u2001", "\u2002",
        "\u2003", "\u2004", "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200a", "\u2028",
        "\u2029", "\u202f", "\u205f", "\u3000"};
    for (const char* space : kSpaces)
        if (text.compare(at, std::char_traits<char>::length(space), space) == 0)
            return std::char_traits<char>::length(space);
    return 0;
}

// The text without the white space at its ends.
std::string trimmed(const std::string& text)
{
    std::size_t begin = 0;
    for (std::size_t n; begin < text.size() && (n = spaceAt(text, begin)) > 0;)
        begin += n;
    std::size_t end = text.size();
    for (bool cut = true; cut && end > begin;) {
        cut = false;
        for (std::size_t n = 1; n <= 3 && n <= end - begin; ++n)
            if (spaceAt(text, end - n) == n) {
                end -= n;
                cut = true;
                break;
            }
    }
    return text.substr(begin, end - begin);
}

std::vector<ResultsColumn> roadColumns(const CBriscoDoc& doc)
{
    using C = RoadColumn;
    const UnitsSettings& u = unitsOf(doc);
    const Wording w = wordingOf(doc);
    const std::string flow = u.flowUnitName.str(), pressure = u.pressureUnitName.str();
    std::vector<ResultsColumn> columns = {
        column(C::Number, "No.", "1.. the normal roads, then the fixed-flow roads", true),
        column(C::From, "From", "The first node; a positive flow runs from it to the second", true),
        column(C::To, "To", "The second node", true),
        column(C::Name, "Name", "The name from the road name file", false),
        column(C::Kind, "Kind", "A normal road, or a road with a set flow", false),
        column(C::Airflow, withUnit(w.flow, flow),
               "The flow the road carries at standard density: its mass flow over the specific weight", true),
        column(C::SetAirflow, withUnit("Set " + lowered(w.flow), flow),
               "Fixed-flow roads: the flow set in the network file (0 is a connection whose flow "
               "follows from continuity)", true),
        column(C::MassFlow, "Mass flow (kg/s)", "Positive from the first node to the second", true),
        column(C::PressureLoss, withUnit("Pressure loss", pressure),
               "The pressure drop along the road; fixed-flow roads: the pressure difference of its ends", true),
        column(C::Resistance, withUnit("Resistance", u.resistanceUnitName.str()),
               "Normal roads: the resistance of the road law", true),
        column(C::Direction, "Direction", "Forward: from the first node to the second; reverse: the other way",
               false),
        column(C::Velocity, "Velocity (m/s)",
               !doc.isWater() ? "The air's speed: the airflow at the road's own density over its cross-section"
                                   : "The water's speed: the flow over the pipe's bore", true),
    };
    if (hasFireResults(doc)) {
        columns.push_back(column(C::MeanTemperature, "Mean temp (°C)",
                                 "The mean air temperature along the road at the end of the fire run", true));
        columns.push_back(column(C::OutletTemperature, "Outlet temp (°C)",
                                 "The temperature of the air leaving the road", true));
        columns.push_back(column(C::Gas, "Gas (%)", "Fire gas in the newest air of the road", true));
        columns.push_back(column(C::GasArrival, "Gas arrival (min)",
                                 "When fire gas first entered the road; empty where none came", true));
        columns.push_back(column(C::PeakGas, "Peak gas (%)", "The most fire gas the road's air held", true));
        columns.push_back(column(C::PeakTemperature, "Peak temp (°C)",
                                 "The hottest air that entered the road", true));
        columns.push_back(column(C::Untenable, "Untenable (min)",
                                 "When the road's air first passed the escape limits of fire gas or heat; empty "
                                 "where it never did",
                                 true));
    }
    return columns;
}

// The solver keeps the direction as the road class only for the roads with
// an alternative resistance; for the others it follows, by the same rule,
// from the sign of the mass flow.
std::string directionOf(float roadClass, float massFlow)
{
    if (roadClass == 1.0f || roadClass == 2.0f)
        return roadClass == 2.0f ? "reverse" : "forward";
    if (massFlow != 0)
        return massFlow < 0 ? "reverse" : "forward";
    return "none";
}

ResultsCell resistanceCell(float resistance)
{
    if (std::fabs(resistance) >= kExponentResistance)
        return {significantText(double(resistance), kResistanceDigits), ResultsCell::Sort::Number,
                double(resistance)};
    return number(resistance, kResistanceDecimals);
}

ResultsCell roadCell(const CBriscoDoc& doc, int k, RoadColumn id, const FileTextDecoder& decode)
{
    const Road& road = doc.roads[std::size_t(k)];
    const bool fixed = k > doc.roadCount;
    const auto value = [&](int kind) {
        float v = 0;
        roadValue(doc, k, kind, v);
        return v;
    };
    switch (id) {
    case RoadColumn::Number: return whole(k);
    case RoadColumn::From: return whole(road.first);
    case RoadColumn::To: return whole(road.second);
    case RoadColumn::Name: return text(decode(road.name.str()));
    case RoadColumn::Kind: return text(fixed ? "fixed flow" : wordingOf(doc).normalRoad);
    // The flow carried, for both kinds of road. For a normal road this is
    // its standard flow (kind 1); for a fixed-flow road kind 1 is the set
    // value, which a connection set to 0 does not carry.
    case RoadColumn::Airflow:
        return number(doc.specificWeight != 0 ? double(road.massFlow) / doc.specificWeight : 0.0, kFlowDecimals);
    case RoadColumn::SetAirflow: return fixed ? number(road.resistance, kFlowDecimals) : ResultsCell{};
    case RoadColumn::MassFlow: return number(road.massFlow, kMassFlowDecimals);
    case RoadColumn::PressureLoss: return number(value(4), kLossDecimals);
    case RoadColumn::Resistance: return fixed ? ResultsCell{} : resistanceCell(value(5));
    case RoadColumn::Direction: return text(directionOf(value(3), road.massFlow));
    case RoadColumn::MeanTemperature: return fixed ? ResultsCell{} : number(value(14), kTemperatureDecimals);
    case RoadColumn::OutletTemperature:
        return fixed ? ResultsCell{} : number(road.outletTemperature, kTemperatureDecimals);
    case RoadColumn::Gas: return fixed ? ResultsCell{} : number(road.gasConcentration, kGasDecimals);
    case RoadColumn::Velocity: return finiteNumber(value(kVelocityKind), kVelocityDecimals);
    case RoadColumn::GasArrival: return fixed ? ResultsCell{} : finiteNumber(road.gasArrival, kMinuteDecimals);
    case RoadColumn::PeakGas: return fixed ? ResultsCell{} : finiteNumber(road.peakGas, kGasDecimals);
    case RoadColumn::PeakTemperature:
        return fixed ? ResultsCell{} : finiteNumber(road.peakTemperature, kTemperatureDecimals);
    case RoadColumn::Untenable: return fixed ? ResultsCell{} : finiteNumber(road.untenableAt, kMinuteDecimals);
    }
    return {};
}

std::vector<ResultsColumn> nodeColumns(const CBriscoDoc& doc)
{
    using C = NodeColumn;
    const std::string pressure = unitsOf(doc).pressureUnitName.str();
    const Wording w = wordingOf(doc);
    return {
        column(C::Number, "Node", "The node number", true),
        column(C::Position, "Position",
               "A " + w.surface + " node holds its pressure; the " + w.underground + " nodes follow from it", false),
        column(C::Elevation, "Elevation (m)", "", true),
        column(C::Pressure, withUnit("Pressure", pressure), "The absolute pressure", true),
        column(C::RelativePressure, withUnit("Relative pressure", pressure),
               "The pressure above that of the lowest surface node", true),
    };
}

std::vector<ResultsCell> nodeRow(const CBriscoDoc& doc, int i)
{
    const Node& node = doc.nodes[std::size_t(i)];
    const Wording w = wordingOf(doc);
    const double unit = unitsOf(doc).pressureUnitFactor;
    return {
        whole(node.number),
        text(i <= doc.surfaceCount ? w.surface : w.underground),
        number(node.elevation, kElevationDecimals),
        number(unit != 0 ? node.pressure / unit : 0.0, kNodePressureDecimals),
        number(relativePressure(doc, i), kNodePressureDecimals),
    };
}

std::vector<ResultsColumn> fanColumns(const CBriscoDoc& doc)
{
    using C = FanColumn;
    const UnitsSettings& u = unitsOf(doc);
    const Wording w = wordingOf(doc);
    const std::string flow = u.flowUnitName.str();
    return {
        column(C::Number, "No.", "", true),
        column(C::Inlet, "Inlet", "The node the fan draws from", true),
        column(C::Outlet, "Outlet", "The node the fan delivers to", true),
        column(C::Heading, "Heading", "The fan's heading line in the network file", false),
        column(C::Airflow, withUnit(w.flow, flow), "The fan's flow at standard density", true),
        column(C::Pressure, withUnit("Pressure", u.pressureUnitName.str()),
               "The fan's pressure at that flow, on its curve", true),
        column(C::Power, w.power + " (kW)", "Pressure times flow", true),
        column(C::CurveEnd, withUnit("Curve end", flow), "The flow of the curve's last point", true),
        column(C::OperatingPoint, "Operating point",
               "Whether the fan settled on its curve, between zero flow and the curve's last point, "
               "and why not", false),
        column(C::Margin, "Margin (%)", "How far the pressure lies below the curve's peak, in % of the peak", true),
        column(C::ShaftPower, "Shaft power (kW)", "The air power over the fan's efficiency (docs/checks.md)", true),
        column(C::Cost, "Cost a year", "Shaft power times the hours a year times the energy price", true),
    };
}

std::vector<ResultsCell> fanRow(const CBriscoDoc& doc, int f, const FileTextDecoder& decode)
{
    const Fan& fan = doc.fans[std::size_t(f)];
    // New fans get the heading "Fan:"; show what follows that label.
    std::string heading = trimmed(decode(doc.fanHeadings[std::size_t(f)].str()));
    if (heading.compare(0, 4, "Fan:") == 0)
        heading = trimmed(heading.substr(4));
    const bool curve = fanCanOperate(doc, f);
    const CheckWork& work = checkWork(doc);
    const FanDuty duty = fanDuty(doc, f, work.defaults, work.overrides);
    return {
        whole(f),
        whole(fan.inlet),
        whole(fan.outlet),
        text(heading),
        number(fan.fanFlow, kFlowDecimals),
        number(fan.pressure, kFanPressureDecimals),
        number(fanPowerKw(doc, f), kPowerDecimals),
        curve ? number(double(fan.points - 1) * fan.flowStep, kFlowDecimals) : ResultsCell{},
        text(fanPointText(fanPoint(doc, f).kind)),
        std::isfinite(duty.margin) ? number(duty.margin, 1) : ResultsCell{},
        number(duty.shaftPowerKw, kPowerDecimals),
        number(duty.costPerYear, 0),
    };
}

}  // namespace

int ResultsTable::section(int id) const
{
    for (std::size_t s = 0; s < columns.size(); ++s)
        if (columns[s].id == id)
            return int(s);
    return -1;
}

namespace {

std::vector<ResultsColumn> columnsOf(ResultsTab tab, const CBriscoDoc& doc)
{
    switch (tab) {
    case ResultsTab::Roads: return roadColumns(doc);
    case ResultsTab::Nodes: return nodeColumns(doc);
    case ResultsTab::Fans: return fanColumns(doc);
    case ResultsTab::Checks: return checkColumns();
    }
    return {};
}

int elementCount(ResultsTab tab, const CBriscoDoc& doc)
{
    switch (tab) {
    case ResultsTab::Roads: return doc.totalRoads();
    case ResultsTab::Nodes: return doc.nodeCount;
    case ResultsTab::Fans: return doc.fanCount;
    case ResultsTab::Checks: return findingCount(doc);
    }
    return 0;
}

std::vector<ResultsCell> rowOf(ResultsTab tab, const CBriscoDoc& doc, const std::vector<ResultsColumn>& columns,
                               int element, const FileTextDecoder& decode)
{
    switch (tab) {
    case ResultsTab::Roads: {
        std::vector<ResultsCell> row;
        for (const ResultsColumn& c : columns)
            row.push_back(roadCell(doc, element, RoadColumn(c.id), decode));
        return row;
    }
    case ResultsTab::Nodes: return nodeRow(doc, element);
    case ResultsTab::Fans: return fanRow(doc, element, decode);
    case ResultsTab::Checks: return checkRow(doc, element);
    }
    return {};
}

}  // namespace

ResultsTable resultsTable(ResultsTab tab, const CBriscoDoc& doc, const FileTextDecoder& decode)
{
    ResultsTable table;
    table.columns = columnsOf(tab, doc);
    for (int element = 1; element <= elementCount(tab, doc); ++element)
        table.rows.push_back(rowOf(tab, doc, table.columns, element, decode));
    return table;
}

ResultsTable resultsRecord(ResultsTab tab, const CBriscoDoc& doc, int element, const FileTextDecoder& decode)
{
    ResultsTable table;
    table.columns = columnsOf(tab, doc);
    if (element >= 1 && element <= elementCount(tab, doc))
        table.rows.push_back(rowOf(tab, doc, table.columns, element, decode));
    return table;
}

std::vector<ResultsColumn> checkColumns()
{
    using C = CheckColumn;
    return {
        column(C::Severity, "Severity", "Violation: outside a limit; warning: worth a look; note: for information", false),
        column(C::Kind, "Check", "Which check found it (docs/checks.md)", false),
        column(C::Element, "Element", "The road's or fan's nodes, or a loop's nodes in order", false),
        column(C::Value, "Value", "What was found", true),
        column(C::Limit, "Limit", "What it is held against", true),
        column(C::Unit, "Unit", "Of the value and the limit", false),
        column(C::Reason, "Reason", "Why it is a finding", false),
    };
}

int findingCount(const CBriscoDoc& doc) { return int(checkWork(doc).findings.size()); }

std::vector<ResultsCell> checkRow(const CBriscoDoc& doc, int finding)
{
    return findingRow(checkWork(doc).findings[std::size_t(finding - 1)]);
}

std::vector<ResultsCell> findingRow(const Finding& f)
{
    std::string element;
    for (const int n : f.nodes)
        element += (element.empty() ? "" : "-") + std::to_string(n);
    const auto optionalNumber = [](double v) { return std::isfinite(v) ? number(v, 3) : ResultsCell{}; };
    return {text(severityName(f.severity)), text(checkKindName(f.kind)), text(element), optionalNumber(f.value),
            optionalNumber(f.limit), text(f.unit), text(f.reason)};
}

CheckTarget checkTarget(const CBriscoDoc& doc, int finding)
{
    const std::vector<Finding>& findings = checkWork(doc).findings;
    if (finding < 1 || finding > int(findings.size()))
        return {};
    const Finding& f = findings[std::size_t(finding - 1)];
    if (f.road > 0)
        return {ResultsTab::Roads, f.road};
    if (f.fan > 0)
        return {ResultsTab::Fans, f.fan};
    if (!f.nodes.empty())
        return {ResultsTab::Nodes, doc.nodeIndex(f.nodes.front())};
    return {};
}

int elementOfRow(ResultsTab, int row) { return row + 1; }

int rowOfElement(ResultsTab, int element) { return element - 1; }

double relativePressure(const CBriscoDoc& doc, int i)
{
    const double unit = unitsOf(doc).pressureUnitFactor;
    if (doc.nodeCount < 1 || unit == 0)
        return 0;
    double reference = doc.nodes[1].pressure;
    for (int s = 2; s <= doc.surfaceCount; ++s)
        reference = std::min(reference, doc.nodes[std::size_t(s)].pressure);
    return (doc.nodes[std::size_t(i)].pressure - reference) / unit;
}

bool hasFireResults(const CBriscoDoc& doc)
{
    return doc.fire.finishTime > 0 && fireWork(doc).simulatedMinutes > 0;
}

ResultsCell finiteNumberCell(double value, int decimals) { return finiteNumber(value, decimals); }
ResultsCell wholeCell(int value) { return whole(value); }
ResultsCell textCell(const std::string& value) { return text(value); }

}  // namespace orvex
