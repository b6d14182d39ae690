#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/briscodoc.h"

// First-order changes of a solved network: how its node pressures and link
// flows move when the laws of some links change, from the Newton method's
// system factorised at the solution. At the solution every link obeys
//   h_l(Q_l, x) = P_a - P_b + s_l,
// and continuity holds at every unknown node. The air's density in a road
// follows its mean pressure p_m, so its loss k Q|Q| / ρ and its draught
// s = Δz ρ do too. A change δx of a parameter that moves the loss of link l
// by g_l δx moves its flow by
//   δQ_l = r_l ((1 + κ_l) δP_a - (1 - κ_l) δP_b - g_l δx),
//   r_l = 1 / h_l'(Q_l),  κ_l = (h_l + s_l) / (2 p_m)  (0 for fans and water),
// and continuity gives (A + K) δP = Σ_l r_l g_l (e_a - e_b) δx, A the
// network's Laplacian weighted by r, the matrix the Newton method factorises,
// and K = Σ_l r_l κ_l (e_a - e_b)(e_a + e_b)ᵀ, small beside it: the system
// is solved by iterating on A's factorisation.
namespace orvex {

struct NewtonWork;

// A parameter's effect on the links' laws: link l loses g more (kgf/m²) per
// unit of the parameter.
struct LinkSource {
    int link = 0;
    double g = 0;
};
using ParameterSources = std::vector<LinkSource>;

// A measured quantity, to first order: the pressures of two nodes (unknown
// indexes, -1 for a held pressure) times their factors, plus the flow of a
// link times flowScale.
struct Functional {
    int ua = -1, ub = -1;
    double ca = 0, cb = 0;
    int link = -1;
    double flowScale = 0;
};

// Which of the two ways gives the derivatives: one solve per parameter
// (forward) or one per measured quantity (adjoint).
enum class SensitivityMode { Fewer, Forward, Adjoint };

class NetworkSensitivity {
public:
    // After a converged Newton solve of doc: factorises the system at the
    // solution. ok() false with failure() saying why.
    explicit NetworkSensitivity(CBriscoDoc& doc);
    bool ok() const { return mFailure.empty(); }
    const std::string& failure() const { return mFailure; }

    // The unknown of a node index (the node it was merged into while
    // solving), -1 for a node whose pressure is held.
    int unknownOfNode(int nodeIndex) const { return mUnknownOfNode[size_t(nodeIndex)]; }
    // The link of road k or fan f, -1 where it has none.
    int roadLink(int k) const;
    int fanLink(int f) const;
    // The loss of a link at the solution (kgf/m²): P_a - P_b + s.
    double linkLoss(int link) const;
    // A road's link follows its alternative resistance (the air runs
    // reversed): its resistance has no effect.
    bool onAlternative(int link) const;
    // A fan held at an end of its curve: its pressure is that end's.
    bool held(int link) const;
    // How a road's natural draught follows the pressures of its ends:
    // δs = draughtShare (δP_a + δP_b), in the road's direction.
    double draughtShare(int link) const;

    // d functional / d parameter, rows by functional.
    std::vector<std::vector<double>> jacobian(const std::vector<Functional>& functionals,
                                              const std::vector<ParameterSources>& parameters,
                                              SensitivityMode mode = SensitivityMode::Fewer) const;

private:
    using Matrix = std::vector<std::vector<double>>;
    // One solve per parameter (forward) or per functional (adjoint).
    Matrix forwardJacobian(const std::vector<Functional>& functionals,
                           const std::vector<ParameterSources>& parameters) const;
    Matrix adjointJacobian(const std::vector<Functional>& functionals,
                           const std::vector<ParameterSources>& parameters) const;

    CBriscoDoc& mDoc;
    NewtonWork& mWork;
    std::string mFailure;
    std::vector<int> mUnknownOfNode;
    std::vector<double> mKappa, mMeanPressure;  // by link; κ, p_m
};

}  // namespace orvex
