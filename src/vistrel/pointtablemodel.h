#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "axisunits.h"
#include "fancurvefile.h"

// The characteristic points of all fans as a table: one row per point,
// fans in file order, with the fan's colour beside its name.
namespace orvex::vistrel {

class PointTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { FanColumn, PointColumn, FlowColumn, PressureColumn, ColumnCount };
    // The unformatted number of the airflow and pressure cells.
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit PointTableModel(QObject* parent = nullptr);

    // The set must outlive the model or the next setCurves; null: empty table.
    void setCurves(const FanCurveSet* set, const AxisUnits& units);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const FanCurveSet* mSet = nullptr;
    AxisUnits mUnits;
    std::vector<std::pair<int, int>> mRows;  // fan, point
};

}  // namespace orvex::vistrel
