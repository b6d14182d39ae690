// "make new road", "change normal road data" and "change fixed flow road data".
#include "dialogs/editdialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <optional>

#include "dialogs/dialogparts.h"

namespace orvex::gui {

using namespace dialogparts;

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

}  // namespace orvex::gui
