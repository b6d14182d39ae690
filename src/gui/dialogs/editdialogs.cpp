#include "dialogs/editdialogs.h"
#include "dialogs/numbertext.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <optional>

#include "dialogs/dialogparts.h"
#include "dialogs/fandialog.h"

namespace orvex::gui {

namespace dialogparts {

void setWritable(QLineEdit* field, bool writable)
{
    field->setReadOnly(!writable);
    field->setFocusPolicy(writable ? Qt::StrongFocus : Qt::ClickFocus);
    QPalette palette = QApplication::palette(field);
    if (!writable)
        palette.setBrush(QPalette::Base, palette.window());
    field->setPalette(palette);
}

QPushButton* button(const QString& text, const char* name)
{
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    return b;
}

QDialogButtonBox* okCancelButtons()
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setText("Cancel");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    return buttons;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

QHBoxLayout* kindButtons(QRadioButton*& surface, QRadioButton*& underground, NodeKind kind)
{
    surface = new QRadioButton("surface");
    surface->setObjectName("surface");
    underground = new QRadioButton("underground");
    underground->setObjectName("underground");
    (kind == NodeKind::Surface ? surface : underground)->setChecked(true);
    auto* row = new QHBoxLayout;
    row->addWidget(surface);
    row->addWidget(underground);
    row->addStretch(1);
    return row;
}

DialogResult resultOf(int code)
{
    if (code == QDialog::Accepted)
        return DialogResult::Ok;
    if (code == int(DialogResult::ChangeLocation))
        return DialogResult::ChangeLocation;
    return DialogResult::Cancel;
}

}  // namespace dialogparts

using namespace dialogparts;

// --- what the dialogs share ---------------------------------------------------------

EditDialog::EditDialog(const QString& title, Reporter& reporter, QWidget* parent)
    : QDialog(parent), mReporter(reporter)
{
    setWindowTitle(title);
}

EditDialog::~EditDialog() = default;

QLineEdit* EditDialog::numberField(const char* name, const QString& label, int digits)
{
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setProperty("label", label);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(digits, '0')));
    field->installEventFilter(this);
    return field;
}

QFormLayout* EditDialog::numberRows(std::initializer_list<NumberRow> rows, QLineEdit** fields)
{
    auto* form = new QFormLayout;
    for (const NumberRow& row : rows) {
        QLineEdit* field = numberField(row.name, row.label);
        showNumber(field, row.value);
        fields[row.index] = field;
        form->addRow(row.label, field);
    }
    return form;
}

void EditDialog::showNumber(QLineEdit* field, float value)
{
    const QString text = numberText(value);
    field->setProperty("shownText", text);
    field->setProperty("shownValue", value);
    field->setText(text);
}

void EditDialog::showNumber(QLineEdit* field, int value) { field->setText(QString::number(value)); }

bool EditDialog::readNumber(QLineEdit* field, float& into)
{
    if (field->text() == field->property("shownText").toString()) {
        into = field->property("shownValue").toFloat();
        return true;
    }
    const std::optional<float> value = floatOf(field->text());
    if (!value) {
        refuse(field, notANumberMessage(field->property("label").toString().toStdString(), false));
        return false;
    }
    into = *value;
    return true;
}

bool EditDialog::readNumber(QLineEdit* field, int& into)
{
    const std::optional<int> value = wholeNumberOf(field->text());
    if (!value) {
        refuse(field, notANumberMessage(field->property("label").toString().toStdString(), true));
        return false;
    }
    into = *value;
    return true;
}

QGroupBox* EditDialog::roadEnds(int first, int second)
{
    auto* group = new QGroupBox("node number");
    auto* row = new QHBoxLayout(group);
    for (const auto& [name, number] : {std::pair{"first", first}, std::pair{"second", second}}) {
        QLineEdit* field = numberField(name, "node number", 7);
        showNumber(field, number);
        setWritable(field, false);
        row->addWidget(field);
    }
    row->addStretch(1);
    return group;
}

void EditDialog::refuse(QLineEdit* field, const std::string& text)
{
    mReporter.message(text, kViewCaption, MessageKind::Warning);
    enterField(field);
}

void EditDialog::enterField(QWidget* widget)
{
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* field = qobject_cast<QLineEdit*>(widget))
        field->selectAll();
}

// "ZZ" is never seen and never takes the focus; keyPressEvent presses it.
void EditDialog::addEnterKey(const QString& text)
{
    mEnterKey = new QPushButton(text, this);
    mEnterKey->setObjectName("enterKey");
    mEnterKey->setFocusPolicy(Qt::NoFocus);
    mEnterKey->setDefault(true);
    mEnterKey->hide();
    connect(mEnterKey, &QPushButton::clicked, this, [this] { enterPressed(); });
}

// Leaving a field is handled once the focus has settled, so that the
// handler knows where it went. Losing the focus to another window (a
// message box among them) is not leaving, nor is a move the dialog made
// itself (a refusal putting the person back in a field).
bool EditDialog::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field && event->type() == QEvent::FocusIn) {
        fieldFocused(field);
    } else if (field && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::OtherFocusReason)
            QMetaObject::invokeMethod(
                this, [this, field, reason] { fieldLeft(field, reason); }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

// A field, a radio button or a check box passes Enter on to the dialog;
// QDialog would press only a visible default button, so the hidden one is
// pressed here. A visible button with the focus takes Enter itself.
void EditDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (mEnterKey && enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        mEnterKey->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

// --- "Make new node" --------------------------------------------------------------

NewNodeDialog::NewNodeDialog(const NewNodeValues& values, Reporter& reporter, QWidget* parent)
    : EditDialog("Make new node", reporter, parent), mForm(values.kind), mValues(values)
{
    mNumber = numberField("number", "node number");
    mElevation = numberField("elevation", "elevation");
    showNumber(mNumber, values.number);
    showNumber(mElevation, values.elevation);
    auto* form = new QFormLayout;
    form->addRow("node number", mNumber);
    form->addRow("elevation", mElevation);
    QHBoxLayout* kinds = kindButtons(mSurface, mUnderground, values.kind);
    mInsert = new QCheckBox("Insert to a road");
    mInsert->setObjectName("insertToRoad");
    mInsert->setChecked(values.insertToRoad);
    QPushButton* ok = button("OK", "ok");
    QPushButton* cancel = button("cancel", "cancel");
    addEnterKey("ZZ");

    connect(mSurface, &QRadioButton::clicked, this, [this] { mForm.kindClicked(NodeKind::Surface); });
    connect(mUnderground, &QRadioButton::clicked, this,
            [this] { mForm.kindClicked(NodeKind::Underground); });
    connect(ok, &QPushButton::clicked, this, [this] { okPressed(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(kinds);
    layout->addWidget(mInsert);
    layout->addLayout(buttonRow({ok, cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    enterField(mNumber);
}

DialogResult NewNodeDialog::run(QWidget* parent, Reporter& reporter, NewNodeValues& values)
{
    return runModal<NewNodeDialog>(parent, reporter, values);
}

void NewNodeDialog::fieldFocused(QLineEdit* field)
{
    if (field == mNumber)
        mForm.focusGained(NewNodeForm::Field::Number);
    else if (field == mElevation)
        mForm.focusGained(NewNodeForm::Field::Elevation);
}

void NewNodeDialog::enterPressed()
{
    const std::optional<NewNodeForm::Field> next = mForm.enter();
    if (!next) {
        okPressed();
        return;
    }
    switch (*next) {
    case NewNodeForm::Field::Number: enterField(mNumber); break;
    case NewNodeForm::Field::Elevation: enterField(mElevation); break;
    case NewNodeForm::Field::Surface: enterField(mSurface); break;
    case NewNodeForm::Field::Underground: enterField(mUnderground); break;
    case NewNodeForm::Field::InsertToRoad: enterField(mInsert); break;
    }
}

void NewNodeDialog::okPressed()
{
    NewNodeValues v = mValues;
    if (!readNumber(mNumber, v.number) || !readNumber(mElevation, v.elevation))
        return;
    v.kind = mForm.kind();
    v.insertToRoad = mInsert->isChecked();
    mValues = v;
    accept();
}

// --- "change node data" ------------------------------------------------------------

NodeDataDialog::NodeDataDialog(const NodeDataValues& values, Reporter& reporter, QWidget* parent)
    : EditDialog("change node data", reporter, parent), mValues(values)
{
    QLineEdit* number = numberField("number", "node number");
    showNumber(number, values.number);
    setWritable(number, false);
    mElevation = numberField("elevation", "elevation");
    showNumber(mElevation, values.elevation);
    auto* form = new QFormLayout;
    form->addRow("node number", number);
    form->addRow("elevation", mElevation);
    QRadioButton *surface, *underground;
    QHBoxLayout* kinds = kindButtons(surface, underground, values.kind);
    surface->setEnabled(false);
    underground->setEnabled(false);
    QPushButton* ok = button("OK", "ok");
    QPushButton* cancel = button("cancel", "cancel");
    addEnterKey("ZZ");
    connect(ok, &QPushButton::clicked, this, [this] { okPressed(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(kinds);
    layout->addLayout(buttonRow({ok, cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    enterField(mElevation);
}

DialogResult NodeDataDialog::run(QWidget* parent, Reporter& reporter, NodeDataValues& values)
{
    return runModal<NodeDataDialog>(parent, reporter, values);
}

void NodeDataDialog::okPressed()
{
    if (readNumber(mElevation, mValues.elevation))
        accept();
}

// --- the editor's dialogs ------------------------------------------------------------------

QtEditDialogs::QtEditDialogs(QWidget* parent, Reporter& reporter, const StrokeFont* symbolFont)
    : mParent(parent), mReporter(reporter), mSymbolFont(symbolFont)
{
}

DialogResult QtEditDialogs::makeNode(NewNodeValues& values)
{
    return NewNodeDialog::run(mParent, mReporter, values);
}

DialogResult QtEditDialogs::changeNode(NodeDataValues& values)
{
    return NodeDataDialog::run(mParent, mReporter, values);
}

DialogResult QtEditDialogs::makeRoad(NewRoadValues& values)
{
    return NewRoadDialog::run(mParent, mReporter, values);
}

DialogResult QtEditDialogs::changeNormalRoad(RoadDataValues& values)
{
    return RoadDataDialog::run(mParent, mReporter, values);
}

DialogResult QtEditDialogs::changeFixedRoad(FixedRoadValues& values)
{
    return FixedRoadDialog::run(mParent, mReporter, values);
}

DialogResult QtEditDialogs::insertNode(InsertNodeValues& values)
{
    return InsertNodeDialog::run(mParent, mReporter, values);
}

int QtEditDialogs::chooseSymbol() { return SymbolDialog::run(mParent, mSymbolFont); }

DialogResult QtEditDialogs::makeFan(int inlet, int outlet, FanCurve& curve)
{
    return FanDialog::run(mParent, mReporter, true, inlet, outlet, curve);
}

DialogResult QtEditDialogs::changeFan(int inlet, int outlet, FanCurve& curve)
{
    return FanDialog::run(mParent, mReporter, false, inlet, outlet, curve);
}

}  // namespace orvex::gui
