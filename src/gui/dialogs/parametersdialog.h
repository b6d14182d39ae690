#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "model/briscodoc.h"
#include "model/reporter.h"

// "parameters": the fire simulation's values and the network's surface
// temperature, which belong to the document, and the solver's "maximum
// iteration", "error" and "Acc", which are the application's units settings
// and keep what is entered here until the program ends (nothing writes them
// back to the units file). OK checks the fields in the order they are
// shown, refuses the first that is not a number, an "error" outside
// 0.0..50000.0 or a "maximum iteration" that is not a whole number in
// 0..9999, with a message, and keeps the dialog open with that field
// selected; otherwise it stores all ten values, and marks the document
// modified when a fire value or the surface temperature changed, as those
// are saved with the network. Cancel changes nothing.
namespace orvex::gui {

constexpr double kMinSolverError = 0.0;
constexpr double kMaxSolverError = 50000.0;
constexpr int kMinIterations = 0;
constexpr int kMaxIterations = 9999;

inline const std::string kSolverErrorRange = "Please enter an \"error\" between 0.0 and 50000.0.";
inline const std::string kIterationRange =
    "Please enter a whole number from 0 to 9999 for \"maximum iteration\".";
// A field that is not a number: "Please enter a number for "<label>"."
// ("a whole number" for "fire node number").
std::string notANumberMessage(const std::string& label, bool whole);

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
