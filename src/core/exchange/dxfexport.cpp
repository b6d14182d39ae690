#include "dxfexport.h"

#include <dl_dxf.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/fileio.h"

namespace orvex::exchange {

namespace {

// The library's DXF writer, writing into a string instead of a file, so that
// the file can be written whole or not at all.
class TextWriter : public DL_WriterA {
public:
    TextWriter() : DL_WriterA("", DL_Codes::AC1009) {}

    void dxfReal(int gc, double value) const override
    {
        std::string number;
        appendf(number, "%.6f", value);
        number.erase(number.find_last_not_of('0') + 1);
        if (number.back() == '.')
            number.push_back('0');
        dxfString(gc, number);
    }
    void dxfInt(int gc, int value) const override { appendf(text, "%3d\n%6d\n", gc, value); }
    void dxfHex(int gc, int value) const override { appendf(text, "%3d\n%X\n", gc, unsigned(value)); }
    void dxfString(int gc, const char* value) const override { appendf(text, "%3d\n%s\n", gc, value); }
    void dxfString(int gc, const std::string& value) const override { dxfString(gc, value.c_str()); }

    mutable std::string text;
};

struct Point {
    double x, y, z;
};

// A road's run from its first node to its second through its bending points,
// which take elevations in proportion to the plan distance along the road.
std::vector<Point> roadRun(const CBriscoDoc& doc, const Road& road)
{
    const Node& a = doc.nodes[std::size_t(doc.nodeIndex(road.first))];
    const Node& b = doc.nodes[std::size_t(doc.nodeIndex(road.second))];
    std::vector<Point> run{{a.x, a.y, a.elevation}};
    const int s = road.bendStart;
    if (s >= 1 && s < kMaxBendSlots)
        for (int p = 1; p <= std::clamp(doc.bends[s].mark, 0, kMaxBendSlots - 1 - s); ++p)
            run.push_back({doc.bends[s + p].x, doc.bends[s + p].y, 0});
    run.push_back({b.x, b.y, b.elevation});
    std::vector<double> along(run.size(), 0);
    for (std::size_t i = 1; i < run.size(); ++i)
        along[i] = along[i - 1] + std::hypot(run[i].x - run[i - 1].x, run[i].y - run[i - 1].y);
    for (std::size_t i = 1; i + 1 < run.size(); ++i)
        run[i].z = a.elevation + (b.elevation - a.elevation) * (along.back() > 0 ? along[i] / along.back() : 0.5);
    return run;
}

class PlanWriter {
public:
    explicit PlanWriter(const CBriscoDoc& doc) : mDoc(doc)
    {
        // The library takes the version of what it writes from the opening
        // of a file; a file of no name is not opened, and sets it.
        delete mDxf.out("", DL_Codes::AC1009);
    }

    std::string write();

private:
    void tables();
    void roads();
    void nodes();
    void fans();
    void text(const char* layer, double x, double y, const std::string& value);
    void polyline(const char* layer, const std::vector<Point>& run);
    DL_Attributes on(const char* layer) const { return DL_Attributes(layer, 256, -1, "BYLAYER", 1.0); }

    const CBriscoDoc& mDoc;
    DL_Dxf mDxf;
    TextWriter mOut;
    double mHeight = 1;  // text height, m
};

void PlanWriter::tables()
{
    mDxf.writeHeader(mOut);
    mOut.sectionEnd();
    mOut.sectionTables();
    mOut.tableLinetypes(1);
    mDxf.writeLinetype(mOut, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    mOut.tableEnd();
    const std::pair<const char*, int> layers[] = {{kDxfRoadLayer, 3},       {kDxfFixedFlowLayer, 5},
                                                  {kDxfNodeLayer, 7},       {kDxfFanLayer, 1},
                                                  {kDxfNodeNumberLayer, 2}, {kDxfRoadNameLayer, 4}};
    mOut.tableLayers(int(std::size(layers)));
    for (const auto& [name, colour] : layers)
        mDxf.writeLayer(mOut, DL_LayerData(name, 0), DL_Attributes("", colour, -1, "CONTINUOUS", 1.0));
    mOut.tableEnd();
    mOut.sectionEnd();
}

void PlanWriter::polyline(const char* layer, const std::vector<Point>& run)
{
    mDxf.writePolyline(mOut, DL_PolylineData(int(run.size()), 0, 0, 8), on(layer));
    for (const Point& p : run) {
        mDxf.writeVertex(mOut, DL_VertexData(p.x, p.y, p.z));
        mOut.dxfInt(70, 32);  // a vertex of a 3D polyline
    }
    mDxf.writePolylineEnd(mOut);
}

void PlanWriter::text(const char* layer, double x, double y, const std::string& value)
{
    mDxf.writeText(mOut, DL_TextData(x, y, 0, x, y, 0, mHeight, 1, 0, 0, 0, value, "STANDARD", 0), on(layer));
}

void PlanWriter::roads()
{
    for (int k = 1; k <= mDoc.totalRoads(); ++k) {
        const Road& road = mDoc.roads[k];
        if (mDoc.nodeIndex(road.first) == 0 || mDoc.nodeIndex(road.second) == 0)
            continue;
        const std::vector<Point> run = roadRun(mDoc, road);
        polyline(k <= mDoc.roadCount ? kDxfRoadLayer : kDxfFixedFlowLayer, run);
        const std::string name(road.name.view());
        if (k <= mDoc.roadCount && name.find_first_not_of(' ') != std::string::npos) {
            const Point& a = run[(run.size() - 2) / 2];  // the middle segment
            const Point& b = run[(run.size() - 2) / 2 + 1];
            text(kDxfRoadNameLayer, (a.x + b.x) / 2, (a.y + b.y) / 2, name);
        }
    }
}

void PlanWriter::nodes()
{
    for (int i = 1; i <= mDoc.nodeCount; ++i) {
        const Node& n = mDoc.nodes[i];
        mDxf.writePoint(mOut, DL_PointData(n.x, n.y, n.elevation), on(kDxfNodeLayer));
        text(kDxfNodeNumberLayer, n.x + mHeight / 2, n.y + mHeight / 2, std::to_string(n.number));
    }
}

void PlanWriter::fans()
{
    for (int j = 1; j <= mDoc.fanCount; ++j) {
        const int in = mDoc.nodeIndex(mDoc.fans[j].inlet), out = mDoc.nodeIndex(mDoc.fans[j].outlet);
        if (in == 0 || out == 0)
            continue;
        const Node& a = mDoc.nodes[std::size_t(in)];
        const Node& b = mDoc.nodes[std::size_t(out)];
        polyline(kDxfFanLayer, {{a.x, a.y, a.elevation}, {b.x, b.y, b.elevation}});
        mDxf.writeCircle(mOut, DL_CircleData((a.x + b.x) / 2.0, (a.y + b.y) / 2.0, (a.elevation + b.elevation) / 2.0,
                                             mHeight),
                         on(kDxfFanLayer));
    }
}

std::string PlanWriter::write()
{
    double low[2] = {0, 0}, high[2] = {0, 0};
    for (int i = 1; i <= mDoc.nodeCount; ++i) {
        const Node& n = mDoc.nodes[i];
        low[0] = i == 1 ? n.x : std::min(low[0], double(n.x));
        low[1] = i == 1 ? n.y : std::min(low[1], double(n.y));
        high[0] = i == 1 ? n.x : std::max(high[0], double(n.x));
        high[1] = i == 1 ? n.y : std::max(high[1], double(n.y));
    }
    mHeight = std::clamp(std::hypot(high[0] - low[0], high[1] - low[1]) / 250, 0.5, 20.0);
    tables();
    mOut.sectionEntities();
    roads();
    fans();
    nodes();
    mOut.sectionEnd();
    mOut.dxfEOF();
    return mOut.text;
}

}  // namespace

bool exportDxf(const CBriscoDoc& doc, const std::string& path, std::string& error)
{
    const std::string text = PlanWriter(doc).write();
    std::error_code failure;
    if (!writeFileSafely(path, text, failure)) {
        error = withReason(path + ": the drawing cannot be written", failure);
        return false;
    }
    error.clear();
    return true;
}

}  // namespace orvex::exchange
