// The command and program icons as drawn for the tool bars, and the splash
// picture: what takes it away, and that the key that does is not typed.
#include <QAction>
#include <QLineEdit>
#include <QSet>
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

int opaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 200;
    return count;
}

// Pixels that stand out on a light grey tool bar: opaque and clearly darker
// or more saturated than the bar.
int pixelsSeenOnLightBar(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            count += c.alpha() > 200 && (c.lightness() < 140 || c.hsvSaturation() > 150);
        }
    }
    return count;
}

}  // namespace

class ArtworkTest : public QObject {
    Q_OBJECT
private slots:
    void commandIconIsDrawnAtEverySize_data();
    void commandIconIsDrawnAtEverySize();
    void commandIconsDifferFromEachOther();
    void applicationIconFillsItsTileAtEverySize();

    void splashGoes_data();
    void splashGoes();
    void splashSwallowsTheDismissingKeyOnly();
};

// ---- icons -----------------------------------------------------------------

void ArtworkTest::commandIconIsDrawnAtEverySize_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : commandIconNames())
        QTest::newRow(qPrintable(name)) << name;
}

void ArtworkTest::commandIconIsDrawnAtEverySize()
{
    QFETCH(QString, name);
    const QIcon icon = commandIcon(name);
    QVERIFY(!icon.isNull());
    // Drawn for each tool bar size, not scaled from one picture.
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 24, 32})
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));

    for (const int size : {16, 32}) {
        const QImage image = iconImage(icon, size);
        QCOMPARE(image.size(), QSize(size, size));
        // Something to see: at least a tenth of the square, and not all of
        // it pale, which would vanish on a light tool bar.
        const int area = size * size;
        QVERIFY2(opaquePixels(image) >= area / 10, qPrintable(QString("%1 px").arg(size)));
        QVERIFY2(pixelsSeenOnLightBar(image) >= area / 20, qPrintable(QString("%1 px").arg(size)));
    }
}

void ArtworkTest::commandIconsDifferFromEachOther()
{
    const QStringList names = commandIconNames();
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    // Two commands sharing one picture is a slip in the drawing table.
    for (const int size : {16, 32}) {
        QList<QImage> images;
        for (const QString& name : names)
            images << iconImage(commandIcon(name), size);
        for (int i = 0; i < names.size(); ++i)
            for (int j = i + 1; j < names.size(); ++j)
                QVERIFY2(images[i] != images[j],
                         qPrintable(QString("%1 and %2 at %3 px").arg(names[i], names[j]).arg(size)));
    }
}

void ArtworkTest::applicationIconFillsItsTileAtEverySize()
{
    const QIcon icon = applicationIcon();
    QVERIFY(!icon.isNull());
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
        const QImage image = iconImage(icon, size);
        // The navy tile covers most of the square; only its rounded corners
        // are clear.
        QVERIFY2(opaquePixels(image) > size * size * 3 / 4, qPrintable(QString::number(size)));
        const QColor corner = QColor::fromRgba(image.pixel(size - 1 - size / 8, size / 8));
        QVERIFY(corner.blue() > corner.red() + 40 && corner.blue() > corner.green() + 40);
    }
}

// ---- splash picture ------------------------------------------------------------

void ArtworkTest::splashGoes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("key on the picture") << "key on splash";
    QTest::newRow("click on the picture") << "mouse on splash";
    QTest::newRow("right click on the picture") << "right mouse on splash";
    QTest::newRow("key in another window") << "key on other";
    QTest::newRow("click on another window") << "mouse on other";
    QTest::newRow("its time is up") << "time";
}

void ArtworkTest::splashGoes()
{
    QFETCH(QString, how);
    QLineEdit other;
    other.move(0, 0);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));

    // Long enough that only the row's own action can end it, except in the
    // row that waits for the time.
    SplashWindow splash(how == "time" ? 50 : 600000);
    QSignalSpy finished(&splash, &SplashWindow::finished);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QCOMPARE(finished.count(), 0);

    if (how == "key on splash")
        QTest::keyClick(&splash, Qt::Key_Space);
    else if (how == "mouse on splash")
        QTest::mouseClick(&splash, Qt::LeftButton);
    else if (how == "right mouse on splash")
        QTest::mouseClick(&splash, Qt::RightButton);
    else if (how == "key on other")
        QTest::keyClick(&other, Qt::Key_Escape);
    else if (how == "mouse on other")
        QTest::mouseClick(&other, Qt::LeftButton);
    else
        QVERIFY(finished.wait(10000));

    QCOMPARE(finished.count(), 1);
    QVERIFY(!splash.isVisible());
    // Going a second time does not announce it again.
    splash.dismiss();
    QCOMPARE(finished.count(), 1);
}

void ArtworkTest::splashSwallowsTheDismissingKeyOnly()
{
    QWidget main;
    auto* edit = new QLineEdit(&main);
    // A shortcut of one key; with a modifier, the modifier's own press
    // would already take the picture away.
    auto* update = new QAction("Update", &main);
    update->setShortcut(QKeySequence(Qt::Key_F5));
    main.addAction(update);
    QSignalSpy updated(update, &QAction::triggered);
    main.show();

    SplashWindow splash(600000);
    QSignalSpy finished(&splash, &SplashWindow::finished);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    // The main window has the keyboard, as it does while the picture is up.
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    edit->setFocus();

    // The shortcut only takes the picture away.
    QTest::keyClick(edit, Qt::Key_F5);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(updated.count(), 0);
    QCOMPARE(edit->text(), QString());

    // With the picture gone, keys and shortcuts work again.
    QTest::keyClick(edit, Qt::Key_B);
    QCOMPARE(edit->text(), QString("b"));
    QTest::keyClick(edit, Qt::Key_F5);
    QCOMPARE(updated.count(), 1);
}

QTEST_MAIN(ArtworkTest)
#include "artwork_test.moc"
