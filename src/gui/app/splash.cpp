#include "app/splash.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QtMath>

#include "app/icons.h"

namespace orvex::gui {

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 300;

const QColor kGroundTop(0x1d, 0x36, 0x82);
const QColor kGroundBottom(0x08, 0x12, 0x3d);
const QColor kRoad(0xff, 0xff, 0xff, 150);  // the network stays behind the texts
const QColor kValue(0x3f, 0xd6, 0x7a);
const QColor kPale(0xc6, 0xd3, 0xf0);

QFont fontOfPixels(int pixels, bool bold = false)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A value label centred above (or, for a vertical road, beside) a point.
void drawValue(QPainter& p, QPointF at, const QString& text)
{
    const QRectF box(at.x() - 30, at.y() - 8, 60, 16);
    p.drawText(box, Qt::AlignCenter, text);
}

void drawNetwork(QPainter& p)
{
    constexpr qreal r = 5.5;  // node circle radius
    const QPointF a(282, 44), b(282, 142), c(382, 142), d(382, 44), e(282, 252), f(444, 252), g(444, 142);
    const QPointF bend(340, 206);
    const QPointF fan(382, 93);  // the main fan, on the exhaust shaft

    // Roads stop at the node circles, as on the plan.
    const auto road = [&](QPointF from, QPointF to) {
        const QPointF u = (to - from) / qHypot(to.x() - from.x(), to.y() - from.y());
        p.drawLine(from + r * u, to - r * u);
    };
    p.setPen(QPen(kRoad, 1.5));
    p.setBrush(Qt::NoBrush);
    road(a, b);
    road(b, c);
    road(c, fan + QPointF(0, 8.5));
    road(fan - QPointF(0, 8.5), d);
    road(b, e);
    road(e, f);
    road(f, g);
    road(g, c);
    // A road through one bending point.
    const QPointF u1 = (bend - c) / qHypot(bend.x() - c.x(), bend.y() - c.y());
    const QPointF u2 = (f - bend) / qHypot(f.x() - bend.x(), f.y() - bend.y());
    const QPointF bent[] = {c + r * u1, bend, f - r * u2};
    p.drawPolyline(bent, 3);

    for (const QPointF node : {a, b, c, d, e, f, g})
        p.drawEllipse(node, r, r);
    // Surface nodes carry a second circle.
    for (const QPointF node : {a, d})
        p.drawEllipse(node, 1.15 * r, 1.15 * r);

    p.setPen(kValue);
    p.setFont(fontOfPixels(11));
    drawValue(p, {306, 92}, "24.50");
    drawValue(p, {332, 132}, "13.30");
    drawValue(p, {306, 198}, "11.20");
    drawValue(p, {363, 262}, "11.20");
    drawValue(p, {422, 196}, "6.15");
    drawValue(p, {414, 132}, "7.15");
    drawValue(p, {422, 93}, "20.45");

    paintShaftFan(p, fan, 13, 2.5);
}

}  // namespace

QPixmap splashPicture()
{
    QPixmap picture(kWidth, kHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient ground(0, 0, kWidth, kHeight);
    ground.setColorAt(0, kGroundTop);
    ground.setColorAt(1, kGroundBottom);
    p.fillRect(picture.rect(), ground);

    drawNetwork(p);

    p.drawPixmap(32, 34, applicationIcon().pixmap(64, 64));

    p.setPen(Qt::white);
    QFont name = fontOfPixels(56, true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(name);
    p.drawText(QRectF(28, 106, 240, 66), Qt::AlignLeft | Qt::AlignVCenter, "ORVEX");

    p.setPen(kPale);
    p.setFont(fontOfPixels(14));
    p.drawText(QRectF(32, 172, 240, 20), Qt::AlignLeft | Qt::AlignVCenter, "Mine ventilation");
    p.drawText(QRectF(32, 190, 240, 20), Qt::AlignLeft | Qt::AlignVCenter, "network analysis");

    p.fillRect(QRectF(32, 222, 44, 3), kValue);

    p.setPen(Qt::white);
    p.setFont(fontOfPixels(13, true));
    p.drawText(QRectF(32, 236, 240, 18), Qt::AlignLeft | Qt::AlignVCenter, "Tenbrook for Windows 1.01");
    p.setPen(kPale);
    p.setFont(fontOfPixels(12));
    p.drawText(QRectF(32, 254, 240, 18), Qt::AlignLeft | Qt::AlignVCenter, "2000.1");

    // A thin frame, so the borderless window has an edge on any desktop.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x5a, 0x74, 0xb8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, kWidth - 1, kHeight - 1);
    return picture;
}

SplashWindow::SplashWindow(int durationMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      mPicture(splashPicture()),
      mTimer(new QTimer(this))
{
    setFixedSize(mPicture.size());
    setAttribute(Qt::WA_OpaquePaintEvent);

    const QWidget* over = parent ? parent->window() : nullptr;
    const QRect area = over && over->isVisible() ? over->frameGeometry()
                                                 : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid())
        move(area.center() - rect().center());

    mTimer->setSingleShot(true);
    mTimer->setInterval(durationMs);
    connect(mTimer, &QTimer::timeout, this, &SplashWindow::dismiss);
    mTimer->start();
}

SplashWindow::~SplashWindow()
{
    watchApplication(false);
}

int SplashWindow::duration() const { return mTimer->interval(); }

void SplashWindow::dismiss()
{
    // close() normally runs closeEvent(), which finishes; finishing again
    // covers a window that was never shown and does nothing otherwise.
    close();
    finish();
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, mPicture);
}

void SplashWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!mFinished)
        watchApplication(true);
}

void SplashWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    finish();
}

void SplashWindow::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    dismiss();
}

void SplashWindow::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    dismiss();
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claim the key for ourselves so no shortcut fires on it; the key
        // press that follows dismisses the picture.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        dismiss();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void SplashWindow::finish()
{
    watchApplication(false);
    mTimer->stop();
    if (mFinished)
        return;
    mFinished = true;
    emit finished();
}

void SplashWindow::watchApplication(bool on)
{
    if (on == mWatching || !qApp)
        return;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
    mWatching = on;
}

}  // namespace orvex::gui
