// Each fan's place on its curve and what it costs to run.
//
// A fan's pressure rises with its airflow up to the curve's peak and falls
// beyond it. Left of the peak (or on it) the air may break away from the
// blades and the fan stall; a fan whose operating pressure lies within a few
// per cent of the peak is one change of the network away from it. A fan at
// the end of its curve runs where its maker gives no pressure at all.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "analysis/fan.h"
#include "analysis/networkcheck.h"
#include "analysis/quantities.h"
#include "checks/checks.h"

namespace orvex {

namespace {

// The curve's highest point: its pressure (display unit) and its airflow
// (user unit); the first of equal highest points.
struct CurvePeak {
    double pressure = std::numeric_limits<double>::quiet_NaN();
    double flow = 0;
};

CurvePeak curvePeak(const Fan& fan)
{
    CurvePeak peak;
    for (int p = 1; p <= fan.points; ++p)
        if (!(double(fan.curve[size_t(p)]) <= peak.pressure)) {
            peak.pressure = fan.curve[size_t(p)];
            peak.flow = double(p - 1) * fan.flowStep;
        }
    return peak;
}

double efficiencyOf(const Fan& fan, const CheckDefaults& defaults, const CheckOverrides& overrides)
{
    const auto own = overrides.fanEfficiency.find({fan.inlet, fan.outlet});
    return own != overrides.fanEfficiency.end() ? own->second : defaults.fanEfficiency;
}

}  // namespace

FanDuty fanDuty(const CBriscoDoc& doc, int f, const CheckDefaults& defaults, const CheckOverrides& overrides)
{
    const Fan& fan = doc.fans[size_t(f)];
    FanDuty duty;
    const CurvePeak peak = curvePeak(fan);
    if (peak.pressure > 0)
        duty.margin = (peak.pressure - fan.pressure) / peak.pressure * 100;
    duty.airPowerKw = fanPowerKw(doc, f);
    const double efficiency = efficiencyOf(fan, defaults, overrides);
    duty.shaftPowerKw = efficiency > 0 ? duty.airPowerKw / efficiency : std::numeric_limits<double>::quiet_NaN();
    duty.costPerYear = duty.shaftPowerKw * defaults.hoursPerYear * defaults.pricePerKwh;
    return duty;
}

void checkFans(const CBriscoDoc& doc, const CheckDefaults& defaults, const CheckOverrides& overrides,
               std::vector<Finding>& findings)
{
    const std::string flowUnit = doc.app().units.flowUnitName.str();
    for (int f = 1; f <= doc.fanCount; ++f) {
        const FanPoint point = fanPoint(doc, f);
        if (point.kind == FanPointKind::NoCurve || point.kind == FanPointKind::AtZeroFlow)
            continue;  // it stands still: nothing to stall
        const Fan& fan = doc.fans[size_t(f)];
        const FanDuty duty = fanDuty(doc, f, defaults, overrides);
        const CurvePeak peak = curvePeak(fan);
        Finding finding;
        finding.fan = f;
        finding.nodes = {fan.inlet, fan.outlet};
        finding.unit = "%";
        char text[200];

        const bool leftOfPeak = double(fan.fanFlow) <= peak.flow;
        if (leftOfPeak || duty.margin < defaults.stallMargin) {
            finding.kind = CheckKind::FanStall;
            finding.severity = Severity::Warning;
            finding.value = duty.margin;
            finding.limit = defaults.stallMargin;
            if (leftOfPeak)
                std::snprintf(text, sizeof text,
                              "the fan runs at %.3g %s, at or left of its curve's peak at %.3g %s, where it may stall",
                              double(fan.fanFlow), flowUnit.c_str(), peak.flow, flowUnit.c_str());
            else
                std::snprintf(text, sizeof text,
                              "the fan runs within %.3g %% of its curve's peak pressure and may stall", duty.margin);
            finding.reason = text;
            findings.push_back(finding);
        }
        if (point.kind == FanPointKind::AtCurveEnd) {
            // The airflow as a share of the curve's last point's.
            const double last = double(fan.points - 1) * fan.flowStep;
            finding.kind = CheckKind::FanCurveEnd;
            finding.severity = Severity::Violation;
            finding.value = double(fan.fanFlow) / last * 100;
            finding.limit = 100;
            std::snprintf(text, sizeof text, "the fan runs at the end of its curve, %.3g %s, beyond which it has none",
                          last, flowUnit.c_str());
            finding.reason = text;
            findings.push_back(finding);
        }
    }
}

}  // namespace orvex
