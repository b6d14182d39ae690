// The Newton method's linear system: the unknown nodes, the matrix's
// pattern and its sparse LDLᵀ factorisation.
#include "analysis/newtonwork.h"

#include <algorithm>
#include <cmath>

#include "model/nodegroups.h"
#include "model/itemlist.h"

namespace orvex {

using Link = NewtonWork::Link;

namespace {

// The unknown nodes: every node a coupling link touches, but the first node
// of each group that no link joins to a surface node, held at its pressure
// (with a warning naming the group).
void chooseUnknowns(const CBriscoDoc& doc, NewtonWork& w)
{
    const int nodes = doc.nodeCount;
    NodeGroups groups(nodes);  // node indexes joined by links
    std::vector<unsigned char> touched(size_t(nodes + 1), 0);
    for (const Link& link : w.links) {
        if (!couples(link))
            continue;
        groups.join(link.a, link.b);
        touched[size_t(link.a)] = touched[size_t(link.b)] = 1;
    }
    std::vector<unsigned char> anchored(size_t(nodes + 1), 0);
    for (int i = 1; i <= doc.surfaceCount && i <= nodes; ++i)
        anchored[size_t(groups.find(i))] = 1;

    w.floatingGroups.clear();
    w.unknownOf.assign(size_t(nodes + 1), -1);
    w.nodeOf.clear();
    std::vector<unsigned char> held(size_t(nodes + 1), 0);  // by group root: its first node is held
    for (int i = doc.surfaceCount + 1; i <= nodes; ++i) {
        if (!touched[size_t(i)])
            continue;
        const int root = groups.find(i);
        if (!anchored[size_t(root)] && !held[size_t(root)]) {
            held[size_t(root)] = 1;
            ItemList members;
            for (int j = i; j <= nodes; ++j)
                if (touched[size_t(j)] && groups.find(j) == root)
                    members.add(std::to_string(doc.nodes[size_t(j)].number));
            w.floatingGroups.push_back(
                "No road or fan joins " + std::string(members.count() == 1 ? "node " : "nodes ") +
                members.text() + " to a surface node: the Newton method held node " +
                std::to_string(doc.nodes[size_t(i)].number) +
                " at its pressure and solved the others from it.");
            continue;
        }
        w.unknownOf[size_t(i)] = int(w.nodeOf.size());
        w.nodeOf.push_back(i);
    }
}

}  // namespace

void buildStructure(const CBriscoDoc& doc, NewtonWork& w)
{
    chooseUnknowns(doc, w);
    const int n = int(w.nodeOf.size());

    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(size_t(n) + w.links.size());
    for (int u = 0; u < n; ++u)
        entries.emplace_back(u, u, 1.0);
    std::vector<long long> pattern;
    pattern.reserve(w.links.size() + 1);
    for (Link& link : w.links) {
        link.ua = couples(link) ? w.unknownOf[size_t(link.a)] : -1;
        link.ub = couples(link) ? w.unknownOf[size_t(link.b)] : -1;
        if (link.ua >= 0 && link.ub >= 0) {
            const int row = std::max(link.ua, link.ub), col = std::min(link.ua, link.ub);
            entries.emplace_back(row, col, 1.0);
            pattern.push_back((long long)col * n + row);
        }
    }
    std::sort(pattern.begin(), pattern.end());
    pattern.erase(std::unique(pattern.begin(), pattern.end()), pattern.end());
    pattern.push_back(n);

    w.matrix.resize(n, n);
    w.matrix.setFromTriplets(entries.begin(), entries.end());
    w.matrix.makeCompressed();
    const auto position = [&w](int row, int col) {
        const int* inner = w.matrix.innerIndexPtr();
        const int begin = w.matrix.outerIndexPtr()[col], end = w.matrix.outerIndexPtr()[col + 1];
        return int(std::lower_bound(inner + begin, inner + end, row) - inner);
    };
    std::vector<int> diagonal(static_cast<size_t>(n));
    for (int u = 0; u < n; ++u)
        diagonal[size_t(u)] = position(u, u);
    for (Link& link : w.links) {
        link.diagA = link.ua >= 0 ? diagonal[size_t(link.ua)] : -1;
        link.diagB = link.ub >= 0 ? diagonal[size_t(link.ub)] : -1;
        link.off = link.ua >= 0 && link.ub >= 0
            ? position(std::max(link.ua, link.ub), std::min(link.ua, link.ub))
            : -1;
    }
    if (n > 0 && (!w.analysed || pattern != w.pattern)) {
        w.ldlt.analyzePattern(w.matrix);
        w.pattern = std::move(pattern);
        w.analysed = true;
    }
    w.f.resize(n);
    w.dp.resize(n);
}

bool solvePressures(const CBriscoDoc& doc, NewtonWork& w, std::string& failure)
{
    if (w.nodeOf.empty())
        return true;  // every node's pressure is known
    double* values = w.matrix.valuePtr();
    std::fill(values, values + w.matrix.nonZeros(), 0.0);
    for (const Link& link : w.links) {
        if (link.diagA >= 0)
            values[link.diagA] += link.r;
        if (link.diagB >= 0)
            values[link.diagB] += link.r;
        if (link.off >= 0)
            values[link.off] -= link.r;
    }
    w.ldlt.factorize(w.matrix);
    ItemList singular;
    if (w.ldlt.info() == Eigen::Success) {
        const Eigen::VectorXd& d = w.ldlt.vectorD();
        const auto& permutation = w.ldlt.permutationP().indices();
        for (int u = 0; u < int(w.nodeOf.size()); ++u) {
            const double pivot = d[permutation[u]];
            if (!(pivot > 0) || !std::isfinite(pivot))
                singular.add(std::to_string(doc.nodes[size_t(w.nodeOf[size_t(u)])].number));
        }
    } else {
        singular.add("all of them");
    }
    if (singular.empty()) {
        w.dp = w.ldlt.solve(w.f);
        if (w.dp.allFinite())
            return true;
        singular.add("all of them");
    }
    failure = "The Newton method could not solve for the pressures of the nodes (" + singular.text() +
              "): the system of the network is singular there. The results are those of its last "
              "iteration.";
    return false;
}

}  // namespace orvex
