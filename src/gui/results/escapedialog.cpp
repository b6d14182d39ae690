#include "results/escapedialog.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "results/resultsmodels.h"

namespace orvex::gui {

EscapeDialog::EscapeDialog(const CBriscoDoc& doc, QWidget* parent) : QDialog(parent), mDoc(doc)
{
    auto* layout = new QVBoxLayout(this);
    mMessage = new QLabel;
    mMessage->setWordWrap(true);
    layout->addWidget(mMessage);
    mModel = new TableModel(this);
    mTable = makeSortedTable(mModel, this);
    mTable->setObjectName("routes");
    mTable->horizontalHeader()->setStretchLastSection(false);
    layout->addWidget(mTable);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    connect(mTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    chooseRoute(sourceRow(*mTable, current));
            });
    resize(720, 420);
    refresh();
}

void EscapeDialog::refresh()
{
    mOutcome = escapeRoutes(mDoc);
    mModel->setTable(mOutcome.table);
    mTable->resizeColumnsToContents();
    int unsafe = 0;
    for (const EscapeRoute& r : mOutcome.routes)
        unsafe += !r.safe;
    QString text = QString::fromStdString(mOutcome.message);
    if (!mOutcome.routes.empty())
        text = tr("%1 places, %2 without a safe way out. Choose a row to draw its way on the plan.")
                   .arg(mOutcome.routes.size())
                   .arg(unsafe) +
               (text.isEmpty() ? QString() : "\n" + text);
    mMessage->setText(text);
}

int EscapeDialog::rowOf(int node) const
{
    for (std::size_t i = 0; i < mOutcome.routes.size(); ++i)
        if (mOutcome.routes[i].node == node)
            return int(i);
    return -1;
}

void EscapeDialog::chooseRoute(int row)
{
    if (row >= 0 && row < int(mOutcome.routes.size()))
        emit routeChosen(mOutcome.routes, mOutcome.routes[std::size_t(row)].node);
}

void EscapeDialog::chooseNode(int node)
{
    const int row = rowOf(node);
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(mTable->model());
    if (row >= 0 && proxy)
        mTable->selectRow(proxy->mapFromSource(mModel->index(row, 0)).row());
}

void EscapeDialog::closeEvent(QCloseEvent* event)
{
    emit closed();
    QDialog::closeEvent(event);
}

}  // namespace orvex::gui
