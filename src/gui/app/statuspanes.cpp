#include "app/statuspanes.h"

#include <QLabel>
#include <QStatusBar>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace orvex::gui {

std::string dateText(const std::tm& time)
{
    char weekday[32] = {};
    std::strftime(weekday, sizeof weekday, "%a", &time);
    char text[64];
    std::snprintf(text, sizeof text, "%s,%d/%d/%d", weekday, time.tm_year + 1900, time.tm_mon + 1,
                  time.tm_mday);
    return text;
}

std::string timeText(const std::tm& time)
{
    const int hour12 = time.tm_hour % 12 == 0 ? 12 : time.tm_hour % 12;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d ", hour12, time.tm_min, time.tm_sec);
    return time.tm_hour < 12 ? "AM " + std::string(text) + " " : "PM " + std::string(text);
}

LockStates readLockStates(const std::string& ledsFolder)
{
    LockStates states;
    std::error_code error;
    std::filesystem::directory_iterator it(ledsFolder, error);
    if (error)
        return states;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        const auto endsWith = [&name](const std::string& tail) {
            return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
        };
        bool* state = endsWith("::kana")         ? &states.kana
                      : endsWith("::capslock")   ? &states.caps
                      : endsWith("::numlock")    ? &states.num
                      : endsWith("::scrolllock") ? &states.scroll
                                                 : nullptr;
        if (!state)
            continue;
        std::ifstream in(entry.path() / "brightness");
        int brightness = 0;
        if (in >> brightness && brightness > 0)
            *state = true;
    }
    return states;
}

namespace {

constexpr const char* kLocks[4] = {"KANA", "CAP", "NUM", "SCRL"};

}  // namespace

StatusPanes::StatusPanes(QStatusBar& bar)
{
    mMessage = new QLabel(QStringLiteral("<  >"));
    mMessage->setObjectName("messagePane");
    bar.addWidget(mMessage, 1);
    for (int i = 0; i < 4; ++i) {
        mLocks[i] = new QLabel(kLocks[i]);
        mLocks[i]->setObjectName(QString("lockPane") + kLocks[i]);
        mLocks[i]->setAlignment(Qt::AlignCenter);
        mLocks[i]->setMinimumWidth(mLocks[i]->fontMetrics().horizontalAdvance(kLocks[i]) + 8);
        bar.addPermanentWidget(mLocks[i]);
    }
    mDate = new QLabel;
    mDate->setObjectName("datePane");
    mDate->setToolTip("Date");
    mTime = new QLabel;
    mTime->setObjectName("timePane");
    mTime->setToolTip("Time");
    bar.addPermanentWidget(mDate);
    bar.addPermanentWidget(mTime);
}

void StatusPanes::showClock(const std::tm& time)
{
    const auto set = [](QLabel* pane, const QString& text) {
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 6);
        pane->setText(text);
    };
    set(mDate, QString::fromLocal8Bit(dateText(time).c_str()));
    set(mTime, QString::fromStdString(timeText(time)));
}

void StatusPanes::showNow()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    showClock(local);
    const LockStates s = readLockStates();
    const bool on[4] = {s.kana, s.caps, s.num, s.scroll};
    for (int i = 0; i < 4; ++i)
        mLocks[i]->setEnabled(on[i]);
}

QString StatusPanes::messageShown() const { return mMessage->text(); }
QString StatusPanes::dateShown() const { return mDate->text(); }
QString StatusPanes::timeShown() const { return mTime->text(); }

}  // namespace orvex::gui
