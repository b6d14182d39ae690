#include "report.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/quantities.h"
#include "fire/fire.h"
#include "model/textcodec.h"
#include "escapereport.h"
#include "reportparts.h"

namespace orvex::cli {

namespace {





// The warnings of the run; they may quote the unit labels of the files.
std::vector<std::string> warningsOf(const RunReport& r)
{
    std::vector<std::string> warnings;
    for (const std::string& warning : r.outcome.warnings)
        warnings.push_back(textAsUtf8(warning));
    return warnings;
}

// One row of each table, in the units the person works in.
struct NodeRow {
    int number;
    bool surface;
    double elevation, pressure, relativePressure;
};
struct RoadRow {
    int index, from, to;
    std::string name;
    bool fixed;
    double flow;     // the airflow the road carries: mass flow / specific weight
    double setFlow;  // fixed-flow roads: the airflow set in the network file
    double massFlow, pressureLoss, direction;
    double meanTemperature, outletTemperature, gasConcentration;  // fire runs, normal roads
    double velocity;  // m/s; NaN without a cross-section
    double gasArrival, peakGas, peakTemperature;  // fire runs, normal roads; NaN where no gas came
    double untenable;  // fire runs: the minute the air became untenable; NaN where it never did
};
struct FanRow {
    int inlet, outlet;
    double flow, pressure, powerKw;
    std::string operatingPoint;
    FanDuty duty;
};
struct Summary {
    double naturalDraught;
    NodeImbalance imbalance;
};

NodeRow nodeRow(const CBriscoDoc& doc, int i)
{
    const double unit = doc.app().units.pressureUnitFactor;
    const Node& node = doc.nodes[i];
    return {node.number, i <= doc.surfaceCount, node.elevation,
            unit != 0 ? node.pressure / unit : 0.0, node.displayValue};
}

RoadRow roadRow(const CBriscoDoc& doc, int k)
{
    float loss = 0, direction = 0;
    roadValue(doc, k, 4, loss);
    roadValue(doc, k, 3, direction);
    const Road& road = doc.roads[k];
    const bool fixed = k > doc.roadCount;
    const double carried = doc.specificWeight != 0 ? road.massFlow / doc.specificWeight : 0.0;
    return {k, road.first, road.second, textAsUtf8(road.name.view()), fixed, carried,
            fixed ? road.resistance : 0.0, road.massFlow, loss, direction,
            road.initialTemperature, road.outletTemperature, road.gasConcentration,
            roadVelocity(doc, k), road.gasArrival, road.peakGas, road.peakTemperature, road.untenableAt};
}


FanRow fanRow(const RunReport& r, int f)
{
    const CBriscoDoc& doc = *r.doc;
    const Fan& fan = doc.fans[f];
    return {fan.inlet, fan.outlet, fan.fanFlow, fan.pressure, fanPowerKw(doc, f),
            fanPointText(fanPoint(doc, f).kind), fanDuty(doc, f, r.checkDefaults, r.checkOverrides)};
}

Summary summaryOf(const CBriscoDoc& doc)
{
    return {networkNaturalDraught(doc), largestNodeImbalance(doc)};
}

const char* endingOf(const RunReport& r)
{
    const int result = r.outcome.result;
    if (r.outcome.fire && result == 0 && fireWork(*r.doc).settled)
        return "settled: no front was left in any road";
    return result == 1 ? "converged" : result == -1 ? "stopped at the iteration limit" : "not completed";
}


json nodesJson(const CBriscoDoc& doc)
{
    json nodes = json::array();
    for (int i = 1; i <= doc.nodeCount; ++i) {
        const NodeRow n = nodeRow(doc, i);
        nodes.push_back({{"number", n.number}, {"surface", n.surface}, {"elevation", n.elevation},
                         {"pressure", n.pressure}, {"relativePressure", n.relativePressure}});
    }
    return nodes;
}

// Each road's quantities; in a fire run a normal road's temperatures and gas too.
json roadsJson(const CBriscoDoc& doc, bool fire)
{
    json roads = json::array();
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const RoadRow w = roadRow(doc, k);
        json road = {{"index", w.index}, {"from", w.from}, {"to", w.to}, {"name", w.name},
                     {"fixed", w.fixed}, {"flow", w.flow}};
        if (w.fixed)
            road["setFlow"] = w.setFlow;
        road["massFlow"] = w.massFlow;
        road["pressureLoss"] = w.pressureLoss;
        road["direction"] = w.direction;
        road["velocity"] = w.velocity;  // null without a cross-section
        if (fire && !w.fixed) {
            road["meanTemperature"] = w.meanTemperature;
            road["outletTemperature"] = w.outletTemperature;
            road["gasConcentration"] = w.gasConcentration;
            road["gasArrival"] = w.gasArrival;
            road["peakGas"] = w.peakGas;
            road["peakTemperature"] = w.peakTemperature;
            road["untenable"] = w.untenable;
        }
        roads.push_back(std::move(road));
    }
    return roads;
}



void printJson(std::ostream& out, const RunReport& r)
{
    const CBriscoDoc& doc = *r.doc;
    const Units units = unitsOf(doc);
    const Summary summary = summaryOf(doc);
    json root;
    root["result"] = r.outcome.result;
    root["iterations"] = doc.lastIterations;
    root["method"] = solverMethodName(r.outcome.method);
    root["chosenMethod"] = solverMethodName(r.outcome.chosenMethod);
    root["title"] = networkHeading(doc);
    root["kind"] = doc.isWater() ? "water" : "air";
    root["units"] = {{"flow", units.flow},     {"pressure", units.pressure},
                     {"massFlow", "kg/s"},     {"elevation", "m"},
                     {"power", "kW"},          {"temperature", "C"},
                     {"gasConcentration", "%"}, {"velocity", "m/s"},
                     {"gasArrival", "min"}, {"untenable", "min"}};
    root["warnings"] = warningsOf(r);
    root["airCannotBalance"] = r.outcome.check.airCannotBalance;
    root["naturalDraught"] = summary.naturalDraught;
    root["largestImbalance"] = {{"node", summary.imbalance.number},
                                {"flow", summary.imbalance.flow},
                                {"massFlow", summary.imbalance.massFlow}};
    if (r.outcome.fire) {
        root["simulatedMinutes"] = fireWork(doc).simulatedMinutes;
        root["settled"] = fireWork(doc).settled;
    }
    json fans = json::array();
    for (int f = 1; f <= doc.fanCount; ++f) {
        const FanRow v = fanRow(r, f);
        fans.push_back({{"inlet", v.inlet}, {"outlet", v.outlet}, {"flow", v.flow},
                        {"pressure", v.pressure}, {"power", v.powerKw},
                        {"operatingPoint", v.operatingPoint}, {"margin", v.duty.margin},
                        {"shaftPower", v.duty.shaftPowerKw}, {"costPerYear", v.duty.costPerYear}});
    }
    root["nodes"] = nodesJson(doc);
    root["roads"] = roadsJson(doc, r.outcome.fire);
    root["fans"] = std::move(fans);
    root["checks"] = checksJson(r.checks);
    if (r.escape) {
        root["escapeSettings"] = escapeSettingsJson(r.escape->settings);
        root["escape"] = escapeJson(*r.escape);
    }
    if (r.timing)
        root["timing"] = {{"openMs", r.timing->openMs},
                          {"analysisMs", r.timing->analysisMs},
                          {"saveMs", r.timing->saveMs}};
    // The texts are UTF-8 already; a byte that is not would be replaced.
    out << root.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

void printCsv(std::ostream& out, const RunReport& r)
{
    const CBriscoDoc& doc = *r.doc;
    const Units u = unitsOf(doc);
    const Summary summary = summaryOf(doc);
    const std::string p = " (" + u.pressure + ")", q = " (" + u.flow + ")";
    out << "result,iterations,naturalDraught" << p << ",imbalanceNode,imbalanceFlow" << q
        << ",imbalanceMassFlow (kg/s),warnings,method";
    if (r.outcome.fire)
        out << ",simulatedMinutes (min)";
    out << "\n"
        << r.outcome.result << "," << doc.lastIterations << ","
        << format("%.4f", summary.naturalDraught) << "," << summary.imbalance.number << ","
        << imbalanceText(summary.imbalance.flow) << "," << imbalanceText(summary.imbalance.massFlow) << ","
        << r.outcome.warnings.size() << "," << solverMethodName(r.outcome.method);
    if (r.outcome.fire)
        out << "," << format("%.2f", fireWork(doc).simulatedMinutes);
    out << "\n\n";
    out << "number,surface,elevation (m),pressure" << p << ",relativePressure" << p << "\n";
    for (int i = 1; i <= doc.nodeCount; ++i) {
        const NodeRow n = nodeRow(doc, i);
        out << n.number << "," << (n.surface ? 1 : 0) << "," << format("%.1f", n.elevation) << ","
            << format("%.4f", n.pressure) << "," << format("%.4f", n.relativePressure) << "\n";
    }
    out << "\nindex,from,to,name,fixed,flow" << q << ",setFlow" << q
        << ",massFlow (kg/s),pressureLoss" << p << ",direction,velocity (m/s)";
    if (r.outcome.fire)
        out << ",meanTemperature (C),outletTemperature (C),gasConcentration (%),gasArrival (min),"
               "peakGas (%),peakTemperature (C)";
    out << "\n";
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const RoadRow w = roadRow(doc, k);
        out << w.index << "," << w.from << "," << w.to << "," << csvField(w.name) << ","
            << (w.fixed ? 1 : 0) << "," << format("%.4f", w.flow) << ","
            << (w.fixed ? format("%.4f", w.setFlow) : "") << "," << format("%.6f", w.massFlow)
            << "," << format("%.4f", w.pressureLoss) << "," << format("%.0f", w.direction) << ","
            << optional("%.3f", w.velocity);
        if (r.outcome.fire && !w.fixed)
            out << "," << format("%.2f", w.meanTemperature) << ","
                << format("%.2f", w.outletTemperature) << "," << format("%.3f", w.gasConcentration) << ","
                << optional("%.2f", w.gasArrival) << "," << optional("%.3f", w.peakGas) << ","
                << optional("%.2f", w.peakTemperature);
        else if (r.outcome.fire)
            out << ",,,,,,";
        out << "\n";
    }
    out << "\ninlet,outlet,flow" << q << ",pressure" << p
        << ",power (kW),operatingPoint,margin (%),shaftPower (kW),costPerYear\n";
    for (int f = 1; f <= doc.fanCount; ++f) {
        const FanRow v = fanRow(r, f);
        out << v.inlet << "," << v.outlet << "," << format("%.4f", v.flow) << ","
            << format("%.4f", v.pressure) << "," << format("%.4f", v.powerKw) << ","
            << csvField(v.operatingPoint) << "," << optional("%.2f", v.duty.margin) << ","
            << format("%.4f", v.duty.shaftPowerKw) << "," << format("%.0f", v.duty.costPerYear) << "\n";
    }
    out << "\nkind,element,value,limit,unit,severity,reason\n";
    for (const Finding& f : r.checks)
        out << findingCsv(f) << "\n";
    if (r.escape)
        printEscapeCsv(out, *r.escape);
}

void printNodeTable(std::ostream& out, const CBriscoDoc& doc, const Units& u)
{
    char line[320];
    std::snprintf(line, sizeof line, "%6s %-11s %10s %14s %14s\n", "Node", "Position",
                  "Elev (m)", ("P (" + u.pressure + ")").c_str(),
                  ("Rel P (" + u.pressure + ")").c_str());
    out << "Nodes\n" << line;
    for (int i = 1; i <= doc.nodeCount; ++i) {
        const NodeRow n = nodeRow(doc, i);
        std::snprintf(line, sizeof line, "%6d %-11s %10.1f %14.2f %14.2f\n", n.number,
                      n.surface ? "surface" : "underground", n.elevation, n.pressure,
                      n.relativePressure);
        out << line;
    }
}

void printRoadTable(std::ostream& out, const CBriscoDoc& doc, const Units& u, bool fire)
{
    char line[320];
    std::snprintf(line, sizeof line, "\nRoads\n%5s %6s %6s %-20s %-6s %14s %12s %12s %14s %4s %9s",
                  "No", "From", "To", "Name", "Kind", ("Flow (" + u.flow + ")").c_str(),
                  ("Set (" + u.flow + ")").c_str(), "Mass (kg/s)",
                  ("Loss (" + u.pressure + ")").c_str(), "Dir", "V (m/s)");
    out << line;
    if (fire)
        out << "  Mean (C)   Out (C)   Gas (%) Arr (min)  Peak (%)  Peak (C)";
    out << "\n";
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const RoadRow w = roadRow(doc, k);
        const std::string set = w.fixed ? format("%12.3f", w.setFlow) : std::string(12, ' ');
        std::snprintf(line, sizeof line, "%5d %6d %6d %s %-6s %14.3f %s %12.4f %14.3f %4.0f %9s",
                      w.index, w.from, w.to, padded(w.name, 20).c_str(), w.fixed ? "fixed" : "normal",
                      w.flow, set.c_str(), w.massFlow, w.pressureLoss, w.direction,
                      optional("%.2f", w.velocity).c_str());
        out << line;
        if (fire && !w.fixed) {
            std::snprintf(line, sizeof line, " %9.1f %9.1f %9.3f %9s %9s %9s", w.meanTemperature,
                          w.outletTemperature, w.gasConcentration, optional("%.1f", w.gasArrival).c_str(),
                          optional("%.3f", w.peakGas).c_str(), optional("%.1f", w.peakTemperature).c_str());
            out << line;
        }
        out << "\n";
    }
}

void printFanTable(std::ostream& out, const RunReport& r, const Units& u)
{
    char line[400];
    std::snprintf(line, sizeof line, "\nFans\n%6s %6s %14s %14s %12s %10s %12s %12s  %s\n", "Inlet", "Outlet",
                  ("Flow (" + u.flow + ")").c_str(), ("P (" + u.pressure + ")").c_str(), "Power (kW)",
                  "Margin (%)", "Shaft (kW)", "Cost a year", "Operating point");
    out << line;
    for (int f = 1; f <= r.doc->fanCount; ++f) {
        const FanRow v = fanRow(r, f);
        std::snprintf(line, sizeof line, "%6d %6d %14.3f %14.3f %12.3f %10s %12.3f %12.0f  %s\n", v.inlet,
                      v.outlet, v.flow, v.pressure, v.powerKw, optional("%.1f", v.duty.margin).c_str(),
                      v.duty.shaftPowerKw, v.duty.costPerYear, v.operatingPoint.c_str());
        out << line;
    }
}


void printText(std::ostream& out, const RunReport& r)
{
    const CBriscoDoc& doc = *r.doc;
    const Units u = unitsOf(doc);
    const Summary summary = summaryOf(doc);
    char line[320];
    out << networkHeading(doc) << "\n";
    std::snprintf(line, sizeof line, "%s network, %d nodes, %d roads, %d fans\n",
                  doc.isWater() ? "Water" : "Air", doc.nodeCount, doc.totalRoads(), doc.fanCount);
    out << line;
    std::snprintf(line, sizeof line, "Result %d (%s) after %d iterations\n", r.outcome.result,
                  endingOf(r), doc.lastIterations);
    out << line << methodSummary(r.outcome) << "\n";
    if (r.outcome.fire) {
        std::snprintf(line, sizeof line, "Fire at node %d, %.0f C, simulated %.1f of %.1f min\n",
                      doc.fire.fireNode, double(doc.fire.fireTemperature),
                      double(fireWork(doc).simulatedMinutes), double(doc.fire.finishTime));
        out << line;
    }
    std::snprintf(line, sizeof line,
                  "Natural draught %.2f %s (mean over the air drawn in from the surface)\n",
                  summary.naturalDraught, u.pressure.c_str());
    out << line;
    out << "Largest node imbalance " << imbalanceText(summary.imbalance.flow) << " " << u.flow << " ("
        << imbalanceText(summary.imbalance.massFlow) << " kg/s) at node " << summary.imbalance.number << "\n";
    if (r.outcome.check.airCannotBalance)
        out << "The air cannot balance at some node (see the warnings).\n";
    out << "\n";

    printNodeTable(out, doc, u);
    printRoadTable(out, doc, u, r.outcome.fire);
    if (doc.fanCount > 0)
        printFanTable(out, r, u);
    printChecks(out, r.checks);
    if (r.escape)
        printEscapeText(out, *r.escape);
}

}  // namespace

double networkNaturalDraught(const CBriscoDoc& doc)
{
    const double unit = doc.app().units.pressureUnitFactor;
    if (unit == 0 || doc.surfaceCount < 1)
        return 0;
    // Work of the air's weight, kgf/m² × kg/s, along the roads.
    double work = 0;
    for (int k = 1; k <= doc.roadCount; ++k)
        work += double(doc.roads[k].naturalDraught) * doc.roads[k].massFlow;

    // What each node gives to the network (kg/s): roads, fixed flows and fans.
    std::vector<double> given(std::size_t(doc.nodeCount) + 1, 0.0);
    const auto move = [&](int from, int to, double massFlow) {
        const int a = doc.nodeIndex(from), b = doc.nodeIndex(to);
        if (a > 0 && b > 0) {
            given[std::size_t(a)] += massFlow;
            given[std::size_t(b)] -= massFlow;
        }
    };
    for (int k = 1; k <= doc.totalRoads(); ++k)
        move(doc.roads[k].first, doc.roads[k].second, doc.roads[k].massFlow);
    for (int f = 1; f <= doc.fanCount; ++f)
        move(doc.fans[f].inlet, doc.fans[f].outlet, double(doc.specificWeight) * doc.fans[f].fanFlow);

    double lowest = doc.nodes[1].pressure;
    for (int s = 2; s <= doc.surfaceCount; ++s)
        lowest = std::min(lowest, doc.nodes[s].pressure);
    double intake = 0;
    for (int s = 1; s <= doc.surfaceCount; ++s) {
        work += (doc.nodes[s].pressure - lowest) * given[std::size_t(s)];
        intake += std::max(given[std::size_t(s)], 0.0);
    }
    return intake > 0 ? work / intake / unit : 0.0;
}

void printReport(std::ostream& out, const RunReport& report, Format format)
{
    switch (format) {
    case Format::Json: printJson(out, report); break;
    case Format::Csv: printCsv(out, report); break;
    case Format::Text: printText(out, report); break;
    }
}

}  // namespace orvex::cli
