// The network view's wiring: its commands reach its controller and the
// scroll bars follow, its keys and wheel reach the plan, its dialogs' values
// reach the document, and the plan is drawn into the window.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

#include "support.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

bool sameImage(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
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

// Open fills the empty window, then asks for a new one; the close question's
// Yes opens the save dialog on the network's own file; No closes without writing.
void ViewTest::fileCommandsAndTheCloseQuestion()
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
void ViewTest::dialogsReachTheDocument()
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

QTEST_MAIN(ViewTest)
#include "view_test.moc"
