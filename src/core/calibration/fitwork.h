#pragma once

#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "calibration/sensitivity.h"

// The fit's own view of a calibration: its parameters in the variables it
// works in, and the measurements bound to the network's elements.
namespace orvex {

// A resistance or a group factor is fitted as the logarithm of the factor
// on its starting value (it stays positive, and a prior of a relative
// uncertainty is even on that scale); a fan offset as itself, in the
// pressure unit. Every parameter starts at 0.
struct FitParameter {
    UnknownKind kind = UnknownKind::Resistance;
    std::string name;
    std::vector<int> items;            // road indexes, or the fan's index
    std::vector<float> start;          // the roads' resistances, or the fan's curve points 1..n
    double low = 0, high = 0;          // bounds of the variable
    double prior = 0;                  // the prior's standard uncertainty of the variable
};

struct BoundMeasurement {
    Measurement measurement;
    int road = 0;       // the road measured (airflow, a road's pressure drop), 0 for none
    int fan = 0;        // the fan measured
    int a = 0, b = 0;   // node indexes: from, to (a fan: inlet, outlet)
    double sign = 1;    // -1 where the road runs from `to` to `from`
};

struct FitProblem {
    std::vector<FitParameter> parameters;
    std::vector<BoundMeasurement> measurements;
    std::vector<std::string> warnings;
};

// The parameters the terms name and the measurements that name elements of
// the network; what cannot be used is named in warnings.
FitProblem setUpProblem(const CBriscoDoc& doc, const Survey& survey, const FitTerms& terms);
// Writes the parameters x into the network.
void setParameters(CBriscoDoc& doc, const FitProblem& problem, const std::vector<double>& x);
// The value the solved network gives for a measurement, in its unit.
double modelValue(const CBriscoDoc& doc, const BoundMeasurement& m);
// d modelled value / d parameter, rows by measurement.
std::vector<std::vector<double>> derivatives(const CBriscoDoc& doc, const NetworkSensitivity& s,
                                             const FitProblem& problem,
                                             SensitivityMode mode = SensitivityMode::Fewer);

}  // namespace orvex
