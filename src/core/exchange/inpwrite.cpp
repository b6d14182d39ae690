// A water network written as an EPANET input file: flows in LPS, lengths in
// m, diameters in mm, heads in m, Hazen-Williams; every number with the
// fewest digits that read back as the network's value.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "epanet.h"
#include "inpunits.h"
#include "model/fileio.h"

namespace orvex::exchange {

namespace {

constexpr double kValveDiameter = 1000;  // mm, of the valves that hold a fixed flow
constexpr std::size_t kExamples = 5;

// The shortest text of `value` (in the file's unit) that `back` turns into
// `original` (in ORVEX's).
template <typename Back>
std::string exact(double value, float original, Back back)
{
    char text[40] = "";
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (back(std::strtod(text, nullptr)) == original && (!std::strchr(text, 'e') || std::fabs(value) < 1e-4))
            break;
    }
    return text;
}

std::string plain(float value)
{
    return exact(double(value), value, [](double v) { return float(v); });
}

// What the file cannot give exactly, by kind, with a few of the elements.
class Notes {
public:
    void add(const std::string& kind, const std::string& element) { mByKind[kind].push_back(element); }
    std::string text() const
    {
        std::string out;
        for (const auto& [kind, elements] : mByKind) {
            out += kind + ": " + std::to_string(elements.size());
            for (std::size_t i = 0; i < elements.size() && i < kExamples; ++i)
                out += (i == 0 ? " (" : ", ") + elements[i];
            out += elements.size() > kExamples ? ", ...)\n" : elements.empty() ? "\n" : ")\n";
        }
        return out;
    }

private:
    std::map<std::string, std::vector<std::string>> mByKind;
};

std::string pairText(int a, int b) { return std::to_string(a) + "-" + std::to_string(b); }

class InpWriter {
public:
    explicit InpWriter(const CBriscoDoc& doc) : mDoc(doc), mUnits(doc.app().units), mLps(litresPerSecond()) {}
    std::string text();
    std::string notes() const { return mNotes.text(); }

private:
    std::string linkId(const std::string& wanted, const std::string& fallback);
    void nodes();
    void links();
    void pumps();
    void curve(int j, const std::string& id);
    void vertices(const Road& r, const std::string& id);
    void plan();
    static void row(std::string& out, std::initializer_list<std::string> fields, const std::string& comment = {});

    const CBriscoDoc& mDoc;
    const UnitsSettings& mUnits;
    const InpUnits& mLps;
    std::string mOut, mValves, mCurves, mVertices;
    std::set<std::string> mIds;
    std::vector<std::string> mPumpIds;
    Notes mNotes;
};

void InpWriter::row(std::string& out, std::initializer_list<std::string> fields, const std::string& comment)
{
    std::string line;
    for (const std::string& field : fields)
        appendf(line, " %-15s", field.c_str());
    if (!comment.empty())
        line += " ;" + comment;
    out += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
}

// The road's name as an ID (blanks as "_"), else its nodes, made unique.
std::string InpWriter::linkId(const std::string& wanted, const std::string& fallback)
{
    std::string id;
    for (const char c : wanted)
        if (c != ';' && c != '"')
            id += (c == ' ' || c == '\t') ? '_' : c;
    if (id.empty() || mIds.count(id))
        id = fallback;
    for (int k = 2; mIds.count(id); ++k)
        id = fallback + "_" + std::to_string(k);
    mIds.insert(id);
    return id;
}

void InpWriter::nodes()
{
    const auto m = [this](double v) { return metres(v, mLps); };
    for (const bool surface : {false, true}) {
        mOut += surface ? "\n[RESERVOIRS]\n;ID              Head\n"
                        : "\n[JUNCTIONS]\n;ID              Elev            Demand\n";
        for (int i = 1; i <= mDoc.nodeCount; ++i) {
            const Node& n = mDoc.nodes[std::size_t(i)];
            if ((i <= mDoc.surfaceCount) != surface)
                continue;
            const std::string elevation = exact(double(n.elevation), n.elevation, m);
            if (surface)
                row(mOut, {std::to_string(n.number), elevation});
            else
                row(mOut, {std::to_string(n.number), elevation, "0"});
        }
    }
}

void InpWriter::links()
{
    const auto m = [this](double v) { return metres(v, mLps); };
    const auto mm = [this](double v) { return diameterMetres(v, mLps); };
    const auto lps = [this](double v) { return userFlow(v, mLps, mUnits); };
    mOut +=
        "\n[PIPES]\n;ID              Node1           Node2           Length          Diameter        "
        "Roughness       MinorLoss       Status\n";
    mValves =
        "\n[VALVES]\n;ID              Node1           Node2           Diameter        Type            "
        "Setting         MinorLoss\n";
    for (int k = 1; k <= mDoc.totalRoads(); ++k) {
        const Road& r = mDoc.roads[std::size_t(k)];
        const std::string pair = pairText(r.first, r.second);
        const std::string id = linkId(k <= mDoc.roadCount ? std::string(r.name.view()) : "", pair);
        const std::string mmText = exact(double(r.area) / mLps.diameter, r.area, mm);
        if (k > mDoc.roadCount) {
            const bool reverse = r.resistance < 0;
            const float flow = std::fabs(r.resistance);
            row(mValves, {id, std::to_string(reverse ? r.second : r.first),
                          std::to_string(reverse ? r.first : r.second), plain(float(kValveDiameter)), "FCV",
                          exact(double(flow) * mUnits.flowUnitFactor / mLps.flow, flow, lps), "0"});
            mNotes.add("fixed-flow pipes written as flow control valves (FCV), which only hold a flow down", pair);
        } else if (r.length <= 0) {
            row(mValves,
                {id, std::to_string(r.first), std::to_string(r.second), mmText, "TCV", plain(r.conductivity), "0"});
        } else {
            row(mOut, {id, std::to_string(r.first), std::to_string(r.second), exact(double(r.length), r.length, m),
                       mmText, plain(r.conductivity), "0", "Open"});
        }
        if (k <= mDoc.roadCount && r.altResistance > 0)
            mNotes.add("alternative resistances, not written", pair);
        if (k <= mDoc.roadCount && (r.area <= 0 || (r.length > 0 && r.conductivity <= 0)))
            mNotes.add("pipes without a diameter or C, which EPANET refuses", pair);
        vertices(r, id);
    }
}

// The road's bending points; their marks (a map symbol, no line) are lost.
void InpWriter::vertices(const Road& r, const std::string& id)
{
    const int s = r.bendStart;
    if (s < 1 || s >= kMaxBendSlots)
        return;
    for (int p = s + 1; p <= s + mDoc.bends[std::size_t(s)].mark && p < kMaxBendSlots; ++p) {
        const BendSlot& point = mDoc.bends[std::size_t(p)];
        row(mVertices, {id, plain(point.x), plain(point.y)});
        if (point.mark == -1 || point.mark >= 2)
            mNotes.add("bending points with a map symbol or without a line, written as plain points",
                       pairText(r.first, r.second));
    }
}

void InpWriter::pumps()
{
    mOut += "\n[PUMPS]\n;ID              Node1           Node2           Parameters\n";
    for (int j = 1; j <= mDoc.fanCount; ++j) {
        const Fan& f = mDoc.fans[std::size_t(j)];
        std::string heading(mDoc.fanHeadings[std::size_t(j)].view());
        while (!heading.empty() && (heading.back() == '\n' || heading.back() == '\r'))
            heading.pop_back();
        const std::string id = linkId("", "PU" + std::to_string(j));
        mPumpIds.push_back(id);
        if (f.points < 1 || f.flowStep <= 0) {
            mNotes.add("pumps without a curve, not written", pairText(f.inlet, f.outlet));
            continue;
        }
        row(mOut, {id, std::to_string(f.inlet), std::to_string(f.outlet), "HEAD", id}, heading);
        curve(j, id);
    }
    mOut += mValves;
}

void InpWriter::curve(int j, const std::string& id)
{
    const Fan& f = mDoc.fans[std::size_t(j)];
    const std::string pair = pairText(f.inlet, f.outlet);
    const auto lps = [this](double v) { return userFlow(v, mLps, mUnits); };
    const auto head = [this](double v) { return userPressure(v, mLps, mUnits); };
    const std::string stepText = exact(double(f.flowStep) * mUnits.flowUnitFactor / mLps.flow, f.flowStep, lps);
    const double step = std::strtod(stepText.c_str(), nullptr);
    const auto headText = [&](float p) {
        return exact(double(p) * mUnits.pressureUnitFactor / kWaterDensity, p, head);
    };
    // Three points would be read as a power curve: the midpoints keep the lines.
    const int every = f.points == 3 ? 2 : 1;
    if (f.points == 3)
        mNotes.add("pump curves of three points, written with their midpoints (EPANET fits a power curve to three)",
                   pair);
    if (f.points == 1)
        mNotes.add("pump curves of one point, which EPANET reads as a design point", pair);
    mCurves += ";PUMP: " + id + "\n";
    for (int p = 1; p <= f.points; ++p) {
        const float pressure = f.curve[std::size_t(p)];
        if (p > 1 && pressure > f.curve[std::size_t(p - 1)])
            mNotes.add("pump curves whose head rises with the flow, which EPANET refuses", pair);
        if (p > 1 && every == 2) {
            char q[32];
            std::snprintf(q, sizeof q, "%.9g", (p - 1.5) * step);
            row(mCurves, {id, q, headText((pressure + f.curve[std::size_t(p - 1)]) / 2)});
        }
        char q[32];
        std::snprintf(q, sizeof q, "%.9g", (p - 1) * step);
        row(mCurves, {id, p == 2 ? stepText : std::string(q), headText(pressure)});
    }
}

void InpWriter::plan()
{
    mOut += "\n[COORDINATES]\n;Node            X-Coord         Y-Coord\n";
    for (int i = 1; i <= mDoc.nodeCount; ++i) {
        const Node& n = mDoc.nodes[std::size_t(i)];
        row(mOut, {std::to_string(n.number), plain(n.x), plain(n.y)});
    }
    mOut += "\n[VERTICES]\n;Link            X-Coord         Y-Coord\n" + mVertices;
}

std::string InpWriter::text()
{
    const std::string first(mDoc.headings[1].view());
    std::string title = first.substr(first.find(']') == std::string::npos ? 0 : first.find(']') + 1);
    while (!title.empty() && (title.back() == '\n' || title.back() == '\r'))
        title.pop_back();
    mOut = "[TITLE]\n" + title + "\n";
    nodes();
    links();
    pumps();
    mOut += "\n[CURVES]\n;ID              X-Value         Y-Value\n" + mCurves;
    plan();
    mOut += "\n[OPTIONS]\n Units            LPS\n Headloss         H-W\n\n[END]\n";
    return mOut;
}

}  // namespace

std::string inpText(const CBriscoDoc& doc, std::string& notes)
{
    if (!doc.isWater()) {
        notes = "Only a water network (network kind -9) can be written as an EPANET file; this is an air network.\n";
        return {};
    }
    InpWriter writer(doc);
    std::string text = writer.text();
    notes = writer.notes();
    return text;
}

bool exportInp(const CBriscoDoc& doc, const std::string& path, std::string& error, std::string& notes)
{
    error.clear();
    const std::string text = inpText(doc, notes);
    if (text.empty()) {
        error = path + ": " + notes;
        error.pop_back();
        return false;
    }
    std::error_code failure;
    if (!writeFileSafely(path, text, failure)) {
        error = withReason(path + ": the EPANET file cannot be written.", failure);
        return false;
    }
    return true;
}

}  // namespace orvex::exchange
