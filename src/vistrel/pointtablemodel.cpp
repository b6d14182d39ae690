#include "pointtablemodel.h"

#include "curveplot.h"

namespace orvex::vistrel {

PointTableModel::PointTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void PointTableModel::setCurves(const FanCurveSet* set, const AxisUnits& units)
{
    beginResetModel();
    mSet = set;
    mUnits = units;
    mRows.clear();
    if (set)
        for (int f = 0; f < int(set->fans.size()); ++f)
            for (int j = 0; j < int(set->fans[std::size_t(f)].points.size()); ++j)
                mRows.emplace_back(f, j);
    endResetModel();
}

int PointTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(mRows.size());
}

int PointTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const
{
    if (!mSet || !index.isValid() || index.row() >= int(mRows.size()))
        return {};
    const auto [f, j] = mRows[std::size_t(index.row())];
    const FanCurveData& fan = mSet->fans[std::size_t(f)];
    const CurvePoint& p = fan.points[std::size_t(j)];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case FanColumn:
            return fan.name();
        case PointColumn:
            return j + 1;
        // As precise as the file writes them.
        case FlowColumn:
            return QString::number(p.flow, 'f', 5);
        case PressureColumn:
            return QString::number(p.pressure, 'f', 2);
        }
        break;
    case ValueRole:
        if (index.column() == FlowColumn)
            return p.flow;
        if (index.column() == PressureColumn)
            return p.pressure;
        break;
    case Qt::DecorationRole:
        if (index.column() == FanColumn)
            return fanColour(f);
        break;
    case Qt::ToolTipRole:
        if (index.column() == FanColumn && !fan.comment.isEmpty())
            return fan.comment;
        break;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(index.column() == FanColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                               : Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    const auto titled = [](const char* name, const QString& unit) {
        return unit.isEmpty() ? QString::fromLatin1(name) : QStringLiteral("%1 (%2)").arg(name, unit);
    };
    switch (section) {
    case FanColumn:
        return QStringLiteral("Fan");
    case PointColumn:
        return QStringLiteral("Point");
    case FlowColumn:
        return titled("Airflow", mUnits.flow);
    case PressureColumn:
        return titled("Pressure", mUnits.pressure);
    }
    return {};
}

}  // namespace orvex::vistrel
