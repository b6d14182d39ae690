// The network tables' reader: each table's header checked against the
// columns and units this installation writes, then its rows onto a draft of
// the network, every problem named by file, line and column.
#include <cstring>
#include <filesystem>

#include "model/fileio.h"
#include "tablereader.h"
#include "tables.h"

namespace orvex::exchange {

namespace {

using tables::lowered;
using tables::pairText;
using tables::TableReader;

std::string withLineEnd(const std::string& text, const std::string& end) { return text + (end == "crlf" ? "\r\n" : end == "none" ? "" : "\n"); }

class TablesImport {
public:
    TablesImport(const std::string& folder, const CBriscoDoc& doc, TableImport mode)
        : mFolder(folder), mUnits(doc.app().units), mNew(mode == TableImport::NewNetwork)
    {
        if (mNew) {
            for (int h = 1; h <= kGeneralHeadings; ++h)
                mDraft.headings[h] = std::string(doc.headings[h].view());
            mDraft.kind = doc.networkKind;
            mDraft.surfaceTemperature = doc.surfaceTemperature;
        } else {
            mDraft = draftOf(doc);
        }
    }

    ImportResult run();

private:
    // The table, or nullopt (error set when it was needed or unreadable).
    std::optional<CsvTable> load(const std::string& name, bool needed);
    bool networkTable(const CsvTable& table);
    bool nodeTable(const CsvTable& table);
    bool roadTable(const CsvTable& table);
    bool roadRow(const TableReader& read, const CsvTable::Row& row, std::map<std::string, int>& seen);
    bool fanTable(const CsvTable& table);
    bool bendTable(const CsvTable& table);
    bool knownNode(const TableReader& read, const CsvTable::Row& row, const std::string& column, int number);
    bool water() const { return mDraft.kind && *mDraft.kind == kWaterNetworkKind; }
    void counted(const std::string& table, int updated, int added, const char* what);

    std::string mFolder;
    const UnitsSettings& mUnits;
    bool mNew;
    NetworkDraft mDraft;
    std::string mError;
    std::vector<std::string> mReport, mNotes;
};

std::optional<CsvTable> TablesImport::load(const std::string& name, bool needed)
{
    const std::string path = (std::filesystem::path(mFolder) / name).string();
    std::string text;
    std::error_code ec;
    if (!readWholeFile(path, text, ec)) {
        if (needed || !isMissing(ec))
            mError = withReason(path + ": the table cannot be read", ec);
        return std::nullopt;
    }
    CsvTable table;
    if (!table.parse(path, text)) {
        mError = table.error();
        return std::nullopt;
    }
    if (table.columns().empty()) {
        mError = path + ": line 1: the table has no header line";
        return std::nullopt;
    }
    return table;
}

void TablesImport::counted(const std::string& table, int updated, int added, const char* what)
{
    const int count = updated + added;
    std::string line = table + ": " + std::to_string(count) + " " + (count == 1 ? std::string(what, std::strlen(what) - 1) : what);
    if (!mNew)
        line += " (" + std::to_string(updated) + " updated, " + std::to_string(added) + " added)";
    mReport.push_back(line);
}

bool TablesImport::networkTable(const CsvTable& table)
{
    TableReader read(table, false);
    if (!read.columns(tableColumns(Table::Network, mUnits, false), {"item", "value"}, mError, mNotes))
        return false;
    for (const CsvTable::Row& row : table.rows()) {
        const std::string item = lowered(read.text(row, "item"));
        const std::string value = read.text(row, "value");
        if (item.rfind("heading ", 0) == 0) {
            const int h = std::atoi(item.c_str() + 8);
            std::string end = lowered(read.text(row, "line end"));
            if (h < 1 || h > kGeneralHeadings)
                return mError = read.located(row, "item", "there are heading lines 1 to 10, not \"" + item + "\""), false;
            if (!read.choice(row, "line end", {"lf", "crlf", "none"}, end = end.empty() ? "lf" : end, mError))
                return false;
            mDraft.headings[h] = withLineEnd(value, end);
        } else if (item == "kind") {
            int kind = 0;
            if (!read.whole(row, "value", kind, mError))
                return false;
            mDraft.kind = kind;
        } else if (item == lowered("surface temperature [" + kTemperatureUnit + "]")) {
            float t = 0;
            if (!read.number(row, "value", t, mError))
                return false;
            mDraft.surfaceTemperature = t;
        } else {
            mNotes.push_back(table.located(row, 0, "the item \"" + item + "\" is not read"));
        }
    }
    return true;
}

bool TablesImport::nodeTable(const CsvTable& table)
{
    TableReader read(table, mNew);
    if (!read.columns(tableColumns(Table::Nodes, mUnits, water()), {"number"}, mError, mNotes))
        return false;
    std::map<int, std::size_t> byNumber;
    for (std::size_t i = 0; i < mDraft.nodes.size(); ++i)
        byNumber[mDraft.nodes[i].number] = i;
    std::set<int> inTable;
    int updated = 0, added = 0;
    for (const CsvTable::Row& row : table.rows()) {
        int number = 0;
        if (!read.whole(row, "number", number, mError))
            return false;
        if (!isValidNodeNumber(number))
            return mError = read.located(row, "number", "node numbers are 0 to 1499, not " + std::to_string(number)), false;
        if (!inTable.insert(number).second)
            return mError = read.located(row, "number", "node " + std::to_string(number) + " is given twice"), false;
        const auto found = byNumber.find(number);
        DraftNode node = found == byNumber.end() ? DraftNode{number, false, 0, 0, 0} : mDraft.nodes[found->second];
        read.adding(found == byNumber.end());
        std::string place = found == byNumber.end() ? "" : node.surface ? kSurface : kUnderground;
        if (place.empty() && !read.given(row, "place"))
            place = kUnderground;
        if (!read.choice(row, "place", {kSurface, kUnderground}, place, mError) ||
            !read.number(row, "elevation", node.elevation, mError) || !read.number(row, "x", node.x, mError) ||
            !read.number(row, "y", node.y, mError))
            return false;
        node.surface = place == kSurface;
        if (found == byNumber.end()) {
            byNumber[number] = mDraft.nodes.size();
            mDraft.nodes.push_back(node);
            ++added;
        } else {
            mDraft.nodes[found->second] = node;
            ++updated;
        }
    }
    counted(std::filesystem::path(table.path()).filename().string(), updated, added, "nodes");
    return true;
}

bool TablesImport::knownNode(const TableReader& read, const CsvTable::Row& row, const std::string& column, int number)
{
    for (const DraftNode& n : mDraft.nodes)
        if (n.number == number)
            return true;
    mError = read.located(row, column, "node " + std::to_string(number) + " is not in the network");
    return false;
}

bool TablesImport::roadTable(const CsvTable& table)
{
    TableReader read(table, mNew);
    // A water pipe's resistance follows from its diameter, length and
    // coefficient: the column may be blank or left out.
    std::vector<TableColumn> columns = tableColumns(Table::Roads, mUnits, water());
    if (mNew)
        columns.erase(std::remove_if(columns.begin(), columns.end(),
                                     [this](const TableColumn& c) { return water() && c.name == "resistance"; }),
                      columns.end());
    if (!read.columns(columns, {"from", "to"}, mError, mNotes))
        return false;
    std::map<std::string, int> seen;
    const int before = int(mDraft.roads.size());
    int updated = 0;
    for (const CsvTable::Row& row : table.rows()) {
        const std::size_t size = mDraft.roads.size();
        if (!roadRow(read, row, seen))
            return false;
        updated += mDraft.roads.size() == size;
    }
    counted(std::filesystem::path(table.path()).filename().string(), updated,
            int(mDraft.roads.size()) - before, "roads");
    return true;
}

// One road's row: the road it names (the n-th row of a node pair and kind
// names the n-th such road), updated, or a new road.
bool TablesImport::roadRow(const TableReader& read, const CsvTable::Row& row, std::map<std::string, int>& seen)
{
    int a = 0, b = 0;
    if (!read.whole(row, "from", a, mError) || !knownNode(read, row, "from", a) ||
        !read.whole(row, "to", b, mError) || !knownNode(read, row, "to", b))
        return false;
    std::string kind = read.given(row, "kind") ? "" : kNormalRoad;
    if (!read.choice(row, "kind", {kNormalRoad, kFixedFlowRoad}, kind, mError))
        return false;
    const bool fixedFlow = kind == kFixedFlowRoad;
    const std::string key = pairText(std::min(a, b), std::max(a, b)) + kind;
    int nth = ++seen[key];
    DraftRoad* road = nullptr;
    for (DraftRoad& r : mDraft.roads)
        if (r.fixedFlow == fixedFlow && std::min(r.first, r.second) == std::min(a, b) &&
            std::max(r.first, r.second) == std::max(a, b) && --nth == 0) {
            road = &r;
            break;
        }
    read.adding(!road);
    if (!road) {
        mDraft.roads.push_back(DraftRoad{a, b, fixedFlow, Road{}, {}});
        road = &mDraft.roads.back();
    }
    Road& v = road->values;
    if (fixedFlow)
        return read.number(row, "fixed airflow", v.resistance, mError);
    if (!water() && !read.number(row, "resistance", v.resistance, mError))
        return false;
    if (read.given(row, "alternative resistance") &&
        !read.number(row, "alternative resistance", v.altResistance, mError))
        return false;
    if (!read.number(row, "temperature", v.temperature, mError) ||
        !read.number(row, water() ? "diameter" : "area", v.area, mError) ||
        !read.number(row, "length", v.length, mError) ||
        !read.number(row, water() ? "coefficient" : "conductivity", v.conductivity, mError))
        return false;
    const std::string name = read.text(row, "name");
    if (name.find_first_of(" \t") != std::string::npos)
        return mError = read.located(row, "name", "a road's name is one word, but the field holds \"" + name + "\""), false;
    if (int(name.size()) >= kRoadNameChars)
        return mError = read.located(row, "name", "a road's name has at most " + std::to_string(kRoadNameChars - 1) +
                                                      " characters; \"" + name + "\" has " + std::to_string(name.size())),
               false;
    if (!name.empty() || mNew)
        v.name = name;
    return true;
}

bool TablesImport::fanTable(const CsvTable& table)
{
    TableReader read(table, mNew);
    std::vector<TableColumn> columns = tableColumns(Table::Fans, mUnits, water());
    int points = 0;
    while (table.find("pressure " + std::to_string(points + 1)) >= 0)
        columns.push_back(pressureColumn(++points, mUnits));
    const auto isPressure = [](const std::string& name) { return name.rfind("pressure ", 0) == 0; };
    if (!read.columns(columns, {"inlet", "outlet"}, mError, mNotes, isPressure))
        return false;
    if (mNew && points == 0)
        return mError = table.path() + ": line 1: the column \"pressure 1 [" +
                        std::string(mUnits.pressureUnitName.view()) + "]\" is missing", false;
    int updated = 0, added = 0;
    for (const CsvTable::Row& row : table.rows()) {
        int inlet = 0, outlet = 0;
        if (!read.whole(row, "inlet", inlet, mError) || !knownNode(read, row, "inlet", inlet) ||
            !read.whole(row, "outlet", outlet, mError) || !knownNode(read, row, "outlet", outlet))
            return false;
        auto fan = std::find_if(mDraft.fans.begin(), mDraft.fans.end(),
                                [&](const DraftFan& f) { return f.inlet == inlet && f.outlet == outlet; });
        read.adding(fan == mDraft.fans.end());
        if (mNew || fan == mDraft.fans.end()) {
            mDraft.fans.push_back(DraftFan{inlet, outlet, "Fan:\n", 0, {}});
            fan = mDraft.fans.end() - 1;
            ++added;
        } else {
            ++updated;
        }
        if (read.given(row, "heading") || mNew) {
            std::string end = lowered(read.text(row, "line end"));
            if (!read.choice(row, "line end", {"lf", "crlf", "none"}, end = end.empty() ? "lf" : end, mError))
                return false;
            fan->heading = withLineEnd(read.text(row, "heading"), end);
        }
        if (!read.number(row, "airflow step", fan->flowStep, mError))
            return false;
        std::vector<float> curve;
        for (int p = 1; p <= points; ++p) {
            const std::string name = "pressure " + std::to_string(p);
            if (!read.given(row, name))
                break;
            float value = 0;
            if (!read.number(row, name, value, mError))
                return false;
            curve.push_back(value);
        }
        for (int p = int(curve.size()) + 2; p <= points; ++p)
            if (read.given(row, "pressure " + std::to_string(p)))
                return mError = read.located(row, "pressure " + std::to_string(p),
                                             "the fan's points follow one another; point " +
                                                 std::to_string(curve.size() + 1) + " is blank"), false;
        if (int(curve.size()) > kMaxFanPoints)
            return mError = read.located(row, "pressure " + std::to_string(kMaxFanPoints + 1),
                                         "a fan has at most " + std::to_string(kMaxFanPoints) + " points"), false;
        if (!curve.empty())
            fan->curve = curve;
        else if (fan->curve.empty())
            return mError = read.located(row, "pressure 1", "a fan needs at least one point"), false;
    }
    counted(std::filesystem::path(table.path()).filename().string(), updated, added, "fans");
    return true;
}

// Each road named keeps the points the table gives it, from its first node
// towards its second, in the table's order.
bool TablesImport::bendTable(const CsvTable& table)
{
    TableReader read(table, true);
    if (!read.columns(tableColumns(Table::Bends, mUnits, water()), {}, mError, mNotes))
        return false;
    std::map<DraftRoad*, std::vector<BendSlot>> points;
    std::map<DraftRoad*, bool> reversed;  // the rows name the road from its second node
    std::vector<DraftRoad*> order;
    for (const CsvTable::Row& row : table.rows()) {
        int a = 0, b = 0, point = 0;
        BendSlot slot;
        if (!read.whole(row, "from", a, mError) || !read.whole(row, "to", b, mError) ||
            !read.whole(row, "point", point, mError) || !read.number(row, "x", slot.x, mError) ||
            !read.number(row, "y", slot.y, mError) || !read.whole(row, "mark", slot.mark, mError))
            return false;
        const auto road = std::find_if(mDraft.roads.begin(), mDraft.roads.end(), [&](const DraftRoad& r) {
            return (r.first == a && r.second == b) || (r.first == b && r.second == a);
        });
        if (road == mDraft.roads.end())
            return mError = read.located(row, "from", "no road joins nodes " + pairText(a, b)), false;
        std::vector<BendSlot>& list = points[&*road];
        if (list.empty())
            order.push_back(&*road);
        if (point != int(list.size()) + 1)
            return mError = read.located(row, "point", "point " + std::to_string(list.size() + 1) + " of road " +
                                                           pairText(a, b) + " was expected, not " + std::to_string(point)), false;
        list.push_back(slot);
        reversed[&*road] = road->first != a;
    }
    for (DraftRoad* road : order) {
        road->bends = points[road];
        if (reversed[road])
            std::reverse(road->bends.begin(), road->bends.end());
    }
    mReport.push_back(std::filesystem::path(table.path()).filename().string() + ": the points of " +
                      std::to_string(order.size()) + " roads");
    return true;
}

ImportResult TablesImport::run()
{
    ImportResult result;
    const auto step = [this](const std::string& name, bool needed, bool (TablesImport::*read)(const CsvTable&)) {
        std::optional<CsvTable> table = load(name, needed);
        return table ? (this->*read)(*table) : mError.empty();
    };
    if (!step("network.csv", false, &TablesImport::networkTable) || !step("nodes.csv", mNew, &TablesImport::nodeTable) ||
        !step("roads.csv", mNew, &TablesImport::roadTable) || !step("fans.csv", false, &TablesImport::fanTable) ||
        !step("bends.csv", false, &TablesImport::bendTable)) {
        result.error = mError;
        return result;
    }
    result.ok = true;
    result.draft = std::move(mDraft);
    for (const std::string& note : mNotes)
        mReport.push_back(note);
    for (const std::string& line : mReport)
        result.report += line + "\n";
    return result;
}

}  // namespace

ImportResult importTables(const std::string& folder, const CBriscoDoc& doc, TableImport mode)
{
    return TablesImport(folder, doc, mode).run();
}

}  // namespace orvex::exchange
