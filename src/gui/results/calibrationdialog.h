#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <thread>

#include "control/calibration.h"

class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;

// "Calibrate…" of a network window: a survey loaded from a file, what to
// fit (every normal road, groups by name prefix, or written terms), fan
// offsets, the prior, Fit and Stop, the measurements and unknowns of the
// fit, its messages, and Accept. Fit copies the window's network and fits
// the copy on a worker, so the window stays free; the residuals colour its
// plan (residualsShown), a chosen row marks its element (targetChosen), and
// closing the dialog gives the plan its own colours back (closed).
namespace orvex::gui {

class FileDialogs;
class TableModel;

class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    CalibrationDialog(CBriscoDoc& doc, ViewDocument& document, FileDialogs& files, Reporter& reporter,
                      QWidget* parent = nullptr);
    ~CalibrationDialog() override;

    const CalibrationSession& session() const { return mSession; }
    QPushButton* fitButton() const { return mFit; }
    QPushButton* stopButton() const { return mStop; }
    QPushButton* acceptButton() const { return mAccept; }
    QTableView* measurementTable() const { return mMeasurements; }
    QTableView* unknownTable() const { return mUnknowns; }
    QPlainTextEdit* messages() const { return mMessages; }

public slots:
    void loadSurvey();
    void fit();
    void stop();
    void acceptFit();
    // The window's network was edited, undone or replaced.
    void networkEdited();

signals:
    void residualsShown(const std::vector<float>& residual);
    void residualsCleared();
    void targetChosen(const orvex::CalibrationTarget& target);
    void fitFinished();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* makeChoice();
    void finishFit(const std::shared_ptr<CalibrationResult>& result);
    FitChoice choice() const;
    void showResult();
    void updateControls();
    void say(const std::vector<CalibrationMessage>& messages);
    void waitForWorker();

    CBriscoDoc& mDoc;
    ViewDocument& mDocument;
    FileDialogs& mFiles;
    Reporter& mReporter;
    CalibrationSession mSession;
    QLabel* mSurveyName;
    QButtonGroup* mWhat;
    QLineEdit *mPrefixes, *mWritten;
    QCheckBox* mFans;
    QDoubleSpinBox* mPrior;
    QPushButton *mFit, *mStop, *mAccept;
    QProgressBar* mBusy;
    QTabWidget* mTabs;
    TableModel *mMeasurementModel, *mUnknownModel;
    QTableView *mMeasurements, *mUnknowns;
    QPlainTextEdit* mMessages;
    std::unique_ptr<SilentReporter> mCopyReporter;  // the copy's messages on the worker: nobody sees them
    std::unique_ptr<CBriscoDoc> mCopy;  // what the worker fits
    std::atomic<bool> mStopFlag{false};
    std::thread mWorker;
};

}  // namespace orvex::gui
