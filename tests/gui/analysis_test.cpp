// Runs from the window: the analysis dialog driving the solver and the fire
// simulation on the user interface thread, Stop and "Display data" pressed
// during a run, the fire fronts drawn on the plan, the pause dialog, and
// the fan curve viewer started on the network's fan curve file.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QComboBox>
#include <QtTest>
#include <functional>
#include <memory>
#include <sys/prctl.h>

#include "capacitynet.h"
#include "analysis/quantities.h"
#include "dialogs/analysisrundialog.h"
#include "model/units.h"
#include "run/rundriver.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"
#include "view/qpaintercanvas.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

struct RecordingStarter : ProgramStarter {
    std::vector<std::pair<std::string, std::string>> started;
    void open(const std::string& program, const std::string& argument) override
    {
        started.emplace_back(program, argument);
    }
};

struct Window {
    QTemporaryDir folder;
    AppContext app;
    MemoryProfile profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    RecordingStarter starter;
    ViewServices services{app, profile, reporter, files, {}, {}, &starter};
    std::unique_ptr<NetworkDocument> document;
    std::unique_ptr<CBriscoView> view;

    explicit Window(const QString& path)
    {
        app.programFolder = sourceDir().toStdString();
        readUnitsFile(app.programFolder, app.units, reporter);
        app.pendingFile = path.toStdString();
        app.pending = true;
        document = std::make_unique<NetworkDocument>(app, reporter);
        view = std::make_unique<CBriscoView>(*document, services);
        view->resize(900, 700);
        view->show();
        view->initialUpdate();
    }
    ~Window()
    {
        delete view->analysisDialog();
        view.reset();
    }
    CBriscoDoc& doc() { return document->doc(); }
    AnalysisRunDialog& dialog()
    {
        view->openAnalysisDialog();
        return *view->analysisDialog();
    }
    static QString sample(QTemporaryDir& folder, const QString& name)
    {
        copySample(name, folder.path());
        return folder.path() + "/" + name + ".vad";
    }
};

QPushButton* button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(name);
}

// Starts a fire run in the dialog and answers each of its pauses through
// atPause (given the pause and its number from 1), which must continue or
// end the run; returns how many pauses there were.
int runAnsweringPauses(AnalysisRunDialog& dialog, const std::function<void(QDialog&, int)>& atPause)
{
    int pauses = 0;
    QTimer answer;
    answer.setInterval(0);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* pause = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (pause && pause->objectName() == "pauseDialog")
            atPause(*pause, ++pauses);
    });
    answer.start();
    button(dialog, "start")->click();
    answer.stop();
    return pauses;
}

int pixelsOf(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

}  // namespace

class AnalysisTest : public QObject {
    Q_OBJECT

private slots:
    void sampleAnalysisFromTheDialog();
    void stopAndDisplayDataDuringARun();
    void fireRunDrawsFronts();
    void pauseDialogClearsOpt1();
    void pauseLeavesTheRunInSight_data();
    void pauseLeavesTheRunInSight();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void fanCurveViewerStarted();
    void endedViewerLeavesNoDefunctProcess();
    void parametersFromTheDialog();
};

void AnalysisTest::sampleAnalysisFromTheDialog()
{
    QTemporaryDir folder;
    Window w(Window::sample(folder, "mine"));
    QVERIFY(w.view->networkLoaded());
    AnalysisRunDialog& dialog = w.dialog();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
    QCOMPARE(dialog.height(), w.app.units.displayData ? kAnalysisHeightWithData : kAnalysisHeightWithoutData);

    const QImage before = w.view->backingImage().copy();
    button(dialog, "start")->click();  // the run goes on inside the click
    QCOMPARE(dialog.windowTitle().toStdString(), kCompletedCaption);
    // by the Newton method, which nobody chose: the program's default
    QCOMPARE(dialog.findChild<QLabel*>("methodLine")->text(), QString("Results of the Newton method"));
    QCOMPARE(button(dialog, "start")->text(), QString("Start"));
    QVERIFY(button(dialog, "close")->isEnabled());
    QVERIFY(w.doc().modified);
    // the flows are in the view's values but not yet on the plan
    float flow = 0;
    QVERIFY(roadValue(w.doc(), 1, 1, flow));
    QVERIFY(std::abs(flow) > 0);
    QCOMPARE(w.view->plan().data.onlineValue[1], flow);
    QVERIFY(w.view->backingImage() == before);
    // Update shows them
    button(dialog, "update")->click();
    QVERIFY(w.view->backingImage() != before);
    QCOMPARE(w.view->plan().data.onlineValue[1], flow);
    // Display data on: the lower part with the fan list filled
    dialog.findChild<QCheckBox*>("displayData")->setChecked(true);
    QCOMPARE(dialog.height(), kAnalysisHeightWithData);
    QCOMPARE(w.app.units.displayData, 1);
    button(dialog, "start")->click();
    auto* fans = dialog.findChild<QTableWidget*>("fanList");
    QCOMPARE(fans->rowCount(), w.doc().fanCount);
    QVERIFY(fans->item(0, 0) && !fans->item(0, 0)->text().isEmpty());
    dialog.grab().save("/tmp/analysis-dialog.png");

    button(dialog, "close")->click();
    QTRY_VERIFY(!w.view->analysisDialog());
}

void AnalysisTest::stopAndDisplayDataDuringARun()
{
    QTemporaryDir folder;
    const QString net = folder.filePath("capacity.vad");
    QCOMPARE(gennet::writeNetwork(gennet::Shape{}, net.toStdString()), std::string());
    Window w(net);
    QVERIFY(w.view->networkLoaded());
    // The relaxation, whose run on this network is long enough to be stopped.
    writeSolverMethod(w.profile, SolverMethod::Relaxation);
    AnalysisRunDialog& dialog = w.dialog();
    auto* displayData = dialog.findChild<QCheckBox*>("displayData");
    displayData->setChecked(false);

    // During the run: the lower part shown at once, then Stop pressed. The
    // longest gap between two turns of the event loop is what the person
    // feels as the window's response.
    int turns = 0;
    bool displayedDuringRun = false;
    qint64 longest = 0;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, [&] {
        if (turns > 0)
            longest = std::max(longest, clock.nsecsElapsed());
        clock.restart();
        ++turns;
        if (turns == 10) {
            displayData->setChecked(true);
            displayedDuringRun = dialog.running() && dialog.height() == kAnalysisHeightWithData;
        }
        if (turns == 40)
            button(dialog, "start")->click();  // reads "Stop"
    });
    ticker.start();
    clock.start();
    button(dialog, "start")->click();
    ticker.stop();
    QVERIFY(turns >= 40);
    QVERIFY(displayedDuringRun);
    QCOMPARE(dialog.windowTitle().toStdString(), kSuspendedCaption);
    QVERIFY(w.doc().modified);

    // A whole run: how long the window goes without handling its events.
    QTimer watch;
    watch.setInterval(0);
    turns = 0;
    longest = 0;
    connect(&watch, &QTimer::timeout, [&] {
        if (turns > 0)
            longest = std::max(longest, clock.nsecsElapsed());
        clock.restart();
        ++turns;
    });
    QElapsedTimer run;
    run.start();
    watch.start();
    clock.start();
    button(dialog, "start")->click();
    watch.stop();
    QCOMPARE(dialog.windowTitle().toStdString(), kCompletedCaption);
    qInfo("capacity network: a run of %.0f ms, %d event loop turns, the longest %.2f ms apart",
          double(run.nsecsElapsed()) / 1e6, turns, double(longest) / 1e6);
}

void AnalysisTest::fireRunDrawsFronts()
{
    QTemporaryDir folder;
    Window w(Window::sample(folder, "minefire"));
    QVERIFY(w.doc().fire.finishTime > 0);
    w.doc().pauseFlag = 0;
    AnalysisRunDialog& dialog = w.dialog();
    const QRgb strong = toQColor(w.view->plan().settings.colours.strong).rgb();
    QCOMPARE(pixelsOf(w.view->backingImage(), strong), 0);
    button(dialog, "start")->click();
    QCOMPARE(dialog.windowTitle().toStdString(), kFireCompletedCaption);
    QVERIFY(dialog.findChild<QLabel*>("secondLine")->text().startsWith("Fire["));
    // the fronts stay on the plan until it is redrawn
    QVERIFY(pixelsOf(w.view->backingImage(), strong) > 20);
    w.view->backingImage().save("/tmp/analysis-fire.png");
    button(dialog, "update")->click();
}

void AnalysisTest::pauseDialogClearsOpt1()
{
    QTemporaryDir folder;
    Window w(Window::sample(folder, "minefire"));
    w.doc().pauseFlag = 1;
    AnalysisRunDialog& dialog = w.dialog();
    QVERIFY(dialog.opt1());
    // Each pause: the first is continued with opt1 kept, the second clears it.
    const int pauses = runAnsweringPauses(dialog, [](QDialog& pause, int number) {
        if (number == 2)
            pause.findChild<QCheckBox*>("pauseOpt1")->setChecked(false);
        pause.findChild<QPushButton*>("continue")->click();
    });
    QCOMPARE(pauses, 2);
    QCOMPARE(w.doc().pauseFlag, 0);
    QVERIFY(!dialog.opt1());
    QCOMPARE(dialog.windowTitle().toStdString(), kFireCompletedCaption);
}

void AnalysisTest::pauseLeavesTheRunInSight_data()
{
    QTest::addColumn<bool>("displayData");
    QTest::newRow("short dialog") << false;
    QTest::newRow("with the fan list") << true;
}

// While a fire run waits at a pause, its status line, the simulated time
// and the progress bar are not covered by the pause's controls.
void AnalysisTest::pauseLeavesTheRunInSight()
{
    QFETCH(bool, displayData);
    QTemporaryDir folder;
    Window w(Window::sample(folder, "minefire"));
    w.doc().pauseFlag = 1;
    AnalysisRunDialog& dialog = w.dialog();
    dialog.findChild<QCheckBox*>("displayData")->setChecked(displayData);
    QStringList covered;  // what the pause hid
    QString time;
    const int pauses = runAnsweringPauses(dialog, [&](QDialog& pause, int) {
        for (const char* name : {"statusLine", "secondLine", "progress"}) {
            const QWidget* shown = dialog.findChild<QWidget*>(name);
            if (pause.frameGeometry().intersects(QRect(shown->mapToGlobal(QPoint(0, 0)), shown->size())))
                covered << name;
        }
        time = dialog.findChild<QLabel*>("secondLine")->text();
        pause.findChild<QCheckBox*>("pauseOpt1")->setChecked(false);
        pause.findChild<QPushButton*>("continue")->click();
    });
    QCOMPARE(pauses, 1);
    QCOMPARE(covered, QStringList());
    QVERIFY2(time.contains("Time="), qPrintable(time));
}

void AnalysisTest::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("pressed");
    QTest::newRow("just opened") << "" << int(Qt::Key_Return) << "start";
    QTest::newRow("Start") << "start" << int(Qt::Key_Return) << "start";
    QTest::newRow("Close") << "close" << int(Qt::Key_Return) << "close";
    QTest::newRow("Update") << "update" << int(Qt::Key_Return) << "update";
    QTest::newRow("Parameter") << "parameter" << int(Qt::Key_Return) << "parameter";
    QTest::newRow("Parameter, keypad Enter") << "parameter" << int(Qt::Key_Enter) << "parameter";
    QTest::newRow("check box: the default") << "displayData" << int(Qt::Key_Return) << "start";
    QTest::newRow("Escape on Close: Start") << "close" << int(Qt::Key_Escape) << "start";
}

// Enter presses the button that has the focus; Start stays the default.
void AnalysisTest::enterPressesTheFocusedButton()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, pressed);
    AnalysisRunDialog dialog(0, false, false);
    QStringList seen;
    connect(&dialog, &AnalysisRunDialog::startRequested, [&] { seen << "start"; });
    connect(&dialog, &AnalysisRunDialog::parameterRequested, [&] { seen << "parameter"; });
    connect(&dialog, &AnalysisRunDialog::updateRequested, [&] { seen << "update"; });
    connect(&dialog, &QDialog::finished, [&] { seen << "close"; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget* focused = dialog.findChild<QWidget*>(focus.isEmpty() ? QString("start") : focus);
    if (!focus.isEmpty())
        focused->setFocus();
    QCOMPARE(dialog.focusWidget(), focused);
    QTest::keyClick(focused, Qt::Key(key));
    QCOMPARE(seen, QStringList{pressed});
}

void AnalysisTest::fanCurveViewerStarted()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir("with blank"));
    QTemporaryDir unused;
    copySample("mine", folder.path() + "/with blank");
    Window w(folder.path() + "/with blank/mine.vad");
    QVERIFY(w.view->networkLoaded());
    w.view->fanCharacterDisplay();
    const QString file = folder.path() + "/with blank/mine.fan";
    if (w.starter.started.empty()) {
        // no viewer built beside the tests: the person is told so
        QVERIFY(w.reporter.said("vistrel"));
    } else {
        QCOMPARE(w.starter.started.size(), size_t(1));
        QVERIFY(QString::fromStdString(w.starter.started[0].first).endsWith("vistrel"));
        QCOMPARE(w.starter.started[0].second, QString(file).replace(' ', '*').toStdString());
    }
    QVERIFY(QFile::exists(file));
    // an untitled network has no place for the file
    Window untitled((folder.path() + "/nothing.vad"));
    untitled.reporter.messages.clear();
    untitled.view->fanCharacterDisplay();
    QVERIFY(untitled.starter.started.empty());
    QVERIFY(!untitled.reporter.messages.empty());
}

// The fan curve viewer, once it has ended, is not left behind as a defunct
// process. The test stands where an init that never collects stands (a
// child subreaper: the orphans of its children become its own).
void AnalysisTest::endedViewerLeavesNoDefunctProcess()
{
    QTemporaryDir programs;
    QFile viewer(programs.filePath("vistrel"));
    QVERIFY(viewer.open(QIODevice::WriteOnly));
    viewer.write("#!/bin/sh\necho $$ > \"$(dirname \"$0\")/ran\"\n");
    viewer.close();
    viewer.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QTemporaryDir folder;
    Window w(Window::sample(folder, "mine"));
    w.services.programs = nullptr;
    w.app.programFolder = programs.path().toStdString();

    QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const std::unique_ptr<void, void (*)(void*)> reaperOff(&w, [](void*) { prctl(PR_SET_CHILD_SUBREAPER, 0); });
    w.view->fanCharacterDisplay();
    QVERIFY2(w.reporter.messages.empty(), w.reporter.messages.empty() ? "" : w.reporter.messages[0].text.c_str());
    const QString ran = programs.filePath("ran");
    QTRY_VERIFY(contents(ran).endsWith('\n'));
    const QString process = "/proc/" + QString::fromLatin1(contents(ran).trimmed());
    QTRY_VERIFY2(!QFileInfo::exists(process), qPrintable(process + " " + contents(process + "/stat")));
}

void AnalysisTest::parametersFromTheDialog()
{
    QTemporaryDir folder;
    Window w(Window::sample(folder, "mine"));
    AnalysisRunDialog& dialog = w.dialog();
    // "maximum iteration" 0: the setting holds for the next run, which
    // runs no iteration and still completes
    QTimer::singleShot(0, [] {
        auto* parameters = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(parameters && parameters->windowTitle() == "parameters");
        parameters->findChild<QLineEdit*>("maxIteration")->setText("0");
        parameters->findChild<QPushButton*>("ok")->click();
    });
    button(dialog, "parameter")->click();
    QCOMPARE(w.app.units.maxIteration, 0);
    button(dialog, "start")->click();
    QCOMPARE(dialog.windowTitle().toStdString(), kCompletedCaption);
    QCOMPARE(w.doc().lastIterations, 0);

    // The relaxation, chosen in the dialog: kept in the profile, and the next
    // run takes 122 iterations where the Newton method, the default, takes
    // some ten; the dialog says whose results they are.
    QTimer::singleShot(0, [] {
        auto* parameters = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(parameters);
        parameters->findChild<QLineEdit*>("maxIteration")->setText("500");
        parameters->findChild<QComboBox*>("method")->setCurrentText("relaxation");
        parameters->findChild<QPushButton*>("ok")->click();
    });
    button(dialog, "parameter")->click();
    QCOMPARE(w.profile.readString(kAnalysisSection, kSolverMethodEntry, ""), std::string("relaxation"));
    button(dialog, "start")->click();
    QCOMPARE(dialog.windowTitle().toStdString(), kCompletedCaption);
    QCOMPARE(w.doc().lastIterations, 122);
    QCOMPARE(dialog.findChild<QLabel*>("methodLine")->text(), QString("Results of the relaxation"));
}

QTEST_MAIN(AnalysisTest)
#include "analysis_test.moc"
