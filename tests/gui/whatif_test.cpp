// The what-if commands in the running window: Compare with… colours the
// plan and fills the Differences tab, the Scenarios dialog runs on a copy
// and its cases colour the plan, a window closed during a run goes, and
// Calibrate… fits a survey and applies it as one step of the history.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>
#include <QtTest>

#include "app/briscoapp.h"
#include "app/childframe.h"
#include "app/mainframe.h"
#include "app/qsettingsprofile.h"
#include "results/resultspanel.h"
#include "results/calibrationdialog.h"
#include "results/escapedialog.h"
#include "results/scenariodialog.h"
#include "program.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;


class WhatIfTest : public QObject {
    Q_OBJECT
private slots:
    void compareWithAnotherWindow();
    void scenariosRunOnACopy();
    void windowClosedDuringARun();
    void escapeRoutesAfterAFireRun();
    void calibrateAgainstASurvey();
};

void WhatIfTest::compareWithAnotherWindow()
{
    Program p;
    CMainFrame& frame = p.start({p.sample("mine")});
    const QString path = p.folder.filePath("mine.vad");
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    QVERIFY(frame.openDocumentFile(path.toStdString()));
    CChildFrame* active = frame.activeChild();
    QStringList offered;
    frame.setComparisonChooser([&](const QStringList& names) { offered = names; return 0; });
    QVERIFY(!frame.action("clearcompare")->isEnabled());
    frame.action("compare")->trigger();
    QCOMPARE(offered.size(), 2);  // the other window, then a file
    CBriscoView& view = *active->view();
    QCOMPARE(view.plan().settings.look.roadColourKind, kFlowChangeKind);
    QVERIFY(frame.action("clearcompare")->isEnabled());
    ResultsPanel& panel = active->resultsDock()->panel();
    QVERIFY(panel.differencesShown());
    QTableView* roads = panel.differences().roadTable();
    QCOMPARE(roads->model()->rowCount(), active->document().doc().totalRoads());
    roads->selectRow(3);
    QCOMPARE(view.markKind(), MarkKind::Road);
    frame.action("clearcompare")->trigger();
    QVERIFY(view.plan().settings.look.roadColourKind != kFlowChangeKind);
    QVERIFY(!frame.action("clearcompare")->isEnabled());
    // A file that cannot be read: said, nothing coloured.
    frame.setComparisonChooser([](const QStringList& names) { return int(names.size()) - 1; });
    p.files.opens.push_back(p.folder.filePath("missing.vad").toStdString());
    p.reporter.strict = false;
    frame.action("compare")->trigger();
    QVERIFY(view.plan().settings.look.roadColourKind != kFlowChangeKind);
    QVERIFY(p.reporter.contains("missing.vad could not be opened"));
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void WhatIfTest::scenariosRunOnACopy()
{
    Program p;
    CMainFrame& frame = p.start({p.sample("mine")});
    CChildFrame* child = frame.activeChild();
    frame.action("scenarios")->trigger();
    ScenarioDialog* dialog = child->scenarioDialog();
    QVERIFY(dialog && dialog->isVisible());
    dialog->editor()->setPlainText("scenario \"x\"\n  fan-off 10\n");
    dialog->runButton()->click();
    QVERIFY(dialog->messageLabel()->text().contains("line 2:"));
    QCOMPARE(dialog->session().state(), ScenarioSession::State::Idle);

    dialog->editor()->setPlainText("scenario \"fan 10-3 off\"\n  fan-off 10 3\nscenario \"none\"\n  fan-off 1 2\n");
    dialog->runButton()->click();
    QVERIFY(dialog->stopButton()->isEnabled() && !dialog->runButton()->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(dialog->session().state(), ScenarioSession::State::Done, 30000);
    QAbstractItemModel* cases = dialog->caseTable()->model();
    QCOMPARE(cases->rowCount(), 2);
    QCOMPARE(cases->index(0, 0).data().toString(), QString("none"));
    dialog->caseTable()->selectRow(1);
    QCOMPARE(child->view()->plan().settings.look.roadColourKind, kFlowChangeKind);
    QVERIFY(child->resultsDock()->panel().differencesShown());
    QVERIFY(!child->document().doc().modified);
}

void WhatIfTest::windowClosedDuringARun()
{
    Program p;
    CMainFrame& frame = p.start({p.sample("mine")});
    CChildFrame* child = frame.activeChild();
    ScenarioDialog* dialog = child->openScenarios();
    dialog->fillSweep(SweepKind::FireNodes);
    dialog->runButton()->click();
    QPointer<ScenarioDialog> watched(dialog);
    child->close();
    QTRY_VERIFY(watched.isNull());
    QVERIFY(frame.childFrames().isEmpty());
}

QTEST_MAIN(WhatIfTest)
// After a fire run the routes open in a dialog; a chosen row draws its way,
// closing gives the plan its own colours back.
void WhatIfTest::escapeRoutesAfterAFireRun()
{
    Program p;
    CMainFrame& frame = p.start({p.sample("minefire")});
    CChildFrame* child = frame.activeChild();
    frame.updateMenus();
    QVERIFY(!frame.action("escape")->isEnabled());  // no fire run yet
    child->document().doc().pauseFlag = 0;
    child->view()->openAnalysisDialog();
    click(*child->view()->analysisDialog(), "start");
    click(*child->view()->analysisDialog(), "close");
    QTRY_VERIFY(!child->view()->analysisDialog());
    frame.updateMenus();
    frame.action("escape")->trigger();
    EscapeDialog* dialog = child->escapeDialog();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(dialog->table()->model()->rowCount() > 10);
    const int own = child->view()->plan().settings.look.roadColourKind;
    dialog->table()->selectRow(3);
    QCOMPARE(child->view()->plan().settings.look.roadColourKind, kEscapeRouteKind);
    child->view()->chooseRow(ResultsTab::Nodes, child->document().doc().nodeIndex(303));  // a node clicked on the plan
    QCOMPARE(escapeWork(child->document().doc()).from, std::string("from node 303"));
    dialog->close();
    QCOMPARE(child->view()->plan().settings.look.roadColourKind, own);
}

// The menu reaches the dialog; Fit fills its tables and colours the plan;
// Accept changes the resistances and one Undo takes them back.
void WhatIfTest::calibrateAgainstASurvey()
{
    Program p;
    CMainFrame& frame = p.start({p.sample("mine")});
    CChildFrame* child = frame.activeChild();
    frame.updateMenus();
    frame.action("calibrate")->trigger();
    CalibrationDialog* dialog = child->calibrationDialog();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(!dialog->fitButton()->isEnabled());
    p.files.opens.push_back((sourceDir() + "/data/mine-survey.csv").toStdString());
    click(*dialog, "load");
    QVERIFY(dialog->fitButton()->isEnabled());
    dialog->fitButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialog->session().state(), CalibrationSession::State::Done, 30000);
    QVERIFY2(dialog->session().result().usable(), qPrintable(dialog->messages()->toPlainText()));
    QCOMPARE(dialog->measurementTable()->model()->rowCount(), int(dialog->session().result().measurements.size()));
    QVERIFY(dialog->unknownTable()->model()->rowCount() > 0);
    CBriscoView& view = *child->view();
    QCOMPARE(view.plan().settings.look.roadColourKind, kResidualKind);
    dialog->measurementTable()->selectRow(0);
    QVERIFY(view.markKind() != MarkKind::None);

    CBriscoDoc& doc = child->document().doc();
    const auto resistances = [&doc] {
        std::vector<float> r;
        for (int k = 1; k <= doc.roadCount; ++k)
            r.push_back(doc.roads[std::size_t(k)].resistance);
        return r;
    };
    const std::vector<float> before = resistances();
    QVERIFY(dialog->acceptButton()->isEnabled());
    dialog->acceptButton()->click();
    QVERIFY(resistances() != before);
    QVERIFY(doc.modified && !dialog->acceptButton()->isEnabled());
    QUndoStack& history = child->document().undoStack();
    history.undo();
    QCOMPARE(resistances(), before);
    QVERIFY(!doc.modified);
    dialog->close();
    QVERIFY(view.plan().settings.look.roadColourKind != kResidualKind);
}

#include "whatif_test.moc"
