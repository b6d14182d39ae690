// The dialogs driven as the person would, without exec() unless run by the
// program's interfaces: fields filled, Enter and Tab pressed, buttons clicked,
// and what the dialog said and handed back checked. What a field accepts,
// where Enter goes and the fan curve entry are the core's forms' (tests/edit);
// here the dialogs are seen to follow them. Pictures go to /tmp.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>
#include <cmath>
#include <memory>
#include <vector>

#include "dialogs/colordialog.h"
#include "dialogs/displaysettingdialog.h"
#include "dialogs/editdialogs.h"
#include "dialogs/fandialog.h"
#include "dialogs/infodialog.h"
#include "dialogs/parametersdialog.h"
#include "edit/fancurve.h"
#include "support.h"
#include "tabordercheck.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// Answers the colour chooser from a script, one answer per call, and
// remembers the colour each call started from.
struct ScriptedChooser {
    std::vector<std::optional<Colour>> answers;
    std::vector<Colour> startedFrom;

    ColourChooser chooser()
    {
        return [this](Colour current, QWidget*) -> std::optional<Colour> {
            startedFrom.push_back(current);
            if (answers.empty())
                return std::nullopt;
            const std::optional<Colour> answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
    }
};

// Eight different colours, so a button wired to the wrong slot shows.
const ColourSlots kDistinct{rgb(1, 0, 0), rgb(2, 0, 0), rgb(3, 0, 0), rgb(4, 0, 0),
                            rgb(5, 0, 0), rgb(6, 0, 0), rgb(7, 0, 0), rgb(8, 0, 0)};

QColor swatchColour(QPushButton* button)
{
    const QImage image = button->icon().pixmap(button->iconSize()).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

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

bool focused(QWidget& dialog, const char* name) { return dialog.focusWidget() == child<QWidget>(dialog, name); }

// Goes through fields with Enter: at each step the focus must be on the
// named widget; the text, if any, is typed over the field first.
void walk(QWidget& dialog, std::initializer_list<std::pair<const char*, const char*>> steps)
{
    for (const auto& [name, typed] : steps) {
        QVERIFY2(focused(dialog, name), name);
        if (typed)
            typeAndEnter(dialog, typed);
        else
            key(dialog, Qt::Key_Return);
    }
}

void picture(QWidget& dialog, const QString& name)
{
    QDir().mkpath("/tmp/editdialogs");
    dialog.grab().save("/tmp/editdialogs/" + name + ".png");
}

// Node 77 into the road 12-34 with R = 0.123456 and L = 120.
InsertNodeValues insertion()
{
    InsertNodeValues v;
    v.node = 77;
    v.roadFirst = 12;
    v.roadSecond = 34;
    v.resistance = 0.123456f;
    v.length = 120;
    return v;
}

// A length of -0, as a file may hold: shown as 0 and handed back as -0.
RoadDataValues normalRoad() { return {3, 9, 0.0012345f, 18.5f, -0.0f, 9.75f, 1.7f}; }

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TabOrderWarnings::install(); }
    void cleanup() { TabOrderWarnings::check(); }
    void displayShowsTheViewAndHandsBackTheFields();
    void displayColourSettingWorksOnACopy();
    void colourButtonsChangeTheirOwnSlot();
    void colourDialogForPagePreview();
    void infoLeavingTheField();
    void infoTitleRoundTrip();
    void newFanWithEnterNextAndBack();
    void refusedFieldsKeepTheDialogOpen();
    void changeKeepsUntouchedPoints();
    void parametersReachTheNetwork();
    void newNodeWithEnter();
    void newRoadSwitchingKeepsTypedValues();
    void roadDataDialogs();
    void insertNodeShowsTheRest();
    void symbolsDrawnFromTheFont();
    void editorInterfaceRunsEachDialog();
};

// Display setting shows the view's values and hands back what was typed.
void DialogsTest::displayShowsTheViewAndHandsBackTheFields()
{
    RecordingReporter reporter;
    PlanView view;
    view.geo.scale = 1.2345678f;
    view.settings.onlineKind = 25;  // from an older profile: not in the list
    view.settings.underlineKind = 12;
    DisplaySettingDialog dialog(view, reporter);
    dialog.show();
    QCOMPARE(child<QLineEdit>(dialog, "figureSize")->text(), QString("0.8025"));
    QCOMPARE(child<QComboBox>(dialog, "onlineKind")->currentIndex(), -1);
    QCOMPARE(child<QComboBox>(dialog, "underlineKind")->currentIndex(), 12);
    child<QLineEdit>(dialog, "charSize")->setText("12.5");
    child<QLineEdit>(dialog, "nodeRadius")->setText(" 4 ");
    child<QComboBox>(dialog, "nodeKind")->setCurrentIndex(3);
    child<QCheckBox>(dialog, "underlineBracket")->setChecked(true);
    child<QSpinBox>(dialog, "onlineDigits")->setValue(7);
    child<QSpinBox>(dialog, "underlineDigits")->setValue(5);
    child<QSpinBox>(dialog, "nodeDigits")->setValue(1);
    auto* angle = child<QLineEdit>(dialog, "displayAngle");
    angle->setText("12.5");  // refused: the dialog stays, the field focused and selected
    click(dialog, "ok");
    QVERIFY(dialog.isVisible() && reporter.messages.size() == 1);
    QVERIFY(dialog.focusWidget() == angle && angle->selectedText() == "12.5");
    angle->setText("405");
    click(dialog, "ok");

    QVERIFY(!dialog.isVisible());
    const DisplayChoice c = dialog.choice();
    QCOMPARE(std::vector<float>({c.figureSize, c.charSize, c.nodeRadius, float(c.angle)}),
             std::vector<float>({figureSizeOf(1.2345678f), 12.5f, 4, 405}));
    const DisplaySettings& s = c.settings;
    QCOMPARE(std::vector<int>({s.onlineKind, s.underlineKind, s.nodeKind, s.onlineDigits, s.underlineDigits,
                               s.nodeDigits, int(s.onlineBracket), int(s.underlineBracket)}),
             std::vector<int>({25, 12, 3, 7, 5, 1, 0, 1}));
}

// "color setting" opens the Color dialog on the dialog's copy: its cancel
// leaves the copy as it was, its OK takes the colours into the choice, but
// only the Display setting dialog's own OK hands them back.
void DialogsTest::displayColourSettingWorksOnACopy()
{
    RecordingReporter reporter;
    PlanView view;
    view.settings.colours = kDistinct;
    ScriptedChooser script;
    script.answers = {rgb(200, 0, 0), rgb(0, 200, 0)};
    DisplaySettingDialog dialog(view, reporter, nullptr, script.chooser());
    dialog.show();
    const auto openColours = [&dialog] {
        click(dialog, "colourSetting");
        for (ColorDialog* colours : dialog.findChildren<ColorDialog*>())
            if (colours->isVisible())
                return colours;
        qFatal("the Color dialog did not open");
    };
    ColorDialog* first = openColours();
    click(*first, "colour_road");
    click(*first, "cancel");
    ColorDialog* second = openColours();
    QCOMPARE(second->colours().road, view.settings.colours.road);
    click(*second, "colour_back");
    click(*second, "ok");
    QCOMPARE(dialog.choice().settings.colours.back, view.settings.colours.back);
    click(dialog, "ok");
    QCOMPARE(dialog.choice().settings.colours.back, rgb(0, 200, 0));
    QCOMPARE(dialog.choice().settings.colours.road, view.settings.colours.road);
}

// Each button starts the chooser from its own slot; a cancelled chooser
// changes nothing, a chosen colour goes to that slot only and shows on the
// button's swatch.
void DialogsTest::colourButtonsChangeTheirOwnSlot()
{
    using Member = Colour ColourSlots::*;
    const std::pair<const char*, Member> buttons[] = {
        {"colour_online", &ColourSlots::online}, {"colour_onnode", &ColourSlots::onnode},
        {"colour_nodedata", &ColourSlots::nodedata}, {"colour_underline", &ColourSlots::underline},
        {"colour_node", &ColourSlots::node}, {"colour_road", &ColourSlots::road},
        {"colour_back", &ColourSlots::back}, {"colour_strong", &ColourSlots::strong}};
    for (const auto& [name, slot] : buttons) {
        ScriptedChooser script;
        script.answers = {std::nullopt, rgb(10, 20, 30)};
        ColorDialog dialog(kDistinct, false, nullptr, script.chooser());
        dialog.show();
        auto* button = child<QPushButton>(dialog, name);
        button->click();  // cancelled
        QCOMPARE(dialog.colours().*slot, kDistinct.*slot);
        button->click();
        QCOMPARE(script.startedFrom, (std::vector<Colour>{kDistinct.*slot, kDistinct.*slot}));
        QCOMPARE(swatchColour(button), QColor(10, 20, 30));
        click(dialog, "ok");
        ColourSlots expected = kDistinct;
        expected.*slot = rgb(10, 20, 30);
        for (const auto& each : buttons)
            QVERIFY2(dialog.colours().*each.second == expected.*each.second, name);
    }
}

// In the page preview the background and emphasis colours are the screen's only.
void DialogsTest::colourDialogForPagePreview()
{
    ColorDialog dialog(kDistinct, true, nullptr, ScriptedChooser().chooser());
    QStringList disabled;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (!button->isEnabled())
            disabled << button->objectName();
    disabled.sort();
    QCOMPARE(disabled, (QStringList{"colour_back", "colour_strong"}));
}

// Leaving the title is checked once the focus has settled: Tab with too
// many letters brings the person back (fewer let them go), a click on OK
// says it once, a click on Cancel leaves without a word.
void DialogsTest::infoLeavingTheField()
{
    RecordingReporter reporter;
    InfoDialog dialog("Untitled", reporter);
    QVERIFY(shownActive(dialog));
    auto* title = child<QPlainTextEdit>(dialog, "title");
    auto* ok = child<QPushButton>(dialog, "ok");
    for (const int letters : {80, 79}) {
        title->setFocus();
        title->setPlainText(QString(letters, 'a'));
        QTest::keyClick(title, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCOMPARE(reporter.messages.size(), std::size_t(1));
        QCOMPARE(title->hasFocus(), letters == 80);
    }
    QVERIFY(ok->hasFocus());
    const auto slowClick = [](QPushButton* button) {  // press and release apart, as from a real mouse
        QTest::mousePress(button, Qt::LeftButton);
        QCoreApplication::processEvents();
        QTest::mouseRelease(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    };
    title->setFocus();
    title->setPlainText(QString(90, 'a'));
    slowClick(ok);
    QVERIFY(reporter.messages.size() == 2 && title->hasFocus());
    slowClick(child<QPushButton>(dialog, "cancel"));
    QCOMPARE(reporter.messages.size(), std::size_t(2));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

// A title still in the GBK code page is shown decoded and, left alone,
// comes back as the same bytes; an edited title comes back as UTF-8.
void DialogsTest::infoTitleRoundTrip()
{
    RecordingReporter reporter;
    const std::string gbk = "\xB6\xAB\xC7\xF8";  // "东区" in GBK
    InfoDialog older(gbk, reporter);
    QCOMPARE(child<QPlainTextEdit>(older, "title")->toPlainText(), QString::fromUtf8("东区"));
    QCOMPARE(older.title(), gbk);
    child<QPlainTextEdit>(older, "title")->setPlainText(QString::fromUtf8("西区"));
    QCOMPARE(older.title(), std::string("西区"));
}

// Enter goes airflow step -> count -> pressure and then acts as "next";
// "back" shows the point before; "next" on the last point closes as OK.
void DialogsTest::newFanWithEnterNextAndBack()
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

// A field that is no number, or out of range, stops Enter, Tab, "next", OK
// or "Change a location" where it is: one message, the dialog open, the
// field focused and selected; Cancel then goes without another word. The
// fan's count is checked when it is left with Tab, not when a button is
// pressed with the mouse ("back" on the first point does nothing).
void DialogsTest::refusedFieldsKeepTheDialogOpen()
{
    Network net;
    using Make = std::function<std::unique_ptr<QDialog>(RecordingReporter&)>;
    const Make newFan = [](RecordingReporter& r) {
        return std::make_unique<FanDialog>(true, 1, 2, curveOf(2, 10, {7, 6}), r);
    };
    const Make fan = [](RecordingReporter& r) {
        return std::make_unique<FanDialog>(false, 1, 2, curveOf(3, 10, {7, 6, 5}), r);
    };
    const Make parameters = [&net](RecordingReporter& r) { return std::make_unique<ParametersDialog>(*net.doc, r); };
    const Make fixedRoad = [](RecordingReporter& r) {
        return std::make_unique<NewRoadDialog>(NewRoadValues{1, 2, true}, r);
    };
    const Make insert = [](RecordingReporter& r) { return std::make_unique<InsertNodeDialog>(insertion(), r); };
    const Make road = [](RecordingReporter& r) { return std::make_unique<RoadDataDialog>(normalRoad(), r); };
    const struct {
        Make make;
        const char *name, *typed, *leave;
        bool refused;
    } cases[] = {
        {newFan, "count", "31", "Tab", true},
        {newFan, "count", "31", "back", false},
        {newFan, "count", "30", "Tab", false},
        {fan, "flowStep", "1,5", "ok", true},
        {fan, "pressure", "12a", "next", true},
        {parameters, "maxIteration", "-1", "ok", true},
        {fixedRoad, "airflow", "1e40", "Return", true},
        {road, "temperature", "warm", "changeLocation", true},
        {insert, "firstResistance", "1/2", "Tab", true},
    };
    for (const auto& c : cases) {
        RecordingReporter reporter;
        const std::unique_ptr<QDialog> d = c.make(reporter);
        QVERIFY(shownActive(*d));
        auto* field = child<QLineEdit>(*d, c.name);
        field->setFocus();
        field->setText(c.typed);
        if (QString(c.leave) == "Tab" || QString(c.leave) == "Return")
            key(*d, QString(c.leave) == "Tab" ? Qt::Key_Tab : Qt::Key_Return);
        else
            click(*d, c.leave);
        QCOMPARE(field->text(), QString(c.typed));
        QCOMPARE(reporter.messages.size(), std::size_t(c.refused));
        if (!c.refused)
            continue;
        QVERIFY2(d->isVisible() && field->hasFocus(), c.name);
        QCOMPARE(field->selectedText(), QString(c.typed));
        click(*d, "cancel");
        QCOMPARE(reporter.messages.size(), std::size_t(1));
        QCOMPARE(d->result(), int(QDialog::Rejected));
    }
    QCOMPARE(net.context.units.maxIteration, 500);
}

// "change fan data" shows the fan's first point; points that are not
// visited come back to the last bit, and a lower count drops the rest.
void DialogsTest::changeKeepsUntouchedPoints()
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
void DialogsTest::parametersReachTheNetwork()
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

// Enter goes number -> elevation -> the preset kind's button; a click on
// the other kind changes the kind, then "Insert to a road" and OK.
void DialogsTest::newNodeWithEnter()
{
    RecordingReporter reporter;
    NewNodeDialog dialog(NewNodeValues{}, reporter);
    QVERIFY(shownActive(dialog));
    walk(dialog, {{"number", "412"}, {"elevation", "-35.25"}});
    QVERIFY(focused(dialog, "underground"));
    click(dialog, "surface");
    key(dialog, Qt::Key_Return);
    QVERIFY(focused(dialog, "insertToRoad"));
    key(dialog, Qt::Key_Space);
    picture(dialog, "make-node");
    key(dialog, Qt::Key_Return);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(reporter.messages.empty());
    const NewNodeValues v = dialog.values();
    QCOMPARE(v.number, 412);
    QCOMPARE(v.elevation, -35.25f);
    QCOMPARE(v.kind, NodeKind::Surface);
    QVERIFY(v.insertToRoad);
}

// Two values typed, a trip to "fixed flow road" and back: the texts stay,
// each kind's fields are writable only while it is chosen, and the values
// land in their own places.
void DialogsTest::newRoadSwitchingKeepsTypedValues()
{
    RecordingReporter reporter;
    NewRoadDialog dialog(NewRoadValues{5, 8}, reporter);
    QVERIFY(shownActive(dialog));
    const auto writable = [&](bool normal) {
        for (const char* name : {"resistance", "temperature", "length", "area", "conductivity"})
            QCOMPARE(child<QLineEdit>(dialog, name)->isReadOnly(), !normal);
        QCOMPARE(child<QLineEdit>(dialog, "airflow")->isReadOnly(), normal);
    };
    writable(true);
    walk(dialog, {{"normalRoad", nullptr}, {"resistance", "0.025"}, {"temperature", "21"}});
    click(dialog, "fixedFlowRoad");
    writable(false);
    key(dialog, Qt::Key_Return);
    QVERIFY(focused(dialog, "airflow"));
    QTest::keyClicks(dialog.focusWidget(), "1200");
    click(dialog, "normalRoad");
    writable(true);
    QCOMPARE(text(dialog, "airflow"), QString("1200"));
    picture(dialog, "make-road");
    walk(dialog, {{"normalRoad", nullptr}, {"resistance", nullptr}, {"temperature", nullptr},
                  {"length", "340"}, {"area", "7.5"}, {"conductivity", "1.8"}});

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const NewRoadValues v = dialog.values();
    QVERIFY(!v.fixedFlow);
    QCOMPARE(std::vector<float>({v.resistance, v.temperature, v.length, v.area, v.conductivity, v.airflow}),
             std::vector<float>({0.025f, 21, 340, 7.5f, 1.8f, 0}));
}

// Untouched values come back to the last bit; "change fixed flow road
// data" accepts on Enter.
void DialogsTest::roadDataDialogs()
{
    RecordingReporter reporter;
    RoadDataDialog normal(normalRoad(), reporter);
    QVERIFY(shownActive(normal));
    picture(normal, "change-normal-road");
    walk(normal, {{"resistance", nullptr}, {"temperature", "22"}, {"length", nullptr},
                  {"area", nullptr}, {"conductivity", "2.1"}});
    QCOMPARE(normal.result(), int(QDialog::Accepted));
    const RoadDataValues v = normal.values();
    QCOMPARE(std::vector<float>({v.resistance, v.temperature, v.length, v.area, v.conductivity}),
             std::vector<float>({0.0012345f, 22, 0, 9.75f, 2.1f}));
    QCOMPARE(text(normal, "length"), QString("0"));
    QVERIFY(std::signbit(v.length));

    FixedRoadDialog fixed({40, 41, 1500}, reporter);
    QVERIFY(shownActive(fixed));
    picture(fixed, "change-fixed-road");
    walk(fixed, {{"airflow", "1450.5"}});
    QCOMPARE(fixed.result(), int(QDialog::Accepted));
    QCOMPARE(fixed.values().airflow, 1450.5f);
    QVERIFY(reporter.messages.empty());
}

// The typed part is taken when its field is left (Enter does nothing in
// this dialog); the second part shows the rest the form works out.
void DialogsTest::insertNodeShowsTheRest()
{
    const struct {
        const char *name, *typed, *shown, *rest;
        float taken;
    } cases[] = {{"firstResistance", "", "0", "0.123456", 0}, {"firstResistance", "0.1", "0.1", "0.023456", 0.1f},
                 {"firstLength", "500", "120", "0", 120}};
    for (const auto& c : cases) {
        const bool resistance = QString(c.name) == "firstResistance";
        RecordingReporter reporter;
        InsertNodeDialog dialog(insertion(), reporter);
        QVERIFY(shownActive(dialog));
        if (!resistance)
            key(dialog, Qt::Key_Tab);
        auto* field = child<QLineEdit>(dialog, c.name);
        QVERIFY(field->hasFocus());
        field->clear();
        QTest::keyClicks(field, c.typed);
        key(dialog, Qt::Key_Return);
        QCOMPARE(field->text(), QString(c.typed));
        key(dialog, Qt::Key_Tab);
        QCOMPARE(field->text(), QString(c.shown));
        QCOMPARE(text(dialog, resistance ? "secondResistance" : "secondLength"), QString(c.rest));
        if (!resistance)
            picture(dialog, "insert-node");
        click(dialog, "ok");
        QVERIFY(reporter.messages.empty() && dialog.result() == QDialog::Accepted);
        QCOMPARE(resistance ? dialog.values().firstResistance : dialog.values().firstLength, c.taken);
    }
}

// Item p's picture is glyph 128 + p of the stroke font, y up: a stroke above
// the road in the font is above the road in the picture.
void DialogsTest::symbolsDrawnFromTheFont()
{
    RecordingReporter reporter;
    StrokeFont font;
    font.load(ORVEX_SOURCE_DIR, reporter);
    SymbolDialog dialog(&font);
    QVERIFY(shownActive(dialog));
    picture(dialog, "choose-symbol");
    const auto image = [](QWidget& d, int item) {
        return child<QLabel>(d, QString("picture%1").arg(item))->pixmap().toImage();
    };
    const auto dark = [](const QImage& img, int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < img.width(); ++x)
                n += qGray(img.pixel(x, y)) < 100;
        return n;
    };
    QVERIFY(image(dialog, 2) != image(dialog, 7));
    click(dialog, "symbol5");
    QCOMPARE(dialog.item(), 5);

    StrokeFont above;  // symbol 4 only, one stroke 40 units above the road; none for 3
    QVERIFY(above.parse("heading\n! 4 2  -40 40 0  40 40 1\n", "test", reporter));
    SymbolDialog one(&above);
    const QImage drawn = image(one, 4);
    const int h = drawn.height();
    QVERIFY(dark(drawn, 0, h / 2) > 10);
    QCOMPARE(dark(drawn, h / 2, h), 0);
    QCOMPARE(dark(image(one, 3), 0, h), 0);
}

// Each method runs its own dialog modally and hands back what it was
// closed with; a cancelled dialog leaves the values as they were.
void DialogsTest::editorInterfaceRunsEachDialog()
{
    RecordingReporter reporter;
    StrokeFont font;
    QtEditDialogs dialogs(nullptr, reporter, &font);
    // Types text into the field `name` (if any) and clicks `button`.
    const auto closeWith = [](const char* name, const char* typed, const char* button) {
        onModal([name, typed, button](QDialog& d) {
            if (name)
                child<QLineEdit>(d, name)->setText(typed);
            click(d, button);
        });
    };

    NewNodeValues node;
    closeWith("number", "99", "cancel");
    QCOMPARE(dialogs.makeNode(node), DialogResult::Cancel);
    QCOMPARE(node.number, 0);
    closeWith("number", "99", "ok");
    QCOMPARE(dialogs.makeNode(node), DialogResult::Ok);
    QCOMPARE(node.number, 99);
    NodeDataValues data{5, 1.5f, NodeKind::Underground};
    closeWith("elevation", "2.5", "ok");
    QCOMPARE(dialogs.changeNode(data), DialogResult::Ok);
    QCOMPARE(data.elevation, 2.5f);
    NewRoadValues road{7, 8};
    closeWith("resistance", "0.5", "ok");
    QCOMPARE(dialogs.makeRoad(road), DialogResult::Ok);
    QCOMPARE(road.resistance, 0.5f);
    RoadDataValues normal = normalRoad();
    closeWith("length", "300", "changeLocation");
    QCOMPARE(dialogs.changeNormalRoad(normal), DialogResult::ChangeLocation);
    QCOMPARE(normal.length, 300.0f);
    FixedRoadValues fixed{1, 2, 50};
    closeWith("airflow", "70", "changeLocation");
    QCOMPARE(dialogs.changeFixedRoad(fixed), DialogResult::ChangeLocation);
    QCOMPARE(fixed.airflow, 70.0f);
    InsertNodeValues insert = insertion();
    closeWith("firstLength", "200", "ok");
    QCOMPARE(dialogs.insertNode(insert), DialogResult::Ok);
    QCOMPARE(insert.firstLength, 120.0f);
    onModal([](QDialog& d) {  // Esc still hands back the item chosen
        click(d, "symbol3");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    QCOMPARE(dialogs.chooseSymbol(), 3);
    FanCurve curve;
    closeWith(nullptr, nullptr, "cancel");
    QCOMPARE(dialogs.makeFan(1, 2, curve), DialogResult::Cancel);
    closeWith(nullptr, nullptr, "cancel");
    QCOMPARE(dialogs.changeFan(1, 2, curve), DialogResult::Cancel);
    QVERIFY(reporter.messages.empty());
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
