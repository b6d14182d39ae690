#include "analysis/fan.h"
#include "analysis/quantities.h"
#include "fire/fire.h"
#include "results/resultsmodels.h"

#include <algorithm>
#include <cmath>

#include "analysis/networkcheck.h"
#include "model/physics.h"
#include "view/displaytext.h"

namespace orvex::gui {

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

// The words of the tables: a water network has flows, pipes and free
// surfaces where a mine has airflows, roads and surface nodes.
struct Wording {
    QString flow, normalRoad, surface, underground, power;
};

Wording wordingOf(const CBriscoDoc& doc)
{
    if (doc.isWater())
        return {"Flow", "pipe", "free surface", "junction", "Power"};
    return {"Airflow", "normal", "surface", "underground", "Air power"};
}

const UnitsSettings& unitsOf(const CBriscoDoc& doc) { return doc.app().units; }

}  // namespace

// --- the table ---------------------------------------------------------------

ResultsTableModel::ResultsTableModel(const CBriscoDoc& doc, QObject* parent)
    : QAbstractTableModel(parent), mDoc(doc)
{
}

int ResultsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(mRows.size());
}

int ResultsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(mColumns.size());
}

QVariant ResultsTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(mRows.size()) || index.column() >= int(mColumns.size()))
        return {};
    const Cell& cell = mRows[std::size_t(index.row())][std::size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole: return cell.text;
    case kSortRole: return cell.sortKey;
    case Qt::TextAlignmentRole:
        return mColumns[std::size_t(index.column())].numeric
            ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
            : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant ResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(mColumns.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    const ColumnSpec& column = mColumns[std::size_t(section)];
    switch (role) {
    case Qt::DisplayRole: return column.title;
    case Qt::ToolTipRole: return column.toolTip;
    case Qt::TextAlignmentRole:
        return column.numeric ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                              : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

void ResultsTableModel::refresh()
{
    beginResetModel();
    mColumns = buildColumns();
    mRows.clear();
    const int count = recordCount();
    mRows.reserve(std::size_t(std::max(count, 0)));
    for (int row = 0; row < count; ++row)
        mRows.push_back(buildRow(row));
    endResetModel();
}

int ResultsTableModel::sectionOf(int id) const
{
    for (std::size_t s = 0; s < mColumns.size(); ++s)
        if (mColumns[s].id == id)
            return int(s);
    return -1;
}

ResultsTableModel::Cell ResultsTableModel::number(double value, int decimals)
{
    // A small negative value would round to "-0.000"; it is shown as 0.
    const double shown = std::fabs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value;
    return {QString::number(shown, 'f', decimals), value};
}

ResultsTableModel::Cell ResultsTableModel::whole(int value) { return {QString::number(value), double(value)}; }

ResultsTableModel::Cell ResultsTableModel::text(const QString& value) { return {value, value}; }

QString ResultsTableModel::withUnit(const QString& name, const std::string& unit)
{
    return unit.empty() ? name : name + " (" + QString::fromStdString(unit) + ")";
}

bool hasFireResults(const CBriscoDoc& doc)
{
    return doc.fire.finishTime > 0 && fireWork(doc).simulatedMinutes > 0;
}

// --- roads -------------------------------------------------------------------

RoadResultsModel::RoadResultsModel(const CBriscoDoc& doc, QObject* parent)
    : ResultsTableModel(doc, parent)
{
    refresh();
}

int RoadResultsModel::recordCount() const { return document().totalRoads(); }

std::vector<ResultsTableModel::ColumnSpec> RoadResultsModel::buildColumns() const
{
    const CBriscoDoc& doc = document();
    const UnitsSettings& u = unitsOf(doc);
    const Wording w = wordingOf(doc);
    const std::string flow = u.flowUnitName.str(), pressure = u.pressureUnitName.str();
    std::vector<ColumnSpec> columns = {
        {int(Column::Number), "No.", "1.. the normal roads, then the fixed-flow roads", true},
        {int(Column::From), "From", "The first node; a positive flow runs from it to the second", true},
        {int(Column::To), "To", "The second node", true},
        {int(Column::Name), "Name", "The name from the road name file", false},
        {int(Column::Kind), "Kind", "A normal road, or a road with a set flow", false},
        {int(Column::Airflow), withUnit(w.flow, flow),
         "The flow the road carries at standard density: its mass flow over the specific weight", true},
        {int(Column::SetAirflow), withUnit("Set " + w.flow.toLower(), flow),
         "Fixed-flow roads: the flow set in the network file (0 is a connection whose flow "
         "follows from continuity)", true},
        {int(Column::MassFlow), "Mass flow (kg/s)", "Positive from the first node to the second", true},
        {int(Column::PressureLoss), withUnit("Pressure loss", pressure),
         "The pressure drop along the road; fixed-flow roads: the pressure difference of its ends", true},
        {int(Column::Resistance), withUnit("Resistance", u.resistanceUnitName.str()),
         "Normal roads: the resistance of the road law", true},
        {int(Column::Direction), "Direction",
         "Forward: from the first node to the second; reverse: the other way", false},
    };
    if (hasFireResults(doc)) {
        columns.push_back({int(Column::MeanTemperature), "Mean temp (°C)",
                           "The mean air temperature along the road at the end of the fire run", true});
        columns.push_back({int(Column::OutletTemperature), "Outlet temp (°C)",
                           "The temperature of the air leaving the road", true});
        columns.push_back({int(Column::Gas), "Gas (%)", "Fire gas in the newest air of the road", true});
    }
    return columns;
}

std::vector<ResultsTableModel::Cell> RoadResultsModel::buildRow(int row) const
{
    const CBriscoDoc& doc = document();
    const int k = roadOfRow(row);
    const Road& road = doc.roads[std::size_t(k)];
    const bool fixed = k > doc.roadCount;
    float loss = 0, resistance = 0, roadClass = 0;
    roadValue(doc, k, 4, loss);
    roadValue(doc, k, 5, resistance);
    roadValue(doc, k, 3, roadClass);
    // The flow carried, for both kinds of road. For a normal road this is
    // its standard flow (kind 1); for a fixed-flow road kind 1 is the set
    // value, which a connection set to 0 does not carry.
    const double carried = doc.specificWeight != 0 ? double(road.massFlow) / doc.specificWeight : 0.0;
    // The solver keeps the direction as the road class only for the roads
    // with an alternative resistance; for the others it follows, by the same
    // rule, from the sign of the mass flow.
    QString direction;
    if (roadClass == 1.0f || roadClass == 2.0f)
        direction = roadClass == 2.0f ? "reverse" : "forward";
    else if (road.massFlow != 0)
        direction = road.massFlow < 0 ? "reverse" : "forward";
    else
        direction = "none";

    std::vector<Cell> cells;
    for (const ColumnSpec& column : columns()) {
        switch (Column(column.id)) {
        case Column::Number: cells.push_back(whole(k)); break;
        case Column::From: cells.push_back(whole(road.first)); break;
        case Column::To: cells.push_back(whole(road.second)); break;
        case Column::Name: cells.push_back(text(displayText(road.name.str()))); break;
        case Column::Kind: cells.push_back(text(fixed ? "fixed flow" : wordingOf(doc).normalRoad)); break;
        case Column::Airflow: cells.push_back(number(carried, kFlowDecimals)); break;
        case Column::SetAirflow: cells.push_back(fixed ? number(road.resistance, kFlowDecimals) : Cell{}); break;
        case Column::MassFlow: cells.push_back(number(road.massFlow, kMassFlowDecimals)); break;
        case Column::PressureLoss: cells.push_back(number(loss, kLossDecimals)); break;
        case Column::Resistance: {
            // Very large water pipe resistances in the exponent form.
            if (fixed)
                cells.push_back({});
            else if (std::fabs(resistance) >= 1e6f)
                cells.push_back({QString::number(double(resistance), 'g', 6), double(resistance)});
            else
                cells.push_back(number(resistance, kResistanceDecimals));
            break;
        }
        case Column::Direction: cells.push_back(text(direction)); break;
        case Column::MeanTemperature: {
            float mean = 0;
            roadValue(doc, k, 14, mean);
            cells.push_back(fixed ? Cell{} : number(mean, kTemperatureDecimals));
            break;
        }
        case Column::OutletTemperature:
            cells.push_back(fixed ? Cell{} : number(road.outletTemperature, kTemperatureDecimals));
            break;
        case Column::Gas: cells.push_back(fixed ? Cell{} : number(road.gasConcentration, kGasDecimals)); break;
        }
    }
    return cells;
}

// --- nodes -------------------------------------------------------------------

NodeResultsModel::NodeResultsModel(const CBriscoDoc& doc, QObject* parent)
    : ResultsTableModel(doc, parent)
{
    refresh();
}

int NodeResultsModel::recordCount() const { return document().nodeCount; }

double NodeResultsModel::relativePressure(const CBriscoDoc& doc, int i)
{
    const double unit = unitsOf(doc).pressureUnitFactor;
    if (doc.nodeCount < 1 || unit == 0)
        return 0;
    double reference = doc.nodes[1].pressure;
    for (int s = 2; s <= doc.surfaceCount; ++s)
        reference = std::min(reference, doc.nodes[std::size_t(s)].pressure);
    return (doc.nodes[std::size_t(i)].pressure - reference) / unit;
}

std::vector<ResultsTableModel::ColumnSpec> NodeResultsModel::buildColumns() const
{
    const std::string pressure = unitsOf(document()).pressureUnitName.str();
    const Wording w = wordingOf(document());
    return {
        {int(Column::Number), "Node", "The node number", true},
        {int(Column::Position), "Position",
         "A " + w.surface + " node holds its pressure; the " + w.underground + " nodes follow from it", false},
        {int(Column::Elevation), "Elevation (m)", "", true},
        {int(Column::Pressure), withUnit("Pressure", pressure), "The absolute pressure", true},
        {int(Column::RelativePressure), withUnit("Relative pressure", pressure),
         "The pressure above that of the lowest surface node", true},
    };
}

std::vector<ResultsTableModel::Cell> NodeResultsModel::buildRow(int row) const
{
    const CBriscoDoc& doc = document();
    const int i = nodeIndexOfRow(row);
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

// --- fans --------------------------------------------------------------------

FanResultsModel::FanResultsModel(const CBriscoDoc& doc, QObject* parent)
    : ResultsTableModel(doc, parent)
{
    refresh();
}

int FanResultsModel::recordCount() const { return document().fanCount; }

double FanResultsModel::powerKw(const CBriscoDoc& doc, int f)
{
    const UnitsSettings& u = unitsOf(doc);
    const Fan& fan = doc.fans[std::size_t(f)];
    const double pascal = double(fan.pressure) * u.pressureUnitFactor * kPascalPerKgfM2;
    const double cubicMetresPerSecond = double(fan.fanFlow) * u.flowUnitFactor;
    return pascal * cubicMetresPerSecond / 1000.0;
}

std::vector<ResultsTableModel::ColumnSpec> FanResultsModel::buildColumns() const
{
    const UnitsSettings& u = unitsOf(document());
    const Wording w = wordingOf(document());
    const std::string flow = u.flowUnitName.str();
    return {
        {int(Column::Number), "No.", "", true},
        {int(Column::Inlet), "Inlet", "The node the fan draws from", true},
        {int(Column::Outlet), "Outlet", "The node the fan delivers to", true},
        {int(Column::Heading), "Heading", "The fan's heading line in the network file", false},
        {int(Column::Airflow), withUnit(w.flow, flow), "The fan's flow at standard density", true},
        {int(Column::Pressure), withUnit("Pressure", u.pressureUnitName.str()),
         "The fan's pressure at that flow, on its curve", true},
        {int(Column::Power), w.power + " (kW)", "Pressure times flow", true},
        {int(Column::CurveEnd), withUnit("Curve end", flow), "The flow of the curve's last point", true},
        {int(Column::OperatingPoint), "Operating point",
         "Whether the fan settled on its curve, between zero flow and the curve's last point, "
         "and why not", false},
    };
}

std::vector<ResultsTableModel::Cell> FanResultsModel::buildRow(int row) const
{
    const CBriscoDoc& doc = document();
    const int f = fanOfRow(row);
    const Fan& fan = doc.fans[std::size_t(f)];
    // New fans get the heading "Fan:"; show what follows that label.
    QString heading = displayText(doc.fanHeadings[std::size_t(f)].str()).trimmed();
    if (heading.startsWith("Fan:"))
        heading = heading.mid(4).trimmed();
    const QString point = QString::fromStdString(fanPointText(fanPoint(doc, f).kind));
    const bool curve = fanCanOperate(doc, f);
    return {
        whole(f),
        whole(fan.inlet),
        whole(fan.outlet),
        text(heading),
        number(fan.fanFlow, kFlowDecimals),
        number(fan.pressure, kFanPressureDecimals),
        number(powerKw(doc, f), kPowerDecimals),
        curve ? number(double(fan.points - 1) * fan.flowStep, kFlowDecimals) : Cell{},
        text(point),
    };
}

}  // namespace orvex::gui
