#pragma once

#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/analysisdialog.h"
#include "run/rundriver.h"
#include "model/briscodoc.h"
#include "support/support.h"

namespace orvex {
// Test names and failures show the method by its name.
inline void PrintTo(SolverMethod method, std::ostream* out) { *out << solverMethodName(method); }
}  // namespace orvex

namespace orvex::test {

// Records what the solver and the driver show; a stop is requested at the
// stopAt-th stop query (never when 0).
class RecordingDialog : public QuietAnalysisDialog {
public:
    void setStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void setDiagnosticLine(int line, const std::string& text) override { diagnostics.emplace_back(line, text); }
    void setFanCell(int row, int column, const std::string& text) override { fanCells[{row, column}] = text; }
    void setProgressRange(int lower, int upper) override { range = {lower, upper}; }
    void stepProgress() override { ++progressSteps; }
    bool stopRequested() override { return ++stopQueries == stopAt; }
    void enableClose(bool enable) override { closeStates.push_back(enable); }
    void setStartText(const std::string& text) override { startTexts.push_back(text); }
    void setCaption(const std::string& text) override { captions.push_back(text); }
    void setMethodLine(const std::string& text) override { methodLines.push_back(text); }

    int stopAt = 0, stopQueries = 0, progressSteps = 0;
    std::pair<int, int> range{-1, -1};
    std::vector<std::string> statusLines, startTexts, captions, methodLines;
    std::vector<std::pair<int, std::string>> diagnostics;
    std::map<std::pair<int, int>, std::string> fanCells;
    std::vector<bool> closeStates;
};

// Flow m3/min, pressure Pa, resistance Ns2/m8, and solver settings fixed here
// so that the tests do not follow the tuning of the shipped units file.
UnitsSettings standardUnits();

inline constexpr float kStandardDensity = 1.20459f;
inline constexpr double kPressureFactor = 0.1019716;  // Pa -> kgf/m2, also Ns2/m8 -> Murgue
inline constexpr double kGammaQ = 0.0166667 * kStandardDensity;  // kg/s per m3/min of standard air
// Target mean imbalance of the standard settings: solverError 0.01 x 0.0240918 kg/s.
inline constexpr double kTau = 0.01 * 0.0240918;
// The stopping rule leaves node imbalances of the order of tau and flows a few
// tau off the exact solution; four tau is 0.05 m3/min of air.
inline constexpr double kFlowTolerance = 4 * kTau;

// A small network written straight into a document: surface nodes before
// underground nodes, normal roads before fixed-flow roads. road() and
// fixedRoad() return the road's index. build() prepares it for an analysis.
class TestNetwork {
public:
    explicit TestNetwork(bool water = false, UnitsSettings units = standardUnits());
    // Nodes as {number, elevation}.
    void surface(std::initializer_list<std::pair<int, float>> nodes);
    void underground(std::initializer_list<std::pair<int, float>> nodes);
    int road(int first, int second, float resistance, float temperature = 20, float altResistance = 0);
    // A water pipe: diameter, length, Hazen-Williams C (loss coefficient when the length is 0).
    int pipe(int first, int second, float diameter, float length, float coefficient);
    int fixedRoad(int first, int second, float airflow);
    void fan(int inlet, int outlet, float flowStep, std::initializer_list<float> curve)
    {
        fan(inlet, outlet, flowStep, std::vector<float>(curve));
    }
    void fan(int inlet, int outlet, float flowStep, const std::vector<float>& curve);

    CBriscoDoc& build();
    RunOutcome solve() { return runAnalysis(build(), dialog); }  // as the dialog's Start does

    CBriscoDoc& doc() { return *mDoc; }
    int index(int number) const { return mDoc->nodeIndex(number); }
    double& pressure(int number) { return mDoc->nodes[size_t(index(number))].pressure; }
    float& flow(int road) { return mDoc->roads[size_t(road)].massFlow; }

    AppContext app;
    RecordingReporter reporter;
    RecordingDialog dialog;
    float surfaceTemperature = 20;
    SolverMethod method = SolverMethod::Relaxation;  // set into the document by build()

private:
    std::unique_ptr<CBriscoDoc> mDoc;
};

// The installation's shipped units file.
UnitsSettings shippedUnits();
// Opens data/NAME as the program opens a pending file.
void openSample(TestNetwork& net, const std::string& name);
// Cold intake 1-10 (10 at -200 m), warm return 11-2 (collar 2 at +40 m).
void addDraughtNetwork(TestNetwork& net, float z11 = -200);
// The same with 11 at -190 m joined to 10 without resistance (merged for the
// solve); `more` adds nodes and normal roads before the join.
void addJoinedDraughtNetwork(TestNetwork& net, const std::function<void(TestNetwork&)>& more = {});

// Net mass inflow (kg/s) into node index i from the stored flows of every road
// and fan, and the mean of its size over the underground nodes.
double netInflow(const CBriscoDoc& doc, int i);
double meanImbalance(const CBriscoDoc& doc);
// Every stored node pressure and road and fan result is a finite number.
bool allResultsFinite(const CBriscoDoc& doc);

// ---- hand calculations -----------------------------------------------------

// Specific weight of air (kg/m3) at p (kgf/m2) and t (deg C), R = 29.27 m/K.
inline double airDensity(double p, double t) { return p / ((t + 273.15) * 29.27); }

// The square road law: with Q in m3/s, dp = f_R R Q|Q| rho / rho_s; with the
// mass flow M = rho Q, dp = f_R R M|M| / (rho rho_s).
inline double roadLawDrop(double m, double rho, double r)
{
    return kPressureFactor * r * m * std::fabs(m) / (rho * kStandardDensity);
}
inline double roadLawFlow(double dp, double rho, double r)
{
    return std::copysign(std::sqrt(rho * kStandardDensity * std::fabs(dp) / (kPressureFactor * r)), dp);
}
// Mass flow of an air road from a to b between known pressures, with the
// natural draught (za - zb) rho, rho at the mean pressure of its ends.
inline double flowBetween(double pa, double pb, double za, double zb, double t, double r)
{
    const double rho = airDensity((pa + pb) / 2, t);
    return roadLawFlow(pa - pb + (za - zb) * rho, rho, r);
}

// Root of f on [lo, hi] where it changes sign.
double bisect(const std::function<double(double)>& f, double lo, double hi);
// The piecewise linear fan curve at airflow q (0 <= q).
double curveAt(const std::vector<double>& points, double step, double q);

}  // namespace orvex::test
