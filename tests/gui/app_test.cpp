// The program as a whole: start-up from the command line and the profile,
// the main window's commands reaching the view, network windows opened,
// dropped and closed, the status panes, and placements that garbage in the
// profile must not spoil.
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QToolBar>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>
#include <memory>

#include "app/briscoapp.h"
#include "app/childframe.h"
#include "app/mainframe.h"
#include "app/placement.h"
#include "app/qsettingsprofile.h"
#include "app/statuspanes.h"
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
    // Opens a network through the main window's Open.
    void open(const QString& path)
    {
        files.opens.push_back(path.toStdString());
        app->mainFrame()->action("open")->trigger();
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
    void startWithoutAndWithRecentFile();
    void commandLine();
    void helpAndVersionWithoutADisplay();
    void installationFolders();
    void commandsReachTheView();
    void statusPanes();
    void openDropAndRecentFiles();
    void quitAsksEachWindow();
    void placements();
};

void AppTest::startWithoutAndWithRecentFile()
{
    {
        Program p;
        CMainFrame& frame = p.start();
        QCOMPARE(frame.childFrames().size(), 1);
        QVERIFY(!p.view()->networkLoaded());
        QVERIFY(p.reporter.messages.empty());
        QCOMPARE(p.profile->readString(kDirectorySection, kInstallEntry, ""), sourceDir().toStdString());
        QCOMPARE(p.app->context().dataFolder, (sourceDir() + "/data").toStdString());
        QVERIFY(!frame.action("info")->isEnabled());
        frame.action("new")->trigger();  // a new window gets the next name
        QCOMPARE(frame.activeChild()->windowTitle(), QString("Network2[*]"));
        for (QToolBar* bar : frame.findChildren<QToolBar*>())  // every button has its picture
            for (QAction* a : bar->actions())
                QVERIFY2(a->isSeparator() || !a->icon().isNull(), qPrintable(a->objectName()));
        QVERIFY(p.quit());
    }
    Program p;
    const QString net = p.sample("mine");
    p.profile->writeString(kRecentFileSection, kRecentFileEntry, net.toStdString());
    CMainFrame& frame = p.start();
    QCOMPARE(frame.childFrames().size(), 1);
    QVERIFY(p.view()->networkLoaded());
    QVERIFY(frame.action("info")->isEnabled());
    QVERIFY(frame.recentFiles().contains(net));
    QVERIFY(p.quit());
    // the window wrote its parameters and stays the last network; the main window its placement
    QVERIFY(QFile::exists(p.folder.filePath("mine.sdt")));
    QCOMPARE(p.profile->readString(kRecentFileSection, kRecentFileEntry, ""), net.toStdString());
    QVERIFY(readPlacement(*p.profile, kWindowPlacementSection).has_value());
}

void AppTest::commandLine()
{
    {  // a name in double quotes is opened without them, over the recent file
        Program p;
        const QString net = p.sample("water");
        p.profile->writeString(kRecentFileSection, kRecentFileEntry, p.sample("mine").toStdString());
        p.start({"\"" + net + "\""});
        QVERIFY(p.view()->document().doc().isWater());
        QVERIFY(p.quit());
    }
    // a file that is not there: a message, no window made for it, Open still works
    Program p;
    CMainFrame& frame = p.start({p.folder.filePath("nothing.vad")});
    QCOMPARE(p.reporter.messages.size(), size_t(1));
    QVERIFY(p.reporter.contains("nothing.vad"));
    QCOMPARE(frame.childFrames().size(), 0);
    p.open(p.sample("mine"));
    QVERIFY(p.view()->networkLoaded());
    QVERIFY(p.quit());
}

// --help and --version on the terminal, an unknown option refused, all
// before the program needs a display.
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
        QCOMPARE(std::pair(program.exitStatus(), program.exitCode()), std::pair(QProcess::NormalExit, c.status));
        QVERIFY2(c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out), qPrintable(out));
        QVERIFY2(c.err.isEmpty() ? err.isEmpty() : err.startsWith(c.err), qPrintable(err));
    }
}

void AppTest::installationFolders()
{
    {  // /dde: the program folder from the profile, its trailing "/" gone, nothing written back
        Program p;
        p.profile->writeString(kDirectorySection, kInstallEntry, (sourceDir() + "/").toStdString());
        p.start({"/dde"}, p.folder.path());
        QCOMPARE(p.app->context().programFolder, sourceDir().toStdString());
        QVERIFY(p.reporter.messages.empty());
        QCOMPARE(p.profile->readString(kDirectorySection, kInstallEntry, ""), (sourceDir() + "/").toStdString());
        QVERIFY(p.quit());
    }
    // A damaged default network and no default parameter file: messages,
    // and a window whose commands still run.
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
    QVERIFY(!p.view()->networkLoaded());
    for (const char* name : {"zoomin", "fit", "rightturn", "new"})
        frame.action(name)->trigger();
    p.open(p.sample("mine"));
    QVERIFY(p.view()->networkLoaded());
    p.reporter.answers = {Answer::No, Answer::No};
    QVERIFY(p.quit());
}

// The menu commands reach the active view and its history, and the menus
// follow its state.
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
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(document.doc().nodes[1].elevation, elevation + 10);

    frame.action("makenode")->trigger();
    QVERIFY(p.view()->editCommandChecked(command::kMakeNode) && frame.action("makenode")->isChecked());
    const QString windowTip = frame.action("zoomin")->toolTip();
    frame.action("print")->trigger();
    QVERIFY(p.view()->pagePreview());
    QVERIFY(frame.action("print")->isChecked() && frame.action("startprinting")->isEnabled());
    QVERIFY(!frame.action("save")->isEnabled() && !frame.action("makenode")->isEnabled());
    QVERIFY(frame.action("zoomin")->toolTip() != windowTip);
    p.view()->togglePrint();  // the check mark follows the view, whatever left the preview
    QVERIFY(!frame.action("print")->isChecked() && frame.action("save")->isEnabled());

    // With the last window closed, Open is the main frame's again.
    const QString inWindow = frame.action("open")->text();
    document.doc().modified = false;
    frame.activeChild()->close();
    QApplication::processEvents();
    QCOMPARE(frame.childFrames().size(), 0);
    QVERIFY(frame.action("open")->text() != inWindow && !frame.action("save")->isEnabled());
    QVERIFY(p.quit());
}

void AppTest::statusPanes()
{
    std::tm t{};
    t.tm_year = 2026 - 1900, t.tm_mon = 11, t.tm_mday = 7, t.tm_wday = 1, t.tm_min = 5, t.tm_sec = 9;
    const std::pair<int, const char*> times[] = {
        {13, "PM 1:05:09 "}, {9, "AM 9:05:09  "}, {0, "AM 12:05:09  "}, {12, "PM 12:05:09 "}};
    for (const auto& [hour, text] : times) {
        t.tm_hour = hour;
        QCOMPARE(timeText(t), std::string(text));
    }
    QCOMPARE(dateText(t), std::string("Mon,2026/12/7"));
    Program p;
    CMainFrame& frame = p.start();
    frame.statusPanes().showClock(t);
    QCOMPARE(std::pair(frame.statusPanes().dateShown(), frame.statusPanes().timeShown()),
             std::pair(QString("Mon,2026/12/7"), QString("PM 12:05:09 ")));
    QVERIFY(p.quit());

    // lock lights as the system shows them
    QTemporaryDir leds;
    for (const auto& [name, value] : {std::pair{"input3::capslock", "1"}, {"input3::numlock", "0"},
                                      {"input3::scrolllock", "garbage"}}) {
        QDir(leds.path()).mkdir(name);
        QFile f(leds.path() + "/" + name + "/brightness");
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(value) > 0);
    }
    const LockStates s = readLockStates(leds.path().toStdString());
    QVERIFY(s.caps && !s.num && !s.scroll && !s.kana);
}

void AppTest::openDropAndRecentFiles()
{
    Program p;
    const QString gone = p.folder.filePath("gone.vad");
    p.profile->writeString("Recent File List", "File1", gone.toStdString());
    CMainFrame& frame = p.start();
    const QString mine = p.sample("mine"), water = p.sample("water");
    p.open(mine);  // into the first window, which shows no network
    QCOMPARE(frame.childFrames().size(), 1);
    p.open(water);  // a new window, posted to the main frame
    QTRY_COMPARE(frame.childFrames().size(), 2);

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
    QCOMPARE(frame.recentFiles(), QStringList({mine, water, gone}));

    // A recent network that no longer opens: its window goes, and so does its entry.
    QAction* entry = nullptr;
    for (QAction* a : frame.menuBar()->actions().front()->menu()->actions())
        if (a->data().toString() == gone)
            entry = a;
    QVERIFY(entry && entry->text().startsWith("&3 "));
    entry->trigger();
    QVERIFY(p.reporter.contains("gone.vad:read ?"));
    QCOMPARE(frame.childFrames().size(), 3);
    QCOMPARE(frame.recentFiles(), QStringList({mine, water}));
    QCOMPARE(p.profile->readString("Recent File List", "File3", "(none)"), std::string("(none)"));
    int shown = 0;  // the File menu's entries of recent networks
    for (QAction* a : frame.menuBar()->actions().front()->menu()->actions())
        shown += a->isVisible() && !a->isSeparator() && a->objectName().isEmpty();
    QCOMPARE(shown, 2);
    QVERIFY(p.quit());
}

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
        QVERIFY(child->windowTitle().endsWith("[*]") && child->isWindowModified());
    }
    // The active window (water) is asked first: No; then mine: Cancel.
    p.reporter.answers = {Answer::No, Answer::Cancel};
    QVERIFY(!p.quit());
    QCOMPARE(p.reporter.questions.size(), size_t(2));
    QCOMPARE(frame.childFrames().size(), 1);
    QVERIFY(!p.view()->document().doc().isWater());
    p.reporter.answers = {Answer::No};
    QVERIFY(p.quit());
    QCOMPARE(frame.childFrames().size(), 0);
}

void AppTest::placements()
{
    MemoryProfile sparse;  // only wplength stored: the other entries take the old defaults
    sparse.writeInt(kChildPlacementSection, "wplength", 44);
    const auto defaults = readPlacement(sparse, kChildPlacementSection);
    QCOMPARE(std::pair(defaults->showCmd, defaults->left), std::pair(59052, -7890));
    QVERIFY(!usableFrame(*defaults, {QRect(0, 0, 1920, 1080)}));
    // A frame is kept only where its title bar can be reached.
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
    {  // a network window stored normal comes back where it was, and is stored where it went
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
    // Garbage in the profile: numbers read as far as they go, texts with
    // commas whole; the windows stay on the screen and the view paints.
    Program p;
    QFile ini(p.folder.filePath("orvex.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[T]\nbig=99999999999\nsmall=-99999999999\nword=abc\nlist=a,b, c\n");
    ini.close();
    {
        QSettingsProfile read(p.folder.filePath("orvex.ini"));
        QCOMPARE(read.readInt("T", "big", 7), INT_MAX);
        QCOMPARE(read.readInt("T", "small", 7), INT_MIN);
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

QTEST_MAIN(AppTest)
#include "app_test.moc"
