// Fan operating point. Inside the solver a fan is a source that moves its
// airflow Qf from its inlet to its outlet node; after every sweep the airflow
// is moved along the characteristic curve (piecewise linear, never used
// beyond its last point) towards the point where the curve's pressure equals
// the rise Pf that the network puts across the fan. The new airflow is where
// a line of slope S = 4 × mean curve pressure / Qmax through (Qf, Pf) crosses
// the curve; once the network pushes back (Pf above the curve) the airflow is
// damped.
#include <cmath>
#include <cstdio>

#include "analysis/fan.h"

#include "analysis/analysisdialog.h"

namespace orvex {

bool fanCanOperate(const CBriscoDoc& doc, int f)
{
    const Fan& fan = doc.fans[size_t(f)];
    return fan.points >= 2 && fan.points <= kMaxFanPoints && fan.flowStep > 0;
}

void resetFans(CBriscoDoc& doc)
{
    for (int f = 1; f <= doc.fanCount; ++f) {
        Fan& fan = doc.fans[size_t(f)];
        fan.fanPrevFlow = 0;
        fan.fanState = 1;
        float sum = 0;
        for (int p = 1; p <= fan.points && p <= kMaxFanPoints; ++p)
            sum += fan.curve[p];
        fan.fanMeanPressure = fan.points > 0 ? sum / float(fan.points) : 0.0f;
    }
}

namespace {

// Fan f's row of the analysis dialog's table: its ends, the rise across it,
// its airflow and whether it still moves.
void showFanRow(AnalysisDialog& dialog, int f, const Fan& fan, float pf, int result)
{
    char text[64];
    std::snprintf(text, sizeof text, "%4d-%4d", fan.inlet, fan.outlet);
    dialog.setFanCell(f - 1, 0, text);
    std::snprintf(text, sizeof text, "%9.3f", double(pf));
    dialog.setFanCell(f - 1, 1, text);
    std::snprintf(text, sizeof text, "%9.2f", double(fan.fanFlow));
    dialog.setFanCell(f - 1, 2, text);
    std::snprintf(text, sizeof text, "%d", result);
    dialog.setFanCell(f - 1, 3, text);
}

// Where the line p = slope·q + c through the operating point crosses the
// fan's curve, from 0 to the curve's last airflow.
float curveCrossing(const Fan& fan, float slope, float c)
{
    const int n = fan.points;
    const float dq = fan.flowStep;
    const auto p = [&fan](int j) { return fan.curve[j + 1]; };  // p(0) .. p(n-1)
    const float qmax = float(n - 1) * dq;
    int j = 0;
    while (j < n && !(float(j) * slope * dq + c > p(j)))
        ++j;
    float qnew = 0;
    if (j == 0) {
        qnew = 0;
    } else if (j == n) {
        qnew = qmax;
    } else {
        const float s = (p(j) - p(j - 1)) / dq;
        const float denominator = slope - s;
        qnew = denominator != 0 ? (p(j - 1) - float(j - 1) * s * dq - c) / denominator
                                : float(j) * dq;
        // The crossing lies on segment j-1..j; rounding must not leave the curve.
        if (!(qnew >= 0))
            qnew = 0;
        if (qnew > qmax)
            qnew = qmax;
    }
    return qnew;
}

}  // namespace

int updateFan(CBriscoDoc& doc, int f, bool forced, AnalysisDialog& dialog)
{
    Fan& fan = doc.fans[size_t(f)];
    // A fan without at least two points and an airflow step has no curve to
    // run on: it stands still and moves no air.
    if (!fanCanOperate(doc, f)) {
        fan.fanFlow = 0;
        fan.pressure = fan.points >= 1 ? fan.curve[1] : 0.0f;
        return 0;
    }
    const int n = fan.points;
    const float dq = fan.flowStep;
    const float qmax = float(n - 1) * dq;
    const float mean = fan.fanMeanPressure;
    const float slope = 4.0f * mean / qmax;
    const int in = doc.nodeIndex(fan.inlet);
    const int out = doc.nodeIndex(fan.outlet);
    const float pf = in && out ? float((doc.nodes[size_t(out)].pressure - doc.nodes[size_t(in)].pressure) /
                                       doc.app().units.pressureUnitFactor)
                               : 0.0f;
    float& qf = fan.fanFlow;
    float& pc = fan.pressure;

    int result = 1;
    if (qf > 0 && qf < qmax && std::fabs(pf - pc) < 0.001f * mean) {
        if (!forced)
            return 0;
        result = 0;
    }

    const float qnew = curveCrossing(fan, slope, pf - slope * qf);

    if (fan.fanState == 1) {
        if (pf > pc) {
            fan.fanPrevFlow = (qf + qnew) / 2;
            fan.fanState = 2;
        }
        qf = qnew;
    } else {
        qf = 0.8f * fan.fanPrevFlow + 0.2f * qnew;
        fan.fanPrevFlow = 0.1f * qf + 0.9f * fan.fanPrevFlow;
    }

    pc = curvePressure(&fan.curve[1], n, dq, qf, CurveEnd::Hold);

    if (doc.app().units.displayData > 0 && f <= 30)
        showFanRow(dialog, f, fan, pf, result);
    return result;
}

}  // namespace orvex
