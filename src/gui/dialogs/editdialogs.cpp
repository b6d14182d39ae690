#include "dialogs/editdialogs.h"
#include "dialogs/numbertext.h"

#include <QApplication>
#include <QCheckBox>
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
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>

#include "dialogs/fandialog.h"
#include "dialogs/parametersdialog.h"
#include "view/qpaintercanvas.h"

namespace orvex::gui {

namespace {

// A value the dialog works out rather than one it was given: six significant
// digits, as many as a float holds, so 0.3 less 0.1 reads 0.2.
QString workedOutText(float value)
{
    const QString shown = QString::number(double(value), 'g', 6);
    return shown.contains('e') ? numberText(value) : shown;
}

// Read-only fields are drawn on the window's colour and are passed over by
// the Tab key, so the person sees at once which fields take a value.
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

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

// "surface" and "underground", one of them checked.
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

// Runs one of the value dialogs modally; the values change unless it was cancelled.
template <class Dialog, class Values>
DialogResult runModal(QWidget* parent, Reporter& reporter, Values& values)
{
    Dialog dialog(values, reporter, parent);
    const DialogResult result = resultOf(dialog.exec());
    if (result != DialogResult::Cancel)
        values = dialog.values();
    return result;
}

}  // namespace

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

// --- "make new road" --------------------------------------------------------------

NewRoadDialog::NewRoadDialog(const NewRoadValues& values, Reporter& reporter, QWidget* parent)
    : EditDialog("make new road", reporter, parent), mForm(values), mValues(values)
{
    auto* normal = new QRadioButton("normal road");
    normal->setObjectName("normalRoad");
    auto* fixed = new QRadioButton("fixed flow road");
    fixed->setObjectName("fixedFlowRoad");
    (values.fixedFlow ? fixed : normal)->setChecked(true);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(normal);
    kinds->addWidget(fixed);
    kinds->addStretch(1);

    auto* form = numberRows({{std::size_t(Field::Resistance), "resistance", "resistance(*)", values.resistance},
                             {std::size_t(Field::Temperature), "temperature", "temperature3 (C)", values.temperature},
                             {std::size_t(Field::Length), "length", "length (m)", values.length},
                             {std::size_t(Field::Area), "area", "area (m2)", values.area},
                             {std::size_t(Field::Conductivity), "conductivity", "heat conductivity (kcal/mhC)",
                              values.conductivity},
                             {std::size_t(Field::Airflow), "airflow", "airflow(m3/min)", values.airflow}},
                            mFields.data());
    showWritable();

    QPushButton* ok = button("OK", "ok");
    QPushButton* cancel = button("cancel", "cancel");
    addEnterKey("ZZ");
    connect(normal, &QRadioButton::clicked, this, [this] {
        mForm.normalClicked();
        showWritable();
    });
    connect(fixed, &QRadioButton::clicked, this, [this] {
        mForm.fixedClicked();
        showWritable();
    });
    connect(ok, &QPushButton::clicked, this, [this] { okPressed(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(roadEnds(values.first, values.second));
    layout->addLayout(kinds);
    layout->addLayout(form);
    layout->addLayout(buttonRow({ok, cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The focus starts on the kind, so the first Enter goes to the first value.
    enterField(values.fixedFlow ? fixed : normal);
}

DialogResult NewRoadDialog::run(QWidget* parent, Reporter& reporter, NewRoadValues& values)
{
    return runModal<NewRoadDialog>(parent, reporter, values);
}

void NewRoadDialog::showWritable()
{
    for (std::size_t f = 0; f < mFields.size(); ++f)
        setWritable(mFields[f], !mForm.readOnly(Field(f)));
}

void NewRoadDialog::fieldFocused(QLineEdit* field)
{
    for (std::size_t f = 0; f < mFields.size(); ++f)
        if (mFields[f] == field)
            mForm.focusGained(Field(f));
}

void NewRoadDialog::enterPressed()
{
    if (const std::optional<Field> next = mForm.enter())
        enterField(mFields[std::size_t(*next)]);
    else
        okPressed();
}

void NewRoadDialog::okPressed()
{
    NewRoadValues v = mValues;
    v.fixedFlow = mForm.values.fixedFlow;
    const auto read = [this](Field f, float& into) {
        return mForm.readOnly(f) || readNumber(mFields[std::size_t(f)], into);
    };
    if (!read(Field::Resistance, v.resistance) || !read(Field::Temperature, v.temperature) ||
        !read(Field::Length, v.length) || !read(Field::Area, v.area) ||
        !read(Field::Conductivity, v.conductivity) || !read(Field::Airflow, v.airflow))
        return;
    mValues = v;
    accept();
}

// --- "change normal road data" ------------------------------------------------------

RoadDataDialog::RoadDataDialog(const RoadDataValues& values, Reporter& reporter, QWidget* parent)
    : EditDialog("change normal road data", reporter, parent), mValues(values)
{
    auto* form = numberRows({{std::size_t(Field::Resistance), "resistance", "resistance(*)", values.resistance},
                             {std::size_t(Field::Temperature), "temperature", "temperature2 (C)", values.temperature},
                             {std::size_t(Field::Length), "length", "length (m)", values.length},
                             {std::size_t(Field::Area), "area", "area (m2)", values.area},
                             {std::size_t(Field::Conductivity), "conductivity", "heat conductivity (kcal/mhC)",
                              values.conductivity}},
                            mFields.data());

    QPushButton* ok = button("OK", "ok");
    QPushButton* cancel = button("cancel", "cancel");
    QPushButton* location = button("Change a location", "changeLocation");
    addEnterKey("ZZ");
    connect(ok, &QPushButton::clicked, this, [this] { finish(DialogResult::Ok); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(location, &QPushButton::clicked, this,
            [this] { finish(DialogResult::ChangeLocation); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(roadEnds(values.first, values.second));
    layout->addLayout(form);
    layout->addLayout(buttonRow({ok, cancel, location}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    enterField(mFields[std::size_t(Field::Resistance)]);
}

DialogResult RoadDataDialog::run(QWidget* parent, Reporter& reporter, RoadDataValues& values)
{
    return runModal<RoadDataDialog>(parent, reporter, values);
}

void RoadDataDialog::fieldFocused(QLineEdit* field)
{
    for (std::size_t f = 0; f < mFields.size(); ++f)
        if (mFields[f] == field)
            mForm.focusGained(Field(f));
}

void RoadDataDialog::enterPressed()
{
    if (const std::optional<Field> next = mForm.enter())
        enterField(mFields[std::size_t(*next)]);
    else
        finish(DialogResult::Ok);
}

// OK and "Change a location": the five values are taken, then the dialog ends.
void RoadDataDialog::finish(DialogResult result)
{
    RoadDataValues v = mValues;
    const auto field = [this](Field f) { return mFields[std::size_t(f)]; };
    if (!readNumber(field(Field::Resistance), v.resistance) ||
        !readNumber(field(Field::Temperature), v.temperature) ||
        !readNumber(field(Field::Length), v.length) || !readNumber(field(Field::Area), v.area) ||
        !readNumber(field(Field::Conductivity), v.conductivity))
        return;
    mValues = v;
    done(int(result));
}

// --- "change fixed flow road data" ---------------------------------------------------

FixedRoadDialog::FixedRoadDialog(const FixedRoadValues& values, Reporter& reporter,
                                 QWidget* parent)
    : EditDialog("change fixed flow road data", reporter, parent), mValues(values)
{
    mAirflow = numberField("airflow", "airflow(m3/min)");
    showNumber(mAirflow, values.airflow);
    auto* form = new QFormLayout;
    form->addRow("airflow(m3/min)", mAirflow);

    QPushButton* ok = button("OK", "ok");
    ok->setDefault(true);
    QPushButton* cancel = button("cancel", "cancel");
    QPushButton* location = button("change a location", "changeLocation");
    connect(ok, &QPushButton::clicked, this, [this] { finish(DialogResult::Ok); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(location, &QPushButton::clicked, this,
            [this] { finish(DialogResult::ChangeLocation); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(roadEnds(values.first, values.second));
    layout->addLayout(form);
    layout->addLayout(buttonRow({ok, cancel, location}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    enterField(mAirflow);
}

DialogResult FixedRoadDialog::run(QWidget* parent, Reporter& reporter, FixedRoadValues& values)
{
    return runModal<FixedRoadDialog>(parent, reporter, values);
}

void FixedRoadDialog::finish(DialogResult result)
{
    if (readNumber(mAirflow, mValues.airflow))
        done(int(result));
}

// --- "Insert node" -------------------------------------------------------------------

InsertNodeDialog::InsertNodeDialog(const InsertNodeValues& values, Reporter& reporter,
                                   QWidget* parent)
    : EditDialog("Insert node", reporter, parent), mForm(values.resistance, values.length),
      mValues(values)
{
    // Everything but the first part's resistance and length is shown only.
    const auto shown = [this](const char* name, const QString& label, auto value, int digits) {
        QLineEdit* field = numberField(name, label, digits);
        showNumber(field, value);
        setWritable(field, false);
        return field;
    };

    auto* node = new QGroupBox("Node Info");
    auto* nodeForm = new QFormLayout(node);
    nodeForm->addRow("Node number", shown("node", "Node number", values.node, 7));
    nodeForm->addRow("elevation(m)", shown("elevation", "elevation(m)", values.elevation, 12));
    QRadioButton *surface, *underground;
    QHBoxLayout* kinds = kindButtons(surface, underground, values.kind);
    surface->setEnabled(false);
    underground->setEnabled(false);
    nodeForm->addRow(kinds);

    auto* road = new QGroupBox("Road Info");
    auto* roadGrid = new QGridLayout(road);
    roadGrid->addWidget(new QLabel("Node number"), 0, 0);
    roadGrid->addWidget(shown("roadFirst", "Node number", values.roadFirst, 7), 0, 1);
    roadGrid->addWidget(shown("roadSecond", "Node number", values.roadSecond, 7), 0, 2);
    roadGrid->addWidget(new QLabel("resistance(Murgue)"), 1, 0);
    roadGrid->addWidget(
        shown("roadResistance", "resistance(Murgue)", values.resistance, 12), 1, 1, 1, 2);
    roadGrid->addWidget(new QLabel("length(m)"), 2, 0);
    roadGrid->addWidget(shown("roadLength", "length(m)", values.length, 12), 2, 1, 1, 2);
    roadGrid->setColumnStretch(3, 1);

    // The two new roads side by side: first node ----- n ----- second node,
    // each part's values under its dashes.
    mFirstResistance = numberField("firstResistance", "resistance(Murgue)");
    mSecondResistance = numberField("secondResistance", "resistance(Murgue)");
    mFirstLength = numberField("firstLength", "length(m)");
    mSecondLength = numberField("secondLength", "length(m)");
    setWritable(mSecondResistance, false);
    setWritable(mSecondLength, false);
    auto* parts = new QGroupBox("New road info");
    auto* partGrid = new QGridLayout(parts);
    partGrid->addWidget(new QLabel("Node number"), 0, 0);
    partGrid->addWidget(shown("newFirst", "Node number", values.roadFirst, 7), 0, 1);
    partGrid->addWidget(shown("newNode", "Node number", values.node, 7), 0, 3);
    partGrid->addWidget(shown("newSecond", "Node number", values.roadSecond, 7), 0, 5);
    for (int column : {2, 4}) {
        auto* dashes = new QLabel("-----");
        dashes->setAlignment(Qt::AlignCenter);
        partGrid->addWidget(dashes, 0, column);
    }
    partGrid->addWidget(new QLabel("resistance(Murgue)"), 1, 0);
    partGrid->addWidget(mFirstResistance, 1, 2);
    partGrid->addWidget(mSecondResistance, 1, 4);
    partGrid->addWidget(new QLabel("length(m)"), 2, 0);
    partGrid->addWidget(mFirstLength, 2, 2);
    partGrid->addWidget(mSecondLength, 2, 4);
    showResistances();
    showLengths();

    mOk = button("OK", "ok");
    mCancel = button("Cancel", "cancel");
    addEnterKey("?");  // takes Enter and does nothing with it
    connect(mOk, &QPushButton::clicked, this, [this] { okPressed(); });
    connect(mCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(node);
    top->addWidget(road);
    layout->addLayout(top);
    layout->addWidget(parts);
    layout->addLayout(buttonRow({mOk, mCancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(mFirstResistance, mFirstLength);
    setTabOrder(mFirstLength, mOk);
    setTabOrder(mOk, mCancel);
    enterField(mFirstResistance);
}

DialogResult InsertNodeDialog::run(QWidget* parent, Reporter& reporter, InsertNodeValues& values)
{
    return runModal<InsertNodeDialog>(parent, reporter, values);
}

void InsertNodeDialog::showResistances()
{
    showNumber(mFirstResistance, mForm.firstResistance());
    mSecondResistance->setText(workedOutText(mForm.secondResistance()));
}

void InsertNodeDialog::showLengths()
{
    showNumber(mFirstLength, mForm.firstLength());
    mSecondLength->setText(workedOutText(mForm.secondLength()));
}

// Reads one of the first part's fields into the form, which keeps it within
// the road's value; false after refusing a text that is not a number.
bool InsertNodeDialog::take(QLineEdit* field)
{
    std::optional<float> value;
    if (!field->text().trimmed().isEmpty()) {
        float typed = 0;
        if (!readNumber(field, typed))
            return false;
        value = typed;
    }
    if (field == mFirstResistance) {
        mForm.resistanceLeft(value);
        showResistances();
    } else {
        mForm.lengthLeft(value);
        showLengths();
    }
    return true;
}

// A mouse press on OK or Cancel is left to the button: OK takes both
// fields itself, and Cancel leaves without a word.
void InsertNodeDialog::fieldLeft(QLineEdit* field, Qt::FocusReason reason)
{
    if ((field != mFirstResistance && field != mFirstLength) || !isVisible() || field->hasFocus())
        return;
    QWidget* now = focusWidget();
    if (reason == Qt::MouseFocusReason && (now == mOk || now == mCancel))
        return;
    take(field);
}

void InsertNodeDialog::okPressed()
{
    if (!take(mFirstResistance) || !take(mFirstLength))
        return;
    mValues.firstResistance = mForm.firstResistance();
    mValues.firstLength = mForm.firstLength();
    accept();
}

// --- "Choose a symbol" -------------------------------------------------------------------

namespace {

constexpr int kSymbolPicture = 48;  // px, the side of a symbol's picture

// A bending-point symbol as the plan draws it on a road running from left
// to right through the picture's centre: glyph 128 + item of the stroke
// font, its ±64 font units filling the picture.
QPixmap symbolPicture(const StrokeFont* font, int item)
{
    QPixmap picture(kSymbolPicture, kSymbolPicture);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QPainterCanvas canvas(painter);
    const float c = kSymbolPicture / 2.0f;
    canvas.setPen(PenStyle::Solid, 1, rgb(150, 150, 150));
    canvas.moveTo(0, c);
    canvas.lineTo(float(kSymbolPicture), c);
    if (font) {
        StrokeFont::Point points[128];
        const int n = font->glyphPoints(static_cast<unsigned char>(128 + item), points, 128);
        const float k = (kSymbolPicture - 4) / 128.0f;  // px per font unit
        canvas.setPen(PenStyle::Solid, 1, rgb(0, 0, 0));
        for (int p = 0; p < n; ++p) {
            const float x = c + k * float(points[p].x), y = c - k * float(points[p].y);
            if (points[p].pen == 0)
                canvas.moveTo(x, y);
            else
                canvas.lineTo(x, y);
        }
    }
    canvas.flush();
    return picture;
}

}  // namespace

SymbolDialog::SymbolDialog(const StrokeFont* font, QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Choose a symbol");
    auto* grid = new QGridLayout;
    mItems[kSymbolLine] = new QRadioButton("Line");
    mItems[kSymbolLine]->setObjectName("line");
    mItems[kSymbolNoLine] = new QRadioButton("No line");
    mItems[kSymbolNoLine]->setObjectName("noLine");
    grid->addWidget(mItems[kSymbolLine], 0, 0, 1, 2);
    grid->addWidget(mItems[kSymbolNoLine], 0, 2, 1, 2);
    for (int item = 2; item < kSymbolItems; ++item) {
        auto* picture = new QLabel;
        picture->setObjectName(QString("picture%1").arg(item));
        picture->setPixmap(symbolPicture(font, item));
        picture->setFrameShape(QFrame::Box);
        auto* choice = new QRadioButton;
        choice->setObjectName(QString("symbol%1").arg(item));
        choice->setAccessibleName(QString("symbol %1").arg(item - 1));
        mItems[std::size_t(item)] = choice;
        grid->addWidget(picture, 1, item - 2, Qt::AlignCenter);
        grid->addWidget(choice, 2, item - 2, Qt::AlignCenter);
    }
    mItems[kSymbolLine]->setChecked(true);

    QPushButton* ok = button("OK", "ok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttonRow({ok}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    mItems[kSymbolLine]->setFocus();
}

int SymbolDialog::item() const
{
    for (std::size_t i = 0; i < mItems.size(); ++i)
        if (mItems[i]->isChecked())
            return int(i);
    return kSymbolLine;
}

int SymbolDialog::run(QWidget* parent, const StrokeFont* font)
{
    SymbolDialog dialog(font, parent);
    dialog.exec();
    return dialog.item();
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
