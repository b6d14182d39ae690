#include "checks/checks.h"

namespace orvex {

const char* checkKindName(CheckKind kind)
{
    switch (kind) {
    case CheckKind::VelocityLow: return "velocity-low";
    case CheckKind::VelocityHigh: return "velocity-high";
    case CheckKind::AirflowLow: return "airflow-low";
    case CheckKind::FanStall: return "fan-stall";
    case CheckKind::FanCurveEnd: return "fan-curve-end";
    case CheckKind::Recirculation: return "recirculation";
    case CheckKind::Regulator: return "regulator";
    case CheckKind::Booster: return "booster";
    case CheckKind::Reversal: return "reversal";
    }
    return "";
}

const char* severityName(Severity severity)
{
    switch (severity) {
    case Severity::Violation: return "violation";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
    }
    return "";
}

FlowHistory FlowHistory::of(const CBriscoDoc& doc)
{
    FlowHistory history;
    for (int k = 1; k <= doc.totalRoads(); ++k)
        history.massFlow[{doc.roads[size_t(k)].first, doc.roads[size_t(k)].second}] = doc.roads[size_t(k)].massFlow;
    return history;
}

CheckWork& checkWork(CBriscoDoc& doc) { return doc.layerWork().get<CheckWork>(); }
const CheckWork& checkWork(const CBriscoDoc& doc) { return doc.layerWork().get<CheckWork>(); }

void checkAfterRun(CBriscoDoc& doc, Reporter& reporter)
{
    CheckWork& work = checkWork(doc);
    work.defaults = CheckDefaults{};
    readCheckDefaults(doc.app().programFolder, work.defaults, reporter);
    work.overrides = CheckOverrides{};
    readCheckOverrides(doc.baseName, work.overrides, reporter);
    reportUnknownOverrides(doc, work.overrides, reporter);
    work.findings = runChecks(doc, work.defaults, work.overrides, work.ranBefore ? &work.last : nullptr);
    work.last = FlowHistory::of(doc);
    work.ranBefore = true;
}

float roadCheckState(const CBriscoDoc& doc, int road)
{
    const CheckWork& work = checkWork(doc);
    if (work.findings.empty() && !work.ranBefore)
        return std::numeric_limits<float>::quiet_NaN();
    if (road > doc.roadCount || !(doc.roads[size_t(road)].area > 0))
        return std::numeric_limits<float>::quiet_NaN();
    float state = 0;
    for (const Finding& f : work.findings)
        if (f.road == road && f.severity == Severity::Violation) {
            if (f.kind == CheckKind::VelocityLow || f.kind == CheckKind::AirflowLow)
                state = -1;
            else if (f.kind == CheckKind::VelocityHigh)
                state = 1;
        }
    return state;
}

std::vector<Finding> runChecks(const CBriscoDoc& doc, const CheckDefaults& defaults, const CheckOverrides& overrides,
                               const FlowHistory* before)
{
    std::vector<Finding> findings;
    checkRoadLimits(doc, defaults, overrides, findings);
    checkFans(doc, defaults, overrides, findings);
    checkRecirculation(doc, findings);
    checkFixedFlows(doc, defaults, findings);
    if (before)
        checkReversals(doc, *before, findings);
    return findings;
}

}  // namespace orvex
