#include "control/planfind.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace orvex {

namespace {

bool blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::string trimmed(const std::string& text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string folded(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The numbers of a text of whole numbers, each pair apart by blanks with at
// most one dash or comma among them; empty when the text is not so made.
std::vector<int> wholeNumbers(const std::string& text)
{
    constexpr std::size_t kMostDigits = 9;
    std::vector<int> numbers;
    std::size_t at = 0;
    while (at < text.size()) {
        if (!numbers.empty()) {
            const std::size_t start = at;
            int marks = 0;
            for (; at < text.size() && (blank(text[at]) || text[at] == '-' || text[at] == ','); ++at)
                marks += !blank(text[at]);
            if (at == start || marks > 1)
                return {};
        }
        const std::size_t start = at;
        int value = 0;
        for (; at < text.size() && digit(text[at]) && at - start < kMostDigits; ++at)
            value = value * 10 + (text[at] - '0');
        if (at == start || (at < text.size() && digit(text[at])))
            return {};
        numbers.push_back(value);
    }
    return numbers;
}

int fanBetween(const CBriscoDoc& doc, int a, int b)
{
    for (int f = 1; f <= doc.fanCount; ++f) {
        const Fan& fan = doc.fans[std::size_t(f)];
        if ((fan.inlet == a && fan.outlet == b) || (fan.inlet == b && fan.outlet == a))
            return f;
    }
    return 0;
}

FoundElement notFound(std::string message) { return {MarkKind::None, 0, std::move(message)}; }

std::string between(int a, int b) { return " between " + std::to_string(a) + " and " + std::to_string(b); }

// The element a text of node numbers names; nothing, without a message,
// when the text is not one of the number forms.
FoundElement byNumbers(const CBriscoDoc& doc, const std::string& text)
{
    const bool fanWord = folded(text.substr(0, 3)) == "fan";
    const std::vector<int> n = wholeNumbers(fanWord ? trimmed(text.substr(3)) : text);
    if (fanWord) {
        if (n.size() != 2)
            return {};
        if (const int f = fanBetween(doc, n[0], n[1]))
            return {MarkKind::Fan, f, {}};
        return notFound("No fan" + between(n[0], n[1]));
    }
    if (n.size() == 1) {
        if (const int i = doc.nodeIndex(n[0]))
            return {MarkKind::Node, i, {}};
        return notFound("No node " + std::to_string(n[0]));
    }
    if (n.size() == 2) {
        if (const int k = doc.findRoad(n[0], n[1], RoadScope::All))
            return {MarkKind::Road, k, {}};
        if (const int f = fanBetween(doc, n[0], n[1]))
            return {MarkKind::Fan, f, {}};
        return notFound("No road" + between(n[0], n[1]));
    }
    return {};
}

int roadNamed(const CBriscoDoc& doc, const std::string& text, const FileTextDecoder& decode)
{
    const std::string wanted = folded(text);
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const std::string name = trimmed(decode(doc.roads[std::size_t(k)].name.str()));
        if (!name.empty() && folded(name) == wanted)
            return k;
    }
    return 0;
}

// "Airflow (m3/min)" and "12.345" make "Airflow: 12.345 m3/min".
std::string valueLine(const std::string& title, const std::string& value)
{
    const std::size_t open = title.rfind(" (");
    if (open == std::string::npos || title.back() != ')')
        return title + ": " + value;
    return title.substr(0, open) + ": " + value + " " + title.substr(open + 2, title.size() - open - 3);
}

ResultsTab tabOf(MarkKind kind)
{
    switch (kind) {
    case MarkKind::Node: return ResultsTab::Nodes;
    case MarkKind::Fan: return ResultsTab::Fans;
    default: return ResultsTab::Roads;
    }
}

MarkKind markOf(PlanElementKind kind)
{
    switch (kind) {
    case PlanElementKind::Node: return MarkKind::Node;
    case PlanElementKind::Road: return MarkKind::Road;
    case PlanElementKind::Fan: return MarkKind::Fan;
    case PlanElementKind::None: break;
    }
    return MarkKind::None;
}

}  // namespace

FoundElement findElement(const CBriscoDoc& doc, const std::string& text, const FileTextDecoder& decode)
{
    const std::string wanted = trimmed(text);
    if (wanted.empty())
        return notFound("Type a node number, two node numbers or a road name to find");
    const FoundElement numbered = byNumbers(doc, wanted);
    if (numbered.found())
        return numbered;
    if (const int k = roadNamed(doc, wanted, decode))
        return {MarkKind::Road, k, {}};
    if (!numbered.message.empty())
        return numbered;
    return notFound("\"" + wanted + "\" is not a node number, two node numbers or a road name");
}

std::string elementTip(const CBriscoDoc& doc, MarkKind kind, int element, const FileTextDecoder& decode)
{
    if (kind == MarkKind::None || kind == MarkKind::NodePair)
        return {};
    const ResultsTable record = resultsRecord(tabOf(kind), doc, element, decode);
    if (record.rows.empty())
        return {};
    const auto text = [&record](auto id) {
        const int section = record.section(int(id));
        return section < 0 ? std::string() : record.rows[0][std::size_t(section)].text;
    };
    const bool water = doc.isWater();
    std::string tip;
    std::vector<int> values;
    switch (kind) {
    case MarkKind::Road: {
        const bool fixed = element > doc.roadCount;
        tip = fixed ? (water ? "Fixed-flow pipe " : "Fixed-flow road ") : (water ? "Pipe " : "Road ");
        tip += std::to_string(element) + ": " + text(RoadColumn::From) + " - " + text(RoadColumn::To);
        if (const std::string name = text(RoadColumn::Name); !name.empty())
            tip += "  " + name;
        values = {int(RoadColumn::Airflow), int(RoadColumn::SetAirflow), int(RoadColumn::Velocity),
                  int(RoadColumn::PressureLoss), int(RoadColumn::Resistance), int(RoadColumn::GasArrival),
                  int(RoadColumn::PeakGas), int(RoadColumn::PeakTemperature)};
        break;
    }
    case MarkKind::Node:
        tip = "Node " + text(NodeColumn::Number) + ", " + text(NodeColumn::Position);
        values = {int(NodeColumn::Elevation), int(NodeColumn::Pressure)};
        break;
    case MarkKind::Fan:
        tip = std::string(water ? "Pump " : "Fan ") + std::to_string(element) + ": " + text(FanColumn::Inlet) + " - " +
              text(FanColumn::Outlet);
        if (const std::string heading = text(FanColumn::Heading); !heading.empty())
            tip += "  " + heading;
        values = {int(FanColumn::Airflow), int(FanColumn::Pressure), int(FanColumn::OperatingPoint)};
        break;
    case MarkKind::NodePair:
    case MarkKind::None: break;
    }
    for (const int id : values)
        if (const std::string value = text(id); !value.empty())
            tip += "\n" + valueLine(record.columns[std::size_t(record.section(id))].title, value);
    return tip;
}

// --- the pointer of one view ----------------------------------------------------------

PlanFinder::PlanFinder(const ViewParts& parts, ViewController& control, ViewWindow& window, ResultsRows& rows,
                       FileTextDecoder decode)
    : mDoc(parts.doc),
      mPlan(parts.plan),
      mEditor(parts.editor),
      mReporter(parts.reporter),
      mControl(control),
      mWindow(window),
      mRows(rows),
      mDecode(std::move(decode))
{
}

bool PlanFinder::pointing() const
{
    return mControl.mode() == ViewMode::Plan && mEditor.mode() == EditMode::None && !mDoc.analysisRunning;
}

bool PlanFinder::click(int x, int y)
{
    if (!pointing())
        return false;
    const PlanElement picked = pickPlanElement(mPlan, x, y);
    if (picked.kind != PlanElementKind::None)
        choose(markOf(picked.kind), picked.index);
    return true;
}

std::string PlanFinder::tipAt(int x, int y) const
{
    if (!pointing())
        return {};
    const PlanElement picked = pickPlanElement(mPlan, x, y);
    return elementTip(mDoc, markOf(picked.kind), picked.index, mDecode);
}

bool PlanFinder::find(const std::string& text)
{
    const FoundElement found = findElement(mDoc, text, mDecode);
    if (!found.found()) {
        mReporter.message(found.message, kFindCaption, MessageKind::Information);
        return false;
    }
    choose(found.kind, found.element);
    float x = 0, y = 0;
    if (mControl.markCentre(x, y)) {
        const ViewGeometry& g = mPlan.geo;
        const int scrollX = std::clamp(int(x) - g.clientWidth / 2, 0, std::max(0, g.scrollWidth - g.clientWidth));
        const int scrollY = std::clamp(int(y) - g.clientHeight / 2, 0, std::max(0, g.scrollHeight - g.clientHeight));
        if (scrollX != g.scrollX || scrollY != g.scrollY)
            mWindow.scrollTo(scrollX, scrollY);
    }
    return true;
}

void PlanFinder::choose(MarkKind kind, int element)
{
    mControl.mark(kind, element);
    mRows.chooseRow(tabOf(kind), element);
}

}  // namespace orvex
