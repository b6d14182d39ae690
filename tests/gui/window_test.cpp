// The network window's wiring: its commands reach its controller and the
// scroll bars follow, keys, wheel and mouse reach the plan and the editor,
// edits reach the undo history, dialogs' values reach the document, runs go
// from the analysis dialog, the page preview prints and exports, and the
// plan is drawn into the window. The decisions are the core's (tests/control, tests/edit).
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <sys/prctl.h>

#include "capacitynet.h"
#include "dialogs/analysisrundialog.h"
#include "print/planoutput.h"
#include "print/printtool.h"
#include "run/rundriver.h"
#include "support.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

bool sameImage(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

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

// The sample "mine" opened in a window, the edit dialogs scripted.
struct Session : NetworkWindow {
    ScriptedEditDialogs dialogs;
    Session()
    {
        services.editDialogs = &dialogs;
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
    void drag(QPoint from, QPoint to) { gui::test::drag(surface(), from, to); }
    int roadBetween(int a, int b) { return doc().findRoad(a, b, RoadScope::All); }
};

// The printer dialogs answered by the test. Printer setup chooses a PDF file
// on a page whose printable area is 2880 × 3969 printer pixels, upright or
// turned.
struct ScriptedPrinting : PrintServices {
    QString pdf;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    std::optional<ColourSlots> colours;
    std::optional<PlanExport> exported;

    bool setupPrinter(QWidget*, QPrinter& printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(360);
        printer.setPageLayout(QPageLayout(QPageSize(QSizeF(8, 11.025), QPageSize::Inch), orientation,
                                          QMarginsF(0, 0, 0, 0)));
        return true;
    }
    std::optional<ColourSlots> chooseColours(QWidget*, const ColourSlots&) override { return colours; }
    std::optional<PlanExport> chooseExport(QWidget*, const std::string&, bool) override { return exported; }
};

struct PrintWindow : NetworkWindow {
    ScriptedPrinting printing;
    PrintWindow()
    {
        services.printing = &printing;
        printing.pdf = folder.filePath("printed.pdf");
        open(sample("mine"));
    }
    QRect page() const
    {
        const DevicePoint* c = view->plan().page.corners;
        return QRect(QPoint(int(c[0].x), int(c[0].y)), QPoint(int(c[2].x) - 1, int(c[2].y) - 1));
    }
    void drag(QPoint from, QPoint to) { gui::test::drag(view->viewport(), from, to); }
};

// The box around everything drawn on white within `area` (its outline left
// out), as fractions of the page it lies on.
QRectF drawnOnPage(const QImage& image, const QRect& area, const QRect& page)
{
    QRect box;
    const QRect inside = area.adjusted(3, 3, -3, -3);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if ((image.pixel(x, y) & 0xffffff) != 0xffffff)
                box |= QRect(x, y, 1, 1);
    return QRectF((box.left() - page.left()) / double(page.width()), (box.top() - page.top()) / double(page.height()),
                  box.width() / double(page.width()), box.height() / double(page.height()));
}

struct RunWindow : NetworkWindow {
    explicit RunWindow(const QString& name)
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

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void fileCommandsAndTheCloseQuestion();
    void geometryCommandsKeysAndWheel();
    void pictureOnTheWindow();
    void dialogsReachTheDocument();
    void sessionUndoneAndRedone();
    void runsAndParametersOutlastTheHistory();
    void theToolsButtonsReachThePreview();
    void simpleIsOneSettingForAllWindows();
    void printedPageMatchesThePreview();
    void exportWritesWhatTheWindowShows();
    void startUpdateAndCloseFromTheDialog();
    void stopAndDisplayDataDuringARun();
    void fireRunPausesAndDrawsFronts();
    void enterPressesTheFocusedButton();
    void fanCurveViewerStartedAndCollected();
};

// Open fills the empty window, then asks for a new one; the close question's
// Yes opens the save dialog on the network's own file; No closes without writing.
void WindowTest::fileCommandsAndTheCloseQuestion()
{
    NetworkWindow w;
    CBriscoView& view = w.open();
    const QString net = w.sample("mine");
    w.files.opens = {net.toStdString(), w.sample("water").toStdString()};
    view.openFile();
    QVERIFY(view.networkLoaded());
    view.openFile();
    QCOMPARE(w.newWindows, 1);

    view.leftTurn();
    w.doc().modified = true;
    w.reporter.answers = {Answer::Yes, Answer::No};
    QCOMPARE(view.queryClose(), Answer::Cancel);
    QCOMPARE(w.files.lastStartFolder, net.toStdString());
    QCOMPARE(view.queryClose(), Answer::No);
    const QByteArray original = contents(net);
    w.close();
    QCOMPARE(contents(net), original);
    QCOMPARE(w.profile.readString(kRecentFileSection, kRecentFileEntry, ""), net.toStdString());
}

// Zoom sets the scroll bars; an arrow key scrolls (or, at the start, moves
// the plan's origin); Ctrl+wheel zooms.
void WindowTest::geometryCommandsKeysAndWheel()
{
    NetworkWindow w;
    CBriscoView& view = w.open(w.sample("mine"));
    ViewGeometry& g = w.geo();
    const QSize client = view.viewport()->size();
    const float fitted = g.scale;
    view.zoomIn();
    QCOMPARE(g.scale, fitted * 2);
    QCOMPARE(view.horizontalScrollBar()->maximum(), std::max(0, g.scrollWidth - client.width()));
    QCOMPARE(view.verticalScrollBar()->pageStep(), client.height());
    view.scrollTo(0, 0);
    QTest::keyClick(&view, Qt::Key_Right);
    QVERIFY(view.horizontalScrollBar()->value() > 0);
    QCOMPARE(g.scrollX, view.horizontalScrollBar()->value());
    view.scrollTo(0, 0);
    const float origin = g.originX;
    QTest::keyClick(&view, Qt::Key_Left);
    QVERIFY(g.originX > origin);
    QCOMPARE(view.horizontalScrollBar()->value(), 0);

    const QPoint at(300, 200);
    QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    QCOMPARE(g.scale, fitted * 4);
}

// The fitted network covers more than the background; during a run only
// the status line at the top is drawn, in the on-line colour.
void WindowTest::pictureOnTheWindow()
{
    NetworkWindow w;
    CBriscoView& view = w.open(w.sample("mine"));
    QApplication::processEvents();
    const QImage before = view.viewport()->grab().toImage();
    QVERIFY(sameImage(before, view.backingImage()));
    int drawn = 0;
    for (int y = 0; y < before.height(); y += 3)
        for (int x = 0; x < before.width(); x += 3)
            drawn += before.pixel(x, y) != before.pixel(0, 0);
    QVERIFY2(drawn > 200, qPrintable(QString::number(drawn)));

    w.doc().analysisRunning = 1;
    w.doc().statusLine = "  12: Error=     0.001234 m3/s";
    w.document->updateAllViews();
    const QImage during = view.backingImage();
    bool textSeen = false;
    const QColor online = toQColor(view.plan().settings.colours.online);
    for (int y = 0; y < during.height(); ++y)
        for (int x = 0; x < during.width(); ++x)
            if (during.pixel(x, y) != before.pixel(x, y)) {
                QVERIFY2(y < 30, qPrintable(QString("%1,%2").arg(x).arg(y)));
                textSeen = textSeen || QColor(during.pixel(x, y)) == online;
            }
    QVERIFY(textSeen);
    w.doc().analysisRunning = 0;
    w.document->updateAllViews();
    QVERIFY(sameImage(before, view.backingImage()));
}

// Display setting's and File Information's values reach the plan and the document.
void WindowTest::dialogsReachTheDocument()
{
    NetworkWindow w;
    CBriscoView& view = w.open(w.sample("mine"));
    onModal([](QDialog& d) {
        child<QLineEdit>(d, "displayAngle")->setText("405");
        child<QComboBox>(d, "onlineKind")->setCurrentIndex(12);
        child<QSpinBox>(d, "nodeDigits")->setValue(3);
        click(d, "ok");
    });
    view.displaySetting();
    QCOMPARE(std::pair(view.plan().geo.displayAngle, view.plan().settings.onlineKind), std::pair(45, 12));
    QCOMPARE(view.plan().settings.nodeDigits, 3);

    int changes = 0;
    connect(&view, &CBriscoView::stateChanged, [&changes] { ++changes; });
    onModal([](QDialog& d) {
        child<QPlainTextEdit>(d, "title")->setPlainText(QString::fromUtf8("北区 ventilation"));
        click(d, "ok");
    });
    view.info();
    QCOMPARE(w.doc().title, std::string("北区 ventilation"));
    QVERIFY(w.doc().modified && changes > 0);
    w.doc().modified = false;
}

// Clicks, a double click, a drag, a right click and moves reach the editor
// and each edit the history; undone, the opened files are written again
// byte for byte; redone, the session is back; the history turns with the plan.
void WindowTest::sessionUndoneAndRedone()
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
void WindowTest::runsAndParametersOutlastTheHistory()
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

void WindowTest::theToolsButtonsReachThePreview()
{
    PrintWindow w;
    const ColourSlots screen = w.view->plan().settings.colours;
    w.view->togglePrint();
    QCOMPARE(w.view->viewport()->size(), QSize(800, 600));  // no scroll bars on the page
    QCOMPARE(w.view->backingImage().pixel(400, 300) & 0xffffff, 0xffffffu);  // the white page
    PrintToolDialog* tool = w.view->printTool();
    QVERIFY(tool);

    ColourSlots chosen = screen;
    chosen.road = rgb(0, 0, 200);
    w.printing.colours = chosen;
    QTest::mouseClick(tool->findChild<QPushButton*>("colorSetup"), Qt::LeftButton);
    QCOMPARE(w.view->plan().settings.colours.road, rgb(0, 0, 200));
    QTest::mouseClick(tool->findChild<QCheckBox*>("simple"), Qt::LeftButton);
    QCOMPARE(w.view->plan().settings.previewKind, 0);
    w.printing.orientation = QPageLayout::Landscape;
    QTest::mouseClick(tool->findChild<QPushButton*>("printerSetup"), Qt::LeftButton);
    QCOMPARE(w.view->plan().page.orientation, 2);
    QVERIFY(w.page().width() > w.page().height());

    // Out of the preview: the screen colours on the window, the chosen ones
    // kept as print colours, and in the profile when the window closes.
    w.view->togglePrint();
    QCOMPARE(w.view->plan().settings.colours.road, screen.road);
    QTRY_VERIFY(!w.view->printTool());
    w.view->togglePrint();  // closed in page preview
    w.close();
    QCOMPARE(w.profile.readInt(kDisplaySection, "print_road", 0), int(rgb(0, 0, 200)));
    QCOMPARE(w.profile.readInt(kDisplaySection, "road", 0), int(screen.road));
}

// "Simple" is one setting of the whole program: every window takes it at
// once, the profile keeps it, and the window closed last does not put back
// a choice of its own.
void WindowTest::simpleIsOneSettingForAllWindows()
{
    PrintWindow w;
    auto otherDocument = std::make_unique<NetworkDocument>(w.app, w.reporter);
    auto other = std::make_unique<CBriscoView>(*otherDocument, w.services);
    other->initialUpdate();
    w.view->togglePrint();
    other->togglePrint();
    QVERIFY(!other->printTool()->simple());

    QSignalSpy announced(other->printTool(), &PrintToolDialog::simpleToggled);
    QTest::mouseClick(w.view->printTool()->findChild<QCheckBox*>("simple"), Qt::LeftButton);
    QCOMPARE(other->plan().settings.previewKind, 0);
    QVERIFY(other->printTool()->simple());
    QCOMPARE(announced.count(), 0);  // the other window's box follows without a choice of its own
    w.close();
    other.reset();  // closed last
    QCOMPARE(w.profile.readInt(kDisplaySection, "print_preview_num", 1), 0);
}

void WindowTest::printedPageMatchesThePreview()
{
    // Lines as wide on paper as on a screen of 96 pixels an inch, never thinner than a dot.
    for (const auto& [dpi, scale] : {std::pair{72, 1.0}, {96, 1.0}, {360, 3.75}, {600, 6.25}})
        QCOMPARE(printPenScale(dpi), scale);

    PrintWindow w;
    w.view->plan().settings.look.titleBlock = false;  // the plan alone on the page
    w.view->togglePrint();
    w.view->printerSetup();  // a PDF file, 2880 × 3969
    w.view->zoomOut();  // the whole plan on the page, off its centre
    const DevicePoint before = w.geo().drawingPosition(0, 0);
    // The simple preview's drag leaves what a full paint shows.
    w.view->setSimplePreview(true);
    w.drag({400, 300}, {410, 330});
    const QImage dragged = w.view->backingImage();
    w.view->repaint();
    QCOMPARE(w.view->backingImage(), dragged);
    w.view->setSimplePreview(false);
    w.drag({410, 330}, {420, 380});
    const DevicePoint moved = w.geo().drawingPosition(0, 0);
    QVERIFY(std::abs(moved.x - before.x - 20) <= 1 && std::abs(moved.y - before.y - 80) <= 1);

    const QImage preview = w.view->backingImage();
    preview.save("/tmp/print-preview.png");
    const QRectF shown = drawnOnPage(preview, w.page(), w.page());
    w.view->startPrinting();
    QVERIFY(w.reporter.messages.empty());
    QCOMPARE(w.view->backingImage(), preview);  // back in the preview, unchanged

    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm (poppler-utils) is needed to look at the printed page");
    QProcess render;
    const QString png = w.folder.filePath("printed");
    render.start(pdftoppm, {"-r", "72", "-png", "-singlefile", w.printing.pdf, png});
    QVERIFY(render.waitForFinished());
    const QImage printed(png + ".png");
    QCOMPARE(printed.width(), 576);  // 8 × 11.025 inches at 72 dpi
    printed.save("/tmp/printed-page.png");
    const QRectF onPaper = drawnOnPage(printed, printed.rect().adjusted(-3, -3, 3, 3), printed.rect());
    for (const auto& [a, b] : {std::pair{shown.left(), onPaper.left()}, std::pair{shown.top(), onPaper.top()},
                               std::pair{shown.right(), onPaper.right()}, std::pair{shown.bottom(), onPaper.bottom()}})
        QVERIFY2(std::abs(a - b) < 0.015, qPrintable(QString("%1 against %2").arg(a).arg(b)));
}

void WindowTest::exportWritesWhatTheWindowShows()
{
    PrintWindow w;
    const QImage shown = w.view->backingImage();
    const ColourSlots screen = w.view->plan().settings.colours;
    PlanExport e{w.folder.filePath("plan.png").toStdString(), ExportFormat::Png, false};
    w.printing.exported = e;
    w.view->exportPlan();
    // The title block takes the bottom-right corner; the rest is the window's.
    const QImage withTitle = QImage(w.folder.filePath("plan.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(withTitle.copy(0, 0, 800, 450), shown.copy(0, 0, 800, 450));
    QVERIFY(withTitle.copy(500, 500, 300, 100) != shown.copy(500, 500, 300, 100));
    w.view->plan().settings.look.titleBlock = false;
    w.view->exportPlan();
    QCOMPARE(QImage(w.folder.filePath("plan.png")).convertToFormat(QImage::Format_RGB32), shown);
    w.printing.exported = PlanExport{e.path, ExportFormat::Png, true};  // print colours on white
    w.view->exportPlan();
    QCOMPARE(QImage(w.folder.filePath("plan.png")).pixel(2, 2) & 0xffffff, 0xffffffu);
    QCOMPARE(w.view->plan().settings.colours.back, screen.back);  // the window keeps its own

    // Vector files: a PDF, an SVG of paths the window's size.
    w.printing.exported = PlanExport{w.folder.filePath("plan.pdf").toStdString(), ExportFormat::Pdf, false};
    w.view->exportPlan();
    QVERIFY(contents(w.folder.filePath("plan.pdf")).startsWith("%PDF"));
    w.printing.exported = PlanExport{w.folder.filePath("plan.svg").toStdString(), ExportFormat::Svg, false};
    w.view->exportPlan();
    const QByteArray svg = contents(w.folder.filePath("plan.svg"));
    QVERIFY(svg.contains("viewBox=\"0 0 800 600\"") && svg.count("<path") + svg.count("<polyline") > 50);
    // A folder that does not exist: a message naming the path.
    w.printing.exported = PlanExport{w.folder.filePath("none/plan.svg").toStdString(), ExportFormat::Svg, false};
    w.view->exportPlan();
    QCOMPARE(w.reporter.messages.size(), std::size_t(1));
    QVERIFY(w.reporter.contains(w.printing.exported->path));
}

// Start runs, Update draws the results, Display data fills the fan list,
// Parameter's values reach the next run, Close closes.
void WindowTest::startUpdateAndCloseFromTheDialog()
{
    RunWindow w("mine");
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

void WindowTest::stopAndDisplayDataDuringARun()
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
void WindowTest::fireRunPausesAndDrawsFronts()
{
    for (const bool displayData : {false, true}) {
        RunWindow w("minefire");
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
void WindowTest::enterPressesTheFocusedButton()
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
void WindowTest::fanCurveViewerStartedAndCollected()
{
    RunWindow w("mine");
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

QTEST_MAIN(WindowTest)
#include "window_test.moc"
