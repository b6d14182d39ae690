#include "support.h"

#include <algorithm>

#include "model/networkio.h"
#include "model/profile.h"
#include "model/units.h"

namespace orvex::test {

UnitsSettings standardUnits()
{
    UnitsSettings u;
    u.flowUnitFactor = 0.0166667f;
    u.flowUnitName = "m3/min";
    u.pressureUnitFactor = u.resistanceUnitFactor = 0.1019716f;
    u.pressureUnitName = "Pa";
    u.solverError = 0.01f;
    u.epsFactor = u.thresholdFactor = u.shiftFactor = 1.0f;
    u.pressureBound = 10.0f;
    u.relaxation = 1.5f;
    u.innerSweeps = 6;
    u.maxIteration = 5000;
    return u;
}

TestNetwork::TestNetwork(bool water, UnitsSettings units)
{
    app.units = units;
    app.programFolder = "/nonexistent-orvex-folder";  // no default files: an empty document
    mDoc = std::make_unique<CBriscoDoc>(app, reporter);
    reporter = RecordingReporter();
    mDoc->networkKind = water ? kWaterNetworkKind : 0;
    mDoc->density = water ? kWaterDensity : kAirDensity;
}

void TestNetwork::surface(std::initializer_list<std::pair<int, float>> nodes)
{
    for (const auto& [number, elevation] : nodes)
        mDoc->nodes[size_t(++mDoc->surfaceCount)] = Node{number, elevation};
}

void TestNetwork::underground(std::initializer_list<std::pair<int, float>> nodes)
{
    for (const auto& [number, elevation] : nodes)
        mDoc->nodes[size_t(mDoc->surfaceCount + ++mDoc->undergroundCount)] = Node{number, elevation};
}

int TestNetwork::road(int first, int second, float resistance, float temperature, float altResistance)
{
    const int k = pipe(first, second, 10, 100, 2);
    Road& r = mDoc->roads[size_t(k)];
    r.resistance = resistance, r.temperature = temperature, r.altResistance = altResistance;
    mDoc->altResistanceRoads += altResistance > 0;
    return k;
}

int TestNetwork::pipe(int first, int second, float diameter, float length, float coefficient)
{
    Road& r = mDoc->roads[size_t(++mDoc->roadCount)];
    r.first = first, r.second = second, r.temperature = 15;
    r.area = diameter, r.length = length, r.conductivity = coefficient;
    return mDoc->roadCount;
}

int TestNetwork::fixedRoad(int first, int second, float airflow)
{
    Road& r = mDoc->roads[size_t(mDoc->roadCount + ++mDoc->fixedCount)];
    r.first = first, r.second = second, r.resistance = airflow;
    return mDoc->roadCount + mDoc->fixedCount;
}

void TestNetwork::fan(int inlet, int outlet, float flowStep, const std::vector<float>& curve)
{
    Fan& f = mDoc->fans[size_t(++mDoc->fanCount)];
    f.inlet = inlet, f.outlet = outlet, f.flowStep = flowStep, f.points = int(curve.size());
    std::copy(curve.begin(), curve.end(), f.curve.begin() + 1);
}

CBriscoDoc& TestNetwork::build()
{
    CBriscoDoc& d = *mDoc;
    d.specificWeight = app.units.flowUnitFactor * d.density;
    d.surfaceTemperature = surfaceTemperature;
    d.solverMethod = method;
    d.rebuildAdjacency();
    d.prepareAfterLoad();
    return d;
}

UnitsSettings shippedUnits()
{
    UnitsSettings units;
    RecordingReporter reporter;
    EXPECT_EQ(readUnitsFile(ORVEX_SOURCE_DIR, units, reporter), 1) << reporter.all();
    return units;
}

void openSample(TestNetwork& net, const std::string& name)
{
    net.app.programFolder = ORVEX_SOURCE_DIR;  // built.vad has no parameter file of its own
    net.app.pendingFile = std::string(ORVEX_SOURCE_DIR) + "/data/" + name;
    net.app.pending = true;
    MemoryProfile profile;
    ASSERT_TRUE(openPendingNetwork(net.doc(), profile)) << net.reporter.all();
}

void addDraughtNetwork(TestNetwork& net, float z11)
{
    net.surfaceTemperature = 15;
    net.surface({{1, 0}, {2, 40}});
    net.underground({{10, -200}, {11, z11}});
    net.road(1, 10, 0.4f, 8);
    net.road(11, 2, 0.3f, 30);
}

void addJoinedDraughtNetwork(TestNetwork& net, const std::function<void(TestNetwork&)>& more)
{
    addDraughtNetwork(net, -190);
    if (more)
        more(net);
    net.fixedRoad(10, 11, 0);
}

double netInflow(const CBriscoDoc& doc, int i)
{
    const int number = doc.nodes[size_t(i)].number;
    double s = 0;
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& r = doc.roads[size_t(k)];
        s += (r.second == number ? r.massFlow : 0.0) - (r.first == number ? r.massFlow : 0.0);
    }
    for (int f = 1; f <= doc.fanCount; ++f) {
        const Fan& fan = doc.fans[size_t(f)];
        const double m = double(doc.specificWeight) * fan.fanFlow;
        s += (fan.outlet == number ? m : 0.0) - (fan.inlet == number ? m : 0.0);
    }
    return s;
}

double meanImbalance(const CBriscoDoc& doc)
{
    double sum = 0;
    for (int i = doc.surfaceCount + 1; i <= doc.nodeCount; ++i)
        sum += std::fabs(netInflow(doc, i));
    return doc.undergroundCount > 0 ? sum / doc.undergroundCount : 0.0;
}

bool allResultsFinite(const CBriscoDoc& doc)
{
    bool finite = true;
    for (int i = 1; i <= doc.surfaceCount + doc.undergroundCount; ++i)
        finite = finite && std::isfinite(doc.nodes[size_t(i)].pressure);
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& r = doc.roads[size_t(k)];
        finite = finite && std::isfinite(r.massFlow + r.conductance + r.density + r.naturalDraught);
    }
    for (int f = 1; f <= doc.fanCount; ++f)
        finite = finite && std::isfinite(doc.fans[size_t(f)].fanFlow + doc.fans[size_t(f)].pressure);
    return finite;
}

double bisect(const std::function<double(double)>& f, double lo, double hi)
{
    const bool rising = f(hi) > f(lo);
    for (int n = 0; n < 200; ++n) {
        const double mid = 0.5 * (lo + hi);
        ((f(mid) > 0) == rising ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}

double curveAt(const std::vector<double>& points, double step, double q)
{
    const int k = int(q / step);
    if (k + 1 >= int(points.size()))
        return points.back();
    const double t = q / step - k;
    return points[size_t(k)] * (1 - t) + points[size_t(k + 1)] * t;
}

}  // namespace orvex::test
