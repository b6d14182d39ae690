#pragma once

#include <QDialog>
#include <memory>

#include "dialogs/colordialog.h"
#include "display/planview.h"
#include "edit/dialogforms.h"
#include "model/reporter.h"

// "Display setting": figure size, character size, display angle, node
// radius, the quantities written above and below the roads and on the
// nodes with their decimals and brackets, and the eight screen colours
// through "color setting". OK hands the fields to takeDisplayFields and
// hands back the DisplayChoice it makes; a refused field is said with a
// message and selected, and the dialog stays open.
namespace orvex::gui {

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
