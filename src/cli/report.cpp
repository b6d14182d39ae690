#include "report.h"

#include <cstdio>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace orvex::cli {

namespace {

std::string trimmedTitle(const std::string& title)
{
    std::string t = title;
    while (!t.empty() && (t.back() == '\n' || t.back() == '\r' || t.back() == ' '))
        t.pop_back();
    while (!t.empty() && t.front() == ' ')
        t.erase(t.begin());
    return t;
}

std::string format(const char* fmt, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, fmt, value);
    return buffer;
}

// One row of each table, in the units the person works in.
struct NodeRow {
    int number;
    bool surface;
    double elevation, pressure, relativePressure;
};
struct RoadRow {
    int index, from, to;
    bool fixed;
    double flow, massFlow, pressureLoss, direction;
    double meanTemperature, outletTemperature, gasConcentration;  // fire runs, normal roads
};
struct FanRow {
    int inlet, outlet;
    double flow, pressure;
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
    float flow = 0, loss = 0, direction = 0;
    doc.roadValue(k, 1, flow);
    doc.roadValue(k, 4, loss);
    doc.roadValue(k, 3, direction);
    const Road& road = doc.roads[k];
    return {k, road.first, road.second, k > doc.roadCount, flow, road.massFlow, loss, direction,
            road.initialTemperature, road.outletTemperature, road.gasConcentration};
}

FanRow fanRow(const CBriscoDoc& doc, int f)
{
    const Fan& fan = doc.fans[f];
    return {fan.inlet, fan.outlet, fan.fanFlow, fan.pressure};
}

void printJson(std::ostream& out, const RunReport& r)
{
    const CBriscoDoc& doc = *r.doc;
    using json = nlohmann::ordered_json;  // keys in the order a reader expects them
    json root;
    root["result"] = r.outcome.result;
    root["iterations"] = doc.lastIterations;
    root["title"] = trimmedTitle(doc.title);
    root["kind"] = doc.isWater() ? "water" : "air";
    root["units"] = {{"flow", doc.app().units.flowUnitName.str()},
                     {"pressure", doc.app().units.pressureUnitName.str()}};
    json nodes = json::array();
    for (int i = 1; i <= doc.nodeCount; ++i) {
        const NodeRow n = nodeRow(doc, i);
        nodes.push_back({{"number", n.number}, {"surface", n.surface}, {"elevation", n.elevation},
                         {"pressure", n.pressure}, {"relativePressure", n.relativePressure}});
    }
    json roads = json::array();
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const RoadRow w = roadRow(doc, k);
        json road = {{"index", w.index}, {"from", w.from}, {"to", w.to}, {"fixed", w.fixed},
                     {"flow", w.flow}, {"massFlow", w.massFlow},
                     {"pressureLoss", w.pressureLoss}, {"direction", w.direction}};
        if (r.outcome.fire && !w.fixed) {
            road["meanTemperature"] = w.meanTemperature;
            road["outletTemperature"] = w.outletTemperature;
            road["gasConcentration"] = w.gasConcentration;
        }
        roads.push_back(std::move(road));
    }
    if (r.outcome.fire)
        root["simulatedMinutes"] = doc.fireWork.simulatedMinutes;
    json fans = json::array();
    for (int f = 1; f <= doc.fanCount; ++f) {
        const FanRow v = fanRow(doc, f);
        fans.push_back({{"inlet", v.inlet}, {"outlet", v.outlet}, {"flow", v.flow},
                        {"pressure", v.pressure}});
    }
    root["nodes"] = std::move(nodes);
    root["roads"] = std::move(roads);
    root["fans"] = std::move(fans);
    if (r.timing)
        root["timing"] = {{"openMs", r.timing->openMs},
                          {"analysisMs", r.timing->analysisMs},
                          {"saveMs", r.timing->saveMs}};
    out << root.dump(2) << "\n";
}

void printCsv(std::ostream& out, const RunReport& r)
{
    const CBriscoDoc& doc = *r.doc;
    out << "result,iterations";
    if (r.outcome.fire)
        out << ",simulatedMinutes";
    out << "\n" << r.outcome.result << "," << doc.lastIterations;
    if (r.outcome.fire)
        out << "," << format("%.2f", doc.fireWork.simulatedMinutes);
    out << "\n\n";
    out << "number,surface,elevation,pressure,relativePressure\n";
    for (int i = 1; i <= doc.nodeCount; ++i) {
        const NodeRow n = nodeRow(doc, i);
        out << n.number << "," << (n.surface ? 1 : 0) << "," << format("%.1f", n.elevation) << ","
            << format("%.4f", n.pressure) << "," << format("%.4f", n.relativePressure) << "\n";
    }
    out << "\nindex,from,to,fixed,flow,massFlow,pressureLoss,direction";
    if (r.outcome.fire)
        out << ",meanTemperature,outletTemperature,gasConcentration";
    out << "\n";
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const RoadRow w = roadRow(doc, k);
        out << w.index << "," << w.from << "," << w.to << "," << (w.fixed ? 1 : 0) << ","
            << format("%.4f", w.flow) << "," << format("%.6f", w.massFlow) << ","
            << format("%.4f", w.pressureLoss) << "," << format("%.0f", w.direction);
        if (r.outcome.fire && !w.fixed)
            out << "," << format("%.2f", w.meanTemperature) << ","
                << format("%.2f", w.outletTemperature) << "," << format("%.3f", w.gasConcentration);
        else if (r.outcome.fire)
            out << ",,,";
        out << "\n";
    }
    out << "\ninlet,outlet,flow,pressure\n";
    for (int f = 1; f <= doc.fanCount; ++f) {
        const FanRow v = fanRow(doc, f);
        out << v.inlet << "," << v.outlet << "," << format("%.4f", v.flow) << ","
            << format("%.4f", v.pressure) << "\n";
    }
}

void printText(std::ostream& out, const RunReport& r)
{
    const CBriscoDoc& doc = *r.doc;
    const std::string flowUnit = doc.app().units.flowUnitName.str();
    const std::string pressureUnit = doc.app().units.pressureUnitName.str();
    const char* ending = r.outcome.result == 1 ? "converged"
                         : r.outcome.result == -1 ? "stopped at the iteration limit"
                                                  : "not completed";
    char line[256];
    out << trimmedTitle(doc.title) << "\n";
    std::snprintf(line, sizeof line, "%s network, %d nodes, %d roads, %d fans\n",
                  doc.isWater() ? "Water" : "Air", doc.nodeCount, doc.totalRoads(), doc.fanCount);
    out << line;
    std::snprintf(line, sizeof line, "Result %d (%s) after %d iterations\n", r.outcome.result,
                  ending, doc.lastIterations);
    out << line;
    if (r.outcome.fire) {
        std::snprintf(line, sizeof line, "Fire at node %d, %.0f C, simulated %.1f of %.1f min\n",
                      doc.fire.fireNode, double(doc.fire.fireTemperature),
                      double(doc.fireWork.simulatedMinutes), double(doc.fire.finishTime));
        out << line;
    }
    out << "\n";

    std::snprintf(line, sizeof line, "%6s %-11s %10s %14s %14s\n", "Node", "Position",
                  "Elev (m)", ("P (" + pressureUnit + ")").c_str(),
                  ("Rel P (" + pressureUnit + ")").c_str());
    out << "Nodes\n" << line;
    for (int i = 1; i <= doc.nodeCount; ++i) {
        const NodeRow n = nodeRow(doc, i);
        std::snprintf(line, sizeof line, "%6d %-11s %10.1f %14.2f %14.2f\n", n.number,
                      n.surface ? "surface" : "underground", n.elevation, n.pressure,
                      n.relativePressure);
        out << line;
    }

    std::snprintf(line, sizeof line, "\nRoads\n%5s %6s %6s %-6s %14s %12s %14s %4s", "No", "From",
                  "To", "Kind", ("Flow (" + flowUnit + ")").c_str(), "Mass (kg/s)",
                  ("Loss (" + pressureUnit + ")").c_str(), "Dir");
    out << line;
    if (r.outcome.fire)
        out << "  Mean (C)   Out (C)   Gas (%)";
    out << "\n";
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const RoadRow w = roadRow(doc, k);
        std::snprintf(line, sizeof line, "%5d %6d %6d %-6s %14.3f %12.4f %14.3f %4.0f", w.index,
                      w.from, w.to, w.fixed ? "fixed" : "normal", w.flow, w.massFlow,
                      w.pressureLoss, w.direction);
        out << line;
        if (r.outcome.fire && !w.fixed) {
            std::snprintf(line, sizeof line, " %9.1f %9.1f %9.3f", w.meanTemperature,
                          w.outletTemperature, w.gasConcentration);
            out << line;
        }
        out << "\n";
    }

    if (doc.fanCount > 0) {
        std::snprintf(line, sizeof line, "\nFans\n%6s %6s %14s %14s\n", "Inlet", "Outlet",
                      ("Flow (" + flowUnit + ")").c_str(), ("P (" + pressureUnit + ")").c_str());
        out << line;
        for (int f = 1; f <= doc.fanCount; ++f) {
            const FanRow v = fanRow(doc, f);
            std::snprintf(line, sizeof line, "%6d %6d %14.3f %14.3f\n", v.inlet, v.outlet, v.flow,
                          v.pressure);
            out << line;
        }
    }
}

}  // namespace

void printReport(std::ostream& out, const RunReport& report, Format format)
{
    switch (format) {
    case Format::Json: printJson(out, report); break;
    case Format::Csv: printCsv(out, report); break;
    case Format::Text: printText(out, report); break;
    }
}

}  // namespace orvex::cli
