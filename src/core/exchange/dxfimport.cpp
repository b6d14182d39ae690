#include "dxfimport.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "dxfnetwork.h"
#include "dxfread.h"
#include "model/fileio.h"
#include "model/physics.h"

namespace orvex::exchange {

namespace {

using dxf::DrawnLine;
using dxf::sameLayer;

// Farther from the origin than this no mine plan in metres lies (a UTM
// northing stays below 1e7 m); such a coordinate is a damaged or unscaled
// drawing, and would lose every metre in the network's positions.
constexpr double kFarthest = 1e7;

std::string number(double value)
{
    std::string text;
    appendf(text, "%.6g", value);
    return text;
}

std::string plural(int count, const std::string& one, const std::string& many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "none" : text;
}

// The layers of the drawing's lines, each under its name in capitals, with
// its name as first met and its count of lines.
std::map<std::string, std::pair<std::string, int>> lineCounts(const dxf::Drawing& drawing)
{
    std::map<std::string, std::pair<std::string, int>> layers;
    for (const DrawnLine& line : drawing.lines) {
        std::string key = line.layer;
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::toupper(c)); });
        ++layers.try_emplace(key, line.layer, 0).first->second.second;
    }
    return layers;
}

// The distinct layers of the drawing's lines, sorted.
std::vector<std::string> lineLayers(const dxf::Drawing& drawing)
{
    std::vector<std::string> layers;
    for (const auto& [key, layer] : lineCounts(drawing))
        layers.push_back(layer.first);
    std::sort(layers.begin(), layers.end());
    return layers;
}

bool chosen(const DxfImportOptions& options, const std::string& layer)
{
    return options.layers.empty() ||
           std::any_of(options.layers.begin(), options.layers.end(), [&](auto& l) { return sameLayer(l, layer); });
}

// The lines of the chosen layers, or what is wrong with the choice.
std::string chooseLines(const dxf::Drawing& drawing, const DxfImportOptions& options,
                        std::vector<const DrawnLine*>& lines)
{
    const std::vector<std::string> layers = lineLayers(drawing);
    for (const std::string& asked : options.layers) {
        const auto has = [&](const std::string& l) { return sameLayer(l, asked); };
        if (std::none_of(layers.begin(), layers.end(), has) &&
            std::none_of(drawing.layers.begin(), drawing.layers.end(), has))
            return "the drawing has no layer \"" + asked + "\" (its layers with lines: " + joined(layers) + ")";
    }
    for (const DrawnLine& line : drawing.lines) {
        if (!chosen(options, line.layer))
            continue;
        for (const dxf::Point3& p : line.points)
            if (!(std::fabs(p.x) <= kFarthest && std::fabs(p.y) <= kFarthest && std::fabs(p.z) <= kFarthest))
                return "line " + std::to_string(line.line) + ": the " + line.type + " on layer " + line.layer +
                       " has a point at (" + number(p.x) + ", " + number(p.y) + ", " + number(p.z) +
                       "), farther than 1e7 m from the origin: the drawing is refused";
        lines.push_back(&line);
    }
    if (lines.empty())
        return "no lines or polylines on " +
               (options.layers.empty() ? std::string("any layer") : "the layers " + joined(options.layers));
    return {};
}

// Atkinson's resistance of a road, or the given resistance per metre, in the
// units file's resistance unit.
float resistance(double length, const RoadDefaults& defaults, const UnitsSettings& units)
{
    if (defaults.resistancePerMetre)
        return float(*defaults.resistancePerMetre * length);
    const double atkinson = defaults.frictionFactor * defaults.perimeter * length / std::pow(defaults.area, 3);
    return float(atkinson / kPascalPerKgfM2 / units.resistanceUnitFactor);
}

void applyDefaults(NetworkDraft& draft, const RoadDefaults& defaults, const UnitsSettings& units)
{
    for (DraftRoad& road : draft.roads) {
        road.values.resistance = resistance(road.values.length, defaults, units);
        road.values.area = float(defaults.area);
        road.values.temperature = float(defaults.temperature);
        road.values.conductivity = float(defaults.conductivity);
    }
}

std::string unusedText(const dxf::Drawing& drawing)
{
    std::string text;
    for (const auto& [type, count] : drawing.unused)
        text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + type;
    if (drawing.paperSpace > 0)
        text += (text.empty() ? "" : ", ") + std::to_string(drawing.paperSpace) + " lines in paper space";
    if (drawing.meshes > 0)
        text += (text.empty() ? "" : ", ") + plural(drawing.meshes, "mesh", "meshes");
    return text;
}

std::string notChosenText(const dxf::Drawing& drawing, const DxfImportOptions& options)
{
    std::string text;
    for (const auto& [key, layer] : lineCounts(drawing))
        if (!chosen(options, layer.first))
            text += (text.empty() ? "" : ", ") + layer.first + " (" + plural(layer.second, "line", "lines") + ")";
    return text;
}

std::string report(const std::string& path, const dxf::Drawing& drawing, const DxfImportOptions& options,
                   std::size_t used, const NetworkDraft& draft, const dxf::BuildCounts& c)
{
    const int surface = int(std::count_if(draft.nodes.begin(), draft.nodes.end(), [](auto& n) { return n.surface; }));
    std::string text = "Read " + path + ": " + plural(int(used), "line or polyline", "lines and polylines") +
                       " on " + (options.layers.empty() ? std::string("every layer") : joined(options.layers)) +
                       ", snap " + number(options.snap) + " m.\n";
    text += "Network: " + plural(int(draft.nodes.size()), "node", "nodes") + " (" + std::to_string(surface) +
            " on the surface), " + plural(int(draft.roads.size()), "road", "roads") + ", " +
            plural(c.bends, "bending point", "bending points") + ".\n";
    if (surface == 0)
        text += "No surface node: no open end lies above every junction; mark the surface nodes by hand.\n";
    text += "Snapped: " + plural(c.snapped, "end", "ends") + " joined a node, the farthest " +
            number(c.largestMove) + " m away.\n";
    text += "Split: " + plural(c.splitLines, "airway", "airways") + " at " +
            plural(c.splitVertices, "point", "points") + " where other airways end, " + std::to_string(c.onSegments) +
            " of them between two vertices.\n";
    text += "Dropped: " + plural(c.zeroLength, "zero-length segment", "zero-length segments") + ", " +
            plural(c.duplicates, "duplicate", "duplicates") + ", " + plural(c.loops, "loop", "loops") + ".\n";
    if (!c.parts.empty()) {
        text += "Not joined: " + plural(int(c.parts.size()), "part is", "parts are") + " not joined to the rest:";
        const std::size_t shown = std::min<std::size_t>(c.parts.size(), 10);
        for (std::size_t p = 0; p < shown; ++p)
            text += " " + plural(c.parts[p].first, "road", "roads") + " at node " + std::to_string(c.parts[p].second) + ";";
        text.back() = '.';
        if (shown < c.parts.size())
            text += " And " + std::to_string(c.parts.size() - shown) + " more.";
        text += "\n";
    }
    if (std::string unused = unusedText(drawing); !unused.empty())
        text += "Not used: " + unused + ".\n";
    if (std::string layers = notChosenText(drawing, options); !layers.empty())
        text += "Layers not chosen: " + layers + ".\n";
    std::vector<std::string> empty;
    for (const std::string& asked : options.layers)
        if (std::none_of(drawing.lines.begin(), drawing.lines.end(), [&](auto& l) { return sameLayer(l.layer, asked); }))
            empty.push_back(asked);
    if (!empty.empty())
        text += "Chosen layers without lines: " + joined(empty) + ".\n";
    if (c.straightened > 0)
        text += "Straight: " + plural(c.straightened, "road is", "roads are") +
                " kept straight, the network's room for bending points is full.\n";
    if (c.leftOutRoads > 0)
        text += "Left out: the network is full; " + plural(c.leftOutRoads, "road", "roads") + " (" +
                plural(c.leftOutLines, "line", "lines") + " of the drawing from file line " +
                std::to_string(c.firstLeftOutLine) + " on, on " + joined(c.leftOutLayers) + ") are not in it.\n";
    return text;
}

std::string checkOptions(const DxfImportOptions& options, const UnitsSettings& units)
{
    if (!(options.snap > 1e-6 && options.snap <= 1000))
        return "the snap distance " + number(options.snap) + " m is not between 0.000001 and 1000 m";
    if (!(std::fabs(options.depthShiftX) <= 100 && std::fabs(options.depthShiftY) <= 100))
        return "the levels' shift on the plan, " + number(options.depthShiftX) + ", " + number(options.depthShiftY) +
               " m per metre of depth, is not between -100 and 100";
    const RoadDefaults& d = options.defaults;
    if (!d.resistancePerMetre && !(d.area > 0 && d.perimeter > 0 && d.frictionFactor > 0))
        return "the area, perimeter and friction factor must be above 0";
    if (!d.resistancePerMetre && !(units.resistanceUnitFactor > 0))
        return "the units file gives no resistance unit";
    return {};
}

// One "key = value" line into the defaults; what is wrong, or empty.
std::string defaultLine(const std::string& line, RoadDefaults& d)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return "\"" + line + "\" is not \"key = value\"";
    const auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(" \t\r"));
        s.erase(s.find_last_not_of(" \t\r") + 1);
        return s;
    };
    const std::string key = trim(line.substr(0, eq)), text = trim(line.substr(eq + 1));
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value))
        return "\"" + text + "\" is not a number";
    struct Key {
        const char* name;
        double* target;
        bool positive;
    };
    double perMetre = 0;
    const Key keys[] = {{"resistance_per_metre", &perMetre, false}, {"area", &d.area, true},
                        {"perimeter", &d.perimeter, true},          {"friction_factor", &d.frictionFactor, true},
                        {"temperature", &d.temperature, false},     {"conductivity", &d.conductivity, false}};
    for (const Key& k : keys) {
        if (key != k.name)
            continue;
        if (k.positive ? value <= 0 : (value < 0 && k.target != &d.temperature))
            return key + " must be above 0";
        *k.target = value;
        if (k.target == &perMetre)
            d.resistancePerMetre = value;
        return {};
    }
    return "unknown key \"" + key +
           "\" (keys: resistance_per_metre, area, perimeter, friction_factor, temperature, conductivity)";
}

}  // namespace

std::string readRoadDefaults(const std::string& path, RoadDefaults& defaults)
{
    std::string text;
    std::error_code failure;
    if (!readWholeFile(path, text, failure))
        return withReason(path + ": the road defaults cannot be read", failure);
    RoadDefaults read = defaults;
    std::size_t start = 0;
    for (int line = 1; start < text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string content = text.substr(start, end - start);
        start = end + 1;
        content.erase(std::min(content.find('#'), content.size()));
        if (content.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        if (std::string problem = defaultLine(content, read); !problem.empty())
            return path + ": line " + std::to_string(line) + ": " + problem;
    }
    defaults = read;
    return {};
}

std::vector<std::string> dxfLayers(const std::string& path, std::string& error)
{
    dxf::Drawing drawing;
    if (!dxf::readDrawing(path, drawing, error))
        return {};
    error.clear();
    return lineLayers(drawing);
}

ImportResult importDxf(const std::string& path, const DxfImportOptions& options, const UnitsSettings& units)
{
    ImportResult result;
    if (std::string problem = checkOptions(options, units); !problem.empty()) {
        result.error = path + ": " + problem;
        return result;
    }
    dxf::Drawing drawing;
    if (!dxf::readDrawing(path, drawing, result.error))
        return result;
    std::vector<const DrawnLine*> lines;
    if (std::string problem = chooseLines(drawing, options, lines); !problem.empty()) {
        result.error = path + ": " + problem;
        return result;
    }
    dxf::BuildCounts counts;
    result.draft = dxf::buildNetwork(lines, options.snap, DraftRoom{}, counts);
    if (result.draft.roads.empty()) {
        result.error = path + ": the lines on the chosen layers make no road (all shorter than the snap distance)";
        return result;
    }
    result.draft.kind = 0;
    // A drawing has no heading lines of its own: the network takes the file's name.
    result.draft.headings[1] = "[ORVEX network]" + std::filesystem::path(path).stem().string() + "\n";
    applyDefaults(result.draft, options.defaults, units);
    shiftByDepth(result.draft, options.depthShiftX, options.depthShiftY);
    result.report = report(path, drawing, options, lines.size(), result.draft, counts);
    result.ok = true;
    return result;
}

}  // namespace orvex::exchange
