// Which nodes the solver corrects together: the two underground ends of the
// lowest-resistance roads form pairs, every other underground node with a
// road is corrected on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "analysis/rundriver.h"
#include "support.h"

namespace orvex::analysistest {
namespace {

std::vector<int> pairRoads(const CBriscoDoc& doc)
{
    return {doc.solver.pairRoad.begin() + 1, doc.solver.pairRoad.begin() + 1 + doc.solver.pairCount};
}

std::vector<int> singleNodes(const CBriscoDoc& doc)
{
    std::vector<int> numbers;
    for (int s = 1; s <= doc.solver.singleCount; ++s)
        numbers.push_back(doc.nodes[size_t(doc.solver.single[size_t(s)])].number);
    return numbers;
}

TEST(PairSelection, LowestResistanceRoadBetweenBusyUndergroundNodesBecomesAPair)
{
    // 600 m³/min enter at 10 and leave through 11 and 12 to the collar.
    //   1-10  R 0.005  the lowest, but 1 is a surface node: never a pair
    //  10-11  R 0.01   both underground and free, both with more roads: the pair
    //  11-12  R 0.02   11 is taken: 12 stays on its own
    //  13-14  R 0.001  lowest of all, but neither node has another road
    TestNetwork net;
    net.surface(1, 0);
    net.surface(2, 0);
    for (int number : {10, 11, 12, 13, 14})
        net.underground(number, 0);
    net.road(1, 10, 0.005f);
    const int pair = net.road(10, 11, 0.01f);
    net.road(11, 2, 0.5f);
    net.road(11, 12, 0.02f);
    net.road(12, 2, 0.3f);
    net.road(13, 14, 0.001f);
    net.fixedRoad(1, 10, 600);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    EXPECT_EQ(pairRoads(doc), std::vector<int>{pair});
    EXPECT_EQ(singleNodes(doc), (std::vector<int>{12, 13, 14}));
    // Corrected together or alone, the nodes balance within the target.
    EXPECT_LE(meanImbalance(doc), kTargetImbalance);
    // What enters at 10 leaves to the collars (road 1-10 runs backwards).
    EXPECT_NEAR(-doc.roads[1].massFlow + doc.roads[3].massFlow + doc.roads[5].massFlow,
                kGammaQ * 600, 4 * kTargetImbalance);
}

TEST(PairSelection, RoadsAreTakenInAscendingResistance)
{
    // A chain of 40 underground nodes whose roads have resistances in a
    // scrambled order. The pairs are taken greedily from the lowest
    // resistance up, so the first pair is the lowest road of the chain and no
    // node is in two pairs; the sorted list is ascending.
    TestNetwork net;
    net.surface(1, 0);
    net.surface(2, 0);
    const int n = 40;
    for (int i = 0; i < n; ++i)
        net.underground(100 + i, 0);
    std::vector<float> resistance;
    for (int i = 0; i + 1 < n; ++i) {
        resistance.push_back(0.01f + 0.001f * float((i * 17) % 39));
        net.road(100 + i, 101 + i, resistance.back());
    }
    net.road(100 + n - 1, 2, 5.0f);
    net.fixedRoad(1, 100, 300);
    CBriscoDoc& doc = net.build();
    RecordingDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog).result, 1) << net.reporter.all();

    std::vector<float> sorted;
    for (int p = 1; p <= doc.roadCount; ++p)
        sorted.push_back(doc.roads[size_t(doc.solver.order[size_t(p)])].resistance);
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
    std::vector<int> seen(size_t(doc.roadCount) + 1, 0);
    for (int p = 1; p <= doc.roadCount; ++p)
        ++seen[size_t(doc.solver.order[size_t(p)])];
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), doc.roadCount);  // a permutation

    const std::vector<int> pairs = pairRoads(doc);
    ASSERT_FALSE(pairs.empty());
    const float lowest = *std::min_element(resistance.begin(), resistance.end());
    EXPECT_EQ(doc.roads[size_t(pairs.front())].resistance, lowest);
    std::vector<int> taken(size_t(doc.nodeCount) + 1, 0);
    for (const int k : pairs) {
        ++taken[size_t(doc.solver.endA[size_t(k)])];
        ++taken[size_t(doc.solver.endB[size_t(k)])];
    }
    for (int s = 1; s <= doc.solver.singleCount; ++s)
        ++taken[size_t(doc.solver.single[size_t(s)])];
    // Every underground node is corrected exactly once per sweep.
    for (int i = doc.surfaceCount + 1; i <= doc.nodeCount; ++i)
        EXPECT_EQ(taken[size_t(i)], 1) << "node " << doc.nodes[size_t(i)].number;

    // 300 m³/min pass along the whole chain to collar 2. The stopping rule
    // bounds the mean imbalance per node by τ; the flow of a road differs from
    // what enters the chain by the imbalances of the nodes before it, at most
    // n × τ (0.0096 kg/s, 0.5 m³/min) at the far end.
    EXPECT_LE(meanImbalance(doc), kTargetImbalance);
    for (int k = 1; k <= n; ++k)
        EXPECT_NEAR(doc.roads[size_t(k)].massFlow, kGammaQ * 300, k * kTargetImbalance) << "road " << k;
}

}  // namespace
}  // namespace orvex::analysistest
