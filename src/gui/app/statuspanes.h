#pragma once

#include <ctime>
#include <string>

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

}  // namespace orvex::gui
