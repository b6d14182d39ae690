// The survey file and the --fit text.
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "calibration/calibration.h"
#include "exchange/csv.h"

namespace orvex {

namespace {

using exchange::CsvTable;

// Lines whose first character that is not a blank is '#' are notes: they
// are blanked, keeping the line numbers.
std::string withoutNotes(const std::string& text)
{
    std::string kept;
    kept.reserve(text.size());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::size_t first = text.find_first_not_of(" \t", start);
        if (first < end && text[first] == '#')
            kept += '\n';
        else
            kept.append(text, start, end - start);
        start = end;
    }
    return kept;
}

std::string trimmed(const std::string& s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

bool kindOf(const std::string& word, MeasurementKind& kind)
{
    for (MeasurementKind k : {MeasurementKind::Airflow, MeasurementKind::PressureDrop, MeasurementKind::FanPressure}) {
        std::string lower;
        for (char c : trimmed(word))
            lower += char(std::tolower(static_cast<unsigned char>(c)));
        if (lower == measurementKindWord(k)) {
            kind = k;
            return true;
        }
    }
    return false;
}

// One measurement from a row; false with the problem, located.
bool measurementOf(const CsvTable& table, const CsvTable::Row& row, Measurement& m, std::string& problem)
{
    if (!kindOf(CsvTable::field(row, 0), m.kind)) {
        problem = table.located(row, 0, "\"" + trimmed(CsvTable::field(row, 0)) +
                                           "\" is not airflow, pressure-drop or fan-pressure");
        return false;
    }
    std::string what;
    const auto from = table.whole(row, 1, what);
    if (!from) {
        problem = what;
        return false;
    }
    const auto to = table.whole(row, 2, what);
    if (!to) {
        problem = what;
        return false;
    }
    const auto value = table.number(row, 3, what);
    if (!value) {
        problem = what;
        return false;
    }
    std::string sdText = trimmed(CsvTable::field(row, 4));
    const bool percent = !sdText.empty() && sdText.back() == '%';
    double sd = 0;
    if (percent) {
        const std::string share = trimmed(sdText.substr(0, sdText.size() - 1));
        float percentage = 0;
        const auto read = std::from_chars(share.data(), share.data() + share.size(), percentage);
        if (share.empty() || read.ec != std::errc() || read.ptr != share.data() + share.size()) {
            problem = table.located(row, 4, "a percentage is needed, but the field holds \"" + sdText + "\"");
            return false;
        }
        sd = std::fabs(*value) * percentage / 100.0;
    } else {
        const auto plain = table.number(row, 4, what);
        if (!plain) {
            problem = what;
            return false;
        }
        sd = *plain;
    }
    if (!(sd > 0) || !std::isfinite(sd)) {
        problem = table.located(row, 4, "the standard deviation must be above 0");
        return false;
    }
    m.from = *from;
    m.to = *to;
    m.value = *value;
    m.sd = sd;
    m.line = row.line;
    m.note.clear();
    for (std::size_t c = 5; c < row.fields.size(); ++c) {
        const std::string f = trimmed(row.fields[c]);
        if (!f.empty())
            m.note += (m.note.empty() ? "" : ", ") + f;
    }
    return true;
}

bool pairOf(const std::string& text, std::pair<int, int>& pair)
{
    const std::size_t dash = text.find('-', 1);
    if (dash == std::string::npos)
        return false;
    try {
        std::size_t used = 0;
        const std::string a = trimmed(text.substr(0, dash)), b = trimmed(text.substr(dash + 1));
        pair.first = std::stoi(a, &used);
        if (used != a.size())
            return false;
        pair.second = std::stoi(b, &used);
        return used == b.size();
    } catch (const std::exception&) {
        return false;
    }
}

std::vector<std::string> split(const std::string& text, char by)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, by))
        parts.push_back(trimmed(part));
    if (!text.empty() && text.back() == by)
        parts.push_back("");
    return parts;
}

}  // namespace

const char* measurementKindWord(MeasurementKind kind)
{
    switch (kind) {
    case MeasurementKind::Airflow: return "airflow";
    case MeasurementKind::PressureDrop: return "pressure-drop";
    case MeasurementKind::FanPressure: return "fan-pressure";
    }
    return "";
}

SurveyRead parseSurvey(std::istream& in, const std::string& name)
{
    SurveyRead read;
    read.survey.name = name;
    std::ostringstream text;
    text << in.rdbuf();
    CsvTable table;
    if (!table.parse(name, withoutNotes(text.str()))) {
        read.error = table.error();
        return read;
    }
    const char* header[] = {"kind", "from", "to", "value", "sd"};
    for (int c = 0; c < 5; ++c) {
        if (int(table.columns().size()) <= c || table.find(header[c]) != c) {
            read.error = name + ": the first line must be the header kind,from,to,value,sd";
            return read;
        }
    }
    for (const CsvTable::Row& row : table.rows()) {
        Measurement m;
        std::string problem;
        if (measurementOf(table, row, m, problem))
            read.survey.measurements.push_back(m);
        else
            read.survey.warnings.push_back(problem + "; the line is left out");
    }
    if (read.survey.measurements.empty())
        read.error = name + ": no usable measurement" +
                     (read.survey.warnings.empty() ? std::string() : " (" + read.survey.warnings.front() + ")");
    return read;
}

SurveyRead readSurvey(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SurveyRead read;
        read.survey.name = path;
        read.error = path + ": cannot be opened";
        return read;
    }
    return parseSurvey(in, path);
}

FitTerms defaultFitTerms()
{
    FitTerms terms;
    terms.allRoads = true;
    return terms;
}

namespace {

// The prior, bounds and limits of terms, with nothing named to fit.
FitTerms nothingNamed(const FitTerms& terms)
{
    FitTerms t = terms;
    t.allRoads = t.allFans = false;
    t.roads.clear();
    t.prefixes.clear();
    t.lists.clear();
    t.fans.clear();
    return t;
}

// The node pairs of a term's items; false with a message naming the item.
bool pairsOf(const std::vector<std::string>& items, const std::string& term, std::vector<std::pair<int, int>>& pairs,
             std::string& error)
{
    for (const std::string& item : items) {
        std::pair<int, int> pair;
        if (!pairOf(item, pair)) {
            error = "--fit: \"" + item + "\" in \"" + term + "\" is not two node numbers such as 12-13";
            return false;
        }
        pairs.push_back(pair);
    }
    return true;
}

}  // namespace

bool parseFitTerms(const std::string& text, FitTerms& terms, std::string& error)
{
    FitTerms parsed = nothingNamed(terms);
    bool any = false;
    for (const std::string& term : split(text, ';')) {
        if (term.empty())
            continue;
        const std::size_t colon = term.find(':');
        const std::string word = trimmed(term.substr(0, colon));
        const bool listed = colon != std::string::npos;
        const std::vector<std::string> items = listed ? split(term.substr(colon + 1), ',') : std::vector<std::string>{};
        std::vector<std::pair<int, int>> pairs;
        if ((word == "roads" || word == "group" || word == "fans") && !pairsOf(items, term, pairs, error))
            return false;
        if (listed && items.empty()) {
            error = "--fit: \"" + term + "\" lists nothing after the colon";
            return false;
        }
        if (word == "roads" && !listed) {
            parsed.allRoads = true;
        } else if (word == "roads") {
            parsed.roads.insert(parsed.roads.end(), pairs.begin(), pairs.end());
        } else if (word == "group" && listed) {
            parsed.lists.push_back(pairs);
        } else if (word == "groups" && listed) {
            for (const std::string& prefix : items) {
                if (prefix.empty()) {
                    error = "--fit: an empty name prefix in \"" + term + "\"";
                    return false;
                }
                parsed.prefixes.push_back(prefix);
            }
        } else if (word == "fans" && !listed) {
            parsed.allFans = true;
        } else if (word == "fans") {
            parsed.fans.insert(parsed.fans.end(), pairs.begin(), pairs.end());
        } else {
            error = "--fit: \"" + term +
                    "\" is not one of roads, roads:A-B,..., groups:PREFIX,..., group:A-B,..., fans, fans:A-B,...";
            return false;
        }
        any = true;
    }
    if (!any) {
        error = "--fit: nothing to fit is named";
        return false;
    }
    terms = parsed;
    return true;
}

}  // namespace orvex
