#pragma once

#include <optional>
#include <string>

#include "profile.h"

// The two ways the airflow solver can find the node pressures. Both solve
// the same network with the same road, pipe and fan laws and store their
// results in the same places; they differ in how they get there.
//   Relaxation: node by node (Gauss-Seidel with over-relaxation, staged
//     regularisation), whose iteration lines and stop behaviour the
//     analysis dialog has always shown; it can need more iterations than
//     its limit on large or stiff networks.
//   Newton: every node pressure and every road and fan flow at once, one
//     sparse factorisation per iteration (the global gradient method); a
//     handful of iterations whatever the size or stiffness of the network.
//     The default of the window program and the batch tool.
// Where the chosen method cannot settle a network the solve goes on with
// the other one (SolveNetwork, analysis/solver.h).
namespace orvex {

enum class SolverMethod { Relaxation, Newton };

// "relaxation" or "newton", as the command line and the profile write it.
std::string solverMethodName(SolverMethod method);
// "the relaxation" or "the Newton method", as the messages name it.
std::string solverMethodWords(SolverMethod method);
// The method a name stands for (any case); nothing for any other text.
std::optional<SolverMethod> parseSolverMethod(const std::string& name);

// The method is kept in the profile, section "ANALYSIS", entry "method",
// as its name. A missing or unknown entry reads as the Newton method.
inline const std::string kAnalysisSection = "ANALYSIS";
inline const std::string kSolverMethodEntry = "method";
inline constexpr SolverMethod kDefaultSolverMethod = SolverMethod::Newton;
SolverMethod readSolverMethod(Profile& profile);
void writeSolverMethod(Profile& profile, SolverMethod method);

}  // namespace orvex
