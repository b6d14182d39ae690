#pragma once
// A small air network built in code, a recorder of what a fire run tells
// the dialog, the views and the user, and the hand calculations.
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run/rundriver.h"
#include "model/appcontext.h"
#include "model/reporter.h"
#include "support/support.h"

namespace orvex::test {

// onLine runs after every fire line: at the start, then at the end of every
// step's front processing, before its re-solve. A mark's step is the number
// of lines before it. A stop is asked for once more than stopAfter lines
// are out; the pause dialog unticks its box the pausesKept-th time.
struct Recorder : QuietAnalysisDialog, FireObserver {
    struct Mark {
        int step, road;
        float distance, fraction;
        int direction;
    };
    void setStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void setSecondLine(const std::string& text) override { lines.push_back(text), onLine ? onLine() : void(); }
    bool stopRequested() override { return stopAfter > 0 && int(lines.size()) > stopAfter; }
    void setStartText(const std::string& text) override { startTexts.push_back(text); }
    void setCaption(const std::string& text) override { captions.push_back(text); }
    void clearOpt1() override { ++opt1Clears; }
    float nodeRadius() const override { return 8; }
    void fireFront(int road, float distance, float fraction, int direction) override
    {
        marks.push_back({int(lines.size()), road, distance, fraction, direction});
    }
    void redrawAllViews() override { ++redraws, onRedraw ? onRedraw() : void(); }  // after a solve, when paused
    bool pauseDialog() override { return ++pauses < pausesKept; }
    std::vector<Mark> of(int road, int step = 0) const
    {
        std::vector<Mark> out;
        for (const Mark& m : marks)
            if (m.road == road && (step == 0 || m.step == step))
                out.push_back(m);
        return out;
    }
    std::function<void()> onLine, onRedraw;
    int stopAfter = 0, opt1Clears = 0, redraws = 0, pauses = 0, pausesKept = 1000;
    std::vector<std::string> statusLines, lines, captions, startTexts;
    std::vector<Mark> marks;
};
using Mark = Recorder::Mark;

inline constexpr double kMassPerFlow = 1.20459 / 60;  // m³/min of standard air -> kg/s

// Surface nodes, then level underground ones; normal roads before
// fixed-flow roads. Flow m³/min, resistance Ns²/m⁸. The fire
// parameters are the defaults (400 °C, kval 5, steps 0.1 and 1 min, fc_lim
// 0.001, no finish time) apart from the fire node.
struct FireNet {
    FireNet(std::initializer_list<int> surface, std::initializer_list<int> underground)
    {
        UnitsSettings& u = app.units;  // the installation's settings
        u.flowUnitFactor = 0.0166667f, u.pressureUnitFactor = u.resistanceUnitFactor = 0.1019716f;
        u.solverError = 0.01f, u.epsFactor = 1, u.thresholdFactor = 20, u.pressureBound = 1;
        u.relaxation = 1.9f, u.shiftFactor = 0.5f, u.innerSweeps = 10, u.maxIteration = 5000;
        app.programFolder = "/nonexistent-orvex";  // no settings files
        doc = std::make_unique<CBriscoDoc>(app, reporter);
        doc->nodes.fill(Node{}), doc->roads.fill(Road{}), doc->fans.fill(Fan{});
        doc->surfaceCount = int(surface.size()), doc->undergroundCount = int(underground.size());
        int i = 0;
        for (auto list : {surface, underground})
            for (const int n : list)
                doc->nodes[size_t(++i)].number = n;
    }
    int road(int first, int second, float resistance, float area = 10, float length = 100, float conductivity = 2,
             float rock = 20)
    {
        Road& r = doc->roads[size_t(++doc->roadCount)];
        r.first = first, r.second = second, r.resistance = resistance, r.area = area, r.length = length;
        r.conductivity = conductivity, r.temperature = rock;
        return doc->roadCount;
    }
    int fixedRoad(int first, int second, float airflow)
    {
        Road& r = doc->roads[size_t(doc->roadCount + ++doc->fixedCount)];
        r.first = first, r.second = second, r.resistance = airflow;
        return doc->roadCount + doc->fixedCount;
    }
    void fan(int inlet, int outlet, float flowStep, std::initializer_list<float> curve)
    {
        Fan& f = doc->fans[size_t(++doc->fanCount)];
        f.inlet = inlet, f.outlet = outlet, f.flowStep = flowStep, f.points = int(curve.size());
        std::copy(curve.begin(), curve.end(), f.curve.begin() + 1);
    }
    CBriscoDoc& build(int fireNode)
    {
        doc->networkKind = doc->altResistanceRoads = doc->pauseFlag = 0;
        doc->density = kAirDensity, doc->specificWeight = app.units.flowUnitFactor * kAirDensity;
        doc->surfaceTemperature = 20;
        doc->fire = FireParameters{};
        doc->fire.fireNode = fireNode;
        doc->rebuildAdjacency();
        reporter.clear();
        return *doc;
    }
    RunOutcome run() { return runAnalysis(*doc, rec, rec); }
    Road& at(int k) { return doc->roads[size_t(k)]; }

    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
    Recorder rec;
};

// The normal roads' fire quantities, airflows and densities are finite, and
// every mark lies within its road.
inline ::testing::AssertionResult allFinite(const FireNet& net)
{
    for (int k = 1; k <= net.doc->roadCount; ++k) {
        const Road& r = net.doc->roads[size_t(k)];
        for (const float v : {r.outletTemperature, r.inletTemperature, r.initialTemperature, r.gasConcentration,
                              r.massFlow, r.density})
            if (!std::isfinite(v))
                return ::testing::AssertionFailure() << "road " << k << " holds " << v;
    }
    for (const Mark& m : net.rec.marks)
        if (!(m.fraction >= 0 && m.fraction <= 1) || std::abs(m.direction) != 1)
            return ::testing::AssertionFailure() << "mark in road " << m.road << " at " << m.fraction;
    return ::testing::AssertionSuccess();
}

// ---- hand calculations ------------------------------------------------------

// Hours at the end of step k of dt minutes.
inline double hoursAt(int k, double dt = 0.1) { return k * dt / 60; }

// Hours for air to pass a road: its volume A·L over the volume flow |M|·3600/ρ.
inline double passageHours(double area, double length, double massFlow, double density)
{
    return area * length * density / (std::fabs(massFlow) * 3600);
}

// Transfer units of the road wall: 2π·kval·K·L (kval 5, K kcal/m·h·°C) over
// the heat capacity flow |M|·3600 s·0.24 kcal/kg°C (M kg/s).
inline double ntuOf(double K, double L, double massFlow)
{
    return 2 * M_PI * 5 * K * L / (std::fabs(massFlow) * 3600 * 0.24);
}

// Air that entered at tIn, after the fraction s of the transfer units.
inline double profile(double rock, double tIn, double ntu, double s = 1)
{
    return rock + (tIn - rock) * std::exp(-ntu * s);
}

// Mean of f over [a, b] by Simpson's rule: integrated, not a closed form.
inline double meanOf(const std::function<double(double)>& f, double a, double b)
{
    const int n = 2000;
    const double h = (b - a) / n;
    double sum = f(a) + f(b);
    for (int j = 1; j < n; ++j)
        sum += f(a + j * h) * (j % 2 ? 4 : 2);
    return b > a ? sum * h / 3 / (b - a) : f(a);
}

// Mean temperature of a road of length L holding stretches of air listed
// from the inlet as {end m, °C at entry}; air x m in has cooled over
// perMetre·x transfer units.
inline double roadMean(double rock, double perMetre, double L, const std::vector<std::pair<double, double>>& stretches)
{
    double sum = 0, from = 0;
    for (const auto& stretch : stretches) {
        const double to = stretch.first, tIn = stretch.second;
        sum += meanOf([&](double x) { return profile(rock, tIn, perMetre * x); }, from, to) * (to - from);
        from = to;
    }
    return sum / L;
}

}  // namespace orvex::test
