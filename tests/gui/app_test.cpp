// The program as a whole: start-up from the command line and the profile,
// the main window's menus and panes, network windows opened, dropped and
// closed, and placements that garbage in the profile must not spoil.
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QToolBar>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <memory>

#include "app/briscoapp.h"
#include "app/childframe.h"
#include "app/mainframe.h"
#include "app/placement.h"
#include "app/qsettingsprofile.h"
#include "app/statuspanes.h"
#include "model/networkio.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// A started program with its own profile file and scripted person.
struct Program {
    QTemporaryDir folder;
    std::unique_ptr<QSettingsProfile> profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    std::unique_ptr<CBriscoApp> app;

    Program() { profile = std::make_unique<QSettingsProfile>(folder.filePath("orvex.ini")); }
    ~Program() { app.reset(); }

    QString sample(const QString& name)
    {
        copySample(name, folder.path());
        return folder.path() + "/" + name + ".vad";
    }
    CMainFrame& start(const QStringList& arguments = {}, const QString& current = sourceDir())
    {
        app = std::make_unique<CBriscoApp>(*profile, reporter, files);
        StartOptions options;
        options.arguments = arguments;
        options.currentFolder = current.toStdString();
        options.executablePath = "/nonexistent/bin/orvex";
        options.splash = false;
        app->initInstance(options);
        return *app->mainFrame();
    }
    // Closes the main window as the person would; true when it closed.
    bool quit()
    {
        CMainFrame* frame = app->mainFrame();
        frame->close();
        return !frame->isVisible();
    }
    CBriscoView* view() { return app->mainFrame()->activeView(); }
};

}  // namespace

class AppTest : public QObject {
    Q_OBJECT

private slots:
    void startWithoutRecentFile();
    void startWithRecentFile();
    void commandLine();
    void helpAndVersionWithoutADisplay();
    void ddeTakesProgramFolderFromProfile();
    void missingUnitsFile();
    void damagedInstallationFiles();
    void menusAndPanes();
    void clockPanes();
    void undoAndRedoKeys();
    void openFromMainFrameAndDrop();
    void failedOpenLeavesNoWindow();
    void quitAsksEachWindow();
    void failedSaveAsAndRecentFiles();
    void placementsRoundTrip();
    void garbagePlacementStaysOnScreen();
};

void AppTest::startWithoutRecentFile()
{
    Program p;
    CMainFrame& frame = p.start();
    QCOMPARE(frame.childFrames().size(), 1);
    QVERIFY(p.view());
    QVERIFY(!p.view()->networkLoaded());
    QVERIFY(p.reporter.messages.empty());
    QCOMPARE(p.profile->readString(kDirectorySection, kInstallEntry, ""), sourceDir().toStdString());
    QCOMPARE(p.app->context().dataFolder, (sourceDir() + "/data").toStdString());
    QCOMPARE(frame.childFrames().front()->windowTitle(), QString("Network1[*]"));
    QVERIFY(!frame.action("info")->isEnabled());
    // a new window gets the next name
    frame.action("new")->trigger();
    QCOMPARE(frame.childFrames().size(), 2);
    QCOMPARE(frame.activeChild()->windowTitle(), QString("Network2[*]"));
    QVERIFY(p.quit());
}

void AppTest::startWithRecentFile()
{
    Program p;
    const QString net = p.sample("mine");
    p.profile->writeString(kRecentFileSection, kRecentFileEntry, net.toStdString());
    CMainFrame& frame = p.start();
    QCOMPARE(frame.childFrames().size(), 1);
    QVERIFY(p.view()->networkLoaded());
    QVERIFY(!p.app->context().pending);
    QVERIFY(frame.action("info")->isEnabled());
    QCOMPARE(frame.action("open")->text(), QString("Open(&O)\tCtrl+O"));
    QVERIFY(frame.recentFiles().contains(net));
    QVERIFY(p.quit());
    // the window wrote its parameters and stays the last network
    QVERIFY(QFile::exists(p.folder.filePath("mine.sdt")));
    QCOMPARE(p.profile->readString(kRecentFileSection, kRecentFileEntry, ""), net.toStdString());
    // and the main window its placement
    QVERIFY(readPlacement(*p.profile, kWindowPlacementSection).has_value());
}

void AppTest::commandLine()
{
    {  // a name in double quotes is opened without them, over the recent file
        Program p;
        const QString net = p.sample("water");
        p.profile->writeString(kRecentFileSection, kRecentFileEntry, p.sample("mine").toStdString());
        CMainFrame& frame = p.start({"\"" + net + "\""});
        QCOMPARE(frame.childFrames().size(), 1);
        QVERIFY(p.view()->networkLoaded());
        QCOMPARE(p.view()->document().doc().baseName, baseNameOf(net.toStdString()));
        QVERIFY(p.view()->document().doc().isWater());
        QVERIFY(p.quit());
    }
    {  // a file that is not there: a message, no window made for it, Open still works
        Program p;
        CMainFrame& frame = p.start({p.folder.filePath("nothing.vad")});
        QCOMPARE(p.reporter.messages.size(), size_t(1));
        QVERIFY(p.reporter.said("nothing.vad"));
        QCOMPARE(frame.childFrames().size(), 0);
        p.files.opens.push_back(p.sample("mine").toStdString());
        frame.action("open")->trigger();
        QVERIFY(p.view()->networkLoaded());
        QCOMPARE(frame.childFrames().size(), 1);
        QVERIFY(p.quit());
    }
    QCOMPARE(unquotedName("\"a b.vad\""), std::string("a b.vad"));
    QCOMPARE(unquotedName("x \"a b.vad\" y"), std::string("a b.vad"));
    QCOMPARE(unquotedName("plain.vad"), std::string("plain.vad"));
    QCOMPARE(unquotedName("\"open.vad"), std::string("open.vad"));
}

// The program answers --help and --version on the terminal and refuses an
// option it does not know, all before it needs a display.
void AppTest::helpAndVersionWithoutADisplay()
{
    const struct {
        QString word;
        int status;
        QString out, err;
    } cases[] = {
        {"--help", 0, "Usage: orvex [--no-splash] [NETWORK.vad]\n", ""},
        {"--version", 0, "orvex ", ""},
        {"--bogus", 2, "", "orvex: unknown option --bogus\n\nUsage: orvex"},
    };
    for (const auto& c : cases) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        program.setProcessEnvironment(environment);
        program.start(ORVEX_PROGRAM, {c.word});
        QVERIFY(program.waitForFinished(30000));
        const QString out = program.readAllStandardOutput(), err = program.readAllStandardError();
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), c.status);
        QVERIFY2(c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out), qPrintable(out));
        QVERIFY2(c.err.isEmpty() ? err.isEmpty() : err.startsWith(c.err), qPrintable(err));
    }
}

void AppTest::ddeTakesProgramFolderFromProfile()
{
    Program p;
    p.profile->writeString(kDirectorySection, kInstallEntry, (sourceDir() + "/").toStdString());
    p.start({"/dde"}, p.folder.path());
    // the trailing "/" goes, the units were found there, nothing was written back
    QCOMPARE(p.app->context().programFolder, sourceDir().toStdString());
    QVERIFY(p.reporter.messages.empty());
    QCOMPARE(p.profile->readString(kDirectorySection, kInstallEntry, ""), (sourceDir() + "/").toStdString());
    QVERIFY(p.quit());
}

void AppTest::missingUnitsFile()
{
    Program p;
    CMainFrame& frame = p.start({}, p.folder.path());  // no sdt/ anywhere
    QVERIFY(p.reporter.said("sdt/units.sdt"));
    QCOMPARE(p.app->context().units.flowUnitFactor, 0.0f);
    QCOMPARE(frame.childFrames().size(), 1);
    QVERIFY(frame.isVisible());
    QVERIFY(p.quit());
}

void AppTest::damagedInstallationFiles()
{
    // A program folder whose default network is damaged and whose default
    // parameter file is missing: messages, and a window that still works.
    Program p;
    const QString program = p.folder.filePath("install");
    QVERIFY(QDir().mkpath(program + "/sdt"));
    for (const char* file : {"units.sdt", "gslft.sdt", "gslgr.sdt"})
        QVERIFY(QFile::copy(sourceDir() + "/sdt/" + file, program + "/sdt/" + file));
    QFile network(program + "/sdt/ztkihon.sdt");
    QVERIFY(network.open(QIODevice::WriteOnly));
    network.write("heading\n 3\n  1 x\n");
    network.close();

    CMainFrame& frame = p.start({}, program);
    QCOMPARE(p.app->context().programFolder, program.toStdString());
    QVERIFY(p.reporter.said("ztkihon.sdt"));
    QCOMPARE(frame.childFrames().size(), 1);
    QVERIFY(!p.view()->networkLoaded());
    // the commands still run, and a network still opens
    p.view()->zoomIn();
    p.view()->fitToWindow();
    p.view()->rightTurn();
    frame.action("new")->trigger();
    QCOMPARE(frame.childFrames().size(), 2);
    p.files.opens.push_back(p.sample("mine").toStdString());
    frame.action("open")->trigger();
    QVERIFY(p.view()->networkLoaded());
    p.reporter.answers = {Answer::No, Answer::No};
    QVERIFY(p.quit());
}

void AppTest::menusAndPanes()
{
    Program p;
    CMainFrame& frame = p.start();
    QStringList menus;
    for (QAction* a : frame.menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, QStringList({"File(&F)", "Edit(&E)", "Display(&D)", "Analysis(&A)", "Window(&W)", "Help(&H)"}));
    QCOMPARE(frame.action("save")->text(), QString("Save(&w)\tCtrl+S"));
    QCOMPARE(frame.action("save")->shortcut(), QKeySequence("Ctrl+S"));
    QCOMPARE(frame.action("analysis")->text(), QString("Standard(&A)\tCtrl+K"));
    QCOMPARE(frame.action("update")->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(frame.action("displaysetting")->shortcut(), QKeySequence("Ctrl+G"));
    QCOMPARE(frame.messagePaneText(), QString("<  >"));
    QCOMPARE(frame.windowTitle().left(17), QString("ORVEX for Windows"));
    // every tool bar button has its picture
    for (QToolBar* bar : frame.findChildren<QToolBar*>())
        for (QAction* a : bar->actions())
            QVERIFY2(a->isSeparator() || !a->icon().isNull(), qPrintable(a->objectName()));
    // Zoom's tool tips say what it does on the window and in page preview.
    QCOMPARE(frame.action("zoomin")->toolTip(), QString("Zoom in: twice the scale"));
    p.view()->togglePrint();
    QVERIFY(frame.action("zoomin")->toolTip().contains("the plan on the page a ninth larger"));
    QVERIFY(frame.action("zoomout")->toolTip().contains("the plan on the page a tenth smaller"));
    p.view()->togglePrint();

    // with the last window closed, Open is the main frame's again
    p.view()->document().doc().modified = false;
    frame.activeChild()->close();
    QApplication::processEvents();
    QCOMPARE(frame.childFrames().size(), 0);
    QCOMPARE(frame.action("open")->text(), QString("Open(&O)...\tCtrl+O"));
    QVERIFY(!frame.action("save")->isEnabled());
    QVERIFY(p.quit());
}

void AppTest::undoAndRedoKeys()
{
    Program p;
    CMainFrame& frame = p.start({p.sample("mine")});
    // Undo and redo from the keyboard: Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y.
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    NetworkDocument& document = p.view()->document();
    Node& node = document.doc().nodes[1];
    const float elevation = node.elevation;
    node.elevation += 10;
    document.networkChanged("Change node");
    QCOMPARE(frame.action("undo")->text(), QString("Undo Change node"));
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(document.doc().nodes[1].elevation, elevation);
    QVERIFY(!document.doc().modified);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(document.doc().nodes[1].elevation, elevation + 10);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(document.doc().nodes[1].elevation, elevation + 10);
    QVERIFY(document.doc().modified);

    // In page preview the file and display commands rest and the printing
    // ones are there; Print is checked.
    QVERIFY(!frame.action("startprinting")->isEnabled());
    frame.action("print")->trigger();
    QVERIFY(p.view()->pagePreview());
    QVERIFY(frame.action("print")->isChecked());
    for (const char* name : {"startprinting", "printersetup", "exportplan", "zoomin"})
        QVERIFY2(frame.action(name)->isEnabled(), name);
    for (const char* name : {"open", "save", "saveas", "analysis", "displaysetting", "fit", "update", "makenode"})
        QVERIFY2(!frame.action(name)->isEnabled(), name);
    frame.action("print")->trigger();
    QVERIFY(!frame.action("print")->isChecked());
    QVERIFY(frame.action("save")->isEnabled());
    document.doc().modified = false;
    QVERIFY(p.quit());
}

void AppTest::clockPanes()
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 7;
    t.tm_wday = 1;
    t.tm_hour = 13;
    t.tm_min = 5;
    t.tm_sec = 9;
    QCOMPARE(timeText(t), std::string("PM 1:05:09 "));
    t.tm_hour = 9;
    QCOMPARE(timeText(t), std::string("AM 9:05:09  "));
    t.tm_hour = 0;
    QCOMPARE(timeText(t), std::string("AM 12:05:09  "));
    t.tm_hour = 12;
    QCOMPARE(timeText(t), std::string("PM 12:05:09 "));
    QCOMPARE(dateText(t), std::string("Mon,2026/12/7"));

    Program p;
    CMainFrame& frame = p.start();
    frame.showClock(t);
    QCOMPARE(frame.timePaneText(), QString("PM 12:05:09 "));
    QCOMPARE(frame.datePaneText(), QString("Mon,2026/12/7"));
    QVERIFY(p.quit());

    // lock lights as the system shows them
    QTemporaryDir leds;
    for (const auto& [name, value] : {std::pair{"input3::capslock", "1"}, {"input3::numlock", "0"},
                                      {"input3::scrolllock", "garbage"}}) {
        QDir(leds.path()).mkdir(name);
        QFile f(leds.path() + "/" + name + "/brightness");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(value);
    }
    const LockStates s = readLockStates(leds.path().toStdString());
    QVERIFY(s.caps && !s.num && !s.scroll && !s.kana);
    const LockStates none = readLockStates("/nonexistent");
    QVERIFY(!none.caps && !none.num);
}

void AppTest::openFromMainFrameAndDrop()
{
    Program p;
    CMainFrame& frame = p.start();
    const QString mine = p.sample("mine"), water = p.sample("water");
    // The first window shows no network: Open reads into it.
    p.files.opens.push_back(mine.toStdString());
    frame.action("open")->trigger();
    QCOMPARE(frame.childFrames().size(), 1);
    QVERIFY(p.view()->networkLoaded());
    // A second open goes to a new window, posted to the main frame.
    p.files.opens.push_back(water.toStdString());
    frame.action("open")->trigger();
    QTRY_COMPARE(frame.childFrames().size(), 2);
    QVERIFY(p.view()->document().doc().isWater());

    // A dropped network opens in a window of its own; other files are refused.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(mine), QUrl::fromLocalFile(p.folder.filePath("notes.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    QCOMPARE(frame.childFrames().size(), 3);
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(p.folder.filePath("notes.txt"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&frame, &refused);
    QVERIFY(!refused.isAccepted());

    // The recent networks, newest first, without repeats.
    QCOMPARE(frame.recentFiles(), QStringList({mine, water}));
    QVERIFY(p.quit());
}

void AppTest::failedOpenLeavesNoWindow()
{
    // Text where a number belongs: the network is refused, and the window
    // made for it goes; the window there before stays.
    Program p;
    CMainFrame& frame = p.start();
    QByteArray bad = contents(p.sample("mine"));
    bad.replace(bad.lastIndexOf("   15.0"), 7, "fifteen");
    QFile file(p.folder.filePath("bad.vad"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bad) == bad.size());
    file.close();
    QVERIFY(!frame.openDocumentFile(file.fileName().toStdString()));
    QCOMPARE(frame.childFrames().size(), 1);
    QCOMPARE(p.reporter.messages.size(), size_t(1));
    QVERIFY(p.reporter.said("bad.vad: line 100: "));
    QVERIFY(p.quit());
}

void AppTest::quitAsksEachWindow()
{
    Program p;
    CMainFrame& frame = p.start();
    p.files.opens.push_back(p.sample("mine").toStdString());
    frame.action("open")->trigger();
    p.files.opens.push_back(p.sample("water").toStdString());
    frame.action("open")->trigger();
    QTRY_COMPARE(frame.childFrames().size(), 2);
    for (CChildFrame* child : frame.childFrames()) {
        child->document().doc().modified = true;
        child->document().updateAllViews();
        QVERIFY(child->windowTitle().endsWith("[*]") && child->isWindowModified());
    }
    const QByteArray waterBefore = contents(p.folder.filePath("water.vad"));
    // The active window (water) is asked first: No; then mine: Cancel.
    p.reporter.answers = {Answer::No, Answer::Cancel};
    QVERIFY(!p.quit());
    QCOMPARE(p.reporter.questions.size(), size_t(2));
    QCOMPARE(frame.childFrames().size(), 1);
    QCOMPARE(p.view()->document().doc().baseName, baseNameOf(p.folder.filePath("mine.vad").toStdString()));
    QCOMPARE(contents(p.folder.filePath("water.vad")), waterBefore);
    QVERIFY(frame.isVisible());
    // Asked again: Yes saves under a new name and the program ends.
    p.reporter.answers = {Answer::Yes};
    p.files.saves.push_back(p.folder.filePath("kept.vad").toStdString());
    QVERIFY(p.quit());
    QVERIFY(QFile::exists(p.folder.filePath("kept.vad")));
    QCOMPARE(frame.childFrames().size(), 0);
    // The save dialog of the question offered the network's own file.
    QCOMPARE(p.files.lastStartFolder, p.folder.filePath("mine.vad").toStdString());
}

void AppTest::failedSaveAsAndRecentFiles()
{
    Program p;
    const QString mine = p.sample("mine");
    const QString gone = p.folder.filePath("gone.vad");
    p.profile->writeString("Recent File List", "File1", gone.toStdString());
    CMainFrame& frame = p.start();
    p.files.opens.push_back(mine.toStdString());
    frame.action("open")->trigger();
    QVERIFY(p.view()->networkLoaded());
    QCOMPARE(frame.recentFiles(), QStringList({mine, gone}));
    CBriscoDoc& doc = p.view()->document().doc();
    const std::string base = doc.baseName;
    const std::string dataEntry = p.profile->readString(kDirectorySection, kDataEntry, "");
    const std::string dataFolder = p.app->context().dataFolder;

    // A Save As that cannot write leaves the window's name, the folders and
    // the recent files as they were.
    p.files.saves.push_back(p.folder.filePath("none/q.vad").toStdString());
    frame.action("saveas")->trigger();
    QVERIFY(p.reporter.said("none/q.vad  :write ?"));
    QCOMPARE(frame.recentFiles(), QStringList({mine, gone}));
    QCOMPARE(doc.baseName, base);
    QCOMPARE(p.profile->readString(kDirectorySection, kDataEntry, ""), dataEntry);
    QCOMPARE(p.app->context().dataFolder, dataFolder);

    // A recent network that no longer opens is taken off the list.
    QAction* entry = nullptr;
    for (QAction* a : frame.menuBar()->actions().front()->menu()->actions())
        if (a->data().toString() == gone)
            entry = a;
    QVERIFY(entry);
    entry->trigger();
    QVERIFY(p.reporter.said("gone.vad:read ?"));
    QCOMPARE(frame.recentFiles(), QStringList({mine}));
    QCOMPARE(p.profile->readString("Recent File List", "File2", "(none)"), std::string("(none)"));
    QVERIFY(p.quit());
}

void AppTest::placementsRoundTrip()
{
    MemoryProfile profile;
    QVERIFY(!readPlacement(profile, kWindowPlacementSection));
    WindowPlacement w;
    w.showCmd = kShowMaximised;
    w.left = 10, w.top = 20, w.right = 810, w.bottom = 620;
    writePlacement(profile, kWindowPlacementSection, w);
    const auto back = readPlacement(profile, kWindowPlacementSection);
    QVERIFY(back);
    QCOMPARE(back->showCmd, kShowMaximised);
    QCOMPARE(back->normalRect(), QRect(10, 20, 800, 600));
    QCOMPARE(profile.readInt(kWindowPlacementSection, "wplength", 0), kPlacementLength);
    // Only wplength stored: the other entries take the old defaults.
    MemoryProfile sparse;
    sparse.writeInt(kChildPlacementSection, "wplength", 44);
    const auto defaults = readPlacement(sparse, kChildPlacementSection);
    QCOMPARE(defaults->showCmd, 59052);
    QCOMPARE(defaults->left, -7890);
    QVERIFY(!usableFrame(*defaults, {QRect(0, 0, 1920, 1080)}));

    // A network window stored normal comes back where it was.
    Program p;
    p.profile->writeInt(kChildPlacementSection, "wplength", 44);
    p.profile->writeInt(kChildPlacementSection, "wpshowCmd", 1);
    p.profile->writeInt(kChildPlacementSection, "wpNormalPositionLeft", 5);
    p.profile->writeInt(kChildPlacementSection, "wpNormalPositionTop", 6);
    p.profile->writeInt(kChildPlacementSection, "wpNormalPositionRight", 405);
    p.profile->writeInt(kChildPlacementSection, "wpNormalPositionBottom", 306);
    CMainFrame& frame = p.start();
    CChildFrame* child = frame.childFrames().front();
    QVERIFY(!child->isMaximized());
    QCOMPARE(child->geometry(), QRect(5, 6, 400, 300));
    child->setGeometry(15, 16, 420, 310);
    QVERIFY(p.quit());
    const auto stored = readPlacement(*p.profile, kChildPlacementSection);
    QCOMPARE(stored->normalRect(), QRect(15, 16, 420, 310));
    QCOMPARE(stored->showCmd, kShowNormal);
}

void AppTest::garbagePlacementStaysOnScreen()
{
    Program p;
    QFile ini(p.folder.filePath("orvex.ini"));
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
    CChildFrame* child = frame.childFrames().front();
    QVERIFY(frame.mdiArea()->viewport()->rect().intersects(child->geometry()));
    // the view still paints: a scale of 0 is raised at the next paint
    QVERIFY(p.view()->plan().geo.scale > 0);
    QVERIFY(p.quit());
}

QTEST_MAIN(AppTest)
#include "app_test.moc"
