#include "app/childframe.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <algorithm>

#include "app/placement.h"
#include "results/resultspanel.h"
#include "results/scenariodialog.h"
#include "view/briscoview.h"
#include "view/displaytext.h"
#include "view/networkdocument.h"

namespace orvex::gui {

CChildFrame::CChildFrame(ViewServices& services, int untitledNumber, QWidget* parent)
    : QMdiSubWindow(parent),
      mServices(services),
      mUntitledNumber(untitledNumber),
      mDocument(std::make_unique<NetworkDocument>(services.app, services.reporter))
{
    setAttribute(Qt::WA_DeleteOnClose);
    // A main window inside the frame, so the results dock beside the plan.
    mInner = new QMainWindow;
    mInner->setWindowFlags(Qt::Widget);
    mView = new CBriscoView(*mDocument, services);
    mInner->setCentralWidget(mView);
    mResults = new ResultsDock(mDocument->doc(), mInner);
    mResults->setAllowedAreas(Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea | Qt::LeftDockWidgetArea);
    // Below the plan, where the wide tables show all their columns.
    mInner->addDockWidget(Qt::BottomDockWidgetArea, mResults);
    mResults->hide();
    setWidget(mInner);
    connect(mView, &CBriscoView::stateChanged, this, &CChildFrame::updateCaption);

    // The tables follow each run, each network the window reads and each
    // change of the network; while the dock is hidden they wait until it is
    // shown. Its title says when the network is no longer the one of the run.
    ResultsPanel& panel = mResults->panel();
    connect(mView, &CBriscoView::analysisFinished, this, [this] {
        mDocument->analysisRan();
        showResults(true);
    });
    connect(mView, &CBriscoView::networkReplaced, this, [this] {
        // A comparison belongs to the network that was shown.
        clearComparison();
        if (resultsShown())
            mResults->panel().refresh();
        mResults->setNetworkChanged(mDocument->changedSinceRun());
    });
    connect(mDocument.get(), &NetworkDocument::networkEdited, this, [this] {
        if (resultsShown()) {
            mResults->panel().refresh();
            // The rows are new: no row is chosen, nothing stays marked.
            mView->clearMark();
        }
        mResults->setNetworkChanged(mDocument->changedSinceRun());
        mView->controller().refreshComparison();
    });
    connect(mResults->toggleViewAction(), &QAction::toggled, this, [this](bool shown) {
        if (!shown)
            mView->clearMark();
    });
    connect(&panel, &ResultsPanel::roadSelected, mView, &CBriscoView::markRoad);
    connect(&panel, &ResultsPanel::nodeSelected, mView, &CBriscoView::markNode);
    connect(&panel, &ResultsPanel::fanSelected, mView, &CBriscoView::markFan);
    // An element chosen on the plan or found: its row, while the tables are shown.
    connect(mView, &CBriscoView::rowChosen, this, [this](ResultsTab tab, int element) {
        if (mEscape && mEscape->isVisible() && tab == ResultsTab::Nodes && element >= 1 &&
            element <= mDocument->doc().nodeCount)
            mEscape->chooseNode(mDocument->doc().nodes[std::size_t(element)].number);
        if (resultsShown())
            mResults->panel().chooseRow(tab, element);
    });
    updateCaption();
}

bool CChildFrame::resultsShown() const { return !mResults->isHidden(); }

void CChildFrame::showResults(bool shown)
{
    if (shown) {
        mResults->panel().refresh();
        mResults->setNetworkChanged(mDocument->changedSinceRun());
        const bool first = !mResultsPlaced;
        mResults->show();
        mResults->raise();
        if (first && !mResults->isFloating()) {
            // A third of the window at first; the person's size after that.
            mResultsPlaced = true;
            mInner->resizeDocks({mResults}, {std::max(mInner->height() / 3, 160)}, Qt::Vertical);
        }
    } else {
        mResults->hide();
        mView->clearMark();
    }
}

void CChildFrame::showComparison(const WindowComparison& shown)
{
    mView->controller().showComparison(shown);
    const UnitsSettings& units = mDocument->doc().app().units;
    showResults(true);
    mResults->panel().differences().show(shown, units.flowUnitName.str(), units.pressureUnitName.str());
    mResults->panel().showDifferences();
    emit mView->stateChanged();
}

void CChildFrame::clearComparison()
{
    mView->controller().clearComparison();
    mResults->panel().differences().clear();
    emit mView->stateChanged();
}

bool CChildFrame::comparisonShown() const { return mView && mView->controller().comparisonShown(); }

ScenarioDialog* CChildFrame::openScenarios()
{
    if (!mScenarios) {
        mScenarios = new ScenarioDialog(mDocument->doc(), this);
        mScenarios->setWindowTitle(tr("Scenarios: %1").arg(windowTitle().remove("[*]")));
        connect(mScenarios, &ScenarioDialog::caseChosen, this, &CChildFrame::showComparison);
    }
    mScenarios->show();
    mScenarios->raise();
    mScenarios->activateWindow();
    return mScenarios;
}

EscapeDialog* CChildFrame::openEscapeRoutes()
{
    if (!mEscape) {
        mEscape = new EscapeDialog(mDocument->doc(), this);
        mEscape->setWindowTitle(tr("Escape routes: %1").arg(windowTitle().remove("[*]")));
        connect(mEscape, &EscapeDialog::routeChosen, this, [this](const std::vector<EscapeRoute>& routes, int node) {
            mView->controller().showEscape(routes, node);
            emit mView->stateChanged();
        });
        connect(mEscape, &EscapeDialog::closed, this, [this] {
            mView->controller().clearEscape();
            emit mView->stateChanged();
        });
    } else {
        mEscape->refresh();
    }
    mEscape->show();
    mEscape->raise();
    mEscape->activateWindow();
    return mEscape;
}

CalibrationDialog* CChildFrame::openCalibration()
{
    if (!mCalibration) {
        mCalibration = new CalibrationDialog(mDocument->doc(), *mDocument, mServices.files, mServices.reporter, this);
        mCalibration->setWindowTitle(tr("Calibrate: %1").arg(windowTitle().remove("[*]")));
        connect(mCalibration, &CalibrationDialog::residualsShown, this, [this](const std::vector<float>& residual) {
            clearComparison();
            mView->controller().showResiduals(residual);
            emit mView->stateChanged();
        });
        const auto clear = [this] {
            mView->controller().clearResiduals();
            emit mView->stateChanged();
        };
        connect(mCalibration, &CalibrationDialog::residualsCleared, this, clear);
        connect(mCalibration, &CalibrationDialog::closed, this, clear);
        connect(mCalibration, &CalibrationDialog::targetChosen, this, [this](const CalibrationTarget& target) {
            mView->controller().mark(target.kind, target.element, target.other);
        });
        connect(mDocument.get(), &NetworkDocument::networkEdited, mCalibration, &CalibrationDialog::networkEdited);
        connect(mView, &CBriscoView::networkReplaced, mCalibration, &CalibrationDialog::networkEdited);
    }
    mCalibration->show();
    mCalibration->raise();
    mCalibration->activateWindow();
    return mCalibration;
}

CChildFrame::~CChildFrame()
{
    // A run of the Scenarios or Calibrate dialog stops before the network it copied goes.
    delete mScenarios;
    delete mCalibration;
    WindowPlacement placement = placementOf(*this, mNormalGeometry.isValid() ? mNormalGeometry : geometry());
    writePlacement(mServices.profile, kChildPlacementSection, placement);
    // The view writes its settings and files through the document: it goes first.
    delete mView;
    mView = nullptr;
}

void CChildFrame::showPlaced(QMdiArea& area)
{
    const std::optional<WindowPlacement> stored = readPlacement(mServices.profile, kChildPlacementSection);
    if (!stored || stored->showCmd == kShowMaximised) {
        showMaximized();
        return;
    }
    const QRect workspace(QPoint(0, 0), area.viewport()->size());
    if (const std::optional<QRect> frame = usableFrame(*stored, {workspace}))
        setGeometry(*frame);
    else
        resize(workspace.size() * 3 / 4);
    show();
}

void CChildFrame::updateCaption()
{
    const CBriscoDoc& doc = mDocument->doc();
    const QString title = doc.windowTitle.empty() ? QStringLiteral("Network%1").arg(mUntitledNumber)
                                                  : displayText(doc.windowTitle).trimmed();
    setWindowTitle(title + "[*]");
    setWindowModified(doc.modified);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (mView && mView->queryClose() == Answer::Cancel) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::moveEvent(QMoveEvent* event)
{
    QMdiSubWindow::moveEvent(event);
    if (!isMaximized() && !isMinimized() && isVisible())
        mNormalGeometry = geometry();
}

void CChildFrame::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    if (!isMaximized() && !isMinimized() && isVisible())
        mNormalGeometry = geometry();
}

QList<CChildFrame*> ChildWindows::framesIn(const QMdiArea& area)
{
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* w : area.subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(w))
            frames.push_back(child);
    return frames;
}

int ChildWindows::windowCount() const { return int(framesIn(mArea).size()); }

int ChildWindows::activeWindow() const
{
    auto* active = qobject_cast<CChildFrame*>(mArea.activeSubWindow());
    return active ? int(framesIn(mArea).indexOf(active)) : -1;
}

Answer ChildWindows::askClose(int window) { return framesIn(mArea).at(window)->view()->queryClose(); }

void ChildWindows::closeWindow(int window) { delete framesIn(mArea).at(window); }

}  // namespace orvex::gui
