// The network view on its own: opening, saving and closing through its
// commands, the plan's geometry commands, the backing image, and the
// display settings kept in the profile.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <functional>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "display/displaysettings.h"
#include "model/networkio.h"
#include "model/units.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// One network window's worth of program around a view.
struct Window {
    AppContext app;
    MemoryProfile profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    int newWindows = 0;
    ViewServices services{app, profile, reporter, files, [this] { ++newWindows; }, {}};
    std::unique_ptr<NetworkDocument> document;
    std::unique_ptr<CBriscoView> view;
    QTemporaryDir folder;  // samples are copied here: a window writes beside its network

    Window()
    {
        app.programFolder = sourceDir().toStdString();
        readUnitsFile(app.programFolder, app.units, reporter);
    }
    ~Window() { close(); }

    // A view of size w × h whose first update opens `pending` (or nothing).
    CBriscoView& open(const QString& pending = {}, QSize size = {800, 600})
    {
        if (!pending.isEmpty()) {
            app.pendingFile = pending.toStdString();
            app.pending = true;
        }
        document = std::make_unique<NetworkDocument>(app, reporter);
        view = std::make_unique<CBriscoView>(*document, services);
        view->resize(size);
        view->show();
        view->initialUpdate();
        return *view;
    }
    // The path of a copy of the sample network `name`.
    QString sample(const QString& name)
    {
        copySample(name, folder.path());
        return folder.path() + "/" + name + ".vad";
    }
    void close()
    {
        view.reset();
        document.reset();
    }
    CBriscoDoc& doc() { return document->doc(); }
};

bool sameImage(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class ViewTest : public QObject {
    Q_OBJECT

private slots:
    void openedSampleSavesIdentically();
    void closeQuestionEachWay();
    void secondOpenGoesToNewWindow();
    void failedPendingOpenLeavesUsableWindow();
    void failedSaveKeepsGoodFiles();
    void geometryCommands();
    void arrowKeysAndWheel();
    void backingImageInvertsAndErases();
    void statusLineDuringRun();
    void displaySettingsThroughProfile();
    void displaySettingAndInfoDialogs();
};

void ViewTest::openedSampleSavesIdentically()
{
    QTemporaryDir dir;
    copySample("mine", dir.path());
    Window w;
    CBriscoView& view = w.open();
    QVERIFY(!view.networkLoaded());

    w.files.opens.push_back((dir.path() + "/mine.vad").toStdString());
    view.openFile();
    QVERIFY(view.networkLoaded());
    QCOMPARE(w.doc().baseName, (dir.path() + "/mine.").toStdString());
    QCOMPARE(w.profile.readString(kDirectorySection, kDataEntry, ""), dir.path().toStdString());
    QVERIFY(w.reporter.messages.empty());
    QVERIFY(view.plan().data.nodeCount > 10);

    // The plan is drawn: the fitted network covers more than the background.
    const QImage& image = view.backingImage();
    const QRgb back = image.pixel(0, 0);
    int drawn = 0;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            drawn += image.pixel(x, y) != back;
    QVERIFY2(drawn > 200, qPrintable(QString::number(drawn)));

    QVERIFY(view.save());
    QCOMPARE(w.files.saveCalls, 0);  // the network has its name
    for (const char* ext : {"vad", "jpd", "apd"})
        QCOMPARE(contents(dir.path() + "/mine." + ext), contents(sourceDir() + "/data/mine." + ext));
    QVERIFY(!w.doc().modified);
}

void ViewTest::closeQuestionEachWay()
{
    QTemporaryDir dir;
    copySample("mine", dir.path());
    const QString net = dir.path() + "/mine.vad";
    const QByteArray original = contents(net);

    {  // No: closes without writing the network; the parameter file is still written
        Window w;
        CBriscoView& view = w.open(net);
        QVERIFY(view.networkLoaded());
        w.doc().nodes[1].x += 10;
        w.doc().modified = true;
        QFile::remove(dir.path() + "/mine.sdt");
        w.reporter.answers = {Answer::No};
        QCOMPARE(view.queryClose(), Answer::No);
        QCOMPARE(w.reporter.questions.size(), size_t(1));
        QCOMPARE(w.reporter.questions[0].text, kSaveQuestion);
        QCOMPARE(w.reporter.questions[0].caption, kViewCaption);
        w.close();
        QCOMPARE(contents(net), original);
        QVERIFY(QFile::exists(dir.path() + "/mine.sdt"));
        QCOMPARE(w.profile.readString(kRecentFileSection, kRecentFileEntry, ""), net.toStdString());
    }
    {  // Yes, then the save dialog cancelled: the window stays
        Window w;
        CBriscoView& view = w.open(net);
        view.leftTurn();
        w.doc().modified = true;
        w.reporter.answers = {Answer::Yes};
        QCOMPARE(view.queryClose(), Answer::Cancel);
        QCOMPARE(w.files.saveCalls, 1);
        // Cancel: the window stays, and asks again
        w.reporter.answers = {Answer::Cancel};
        QCOMPARE(view.queryClose(), Answer::Cancel);
        // Yes with a new name writes the turned network there
        w.reporter.answers = {Answer::Yes};
        w.files.saves.push_back((dir.path() + "/turned.vad").toStdString());
        QCOMPARE(view.queryClose(), Answer::Yes);
        QVERIFY(QFile::exists(dir.path() + "/turned.vad"));
        QVERIFY(QFile::exists(dir.path() + "/turned.jpd"));
        QVERIFY(contents(dir.path() + "/turned.jpd") != contents(dir.path() + "/mine.jpd"));
    }
    {  // unmodified: no question
        Window w;
        CBriscoView& view = w.open(net);
        QCOMPARE(view.queryClose(), Answer::Yes);
        QVERIFY(w.reporter.questions.empty());
    }
}

void ViewTest::secondOpenGoesToNewWindow()
{
    QTemporaryDir dir;
    copySample("mine", dir.path());
    copySample("water", dir.path());
    Window w;
    CBriscoView& view = w.open(dir.path() + "/mine.vad");
    const int nodes = w.doc().nodeCount;
    w.files.opens.push_back((dir.path() + "/water.vad").toStdString());
    view.openFile();
    QCOMPARE(w.newWindows, 1);
    QVERIFY(w.app.pending);
    QCOMPARE(w.app.pendingFile, (dir.path() + "/water.vad").toStdString());
    QCOMPARE(w.doc().nodeCount, nodes);
    QCOMPARE(w.doc().baseName, (dir.path() + "/mine.").toStdString());

    // A cancelled dialog does nothing at all.
    view.openFile();
    QCOMPARE(w.newWindows, 1);
}

void ViewTest::failedPendingOpenLeavesUsableWindow()
{
    QTemporaryDir dir;
    copySample("mine", dir.path());
    QFile::remove(dir.path() + "/mine.jpd");  // node positions missing
    QFile damaged(dir.path() + "/broken.vad");
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a network\n");
    damaged.close();

    for (const QString& name : {dir.path() + "/mine.vad", dir.path() + "/absent.vad", dir.path() + "/broken.vad"}) {
        Window w;
        w.profile.writeString(kRecentFileSection, kRecentFileEntry, name.toStdString());
        CBriscoView& view = w.open(name);
        QVERIFY2(!w.reporter.messages.empty(), qPrintable(name));
        QVERIFY(!view.networkLoaded());
        QVERIFY(!w.app.pending);
        QVERIFY(w.doc().baseName.empty());
        QVERIFY(!w.profile.contains(kRecentFileSection, kRecentFileEntry));
        // still usable: the commands run, a new network opens into the window
        view.zoomIn();
        view.fitToWindow();
        view.rightTurn();
        w.files.opens.push_back(w.sample("water").toStdString());
        view.openFile();
        QVERIFY(view.networkLoaded());
        QCOMPARE(w.newWindows, 0);
        w.doc().modified = false;
    }
}

void ViewTest::failedSaveKeepsGoodFiles()
{
    QTemporaryDir dir;
    copySample("mine", dir.path());
    Window w;
    CBriscoView& view = w.open(dir.path() + "/mine.vad");
    w.doc().modified = true;
    // A folder stands where the saved network should go.
    QVERIFY(QDir(dir.path()).mkdir("blocked.vad"));
    w.files.saves.push_back((dir.path() + "/blocked.vad").toStdString());
    QVERIFY(!view.saveAs());
    QVERIFY(!w.reporter.messages.empty());
    QVERIFY(w.doc().modified);
    QVERIFY(QFileInfo(dir.path() + "/blocked.vad").isDir());
    // A Save to the network's own name when its positions file is blocked
    // leaves the network marked modified and the old positions in place.
    w.doc().baseName = (dir.path() + "/mine.").toStdString();
    const QByteArray positions = contents(dir.path() + "/mine.jpd");
    QVERIFY(QFile::remove(dir.path() + "/mine.jpd"));
    QVERIFY(QDir(dir.path()).mkdir("mine.jpd"));
    w.reporter.messages.clear();
    QVERIFY(!view.save());
    QVERIFY(!w.reporter.messages.empty());
    QVERIFY(w.doc().modified);
    QVERIFY(QFileInfo(dir.path() + "/mine.jpd").isDir());
    Q_UNUSED(positions);
    w.doc().modified = false;
}

void ViewTest::geometryCommands()
{
    Window w;
    CBriscoView& view = w.open(w.sample("mine"));
    ViewGeometry& g = view.plan().geo;
    // Fitted: the plan's scrollable size fits the window on one side.
    const QSize client = view.viewport()->size();
    QVERIFY(g.scrollWidth <= client.width() + 1 || g.scrollHeight <= client.height() + 1);
    QCOMPARE(view.horizontalScrollBar()->maximum(), std::max(0, g.scrollWidth - client.width()));

    const float fitted = g.scale;
    view.zoomIn();
    QCOMPARE(g.scale, fitted * 2);
    QCOMPARE(view.horizontalScrollBar()->maximum(), std::max(0, g.scrollWidth - client.width()));
    QCOMPARE(view.horizontalScrollBar()->pageStep(), client.width());
    view.zoomOut();
    view.zoomOut();
    QCOMPARE(g.scale, fitted / 2);
    view.fitToWindow();  // the margin grows with the scale: close, not equal
    QVERIFY(std::abs(g.scale - fitted) < 0.01f * fitted);

    // Turns move the model's plan; eight right turns bring it back.
    const float x0 = w.doc().nodes[1].x, y0 = w.doc().nodes[1].y;
    view.rightTurn();
    QCOMPARE(g.displayAngle, 45);
    QVERIFY(std::abs(w.doc().nodes[1].x - x0) + std::abs(w.doc().nodes[1].y - y0) > 1);
    view.leftTurn();
    view.leftTurn();
    QCOMPARE(g.displayAngle, 315);
    view.rightTurn();
    QCOMPARE(g.displayAngle, 0);
    for (int i = 0; i < 8; ++i)
        view.rightTurn();
    QCOMPARE(g.displayAngle, 0);
    QVERIFY(std::abs(w.doc().nodes[1].x - x0) < 1 && std::abs(w.doc().nodes[1].y - y0) < 1);
    w.doc().modified = false;
}

void ViewTest::arrowKeysAndWheel()
{
    Window w;
    CBriscoView& view = w.open(w.sample("mine"));
    ViewGeometry& g = view.plan().geo;
    view.zoomIn();
    view.zoomIn();
    view.scrollTo(0, 0);
    QTest::keyClick(&view, Qt::Key_Right);
    QVERIFY(view.horizontalScrollBar()->value() > 0);
    QCOMPARE(g.scrollX, view.horizontalScrollBar()->value());
    // Left from the start moves the plan's origin and keeps the bar at 0.
    view.scrollTo(0, 0);
    const float origin = g.originX;
    QTest::keyClick(&view, Qt::Key_Left);
    QVERIFY(g.originX > origin);
    QCOMPARE(view.horizontalScrollBar()->value(), 0);

    // Ctrl+wheel zooms about the cursor: the world point under it stays.
    view.fitToWindow();
    view.zoomIn();
    view.scrollTo(view.horizontalScrollBar()->maximum() / 2, view.verticalScrollBar()->maximum() / 2);
    const QPoint at(300, 200);
    const auto worldAt = [&] {
        return QPointF((g.scrollX + at.x() - g.originX) / g.scale, (g.originY - g.scrollY - at.y()) / g.scale);
    };
    const QPointF before = worldAt();
    const float scale = g.scale;
    QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    QCOMPARE(g.scale, scale * 2);
    const QPointF after = worldAt();
    // within the whole pixels of a scroll position
    QVERIFY2(std::abs(after.x() - before.x()) * g.scale <= 1.5 && std::abs(after.y() - before.y()) * g.scale <= 1.5,
             qPrintable(QString("%1,%2 -> %3,%4").arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
}

void ViewTest::backingImageInvertsAndErases()
{
    Window w;
    CBriscoView& view = w.open(w.sample("mine"));
    QApplication::processEvents();
    const QImage before = view.viewport()->grab().toImage();
    QVERIFY(sameImage(before, view.backingImage()));

    Canvas& canvas = view.windowCanvas();
    canvas.setInvert(true);
    canvas.setPen(PenStyle::Solid, 1, rgb(255, 255, 255));
    canvas.moveTo(20, 30);
    canvas.lineTo(220, 30);
    canvas.lineTo(220, 130);
    QApplication::processEvents();
    const QImage marked = view.viewport()->grab().toImage();
    QVERIFY(!sameImage(before, marked));
    // inverted: white over navy gives the colour's complement
    const QRgb onLine = marked.pixel(120, 30);
    const QRgb under = before.pixel(120, 30);
    QCOMPARE(onLine & 0xFFFFFF, (under ^ 0xFFFFFF) & 0xFFFFFF);

    canvas.moveTo(20, 30);
    canvas.lineTo(220, 30);
    canvas.lineTo(220, 130);
    canvas.setInvert(false);
    QApplication::processEvents();
    QVERIFY(sameImage(before, view.viewport()->grab().toImage()));
}

void ViewTest::statusLineDuringRun()
{
    Window w;
    CBriscoView& view = w.open(w.sample("mine"));
    const QImage before = view.backingImage().copy();
    w.doc().analysisRunning = 1;
    w.doc().statusLine = "  12: Error=     0.001234 m3/s";
    w.document->updateAllViews();
    const QImage during = view.backingImage();
    // Only the top strip changes, and the text is there in the on-line colour.
    bool textSeen = false;
    const QColor online = toQColor(view.plan().settings.colours.online);
    for (int y = 0; y < during.height(); ++y)
        for (int x = 0; x < during.width(); ++x) {
            if (during.pixel(x, y) == before.pixel(x, y))
                continue;
            QVERIFY2(y < 30, qPrintable(QString("%1,%2").arg(x).arg(y)));
            if (QColor(during.pixel(x, y)) == online)
                textSeen = true;
        }
    QVERIFY(textSeen);
    w.doc().analysisRunning = 0;
    w.document->updateAllViews();
    QVERIFY(sameImage(before, view.backingImage()));
}

void ViewTest::displaySettingsThroughProfile()
{
    Window w;
    {
        CBriscoView& view = w.open();
        DisplaySettings& s = view.plan().settings;
        s.onlineKind = 4;
        s.nodeKind = 2;
        s.colours.back = rgb(10, 20, 30);
        view.plan().geo.scale = 0.5f;
        view.plan().geo.charSize = 12.5f;
        w.close();
    }
    QCOMPARE(w.profile.readString(kDisplaySection, "factor", ""), std::string("325"));
    QCOMPARE(w.profile.readString(kDisplaySection, "font", ""), std::string("12500"));
    QCOMPARE(w.profile.readInt(kDisplaySection, "back", 0), int(rgb(10, 20, 30)));
    CBriscoView& again = w.open();
    QCOMPARE(again.plan().settings.onlineKind, 4);
    QCOMPARE(again.plan().settings.nodeKind, 2);
    QCOMPARE(again.plan().settings.colours.back, rgb(10, 20, 30));
    QCOMPARE(again.plan().geo.charSize, 12.5f);
    // the background of the new view is painted in the kept colour
    QCOMPARE(QColor(again.backingImage().pixel(5, again.backingImage().height() - 5)), QColor(10, 20, 30));
}

// Answers the next modal dialog once it is up.
void whenShown(std::function<void(QDialog&)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(*dialog);
    });
}

void ViewTest::displaySettingAndInfoDialogs()
{
    Window w;
    CBriscoView& view = w.open(w.sample("mine"));
    // a second view of the same document follows the turn
    CBriscoView second(*w.document, w.services);
    second.resize(400, 300);
    second.show();
    w.document->updateAllViews();
    const float x = second.plan().data.nodeX[1];

    whenShown([](QDialog& d) {
        d.findChild<QLineEdit*>("displayAngle")->setText("405");
        d.findChild<QComboBox*>("onlineKind")->setCurrentIndex(12);  // road names
        d.findChild<QSpinBox*>("nodeDigits")->setValue(3);
        d.findChild<QPushButton*>("ok")->click();
    });
    view.displaySetting();
    QCOMPARE(view.plan().geo.displayAngle, 45);
    QCOMPARE(view.plan().settings.onlineKind, 12);
    QCOMPARE(view.plan().settings.nodeDigits, 3);
    QVERIFY(std::abs(second.plan().data.nodeX[1] - x) > 1);

    // a refused figure size keeps the dialog open with the message; cancel changes nothing
    whenShown([&w](QDialog& d) {
        d.findChild<QLineEdit*>("figureSize")->setText("10.01");
        d.findChild<QPushButton*>("ok")->click();
        QVERIFY(d.isVisible());
        QVERIFY(w.reporter.said(kBadFigureSize));
        d.findChild<QPushButton*>("cancel")->click();
    });
    const float scale = view.plan().geo.scale;
    view.displaySetting();
    QCOMPARE(view.plan().geo.scale, scale);

    int changes = 0;
    connect(&view, &CBriscoView::stateChanged, [&changes] { ++changes; });
    whenShown([](QDialog& d) {
        d.findChild<QPlainTextEdit*>("title")->setPlainText(QString::fromUtf8("北区 ventilation"));
        d.findChild<QPushButton*>("ok")->click();
    });
    view.info();
    QCOMPARE(w.doc().title, std::string("北区 ventilation"));
    QCOMPARE(w.doc().windowTitle, w.doc().title);
    QVERIFY(w.doc().modified);
    QVERIFY(changes > 0);
    w.doc().modified = false;
}

QTEST_MAIN(ViewTest)
#include "view_test.moc"
