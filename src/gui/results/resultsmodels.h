#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>
#include <vector>

#include "model/briscodoc.h"

// The tables of the results of the last run: one row per road, node or fan
// of a document, in the units of the installation's units file. Each model
// takes a snapshot of the document when it is made and at every refresh(),
// so a table stays consistent while the network changes under it (an edit,
// or a run in progress); the network window calls refresh() after a run and
// after an edit.
//
// Qt::DisplayRole is the shown text, numbers formatted with a fixed number of
// decimals (those of the batch report); kSortRole is the value to sort by, a
// double for numeric columns and the text for the others, so that 100 sorts
// after 20. A cell without a value (the resistance of a fixed-flow road) is
// empty and has no sort value; it sorts after every number.
namespace orvex::gui {

inline constexpr int kSortRole = Qt::UserRole;

class ResultsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The column's name with its unit in brackets, as the header, the copied
    // text and the CSV file show it; the tool tip says what the column holds.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const CBriscoDoc& document() const { return mDoc; }

public slots:
    // Takes a new snapshot of the document (a model reset).
    void refresh();

protected:
    struct Cell {
        QString text;
        QVariant sortKey;  // invalid for an empty cell
    };
    struct ColumnSpec {
        int id;            // the subclass's Column value
        QString title;     // with its unit
        QString toolTip;
        bool numeric;      // right-aligned
    };

    ResultsTableModel(const CBriscoDoc& doc, QObject* parent);
    // Called by refresh(): the columns, then one row of cells per record.
    virtual std::vector<ColumnSpec> buildColumns() const = 0;
    virtual std::vector<Cell> buildRow(int row) const = 0;
    virtual int recordCount() const = 0;

    int sectionOf(int id) const;
    // The columns of the snapshot being taken, in their order.
    const std::vector<ColumnSpec>& columns() const { return mColumns; }

    static Cell number(double value, int decimals);
    static Cell whole(int value);
    static Cell text(const QString& value);
    static QString withUnit(const QString& name, const std::string& unit);

private:
    const CBriscoDoc& mDoc;
    std::vector<ColumnSpec> mColumns;
    std::vector<std::vector<Cell>> mRows;
};

// Roads 1..Nr+Nf (normal roads, then the fixed-flow roads): row r is road
// r + 1. The fire columns are there only after a fire run.
class RoadResultsModel : public ResultsTableModel {
    Q_OBJECT
public:
    enum class Column {
        Number, From, To, Name, Kind, Airflow, SetAirflow, MassFlow, PressureLoss, Resistance,
        Direction, MeanTemperature, OutletTemperature, Gas
    };
    explicit RoadResultsModel(const CBriscoDoc& doc, QObject* parent = nullptr);

    // The column's section, -1 when the table does not show it.
    int section(Column column) const { return sectionOf(int(column)); }
    static int roadOfRow(int row) { return row + 1; }

protected:
    std::vector<ColumnSpec> buildColumns() const override;
    std::vector<Cell> buildRow(int row) const override;
    int recordCount() const override;
};

// Nodes 1..N (the surface nodes first): row r is node index r + 1.
class NodeResultsModel : public ResultsTableModel {
    Q_OBJECT
public:
    enum class Column { Number, Position, Elevation, Pressure, RelativePressure };
    explicit NodeResultsModel(const CBriscoDoc& doc, QObject* parent = nullptr);

    int section(Column column) const { return sectionOf(int(column)); }
    static int nodeIndexOfRow(int row) { return row + 1; }

    // The pressure of node i above the lowest surface pressure (above node
    // 1 when there is no surface node), display unit. The same as node
    // kind 3, computed here from the node pressures so that the table does
    // not overwrite the display values the plan shows beside the nodes.
    static double relativePressure(const CBriscoDoc& doc, int i);

protected:
    std::vector<ColumnSpec> buildColumns() const override;
    std::vector<Cell> buildRow(int row) const override;
    int recordCount() const override;
};

// Fans 1..F: row r is fan r + 1.
class FanResultsModel : public ResultsTableModel {
    Q_OBJECT
public:
    enum class Column { Number, Inlet, Outlet, Heading, Airflow, Pressure, Power, CurveEnd, OperatingPoint };
    explicit FanResultsModel(const CBriscoDoc& doc, QObject* parent = nullptr);

    int section(Column column) const { return sectionOf(int(column)); }
    static int fanOfRow(int row) { return row + 1; }

    // The air power of fan f in kW: its pressure in Pa times its airflow in
    // m³/s, divided by 1000.
    static double powerKw(const CBriscoDoc& doc, int f);

protected:
    std::vector<ColumnSpec> buildColumns() const override;
    std::vector<Cell> buildRow(int row) const override;
    int recordCount() const override;
};

// Whether the document holds the results of a fire run: a finish time above
// 0 and a run that simulated at least one step.
bool hasFireResults(const CBriscoDoc& doc);

}  // namespace orvex::gui
