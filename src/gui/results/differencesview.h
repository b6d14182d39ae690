#pragma once

#include <QWidget>

#include "control/whatif.h"
#include "results/resultsmodels.h"

class QLabel;
class QTableView;

// The "Differences" tab of a network window's results: a comparison's
// roads (From, To, base flow, flow, change, change %, reversed), its fans'
// duties and the design checks that appear or disappear, each sortable.
// Choosing a road's or fan's row tells the window which of its own it is.
namespace orvex::gui {

class DifferencesView : public QWidget {
    Q_OBJECT
public:
    // Rows mark the road or fan of `doc` they are about, as it stands.
    explicit DifferencesView(const CBriscoDoc& doc, QWidget* parent = nullptr);

    // Shows a comparison in the given units; clear() empties the tables.
    void show(const WindowComparison& shown, const std::string& flowUnit, const std::string& pressureUnit);
    void clear();
    bool empty() const { return mTables.roads.rows.empty() && mTables.fans.rows.empty(); }

    QTableView* roadTable() const { return mRoads; }
    QTableView* fanTable() const { return mFans; }
    QTableView* checkTable() const { return mChecks; }
    TableModel& roadModel() { return *mRoadModel; }

signals:
    void roadSelected(int road);
    void fanSelected(int fan);
    void nodeSelected(int nodeIndex);

private:
    const CBriscoDoc& mDoc;
    DifferenceTables mTables;
    QLabel* mTitle = nullptr;
    TableModel *mRoadModel, *mFanModel, *mCheckModel;
    QTableView *mRoads, *mFans, *mChecks;
};

}  // namespace orvex::gui
