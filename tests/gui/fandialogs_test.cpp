// The fan curve dialogs and the parameters dialog driven as the person
// would. The point by point entry and the parameters' ranges are the core's
// (FanCurveEntry, ParametersForm); here the fields are seen to reach it.
#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "dialogs/fandialog.h"
#include "dialogs/parametersdialog.h"
#include "edit/fancurve.h"
#include "support.h"
#include "tabordercheck.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

QString text(QWidget& dialog, const char* name) { return child<QLineEdit>(dialog, name)->text(); }
QString pointLabel(QWidget& dialog) { return child<QLabel>(dialog, "pointLabel")->text(); }
void type(QWidget& dialog, const char* name, const QString& value) { child<QLineEdit>(dialog, name)->setText(value); }

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
        doc->fire.fireNode = 23;
        doc->fire.gasLimit = 0.0012345678f;
        context.units.maxIteration = 500;
        context.units.solverError = 0.01f;
        context.units.relaxation = 1.0f / 3.0f;
    }
};

}  // namespace

class FanDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TabOrderWarnings::install(); }
    void cleanup() { TabOrderWarnings::check(); }
    void newFanWithEnterNextAndBack();
    void countLeft();
    void refusedFieldsKeepTheDialogOpen();
    void changeKeepsUntouchedPoints();
    void parametersReachTheNetwork();
};

// Enter goes airflow step -> count -> pressure and then acts as "next";
// "back" shows the point before; "next" on the last point closes as OK.
void FanDialogsTest::newFanWithEnterNextAndBack()
{
    RecordingReporter reporter;
    FanDialog dialog(true, 12, 34, FanCurve{}, reporter);
    QVERIFY(shownActive(dialog));
    typeAndEnter(dialog, "100");
    QVERIFY(child<QLineEdit>(dialog, "count")->hasFocus());
    typeAndEnter(dialog, "3");
    QVERIFY(child<QLineEdit>(dialog, "pressure")->hasFocus());
    typeAndEnter(dialog, "250");
    const QString second = pointLabel(dialog);
    type(dialog, "pressure", "240");
    click(dialog, "next");
    type(dialog, "pressure", "150");
    dialog.grab().save("/tmp/fandlg-new.png");
    click(dialog, "back");  // keeps 150 for the third point
    QCOMPARE(pointLabel(dialog), second);
    QCOMPARE(text(dialog, "pressure"), QString("240"));
    type(dialog, "pressure", "210");
    click(dialog, "next");
    QCOMPARE(text(dialog, "pressure"), QString("150"));
    type(dialog, "pressure", "140");
    click(dialog, "next");

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(reporter.messages.empty());
    const FanCurve c = dialog.curve();
    QCOMPARE(std::vector<float>({float(c.points), c.flowStep, c.pressure[0], c.pressure[1], c.pressure[2]}),
             std::vector<float>({3, 100, 250, 210, 140}));
}

// The count is checked when its field is left with Tab, not when a button
// is pressed with the mouse ("back" on the first point does nothing).
void FanDialogsTest::countLeft()
{
    const struct {
        const char *typed, *leave;
        bool refused;
    } cases[] = {{"31", "Tab", true}, {"31", "back", false}, {"30", "Tab", false}};
    for (const auto& c : cases) {
        RecordingReporter reporter;
        FanDialog dialog(true, 1, 2, curveOf(2, 10, {7, 6}), reporter);
        QVERIFY(shownActive(dialog));
        auto* count = child<QLineEdit>(dialog, "count");
        count->setFocus();
        count->setText(c.typed);
        if (QString(c.leave) == "Tab")
            key(dialog, Qt::Key_Tab);
        else
            click(dialog, c.leave);
        QCOMPARE(count->text(), QString(c.typed));
        QCOMPARE(reporter.messages.size(), std::size_t(c.refused));
        if (c.refused)
            QVERIFY(count->hasFocus() && count->selectedText() == c.typed);
    }
}

// A field that is no number, or out of range, stops "next" or OK where it
// is, with the field focused, and stores nothing.
void FanDialogsTest::refusedFieldsKeepTheDialogOpen()
{
    for (const auto& [name, typed, button] : {std::tuple{"flowStep", "1,5", "ok"}, {"pressure", "12a", "next"}}) {
        RecordingReporter reporter;
        FanDialog dialog(false, 1, 2, curveOf(3, 10, {7, 6, 5}), reporter);
        QVERIFY(shownActive(dialog));
        const QString first = pointLabel(dialog);
        type(dialog, name, typed);
        click(dialog, button);
        QCOMPARE(reporter.messages.size(), std::size_t(1));
        QVERIFY(dialog.isVisible() && child<QLineEdit>(dialog, name)->hasFocus());
        QCOMPARE(pointLabel(dialog), first);
    }
    Network net;
    RecordingReporter reporter;
    ParametersDialog dialog(*net.doc, reporter);
    QVERIFY(shownActive(dialog));
    type(dialog, "fireNode", "99");
    type(dialog, "maxIteration", "-1");
    click(dialog, "ok");
    QCOMPARE(reporter.messages.size(), std::size_t(1));
    QVERIFY(dialog.isVisible() && child<QLineEdit>(dialog, "maxIteration")->hasFocus());
    QCOMPARE(child<QLineEdit>(dialog, "maxIteration")->selectedText(), QString("-1"));
    QCOMPARE(net.doc->fire.fireNode, 23);
}

// "change fan data" shows the fan's first point; points that are not
// visited come back to the last bit, and a lower count drops the rest.
void FanDialogsTest::changeKeepsUntouchedPoints()
{
    RecordingReporter reporter;
    FanDialog dialog(false, 101, 7, curveOf(5, 12.5f, {300.25f, 290.125f, 275.3f, 250.77f, 200.1f}), reporter);
    QVERIFY(shownActive(dialog));
    QCOMPARE(text(dialog, "flowStep") + " " + text(dialog, "count") + " " + text(dialog, "pressure"),
             QString("12.5 5 300.25"));
    click(dialog, "next");
    type(dialog, "pressure", "295");
    click(dialog, "next");
    click(dialog, "next");
    dialog.grab().save("/tmp/fandlg-change.png");
    type(dialog, "count", "4");
    click(dialog, "ok");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const FanCurve c = dialog.curve();
    QCOMPARE(std::vector<float>({float(c.points), c.flowStep, c.pressure[0], c.pressure[1], c.pressure[2],
                                 c.pressure[3], c.pressure[4]}),
             std::vector<float>({4, 12.5f, 300.25f, 295, 275.3f, 250.77f, 0}));
}

// Cancel stores nothing; OK without edits stores the same values to the
// last bit; typed values and the method reach the network and the settings.
void FanDialogsTest::parametersReachTheNetwork()
{
    Network net;
    RecordingReporter reporter;
    ParametersDialog cancelled(*net.doc, reporter);
    cancelled.show();
    type(cancelled, "fireNode", "99");
    click(cancelled, "cancel");
    QCOMPARE(net.doc->fire.fireNode, 23);

    bool changed = true;
    onModal([](QDialog& d) { click(d, "ok"); });
    QVERIFY(ParametersDialog::edit(nullptr, *net.doc, reporter, &changed));
    QVERIFY(!changed && !net.doc->modified);
    QCOMPARE(net.doc->fire.gasLimit, 0.0012345678f);
    QCOMPARE(net.context.units.relaxation, 1.0f / 3.0f);

    ParametersDialog dialog(*net.doc, reporter);
    dialog.show();
    const char* const fields[] = {"frontDisplayStep", "fireNode",          "fireTemperature", "fireTimeStep",
                                  "finishTime",       "gasConcentration",  "maxIteration",    "surfaceTemperature",
                                  "solverError",      "relaxation"};
    for (int i = 0; i < 10; ++i)
        type(dialog, fields[i], QString(" %1 ").arg(i + 1));  // blanks around a number are fine
    child<QComboBox>(dialog, "method")->setCurrentIndex(1);
    click(dialog, "ok");
    QVERIFY(reporter.messages.empty());
    const ParameterValues v = parametersOf(*net.doc);
    QCOMPARE(std::vector<float>({v.frontDisplayStep, float(v.fireNode), v.fireTemperature, v.fireTimeStep,
                                 v.finishTime, v.gasLimit, float(v.maxIteration), v.surfaceTemperature,
                                 v.solverError, v.relaxation}),
             std::vector<float>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    QCOMPARE(v.method, SolverMethod::Newton);
    QVERIFY(net.doc->modified);
}

QTEST_MAIN(FanDialogsTest)
#include "fandialogs_test.moc"
