// The tool bar icons and the splash picture: what takes it away, and that
// the key that does is not typed.
#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "app/icons.h"
#include "app/splash.h"

using namespace orvex::gui;

namespace {

QImage iconImage(const QIcon& icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Opaque pixels, and those of them that stand out on a light grey tool bar.
std::pair<int, int> opaqueAndSeen(const QImage& image)
{
    int opaque = 0, seen = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            opaque += c.alpha() > 200;
            seen += c.alpha() > 200 && (c.lightness() < 140 || c.hsvSaturation() > 150);
        }
    return {opaque, seen};
}

}  // namespace

class ArtworkTest : public QObject {
    Q_OBJECT
private slots:
    void iconsDrawnAtEverySizeAndDistinct();
    void splashGoes_data();
    void splashGoes();
    void splashSwallowsTheDismissingKeyOnly();
};

// Each command icon is drawn for each tool bar size, visible on a light bar
// and unlike every other; the program's navy tile fills its square.
void ArtworkTest::iconsDrawnAtEverySizeAndDistinct()
{
    const QStringList names = commandIconNames();
    QList<QImage> images;  // two commands sharing one picture is a slip
    for (const QString& name : names) {
        const QIcon icon = commandIcon(name);
        for (const int size : {16, 24, 32})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(name));
        for (const int size : {16, 32}) {
            const QImage image = iconImage(icon, size);
            const auto [opaque, seen] = opaqueAndSeen(image);
            QVERIFY2(opaque >= size * size / 10 && seen >= size * size / 20, qPrintable(name));
            QVERIFY2(!images.contains(image), qPrintable(name));
            images << image;
        }
    }
    const QIcon app = applicationIcon();
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QVERIFY(app.availableSizes().contains(QSize(size, size)));
        const QImage image = iconImage(app, size);
        QVERIFY(opaqueAndSeen(image).first > size * size * 3 / 4);
        const QColor corner = QColor::fromRgba(image.pixel(size - 1 - size / 8, size / 8));
        QVERIFY(corner.blue() > corner.red() + 40 && corner.blue() > corner.green() + 40);
    }
}

void ArtworkTest::splashGoes_data()
{
    QTest::addColumn<QString>("how");
    for (const char* how : {"key on splash", "mouse on splash", "right mouse on splash", "key on other",
                            "mouse on other", "time"})
        QTest::newRow(how) << how;
}

// Any key or click, on the picture or elsewhere, or its time takes it away, once.
void ArtworkTest::splashGoes()
{
    QFETCH(QString, how);
    QLineEdit other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    SplashWindow splash(how == "time" ? 50 : 600000);
    QSignalSpy finished(&splash, &SplashWindow::finished);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QCOMPARE(finished.count(), 0);
    if (how == "key on splash")
        QTest::keyClick(&splash, Qt::Key_Space);
    else if (how.endsWith("mouse on splash"))
        QTest::mouseClick(&splash, how.startsWith("right") ? Qt::RightButton : Qt::LeftButton);
    else if (how == "key on other")
        QTest::keyClick(&other, Qt::Key_Escape);
    else if (how == "mouse on other")
        QTest::mouseClick(&other, Qt::LeftButton);
    else
        QVERIFY(finished.wait(10000));
    QVERIFY(!splash.isVisible());
    splash.dismiss();
    QCOMPARE(finished.count(), 1);
}

// A shortcut pressed while the picture is up only takes it away; then keys work again.
void ArtworkTest::splashSwallowsTheDismissingKeyOnly()
{
    QWidget main;
    auto* edit = new QLineEdit(&main);
    auto* update = new QAction("Update", &main);
    update->setShortcut(QKeySequence(Qt::Key_F5));
    main.addAction(update);
    QSignalSpy updated(update, &QAction::triggered);
    main.show();
    SplashWindow splash(600000);
    QSignalSpy finished(&splash, &SplashWindow::finished);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F5);
    QCOMPARE(std::pair(int(finished.count()), int(updated.count())), std::pair(1, 0));
    QTest::keyClick(edit, Qt::Key_B);
    QTest::keyClick(edit, Qt::Key_F5);
    QCOMPARE(std::pair(edit->text(), int(updated.count())), std::pair(QString("b"), 1));
}

QTEST_MAIN(ArtworkTest)
#include "artwork_test.moc"
