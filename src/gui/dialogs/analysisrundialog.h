#pragma once

#include <QDialog>
#include <memory>

#include "analysis/analysisdialog.h"

// "Analysis": the run's window. Status line, the fire simulation's second
// line, the line that names the solver method (after a run: the one that
// gave the results), progress bar, "Parameter", "Start" (which reads "Stop" during a
// run), "Close", "Update", "Display data" (the lower part with the solver's
// diagnostic lines and the fan list, 480 pixels high when on, 190 when off)
// and "Opt1" (the fire run's pause switch). It keeps the rest of the
// program out of reach while it is open. The run itself goes on the user
// interface thread: each progress step and stop query lets waiting events
// run, so that Stop can be pressed during a solve.
namespace orvex::gui {

constexpr int kAnalysisHeightWithData = 480;
constexpr int kAnalysisHeightWithoutData = 190;

class AnalysisRunDialog : public QDialog, public AnalysisDialog {
    Q_OBJECT
public:
    // fans: one row per fan in the list; displayData and opt1 as the check
    // boxes start.
    AnalysisRunDialog(int fans, bool displayData, bool opt1, QWidget* parent = nullptr);
    ~AnalysisRunDialog() override;

    bool running() const;
    bool displayData() const;
    bool opt1() const;
    // The fire run's pause beside this dialog, where the status lines and
    // the progress bar (the simulated time) stay in sight; returns the
    // pause's "opt1" box.
    bool pause();

    // AnalysisDialog
    void setStatusLine(const std::string& text) override;
    void setSecondLine(const std::string& text) override;
    void setDiagnosticLine(int line, const std::string& text) override;
    void setFanCell(int row, int column, const std::string& text) override;
    void setProgressRange(int lower, int upper) override;
    void setProgressStep(int step) override;
    void setProgressPosition(int position) override;
    void stepProgress() override;
    bool stopRequested() override;
    void enableClose(bool enable) override;
    void enableRunControls(bool enable) override;
    void setStartText(const std::string& text) override;
    void setCaption(const std::string& text) override;
    void setMethodLine(const std::string& text) override;
    void clearOpt1() override;
    void dispatchEvents() override;

signals:
    void startRequested();
    void parameterRequested();
    void updateRequested();
    void displayDataChanged(bool on);
    void opt1Changed(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void startOrStop();
    void fitHeight();

    struct Impl;
    std::unique_ptr<Impl> d;
};

// The fire run's pause: a "Continue" button and an "opt1" box, ticked when
// it opens; returns the box's state. With inSight (screen coordinates) it
// opens beside its parent's window where it leaves that part uncovered.
bool runPauseDialog(QWidget* parent, const QRect& inSight = QRect());

}  // namespace orvex::gui
