// First-order changes of a solved network from the Newton method's
// factorised system (sensitivity.h gives the equations).
#include "calibration/sensitivity.h"

#include <Eigen/Core>

#include "analysis/newtonwork.h"
#include "model/nodegroups.h"

namespace orvex {

namespace {

// The coupling of the densities: at most this many passes, fewer once a pass
// moves the solution by less than this share of it.
constexpr int kCouplingPasses = 30;
constexpr double kCouplingTolerance = 1e-12;

// The unknown of every node index: a node merged into another while solving
// (the ends of a zero-flow connection) moves with the node that stood for it.
std::vector<int> unknownsOfNodes(const CBriscoDoc& doc, const NewtonWork& w)
{
    std::vector<int> unknown(size_t(doc.nodeCount + 1), -1);
    for (int i = 1; i <= doc.nodeCount && i < int(w.unknownOf.size()); ++i)
        unknown[size_t(i)] = w.unknownOf[size_t(i)];
    NodeGroups joined(doc.nodeCount);
    for (int k = doc.roadCount + 1; k <= doc.totalRoads(); ++k) {
        const Road& road = doc.roads[size_t(k)];
        const int a = doc.nodeIndex(road.first), b = doc.nodeIndex(road.second);
        if (road.resistance == 0.0f && a && b)
            joined.join(a, b);
    }
    std::vector<int> ofGroup(size_t(doc.nodeCount + 1), -1);
    for (int i = 1; i <= doc.nodeCount; ++i)
        if (unknown[size_t(i)] >= 0)
            ofGroup[size_t(joined.find(i))] = unknown[size_t(i)];
    for (int i = doc.surfaceCount + 1; i <= doc.nodeCount; ++i)
        if (unknown[size_t(i)] < 0)
            unknown[size_t(i)] = ofGroup[size_t(joined.find(i))];
    return unknown;
}

// Solves (A + K) y = b, or its transpose, by y ← A⁻¹ (b - K y): K is a few
// per cent of A at most, so a handful of solves on A's factorisation settle it.
Eigen::VectorXd solveCoupled(const NewtonWork& w, const std::vector<double>& kappa, const Eigen::VectorXd& b,
                             bool transposed)
{
    const Eigen::Index n = b.size();
    if (n == 0)
        return b;
    Eigen::VectorXd y = w.ldlt.solve(b);
    const auto at = [](const Eigen::VectorXd& v, int u) { return u >= 0 ? v[u] : 0.0; };
    for (int pass = 0; pass < kCouplingPasses; ++pass) {
        Eigen::VectorXd ky = Eigen::VectorXd::Zero(n);
        for (size_t l = 0; l < w.links.size(); ++l) {
            const auto& link = w.links[l];
            const double rk = link.r * kappa[l];
            if (rk == 0)
                continue;
            // K = r κ (e_a - e_b)(e_a + e_b)ᵀ; Kᵀ = r κ (e_a + e_b)(e_a - e_b)ᵀ.
            const double v = rk * (transposed ? at(y, link.ua) - at(y, link.ub) : at(y, link.ua) + at(y, link.ub));
            if (link.ua >= 0)
                ky[link.ua] += v;
            if (link.ub >= 0)
                ky[link.ub] += transposed ? v : -v;
        }
        const Eigen::VectorXd next = w.ldlt.solve(b - ky);
        const double change = (next - y).lpNorm<Eigen::Infinity>();
        y = next;
        if (change <= kCouplingTolerance * y.lpNorm<Eigen::Infinity>())
            break;
    }
    return y;
}

}  // namespace

NetworkSensitivity::NetworkSensitivity(CBriscoDoc& doc)
    : mDoc(doc), mWork(doc.layerWork().get<NewtonWork>())
{
    if (doc.solvedBy != SolverMethod::Newton || mWork.unknownOf.empty()) {
        mFailure = "the network was not solved by the Newton method";
        return;
    }
    mWork.f.setZero();
    if (!solvePressures(doc, mWork, mFailure))
        return;
    mUnknownOfNode = unknownsOfNodes(doc, mWork);
    mKappa.assign(mWork.links.size(), 0.0);
    mMeanPressure.assign(mWork.links.size(), 0.0);
    for (size_t l = 0; l < mWork.links.size(); ++l) {
        const NewtonWork::Link& link = mWork.links[l];
        mMeanPressure[l] = (doc.nodes[size_t(link.a)].pressure + doc.nodes[size_t(link.b)].pressure) / 2;
        if (link.kind == LinkKind::Road && !doc.isWater() && mMeanPressure[l] > 0)
            mKappa[l] = (linkLoss(int(l)) + doc.roads[size_t(link.item)].naturalDraught) / (2 * mMeanPressure[l]);
    }
}

int NetworkSensitivity::roadLink(int k) const
{
    return k >= 1 && k < int(mWork.roadLink.size()) ? mWork.roadLink[size_t(k)] : -1;
}

int NetworkSensitivity::fanLink(int f) const
{
    return f >= 1 && f < int(mWork.fanLink.size()) ? mWork.fanLink[size_t(f)] : -1;
}

double NetworkSensitivity::linkLoss(int link) const
{
    const NewtonWork::Link& l = mWork.links[size_t(link)];
    const double drop = mDoc.nodes[size_t(l.a)].pressure - mDoc.nodes[size_t(l.b)].pressure;
    return l.kind == LinkKind::Road ? drop + mDoc.roads[size_t(l.item)].naturalDraught : drop;
}

bool NetworkSensitivity::onAlternative(int link) const
{
    const NewtonWork::Link& l = mWork.links[size_t(link)];
    if (l.kind != LinkKind::Road)
        return false;
    const Road& road = mDoc.roads[size_t(l.item)];
    return mDoc.altResistanceRoads > 0 && road.altResistance > 0 && l.q < 0;
}

bool NetworkSensitivity::held(int link) const
{
    return link >= 0 && mWork.links[size_t(link)].hold != FanHold::None;
}

double NetworkSensitivity::draughtShare(int link) const
{
    const NewtonWork::Link& l = mWork.links[size_t(link)];
    if (l.kind != LinkKind::Road || mDoc.isWater() || !(mMeanPressure[size_t(link)] > 0))
        return 0;
    return mDoc.roads[size_t(l.item)].naturalDraught / (2 * mMeanPressure[size_t(link)]);
}

namespace {

double at(const Eigen::VectorXd& v, int u)
{
    return u >= 0 ? v[u] : 0.0;
}

// Where a link's flow moves with the pressures: δQ = r((1+κ)δP_a - (1-κ)δP_b).
double linkFlowChange(const NewtonWork::Link& link, double k, const Eigen::VectorXd& dp)
{
    return link.r * ((1 + k) * at(dp, link.ua) - (1 - k) * at(dp, link.ub));
}

}  // namespace

std::vector<std::vector<double>> NetworkSensitivity::jacobian(const std::vector<Functional>& functionals,
                                                              const std::vector<ParameterSources>& parameters,
                                                              SensitivityMode mode) const
{
    const bool forward = mode == SensitivityMode::Forward ||
                         (mode == SensitivityMode::Fewer && parameters.size() <= functionals.size());
    return forward ? forwardJacobian(functionals, parameters) : adjointJacobian(functionals, parameters);
}

NetworkSensitivity::Matrix NetworkSensitivity::forwardJacobian(const std::vector<Functional>& functionals,
                                                               const std::vector<ParameterSources>& parameters) const
{
    const auto& links = mWork.links;
    const int n = int(mWork.nodeOf.size());
    Matrix J(functionals.size(), std::vector<double>(parameters.size(), 0.0));
    std::vector<double> g(links.size(), 0.0);  // the parameter's g by link
    for (size_t j = 0; j < parameters.size(); ++j) {
        Eigen::VectorXd b = Eigen::VectorXd::Zero(n);
        for (const LinkSource& s : parameters[j]) {
            const auto& l = links[size_t(s.link)];
            if (l.ua >= 0)
                b[l.ua] += l.r * s.g;
            if (l.ub >= 0)
                b[l.ub] -= l.r * s.g;
            g[size_t(s.link)] = s.g;
        }
        const Eigen::VectorXd dp = solveCoupled(mWork, mKappa, b, false);
        for (size_t i = 0; i < functionals.size(); ++i) {
            const Functional& f = functionals[i];
            double d = f.ca * at(dp, f.ua) + f.cb * at(dp, f.ub);
            if (f.link >= 0) {
                const NewtonWork::Link& l = links[size_t(f.link)];
                d += f.flowScale * (linkFlowChange(l, mKappa[size_t(f.link)], dp) - l.r * g[size_t(f.link)]);
            }
            J[i][j] = d;
        }
        for (const LinkSource& s : parameters[j])
            g[size_t(s.link)] = 0;
    }
    return J;
}

NetworkSensitivity::Matrix NetworkSensitivity::adjointJacobian(const std::vector<Functional>& functionals,
                                                               const std::vector<ParameterSources>& parameters) const
{
    const auto& links = mWork.links;
    const int n = int(mWork.nodeOf.size());
    Matrix J(functionals.size(), std::vector<double>(parameters.size(), 0.0));
    for (size_t i = 0; i < functionals.size(); ++i) {
        const Functional& f = functionals[i];
        Eigen::VectorXd c = Eigen::VectorXd::Zero(n);
        if (f.ua >= 0)
            c[f.ua] += f.ca;
        if (f.ub >= 0)
            c[f.ub] += f.cb;
        if (f.link >= 0) {
            const auto& l = links[size_t(f.link)];
            const double k = mKappa[size_t(f.link)];
            if (l.ua >= 0)
                c[l.ua] += f.flowScale * l.r * (1 + k);
            if (l.ub >= 0)
                c[l.ub] -= f.flowScale * l.r * (1 - k);
        }
        const Eigen::VectorXd lambda = solveCoupled(mWork, mKappa, c, true);
        for (size_t j = 0; j < parameters.size(); ++j) {
            double d = 0;
            for (const LinkSource& s : parameters[j]) {
                const auto& l = links[size_t(s.link)];
                d += (at(lambda, l.ua) - at(lambda, l.ub)) * l.r * s.g;
                if (s.link == f.link)
                    d -= f.flowScale * l.r * s.g;
            }
            J[i][j] = d;
        }
    }
    return J;
}

}  // namespace orvex
