#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <memory>

#include "control/whatif.h"
#include "results/calibrationdialog.h"
#include "results/escapedialog.h"
#include "results/scenariodialog.h"

#include "control/frame.h"
#include "view/viewservices.h"

class QMainWindow;
class QMdiArea;

// A network window: the frame of one document, its plan view and the
// "Results" dock beside it. It opens maximised unless a placement is stored,
// asks the view before it closes, and remembers its placement when it goes.
// The dock opens after every run and from the Analysis menu; the row chosen
// in it is marked on the plan.
namespace orvex::gui {

class CBriscoView;
class NetworkDocument;
class ResultsDock;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // untitledNumber names the window while its document has no title.
    CChildFrame(ViewServices& services, int untitledNumber, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CBriscoView* view() const { return mView; }
    ResultsDock* resultsDock() const { return mResults; }
    bool resultsShown() const;
    // Shows the results of the network as they stand, or hides them.
    void showResults(bool shown);
    NetworkDocument& document() { return *mDocument; }

    // Shows the frame in the area: where the profile placed network windows
    // last, or maximised.
    void showPlaced(QMdiArea& area);

    // The caption follows the document's title and modified flag.
    void updateCaption();

    // --- what-if runs ---
    // Colours the plan by a comparison and fills the Differences tab.
    void showComparison(const WindowComparison& shown);
    void clearComparison();
    bool comparisonShown() const;
    // The window's Scenarios dialog, made the first time.
    ScenarioDialog* openScenarios();
    ScenarioDialog* scenarioDialog() const { return mScenarios; }
    // Analysis > Escape routes…: the ways out after this window's fire run.
    EscapeDialog* openEscapeRoutes();
    EscapeDialog* escapeDialog() const { return mEscape; }
    // Analysis > Calibrate…: this window's network fitted to a survey.
    CalibrationDialog* openCalibration();
    CalibrationDialog* calibrationDialog() const { return mCalibration; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ViewServices& mServices;
    int mUntitledNumber;
    std::unique_ptr<NetworkDocument> mDocument;  // outlives the view
    QMainWindow* mInner = nullptr;  // holds the view and the dock
    CBriscoView* mView = nullptr;
    ResultsDock* mResults = nullptr;
    QPointer<ScenarioDialog> mScenarios;  // a child: it stops its run when the window goes
    QPointer<EscapeDialog> mEscape;
    QPointer<CalibrationDialog> mCalibration;  // a child: it stops its fit when the window goes
    bool mResultsPlaced = false;  // the dock had its first size
    QRect mNormalGeometry;  // the last geometry neither maximised nor minimised
};

// The network windows of a workspace, as closing them all sees them: the
// active one by its index, the question asked by its view.
class ChildWindows : public FrameWindows {
public:
    explicit ChildWindows(QMdiArea& area) : mArea(area) {}
    static QList<CChildFrame*> framesIn(const QMdiArea& area);

    int windowCount() const override;
    int activeWindow() const override;
    Answer askClose(int window) override;
    void closeWindow(int window) override;

private:
    QMdiArea& mArea;
};

}  // namespace orvex::gui
