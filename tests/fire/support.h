#pragma once

#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/analysisdialog.h"
#include "fire/fireobserver.h"
#include "model/appcontext.h"
#include "model/briscodoc.h"
#include "model/reporter.h"

namespace orvex::firetest {

// Records every message box; questions are answered No.
class RecordingReporter : public Reporter {
public:
    void message(const std::string& text, const std::string&, MessageKind) override
    {
        messages.push_back(text);
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
    // Messages whose text is exactly `text`.
    int count(const std::string& text) const;
    bool contains(const std::string& part) const;
    std::string all() const;

    std::vector<std::string> messages;
};

// Records what the solver, the fire simulation and the driver tell the
// analysis dialog. onSecondLine runs after every fire line, that is once at
// the start and once at the end of every step's front processing, so a test
// can look at the document step by step. A stop is answered from stopWhen.
class RecordingDialog : public AnalysisDialog {
public:
    void setStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void setSecondLine(const std::string& text) override
    {
        secondLines.push_back(text);
        if (onSecondLine)
            onSecondLine(text);
    }
    void setDiagnosticLine(int, const std::string&) override {}
    void setFanCell(int, int, const std::string&) override {}
    void setProgressRange(int lower, int upper) override { ranges.push_back({lower, upper}); }
    void setProgressStep(int) override {}
    void setProgressPosition(int position) override { positions.push_back(position); }
    void stepProgress() override { ++progressSteps; }
    bool stopRequested() override
    {
        ++stopQueries;
        return stopWhen && stopWhen();
    }
    void enableClose(bool enable) override { closeStates.push_back(enable); }
    void enableRunControls(bool) override {}
    void setStartText(const std::string& text) override { startTexts.push_back(text); }
    void setCaption(const std::string& text) override { captions.push_back(text); }
    void clearOpt1() override { ++opt1Clears; }

    // The solver writes its iteration lines here too; the fire status is
    // never one of them.
    bool statusLinesContain(const std::string& text) const;

    std::function<void(const std::string&)> onSecondLine;
    std::function<bool()> stopWhen;
    std::vector<std::string> statusLines, secondLines, captions, startTexts;
    std::vector<std::pair<int, int>> ranges;
    std::vector<int> positions;
    std::vector<bool> closeStates;
    int progressSteps = 0;
    int stopQueries = 0;
    int opt1Clears = 0;
};

// Records the fire-front marks, the redraw requests and the pause dialogs.
// A mark's step is the number of fire lines written before it: 1 for marks
// of the first step (the start line is the first), 2 for the second, ...
class RecordingObserver : public FireObserver {
public:
    struct Mark {
        int step;
        int road;
        float distance;
        float fraction;
        int direction;
    };
    explicit RecordingObserver(const RecordingDialog& dialog) : mDialog(dialog) {}
    float nodeRadius() const override { return radius; }
    void fireFront(int road, float distance, float fraction, int direction) override
    {
        marks.push_back({int(mDialog.secondLines.size()), road, distance, fraction, direction});
    }
    void redrawAllViews() override
    {
        ++redraws;
        if (onRedraw)
            onRedraw();
    }
    bool pauseDialog() override
    {
        ++pauseDialogs;
        return pauseAnswers.empty() ? true : pauseAnswers[size_t(pauseDialogs - 1) % pauseAnswers.size()];
    }
    std::vector<Mark> marksOf(int road) const;

    float radius = 8.0f;
    std::function<void()> onRedraw;  // runs after an airflow re-solve when the run pauses
    std::vector<Mark> marks;
    std::vector<bool> pauseAnswers;  // answers of the pause dialogs, repeated
    int redraws = 0;
    int pauseDialogs = 0;

private:
    const RecordingDialog& mDialog;
};

// An empty folder below the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string path() const { return mPath.string(); }

private:
    std::filesystem::path mPath;
};

// Flow m³/min, pressure and resistance Pa and Ns²/m⁸, with the solver
// settings of the installation, written out here so that the tests do not
// follow later tuning of the units file.
UnitsSettings fireUnits();

inline constexpr double kStandardDensity = 1.20459;     // kg/m³
inline constexpr double kFlowFactor = 0.0166667;        // m³/min -> m³/s
// m³/min of standard air -> kg/s: a fixed-flow road's or a fan's mass flow.
inline constexpr double kMassPerFlowUnit = kFlowFactor * kStandardDensity;

// A small air network built in code. Surface nodes come first and normal
// roads before fixed-flow roads, as the document requires.
class FireNet {
public:
    FireNet();

    void surface(int number, float elevation = 0);
    void underground(int number, float elevation = 0);
    // A normal road; returns its road index (normal roads are numbered in
    // the order they are added, from 1).
    int road(int first, int second, float resistance, float area = 10, float length = 100,
             float conductivity = 2, float rock = 20);
    // A fixed-flow road (airflow in m³/min); returns its road index, valid
    // once every normal road has been added.
    int fixedRoad(int first, int second, float airflow);
    int fan(int inlet, int outlet, float flowStep, std::initializer_list<float> curve);

    // Writes the arrays and rebuilds the adjacency. The fire parameters keep
    // the document's defaults apart from the fire node and a finish time of 0.
    CBriscoDoc& build(int fireNode);

    CBriscoDoc& doc() { return *mDoc; }
    Road& roadAt(int k) { return mDoc->roads[size_t(k)]; }
    int index(int number) const { return mDoc->nodeIndex(number); }

    AppContext app;
    RecordingReporter reporter;
    float surfaceTemperature = 20.0f;

private:
    TempFolder mFolder;
    std::unique_ptr<CBriscoDoc> mDoc;
    std::vector<Node> mSurface, mUnderground;
    std::vector<Road> mRoads, mFixed;
    std::vector<Fan> mFans;
};

// Every node pressure and every normal road's fire quantities, mass flow and
// density are finite; the first offender is named.
::testing::AssertionResult everythingFinite(const CBriscoDoc& doc);

// Every entry of the front table's two lists has a finite time (arrival or
// distance), temperature and gas concentration.
::testing::AssertionResult frontTableFinite(const CBriscoDoc& doc);

// The step times of a fire run, minutes, accumulated in single precision as
// the run does: dt = the smaller of the two steps, first step at dt, last at
// or below the finish time. resolveSteps gets, for every step, whether an
// airflow re-solve follows it (first at fireStep - dt/2, then every fireStep).
std::vector<float> fireStepTimes(float displayStep, float fireStep, float finish,
                                 std::vector<bool>* resolveSteps = nullptr);

// ---- hand calculations -----------------------------------------------------

// Heat exchanger of the road wall: number of transfer units of a road of
// length L (m), rock conductivity K (kcal/m·h·°C), wall factor kval, mass
// flow M (kg/s): 2π·kval·K·L over the heat capacity flow |M|·3600·cp, with
// cp = 0.24 kcal/kg·°C and π taken as 3.14159.
inline double transferUnits(double K, double kval, double L, double massFlow)
{
    return K * 2 * kval * L * 3.14159 / (std::fabs(massFlow) * 3600 * 0.24);
}

// Air entering at tIn cools (or warms) towards the rock temperature
// exponentially along the road: at the fraction s of the length it has
// rock + (tIn - rock)·e^(-NTU·s).
inline double profileAt(double rock, double tIn, double ntu, double s)
{
    return rock + (tIn - rock) * std::exp(-ntu * s);
}

// The mean of a function over [a, b], by composite Simpson's rule with n
// (even) intervals: the road's mean temperature found by integrating its
// profile rather than from a formula.
double meanBySimpson(const std::function<double(double)>& f, double a, double b, int n = 2000);

// Hours for air to pass a road: its volume A·L over the volume flow
// |M|·3600/ρ (m³/h).
inline double passageHours(double area, double length, double massFlow, double density)
{
    return area * length / (std::fabs(massFlow) * 3600 / density);
}

}  // namespace orvex::firetest
