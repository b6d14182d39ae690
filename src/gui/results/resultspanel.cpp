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

namespace orvex::gui {

namespace {

// A field of the tab-separated copy: tabs and line ends would split it.
QString tabField(QString text)
{
    text.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
    return text;
}

// A CSV field: quoted when it holds a separator, a quote or a line end.
QString csvField(const QString& text)
{
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
        return text;
    QString quoted = text;
    quoted.replace("\"", "\"\"");
    return '"' + quoted + '"';
}

// The header line and the given rows of a shown table, each field passed
// through escape and joined by separator.
QString tableText(const QAbstractItemModel& shown, const QList<int>& rows, QChar separator,
                  QString (*escape)(const QString&))
{
    const int columns = shown.columnCount();
    QStringList lines;
    QStringList fields;
    for (int c = 0; c < columns; ++c)
        fields << escape(shown.headerData(c, Qt::Horizontal).toString());
    lines << fields.join(separator);
    for (const int r : rows) {
        fields.clear();
        for (int c = 0; c < columns; ++c)
            fields << escape(shown.index(r, c).data().toString());
        lines << fields.join(separator);
    }
    return lines.join('\n') + '\n';
}

QString tabEscape(const QString& text) { return tabField(text); }

QList<int> allRows(const QAbstractItemModel& shown)
{
    QList<int> rows;
    for (int r = 0; r < shown.rowCount(); ++r)
        rows << r;
    return rows;
}

}  // namespace

ResultsPanel::ResultsPanel(const CBriscoDoc& doc, QWidget* parent)
    : QWidget(parent), mDoc(doc), mRoads(doc), mNodes(doc), mFans(doc)
{
    mTabs = new QTabWidget(this);
    mRoadView = makeTable(mRoads, mRoadProxy);
    mNodeView = makeTable(mNodes, mNodeProxy);
    mFanView = makeTable(mFans, mFanProxy);
    mTabs->addTab(mRoadView, QString());
    mTabs->addTab(mNodeView, QString());
    mTabs->addTab(mFanView, QString());

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

    // The selected record, in the model's numbering whatever the sorting.
    const auto announce = [this](QTableView* view, QSortFilterProxyModel* proxy, auto signal, auto ofRow) {
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, proxy, signal, ofRow](const QModelIndex& current) {
                    if (!current.isValid())
                        return;
                    emit(this->*signal)(ofRow(proxy->mapToSource(current).row()));
                });
    };
    announce(mRoadView, mRoadProxy, &ResultsPanel::roadSelected, &RoadResultsModel::roadOfRow);
    announce(mNodeView, mNodeProxy, &ResultsPanel::nodeSelected, &NodeResultsModel::nodeIndexOfRow);
    announce(mFanView, mFanProxy, &ResultsPanel::fanSelected, &FanResultsModel::fanOfRow);

    mChoosePath = [this] {
        return QFileDialog::getSaveFileName(this, tr("Export CSV"), suggestedCsvPath(),
                                            tr("CSV files (*.csv);;All files (*)"));
    };
    mErrorSink = [this](const QString& text) { QMessageBox::warning(this, tr("Export CSV"), text); };

    updateTabTitles();
    for (QTableView* view : {mRoadView, mNodeView, mFanView})
        view->resizeColumnsToContents();
}

QTableView* ResultsPanel::makeTable(ResultsTableModel& model, QSortFilterProxyModel*& proxy)
{
    proxy = new QSortFilterProxyModel(this);
    proxy->setSourceModel(&model);
    proxy->setSortRole(kSortRole);
    proxy->setSortCaseSensitivity(Qt::CaseInsensitive);

    auto* view = new QTableView(this);
    view->setModel(proxy);
    view->setAlternatingRowColors(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    // In the network's order until the person clicks a header.
    view->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    view->installEventFilter(this);
    return view;
}

void ResultsPanel::setExportPathChooser(std::function<QString()> chooser) { mChoosePath = std::move(chooser); }

void ResultsPanel::setErrorSink(std::function<void(const QString&)> sink) { mErrorSink = std::move(sink); }

ResultsPanel::Tab ResultsPanel::currentTab() const { return Tab(std::max(mTabs->currentIndex(), 0)); }

void ResultsPanel::setCurrentTab(Tab tab) { mTabs->setCurrentIndex(int(tab)); }

QTableView* ResultsPanel::view(Tab tab) const
{
    switch (tab) {
    case Tab::Roads: return mRoadView;
    case Tab::Nodes: return mNodeView;
    case Tab::Fans: return mFanView;
    }
    return mRoadView;
}

QAbstractItemModel* ResultsPanel::shownModel(Tab tab) const { return view(tab)->model(); }

void ResultsPanel::refresh()
{
    mRoads.refresh();
    mNodes.refresh();
    mFans.refresh();
    updateTabTitles();
    for (QTableView* view : {mRoadView, mNodeView, mFanView})
        view->resizeColumnsToContents();
}

void ResultsPanel::updateTabTitles()
{
    const bool water = mDoc.isWater();
    mTabs->setTabText(int(Tab::Roads), water ? tr("Pipes") : tr("Roads"));
    mTabs->setTabText(int(Tab::Nodes), tr("Nodes"));
    mTabs->setTabText(int(Tab::Fans), water ? tr("Pumps") : tr("Fans"));
}

QString ResultsPanel::copyText() const
{
    const QTableView* shown = view(currentTab());
    QList<int> rows;
    for (const QModelIndex& index : shown->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty())
        rows = allRows(*shown->model());
    return tableText(*shown->model(), rows, '\t', &tabEscape);
}

QString ResultsPanel::csvText() const
{
    const QAbstractItemModel& shown = *shownModel(currentTab());
    return tableText(shown, allRows(shown), ',', &csvField);
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
    static const char* const kTableNames[] = {"roads", "nodes", "fans"};
    const QString table = kTableNames[int(currentTab())];
    QString base = QString::fromStdString(mDoc.baseName);
    if (base.isEmpty())
        return table + ".csv";
    if (base.endsWith('.'))
        base.chop(1);
    return base + "-" + table + ".csv";
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
    const bool table = watched == mRoadView || watched == mNodeView || watched == mFanView;
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
