#include "escapereport.h"

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

namespace orvex::cli {

namespace {

// A number that exists only with a route; null (JSON) or empty without one.
json valueJson(const EscapeRoute& r, double value)
{
    return r.destination != 0 && std::isfinite(value) ? json(value) : json(nullptr);
}

// The nodes without a safe way out, or "none".
std::string trappedNodes(const EscapeResults& e)
{
    std::string nodes;
    for (const EscapeRoute& r : e.routes)
        if (!r.safe)
            nodes += (nodes.empty() ? "" : ", ") + std::to_string(r.node);
    return nodes.empty() ? "none" : nodes;
}

}  // namespace

json escapeJson(const EscapeResults& e)
{
    json list = json::array();
    for (const EscapeRoute& r : e.routes)
        list.push_back({{"node", r.node},
                        {"route", r.route},
                        {"destination", r.destination != 0 ? json(r.destination) : json(nullptr)},
                        {"length", valueJson(r, r.length)},
                        {"time", valueJson(r, r.time)},
                        {"margin", valueJson(r, r.margin)},  // null too where nothing on it becomes untenable
                        {"exposure", valueJson(r, r.exposure)},
                        {"safe", r.safe}});
    return list;
}

json escapeSettingsJson(const EscapeSettings& s)
{
    return {{"gasLimit", s.limits.gas}, {"temperatureLimit", s.limits.temperature}, {"speed", s.speed},
            {"safetyFactor", s.safetyFactor}, {"startMinute", s.startMinute}};
}

void printEscapeCsv(std::ostream& out, const EscapeResults& e)
{
    out << "\nnode,destination,length (m),time (min),margin (min),exposure (%min),safe,route\n";
    for (const EscapeRoute& r : e.routes) {
        const bool any = r.destination != 0;
        out << r.node << "," << (any ? std::to_string(r.destination) : "") << ","
            << (any ? format("%.1f", r.length) : "") << "," << (any ? format("%.2f", r.time) : "") << ","
            << (any ? optional("%.2f", r.margin) : "") << "," << (any ? format("%.3f", r.exposure) : "") << ","
            << (r.safe ? 1 : 0) << "," << numbersText(r.route) << "\n";
    }
}

void printEscapeText(std::ostream& out, const EscapeResults& e)
{
    const EscapeSettings& s = e.settings;
    char line[320];
    std::snprintf(line, sizeof line,
                  "\nEscape routes: untenable above %.2f %% fire gas or %.1f C, walking %.1f m/min, "
                  "safety factor %.2f, setting out at minute %.1f\n",
                  double(s.limits.gas), double(s.limits.temperature), s.speed, s.safetyFactor, s.startMinute);
    out << line;
    std::snprintf(line, sizeof line, "%6s %6s %10s %10s %12s %15s %4s  %s\n", "Node", "Dest", "Length (m)",
                  "Time (min)", "Margin (min)", "Exposure (%min)", "Safe", "Route");
    out << line;
    for (const EscapeRoute& r : e.routes) {
        if (r.destination == 0) {
            std::snprintf(line, sizeof line, "%6d %6s %10s %10s %12s %15s %4s  %s\n", r.node, "-", "", "", "", "",
                          "no", "no road leads to a destination");
        } else {
            const std::string margin = std::isfinite(r.margin) ? format("%.2f", r.margin) : "none";
            std::snprintf(line, sizeof line, "%6d %6d %10.1f %10.2f %12s %15.3f %4s  %s\n", r.node, r.destination,
                          r.length, r.time, margin.c_str(), r.exposure, r.safe ? "yes" : "no",
                          numbersText(r.route).c_str());
        }
        out << line;
    }
    out << "No safe way out from: " << trappedNodes(e) << "\n";
}

}  // namespace orvex::cli
