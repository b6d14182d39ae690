// Nodal-pressure airflow solver.
//
// Surface nodes hold their pressure; the pressures of the underground nodes
// are found so that the mass flows balance at every one of them. Each outer
// iteration linearises every normal road around the current pressures (the
// secant conductance G of the square road law at |dp| + ε, so M = G × dp),
// corrects the nodes once by Gauss-Seidel (the two nodes of a low-resistance
// road together, as an exact 2×2 Newton step, because tightly coupled nodes
// converge badly one at a time), moves the fans along their curves, shifts
// all underground pressures by a bounded multiple of the mean correction, and
// repeats a few cheap inner sweeps with the same coefficients. The
// regularising pressure ε and the error threshold T are tightened in stages;
// at each stage the air densities, and with them the natural draught, are
// recomputed from the new pressures.
//
// Over-relaxation is what makes large networks converge in a few hundred
// iterations (their slowest error is the level of whole districts, which a
// factor near 2 moves quickly), but it overshoots in small networks, where a
// node pair or a single node is corrected almost exactly: the fans then
// chase the overshooting pressures and the iteration falls into a cycle. No
// one factor serves both, so the solver watches its progress: when the mean
// imbalance has not fallen by a tenth within a hundred iterations, it halves
// the over-relaxation (towards the plain Gauss-Seidel factor 1). A run that
// keeps making progress never sees the change.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/analysisdialog.h"
#include "analysis/fan.h"
#include "analysis/solver.h"
#include "analysis/solverwork.h"

namespace orvex {

namespace {

// |dp| + ε never reaches 0, so that a road at rest does not get an infinite
// conductance even when the units file sets no ε.
constexpr float kMinHead = 1e-9f;  // kgf/m²

// Progress of the iteration: the mean imbalance must fall below this share
// of its value at the last progress within the window, or the relaxation is
// stepped back. Stage changes of ε raise the imbalance for a few dozen
// iterations; the window is well beyond that.
constexpr float kProgressShare = 0.9f;
constexpr int kProgressWindow = 100;  // iterations
// Over-relaxation smaller than this is not worth keeping; the factor becomes 1.
constexpr float kLeastOverRelaxation = 0.05f;

// Roads by ascending resistance (comb sort, shrink factor 1/1.3), then the
// pairs: the lowest-resistance roads whose two underground nodes are both
// still free and not both dead ends; every other underground node with a
// road is corrected on its own.
void orderRoads(CBriscoDoc& doc, SolverWork& w)
{
    const int n = doc.roadCount;
    for (int k = 1; k <= n; ++k)
        w.order[k] = k;
    int gap = n;
    for (;;) {
        gap = int(gap * 0.7692307692307692);
        if (gap == 0)
            gap = 1;
        else if (gap == 9 || gap == 10)
            gap = 11;
        bool swapped = false;
        for (int k = 1; k <= n - gap; ++k) {
            if (doc.roads[w.order[k]].resistance > doc.roads[w.order[k + gap]].resistance) {
                std::swap(w.order[k], w.order[k + gap]);
                swapped = true;
            }
        }
        if (!swapped && gap < 2)
            break;
    }

    for (int i = 1; i <= doc.nodeCount; ++i)
        w.free[i] = i > doc.surfaceCount;
    w.pairCount = 0;
    for (int p = 1; p <= n; ++p) {
        const int k = w.order[p];
        const int a = w.endA[k], b = w.endB[k];
        if (a == 0 || b == 0 || a == b)
            continue;
        if ((doc.nodes[a].degree > 1 || doc.nodes[b].degree > 1) && w.free[a] && w.free[b]) {
            w.pairRoad[++w.pairCount] = k;
            w.free[a] = w.free[b] = 0;
        }
    }
    w.singleCount = 0;
    for (int i = doc.surfaceCount + 1; i <= doc.nodeCount; ++i)
        if (w.free[i] && doc.nodes[i].degree > 0)
            w.single[++w.singleCount] = i;
    doc.analysisRunning = 1;
}

// The source term of every node: the draught of its roads at their new
// conductances, the fixed airflows and the fans' airflows.
void fillSources(const CBriscoDoc& doc, SolverWork& w)
{
    for (int i = 1; i <= doc.nodeCount; ++i)
        w.b[i] = 0;
    for (int i = doc.surfaceCount + 1; i <= doc.nodeCount; ++i) {
        const Node& node = doc.nodes[i];
        for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
            const Road& road = doc.roads[doc.adjacentRoad[pos]];
            w.b[i] -= doc.adjacentSign[pos] * double(road.naturalDraught) * road.conductance;
        }
    }
    for (int k = doc.roadCount + 1; k <= doc.totalRoads(); ++k) {
        const float m = doc.specificWeight * doc.roads[k].resistance;
        const int a = doc.nodeIndex(doc.roads[k].first), b = doc.nodeIndex(doc.roads[k].second);
        if (a)
            w.b[a] -= m;
        if (b)
            w.b[b] += m;
    }
    for (int f = 1; f <= doc.fanCount; ++f) {
        const float m = doc.specificWeight * doc.fans[f].fanFlow;
        const int in = doc.nodeIndex(doc.fans[f].inlet), out = doc.nodeIndex(doc.fans[f].outlet);
        if (in)
            w.b[in] -= m;
        if (out)
            w.b[out] += m;
    }
}

// Every normal road's secant conductance at the current pressures and ε,
// their sums at the nodes, and the nodes' sources.
void linearise(CBriscoDoc& doc, SolverWork& w, float eps)
{
    const float ruf = doc.app().units.resistanceUnitFactor;
    for (int i = 1; i <= doc.nodeCount; ++i)
        w.a[i] = 0;
    for (int k = 1; k <= doc.roadCount; ++k) {
        Road& road = doc.roads[k];
        const int a = w.endA[k], b = w.endB[k];
        if (!a || !b) {
            road.conductance = 0;
            continue;
        }
        const float dp = float(doc.nodes[a].pressure - doc.nodes[b].pressure + road.naturalDraught);
        const float head = std::max(std::fabs(dp) + eps, kMinHead);
        float g = 0;
        if (!doc.isWater()) {
            const bool reverse = doc.altResistanceRoads > 0 && road.altResistance > 0 && dp < 0;
            const float r = reverse ? road.altResistance : road.resistance;
            g = std::sqrt(doc.density * road.density / (ruf * r * head));
        } else if (road.length > 0) {
            const float y = std::pow(head / road.resistance, kPipeHeadExponent);
            g = doc.density / (road.resistance * std::pow(y, kPipeFlowExponent));
        } else {
            g = doc.density / std::sqrt(road.resistance * head);
        }
        road.conductance = std::isfinite(g) ? g : 0.0f;
        // A road whose two ends are merged into one node moves no air
        // between nodes; its conductance would only stiffen that node.
        if (a != b) {
            w.a[a] += road.conductance;
            w.a[b] += road.conductance;
        }
    }

    // The node sweeps read each road's conductance once per node end; kept
    // beside the adjacency they stay in cache.
    const Node& last = doc.nodes[doc.nodeCount];
    const int entries = doc.nodeCount > 0 ? last.adjacencyStart + last.degree : 0;
    for (int pos = 1; pos <= entries; ++pos)
        w.adjacentG[pos] = doc.roads[doc.adjacentRoad[pos]].conductance;

    fillSources(doc, w);
}

// Net inflow into node i, kg/s.
float imbalance(const CBriscoDoc& doc, const SolverWork& w, int i)
{
    const Node& node = doc.nodes[i];
    double sum = w.b[i];
    const double p = node.pressure;
    const int end = node.adjacencyStart + node.degree;
    for (int pos = node.adjacencyStart + 1; pos <= end; ++pos)
        sum += double(w.adjacentG[pos]) * (doc.nodes[doc.adjacentNode[pos]].pressure - p);
    return float(sum);
}

float coupling(const CBriscoDoc& doc, const SolverWork& w, int a, int b)
{
    const Node& node = doc.nodes[a];
    float g = 0;
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos)
        if (doc.adjacentNode[pos] == b)
            g += w.adjacentG[pos];
    return g;
}

struct SweepResult {
    float meanImbalance;  // kg/s
    float meanShift;      // kgf/m²
};

SweepResult sweep(CBriscoDoc& doc, SolverWork& w, bool outer)
{
    const float omega = w.omega;
    double sumAbs = 0, sumShift = 0;
    for (int p = 1; p <= w.pairCount; ++p) {
        const int k = w.pairRoad[p];
        const int a = w.endA[k], b = w.endB[k];
        const float ra = imbalance(doc, w, a);
        const float rb = imbalance(doc, w, b);
        if (outer) {
            // The two nodes are coupled by every road that joins them: with
            // parallel roads one road's conductance alone would make the
            // 2×2 step overshoot without bound.
            const float g = coupling(doc, w, a, b);
            const double det = double(w.a[a]) * w.a[b] - double(g) * g;
            const float factor = det > 0 ? float(omega / det) : 0.0f;
            w.c[a] = factor * w.a[a];
            w.c[b] = factor * w.a[b];
            w.pairD[p] = factor * g;
        }
        const float dpa = w.pairD[p] * rb + w.c[b] * ra;
        const float dpb = w.c[a] * rb + w.pairD[p] * ra;
        doc.nodes[a].pressure += dpa;
        doc.nodes[b].pressure += dpb;
        sumAbs += std::fabs(ra) + std::fabs(rb);
        sumShift += double(dpa) + dpb;
    }
    for (int s = 1; s <= w.singleCount; ++s) {
        const int i = w.single[s];
        const float r = imbalance(doc, w, i);
        if (outer)
            w.c[i] = w.a[i] > 0 ? omega / w.a[i] : 0.0f;
        const float dp = w.c[i] * r;
        doc.nodes[i].pressure += dp;
        sumAbs += std::fabs(r);
        sumShift += dp;
    }
    const int count = doc.undergroundCount;
    if (count <= 0)
        return {0.0f, 0.0f};
    return {float(sumAbs / count), float(sumShift / count)};
}

void finishSolve(CBriscoDoc& doc, SolverWork& w, float tau)
{
    restoreMergedNodes(doc, w);
    for (int k = 1; k <= doc.roadCount; ++k) {
        Road& road = doc.roads[k];
        const int a = doc.nodeIndex(road.first), b = doc.nodeIndex(road.second);
        if (!a || !b)
            continue;
        const float m = float(doc.nodes[a].pressure - doc.nodes[b].pressure + road.naturalDraught) *
                        road.conductance;
        road.reversalFlag = m * road.massFlow < 0 ? 1 : 0;
        road.massFlow = m;
        if (road.altResistance > 0)
            road.roadClass = m < 0 ? 2 : 1;
    }
    fixedFlowResults(doc, tau);
}

// Steps the over-relaxation back when the mean imbalance e has not fallen
// by a tenth within the progress window.
void watchProgress(SolverWork& w, int it, float e)
{
    if (it == 1 || e < kProgressShare * w.progressError) {
        w.progressError = e;
        w.progressIteration = it;
    } else if (it - w.progressIteration >= kProgressWindow && w.omega > 1.0f) {
        w.omega = 1.0f + (w.omega - 1.0f) / 2;
        if (w.omega - 1.0f < kLeastOverRelaxation)
            w.omega = 1.0f;
        w.progressError = e;
        w.progressIteration = it;
    }
}

// The iteration's line (kept in the document and shown), and with the
// units file's display data the mean shift and ε.
void showIteration(CBriscoDoc& doc, AnalysisDialog& dialog, int it, const SweepResult& sweepResult, float eps)
{
    const UnitsSettings& u = doc.app().units;
    const float e = sweepResult.meanImbalance;
    char line[160];
    const float shown = doc.specificWeight != 0 ? e / doc.specificWeight : e;
    std::snprintf(line, sizeof line, "%4d: %s= %12.6f %s", it, "Error", double(shown),
                  u.flowUnitName.c_str());
    doc.statusLine = line;
    dialog.setStatusLine(line);
    if (u.displayData != 0 && u.pressureUnitFactor != 0) {
        std::snprintf(line, sizeof line, "dPav = %14.8f %s",
                      double(sweepResult.meanShift / u.pressureUnitFactor),
                      u.pressureUnitName.c_str());
        dialog.setDiagnosticLine(1, line);
        std::snprintf(line, sizeof line, "Pbad = %14.8f", double(eps / u.pressureUnitFactor));
        dialog.setDiagnosticLine(2, line);
    }
}

// The cheap sweeps with the outer sweep's coefficients; a fan that moves
// changes the sources at its ends at once.
void innerSweeps(CBriscoDoc& doc, SolverWork& w, AnalysisDialog& dialog)
{
    for (int s = 0; s < doc.app().units.innerSweeps; ++s) {
        sweep(doc, w, false);
        for (int f = 1; f <= doc.fanCount; ++f) {
            const float before = doc.fans[f].fanFlow;
            if (updateFan(doc, f, false, dialog) != 1)
                continue;
            const float d = (before - doc.fans[f].fanFlow) * doc.specificWeight;
            if (const int in = doc.nodeIndex(doc.fans[f].inlet))
                w.b[in] += d;
            if (const int out = doc.nodeIndex(doc.fans[f].outlet))
                w.b[out] -= d;
        }
    }
}

}  // namespace

int solveByRelaxation(CBriscoDoc& doc, AnalysisDialog& dialog, float a1, float a2, float a3, float a4)
{
    const UnitsSettings& u = doc.app().units;
    const float tau = u.solverError * a1 * kTargetImbalancePerError;  // target mean imbalance, kg/s
    const float eps0 = u.epsFactor * a2 * 1e-5f;                    // floor of ε, kgf/m²
    float threshold = u.thresholdFactor * u.solverError * a3 * kThresholdPerError;  // kg/s
    const float bound = 2 * u.pressureBound * a4;                   // kgf/m²
    float eps = eps0;

    SolverWork& w = solverWork(doc);
    prepareSolve(doc, w);
    orderRoads(doc, w);
    doc.lastIterations = 0;
    w.omega = u.relaxation;

    for (int it = 1; it < u.maxIteration; ++it) {
        doc.lastIterations = it;
        linearise(doc, w, eps);
        const SweepResult sweepResult = sweep(doc, w, true);
        const float e = sweepResult.meanImbalance;
        watchProgress(w, it, e);
        int moving = 0;
        for (int f = 1; f <= doc.fanCount; ++f)
            moving += updateFan(doc, f, true, dialog);
        showIteration(doc, dialog, it, sweepResult, eps);
        if (dialog.stopRequested()) {
            dialog.enableClose(true);
            restoreMergedNodes(doc, w);
            return 0;
        }
        if (doc.fire.finishTime <= 0)
            dialog.stepProgress();
        if (moving == 0 && eps <= eps0 && e <= tau) {
            finishSolve(doc, w, tau);
            return 1;
        }

        if (it == 1) {
            eps = bound * (e <= threshold && threshold > 0 ? e / threshold : 1.0f);
        } else if (e <= threshold) {
            if (!(threshold <= tau && eps <= eps0))
                UpdateRoadDensities(doc);
            threshold *= 0.2f;
            if (threshold < tau)
                threshold = tau;
            eps *= 0.1f;
            if (eps < eps0)
                eps = eps0;
        }

        const float shift = std::clamp(u.shiftFactor * sweepResult.meanShift, -bound / 2, bound / 2);
        for (int i = doc.surfaceCount + 1; i <= doc.nodeCount; ++i)
            doc.nodes[i].pressure += shift;

        innerSweeps(doc, w, dialog);
    }
    finishSolve(doc, w, tau);
    return -1;
}

}  // namespace orvex
