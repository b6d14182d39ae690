#pragma once

#include <QAbstractTableModel>
#include <QVariant>

class QTableView;
class QWidget;

#include "control/results.h"
#include "model/briscodoc.h"

// One results table of a document (its roads, nodes or fans) as a Qt model
// of the core's texts. The model takes a snapshot of the document when it is
// made and at every refresh(), so a table stays consistent while the network
// changes under it (an edit, or a run in progress); the network window calls
// refresh() after a run and after an edit.
//
// Qt::DisplayRole is the shown text; kSortRole is the value to sort by, a
// double for numeric columns and the text for the others, so that 100 sorts
// after 20. An empty cell has no sort value; it sorts after every number.
namespace orvex::gui {

inline constexpr int kSortRole = Qt::UserRole;

// A table of the core's texts as a Qt model: the results tables, the
// Differences tab's and the Scenarios dialog's cases.
class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The column's name with its unit in brackets, as the header, the copied
    // text and the CSV file show it; the tool tip says what the column holds.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const ResultsTable& table() const { return mTable; }
    // The column's section, -1 when the table does not show it.
    template <typename Column> int section(Column column) const { return mTable.section(int(column)); }
    // Shows another table (a model reset).
    void setTable(ResultsTable table);

private:
    ResultsTable mTable;
};

class ResultsTableModel : public TableModel {
    Q_OBJECT
public:
    ResultsTableModel(const CBriscoDoc& doc, ResultsTab tab, QObject* parent = nullptr);

public slots:
    // Takes a new snapshot of the document (a model reset).
    void refresh();

private:
    const CBriscoDoc& mDoc;
    ResultsTab mTab;
};

// A read-only table over a model, sorted by kSortRole, rows selected whole.
QTableView* makeSortedTable(TableModel* model, QWidget* parent);
// The model row of a view's index, whatever the sorting.
int sourceRow(const QTableView& view, const QModelIndex& index);

}  // namespace orvex::gui
