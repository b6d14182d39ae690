#pragma once

#include <QDialog>

#include "control/escape.h"

class QLabel;
class QTableView;

// "Escape routes…" of a network window after a fire run: every underground
// node's way out to an evacuation destination in a table (route, length,
// walking time, minutes to spare, safe), searched when the dialog opens.
// Choosing a row asks the window to draw that node's way and colour every
// node by its margin (routeChosen); closing the dialog asks for the plan's
// own colours again (closed).
namespace orvex::gui {

class TableModel;

class EscapeDialog : public QDialog {
    Q_OBJECT
public:
    EscapeDialog(const CBriscoDoc& doc, QWidget* parent = nullptr);

    // Searches again (after another fire run).
    void refresh();
    QTableView* table() const { return mTable; }
    QLabel* messageLabel() const { return mMessage; }
    const EscapeOutcome& outcome() const { return mOutcome; }
    // The row of a node (model row), or -1.
    int rowOf(int node) const;

public slots:
    // A route of the table by its model row (0..).
    void chooseRoute(int row);
    // The route of a node, chosen in the table as a click on the plan chooses it.
    void chooseNode(int node);

signals:
    void routeChosen(const std::vector<orvex::EscapeRoute>& routes, int node);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    const CBriscoDoc& mDoc;
    EscapeOutcome mOutcome;
    TableModel* mModel;
    QTableView* mTable;
    QLabel* mMessage;
};

}  // namespace orvex::gui
