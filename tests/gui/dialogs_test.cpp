// The display dialogs driven as the person would, without exec(): fields
// are filled, OK is clicked, and what the dialog said and handed back is
// checked. Messages are recorded, never shown.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <vector>

#include "dialogs/colordialog.h"
#include "dialogs/displaysettingdialog.h"
#include "dialogs/infodialog.h"
#include "tabordercheck.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

struct Said {
    std::string text, caption;
    MessageKind kind;
};

class RecordingReporter : public Reporter {
public:
    std::vector<Said> said;
    void message(const std::string& text, const std::string& caption, MessageKind kind) override
    {
        said.push_back({text, caption, kind});
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
};

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

// Eight different colours, so a button wired to the wrong slot shows
// (back, road, online, underline, node, onnode, strong, nodedata).
const ColourSlots kDistinct{rgb(1, 0, 0), rgb(2, 0, 0), rgb(3, 0, 0), rgb(4, 0, 0),
                            rgb(5, 0, 0), rgb(6, 0, 0), rgb(7, 0, 0), rgb(8, 0, 0)};

template <class W>
W* field(QWidget& dialog, const char* name)
{
    W* w = dialog.findChild<W*>(name);
    if (!w)
        qFatal("no field %s", name);
    return w;
}

QColor swatchColour(QPushButton* button)
{
    const QImage image = button->icon().pixmap(button->iconSize()).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

using ColourMember = Colour ColourSlots::*;
const ColourMember kAllSlots[] = {&ColourSlots::back,      &ColourSlots::road, &ColourSlots::online,
                                  &ColourSlots::underline, &ColourSlots::node, &ColourSlots::onnode,
                                  &ColourSlots::strong,    &ColourSlots::nodedata};

}  // namespace

Q_DECLARE_METATYPE(ColourMember)

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TabOrderWarnings::install(); }
    void cleanup() { TabOrderWarnings::check(); }
    void displayShowsTheViewsValues();
    void displayNumberChecks_data();
    void displayNumberChecks();
    void displayHandsBackTheFields();
    void displayOkWithoutEditsKeepsTheValues();
    void displayColourSettingWorksOnACopy();

    void colourButtons_data();
    void colourButtons();
    void colourDialogForPagePreview();

    void infoLetterLimitOnOk_data();
    void infoLetterLimitOnOk();
    void infoLeavingTheField();
    void infoTitleRoundTrip();
};

// --- Display setting ----------------------------------------------------------

void DialogsTest::displayShowsTheViewsValues()
{
    RecordingReporter reporter;
    PlanView view;  // scale 1.0, character size 10, node radius 8
    view.geo.displayAngle = 90;
    view.settings.onlineKind = 16;
    view.settings.underlineKind = 12;
    view.settings.nodeKind = 10;
    view.settings.onlineDigits = 3;
    view.settings.underlineBracket = true;
    DisplaySettingDialog dialog(view, reporter);

    QCOMPARE(field<QLineEdit>(dialog, "figureSize")->text(), QString("0.65"));  // 1.0 x 0.65
    QCOMPARE(field<QLineEdit>(dialog, "charSize")->text(), QString("10"));
    QCOMPARE(field<QLineEdit>(dialog, "displayAngle")->text(), QString("90"));
    QCOMPARE(field<QLineEdit>(dialog, "nodeRadius")->text(), QString("8"));
    QCOMPARE(field<QComboBox>(dialog, "onlineKind")->currentText(), QString("DBT*"));
    QCOMPARE(field<QComboBox>(dialog, "underlineKind")->currentText(), QString("Road name"));
    QCOMPARE(field<QComboBox>(dialog, "nodeKind")->currentText(), QString("EN*"));
    QCOMPARE(field<QComboBox>(dialog, "nodeKind")->count(), kNodeKinds);
    QCOMPARE(field<QSpinBox>(dialog, "onlineDigits")->value(), 3);
    QVERIFY(!field<QCheckBox>(dialog, "onlineBracket")->isChecked());
    QVERIFY(field<QCheckBox>(dialog, "underlineBracket")->isChecked());
    for (const char* name : {"onlineDigits", "underlineDigits", "nodeDigits"}) {
        QCOMPARE(field<QSpinBox>(dialog, name)->minimum(), 0);
        QCOMPARE(field<QSpinBox>(dialog, name)->maximum(), 7);
    }
}

// One field at a time gets a text and OK is clicked. A refused field says
// why, keeps the dialog open and has the focus with its text selected.
void DialogsTest::displayNumberChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("figure size lower bound") << "figureSize" << "0.01" << true;
    QTest::newRow("figure size upper bound") << "figureSize" << "10.00" << true;
    QTest::newRow("figure size just below") << "figureSize" << "0.0099" << false;
    QTest::newRow("figure size just above") << "figureSize" << "10.01" << false;
    QTest::newRow("figure size letters") << "figureSize" << "abc" << false;
    QTest::newRow("figure size decimal comma") << "figureSize" << "0,65" << false;
    QTest::newRow("character size upper bound") << "charSize" << "50" << true;
    QTest::newRow("character size above") << "charSize" << "51" << false;
    QTest::newRow("character size negative") << "charSize" << "-0.5" << false;
    QTest::newRow("angle beyond a turn") << "displayAngle" << "405" << true;
    QTest::newRow("angle with decimals") << "displayAngle" << "12.5" << false;
    QTest::newRow("node radius letters") << "nodeRadius" << "big" << false;
}

void DialogsTest::displayNumberChecks()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    RecordingReporter reporter;
    PlanView view;
    DisplaySettingDialog dialog(view, reporter);
    dialog.show();
    auto* edit = field<QLineEdit>(dialog, name.toUtf8().constData());
    edit->setText(text);
    QTest::mouseClick(field<QPushButton>(dialog, "ok"), Qt::LeftButton);

    if (accepted) {
        QVERIFY(reporter.said.empty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        return;
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(reporter.said.size(), std::size_t(1));
    const Said& said = reporter.said.front();
    QCOMPARE(said.caption, kViewCaption);
    QCOMPARE(said.kind, MessageKind::Warning);
    if (name == "figureSize")
        QCOMPARE(said.text, kBadFigureSize);
    else
        QVERIFY(said.text != kBadFigureSize && !said.text.empty());
    QCOMPARE(dialog.focusWidget(), edit);
    QCOMPARE(edit->selectedText(), text);
}

void DialogsTest::displayHandsBackTheFields()
{
    RecordingReporter reporter;
    PlanView view;
    view.settings.print.road = rgb(9, 9, 9);
    view.settings.previewKind = 0;
    DisplaySettingDialog dialog(view, reporter);
    dialog.show();
    field<QLineEdit>(dialog, "figureSize")->setText("1.3");
    field<QLineEdit>(dialog, "charSize")->setText("12.5");
    field<QLineEdit>(dialog, "displayAngle")->setText("405");
    field<QLineEdit>(dialog, "nodeRadius")->setText(" 4 ");
    field<QComboBox>(dialog, "onlineKind")->setCurrentIndex(19);
    field<QComboBox>(dialog, "underlineKind")->setCurrentIndex(4);
    field<QComboBox>(dialog, "nodeKind")->setCurrentIndex(0);
    field<QCheckBox>(dialog, "onlineBracket")->setChecked(true);
    field<QSpinBox>(dialog, "onlineDigits")->setValue(7);
    field<QSpinBox>(dialog, "nodeDigits")->setValue(1);
    field<QPushButton>(dialog, "ok")->click();

    QVERIFY(!dialog.isVisible());
    const DisplayChoice c = dialog.choice();
    QCOMPARE(c.figureSize, 1.3f);
    QCOMPARE(c.charSize, 12.5f);
    QCOMPARE(c.angle, 405);  // the view normalises it when it turns the plan
    QCOMPARE(c.nodeRadius, 4.0f);
    QCOMPARE(c.settings.onlineKind, 19);
    QCOMPARE(c.settings.underlineKind, 4);
    QCOMPARE(c.settings.nodeKind, 0);
    QVERIFY(c.settings.onlineBracket);
    QCOMPARE(c.settings.onlineDigits, 7);
    QCOMPARE(c.settings.nodeDigits, 1);
    // What the dialog does not show passes through as given.
    QCOMPARE(c.settings.print.road, rgb(9, 9, 9));
    QCOMPARE(c.settings.previewKind, 0);
}

// OK without touching a field hands back what the view had: a zoomed scale
// is shown rounded but must not move the plan by that rounding, and a kind
// from an older profile that is not in its list stays.
void DialogsTest::displayOkWithoutEditsKeepsTheValues()
{
    RecordingReporter reporter;
    PlanView view;
    view.geo.scale = 1.2345678f;
    view.geo.charSize = 12.34567f;
    view.geo.nodeRadius = 3.333333f;
    view.settings.onlineKind = 25;
    view.settings.nodeKind = 11;
    DisplaySettingDialog dialog(view, reporter);
    dialog.show();
    QCOMPARE(field<QLineEdit>(dialog, "figureSize")->text(), QString("0.8025"));
    QCOMPARE(field<QComboBox>(dialog, "onlineKind")->currentIndex(), -1);
    QCOMPARE(field<QComboBox>(dialog, "nodeKind")->currentIndex(), -1);
    field<QPushButton>(dialog, "ok")->click();

    const DisplayChoice c = dialog.choice();
    QCOMPARE(c.figureSize, figureSizeOf(1.2345678f));
    QCOMPARE(c.charSize, 12.34567f);
    QCOMPARE(c.nodeRadius, 3.333333f);
    QCOMPARE(c.settings.onlineKind, 25);
    QCOMPARE(c.settings.nodeKind, 11);
}

// "color setting" opens the Color dialog on the dialog's copy: its OK takes
// the colours into the choice, its cancel leaves the copy as it was, and
// nothing reaches the choice until the Display setting dialog's own OK.
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
        field<QPushButton>(dialog, "colourSetting")->click();
        const QList<ColorDialog*> open = dialog.findChildren<ColorDialog*>();
        for (ColorDialog* colours : open)
            if (colours->isVisible())
                return colours;
        qFatal("the Color dialog did not open");
    };

    ColorDialog* first = openColours();
    field<QPushButton>(*first, "colour_road")->click();
    field<QPushButton>(*first, "cancel")->click();

    ColorDialog* second = openColours();
    QCOMPARE(second->colours().road, view.settings.colours.road);
    field<QPushButton>(*second, "colour_back")->click();  // opened for the screen: enabled
    field<QPushButton>(*second, "ok")->click();
    QCOMPARE(dialog.choice().settings.colours.back, view.settings.colours.back);

    field<QPushButton>(dialog, "ok")->click();
    const ColourSlots chosen = dialog.choice().settings.colours;
    QCOMPARE(chosen.back, rgb(0, 200, 0));
    QCOMPARE(chosen.road, view.settings.colours.road);
}

// --- Color ----------------------------------------------------------------------

void DialogsTest::colourButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ColourMember>("slot");

    QTest::newRow("online") << "colour_online" << "values on lines" << &ColourSlots::online;
    QTest::newRow("onnode") << "colour_onnode" << "number of nodes" << &ColourSlots::onnode;
    QTest::newRow("nodedata") << "colour_nodedata" << "values on nodes" << &ColourSlots::nodedata;
    QTest::newRow("underline") << "colour_underline" << "values under lines"
                               << &ColourSlots::underline;
    QTest::newRow("node") << "colour_node" << "nodes / fans" << &ColourSlots::node;
    QTest::newRow("road") << "colour_road" << "roads" << &ColourSlots::road;
    QTest::newRow("back") << "colour_back" << "background" << &ColourSlots::back;
    QTest::newRow("strong") << "colour_strong" << "emphasizing" << &ColourSlots::strong;
}

// Each button starts the chooser from its own slot; a cancelled chooser
// changes nothing, a chosen colour goes to that slot only and shows on the
// button's swatch.
void DialogsTest::colourButtons()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(ColourMember, slot);

    const ColourSlots& given = kDistinct;
    const auto colourOf = [](Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); };
    ScriptedChooser script;
    script.answers = {std::nullopt, rgb(10, 20, 30)};
    ColorDialog dialog(given, false, nullptr, script.chooser());
    dialog.show();
    auto* button = field<QPushButton>(dialog, name.toUtf8().constData());
    QCOMPARE(button->text(), text);
    button->click();  // cancelled
    QCOMPARE(swatchColour(button), colourOf(given.*slot));
    QCOMPARE(dialog.colours().*slot, given.*slot);
    button->click();

    QCOMPARE(script.startedFrom, (std::vector<Colour>{given.*slot, given.*slot}));
    QCOMPARE(swatchColour(button), QColor(10, 20, 30));
    field<QPushButton>(dialog, "ok")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    ColourSlots expected = given;
    expected.*slot = rgb(10, 20, 30);
    const ColourSlots got = dialog.colours();
    for (ColourMember each : kAllSlots)
        QCOMPARE(got.*each, expected.*each);
}

void DialogsTest::colourDialogForPagePreview()
{
    ScriptedChooser script;
    ColorDialog dialog(kDistinct, true, nullptr, script.chooser());
    dialog.show();
    QStringList disabled;
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
        if (!button->isEnabled())
            disabled << button->objectName();
    disabled.sort();
    QCOMPARE(disabled, (QStringList{"colour_back", "colour_strong"}));

    field<QPushButton>(dialog, "colour_back")->click();
    QVERIFY(script.startedFrom.empty());
}

// --- File Information -------------------------------------------------------------

void DialogsTest::infoLetterLimitOnOk_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    const QString han = QString::fromUtf8("坑");          // 3 bytes in UTF-8
    const QString beyondPlane = QString::fromUtf8("𠀋");  // 4 bytes, two UTF-16 units
    QTest::newRow("79 letters") << QString(79, 'a') << true;
    QTest::newRow("80 letters") << QString(80, 'a') << false;
    QTest::newRow("79 Chinese") << han.repeated(79) << true;
    QTest::newRow("80 Chinese") << han.repeated(80) << false;
    QTest::newRow("79 beyond the basic plane") << beyondPlane.repeated(79) << true;
}

void DialogsTest::infoLetterLimitOnOk()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    RecordingReporter reporter;
    InfoDialog dialog("Untitled", reporter);
    dialog.show();
    auto* title = field<QPlainTextEdit>(dialog, "title");
    title->setPlainText(text);
    field<QPushButton>(dialog, "ok")->setFocus();
    field<QPushButton>(dialog, "ok")->click();

    if (accepted) {
        QVERIFY(reporter.said.empty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(QString::fromStdString(dialog.title()), text);
        return;
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(reporter.said.size(), std::size_t(1));
    QCOMPARE(reporter.said.front().text, kTooManyLetters);
    QCOMPARE(dialog.focusWidget(), title);
}

// Leaving the field is checked once the focus has settled: tabbing out with
// 80 letters brings the person back, 79 let them go, a click on OK says it
// once, and a click on Cancel leaves the dialog without a word.
void DialogsTest::infoLeavingTheField()
{
    RecordingReporter reporter;
    InfoDialog dialog("Untitled", reporter);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* title = field<QPlainTextEdit>(dialog, "title");
    auto* ok = field<QPushButton>(dialog, "ok");
    QVERIFY(title->hasFocus());

    title->setPlainText(QString(80, 'a'));
    QTest::keyClick(title, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(reporter.said.size(), std::size_t(1));
    QCOMPARE(reporter.said.front().text, kTooManyLetters);
    QVERIFY(title->hasFocus());
    QCOMPARE(title->toPlainText(), QString(80, 'a'));  // Tab moves, it is not typed

    title->setPlainText(QString(79, 'a'));
    QTest::keyClick(title, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(reporter.said.size(), std::size_t(1));
    QVERIFY(ok->hasFocus());

    // A click whose press and release arrive apart, as from a real mouse:
    // on OK the letters are counted once, by OK.
    const auto slowClick = [](QPushButton* button) {
        QTest::mousePress(button, Qt::LeftButton);
        QCoreApplication::processEvents();
        QTest::mouseRelease(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    };
    title->setFocus();
    title->setPlainText(QString(90, 'a'));
    slowClick(ok);
    QCOMPARE(reporter.said.size(), std::size_t(2));
    QVERIFY(title->hasFocus());
    QVERIFY(dialog.isVisible());

    slowClick(field<QPushButton>(dialog, "cancel"));
    QCOMPARE(reporter.said.size(), std::size_t(2));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
}

void DialogsTest::infoTitleRoundTrip()
{
    RecordingReporter reporter;
    const std::string chinese = "东区通风网络\n";
    InfoDialog shown(chinese, reporter);
    QCOMPARE(field<QPlainTextEdit>(shown, "title")->toPlainText(),
             QString::fromUtf8("东区通风网络\n"));
    QCOMPARE(shown.title(), chinese);

    // A title still in the GBK code page is shown decoded and, left alone,
    // comes back as the same bytes.
    const std::string gbk = "\xB6\xAB\xC7\xF8";  // "东区" in GBK
    InfoDialog older(gbk, reporter);
    QCOMPARE(field<QPlainTextEdit>(older, "title")->toPlainText(), QString::fromUtf8("东区"));
    QCOMPARE(older.title(), gbk);

    // An edited title comes back as UTF-8.
    field<QPlainTextEdit>(older, "title")->setPlainText(QString::fromUtf8("西区"));
    QCOMPARE(older.title(), std::string("西区"));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
