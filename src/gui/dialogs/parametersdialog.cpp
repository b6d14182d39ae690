#include "dialogs/parametersdialog.h"
#include "dialogs/numbertext.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>

namespace orvex::gui {

struct ParametersDialog::Impl {
    CBriscoDoc& doc;
    Reporter& reporter;
    ParameterValues given;  // what the fields were filled with
    bool documentChanged = false;  // OK stored a value of the network's that differs

    QLineEdit* frontDisplayStep = nullptr;
    QLineEdit* fireNode = nullptr;
    QLineEdit* fireTemperature = nullptr;
    QLineEdit* fireTimeStep = nullptr;
    QLineEdit* finishTime = nullptr;
    QLineEdit* gasLimit = nullptr;
    QLineEdit* maxIteration = nullptr;
    QLineEdit* surfaceTemperature = nullptr;
    QLineEdit* solverError = nullptr;
    QLineEdit* relaxation = nullptr;
    QComboBox* method = nullptr;  // how the solver finds the pressures

    Impl(CBriscoDoc& document, Reporter& r) : doc(document), reporter(r) {}

    static QLineEdit* addField(QFormLayout* form, const char* name, const char* label, const QString& text);
    QFormLayout* fireForm();
    QFormLayout* solverForm();

    void refuse(QLineEdit* field, const std::string& text)
    {
        reporter.message(text, kViewCaption, MessageKind::Warning);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }

    // A float field. Left as it was shown, it hands back the value it was
    // filled with, so OK without edits changes nothing.
    bool number(QLineEdit* field, float given, float& into, const std::string& refusal)
    {
        if (field->text() == numberText(given)) {
            into = given;
            return true;
        }
        const std::optional<float> value = floatOf(field->text());
        if (!value) {
            refuse(field, refusal);
            return false;
        }
        into = *value;
        return true;
    }

    bool wholeNumber(QLineEdit* field, int& into, const std::string& refusal)
    {
        const std::optional<int> value = wholeNumberOf(field->text());
        if (!value) {
            refuse(field, refusal);
            return false;
        }
        into = *value;
        return true;
    }

    static std::string labelOf(const QLineEdit* field)
    {
        return field->property("label").toString().toStdString();
    }

    bool read(ParameterValues& v);
};

// Reads and checks the fields in the order they are shown; false after the
// first refusal.
bool ParametersDialog::Impl::read(ParameterValues& v)
{
    const auto plain = [this](QLineEdit* field, float given, float& into) {
        return number(field, given, into, notANumberMessage(labelOf(field), false));
    };
    if (!plain(frontDisplayStep, given.frontDisplayStep, v.frontDisplayStep) ||
        !wholeNumber(fireNode, v.fireNode, notANumberMessage(labelOf(fireNode), true)) ||
        !plain(fireTemperature, given.fireTemperature, v.fireTemperature) ||
        !plain(fireTimeStep, given.fireTimeStep, v.fireTimeStep) ||
        !plain(finishTime, given.finishTime, v.finishTime) ||
        !plain(gasLimit, given.gasLimit, v.gasLimit))
        return false;
    if (!wholeNumber(maxIteration, v.maxIteration, kIterationRange))
        return false;
    if (!iterationsAcceptable(v.maxIteration)) {
        refuse(maxIteration, kIterationRange);
        return false;
    }
    if (!plain(surfaceTemperature, given.surfaceTemperature, v.surfaceTemperature))
        return false;
    if (!number(solverError, given.solverError, v.solverError, kSolverErrorRange))
        return false;
    if (!solverErrorAcceptable(v.solverError)) {
        refuse(solverError, kSolverErrorRange);
        return false;
    }
    return plain(relaxation, given.relaxation, v.relaxation);
}

QLineEdit* ParametersDialog::Impl::addField(QFormLayout* form, const char* name, const char* label,
                                            const QString& text)
{
    auto* field = new QLineEdit(text);
    field->setObjectName(name);
    field->setProperty("label", QString(label));
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(12, '0')));
    form->addRow(label, field);
    return field;
}

QFormLayout* ParametersDialog::Impl::fireForm()
{
    const ParameterValues& g = given;
    auto* form = new QFormLayout;
    frontDisplayStep =
        addField(form, "frontDisplayStep", "front display step (min)", numberText(g.frontDisplayStep));
    fireNode = addField(form, "fireNode", "fire node number", QString::number(g.fireNode));
    fireTemperature =
        addField(form, "fireTemperature", "fire temperature1", numberText(g.fireTemperature));
    fireTimeStep = addField(form, "fireTimeStep", "fire time step", numberText(g.fireTimeStep));
    finishTime = addField(form, "finishTime", "finish time (min)", numberText(g.finishTime));
    gasLimit = addField(form, "gasConcentration", "gas concentration", numberText(g.gasLimit));
    return form;
}

QFormLayout* ParametersDialog::Impl::solverForm()
{
    const ParameterValues& g = given;
    auto* form = new QFormLayout;
    maxIteration = addField(form, "maxIteration", "maximum iteration", QString::number(g.maxIteration));
    surfaceTemperature =
        addField(form, "surfaceTemperature", "Surface temp", numberText(g.surfaceTemperature));
    solverError = addField(form, "solverError", "error", numberText(g.solverError));
    relaxation = addField(form, "relaxation", "Acc", numberText(g.relaxation));
    // The relaxation corrects node after node; Newton solves the whole
    // network at once, in a few iterations (large, stiff and water networks).
    method = new QComboBox;
    method->setObjectName("method");
    method->addItems({"relaxation", "Newton"});
    method->setCurrentIndex(g.method == SolverMethod::Newton ? 1 : 0);
    method->setToolTip("relaxation: node by node, the analysis dialog's iteration lines as ever\n"
                       "Newton: the whole network at once, in about ten iterations");
    form->addRow("method", method);
    return form;
}

ParametersDialog::ParametersDialog(CBriscoDoc& doc, Reporter& reporter, QWidget* parent)
    : QDialog(parent), d(new Impl(doc, reporter))
{
    setWindowTitle("parameters");

    d->given = parametersOf(doc);

    // The fire simulation's values on the left, the network's and the
    // solver's on the right.
    auto* fireForm = d->fireForm();
    auto* solverForm = d->solverForm();
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    auto* columns = new QHBoxLayout;
    columns->addLayout(fireForm);
    columns->addSpacing(8);
    columns->addWidget(divider);
    columns->addSpacing(8);
    columns->addLayout(solverForm);
    solverForm->setAlignment(Qt::AlignTop);

    auto* ok = new QPushButton("OK");
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancel");
    connect(ok, &QPushButton::clicked, this, [this] {
        ParameterValues values = d->given;
        if (!d->read(values))
            return;
        values.method = d->method->currentIndex() == 1 ? SolverMethod::Newton : SolverMethod::Relaxation;
        d->documentChanged = storeParameters(d->doc, values);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addSpacing(6);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    d->frontDisplayStep->setFocus(Qt::OtherFocusReason);
    d->frontDisplayStep->selectAll();
}

ParametersDialog::~ParametersDialog() = default;

bool ParametersDialog::edit(QWidget* parent, CBriscoDoc& doc, Reporter& reporter, bool* documentChanged)
{
    ParametersDialog dialog(doc, reporter, parent);
    const bool stored = dialog.exec() == QDialog::Accepted;
    if (documentChanged)
        *documentChanged = stored && dialog.d->documentChanged;
    return stored;
}

}  // namespace orvex::gui
