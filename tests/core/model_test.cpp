// The document's model operations: construction, adjacency, road look-up,
// load preparation, plan rotation and the record iterators.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "testsupport.h"

namespace orvex::test {
namespace {

constexpr double kDegree = 0.01745327777777778;  // 3.14159 / 180

// Four nodes numbered 10, 20, 30, 40 (index 1 on the surface), four normal
// roads 10-20, 20-30, 30-10, 20-40 and a fixed-flow road 10-40.
void buildSquare(CBriscoDoc& doc)
{
    doc.surfaceCount = 1;
    doc.undergroundCount = 3;
    const float elevations[] = {0, 100, -50, -60, -200};
    for (int i = 1; i <= 4; ++i) {
        doc.nodes[i].number = 10 * i;
        doc.nodes[i].elevation = elevations[i];
    }
    const std::pair<int, int> ends[] = {{0, 0}, {10, 20}, {20, 30}, {30, 10}, {20, 40}, {10, 40}};
    for (int k = 1; k <= 5; ++k) {
        doc.roads[k].first = ends[k].first;
        doc.roads[k].second = ends[k].second;
    }
    doc.roadCount = 4;
    doc.fixedCount = 1;
    doc.fanCount = 0;
    doc.bendUsed = 0;
    doc.rebuildAdjacency();
}

class ModelTest : public ::testing::Test {
protected:
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
};

TEST_F(ModelTest, ConstructionLoadsTheDefaultNetworkWithoutResistances)
{
    EXPECT_EQ(doc.surfaceCount, 2);
    EXPECT_EQ(doc.nodeCount, 3);
    EXPECT_EQ(doc.roadCount, 2);
    EXPECT_EQ(doc.title, " Default network\n");
    EXPECT_EQ(doc.windowTitle, "");
    EXPECT_EQ(doc.fire.fireNode, 7);  // from the program folder's parameter file
    EXPECT_EQ(doc.roads[1].resistance, 0.0f);
    EXPECT_EQ(doc.roads[2].resistance, 0.0f);
    EXPECT_EQ(doc.roads[2].temperature, 22.0f);
    EXPECT_FALSE(doc.modified);
}

TEST_F(ModelTest, ConstructionWithoutSettingsFilesKeepsTheDefaults)
{
    ProgramFiles files;
    files.withDefaultNetwork = false;
    files.withDefaultParameters = false;
    Installation bare(files);
    auto fresh = bare.newDocument();
    EXPECT_EQ(bare.reporter.all(),
              "[ztna.sdt]\n[" + bare.program() + "/sdt/ztkihon.sdt:read ?]\n");
    EXPECT_EQ(fresh->counts().nodes, 0);
    EXPECT_EQ(fresh->totalRoads(), 0);
    EXPECT_EQ(fresh->title, "Untitled");
    EXPECT_EQ(fresh->fire.fireNode, 14);
    EXPECT_EQ(fresh->fire.fireTemperature, 400.0f);
    EXPECT_EQ(fresh->surfaceTemperature, 20.0f);
}

TEST_F(ModelTest, ReinitialiseReturnsToTheDefaultNetworkWithStraightRoads)
{
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
    doc.rebuildAdjacency();
    ASSERT_EQ(doc.readBendFile(kSmallBase), 1);
    ASSERT_EQ(doc.readParameterFile(kSmallBase), 1);
    inst.app.pending = true;
    doc.reinitialise();
    EXPECT_FALSE(inst.app.pending);
    EXPECT_EQ(doc.nodeCount, 3);
    EXPECT_EQ(doc.totalRoads(), 2);
    EXPECT_EQ(doc.fanCount, 0);
    EXPECT_EQ(doc.fire.fireNode, 7);
    EXPECT_EQ(doc.bendUsed, 0);
    for (int k = 1; k < kMaxRoads; ++k)
        ASSERT_EQ(doc.roads[k].bendStart, 0) << k;
    for (int s = 1; s < kMaxBendSlots; ++s)
        ASSERT_EQ(doc.bends[s].mark, 0) << s;
}

TEST_F(ModelTest, RebuildAdjacencyListsNormalRoadsOnly)
{
    buildSquare(doc);
    EXPECT_EQ(doc.nodeCount, 4);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(doc.numberToIndex[10 * i], i);

    // Degrees 2, 3, 2, 1: the fixed-flow road 10-40 adds nothing.
    const int degree[] = {0, 2, 3, 2, 1};
    const int start[] = {0, 0, 2, 5, 7};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(doc.nodes[i].degree, degree[i]) << i;
        EXPECT_EQ(doc.nodes[i].adjacencyStart, start[i]) << i;
    }
    // Filled road by road: first end (+1) then second end (-1).
    const int neighbour[] = {0, 2, 3, 1, 3, 4, 2, 1, 2};
    const int road[] = {0, 1, 3, 1, 2, 4, 2, 3, 4};
    const int sign[] = {0, +1, -1, -1, +1, +1, -1, +1, -1};
    for (int p = 1; p <= 8; ++p) {
        EXPECT_EQ(doc.adjacentNode[p], neighbour[p]) << p;
        EXPECT_EQ(doc.adjacentRoad[p], road[p]) << p;
        EXPECT_EQ(doc.adjacentSign[p], sign[p]) << p;
    }
}

TEST_F(ModelTest, FindRoadTakesTheLowestIndexInEitherOrder)
{
    buildSquare(doc);
    doc.roads[4] = doc.roads[1];  // road 4 becomes 10-20 as well, road 5 (fixed) 10-40
    std::swap(doc.roads[4].first, doc.roads[4].second);
    EXPECT_EQ(doc.findRoad(10, 20), 1);
    EXPECT_EQ(doc.findRoad(20, 10), 1);
    EXPECT_EQ(doc.findRoad(30, 20), 2);
    EXPECT_EQ(doc.findRoad(10, 40), 0);
    EXPECT_EQ(doc.findRoad(40, 10, RoadScope::All), 5);
    EXPECT_EQ(doc.findRoad(10, 99, RoadScope::All), 0);
}

TEST_F(ModelTest, PrepareWithoutSurfaceNodesUsesTheSeaLevelReference)
{
    doc.surfaceCount = 0;
    doc.undergroundCount = 1;
    doc.nodes[1].elevation = -100;
    doc.roadCount = doc.fixedCount = doc.fanCount = 0;
    doc.rebuildAdjacency();
    doc.prepareAfterLoad();
    // zm = 0, Pm = 10336.0, g = 10336 / (293.15 * 29.27) = 1.204592
    EXPECT_NEAR(doc.nodes[1].pressure, 10336.0 + 100 * 1.204592, 0.01);
}

TEST_F(ModelTest, PrepareSetsHydrostaticPressuresAndResetsFans)
{
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
    doc.surfaceCount = 2;  // keep nodes 1 (100 m) and 2 (101.3 m) on the surface
    doc.undergroundCount = 8;
    doc.nodes[2].elevation = 300;
    doc.nodes[10].elevation = -300;
    doc.surfaceTemperature = 20;
    doc.fans[1].fanFlow = 99;
    doc.rebuildAdjacency();
    doc.prepareAfterLoad();
    // zm = (100 + 300) / 2 = 200
    // Pm = 10336 * (1 - 2.257e-5 * 200)^5.256 = 10336 * 0.995486^5.256
    //    = 10336 * exp(5.256 * ln 0.995486) = 10336 * exp(-0.0237793) = 10093.12
    // g  = 10093.12 / ((20 + 273.15) * 29.27) = 1.176285
    // node at -300 m: 10093.12 + (200 + 300) * 1.176285 = 10681.26
    EXPECT_NEAR(doc.nodes[10].pressure, 10681.26, 0.01);
    EXPECT_NEAR(doc.nodes[1].pressure, 10093.12 + 100 * 1.176285, 0.01);
    EXPECT_EQ(doc.roads[3].initialTemperature, 25.0f);
    EXPECT_EQ(doc.fans[1].fanFlow, 0.0f);
    EXPECT_EQ(doc.fans[1].pressure, 100.0f);
    EXPECT_EQ(doc.fans[2].pressure, 1.0f);
}

TEST_F(ModelTest, PrepareWaterNetworkMeasuresFromTheHighestReservoir)
{
    buildSquare(doc);
    doc.surfaceCount = 3;  // surface elevations 100, 100, -60 and one node at -200 below
    doc.undergroundCount = 1;
    doc.nodes[2].elevation = 100;  // ties with index 1: the same reference either way
    doc.networkKind = kWaterNetworkKind;
    doc.density = 1000;
    doc.roads[1].area = 0.3f, doc.roads[1].length = 500, doc.roads[1].conductivity = 120;
    doc.roads[2].area = 0.2f, doc.roads[2].length = 0, doc.roads[2].conductivity = 2.5f;
    doc.rebuildAdjacency();
    doc.prepareAfterLoad();
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(doc.nodes[i].pressure, 0.0) << i;
    EXPECT_NEAR(doc.nodes[4].pressure, (100 + 200) * 1000.0, 0.5);

    const double d1 = double(0.3f), d2 = double(0.2f);
    const double hazenWilliams = 1000.0 * 500 * 10.676 / std::pow(d1, 4.87) / std::pow(120.0, 1.852);
    const double localLoss = 1000.0 * 2.5 * 0.082711 / std::pow(d2, 4.0);
    EXPECT_NEAR(doc.roads[1].resistance, hazenWilliams, hazenWilliams * 1e-6);
    EXPECT_NEAR(doc.roads[2].resistance, localLoss, localLoss * 1e-6);
}

TEST_F(ModelTest, RotateTurnsEveryPointAboutTheOrigin)
{
    buildSquare(doc);
    const std::vector<std::pair<float, float>> points = {{1000, 0}, {0, 500}, {-300, -400}, {250, 750}};
    for (int i = 1; i <= 4; ++i)
        doc.nodes[i].x = points[i - 1].first, doc.nodes[i].y = points[i - 1].second;
    doc.bendUsed = 2;
    doc.bends[1] = {1, 0, 0};
    doc.bends[2] = {0, -800, 600};
    doc.rotatePlan(-45);

    const auto check = [](float x, float y, double x0, double y0) {
        const double r = std::hypot(x0, y0);
        const double angle = std::atan2(y0, x0) - 45 * kDegree;
        EXPECT_NEAR(std::hypot(x, y), r, 1e-3);
        EXPECT_NEAR(x, r * std::cos(angle), 1e-4);
        EXPECT_NEAR(y, r * std::sin(angle), 1e-4);
    };
    for (int i = 1; i <= 4; ++i)
        check(doc.nodes[i].x, doc.nodes[i].y, points[i - 1].first, points[i - 1].second);
    check(doc.bends[2].x, doc.bends[2].y, -800, 600);
    EXPECT_EQ(doc.bends[1].x, 0.0f);
    // 3.14159/180 rather than pi/180: off by 6.6e-4 at 1000 m from the origin.
    EXPECT_GT(std::abs(doc.nodes[1].y + 1000 * std::sin(3.14159265358979 / 4)), 3e-4);
}

TEST_F(ModelTest, IteratorsShareOneCursorAndStartAgainAfterTheEnd)
{
    ASSERT_EQ(doc.readNetworkFile(dataPath("small.vad"), true), 1);
    doc.readNodeLocationFile(kSmallBase);

    std::vector<float> xs;
    float x = 0, y = 0;
    while (doc.nextNodePosition(x, y))
        xs.push_back(x);
    EXPECT_EQ(xs, (std::vector<float>{0, 10, 20, 30, 40, 50, 60, 0, 100.5f, 200}));
    ASSERT_EQ(doc.nextNodePosition(x, y), 1);  // again from record 1
    EXPECT_EQ(x, 0.0f);
    ASSERT_EQ(doc.nextNodePosition(x, y), 1);
    EXPECT_EQ(x, 10.0f);

    // The cursor now stands at 3, beyond the two fans.
    int inlet = 0, outlet = 0;
    EXPECT_EQ(doc.nextFan(inlet, outlet), 0);
    ASSERT_EQ(doc.nextFan(inlet, outlet), 1);
    EXPECT_EQ(std::make_pair(inlet, outlet), std::make_pair(12, 6));
    ASSERT_EQ(doc.nextFan(inlet, outlet), 1);
    EXPECT_EQ(std::make_pair(inlet, outlet), std::make_pair(11, 7));  // cursor shared: fan 2
    EXPECT_EQ(doc.nextFan(inlet, outlet), 0);

    int number = 0, count = 0, first = 0, second = 0, bend = 0;
    float value = 0;
    ASSERT_EQ(doc.nextNodeValue(2, number, value), 1);
    EXPECT_EQ(std::make_pair(number, value), std::make_pair(1, 100.0f));
    ASSERT_EQ(doc.nextNodeValue(1, number, value), 1);
    EXPECT_EQ(value, 2.0f);
    while (doc.nextNodeValue(1, number, value)) {}
    while (doc.nextRoad(first, second, bend))
        ++count;
    EXPECT_EQ(count, 7);  // fixed-flow roads included
    EXPECT_EQ(std::make_pair(first, second), std::make_pair(5, 12));
}

}  // namespace
}  // namespace orvex::test
