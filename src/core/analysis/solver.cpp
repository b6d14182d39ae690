// Airflow solve: what the relaxation (relaxation.cpp) and the Newton method
// (newton.cpp) share, and the choice between them.
//
// Fixed-flow roads with airflow 0 join their two nodes without resistance:
// one node is merged into the other for the solve, and the road's airflow
// follows afterwards from continuity. The second node goes into the first,
// unless the second is a surface node: then the first goes into it, so that
// the connection keeps the surface's pressure whichever way it is written.
// A connection between two surface nodes merges nothing; both keep their
// pressures.
#include "analysis/solver.h"

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analysisdialog.h"
#include "analysis/fan.h"
#include "analysis/solverwork.h"

namespace orvex {

namespace {

bool isSurfaceNumber(const CBriscoDoc& doc, int number)
{
    const int i = doc.nodeIndex(number);
    return i >= 1 && i <= doc.surfaceCount;
}

}  // namespace

SolverWork& solverWork(CBriscoDoc& doc)
{
    return doc.layerWork().get<SolverWork>();
}

void UpdateRoadDensities(CBriscoDoc& doc)
{
    for (int k = 1; k <= doc.roadCount; ++k) {
        Road& road = doc.roads[k];
        const int a = doc.nodeIndex(road.first);
        const int b = doc.nodeIndex(road.second);
        if (!a || !b)
            continue;
        if (doc.isWater()) {
            road.density = doc.density;
        } else {
            const double pm = (doc.nodes[a].pressure + doc.nodes[b].pressure) / 2;
            road.density = float(pm / ((road.initialTemperature + kCelsiusZero) * kAirGasConstant));
        }
        road.naturalDraught = (doc.nodes[a].elevation - doc.nodes[b].elevation) * road.density;
    }
}

// Zero-flow fixed roads are merged, the adjacency is rebuilt for the merged
// network, and the ends of every normal road are looked up once.
void prepareSolve(CBriscoDoc& doc, SolverWork& w)
{
    resetFans(doc);
    const int total = doc.totalRoads();
    for (int k = 1; k <= total; ++k) {
        w.savedFirst[k] = doc.roads[k].first;
        w.savedSecond[k] = doc.roads[k].second;
    }
    w.mergedCount = 0;
    for (int k = doc.roadCount + 1; k <= total; ++k) {
        if (doc.roads[k].resistance != 0.0f)
            continue;
        const bool firstOnSurface = isSurfaceNumber(doc, doc.roads[k].first);
        const bool secondOnSurface = isSurfaceNumber(doc, doc.roads[k].second);
        if (firstOnSurface && secondOnSurface)
            continue;
        const bool keepSecond = secondOnSurface;
        const int keep = keepSecond ? doc.roads[k].second : doc.roads[k].first;
        const int gone = keepSecond ? doc.roads[k].first : doc.roads[k].second;
        const auto rename = [keep, gone](Road& road) {
            if (road.first == gone)
                road.first = keep;
            if (road.second == gone)
                road.second = keep;
        };
        for (int j = 1; j <= doc.roadCount; ++j)
            rename(doc.roads[j]);
        for (int j = doc.roadCount + 1; j <= total; ++j)
            if (doc.roads[j].resistance != 0.0f || j > k)
                rename(doc.roads[j]);
        ++w.mergedCount;
        w.merged[w.mergedCount] = k;
        w.mergedKeepsSecond[w.mergedCount] = keepSecond ? 1 : 0;
    }
    doc.rebuildAdjacency();
    for (int k = 1; k <= doc.roadCount; ++k) {
        w.endA[k] = doc.nodeIndex(doc.roads[k].first);
        w.endB[k] = doc.nodeIndex(doc.roads[k].second);
    }
}

void restoreMergedNodes(CBriscoDoc& doc, SolverWork& w)
{
    for (int m = w.mergedCount; m >= 1; --m) {
        const Road& road = doc.roads[w.merged[m]];
        const int first = doc.nodeIndex(road.first), second = doc.nodeIndex(road.second);
        if (!first || !second)
            continue;
        if (w.mergedKeepsSecond[m])
            doc.nodes[first].pressure = doc.nodes[second].pressure;
        else
            doc.nodes[second].pressure = doc.nodes[first].pressure;
    }
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        doc.roads[k].first = w.savedFirst[k];
        doc.roads[k].second = w.savedSecond[k];
    }
    w.mergedCount = 0;
    doc.rebuildAdjacency();
}

namespace {

// A fixed-flow road of zero airflow whose mass flow is not yet known.
bool openFixedRoad(const CBriscoDoc& doc, int j)
{
    return doc.roads[j].resistance == 0.0f && doc.roads[j].massFlow == 0.0f;
}

// Node x (an index) can settle open road k: it is underground and no other
// open fixed-flow road meets it.
bool settlesOpenRoad(const CBriscoDoc& doc, int x, int k)
{
    if (x <= doc.surfaceCount)
        return false;
    for (int j = doc.roadCount + 1; j <= doc.totalRoads(); ++j)
        if (j != k && openFixedRoad(doc, j) &&
            (doc.roads[j].first == doc.nodes[x].number || doc.roads[j].second == doc.nodes[x].number))
            return false;
    return true;
}

// The mass flow into node x (an index) of every road but k and of the fans.
float inflowBut(const CBriscoDoc& doc, int x, int k)
{
    const int number = doc.nodes[x].number;
    double s = 0;
    for (int j = doc.roadCount + 1; j <= doc.totalRoads(); ++j) {
        if (j == k)
            continue;
        if (doc.roads[j].second == number)
            s += doc.roads[j].massFlow;
        if (doc.roads[j].first == number)
            s -= doc.roads[j].massFlow;
    }
    for (int f = 1; f <= doc.fanCount; ++f) {
        if (doc.fans[f].outlet == number)
            s += double(doc.specificWeight) * doc.fans[f].fanFlow;
        if (doc.fans[f].inlet == number)
            s -= double(doc.specificWeight) * doc.fans[f].fanFlow;
    }
    const Node& node = doc.nodes[x];
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos)
        s -= doc.adjacentSign[pos] * double(doc.roads[doc.adjacentRoad[pos]].massFlow);
    return float(s);
}

}  // namespace

// Fixed airflows become mass flows; a zero-flow road gets what continuity
// leaves for it at one of its underground ends, once every other zero-flow
// road at that end is known. Roads that no pass can settle keep 0.
void fixedFlowResults(CBriscoDoc& doc, float tau)
{
    const int first = doc.roadCount + 1, last = doc.totalRoads();
    for (int k = first; k <= last; ++k)
        doc.roads[k].massFlow = doc.roads[k].resistance != 0.0f ? doc.specificWeight * doc.roads[k].resistance : 0.0f;

    const float settled = tau * 0.001f;
    bool progress = true;
    while (progress) {
        progress = false;
        for (int k = first; k <= last; ++k) {
            if (!openFixedRoad(doc, k))
                continue;
            const int a = doc.nodeIndex(doc.roads[k].first), b = doc.nodeIndex(doc.roads[k].second);
            if (!a || !b)
                continue;
            float value = 0;
            if (a <= doc.surfaceCount && b <= doc.surfaceCount) {
                value = settled;
            } else if (settlesOpenRoad(doc, a, k)) {
                value = inflowBut(doc, a, k);
                if (value == 0)
                    value = settled;
            } else if (settlesOpenRoad(doc, b, k)) {
                value = -inflowBut(doc, b, k);
                if (value == 0)
                    value = settled;
            }
            if (value != 0) {
                doc.roads[k].massFlow = value;
                progress = true;
            }
        }
    }
}

namespace {

// What a solve changes: kept before a solve, so that a second method starts
// from where the first one started, not from its last iteration, and after
// it, so that the first method's results can stand.
class SolveResults {
public:
    explicit SolveResults(const CBriscoDoc& doc)
    {
        for (int i = 1; i <= doc.nodeCount; ++i)
            mPressures.push_back(doc.nodes[size_t(i)].pressure);
        for (int k = 1; k <= doc.totalRoads(); ++k) {
            const Road& r = doc.roads[size_t(k)];
            mRoads.push_back(
                {r.massFlow, r.density, r.naturalDraught, r.conductance, r.reversalFlag, r.roadClass});
        }
        for (int f = 1; f <= doc.fanCount; ++f)
            mFans.push_back({doc.fans[size_t(f)].fanFlow, doc.fans[size_t(f)].pressure});
    }
    void restore(CBriscoDoc& doc) const
    {
        for (size_t i = 0; i < mPressures.size(); ++i)
            doc.nodes[i + 1].pressure = mPressures[i];
        for (size_t k = 0; k < mRoads.size(); ++k) {
            Road& r = doc.roads[k + 1];
            const RoadResult& s = mRoads[k];
            r.massFlow = s.massFlow, r.density = s.density, r.naturalDraught = s.naturalDraught;
            r.conductance = s.conductance, r.reversalFlag = s.reversalFlag, r.roadClass = s.roadClass;
        }
        for (size_t f = 0; f < mFans.size(); ++f)
            doc.fans[f + 1].fanFlow = mFans[f].first, doc.fans[f + 1].pressure = mFans[f].second;
    }

private:
    struct RoadResult {
        float massFlow, density, naturalDraught, conductance;
        int reversalFlag, roadClass;
    };
    std::vector<double> mPressures;
    std::vector<RoadResult> mRoads;
    std::vector<std::pair<float, float>> mFans;  // airflow, curve pressure
};

int solveWith(CBriscoDoc& doc, SolverMethod method, AnalysisDialog& dialog, float a1, float a2, float a3,
              float a4)
{
    doc.solvedBy = method;
    if (method == SolverMethod::Newton)
        return solveByNewton(doc, dialog, a1);
    return solveByRelaxation(doc, dialog, a1, a2, a3, a4);
}

}  // namespace

int SolveNetwork(CBriscoDoc& doc, AnalysisDialog& dialog, float a1, float a2, float a3, float a4)
{
    doc.solverWarnings.clear();
    // With no iteration allowed neither method tries anything.
    if (doc.app().units.maxIteration <= 1)
        return solveWith(doc, doc.solverMethod, dialog, a1, a2, a3, a4);
    const SolveResults start(doc);
    const int result = solveWith(doc, doc.solverMethod, dialog, a1, a2, a3, a4);
    if (result != -1)
        return result;

    // The chosen method could not settle the network: the other one, from
    // the same start, before the run reports a failure. When that one
    // cannot either, the chosen method's results stand.
    const SolveResults first(doc);
    const int firstIterations = doc.lastIterations;
    const std::string firstStatus = doc.statusLine;
    std::vector<std::string> firstWarnings = std::move(doc.solverWarnings);
    doc.solverWarnings.clear();
    start.restore(doc);
    const SolverMethod other =
        doc.solverMethod == SolverMethod::Newton ? SolverMethod::Relaxation : SolverMethod::Newton;
    const std::string chosenWords = solverMethodWords(doc.solverMethod), otherWords = solverMethodWords(other);
    dialog.setMethodLine("Solving with " + otherWords + " (" + chosenWords + " did not converge)");
    if (doc.fire.finishTime <= 0)
        dialog.setProgressPosition(0);
    const int second = solveWith(doc, other, dialog, a1, a2, a3, a4);
    std::string said = chosenWords + " did not converge in " + std::to_string(firstIterations) + " iterations";
    said[0] = char(std::toupper(static_cast<unsigned char>(said[0])));
    const std::string secondIterations = std::to_string(doc.lastIterations);
    if (second == 1) {
        doc.solverWarnings.insert(doc.solverWarnings.begin(), said + "; " + otherWords + " did, in " +
                                                                  secondIterations + ", and gave the results.");
    } else if (second == -1) {
        doc.solverWarnings = std::move(firstWarnings);
        doc.solverWarnings.insert(doc.solverWarnings.begin(), said + ", nor did " + otherWords + " in " +
                                                                  secondIterations + ": the results are " +
                                                                  chosenWords + "'s.");
        first.restore(doc);
        doc.solvedBy = doc.solverMethod;
        doc.lastIterations = firstIterations;
        doc.statusLine = firstStatus;
        dialog.setStatusLine(doc.statusLine);
    }
    return second;
}

}  // namespace orvex
