// Fitted values into the network, and the residuals the plan colours by.
#include <cmath>
#include <limits>

#include "calibration/calibration.h"

namespace orvex {

void applyCalibration(CBriscoDoc& doc, const CalibrationResult& result)
{
    if (!result.usable())
        return;
    for (const FitUnknown& u : result.unknowns) {
        switch (u.kind) {
        case UnknownKind::Resistance:
            for (int k : u.items)
                doc.roads[size_t(k)].resistance = float(u.fitted);
            break;
        case UnknownKind::GroupFactor:
            for (int k : u.items)
                doc.roads[size_t(k)].resistance = float(doc.roads[size_t(k)].resistance * u.fitted);
            break;
        case UnknownKind::FanOffset:
            for (int f : u.items) {
                Fan& fan = doc.fans[size_t(f)];
                for (int p = 1; p <= fan.points; ++p)
                    fan.curve[size_t(p)] = float(fan.curve[size_t(p)] + u.fitted);
            }
            break;
        }
    }
}

double roadNormalisedResidual(const CBriscoDoc& doc, const CalibrationResult& result, int k)
{
    if (k < 1 || k > doc.totalRoads())
        return std::numeric_limits<double>::quiet_NaN();
    const Road& road = doc.roads[size_t(k)];
    const auto joins = [&road](const Measurement& m) {
        return (m.from == road.first && m.to == road.second) || (m.from == road.second && m.to == road.first);
    };
    double drop = std::numeric_limits<double>::quiet_NaN();
    for (const MeasurementFit& fit : result.measurements) {
        if (!joins(fit.measurement))
            continue;
        if (fit.measurement.kind == MeasurementKind::Airflow)
            return fit.normalisedAfter;
        if (fit.measurement.kind == MeasurementKind::PressureDrop && std::isnan(drop))
            drop = fit.normalisedAfter;
    }
    return drop;
}

}  // namespace orvex
