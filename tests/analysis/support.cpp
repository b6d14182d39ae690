#include "support.h"

#include <atomic>
#include <random>
#include <unistd.h>

namespace orvex::analysistest {

namespace fs = std::filesystem;

bool RecordingReporter::contains(const std::string& part) const
{
    for (const Entry& m : messages)
        if (m.text.find(part) != std::string::npos)
            return true;
    return false;
}

int RecordingReporter::count(MessageKind kind) const
{
    int n = 0;
    for (const Entry& m : messages)
        n += m.kind == kind;
    return n;
}

std::string RecordingReporter::all() const
{
    std::string out;
    for (const Entry& m : messages)
        out += "[" + m.text + "]\n";
    return out;
}

std::string RecordingDialog::cell(int row, int column) const
{
    const auto it = fanCells.find({row, column});
    return it == fanCells.end() ? "<none>" : it->second;
}

int RecordingDialog::highestFanRow() const
{
    int row = -1;
    for (const auto& entry : fanCells)
        row = std::max(row, entry.first.first);
    return row;
}

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    std::random_device random;
    const fs::path root = fs::temp_directory_path();
    do {
        mPath = root / ("orvex-analysis-" + std::to_string(::getpid()) + "-" +
                        std::to_string(counter++) + "-" + std::to_string(random() % 100000));
    } while (!fs::create_directory(mPath));
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    fs::remove_all(mPath, ec);
}

UnitsSettings standardUnits()
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
    u.thresholdFactor = 1.0f;
    u.pressureBound = 10.0f;
    u.relaxation = 1.5f;
    u.shiftFactor = 1.0f;
    u.innerSweeps = 6;
    u.displayData = 0;
    u.maxIteration = 5000;
    return u;
}

TestNetwork::TestNetwork(bool water, UnitsSettings units) : mWater(water)
{
    app.units = units;
    app.programFolder = mFolder.path();  // empty: the constructor reports the missing default files
    mDoc = std::make_unique<CBriscoDoc>(app, reporter);
    reporter.messages.clear();
}

void TestNetwork::surface(int number, float elevation)
{
    Node node;
    node.number = number;
    node.elevation = elevation;
    mSurface.push_back(node);
}

void TestNetwork::underground(int number, float elevation)
{
    Node node;
    node.number = number;
    node.elevation = elevation;
    mUnderground.push_back(node);
}

int TestNetwork::road(int first, int second, float resistance, float temperature, float altResistance)
{
    Road road;
    road.first = first;
    road.second = second;
    road.resistance = resistance;
    road.altResistance = altResistance;
    road.temperature = temperature;
    road.area = 10;
    road.length = 100;
    road.conductivity = 2;
    mRoads.push_back(road);
    return int(mRoads.size());
}

int TestNetwork::pipe(int first, int second, float diameter, float length, float coefficient)
{
    Road road;
    road.first = first;
    road.second = second;
    road.temperature = 15;
    road.area = diameter;
    road.length = length;
    road.conductivity = coefficient;
    mRoads.push_back(road);
    return int(mRoads.size());
}

int TestNetwork::fixedRoad(int first, int second, float airflow)
{
    Road road;
    road.first = first;
    road.second = second;
    road.resistance = airflow;
    mFixed.push_back(road);
    return int(mFixed.size());
}

int TestNetwork::fan(int inlet, int outlet, float flowStep, std::initializer_list<float> curve)
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

CBriscoDoc& TestNetwork::build()
{
    CBriscoDoc& d = *mDoc;
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
    d.altResistanceRoads = 0;
    for (const Road& road : mRoads) {
        d.roads[size_t(++k)] = road;
        d.altResistanceRoads += road.altResistance > 0;
    }
    for (const Road& road : mFixed)
        d.roads[size_t(++k)] = road;
    d.fanCount = int(mFans.size());
    int f = 0;
    for (const Fan& fan : mFans)
        d.fans[size_t(++f)] = fan;

    d.networkKind = mWater ? kWaterNetworkKind : 0;
    d.density = mWater ? kWaterDensity : kAirDensity;
    d.specificWeight = app.units.flowUnitFactor * d.density;
    d.surfaceTemperature = surfaceTemperature;
    d.fire.finishTime = 0;  // an airflow analysis, whatever a parameter file said
    d.rebuildAdjacency();
    d.prepareAfterLoad();
    return d;
}

double netInflow(const CBriscoDoc& doc, int i)
{
    const int number = doc.nodes[size_t(i)].number;
    double s = 0;
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& road = doc.roads[size_t(k)];
        if (road.second == number)
            s += road.massFlow;
        if (road.first == number)
            s -= road.massFlow;
    }
    for (int f = 1; f <= doc.fanCount; ++f) {
        const Fan& fan = doc.fans[size_t(f)];
        const double m = double(doc.specificWeight) * fan.fanFlow;
        if (fan.outlet == number)
            s += m;
        if (fan.inlet == number)
            s -= m;
    }
    return s;
}

double meanImbalance(const CBriscoDoc& doc)
{
    double sum = 0;
    for (int i = doc.surfaceCount + 1; i <= doc.surfaceCount + doc.undergroundCount; ++i)
        sum += std::fabs(netInflow(doc, i));
    return doc.undergroundCount > 0 ? sum / doc.undergroundCount : 0.0;
}

::testing::AssertionResult allResultsFinite(const CBriscoDoc& doc)
{
    for (int i = 1; i <= doc.surfaceCount + doc.undergroundCount; ++i)
        if (!std::isfinite(doc.nodes[size_t(i)].pressure))
            return ::testing::AssertionFailure()
                   << "pressure of node " << doc.nodes[size_t(i)].number << " is "
                   << doc.nodes[size_t(i)].pressure;
    for (int k = 1; k <= doc.roadCount + doc.fixedCount; ++k) {
        const Road& road = doc.roads[size_t(k)];
        if (!std::isfinite(road.massFlow) || !std::isfinite(road.conductance) ||
            !std::isfinite(road.density) || !std::isfinite(road.naturalDraught))
            return ::testing::AssertionFailure()
                   << "road " << k << " (" << road.first << "-" << road.second
                   << "): mass flow " << road.massFlow << ", conductance " << road.conductance
                   << ", density " << road.density << ", draught " << road.naturalDraught;
    }
    for (int f = 1; f <= doc.fanCount; ++f)
        if (!std::isfinite(doc.fans[size_t(f)].fanFlow) || !std::isfinite(doc.fans[size_t(f)].pressure))
            return ::testing::AssertionFailure() << "fan " << f << " airflow "
                                                 << doc.fans[size_t(f)].fanFlow << ", pressure "
                                                 << doc.fans[size_t(f)].pressure;
    return ::testing::AssertionSuccess();
}

double bisect(const std::function<double(double)>& f, double lo, double hi)
{
    double flo = f(lo);
    for (int n = 0; n < 200 && hi - lo > 0; ++n) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi)
            break;
        const double fm = f(mid);
        if ((fm < 0) == (flo < 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

double curveAt(const std::vector<double>& points, double step, double q)
{
    const int n = int(points.size());
    if (q >= (n - 1) * step)
        return points.back();
    const int k = int(q / step);
    const double t = (q - k * step) / step;
    return points[size_t(k)] * (1 - t) + points[size_t(k + 1)] * t;
}

}  // namespace orvex::analysistest
