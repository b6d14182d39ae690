// Newton solver: the whole network at once (the global gradient method).
//
// The unknowns are the pressure of every underground node that a road or a
// fan joins to another node, and the mass flow Q (kg/s) of every normal road
// and every fan; surface nodes hold their pressures. A link (road or fan)
// from node a to node b obeys its law
//   h(Q) = P_a - P_b + s,
// h the pressure it loses at Q and s its natural draught: a road loses
// k Q|Q|^(n-1) (air: the square law with its density and resistance, the
// alternative resistance while Q < 0; water: Hazen-Williams or a local
// loss), a fan loses minus the rise of its curve. Linearised about the
// current flows with r = 1 / h'(Q), a link carries
//   Q' = Q - r (h(Q) - (P_a - P_b + s)) + r (δP_a - δP_b),
// and continuity at every unknown node becomes the linear system
//   Σ r (δP_i - δP_j) = F_i,
// F_i the node's imbalance of the linearised flows at the current
// pressures. Its matrix is the network's Laplacian weighted by r, symmetric
// and positive definite once every group of nodes holds a fixed pressure, so
// a sparse LDLᵀ factorisation solves it: the pattern is analysed once per
// network, the values are refactorised every iteration. The road densities,
// and with them the natural draught, follow the pressures between
// iterations. Zero-flow connections merge their nodes as for the
// relaxation; fixed-flow roads are known sources.
//
// r stays finite: a road's derivative is never below the one its law has at
// a loss of kHeadFloor (a road at rest), a fan's never below a small share
// of the curve's mean slope (a flat or rising part of the curve). A floor
// changes the way to the solution, not the solution, where h(Q) = P_a - P_b
// + s holds whatever r was used.
//
// A fan whose flow would leave its curve (below 0, or beyond the last point)
// is held at that end and moves a known flow until the network's pressures
// take it back onto the curve; a fan held at the end of the solve is named
// in a warning. A group of nodes that no road or fan joins to a surface node
// has no pressure level: its first node is held at its pressure, the others
// are solved from it, and the group is named in a warning.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "analysis/analysisdialog.h"
#include "analysis/fan.h"
#include "analysis/networkcheck.h"
#include "analysis/newtonwork.h"
#include "analysis/solver.h"
#include "analysis/solverwork.h"
#include "model/itemlist.h"

namespace orvex {

namespace {

// The least derivative of a road: the one its law has at this loss. Below
// it a road at rest would approach 0 slowly; this far below any accuracy
// asked for, its flow halves at every iteration until it is negligible.
constexpr double kHeadFloor = 1e-12;  // kgf/m²
// The least derivative of a fan, as a share of its mean slope (largest
// curve pressure over the airflow of the last point).
constexpr double kFanSlopeShare = 1e-3;
// Where the starting pressures drive a road less than this, it starts with
// the flow its law gives at this loss, in the direction they drive it.
constexpr double kStartHead = 1e-2;  // kgf/m²
// Converged: no node's imbalance is above the target accuracy, and the
// flows moved by less than this share of their sum (or, where they all but
// vanish, by less than the target accuracy altogether).
constexpr double kFlowChangeShare = 1e-5;
// A fan that has been held and released this often in one solve stays held.
constexpr int kFanSwitchLimit = 8;
// Steps that leave the flows settled and the largest imbalance within this
// share of the step before, in a row, before the method gives up early.
constexpr int kStagnantSteps = 20;
constexpr double kStagnantShare = 1e-5;

using Link = NewtonWork::Link;

// The road law h = k |q|^n sign(q) of road k, kg/s and kgf/m²; false when
// the road has no usable law.
bool roadLaw(const CBriscoDoc& doc, const Road& road, double q, double& k, double& n)
{
    if (!doc.isWater()) {
        const bool reverse = doc.altResistanceRoads > 0 && road.altResistance > 0 && q < 0;
        const double r = reverse ? road.altResistance : road.resistance;
        k = double(doc.app().units.resistanceUnitFactor) * r / (double(doc.density) * road.density);
        n = 2;
    } else if (road.length > 0) {
        n = 1.0 / (1.0 - double(kPipeHeadExponent) * kPipeFlowExponent);
        k = road.resistance / std::pow(double(doc.density), n);
    } else {
        n = 2;
        k = road.resistance / (double(doc.density) * doc.density);
    }
    return k > 0 && std::isfinite(k);
}

// The flow of a power law at loss h.
double lawFlow(double k, double n, double h)
{
    return std::copysign(std::pow(std::fabs(h) / k, 1.0 / n), h);
}

struct FanCurve {
    int n = 0;           // points
    double step = 0;     // kg/s between points
    double unit = 0;     // kgf/m² per display pressure unit
    const float* p = nullptr;  // p[0..n-1], display unit
    double qmax() const { return step * (n - 1); }
    double rise(double q) const  // kgf/m²
    {
        return unit * curvePressure(p, n, step, q, CurveEnd::Extend);
    }
    double slope(double q) const  // kgf/m² per kg/s
    {
        const int j = curveSegment(n, step, q);
        return unit * (p[j + 1] - p[j]) / step;
    }
    double floor() const
    {
        double largest = 0;
        for (int j = 0; j < n; ++j)
            largest = std::max(largest, std::fabs(double(p[j])));
        return kFanSlopeShare * std::max(unit * largest, 1.0) / qmax();
    }
};

FanCurve curveOf(const CBriscoDoc& doc, int f)
{
    const Fan& fan = doc.fans[size_t(f)];
    FanCurve c;
    c.n = fan.points;
    c.step = double(doc.specificWeight) * fan.flowStep;
    c.unit = doc.app().units.pressureUnitFactor;
    c.p = &fan.curve[1];
    return c;
}

// A fan is a link when it has a curve to run on and a usable scale.
bool fanIsLink(const CBriscoDoc& doc, int f)
{
    return fanCanOperate(doc, f) && doc.specificWeight > 0 && doc.app().units.pressureUnitFactor > 0;
}

// The links of the merged network with their starting flows: a road the
// flow its law gives at the current pressures (at least that of
// kStartHead), a fan its last airflow when that lies on its curve, else the
// middle of the curve.
void setUpLinks(CBriscoDoc& doc, NewtonWork& w)
{
    const SolverWork& s = solverWork(doc);
    w.links.clear();
    w.roadLink.assign(size_t(doc.roadCount + 1), -1);
    w.fanLink.assign(size_t(doc.fanCount + 1), -1);
    for (int k = 1; k <= doc.roadCount; ++k) {
        const int a = s.endA[size_t(k)], b = s.endB[size_t(k)];
        if (!a || !b)
            continue;
        const Road& road = doc.roads[size_t(k)];
        Link link;
        link.item = k, link.a = a, link.b = b;
        const double drive = doc.nodes[size_t(a)].pressure - doc.nodes[size_t(b)].pressure + road.naturalDraught;
        const double head = std::fabs(drive) < kStartHead ? std::copysign(kStartHead, drive) : drive;
        double lawK = 0, lawN = 2;
        link.dead = !roadLaw(doc, road, head, lawK, lawN);
        link.q = link.dead ? 0.0 : lawFlow(lawK, lawN, head);
        w.roadLink[size_t(k)] = int(w.links.size());
        w.links.push_back(link);
    }
    for (int f = 1; f <= doc.fanCount; ++f) {
        if (!fanIsLink(doc, f))
            continue;
        // A fan acts on the node its ends are merged into.
        const Fan& fan = doc.fans[size_t(f)];
        int inlet = fan.inlet, outlet = fan.outlet;
        for (int m = 1; m <= s.mergedCount; ++m) {
            const Road& join = doc.roads[size_t(s.merged[size_t(m)])];
            const int keep = s.mergedKeepsSecond[size_t(m)] ? join.second : join.first;
            const int gone = s.mergedKeepsSecond[size_t(m)] ? join.first : join.second;
            inlet = inlet == gone ? keep : inlet;
            outlet = outlet == gone ? keep : outlet;
        }
        const int a = doc.nodeIndex(inlet), b = doc.nodeIndex(outlet);
        if (!a || !b)
            continue;
        const FanCurve curve = curveOf(doc, f);
        const double q = double(doc.specificWeight) * fan.fanFlow;
        Link link;
        link.kind = LinkKind::Fan;
        link.item = f, link.a = a, link.b = b;
        link.q = q > 0 && q < curve.qmax() ? q : curve.qmax() / 2;
        w.fanLink[size_t(f)] = int(w.links.size());
        w.links.push_back(link);
    }
}

// Releases the held fans that the pressures take back onto their curves;
// true when one was released.
bool releaseFans(const CBriscoDoc& doc, NewtonWork& w)
{
    bool released = false;
    for (Link& link : w.links) {
        if (link.kind != LinkKind::Fan || link.hold == FanHold::None || link.switches >= kFanSwitchLimit)
            continue;
        const FanCurve curve = curveOf(doc, link.item);
        const double rise = doc.nodes[size_t(link.b)].pressure - doc.nodes[size_t(link.a)].pressure;
        const bool back = link.hold == FanHold::AtZero ? rise < curve.rise(0) : rise > curve.rise(curve.qmax());
        if (back) {
            link.hold = FanHold::None;
            ++link.switches;
            released = true;
        }
    }
    return released;
}

// Linearises every link at its flow and fills the node imbalances F;
// returns the largest imbalance (kg/s) and its node index.
double lineariseLinks(CBriscoDoc& doc, NewtonWork& w, int& worstNode)
{
    for (Link& link : w.links) {
        if (link.dead || link.hold != FanHold::None) {
            link.r = link.e = 0;
            continue;
        }
        const double pa = doc.nodes[size_t(link.a)].pressure, pb = doc.nodes[size_t(link.b)].pressure;
        double h = 0, slope = 0, least = 0, drive = pa - pb;
        if (link.kind == LinkKind::Road) {
            const Road& road = doc.roads[size_t(link.item)];
            double k = 0, n = 2;
            if (!roadLaw(doc, road, link.q, k, n)) {
                link.dead = true, link.q = link.r = link.e = 0;
                continue;
            }
            const double size = std::fabs(link.q);
            if (n == 2) {  // the square law of air, without the cost of pow
                h = std::copysign(k * size * size, link.q);
                slope = 2 * k * size;
                least = 2 * kHeadFloor / std::sqrt(kHeadFloor / k);
            } else {
                h = std::copysign(k * std::pow(size, n), link.q);
                slope = n * k * std::pow(size, n - 1);
                least = n * kHeadFloor / std::pow(kHeadFloor / k, 1.0 / n);
            }
            drive += road.naturalDraught;
        } else {
            const FanCurve curve = curveOf(doc, link.item);
            h = -curve.rise(link.q);
            slope = -curve.slope(link.q);
            least = curve.floor();
        }
        link.r = 1.0 / std::max(slope, least);
        link.e = h - drive;
    }

    w.f.setZero();
    const auto add = [&w](int node, double inflow) {
        const int u = w.unknownOf[size_t(node)];
        if (u >= 0)
            w.f[u] += inflow;
    };
    for (const Link& link : w.links) {
        const double q = link.hold != FanHold::None ? link.q : link.q - link.r * link.e;
        add(link.a, -q);
        add(link.b, q);
    }
    for (int k = doc.roadCount + 1; k <= doc.totalRoads(); ++k) {
        const double m = double(doc.specificWeight) * doc.roads[size_t(k)].resistance;
        if (const int a = doc.nodeIndex(doc.roads[size_t(k)].first))
            add(a, -m);
        if (const int b = doc.nodeIndex(doc.roads[size_t(k)].second))
            add(b, m);
    }
    double worst = 0;
    worstNode = 0;
    for (int u = 0; u < int(w.nodeOf.size()); ++u) {
        if (std::fabs(w.f[u]) > worst || worstNode == 0) {
            worst = std::fabs(w.f[u]);
            worstNode = w.nodeOf[size_t(u)];
        }
    }
    return worst;
}

// Moves the pressures and the flows by the solved step; returns the sum of
// the flow changes (kg/s) and of the new flows, and sets held when a fan was
// held at an end of its curve.
struct FlowChange {
    double change = std::numeric_limits<double>::infinity(), total = 0;
    bool settled(double tau) const { return change <= kFlowChangeShare * total || change <= tau; }
};

FlowChange stepFlows(CBriscoDoc& doc, NewtonWork& w, bool& held)
{
    for (int u = 0; u < int(w.nodeOf.size()); ++u)
        doc.nodes[size_t(w.nodeOf[size_t(u)])].pressure += w.dp[u];
    double change = 0, total = 0;
    held = false;
    for (Link& link : w.links) {
        if (link.dead || link.hold != FanHold::None) {
            total += std::fabs(link.q);
            continue;
        }
        const double da = link.ua >= 0 ? w.dp[link.ua] : 0.0, db = link.ub >= 0 ? w.dp[link.ub] : 0.0;
        double q = link.q - link.r * link.e + link.r * (da - db);
        if (link.kind == LinkKind::Road && link.ua < 0 && link.ub < 0) {
            // Both ends known (a road between surface nodes, or both ends
            // merged into one node): its law gives the flow at once.
            const Road& road = doc.roads[size_t(link.item)];
            const double drive = doc.nodes[size_t(link.a)].pressure - doc.nodes[size_t(link.b)].pressure +
                                 road.naturalDraught;
            double k = 0, n = 2;
            if (roadLaw(doc, road, drive, k, n))
                q = lawFlow(k, n, drive);
        }
        if (link.kind == LinkKind::Fan) {
            const double qmax = curveOf(doc, link.item).qmax();
            if (q < 0 || q > qmax) {
                link.hold = q < 0 ? FanHold::AtZero : FanHold::AtEnd;
                q = q < 0 ? 0.0 : qmax;
                held = true;
            }
        }
        change += std::fabs(q - link.q);
        total += std::fabs(q);
        link.q = q;
    }
    return {change, total};
}

// The fans' airflow and curve pressure from the Newton flows, as the fan
// operating point keeps them: Qf in the user flow unit, Pc on the curve.
void storeNewtonFans(CBriscoDoc& doc, const NewtonWork& w)
{
    for (int f = 1; f <= doc.fanCount; ++f) {
        Fan& fan = doc.fans[f];
        const int l = w.fanLink[size_t(f)];
        if (l < 0) {
            fan.fanFlow = 0;
            fan.pressure = fan.points >= 1 ? fan.curve[1] : 0.0f;
            continue;
        }
        const int n = fan.points;
        const float dq = fan.flowStep, qmax = float(n - 1) * dq;
        fan.fanFlow = std::clamp(float(w.links[size_t(l)].q / doc.specificWeight), 0.0f, qmax);
        fan.pressure = curvePressure(&fan.curve[1], n, dq, fan.fanFlow, CurveEnd::Hold);
    }
}

void finishNewton(CBriscoDoc& doc, const NewtonWork& w, float tau)
{
    storeNewtonFans(doc, w);
    restoreMergedNodes(doc, solverWork(doc));
    // A fan held at zero because it cannot start against the rise it faces
    // is named by the run's check of the fans, whichever method solved.
    ItemList atZero, atEnd;
    for (const Link& link : w.links) {
        if (link.kind != LinkKind::Fan || link.hold == FanHold::None)
            continue;
        const Fan& fan = doc.fans[size_t(link.item)];
        if (link.hold == FanHold::AtEnd)
            atEnd.add(pairText(fan.inlet, fan.outlet));
        else if (fanPoint(doc, link.item).kind != FanPointKind::CannotStart)
            atZero.add(pairText(fan.inlet, fan.outlet));
    }
    if (!atZero.empty())
        doc.solverWarnings.push_back("The network would drive " + std::string(atZero.count() == 1 ? "fan " : "fans ") +
                                 atZero.text() + " below zero airflow: the Newton method held " +
                                 (atZero.count() == 1 ? "it" : "them") + " at zero airflow.");
    if (!atEnd.empty())
        doc.solverWarnings.push_back("The network would take " + std::string(atEnd.count() == 1 ? "fan " : "fans ") +
                                 atEnd.text() + " beyond the last point of " +
                                 (atEnd.count() == 1 ? "its curve" : "their curves") +
                                 ": the Newton method held " + (atEnd.count() == 1 ? "it" : "them") +
                                 " at that point.");
    for (const std::string& group : w.floatingGroups)
        doc.solverWarnings.push_back(group);

    for (int k = 1; k <= doc.roadCount; ++k) {
        const int l = w.roadLink[size_t(k)];
        if (l < 0)
            continue;
        Road& road = doc.roads[k];
        const float m = float(w.links[size_t(l)].q);
        road.reversalFlag = m * road.massFlow < 0 ? 1 : 0;
        road.massFlow = m;
        road.conductance = float(w.links[size_t(l)].r);
        if (road.altResistance > 0)
            road.roadClass = m < 0 ? 2 : 1;
    }
    fixedFlowResults(doc, tau);
}

// The iteration's line (kept in the document and shown), and with the
// units file's display data the flow change, the worst node and the fans.
void showNewtonIteration(CBriscoDoc& doc, const NewtonWork& w, AnalysisDialog& dialog, int it, double worst,
                         int worstNode, const FlowChange& change)
{
    const UnitsSettings& u = doc.app().units;
    char line[160];
    const double shown = doc.specificWeight != 0 ? worst / doc.specificWeight : worst;
    std::snprintf(line, sizeof line, "%4d: %s= %12.6f %s", it, "Error", shown, u.flowUnitName.c_str());
    doc.statusLine = line;
    dialog.setStatusLine(line);
    if (u.displayData != 0) {
        const double share = change.total > 0 ? change.change / change.total : 1.0;
        std::snprintf(line, sizeof line, "dQ/Q = %14.8f", std::isfinite(share) ? share : 1.0);
        dialog.setDiagnosticLine(1, line);
        std::snprintf(line, sizeof line, "Node = %d", worstNode ? doc.nodes[worstNode].number : 0);
        dialog.setDiagnosticLine(2, line);
        for (int f = 1; f <= doc.fanCount && f <= 30; ++f) {
            const int l = w.fanLink[size_t(f)];
            const double rise = doc.nodes[doc.nodeIndex(doc.fans[f].outlet)].pressure -
                                doc.nodes[doc.nodeIndex(doc.fans[f].inlet)].pressure;
            const double pf = u.pressureUnitFactor != 0 ? rise / u.pressureUnitFactor : 0.0;
            const double qf = l >= 0 && doc.specificWeight != 0 ? w.links[size_t(l)].q / doc.specificWeight : 0.0;
            std::snprintf(line, sizeof line, "%4d-%4d", doc.fans[f].inlet, doc.fans[f].outlet);
            dialog.setFanCell(f - 1, 0, line);
            std::snprintf(line, sizeof line, "%9.3f", pf);
            dialog.setFanCell(f - 1, 1, line);
            std::snprintf(line, sizeof line, "%9.2f", qf);
            dialog.setFanCell(f - 1, 2, line);
            dialog.setFanCell(f - 1, 3, l >= 0 && w.links[size_t(l)].hold != FanHold::None ? "1" : "0");
        }
    }
}

}  // namespace

// The matrices and link lists are made at the first solve and kept, with the
// analysed sparsity pattern, while the network stays.
int solveByNewton(CBriscoDoc& doc, AnalysisDialog& dialog, float a1)
{
    const UnitsSettings& u = doc.app().units;
    const float tau = u.solverError * a1 * kTargetImbalancePerError;  // target imbalance, kg/s
    NewtonWork& w = doc.layerWork().get<NewtonWork>();

    prepareSolve(doc, solverWork(doc));
    doc.analysisRunning = 1;
    doc.lastIterations = 0;
    setUpLinks(doc, w);
    buildStructure(doc, w);

    FlowChange change;
    bool held = false;  // the last step held a fan at an end of its curve
    // Flows that have settled while the largest imbalance stays where it was
    // (to the rounding of the densities) are a point the method cannot
    // leave: after kStagnantSteps such steps, more would only repeat it.
    double lastWorst = -1;
    int stagnant = 0;
    for (int it = 1; it < u.maxIteration; ++it) {
        doc.lastIterations = it;
        if (it > 1)
            UpdateRoadDensities(doc);
        const bool restructured = releaseFans(doc, w) || held;
        if (restructured)
            buildStructure(doc, w);
        int worstNode = 0;
        const double worst = lineariseLinks(doc, w, worstNode);

        showNewtonIteration(doc, w, dialog, it, worst, worstNode, change);
        if (dialog.stopRequested()) {
            dialog.enableClose(true);
            storeNewtonFans(doc, w);
            restoreMergedNodes(doc, solverWork(doc));
            return 0;
        }
        if (doc.fire.finishTime <= 0)
            dialog.stepProgress();
        if (it > 1 && !restructured && worst <= tau && change.settled(tau)) {
            finishNewton(doc, w, tau);
            return 1;
        }

        std::string failure;
        if (!solvePressures(doc, w, failure)) {
            doc.solverWarnings.push_back(failure);
            finishNewton(doc, w, tau);
            return -1;
        }
        change = stepFlows(doc, w, held);
        stagnant = change.settled(tau) && std::fabs(worst - lastWorst) <= kStagnantShare * worst ? stagnant + 1 : 0;
        if (stagnant >= kStagnantSteps)
            break;
        lastWorst = worst;
    }
    finishNewton(doc, w, tau);
    return -1;
}

}  // namespace orvex
