#pragma once

#include "model/reporter.h"

class QWidget;

// The core's messages and questions as message boxes, over the window
// that is active (or the main window).
namespace orvex::gui {

class QtReporter : public Reporter {
public:
    void setMainWindow(QWidget* window) { mMainWindow = window; }

    void message(const std::string& text, const std::string& caption, MessageKind kind) override;
    Answer ask(const std::string& text, const std::string& caption, bool withCancel) override;

private:
    QWidget* parent() const;
    QWidget* mMainWindow = nullptr;
};

}  // namespace orvex::gui
