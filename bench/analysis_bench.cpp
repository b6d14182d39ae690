// orvex-bench-analysis: a full airflow analysis (load preparation, road
// densities, solve) and a 30-minute fire simulation, for the sample mine,
// a generated network at the model's capacity and a generated water supply
// (446 nodes, about a thousand pipes, two pumps), each with both solver
// methods.
//
// The counters give the solver's iterations (the last solve of a fire run)
// and, for fire runs, the number of re-solves. A Newton analysis also
// solves its network once with the relaxation and reports the largest
// difference of a road or fan flow in per cent of the largest road flow
// ("flowDiff%"). Settings come from the source tree's sdt/units.sdt, so
// the figures are those of the shipped settings.
//
// sweep/capacity_fans_off/jobs:N: each of the capacity network's 49 fans
// off in turn, every case solved and compared with the base run (goal:
// under 0.2 s with both cores); sweep/capacity_fire_nodes/jobs:N: a
// 30-minute fire at each of 100 underground nodes spread over the network
// (goal: under 3 s with both cores). jobs:1 shows the speed-up.
//
// checks/capacity: the design checks after a solved run of the capacity
// network (limits, fans, recirculation, fixed flows, reversals against the
// run before); goal: under 1 ms, nothing beside a run.
//
// escape/capacity: after the capacity network's 30-minute fire, the way
// out from every underground node to its surface nodes (goal: under 50 ms);
// the counters give the routes found safe and those cut by the fire.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "capacitynet.h"
#include "checks/checks.h"
#include "escape/escape.h"
#include "fire/fire.h"
#include "model/briscodoc.h"
#include "model/networkio.h"
#include "run/rundriver.h"
#include "scenario/runcases.h"
#include "waternet.h"

namespace {

using orvex::SolverMethod;

enum class Network { Sample, Capacity, Water };

struct Setup {
    orvex::AppContext app;
    orvex::SilentReporter reporter;
    std::unique_ptr<orvex::CBriscoDoc> doc;
    std::string error;
};

// The sample (opened as the window opens it) or a generated network.
std::unique_ptr<Setup> makeSetup(Network network, const char* sample, SolverMethod method)
{
    auto s = std::make_unique<Setup>();
    s->app.programFolder = ORVEX_SOURCE_DIR;
    orvex::readUnitsFile(s->app.programFolder, s->app.units, s->reporter);
    if (network == Network::Sample) {
        s->app.pendingFile = std::string(ORVEX_SOURCE_DIR) + "/data/" + sample;
        s->app.pending = true;
        s->doc = std::make_unique<orvex::CBriscoDoc>(s->app, s->reporter);
        orvex::MemoryProfile profile;
        if (!orvex::openPendingNetwork(*s->doc, profile))
            s->error = "cannot open " + s->app.pendingFile;
    } else {
        s->doc = std::make_unique<orvex::CBriscoDoc>(s->app, s->reporter);
        s->error = network == Network::Capacity
            ? orvex::gennet::generate(orvex::gennet::Shape{}, *s->doc)
            : orvex::gennet::generateWater(orvex::gennet::WaterShape{}, *s->doc);
    }
    s->doc->solverMethod = method;
    return s;
}

// A fire on the capacity network: a node of the intake side, 30 minutes.
void setCapacityFire(orvex::CBriscoDoc& doc)
{
    const int node = doc.surfaceCount + 1 + doc.undergroundCount / 10;
    doc.fire.fireNode = doc.nodes[node].number;
    doc.fire.finishTime = 30.0f;
}

void escape(benchmark::State& state)
{
    const auto s = makeSetup(Network::Capacity, "", SolverMethod::Newton);
    if (!s->error.empty()) {
        state.SkipWithError(s->error.c_str());
        return;
    }
    orvex::CBriscoDoc& doc = *s->doc;
    setCapacityFire(doc);
    orvex::QuietAnalysisDialog dialog;
    orvex::runAnalysis(doc, dialog);
    doc.fire.destinationCount = doc.surfaceCount;
    for (int i = 1; i <= doc.surfaceCount; ++i)
        doc.fire.destinationNode[i] = doc.nodes[i].number;
    std::vector<orvex::EscapeRoute> routes;
    for (auto _ : state) {
        const orvex::EscapeSearch search(doc);
        routes = search.fromUnderground();
    }
    const auto safe = std::count_if(routes.begin(), routes.end(), [](const auto& r) { return r.safe; });
    state.counters["routes"] = double(routes.size());
    state.counters["safe"] = double(safe);
    state.counters["cut"] = double(std::count_if(routes.begin(), routes.end(),
                                                 [](const auto& r) { return !r.safe && r.destination; }));
}

// The largest difference of a road or fan mass flow between two solved
// copies of one network, in per cent of the largest road flow.
double flowDifference(const orvex::CBriscoDoc& a, const orvex::CBriscoDoc& b)
{
    double largest = 0, difference = 0;
    for (int k = 1; k <= a.totalRoads(); ++k) {
        largest = std::max(largest, double(std::fabs(a.roads[k].massFlow)));
        difference = std::max(difference, double(std::fabs(a.roads[k].massFlow - b.roads[k].massFlow)));
    }
    for (int f = 1; f <= a.fanCount; ++f)
        difference = std::max(difference, double(a.specificWeight) * std::fabs(a.fans[f].fanFlow - b.fans[f].fanFlow));
    return largest > 0 ? 100 * difference / largest : 0.0;
}

void analysis(benchmark::State& state, Network network, SolverMethod method)
{
    const auto s = makeSetup(network, "mine.vad", method);
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
    if (method == SolverMethod::Newton) {
        const auto relaxed = makeSetup(network, "mine.vad", SolverMethod::Relaxation);
        orvex::runAnalysis(*relaxed->doc, dialog, true);
        state.counters["flowDiff%"] = flowDifference(*relaxed->doc, *s->doc);
    }
}

void fire(benchmark::State& state, Network network, SolverMethod method)
{
    const auto s = makeSetup(network, "minefire.vad", method);
    if (!s->error.empty()) {
        state.SkipWithError(s->error.c_str());
        return;
    }
    if (network == Network::Capacity)
        setCapacityFire(*s->doc);
    orvex::QuietAnalysisDialog dialog;
    int result = 0;
    for (auto _ : state)
        result = orvex::runAnalysis(*s->doc, dialog).result;
    state.counters["iterations"] = s->doc->lastIterations;
    state.counters["resolves"] = fireWork(*s->doc).resolves;
    state.counters["minutes"] = fireWork(*s->doc).simulatedMinutes;
    state.counters["result"] = result;
}

void checks(benchmark::State& state)
{
    const auto s = makeSetup(Network::Capacity, "mine.vad", SolverMethod::Newton);
    if (!s->error.empty()) {
        state.SkipWithError(s->error.c_str());
        return;
    }
    orvex::QuietAnalysisDialog dialog;
    orvex::runAnalysis(*s->doc, dialog, true);
    const orvex::CheckDefaults defaults;
    const orvex::CheckOverrides overrides;
    const orvex::FlowHistory before = orvex::FlowHistory::of(*s->doc);
    std::size_t findings = 0;
    for (auto _ : state)
        findings = orvex::runChecks(*s->doc, defaults, overrides, &before).size();
    state.counters["findings"] = double(findings);
}

enum class Sweep { FansOff, FireNodes };

void sweep(benchmark::State& state, Sweep kind)
{
    const auto s = makeSetup(Network::Capacity, "mine.vad", SolverMethod::Newton);
    if (!s->error.empty()) {
        state.SkipWithError(s->error.c_str());
        return;
    }
    const orvex::BaseRun base = orvex::runBase(*s->doc, {}, {});
    std::vector<orvex::SweepItem> nodes;
    const int underground = s->doc->undergroundCount;
    for (int n = 0; kind == Sweep::FireNodes && n < 100; ++n)
        nodes.push_back({s->doc->nodes[s->doc->surfaceCount + 1 + n * underground / 100].number, 0});
    auto cases = orvex::sweepScenarios(*s->doc, kind == Sweep::FansOff ? orvex::SweepKind::FansOff
                                                                       : orvex::SweepKind::FireNodes, nodes);
    for (orvex::Scenario& c : cases)
        c.changes[0].value = 30;  // a fire's minutes; a fan-off change has no value
    orvex::CaseSettings settings;
    settings.jobs = int(state.range(0));
    int converged = 0;
    for (auto _ : state) {
        converged = 0;
        for (const orvex::CaseResult& r : orvex::runCases(*s->doc, base.findings, cases, settings))
            converged += r.converged;
    }
    state.counters["cases"] = double(cases.size());
    state.counters["converged"] = converged;
}

}  // namespace

BENCHMARK_CAPTURE(sweep, capacity_fans_off, Sweep::FansOff)->ArgName("jobs")->Arg(1)->Arg(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(sweep, capacity_fire_nodes, Sweep::FireNodes)->ArgName("jobs")->Arg(1)->Arg(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(checks)->Name("checks/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(analysis, sample, Network::Sample, SolverMethod::Relaxation)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(analysis, sample_newton, Network::Sample, SolverMethod::Newton)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(analysis, capacity, Network::Capacity, SolverMethod::Relaxation)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(analysis, capacity_newton, Network::Capacity, SolverMethod::Newton)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(analysis, water, Network::Water, SolverMethod::Relaxation)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(analysis, water_newton, Network::Water, SolverMethod::Newton)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fire, sample, Network::Sample, SolverMethod::Relaxation)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fire, sample_newton, Network::Sample, SolverMethod::Newton)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fire, capacity, Network::Capacity, SolverMethod::Relaxation)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fire, capacity_newton, Network::Capacity, SolverMethod::Newton)->Unit(benchmark::kMillisecond);
BENCHMARK(escape)->Name("escape/capacity")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
