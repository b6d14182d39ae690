// The parameters a fit terms names and the measurements bound to the
// network's roads, fans and nodes.
#include <algorithm>
#include <cmath>

#include "analysis/quantities.h"
#include "calibration/fitwork.h"

namespace orvex {

namespace {

std::string pairText(int a, int b)
{
    return std::to_string(a) + "-" + std::to_string(b);
}

// The normal road joining the two nodes (either way round), else the
// fixed-flow one, else 0; sign -1 when it runs from b to a.
int roadJoining(const CBriscoDoc& doc, int a, int b, double& sign, bool normalOnly)
{
    const int last = normalOnly ? doc.roadCount : doc.totalRoads();
    for (int k = 1; k <= last; ++k) {
        const Road& road = doc.roads[size_t(k)];
        if ((road.first == a && road.second == b) || (road.first == b && road.second == a)) {
            sign = road.first == a ? 1 : -1;
            return k;
        }
    }
    return 0;
}

int fanFrom(const CBriscoDoc& doc, int inlet, int outlet)
{
    for (int f = 1; f <= doc.fanCount; ++f)
        if (doc.fans[size_t(f)].inlet == inlet && doc.fans[size_t(f)].outlet == outlet)
            return f;
    return 0;
}

// The parameters, in the order of precedence of the terms: groups first, then
// the roads named one by one, then every normal road not yet taken, then
// the fans. A road belongs to one parameter at most.
class ParameterBuilder {
public:
    ParameterBuilder(const CBriscoDoc& doc, const FitTerms& terms, FitProblem& problem)
        : mDoc(doc), mTerms(terms), mProblem(problem), mTaken(size_t(doc.roadCount + 1), 0)
    {
    }

    void build()
    {
        int listNumber = 0;
        for (const auto& list : mTerms.lists) {
            std::vector<int> roads;
            for (const auto& pair : list)
                if (const int k = namedRoad(pair))
                    roads.push_back(k);
            addGroup("group " + std::to_string(++listNumber), roads);
        }
        for (const std::string& prefix : mTerms.prefixes) {
            std::vector<int> roads;
            for (int k = 1; k <= mDoc.roadCount; ++k)
                if (!mTaken[size_t(k)] && mDoc.roads[size_t(k)].name.str().rfind(prefix, 0) == 0)
                    roads.push_back(k);
            if (roads.empty())
                mProblem.warnings.push_back("No road not yet fitted has a name starting with \"" + prefix + "\".");
            addGroup("group " + prefix, roads);
        }
        for (const auto& pair : mTerms.roads)
            if (const int k = namedRoad(pair))
                addRoad(k);
        if (mTerms.allRoads)
            for (int k = 1; k <= mDoc.roadCount; ++k)
                if (!mTaken[size_t(k)] && mDoc.roads[size_t(k)].resistance > 0)
                    addRoad(k);
        std::vector<int> fans;
        for (int f = 1; f <= mDoc.fanCount && mTerms.allFans; ++f)
            fans.push_back(f);
        for (const auto& pair : mTerms.fans) {
            const int f = fanFrom(mDoc, pair.first, pair.second);
            if (!f)
                mProblem.warnings.push_back("No fan runs from node " + std::to_string(pair.first) + " to node " +
                                            std::to_string(pair.second) + ": it is not fitted.");
            else if (std::find(fans.begin(), fans.end(), f) == fans.end())
                fans.push_back(f);
        }
        for (int f : fans)
            addFan(f);
    }

private:
    // A road named by its nodes that can be fitted, else 0 with a warning.
    int namedRoad(const std::pair<int, int>& pair)
    {
        double sign = 1;
        const int k = roadJoining(mDoc, pair.first, pair.second, sign, true);
        const std::string road = "road " + pairText(pair.first, pair.second);
        if (!k)
            mProblem.warnings.push_back("No normal road joins nodes " + std::to_string(pair.first) + " and " +
                                        std::to_string(pair.second) + ": it is not fitted.");
        else if (mTaken[size_t(k)])
            mProblem.warnings.push_back("The " + road + " is named twice in what to fit: it is fitted once.");
        else if (!(mDoc.roads[size_t(k)].resistance > 0))
            mProblem.warnings.push_back("The " + road + " has no resistance to fit: it is not fitted.");
        else
            return k;
        return 0;
    }

    FitParameter resistanceParameter(UnknownKind kind, const std::string& name, const std::vector<int>& roads)
    {
        FitParameter p;
        p.kind = kind;
        p.name = name;
        p.items = roads;
        for (int k : roads) {
            p.start.push_back(mDoc.roads[size_t(k)].resistance);
            mTaken[size_t(k)] = 1;
        }
        p.low = std::log(mTerms.lowFactor);
        p.high = std::log(mTerms.highFactor);
        p.prior = std::log1p(mTerms.priorPercent / 100.0);
        return p;
    }

    void addRoad(int k)
    {
        const Road& road = mDoc.roads[size_t(k)];
        mProblem.parameters.push_back(
            resistanceParameter(UnknownKind::Resistance, "road " + pairText(road.first, road.second), {k}));
    }

    void addGroup(const std::string& name, const std::vector<int>& roads)
    {
        if (roads.empty())
            return;
        const std::string counted = name + " (" + std::to_string(roads.size()) +
                                    (roads.size() == 1 ? " road)" : " roads)");
        mProblem.parameters.push_back(resistanceParameter(UnknownKind::GroupFactor, counted, roads));
    }

    void addFan(int f)
    {
        const Fan& fan = mDoc.fans[size_t(f)];
        double largest = 0;
        for (int p = 1; p <= fan.points; ++p)
            largest = std::max(largest, std::fabs(double(fan.curve[size_t(p)])));
        if (fan.points < 2 || !(largest > 0)) {
            mProblem.warnings.push_back("The fan " + pairText(fan.inlet, fan.outlet) +
                                        " has no curve to shift: it is not fitted.");
            return;
        }
        FitParameter p;
        p.kind = UnknownKind::FanOffset;
        p.name = "fan " + pairText(fan.inlet, fan.outlet);
        p.items = {f};
        p.start.assign(fan.curve.begin() + 1, fan.curve.begin() + 1 + fan.points);
        p.low = -largest;
        p.high = largest;
        p.prior = mTerms.fanPriorShare * largest;
        mProblem.parameters.push_back(p);
    }

    const CBriscoDoc& mDoc;
    const FitTerms& mTerms;
    FitProblem& mProblem;
    std::vector<unsigned char> mTaken;  // by road index: already in a parameter
};

// Binds a measurement to the network; false with the reason.
bool bind(const CBriscoDoc& doc, BoundMeasurement& b, std::string& reason)
{
    const Measurement& m = b.measurement;
    const std::string nodes = std::to_string(m.from) + " and " + std::to_string(m.to);
    if (m.from == m.to) {
        reason = "it names node " + std::to_string(m.from) + " twice";
        return false;
    }
    switch (m.kind) {
    case MeasurementKind::Airflow:
        b.road = roadJoining(doc, m.from, m.to, b.sign, false);
        if (!b.road)
            reason = "no road joins nodes " + nodes;
        return b.road != 0;
    case MeasurementKind::PressureDrop:
        b.a = doc.nodeIndex(m.from);
        b.b = doc.nodeIndex(m.to);
        if (!b.a || !b.b) {
            reason = "there is no node " + std::to_string(!b.a ? m.from : m.to);
            return false;
        }
        b.road = roadJoining(doc, m.from, m.to, b.sign, true);
        return true;
    case MeasurementKind::FanPressure:
        b.fan = fanFrom(doc, m.from, m.to);
        if (!b.fan) {
            reason = "no fan runs from node " + std::to_string(m.from) + " to node " + std::to_string(m.to);
            return false;
        }
        b.a = doc.nodeIndex(m.from);
        b.b = doc.nodeIndex(m.to);
        return true;
    }
    return false;
}

}  // namespace

FitProblem setUpProblem(const CBriscoDoc& doc, const Survey& survey, const FitTerms& terms)
{
    FitProblem problem;
    ParameterBuilder(doc, terms, problem).build();
    for (const Measurement& m : survey.measurements) {
        BoundMeasurement b;
        b.measurement = m;
        std::string reason;
        if (bind(doc, b, reason))
            problem.measurements.push_back(b);
        else
            problem.warnings.push_back(survey.name + ", line " + std::to_string(m.line) + ": " + reason +
                                       "; the measurement is left out.");
    }
    return problem;
}

void setParameters(CBriscoDoc& doc, const FitProblem& problem, const std::vector<double>& x)
{
    for (size_t j = 0; j < problem.parameters.size(); ++j) {
        const FitParameter& p = problem.parameters[j];
        if (p.kind == UnknownKind::FanOffset) {
            Fan& fan = doc.fans[size_t(p.items.front())];
            for (size_t i = 0; i < p.start.size(); ++i)
                fan.curve[i + 1] = float(p.start[i] + x[j]);
            continue;
        }
        const double factor = std::exp(x[j]);
        for (size_t i = 0; i < p.items.size(); ++i)
            doc.roads[size_t(p.items[i])].resistance = float(p.start[i] * factor);
    }
}

double modelValue(const CBriscoDoc& doc, const BoundMeasurement& m)
{
    const double unit = doc.app().units.pressureUnitFactor;
    switch (m.measurement.kind) {
    case MeasurementKind::Airflow: {
        float v = 0;
        roadValue(doc, m.road, 1, v);
        return m.sign * v;
    }
    case MeasurementKind::PressureDrop:
        if (m.road)
            return m.sign * roadPressureDrop(doc, m.road);
        return unit != 0 ? (doc.nodes[size_t(m.a)].pressure - doc.nodes[size_t(m.b)].pressure) / unit : 0.0;
    case MeasurementKind::FanPressure: return doc.fans[size_t(m.fan)].pressure;
    }
    return 0;
}

// The measurement and the parameter as the sensitivities take them.
static Functional functionalOf(const CBriscoDoc& doc, const NetworkSensitivity& s, const BoundMeasurement& m)
{
    Functional f;
    const double unit = doc.app().units.pressureUnitFactor;
    switch (m.measurement.kind) {
    case MeasurementKind::Airflow:
        if (m.road <= doc.roadCount && doc.specificWeight != 0) {
            f.link = s.roadLink(m.road);
            f.flowScale = m.sign / doc.specificWeight;
        }
        break;
    case MeasurementKind::PressureDrop: {
        // At the solution the solver's loss of a road is the pressure
        // difference of its ends plus its draught, which follows their
        // pressures; the loss shown is it at the road's own temperature.
        f.ua = s.unknownOfNode(m.a);
        f.ub = s.unknownOfNode(m.b);
        const int link = m.road ? s.roadLink(m.road) : -1;
        const double solverLoss = link >= 0 ? s.linkLoss(link) : 0.0;
        const double shown = std::fabs(solverLoss) > 1e-9 ? roadPressureDrop(doc, m.road) * unit / solverLoss : 1.0;
        const double draught = link >= 0 ? m.sign * s.draughtShare(link) : 0.0;
        const double scale = unit != 0 ? shown / unit : 0.0;
        f.ca = scale * (1 + draught);
        f.cb = scale * (-1 + draught);
        break;
    }
    case MeasurementKind::FanPressure:
        // On its curve the fan's pressure is the rise across it; held at an
        // end of the curve, it is that end's.
        f.ua = s.unknownOfNode(m.b);
        f.ub = s.unknownOfNode(m.a);
        f.ca = unit != 0 && !s.held(s.fanLink(m.fan)) ? 1 / unit : 0.0;
        f.cb = -f.ca;
        break;
    }
    return f;
}

static ParameterSources sourcesOf(const CBriscoDoc& doc, const NetworkSensitivity& s, const FitParameter& p)
{
    ParameterSources sources;
    if (p.kind == UnknownKind::FanOffset) {
        // The curve raised by x: the fan loses x (in kgf/m²) less.
        const int link = s.fanLink(p.items.front());
        if (link >= 0)
            sources.push_back({link, -double(doc.app().units.pressureUnitFactor)});
        return sources;
    }
    // R = R0 e^x: the loss k R Q|Q| grows by itself per unit of x.
    for (int k : p.items) {
        const int link = s.roadLink(k);
        if (link >= 0 && !s.onAlternative(link))
            sources.push_back({link, s.linkLoss(link)});
    }
    return sources;
}

std::vector<std::vector<double>> derivatives(const CBriscoDoc& doc, const NetworkSensitivity& s,
                                             const FitProblem& problem, SensitivityMode mode)
{
    std::vector<Functional> functionals;
    for (const BoundMeasurement& m : problem.measurements)
        functionals.push_back(functionalOf(doc, s, m));
    std::vector<ParameterSources> sources;
    for (const FitParameter& p : problem.parameters)
        sources.push_back(sourcesOf(doc, s, p));
    auto J = s.jacobian(functionals, sources, mode);
    // A fan held at the end of its curve has that end's pressure, which its
    // offset raises one for one.
    for (size_t i = 0; i < problem.measurements.size(); ++i) {
        const BoundMeasurement& m = problem.measurements[i];
        if (m.fan == 0 || !s.held(s.fanLink(m.fan)))
            continue;
        for (size_t j = 0; j < problem.parameters.size(); ++j)
            if (problem.parameters[j].kind == UnknownKind::FanOffset && problem.parameters[j].items.front() == m.fan)
                J[i][j] = 1;
    }
    return J;
}

}  // namespace orvex
