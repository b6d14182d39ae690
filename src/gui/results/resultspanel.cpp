#include "results/resultspanel.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "control/resultstext.h"

namespace orvex::gui {

namespace {

constexpr ResultsTab kTabs[] = {ResultsTab::Roads, ResultsTab::Nodes, ResultsTab::Fans, ResultsTab::Checks};

// The texts of the given rows of a shown table, in the shown order.
std::vector<TextRow> shownRows(const QAbstractItemModel& shown, const std::vector<int>& rows)
{
    std::vector<TextRow> texts;
    for (const int r : rows) {
        TextRow& fields = texts.emplace_back();
        for (int c = 0; c < shown.columnCount(); ++c)
            fields.push_back(shown.index(r, c).data().toString().toStdString());
    }
    return texts;
}

TextRow shownHeader(const QAbstractItemModel& shown)
{
    TextRow header;
    for (int c = 0; c < shown.columnCount(); ++c)
        header.push_back(shown.headerData(c, Qt::Horizontal).toString().toStdString());
    return header;
}

}  // namespace

ResultsPanel::ResultsPanel(const CBriscoDoc& doc, QWidget* parent)
    : QWidget(parent), mDoc(doc)
{
    mTabs = new QTabWidget(this);
    for (const ResultsTab tab : kTabs)
        mTabs->addTab(makeTable(tab), QString());
    mDifferences = new DifferencesView(mDoc, this);
    mTabs->addTab(mDifferences, tr("Differences"));
    connect(mDifferences, &DifferencesView::roadSelected, this, &ResultsPanel::roadSelected);
    connect(mDifferences, &DifferencesView::fanSelected, this, &ResultsPanel::fanSelected);
    connect(mDifferences, &DifferencesView::nodeSelected, this, &ResultsPanel::nodeSelected);
    mDifferences->roadTable()->installEventFilter(this);

    // Copy and Export beside the tabs, where they take no room of the tables.
    auto* actions = new QWidget(mTabs);
    auto* row = new QHBoxLayout(actions);
    row->setContentsMargins(0, 0, 2, 2);
    auto* copyButton = new QToolButton(actions);
    copyButton->setText(tr("Copy"));
    copyButton->setToolTip(tr("Copy the selected rows, or the whole table, with its header (Ctrl+C)"));
    auto* exportButton = new QToolButton(actions);
    exportButton->setText(tr("Export CSV…"));
    exportButton->setToolTip(tr("Write the shown table, in its shown order, to a CSV file"));
    row->addWidget(copyButton);
    row->addWidget(exportButton);
    mTabs->setCornerWidget(actions, Qt::TopRightCorner);
    connect(copyButton, &QToolButton::clicked, this, &ResultsPanel::copy);
    connect(exportButton, &QToolButton::clicked, this, [this] { exportCsv(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mTabs);

    mChoosePath = [this] {
        return QFileDialog::getSaveFileName(this, tr("Export CSV"), suggestedCsvPath(),
                                            tr("CSV files (*.csv);;All files (*)"));
    };
    mErrorSink = [this](const QString& text) { QMessageBox::warning(this, tr("Export CSV"), text); };

    updateTabTitles();
    for (QTableView* view : mViews)
        view->resizeColumnsToContents();
}

QTableView* ResultsPanel::makeTable(Tab tab)
{
    auto* model = mModels[int(tab)] = new ResultsTableModel(mDoc, tab, this);
    QTableView* view = makeSortedTable(model, this);
    auto* proxy = static_cast<QSortFilterProxyModel*>(view->model());
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // In the network's order until the person clicks a header.
    view->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    view->installEventFilter(this);
    // The chosen record, in the model's numbering whatever the sorting.
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, proxy, tab](const QModelIndex& current) {
                if (!current.isValid())
                    return;
                int element = elementOfRow(tab, proxy->mapToSource(current).row());
                Tab target = tab;
                if (tab == Tab::Checks) {  // a finding marks what it is about
                    const CheckTarget about = checkTarget(mDoc, element);
                    target = about.tab;
                    element = about.element;
                }
                switch (target) {
                case Tab::Roads: emit roadSelected(element); break;
                case Tab::Nodes: emit nodeSelected(element); break;
                case Tab::Fans: emit fanSelected(element); break;
                case Tab::Checks: break;
                }
            });
    mViews[int(tab)] = view;
    return view;
}

void ResultsPanel::setExportPathChooser(std::function<QString()> chooser) { mChoosePath = std::move(chooser); }

void ResultsPanel::setErrorSink(std::function<void(const QString&)> sink) { mErrorSink = std::move(sink); }

ResultsPanel::Tab ResultsPanel::currentTab() const
{
    return differencesShown() ? Tab::Roads : Tab(std::max(mTabs->currentIndex(), 0));
}

bool ResultsPanel::differencesShown() const { return mTabs->currentWidget() == mDifferences; }

void ResultsPanel::showDifferences() { mTabs->setCurrentWidget(mDifferences); }

QTableView* ResultsPanel::shownTable() const
{
    return differencesShown() ? mDifferences->roadTable() : view(currentTab());
}

void ResultsPanel::setCurrentTab(Tab tab) { mTabs->setCurrentIndex(int(tab)); }

QTableView* ResultsPanel::view(Tab tab) const { return mViews[int(tab)]; }

QAbstractItemModel* ResultsPanel::shownModel(Tab tab) const { return view(tab)->model(); }

void ResultsPanel::refresh()
{
    for (ResultsTableModel* model : mModels)
        model->refresh();
    updateTabTitles();
    for (QTableView* view : mViews)
        view->resizeColumnsToContents();
}

void ResultsPanel::chooseRow(Tab tab, int element)
{
    const int row = rowOfElement(tab, element);
    ResultsTableModel& source = model(tab);
    auto* proxy = qobject_cast<QSortFilterProxyModel*>(shownModel(tab));
    if (row < 0 || row >= source.rowCount() || !proxy)
        return;
    const QModelIndex shown = proxy->mapFromSource(source.index(row, 0));
    setCurrentTab(tab);
    QTableView* table = view(tab);
    table->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table->scrollTo(shown);
}

void ResultsPanel::updateTabTitles()
{
    const bool water = mDoc.isWater();
    mTabs->setTabText(int(Tab::Roads), water ? tr("Pipes") : tr("Roads"));
    mTabs->setTabText(int(Tab::Nodes), tr("Nodes"));
    mTabs->setTabText(int(Tab::Fans), water ? tr("Pumps") : tr("Fans"));
    mTabs->setTabText(int(Tab::Checks), tr("Checks"));
    mTabs->setTabText(mTabs->indexOf(mDifferences), tr("Differences"));
}

QString ResultsPanel::copyText() const
{
    const QTableView* shown = shownTable();
    std::vector<int> selected;
    for (const QModelIndex& index : shown->selectionModel()->selectedRows())
        selected.push_back(index.row());
    const std::vector<int> rows = copiedRows(selected, shown->model()->rowCount());
    return QString::fromStdString(
        tableText(shownHeader(*shown->model()), shownRows(*shown->model(), rows), '\t', &tabField));
}

QString ResultsPanel::csvText() const
{
    const QAbstractItemModel& shown = *shownTable()->model();
    const std::vector<int> rows = copiedRows({}, shown.rowCount());
    return QString::fromStdString(tableText(shownHeader(shown), shownRows(shown, rows), ',', &csvField));
}

void ResultsPanel::copy() { QApplication::clipboard()->setText(copyText()); }

bool ResultsPanel::exportCsv()
{
    const QString path = mChoosePath ? mChoosePath() : QString();
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).isDir()) {
        reportError(tr("The table cannot be written to %1:\nit is a folder.").arg(path));
        return false;
    }
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        reportError(tr("The table cannot be written to %1:\n%2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = csvText().toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        reportError(tr("The table cannot be written to %1:\n%2").arg(path, reason));
        return false;
    }
    return true;
}

QString ResultsPanel::suggestedCsvPath() const
{
    static const char* const kTableNames[] = {"roads", "nodes", "fans", "checks"};
    const char* name = differencesShown() ? "differences" : kTableNames[int(currentTab())];
    return QString::fromStdString(csvFileName(mDoc.baseName, name));
}

void ResultsPanel::reportError(const QString& text)
{
    if (mErrorSink)
        mErrorSink(text);
}

// Ctrl+C in a table copies its rows with the header, not only the current
// cell as the table itself would; a window's own Ctrl+C shortcut gives way
// while a table has the focus.
bool ResultsPanel::eventFilter(QObject* watched, QEvent* event)
{
    const bool table = std::find(std::begin(mViews), std::end(mViews), watched) != std::end(mViews) ||
                       watched == mDifferences->roadTable();
    if (table && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            copy();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

ResultsDock::ResultsDock(const CBriscoDoc& doc, QWidget* parent)
    : QDockWidget(tr("Results"), parent), mPanel(new ResultsPanel(doc, this))
{
    setObjectName("resultsDock");
    setWidget(mPanel);
}

void ResultsDock::setNetworkChanged(bool changed)
{
    setWindowTitle(changed ? tr("Results (the network has changed since this run)") : tr("Results"));
}

}  // namespace orvex::gui
