// Reader and writer of the network data file (.vad): heading lines kept as
// they stand, counts and records in free format, written back with fixed
// formats. The reader first parses the file into a staging copy and checks
// every record there; the document receives only records that passed.
//
// A record that would corrupt the arrays (a node number outside 0..1499 or
// given twice, a road or fan naming a node that is not in the network, a
// negative count, text where a number belongs) refuses the whole file and
// leaves the document as it was. A file that simply ends early loads the
// records read before its end, with "Data Input Error", as a file whose end
// line lacks the "&" does; only a file that ends before its first count is
// refused, since it holds no network at all.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "briscodoc.h"
#include "fileio.h"
#include "textcodec.h"
#include "textscanner.h"

namespace orvex {

namespace {

struct StagedFan {
    std::string heading;
    int inlet = 0, outlet = 0, points = 0;
    float flowStep = 0;
    std::vector<float> curve;
};

// What the file gave, record by record. Counts follow the records actually
// kept, so a file that ends inside a section still stages a consistent
// network; fields the file did not reach are empty.
struct StagedNetwork {
    std::array<std::string, kGeneralHeadings + 1> headings;
    int headingsRead = 0;     // headings 1..headingsRead were in the file
    int lastHeadingLine = 0;  // the line the last heading was read from
    bool counted = false;     // the file reached its first count
    std::vector<Node> nodes;  // number and elevation; surface nodes first
    int surfaceCount = 0;
    std::vector<Road> roads;  // ends and values; normal roads first
    int roadCount = 0;
    std::vector<StagedFan> fans;
    std::optional<int> kind;
    std::optional<float> elevationSwitch;
    std::optional<float> surfaceTemperature;
};

std::string describeNode(int index) { return "node record " + std::to_string(index); }

// Reads the network file's fields in order and checks them as it goes.
class NetworkParser {
public:
    NetworkParser(TextScanner& scanner, const std::string& path, Reporter& reporter)
        : r(scanner, path), mReporter(reporter)
    {
    }

    bool parse(StagedNetwork& net);
    const std::string& error() const { return r.error(); }
    // The parse stopped only because the file ended, not at a bad record.
    bool endedEarly() const { return r.endedEarly(); }
    const std::vector<std::string>& warnings() const { return mWarnings; }

private:
    bool heading(StagedNetwork& net, int number);
    bool heading(std::string& text, const std::string& what);
    bool count(int& value, const char* what);
    bool nodeSection(StagedNetwork& net, int count, int keep, bool surface);
    bool nodeEnd(int number, const char* what);
    bool roadSection(StagedNetwork& net, int normal, int keepNormal);
    bool fixedSection(StagedNetwork& net, int fixed, int keepFixed);
    bool fanSection(StagedNetwork& net, int fanTotal);
    bool kindAndTemperature(StagedNetwork& net);
    void warn(const std::string& problem) { mWarnings.push_back(r.located(problem)); }
    // Shown as soon as the count is read; the second line states the capacity.
    void capacity(const char* text, const std::string& detail)
    {
        mReporter.message(std::string(text) + "\n" + r.path() + ": " + detail, kDocumentCaption,
                          MessageKind::Error);
    }

    RecordReader r;
    Reporter& mReporter;
    std::set<int> mNumbers;
    std::vector<std::string> mWarnings;
};

// A heading holds 79 bytes with its line end; a longer one is cut between
// two characters and keeps its line end, so that the file still reads back
// the same way.
bool cutHeading(std::string& text)
{
    if (int(text.size()) <= kHeadingChars)
        return false;
    std::string end;
    if (text.back() == '\n')
        end = text.size() > 1 && text[text.size() - 2] == '\r' ? "\r\n" : "\n";
    const std::string line = text.substr(0, text.size() - end.size());
    text = line.substr(0, characterCut(line, kHeadingChars - end.size())) + end;
    return true;
}

bool NetworkParser::heading(std::string& text, const std::string& what)
{
    const int line = r.scanner().line();
    if (!r.readHeading(text, what))
        return false;
    if (cutHeading(text))
        mWarnings.push_back(r.path() + ": line " + std::to_string(line) + ": " + what +
                            " is longer than 79 characters and was cut");
    return true;
}

bool NetworkParser::heading(StagedNetwork& net, int number)
{
    const std::string& text = net.headings[number];
    if (!heading(net.headings[number], "heading line " + std::to_string(number)))
        return false;
    net.headingsRead = number;
    const int line = r.scanner().currentLine();
    net.lastHeadingLine = !text.empty() && text.back() == '\n' ? line - 1 : line;
    return true;
}

bool NetworkParser::count(int& value, const char* what)
{
    if (!r.readInt(value, what))
        return false;
    if (value < 0)
        return r.fail(std::string(what) + " is negative (" + std::to_string(value) + ")");
    return true;
}

bool NetworkParser::nodeEnd(int number, const char* what)
{
    if (mNumbers.count(number))
        return true;
    return r.fail(std::string(what) + " names node " + std::to_string(number) +
                  ", which is not in the network");
}

bool NetworkParser::nodeSection(StagedNetwork& net, int count, int keep, bool surface)
{
    for (int i = 1; i <= count; ++i) {
        const std::string what = std::string(surface ? "surface " : "underground ") + describeNode(i);
        Node node;
        if (!r.readInt(node.number, "the node number of the " + what) ||
            !r.readFloat(node.elevation, "the elevation of the " + what))
            return false;
        if (!isValidNodeNumber(node.number))
            return r.fail("node number " + std::to_string(node.number) +
                          " is outside 0..1499");
        if (i > keep)
            continue;  // beyond the capacity: read and dropped
        if (!mNumbers.insert(node.number).second)
            return r.fail("node number " + std::to_string(node.number) + " is given twice");
        net.nodes.push_back(node);
        if (surface)
            ++net.surfaceCount;
    }
    return true;
}

std::string keptText(std::int64_t given, int capacity, const char* what)
{
    return "the network holds at most " + std::to_string(capacity) + " " + what +
           "; the file gives " + std::to_string(given) + ". The first " +
           std::to_string(capacity) + " are kept, the rest is dropped.";
}

// The records of the normal roads; those past the arrays' room are read
// and dropped.
bool NetworkParser::roadSection(StagedNetwork& net, int normal, int keepNormal)
{
    for (int k = 1; k <= normal; ++k) {
        const std::string what = "road record " + std::to_string(k);
        Road road;
        if (!r.readInt(road.first, "the first node of " + what) ||
            !r.readInt(road.second, "the second node of " + what) ||
            !r.readFloat(road.resistance, "the resistance of " + what) ||
            !r.readFloat(road.temperature, "the temperature of " + what) ||
            !r.readFloat(road.area, "the area of " + what) ||
            !r.readFloat(road.length, "the length of " + what) ||
            !r.readFloat(road.conductivity, "the heat conductivity of " + what))
            return false;
        if (k > keepNormal)
            continue;
        if (!nodeEnd(road.first, what.c_str()) || !nodeEnd(road.second, what.c_str()))
            return false;
        net.roads.push_back(road);
        ++net.roadCount;
    }
    return true;
}

bool NetworkParser::fixedSection(StagedNetwork& net, int fixed, int keepFixed)
{
    for (int k = 1; k <= fixed; ++k) {
        const std::string what = "fixed-flow road record " + std::to_string(k);
        Road road;
        if (!r.readInt(road.first, "the first node of " + what) ||
            !r.readInt(road.second, "the second node of " + what) ||
            !r.readFloat(road.resistance, "the airflow of " + what))
            return false;
        if (k > keepFixed)
            continue;
        if (!nodeEnd(road.first, what.c_str()) || !nodeEnd(road.second, what.c_str()))
            return false;
        net.roads.push_back(road);
    }
    return true;
}

// Each fan: its heading, ends, curve spacing and points.
bool NetworkParser::fanSection(StagedNetwork& net, int fanTotal)
{
    for (int j = 1; j <= fanTotal; ++j) {
        const std::string what = "fan " + std::to_string(j);
        StagedFan fan;
        if (!heading(fan.heading, "the heading of " + what))
            return false;
        if (!r.readInt(fan.inlet, "the inlet node of " + what) ||
            !r.readInt(fan.outlet, "the outlet node of " + what))
            return false;
        if (j < kMaxFans && (!nodeEnd(fan.inlet, what.c_str()) || !nodeEnd(fan.outlet, what.c_str())))
            return false;
        if (!count(fan.points, ("the number of points of " + what).c_str()) ||
            !r.readFloat(fan.flowStep, "the airflow step of " + what))
            return false;
        for (int p = 1; p <= fan.points; ++p) {
            float value = 0;
            if (!r.readFloat(value, "point " + std::to_string(p) + " of " + what))
                return false;
            if (p <= kMaxFanPoints)
                fan.curve.push_back(value);
        }
        if (fan.points > kMaxFanPoints) {
            warn(what + " has " + std::to_string(fan.points) +
                 " characteristic points; the first 30 are kept");
            fan.points = kMaxFanPoints;
        }
        if (j < kMaxFans)
            net.fans.push_back(std::move(fan));
    }
    return true;
}

bool NetworkParser::parse(StagedNetwork& net)
{
    if (!heading(net, 1) || !heading(net, 2) || !heading(net, 3))
        return false;

    int surface = 0;
    if (!count(surface, "the number of surface nodes"))
        return false;
    net.counted = true;
    if (surface >= kMaxNodes)
        capacity("Error : Node number over", keptText(surface, kMaxNodes - 1, "nodes"));
    const int keepSurface = std::min(surface, kMaxNodes - 1);
    if (!nodeSection(net, surface, keepSurface, true))
        return false;

    int underground = 0;
    if (!heading(net, 4) || !count(underground, "the number of underground nodes"))
        return false;
    // Sums in 64 bits: counts near the top of int must not wrap past the checks.
    const std::int64_t nodesGiven = std::int64_t(surface) + underground;
    if (nodesGiven >= kMaxNodes)
        capacity("Error : Node number over",
                 keptText(nodesGiven, kMaxNodes - 1, "nodes, surface and underground together"));
    const int keepUnderground = std::min(underground, kMaxNodes - 1 - keepSurface);
    if (!nodeSection(net, underground, keepUnderground, false))
        return false;

    int normal = 0;
    if (!heading(net, 5) || !count(normal, "the number of roads"))
        return false;
    if (normal >= kMaxRoads)
        capacity("Error : Branch number over", keptText(normal, kMaxRoads - 1, "roads"));
    const int keepNormal = std::min(normal, kMaxRoads - 1);
    if (!roadSection(net, normal, keepNormal))
        return false;

    int fixed = 0;
    if (!heading(net, 6) || !count(fixed, "the number of fixed-flow roads"))
        return false;
    const std::int64_t roadsGiven = std::int64_t(normal) + fixed;
    if (roadsGiven >= kMaxRoads)
        capacity("Error : Branch number over",
                 keptText(roadsGiven, kMaxRoads - 1, "roads, normal and fixed-flow together"));
    const int keepFixed = std::min(fixed, kMaxRoads - 1 - keepNormal);
    if (!fixedSection(net, fixed, keepFixed))
        return false;

    int fanTotal = 0;
    if (!heading(net, 7) || !count(fanTotal, "the number of fans"))
        return false;
    if (fanTotal >= kMaxFans)
        capacity("Error : Fan number over", keptText(fanTotal, kMaxFans - 1, "fans"));
    if (!fanSection(net, fanTotal))
        return false;
    return kindAndTemperature(net);
}

// The network's kind, its elevation switch, the surface temperature and
// the closing heading.
bool NetworkParser::kindAndTemperature(StagedNetwork& net)
{
    int kind = 0;
    float ignored = 0, elevationSwitch = 0, surfaceTemperature = 0;
    if (!heading(net, 8) || !r.readInt(kind, "the network kind"))
        return false;
    net.kind = kind;
    if (!r.readFloat(ignored, "the second number of the network kind line") ||
        !r.readFloat(elevationSwitch, "the elevation switch"))
        return false;
    net.elevationSwitch = elevationSwitch;
    if (!heading(net, 9) || !r.readFloat(surfaceTemperature, "the surface temperature"))
        return false;
    net.surfaceTemperature = surfaceTemperature;
    return heading(net, 10);
}

// A heading as a message quotes it: without its line end.
std::string headingText(const std::string& heading)
{
    return heading.substr(0, heading.find_first_of("\r\n"));
}

void appendHeading(std::string& out, const FixedText<kHeadingChars>& heading)
{
    out.append(heading.view());
}

void appendNodes(std::string& out, const CBriscoDoc& doc, int from, int to)
{
    for (int i = from; i <= to; ++i) {
        appendf(out, "%5d %7.1f  ", doc.nodes[i].number, double(doc.nodes[i].elevation));
        if ((i - from + 1) % 5 == 0 || i == to)
            out += '\n';
    }
}

}  // namespace

namespace {

// Stores what was read; what the file did not reach keeps its value.
void storeNetwork(CBriscoDoc& doc, StagedNetwork& net)
{
    for (int h = 1; h <= net.headingsRead; ++h)
        doc.headings[h] = net.headings[h];
    doc.surfaceCount = net.surfaceCount;
    doc.undergroundCount = int(net.nodes.size()) - net.surfaceCount;
    doc.nodeCount = doc.surfaceCount + doc.undergroundCount;
    for (int i = 1; i <= int(net.nodes.size()); ++i) {
        doc.nodes[i].number = net.nodes[i - 1].number;
        doc.nodes[i].elevation = net.nodes[i - 1].elevation;
    }
    doc.roadCount = net.roadCount;
    doc.fixedCount = int(net.roads.size()) - net.roadCount;
    for (int k = 1; k <= int(net.roads.size()); ++k) {
        const Road& in = net.roads[k - 1];
        Road& road = doc.roads[k];
        road.first = in.first;
        road.second = in.second;
        road.resistance = in.resistance;
        if (k <= doc.roadCount) {
            road.temperature = in.temperature;
            road.area = in.area;
            road.length = in.length;
            road.conductivity = in.conductivity;
        }
    }
    doc.fanCount = int(net.fans.size());
    for (int j = 1; j <= doc.fanCount; ++j) {
        StagedFan& in = net.fans[j - 1];
        Fan& fan = doc.fans[j];
        doc.fanHeadings[j] = in.heading;
        fan.inlet = in.inlet;
        fan.outlet = in.outlet;
        fan.points = in.points;
        fan.flowStep = in.flowStep;
        for (int p = 1; p <= in.points; ++p)
            fan.curve[p] = in.curve[p - 1];
    }
    for (int j = doc.fanCount + 1; j <= kMaxFans; ++j)
        doc.fanHeadings[j] = "Fan:\n";
    if (net.kind)
        doc.networkKind = *net.kind;
    if (net.surfaceTemperature)
        doc.surfaceTemperature = *net.surfaceTemperature;
    if (net.elevationSwitch && *net.elevationSwitch < -99.0f)
        for (int i = 1; i <= doc.nodeCount; ++i)
            doc.nodes[i].elevation = 0;
}

}  // namespace

int CBriscoDoc::readNetworkFile(const std::string& path, bool setWindowTitle)
{
    std::optional<TextScanner> scanner = openReported(path, path + ":read ?");
    if (!scanner)
        return 0;

    StagedNetwork net;
    NetworkParser parser(*scanner, path, *mReporter);
    const bool whole = parser.parse(net);
    const bool cut = !whole && parser.endedEarly() && net.counted;
    if (!whole && !cut) {
        report(parser.error() + "\nThe network was not read.");
        return 0;
    }

    storeNetwork(*this, net);
    holdsResults = false;

    // The title is what follows the first "]" of the first line.
    const std::string& first = net.headings[1];
    const std::size_t bracket = first.find(']');
    title = bracket == std::string::npos ? first : first.substr(bracket + 1);
    if (setWindowTitle)
        windowTitle = title;

    if (!parser.warnings().empty()) {
        std::string text;
        for (const std::string& w : parser.warnings())
            text += w + "\n";
        report(text, MessageKind::Warning);
    }
    if (cut)
        report("Data Input Error\n" + parser.error() + "\nThe network holds what was read before it: " +
               std::to_string(nodeCount) + " nodes, " + std::to_string(roadCount) + " roads, " +
               std::to_string(fixedCount) + " fixed-flow roads and " + std::to_string(fanCount) +
               " fans.");
    else if (net.headings[10].find('&') == std::string::npos)
        report("Data Input Error\n" + path + ": line " + std::to_string(net.lastHeadingLine) +
               ": the last heading line, which ends the network, was expected to hold \"&\" "
               "(as in \"end &\"), but the file holds \"" + headingText(net.headings[10]) +
               "\". The network is read all the same.");

    if (isWater()) {
        title = kWaterTitle;
        windowTitle = kWaterTitle;
        density = kWaterDensity;
    } else {
        density = kAirDensity;
    }
    specificWeight = mApp.units.flowUnitFactor * density;
    rebuildAdjacency();
    return 1;
}

int CBriscoDoc::writeNetworkFile(const std::string& path)
{
    std::string out;
    out.reserve(256 + 64 * std::size_t(nodeCount + totalRoads()) + 1200 * std::size_t(fanCount));
    appendHeading(out, headings[1]);
    appendHeading(out, headings[2]);
    appendHeading(out, headings[3]);
    appendf(out, "%6d \n", surfaceCount);
    appendNodes(out, *this, 1, surfaceCount);
    appendHeading(out, headings[4]);
    appendf(out, "%6d \n", undergroundCount);
    appendNodes(out, *this, surfaceCount + 1, surfaceCount + undergroundCount);
    appendHeading(out, headings[5]);
    appendf(out, "%6d \n", roadCount);
    for (int k = 1; k <= roadCount; ++k) {
        const Road& road = roads[k];
        appendf(out, "%5d %5d ", road.first, road.second);
        appendf(out, "%13.7f ", isWater() ? 0.0 : double(road.resistance));
        appendf(out, "%5.1f ", double(road.temperature));
        appendf(out, "%9.5f %7.1f %6.2f\n", double(road.area), double(road.length),
                double(road.conductivity));
    }
    appendHeading(out, headings[6]);
    appendf(out, "%6d \n", fixedCount);
    for (int k = roadCount + 1; k <= roadCount + fixedCount; ++k) {
        appendf(out, "%5d %5d %13.7f    ", roads[k].first, roads[k].second,
                double(roads[k].resistance));
        if ((k - roadCount) % 3 == 0 || k == roadCount + fixedCount)
            out += '\n';
    }
    appendHeading(out, headings[7]);
    appendf(out, "%6d \n", fanCount);
    for (int j = 1; j <= fanCount; ++j) {
        const Fan& fan = fans[j];
        appendHeading(out, fanHeadings[j]);
        appendf(out, "%4d %4d\n", fan.inlet, fan.outlet);
        appendf(out, "%4d %11.5f\n", fan.points, double(fan.flowStep));
        for (int p = 1; p <= fan.points; ++p) {
            appendf(out, "%7.2f ", double(fan.curve[p]));
            if (p % 8 == 0 || p == fan.points)
                out += '\n';
        }
    }
    appendHeading(out, headings[8]);
    appendf(out, "%4d   %10.1f   %10.1f\n", networkKind, 0.0, 0.0);
    appendHeading(out, headings[9]);
    appendf(out, "%7.1f\n", double(surfaceTemperature));
    appendHeading(out, headings[10]);

    return writeWhole(path, out, path + "  :write ?");
}

}  // namespace orvex
