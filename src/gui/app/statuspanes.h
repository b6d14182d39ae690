#pragma once

#include <QString>
#include <ctime>
#include <string>

class QLabel;
class QStatusBar;

// The status bar's clock and lock indicator panes.
namespace orvex::gui {

// "Mon,2026/12/7": the weekday as the C library names it, then the year,
// month and day without leading zeros.
std::string dateText(const std::tm& time);
// "PM 1:05:09 " after noon; "AM 9:05:09  " before, with one blank more.
std::string timeText(const std::tm& time);

// Whether the keyboard's lock lights are on, as the system's LED devices
// under ledsFolder tell ("input3::capslock" and the like). A light the
// system does not show reads as off.
struct LockStates {
    bool kana = false, caps = false, num = false, scroll = false;
};
LockStates readLockStates(const std::string& ledsFolder = "/sys/class/leds");

// The panes of the main window's status bar: the message, the four lock
// lights, the date and the time.
class StatusPanes {
public:
    explicit StatusPanes(QStatusBar& bar);

    // The clock panes as they read at `time`; each is as wide as its text.
    void showClock(const std::tm& time);
    // The clock now, and the lock lights as the system shows them.
    void showNow();

    QString messageShown() const;
    QString dateShown() const;
    QString timeShown() const;

private:
    QLabel* mMessage = nullptr;
    QLabel* mLocks[4] = {};
    QLabel* mDate = nullptr;
    QLabel* mTime = nullptr;
};

}  // namespace orvex::gui
