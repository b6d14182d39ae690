#include "dxfimportdialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogparts.h"

namespace orvex::gui {

// Kept whole: it builds the dialog's widgets top to bottom, in the order
// they show.
DxfImportDialog::DxfImportDialog(const std::vector<std::string>& layers, const exchange::DxfImportOptions& start,
                                 const QString& resistanceUnit, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Import a drawing"));
    auto* layout = new QVBoxLayout(this);

    auto* layerBox = new QGroupBox(tr("Layers whose lines are airways"));
    auto* layerLayout = new QVBoxLayout(layerBox);
    mLayers = new QListWidget;
    mLayers->setObjectName("layers");
    for (const std::string& layer : layers) {
        auto* item = new QListWidgetItem(QString::fromStdString(layer), mLayers);
        const bool chosen = start.layers.empty() ||
                            std::find(start.layers.begin(), start.layers.end(), layer) != start.layers.end();
        item->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
    }
    layerLayout->addWidget(mLayers);
    layout->addWidget(layerBox);

    const exchange::RoadDefaults& d = start.defaults;
    auto* form = new QFormLayout;
    mSnap = number(start.snap, 0.001, 100, 3, "snap");
    form->addRow(tr("Ends closer than (m) are one node"), mSnap);
    mByMetre = new QRadioButton(tr("Resistance per metre (%1/m)").arg(resistanceUnit));
    mByAtkinson = new QRadioButton(tr("Atkinson: R = k·P·L/A³"));
    mByMetre->setObjectName("bymetre");
    mByAtkinson->setObjectName("byatkinson");
    mPerMetre = number(d.resistancePerMetre.value_or(0.0001), 1e-9, 1e6, 7, "permetre");
    mArea = number(d.area, 0.01, 1000, 2, "area");
    mPerimeter = number(d.perimeter, 0.1, 1000, 2, "perimeter");
    mFriction = number(d.frictionFactor, 0.0001, 1, 4, "friction");
    form->addRow(mByMetre, mPerMetre);
    form->addRow(mByAtkinson);
    form->addRow(tr("    Area A (m²)"), mArea);
    form->addRow(tr("    Perimeter P (m)"), mPerimeter);
    form->addRow(tr("    Friction factor k (kg/m³)"), mFriction);
    mTemperature = number(d.temperature, -50, 200, 1, "temperature");
    mConductivity = number(d.conductivity, 0, 100, 2, "conductivity");
    form->addRow(tr("Temperature (°C)"), mTemperature);
    form->addRow(tr("Rock conductivity (kcal/(m·h·°C))"), mConductivity);
    mShiftX = number(start.depthShiftX, -100, 100, 2, "shiftx");
    mShiftY = number(start.depthShiftY, -100, 100, 2, "shifty");
    auto* shift = new QHBoxLayout;
    shift->addWidget(mShiftX);
    shift->addWidget(new QLabel(tr("along X,")));
    shift->addWidget(mShiftY);
    shift->addWidget(new QLabel(tr("along Y")));
    form->addRow(tr("Levels beside one another: m per m of depth"), shift);
    layout->addLayout(form);
    const auto follow = [this] {
        mPerMetre->setEnabled(mByMetre->isChecked());
        for (QDoubleSpinBox* box : {mArea, mPerimeter, mFriction})
            box->setEnabled(mByAtkinson->isChecked());
    };
    connect(mByMetre, &QRadioButton::toggled, this, follow);
    (d.resistancePerMetre ? mByMetre : mByAtkinson)->setChecked(true);
    follow();

    layout->addWidget(new QLabel(tr("Roads can be given their own values afterwards with File > Update from tables.")));
    QDialogButtonBox* buttons = dialogparts::okCancelButtons();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // No layer chosen, nothing to import.
    const auto anyLayer = [this, buttons] {
        bool any = false;
        for (int i = 0; i < mLayers->count(); ++i)
            any = any || mLayers->item(i)->checkState() == Qt::Checked;
        buttons->button(QDialogButtonBox::Ok)->setEnabled(any);
    };
    connect(mLayers, &QListWidget::itemChanged, this, anyLayer);
    anyLayer();
}

QDoubleSpinBox* DxfImportDialog::number(double value, double low, double high, int decimals, const char* name)
{
    auto* box = new QDoubleSpinBox;
    box->setObjectName(name);
    box->setDecimals(decimals);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

exchange::DxfImportOptions DxfImportDialog::options() const
{
    exchange::DxfImportOptions o;
    for (int i = 0; i < mLayers->count(); ++i)
        if (mLayers->item(i)->checkState() == Qt::Checked)
            o.layers.push_back(mLayers->item(i)->text().toStdString());
    o.snap = mSnap->value();
    exchange::RoadDefaults& d = o.defaults;
    if (mByMetre->isChecked())
        d.resistancePerMetre = mPerMetre->value();
    d.area = mArea->value();
    d.perimeter = mPerimeter->value();
    d.frictionFactor = mFriction->value();
    d.temperature = mTemperature->value();
    d.conductivity = mConductivity->value();
    o.depthShiftX = mShiftX->value();
    o.depthShiftY = mShiftY->value();
    return o;
}

}  // namespace orvex::gui
