// orvex-bench-analysis: a full airflow analysis (load preparation, road
// densities, solve) and a 30-minute fire simulation, for the sample mine and
// for a generated network at the model's capacity.
//
// The counters give the solver's iterations (the last solve of a fire run)
// and, for fire runs, the number of re-solves. Settings come from the source
// tree's sdt/units.sdt, so the figures are those of the shipped settings.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "run/rundriver.h"
#include "capacitynet.h"
#include "model/briscodoc.h"
#include "model/networkio.h"

namespace {

struct Setup {
    orvex::AppContext app;
    orvex::gennet::SilentReporter reporter;
    std::unique_ptr<orvex::CBriscoDoc> doc;
    std::string error;
};

// The sample (opened as the window opens it) or the capacity network.
std::unique_ptr<Setup> makeSetup(bool capacity, const char* sample)
{
    auto s = std::make_unique<Setup>();
    s->app.programFolder = ORVEX_SOURCE_DIR;
    orvex::readUnitsFile(s->app.programFolder, s->app.units, s->reporter);
    if (capacity) {
        s->doc = std::make_unique<orvex::CBriscoDoc>(s->app, s->reporter);
        s->error = orvex::gennet::generate(orvex::gennet::Shape{}, *s->doc);
        s->doc->prepareAfterLoad();
        s->doc->rebuildAdjacency();
    } else {
        s->app.pendingFile = std::string(ORVEX_SOURCE_DIR) + "/data/" + sample;
        s->app.pending = true;
        s->doc = std::make_unique<orvex::CBriscoDoc>(s->app, s->reporter);
        orvex::MemoryProfile profile;
        if (!orvex::openPendingNetwork(*s->doc, profile))
            s->error = "cannot open " + s->app.pendingFile;
    }
    return s;
}

// A fire on the capacity network: a node of the intake side, 30 minutes.
void setCapacityFire(orvex::CBriscoDoc& doc)
{
    const int node = doc.surfaceCount + 1 + doc.undergroundCount / 10;
    doc.fire.fireNode = doc.nodes[node].number;
    doc.fire.finishTime = 30.0f;
}

void analysis(benchmark::State& state, bool capacity)
{
    const auto s = makeSetup(capacity, "mine.vad");
    if (!s->error.empty()) {
        state.SkipWithError(s->error.c_str());
        return;
    }
    orvex::QuietAnalysisDialog dialog;
    int result = 0;
    for (auto _ : state)
        result = orvex::runAnalysis(*s->doc, dialog, true).result;
    state.counters["iterations"] = s->doc->lastIterations;
    state.counters["result"] = result;
}

void fire(benchmark::State& state, bool capacity)
{
    const auto s = makeSetup(capacity, "minefire.vad");
    if (!s->error.empty()) {
        state.SkipWithError(s->error.c_str());
        return;
    }
    if (capacity)
        setCapacityFire(*s->doc);
    orvex::QuietAnalysisDialog dialog;
    int result = 0;
    for (auto _ : state)
        result = orvex::runAnalysis(*s->doc, dialog).result;
    state.counters["iterations"] = s->doc->lastIterations;
    state.counters["resolves"] = s->doc->fireWork.resolves;
    state.counters["minutes"] = s->doc->fireWork.simulatedMinutes;
    state.counters["result"] = result;
}

}  // namespace

BENCHMARK_CAPTURE(analysis, sample, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(analysis, capacity, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fire, sample, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fire, capacity, true)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
