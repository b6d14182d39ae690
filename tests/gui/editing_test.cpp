// Editing in the plan view with mouse events: each kind of event reaches the
// editor (whose decisions the core's session tests check), the edits reach
// the document's undo history, and the window's own dialogs hand their
// values to the edits; a session is undone to the opened files byte for byte.
#include <QPushButton>
#include <QUndoStack>
#include <QtTest>
#include <functional>

#include "support.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// Each dialog answered by the test's function for it; none: Cancel.
struct ScriptedEditDialogs : EditDialogs {
    std::function<DialogResult(NewNodeValues&)> node;
    std::function<DialogResult(InsertNodeValues&)> insert;
    std::function<DialogResult(RoadDataValues&)> roadData;
    std::function<DialogResult(FanCurve&)> fan;
    int symbol = kSymbolLine, symbolCalls = 0;
    template <typename F, typename V> static DialogResult answer(F& f, V& v) { return f ? f(v) : DialogResult::Cancel; }
    DialogResult makeNode(NewNodeValues& v) override { return answer(node, v); }
    DialogResult changeNode(NodeDataValues&) override { return DialogResult::Cancel; }
    DialogResult makeRoad(NewRoadValues&) override { return DialogResult::Cancel; }
    DialogResult changeNormalRoad(RoadDataValues& v) override { return answer(roadData, v); }
    DialogResult changeFixedRoad(FixedRoadValues&) override { return DialogResult::Cancel; }
    DialogResult insertNode(InsertNodeValues& v) override { return answer(insert, v); }
    int chooseSymbol() override { return ++symbolCalls, symbol; }
    DialogResult makeFan(int, int, FanCurve&) override { return DialogResult::Cancel; }
    DialogResult changeFan(int, int, FanCurve& c) override { return answer(fan, c); }
};

// The sample "mine" opened in a window; the edit dialogs scripted, or the window's own.
struct Session : NetworkWindow {
    ScriptedEditDialogs dialogs;
    explicit Session(bool realDialogs = false)
    {
        services.editDialogs = realDialogs ? nullptr : &dialogs;
        open(sample("mine"), {1000, 800});
    }
    QUndoStack& history() { return document->undoStack(); }
    QWidget* surface() { return view->viewport(); }
    QPoint at(int number)  // where node `number` is on the window
    {
        const PlanData& d = view->plan().data;
        const int i = d.nodeIndex(number);
        const DevicePoint p = geo().drawingPosition(d.nodeX[std::size_t(i)], d.nodeY[std::size_t(i)]);
        return {int(p.x) - geo().scrollX, int(p.y) - geo().scrollY};
    }
    void mode(int id) { QVERIFY(view->editCommand(id)); }
    void click(QPoint p, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(surface(), button, {}, p); }
    void twoNodes(int a, int b) { click(at(a)), click(at(b)); }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(surface(), Qt::LeftButton, {}, from);
        QTest::mouseMove(surface(), (from + to) / 2);
        QTest::mouseMove(surface(), to);
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, to);
    }
    int roadBetween(int a, int b) { return doc().findRoad(a, b, RoadScope::All); }
};

}  // namespace

class EditingTest : public QObject {
    Q_OBJECT

private slots:
    void sessionUndoneAndRedone();
    void runsAndParametersOutlastTheHistory();
    void theWindowsOwnDialogs();
};

// Clicks, a double click, a drag, a right click and moves reach the editor
// and each edit the history; undone, the opened files are written again
// byte for byte; redone, the session is back; the history turns with the plan.
void EditingTest::sessionUndoneAndRedone()
{
    Session s;
    CBriscoDoc& doc = s.doc();
    NetworkSnapshot opened = takeSnapshot(doc);
    QHash<QString, QByteArray> files;
    for (const char* ext : {"vad", "apd", "jpd", "nrd", "pkd", "sdt"})
        if (QFile::exists(s.folder.filePath(QString("mine.") + ext)))
            files[ext] = contents(s.folder.filePath(QString("mine.") + ext));
    QVERIFY(files.size() >= 4);

    const int a = doc.roads[1].first, b = doc.roads[1].second;
    s.mode(command::kMakeNode);
    s.dialogs.node = [](NewNodeValues& v) { return v = {999, -100, NodeKind::Underground, true}, DialogResult::Ok; };
    s.click((s.at(a) + s.at(b)) / 2 + QPoint(25, 0));
    s.dialogs.insert = [](InsertNodeValues& v) { return v.firstResistance = v.resistance / 2, DialogResult::Ok; };
    s.twoNodes(a, b);
    QVERIFY(s.roadBetween(a, 999) && s.roadBetween(999, b));
    s.mode(command::kDeleteNode);
    s.reporter.answers.push_back(Answer::Yes);
    s.click(s.at(999));
    QTest::mouseDClick(s.surface(), Qt::LeftButton, {}, s.at(999));
    QCOMPARE(doc.nodeIndex(999), 0);

    s.mode(command::kChangeNode);
    const int moved = doc.nodes[doc.surfaceCount + 1].number;
    const float x0 = doc.nodes[std::size_t(doc.nodeIndex(moved))].x;
    s.drag(s.at(moved), s.at(moved) + QPoint(40, 0));
    QVERIFY(std::abs((doc.nodes[std::size_t(doc.nodeIndex(moved))].x - x0) * s.geo().scale - 40) < 2);

    s.mode(command::kChangeRoad);
    s.dialogs.roadData = [](RoadDataValues&) { return DialogResult::ChangeLocation; };
    s.twoNodes(a, b);
    const QPoint bend = (s.at(a) + s.at(b)) / 2 + QPoint(60, 0);
    QTest::mouseMove(s.surface(), bend);
    s.dialogs.symbol = 3;
    s.click(bend, Qt::RightButton);
    s.click(s.at(b));
    QCOMPARE(s.dialogs.symbolCalls, 1);
    QCOMPARE(doc.bends[std::size_t(doc.roads[std::size_t(s.roadBetween(a, b))].bendStart)].mark, 1);

    s.mode(command::kChangeFan);
    s.dialogs.fan = [](FanCurve& c) { return c.pressure[1] *= 1.1f, DialogResult::Ok; };
    s.twoNodes(doc.fans[1].inlet, doc.fans[1].outlet);
    QUndoStack& history = s.history();
    QCOMPARE(history.count(), 7);  // node made, inserted, deleted, moved, road changed, reshaped, fan
    const NetworkSnapshot edited = takeSnapshot(doc);

    while (history.canUndo())
        history.undo();
    QVERIFY(!doc.modified);
    doc.modified = true;  // so that Save writes
    QVERIFY(s.view->save());
    for (auto it = files.begin(); it != files.end(); ++it)
        QVERIFY2(contents(s.folder.filePath("mine." + it.key())) == it.value(), qPrintable(it.key()));
    while (history.canRedo())
        history.redo();
    QVERIFY(takeSnapshot(doc).sameNetwork(edited) && doc.modified);
    s.view->rightTurn();
    while (history.canUndo())
        history.undo();
    opened.turn(-45);
    QVERIFY(takeSnapshot(doc).sameNetwork(opened));

    // A rectangle drawn with the mouse zooms.
    const float scale = s.geo().scale;
    s.mode(command::kZoomWithMouse);
    s.drag({100, 100}, {300, 200});
    QVERIFY(s.geo().scale > scale * 2);
}

// A run or a change of the parameters is no step of the history: undone
// past, the document stays modified until it is saved; the parameters left
// with OK as shown change nothing.
void EditingTest::runsAndParametersOutlastTheHistory()
{
    const auto parameters = [](Session& s, const QString& fireTemperature) {
        onModal([fireTemperature](QDialog& dialog) {
            if (!fireTemperature.isEmpty())
                child<QLineEdit>(dialog, "fireTemperature")->setText(fireTemperature);
            click(dialog, "ok");
        });
        child<QPushButton>(*s.view->analysisDialog(), "parameter")->click();
    };
    const std::function<void(Session&)> changes[] = {
        [](Session& s) { child<QPushButton>(*s.view->analysisDialog(), "start")->click(); },
        [&](Session& s) { parameters(s, "555"); },
    };
    for (const auto& change : changes) {
        Session s;
        const auto inRunDialog = [&s](const std::function<void(Session&)>& act) {
            s.view->openAnalysisDialog();
            act(s);
            s.view->analysisDialog()->close();
            QTRY_VERIFY(!s.view->analysisDialog());
        };
        s.view->editor().operations().moveNode(s.doc().surfaceCount + 1, 5, 5);
        inRunDialog(change);
        s.history().undo();
        QVERIFY(s.doc().modified);
        QVERIFY(s.view->save());
        s.history().redo();
        s.history().undo();
        QVERIFY(!s.doc().modified);
        inRunDialog([&](Session& again) { parameters(again, {}); });
        QVERIFY(!s.doc().modified);
    }
}

// The window's own dialogs, typed into: a node made, a road made.
void EditingTest::theWindowsOwnDialogs()
{
    Session s(true);
    CBriscoDoc& doc = s.doc();
    const auto answer = [](QList<std::pair<QString, QString>> fields) {
        onModal([fields](QDialog& dialog) {
            for (const auto& [name, text] : fields)
                child<QLineEdit>(dialog, name)->setText(text);
            click(dialog, "ok");
        });
    };
    s.mode(command::kMakeNode);
    answer({{"number", "777"}, {"elevation", "-250"}});
    s.click(QPoint(40, 40));
    QCOMPARE(doc.nodes[std::size_t(doc.nodeIndex(777))].elevation, -250.0f);
    const int other = doc.nodes[std::size_t(doc.surfaceCount + 1)].number;
    s.mode(command::kMakeRoad);
    answer({{"resistance", "0.25"}, {"length", "120"}, {"area", "9"}});
    s.twoNodes(777, other);
    const Road& made = doc.roads[std::size_t(s.roadBetween(777, other))];
    QCOMPARE(std::pair(made.resistance, made.length), std::pair(0.25f, 120.0f));
}

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
