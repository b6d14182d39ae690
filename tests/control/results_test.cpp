// The results tables without a window: the texts of numbers, the cells of a
// small network's roads, nodes and fans, the copy and the CSV file.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "checks/checks.h"
#include "control/results.h"
#include "control/resultstext.h"
#include "support/support.h"
#include "fire/fire.h"

namespace orvex {
namespace {

TEST(ResultsText, NumbersRoundHalfAwayFromZero)
{
    const struct {
        double value;
        int decimals;
        const char* fixed;
    } fixed[] = {
        {12.3456, 3, "12.346"}, {0.0625, 3, "0.063"}, {-0.0625, 3, "-0.063"}, {0.125, 2, "0.13"},
        {2.5, 0, "3"}, {9.99951, 3, "10.000"}, {-999.96, 1, "-1000.0"}, {1e-9, 2, "0.00"}, {7, 0, "7"},
        {1.0 / 0.0, 2, "inf"}, {-0.0, 2, "0.00"},
    };
    for (const auto& c : fixed)
        EXPECT_EQ(fixedText(c.value, c.decimals), c.fixed) << c.value;
    const std::pair<double, const char*> significant[] = {
        {2500000, "2.5e+06"}, {1234565, "1.23457e+06"}, {-1234565, "-1.23457e+06"}, {9999995, "1e+07"},
        {2e6, "2e+06"}, {123.456, "123.456"}, {0.0001234, "0.0001234"}, {0.00001234, "1.234e-05"},
        {1.5e123, "1.5e+123"}, {999999.5, "1e+06"},
    };
    for (const auto& [value, text] : significant)
        EXPECT_EQ(significantText(value, 6), text) << value;
}

TEST(ResultsText, CopyAndCsvFields)
{
    const std::pair<const char*, const char*> csv[] = {
        {"plain", "plain"}, {"a,b", "\"a,b\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""}, {"", ""}};
    for (const auto& [field, written] : csv)
        EXPECT_EQ(csvField(field), written);
    EXPECT_EQ(tabField("a\tb\nc\rd"), "a b c d");
    EXPECT_EQ(tableText({"No.", "Name"}, {{"1", "x,y"}, {"2", "z"}}, ',', &csvField), "No.,Name\n1,\"x,y\"\n2,z\n");
    EXPECT_EQ(tableText({"A"}, {}, '\t', &tabField), "A\n");

    EXPECT_EQ(copiedRows({4, 1, 3}, 6), std::vector<int>({1, 3, 4}));
    EXPECT_EQ(copiedRows({}, 3), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(csvFileName("/n/mine.", "roads"), "/n/mine-roads.csv");
    EXPECT_EQ(csvFileName("/n/mine", "fans"), "/n/mine-fans.csv");
    EXPECT_EQ(csvFileName("", "nodes"), "nodes.csv");
}

// Two surface nodes and one underground node; two normal roads and a
// fixed-flow road; one fan.
struct SmallNetwork {
    AppContext app;
    test::RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;

    SmallNetwork()
    {
        app.units.flowUnitFactor = 1.0f / 60;
        app.units.flowUnitName = "m3/min";
        app.units.pressureUnitFactor = 1;
        app.units.pressureUnitName = "mmAq";
        app.units.resistanceUnitFactor = 1;
        doc = std::make_unique<CBriscoDoc>(app, reporter);
        CBriscoDoc& d = *doc;
        d.nodeCount = 3, d.surfaceCount = 2;
        const double pressures[] = {0, 1000, 900, 1100};
        for (int i = 1; i <= 3; ++i) {
            d.nodes[std::size_t(i)].number = i * 10;
            d.nodes[std::size_t(i)].pressure = pressures[i];
        }
        d.roadCount = 2, d.fixedCount = 1;
        d.specificWeight = 1.2f;
        Road& reversed = d.roads[1];
        reversed.first = 10, reversed.second = 30, reversed.massFlow = 1.23456f;
        reversed.roadClass = 2, reversed.resistance = 12345.6f, reversed.name = "main,\xa1\xa1" "east";
        Road& back = d.roads[2];
        back.first = 30, back.second = 20, back.massFlow = -2, back.resistance = 2500000;
        Road& fixedFlow = d.roads[3];
        fixedFlow.first = 20, fixedFlow.second = 10, fixedFlow.massFlow = -0.00004f, fixedFlow.resistance = 5;
        fixedFlow.area = 0.5f;
        d.fanCount = 1;
        Fan& fan = d.fans[1];
        fan.inlet = 30, fan.outlet = 10, fan.points = 4, fan.flowStep = 100, fan.fanFlow = 120, fan.pressure = 50;
        d.fanHeadings[1] = "Fan:\xa1\xa1main\xa1\xa1 ";
    }
    ResultsTable table(ResultsTab tab) const
    {
        // The files' ideographic space (GBK A1A1) as UTF-8.
        return resultsTable(tab, *doc, [](std::string text) {
            for (std::size_t at; (at = text.find("\xa1\xa1")) != std::string::npos;)
                text.replace(at, 2, "\u3000");
            return text;
        });
    }
};

std::string cell(const ResultsTable& table, int row, int id)
{
    const int section = table.section(id);
    if (section < 0)
        return "(no column)";
    return table.rows.at(std::size_t(row)).at(std::size_t(section)).text;
}

TEST(ResultsTables, CellsOfRoadsNodesAndFans)
{
    SmallNetwork n;
    const ResultsTable roads = n.table(ResultsTab::Roads);
    const ResultsTable nodes = n.table(ResultsTab::Nodes);
    const ResultsTable fans = n.table(ResultsTab::Fans);
    using R = RoadColumn;
    const struct {
        const ResultsTable& table;
        int row, column;
        const char* text;
    } cells[] = {
        {roads, 0, int(R::Name), "main,\u3000east"},
        {roads, 0, int(R::Kind), "normal"},
        {roads, 2, int(R::Kind), "fixed flow"},
        {roads, 0, int(R::Airflow), "1.029"},
        {roads, 0, int(R::MassFlow), "1.2346"},
        {roads, 2, int(R::MassFlow), "0.0000"},
        {roads, 2, int(R::SetAirflow), "5.000"},
        {roads, 0, int(R::SetAirflow), ""},
        {roads, 0, int(R::Resistance), "12345.5996"},
        {roads, 1, int(R::Resistance), "2.5e+06"},
        {roads, 2, int(R::Resistance), ""},
        {roads, 0, int(R::Direction), "reverse"},
        {roads, 1, int(R::Direction), "reverse"},
        {roads, 2, int(R::Direction), "reverse"},
        {roads, 0, int(R::Velocity), ""},  // no section
        {roads, 2, int(R::Velocity), "0.17"},  // its set 5 m3/min over 0.5 m2
        {nodes, 1, int(NodeColumn::Number), "20"},
        {nodes, 1, int(NodeColumn::Position), "surface"},
        {nodes, 2, int(NodeColumn::Position), "underground"},
        {nodes, 2, int(NodeColumn::RelativePressure), "200.00"},
        {nodes, 0, int(NodeColumn::RelativePressure), "100.00"},
        {fans, 0, int(FanColumn::Heading), "main"},
        {fans, 0, int(FanColumn::CurveEnd), "300.000"},
        {fans, 0, int(FanColumn::Power), "0.981"},
        {fans, 0, int(FanColumn::Margin), ""},  // a curve of no pressure has no peak
    };
    for (const auto& c : cells)
        EXPECT_EQ(cell(c.table, c.row, c.column), c.text) << "row " << c.row << " column " << c.column;
    EXPECT_EQ(roads.columns[std::size_t(roads.section(int(R::Airflow)))].title, "Airflow (m3/min)");
    // Numbers sort by value, texts by text, empty cells not at all.
    const ResultsCell& flow = roads.rows[1][std::size_t(roads.section(int(R::MassFlow)))];
    EXPECT_EQ(flow.sort, ResultsCell::Sort::Number);
    EXPECT_EQ(flow.value, -2);
    EXPECT_EQ(roads.rows[0][std::size_t(roads.section(int(R::SetAirflow)))].sort, ResultsCell::Sort::None);
    EXPECT_EQ(elementOfRow(ResultsTab::Fans, 0), 1);
}

TEST(ResultsTables, FireColumnsAndWaterWords)
{
    const struct {
        float finish, simulated;
        int network;
        const char* kind;
        const char* gas;
    } cases[] = {
        {0, 0, 0, "normal", "(no column)"},
        {10, 0, 0, "normal", "(no column)"},
        {10, 2, 0, "normal", "0.250"},
        {0, 0, kWaterNetworkKind, "pipe", "(no column)"},
    };
    for (const auto& c : cases) {
        SmallNetwork n;
        n.doc->fire.finishTime = c.finish;
        fireWork(*n.doc).simulatedMinutes = c.simulated;
        n.doc->networkKind = c.network;
        n.doc->roads[1].gasConcentration = 0.25f;
        n.doc->roads[1].gasArrival = 1.25f;  // no peaks: no value
        const ResultsTable roads = n.table(ResultsTab::Roads);
        EXPECT_EQ(cell(roads, 0, int(RoadColumn::Kind)), c.kind);
        EXPECT_EQ(cell(roads, 0, int(RoadColumn::Gas)), c.gas);
        if (c.simulated > 0)
            EXPECT_EQ(cell(roads, 0, int(RoadColumn::GasArrival)) + "|" + cell(roads, 0, int(RoadColumn::PeakGas)), "1.3|");
        EXPECT_EQ(hasFireResults(*n.doc), roads.section(int(RoadColumn::MeanTemperature)) >= 0);
    }
}

// The Checks tab lists the window's last findings; each points at its road,
// its fan, or its loop's first node.
TEST(ResultsTables, ChecksListTheFindingsAndPointAtTheirElements)
{
    SmallNetwork n;
    Finding low{CheckKind::VelocityLow, Severity::Violation, 2, 0, {30, 20}, 0.125, 0.25, "m/s", "too slow"};
    Finding stall{CheckKind::FanStall, Severity::Warning, 0, 1, {30, 10}, 3, 10, "%", "near the peak"};
    Finding loop{CheckKind::Recirculation, Severity::Violation, 0, 0, {20, 30, 10}};
    checkWork(*n.doc).findings = {low, stall, loop};
    const ResultsTable checks = n.table(ResultsTab::Checks);
    ASSERT_EQ(checks.rows.size(), 3u);
    std::string texts;
    for (const ResultsCell& c : checks.rows[0])
        texts += c.text + "|";
    EXPECT_EQ(texts, "violation|velocity-low|30-20|0.125|0.250|m/s|too slow|");
    EXPECT_EQ(cell(checks, 2, int(CheckColumn::Value)), "");
    const auto target = [&](int finding) {
        const CheckTarget t = checkTarget(*n.doc, finding);
        return std::make_pair(t.tab, t.element);
    };
    EXPECT_EQ(target(1), std::make_pair(ResultsTab::Roads, 2));
    EXPECT_EQ(target(2), std::make_pair(ResultsTab::Fans, 1));
    EXPECT_EQ(target(3), std::make_pair(ResultsTab::Nodes, n.doc->nodeIndex(20)));
    EXPECT_EQ(target(4).second, 0);

    // The roads' colours by their checks: below a limit, above one, within.
    n.doc->roads[1].area = n.doc->roads[2].area = 1;
    checkWork(*n.doc).findings = {{CheckKind::AirflowLow, Severity::Violation, 1},
                                  {CheckKind::VelocityHigh, Severity::Violation, 2}};
    EXPECT_EQ(roadCheckState(*n.doc, 1), -1);
    EXPECT_EQ(roadCheckState(*n.doc, 2), 1);
    checkWork(*n.doc).findings.clear();
    checkWork(*n.doc).ranBefore = true;
    EXPECT_EQ(roadCheckState(*n.doc, 2), 0);

    // A window's second run names the roads whose air turned since its first.
    const auto reversals = [&] {
        test::RecordingReporter reporter;
        checkAfterRun(*n.doc, reporter);
        const std::vector<Finding>& found = checkWork(*n.doc).findings;
        return std::count_if(found.begin(), found.end(), [](const Finding& f) { return f.kind == CheckKind::Reversal; });
    };
    EXPECT_EQ(reversals(), 0);
    n.doc->roads[1].massFlow = -n.doc->roads[1].massFlow;
    EXPECT_EQ(reversals(), 1);
}

}  // namespace
}  // namespace orvex
