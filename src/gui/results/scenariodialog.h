#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <thread>

#include "control/whatif.h"
#include "model/briscodoc.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;

// "Scenarios…" of a network window: the text of a scenario file (Load…,
// Save As…, or the cases of a sweep), Run and Stop, a progress bar and the
// table of cases, most severe first. Run copies the window's network and
// runs the copy on a worker, so the window stays free to use and edit;
// choosing a case shows its change on the window's plan (caseChosen).
// Closing the dialog or the window stops a run and waits for it.
namespace orvex::gui {

class TableModel;

class ScenarioDialog : public QDialog {
    Q_OBJECT
public:
    ScenarioDialog(CBriscoDoc& doc, QWidget* parent = nullptr);
    ~ScenarioDialog() override;

    QPlainTextEdit* editor() const { return mEditor; }
    QTableView* caseTable() const { return mCases; }
    QPushButton* runButton() const { return mRun; }
    QPushButton* stopButton() const { return mStop; }
    QLabel* messageLabel() const { return mMessage; }
    const ScenarioSession& session() const { return mSession; }

public slots:
    // The editor holds the cases of a sweep of the window's network.
    void fillSweep(orvex::SweepKind kind);
    void run();
    void stop();
    // A case of the table by its model row (0..).
    void chooseCase(int row);
    void load();
    void saveAs();

signals:
    void caseChosen(const orvex::WindowComparison& shown);
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void finishRun(const std::shared_ptr<ScenarioBatch>& batch);
    void progressed(int done, int total);
    void updateControls();
    void say(const QString& text, bool problem = false);
    void waitForWorker();

    CBriscoDoc& mDoc;
    ScenarioSession mSession;
    QPlainTextEdit* mEditor;
    QTableView* mCases;
    TableModel* mCaseModel;
    QPushButton *mRun, *mStop;
    QProgressBar* mProgress;
    QLabel* mMessage;
    std::unique_ptr<SilentReporter> mCopyReporter;  // the copy's messages on the worker: nobody sees them
    std::unique_ptr<CBriscoDoc> mCopy;  // what the worker runs
    std::atomic<bool> mStopFlag{false};
    std::thread mWorker;
};

}  // namespace orvex::gui
