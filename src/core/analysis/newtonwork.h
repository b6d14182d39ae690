#pragma once

#include <string>
#include <vector>

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

#include "model/briscodoc.h"

// The Newton method's links and its linear system (newton.cpp solves,
// newtonsystem.cpp builds and factorises the system).
namespace orvex {

enum class LinkKind : unsigned char { Road, Fan };
enum class FanHold : unsigned char { None, AtZero, AtEnd };

// The Newton method's matrices and link lists, made at its first solve and
// kept with the document, with the analysed sparsity pattern, while the
// network stays.
struct NewtonWork : LayerWork {
    struct Link {
        LinkKind kind = LinkKind::Road;
        int item = 0;          // road or fan index
        int a = 0, b = 0;      // node indexes while merged: first end (fan inlet), second end
        int ua = -1, ub = -1;  // unknown indexes of the ends, -1 for a fixed or unsolved node
        double q = 0;          // kg/s, + from a to b
        double r = 0;          // dQ/dh of the linearisation, kg/s per kgf/m²
        double e = 0;          // h(q) - (P_a - P_b + s), kgf/m²
        int diagA = -1, diagB = -1, off = -1;  // positions in the matrix's values
        bool dead = false;     // no usable law (no resistance): carries nothing
        FanHold hold = FanHold::None;
        int switches = 0;
    };
    std::vector<Link> links;
    std::vector<int> roadLink;   // by road index: its link, -1 for none
    std::vector<int> fanLink;    // by fan index
    std::vector<int> unknownOf;  // by node index: unknown index, -1 fixed or unsolved
    std::vector<int> nodeOf;     // by unknown index: node index
    std::vector<std::string> floatingGroups;  // warnings of the groups held at one node
    std::vector<long long> pattern;           // off-diagonal entries and size the analysis was made for
    bool analysed = false;
    Eigen::SparseMatrix<double> matrix;
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower> ldlt;
    Eigen::VectorXd f, dp;
};


// A link that joins two different nodes with a usable law and is not held
// takes part in the system.
inline bool couples(const NewtonWork::Link& link)
{
    return !link.dead && link.hold == FanHold::None && link.a != link.b;
}

// Which nodes are unknown, where each link's entries lie in the matrix, and
// the matrix's pattern, analysed again only when it differs from the last.
void buildStructure(const CBriscoDoc& doc, NewtonWork& w);
// Factorises the linearised system and solves it for the pressure changes;
// on failure, names the nodes where it is singular.
bool solvePressures(const CBriscoDoc& doc, NewtonWork& w, std::string& failure);

}  // namespace orvex
