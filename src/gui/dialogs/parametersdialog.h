#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "edit/dialogforms.h"
#include "model/briscodoc.h"
#include "model/reporter.h"

// "parameters": the fire simulation's values and the network's surface
// temperature, which belong to the document, and the solver's "maximum
// iteration", "error" and "Acc", which are the application's units settings
// and keep what is entered here until the program ends (nothing writes them
// back to the units file). OK checks the fields in the order they are
// shown, refuses the first that is not a number or is out of its range
// (iterationsAcceptable, solverErrorAcceptable), with a message, and keeps
// the dialog open with that field selected; otherwise storeParameters
// takes all the values. Cancel changes nothing.
namespace orvex::gui {

class ParametersDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the document's and the application's current values; OK stores
    // them back into the same places. Messages go to reporter.
    ParametersDialog(CBriscoDoc& doc, Reporter& reporter, QWidget* parent = nullptr);
    ~ParametersDialog() override;

    // Runs the dialog modally; true when it was left with OK and the values
    // were stored. documentChanged (when given) tells whether a value saved
    // with the network (a fire value, the surface temperature) changed.
    static bool edit(QWidget* parent, CBriscoDoc& doc, Reporter& reporter,
                     bool* documentChanged = nullptr);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace orvex::gui
