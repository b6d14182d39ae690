// Each case on a copy of the solved base network, the copies shared out to
// the workers one case at a time; every result lands in the case's own
// slot, so the order the workers finish in changes nothing.
#include "runcases.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>
#include <tuple>

#include "escape/escape.h"
#include "fire/fire.h"

namespace orvex {

namespace {

// A case's messages: errors say why it was not run, the rest are kept as
// its warnings; questions are answered No.
class CaseReporter : public Reporter {
public:
    void message(const std::string& text, const std::string&, MessageKind kind) override
    {
        (kind == MessageKind::Error ? errors : warnings).push_back(text);
    }
    Answer ask(const std::string& text, const std::string&, bool) override
    {
        warnings.push_back(text);
        return Answer::No;
    }
    std::vector<std::string> errors, warnings;
};

// The analysis dialog of a case: nobody sees it; Stop comes from the caller.
class CaseDialog : public QuietAnalysisDialog {
public:
    explicit CaseDialog(const std::atomic<bool>* stop) : mStop(stop) {}
    bool stopRequested() override { return mStop != nullptr && mStop->load(); }

private:
    const std::atomic<bool>* mStop;
};

bool isLimitBelow(CheckKind kind)
{
    return kind == CheckKind::AirflowLow || kind == CheckKind::VelocityLow;
}

void summarise(CaseResult& r, double thresholdPercent)
{
    const Comparison& c = r.comparison;
    for (const Finding& f : c.appeared) {
        r.violationsAppeared += f.severity == Severity::Violation;
        r.warningsAppeared += f.severity == Severity::Warning;
        r.belowLimit += isLimitBelow(f.kind);
    }
    for (const RoadChange& road : c.roads) {
        r.reversed += road.reversed;
        r.changed += changedBeyond(road, c.largestBaseFlow, thresholdPercent);
        r.largestChange = std::max(r.largestChange, std::fabs(road.change));
    }
}

void gatherGas(const CBriscoDoc& doc, CaseResult& r)
{
    for (int k = 1; k <= doc.roadCount; ++k) {
        const Road& road = doc.roads[k];
        if (std::isfinite(road.gasArrival))
            r.gas.push_back({k, road.first, road.second, road.gasArrival, road.peakGas});
    }
    std::stable_sort(r.gas.begin(), r.gas.end(),
                     [](const GasReach& a, const GasReach& b) { return a.arrival < b.arrival; });
}

// The places the fire leaves without a safe way out (a destination they can
// reach, but no way that stays tenable).
void findUnsafePlaces(const CBriscoDoc& doc, CaseResult& r)
{
    const EscapeSearch search(doc);
    r.escapeProblem = search.error();
    if (!r.escapeProblem.empty())
        return;
    r.noSafeWay = cutOff(search.fromUnderground());
}

CaseResult runCase(const CBriscoDoc& base, const std::vector<Finding>& baseFindings, const Scenario& scenario,
                   const CaseSettings& settings, LayerWorkStore& work)
{
    CaseResult r;
    r.name = scenario.name;
    r.fire = scenario.fire();
    CaseReporter reporter;
    CBriscoDoc doc(base, reporter);
    doc.adoptLayerWork(std::move(work));
    struct GiveBack {
        CBriscoDoc& doc;
        LayerWorkStore& work;
        ~GiveBack() { work = doc.releaseLayerWork(); }
    } giveBack{doc, work};
    doc.pauseFlag = 0;
    r.problem = applyScenario(doc, scenario);
    if (!r.problem.empty())
        return r;
    CaseDialog dialog(settings.stop);
    const RunOutcome outcome = runAnalysis(doc, dialog, !r.fire);
    r.warnings = outcome.warnings;
    if (settings.stop != nullptr && settings.stop->load()) {
        r.problem = "stopped";
        return r;
    }
    r.run = !outcome.refused;
    r.converged = runConverged(outcome, doc);
    if (!reporter.errors.empty())
        r.problem = reporter.errors.front();
    else if (!r.converged)
        r.problem = !outcome.warnings.empty() ? outcome.warnings.front() : "the analysis did not converge";
    if (!r.run)
        return r;
    r.findings = runChecks(doc, settings.defaults, settings.overrides);
    r.comparison = compareRuns(base, baseFindings, doc, r.findings);
    if (r.fire)
        gatherGas(doc, r);
    if (r.fire && settings.escape)
        findUnsafePlaces(doc, r);
    summarise(r, settings.thresholdPercent);
    return r;
}

}  // namespace

int workerCount(int requested, int cases)
{
    int jobs = requested > 0 ? requested : int(std::thread::hardware_concurrency());
    return std::max(1, std::min({jobs, cases, kMaxJobs}));
}

BaseRun runBase(CBriscoDoc& base, const CheckDefaults& defaults, const CheckOverrides& overrides)
{
    BaseRun b;
    QuietAnalysisDialog dialog;
    b.outcome = runAnalysis(base, dialog, true);
    b.converged = runConverged(b.outcome, base);
    if (!b.outcome.refused)
        b.findings = runChecks(base, defaults, overrides);
    return b;
}

std::vector<CaseResult> runCases(const CBriscoDoc& base, const std::vector<Finding>& baseFindings,
                                 const std::vector<Scenario>& scenarios, const CaseSettings& settings)
{
    const int total = int(scenarios.size());
    std::vector<CaseResult> results(scenarios.size());
    std::atomic<int> next{0};
    std::mutex progress;
    int done = 0;
    const auto work = [&] {
        LayerWorkStore layers;  // the worker's, handed from case to case
        for (int i = next++; i < total; i = next++) {
            CaseResult& r = results[std::size_t(i)];
            if (settings.stop != nullptr && settings.stop->load()) {
                r.name = scenarios[std::size_t(i)].name;
                r.problem = "stopped";
            } else {
                try {
                    r = runCase(base, baseFindings, scenarios[std::size_t(i)], settings, layers);
                } catch (const std::exception& e) {
                    r = CaseResult{};
                    r.name = scenarios[std::size_t(i)].name;
                    r.problem = std::string("stopped by an unexpected error: ") + e.what();
                }
            }
            const std::lock_guard<std::mutex> lock(progress);
            ++done;
            if (settings.progress)
                settings.progress(done, total);
        }
    };
    std::vector<std::thread> workers;
    for (int w = 1; w < workerCount(settings.jobs, total); ++w)
        workers.emplace_back(work);
    work();
    for (std::thread& t : workers)
        t.join();
    return results;
}

void sortBySeverity(std::vector<CaseResult>& cases)
{
    const auto key = [](const CaseResult& r) {
        return std::make_tuple(!r.converged, r.violationsAppeared, r.gas.size(), r.warningsAppeared, r.reversed,
                               r.belowLimit, r.changed, r.largestChange);
    };
    std::stable_sort(cases.begin(), cases.end(),
                     [&](const CaseResult& a, const CaseResult& b) { return key(a) > key(b); });
}

}  // namespace orvex
