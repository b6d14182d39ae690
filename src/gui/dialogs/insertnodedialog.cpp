// "Insert node".
#include "dialogs/editdialogs.h"
#include "dialogs/numbertext.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <optional>

#include "dialogs/dialogparts.h"

namespace orvex::gui {

using namespace dialogparts;

namespace {

// A value the dialog works out rather than one it was given: six significant
// digits, as many as a float holds, so 0.3 less 0.1 reads 0.2.
QString workedOutText(float value)
{
    const QString shown = QString::number(double(value), 'g', 6);
    return shown.contains('e') ? numberText(value) : shown;
}

}  // namespace

// Everything but the first part's resistance and length is shown only.
template <typename Number>
QLineEdit* InsertNodeDialog::shown(const char* name, const QString& label, Number value, int digits)
{
    QLineEdit* field = numberField(name, label, digits);
    showNumber(field, value);
    setWritable(field, false);
    return field;
}

QGroupBox* InsertNodeDialog::nodeBox()
{
    auto* node = new QGroupBox("Node Info");
    auto* nodeForm = new QFormLayout(node);
    nodeForm->addRow("Node number", shown("node", "Node number", mValues.node, 7));
    nodeForm->addRow("elevation(m)", shown("elevation", "elevation(m)", mValues.elevation, 12));
    QRadioButton *surface, *underground;
    QHBoxLayout* kinds = kindButtons(surface, underground, mValues.kind);
    surface->setEnabled(false);
    underground->setEnabled(false);
    nodeForm->addRow(kinds);
    return node;
}

QGroupBox* InsertNodeDialog::roadBox()
{
    auto* road = new QGroupBox("Road Info");
    auto* roadGrid = new QGridLayout(road);
    roadGrid->addWidget(new QLabel("Node number"), 0, 0);
    roadGrid->addWidget(shown("roadFirst", "Node number", mValues.roadFirst, 7), 0, 1);
    roadGrid->addWidget(shown("roadSecond", "Node number", mValues.roadSecond, 7), 0, 2);
    roadGrid->addWidget(new QLabel("resistance(Murgue)"), 1, 0);
    roadGrid->addWidget(
        shown("roadResistance", "resistance(Murgue)", mValues.resistance, 12), 1, 1, 1, 2);
    roadGrid->addWidget(new QLabel("length(m)"), 2, 0);
    roadGrid->addWidget(shown("roadLength", "length(m)", mValues.length, 12), 2, 1, 1, 2);
    roadGrid->setColumnStretch(3, 1);
    return road;
}

// The two new roads side by side: first node ----- n ----- second node,
// each part's values under its dashes.
QGroupBox* InsertNodeDialog::partsBox()
{
    mFirstResistance = numberField("firstResistance", "resistance(Murgue)");
    mSecondResistance = numberField("secondResistance", "resistance(Murgue)");
    mFirstLength = numberField("firstLength", "length(m)");
    mSecondLength = numberField("secondLength", "length(m)");
    setWritable(mSecondResistance, false);
    setWritable(mSecondLength, false);
    auto* parts = new QGroupBox("New road info");
    auto* partGrid = new QGridLayout(parts);
    partGrid->addWidget(new QLabel("Node number"), 0, 0);
    partGrid->addWidget(shown("newFirst", "Node number", mValues.roadFirst, 7), 0, 1);
    partGrid->addWidget(shown("newNode", "Node number", mValues.node, 7), 0, 3);
    partGrid->addWidget(shown("newSecond", "Node number", mValues.roadSecond, 7), 0, 5);
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
    return parts;
}

InsertNodeDialog::InsertNodeDialog(const InsertNodeValues& values, Reporter& reporter,
                                   QWidget* parent)
    : EditDialog("Insert node", reporter, parent), mForm(values.resistance, values.length),
      mValues(values)
{
    auto* node = nodeBox();
    auto* road = roadBox();
    auto* parts = partsBox();

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

}  // namespace orvex::gui
