#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "exchange/dxfimport.h"

class QDoubleSpinBox;
class QListWidget;
class QRadioButton;

// What a drawing's import takes from the person: the layers whose lines are
// airways, the snapping distance, and the values the drawing does not give
// (a resistance per metre, or area, perimeter and friction factor by
// Atkinson's law; temperature; rock conductivity).
namespace orvex::gui {

class DxfImportDialog : public QDialog {
    Q_OBJECT
public:
    DxfImportDialog(const std::vector<std::string>& layers, const exchange::DxfImportOptions& start,
                    const QString& resistanceUnit, QWidget* parent = nullptr);
    exchange::DxfImportOptions options() const;

private:
    QDoubleSpinBox* number(double value, double low, double high, int decimals, const char* name);

    QListWidget* mLayers;
    QDoubleSpinBox *mSnap, *mPerMetre, *mArea, *mPerimeter, *mFriction, *mTemperature, *mConductivity;
    QDoubleSpinBox *mShiftX, *mShiftY;
    QRadioButton *mByMetre, *mByAtkinson;
};

}  // namespace orvex::gui
