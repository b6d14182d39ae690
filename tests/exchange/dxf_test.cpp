// DXF drawings into networks and networks into drawings: drawings written by
// an independent writer (tests/data/dxf/generate.py) and by hand, the
// report's counts, the defaults, bad files and the network's room.
#include <gtest/gtest.h>

#include <cmath>

#include "exchange/dxfexport.h"
#include "exchange/dxfimport.h"
#include "support/support.h"

namespace orvex::exchange {
namespace {

using test::SampleNetwork;
using test::TempFolder;

const std::string kDxfDir = test::kSourceDir + "/tests/data/dxf/";

UnitsSettings shippedUnits()
{
    UnitsSettings units;
    test::RecordingReporter reporter;
    readUnitsFile(test::kSourceDir, units, reporter);
    return units;
}

ImportResult import(const std::string& path, std::vector<std::string> layers = {}, RoadDefaults defaults = {})
{
    DxfImportOptions options;
    options.layers = std::move(layers);
    options.defaults = defaults;
    return importDxf(path, options, shippedUnits());
}

const DraftNode* nodeAt(const NetworkDraft& d, double x, double y, double z)
{
    for (const DraftNode& n : d.nodes)
        if (std::fabs(n.x - x) < 0.01 && std::fabs(n.y - y) < 0.01 && std::fabs(n.elevation - z) < 0.01)
            return &n;
    return nullptr;
}

const DraftRoad* road(const NetworkDraft& d, const DraftNode* a, const DraftNode* b)
{
    for (const DraftRoad& r : d.roads)
        if (a && b && std::minmax(r.first, r.second) == std::minmax(a->number, b->number))
            return &r;
    return nullptr;
}

// A square grid of n x n nodes 10 m apart, joined by LINEs along both axes.
std::string gridDrawing(int n)
{
    std::string text = "0\nSECTION\n2\nENTITIES\n";
    const auto line = [&text](int x1, int y1, int x2, int y2) {
        text += "0\nLINE\n8\nGRID\n10\n" + std::to_string(x1) + "\n20\n" + std::to_string(y1) + "\n30\n0\n11\n" +
                std::to_string(x2) + "\n21\n" + std::to_string(y2) + "\n31\n0\n";
    };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j + 1 < n; ++j) {
            line(10 * j, 10 * i, 10 * j + 10, 10 * i);
            line(10 * i, 10 * j, 10 * i, 10 * j + 10);
        }
    return text + "0\nENDSEC\n0\nEOF\n";
}

TEST(DxfImport, MinePlanGivesLevelsRampAndShafts)
{
    const ImportResult r = import(kDxfDir + "mineplan.dxf", {"DRIVES", "RAMP", "SHAFTS"});
    ASSERT_TRUE(r.ok) << r.error;
    const NetworkDraft& d = r.draft;
    EXPECT_EQ(d.nodes.size(), 28u);
    EXPECT_EQ(d.roads.size(), 34u);
    std::vector<std::pair<float, float>> surface;
    for (const DraftNode& n : d.nodes)
        if (n.surface)
            surface.emplace_back(n.x, n.y);
    EXPECT_EQ(surface, (std::vector<std::pair<float, float>>{{150, -40}, {0, 0}, {400, 0}}));
    struct Length {
        double from[3], to[3], length;
        std::size_t bends;
    };
    const Length lengths[] = {
        {{0, 0, 20}, {0, 0, 0}, 20, 0},                      // shaft A, a LINE
        {{400, 0, -60}, {400, 0, -120}, 60, 0},              // shaft B, a 3D polyline split at each level
        {{150, -40, 20}, {250, -140, 0}, 2 * 100.498756, 1},  // the ramp from the portal to level 0
        {{250, -140, 0}, {150, -40, -60}, 6 * 100.498756, 5},
        {{150, -40, -60}, {200, 0, -60}, 64.0312, 0},        // an access
        {{100, 0, -120}, {200, 0, -120}, 100, 0},            // a drive split at vertices
        {{100, 80, -120}, {300, 80, -120}, 200, 0},          // a 2D POLYLINE at its elevation
    };
    for (const Length& l : lengths) {
        const DraftRoad* found = road(d, nodeAt(d, l.from[0], l.from[1], l.from[2]), nodeAt(d, l.to[0], l.to[1], l.to[2]));
        ASSERT_NE(found, nullptr) << l.from[0] << " " << l.from[2];
        EXPECT_NEAR(found->values.length, l.length, 0.01);
        EXPECT_EQ(found->bends.size(), l.bends);
    }
    for (const char* part : {"28 nodes (3 on the surface), 34 roads, 11 bending points", "Not used: 1 CIRCLE, 1 TEXT.",
                             "Layers not chosen: WALLS (6 lines).",
                             "Split: 5 airways at 13 points where other airways end, 0 of them between"})
        EXPECT_NE(r.report.find(part), std::string::npos) << part << "\n" << r.report;
}

TEST(DxfImport, ReportCountsWhatWasJoinedDroppedAndLeft)
{
    const ImportResult r = import(kDxfDir + "awkward.dxf", {"airways"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.draft.nodes.size(), 12u);
    EXPECT_EQ(r.draft.roads.size(), 10u);
    for (const char* part :
         {"1 end joined a node, the farthest 0.360555 m away.\nSplit: 2 airways at 2 points where other airways "
          "end, 1 of them between two vertices.",
          "Dropped: 1 zero-length segment, 1 duplicate, 1 loop.",
          "Not joined: 1 part is not joined to the rest: 2 roads at node", "Not used: 1 CIRCLE, 1 INSERT, 1 TEXT.",
          "Layers not chosen: WALLS (1 line).", "No surface node"})
        EXPECT_NE(r.report.find(part), std::string::npos) << part << "\n" << r.report;
    const DraftNode* joined = nodeAt(r.draft, 100, 0, 0);
    ASSERT_NE(joined, nullptr);
    EXPECT_NE(road(r.draft, nodeAt(r.draft, 150, 0.2, 0), nodeAt(r.draft, 200, 0, 0)), nullptr);
    EXPECT_NE(road(r.draft, nodeAt(r.draft, 300, 0, 0), nodeAt(r.draft, 300, 100, 0)), nullptr);  // split there
    const DraftRoad* half = road(r.draft, joined, nodeAt(r.draft, 150, 0.2, 0));  // from the end 0.36 m off
    ASSERT_NE(half, nullptr);
    EXPECT_NEAR(half->values.length, std::hypot(49.7, 0.1003), 0.001);
}

TEST(DxfImport, HandMadeFilesAndLayerChoice)
{
    struct Case {
        const char* file;
        std::vector<std::string> layers;
        std::size_t nodes, roads;
        double firstLength, lastElevation;
    };
    const Case cases[] = {
        {"minimal_r12.dxf", {}, 3, 2, std::sqrt(125.0), -5},
        {"minimal_ac1015.dxf", {"DECLINE"}, 2, 1, 50 + 60, -30},
        {"mineplan.dxf", {"Drives", "survey"}, 19, 19, 100, -120},  // without the ramp's accesses the drives split less
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ImportResult r = import(kDxfDir + c.file, c.layers);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.draft.nodes.size(), c.nodes);
        EXPECT_EQ(r.draft.roads.size(), c.roads);
        EXPECT_NEAR(r.draft.roads.front().values.length, c.firstLength, 1e-4);
        EXPECT_FLOAT_EQ(r.draft.nodes.back().elevation, float(c.lastElevation));
        EXPECT_EQ(r.report.find("Chosen layers without lines: survey.") != std::string::npos, c.layers.size() > 1);
    }
    std::string error;
    EXPECT_EQ(dxfLayers(kDxfDir + "mineplan.dxf", error),
              (std::vector<std::string>{"DRIVES", "RAMP", "SHAFTS", "WALLS"}));
}

TEST(DxfImport, ResistanceFromAtkinsonOrPerMetreAndTheDefaultsFile)
{
    const std::vector<std::string> shafts{"SHAFTS"};
    RoadDefaults perMetre;
    perMetre.resistancePerMetre = 0.001;
    const ImportResult atkinson = import(kDxfDir + "mineplan.dxf", shafts);
    const ImportResult given = import(kDxfDir + "mineplan.dxf", shafts, perMetre);
    ASSERT_TRUE(atkinson.ok && given.ok);
    const Road& a = atkinson.draft.roads.front().values;  // shaft A's top, 20 m
    EXPECT_NEAR(a.resistance, 0.012 * 14 * 20 / (12.0 * 12 * 12), 1e-6);  // Ns2/m8 is the shipped unit
    EXPECT_FLOAT_EQ(a.area, 12);
    EXPECT_FLOAT_EQ(a.temperature, 20);
    EXPECT_FLOAT_EQ(given.draft.roads.front().values.resistance, 0.02f);
    UnitsSettings kgf = shippedUnits();
    kgf.resistanceUnitFactor = 1;  // resistances in kgf·s²/m⁸
    DxfImportOptions options;
    options.layers = shafts;
    EXPECT_NEAR(importDxf(kDxfDir + "mineplan.dxf", options, kgf).draft.roads.front().values.resistance,
                a.resistance / 9.80665, 1e-7);

    TempFolder folder;
    const std::string path = folder.file("roads.txt");
    test::writeFile(path, "# drives\narea = 20\n perimeter=18 # m\n\nresistance_per_metre = 0.5\n");
    RoadDefaults read;
    ASSERT_EQ(readRoadDefaults(path, read), "");
    EXPECT_EQ(read.area, 20);
    EXPECT_EQ(read.perimeter, 18);
    EXPECT_EQ(read.resistancePerMetre, 0.5);
    const std::pair<const char*, const char*> bad[] = {
        {"area = 12\nwidth = 3\n", "line 2: unknown key \"width\""},
        {"area = twelve\n", "line 1: \"twelve\" is not a number"},
        {"\nperimeter = -1\n", "line 2: perimeter must be above 0"},
        {"area 12\n", "line 1: \"area 12\" is not \"key = value\""},
    };
    for (const auto& [text, problem] : bad) {
        test::writeFile(path, text);
        RoadDefaults kept;
        EXPECT_NE(readRoadDefaults(path, kept).find(path + ": " + problem), std::string::npos) << problem;
        EXPECT_EQ(kept.area, 12);
    }
}

TEST(DxfImport, BadFilesAreRefusedWithTheirLine)
{
    const std::string r12 = test::readFile(kDxfDir + "minimal_r12.dxf");
    const char nul[] = "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n1\0\n";
    const std::pair<std::string, const char*> cases[] = {
        {"", "the file is empty"},
        {std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "\x01\x02", "binary DXF"},
        {std::string(nul, sizeof nul - 1), "line 10: the file holds binary data"},
        {r12.substr(0, r12.find("0\nLINE", 60) + 6), "truncated"},
        {r12.substr(0, r12.find(" 20\n") - 4), "line 9: group code 10 has no value: the file is truncated"},
        {test::replaced(r12, " 21\n0.0", " 21\nabc"), "line 18: \"abc\" is not a number (group code 21)"},
        {test::replaced(r12, "  8\nLEVEL1", "LINE\nLEVEL1"), "line 7: \"LINE\" is not a group code"},
        {test::replaced(r12, "10.0\n 21\n10.0", "1e9\n 21\n10.0"), "line 21: the LINE on layer LEVEL1 has a point at (1e+09"},
        {test::replaced(r12, "LEVEL1", std::string(1200, 'L')), "line 8 is longer than 1000"},
        {"0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n90\n2000000000\n10\n0\n20\n0\n0\nENDSEC\n0\nEOF\n",
         "line 8: the LWPOLYLINE gives 2000000000 items"},
        {"0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n90\n3\n10\n0\n20\n0\n0\nENDSEC\n0\nEOF\n",
         "line 5: the LWPOLYLINE gives 3 vertices but holds 1"},
        {"0\nSECTION\n2\nENTITIES\n0\nTEXT\n8\nNOTES\n1\nhello\n0\nENDSEC\n0\nEOF\n", "no lines or polylines on any layer"},
        {"0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nEOF\n", "has no ENTITIES section"},
    };
    TempFolder folder;
    const std::string path = folder.file("bad.dxf");
    for (const auto& [text, problem] : cases) {
        SCOPED_TRACE(problem);
        test::writeFile(path, text);
        const ImportResult r = import(path);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error.rfind(path + ": ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(problem), std::string::npos) << r.error;
    }
    EXPECT_NE(import(kDxfDir + "mineplan.dxf", {"DRIVES", "Vent"}).error.find("no layer \"Vent\" (its layers with lines: DRIVES, RAMP"),
              std::string::npos);
    EXPECT_NE(import(folder.file("missing.dxf")).error.find("cannot be read"), std::string::npos);
}

TEST(DxfImport, StopsAtTheNetworksRoom)
{
    TempFolder folder;
    test::writeFile(folder.file("grid.dxf"), gridDrawing(30));  // 900 nodes, 1740 LINEs of 16 file lines
    const ImportResult r = import(folder.file("grid.dxf"));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(int(r.draft.roads.size()), DraftRoom{}.roads);
    EXPECT_NE(r.report.find("Left out: the network is full; 241 roads (241 lines of the drawing from file line 23989 on, on GRID)"), std::string::npos)
        << r.report;
    SampleNetwork net;
    EXPECT_EQ(storeDraft(r.draft, *net.doc), "");
}

TEST(DxfExport, ImportGivesBackTheSameRoadsAndNodes)
{
    SampleNetwork net;
    ASSERT_TRUE(net.opened);
    TempFolder folder;
    const std::string path = folder.file("mine.dxf");
    std::string error;
    ASSERT_TRUE(exportDxf(*net.doc, path, error)) << error;
    DxfImportOptions options;
    options.layers = {kDxfRoadLayer, kDxfFixedFlowLayer};
    options.snap = 0.01;
    const ImportResult r = importDxf(path, options, net.app.units);
    ASSERT_TRUE(r.ok) << r.error;
    const CBriscoDoc& doc = *net.doc;
    ASSERT_EQ(int(r.draft.roads.size()), doc.totalRoads()) << r.report;
    const auto imported = [&](int number) {
        const Node& n = doc.nodes[std::size_t(doc.nodeIndex(number))];
        const DraftNode* found = nodeAt(r.draft, n.x, n.y, n.elevation);
        EXPECT_NE(found, nullptr) << number;
        return found;
    };
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        const Road& original = doc.roads[k];
        const DraftRoad* back = road(r.draft, imported(original.first), imported(original.second));
        ASSERT_NE(back, nullptr) << original.first << "-" << original.second;
        const int slot = original.bendStart;
        EXPECT_EQ(int(back->bends.size()), slot > 0 ? doc.bends[slot].mark : 0);
    }
    for (const char* layer : {kDxfNodeLayer, kDxfNodeNumberLayer, kDxfFanLayer, kDxfRoadNameLayer})
        EXPECT_NE(test::readFile(path).find(std::string("\n") + layer + "\n"), std::string::npos) << layer;
    EXPECT_FALSE(exportDxf(*net.doc, folder.file("no/such/folder.dxf"), error));
    EXPECT_NE(error.find("no/such/folder.dxf: the drawing cannot be written"), std::string::npos);
}

}  // namespace
}  // namespace orvex::exchange
