// The checks' two files: the program's defaults (sdt/checks.sdt) and a
// network's own limits (its companion file with the extension chk). Both are
// read line by line: a line is a few words, "#" starts a comment, and a line
// that cannot be read, or asks for a value that makes no sense, is told
// with its file and line and left out; the other lines still count.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "checks/checks.h"
#include "model/fileio.h"
#include "model/filecase.h"
#include "model/savetransaction.h"
#include "model/textscanner.h"

namespace orvex {

namespace {

const std::string kChecksFileName = "/sdt/checks.sdt";
const std::string kOverridesExtension = "chk";

struct Word {
    std::string text;
    bool quoted = false;
};

// Splits a line into words; a word in double quotes may hold blanks, "\""
// and "\\". False with the problem when a quote is not closed.
bool splitWords(const std::string& line, std::vector<Word>& words, std::string& problem)
{
    words.clear();
    std::size_t i = 0;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (i < line.size()) {
        if (blank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#')
            break;
        Word word;
        if (line[i] == '"') {
            word.quoted = true;
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size())
                    ++i;
                word.text += line[i];
            }
            if (i >= line.size()) {
                problem = "the name " + word.text + " has no closing quote";
                return false;
            }
            ++i;
        } else {
            while (i < line.size() && !blank(line[i]) && line[i] != '#')
                word.text += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

// A number as the program's files have it: alone, finite.
bool parseNumber(const Word& word, double& value)
{
    if (word.quoted)
        return false;
    TextScanner scanner(word.text);
    return scanner.readDouble(value) == TextScanner::Result::Ok && scanner.atEnd();
}

bool parseInt(const Word& word, int& value)
{
    if (word.quoted)
        return false;
    TextScanner scanner(word.text);
    return scanner.readInt(value) == TextScanner::Result::Ok && scanner.atEnd();
}

// Shortest text that reads back as the same number.
std::string numberText(double value)
{
    char text[40];
    for (int precision = 6; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value)
            break;
    }
    return text;
}

std::string quoted(const std::string& name)
{
    std::string out = "\"";
    for (const char c : name)
        out += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

// The problems of one file, told as one message, a line each.
class Problems {
public:
    explicit Problems(std::string path) : mPath(std::move(path)) {}
    void add(int line, const std::string& problem)
    {
        ++mCount;
        mText += (mText.empty() ? "" : "\n") + mPath + ": line " + std::to_string(line) + ": " + problem;
    }
    bool any() const { return mCount > 0; }
    // after: what becomes of them, said of one line or of several.
    void tell(Reporter& reporter, const std::string& afterOne, const std::string& afterMany) const
    {
        if (any())
            reporter.message(mText + "\n" + (mCount == 1 ? afterOne : afterMany), kDocumentCaption,
                             MessageKind::Warning);
    }

private:
    std::string mPath;
    std::string mText;
    int mCount = 0;
};

// The lines of a file; false when it cannot be read (missing is told by
// missing, anything else is reported).
bool readLines(const std::string& path, std::vector<std::string>& lines, bool& missing, Reporter& reporter)
{
    std::string content;
    std::error_code error;
    missing = false;
    if (!readWholeFile(path, content, error)) {
        missing = isMissing(error);
        if (!missing)
            reporter.message(withReason(path + ":read ?", error), kDocumentCaption, MessageKind::Warning);
        return false;
    }
    std::istringstream in(content);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return true;
}

// --- defaults ------------------------------------------------------------------

// A setting of sdt/checks.sdt and the values it takes: from low (included
// or not) up to high.
struct Setting {
    const char* name;
    double CheckDefaults::*field;
    double low;
    bool lowIncluded;
    double high;
};

constexpr double kUnbounded = 1e300;

const Setting kSettings[] = {
    {"min_velocity", &CheckDefaults::minVelocity, 0, true, kUnbounded},
    {"max_velocity", &CheckDefaults::maxVelocity, 0, true, kUnbounded},
    {"min_airflow", &CheckDefaults::minAirflow, 0, true, kUnbounded},
    {"fan_efficiency", &CheckDefaults::fanEfficiency, 0, false, 1},
    {"hours_per_year", &CheckDefaults::hoursPerYear, 0, true, 8784},
    {"price_per_kwh", &CheckDefaults::pricePerKwh, 0, true, kUnbounded},
    {"stall_margin", &CheckDefaults::stallMargin, 0, true, 100},
    {"orifice_coefficient", &CheckDefaults::orificeCoefficient, 0, false, 1},
};

std::string rangeText(const Setting& s)
{
    std::string text = s.lowIncluded ? "at least " + numberText(s.low) : "above " + numberText(s.low);
    return s.high < kUnbounded ? text + " and at most " + numberText(s.high) : text;
}

std::string settingNames()
{
    std::string names;
    for (const Setting& s : kSettings)
        names += std::string(names.empty() ? "" : ", ") + s.name;
    return names;
}

// Reads one line's setting into defaults; false with the problem.
bool readSetting(const std::vector<Word>& words, CheckDefaults& defaults, const Setting*& setting,
                 std::string& problem)
{
    setting = nullptr;
    for (const Setting& s : kSettings)
        if (!words[0].quoted && words[0].text == s.name)
            setting = &s;
    if (!setting) {
        problem = "\"" + words[0].text + "\" is no setting; the settings are " + settingNames();
        return false;
    }
    const std::string name = setting->name;
    double value = 0;
    if (words.size() < 2)
        problem = name + " has no value";
    else if (!parseNumber(words[1], value))
        problem = "the value of " + name + " is not a number: \"" + words[1].text + "\"";
    else if (words.size() > 2)
        problem = name + " is followed by \"" + words[2].text + "\"; a line holds one setting";
    else if (value < setting->low || (value == setting->low && !setting->lowIncluded) || value > setting->high)
        problem = name + " " + numberText(value) + " is refused: it must be " + rangeText(*setting) +
                  "; the default " + numberText(CheckDefaults{}.*(setting->field)) + " is kept";
    else
        defaults.*(setting->field) = value;
    return problem.empty();
}

// --- overrides -----------------------------------------------------------------

const char* const kLimitNames[] = {"min_velocity", "max_velocity", "min_airflow"};

std::optional<double> RoadLimits::*limitField(const std::string& name)
{
    if (name == kLimitNames[0])
        return &RoadLimits::minVelocity;
    if (name == kLimitNames[1])
        return &RoadLimits::maxVelocity;
    if (name == kLimitNames[2])
        return &RoadLimits::minAirflow;
    return nullptr;
}

// The limits of a road line, from words[first] on, merged into limits.
bool readLimits(const std::vector<Word>& words, std::size_t first, RoadLimits& limits, std::string& problem)
{
    RoadLimits line;
    if (first >= words.size()) {
        problem = "the road has no limits; they are min_velocity, max_velocity and min_airflow";
        return false;
    }
    for (std::size_t i = first; i < words.size(); i += 2) {
        const std::string& name = words[i].text;
        const auto field = words[i].quoted ? nullptr : limitField(name);
        double value = 0;
        if (!field)
            problem = "\"" + name + "\" is no limit; the limits are min_velocity, max_velocity and min_airflow";
        else if (line.*field)
            problem = name + " is given twice";
        else if (i + 1 >= words.size())
            problem = name + " has no value";
        else if (!parseNumber(words[i + 1], value))
            problem = "the value of " + name + " is not a number: \"" + words[i + 1].text + "\"";
        else if (value < 0)
            problem = name + " " + numberText(value) + " is refused: a limit is not negative";
        if (!problem.empty())
            return false;
        line.*field = value;
    }
    RoadLimits merged = limits;
    for (const char* name : kLimitNames)
        if (line.*limitField(name))
            merged.*limitField(name) = line.*limitField(name);
    if (merged.minVelocity && merged.maxVelocity && *merged.minVelocity > *merged.maxVelocity) {
        problem = "the least velocity " + numberText(*merged.minVelocity) + " m/s is above the greatest, " +
                  numberText(*merged.maxVelocity) + " m/s";
        return false;
    }
    limits = merged;
    return true;
}

bool readOverrideLine(const std::vector<Word>& words, CheckOverrides& overrides, std::string& problem)
{
    const std::string kind = words[0].quoted ? std::string() : words[0].text;
    int a = 0, b = 0;
    if (kind == "fan") {
        double efficiency = 0;
        if (words.size() < 3 || !parseInt(words[1], a) || !parseInt(words[2], b))
            problem = "a fan is named by its inlet and outlet node numbers";
        else if (words.size() != 5 || words[3].quoted || words[3].text != "efficiency")
            problem = "a fan line gives only its efficiency: fan " + std::to_string(a) + " " + std::to_string(b) +
                      " efficiency 0.75";
        else if (!parseNumber(words[4], efficiency))
            problem = "the efficiency of fan " + std::to_string(a) + "-" + std::to_string(b) +
                      " is not a number: \"" + words[4].text + "\"";
        else if (efficiency <= 0 || efficiency > 1)
            problem = "the efficiency " + numberText(efficiency) + " of fan " + std::to_string(a) + "-" +
                      std::to_string(b) + " is refused: it must be above 0 and at most 1";
        else
            overrides.fanEfficiency[{a, b}] = efficiency;
        return problem.empty();
    }
    if (kind != "road") {
        problem = "a line names a road or a fan, not \"" + words[0].text + "\"";
        return false;
    }
    if (words.size() < 2) {
        problem = "the road is named by its two node numbers or by its name in quotes";
        return false;
    }
    if (!parseInt(words[1], a)) {
        if (words[1].text.empty()) {
            problem = "the road's name is empty";
            return false;
        }
        RoadLimits limits = overrides.namedRoads.count(words[1].text) ? overrides.namedRoads[words[1].text]
                                                                       : RoadLimits{};
        if (!readLimits(words, 2, limits, problem))
            return false;
        overrides.namedRoads[words[1].text] = limits;
        return true;
    }
    if (words.size() < 3 || !parseInt(words[2], b)) {
        problem = "road " + std::to_string(a) + " needs its second node number";
        return false;
    }
    RoadLimits limits = overrides.roads.count({a, b}) ? overrides.roads[{a, b}] : RoadLimits{};
    if (!readLimits(words, 3, limits, problem))
        return false;
    overrides.roads[{a, b}] = limits;
    return true;
}

std::string limitsText(const RoadLimits& limits)
{
    std::string text;
    for (const char* name : kLimitNames)
        if (const auto& value = limits.*limitField(name))
            text += std::string(" ") + name + " " + numberText(*value);
    return text;
}

}  // namespace

bool readCheckDefaults(const std::string& programFolder, CheckDefaults& defaults, Reporter& reporter)
{
    const std::string path = programFolder + kChecksFileName;
    std::vector<std::string> lines;
    bool missing = false;
    if (!readLines(path, lines, missing, reporter))
        return missing;
    Problems problems(path);
    int minLine = 0, maxLine = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::vector<Word> words;
        std::string problem;
        const Setting* setting = nullptr;
        if (!splitWords(lines[n], words, problem) || (!words.empty() && !readSetting(words, defaults, setting, problem)))
            problems.add(int(n) + 1, problem);
        else if (setting && setting->field == &CheckDefaults::minVelocity)
            minLine = int(n) + 1;
        else if (setting && setting->field == &CheckDefaults::maxVelocity)
            maxLine = int(n) + 1;
    }
    if (defaults.minVelocity > defaults.maxVelocity) {
        const CheckDefaults builtIn;
        problems.add(minLine ? minLine : maxLine,
                     "the least velocity " + numberText(defaults.minVelocity) + " m/s is above the greatest, " +
                         numberText(defaults.maxVelocity) + " m/s; both defaults, " +
                         numberText(builtIn.minVelocity) + " and " + numberText(builtIn.maxVelocity) +
                         " m/s, are kept");
        defaults.minVelocity = builtIn.minVelocity;
        defaults.maxVelocity = builtIn.maxVelocity;
    }
    problems.tell(reporter, "The design checks use the other lines and the default for this one.",
                  "The design checks use the other lines and the defaults for these.");
    return !problems.any();
}

bool readCheckOverrides(const std::string& base, CheckOverrides& overrides, Reporter& reporter)
{
    const std::string path = inExistingCase(base + kOverridesExtension);
    std::vector<std::string> lines;
    bool missing = false;
    if (!readLines(path, lines, missing, reporter))
        return missing;
    Problems problems(path);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::vector<Word> words;
        std::string problem;
        if (!splitWords(lines[n], words, problem) || (!words.empty() && !readOverrideLine(words, overrides, problem)))
            problems.add(int(n) + 1, problem);
    }
    problems.tell(reporter, "This line is left out; the others are used.",
                  "These lines are left out; the others are used.");
    return !problems.any();
}

bool writeCheckOverrides(const std::string& base, const CheckOverrides& overrides, Reporter& reporter)
{
    std::string out = "# The design limits of this network's roads and the efficiencies of its fans;\n"
                      "# what is not here comes from the program's sdt/checks.sdt.\n";
    for (const auto& [pair, limits] : overrides.roads)
        if (!limitsText(limits).empty())
            out += "road " + std::to_string(pair.first) + " " + std::to_string(pair.second) + limitsText(limits) + "\n";
    for (const auto& [name, limits] : overrides.namedRoads)
        if (!name.empty() && !limitsText(limits).empty())
            out += "road " + quoted(name) + limitsText(limits) + "\n";
    for (const auto& [pair, efficiency] : overrides.fanEfficiency)
        out += "fan " + std::to_string(pair.first) + " " + std::to_string(pair.second) + " efficiency " +
               numberText(efficiency) + "\n";

    finishInterruptedSave(base, reporter);
    const std::string path = inExistingCase(base + kOverridesExtension);
    SaveTransaction save(base);
    std::error_code error;
    std::string failure;
    if (!save.stage(path, out, error)) {
        reporter.message(withReason(path + ":write ?", error) + "\nThe file stays as it was.", kDocumentCaption,
                         MessageKind::Error);
        return false;
    }
    if (!save.commit(failure)) {
        reporter.message(failure, kDocumentCaption, MessageKind::Error);
        return false;
    }
    return true;
}

}  // namespace orvex
