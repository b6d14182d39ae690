// The node and road dialogs, "Choose a symbol" and the editor's dialog
// interface, driven as the person would: fields typed into with Enter
// between them, radio buttons and buttons clicked, fields left with Tab.
// Checked are where the focus goes, which fields take a value, what the
// dialog said and what it handed back. Messages are recorded, never shown;
// the dialogs are also saved as pictures in /tmp/editdialogs.
#include <QtTest>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/editdialogs.h"
#include "dialogs/parametersdialog.h"
#include "tabordercheck.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

class RecordingReporter : public Reporter {
public:
    std::vector<std::string> said, captions;
    void message(const std::string& text, const std::string& caption, MessageKind) override
    {
        said.push_back(text);
        captions.push_back(caption);
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
};

template <class W = QLineEdit>
W* child(QWidget& dialog, const QString& name)
{
    W* w = dialog.findChild<W*>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

QString text(QWidget& dialog, const char* name) { return child(dialog, name)->text(); }
bool focused(QWidget& dialog, const char* name)
{
    return dialog.focusWidget() == child<QWidget>(dialog, name);
}

void key(QWidget& dialog, Qt::Key k)
{
    QTest::keyClick(dialog.focusWidget(), k);
    QCoreApplication::processEvents();  // a field's handling when it was left
}

// Types over the focused field (its text selected) and presses Enter.
void typeAndEnter(QWidget& dialog, const QString& value)
{
    auto* field = qobject_cast<QLineEdit*>(dialog.focusWidget());
    QVERIFY2(field, "the focus is not in a field");
    QVERIFY(field->hasSelectedText() || field->text().isEmpty());
    QTest::keyClicks(field, value);
    key(dialog, Qt::Key_Return);
}

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

void click(QWidget& dialog, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(dialog, name), Qt::LeftButton);
    QCoreApplication::processEvents();
}

bool shown(QDialog& dialog)
{
    dialog.show();
    return QTest::qWaitForWindowActive(&dialog);
}

void picture(QWidget& dialog, const QString& name)
{
    QDir().mkpath("/tmp/editdialogs");
    dialog.grab().save("/tmp/editdialogs/" + name + ".png");
}

// Calls act on the modal dialog as soon as exec() has shown it.
void onModal(std::function<void(QDialog&)> act, int tries = 200)
{
    QTimer::singleShot(5, [act, tries] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            act(*dialog);
        else if (tries > 0)
            onModal(act, tries - 1);
    });
}

QString notANumber(const char* label, bool whole = false)
{
    return QString::fromStdString(notANumberMessage(label, whole));
}

// Node 77 into the road 12-34 with R = 0.3 and L = 120.
InsertNodeValues insertion()
{
    InsertNodeValues v;
    v.node = 77;
    v.elevation = -120.5f;
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
    void newNodeWithEnter_data();
    void newNodeWithEnter();
    void changeNodeTakesOnlyTheElevation();
    void newRoadSwitchingKeepsTypedValues_data();
    void newRoadSwitchingKeepsTypedValues();
    void roadDataDialogs();
    void insertNodeKeepsPartsWithinTheRoad_data();
    void insertNodeKeepsPartsWithinTheRoad();
    void fieldsThatAreNotNumbers_data();
    void fieldsThatAreNotNumbers();
    void symbolsDrawnFromTheFont();
    void editorInterfaceRunsEachDialog();
};

// Enter goes number -> elevation -> the preset kind's button -> "Insert to
// a road" -> OK; a click on the other kind changes the kind and the way on.
void EditDialogsTest::newNodeWithEnter_data()
{
    QTest::addColumn<bool>("presetSurface");
    QTest::addColumn<bool>("clickOther");
    QTest::newRow("underground") << false << false;
    QTest::newRow("surface") << true << false;
    QTest::newRow("underground, surface clicked") << false << true;
}

void EditDialogsTest::newNodeWithEnter()
{
    QFETCH(bool, presetSurface);
    QFETCH(bool, clickOther);
    const char* preset = presetSurface ? "surface" : "underground";
    RecordingReporter reporter;
    NewNodeValues given;
    given.kind = presetSurface ? NodeKind::Surface : NodeKind::Underground;
    NewNodeDialog dialog(given, reporter);
    QVERIFY(shown(dialog));
    QCOMPARE(dialog.windowTitle(), QString("Make new node"));
    QCOMPARE(text(dialog, "number") + " " + text(dialog, "elevation"), QString("0 0"));
    QVERIFY(child<QRadioButton>(dialog, preset)->isChecked());
    QVERIFY(!child<QWidget>(dialog, "enterKey")->isVisible());

    walk(dialog, {{"number", "412"}, {"elevation", "-35.25"}});
    QVERIFY(focused(dialog, preset));
    QTest::mouseClick(child(dialog, "elevation"), Qt::LeftButton);  // back by mouse
    key(dialog, Qt::Key_Return);
    QVERIFY(focused(dialog, preset));
    if (clickOther)
        click(dialog, presetSurface ? "underground" : "surface");
    key(dialog, Qt::Key_Return);
    QVERIFY(focused(dialog, "insertToRoad"));
    key(dialog, Qt::Key_Space);
    picture(dialog, "make-node");
    key(dialog, Qt::Key_Return);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(reporter.said.empty());
    const NewNodeValues v = dialog.values();
    QCOMPARE(v.number, 412);
    QCOMPARE(v.elevation, -35.25f);
    QCOMPARE(v.kind, presetSurface != clickOther ? NodeKind::Surface : NodeKind::Underground);
    QVERIFY(v.insertToRoad);
}

void EditDialogsTest::changeNodeTakesOnlyTheElevation()
{
    RecordingReporter reporter;
    NodeDataDialog dialog({215, 12.5f, NodeKind::Surface}, reporter);
    QVERIFY(shown(dialog));
    QCOMPARE(text(dialog, "number"), QString("215"));
    QVERIFY(child(dialog, "number")->isReadOnly());
    QVERIFY(child<QRadioButton>(dialog, "surface")->isChecked());
    QVERIFY(!child<QRadioButton>(dialog, "surface")->isEnabled());
    QVERIFY(!child<QRadioButton>(dialog, "underground")->isEnabled());
    QVERIFY(focused(dialog, "elevation"));
    picture(dialog, "change-node");
    typeAndEnter(dialog, "13.75");  // Enter accepts at once
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.values().number, 215);
    QCOMPARE(dialog.values().elevation, 13.75f);
}

// Two values typed, a trip to "fixed flow road" and back: the texts stay,
// each kind's fields are writable only while it is chosen, and Enter goes
// on from the first value. Then OK as a normal road (length and area in
// their own places) or, after choosing "fixed flow road", with the airflow.
void EditDialogsTest::newRoadSwitchingKeepsTypedValues_data()
{
    QTest::addColumn<bool>("fixedAtLast");
    QTest::newRow("normal road") << false;
    QTest::newRow("fixed flow road") << true;
}

void EditDialogsTest::newRoadSwitchingKeepsTypedValues()
{
    QFETCH(bool, fixedAtLast);
    RecordingReporter reporter;
    NewRoadDialog dialog(NewRoadValues{5, 8}, reporter);
    QVERIFY(shown(dialog));
    QCOMPARE(text(dialog, "first") + "-" + text(dialog, "second"), QString("5-8"));
    QVERIFY(child(dialog, "first")->isReadOnly() && child(dialog, "second")->isReadOnly());
    const auto writable = [&](bool normal) {
        for (const char* name : {"resistance", "temperature", "length", "area", "conductivity"})
            QCOMPARE(child(dialog, name)->isReadOnly(), !normal);
        QCOMPARE(child(dialog, "airflow")->isReadOnly(), normal);
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
    QCOMPARE(text(dialog, "resistance"), QString("0.025"));
    QCOMPARE(text(dialog, "airflow"), QString("1200"));
    picture(dialog, "make-road");

    if (fixedAtLast) {
        click(dialog, "fixedFlowRoad");
        key(dialog, Qt::Key_Return);
        typeAndEnter(dialog, "1250");  // Enter in the airflow accepts
    } else {
        walk(dialog, {{"normalRoad", nullptr}, {"resistance", nullptr}, {"temperature", nullptr},
                      {"length", "340"}, {"area", "7.5"}, {"conductivity", "1.8"}});
    }
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(reporter.said.empty());
    const NewRoadValues v = dialog.values();
    QCOMPARE(v.fixedFlow, fixedAtLast);
    if (fixedAtLast) {
        QCOMPARE(v.airflow, 1250.0f);
        return;
    }
    QCOMPARE(v.resistance, 0.025f);
    QCOMPARE(v.temperature, 21.0f);
    QCOMPARE(v.length, 340.0f);
    QCOMPARE(v.area, 7.5f);
    QCOMPARE(v.conductivity, 1.8f);
}

// "change normal road data" steps through its five fields and hands back
// untouched values to the last bit; "change fixed flow road data" accepts
// on Enter.
void EditDialogsTest::roadDataDialogs()
{
    RecordingReporter reporter;
    RoadDataDialog normal(normalRoad(), reporter);
    QVERIFY(shown(normal));
    QCOMPARE(text(normal, "resistance"), QString("0.0012345"));
    picture(normal, "change-normal-road");
    walk(normal, {{"resistance", nullptr}, {"temperature", "22"}, {"length", nullptr},
                  {"area", nullptr}, {"conductivity", "2.1"}});
    QCOMPARE(normal.result(), int(QDialog::Accepted));
    const RoadDataValues v = normal.values();
    QCOMPARE(v.resistance, 0.0012345f);
    QCOMPARE(v.temperature, 22.0f);
    QCOMPARE(v.length, 250.0f);
    QCOMPARE(v.area, 9.75f);
    QCOMPARE(v.conductivity, 2.1f);

    FixedRoadDialog fixed({40, 41, 1500}, reporter);
    QVERIFY(shown(fixed));
    QVERIFY(child(fixed, "second")->isReadOnly());
    picture(fixed, "change-fixed-road");
    walk(fixed, {{"airflow", "1450.5"}});
    QCOMPARE(fixed.result(), int(QDialog::Accepted));
    QCOMPARE(fixed.values().airflow, 1450.5f);
    QVERIFY(reporter.said.empty());
}

// The typed part is kept within 0..the road's value when its field is left
// (Enter does nothing in this dialog); the second part shows the rest.
void EditDialogsTest::insertNodeKeepsPartsWithinTheRoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<float>("taken");
    QTest::newRow("resistance below 0") << "firstResistance" << "-0.05" << "0" << "0.3" << 0.0f;
    QTest::newRow("resistance above R") << "firstResistance" << "0.5" << "0.3" << "0" << 0.3f;
    QTest::newRow("resistance empty") << "firstResistance" << "" << "0" << "0.3" << 0.0f;
    QTest::newRow("resistance a part") << "firstResistance" << "0.1" << "0.1" << "0.2" << 0.1f;
    QTest::newRow("length below 0") << "firstLength" << "-10" << "0" << "120" << 0.0f;
    QTest::newRow("length above L") << "firstLength" << "500" << "120" << "0" << 120.0f;
    QTest::newRow("length blanks") << "firstLength" << "  " << "0" << "120" << 0.0f;
    QTest::newRow("length a part") << "firstLength" << "45.5" << "45.5" << "74.5" << 45.5f;
}

void EditDialogsTest::insertNodeKeepsPartsWithinTheRoad()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, rest);
    QFETCH(float, taken);
    const bool resistance = name == "firstResistance";
    RecordingReporter reporter;
    InsertNodeDialog dialog(insertion(), reporter);
    QVERIFY(::shown(dialog));
    for (const char* node : {"node", "newNode"})
        QCOMPARE(text(dialog, node), QString("77"));
    QCOMPARE(text(dialog, "elevation"), QString("-120.5"));
    QCOMPARE(text(dialog, "roadFirst") + "-" + text(dialog, "roadSecond"), QString("12-34"));
    QCOMPARE(text(dialog, "newFirst") + "-" + text(dialog, "newSecond"), QString("12-34"));
    QCOMPARE(text(dialog, "roadResistance") + " " + text(dialog, "roadLength"), QString("0.3 120"));
    QCOMPARE(text(dialog, "secondResistance") + " " + text(dialog, "secondLength"), QString("0.3 120"));
    for (const char* name : {"node", "roadResistance", "secondResistance", "secondLength"})
        QVERIFY2(child(dialog, name)->isReadOnly(), name);
    QVERIFY(!child<QRadioButton>(dialog, "underground")->isEnabled());

    if (!resistance)
        key(dialog, Qt::Key_Tab);
    QLineEdit* field = child(dialog, name);
    QVERIFY(field->hasFocus());
    field->clear();
    QTest::keyClicks(field, typed);
    key(dialog, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(field->text(), typed);
    key(dialog, Qt::Key_Tab);
    QCOMPARE(field->text(), shown);
    QCOMPARE(text(dialog, resistance ? "secondResistance" : "secondLength"), rest);
    if (QTest::currentDataTag() == QString("resistance above R"))
        picture(dialog, "insert-node");

    click(dialog, "ok");
    QVERIFY(reporter.said.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const InsertNodeValues v = dialog.values();
    QCOMPARE(resistance ? v.firstResistance : v.firstLength, taken);
    QCOMPARE(resistance ? v.firstLength : v.firstResistance, 0.0f);
}

// A field that does not hold a number stops OK, Enter, "Change a location"
// or (in "Insert node") Tab where it is, with the field selected.
void EditDialogsTest::fieldsThatAreNotNumbers_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");  // or a key: "Return", "Tab"
    QTest::addColumn<QString>("message");
    QTest::newRow("node number") << "node" << "number" << "12a" << "ok" << notANumber("node number", true);
    QTest::newRow("node number 1.5") << "node" << "number" << "1.5" << "ok" << notANumber("node number", true);
    QTest::newRow("elevation, comma") << "node" << "elevation" << "1,5" << "ok" << notANumber("elevation");
    QTest::newRow("change node, empty") << "node data" << "elevation" << "" << "Return" << notANumber("elevation");
    QTest::newRow("new road area") << "road" << "area" << "big" << "ok" << notANumber("area (m2)");
    QTest::newRow("new road airflow") << "fixed road" << "airflow" << "1e40" << "Return" << notANumber("airflow(m3/min)");
    QTest::newRow("road data, change a location")
        << "road data" << "temperature" << "warm" << "changeLocation" << notANumber("temperature2 (C)");
    QTest::newRow("fixed road data") << "fixed road data" << "airflow" << "--5" << "changeLocation"
                                     << notANumber("airflow(m3/min)");
    QTest::newRow("insert, OK") << "insert" << "firstLength" << "ten" << "ok" << notANumber("length(m)");
    QTest::newRow("insert, left") << "insert" << "firstResistance" << "1/2" << "Tab"
                                  << notANumber("resistance(Murgue)");
}

void EditDialogsTest::fieldsThatAreNotNumbers()
{
    QFETCH(QString, dialog);
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, message);
    RecordingReporter reporter;
    std::unique_ptr<QDialog> d;
    if (dialog == "node")
        d = std::make_unique<NewNodeDialog>(NewNodeValues{}, reporter);
    else if (dialog == "node data")
        d = std::make_unique<NodeDataDialog>(NodeDataValues{}, reporter);
    else if (dialog == "road" || dialog == "fixed road")
        d = std::make_unique<NewRoadDialog>(NewRoadValues{1, 2, dialog == "fixed road"}, reporter);
    else if (dialog == "road data")
        d = std::make_unique<RoadDataDialog>(normalRoad(), reporter);
    else if (dialog == "fixed road data")
        d = std::make_unique<FixedRoadDialog>(FixedRoadValues{1, 2, 10}, reporter);
    else
        d = std::make_unique<InsertNodeDialog>(insertion(), reporter);
    QVERIFY(shown(*d));
    QLineEdit* field = child(*d, name);
    QTest::mouseClick(field, Qt::LeftButton);
    field->setText(typed);
    if (button == "Return" || button == "Tab")
        key(*d, button == "Tab" ? Qt::Key_Tab : Qt::Key_Return);
    else
        click(*d, button.toLatin1().constData());

    QCOMPARE(reporter.said.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(reporter.said[0]), message);
    QCOMPARE(reporter.captions[0], kViewCaption);
    QVERIFY(d->isVisible());
    QCOMPARE(d->result(), 0);
    QVERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), typed);

    click(*d, "cancel");  // goes without another word
    QCOMPARE(reporter.said.size(), std::size_t(1));
    QCOMPARE(d->result(), int(QDialog::Rejected));
}

// Item p's picture is glyph 128 + p of the stroke font, y up: a stroke above
// the road in the font is above the road in the picture.
void EditDialogsTest::symbolsDrawnFromTheFont()
{
    RecordingReporter reporter;
    StrokeFont font;
    font.load(ORVEX_SOURCE_DIR, reporter);
    QVERIFY(reporter.said.empty());
    SymbolDialog dialog(&font);
    QVERIFY(shown(dialog));
    QCOMPARE(child<QRadioButton>(dialog, "line")->text(), QString("Line"));
    QCOMPARE(child<QRadioButton>(dialog, "noLine")->text(), QString("No line"));
    QCOMPARE(dialog.item(), kSymbolLine);
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
    std::vector<QImage> pictures;
    for (int item = 2; item < kSymbolItems; ++item) {
        pictures.push_back(image(dialog, item));
        QVERIFY(dark(pictures.back(), 0, pictures.back().height()) > 10);
        for (std::size_t other = 0; other + 1 < pictures.size(); ++other)
            QVERIFY(pictures[other] != pictures.back());
    }
    click(dialog, "noLine");
    QCOMPARE(dialog.item(), kSymbolNoLine);
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
    QStringList titles;
    // Types text into the field `name` (if any) and clicks `button`.
    const auto closeWith = [&titles](const char* name, const char* typed, const char* button) {
        onModal([&titles, name, typed, button](QDialog& d) {
            titles << d.windowTitle();
            if (name)
                child(d, name)->setText(typed);
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

    onModal([&titles](QDialog& d) {  // Esc still hands back the item chosen
        titles << d.windowTitle();
        click(d, "symbol3");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    QCOMPARE(dialogs.chooseSymbol(), 3);

    FanCurve curve;
    closeWith(nullptr, nullptr, "cancel");
    QCOMPARE(dialogs.makeFan(1, 2, curve), DialogResult::Cancel);
    closeWith(nullptr, nullptr, "cancel");
    QCOMPARE(dialogs.changeFan(1, 2, curve), DialogResult::Cancel);
    QCOMPARE(titles.join(';'), QString("Make new node;Make new node;change node data;make new road;"
                                       "change normal road data;change fixed flow road data;"
                                       "Insert node;Choose a symbol;make new fans;change fan data"));
    QVERIFY(reporter.said.empty());
}

QTEST_MAIN(EditDialogsTest)
#include "editdialogs_test.moc"
