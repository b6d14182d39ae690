#include "dialogs/analysisrundialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <initializer_list>

#include "control/viewrun.h"

namespace orvex::gui {

namespace {

const char* const kFanColumns[4] = {"Fan:Node", "Pres", "Vol", "Con"};
constexpr int kFanColumnWidth = 70;

QString text(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

// Where a window whose frame has the given size goes beside an owner window
// (its frame, screen coordinates) on the screen: below it, else above it,
// else to its right or left; when none of these fits on the screen, just
// below inSight, the part of the owner that must stay uncovered.
QPoint besideOwner(const QRect& owner, const QRect& inSight, const QSize& size, const QRect& screen)
{
    constexpr int kGap = 4;
    const QPoint candidates[] = {
        {owner.left(), owner.bottom() + 1 + kGap},
        {owner.left(), owner.top() - kGap - size.height()},
        {owner.right() + 1 + kGap, owner.top()},
        {owner.left() - kGap - size.width(), owner.top()},
    };
    for (const QPoint& p : candidates)
        if (screen.contains(QRect(p, size)))
            return p;
    return {inSight.left(), inSight.bottom() + 1 + kGap};
}

}  // namespace

struct AnalysisRunDialog::Impl {
    QLabel* status = nullptr;
    QLabel* second = nullptr;
    QLabel* method = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* parameter = nullptr;
    QPushButton* start = nullptr;
    QPushButton* close = nullptr;
    QPushButton* update = nullptr;
    QCheckBox* displayData = nullptr;
    QCheckBox* opt1 = nullptr;
    QWidget* lower = nullptr;
    QLabel* diagnostic[2] = {};
    QTableWidget* fans = nullptr;
    RunControls run;

    // The bar shows the controls' range and position.
    void showProgress()
    {
        progress->setRange(run.lower(), run.upper());
        progress->setValue(run.position());
    }

    // The status lines, in a fixed-pitch font, the solver's line and the bar.
    void addLines(QVBoxLayout* layout)
    {
        const QFont mono = QFont("Monospace");
        status = named(new QLabel(" "), "statusLine");
        status->setTextInteractionFlags(Qt::TextSelectableByMouse);
        second = named(new QLabel(" "), "secondLine");
        status->setFont(mono);
        second->setFont(mono);
        method = named(new QLabel(" "), "methodLine");
        progress = named(new QProgressBar, "progress");
        progress->setRange(0, 100);
        progress->setValue(0);
        progress->setTextVisible(false);
        for (QWidget* w : std::initializer_list<QWidget*>{status, second, method, progress})
            layout->addWidget(w);
    }

    void addButtons(QVBoxLayout* layout)
    {
        auto* buttons = new QHBoxLayout;
        parameter = named(new QPushButton("Parameter"), "parameter");
        start = named(new QPushButton("Start"), "start");
        start->setDefault(true);
        close = named(new QPushButton("Close"), "close");
        update = named(new QPushButton("Update"), "update");
        for (QPushButton* b : {parameter, start, close, update}) {
            b->setAutoDefault(b == start);
            buttons->addWidget(b);
        }
        layout->addLayout(buttons);
        // Enter on a dialog just opened starts the run.
        start->setFocus();
    }

    void addChecks(QVBoxLayout* layout, bool displayDataOn, bool opt1On)
    {
        auto* checks = new QHBoxLayout;
        displayData = named(new QCheckBox("Display data"), "displayData");
        displayData->setChecked(displayDataOn);
        opt1 = named(new QCheckBox("Opt1"), "opt1");
        opt1->setChecked(opt1On);
        checks->addWidget(displayData);
        checks->addWidget(opt1);
        checks->addStretch();
        layout->addLayout(checks);
    }

    // The part shown with "Display data": the solver's diagnostics and the fans.
    void addLower(QVBoxLayout* layout, int fanCount)
    {
        lower = new QWidget;
        auto* column = new QVBoxLayout(lower);
        column->setContentsMargins(0, 0, 0, 0);
        diagnostic[0] = named(new QLabel("dPav = "), "diagnostic1");
        diagnostic[1] = named(new QLabel("Pbad = "), "diagnostic2");
        for (QLabel* l : diagnostic) {
            l->setFont(QFont("Monospace"));
            column->addWidget(l);
        }
        fans = named(new QTableWidget(fanCount, 4), "fanList");
        fans->setEditTriggers(QAbstractItemView::NoEditTriggers);
        fans->setSelectionBehavior(QAbstractItemView::SelectRows);
        fans->verticalHeader()->hide();
        fans->verticalHeader()->setDefaultSectionSize(fans->fontMetrics().height() + 4);
        for (int c = 0; c < 4; ++c) {
            fans->setHorizontalHeaderItem(c, new QTableWidgetItem(kFanColumns[c]));
            fans->setColumnWidth(c, kFanColumnWidth);
        }
        fans->horizontalHeader()->setStretchLastSection(true);
        column->addWidget(fans, 1);
        layout->addWidget(lower, 1);
        layout->addStretch();  // takes the room while the lower part is cut off
    }
};

AnalysisRunDialog::AnalysisRunDialog(int fans, bool displayData, bool opt1, QWidget* parent)
    : QDialog(parent), d(std::make_unique<Impl>())
{
    setWindowTitle("Analysis");
    setObjectName("analysisDialog");
    // Nothing else of the program can be used while the dialog is open.
    setWindowModality(Qt::ApplicationModal);
    setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    d->addLines(layout);
    d->addButtons(layout);
    d->addChecks(layout, displayData, opt1);
    d->addLower(layout, fans);

    connect(d->start, &QPushButton::clicked, this, &AnalysisRunDialog::startOrStop);
    connect(d->close, &QPushButton::clicked, this, &QDialog::close);
    connect(d->parameter, &QPushButton::clicked, this, &AnalysisRunDialog::parameterRequested);
    connect(d->update, &QPushButton::clicked, this, &AnalysisRunDialog::updateRequested);
    connect(d->displayData, &QCheckBox::toggled, this, [this](bool on) {
        fitHeight();
        emit displayDataChanged(on);
    });
    connect(d->opt1, &QCheckBox::toggled, this, &AnalysisRunDialog::opt1Changed);

    resize(std::max(sizeHint().width(), 4 * kFanColumnWidth + 60), kAnalysisHeightWithData);
    fitHeight();
}

AnalysisRunDialog::~AnalysisRunDialog() = default;

bool AnalysisRunDialog::running() const { return d->run.running(); }
bool AnalysisRunDialog::displayData() const { return d->displayData->isChecked(); }
bool AnalysisRunDialog::opt1() const { return d->opt1->isChecked(); }

bool AnalysisRunDialog::pause()
{
    QRect lines;
    for (const QWidget* w : {static_cast<QWidget*>(d->status), static_cast<QWidget*>(d->second),
                             static_cast<QWidget*>(d->progress)})
        lines |= QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    return runPauseDialog(this, lines);
}

// The same position and width; the lower part shows only with the data.
void AnalysisRunDialog::fitHeight()
{
    const bool on = d->displayData->isChecked();
    d->lower->setVisible(on);
    const int height = on ? kAnalysisHeightWithData : kAnalysisHeightWithoutData;
    setFixedHeight(height);
}

void AnalysisRunDialog::startOrStop()
{
    if (!d->run.startPressed())  // during a run: Stop
        return;
    dispatchEvents();
    d->run.startRun();
    d->showProgress();
    emit startRequested();
}

void AnalysisRunDialog::closeEvent(QCloseEvent* event)
{
    // The run must end before the dialog can go.
    if (!d->run.mayClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void AnalysisRunDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape presses Start/Stop, the cancel button. Enter presses the
    // button that has the focus, and Start/Stop, the default button, when
    // no button has it.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        QPushButton* pressed = d->start;
        if (key != Qt::Key_Escape)
            if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
                pressed = focused;
        if (pressed->isEnabled())
            pressed->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AnalysisRunDialog::setStatusLine(const std::string& s) { d->status->setText(text(s)); }
void AnalysisRunDialog::setSecondLine(const std::string& s) { d->second->setText(text(s)); }

void AnalysisRunDialog::setDiagnosticLine(int line, const std::string& s)
{
    if (line == 1 || line == 2)
        d->diagnostic[line - 1]->setText(text(s));
}

void AnalysisRunDialog::setFanCell(int row, int column, const std::string& s)
{
    if (row < 0 || row >= d->fans->rowCount() || column < 0 || column >= 4)
        return;
    QTableWidgetItem* item = d->fans->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
        d->fans->setItem(row, column, item);
    }
    item->setText(text(s));
}

void AnalysisRunDialog::setProgressRange(int lower, int upper)
{
    d->run.setRange(lower, upper);
    d->showProgress();
}

void AnalysisRunDialog::setProgressStep(int step) { d->run.setStep(step); }

void AnalysisRunDialog::setProgressPosition(int position)
{
    d->run.setPosition(position);
    d->showProgress();
    dispatchEvents();
}

void AnalysisRunDialog::stepProgress()
{
    d->run.step();
    d->showProgress();
    dispatchEvents();
}

bool AnalysisRunDialog::stopRequested()
{
    dispatchEvents();
    return d->run.takeStop();
}

void AnalysisRunDialog::enableClose(bool enable) { d->close->setEnabled(enable); }

void AnalysisRunDialog::enableRunControls(bool enable)
{
    d->run.setRunControlsEnabled(enable);
    for (QWidget* w : {static_cast<QWidget*>(d->update), static_cast<QWidget*>(d->parameter),
                       static_cast<QWidget*>(d->opt1)})
        w->setEnabled(enable);
}

void AnalysisRunDialog::setStartText(const std::string& s) { d->start->setText(text(s)); }
void AnalysisRunDialog::setCaption(const std::string& s) { setWindowTitle(text(s)); }
void AnalysisRunDialog::setMethodLine(const std::string& s) { d->method->setText(s.empty() ? " " : text(s)); }

void AnalysisRunDialog::clearOpt1()
{
    const QSignalBlocker block(d->opt1);
    d->opt1->setChecked(false);
}

void AnalysisRunDialog::dispatchEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool runPauseDialog(QWidget* parent, const QRect& inSight)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QString());
    dialog.setObjectName("pauseDialog");
    auto* layout = new QHBoxLayout(&dialog);
    auto* box = new QCheckBox("opt1");
    box->setObjectName("pauseOpt1");
    box->setChecked(true);
    auto* go = new QPushButton("Continue");
    go->setObjectName("continue");
    go->setDefault(true);
    layout->addWidget(box);
    layout->addWidget(go);
    QObject::connect(go, &QPushButton::clicked, &dialog, &QDialog::accept);
    if (parent && inSight.isValid()) {
        // Its frame as big as the owner's frame is bigger than the owner.
        const QWidget* owner = parent->window();
        dialog.adjustSize();
        const QSize frame = dialog.size() + (owner->frameGeometry().size() - owner->size());
        dialog.move(besideOwner(owner->frameGeometry(), inSight, frame, owner->screen()->availableGeometry()));
    }
    dialog.exec();
    return box->isChecked();
}

}  // namespace orvex::gui
