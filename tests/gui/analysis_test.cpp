// Runs from the window: the analysis dialog's Start runs the solver and the
// fire simulation on the user interface thread, its Stop, "Display data",
// pause and parameters reach the run, the fire fronts are drawn on the
// plan, and the fan curve viewer is started on the network's fan curve file.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <sys/prctl.h>

#include "capacitynet.h"
#include "dialogs/analysisrundialog.h"
#include "run/rundriver.h"
#include "support.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

struct Window : NetworkWindow {
    explicit Window(const QString& name)
    {
        open(name.endsWith(".vad") ? name : sample(name), {900, 700});
    }
    AnalysisRunDialog& dialog()
    {
        view->openAnalysisDialog();
        return *view->analysisDialog();
    }
};

QPushButton* button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(name);
}

// Answers the parameters dialog, once it is up, with this maximum iteration
// and method.
void answerParameters(const char* maxIteration, const char* method)
{
    QTimer::singleShot(0, [=] {
        auto* parameters = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(parameters && parameters->windowTitle() == "parameters");
        parameters->findChild<QLineEdit*>("maxIteration")->setText(maxIteration);
        parameters->findChild<QComboBox*>("method")->setCurrentText(method);
        parameters->findChild<QPushButton*>("ok")->click();
    });
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
    void startUpdateAndCloseFromTheDialog();
    void stopAndDisplayDataDuringARun();
    void fireRunPausesAndDrawsFronts();
    void enterPressesTheFocusedButton();
    void fanCurveViewerStartedAndCollected();
};

// Start runs, Update draws the results, Display data fills the fan list,
// Parameter's values reach the next run, Close closes.
void AnalysisTest::startUpdateAndCloseFromTheDialog()
{
    Window w("mine");
    AnalysisRunDialog& dialog = w.dialog();
    const QImage before = w.view->backingImage().copy();
    button(dialog, "start")->click();  // the run goes on inside the click
    QCOMPARE(dialog.windowTitle().toStdString(), kCompletedCaption);
    QVERIFY(w.view->backingImage() == before);  // the results wait for Update
    button(dialog, "update")->click();
    QVERIFY(w.view->backingImage() != before);
    // Display data on: the fan list filled by the next run
    dialog.findChild<QCheckBox*>("displayData")->setChecked(true);
    QCOMPARE(w.app.units.displayData, 1);
    button(dialog, "start")->click();
    auto* fans = dialog.findChild<QTableWidget*>("fanList");
    QCOMPARE(fans->rowCount(), w.doc().fanCount);
    QVERIFY(fans->item(0, 0) && !fans->item(0, 0)->text().isEmpty());
    dialog.grab().save("/tmp/analysis-dialog.png");

    // The parameters' values hold for the next run: no iteration at all,
    // then the relaxation, which the profile keeps.
    answerParameters("0", "Newton");
    button(dialog, "parameter")->click();
    button(dialog, "start")->click();
    QCOMPARE(w.doc().lastIterations, 0);
    answerParameters("500", "relaxation");
    button(dialog, "parameter")->click();
    QCOMPARE(w.profile.readString(kAnalysisSection, kSolverMethodEntry, ""), std::string("relaxation"));
    button(dialog, "start")->click();
    QCOMPARE(dialog.findChild<QLabel*>("methodLine")->text(), QString("Results of the relaxation"));
    button(dialog, "close")->click();
    QTRY_VERIFY(!w.view->analysisDialog());
}

void AnalysisTest::stopAndDisplayDataDuringARun()
{
    NetworkWindow w;
    const QString net = w.folder.filePath("capacity.vad");
    QCOMPARE(gennet::writeNetwork(gennet::Shape{}, net.toStdString()), std::string());
    w.open(net);
    // The relaxation, whose run on this network is long enough to be stopped.
    writeSolverMethod(w.profile, SolverMethod::Relaxation);
    w.view->openAnalysisDialog();
    AnalysisRunDialog& dialog = *w.view->analysisDialog();
    auto* displayData = dialog.findChild<QCheckBox*>("displayData");
    displayData->setChecked(false);

    // During the run: the lower part shown at once, then Stop pressed.
    int turns = 0;
    bool displayedDuringRun = false;
    QTimer ticker;
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, [&] {
        if (++turns == 10) {
            displayData->setChecked(true);
            displayedDuringRun = dialog.running() && dialog.height() == kAnalysisHeightWithData;
        }
        if (turns == 40)
            button(dialog, "start")->click();  // reads "Stop"
    });
    ticker.start();
    button(dialog, "start")->click();
    ticker.stop();
    QVERIFY(displayedDuringRun);
    QCOMPARE(dialog.windowTitle().toStdString(), kSuspendedCaption);
}

// A fire run with its pauses: the first continued with opt1 kept, the second
// clears it. While the run waits at a pause, its status line, the simulated
// time and the progress bar stay in sight. The fronts stay on the plan.
void AnalysisTest::fireRunPausesAndDrawsFronts()
{
    for (const bool displayData : {false, true}) {
        Window w("minefire");
        w.doc().pauseFlag = 1;
        AnalysisRunDialog& dialog = w.dialog();
        dialog.findChild<QCheckBox*>("displayData")->setChecked(displayData);
        const QRgb strong = toQColor(w.view->plan().settings.colours.strong).rgb();
        QCOMPARE(pixelsOf(w.view->backingImage(), strong), 0);
        QStringList covered;  // what a pause hid
        QString time;
        int pauses = 0;
        QTimer answer;
        answer.setInterval(0);
        connect(&answer, &QTimer::timeout, [&] {
            auto* pause = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!pause || pause->objectName() != "pauseDialog")
                return;
            for (const char* name : {"statusLine", "secondLine", "progress"}) {
                const QWidget* shown = dialog.findChild<QWidget*>(name);
                if (pause->frameGeometry().intersects(QRect(shown->mapToGlobal(QPoint(0, 0)), shown->size())))
                    covered << name;
            }
            time = dialog.findChild<QLabel*>("secondLine")->text();
            pause->findChild<QCheckBox*>("pauseOpt1")->setChecked(++pauses == 1);
            pause->findChild<QPushButton*>("continue")->click();
        });
        answer.start();
        button(dialog, "start")->click();
        answer.stop();
        QCOMPARE(pauses, 2);
        QCOMPARE(covered, QStringList());
        QVERIFY2(time.contains("Time="), qPrintable(time));
        QCOMPARE(w.doc().pauseFlag, 0);
        QCOMPARE(dialog.windowTitle().toStdString(), kFireCompletedCaption);
        QVERIFY(pixelsOf(w.view->backingImage(), strong) > 20);
        if (!displayData)
            w.view->backingImage().save("/tmp/analysis-fire.png");
    }
}

// Enter presses the button that has the focus; Escape presses Start, the default.
void AnalysisTest::enterPressesTheFocusedButton()
{
    for (const auto& [key, pressed] : {std::pair{Qt::Key_Return, "close"}, {Qt::Key_Escape, "start"}}) {
        AnalysisRunDialog dialog(0, false, false);
        QStringList seen;
        connect(&dialog, &AnalysisRunDialog::startRequested, [&] { seen << "start"; });
        connect(&dialog, &QDialog::finished, [&] { seen << "close"; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        button(dialog, "close")->setFocus();
        QTest::keyClick(dialog.focusWidget(), key);
        QCOMPARE(seen, QStringList{pressed});
    }
}

// The viewer started through the program's search, once ended, is not left
// defunct: the test stands where an init that never collects stands (a
// child subreaper). Which file it gets is the core's (ViewCommands suite).
void AnalysisTest::fanCurveViewerStartedAndCollected()
{
    Window w("mine");
    QTemporaryDir programs;
    QFile viewer(programs.filePath("vistrel"));
    QVERIFY(viewer.open(QIODevice::WriteOnly));
    viewer.write("#!/bin/sh\necho $$ > \"$(dirname \"$0\")/ran\"\n");
    viewer.close();
    viewer.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    w.app.programFolder = programs.path().toStdString();
    w.reporter.messages.clear();
    QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const std::unique_ptr<void, void (*)(void*)> reaperOff(&w, [](void*) { prctl(PR_SET_CHILD_SUBREAPER, 0); });
    w.view->fanCharacterDisplay();
    QVERIFY2(w.reporter.messages.empty(), w.reporter.messages.empty() ? "" : w.reporter.messages[0].c_str());
    const QString ran = programs.filePath("ran");
    QTRY_VERIFY(contents(ran).endsWith('\n'));
    const QString process = "/proc/" + QString::fromLatin1(contents(ran).trimmed());
    QTRY_VERIFY2(!QFileInfo::exists(process), qPrintable(process + " " + contents(process + "/stat")));
}

QTEST_MAIN(AnalysisTest)
#include "analysis_test.moc"
