// Readers and writers of the files that lie beside a network file and share
// its base name: flow sensors (mcd), road names (nrd), node positions (jpd),
// bending points (apd), results (pkd) and external display values (end,
// erd); the parameters (sdt) are parameterfile.cpp's.
//
// Records name nodes by number and roads by their node pair. A record that
// names nothing in the network is dropped, never stored on another element;
// text where a number belongs stops the reader with a message naming the
// file and line, and what was read before it stays.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <vector>

#include "briscodoc.h"
#include "fileio.h"
#include "textscanner.h"

namespace orvex {

namespace {

constexpr std::size_t kLine = 98;  // the files' line buffer

// Numbers that named nothing, gathered for one message per file.
class DroppedList {
public:
    void add(const std::string& what) { mItems.push_back(what); }
    bool empty() const { return mItems.empty(); }
    std::size_t size() const { return mItems.size(); }
    std::string text(const std::string& path, const std::string& verb) const
    {
        std::ostringstream out;
        out << path << ": " << mItems.size() << " record" << (mItems.size() == 1 ? "" : "s")
            << " named nothing in the network and " << (mItems.size() == 1 ? "was" : "were")
            << " " << verb << ": " << list();
        return out.str();
    }
    // The first ten items, then "...".
    std::string list() const
    {
        std::string out;
        for (std::size_t i = 0; i < mItems.size() && i < 10; ++i)
            out += (i ? ", " : "") + mItems[i];
        if (mItems.size() > 10)
            out += ", ...";
        return out;
    }

private:
    std::vector<std::string> mItems;
};

std::string pairText(int a, int b) { return std::to_string(a) + "-" + std::to_string(b); }

}  // namespace

// --- flow sensor file ------------------------------------------------------

void CBriscoDoc::readFlowSensorFile(const std::string& base)
{
    const std::string path = existingCompanion(base, "mcd");
    std::optional<TextScanner> scanner = openReported(path, path + ":read ?", IfMissing::Silent);
    if (!scanner)
        return;
    RecordReader r(*scanner, path);
    std::string heading;
    int sensorSwitch = 0;
    if (!r.readHeading(heading, "the heading") || !r.readInt(sensorSwitch, "the sensor switch")) {
        report(r.error());
        return;
    }
    if (sensorSwitch != 1)
        return;
    report("== Flow Sensor Data Active ! ==", MessageKind::Information);
    if (!r.readHeading(heading, "the second heading") ||
        !r.readHeading(heading, "the third heading")) {
        report(r.error());
        return;
    }
    for (int k = roadCount + 1; k <= roadCount + fixedCount; ++k) {
        const std::string what = "sensor record " + std::to_string(k - roadCount);
        int a = 0, b = 0;
        float flow = 0;
        if (!r.readInt(a, "the first node of " + what) ||
            !r.readInt(b, "the second node of " + what) ||
            !r.readFloat(flow, "the airflow of " + what))
            break;
        if (nodeIndex(a) == 0 || nodeIndex(b) == 0) {
            r.fail(what + " names road " + pairText(a, b) + ", whose ends are not both in the network");
            break;
        }
        roads[k].first = a;
        roads[k].second = b;
        roads[k].resistance = flow;
    }
    if (r.failed())
        report(r.error());
}

// --- road name file --------------------------------------------------------

int CBriscoDoc::readRoadNameFile(const std::string& base)
{
    const std::string path = existingCompanion(base, "nrd");
    std::optional<TextScanner> scanner = openReported(path, path + ":read ?", IfMissing::Silent);
    if (!scanner)
        return 0;
    RecordReader r(*scanner, path);
    DroppedList dropped;
    while (!scanner->atEnd()) {
        int a = 0, b = 0;
        float ignored = 0, alternative = 0;
        if (!r.readInt(a, "the first node of a road name record") ||
            !r.readInt(b, "the second node of a road name record") ||
            !r.readFloat(ignored, "the first number of road name record " + pairText(a, b)) ||
            !r.readFloat(alternative, "the alternative resistance of road " + pairText(a, b)))
            break;
        // The name is the first word after the numbers; the rest of the line
        // is a comment. A record without a name gives the road no name.
        std::string rest;
        scanner->readRestOfLine(rest);
        std::istringstream words(rest);
        std::string name;
        words >> name;
        const int k = findRoad(a, b);
        if (k == 0) {
            dropped.add(pairText(a, b));
            continue;
        }
        roads[k].altResistance = alternative;
        roads[k].name = name;
    }
    if (r.failed())
        report(r.error());
    else if (!dropped.empty())
        report(dropped.text(path, "dropped"), MessageKind::Warning);

    if (roadCount < 1) {
        altResistanceRoads = 0;
        return 0;
    }
    altResistanceRoads = int(std::count_if(roads.begin() + 1, roads.begin() + 1 + roadCount,
                                           [](const Road& road) { return road.altResistance > 0; }));
    return altResistanceRoads;
}

int CBriscoDoc::writeRoadNameFile(const std::string& base)
{
    std::string out;
    for (int k = 1; k <= roadCount; ++k) {
        const Road& r = roads[k];
        if (!r.name.view().empty() || r.altResistance != 0)
            appendf(out, "%5d %5d %5.1f %11.7f %s\n", r.first, r.second, 0.0, double(r.altResistance),
                    r.name.str().c_str());
    }
    const std::string path = companionPath(base, "nrd");
    return writeWhole(path, out, "\nError : write ? " + path);
}

// --- node location file ----------------------------------------------------

int CBriscoDoc::readNodeLocationFile(const std::string& base)
{
    const std::string path = existingCompanion(base, "jpd");
    std::optional<TextScanner> scanner = openReported(path, "<" + path + ">:read ?");
    if (!scanner)
        return 0;
    RecordReader r(*scanner, path);
    DroppedList dropped;
    std::vector<bool> placed(std::size_t(nodeCount) + 1, false);
    int records = 0;
    while (!scanner->atEnd()) {
        int number = 0;
        float x = 0, y = 0;
        if (!r.readInt(number, "a node number") ||
            !r.readFloat(x, "the plan X of node " + std::to_string(number)) ||
            !r.readFloat(y, "the plan Y of node " + std::to_string(number)))
            break;
        ++records;
        const int i = nodeIndex(number);
        if (i == 0) {
            dropped.add("node " + std::to_string(number));
            continue;
        }
        nodes[i].x = x;
        nodes[i].y = y;
        placed[std::size_t(i)] = true;
    }
    if (r.failed())
        report(r.error());
    else if (!dropped.empty())
        report(dropped.text(path, "dropped"), MessageKind::Warning);

    // A file cut short leaves nodes where they were, most often all on one
    // point: say where the file ends and which nodes it did not place.
    DroppedList unplaced;
    for (int i = 1; i <= nodeCount; ++i)
        if (!placed[std::size_t(i)])
            unplaced.add(std::to_string(nodes[i].number));
    if (!unplaced.empty() && !r.failed())
        report(r.located("the file ends after " + std::to_string(records) + " record" +
                         (records == 1 ? "" : "s") + "; " + std::to_string(unplaced.size()) +
                         " of the " + std::to_string(nodeCount) +
                         " nodes got no position and stay where they were: " + unplaced.list()),
               MessageKind::Warning);
    return 1;
}

int CBriscoDoc::writeNodeLocationFile(const std::string& base)
{
    std::string out;
    out.reserve(32 * std::size_t(nodeCount));
    for (int i = 1; i <= nodeCount; ++i)
        appendf(out, " %4d %8.2f %8.2f \n", nodes[i].number, double(nodes[i].x), double(nodes[i].y));
    const std::string path = companionPath(base, "jpd");
    return writeWhole(path, out, "\nError : write ? " + path);
}

// --- bending point file ----------------------------------------------------

// Kept whole: it reads the file record by record, in the file's order, and
// every check needs the counts read before it.
int CBriscoDoc::readBendFile(const std::string& base)
{
    const std::string path = existingCompanion(base, "apd");
    std::optional<TextScanner> scanner = openReported(path, path + ":read ?", IfMissing::Silent);
    if (!scanner)
        return 0;

    // The store is filled anew from slot 1: no road may keep a link into it.
    for (Road& road : roads)
        road.bendStart = 0;
    RecordReader r(*scanner, path);
    int used = 0;
    while (!scanner->atEnd()) {
        int a = 0, b = 0, n = 0;
        if (!r.readInt(a, "the first node of a bending point block") ||
            !r.readInt(b, "the second node of bending point block " + pairText(a, b)) ||
            !r.readInt(n, "the number of points of bending point block " + pairText(a, b)))
            break;
        if (n < 0) {
            r.fail("bending point block " + pairText(a, b) + " has a negative number of points");
            break;
        }
        int road = 0, direction = 0;
        for (int k = 1; k <= totalRoads() && road == 0; ++k) {
            if (roads[k].first == a && roads[k].second == b)
                road = k, direction = +1;
            else if (roads[k].first == b && roads[k].second == a)
                road = k, direction = -1;
        }
        if (road == 0) {
            report("Not find branch \n" + path + ": no road joins nodes " + std::to_string(a) +
                   " and " + std::to_string(b) + "; its " + std::to_string(n) + " point" +
                   (n == 1 ? " is" : "s are") + " skipped.");
            for (int p = 1; p <= n; ++p) {
                float x = 0, y = 0;
                int mark = 0;
                if (!r.readFloat(x, "a point's X") || !r.readFloat(y, "a point's Y") ||
                    !r.readInt(mark, "a point's mark"))
                    break;
            }
            if (r.failed())
                break;
            continue;
        }
        // In 64 bits: a count near the top of int must not wrap past the check.
        const std::int64_t needed = std::int64_t(n) + 1;
        if (used + needed >= kMaxBendSlots) {
            report("No more array for branch location\n" + path + ": the store holds " +
                   std::to_string(kMaxBendSlots - 1) + " bending-point slots; " +
                   std::to_string(used) + " are taken and road " + pairText(a, b) + " needs " +
                   std::to_string(needed) + " more. The blocks from here on are not read.");
            break;
        }
        const int s = used + 1;
        int p = 1;
        for (; p <= n; ++p) {
            const std::string what = "point " + std::to_string(p) + " of road " + pairText(a, b);
            const int slot = direction > 0 ? s + p : s + n - p + 1;
            if (!r.readFloat(bends[slot].x, "the X of " + what) ||
                !r.readFloat(bends[slot].y, "the Y of " + what) ||
                !r.readInt(bends[slot].mark, "the mark of " + what))
                break;
        }
        if (p <= n)
            break;  // a broken block is not linked to its road
        roads[road].bendStart = s;
        bends[s] = BendSlot{n, 0.0f, 0.0f};
        used += n + 1;
    }
    bendUsed = used;
    if (r.failed())
        report(r.error());
    return 1;
}

int CBriscoDoc::writeBendFile(const std::string& base)
{
    std::string out;
    for (int k = 1; k <= totalRoads(); ++k) {
        const int s = roads[k].bendStart;
        if (s < 1 || s >= kMaxBendSlots)
            continue;
        const int n = std::clamp(bends[s].mark, 0, kMaxBendSlots - 1 - s);
        appendf(out, " %4d  %4d  %5d \n", roads[k].first, roads[k].second, n);
        for (int p = 1; p <= n; ++p)
            appendf(out, " %8.1f %8.1f %2d \n", double(bends[s + p].x), double(bends[s + p].y),
                    bends[s + p].mark);
    }
    const std::string path = companionPath(base, "apd");
    return writeWhole(path, out, "\nWarning : write ? " + path);
}

// --- results file ----------------------------------------------------------

// Kept whole: it reads the file record by record, in the file's order, and
// every check needs the counts read before it.
int CBriscoDoc::readResultsFile(const std::string& base)
{
    const std::string path = existingCompanion(base, "pkd");
    std::optional<TextScanner> scanner = openReported(path, path + ":read ?", IfMissing::Silent);
    if (!scanner)
        return 0;
    RecordReader r(*scanner, path);
    DroppedList dropped;
    const auto section = [&](int& count, const char* what) {
        if (!r.readInt(count, what))
            return false;
        return count >= 0 || r.fail(std::string(what) + " is negative");
    };

    int count = 0;
    if (section(count, "the number of nodes")) {
        for (int e = 1; e <= count; ++e) {
            int number = 0;
            double pressure = 0;
            if (!r.readInt(number, "a node number") ||
                !r.readDouble(pressure, "the pressure of node " + std::to_string(number)))
                break;
            if (const int i = nodeIndex(number))
                nodes[i].pressure = pressure;
            else
                dropped.add("node " + std::to_string(number));
        }
    }
    if (!r.failed() && section(count, "the number of fans")) {
        const int searched = std::min(count, fanCount);
        for (int e = 1; e <= count; ++e) {
            int a = 0, b = 0;
            float flow = 0;
            if (!r.readInt(a, "the inlet of a fan") || !r.readInt(b, "the outlet of a fan") ||
                !r.readFloat(flow, "the airflow of fan " + pairText(a, b)))
                break;
            int j = 1;
            while (j <= searched && !(fans[j].inlet == a && fans[j].outlet == b))
                ++j;
            if (j <= searched)
                fans[j].fanFlow = flow;
            else
                dropped.add("fan " + pairText(a, b));
        }
    }
    if (!r.failed() && section(count, "the number of roads")) {
        const int searched = std::min(count, roadCount);
        for (int e = 1; e <= count; ++e) {
            int a = 0, b = 0, roadClass = 0;
            float flow = 0, weight = 0;
            if (!r.readInt(a, "the first node of a road") ||
                !r.readInt(b, "the second node of a road") ||
                !r.readInt(roadClass, "the class of road " + pairText(a, b)) ||
                !r.readFloat(flow, "the airflow of road " + pairText(a, b)) ||
                !r.readFloat(weight, "the specific weight of road " + pairText(a, b)))
                break;
            int k = 1;
            while (k <= searched && !(roads[k].first == a && roads[k].second == b))
                ++k;
            if (k <= searched) {
                roads[k].roadClass = roadClass;
                roads[k].massFlow = flow;
                roads[k].density = weight;
            } else {
                dropped.add("road " + pairText(a, b));
            }
        }
    }
    // A fan's pressure is the rise from its inlet to its outlet, in the
    // display unit that a run leaves it in (node pressures are kgf/m²).
    const double unit = mApp.units.pressureUnitFactor;
    for (int j = 1; j <= fanCount; ++j) {
        const int a = nodeIndex(fans[j].inlet);
        const int b = nodeIndex(fans[j].outlet);
        fans[j].pressure = a && b && unit != 0 ? float((nodes[b].pressure - nodes[a].pressure) / unit) : 0.0f;
    }
    holdsResults = !r.failed();
    if (r.failed())
        report(r.error());
    else if (!dropped.empty())
        report(dropped.text(path, "dropped"), MessageKind::Warning);
    return 1;
}

int CBriscoDoc::writeResultsFile(const std::string& base)
{
    std::string out;
    out.reserve(24 * std::size_t(nodeCount) + 64 * std::size_t(roadCount) + 64);
    appendf(out, "%5d\n", nodeCount);
    for (int i = 1; i <= nodeCount; ++i)
        appendf(out, "%4d %14.6f\n", nodes[i].number, nodes[i].pressure);
    appendf(out, "%5d\n", fanCount);
    for (int j = 1; j <= fanCount; ++j)
        appendf(out, "%4d %4d %14.6f \n", fans[j].inlet, fans[j].outlet, double(fans[j].fanFlow));
    appendf(out, "%5d\n", roadCount);
    for (int k = 1; k <= roadCount; ++k)
        appendf(out, "%4d %4d %2d %14.6f %14.6f \n", roads[k].first, roads[k].second,
                roads[k].roadClass, double(roads[k].massFlow), double(roads[k].density));
    const std::string path = companionPath(base, "pkd");
    return writeWhole(path, out, path + "  :write ?");
}

// --- external display values -----------------------------------------------

void CBriscoDoc::readExternalNodeValues(int column)
{
    const std::string path = existingCompanion(baseName, "end");
    std::optional<TextScanner> scanner = openReported(path, "<" + path + ">:read ?");
    if (!scanner)
        return;
    RecordReader r(*scanner, path);
    skipLines(*scanner, 1, kLine);
    int columns = 0;
    if (!r.readInt(columns, "the number of columns"))
        return report(r.error());
    if (column < 1 || column > columns)
        return;
    DroppedList dropped;
    for (int e = 1; e <= nodeCount; ++e) {
        int number = 0;
        if (!r.readInt(number, "a node number"))
            break;
        for (int c = 1; c <= columns; ++c) {
            float value = 0;
            if (!r.readFloat(value, "value " + std::to_string(c) + " of node " + std::to_string(number)))
                break;
            if (c != column)
                continue;
            if (const int i = nodeIndex(number))
                nodes[i].displayValue = value;
            else
                dropped.add("node " + std::to_string(number));
        }
        if (r.failed())
            break;
    }
    if (r.failed())
        report(r.error());
    else if (!dropped.empty())
        report(dropped.text(path, "dropped"), MessageKind::Warning);
}

void CBriscoDoc::readExternalRoadValues(int column, int slot)
{
    const std::string path = existingCompanion(baseName, "erd");
    std::optional<TextScanner> scanner = openReported(path, "<" + path + ">:read ?");
    if (!scanner)
        return;
    RecordReader r(*scanner, path);
    skipLines(*scanner, 1, kLine);
    int perColumn = 0, columns = 0;
    if (!r.readInt(perColumn, "the number of values per column") ||
        !r.readInt(columns, "the number of columns"))
        return report(r.error());
    if (column < 1 || column > columns || slot < 0 || slot > 1 || perColumn < 0)
        return;
    DroppedList dropped;
    for (int e = 1; e <= roadCount && !r.failed(); ++e) {
        int a = 0, b = 0;
        if (!r.readInt(a, "the first node of a road") || !r.readInt(b, "the second node of a road"))
            break;
        const int k = findRoad(a, b);
        if (k == 0)
            dropped.add("road " + pairText(a, b));
        for (int c = 1; c <= columns && !r.failed(); ++c) {
            for (int j = 1; j <= perColumn; ++j) {
                float value = 0;
                if (!r.readFloat(value, "a value of road " + pairText(a, b)))
                    break;
                if (k != 0 && c == column && j <= 2)
                    roads[k].external[slot][j - 1] = value;
            }
        }
    }
    if (r.failed())
        report(r.error());
    else if (!dropped.empty())
        report(dropped.text(path, "dropped"), MessageKind::Warning);
}

}  // namespace orvex
