#pragma once

#include <algorithm>

#include "model/briscodoc.h"

// Fan operating point: the fans' curves and how the relaxation moves each
// fan along its curve.
namespace orvex {

class AnalysisDialog;

// A fan with at least two curve points and an airflow step has a curve to
// run on; any other stands still and moves no air.
bool fanCanOperate(const CBriscoDoc& doc, int f);

// Every fan back to its first state, with the mean of its curve's points.
void resetFans(CBriscoDoc& doc);
// Moves fan f along its curve towards the rise the network puts across it:
// 1 while the fan is still moving, 0 once settled.
int updateFan(CBriscoDoc& doc, int f, bool forced, AnalysisDialog& dialog);

// The segment of an n-point curve, its points `step` apart, that holds
// airflow q, or the end segment nearest to it.
template <class T>
int curveSegment(int n, T step, T q)
{
    return std::clamp(int(q / step), 0, n - 2);
}

// How a curve goes on past its last point.
enum class CurveEnd {
    Hold,    // at the last point's pressure
    Extend,  // along its end segments (also below zero airflow)
};

// Pressure of a curve of n points p[0..n-1], `step` apart on q's airflow
// scale, at airflow q: linear between the points. T is the arithmetic the
// caller works in (float or double); the points stay float.
template <class T>
T curvePressure(const float* p, int n, T step, T q, CurveEnd end)
{
    int j = int(q / step);
    if (end == CurveEnd::Extend)
        j = curveSegment(n, step, q);
    else if (j >= n - 1)
        return p[n - 1];
    return p[j] + (q - T(j) * step) * (p[j + 1] - p[j]) / step;
}

}  // namespace orvex
