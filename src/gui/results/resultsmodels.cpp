#include "results/resultsmodels.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTableView>

#include "view/displaytext.h"

namespace orvex::gui {

namespace {

QVariant alignment(bool numeric)
{
    return numeric ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace

ResultsTableModel::ResultsTableModel(const CBriscoDoc& doc, ResultsTab tab, QObject* parent)
    : TableModel(parent), mDoc(doc), mTab(tab)
{
    refresh();
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(mTable.rows.size());
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(mTable.columns.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const ResultsCell& cell = mTable.rows[std::size_t(index.row())][std::size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(cell.text);
    case kSortRole:
        switch (cell.sort) {
        case ResultsCell::Sort::Number: return cell.value;
        case ResultsCell::Sort::Text: return QString::fromStdString(cell.text);
        case ResultsCell::Sort::None: return {};
        }
        return {};
    case Qt::TextAlignmentRole: return alignment(mTable.columns[std::size_t(index.column())].numeric);
    default: return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const ResultsColumn& column = mTable.columns[std::size_t(section)];
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(column.title);
    case Qt::ToolTipRole: return QString::fromStdString(column.toolTip);
    case Qt::TextAlignmentRole: return alignment(column.numeric);
    default: return {};
    }
}

void TableModel::setTable(ResultsTable table)
{
    beginResetModel();
    mTable = std::move(table);
    endResetModel();
}

void ResultsTableModel::refresh()
{
    setTable(resultsTable(mTab, mDoc, [](const std::string& text) { return displayText(text).toStdString(); }));
}

QTableView* makeSortedTable(TableModel* model, QWidget* parent)
{
    auto* proxy = new QSortFilterProxyModel(parent);
    proxy->setSourceModel(model);
    proxy->setSortRole(kSortRole);
    proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    auto* view = new QTableView(parent);
    view->setModel(proxy);
    view->setAlternatingRowColors(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    return view;
}

int sourceRow(const QTableView& view, const QModelIndex& index)
{
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(view.model());
    return proxy && index.isValid() ? proxy->mapToSource(index).row() : -1;
}

}  // namespace orvex::gui
