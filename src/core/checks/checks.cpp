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
