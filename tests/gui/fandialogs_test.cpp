// The fan curve dialogs and the parameters dialog driven as the person
// would, without exec(): fields are typed into, buttons clicked and Enter
// pressed, and what the dialog said, where it left the focus and what it
// handed back or stored are checked. Messages are recorded, never shown.
#include <QtTest>

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <vector>

#include "dialogs/fandialog.h"
#include "dialogs/parametersdialog.h"
#include "edit/fancurve.h"
#include "tabordercheck.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

struct Said {
    std::string text, caption;
};

class RecordingReporter : public Reporter {
public:
    std::vector<Said> said;
    void message(const std::string& text, const std::string& caption, MessageKind) override
    {
        said.push_back({text, caption});
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
};

template <class W>
W* field(QWidget& dialog, const char* name)
{
    W* w = dialog.findChild<W*>(name);
    if (!w)
        qFatal("no field %s", name);
    return w;
}

QString text(QWidget& dialog, const char* name) { return field<QLineEdit>(dialog, name)->text(); }
QString pointLabel(QWidget& dialog) { return field<QLabel>(dialog, "pointLabel")->text(); }

void click(QWidget& dialog, const char* name)
{
    QTest::mouseClick(field<QPushButton>(dialog, name), Qt::LeftButton);
    QCoreApplication::processEvents();  // the count field's check when it was left
}

// Replaces a field's text as typing over it would.
void type(QWidget& dialog, const char* name, const QString& value)
{
    field<QLineEdit>(dialog, name)->setText(value);
}

// Types into the field that has the focus (its text selected) and presses Enter.
void typeAndEnter(QWidget& dialog, const QString& value)
{
    auto* focused = qobject_cast<QLineEdit*>(dialog.focusWidget());
    QVERIFY2(focused, "the focus is not in a field");
    QVERIFY(focused->hasSelectedText() || focused->text().isEmpty());
    QTest::keyClicks(focused, value);
    QTest::keyClick(focused, Qt::Key_Return);
    QCoreApplication::processEvents();
}

FanCurve curveOf(int points, float flowStep, std::initializer_list<float> pressures)
{
    FanCurve c;
    c.points = points;
    c.flowStep = flowStep;
    std::size_t j = 0;
    for (float p : pressures)
        c.pressure[j++] = p;
    return c;
}

const QString kFirstPointLabel = "Pressure(*) at 0 air flow";

// A document as a new network window has it, from the settings in the source tree.
struct Network {
    AppContext context;
    RecordingReporter documentReporter;
    std::unique_ptr<CBriscoDoc> doc;

    Network()
    {
        context.programFolder = ORVEX_SOURCE_DIR;
        doc = std::make_unique<CBriscoDoc>(context, documentReporter);
        doc->modified = false;
        doc->fire.frontDisplayStep = 0.5f;
        doc->fire.fireNode = 23;
        doc->fire.fireTemperature = 650.0f;
        doc->fire.fireTimeStep = 2.0f;
        doc->fire.finishTime = 30.0f;
        doc->fire.gasLimit = 0.001f;
        doc->surfaceTemperature = 15.5f;
        context.units.maxIteration = 500;
        context.units.solverError = 0.01f;
        context.units.relaxation = 1.2f;
    }
};

}  // namespace

class FanDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TabOrderWarnings::install(); }
    void cleanup() { TabOrderWarnings::check(); }
    void newFanWithNextAndBack();
    void enterStepsThroughTheFields();
    void countChecks_data();
    void countChecks();
    void fieldsThatAreNotNumbers_data();
    void fieldsThatAreNotNumbers();
    void changeKeepsUntouchedPoints();

    void parametersRefused_data();
    void parametersRefused();
    void parametersOkStoresAllTen();
    void parametersWithoutChangesLeaveTheNetworkUnmodified();
};

// --- make new fans / change fan data ---------------------------------------------

// Four points at 0, 100, 200 and 300 of the flow unit, with a trip back to
// the third point to correct it.
void FanDialogsTest::newFanWithNextAndBack()
{
    RecordingReporter reporter;
    FanDialog dialog(true, 12, 34, FanCurve{}, reporter);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.windowTitle(), QString("make new fans"));
    QCOMPARE(text(dialog, "inlet"), QString("12"));
    QCOMPARE(text(dialog, "outlet"), QString("34"));
    QVERIFY(field<QLineEdit>(dialog, "inlet")->isReadOnly());
    QCOMPARE(text(dialog, "flowStep"), QString("0"));
    QCOMPARE(text(dialog, "count"), QString("0"));
    QCOMPARE(pointLabel(dialog), kFirstPointLabel);

    type(dialog, "flowStep", "100");
    type(dialog, "count", "4");
    type(dialog, "pressure", "x");
    click(dialog, "back");  // on the first point: nothing, not even a check
    QVERIFY(reporter.said.empty());
    QCOMPARE(pointLabel(dialog), kFirstPointLabel);
    QCOMPARE(text(dialog, "pressure"), QString("x"));
    type(dialog, "pressure", "250");

    click(dialog, "next");
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 100 air flow (2/4)"));
    QCOMPARE(text(dialog, "pressure"), QString("0"));
    QVERIFY(field<QLineEdit>(dialog, "pressure")->hasFocus());
    type(dialog, "pressure", "240");
    click(dialog, "next");
    type(dialog, "pressure", "200");
    click(dialog, "next");
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 300 air flow (4/4)"));
    type(dialog, "pressure", "150");
    dialog.grab().save("/tmp/fandlg-new.png");

    click(dialog, "back");  // keeps 150 for the fourth point
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 200 air flow (3/4)"));
    QCOMPARE(text(dialog, "pressure"), QString("200"));
    click(dialog, "back");
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 100 air flow (2/4)"));
    QCOMPARE(text(dialog, "pressure"), QString("240"));
    click(dialog, "next");
    type(dialog, "pressure", "210");
    click(dialog, "next");
    QCOMPARE(text(dialog, "pressure"), QString("150"));
    QVERIFY(dialog.isVisible());

    type(dialog, "pressure", "140");
    click(dialog, "next");  // on the last point: OK, with the value just typed
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(reporter.said.empty());
    const FanCurve c = dialog.curve();
    QCOMPARE(c.points, 4);
    QCOMPARE(c.flowStep, 100.0f);
    QCOMPARE(c.pressure[0], 250.0f);
    QCOMPARE(c.pressure[1], 240.0f);
    QCOMPARE(c.pressure[2], 210.0f);
    QCOMPARE(c.pressure[3], 140.0f);
    QCOMPARE(c.pressure[4], 0.0f);
}

// Enter goes airflow step -> count -> pressure, then acts as "next" on each
// point; on the last point it closes the dialog.
void FanDialogsTest::enterStepsThroughTheFields()
{
    RecordingReporter reporter;
    FanDialog dialog(true, 5, 6, FanCurve{}, reporter);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* count = field<QLineEdit>(dialog, "count");
    auto* pressure = field<QLineEdit>(dialog, "pressure");
    QVERIFY(field<QLineEdit>(dialog, "flowStep")->hasFocus());
    QVERIFY(!field<QPushButton>(dialog, "enterKey")->isVisible());

    typeAndEnter(dialog, "50");
    QVERIFY(count->hasFocus());
    typeAndEnter(dialog, "3");
    QVERIFY(pressure->hasFocus());
    QCOMPARE(pointLabel(dialog), kFirstPointLabel);  // only the buttons show a point
    typeAndEnter(dialog, "10");
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 50 air flow (2/3)"));
    QVERIFY(pressure->hasFocus());
    typeAndEnter(dialog, "8.5");
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 100 air flow (3/3)"));

    // Back in the airflow step by mouse, Enter starts the round again
    // without taking anything.
    QTest::mouseClick(field<QLineEdit>(dialog, "flowStep"), Qt::LeftButton);
    QTest::keyClick(field<QLineEdit>(dialog, "flowStep"), Qt::Key_Return);
    QVERIFY(count->hasFocus());
    QTest::keyClick(count, Qt::Key_Return);
    QCoreApplication::processEvents();
    QVERIFY(pressure->hasFocus());
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 100 air flow (3/3)"));

    typeAndEnter(dialog, "5");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(reporter.said.empty());
    const FanCurve c = dialog.curve();
    QCOMPARE(c.points, 3);
    QCOMPARE(c.flowStep, 50.0f);
    QCOMPARE(c.pressure[0], 10.0f);
    QCOMPARE(c.pressure[1], 8.5f);
    QCOMPARE(c.pressure[2], 5.0f);
}

// The count is checked when its field is left (here with Tab) and again on
// OK. "make new fans" takes 1..30 only; "change fan data" keeps the count
// within the 30 points a fan holds without a word.
void FanDialogsTest::countChecks_data()
{
    QTest::addColumn<bool>("newFan");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: taken
    QTest::addColumn<QString>("shown");    // the count field once it is taken
    QTest::addColumn<int>("points");

    const QString range = QString::fromStdString(FanCurveEntry::countMessage());
    QTest::newRow("new, 0") << true << "0" << range << "" << 0;
    QTest::newRow("new, 31") << true << "31" << range << "" << 0;
    QTest::newRow("new, -3") << true << "-3" << range << "" << 0;
    QTest::newRow("new, not a number") << true << "many" << range << "" << 0;
    QTest::newRow("new, 1") << true << "1" << "" << "1" << 1;
    QTest::newRow("new, 30") << true << "30" << "" << "30" << 30;
    QTest::newRow("change, 0") << false << "0" << "" << "0" << 0;
    QTest::newRow("change, 45") << false << "45" << "" << "30" << 30;
    QTest::newRow("change, 2.5")
        << false << "2.5" << QString::fromStdString(kFanCountNotANumber) << "" << 0;
}

void FanDialogsTest::countChecks()
{
    QFETCH(bool, newFan);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(int, points);

    RecordingReporter reporter;
    FanDialog dialog(newFan, 1, 2, curveOf(2, 10, {7, 6}), reporter);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* count = field<QLineEdit>(dialog, "count");
    count->setFocus();
    count->setText(typed);
    QTest::keyClick(count, Qt::Key_Tab);
    QCoreApplication::processEvents();

    if (message.isEmpty()) {
        QVERIFY(reporter.said.empty());
        QCOMPARE(count->text(), shown);
        QVERIFY(field<QLineEdit>(dialog, "pressure")->hasFocus());
        click(dialog, "ok");
        QVERIFY(reporter.said.empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.curve().points, points);
        return;
    }
    QCOMPARE(reporter.said.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(reporter.said[0].text), message);
    QCOMPARE(reporter.said[0].caption, kViewCaption);
    QVERIFY(count->hasFocus());
    QCOMPARE(count->selectedText(), typed);

    click(dialog, "ok");
    QCOMPARE(reporter.said.size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(reporter.said[1].text), message);
    QVERIFY(dialog.isVisible());
    QVERIFY(count->hasFocus());
}

// A field that does not hold a number stops "next" and OK where it is.
void FanDialogsTest::fieldsThatAreNotNumbers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");

    QTest::newRow("airflow unit, next") << "flowStep" << "1,5" << "next"
                                        << QString::fromStdString(kFanFlowStepNotANumber);
    QTest::newRow("airflow unit, OK") << "flowStep" << "" << "ok"
                                      << QString::fromStdString(kFanFlowStepNotANumber);
    QTest::newRow("pressure, next") << "pressure" << "12a" << "next"
                                    << QString::fromStdString(kFanPressureNotANumber);
    QTest::newRow("pressure, OK") << "pressure" << "1e40" << "ok"
                                  << QString::fromStdString(kFanPressureNotANumber);
}

void FanDialogsTest::fieldsThatAreNotNumbers()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, message);

    RecordingReporter reporter;
    FanDialog dialog(false, 1, 2, curveOf(3, 10, {7, 6, 5}), reporter);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* edited = field<QLineEdit>(dialog, name.toLatin1().constData());
    edited->setText(typed);
    click(dialog, button.toLatin1().constData());

    QCOMPARE(reporter.said.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(reporter.said[0].text), message);
    QVERIFY(dialog.isVisible());
    QVERIFY(edited->hasFocus());
    QCOMPARE(edited->text(), typed);
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 0 air flow (1/3)"));
}

// "change fan data" shows the fan's first point; points that are not
// visited come back to the last bit, and lowering the count drops the
// points beyond it.
void FanDialogsTest::changeKeepsUntouchedPoints()
{
    RecordingReporter reporter;
    const FanCurve given = curveOf(5, 12.5f, {300.25f, 290.125f, 275.3f, 250.77f, 200.1f});
    FanDialog dialog(false, 101, 7, given, reporter);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.windowTitle(), QString("change fan data"));
    QCOMPARE(text(dialog, "flowStep"), QString("12.5"));
    QCOMPARE(text(dialog, "count"), QString("5"));
    QCOMPARE(text(dialog, "pressure"), QString("300.25"));
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 0 air flow (1/5)"));

    click(dialog, "next");
    QCOMPARE(pointLabel(dialog), QString("Pressure(*) at 12 air flow (2/5)"));  // %.0f of 12.5
    QCOMPARE(text(dialog, "pressure"), QString("290.125"));
    type(dialog, "pressure", "295");
    click(dialog, "next");
    QCOMPARE(text(dialog, "pressure"), QString("275.3"));
    click(dialog, "next");
    dialog.grab().save("/tmp/fandlg-change.png");
    type(dialog, "count", "4");
    click(dialog, "ok");

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(reporter.said.empty());
    const FanCurve c = dialog.curve();
    QCOMPARE(c.points, 4);
    QCOMPARE(c.flowStep, 12.5f);
    QCOMPARE(c.pressure[0], 300.25f);
    QCOMPARE(c.pressure[1], 295.0f);
    QCOMPARE(c.pressure[2], 275.3f);
    QCOMPARE(c.pressure[3], 250.77f);
    QCOMPARE(c.pressure[4], 0.0f);
}

// Cancel closes without a word, even straight from a count that OK would
// refuse; Escape does the same.
// --- parameters ---------------------------------------------------------------

// One field at a time gets a text and OK is clicked. A refused field says
// why, keeps the dialog open with the field selected and stores nothing.
void FanDialogsTest::parametersRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: taken

    const QString errorRange = QString::fromStdString(kSolverErrorRange);
    const QString iterationRange = QString::fromStdString(kIterationRange);
    QTest::newRow("error -0.1") << "solverError" << "-0.1" << errorRange;
    QTest::newRow("error 50000.1") << "solverError" << "50000.1" << errorRange;
    QTest::newRow("error abc") << "solverError" << "abc" << errorRange;
    QTest::newRow("error 0") << "solverError" << "0" << "";
    QTest::newRow("error 50000") << "solverError" << "50000.0" << "";
    QTest::newRow("iteration -1") << "maxIteration" << "-1" << iterationRange;
    QTest::newRow("iteration 10000") << "maxIteration" << "10000" << iterationRange;
    QTest::newRow("iteration 12.5") << "maxIteration" << "12.5" << iterationRange;
    QTest::newRow("iteration 0") << "maxIteration" << "0" << "";
    QTest::newRow("iteration 9999") << "maxIteration" << "9999" << "";
    QTest::newRow("fire node 1.5")
        << "fireNode" << "1.5"
        << QString::fromStdString(notANumberMessage("fire node number", true));
    QTest::newRow("fire temperature empty")
        << "fireTemperature" << ""
        << QString::fromStdString(notANumberMessage("fire temperature1", false));
    QTest::newRow("Acc with a comma")
        << "relaxation" << "1,2" << QString::fromStdString(notANumberMessage("Acc", false));
    QTest::newRow("Surface temp -5") << "surfaceTemperature" << "-5" << "";
}

void FanDialogsTest::parametersRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, message);

    Network net;
    RecordingReporter reporter;
    ParametersDialog dialog(*net.doc, reporter);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* edited = field<QLineEdit>(dialog, name.toLatin1().constData());
    edited->setText(typed);
    click(dialog, "ok");

    if (message.isEmpty()) {
        QVERIFY(reporter.said.empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        return;
    }
    QCOMPARE(reporter.said.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(reporter.said[0].text), message);
    QCOMPARE(reporter.said[0].caption, kViewCaption);
    QVERIFY(dialog.isVisible());
    QVERIFY(edited->hasFocus());
    QCOMPARE(edited->selectedText(), typed);
    QCOMPARE(net.context.units.solverError, 0.01f);
    QCOMPARE(net.context.units.maxIteration, 500);
    QCOMPARE(net.doc->fire.fireNode, 23);
    QVERIFY(!net.doc->modified);
}

void FanDialogsTest::parametersOkStoresAllTen()
{
    Network net;
    RecordingReporter reporter;

    // Cancel after typing leaves everything as it was.
    ParametersDialog cancelled(*net.doc, reporter);
    cancelled.show();
    type(cancelled, "fireNode", "99");
    type(cancelled, "solverError", "3");
    click(cancelled, "cancel");
    QCOMPARE(cancelled.result(), int(QDialog::Rejected));
    QCOMPARE(net.doc->fire.fireNode, 23);
    QCOMPARE(net.context.units.solverError, 0.01f);
    QVERIFY(!net.doc->modified);

    ParametersDialog dialog(*net.doc, reporter);
    dialog.show();
    type(dialog, "frontDisplayStep", "0.25");
    type(dialog, "fireNode", "41");
    type(dialog, "fireTemperature", "800");
    type(dialog, "fireTimeStep", "0.5");
    type(dialog, "finishTime", "0");
    type(dialog, "gasConcentration", "0.0005");
    type(dialog, "maxIteration", "9999");
    type(dialog, "surfaceTemperature", "-2.5");
    type(dialog, "solverError", "0.002");
    type(dialog, "relaxation", " 0.8 ");  // blanks around a number are fine
    click(dialog, "ok");

    QVERIFY(reporter.said.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const FireParameters& fire = net.doc->fire;
    QCOMPARE(fire.frontDisplayStep, 0.25f);
    QCOMPARE(fire.fireNode, 41);
    QCOMPARE(fire.fireTemperature, 800.0f);
    QCOMPARE(fire.fireTimeStep, 0.5f);
    QCOMPARE(fire.finishTime, 0.0f);
    QCOMPARE(fire.gasLimit, 0.0005f);
    QCOMPARE(net.context.units.maxIteration, 9999);
    QCOMPARE(net.doc->surfaceTemperature, -2.5f);
    QCOMPARE(net.context.units.solverError, 0.002f);
    QCOMPARE(net.context.units.relaxation, 0.8f);
    QVERIFY(net.doc->modified);
    // the rest of the fire parameters are not the dialog's
    QCOMPARE(fire.kval, FireParameters{}.kval);
}

// OK without edits stores the same values to the last bit; a change of the
// solver settings alone does not touch the network.
void FanDialogsTest::parametersWithoutChangesLeaveTheNetworkUnmodified()
{
    Network net;
    net.doc->fire.gasLimit = 0.0012345678f;
    net.context.units.relaxation = 1.0f / 3.0f;
    RecordingReporter reporter;

    ParametersDialog unchanged(*net.doc, reporter);
    unchanged.show();
    click(unchanged, "ok");
    QCOMPARE(unchanged.result(), int(QDialog::Accepted));
    QCOMPARE(net.doc->fire.gasLimit, 0.0012345678f);
    QCOMPARE(net.context.units.relaxation, 1.0f / 3.0f);
    QVERIFY(!net.doc->modified);

    ParametersDialog solverOnly(*net.doc, reporter);
    solverOnly.show();
    type(solverOnly, "solverError", "5");
    type(solverOnly, "maxIteration", "20");
    type(solverOnly, "relaxation", "1.5");
    click(solverOnly, "ok");
    QCOMPARE(net.context.units.solverError, 5.0f);
    QCOMPARE(net.context.units.maxIteration, 20);
    QVERIFY(!net.doc->modified);

    ParametersDialog surface(*net.doc, reporter);
    surface.show();
    type(surface, "surfaceTemperature", "16");
    click(surface, "ok");
    QVERIFY(net.doc->modified);
    QVERIFY(reporter.said.empty());
}

QTEST_MAIN(FanDialogsTest)
#include "fandialogs_test.moc"
