// The network tables' writer, and the road-name file that an imported
// network's names go to.
#include "tables.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "csv.h"
#include "model/fileio.h"
#include "tablecolumns.h"

namespace orvex::exchange {

namespace {

void appendRow(std::string& out, const std::vector<std::string>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += csvField(fields[i]);
    }
    out += '\n';
}

void appendHeader(std::string& out, const std::vector<TableColumn>& columns)
{
    std::vector<std::string> fields;
    for (const TableColumn& c : columns)
        fields.push_back(c.unit.empty() ? c.name : c.name + " [" + c.unit + "]");
    appendRow(out, fields);
}

// A heading's text and its line end apart: "LF", "CRLF" or "none".
std::pair<std::string, std::string> splitLineEnd(std::string text)
{
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        return {text.substr(0, text.size() - 2), "CRLF"};
    if (!text.empty() && text.back() == '\n')
        return {text.substr(0, text.size() - 1), "LF"};
    return {text, "none"};
}

std::string networkTable(const CBriscoDoc& doc, const UnitsSettings& units)
{
    std::string out;
    appendHeader(out, tableColumns(Table::Network, units, doc.isWater()));
    for (int h = 1; h <= kGeneralHeadings; ++h) {
        const auto [text, end] = splitLineEnd(std::string(doc.headings[h].view()));
        appendRow(out, {"heading " + std::to_string(h), text, end});
    }
    appendRow(out, {"kind", std::to_string(doc.networkKind), ""});
    appendRow(out, {"surface temperature [" + kTemperatureUnit + "]", numberText(doc.surfaceTemperature), ""});
    return out;
}

std::string nodeTable(const CBriscoDoc& doc, const UnitsSettings& units)
{
    std::string out;
    appendHeader(out, tableColumns(Table::Nodes, units, doc.isWater()));
    for (int i = 1; i <= doc.nodeCount; ++i) {
        const Node& n = doc.nodes[i];
        appendRow(out, {std::to_string(n.number), i <= doc.surfaceCount ? kSurface : kUnderground,
                        numberText(n.elevation), numberText(n.x), numberText(n.y)});
    }
    return out;
}

std::string roadTable(const CBriscoDoc& doc, const UnitsSettings& units)
{
    std::string out;
    appendHeader(out, tableColumns(Table::Roads, units, doc.isWater()));
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& r = doc.roads[k];
        const std::string ends[] = {std::to_string(r.first), std::to_string(r.second)};
        if (k > doc.roadCount) {
            appendRow(out, {ends[0], ends[1], kFixedFlowRoad, "", "", "", "", "", "", "", numberText(r.resistance)});
            continue;
        }
        // A water pipe's resistance follows from its diameter, length and
        // coefficient; the network file does not keep it.
        appendRow(out, {ends[0], ends[1], kNormalRoad, doc.isWater() ? "" : numberText(r.resistance),
                        numberText(r.altResistance), numberText(r.temperature), numberText(r.area),
                        numberText(r.length), numberText(r.conductivity), r.name.str(), ""});
    }
    return out;
}

std::string fanTable(const CBriscoDoc& doc, const UnitsSettings& units)
{
    int points = 1;
    for (int j = 1; j <= doc.fanCount; ++j)
        points = std::max(points, std::clamp(doc.fans[j].points, 0, kMaxFanPoints));
    std::vector<TableColumn> columns = tableColumns(Table::Fans, units, doc.isWater());
    for (int p = 1; p <= points; ++p)
        columns.push_back(pressureColumn(p, units));
    std::string out;
    appendHeader(out, columns);
    for (int j = 1; j <= doc.fanCount; ++j) {
        const Fan& f = doc.fans[j];
        const auto [heading, end] = splitLineEnd(std::string(doc.fanHeadings[j].view()));
        std::vector<std::string> row = {std::to_string(f.inlet), std::to_string(f.outlet), heading, end,
                                        numberText(f.flowStep)};
        for (int p = 1; p <= std::clamp(f.points, 0, kMaxFanPoints); ++p)
            row.push_back(numberText(f.curve[p]));
        row.resize(columns.size());
        appendRow(out, row);
    }
    return out;
}

std::string bendTable(const CBriscoDoc& doc, const UnitsSettings& units)
{
    std::string out;
    appendHeader(out, tableColumns(Table::Bends, units, doc.isWater()));
    for (const DraftRoad& road : draftOf(doc).roads)
        for (std::size_t p = 0; p < road.bends.size(); ++p) {
            const BendSlot& b = road.bends[p];
            appendRow(out, {std::to_string(road.first), std::to_string(road.second), std::to_string(p + 1),
                            numberText(b.x), numberText(b.y), std::to_string(b.mark)});
        }
    return out;
}

}  // namespace

std::map<std::string, std::string> tableTexts(const CBriscoDoc& doc)
{
    const UnitsSettings& units = doc.app().units;
    return {{"network.csv", networkTable(doc, units)},
            {"nodes.csv", nodeTable(doc, units)},
            {"roads.csv", roadTable(doc, units)},
            {"fans.csv", fanTable(doc, units)},
            {"bends.csv", bendTable(doc, units)}};
}

bool exportTables(const CBriscoDoc& doc, const std::string& folder, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = withReason(folder + ": the folder for the tables cannot be made", ec);
        return false;
    }
    for (const auto& [name, text] : tableTexts(doc)) {
        const std::string path = (std::filesystem::path(folder) / name).string();
        if (!writeFileSafely(path, text, ec)) {
            error = withReason(path + ": cannot be written", ec);
            return false;
        }
    }
    return true;
}

std::vector<std::string> existingTables(const std::string& folder)
{
    std::vector<std::string> found;
    for (const std::string& name : kTableFiles)
        if (fileExists((std::filesystem::path(folder) / name).string()))
            found.push_back(name);
    return found;
}

}  // namespace orvex::exchange
