#pragma once

#include <QDialog>
#include <memory>

#include "dialogs/colordialog.h"
#include "display/planview.h"
#include "model/reporter.h"

// "Display setting": figure size, character size, display angle, node
// radius, the quantities written above and below the roads and on the
// nodes with their decimals and brackets, and the eight screen colours
// through "color setting". OK refuses a figure size outside 0.01..10.00 and
// a character size outside 0..50 with a message and keeps the dialog open,
// as it does for an angle or node radius that is not a number.
namespace orvex::gui {

// What OK hands back; the view takes it over with
// PlanView::applyDisplaySettings.
struct DisplayChoice {
    DisplaySettings settings;  // kinds, digits, brackets and screen colours; the rest as given
    float figureSize = 0;
    float charSize = 0;
    float nodeRadius = 0;
    int angle = 0;
};

class DisplaySettingDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the view's current values; messages go to reporter. "color
    // setting" opens the Color dialog with chooser.
    DisplaySettingDialog(const PlanView& view, Reporter& reporter, QWidget* parent = nullptr,
                         ColourChooser chooser = platformColourChooser());
    ~DisplaySettingDialog() override;

    DisplayChoice choice() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace orvex::gui
