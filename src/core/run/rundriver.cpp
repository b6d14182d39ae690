#include "run/rundriver.h"

#include <cmath>
#include <sstream>

#include "analysis/solver.h"
#include "fire/fire.h"
#include "model/itemlist.h"

namespace orvex {

bool checkAnalysisInput(CBriscoDoc& doc)
{
    const UnitsSettings& u = doc.app().units;
    std::ostringstream problems;
    if (!(u.flowUnitFactor > 0) || !(u.pressureUnitFactor > 0) ||
        (!doc.isWater() && !(u.resistanceUnitFactor > 0)))
        problems << "The units settings (" << doc.app().programFolder << kUnitsFileName
                 << ") give no flow, pressure or resistance unit factor; the analysis needs them.\n";

    ItemList noResistance;
    for (int k = 1; k <= doc.roadCount; ++k)
        if (!(doc.roads[k].resistance > 0) || !std::isfinite(doc.roads[k].resistance))
            noResistance.add(pairText(doc.roads[k].first, doc.roads[k].second));
    if (!noResistance.empty()) {
        if (doc.isWater())
            problems << "Pipes without a usable diameter, length or coefficient: "
                     << noResistance.text() << ".\n";
        else
            problems << "Roads with resistance 0 or below: " << noResistance.text()
                     << ". A connection without resistance is a fixed-flow road with airflow 0.\n";
    }
    if (!problems.str().empty()) {
        doc.reporter().message("The analysis cannot start.\n" + problems.str(), kDocumentCaption,
                               MessageKind::Error);
        return false;
    }
    return true;
}

namespace {

// Warnings shown together in one message, and kept in the outcome.
void warn(CBriscoDoc& doc, RunOutcome& outcome, const std::vector<std::string>& warnings)
{
    if (warnings.empty())
        return;
    std::string text;
    for (const std::string& warning : warnings)
        text += (text.empty() ? "" : "\n") + warning;
    doc.reporter().message(text, kDocumentCaption, MessageKind::Warning);
    outcome.warnings.insert(outcome.warnings.end(), warnings.begin(), warnings.end());
}

// The caption of an airflow analysis that reached its iteration limit reads
// as one that converged; the person is told what was left.
std::string iterationLimitWarning(const CBriscoDoc& doc)
{
    const UnitsSettings& u = doc.app().units;
    const NodeImbalance worst = largestNodeImbalance(doc);
    return "The analysis reached its limit of " + std::to_string(u.maxIteration) +
           " iterations without converging. The largest imbalance is " + imbalanceText(worst.flow) + " " +
           u.flowUnitName.str() + " (" + imbalanceText(worst.massFlow) + " kg/s) at node " +
           std::to_string(worst.number) + ".";
}

}  // namespace

std::string methodSummary(const RunOutcome& outcome)
{
    if (outcome.refused)
        return {};
    const std::string method = solverMethodWords(outcome.method);
    if (outcome.result == 0 && !outcome.fire)
        return "Stopped during " + method;
    const bool other = outcome.method != outcome.chosenMethod;
    if (outcome.result == -1)
        return "Results of " + method + ", not converged" +
               (other ? " (nor did " + solverMethodWords(outcome.chosenMethod) + " converge)" : "");
    return "Results of " + method +
           (other ? " (" + solverMethodWords(outcome.chosenMethod) + " did not converge)" : "");
}

RunOutcome runDriver(CBriscoDoc& doc, AnalysisDialog& dialog, FireObserver& observer,
                     bool airflowOnly)
{
    RunOutcome outcome;
    dialog.dispatchEvents();
    dialog.setProgressPosition(0);
    dialog.enableClose(false);
    dialog.setStartText("Stop");
    dialog.enableRunControls(false);

    const UnitsSettings& u = doc.app().units;
    const float finish = doc.fire.finishTime;
    outcome.fire = finish > 0 && !airflowOnly;
    dialog.setCaption(kAnalyzingCaption);
    dialog.setProgressRange(0, outcome.fire ? int(finish) : u.maxIteration);
    dialog.setProgressStep(1);
    outcome.refused = !checkAnalysisInput(doc);
    doc.solverWarnings.clear();
    outcome.chosenMethod = doc.solvedBy = doc.solverMethod;
    if (!outcome.refused) {
        dialog.setMethodLine("Solving with " + solverMethodWords(doc.solverMethod));
        outcome.check = checkNetwork(doc);
        warn(doc, outcome, outcome.check.warnings);
        if (outcome.fire) {
            outcome.result = StartFireSimulation(doc, dialog, observer);
        } else {
            UpdateRoadDensities(doc);
            outcome.result = SolveNetwork(doc, dialog, 1.0f, 1.0f, 1.0f, 1.0f);
            if (outcome.result == -1 && u.maxIteration > 1)
                warn(doc, outcome, {iterationLimitWarning(doc)});
        }
        std::vector<std::string> found = doc.solverWarnings;
        for (const std::string& fan : fanPointWarnings(doc, outcome.check.unbalancedFans))
            found.push_back(fan);
        warn(doc, outcome, found);
    }
    outcome.method = doc.solvedBy;
    // A refused run left the results as they were; a stopped one, values on the way.
    if (!outcome.refused)
        doc.holdsResults = outcome.result != 0;

    dialog.enableClose(true);
    dialog.setStartText("Start");
    dialog.enableRunControls(true);
    doc.analysisRunning = 0;
    if (outcome.result == 0)
        dialog.setCaption(kSuspendedCaption);
    else
        dialog.setCaption(outcome.fire ? kFireCompletedCaption : kCompletedCaption);
    dialog.setMethodLine(methodSummary(outcome));
    return outcome;
}

bool runConverged(const RunOutcome& outcome, const CBriscoDoc& doc)
{
    const bool ended = outcome.result == 1 || (outcome.fire && outcome.result == 0 && fireWork(doc).settled);
    return !outcome.refused && ended && !outcome.check.airCannotBalance;
}

RunOutcome runAnalysis(CBriscoDoc& doc, AnalysisDialog& dialog, FireObserver& observer,
                       bool airflowOnly)
{
    doc.prepareAfterLoad();
    const RunOutcome outcome = runDriver(doc, dialog, observer, airflowOnly);
    doc.modified = true;
    return outcome;
}

RunOutcome runAnalysis(CBriscoDoc& doc, AnalysisDialog& dialog, bool airflowOnly)
{
    FireObserver quiet;
    return runAnalysis(doc, dialog, quiet, airflowOnly);
}

}  // namespace orvex
