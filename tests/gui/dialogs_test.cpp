// The display dialogs driven as the person would, without exec(): fields
// are filled, buttons clicked, and what the dialog said and handed back is
// checked. What a field accepts is the core's and tested there.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <vector>

#include "dialogs/colordialog.h"
#include "dialogs/displaysettingdialog.h"
#include "dialogs/infodialog.h"
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

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TabOrderWarnings::install(); }
    void cleanup() { TabOrderWarnings::check(); }
    void displayShowsTheViewAndHandsBackTheFields();
    void displayRefusalKeepsTheDialogOpen();
    void displayColourSettingWorksOnACopy();
    void colourButtonsChangeTheirOwnSlot();
    void colourDialogForPagePreview();
    void infoLeavingTheField();
    void infoTitleRoundTrip();
};

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
    child<QLineEdit>(dialog, "displayAngle")->setText("405");
    child<QLineEdit>(dialog, "nodeRadius")->setText(" 4 ");
    child<QComboBox>(dialog, "nodeKind")->setCurrentIndex(3);
    child<QCheckBox>(dialog, "underlineBracket")->setChecked(true);
    child<QSpinBox>(dialog, "onlineDigits")->setValue(7);
    child<QSpinBox>(dialog, "underlineDigits")->setValue(5);
    child<QSpinBox>(dialog, "nodeDigits")->setValue(1);
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

// A refused field keeps the dialog open with the field focused and selected.
void DialogsTest::displayRefusalKeepsTheDialogOpen()
{
    RecordingReporter reporter;
    PlanView view;
    DisplaySettingDialog dialog(view, reporter);
    dialog.show();
    auto* edit = child<QLineEdit>(dialog, "displayAngle");
    edit->setText("12.5");
    click(dialog, "ok");
    QVERIFY(dialog.isVisible() && reporter.messages.size() == 1);
    QVERIFY(dialog.focusWidget() == edit && edit->selectedText() == "12.5");
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

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
