// EPANET input files: the water sample written and read back is the same
// network and solves to the same flows; the written rows in the file's
// units; the flow units of a file; bad input named by file, line and
// column; what a water network cannot hold listed in one paragraph.
#include <algorithm>

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "exchange/epanet.h"
#include "run/rundriver.h"
#include "support/support.h"

namespace orvex::exchange {
namespace {

using test::SampleNetwork;

// The water sample's draft with its roads in the order a file gives them:
// pipes, then local-loss elements (valves), then fixed flows.
NetworkDraft fileOrder(NetworkDraft draft)
{
    std::stable_partition(draft.roads.begin(), draft.roads.end(),
                          [](const DraftRoad& r) { return r.fixedFlow || r.values.length > 0; });
    return draft;
}

ImportResult importText(const test::TempFolder& folder, const std::string& text, const UnitsSettings& units)
{
    test::writeFile(folder.file("net.inp"), text);
    return importInp(folder.file("net.inp"), units);
}

// The data rows of a section, each as its blank-separated fields.
std::vector<std::vector<std::string>> rows(const std::string& text, const std::string& section)
{
    std::vector<std::vector<std::string>> out;
    std::istringstream in(text.substr(text.find("[" + section + "]")));
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && !line.empty() && line[0] != '[') {
        std::istringstream fields(line.substr(0, line.find(';')));
        std::vector<std::string> row;
        for (std::string f; fields >> f;)
            row.push_back(f);
        if (!row.empty())
            out.push_back(row);
    }
    return out;
}

TEST(Epanet, WaterSampleWrittenAndReadBackIsTheSameNetworkWithTheSameFlows)
{
    SampleNetwork original("water.vad"), fromFile("water.vad");
    ASSERT_TRUE(original.opened && fromFile.opened);
    test::TempFolder folder;
    std::string error, notes;
    ASSERT_TRUE(exportInp(*original.doc, folder.file("water.inp"), error, notes)) << error;
    EXPECT_EQ(notes, "");
    const ImportResult read = importInp(folder.file("water.inp"), original.app.units);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.report.find("Not held"), std::string::npos) << read.report;
    ASSERT_EQ(storeDraft(fileOrder(draftOf(*original.doc)), *original.doc), "");
    ASSERT_EQ(storeDraft(read.draft, *fromFile.doc), "");
    EXPECT_EQ(test::snapshot(*fromFile.doc), test::snapshot(*original.doc));

    for (SampleNetwork* net : {&original, &fromFile}) {
        QuietAnalysisDialog dialog;
        ASSERT_EQ(runAnalysis(*net->doc, dialog, true).result, 1) << net->reporter.all();
    }
    const CBriscoDoc &a = *original.doc, &b = *fromFile.doc;
    for (int k = 1; k <= a.totalRoads(); ++k) {
        const Road& road = a.roads[std::size_t(k)];
        const int same = b.findRoad(road.first, road.second, RoadScope::All);
        EXPECT_NEAR(b.roads[std::size_t(same)].massFlow, road.massFlow, 1e-3 * std::fabs(a.roads[1].massFlow)) << k;
    }
    EXPECT_NEAR(b.fans[1].fanFlow, a.fans[1].fanFlow, 1e-3 * a.fans[1].fanFlow);
}

TEST(Epanet, WrittenRowsAreTheNetworksInTheFilesUnits)
{
    SampleNetwork water("water.vad"), air("mine.vad");
    std::string notes;
    const std::string text = inpText(*water.doc, notes);
    using Row = std::vector<std::string>;
    EXPECT_EQ(rows(text, "PIPES")[1], (Row{"101-102", "101", "102", "420", "200", "120", "0", "Open"}));
    EXPECT_EQ(rows(text, "VALVES")[0], (Row{"110-111", "110", "111", "150", "TCV", "2.5", "0"}));
    EXPECT_EQ(rows(text, "RESERVOIRS")[1], (Row{"2", "410"}));
    EXPECT_EQ(rows(text, "PUMPS")[0], (Row{"PU1", "103", "104", "HEAD", "PU1"}));
    EXPECT_EQ(rows(text, "OPTIONS"), (std::vector<Row>{{"Units", "LPS"}, {"Headloss", "H-W"}}));
    const Fan& pump = water.doc->fans[1];
    const auto curve = rows(text, "CURVES");
    ASSERT_EQ(int(curve.size()), pump.points);
    for (int p = 0; p < pump.points; ++p) {
        EXPECT_NEAR(std::stod(curve[p][1]), p * 0.5 / 60 * 1000, 1e-3);          // 0.5 m³/min in l/s
        EXPECT_NEAR(std::stod(curve[p][2]), pump.curve[p + 1] / 9806.65, 1e-4);  // Pa as m of water
    }
    // A fixed flow of 0.6 m³/min from 2 to 111: a valve holding 10 l/s the other way round.
    NetworkDraft draft = draftOf(*water.doc);
    draft.roads.back().fixedFlow = true;
    draft.roads.back().values.resistance = -0.6f;
    ASSERT_EQ(storeDraft(draft, *water.doc), "");
    EXPECT_EQ(rows(inpText(*water.doc, notes), "VALVES")[1], (Row{"111-2", "2", "111", "1000", "FCV", "10.00002", "0"}));
    EXPECT_NE(notes.find("fixed-flow pipes written as flow control valves (FCV), which only hold a flow down: 1 (111-2)"),
              std::string::npos) << notes;
    std::string error;
    EXPECT_FALSE(exportInp(*air.doc, "/nonexistent/air.inp", error, notes));
    EXPECT_NE(error.find("this is an air network"), std::string::npos) << error;
}

// One network in each flow unit: LPS values times the unit's factor, lengths
// and heads times the length's, diameters times the diameter's.
TEST(Epanet, EveryFlowUnitGivesTheSameNetwork)
{
    struct Units {
        const char* name;
        double flow, length, diameter;  // file units per l/s, m, mm
    };
    const Units table[] = {{"LPS", 1, 1, 1},
                           {"LPM", 60, 1, 1},
                           {"CMH", 3.6, 1, 1},
                           {"CMD", 86.4, 1, 1},
                           {"MLD", 0.0864, 1, 1},
                           {"GPM", 15.850323, 3.2808399, 1 / 25.4},
                           {"CFS", 0.035314667, 3.2808399, 1 / 25.4},
                           {"MGD", 0.022824465, 3.2808399, 1 / 25.4},
                           {"IMGD", 0.019005343, 3.2808399, 1 / 25.4},
                           {"AFD", 0.070045837, 3.2808399, 1 / 25.4}};
    SampleNetwork net("water.vad");
    test::TempFolder folder;
    NetworkDraft first;
    for (const Units& u : table) {
        SCOPED_TRACE(u.name);
        const auto v = [](double x) { return std::to_string(x); };
        const std::string text = "[JUNCTIONS]\n2 " + v(50 * u.length) + "\n3 " + v(40 * u.length) +
                                 "\n[RESERVOIRS]\n1 " + v(100 * u.length) + "\n[PIPES]\n1 1 2 " + v(1000 * u.length) +
                                 " " + v(300 * u.diameter) + " 120\n[PUMPS]\nPU 2 3 HEAD C\n[CURVES]\nC 0 " +
                                 v(50 * u.length) + "\nC " + v(10 * u.flow) + " " + v(45 * u.length) + "\nC " +
                                 v(20 * u.flow) + " " + v(35 * u.length) + "\nC " + v(30 * u.flow) + " " +
                                 v(20 * u.length) + "\n[OPTIONS]\nUnits " + u.name + "\n";
        const ImportResult read = importText(folder, text, net.app.units);
        ASSERT_TRUE(read.ok) << read.error;
        if (first.nodes.empty())
            first = read.draft;
        const NetworkDraft& d = read.draft;
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(d.nodes[i].elevation, first.nodes[i].elevation, 1e-4);
        EXPECT_NEAR(d.roads[0].values.length, 1000, 1e-3);
        EXPECT_NEAR(d.roads[0].values.area, 0.3, 1e-6);
        EXPECT_NEAR(d.fans[0].flowStep, 0.6, 1e-5);  // 10 l/s in m³/min
        ASSERT_EQ(d.fans[0].curve.size(), 4u);
        for (std::size_t p = 0; p < 4; ++p)
            EXPECT_NEAR(d.fans[0].curve[p], first.fans[0].curve[p], 1e-5 * first.fans[0].curve[0]);
    }
}

// The head (m) of a read pump at a flow (l/s), along the lines between its
// points; m³/min and Pa as the shipped units have them.
double headAt(const DraftFan& fan, double litres)
{
    const double x = litres * 0.06 / fan.flowStep;
    const std::size_t j = std::min(std::size_t(x), fan.curve.size() - 2);
    return (fan.curve[j] + (x - double(j)) * (fan.curve[j + 1] - fan.curve[j])) / 9806.65;
}

TEST(Epanet, PumpCurvesAndRoughnessAreWhatEpanetMakesOfThem)
{
    const struct {
        const char *curve, *options;
        std::vector<std::pair<double, double>> heads;  // l/s, m
    } cases[] = {
        {"C 10 40", "", {{0, 53.33}, {10, 40}, {20, 0}}},                 // a design point
        {"C 0 50\nC 10 45\nC 25 20", "", {{0, 50}, {10, 45}, {25, 20}}},  // a power curve
        {"C 0 50\nC 5 48\nC 20 30\nC 30 0", "", {{5, 48}, {20, 30}, {30, 0}}},
        {"C 0 50\nC 5 48\nC 20 30\nC 30 0", "SPEED 0.5", {{2.5, 12}, {10, 7.5}}},
        {"C 0 50\nC 10 45", "", {{0, 50}, {10, 45}}},  // evenly spaced: kept as it is
    };
    SampleNetwork net("water.vad");
    test::TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.curve);
        const ImportResult read = importText(folder,
                                             std::string("[JUNCTIONS]\n2 0\n[RESERVOIRS]\n1 0\n[PUMPS]\n"
                                                         "P 1 2 HEAD C ") +
                                                 c.options + "\n[CURVES]\n" + c.curve + "\n[OPTIONS]\nUnits LPS\n",
                                             net.app.units);
        ASSERT_TRUE(read.ok) << read.error;
        for (const auto& [flow, head] : c.heads)
            EXPECT_NEAR(headAt(read.draft.fans[0], flow), head, 0.01 * 50) << flow;
    }
    // Roughness of the other formulas as the C of pipes of the same kind.
    const struct {
        const char* options;
        double roughness, lowest, highest;
    } formulas[] = {{"Headloss D-W", 0.26, 125, 135}, {"Headloss C-M", 0.011, 115, 130}};
    for (const auto& f : formulas) {
        const ImportResult read =
            importText(folder,
                       "[RESERVOIRS]\n1 0\n2 0\n[PIPES]\nP 1 2 100 300 " + std::to_string(f.roughness) +
                           "\n[OPTIONS]\nUnits LPS\n" + f.options + "\n",
                       net.app.units);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_GT(read.draft.roads[0].values.conductivity, f.lowest) << f.options;
        EXPECT_LT(read.draft.roads[0].values.conductivity, f.highest) << f.options;
    }
}

TEST(Epanet, BadInputIsNamedByFileLineAndColumn)
{
    const std::string nodes = "[JUNCTIONS]\n2 10\n[RESERVOIRS]\n1 100\n";
    std::string tooMany = "[JUNCTIONS]\n";
    for (int i = 0; i < 1600; ++i)
        tooMany += "J" + std::to_string(i) + " 1\n";
    const struct {
        std::string text, message;
    } cases[] = {
        {nodes + "[PIPES]\nP1 1 2 100\n", "line 6, column 11: the line ends before the diameter of pipe P1 (field 5)"},
        {nodes + "[PIPES]\nP1 1 2 abc 300 120\n", "line 6, column 8: a number was expected for the length of pipe P1"},
        {nodes + "[PIPES]\nP1 1 9 100 300 120\n", "line 6, column 6: pipe P1 names node 9, which is no junction"},
        {nodes + "[PIPES]\nP1 1 2 100 -3 120\n", "line 6, column 12: the diameter of pipe P1 must be above 0"},
        {nodes + "[PUMPS]\nPU1 1 2 POWER 5\n", "line 6: pump PU1 has no HEAD curve"},
        {nodes + "[PUMPS]\nPU1 1 2 HEAD C9\n", "line 6: pump PU1 names curve C9, which [CURVES] does not hold"},
        {nodes + "[PUMPS]\nPU1 1 2 HEAD C\n[CURVES]\nC 0 10\nC 5 20\nC 9 5\n",
         "line 8: curve C of pump PU1 is no head curve"},
        {nodes + "[OPTIONS]\nUnits XYZ\n", "line 6, column 7: \"XYZ\" is not a flow unit"},
        {nodes + "[JUNCTIONS]\n2 11\n", "line 6, column 1: node 2 is given a second time"},
        {"J1 10\n" + nodes, "line 1, column 1: \"J1\" stands before the first section"},
        {nodes + std::string("\0\x01\x02", 3), "line 5: the file holds a NUL byte"},
        {tooMany,
         "it needs 1600 nodes (" + std::to_string(1600 - DraftRoom{}.nodes) + " left out); nothing was imported"},
    };
    SampleNetwork net("water.vad");
    test::TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ImportResult read = importText(folder, c.text, net.app.units);
        EXPECT_FALSE(read.ok);
        EXPECT_NE(read.error.find(folder.file("net.inp") + ": "), std::string::npos) << read.error;
        EXPECT_NE(read.error.find(c.message), std::string::npos) << read.error;
    }
    EXPECT_NE(importInp(folder.file("missing.inp"), net.app.units).error.find("missing.inp: the file cannot be read"),
              std::string::npos);
}

TEST(Epanet, WhatTheNetworkCannotHoldIsListedInOneParagraph)
{
    const std::string text =
        "[TITLE]\nTown supply\n[JUNCTIONS]\nJ1 10 5 Pat\n7 20\n[RESERVOIRS]\nR1 100\n"
        "[TANKS]\nT1 50 3 0 10 20 0\n[PIPES]\nP1 R1 J1 100 300 120 2.5\nP2 J1 7 100 300 120 0 CV\n"
        "AVeryLongPipeNameOfManyChars 7 T1 100 300 120 0 Closed\n"
        "[VALVES]\nV1 J1 T1 200 PRV 30\nV2 7 T1 200 FCV 12\nV3 7 J1 200 GPV G\n[PATTERNS]\nPat 1 2\nPat 3 4\n"
        "[CONTROLS]\nLINK P1 CLOSED AT TIME 2\n[FOO]\nx\n[OPTIONS]\nUnits LPS\nTrials 40\n[END]\n[JUNK]\n";
    SampleNetwork net("water.vad");
    test::TempFolder folder;
    const ImportResult read = importText(folder, text, net.app.units);
    ASSERT_TRUE(read.ok) << read.error;
    for (const char* line :
         {"Not held as the file has it:\n", "[CONTROLS] lines, not represented: 1\n",
          "[FOO] lines, not represented: 1\n", "[JUNCTIONS] demands, not represented: 1\n",
          "[JUNCTIONS] patterns, not represented: 1\n", "[OPTIONS] TRIALS, not used: 1\n",
          "[PATTERNS] lines, not represented: 2\n", "[PIPES] check valves (CV), held as open pipes: 1\n",
          "[PIPES] closed pipes, held as fixed-flow pipes of flow 0: 1\n",
          "[PIPES] minor losses, held as local-loss elements after an added node: 1\n",
          "[TANKS] tanks, held as free surfaces at their initial level: 1\n",
          "[VALVES] GPV valves, left out (their nodes are not joined): 1\n",
          "[VALVES] PRV valves, left out (their nodes are not joined): 1\n",
          "[VALVES] flow control valves (FCV), held as fixed-flow pipes at their setting: 1\n",
          "[COORDINATES] nodes without a position, placed at 0, 0: 4\n", "  R1 = 1, T1 = 2, J1 = 3\n",
          "AVeryLongPipeNameOfManyChars to AVeryLongPipeNameO"})
        EXPECT_NE(read.report.find(line), std::string::npos) << line << "\n" << read.report;
    EXPECT_EQ(read.report.find("JUNK"), std::string::npos);
    const NetworkDraft& d = read.draft;
    EXPECT_EQ(d.headings[1], "[ORVEX network]Town supply\n");
    ASSERT_EQ(d.nodes.size(), 5u);  // R1, T1, J1, 7 and the node before P1's minor loss
    EXPECT_EQ(std::make_tuple(d.nodes[1].number, d.nodes[1].surface, d.nodes[1].elevation),
              std::make_tuple(2, true, 53.0f));
    ASSERT_EQ(d.roads.size(), 5u);
    EXPECT_EQ(std::make_tuple(d.roads[0].first, d.roads[0].second, d.roads[1].first, d.roads[1].second),
              std::make_tuple(1, 4, 4, 3));
    const auto elevation = [&d](int n) {
        return std::find_if(d.nodes.begin(), d.nodes.end(), [n](const DraftNode& x) { return x.number == n; })->elevation;
    };
    EXPECT_EQ(elevation(4), elevation(3));  // the fitting lies at its pipe's end
    EXPECT_EQ(std::make_tuple(d.roads[1].values.length, d.roads[1].values.conductivity, d.roads[1].values.area),
              std::make_tuple(0.0f, 2.5f, 0.3f));
    EXPECT_EQ(std::make_tuple(d.roads[3].fixedFlow, d.roads[3].values.resistance), std::make_tuple(true, 0.0f));
    EXPECT_TRUE(d.roads[4].fixedFlow);
    EXPECT_NEAR(d.roads[4].values.resistance, 0.72, 1e-5);  // 12 l/s in m³/min
}

}  // namespace
}  // namespace orvex::exchange
