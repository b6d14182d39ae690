#pragma once

#include <QDockWidget>
#include <QString>
#include <QWidget>
#include <functional>

#include "model/briscodoc.h"
#include "results/differencesview.h"
#include "results/resultsmodels.h"

class QAbstractItemModel;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;

// The results of the last run of one network window as three tables,
// "Roads", "Nodes" and "Fans" ("Pipes" and "Pumps" in a water network),
// each sortable by any column. Copy puts the selected rows, or the whole
// shown table when nothing is selected, on the clipboard as tab-separated
// text with its header (Ctrl+C does the same); Export CSV writes the shown
// table in its shown order to a file. Selecting a row tells the window which
// road, node or fan it is, so the plan can mark it.
//
// The panel reads the document only in its constructor and in refresh();
// the network window calls refresh() after every run and every edit.
namespace orvex::gui {

class ResultsPanel : public QWidget {
    Q_OBJECT
public:
    using Tab = ResultsTab;

    explicit ResultsPanel(const CBriscoDoc& doc, QWidget* parent = nullptr);

    // Asks for the CSV file's path; an empty path cancels. By default the
    // save dialog, with a name made of the network's and the table's.
    void setExportPathChooser(std::function<QString()> chooser);
    // Shows why a file could not be written. By default a warning box.
    void setErrorSink(std::function<void(const QString&)> sink);

    // The tab shown; the Roads tab's number while Differences is shown.
    Tab currentTab() const;
    void setCurrentTab(Tab tab);
    QTableView* view(Tab tab) const;
    // The table as shown: the sorting proxy over the model.
    QAbstractItemModel* shownModel(Tab tab) const;
    ResultsTableModel& model(Tab tab) { return *mModels[int(tab)]; }
    // The "Differences" tab: a comparison's roads, fans and checks.
    DifferencesView& differences() { return *mDifferences; }
    bool differencesShown() const;
    void showDifferences();

    // The shown tab's selected rows (all its rows when none is selected),
    // with the header, one line per row; fields are separated by tabs.
    QString copyText() const;
    // The shown tab in its shown order, with the header, comma-separated.
    QString csvText() const;

public slots:
    void refresh();
    // Shows the tab and selects, current and in sight, the row of the
    // element (road, node index or fan), which the plan then marks.
    void chooseRow(Tab tab, int element);
    void copy();
    // Writes csvText() to the chosen path through a temporary file that is
    // renamed into place. False when cancelled or when the file cannot be
    // written (the error sink has said why; no partial file is left).
    bool exportCsv();

signals:
    void roadSelected(int road);        // 1..Nr+Nf
    void nodeSelected(int nodeIndex);   // 1..N
    void fanSelected(int fan);          // 1..F

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* makeTable(Tab tab);
    // The table Copy and Export take: the shown tab's, the roads of Differences.
    QTableView* shownTable() const;
    void updateTabTitles();
    QString suggestedCsvPath() const;
    void reportError(const QString& text);

    const CBriscoDoc& mDoc;
    ResultsTableModel* mModels[4] = {};
    QTableView* mViews[4] = {};
    DifferencesView* mDifferences = nullptr;
    QTabWidget* mTabs = nullptr;
    std::function<QString()> mChoosePath;
    std::function<void(const QString&)> mErrorSink;
};

// The results panel in a dock titled "Results", for the network window.
// While the network differs from the one the results were computed for,
// the title says so.
class ResultsDock : public QDockWidget {
    Q_OBJECT
public:
    explicit ResultsDock(const CBriscoDoc& doc, QWidget* parent = nullptr);
    ResultsPanel& panel() { return *mPanel; }
    void setNetworkChanged(bool changed);

private:
    ResultsPanel* mPanel;
};

}  // namespace orvex::gui
