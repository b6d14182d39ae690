#include "control/whatif.h"

#include <cctype>
#include <cmath>

#include "checks/checks.h"
#include "control/resultstext.h"
#include "model/networkio.h"
#include "model/profile.h"

namespace orvex {

namespace {

constexpr int kFlowDecimals = 3;
constexpr int kPercentDecimals = 1;
constexpr int kPressureDecimals = 3;

// The messages of a copy or a check file: nobody sees them while a
// comparison runs; an error names the reason it could not be made.
class QuietReporter : public Reporter {
public:
    void message(const std::string& text, const std::string&, MessageKind kind) override
    {
        if (kind == MessageKind::Error && error.empty())
            error = text;
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
    std::string error;
};

ResultsCell text(const std::string& value) { return {value, ResultsCell::Sort::Text, 0}; }

ResultsCell number(double value, int decimals)
{
    if (!std::isfinite(value))
        return {};
    const double shown = std::fabs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value;
    return {fixedText(shown, decimals), ResultsCell::Sort::Number, value};
}

ResultsCell count(int value) { return {std::to_string(value), ResultsCell::Sort::Number, double(value)}; }

ResultsCell yesNo(bool value) { return {value ? "yes" : "no", ResultsCell::Sort::Number, value ? 1.0 : 0.0}; }

std::string withUnit(const std::string& name, const std::string& unit)
{
    return unit.empty() ? name : name + " (" + unit + ")";
}

template <typename Column> ResultsColumn column(Column id, std::string title, std::string tip, bool numeric)
{
    return {int(id), std::move(title), std::move(tip), numeric};
}

std::string pairList(const std::vector<NodePair>& pairs)
{
    std::string list;
    for (const NodePair& p : pairs)
        list += (list.empty() ? "" : ", ") + std::to_string(p.first) + "-" + std::to_string(p.second);
    return list;
}

std::string nodeList(const std::vector<int>& nodes)
{
    std::string list;
    for (const int n : nodes)
        list += (list.empty() ? "" : ", ") + std::to_string(n);
    return list;
}

std::string onlyIn(const std::string& name, const std::vector<int>& nodes, const std::vector<NodePair>& roads,
                   const std::vector<NodePair>& fans)
{
    std::string line;
    if (!nodes.empty())
        line += "nodes " + nodeList(nodes);
    if (!roads.empty())
        line += (line.empty() ? "" : "; ") + std::string("roads ") + pairList(roads);
    if (!fans.empty())
        line += (line.empty() ? "" : "; ") + std::string("fans ") + pairList(fans);
    return line.empty() ? std::string() : "Only in " + name + ": " + line + ".\n";
}

// "NAME:3: what" from the parser, as the editor's "line 3: what".
std::string editorError(const std::string& error)
{
    if (error.size() > 1 && error[0] == ':' && std::isdigit(static_cast<unsigned char>(error[1])))
        return "line " + error.substr(1);
    return error.rfind(": ", 0) == 0 ? error.substr(2) : error;
}

void addFindings(ResultsTable& table, const std::vector<Finding>& findings, const char* what)
{
    for (const Finding& f : findings) {
        std::vector<ResultsCell> row = findingRow(f);
        row.insert(row.begin(), text(what));
        table.rows.push_back(std::move(row));
    }
}

}  // namespace

RoadEnds roadEndsOf(const CBriscoDoc& doc)
{
    RoadEnds ends(std::size_t(doc.totalRoads() + 1));
    for (int k = 1; k <= doc.totalRoads(); ++k)
        ends[std::size_t(k)] = {doc.roads[std::size_t(k)].first, doc.roads[std::size_t(k)].second};
    return ends;
}

int windowRoad(const RoadChange& road, WindowSide side)
{
    return side == WindowSide::Base ? road.baseRoad : road.otherRoad;
}

int windowFan(const FanChange& fan, WindowSide side) { return side == WindowSide::Base ? fan.baseFan : fan.otherFan; }

std::vector<float> flowChangeByRoad(const WindowComparison& shown, const CBriscoDoc& doc)
{
    const int total = doc.totalRoads();
    std::vector<float> change(std::size_t(total + 1), std::numeric_limits<float>::quiet_NaN());
    for (const RoadChange& road : shown.comparison.roads) {
        const int k = windowRoad(road, shown.side);
        if (k < 1 || k > total || std::size_t(k) >= shown.ran.size())
            continue;
        const Road& now = doc.roads[std::size_t(k)];
        if (shown.ran[std::size_t(k)] == std::make_pair(now.first, now.second))
            change[std::size_t(k)] = float(road.change);
    }
    return change;
}

bool comparisonOutdated(const WindowComparison& shown, const CBriscoDoc& doc) { return shown.ran != roadEndsOf(doc); }

DifferenceTables differenceTables(const WindowComparison& shown, const std::string& flowUnit,
                                  const std::string& pressureUnit)
{
    DifferenceTables t;
    using D = DifferenceColumn;
    t.roads.columns = {
        column(D::From, "From", "The node the base run's air comes from", false),
        column(D::To, "To", "The node it goes to", false),
        column(D::BaseFlow, withUnit("Base flow", flowUnit), "The base run's airflow, From to To", true),
        column(D::Flow, withUnit("Flow", flowUnit), "This run's airflow, From to To; negative where it turned", true),
        column(D::Change, withUnit("Change", flowUnit), "Flow less base flow", true),
        column(D::ChangePercent, "Change (%)", "Of the base flow", true),
        column(D::Reversed, "Reversed", "The air turned", false),
    };
    for (const RoadChange& r : shown.comparison.roads) {
        t.roads.rows.push_back({count(r.from), count(r.to), number(r.baseFlow, kFlowDecimals),
                                number(r.flow, kFlowDecimals), number(r.change, kFlowDecimals),
                                number(r.changePercent, kPercentDecimals), yesNo(r.reversed)});
        const int k = windowRoad(r, shown.side);
        t.roadOfRow.push_back(k);
        t.roadEndsOfRow.push_back(k > 0 && std::size_t(k) < shown.ran.size() ? shown.ran[std::size_t(k)]
                                                                              : NodePair{r.from, r.to});
    }
    using F = FanDifferenceColumn;
    t.fans.columns = {
        column(F::Inlet, "Inlet", "The fan's inlet node", false),
        column(F::Outlet, "Outlet", "Its outlet node", false),
        column(F::BaseFlow, withUnit("Base flow", flowUnit), "The base run's airflow", true),
        column(F::Flow, withUnit("Flow", flowUnit), "This run's airflow", true),
        column(F::Change, withUnit("Change", flowUnit), "Flow less base flow", true),
        column(F::BasePressure, withUnit("Base pressure", pressureUnit), "The base run's fan pressure", true),
        column(F::Pressure, withUnit("Pressure", pressureUnit), "This run's fan pressure", true),
    };
    for (const FanChange& f : shown.comparison.fans) {
        t.fans.rows.push_back({count(f.inlet), count(f.outlet), number(f.baseFlow, kFlowDecimals),
                               number(f.flow, kFlowDecimals), number(f.change, kFlowDecimals),
                               number(f.basePressure, kPressureDecimals), number(f.pressure, kPressureDecimals)});
        t.fanOfRow.push_back(windowFan(f, shown.side));
        t.fanEndsOfRow.emplace_back(f.inlet, f.outlet);
    }
    t.checks.columns = {{-1, "Check is", "Appeared: only this run finds it; disappeared: only the base run", false}};
    for (const ResultsColumn& c : checkColumns())
        t.checks.columns.push_back(c);
    addFindings(t.checks, shown.comparison.appeared, "appeared");
    addFindings(t.checks, shown.comparison.disappeared, "disappeared");
    t.findingOfRow = shown.comparison.appeared;
    t.findingOfRow.insert(t.findingOfRow.end(), shown.comparison.disappeared.begin(),
                          shown.comparison.disappeared.end());
    return t;
}

std::string unsharedText(const Unshared& u, const std::string& baseName, const std::string& otherName)
{
    return onlyIn(baseName, u.baseNodes, u.baseRoads, u.baseFans) +
           onlyIn(otherName, u.otherNodes, u.otherRoads, u.otherFans);
}

std::unique_ptr<CBriscoDoc> openComparedNetwork(AppContext& app, Reporter& reporter, const std::string& path)
{
    const std::string pendingFile = app.pendingFile;
    const bool pending = app.pending;
    app.pendingFile = path;
    app.pending = true;
    auto doc = std::make_unique<CBriscoDoc>(app, reporter);
    MemoryProfile profile;
    const bool opened = openPendingNetwork(*doc, profile);
    app.pendingFile = pendingFile;
    app.pending = pending;
    return opened ? std::move(doc) : nullptr;
}

void readCheckSettings(const CBriscoDoc& doc, CheckDefaults& defaults, CheckOverrides& overrides)
{
    QuietReporter quiet;
    readCheckDefaults(doc.app().programFolder, defaults, quiet);
    readCheckOverrides(doc.baseName, overrides, quiet);
}

CompareOutcome compareWindow(const CBriscoDoc& window, const CBriscoDoc& chosen, const std::string& chosenName)
{
    CompareOutcome out;
    QuietReporter quiet;
    CBriscoDoc base(chosen, quiet), other(window, quiet);
    CheckDefaults baseDefaults, otherDefaults;
    CheckOverrides baseOverrides, otherOverrides;
    readCheckSettings(chosen, baseDefaults, baseOverrides);
    readCheckSettings(window, otherDefaults, otherOverrides);
    const BaseRun baseRun = runBase(base, baseDefaults, baseOverrides);
    if (!baseRun.converged) {
        out.message = "The airflow analysis of " + chosenName +
                      " did not converge, so there is nothing to compare against.";
        return out;
    }
    const BaseRun otherRun = runBase(other, otherDefaults, otherOverrides);
    if (!otherRun.converged) {
        out.message = "The airflow analysis of this network did not converge, so it cannot be compared.";
        return out;
    }
    out.shown.comparison = compareRuns(base, baseRun.findings, other, otherRun.findings);
    out.shown.side = WindowSide::Other;
    out.shown.against = chosenName;
    out.shown.ran = roadEndsOf(window);
    out.message = unsharedText(out.shown.comparison.unshared, chosenName, "this network");
    out.compared = !out.shown.comparison.roads.empty();
    if (!out.compared)
        out.message = "The two networks share no road: there is nothing to compare.\n" + out.message;
    else if (!out.message.empty())
        out.message = "What only one network has is not compared:\n" + out.message;
    return out;
}

ScenarioBatch runScenarioBatch(CBriscoDoc& copy, const std::vector<Scenario>& scenarios, CaseSettings settings)
{
    ScenarioBatch batch;
    batch.ran = roadEndsOf(copy);
    readCheckSettings(copy, settings.defaults, settings.overrides);
    batch.base = runBase(copy, settings.defaults, settings.overrides);
    if (!batch.base.converged) {
        batch.problem = "The airflow analysis of the network did not converge, so no case was run.";
        return batch;
    }
    batch.cases = runCases(copy, batch.base.findings, scenarios, settings);
    sortBySeverity(batch.cases);
    return batch;
}

std::vector<ResultsColumn> caseColumns(const std::string& flowUnit)
{
    using C = CaseColumn;
    return {
        column(C::Case, "Case", "The scenario's name", false),
        column(C::Converged, "Converged", "Its airflow analysis converged", false),
        column(C::NewViolations, "New violations", "Design-check violations the base run has not", true),
        column(C::NewWarnings, "New warnings", "Design-check warnings the base run has not", true),
        column(C::Reversed, "Reversed", "Roads whose air turned", true),
        column(C::BelowLimit, "Below limit", "Roads fallen below an airflow or velocity limit", true),
        column(C::Changed, "Changed", "Roads changed beyond the threshold", true),
        column(C::LargestChange, withUnit("Largest change", flowUnit), "Of any road's airflow", true),
        column(C::GasRoads, "Gas roads", "Roads fire gas reached", true),
        column(C::Problem, "Problem", "Why it was not run or did not converge", false),
    };
}

std::vector<ResultsCell> caseRow(const CaseResult& r)
{
    if (!r.run || !r.converged)
        return {text(r.name), yesNo(false), {}, {}, {}, {}, {}, {}, {}, text(r.problem)};
    return {text(r.name),          yesNo(true),        count(r.violationsAppeared),
            count(r.warningsAppeared), count(r.reversed), count(r.belowLimit),
            count(r.changed),      number(r.largestChange, kFlowDecimals), count(int(r.gas.size())),
            text(r.problem)};
}

bool ScenarioSession::prepare(const std::string& text, std::vector<Scenario>& scenarios,
                              std::vector<std::string>& errors) const
{
    scenarios.clear();
    errors.clear();
    if (parseScenarios(text, "", scenarios, errors))
        return true;
    for (std::string& e : errors)
        e = editorError(e);
    scenarios.clear();
    return false;
}

void ScenarioSession::started()
{
    mState = State::Running;
    mBatch = ScenarioBatch{};
}

void ScenarioSession::finished(ScenarioBatch batch)
{
    mState = State::Done;
    mBatch = std::move(batch);
}

ResultsTable ScenarioSession::caseTable(const std::string& flowUnit) const
{
    ResultsTable table;
    table.columns = caseColumns(flowUnit);
    for (const CaseResult& r : mBatch.cases)
        table.rows.push_back(caseRow(r));
    return table;
}

bool ScenarioSession::caseComparison(int row, WindowComparison& shown) const
{
    if (row < 0 || row >= int(mBatch.cases.size()))
        return false;
    const CaseResult& r = mBatch.cases.at(std::size_t(row));
    if (!r.run || !r.converged)
        return false;
    shown.comparison = r.comparison;
    shown.side = WindowSide::Base;
    shown.against = r.name;
    shown.ran = mBatch.ran;
    return true;
}

std::string ScenarioSession::summary() const
{
    if (mState == State::Running)
        return "Running…";
    if (mState == State::Idle)
        return {};
    if (!mBatch.problem.empty())
        return mBatch.problem;
    int converged = 0;
    for (const CaseResult& r : mBatch.cases)
        converged += r.converged;
    return std::to_string(converged) + " of " + std::to_string(mBatch.cases.size()) + " cases converged";
}

int rowRoad(const DifferenceTables& tables, int row, const CBriscoDoc& doc)
{
    if (row < 0 || std::size_t(row) >= tables.roadOfRow.size() || tables.roadOfRow[std::size_t(row)] <= 0)
        return 0;
    const int k = tables.roadOfRow[std::size_t(row)];
    const auto [a, b] = tables.roadEndsOfRow[std::size_t(row)];
    if (k <= doc.totalRoads() && doc.roads[std::size_t(k)].first == a && doc.roads[std::size_t(k)].second == b)
        return k;
    return doc.findRoad(a, b, RoadScope::All);
}

int rowFan(const DifferenceTables& tables, int row, const CBriscoDoc& doc)
{
    if (row < 0 || std::size_t(row) >= tables.fanOfRow.size() || tables.fanOfRow[std::size_t(row)] <= 0)
        return 0;
    const int f = tables.fanOfRow[std::size_t(row)];
    const auto [inlet, outlet] = tables.fanEndsOfRow[std::size_t(row)];
    if (f <= doc.fanCount && doc.fans[std::size_t(f)].inlet == inlet && doc.fans[std::size_t(f)].outlet == outlet)
        return f;
    return doc.findFan(inlet, outlet);
}

CheckTarget rowCheckTarget(const DifferenceTables& tables, int row, const CBriscoDoc& doc)
{
    if (row < 0 || std::size_t(row) >= tables.findingOfRow.size())
        return {};
    const Finding& f = tables.findingOfRow[std::size_t(row)];
    // Either run's finding: its element by the nodes it names, in this network.
    if (f.road > 0 && f.nodes.size() == 2)
        if (const int k = doc.findRoad(f.nodes[0], f.nodes[1], RoadScope::All))
            return {ResultsTab::Roads, k};
    if (f.fan > 0 && f.nodes.size() == 2)
        if (const int g = doc.findFan(f.nodes[0], f.nodes[1]))
            return {ResultsTab::Fans, g};
    if (!f.nodes.empty() && doc.nodeIndex(f.nodes.front()) != 0)
        return {ResultsTab::Nodes, doc.nodeIndex(f.nodes.front())};
    return {};
}

}  // namespace orvex
