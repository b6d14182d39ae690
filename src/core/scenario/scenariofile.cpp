// The scenario file: one "scenario NAME" line opens a case, the change lines
// below it fill it. Blank lines and lines starting with # are passed over.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>

#include "model/fileio.h"
#include "scenario.h"

namespace orvex {

namespace {

struct Keyword {
    const char* word;
    ChangeKind kind;
    int nodes;  // node numbers that follow
};
constexpr Keyword kKeywords[] = {
    {"fan-off", ChangeKind::FanOff, 2},     {"fan-speed", ChangeKind::FanSpeed, 2},
    {"resistance", ChangeKind::SetResistance, 2}, {"close", ChangeKind::Close, 2},
    {"open", ChangeKind::Open, 2},          {"fixed-flow", ChangeKind::FixedFlow, 2},
    {"fire", ChangeKind::Fire, 1},
};

bool readNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(value);
}

bool readNode(const std::string& text, int& number)
{
    double v = 0;
    if (!readNumber(text, v) || v != std::floor(v) || v < 0 || v >= kMaxNodeNumbers)
        return false;
    number = int(v);
    return true;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The value after the nodes: what each kind takes, or why not.
std::string readValue(Change& change, const std::vector<std::string>& rest)
{
    double v = 0;
    switch (change.kind) {
    case ChangeKind::FanOff:
        return rest.empty() ? "" : "fan-off takes the fan's two nodes only";
    case ChangeKind::FanSpeed:
        if (rest.size() != 1 || !readNumber(rest[0], v) || v <= 0)
            return "fan-speed takes the speed ratio after the fan's nodes, a number above 0";
        break;
    case ChangeKind::SetResistance:
    case ChangeKind::ScaleResistance:
        if (rest.size() != 2 || (rest[0] != "=" && rest[0] != "*") || !readNumber(rest[1], v) || v <= 0)
            return "resistance takes = R (a new resistance) or * F (a factor) after the road's nodes, "
                   "a number above 0";
        change.kind = rest[0] == "=" ? ChangeKind::SetResistance : ChangeKind::ScaleResistance;
        break;
    case ChangeKind::Close:
        v = std::nan("");
        if (rest.size() > 1 || (rest.size() == 1 && (!readNumber(rest[0], v) || v <= 0)))
            return "close takes the road's nodes and, if given, its resistance, a number above 0";
        break;
    case ChangeKind::Open:
        if (rest.size() != 1 || !readNumber(rest[0], v) || v <= 0)
            return "open takes the road's resistance after its nodes, a number above 0";
        break;
    case ChangeKind::FixedFlow:
        if (rest.size() != 1 || !readNumber(rest[0], v))
            return "fixed-flow takes the road's airflow after its nodes";
        break;
    case ChangeKind::Fire:
        v = std::nan("");
        if (rest.size() > 1 || (rest.size() == 1 && (!readNumber(rest[0], v) || v <= 0)))
            return "fire takes the fire node and, if given, the minutes it burns, a number above 0";
        break;
    }
    change.value = v;
    return {};
}

// One change line into a change, or why it is none.
std::string readChange(const std::vector<std::string>& words, Change& change)
{
    for (const Keyword& k : kKeywords) {
        if (words[0] != k.word)
            continue;
        change.kind = k.kind;
        if (int(words.size()) < 1 + k.nodes)
            return std::string(k.word) + (k.nodes == 1 ? " needs a node number" : " needs two node numbers");
        if (!readNode(words[1], change.a) || (k.nodes == 2 && !readNode(words[2], change.b)))
            return "a node number is a whole number 0 to 1499";
        if (k.nodes == 2 && change.a == change.b)
            return "the two nodes are the same";
        return readValue(change, {words.begin() + 1 + k.nodes, words.end()});
    }
    return "unknown change \"" + words[0] +
           "\": fan-off, fan-speed, resistance, close, open, fixed-flow or fire";
}

// A scenario's name: quoted, or the rest of the line.
bool readName(const std::string& rest, std::string& name)
{
    name = trimmed(rest);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    else if (!name.empty() && (name.front() == '"' || name.back() == '"'))
        return false;
    return !trimmed(name).empty() && name.find('"') == std::string::npos;
}

std::string formatted(double value)
{
    std::ostringstream out;
    out.precision(9);
    out << value;
    return out.str();
}

}  // namespace

const char* changeKeyword(ChangeKind kind)
{
    for (const Keyword& k : kKeywords)
        if (k.kind == kind)
            return k.word;
    return "resistance";
}

bool Scenario::fire() const
{
    for (const Change& c : changes)
        if (c.kind == ChangeKind::Fire)
            return true;
    return false;
}

bool parseScenarios(const std::string& text, const std::string& name, std::vector<Scenario>& scenarios,
                    std::vector<std::string>& errors)
{
    scenarios.clear();
    errors.clear();
    std::set<std::string> names;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto fail = [&](const std::string& what) {
            errors.push_back(name + ":" + std::to_string(number) + ": " + what);
        };
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty() || w[0][0] == '#')
            continue;
        if (w[0] == "scenario") {
            Scenario s;
            s.line = number;
            if (!readName(line.substr(line.find("scenario") + 8), s.name))
                fail("a scenario needs a name: scenario \"NAME\"");
            else if (!names.insert(s.name).second)
                fail("the scenario name \"" + s.name + "\" is used twice");
            scenarios.push_back(s);
            continue;
        }
        Change change;
        change.line = number;
        const std::string problem = readChange(w, change);
        if (!problem.empty())
            fail(problem);
        else if (scenarios.empty())
            fail("a change before the first scenario line");
        else
            scenarios.back().changes.push_back(change);
    }
    if (errors.empty() && scenarios.empty())
        errors.push_back(name + ": no scenario in the file (a line \"scenario NAME\" starts one)");
    if (!errors.empty())
        scenarios.clear();
    return errors.empty();
}

bool readScenarioFile(const std::string& path, std::vector<Scenario>& scenarios, std::vector<std::string>& errors)
{
    std::string text;
    std::error_code error;
    if (!readWholeFile(path, text, error)) {
        scenarios.clear();
        errors = {path + ": the scenario file cannot be read: " + failureReason(error)};
        return false;
    }
    return parseScenarios(text, path, scenarios, errors);
}

std::string scenarioText(const std::vector<Scenario>& scenarios)
{
    std::string text;
    for (const Scenario& s : scenarios) {
        text += "scenario \"" + s.name + "\"\n";
        for (const Change& c : s.changes) {
            text += std::string("  ") + changeKeyword(c.kind) + " " + std::to_string(c.a);
            if (c.kind != ChangeKind::Fire)
                text += " " + std::to_string(c.b);
            if (c.kind == ChangeKind::SetResistance)
                text += " =";
            else if (c.kind == ChangeKind::ScaleResistance)
                text += " *";
            if (c.kind != ChangeKind::FanOff && std::isfinite(c.value))
                text += " " + formatted(c.value);
            text += "\n";
        }
    }
    return text;
}

}  // namespace orvex
