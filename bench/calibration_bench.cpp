// orvex-bench-calibration: the fit of a network to a survey.
//
//   calibration/sample    the sample mine (data/mine.vad) fitted to its
//                         survey data/mine-survey.csv (30 measurements,
//                         every normal road unknown); goal: under 0.1 s
//   calibration/capacity  the generated capacity network (orvex-gennet)
//                         fitted to 200 measurements simulated from its own
//                         solved airflows, pressure losses and fan pressures
//                         with 4 % noise (fixed seed), 300 of its roads
//                         unknown; goal: under 2 s
//
// The counters give the fit's iterations, its cost before and after, and
// the unknowns the survey determines.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

#include "analysis/analysisdialog.h"
#include "analysis/quantities.h"
#include "calibration/calibration.h"
#include "capacitynet.h"
#include "model/networkio.h"
#include "run/rundriver.h"

namespace {

struct Setup {
    orvex::AppContext app;
    orvex::SilentReporter reporter;
    std::unique_ptr<orvex::CBriscoDoc> doc;
    orvex::Survey survey;
    orvex::FitTerms terms = orvex::defaultFitTerms();
    std::string error;
};

std::unique_ptr<Setup> sampleSetup()
{
    auto s = std::make_unique<Setup>();
    s->app.programFolder = ORVEX_SOURCE_DIR;
    orvex::readUnitsFile(s->app.programFolder, s->app.units, s->reporter);
    s->app.pendingFile = std::string(ORVEX_SOURCE_DIR) + "/data/mine.vad";
    s->app.pending = true;
    s->doc = std::make_unique<orvex::CBriscoDoc>(s->app, s->reporter);
    orvex::MemoryProfile profile;
    if (!orvex::openPendingNetwork(*s->doc, profile))
        s->error = "cannot open " + s->app.pendingFile;
    orvex::SurveyRead read = orvex::readSurvey(std::string(ORVEX_SOURCE_DIR) + "/data/mine-survey.csv");
    if (!read.error.empty())
        s->error = read.error;
    s->survey = std::move(read.survey);
    return s;
}

// A measurement of the solved network with noise of sd 4 % of its value.
orvex::Measurement simulated(orvex::MeasurementKind kind, int from, int to, double value, std::mt19937& random)
{
    orvex::Measurement m;
    m.kind = kind;
    m.from = from;
    m.to = to;
    m.sd = std::max(0.04 * std::abs(value), 1e-3);
    m.value = value + std::normal_distribution<double>(0, m.sd)(random);
    return m;
}

// The capacity network solved; 150 airflows and 40 pressure losses of roads
// spread over it, the pressures of 10 fans; 300 normal roads spread over it
// unknown.
std::unique_ptr<Setup> capacitySetup()
{
    auto s = std::make_unique<Setup>();
    s->app.programFolder = ORVEX_SOURCE_DIR;
    orvex::readUnitsFile(s->app.programFolder, s->app.units, s->reporter);
    s->doc = std::make_unique<orvex::CBriscoDoc>(s->app, s->reporter);
    s->error = orvex::gennet::generate(orvex::gennet::Shape{}, *s->doc);
    orvex::CBriscoDoc& doc = *s->doc;
    doc.solverMethod = orvex::SolverMethod::Newton;
    orvex::QuietAnalysisDialog dialog;
    if (s->error.empty() && orvex::runAnalysis(doc, dialog, true).result != 1)
        s->error = "the capacity network does not solve";
    std::mt19937 random(7);
    using Kind = orvex::MeasurementKind;
    for (int i = 0; i < 190 && s->error.empty(); ++i) {
        const int k = 1 + i * (doc.roadCount - 1) / 190;
        const orvex::Road& road = doc.roads[std::size_t(k)];
        float loss = 0;
        orvex::roadValue(doc, k, 4, loss);
        s->survey.measurements.push_back(
            i % 19 < 15 ? simulated(Kind::Airflow, road.first, road.second, road.massFlow / doc.specificWeight, random)
                        : simulated(Kind::PressureDrop, road.first, road.second, loss, random));
    }
    for (int f = 1; f <= 10 && f <= doc.fanCount; ++f)
        s->survey.measurements.push_back(simulated(Kind::FanPressure, doc.fans[std::size_t(f)].inlet,
                                                   doc.fans[std::size_t(f)].outlet, doc.fans[std::size_t(f)].pressure,
                                                   random));
    s->terms = orvex::FitTerms{};
    for (int i = 0; i < 300; ++i) {
        const orvex::Road& road = doc.roads[std::size_t(1 + i * (doc.roadCount - 1) / 300)];
        s->terms.roads.emplace_back(road.first, road.second);
    }
    return s;
}

void fit(benchmark::State& state, std::unique_ptr<Setup> (*setup)())
{
    const auto s = setup();
    if (!s->error.empty()) {
        state.SkipWithError(s->error.c_str());
        return;
    }
    orvex::CalibrationResult result;
    for (auto _ : state)
        result = orvex::calibrate(*s->doc, s->survey, s->terms);
    if (!result.error.empty()) {
        state.SkipWithError(result.error.c_str());
        return;
    }
    state.counters["warnings"] = double(result.warnings.size());
    state.counters["measurements"] = double(result.measurements.size());
    state.counters["unknowns"] = double(result.unknowns.size());
    state.counters["determined"] = double(std::count_if(result.unknowns.begin(), result.unknowns.end(),
                                                        [](const orvex::FitUnknown& u) { return u.determined; }));
    state.counters["iterations"] = result.iterations;
    state.counters["converged"] = result.converged;
    state.counters["costBefore"] = result.costBefore;
    state.counters["costAfter"] = result.costAfter;
}

}  // namespace

BENCHMARK_CAPTURE(fit, sample, sampleSetup)->Name("calibration/sample")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fit, capacity, capacitySetup)->Name("calibration/capacity")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
