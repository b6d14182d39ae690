// The sample fire scenario: a fire on an intake airway of the sample mine,
// 30 minutes. The gas must reach the return and the main fan, the hot air's
// draught must change the airflows, and every stored quantity must stay
// within what the fire and the rock allow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analysis/rundriver.h"
#include "model/networkio.h"
#include "model/profile.h"
#include "model/units.h"
#include "support.h"

namespace orvex::firetest {
namespace {

struct Opened {
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
};

// Opens the sample as the window program does, with the installation's
// units file.
std::unique_ptr<Opened> openSample()
{
    auto o = std::make_unique<Opened>();
    o->app.programFolder = ORVEX_SOURCE_DIR;
    if (readUnitsFile(o->app.programFolder, o->app.units, o->reporter) != 1)
        return nullptr;
    o->app.pendingFile = std::string(ORVEX_SOURCE_DIR) + "/data/minefire.vad";
    o->app.pending = true;
    o->doc = std::make_unique<CBriscoDoc>(o->app, o->reporter);
    MemoryProfile profile;
    if (!openPendingNetwork(*o->doc, profile))
        return nullptr;
    return o;
}

class SampleFire : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        plain = openSample().release();
        fire = openSample().release();
        if (!plain || !fire)
            return;
        RecordingDialog quiet;
        plainOutcome = runAnalysis(*plain->doc, quiet, true);
        fireDialog = new RecordingDialog;
        fireObserver = new RecordingObserver(*fireDialog);
        steps = new std::vector<std::vector<std::pair<float, float>>>;
        const CBriscoDoc* doc = fire->doc.get();
        fireDialog->onSecondLine = [doc](const std::string&) {
            std::vector<std::pair<float, float>> roads;
            for (int k = 1; k <= doc->roadCount; ++k)
                roads.emplace_back(doc->roads[size_t(k)].massFlow, doc->roads[size_t(k)].outletTemperature);
            steps->push_back(roads);
        };
        fireOutcome = runAnalysis(*fire->doc, *fireDialog, *fireObserver);
    }
    static void TearDownTestSuite()
    {
        delete steps;
        delete fireObserver;
        delete fireDialog;
        delete plain;
        delete fire;
    }
    void SetUp() override
    {
        ASSERT_NE(plain, nullptr);
        ASSERT_NE(fire, nullptr);
    }

    static Opened* plain;
    static Opened* fire;
    static RecordingDialog* fireDialog;
    static RecordingObserver* fireObserver;
    static RunOutcome plainOutcome, fireOutcome;
    // Mass flow and outlet temperature of every road at every fire line.
    static std::vector<std::vector<std::pair<float, float>>>* steps;
};

Opened* SampleFire::plain = nullptr;
Opened* SampleFire::fire = nullptr;
RecordingDialog* SampleFire::fireDialog = nullptr;
RecordingObserver* SampleFire::fireObserver = nullptr;
RunOutcome SampleFire::plainOutcome;
RunOutcome SampleFire::fireOutcome;
std::vector<std::vector<std::pair<float, float>>>* SampleFire::steps = nullptr;

TEST_F(SampleFire, RunsThirtyMinutesToTheEnd)
{
    const CBriscoDoc& doc = *fire->doc;
    EXPECT_EQ(doc.fire.fireNode, 212);
    EXPECT_FLOAT_EQ(doc.fire.finishTime, 30.0f);
    EXPECT_GT(doc.nodeIndex(212), doc.surfaceCount);  // an underground node
    EXPECT_TRUE(fireOutcome.fire);
    EXPECT_EQ(fireOutcome.result, 1) << fire->reporter.all();
    EXPECT_EQ(fireDialog->captions.back(), kFireCompletedCaption);
    EXPECT_EQ(plainOutcome.result, 1);
    EXPECT_FALSE(plainOutcome.fire);
    std::vector<bool> resolves;
    const std::vector<float> times = fireStepTimes(doc.fire.frontDisplayStep, doc.fire.fireTimeStep,
                                                   30, &resolves);
    EXPECT_EQ(fireDialog->secondLines.size(), times.size() + 1);
    EXPECT_EQ(fireDialog->secondLines.front(), "Fire[ 212,  400C] Time=0/30");
    EXPECT_EQ(fireDialog->secondLines.back(), "Fire[ 212,  400C] Time=30/30");
    EXPECT_EQ(doc.fireWork.resolves, int(std::count(resolves.begin(), resolves.end(), true)));
    EXPECT_FLOAT_EQ(doc.fireWork.simulatedMinutes, times.back());
    EXPECT_FALSE(fire->reporter.contains("Front over")) << fire->reporter.all();
    EXPECT_FALSE(fire->reporter.contains("No airflow")) << fire->reporter.all();
    EXPECT_TRUE(everythingFinite(doc));
    EXPECT_TRUE(frontTableFinite(doc));
}

TEST_F(SampleFire, TemperaturesBetweenTheCoolestRockAndTheFireAndGasWithinPercent)
{
    const CBriscoDoc& doc = *fire->doc;
    float lowest = doc.surfaceTemperature;
    for (int k = 1; k <= doc.roadCount; ++k)
        lowest = std::min(lowest, doc.roads[size_t(k)].temperature);
    const float highest = doc.fire.fireTemperature;
    int withGas = 0;
    for (int k = 1; k <= doc.roadCount; ++k) {
        const Road& r = doc.roads[size_t(k)];
        for (const float t : {r.outletTemperature, r.inletTemperature, r.initialTemperature}) {
            EXPECT_GE(t, lowest - 1e-3f) << "road " << r.first << "-" << r.second;
            EXPECT_LE(t, highest + 1e-3f) << "road " << r.first << "-" << r.second;
        }
        EXPECT_GE(r.gasConcentration, 0.0f) << "road " << r.first << "-" << r.second;
        EXPECT_LE(r.gasConcentration, 100.0f) << "road " << r.first << "-" << r.second;
        withGas += r.gasConcentration > 0;
    }
    EXPECT_GE(withGas, 10);
    for (const auto& m : fireObserver->marks) {
        EXPECT_GE(m.fraction, 0.0f);
        EXPECT_LE(m.fraction, 1.0f);
    }
}

// The roads out of the fire node take the fire's air, and their outlet
// temperature is that of the rock exchange at the airflow of the step in
// which the front left them.
TEST_F(SampleFire, RoadsOutOfTheFireNodeCarryTheFiresAir)
{
    const CBriscoDoc& doc = *fire->doc;
    const Node& node = doc.nodes[size_t(doc.nodeIndex(212))];
    int out = 0;
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
        const int k = doc.adjacentRoad[size_t(pos)];
        const Road& r = doc.roads[size_t(k)];
        if (doc.adjacentSign[size_t(pos)] * r.massFlow <= 0)
            continue;
        ++out;
        EXPECT_FLOAT_EQ(r.gasConcentration, 100.0f);
        EXPECT_FLOAT_EQ(r.inletTemperature, 400.0f);
        size_t passed = 1;
        while (passed < steps->size() && (*steps)[passed][size_t(k - 1)].second == r.temperature)
            ++passed;
        ASSERT_LT(passed, steps->size()) << "road " << k;
        const double m = (*steps)[passed][size_t(k - 1)].first;
        const double ntu = transferUnits(r.conductivity, doc.fire.kval, r.length, m);
        EXPECT_NEAR(r.outletTemperature, profileAt(r.temperature, 400, ntu, 1.0), 0.01) << "road " << k;
        EXPECT_EQ((*steps)[passed][size_t(k - 1)].second, r.outletTemperature);
    }
    EXPECT_GE(out, 1);
}

// The main fan is the one moving the most air. Air with fire gas arrives at
// its inlet node.
TEST_F(SampleFire, GasReachesTheMainFan)
{
    CBriscoDoc& doc = *fire->doc;
    int main = 1;
    for (int f = 2; f <= doc.fanCount; ++f)
        if (std::fabs(doc.fans[size_t(f)].fanFlow) > std::fabs(doc.fans[size_t(main)].fanFlow))
            main = f;
    ASSERT_GE(doc.fanCount, 1);
    const int inlet = doc.fans[size_t(main)].inlet;
    const Node& node = doc.nodes[size_t(doc.nodeIndex(inlet))];
    double gasIn = 0;
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
        const Road& r = doc.roads[size_t(doc.adjacentRoad[size_t(pos)])];
        if (doc.adjacentSign[size_t(pos)] * r.massFlow < 0)
            gasIn = std::max(gasIn, double(r.gasConcentration));
    }
    EXPECT_GT(gasIn, 0.5) << "fan inlet " << inlet;
    float t = 0, c = 0;
    ASSERT_TRUE(doc.mixNode(inlet, t, c));
    EXPECT_GT(c, 0.1f);
    EXPECT_LT(c, 100.0f);
}

// The hot air's draught moves the airflows: against the airflow analysis
// of the same mine, the airflow through the fire changes by more than a
// tenth, and the network's air is redistributed.
TEST_F(SampleFire, DraughtOfTheHotAirChangesTheAirflows)
{
    const CBriscoDoc& a = *plain->doc;
    const CBriscoDoc& b = *fire->doc;
    ASSERT_EQ(a.roadCount, b.roadCount);
    double largest = 0;
    int changed = 0;
    for (int k = 1; k <= a.roadCount; ++k) {
        const double before = a.roads[size_t(k)].massFlow, after = b.roads[size_t(k)].massFlow;
        const double change = std::fabs(after - before) / std::max(std::fabs(before), 1.0);
        largest = std::max(largest, change);
        changed += change > 0.01;
    }
    EXPECT_GT(largest, 0.10);
    EXPECT_GE(changed, 2);
    const Node& node = b.nodes[size_t(b.nodeIndex(212))];
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
        const int k = b.adjacentRoad[size_t(pos)];
        const double before = a.roads[size_t(k)].massFlow, after = b.roads[size_t(k)].massFlow;
        EXPECT_GT(std::fabs(after - before), 0.1 * std::fabs(before)) << "road " << k;
    }
}

}  // namespace
}  // namespace orvex::firetest
