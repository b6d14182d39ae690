#include "support.h"

#include <atomic>
#include <random>
#include <unistd.h>

namespace orvex::firetest {

namespace fs = std::filesystem;

int RecordingReporter::count(const std::string& text) const
{
    int n = 0;
    for (const std::string& m : messages)
        n += m == text;
    return n;
}

bool RecordingReporter::contains(const std::string& part) const
{
    for (const std::string& m : messages)
        if (m.find(part) != std::string::npos)
            return true;
    return false;
}

std::string RecordingReporter::all() const
{
    std::string out;
    for (const std::string& m : messages)
        out += "[" + m + "]\n";
    return out;
}

bool RecordingDialog::statusLinesContain(const std::string& text) const
{
    for (const std::string& line : statusLines)
        if (line == text)
            return true;
    return false;
}

std::vector<RecordingObserver::Mark> RecordingObserver::marksOf(int road) const
{
    std::vector<Mark> out;
    for (const Mark& m : marks)
        if (m.road == road)
            out.push_back(m);
    return out;
}

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    std::random_device random;
    const fs::path root = fs::temp_directory_path();
    do {
        mPath = root / ("orvex-fire-" + std::to_string(::getpid()) + "-" +
                        std::to_string(counter++) + "-" + std::to_string(random() % 100000));
    } while (!fs::create_directory(mPath));
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    fs::remove_all(mPath, ec);
}

UnitsSettings fireUnits()
{
    UnitsSettings u;
    u.flowUnitFactor = 0.0166667f;
    u.flowUnitName = "m3/min";
    u.pressureUnitFactor = 0.1019716f;
    u.pressureUnitName = "Pa";
    u.resistanceUnitFactor = 0.1019716f;
    u.resistanceUnitName = "Ns2/m8";
    u.solverError = 0.01f;
    u.epsFactor = 1.0f;
    u.thresholdFactor = 20.0f;
    u.pressureBound = 1.0f;
    u.relaxation = 1.9f;
    u.shiftFactor = 0.5f;
    u.innerSweeps = 10;
    u.displayData = 0;
    u.maxIteration = 5000;
    return u;
}

FireNet::FireNet()
{
    app.units = fireUnits();
    app.programFolder = mFolder.path();  // empty: the missing default files only give messages
    mDoc = std::make_unique<CBriscoDoc>(app, reporter);
    reporter.messages.clear();
}

void FireNet::surface(int number, float elevation)
{
    Node node;
    node.number = number;
    node.elevation = elevation;
    mSurface.push_back(node);
}

void FireNet::underground(int number, float elevation)
{
    Node node;
    node.number = number;
    node.elevation = elevation;
    mUnderground.push_back(node);
}

int FireNet::road(int first, int second, float resistance, float area, float length,
                  float conductivity, float rock)
{
    Road road;
    road.first = first;
    road.second = second;
    road.resistance = resistance;
    road.temperature = rock;
    road.area = area;
    road.length = length;
    road.conductivity = conductivity;
    mRoads.push_back(road);
    return int(mRoads.size());
}

int FireNet::fixedRoad(int first, int second, float airflow)
{
    Road road;
    road.first = first;
    road.second = second;
    road.resistance = airflow;
    mFixed.push_back(road);
    return int(mRoads.size() + mFixed.size());
}

int FireNet::fan(int inlet, int outlet, float flowStep, std::initializer_list<float> curve)
{
    Fan fan;
    fan.inlet = inlet;
    fan.outlet = outlet;
    fan.flowStep = flowStep;
    fan.points = int(curve.size());
    int p = 0;
    for (const float value : curve)
        if (++p <= kMaxFanPoints)
            fan.curve[size_t(p)] = value;
    mFans.push_back(fan);
    return int(mFans.size());
}

CBriscoDoc& FireNet::build(int fireNode)
{
    CBriscoDoc& d = *mDoc;
    d.nodes.fill(Node{});
    d.roads.fill(Road{});
    d.fans.fill(Fan{});
    d.surfaceCount = int(mSurface.size());
    d.undergroundCount = int(mUnderground.size());
    int i = 0;
    for (const Node& node : mSurface)
        d.nodes[size_t(++i)] = node;
    for (const Node& node : mUnderground)
        d.nodes[size_t(++i)] = node;
    d.roadCount = int(mRoads.size());
    d.fixedCount = int(mFixed.size());
    int k = 0;
    for (const Road& road : mRoads)
        d.roads[size_t(++k)] = road;
    for (const Road& road : mFixed)
        d.roads[size_t(++k)] = road;
    d.altResistanceRoads = 0;
    d.fanCount = int(mFans.size());
    int f = 0;
    for (const Fan& fan : mFans)
        d.fans[size_t(++f)] = fan;

    d.networkKind = 0;
    d.density = kAirDensity;
    d.specificWeight = app.units.flowUnitFactor * d.density;
    d.surfaceTemperature = surfaceTemperature;
    d.fire = FireParameters{};
    d.fire.fireNode = fireNode;
    d.fire.finishTime = 0;
    d.pauseFlag = 0;
    d.rebuildAdjacency();
    return d;
}

::testing::AssertionResult everythingFinite(const CBriscoDoc& doc)
{
    for (int i = 1; i <= doc.surfaceCount + doc.undergroundCount; ++i)
        if (!std::isfinite(doc.nodes[size_t(i)].pressure))
            return ::testing::AssertionFailure() << "pressure of node " << doc.nodes[size_t(i)].number
                                                 << " is " << doc.nodes[size_t(i)].pressure;
    for (int k = 1; k <= doc.roadCount; ++k) {
        const Road& r = doc.roads[size_t(k)];
        if (!std::isfinite(r.outletTemperature) || !std::isfinite(r.inletTemperature) ||
            !std::isfinite(r.initialTemperature) || !std::isfinite(r.gasConcentration) ||
            !std::isfinite(r.massFlow) || !std::isfinite(r.density))
            return ::testing::AssertionFailure()
                   << "road " << k << " (" << r.first << "-" << r.second << "): outlet "
                   << r.outletTemperature << ", inlet " << r.inletTemperature << ", mean "
                   << r.initialTemperature << ", gas " << r.gasConcentration << ", mass flow "
                   << r.massFlow << ", density " << r.density;
    }
    for (int k = doc.roadCount + 1; k <= doc.totalRoads(); ++k)
        if (!std::isfinite(doc.roads[size_t(k)].massFlow))
            return ::testing::AssertionFailure() << "fixed-flow road " << k << " mass flow "
                                                 << doc.roads[size_t(k)].massFlow;
    for (int f = 1; f <= doc.fanCount; ++f)
        if (!std::isfinite(doc.fans[size_t(f)].fanFlow))
            return ::testing::AssertionFailure() << "fan " << f << " airflow "
                                                 << doc.fans[size_t(f)].fanFlow;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult frontTableFinite(const CBriscoDoc& doc)
{
    const FireWork& w = doc.fireWork;
    if (w.nFront < 0 || w.nInRoad < 0 || w.nFront + w.nInRoad > kFrontSlots)
        return ::testing::AssertionFailure() << "counts " << w.nFront << " + " << w.nInRoad;
    const auto bad = [](const FireFront& f) {
        return !std::isfinite(f.time) || !std::isfinite(f.temperature) || !std::isfinite(f.gas);
    };
    for (int s = 1; s <= w.nFront; ++s)
        if (bad(w.fronts[size_t(s)]))
            return ::testing::AssertionFailure() << "travelling front " << s << " of road "
                                                 << w.fronts[size_t(s)].road << ": time "
                                                 << w.fronts[size_t(s)].time;
    for (int m = 1; m <= w.nInRoad; ++m)
        if (bad(w.fronts[size_t(kFrontSlots + 1 - m)]))
            return ::testing::AssertionFailure() << "in-road front " << m;
    return ::testing::AssertionSuccess();
}

std::vector<float> fireStepTimes(float displayStep, float fireStep, float finish,
                                 std::vector<bool>* resolveSteps)
{
    std::vector<float> times;
    const float dt = displayStep < fireStep ? displayStep : fireStep;
    if (!(dt > 0))
        return times;
    float next = fireStep - 0.5f * dt;
    for (float t = dt; t <= finish; t += dt) {
        times.push_back(t);
        const bool resolve = next <= t;
        if (resolve)
            next += fireStep;
        if (resolveSteps)
            resolveSteps->push_back(resolve);
    }
    return times;
}

double meanBySimpson(const std::function<double(double)>& f, double a, double b, int n)
{
    if (b <= a)
        return f(a);
    const double h = (b - a) / n;
    double sum = f(a) + f(b);
    for (int j = 1; j < n; ++j)
        sum += f(a + j * h) * (j % 2 ? 4 : 2);
    return sum * h / 3 / (b - a);
}

}  // namespace orvex::firetest
