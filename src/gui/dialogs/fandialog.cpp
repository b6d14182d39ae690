#include "dialogs/fandialog.h"
#include "dialogs/numbertext.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>

#include "edit/fancurve.h"

namespace orvex::gui {

namespace {

using Field = FanCurveEntry::Field;
using Step = FanCurveEntry::Step;

QLineEdit* numberField(const QString& name, int digits = 12)
{
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(digits, '0')));
    return field;
}

// A float field and the value it was last given: while the field still
// shows that text the value is taken as it was, to the last bit.
struct Shown {
    QString text;
    float value = 0;
};

}  // namespace

struct FanDialog::Impl {
    FanDialog& dialog;
    Reporter& reporter;
    bool newFan;
    FanCurveEntry entry;

    QLineEdit* inlet = nullptr;
    QLineEdit* outlet = nullptr;
    QLineEdit* flowStep = nullptr;
    QLineEdit* count = nullptr;
    QLabel* pointLabel = nullptr;
    QLineEdit* pressure = nullptr;
    QPushButton* back = nullptr;
    QPushButton* next = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* enterKey = nullptr;
    Shown shownFlowStep, shownPressure;

    Impl(FanDialog& q, Reporter& r, bool isNew, const FanCurve& curve)
        : dialog(q), reporter(r), newFan(isNew),
          entry(isNew ? FanCurveEntry::forNewFan() : FanCurveEntry::forFan(curve))
    {
    }

    QLineEdit* fieldOf(Field field) const
    {
        switch (field) {
        case Field::FlowStep:
            return flowStep;
        case Field::Count:
            return count;
        case Field::Pressure:
            break;
        }
        return pressure;
    }

    QGroupBox* nodesBox(int inletNode, int outletNode);
    QFormLayout* curveForm();
    QGroupBox* pointBox();
    QHBoxLayout* okCancelRow();
    static void enterField(QLineEdit* field)
    {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }

    void refuse(QLineEdit* field, const std::string& text)
    {
        reporter.message(text, kViewCaption, MessageKind::Warning);
        enterField(field);
    }

    static void showNumber(QLineEdit* field, Shown& shown, float value)
    {
        shown = {numberText(value), value};
        field->setText(shown.text);
    }

    // The entry's fields and the point's label, as the entry holds them.
    void showFields()
    {
        showNumber(flowStep, shownFlowStep, entry.flowStepField);
        count->setText(QString::number(entry.countField));
        showNumber(pressure, shownPressure, entry.pressureField);
        pointLabel->setText(QString::fromStdString(entry.label()));
    }

    bool take(bool withPressure);
    void finish(Step step);
    void nextPressed();
    void backPressed();
    void okPressed();
    void enterPressed();
    void countLeft(Qt::FocusReason reason);
};

// Writes the fields as typed into the entry: the airflow step and the
// count, and the pressure for the buttons that store it. A field that does
// not hold a number is refused, in the order the fields are shown.
bool FanDialog::Impl::take(bool withPressure)
{
    const auto read = [this](QLineEdit* field, const Shown& shown, const std::string& refusal,
                             float& into) {
        if (field->text() == shown.text) {
            into = shown.value;
            return true;
        }
        const std::optional<float> value = floatOf(field->text());
        if (!value) {
            refuse(field, refusal);
            return false;
        }
        into = *value;
        return true;
    };

    if (!read(flowStep, shownFlowStep, kFanFlowStepNotANumber, entry.flowStepField))
        return false;
    const std::optional<int> points = wholeNumberOf(count->text());
    if (!points) {
        refuse(count, newFan ? FanCurveEntry::countMessage() : kFanCountNotANumber);
        return false;
    }
    entry.countField = *points;
    return !withPressure ||
           read(pressure, shownPressure, kFanPressureNotANumber, entry.pressureField);
}

// After a button that took the fields: stay with the fields shown again,
// close with OK, or send the person back to a refused count.
void FanDialog::Impl::finish(Step step)
{
    switch (step) {
    case Step::Stay:
        showFields();
        break;
    case Step::Accept:
        dialog.accept();
        break;
    case Step::Refused:
        refuse(count, FanCurveEntry::countMessage());
        break;
    }
}

void FanDialog::Impl::nextPressed()
{
    if (!take(true))
        return;
    const Step step = entry.next();
    finish(step);
    if (step == Step::Stay)
        enterField(pressure);
}

void FanDialog::Impl::backPressed()
{
    if (entry.current() < 1)  // on the first point "back" does nothing
        return;
    if (take(true))
        finish(entry.back());
}

void FanDialog::Impl::okPressed()
{
    if (take(true))
        finish(entry.ok());
}

// The hidden default button: from the airflow step on to the count, from
// the count on to the pressure, from the pressure "next".
void FanDialog::Impl::enterPressed()
{
    const bool actsAsNext = entry.focusState() == int(Field::Pressure);
    if (actsAsNext && !take(true))
        return;
    std::optional<Field> focus;
    const Step step = entry.enter(focus);
    if (focus) {
        enterField(fieldOf(*focus));
        return;
    }
    finish(step);
    if (step == Step::Stay)
        enterField(pressure);
}

// The count field was left. The check waits until the focus has settled:
// a mouse press on a button is left to the button (the buttons take the
// count themselves, and cancel leaves without a word), and losing the
// focus to another window is not leaving.
void FanDialog::Impl::countLeft(Qt::FocusReason reason)
{
    if (!dialog.isVisible() || count->hasFocus())
        return;
    QWidget* now = dialog.focusWidget();
    if (reason == Qt::MouseFocusReason &&
        (now == ok || now == cancel || now == next || now == back))
        return;
    if (!take(false))
        return;
    if (entry.countLeft() == Step::Refused)
        refuse(count, FanCurveEntry::countMessage());
    else
        count->setText(QString::number(entry.countField));  // "change fan data" keeps 0..30
}

// The fan's two ends, shown only.
QGroupBox* FanDialog::Impl::nodesBox(int inletNode, int outletNode)
{
    inlet = numberField("inlet", 7);
    outlet = numberField("outlet", 7);
    for (QLineEdit* node : {inlet, outlet}) {
        node->setReadOnly(true);
        node->setFocusPolicy(Qt::ClickFocus);
    }
    inlet->setText(QString::number(inletNode));
    outlet->setText(QString::number(outletNode));
    auto* nodes = new QGroupBox("node number");
    auto* nodeRow = new QHBoxLayout(nodes);
    nodeRow->addWidget(inlet);
    nodeRow->addWidget(new QLabel("to"));
    nodeRow->addWidget(outlet);
    nodeRow->addStretch(1);
    return nodes;
}

// The curve's spacing and length.
QFormLayout* FanDialog::Impl::curveForm()
{
    flowStep = numberField("flowStep");
    count = numberField("count");
    auto* form = new QFormLayout;
    form->addRow("airflow unit (*)", flowStep);
    form->addRow("number of datas (max : 30)", count);
    return form;
}

// The point being entered, with the buttons that move between points.
QGroupBox* FanDialog::Impl::pointBox()
{
    pointLabel = new QLabel;
    pointLabel->setObjectName("pointLabel");
    pointLabel->setMinimumWidth(
        pointLabel->fontMetrics().horizontalAdvance("Pressure(*) at 00000 air flow (30/30)"));
    pressure = numberField("pressure");
    pointLabel->setBuddy(pressure);
    back = new QPushButton("back");
    back->setObjectName("back");
    next = new QPushButton("next");
    next->setObjectName("next");
    auto* point = new QGroupBox;
    auto* pointGrid = new QGridLayout(point);
    pointGrid->addWidget(pointLabel, 0, 0, 1, 4);
    pointGrid->addWidget(pressure, 1, 0);
    pointGrid->setColumnStretch(1, 1);
    pointGrid->addWidget(back, 1, 2);
    pointGrid->addWidget(next, 1, 3);
    return point;
}

QHBoxLayout* FanDialog::Impl::okCancelRow()
{
    ok = new QPushButton("OK");
    ok->setObjectName("ok");
    cancel = new QPushButton("cancel");
    cancel->setObjectName("cancel");
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    return bottom;
}

FanDialog::FanDialog(bool newFan, int inlet, int outlet, const FanCurve& curve,
                     Reporter& reporter, QWidget* parent)
    : QDialog(parent), d(new Impl(*this, reporter, newFan, curve))
{
    setWindowTitle(newFan ? "make new fans" : "change fan data");

    auto* nodes = d->nodesBox(inlet, outlet);
    auto* form = d->curveForm();
    auto* point = d->pointBox();
    auto* bottom = d->okCancelRow();

    // "ZZ": never seen; the Enter key presses it (keyPressEvent) whenever
    // the focus is not on one of the visible buttons.
    d->enterKey = new QPushButton("ZZ", this);
    d->enterKey->setObjectName("enterKey");
    d->enterKey->setFocusPolicy(Qt::NoFocus);
    d->enterKey->setDefault(true);
    d->enterKey->hide();

    connect(d->next, &QPushButton::clicked, this, [this] { d->nextPressed(); });
    connect(d->back, &QPushButton::clicked, this, [this] { d->backPressed(); });
    connect(d->ok, &QPushButton::clicked, this, [this] { d->okPressed(); });
    connect(d->cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(d->enterKey, &QPushButton::clicked, this, [this] { d->enterPressed(); });

    for (QLineEdit* field : {d->flowStep, d->count, d->pressure})
        field->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nodes);
    layout->addLayout(form);
    layout->addWidget(point);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Once all of them are in the dialog.
    setTabOrder(d->flowStep, d->count);
    setTabOrder(d->count, d->pressure);
    setTabOrder(d->pressure, d->back);
    setTabOrder(d->back, d->next);
    setTabOrder(d->next, d->ok);
    setTabOrder(d->ok, d->cancel);

    d->showFields();
    Impl::enterField(d->flowStep);
}

FanDialog::~FanDialog() = default;

FanCurve FanDialog::curve() const { return d->entry.result(); }

DialogResult FanDialog::run(QWidget* parent, Reporter& reporter, bool newFan, int inlet,
                            int outlet, FanCurve& curve)
{
    FanDialog dialog(newFan, inlet, outlet, curve, reporter, parent);
    if (dialog.exec() != QDialog::Accepted)
        return DialogResult::Cancel;
    curve = dialog.curve();
    return DialogResult::Ok;
}

// Each of the three fields sets the focus state when it gets the focus;
// the count is taken when its field is left.
bool FanDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == d->flowStep)
            d->entry.focusGained(Field::FlowStep);
        else if (watched == d->count)
            d->entry.focusGained(Field::Count);
        else if (watched == d->pressure)
            d->entry.focusGained(Field::Pressure);
    } else if (watched == d->count && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QMetaObject::invokeMethod(
                this, [this, reason] { d->countLeft(reason); }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

// A field passes Enter on to the dialog; QDialog would press only a visible
// default button, so the hidden one is pressed here. A visible button with
// the focus takes Enter itself and never gets here.
void FanDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        d->enterKey->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace orvex::gui
