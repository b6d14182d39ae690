#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "edit/editdialogs.h"
#include "model/reporter.h"

class QKeyEvent;

// "make new fans" and "change fan data": a fan's characteristic curve,
// entered point by point. The fan's two node numbers are shown only; the
// airflow step and the number of points are typed in, then the pressure of
// each point with "next" and "back" between them. The Enter key goes from
// the airflow step to the count to the pressure, and from there acts as
// "next"; "next" on the last point closes the dialog like OK. "make new
// fans" refuses a count outside 1..30 when the count field is left and on
// every button, saying so and putting the person back in the count field.
// The point-by-point state lives in the core's FanCurveEntry; this class
// only moves the fields' texts in and out of it.
namespace orvex::gui {

// What the fields say when they do not hold a number. In "make new fans" a
// count that is not a whole number, like one outside 1..30, says
// FanCurveEntry::countMessage() instead.
inline const std::string kFanFlowStepNotANumber = "Please enter the airflow unit as a number.";
inline const std::string kFanCountNotANumber =
    "Please enter the number of datas as a whole number.";
inline const std::string kFanPressureNotANumber = "Please enter the pressure as a number.";

class FanDialog : public QDialog {
    Q_OBJECT
public:
    // newFan: "make new fans", starting from no points (curve is not
    // read); otherwise "change fan data" on curve. inlet and outlet are
    // the fan's node numbers. Messages go to reporter.
    FanDialog(bool newFan, int inlet, int outlet, const FanCurve& curve, Reporter& reporter,
              QWidget* parent = nullptr);
    ~FanDialog() override;

    // The curve as OK left it: n, Δq and p[0..n-1], the points beyond n 0.
    FanCurve curve() const;

    // Runs the dialog modally. On OK curve takes the entered values and the
    // result is Ok; on cancel curve stays as it was.
    static DialogResult run(QWidget* parent, Reporter& reporter, bool newFan, int inlet,
                            int outlet, FanCurve& curve);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace orvex::gui
