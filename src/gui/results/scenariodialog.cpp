#include "results/scenariodialog.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "results/differencesview.h"
#include "results/resultsmodels.h"

namespace orvex::gui {

namespace {

QPushButton* button(const QString& text, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

ScenarioDialog::ScenarioDialog(CBriscoDoc& doc, QWidget* parent)
    : QDialog(parent),
      mDoc(doc),
      mEditor(new QPlainTextEdit(this)),
      mCaseModel(new TableModel(this)),
      mRun(button(tr("Run"), tr("Run every case on a copy of the network"), this)),
      mStop(button(tr("Stop"), tr("Stop the cases not yet finished"), this)),
      mProgress(new QProgressBar(this)),
      mMessage(new QLabel(this)),
      mCopyReporter(std::make_unique<SilentReporter>())
{
    setWindowTitle(tr("Scenarios"));
    setObjectName("scenarioDialog");
    mCases = makeSortedTable(mCaseModel, this);
    mEditor->setPlaceholderText(tr("scenario \"Main fan stopped\"\n  fan-off 12 1\n\nor choose a sweep"));
    mEditor->setFont(QFont("Monospace"));
    mMessage->setWordWrap(true);
    mMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* loadButton = button(tr("Load…"), tr("Read a scenario file into the editor"), this);
    auto* saveButton = button(tr("Save As…"), tr("Write the editor's text to a scenario file"), this);
    auto* sweep = new QToolButton(this);
    sweep->setText(tr("Sweep"));
    sweep->setToolTip(tr("Fill the editor with the cases of a sweep of this network"));
    sweep->setPopupMode(QToolButton::InstantPopup);
    auto* sweeps = new QMenu(sweep);
    sweeps->addAction(tr("Each fan off"), this, [this] { fillSweep(SweepKind::FansOff); });
    sweeps->addAction(tr("Each road closed"), this, [this] { fillSweep(SweepKind::RoadsClosed); });
    sweeps->addAction(tr("A fire at each underground node"), this, [this] { fillSweep(SweepKind::FireNodes); });
    sweep->setMenu(sweeps);

    auto* row = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{loadButton, saveButton, sweep, mRun, mStop})
        row->addWidget(w);
    row->addWidget(mProgress, 1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(mEditor);
    split->addWidget(mCases);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(split, 1);
    layout->addWidget(mMessage);

    connect(loadButton, &QPushButton::clicked, this, &ScenarioDialog::load);
    connect(saveButton, &QPushButton::clicked, this, &ScenarioDialog::saveAs);
    connect(mRun, &QPushButton::clicked, this, &ScenarioDialog::run);
    connect(mStop, &QPushButton::clicked, this, &ScenarioDialog::stop);
    connect(mCases->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { chooseCase(sourceRow(*mCases, current)); });
    resize(760, 560);
    updateControls();
}

ScenarioDialog::~ScenarioDialog() { waitForWorker(); }

void ScenarioDialog::waitForWorker()
{
    mStopFlag = true;
    if (mWorker.joinable())
        mWorker.join();
}

void ScenarioDialog::fillSweep(SweepKind kind)
{
    const std::vector<Scenario> cases = sweepScenarios(mDoc, kind, {});
    if (cases.empty()) {
        say(tr("This network has nothing to sweep."), true);
        return;
    }
    mEditor->setPlainText(QString::fromStdString(scenarioText(cases)));
    say(tr("%1 cases").arg(cases.size()));
}

void ScenarioDialog::run()
{
    if (!mSession.runEnabled())
        return;
    if (mDoc.analysisRunning != 0) {
        say(tr("The window's own run is not over yet: run the cases when it is."), true);
        return;
    }
    std::vector<Scenario> scenarios;
    std::vector<std::string> errors;
    if (!mSession.prepare(mEditor->toPlainText().toStdString(), scenarios, errors)) {
        QStringList lines;
        for (const std::string& e : errors)
            lines << QString::fromStdString(e);
        say(tr("Nothing was run; the text has damaged lines:\n") + lines.join('\n'), true);
        return;
    }
    // The copy is made here, where nothing edits the network meanwhile.
    mCopy = std::make_unique<CBriscoDoc>(mDoc, *mCopyReporter);
    mStopFlag = false;
    mSession.started();
    mCaseModel->setTable(mSession.caseTable(mDoc.app().units.flowUnitName.str()));
    mProgress->setRange(0, 0);
    say(tr("Running %1 cases…").arg(scenarios.size()));
    updateControls();
    CaseSettings settings;
    settings.stop = &mStopFlag;
    settings.progress = [this](int done, int total) {
        QMetaObject::invokeMethod(this, [this, done, total] { progressed(done, total); }, Qt::QueuedConnection);
    };
    mWorker = std::thread([this, scenarios, settings] {
        auto batch = std::make_shared<ScenarioBatch>(runScenarioBatch(*mCopy, scenarios, settings));
        QMetaObject::invokeMethod(this, [this, batch] { finishRun(batch); }, Qt::QueuedConnection);
    });
}

void ScenarioDialog::stop()
{
    if (mSession.stopEnabled()) {
        mStopFlag = true;
        say(tr("Stopping…"));
    }
}

void ScenarioDialog::progressed(int done, int total)
{
    if (!mSession.stopEnabled())
        return;
    mProgress->setRange(0, total);
    mProgress->setValue(done);
}

void ScenarioDialog::finishRun(const std::shared_ptr<ScenarioBatch>& batch)
{
    if (mWorker.joinable())
        mWorker.join();
    mCopy.reset();
    mSession.finished(std::move(*batch));
    mCaseModel->setTable(mSession.caseTable(mDoc.app().units.flowUnitName.str()));
    mCases->resizeColumnsToContents();
    mProgress->setRange(0, 1);
    mProgress->setValue(1);
    say(QString::fromStdString(mSession.summary()), !mSession.batch().problem.empty());
    updateControls();
    emit runFinished();
}

void ScenarioDialog::chooseCase(int row)
{
    WindowComparison shown;
    if (!mSession.caseComparison(row, shown)) {
        if (row >= 0)
            say(tr("This case did not run to a result: there is nothing to show."), true);
        return;
    }
    if (comparisonOutdated(shown, mDoc))
        say(tr("These results belong to the network as it was when they ran; it has been edited since, and "
               "roads that changed are not coloured."),
            true);
    else
        say(tr("The plan shows the change of each road's airflow in \"%1\".").arg(QString::fromStdString(shown.against)));
    emit caseChosen(shown);
}

void ScenarioDialog::load()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Load scenarios"), {},
                                                      tr("Scenario files (*.txt *.scn);;All files (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        say(tr("%1 cannot be read: %2").arg(path, file.errorString()), true);
        return;
    }
    mEditor->setPlainText(QString::fromUtf8(file.readAll()));
    say(tr("Read %1").arg(path));
}

void ScenarioDialog::saveAs()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save scenarios"), {},
                                                      tr("Scenario files (*.txt *.scn);;All files (*)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = mEditor->toPlainText().toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(bytes) != bytes.size() || !file.commit()) {
        say(tr("%1 cannot be written: %2").arg(path, file.errorString()), true);
        return;
    }
    say(tr("Wrote %1").arg(path));
}

void ScenarioDialog::closeEvent(QCloseEvent* event)
{
    stop();
    QDialog::closeEvent(event);
}

void ScenarioDialog::updateControls()
{
    mRun->setEnabled(mSession.runEnabled());
    mStop->setEnabled(mSession.stopEnabled());
}

void ScenarioDialog::say(const QString& text, bool problem)
{
    mMessage->setStyleSheet(problem ? "color: #b00020;" : QString());
    mMessage->setText(text);
}

}  // namespace orvex::gui
