#pragma once

#include <QPixmap>
#include <QWidget>

class QTimer;

// The splash picture shown while the main window comes up: a borderless
// pop-up, centred on the screen (or on its parent window when it has one),
// showing the program's name, purpose and version over a drawn airway
// network.
//
// It goes away by itself kSplashMilliseconds after it was constructed, or at
// once when a key or a mouse button is pressed anywhere in the application
// while it is shown: on the picture itself or on any other window. That key
// or click only dismisses the picture; it does not also reach the window it
// was meant for, so a click on the picture does not press a tool bar button
// that lies beneath it.
//
// The caller owns the window. To have it delete itself when it goes, set
// Qt::WA_DeleteOnClose before showing it. finished() is emitted once, when it
// goes; connect it to repaint the main window.
namespace orvex::gui {

constexpr int kSplashMilliseconds = 4000;

// The picture the splash window shows, also used by tools that want it as an
// image. Its size is the window's size.
QPixmap splashPicture();

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // The time starts now; `durationMs` is how long the picture stays up at
    // most, in milliseconds.
    explicit SplashWindow(int durationMs = kSplashMilliseconds, QWidget* parent = nullptr);
    ~SplashWindow() override;

    // The time the picture stays up, in milliseconds, as given to the
    // constructor.
    int duration() const;

    // Closes the picture now, as a key press would.
    void dismiss();

signals:
    void finished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Stops the clock and the watching of the application, and emits
    // finished() the first time.
    void finish();
    void watchApplication(bool on);

    QPixmap mPicture;
    QTimer* mTimer;
    bool mWatching = false;
    bool mFinished = false;
};

}  // namespace orvex::gui
