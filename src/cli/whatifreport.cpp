#include "whatifreport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

#include "display/quantitynames.h"
#include "model/textcodec.h"
#include "reportparts.h"

namespace orvex::cli {

namespace {

// The text report lists this many of a case's largest road changes and of
// its first roads reached by gas; CSV and JSON list them all.
constexpr std::size_t kTextRows = 15;

// The roads changed beyond the threshold, largest change first.
std::vector<RoadChange> changedRoads(const Comparison& c, double threshold)
{
    std::vector<RoadChange> roads;
    for (const RoadChange& r : c.roads)
        if (changedBeyond(r, c.largestBaseFlow, threshold))
            roads.push_back(r);
    std::stable_sort(roads.begin(), roads.end(), [](const RoadChange& a, const RoadChange& b) {
        return std::fabs(a.change) > std::fabs(b.change);
    });
    return roads;
}

std::vector<std::string> notConverged(const WhatIfReport& r)
{
    std::vector<std::string> names;
    for (const CaseResult& c : r.cases)
        if (!c.converged)
            names.push_back(c.name);
    return names;
}

// --- JSON ---------------------------------------------------------------------

json roadJson(const RoadChange& r)
{
    return {{"from", r.from},     {"to", r.to},         {"fixed", r.fixed},
            {"baseFlow", r.baseFlow}, {"flow", r.flow}, {"change", r.change},
            {"changePercent", r.changePercent}, {"reversed", r.reversed}};
}

json fansJson(const Comparison& c)
{
    json fans = json::array();
    for (const FanChange& f : c.fans)
        fans.push_back({{"inlet", f.inlet}, {"outlet", f.outlet}, {"baseFlow", f.baseFlow}, {"flow", f.flow},
                        {"change", f.change}, {"basePressure", f.basePressure}, {"pressure", f.pressure}});
    return fans;
}

json pairsJson(const std::vector<NodePair>& pairs)
{
    json list = json::array();
    for (const NodePair& p : pairs)
        list.push_back({p.first, p.second});
    return list;
}

json unsharedJson(const Unshared& u)
{
    return {{"baseNodes", u.baseNodes},           {"nodes", u.otherNodes},
            {"baseRoads", pairsJson(u.baseRoads)}, {"roads", pairsJson(u.otherRoads)},
            {"baseFans", pairsJson(u.baseFans)},   {"fans", pairsJson(u.otherFans)}};
}

json caseJson(const CaseResult& c, double threshold, bool escape)
{
    json roads = json::array();
    for (const RoadChange& r : changedRoads(c.comparison, threshold))
        roads.push_back(roadJson(r));
    json gas = json::array();
    for (const GasReach& g : c.gas)
        gas.push_back({{"from", g.first}, {"to", g.second}, {"arrival", g.arrival}, {"peakGas", g.peakGas}});
    json warnings = json::array();
    for (const std::string& w : c.warnings)
        warnings.push_back(textAsUtf8(w));
    json out = {{"name", c.name},
                {"converged", c.converged},
                {"run", c.run},
                {"problem", textAsUtf8(c.problem)},
                {"fire", c.fire},
                {"checksAppeared", checksJson(c.comparison.appeared)},
                {"checksDisappeared", checksJson(c.comparison.disappeared)},
                {"reversed", c.reversed},
                {"belowLimit", c.belowLimit},
                {"changed", c.changed},
                {"largestChange", c.largestChange},
                {"roads", std::move(roads)},
                {"fans", fansJson(c.comparison)},
                {"warnings", std::move(warnings)}};
    if (c.fire)
        out["gas"] = std::move(gas);
    if (c.fire && escape) {
        out["noSafeWay"] = c.noSafeWay;
        if (!c.escapeProblem.empty())
            out["escapeProblem"] = c.escapeProblem;
    }
    return out;
}

void printJson(std::ostream& out, const WhatIfReport& r)
{
    const Units u = unitsOf(*r.base);
    json root;
    root["kind"] = r.kind == WhatIfKind::Compare ? "compare" : r.kind == WhatIfKind::Sweep ? "sweep" : "scenarios";
    root["network"] = r.file;
    if (r.kind == WhatIfKind::Compare)
        root["base"] = r.baseFile;
    else
        root["source"] = r.source;
    root["title"] = networkHeading(*r.base);
    root["units"] = {{"flow", u.flow}, {"pressure", u.pressure}, {"gasArrival", "min"}, {"peakGas", "%"}};
    root["threshold"] = r.thresholdPercent;
    root["baseChecks"] = checksJson(r.baseFindings);
    if (r.kind == WhatIfKind::Compare) {
        const Comparison& c = r.comparison;
        json roads = json::array(), nodes = json::array();
        for (const RoadChange& road : c.roads)
            roads.push_back(roadJson(road));
        for (const NodeChange& n : c.nodes)
            nodes.push_back({{"number", n.number}, {"basePressure", n.basePressure}, {"pressure", n.pressure},
                             {"change", n.change}});
        root["roads"] = std::move(roads);
        root["fans"] = fansJson(c);
        root["nodes"] = std::move(nodes);
        root["checksAppeared"] = checksJson(c.appeared);
        root["checksDisappeared"] = checksJson(c.disappeared);
        root["notShared"] = unsharedJson(c.unshared);
    } else {
        root["jobs"] = r.jobs;
        if (r.fireMinutes > 0)
            root["fireMinutes"] = r.fireMinutes;
        json cases = json::array();
        for (const CaseResult& c : r.cases)
            cases.push_back(caseJson(c, r.thresholdPercent, r.escape));
        root["cases"] = std::move(cases);
        root["notConverged"] = notConverged(r);
    }
    out << root.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

// --- CSV ----------------------------------------------------------------------

std::string roadCsv(const RoadChange& r)
{
    return std::to_string(r.from) + "," + std::to_string(r.to) + "," + (r.fixed ? "1" : "0") + "," +
           format("%.4f", r.baseFlow) + "," + format("%.4f", r.flow) + "," + format("%.4f", r.change) + "," +
           optional("%.2f", r.changePercent) + "," + (r.reversed ? "1" : "0");
}

std::string fanCsv(const FanChange& f)
{
    return std::to_string(f.inlet) + "," + std::to_string(f.outlet) + "," + format("%.4f", f.baseFlow) + "," +
           format("%.4f", f.flow) + "," + format("%.4f", f.change) + "," + format("%.4f", f.basePressure) + "," +
           format("%.4f", f.pressure);
}

void printCompareCsv(std::ostream& out, const WhatIfReport& r, const std::string& q, const std::string& p)
{
    const Comparison& c = r.comparison;
    out << "from,to,fixed,baseFlow" << q << ",flow" << q << ",change" << q << ",changePercent (%),reversed\n";
    for (const RoadChange& road : c.roads)
        out << roadCsv(road) << "\n";
    out << "\ninlet,outlet,baseFlow" << q << ",flow" << q << ",change" << q << ",basePressure" << p << ",pressure"
        << p << "\n";
    for (const FanChange& f : c.fans)
        out << fanCsv(f) << "\n";
    out << "\nnumber,basePressure" << p << ",pressure" << p << ",change" << p << "\n";
    for (const NodeChange& n : c.nodes)
        out << n.number << "," << format("%.4f", n.basePressure) << "," << format("%.4f", n.pressure) << ","
            << format("%.4f", n.change) << "\n";
    out << "\nchecks,kind,element,value,limit,unit,severity,reason\n";
    for (const Finding& f : c.appeared)
        out << "appeared," << findingCsv(f) << "\n";
    for (const Finding& f : c.disappeared)
        out << "disappeared," << findingCsv(f) << "\n";
    out << "\nnotShared,element\n";
    const auto list = [&](const char* what, const std::vector<NodePair>& pairs) {
        for (const NodePair& e : pairs)
            out << what << "," << nodePairText(e.first, e.second) << "\n";
    };
    for (const int n : c.unshared.baseNodes)
        out << "base node," << n << "\n";
    for (const int n : c.unshared.otherNodes)
        out << "node," << n << "\n";
    list("base road", c.unshared.baseRoads);
    list("road", c.unshared.otherRoads);
    list("base fan", c.unshared.baseFans);
    list("fan", c.unshared.otherFans);
}

void printCasesCsv(std::ostream& out, const WhatIfReport& r, const std::string& q, const std::string& p)
{
    out << "case,run,converged,fire,violationsAppeared,warningsAppeared,reversed,belowLimit,changed,largestChange"
        << q << ",gasRoads,problem\n";
    for (const CaseResult& c : r.cases)
        out << csvField(c.name) << "," << c.run << "," << c.converged << "," << c.fire << "," << c.violationsAppeared
            << "," << c.warningsAppeared << "," << c.reversed << "," << c.belowLimit << "," << c.changed << ","
            << format("%.4f", c.largestChange) << "," << c.gas.size() << "," << csvField(textAsUtf8(c.problem))
            << "\n";
    out << "\ncase,from,to,fixed,baseFlow" << q << ",flow" << q << ",change" << q << ",changePercent (%),reversed\n";
    for (const CaseResult& c : r.cases)
        for (const RoadChange& road : changedRoads(c.comparison, r.thresholdPercent))
            out << csvField(c.name) << "," << roadCsv(road) << "\n";
    out << "\ncase,inlet,outlet,baseFlow" << q << ",flow" << q << ",change" << q << ",basePressure" << p
        << ",pressure" << p << "\n";
    for (const CaseResult& c : r.cases)
        for (const FanChange& f : c.comparison.fans)
            out << csvField(c.name) << "," << fanCsv(f) << "\n";
    out << "\ncase,checks,kind,element,value,limit,unit,severity,reason\n";
    for (const CaseResult& c : r.cases) {
        for (const Finding& f : c.comparison.appeared)
            out << csvField(c.name) << ",appeared," << findingCsv(f) << "\n";
        for (const Finding& f : c.comparison.disappeared)
            out << csvField(c.name) << ",disappeared," << findingCsv(f) << "\n";
    }
    out << "\ncase,from,to,arrival (min),peakGas (%)\n";
    for (const CaseResult& c : r.cases)
        for (const GasReach& g : c.gas)
            out << csvField(c.name) << "," << g.first << "," << g.second << "," << format("%.2f", g.arrival) << ","
                << format("%.3f", g.peakGas) << "\n";
}

void printCsv(std::ostream& out, const WhatIfReport& r)
{
    const Units u = unitsOf(*r.base);
    const std::string q = " (" + u.flow + ")", p = " (" + u.pressure + ")";
    if (r.kind == WhatIfKind::Compare)
        printCompareCsv(out, r, q, p);
    else
        printCasesCsv(out, r, q, p);
}

// --- text ---------------------------------------------------------------------

void printRoadChanges(std::ostream& out, const std::vector<RoadChange>& roads, const Units& u, const char* indent)
{
    char line[320];
    std::snprintf(line, sizeof line, "%s%6s %6s %14s %14s %14s %9s\n", indent, "From", "To",
                  ("Base (" + u.flow + ")").c_str(), ("Flow (" + u.flow + ")").c_str(),
                  ("Change (" + u.flow + ")").c_str(), "Change %");
    out << line;
    for (std::size_t i = 0; i < roads.size() && i < kTextRows; ++i) {
        const RoadChange& r = roads[i];
        std::snprintf(line, sizeof line, "%s%6d %6d %14.3f %14.3f %14.3f %9s%s\n", indent, r.from, r.to, r.baseFlow,
                      r.flow, r.change, optional("%.1f", r.changePercent).c_str(), r.reversed ? "  reversed" : "");
        out << line;
    }
    if (roads.size() > kTextRows)
        out << indent << "and " << roads.size() - kTextRows << " more\n";
}

void printFanChanges(std::ostream& out, const Comparison& c, const Units& u, const char* indent)
{
    char line[320];
    std::snprintf(line, sizeof line, "%s%6s %6s %14s %14s %14s %14s\n", indent, "Inlet", "Outlet",
                  ("Base (" + u.flow + ")").c_str(), ("Flow (" + u.flow + ")").c_str(),
                  ("Base P (" + u.pressure + ")").c_str(), ("P (" + u.pressure + ")").c_str());
    out << line;
    for (const FanChange& f : c.fans) {
        std::snprintf(line, sizeof line, "%s%6d %6d %14.3f %14.3f %14.3f %14.3f\n", indent, f.inlet, f.outlet,
                      f.baseFlow, f.flow, f.basePressure, f.pressure);
        out << line;
    }
}

void printFindingChanges(std::ostream& out, const Comparison& c, const char* indent)
{
    for (const auto& [title, list] : {std::make_pair("Checks that appear", &c.appeared),
                                      std::make_pair("Checks that disappear", &c.disappeared)}) {
        if (list->empty())
            continue;
        out << indent << title << "\n";
        for (const Finding& f : *list)
            out << indent << "  " << findingLine(f) << "\n";
    }
}

void printUnshared(std::ostream& out, const WhatIfReport& r)
{
    const Unshared& u = r.comparison.unshared;
    if (u.empty())
        return;
    out << "Not compared, in one network only:\n";
    const auto nodes = [&](const std::string& file, const std::vector<int>& list) {
        if (list.empty())
            return;
        out << "  nodes only in " << file << ":";
        for (const int n : list)
            out << " " << n;
        out << "\n";
    };
    const auto pairs = [&](const std::string& what, const std::vector<NodePair>& list) {
        if (list.empty())
            return;
        out << "  " << what << ":";
        for (const NodePair& e : list)
            out << " " << nodePairText(e.first, e.second);
        out << "\n";
    };
    nodes(r.baseFile, u.baseNodes);
    nodes(r.file, u.otherNodes);
    pairs("roads only in " + r.baseFile, u.baseRoads);
    pairs("roads only in " + r.file, u.otherRoads);
    pairs("fans only in " + r.baseFile, u.baseFans);
    pairs("fans only in " + r.file, u.otherFans);
}

void printCompareText(std::ostream& out, const WhatIfReport& r, const Units& u)
{
    const Comparison& c = r.comparison;
    out << r.file << " against " << r.baseFile << "\n"
        << c.roads.size() << " roads, " << c.fans.size() << " fans and " << c.nodes.size()
        << " nodes compared; roads listed when their airflow changed by more than " << r.thresholdPercent
        << " %\n";
    printUnshared(out, r);
    const std::vector<RoadChange> roads = changedRoads(c, r.thresholdPercent);
    out << "\nRoads changed: " << roads.size() << "\n";
    if (!roads.empty())
        printRoadChanges(out, roads, u, "");
    if (!c.fans.empty()) {
        out << "\nFans\n";
        printFanChanges(out, c, u, "");
    }
    std::vector<NodeChange> nodes = c.nodes;
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const NodeChange& a, const NodeChange& b) { return std::fabs(a.change) > std::fabs(b.change); });
    out << "\nNodes, largest pressure changes first\n";
    char line[200];
    std::snprintf(line, sizeof line, "%6s %14s %14s %14s\n", "Node", ("Base P (" + u.pressure + ")").c_str(),
                  ("P (" + u.pressure + ")").c_str(), ("Change (" + u.pressure + ")").c_str());
    out << line;
    for (std::size_t i = 0; i < nodes.size() && i < kTextRows; ++i) {
        std::snprintf(line, sizeof line, "%6d %14.3f %14.3f %14.3f\n", nodes[i].number, nodes[i].basePressure,
                      nodes[i].pressure, nodes[i].change);
        out << line;
    }
    out << "\n";
    if (c.appeared.empty() && c.disappeared.empty())
        out << "The design checks find the same in both.\n";
    printFindingChanges(out, c, "");
}

void printCase(std::ostream& out, const CaseResult& c, const WhatIfReport& r, const Units& u)
{
    out << "\n" << c.name << "\n";
    if (!c.problem.empty())
        out << "  " << (c.run ? "Did not converge: " : "Not run: ") << textAsUtf8(c.problem) << "\n";
    if (!c.run)
        return;
    printFindingChanges(out, c.comparison, "  ");
    const std::vector<RoadChange> roads = changedRoads(c.comparison, r.thresholdPercent);
    if (!roads.empty()) {
        out << "  Roads changed by more than " << r.thresholdPercent << " %: " << roads.size() << "\n";
        printRoadChanges(out, roads, u, "  ");
    }
    if (!c.comparison.fans.empty()) {
        out << "  Fans\n";
        printFanChanges(out, c.comparison, u, "  ");
    }
    if (c.fire) {
        out << "  Fire gas reached " << c.gas.size() << " roads";
        out << (c.gas.empty() ? "\n" : ", first:\n");
        for (std::size_t i = 0; i < c.gas.size() && i < kTextRows; ++i)
            out << "    " << nodePairText(c.gas[i].first, c.gas[i].second) << " after " << format("%.1f", c.gas[i].arrival)
                << " min, at most " << format("%.3f", c.gas[i].peakGas) << " %\n";
        if (!c.escapeProblem.empty())
            out << "  Ways out not searched: " << c.escapeProblem << "\n";
        else if (!c.noSafeWay.empty()) {
            out << "  No safe way out from " << c.noSafeWay.size() << (c.noSafeWay.size() == 1 ? " place:" : " places:");
            for (int n : c.noSafeWay)
                out << " " << n;
            out << "\n";
        }
    }
}

void printCasesText(std::ostream& out, const WhatIfReport& r, const Units& u)
{
    out << networkHeading(*r.base) << "\n"
        << (r.kind == WhatIfKind::Sweep ? "Sweep " : "Scenarios of ") << r.source << " on " << r.file << ": "
        << r.cases.size() << " cases on " << r.jobs << (r.jobs == 1 ? " worker" : " workers")
        << "; a road changed when its airflow changed by more than " << r.thresholdPercent << " %\n";
    if (r.fireMinutes > 0)
        out << "Each fire burns " << r.fireMinutes << " min\n";
    out << "The base run's design checks: " << r.baseFindings.size() << " findings\n\n";
    std::size_t width = 4;  // the longest name, within reason
    for (const CaseResult& c : r.cases)
        width = std::max(width, std::min<std::size_t>(c.name.size(), 60));
    char line[400];
    std::snprintf(line, sizeof line, "%s %-9s %10s %10s %8s %6s %8s %14s %9s\n", padded("Case", width).c_str(),
                  "Converged", "Violations", "Warnings", "Reversed", "Below", "Changed",
                  ("Largest (" + u.flow + ")").c_str(), "Gas roads");
    out << "Most severe first; new check violations and warnings, roads reversed, fallen below a limit and changed\n"
        << line;
    for (const CaseResult& c : r.cases) {
        std::snprintf(line, sizeof line, "%s %-9s %10d %10d %8d %6d %8d %14.3f %9s\n", padded(c.name, width).c_str(),
                      !c.run ? "not run" : c.converged ? "yes" : "no", c.violationsAppeared, c.warningsAppeared,
                      c.reversed, c.belowLimit, c.changed, c.largestChange,
                      c.fire ? std::to_string(c.gas.size()).c_str() : "");
        out << line;
    }
    const std::vector<std::string> failed = notConverged(r);
    if (!failed.empty()) {
        out << "\nNot converged or not run (" << failed.size() << "):";
        for (const std::string& name : failed)
            out << " \"" << name << "\"";
        out << "\n";
    }
    for (const CaseResult& c : r.cases)
        printCase(out, c, r, u);
}

}  // namespace

void printWhatIf(std::ostream& out, const WhatIfReport& report, Format format)
{
    if (format == Format::Json)
        return printJson(out, report);
    if (format == Format::Csv)
        return printCsv(out, report);
    const Units u = unitsOf(*report.base);
    if (report.kind == WhatIfKind::Compare)
        printCompareText(out, report, u);
    else
        printCasesText(out, report, u);
}

}  // namespace orvex::cli
