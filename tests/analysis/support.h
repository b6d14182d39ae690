#pragma once

#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/analysisdialog.h"
#include "model/appcontext.h"
#include "model/briscodoc.h"
#include "model/reporter.h"

namespace orvex::analysistest {

// Records every message box; questions are answered No (nothing here asks).
class RecordingReporter : public Reporter {
public:
    struct Entry {
        std::string text, caption;
        MessageKind kind;
    };
    void message(const std::string& text, const std::string& caption, MessageKind kind) override
    {
        messages.push_back({text, caption, kind});
    }
    Answer ask(const std::string& text, const std::string&, bool) override
    {
        questions.push_back(text);
        return Answer::No;
    }
    bool contains(const std::string& part) const;
    int count(MessageKind kind) const;
    std::string all() const;

    std::vector<Entry> messages;
    std::vector<std::string> questions;
};

// Records what the solver and the driver tell the analysis dialog. A stop is
// requested at the stopAt-th stop query (never when 0).
class RecordingDialog : public AnalysisDialog {
public:
    void setStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void setSecondLine(const std::string& text) override { secondLines.push_back(text); }
    void setDiagnosticLine(int line, const std::string& text) override
    {
        diagnostics.emplace_back(line, text);
    }
    void setFanCell(int row, int column, const std::string& text) override
    {
        fanCells[{row, column}] = text;
        ++fanCellWrites;
    }
    void setProgressRange(int lower, int upper) override { ranges.emplace_back(lower, upper); }
    void setProgressStep(int step) override { steps.push_back(step); }
    void setProgressPosition(int position) override { positions.push_back(position); }
    void stepProgress() override { ++progressSteps; }
    bool stopRequested() override
    {
        ++stopQueries;
        return stopAt > 0 && stopQueries == stopAt;
    }
    void enableClose(bool enable) override { closeStates.push_back(enable); }
    void enableRunControls(bool enable) override { runControlStates.push_back(enable); }
    void setStartText(const std::string& text) override { startTexts.push_back(text); }
    void setCaption(const std::string& text) override { captions.push_back(text); }

    // The cell text, or "<none>" when it was never written.
    std::string cell(int row, int column) const;
    int highestFanRow() const;

    int stopAt = 0;
    int stopQueries = 0;
    int progressSteps = 0;
    int fanCellWrites = 0;
    std::vector<std::string> statusLines, secondLines, captions, startTexts;
    std::vector<std::pair<int, std::string>> diagnostics;
    std::map<std::pair<int, int>, std::string> fanCells;
    std::vector<std::pair<int, int>> ranges;
    std::vector<int> steps, positions;
    std::vector<bool> closeStates, runControlStates;
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

// The installation's units (flow m3/min, pressure Pa, resistance Ns²/m⁸)
// and solver settings, fixed here so that the tests do not follow the tuning
// of the shipped units file.
UnitsSettings standardUnits();

inline constexpr float kStandardDensity = 1.20459f;
inline constexpr double kResistanceFactor = 0.1019716;  // Ns²/m⁸ -> Murgue
inline constexpr double kPressureFactor = 0.1019716;    // Pa -> kgf/m²
inline constexpr double kFlowFactor = 0.0166667;        // m³/min -> m³/s
inline constexpr double kGammaQ = kFlowFactor * kStandardDensity;  // m³/min of standard air -> kg/s
// Target mean imbalance of the standard settings: solverError 0.01 × 0.0240918 kg/s.
inline constexpr double kTargetImbalance = 0.01 * 0.0240918;

// A small network built in code. Nodes and roads may be added in any order;
// build() puts surface nodes first and normal roads before fixed-flow roads,
// as the document requires, then prepares the network for an analysis.
class TestNetwork {
public:
    explicit TestNetwork(bool water = false, UnitsSettings units = standardUnits());

    void surface(int number, float elevation);
    void underground(int number, float elevation);
    // A normal road; returns its position among the normal roads (its index after build()).
    int road(int first, int second, float resistance, float temperature = 20.0f, float altResistance = 0);
    // A water pipe: diameter, length, Hazen-Williams coefficient (or loss coefficient for length 0).
    int pipe(int first, int second, float diameter, float length, float coefficient);
    // A fixed-flow road; returns its position among the fixed-flow roads
    // (fixedIndex() gives its road index after build()).
    int fixedRoad(int first, int second, float airflow);
    int fixedIndex(int position) const { return int(mRoads.size()) + position; }
    int fan(int inlet, int outlet, float flowStep, std::initializer_list<float> curve);

    // Writes the arrays, rebuilds the adjacency and runs load preparation.
    CBriscoDoc& build();

    CBriscoDoc& doc() { return *mDoc; }
    int index(int number) const { return mDoc->nodeIndex(number); }
    double pressure(int number) const { return mDoc->nodes[size_t(index(number))].pressure; }

    AppContext app;
    RecordingReporter reporter;
    float surfaceTemperature = 20.0f;

private:
    TempFolder mFolder;
    bool mWater;
    std::unique_ptr<CBriscoDoc> mDoc;
    std::vector<Node> mSurface, mUnderground;
    std::vector<Road> mRoads, mFixed;
    std::vector<Fan> mFans;
};

// Net mass inflow into node index i (kg/s) from every normal road, fixed-flow
// road and fan, taken from the stored results: a fixed-flow road carries its
// stored mass flow, a fan γq × its airflow.
double netInflow(const CBriscoDoc& doc, int i);

// Mean of |net inflow| over the underground nodes (kg/s): what the solver's
// stopping rule bounds by the target accuracy.
double meanImbalance(const CBriscoDoc& doc);

// Every stored node pressure, road mass flow and fan airflow is finite.
::testing::AssertionResult allResultsFinite(const CBriscoDoc& doc);

// ---- hand calculations -----------------------------------------------------

// Specific weight of air (kgf/m³, numerically kg/m³) at an absolute pressure
// p (kgf/m²) and a temperature t (°C): the gas law with R = 29.27 m/K.
inline double airDensity(double p, double t) { return p / ((t + 273.15) * 29.27); }

// The square road law. With Q in m³/s, dp = f_R × R × Q|Q| × ρ / ρs; the mass
// flow is M = ρ Q, so dp = f_R × R × M|M| / (ρ ρs) and
// M = sign(dp) × sqrt(ρ ρs |dp| / (f_R R)).
inline double roadLawFlow(double dp, double rho, double resistance, double resistanceFactor,
                          double rhoStandard = kStandardDensity)
{
    const double m = std::sqrt(rho * rhoStandard * std::fabs(dp) / (resistanceFactor * resistance));
    return dp < 0 ? -m : m;
}
inline double roadLawDrop(double massFlow, double rho, double resistance, double resistanceFactor,
                          double rhoStandard = kStandardDensity)
{
    return resistanceFactor * resistance * massFlow * std::fabs(massFlow) / (rho * rhoStandard);
}

// The mass flow of an air road from a to b between two known pressures, with
// its natural draught (za - zb) × ρ and ρ at the mean pressure of its ends.
inline double flowBetween(double pa, double pb, double za, double zb, double t, double r)
{
    const double rho = airDensity((pa + pb) / 2, t);
    return roadLawFlow(pa - pb + (za - zb) * rho, rho, r, kResistanceFactor);
}

// Root of a function that changes sign on [lo, hi] (bisection to the end of
// double precision).
double bisect(const std::function<double(double)>& f, double lo, double hi);

// The piecewise linear fan curve at airflow q (0 ≤ q ≤ last point).
double curveAt(const std::vector<double>& points, double step, double q);

}  // namespace orvex::analysistest
