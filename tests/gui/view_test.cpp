// The network view's wiring: its commands reach its controller and the
// scroll bars follow, its keys and wheel reach the plan, its dialogs' values
// reach the document, and the plan is drawn into the window.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "support.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

bool sameImage(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
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

}  // namespace

class ViewTest : public QObject {
    Q_OBJECT

private slots:
    void fileCommandsAndTheCloseQuestion();
    void geometryCommandsKeysAndWheel();
    void pictureOnTheWindow();
    void dialogsReachTheDocument();
};

void ViewTest::fileCommandsAndTheCloseQuestion()
{
    NetworkWindow w;
    CBriscoView& view = w.open();
    QVERIFY(!view.networkLoaded());
    const QString net = w.sample("mine");
    w.files.opens = {net.toStdString(), w.sample("water").toStdString()};
    view.openFile();
    QVERIFY(view.networkLoaded());
    QVERIFY(w.reporter.messages.empty());
    view.openFile();
    QCOMPARE(w.newWindows, 1);

    // The close question: Yes, then the save dialog (on the network's own
    // file) cancelled, keeps the window; No lets it close without writing.
    view.leftTurn();
    w.doc().modified = true;
    w.reporter.answers = {Answer::Yes, Answer::No};
    QCOMPARE(view.queryClose(), Answer::Cancel);
    QCOMPARE(w.files.lastStartFolder, net.toStdString());
    QCOMPARE(view.queryClose(), Answer::No);
    QCOMPARE(w.reporter.questions.size(), size_t(2));
    const QByteArray original = contents(net);
    w.close();
    QCOMPARE(contents(net), original);
    QCOMPARE(w.profile.readString(kRecentFileSection, kRecentFileEntry, ""), net.toStdString());
}

void ViewTest::geometryCommandsKeysAndWheel()
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
    view.fitToWindow();  // the margin grows with the scale: close, not equal
    QVERIFY(std::abs(g.scale - fitted) < 0.01f * fitted);

    const float x0 = w.doc().nodes[1].x;
    view.rightTurn();
    QCOMPARE(g.displayAngle, 45);
    QVERIFY(std::abs(w.doc().nodes[1].x - x0) > 1);
    view.leftTurn();

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

    // Ctrl+wheel zooms about the cursor.
    const float scale = g.scale;
    const QPoint at(300, 200);
    QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    QCOMPARE(g.scale, scale * 2);
    w.doc().modified = false;
}

// The plan drawn: the fitted network covers more than the background;
// during a run only the status line at the top is drawn, in the on-line
// colour.
void ViewTest::pictureOnTheWindow()
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
        for (int x = 0; x < during.width(); ++x) {
            if (during.pixel(x, y) == before.pixel(x, y))
                continue;
            QVERIFY2(y < 30, qPrintable(QString("%1,%2").arg(x).arg(y)));
            textSeen = textSeen || QColor(during.pixel(x, y)) == online;
        }
    QVERIFY(textSeen);
    w.doc().analysisRunning = 0;
    w.document->updateAllViews();
    QVERIFY(sameImage(before, view.backingImage()));
}

void ViewTest::dialogsReachTheDocument()
{
    NetworkWindow w;
    CBriscoView& view = w.open(w.sample("mine"));
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

    int changes = 0;
    connect(&view, &CBriscoView::stateChanged, [&changes] { ++changes; });
    whenShown([](QDialog& d) {
        d.findChild<QPlainTextEdit*>("title")->setPlainText(QString::fromUtf8("北区 ventilation"));
        d.findChild<QPushButton*>("ok")->click();
    });
    view.info();
    QCOMPARE(w.doc().title, std::string("北区 ventilation"));
    QVERIFY(w.doc().modified);
    QVERIFY(changes > 0);
    w.doc().modified = false;
}

QTEST_MAIN(ViewTest)
#include "view_test.moc"
