// The program as a whole: start-up from the command line and the profile,
// the main window's commands reaching the view, network windows opened,
// dropped and closed, the status panes, placements that garbage in the
// profile must not spoil, the results dock, and the close question's text.
#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QRawFont>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QtTest>
#include <climits>
#include <memory>

#include "app/briscoapp.h"
#include "app/childframe.h"
#include "app/mainframe.h"
#include "app/placement.h"
#include "app/qsettingsprofile.h"
#include "app/qtreporter.h"
#include "app/statuspanes.h"
#include "edit/editor.h"
#include "model/networkio.h"
#include "results/resultspanel.h"
#include "program.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/displaytext.h"
#include "view/networkdocument.h"
#include "view/qpaintercanvas.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {


// A network window in an MDI area, on a copy of a sample network.
struct ResultsWindow : NetworkWindow {
    QMdiArea area;
    CChildFrame* frame = nullptr;

    explicit ResultsWindow(const QString& name)
    {
        copySample(name, folder.path());
        app.pendingFile = folder.filePath(name + ".vad").toStdString();
        app.pending = true;
        area.resize(1200, 800);
        area.show();
        frame = new CChildFrame(services, 1);
        area.addSubWindow(frame);
        frame->showPlaced(area);
        frame->view()->initialUpdate();
    }
    ~ResultsWindow() { delete frame->view()->analysisDialog(); }
    CBriscoView& view() { return *frame->view(); }
    CBriscoDoc& doc() { return frame->document().doc(); }
    ResultsPanel& panel() { return frame->resultsDock()->panel(); }
    void run()  // Start in the analysis dialog, the run to its end, the dialog closed
    {
        view().openAnalysisDialog();
        click(*view().analysisDialog(), "start");
        click(*view().analysisDialog(), "close");
        QTRY_VERIFY(!view().analysisDialog());
    }
};

double cellValue(const QAbstractItemModel& shown, int row, int column)
{
    return shown.index(row, column).data(kSortRole).toDouble();
}

// The characters of text that the font (with the system's fall-backs) draws
// as the empty box of a missing glyph, each laid out as the label lays it out.
QString missingGlyphs(const QString& text, const QFont& font)
{
    QString missing;
    for (const uint c : text.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        QTextLayout layout(one, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        bool drawn = !runs.isEmpty() && QFontMetrics(font).inFontUcs4(c);
        for (const QGlyphRun& run : runs)
            drawn = drawn && run.rawFont().supportsCharacter(c) && !run.glyphIndexes().contains(0);
        if (!drawn && !one.trimmed().isEmpty())
            missing += one;
    }
    return missing;
}

}  // namespace

class AppTest : public QObject {
    Q_OBJECT

private slots:
    void startFromTheProfileAndTheCommandLine();
    void helpAndVersionWithoutADisplay();
    void damagedInstallation();
    void commandsReachTheView();
    void statusPanes();
    void openDropAndRecentFiles();
    void quitAsksEachWindow();
    void placements();
    void dockShowsTheTablesAfterARun();
    void copyAndExport();
    void chosenRowMarksThePlan();
    void findAndClickChooseTheRow();
    void rowsFollowTheNetwork();
    void closeQuestionIsReadable();
    void importsAndExports();
};

// The recent network opens at start, a quoted name on the command line
// opens instead, a missing one gives a message and no window; quitting
// writes the parameters, the recent file and the placement.
void AppTest::startFromTheProfileAndTheCommandLine()
{
    {
        Program p;
        CMainFrame& frame = p.start();
        QVERIFY(!p.view()->networkLoaded() && !frame.action("info")->isEnabled());
        QCOMPARE(p.profile->readString(kDirectorySection, kInstallEntry, ""), sourceDir().toStdString());
        for (QToolBar* bar : frame.findChildren<QToolBar*>())
            for (QAction* a : bar->actions())
                QVERIFY2(a->isSeparator() || !a->icon().isNull(), qPrintable(a->objectName()));
        QVERIFY(p.quit());
    }
    {
        Program p;
        const QString net = p.sample("mine");
        p.profile->writeString(kRecentFileSection, kRecentFileEntry, net.toStdString());
        CMainFrame& frame = p.start();
        QVERIFY(p.view()->networkLoaded() && frame.action("info")->isEnabled());
        QVERIFY(p.quit());
        QVERIFY(QFile::exists(p.folder.filePath("mine.sdt")));
        QCOMPARE(p.profile->readString(kRecentFileSection, kRecentFileEntry, ""), net.toStdString());
        QVERIFY(readPlacement(*p.profile, kWindowPlacementSection).has_value());
    }
    {
        Program p;
        p.profile->writeString(kRecentFileSection, kRecentFileEntry, p.sample("mine").toStdString());
        p.start({"\"" + p.sample("water") + "\""});
        QVERIFY(p.view()->document().doc().isWater());
        QVERIFY(p.quit());
    }
    Program p;
    CMainFrame& frame = p.start({p.folder.filePath("nothing.vad")});
    QVERIFY(p.reporter.contains("nothing.vad"));
    QCOMPARE(frame.childFrames().size(), 0);
    p.open(p.sample("mine"));
    QVERIFY(p.view()->networkLoaded());
    QVERIFY(p.quit());
}

// --help, --version and an unknown option, all before a display is needed.
void AppTest::helpAndVersionWithoutADisplay()
{
    const struct {
        QString word;
        int status;
        QString out, err;
    } cases[] = {{"--help", 0, "Usage: orvex", ""}, {"--version", 0, "orvex ", ""},
                 {"--bogus", 2, "", "orvex: unknown option --bogus"}};
    for (const auto& c : cases) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        program.setProcessEnvironment(environment);
        program.start(ORVEX_PROGRAM, {c.word});
        QVERIFY(program.waitForFinished(30000));
        const QString out = program.readAllStandardOutput(), err = program.readAllStandardError();
        QCOMPARE(std::pair(program.exitStatus(), program.exitCode()), std::pair(QProcess::NormalExit, c.status));
        QVERIFY2(c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out), qPrintable(out));
        QVERIFY2(c.err.isEmpty() ? err.isEmpty() : err.startsWith(c.err), qPrintable(err));
    }
}

// /dde takes the program folder from the profile and writes nothing back; a
// damaged default network gives a message and a window whose commands run.
void AppTest::damagedInstallation()
{
    {
        Program p;
        p.profile->writeString(kDirectorySection, kInstallEntry, (sourceDir() + "/").toStdString());
        p.start({"/dde"}, p.folder.path());
        QCOMPARE(p.app->context().programFolder, sourceDir().toStdString());
        QCOMPARE(p.profile->readString(kDirectorySection, kInstallEntry, ""), (sourceDir() + "/").toStdString());
        QVERIFY(p.quit());
    }
    Program p;
    const QString program = p.folder.filePath("install");
    QVERIFY(QDir().mkpath(program + "/sdt"));
    for (const char* file : {"units.sdt", "gslft.sdt", "gslgr.sdt"})
        QVERIFY(QFile::copy(sourceDir() + "/sdt/" + file, program + "/sdt/" + file));
    QFile network(program + "/sdt/ztkihon.sdt");
    QVERIFY(network.open(QIODevice::WriteOnly) && network.write("heading\n 3\n  1 x\n") > 0);
    network.close();
    CMainFrame& frame = p.start({}, program);
    QVERIFY(p.reporter.contains("ztkihon.sdt"));
    for (const char* name : {"zoomin", "fit", "rightturn", "new"})
        frame.action(name)->trigger();
    p.open(p.sample("mine"));
    QVERIFY(p.view()->networkLoaded());
    p.reporter.answers = {Answer::No, Answer::No};
    QVERIFY(p.quit());
}

// Keys and menu commands reach the active view and its history; the check
// marks follow the view; with no window left, Save is off.
void AppTest::commandsReachTheView()
{
    Program p;
    CMainFrame& frame = p.start({p.sample("mine")});
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    NetworkDocument& document = p.view()->document();
    const float elevation = document.doc().nodes[1].elevation;
    document.doc().nodes[1].elevation += 10;
    document.networkChanged("Change node");
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(document.doc().nodes[1].elevation, elevation);
    QTest::keyClick(&frame, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(document.doc().nodes[1].elevation, elevation + 10);

    frame.action("makenode")->trigger();
    QVERIFY(p.view()->editCommandChecked(command::kMakeNode) && frame.action("makenode")->isChecked());
    frame.action("print")->trigger();
    QVERIFY(p.view()->pagePreview() && frame.action("print")->isChecked());
    QVERIFY(!frame.action("save")->isEnabled());
    p.view()->togglePrint();
    QVERIFY(!frame.action("print")->isChecked() && frame.action("save")->isEnabled());

    document.doc().modified = false;
    frame.activeChild()->close();
    QApplication::processEvents();
    QCOMPARE(frame.childFrames().size(), 0);
    QVERIFY(!frame.action("save")->isEnabled());
    QVERIFY(p.quit());
}

// The clock's twelve-hour texts and the date; the lock lights as the system shows them.
void AppTest::statusPanes()
{
    std::tm t{};
    t.tm_year = 2026 - 1900, t.tm_mon = 11, t.tm_mday = 7, t.tm_wday = 1, t.tm_min = 5, t.tm_sec = 9;
    for (const auto& [hour, text] : {std::pair{13, "PM 1:05:09 "}, {9, "AM 9:05:09  "}, {0, "AM 12:05:09  "}}) {
        t.tm_hour = hour;
        QCOMPARE(timeText(t), std::string(text));
    }
    t.tm_hour = 12;
    Program p;
    CMainFrame& frame = p.start();
    frame.statusPanes().showClock(t);
    QCOMPARE(std::pair(frame.statusPanes().dateShown(), frame.statusPanes().timeShown()),
             std::pair(QString("Mon,2026/12/7"), QString("PM 12:05:09 ")));
    QVERIFY(p.quit());

    QTemporaryDir leds;
    for (const auto& [name, value] : {std::pair{"input3::capslock", "1"}, {"input3::numlock", "0"}}) {
        QDir(leds.path()).mkdir(name);
        QFile f(leds.path() + "/" + name + "/brightness");
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(value) > 0);
    }
    const LockStates s = readLockStates(leds.path().toStdString());
    QVERIFY(s.caps && !s.num && !s.scroll);
}

// Open fills the empty first window, then makes new ones; a dropped network
// opens, other files are refused; a recent network that no longer opens
// loses its window and its menu entry.
void AppTest::openDropAndRecentFiles()
{
    Program p;
    const QString gone = p.folder.filePath("gone.vad");
    p.profile->writeString("Recent File List", "File1", gone.toStdString());
    CMainFrame& frame = p.start();
    const QString mine = p.sample("mine"), water = p.sample("water");
    p.open(mine);
    QCOMPARE(frame.childFrames().size(), 1);
    p.open(water);
    QTRY_COMPARE(frame.childFrames().size(), 2);

    const auto drop = [&frame](const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(&frame, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (enter.isAccepted())
            QApplication::sendEvent(&frame, &drop);
        return enter.isAccepted();
    };
    QVERIFY(!drop({p.folder.filePath("notes.txt")}));
    QVERIFY(drop({mine, p.folder.filePath("notes.txt")}));
    QCOMPARE(frame.childFrames().size(), 3);
    QCOMPARE(frame.recentFiles(), QStringList({mine, water, gone}));

    const auto entries = [&frame] {
        QList<QAction*> shown;
        for (QAction* a : frame.menuBar()->actions().front()->menu()->actions())
            if (a->isVisible() && !a->isSeparator() && a->objectName().isEmpty())
                shown << a;
        return shown;
    };
    QCOMPARE(entries().size(), 3);
    entries()[2]->trigger();
    QVERIFY(p.reporter.contains("gone.vad"));
    QCOMPARE(frame.childFrames().size(), 3);
    QCOMPARE(frame.recentFiles(), QStringList({mine, water}));
    QCOMPARE(p.profile->readString("Recent File List", "File3", "(none)"), std::string("(none)"));
    QCOMPARE(entries().size(), 2);
    QVERIFY(p.quit());
}

// Quitting asks the active window first; a Cancel keeps the rest open.
void AppTest::quitAsksEachWindow()
{
    Program p;
    CMainFrame& frame = p.start();
    p.open(p.sample("mine"));
    p.open(p.sample("water"));
    QTRY_COMPARE(frame.childFrames().size(), 2);
    for (CChildFrame* child : frame.childFrames()) {
        child->document().doc().modified = true;
        child->document().updateAllViews();
        QVERIFY(child->isWindowModified());
    }
    p.reporter.answers = {Answer::No, Answer::Cancel};
    QVERIFY(!p.quit());
    QCOMPARE(frame.childFrames().size(), 1);
    QVERIFY(!p.view()->document().doc().isWater());
    p.reporter.answers = {Answer::No};
    QVERIFY(p.quit());
}

// A frame is kept only where its title bar can be reached; a network window
// comes back where it was stored; garbage in the profile reads as far as it
// goes and leaves the windows on the screen.
void AppTest::placements()
{
    const struct {
        int left, top, right, bottom;
        bool kept;
    } frames[] = {{100, 100, 500, 400, true}, {100, -20, 500, 400, false}, {100, 1030, 500, 1400, false},
                  {1880, 100, 2300, 400, false}, {100, 100, 150, 400, false}};
    for (const auto& f : frames) {
        WindowPlacement placement;
        placement.left = f.left, placement.top = f.top, placement.right = f.right, placement.bottom = f.bottom;
        QCOMPARE(usableFrame(placement, {QRect(0, 0, 1920, 1080)}).has_value(), f.kept);
    }
    {
        Program p;
        const std::pair<const char*, int> entries[] = {
            {"wplength", 44}, {"wpshowCmd", 1}, {"wpNormalPositionLeft", 5}, {"wpNormalPositionTop", 6},
            {"wpNormalPositionRight", 405}, {"wpNormalPositionBottom", 306}};
        for (const auto& [entry, value] : entries)
            p.profile->writeInt(kChildPlacementSection, entry, value);
        CChildFrame* child = p.start().childFrames().front();
        QCOMPARE(child->geometry(), QRect(5, 6, 400, 300));
        child->setGeometry(15, 16, 420, 310);
        QVERIFY(p.quit());
        const auto stored = readPlacement(*p.profile, kChildPlacementSection);
        QCOMPARE(std::pair(stored->normalRect(), stored->showCmd), std::pair(QRect(15, 16, 420, 310), kShowNormal));
    }
    Program p;
    QFile ini(p.folder.filePath("orvex.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[T]\nbig=99999999999\nsmall=-99999999999\nword=abc\nlist=a,b, c\n");
    ini.close();
    {
        QSettingsProfile read(p.folder.filePath("orvex.ini"));
        QCOMPARE(std::pair(read.readInt("T", "big", 7), read.readInt("T", "small", 7)), std::pair(INT_MAX, INT_MIN));
        QCOMPARE(read.readInt("T", "word", 7), 7);
        QCOMPARE(read.readString("T", "list", ""), std::string("a,b,c"));
    }
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[WINDOWPLACEMENT]\nwplength=44\nwpshowCmd=banana\nwpNormalPositionLeft=-2147483648\n"
              "wpNormalPositionTop=99999999999\nwpNormalPositionRight=2147483647\nwpNormalPositionBottom=x\n"
              "[CHILDWINDOWPLACEMENT]\nwplength=44\nwpshowCmd=1\nwpNormalPositionLeft=30000\n"
              "wpNormalPositionTop=30000\nwpNormalPositionRight=30400\nwpNormalPositionBottom=30300\n"
              "[DISPLAY]\nfactor=abc\nfont=\nonlinevalue=25\nback=zzz\n");
    ini.close();
    p.profile = std::make_unique<QSettingsProfile>(p.folder.filePath("orvex.ini"));
    CMainFrame& frame = p.start();
    bool onScreen = false;
    for (const QRect& area : screenAreas())
        onScreen |= area.intersects(frame.geometry());
    QVERIFY(onScreen);
    QVERIFY(frame.mdiArea()->viewport()->rect().intersects(frame.childFrames().front()->geometry()));
    QVERIFY(p.view()->plan().geo.scale > 0);
    QVERIFY(p.quit());
}

// After a run the dock shows the core's tables of the document as they
// stand, with the fire columns after a fire run.
void AppTest::dockShowsTheTablesAfterARun()
{
    for (const char* sample : {"mine", "minefire"}) {
        ResultsWindow w(sample);
        w.doc().pauseFlag = 0;
        QVERIFY(!w.frame->resultsShown());
        w.run();
        QVERIFY(w.frame->resultsShown());
        for (const ResultsTab tab : {ResultsTab::Roads, ResultsTab::Nodes, ResultsTab::Fans}) {
            const ResultsTable expected =
                resultsTable(tab, w.doc(), [](const std::string& text) { return displayText(text).toStdString(); });
            const QAbstractItemModel& shown = w.panel().model(tab);
            QCOMPARE(shown.rowCount(), int(expected.rows.size()));
            QCOMPARE(shown.columnCount(), int(expected.columns.size()));
            for (int r = 0; r < shown.rowCount(); ++r)
                for (int c = 0; c < shown.columnCount(); ++c)
                    QCOMPARE(shown.index(r, c).data().toString().toStdString(),
                             expected.rows[std::size_t(r)][std::size_t(c)].text);
        }
    }
}

void AppTest::copyAndExport()
{
    ResultsWindow w("mine");
    w.run();
    ResultsPanel& panel = w.panel();
    QStringList errors;
    panel.setErrorSink([&](const QString& text) { errors << text; });
    // Copy: the header and the selection, else every row.
    panel.setCurrentTab(ResultsPanel::Tab::Nodes);
    QCOMPARE(panel.copyText().count('\n'), w.doc().nodeCount + 1);
    panel.view(ResultsPanel::Tab::Nodes)->selectRow(2);
    const QStringList lines = panel.copyText().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].section('\t', 0, 0), QString::number(w.doc().nodes[3].number));

    // Export: the shown table written whole; a later failure leaves it.
    panel.setCurrentTab(ResultsPanel::Tab::Roads);
    QTemporaryDir out;
    const QString path = out.path() + "/roads.csv";
    panel.setExportPathChooser([&] { return path; });
    QVERIFY(panel.exportCsv());
    const QByteArray written = contents(path);
    QCOMPARE(QString::fromUtf8(written), panel.csvText());
    QCOMPARE(written.count('\n'), w.doc().totalRoads() + 1);
    for (const QString& refused : {out.path(), out.path() + "/missing/roads.csv", QString()}) {
        panel.setExportPathChooser([&] { return refused; });
        QVERIFY(!panel.exportCsv());
    }
    QCOMPARE(errors.size(), 2);  // the cancelled choice says nothing
    QVERIFY(errors[0].contains(out.path()));
    QVERIFY(!QFile::exists(out.path() + "/missing"));
    QCOMPARE(contents(path), written);
}

void AppTest::chosenRowMarksThePlan()
{
    ResultsWindow w("mine");
    w.run();
    CBriscoView& view = w.view();
    const QRgb strong = toQColor(view.plan().settings.colours.strong).rgb();
    QCOMPARE(pixelsOf(view.backingImage(), strong), 0);

    // A row of the sorted table marks the road it shows, not the road of
    // its row number.
    ResultsPanel& panel = w.panel();
    QTableView* table = panel.view(ResultsPanel::Tab::Roads);
    const int flow = panel.model(ResultsTab::Roads).section(RoadColumn::Airflow);
    table->sortByColumn(flow, Qt::AscendingOrder);
    for (int r = 1; r < table->model()->rowCount(); ++r)  // by value, not by text
        QVERIFY(cellValue(*table->model(), r - 1, flow) <= cellValue(*table->model(), r, flow));
    int row = 0;
    while (int(cellValue(*table->model(), row, 0)) == row + 1)
        ++row;
    table->selectRow(row);
    QCOMPARE(view.markKind(), CBriscoView::MarkKind::Road);
    QCOMPARE(view.markedElement(), int(cellValue(*table->model(), row, 0)));
    const int marked = pixelsOf(view.backingImage(), strong);
    QVERIFY(marked > 30);
    view.updateScreen();  // it stays through a full redraw
    QCOMPARE(pixelsOf(view.backingImage(), strong), marked);

    panel.setCurrentTab(ResultsPanel::Tab::Nodes);
    panel.view(ResultsPanel::Tab::Nodes)->selectRow(0);
    QCOMPARE(std::pair(view.markKind(), view.markedElement()), std::pair(CBriscoView::MarkKind::Node, 1));
    // Hiding the dock takes the mark away.
    w.frame->showResults(false);
    QCOMPARE(view.markKind(), CBriscoView::MarkKind::None);
    QCOMPARE(pixelsOf(view.backingImage(), strong), 0);
}

// Find with a node number brings the node to the middle of the window and
// chooses its row; a click on a road's bending point chooses the road's.
void AppTest::findAndClickChooseTheRow()
{
    ResultsWindow w("mine");
    w.run();
    CBriscoView& view = w.view();
    for (int i = 0; i < 3; ++i)
        view.zoomIn();
    const auto clientOf = [&](float x, float y) {
        const ViewGeometry& g = view.plan().geo;
        const DevicePoint p = g.worldToDevice(x, y);
        return QPoint(int(p.x) - g.scrollX, int(p.y) - g.scrollY);
    };
    const auto chosenRow = [&](ResultsTab tab) {
        const QModelIndex current = w.panel().view(tab)->currentIndex();
        return w.panel().currentTab() == tab ? int(cellValue(*w.panel().shownModel(tab), current.row(), 0)) : -1;
    };

    onModal([](QDialog& dialog) { typeAndEnter(dialog, "212"); });
    view.find();
    const CBriscoDoc& doc = w.doc();
    const Node& node = doc.nodes[std::size_t(doc.nodeIndex(212))];
    QVERIFY((clientOf(node.x, node.y) - view.viewport()->rect().center()).manhattanLength() <= 2);
    QCOMPARE(std::pair(view.markKind(), view.markedElement()),
             std::pair(CBriscoView::MarkKind::Node, doc.nodeIndex(212)));
    QCOMPARE(chosenRow(ResultsTab::Nodes), 212);

    const int road = doc.findRoad(202, 212);
    const BendSlot& bend = doc.bends[std::size_t(doc.roads[std::size_t(road)].bendStart + 1)];
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, clientOf(bend.x, bend.y));
    QCOMPARE(std::pair(view.markKind(), view.markedElement()), std::pair(CBriscoView::MarkKind::Road, road));
    QCOMPARE(chosenRow(ResultsTab::Roads), road);
}

// Edits after a run: the rows are those of the network as it stands, and
// the dock's title says that it is not the network of the run, until it is
// that again or the next run.
void AppTest::rowsFollowTheNetwork()
{
    ResultsWindow w("mine");
    w.run();
    ResultsDock& dock = *w.frame->resultsDock();
    const ResultsTableModel& fans = w.panel().model(ResultsTab::Fans);
    QUndoStack& history = w.frame->document().undoStack();
    const QString changed = "Results (the network has changed since this run)";
    const auto shown = [&] { return std::pair(dock.windowTitle(), fans.rowCount()); };
    QCOMPARE(shown(), std::pair(QString("Results"), 2));
    w.panel().view(ResultsPanel::Tab::Fans)->selectRow(1);
    QCOMPARE(std::pair(w.view().markKind(), w.view().markedElement()), std::pair(CBriscoView::MarkKind::Fan, 2));

    w.view().editor().operations().deleteFan(1);
    QCOMPARE(shown(), std::pair(changed, 1));
    QCOMPARE(w.view().markKind(), CBriscoView::MarkKind::None);
    history.undo();
    QCOMPARE(shown(), std::pair(QString("Results"), 2));
    history.redo();
    w.run();
    QCOMPARE(shown(), std::pair(QString("Results"), 1));
}

// The close question: the system's Chinese text with its English meaning
// beside it, each drawn in a font that has every one of its characters.
void AppTest::closeQuestionIsReadable()
{
    QtReporter reporter;
    int checked = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY2(box, "no message box is open");
        QCOMPARE(box->text(), QString::fromStdString(kSaveQuestion));
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            if (label->text().isEmpty() ||
                (label->text() != box->text() && label->text() != box->informativeText()))
                continue;
            const QString missing = missingGlyphs(label->text(), label->font());
            QVERIFY2(missing.isEmpty(), qPrintable(QString("no glyph for \"%1\" of \"%2\" (font %3): install a "
                                                           "font with Chinese glyphs")
                                                       .arg(missing, label->text(), label->font().family())));
            ++checked;
        }
        box->reject();
    });
    reporter.ask(kSaveQuestion, kViewCaption, true);
    QCOMPARE(checked, 2);  // the question and its meaning
}

QTEST_MAIN(AppTest)
// Each import opens a window of its own, an update is one undo step, an
// export writes the active network.
void AppTest::importsAndExports()
{
    Program p;
    CMainFrame& frame = p.start();
    p.open(p.sample("mine"));
    const QString tables = p.folder.filePath("tables");
    p.files.saves.push_back(tables.toStdString());
    frame.action("exporttables")->trigger();
    QVERIFY(QFile::exists(tables + "/roads.csv"));
    p.files.opens.push_back(tables.toStdString());
    frame.action("importtables")->trigger();
    QCOMPARE(frame.childFrames().size(), 2);
    QCOMPARE(frame.activeChild()->document().doc().roadCount, 64);
    QVERIFY(frame.activeChild()->isWindowModified());

    std::vector<std::string> offered;
    frame.setDxfOptionsChooser([&offered](const std::vector<std::string>& layers) {
        offered = layers;
        return std::optional<exchange::DxfImportOptions>();
    });
    const std::string drawing = (sourceDir() + "/data/mineplan.dxf").toStdString();
    p.files.opens.push_back(drawing);
    frame.action("importdxf")->trigger();
    QCOMPARE(frame.childFrames().size(), 2);  // cancelled: no window
    QVERIFY(!offered.empty());
    frame.setDxfOptionsChooser([](const std::vector<std::string>&) { return exchange::DxfImportOptions{}; });
    p.files.opens.push_back(drawing);
    frame.action("importdxf")->trigger();
    QCOMPARE(frame.childFrames().size(), 3);
    QVERIFY(frame.activeChild()->document().doc().roadCount > 0);
    QVERIFY(frame.action("exporttables")->isEnabled());  // the window's own network

    QFile roads(tables + "/roads.csv");
    QVERIFY(roads.open(QIODevice::WriteOnly));
    roads.write("from,to,resistance [Ns2/m8]\n1,2,0.5\n");
    roads.close();
    for (const char* name : {"/nodes.csv", "/fans.csv", "/bends.csv", "/network.csv"})
        QFile::remove(tables + name);
    p.files.opens.push_back(tables.toStdString());
    const int steps = frame.activeChild()->document().undoStack().count();
    frame.action("updatetables")->trigger();
    QVERIFY2(frame.activeChild()->document().undoStack().count() == steps + 1, p.reporter.messages.back().c_str());
    QVERIFY(!frame.action("exportinp")->isEnabled());
    p.reporter.answers = {Answer::No, Answer::No};  // the imports are on no disk: not saved
    QVERIFY(p.quit());
}

#include "app_test.moc"
