#include "results/calibrationdialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextCursor>
#include <QVBoxLayout>

#include "results/resultsmodels.h"
#include "view/viewservices.h"

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

CalibrationDialog::CalibrationDialog(CBriscoDoc& doc, ViewDocument& document, FileDialogs& files, Reporter& reporter,
                                     QWidget* parent)
    : QDialog(parent),
      mDoc(doc),
      mDocument(document),
      mFiles(files),
      mReporter(reporter),
      mSurveyName(new QLabel(this)),
      mFit(button(tr("Fit"), tr("Fit the chosen values to the survey on a copy of the network"), this)),
      mStop(button(tr("Stop"), tr("Stop the fit; its last state is shown and nothing is applied"), this)),
      mAccept(button(tr("Accept"), tr("Write the fitted values into the network: one step Undo takes back"), this)),
      mBusy(new QProgressBar(this)),
      mTabs(new QTabWidget(this)),
      mMeasurementModel(new TableModel(this)),
      mUnknownModel(new TableModel(this)),
      mMessages(new QPlainTextEdit(this)),
      mCopyReporter(std::make_unique<SilentReporter>())
{
    setWindowTitle(tr("Calibrate"));
    setObjectName("calibrationDialog");
    auto* load = button(tr("Load survey…"), tr("Read a survey file: kind,from,to,value,sd"), this);
    load->setObjectName("load");
    mMeasurements = makeSortedTable(mMeasurementModel, this);
    mUnknowns = makeSortedTable(mUnknownModel, this);
    mMeasurements->setObjectName("measurements");
    mUnknowns->setObjectName("unknowns");
    mTabs->addTab(mMeasurements, tr("Measurements"));
    mTabs->addTab(mUnknowns, tr("Unknowns"));
    mMessages->setReadOnly(true);
    mMessages->setMaximumBlockCount(200);
    mMessages->setFixedHeight(90);
    mBusy->setRange(0, 1);
    mBusy->setTextVisible(false);

    auto* top = new QHBoxLayout;
    top->addWidget(load);
    top->addWidget(mSurveyName, 1);
    auto* run = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{mFit, mStop})
        run->addWidget(w);
    run->addWidget(mBusy, 1);
    auto* bottom = new QHBoxLayout;
    auto* close = button(tr("Close"), tr("Close the dialog; the plan gets its own colours back"), this);
    bottom->addStretch(1);
    bottom->addWidget(mAccept);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(makeChoice());
    layout->addLayout(run);
    layout->addWidget(mTabs, 1);
    layout->addWidget(mMessages);
    layout->addLayout(bottom);

    connect(load, &QPushButton::clicked, this, &CalibrationDialog::loadSurvey);
    connect(mFit, &QPushButton::clicked, this, &CalibrationDialog::fit);
    connect(mStop, &QPushButton::clicked, this, &CalibrationDialog::stop);
    connect(mAccept, &QPushButton::clicked, this, &CalibrationDialog::acceptFit);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(mMeasurements->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit targetChosen(mSession.measurementTarget(sourceRow(*mMeasurements, current), mDoc));
            });
    connect(mUnknowns->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit targetChosen(mSession.unknownTarget(sourceRow(*mUnknowns, current), mDoc));
            });
    mSurveyName->setText(QString::fromStdString(mSession.surveySummary()));
    resize(1120, 700);
    updateControls();
}

CalibrationDialog::~CalibrationDialog() { waitForWorker(); }

QWidget* CalibrationDialog::makeChoice()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    mWhat = new QButtonGroup(box);
    const QString choices[] = {tr("Every normal road's resistance"), tr("One factor per group, by name prefix:"),
                               tr("These terms:")};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(choices[i], box);
        radio->setObjectName(QStringLiteral("fit%1").arg(i));
        mWhat->addButton(radio, i);
        grid->addWidget(radio, i, 0);
    }
    mWhat->button(0)->setChecked(true);
    mPrefixes = new QLineEdit(box);
    mPrefixes->setPlaceholderText(tr("MAIN, DEV"));
    mPrefixes->setToolTip(tr("The roads whose names start with each prefix share one factor"));
    mWritten = new QLineEdit(box);
    mWritten->setPlaceholderText(tr("roads:1-2,3-4; group:5-6,6-7"));
    mWritten->setToolTip(tr("roads, roads:A-B,…, groups:PREFIX,…, group:A-B,…, fans, fans:A-B; joined by ;"));
    grid->addWidget(mPrefixes, 1, 1);
    grid->addWidget(mWritten, 2, 1);
    mFans = new QCheckBox(tr("Fan pressure offsets"), box);
    mFans->setToolTip(tr("Also fit an offset added to every fan's curve"));
    mPrior = new QDoubleSpinBox(box);
    mPrior->setRange(1, 1000);
    mPrior->setDecimals(0);
    mPrior->setValue(defaultFitTerms().priorPercent);
    mPrior->setSuffix(" %");
    mPrior->setToolTip(tr("How far a value may stray from its start: its prior's relative standard uncertainty"));
    grid->addWidget(mFans, 0, 2);
    auto* prior = new QHBoxLayout;
    prior->addWidget(new QLabel(tr("Prior:"), box));
    prior->addWidget(mPrior);
    grid->addLayout(prior, 1, 2);
    grid->setColumnStretch(1, 1);
    // Each text belongs to its choice.
    const auto follow = [this] {
        mPrefixes->setEnabled(mWhat->checkedId() == int(FitWhat::Groups));
        mWritten->setEnabled(mWhat->checkedId() == int(FitWhat::Written));
    };
    connect(mWhat, &QButtonGroup::idClicked, this, follow);
    follow();
    return box;
}

void CalibrationDialog::waitForWorker()
{
    mStopFlag = true;
    if (mWorker.joinable())
        mWorker.join();
}

FitChoice CalibrationDialog::choice() const
{
    FitChoice c;
    c.what = FitWhat(mWhat->checkedId());
    c.prefixes = mPrefixes->text().toStdString();
    c.written = mWritten->text().toStdString();
    c.fanOffsets = mFans->isChecked();
    c.priorPercent = mPrior->value();
    return c;
}

void CalibrationDialog::loadSurvey()
{
    const std::string folder = mDoc.baseName.substr(0, mDoc.baseName.find_last_of('/') + 1);
    const std::optional<std::string> path = mFiles.surveyFile(this, folder);
    if (!path)
        return;
    std::string error;
    if (!mSession.loadSurvey(*path, error)) {
        mReporter.message(error, kCalibrationCaption, MessageKind::Error);
        return;
    }
    mSurveyName->setText(QString::fromStdString(mSession.surveySummary()));
    // A fit of the survey before is gone, and its colours with it.
    if (mSession.state() == CalibrationSession::State::Idle)
        emit residualsCleared();
    showResult();
    say(mSession.surveyMessages());
}

void CalibrationDialog::fit()
{
    if (!mSession.fitEnabled())
        return;
    if (mDoc.analysisRunning != 0) {
        say({{"The window's own run is not over yet: fit when it is.", MessageKind::Warning}});
        return;
    }
    FitTerms terms;
    std::string error;
    if (!fitTermsOf(choice(), terms, error)) {
        say({{error, MessageKind::Error}});
        return;
    }
    // The copy is made here, where nothing edits the network meanwhile.
    mCopy = std::make_unique<CBriscoDoc>(mDoc, *mCopyReporter);
    mStopFlag = false;
    mSession.started(mDoc);
    emit residualsCleared();
    showResult();
    mBusy->setRange(0, 0);
    say({{"Fitting…", MessageKind::Information}});
    mWorker = std::thread([this, survey = mSession.survey(), terms] {
        auto result = std::make_shared<CalibrationResult>(calibrate(*mCopy, survey, terms, &mStopFlag));
        QMetaObject::invokeMethod(this, [this, result] { finishFit(result); }, Qt::QueuedConnection);
    });
    updateControls();
}

void CalibrationDialog::stop()
{
    if (mSession.stopEnabled()) {
        mStopFlag = true;
        say({{"Stopping…", MessageKind::Information}});
    }
}

void CalibrationDialog::finishFit(const std::shared_ptr<CalibrationResult>& result)
{
    if (mWorker.joinable())
        mWorker.join();
    mCopy.reset();
    mSession.finished(std::move(*result));
    mBusy->setRange(0, 1);
    mBusy->setValue(1);
    showResult();
    std::vector<CalibrationMessage> messages = mSession.resultMessages();
    for (const CalibrationMessage& m : mSession.surveyMessages())
        messages.push_back(m);
    say(messages);
    if (mSession.result().error.empty())
        emit residualsShown(mSession.residualByRoad(mDoc));
    emit fitFinished();
}

void CalibrationDialog::showResult()
{
    mMeasurementModel->setTable(mSession.measurementTable(mDoc.app().units));
    mUnknownModel->setTable(mSession.unknownTable());
    mMeasurements->resizeColumnsToContents();
    mUnknowns->resizeColumnsToContents();
    updateControls();
}

void CalibrationDialog::acceptFit()
{
    std::string why;
    if (!mSession.accept(mDoc, mDocument, why)) {
        say({{why, MessageKind::Warning}});
        return;
    }
    say({{"The fitted values are in the network: Undo takes them back; nothing is saved until you save.",
          MessageKind::Information}});
    updateControls();
}

void CalibrationDialog::networkEdited()
{
    if (mSession.state() == CalibrationSession::State::Done && mSession.networkChanged(mDoc)) {
        emit residualsCleared();
        say({{"The network has changed since the fit: fit again to accept or colour it.", MessageKind::Warning}});
    }
    updateControls();
}

void CalibrationDialog::closeEvent(QCloseEvent* event)
{
    stop();
    emit closed();
    QDialog::closeEvent(event);
}

void CalibrationDialog::updateControls()
{
    mFit->setEnabled(mSession.fitEnabled());
    mStop->setEnabled(mSession.stopEnabled());
    mAccept->setEnabled(mSession.acceptEnabled(mDoc));
}

void CalibrationDialog::say(const std::vector<CalibrationMessage>& messages)
{
    // Warnings and errors in red, the rest plain.
    mMessages->clear();
    for (const CalibrationMessage& m : messages) {
        const QString text = QString::fromStdString(m.text).toHtmlEscaped();
        mMessages->appendHtml(m.kind == MessageKind::Information ? text
                                                                 : QStringLiteral("<span style=\"color:#b00020\">%1</span>").arg(text));
    }
    mMessages->moveCursor(QTextCursor::Start);
}

}  // namespace orvex::gui
