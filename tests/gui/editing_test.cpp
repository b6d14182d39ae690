// Editing sessions in the plan view, driven with mouse and key events: the
// events reach the editor (whose decisions the core's session tests check),
// the edits reach the document's undo history, and the window's own dialogs
// hand their values to the edits. A small network built with the mouse is
// saved and solved; a whole session is undone to the opened files byte for
// byte and redone.
#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QLineEdit>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <deque>
#include <memory>

#include "edit/editops.h"
#include "model/networkio.h"
#include "model/units.h"
#include "run/rundriver.h"
#include "dialogs/analysisrundialog.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// The dialogs answered from a script: each call takes the next answer.
struct ScriptedEditDialogs : EditDialogs {
    std::deque<NewNodeValues> nodes;
    std::deque<NewRoadValues> roads;
    std::deque<std::pair<DialogResult, RoadDataValues>> roadChanges;
    std::deque<InsertNodeValues> inserts;  // the first part's R and L
    std::deque<int> symbols;
    std::deque<FanCurve> fans;
    int calls = 0;

    template <typename T>
    static bool next(std::deque<T>& queue, T& value)
    {
        if (queue.empty())
            return false;
        value = queue.front();
        queue.pop_front();
        return true;
    }
    DialogResult makeNode(NewNodeValues& v) override
    {
        ++calls;
        return next(nodes, v) ? DialogResult::Ok : DialogResult::Cancel;
    }
    DialogResult changeNode(NodeDataValues& v) override
    {
        ++calls;
        v.elevation += 1;
        return DialogResult::Ok;
    }
    DialogResult makeRoad(NewRoadValues& v) override
    {
        ++calls;
        NewRoadValues answer;
        if (!next(roads, answer))
            return DialogResult::Cancel;
        answer.first = v.first;
        answer.second = v.second;
        v = answer;
        return DialogResult::Ok;
    }
    DialogResult changeNormalRoad(RoadDataValues& v) override
    {
        ++calls;
        std::pair<DialogResult, RoadDataValues> answer;
        if (!next(roadChanges, answer))
            return DialogResult::Cancel;
        answer.second.first = v.first;
        answer.second.second = v.second;
        v = answer.second;
        return answer.first;
    }
    DialogResult changeFixedRoad(FixedRoadValues&) override { return DialogResult::Cancel; }
    DialogResult insertNode(InsertNodeValues& v) override
    {
        ++calls;
        InsertNodeValues answer;
        if (!next(inserts, answer))
            return DialogResult::Cancel;
        v.firstResistance = answer.firstResistance;
        v.firstLength = answer.firstLength;
        return DialogResult::Ok;
    }
    int chooseSymbol() override
    {
        int item = kSymbolLine;
        next(symbols, item);
        return item;
    }
    DialogResult makeFan(int, int, FanCurve& curve) override
    {
        ++calls;
        return next(fans, curve) ? DialogResult::Ok : DialogResult::Cancel;
    }
    DialogResult changeFan(int, int, FanCurve& curve) override
    {
        ++calls;
        for (int p = 0; p < curve.points; ++p)
            curve.pressure[std::size_t(p)] *= 1.1f;
        return DialogResult::Ok;
    }
};

NewNodeValues node(int number, float elevation, NodeKind kind)
{
    NewNodeValues v;
    v.number = number;
    v.elevation = elevation;
    v.kind = kind;
    return v;
}

NewRoadValues road(float resistance, float length)
{
    NewRoadValues v;
    v.resistance = resistance;
    v.temperature = 20;
    v.length = length;
    v.area = 12;
    v.conductivity = 2;
    return v;
}

NewRoadValues fixedRoad(float airflow)
{
    NewRoadValues v;
    v.fixedFlow = true;
    v.airflow = airflow;
    return v;
}

FanCurve fanCurve()
{
    FanCurve c;
    c.points = 4;
    c.flowStep = 1500;  // m³/min
    c.pressure = {};
    const float p[4] = {1400, 1300, 1000, 500};
    for (int j = 0; j < 4; ++j)
        c.pressure[std::size_t(j)] = p[j];
    return c;
}

struct Session {
    QTemporaryDir folder;
    AppContext app;
    MemoryProfile profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    ScriptedEditDialogs dialogs;
    ViewServices services{app, profile, reporter, files, {}, {}, nullptr, &dialogs};
    std::unique_ptr<NetworkDocument> document;
    std::unique_ptr<CBriscoView> view;

    // The sample `name` copied into the folder, or an untitled window; the
    // edit dialogs scripted, or the window's own answered on the screen.
    explicit Session(const QString& name = {}, bool realDialogs = false)
    {
        if (realDialogs)
            services.editDialogs = nullptr;
        app.programFolder = sourceDir().toStdString();
        readUnitsFile(app.programFolder, app.units, reporter);
        if (!name.isEmpty()) {
            copySample(name, folder.path());
            app.pendingFile = (folder.path() + "/" + name + ".vad").toStdString();
            app.pending = true;
        }
        document = std::make_unique<NetworkDocument>(app, reporter);
        view = std::make_unique<CBriscoView>(*document, services);
        view->resize(1000, 800);
        view->show();
        view->initialUpdate();
    }
    CBriscoDoc& doc() { return document->doc(); }
    QWidget* surface() { return view->viewport(); }

    // Where node `number` is on the window.
    QPoint at(int number)
    {
        const PlanData& d = view->plan().data;
        const int i = d.nodeIndex(number);
        const DevicePoint p = view->plan().geo.drawingPosition(d.nodeX[std::size_t(i)], d.nodeY[std::size_t(i)]);
        return {int(p.x) - view->plan().geo.scrollX, int(p.y) - view->plan().geo.scrollY};
    }
    void mode(int id) { QVERIFY(view->editCommand(id)); }
    void click(QPoint p, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(surface(), button, {}, p); }
    void click(int number) { click(at(number)); }
    void twoNodes(int a, int b)
    {
        click(a);
        click(b);
    }
    void doubleClick(int number)
    {
        // a double click comes after the press and release of its first click
        QTest::mousePress(surface(), Qt::LeftButton, {}, at(number));
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, at(number));
        QTest::mouseDClick(surface(), Qt::LeftButton, {}, at(number));
    }
    int roadBetween(int a, int b) { return doc().findRoad(a, b, RoadScope::All); }
    QString save(const QString& name)
    {
        const QString path = folder.path() + "/" + name + ".vad";
        files.saves.push_back(path.toStdString());
        [&] { QVERIFY(view->saveAs()); }();
        return path;
    }
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The files a saved network consists of, by extension.
const QStringList kSavedFiles = {"vad", "apd", "jpd", "nrd", "pkd", "sdt"};

int solve(const QString& path, AppContext& app, Reporter& reporter)
{
    CBriscoDoc doc(app, reporter);
    if (!openNetwork(doc, path.toStdString()))
        return -2;
    QuietAnalysisDialog dialog;
    return runAnalysis(doc, dialog, true).result;
}

// One answer to a modal dialog: texts typed into the named fields, then a
// button clicked.
struct Answering {
    QList<QPair<QString, QString>> fields;
    QString button;
};

// Answers the window's next modal dialogs, one after the other, as soon as
// exec() shows each. The titles are kept so that the test can tell which
// dialogs came.
void answerDialogs(QStringList& titles, QList<Answering> answers, int tries = 200)
{
    QTimer::singleShot(5, [&titles, answers, tries] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (tries > 0)
                answerDialogs(titles, answers, tries - 1);
            return;
        }
        titles << dialog->windowTitle();
        const Answering& answer = answers.front();
        for (const auto& [name, text] : answer.fields)
            if (auto* field = dialog->findChild<QLineEdit*>(name))
                field->setText(text);
        if (answers.size() > 1)
            answerDialogs(titles, answers.mid(1));
        if (auto* b = dialog->findChild<QAbstractButton*>(answer.button))
            QTest::mouseClick(b, Qt::LeftButton);
    });
}

}  // namespace

class EditingTest : public QObject {
    Q_OBJECT

private slots:
    void buildWithTheMouse();
    void dragZoomAndFans();
    void undoTakesTheSessionBackAndRedoRepeatsIt();
    void runsAndParametersOutlastTheHistory();
    void theWindowsOwnDialogs();
};

// Nodes, a road and a fixed-flow road made by clicks, a road reshaped with
// bending points and a symbol, a fan between the shafts: saved and solved.
void EditingTest::buildWithTheMouse()
{
    Session s;
    s.mode(command::kMakeNode);
    const struct {
        int number;
        float elevation;
        NodeKind kind;
        QPoint at;
    } nodes[] = {{1, 0, NodeKind::Surface, {100, 100}},       {2, 0, NodeKind::Surface, {800, 100}},
                 {11, -300, NodeKind::Underground, {100, 400}}, {12, -300, NodeKind::Underground, {800, 400}},
                 {20, 0, NodeKind::Underground, {700, 200}}};
    for (const auto& n : nodes) {
        s.dialogs.nodes.push_back(node(n.number, n.elevation, n.kind));
        s.click(n.at);
    }
    QCOMPARE(s.doc().nodeCount, 5);
    QVERIFY(s.view->networkLoaded());
    s.mode(command::kMakeRoad);
    for (const auto& [a, b] : {std::pair{1, 11}, {11, 12}, {12, 20}}) {
        s.dialogs.roads.push_back(road(0.05f, 300));
        s.twoNodes(a, b);
    }
    s.dialogs.roads.push_back(fixedRoad(500));
    s.twoNodes(2, 12);
    QCOMPARE(std::pair(s.doc().roadCount, s.doc().fixedCount), std::pair(3, 1));

    s.mode(command::kChangeRoad);
    const Road& r = s.doc().roads[std::size_t(s.roadBetween(11, 12))];
    s.dialogs.roadChanges.push_back(
        {DialogResult::ChangeLocation, {11, 12, r.resistance, r.temperature, r.length, r.area, r.conductivity}});
    s.twoNodes(11, 12);
    QCOMPARE(s.view->editor().mode(), EditMode::BendPoints);
    const QPoint bend1 = s.at(11) + QPoint(200, 60), bend2 = s.at(11) + QPoint(400, 60);
    QTest::mouseMove(s.surface(), bend1);
    s.click(bend1);
    QTest::mouseMove(s.surface(), bend2);
    s.dialogs.symbols.push_back(3);
    s.click(bend2, Qt::RightButton);
    s.click(12);
    const Road& shaped = s.doc().roads[std::size_t(s.roadBetween(11, 12))];
    QVERIFY(shaped.bendStart > 0);
    QCOMPARE(int(s.doc().bends[std::size_t(shaped.bendStart)].mark), 2);

    s.mode(command::kMakeFan);
    s.dialogs.fans.push_back(fanCurve());
    s.twoNodes(20, 2);
    QCOMPARE(s.doc().fanCount, 1);
    const QString path = s.save("built");
    QCOMPARE(solve(path, s.app, s.reporter), 1);
    s.view->grab().save("/tmp/built-plan.png");
}

void EditingTest::dragZoomAndFans()
{
    Session s("mine");
    CBriscoDoc& doc = s.doc();
    const int number = doc.nodes[doc.surfaceCount + 2].number;
    const float x0 = doc.nodes[std::size_t(doc.nodeIndex(number))].x;

    // Drag a node 40 pixels to the right.
    s.mode(command::kChangeNode);
    const QPoint from = s.at(number);
    QTest::mousePress(s.surface(), Qt::LeftButton, {}, from);
    QTest::mouseMove(s.surface(), from + QPoint(20, 0));
    QTest::mouseMove(s.surface(), from + QPoint(40, 0));
    QTest::mouseRelease(s.surface(), Qt::LeftButton, {}, from + QPoint(40, 0));
    const float x1 = doc.nodes[std::size_t(doc.nodeIndex(number))].x;
    QVERIFY(x1 > x0);
    QVERIFY(std::abs((x1 - x0) * s.view->plan().geo.scale - 40) < 2);
    QCOMPARE(s.document->undoStack().undoText(), QString("Move node %1").arg(number));

    // Change a fan's curve, then delete it after the question.
    const int fans = doc.fanCount;
    const float p0 = doc.fans[1].curve[1];
    s.mode(command::kChangeFan);
    s.twoNodes(doc.fans[1].inlet, doc.fans[1].outlet);
    QVERIFY(doc.fans[1].curve[1] > p0);
    s.mode(command::kDeleteFan);
    const int inlet = doc.fans[1].inlet, outlet = doc.fans[1].outlet;
    s.reporter.answers.push_back(Answer::Yes);
    s.twoNodes(inlet, outlet);
    QCOMPARE(doc.fanCount, fans - 1);
    QCOMPARE(s.reporter.questions.back().text, deleteFanQuestion(inlet, outlet));
    QCOMPARE(s.document->undoStack().undoText(), QString("Delete fan %1-%2").arg(inlet).arg(outlet));

    // Zoom into a rectangle of the window's proportions.
    const float scale = s.view->plan().geo.scale;
    s.mode(command::kZoomWithMouse);
    QTest::mousePress(s.surface(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(s.surface(), QPoint(300, 200));
    QTest::mouseRelease(s.surface(), Qt::LeftButton, {}, QPoint(300, 200));
    QVERIFY(s.view->plan().geo.scale > scale * 2);
    // No editing while a run's dialog is open.
    s.view->openAnalysisDialog();
    QVERIFY(!s.view->editCommandEnabled(command::kMakeNode));
    QVERIFY(!s.view->editCommand(command::kMakeNode));
    s.view->analysisDialog()->close();
    QTRY_VERIFY(!s.view->analysisDialog());
    QVERIFY(s.view->editCommandEnabled(command::kMakeNode));
}

void EditingTest::undoTakesTheSessionBackAndRedoRepeatsIt()
{
    Session s("mine");
    CBriscoDoc& doc = s.doc();
    QVERIFY(!doc.modified);
    NetworkSnapshot openedNetwork = takeSnapshot(doc);
    QHash<QString, QByteArray> opened;
    for (const QString& ext : kSavedFiles)
        if (QFile::exists(s.folder.path() + "/mine." + ext))
            opened[ext] = bytesOf(s.folder.path() + "/mine." + ext);
    QVERIFY(opened.size() >= 4);

    // A session: a node made and inserted into a road, a road made, a node
    // deleted with its two roads joined, a node moved, a fan changed.
    const int a = doc.roads[1].first, b = doc.roads[1].second;
    s.mode(command::kMakeNode);
    NewNodeValues inserted = node(999, doc.nodes[std::size_t(doc.nodeIndex(b))].elevation, NodeKind::Underground);
    inserted.insertToRoad = true;
    s.dialogs.nodes.push_back(inserted);
    s.click((s.at(a) + s.at(b)) / 2 + QPoint(25, 0));
    QCOMPARE(s.view->editor().mode(), EditMode::InsertNode);
    InsertNodeValues half;
    half.firstResistance = doc.roads[1].resistance / 2;
    half.firstLength = doc.roads[1].length / 2;
    s.dialogs.inserts.push_back(half);
    s.twoNodes(a, b);
    QVERIFY(s.roadBetween(a, 999) && s.roadBetween(999, b));
    QCOMPARE(s.roadBetween(a, b), 0);

    s.mode(command::kDeleteNode);
    s.reporter.answers.push_back(Answer::Yes);
    s.doubleClick(999);  // joins its two roads again
    QCOMPARE(doc.nodeIndex(999), 0);
    QVERIFY(s.roadBetween(a, b) != 0);

    s.mode(command::kChangeNode);
    const int moved = doc.nodes[doc.surfaceCount + 1].number;
    QTest::mousePress(s.surface(), Qt::LeftButton, {}, s.at(moved));
    QTest::mouseMove(s.surface(), s.at(moved) + QPoint(0, 30));
    QTest::mouseRelease(s.surface(), Qt::LeftButton, {}, s.at(moved) + QPoint(0, 30));
    s.mode(command::kChangeFan);
    s.twoNodes(doc.fans[1].inlet, doc.fans[1].outlet);

    QUndoStack& history = s.document->undoStack();
    QCOMPARE(history.count(), 5);
    QCOMPARE(history.text(0), QString("Make node 999"));
    QCOMPARE(history.text(2), QString("Delete node 999, joining its roads"));
    const NetworkSnapshot edited = takeSnapshot(doc);
    QVERIFY(doc.modified);

    // Undo all of it: the opened network, not modified, the same files.
    while (history.canUndo())
        history.undo();
    QVERIFY(!doc.modified);
    doc.modified = true;  // so that Save writes
    QVERIFY(s.view->save());
    for (auto it = opened.begin(); it != opened.end(); ++it)
        QVERIFY2(bytesOf(s.folder.path() + "/mine." + it.key()) == it.value(), qPrintable(it.key()));

    // Redo repeats the session.
    while (history.canRedo())
        history.redo();
    QVERIFY(takeSnapshot(doc).sameNetwork(edited));
    QVERIFY(doc.modified);

    // The history turns with the plan: undone after a turn, the network is
    // the opened one turned.
    s.view->rightTurn();
    while (history.canUndo())
        history.undo();
    openedNetwork.turn(-45);
    QVERIFY(takeSnapshot(doc).sameNetwork(openedNetwork));

    // 100 steps at most; what they cost is the snapshots'.
    qInfo("history of %d steps: %zu KB", history.count(), s.document->historyBytes() / 1024);
}

// A run or a change of the parameters is no step of the history: undone
// past, the document stays modified (closing asks) until it is saved.
void EditingTest::runsAndParametersOutlastTheHistory()
{
    const auto parameters = [](Session& s, const QString& fireTemperature) {
        QTimer::singleShot(0, [fireTemperature] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog && dialog->windowTitle() == "parameters");
            if (!fireTemperature.isEmpty())
                dialog->findChild<QLineEdit*>("fireTemperature")->setText(fireTemperature);
            dialog->findChild<QPushButton*>("ok")->click();
        });
        s.view->analysisDialog()->findChild<QPushButton*>("parameter")->click();
    };
    const struct {
        const char* what;
        std::function<void(Session&)> change;
    } cases[] = {
        {"a run", [](Session& s) { s.view->analysisDialog()->findChild<QPushButton*>("start")->click(); }},
        {"a new fire temperature", [&](Session& s) { parameters(s, "555"); }},
    };
    for (const auto& c : cases) {
        Session s("mine");
        CBriscoDoc& doc = s.doc();
        QUndoStack& history = s.document->undoStack();
        s.view->editor().operations().moveNode(doc.surfaceCount + 1, 5, 5);
        s.view->openAnalysisDialog();
        c.change(s);
        s.view->analysisDialog()->close();
        QTRY_VERIFY(!s.view->analysisDialog());
        history.undo();
        QVERIFY2(doc.modified, c.what);
        QCOMPARE(s.view->queryClose(), Answer::Cancel);
        QCOMPARE(s.reporter.questions.size(), std::size_t(1));

        // Saved, the network as it stands is the saved state again.
        QVERIFY(s.view->save());
        history.redo();
        history.undo();
        QVERIFY2(!doc.modified, c.what);
        // The parameters left with OK as they were shown change nothing.
        s.view->openAnalysisDialog();
        parameters(s, {});
        s.view->analysisDialog()->close();
        QTRY_VERIFY(!s.view->analysisDialog());
        QVERIFY2(!doc.modified, c.what);
    }
}

// The same modes with the dialogs the person sees: a node made after a
// refused non-numeric elevation, a road made, a road's data changed.
void EditingTest::theWindowsOwnDialogs()
{
    Session s("mine", true);
    CBriscoDoc& doc = s.doc();
    QStringList titles;
    const int nodes = doc.nodeCount;

    s.mode(command::kMakeNode);
    // the refusal leaves the dialog open: corrected, then OK
    answerDialogs(titles, {{{{"number", "777"}, {"elevation", "ten"}}, "ok"}, {{{"elevation", "-250"}}, "ok"}});
    s.click(QPoint(40, 40));
    QCOMPARE(titles, QStringList({"Make new node", "Make new node"}));
    QCOMPARE(s.reporter.messages.size(), std::size_t(1));
    QCOMPARE(doc.nodeCount, nodes + 1);
    QCOMPARE(doc.nodes[std::size_t(doc.nodeIndex(777))].elevation, -250.0f);

    // A road from the new node; a Cancel makes nothing.
    const int other = doc.nodes[std::size_t(doc.surfaceCount + 1)].number;
    s.mode(command::kMakeRoad);
    answerDialogs(titles, {{{{"resistance", "0.25"}}, "cancel"}});
    s.twoNodes(777, other);
    QCOMPARE(s.roadBetween(777, other), 0);
    answerDialogs(titles, {{{{"resistance", "0.25"}, {"length", "120"}, {"area", "9"}}, "ok"}});
    s.twoNodes(777, other);
    const int made = s.roadBetween(777, other);
    QVERIFY(made > 0);
    QCOMPARE(doc.roads[std::size_t(made)].resistance, 0.25f);
    QCOMPARE(doc.roads[std::size_t(made)].length, 120.0f);

    s.mode(command::kChangeRoad);
    answerDialogs(titles, {{{{"resistance", "0.5"}}, "ok"}});
    s.twoNodes(777, other);
    QCOMPARE(doc.roads[std::size_t(s.roadBetween(777, other))].resistance, 0.5f);
    QCOMPARE(titles.last(), QString("change normal road data"));
    QCOMPARE(s.document->undoStack().undoText(), QString("Change road 777-%1").arg(other));
}

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
