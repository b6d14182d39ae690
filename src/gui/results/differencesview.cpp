#include "results/differencesview.h"

#include <QLabel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace orvex::gui {

DifferencesView::DifferencesView(const CBriscoDoc& doc, QWidget* parent)
    : QWidget(parent),
      mDoc(doc),
      mTitle(new QLabel(tr("No comparison: use Analysis > Compare with… or choose a case of Scenarios…"), this)),
      mRoadModel(new TableModel(this)),
      mFanModel(new TableModel(this)),
      mCheckModel(new TableModel(this)),
      mRoads(makeSortedTable(mRoadModel, this)),
      mFans(makeSortedTable(mFanModel, this)),
      mChecks(makeSortedTable(mCheckModel, this))
{
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(mRoads);
    auto* side = new QSplitter(Qt::Vertical, split);
    side->addWidget(mFans);
    side->addWidget(mChecks);
    split->addWidget(side);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(mTitle);
    layout->addWidget(split, 1);
    connect(mRoads->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& i) {
        if (const int road = rowRoad(mTables, sourceRow(*mRoads, i), mDoc))
            emit roadSelected(road);
    });
    connect(mFans->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& i) {
        if (const int fan = rowFan(mTables, sourceRow(*mFans, i), mDoc))
            emit fanSelected(fan);
    });
    connect(mChecks->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& i) {
        const CheckTarget about = rowCheckTarget(mTables, sourceRow(*mChecks, i), mDoc);
        if (about.element == 0)
            return;
        switch (about.tab) {
        case ResultsTab::Roads: emit roadSelected(about.element); break;
        case ResultsTab::Fans: emit fanSelected(about.element); break;
        case ResultsTab::Nodes: emit nodeSelected(about.element); break;
        case ResultsTab::Checks: break;
        }
    });
}

void DifferencesView::show(const WindowComparison& shown, const std::string& flowUnit,
                           const std::string& pressureUnit)
{
    mTables = differenceTables(shown, flowUnit, pressureUnit);
    const QString against = QString::fromStdString(shown.against);
    const QString what = shown.side == WindowSide::Other ? tr("This network against %1").arg(against)
                                                         : tr("Case \"%1\" against this network").arg(against);
    mTitle->setText(tr("%1: %2 roads and %3 fans compared; design checks appearing: %4, disappearing: %5")
                        .arg(what)
                        .arg(mTables.roads.rows.size())
                        .arg(mTables.fans.rows.size())
                        .arg(shown.comparison.appeared.size())
                        .arg(shown.comparison.disappeared.size()));
    mRoadModel->setTable(mTables.roads);
    mFanModel->setTable(mTables.fans);
    mCheckModel->setTable(mTables.checks);
    for (QTableView* view : {mRoads, mFans, mChecks})
        view->resizeColumnsToContents();
}

void DifferencesView::clear()
{
    mTables = DifferenceTables{};
    mTitle->setText(tr("No comparison"));
    for (TableModel* model : {mRoadModel, mFanModel, mCheckModel})
        model->setTable({});
}

}  // namespace orvex::gui
