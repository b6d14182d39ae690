// The node and road dialogs, "Choose a symbol" and the editor's dialog
// interface, driven as the person would: fields typed into with Enter
// between them, radio buttons and buttons clicked, fields left with Tab.
// Where the focus goes and which fields are writable is the forms' (core)
// decision; here the dialogs are seen to follow it and to hand back what
// was typed. The dialogs are also saved as pictures in /tmp/editdialogs.
#include <QtTest>

#include <QLabel>
#include <QRadioButton>
#include <memory>

#include "dialogs/editdialogs.h"
#include "support.h"
#include "tabordercheck.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

QString text(QWidget& dialog, const char* name) { return child<QLineEdit>(dialog, name)->text(); }
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

// Node 77 into the road 12-34 with R = 0.3 and L = 120.
InsertNodeValues insertion()
{
    InsertNodeValues v;
    v.node = 77;
    v.roadFirst = 12;
    v.roadSecond = 34;
    v.resistance = 0.3f;
    v.length = 120;
    return v;
}

RoadDataValues normalRoad() { return {3, 9, 0.0012345f, 18.5f, 250, 9.75f, 1.7f}; }

}  // namespace

class EditDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TabOrderWarnings::install(); }
    void cleanup() { TabOrderWarnings::check(); }
    void newNodeWithEnter();
    void newRoadSwitchingKeepsTypedValues();
    void roadDataDialogs();
    void insertNodeShowsTheRest();
    void fieldsThatAreNotNumbers();
    void symbolsDrawnFromTheFont();
    void editorInterfaceRunsEachDialog();
};

// Enter goes number -> elevation -> the preset kind's button; a click on
// the other kind changes the kind, then "Insert to a road" and OK.
void EditDialogsTest::newNodeWithEnter()
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
void EditDialogsTest::newRoadSwitchingKeepsTypedValues()
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
void EditDialogsTest::roadDataDialogs()
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
             std::vector<float>({0.0012345f, 22, 250, 9.75f, 2.1f}));

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
void EditDialogsTest::insertNodeShowsTheRest()
{
    const struct {
        const char *name, *typed, *shown, *rest;
        float taken;
    } cases[] = {{"firstResistance", "", "0", "0.3", 0}, {"firstResistance", "0.1", "0.1", "0.2", 0.1f},
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

// A field that does not hold a number (or beyond a float) stops Enter,
// "Change a location" or (in "Insert node") Tab where it is, with the field
// selected; cancel then goes without another word.
void EditDialogsTest::fieldsThatAreNotNumbers()
{
    const struct {
        const char *name, *typed, *leave;
    } cases[] = {{"airflow", "1e40", "Return"}, {"temperature", "warm", "changeLocation"},
                 {"firstResistance", "1/2", "Tab"}};
    for (const auto& c : cases) {
        RecordingReporter reporter;
        std::unique_ptr<QDialog> d;
        if (QString(c.leave) == "Return")
            d = std::make_unique<NewRoadDialog>(NewRoadValues{1, 2, true}, reporter);
        else if (QString(c.leave) == "Tab")
            d = std::make_unique<InsertNodeDialog>(insertion(), reporter);
        else
            d = std::make_unique<RoadDataDialog>(normalRoad(), reporter);
        QVERIFY(shownActive(*d));
        auto* field = child<QLineEdit>(*d, c.name);
        QTest::mouseClick(field, Qt::LeftButton);
        field->setText(c.typed);
        if (QString(c.leave) == "changeLocation")
            click(*d, c.leave);
        else
            key(*d, QString(c.leave) == "Tab" ? Qt::Key_Tab : Qt::Key_Return);
        QCOMPARE(reporter.messages.size(), std::size_t(1));
        QVERIFY(d->isVisible() && field->hasFocus());
        QCOMPARE(field->selectedText(), QString(c.typed));
        click(*d, "cancel");
        QCOMPARE(reporter.messages.size(), std::size_t(1));
        QCOMPARE(d->result(), int(QDialog::Rejected));
    }
}

// Item p's picture is glyph 128 + p of the stroke font, y up: a stroke above
// the road in the font is above the road in the picture.
void EditDialogsTest::symbolsDrawnFromTheFont()
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
void EditDialogsTest::editorInterfaceRunsEachDialog()
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

QTEST_MAIN(EditDialogsTest)
#include "editdialogs_test.moc"
