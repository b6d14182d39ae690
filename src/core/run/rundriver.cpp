#include "run/rundriver.h"

#include <cmath>
#include <cstdio>
#include <sstream>

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

// The check of the network before a run, shown once in one message.
NetworkCheck warnAboutNetwork(CBriscoDoc& doc)
{
    NetworkCheck check = checkNetwork(doc);
    if (!check.warnings.empty()) {
        std::string text;
        for (const std::string& warning : check.warnings)
            text += (text.empty() ? "" : "\n") + warning;
        doc.reporter().message(text, kDocumentCaption, MessageKind::Warning);
    }
    return check;
}

// The caption of an airflow analysis that reached its iteration limit reads
// as one that converged; the person is told what was left.
void warnAboutIterationLimit(CBriscoDoc& doc)
{
    const UnitsSettings& u = doc.app().units;
    const NodeImbalance worst = largestNodeImbalance(doc);
    char text[320];
    std::snprintf(text, sizeof text,
                  "The analysis reached its limit of %d iterations without converging. The "
                  "largest imbalance is %.3f %s (%.4f kg/s) at node %d.",
                  u.maxIteration, worst.flow, u.flowUnitName.c_str(), worst.massFlow, worst.number);
    doc.reporter().message(text, kDocumentCaption, MessageKind::Warning);
}

// What the last solve found (the Newton method holds fans at the ends of
// their curves and node groups at one node's pressure), in one message.
void warnAboutSolve(CBriscoDoc& doc)
{
    if (doc.solverWarnings.empty())
        return;
    std::string text;
    for (const std::string& warning : doc.solverWarnings)
        text += (text.empty() ? "" : "\n") + warning;
    doc.reporter().message(text, kDocumentCaption, MessageKind::Warning);
}

}  // namespace

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
    if (!outcome.refused) {
        outcome.check = warnAboutNetwork(doc);
        if (outcome.fire) {
            outcome.result = doc.StartFireSimulation(dialog, observer);
        } else {
            doc.UpdateRoadDensities();
            outcome.result = doc.SolveNetwork(dialog, 1.0f, 1.0f, 1.0f, 1.0f);
            if (outcome.result == -1 && u.maxIteration > 1)
                warnAboutIterationLimit(doc);
        }
        warnAboutSolve(doc);
    }

    dialog.enableClose(true);
    dialog.setStartText("Start");
    dialog.enableRunControls(true);
    doc.analysisRunning = 0;
    if (outcome.result == 0)
        dialog.setCaption(kSuspendedCaption);
    else
        dialog.setCaption(outcome.fire ? kFireCompletedCaption : kCompletedCaption);
    return outcome;
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
