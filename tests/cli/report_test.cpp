// The batch report: what each road carries, names, fans, natural draught,
// the node balance, warnings, the units of the CSV and the report file.
#include <cmath>
#include <map>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support.h"

namespace orvex::clitest {
namespace {

using json = nlohmann::json;

constexpr double kPaPerKgfM2 = 9.80665;
constexpr double kKgfM2PerPa = 0.1019716;  // the sample units.sdt's pressure factor

const json& sampleMine()
{
    static const json report = [] {
        const SolveRun run = solve("--format json data/mine.vad");
        EXPECT_EQ(run.status, 0) << run.err;
        return json::parse(run.out);
    }();
    return report;
}

// Net inflow at each node of the report's road and fan flows (in the flow
// column's unit) and of their mass flows.
struct Balance {
    std::map<int, double> flow, mass;
};

Balance balanceOf(const json& report)
{
    Balance b;
    double massPerFlow = 0;  // the specific weight, from any road that carries air
    for (const auto& road : report["roads"]) {
        const int from = road["from"], to = road["to"];
        const double q = road["flow"], m = road["massFlow"];
        b.flow[from] -= q, b.flow[to] += q;
        b.mass[from] -= m, b.mass[to] += m;
        if (std::fabs(q) > 1)
            massPerFlow = m / q;
    }
    for (const auto& fan : report["fans"]) {
        const int in = fan["inlet"], out = fan["outlet"];
        const double q = fan["flow"];
        b.flow[in] -= q, b.flow[out] += q;
        b.mass[in] -= q * massPerFlow, b.mass[out] += q * massPerFlow;
    }
    return b;
}

// Summing the flow column at any underground node leaves nothing over: a
// fixed-flow road reports the air it carries, its set value apart.
TEST(Report, RoadFlowsBalanceAtEveryUndergroundNode)
{
    const json& report = sampleMine();
    const Balance balance = balanceOf(report);
    for (const auto& node : report["nodes"]) {
        if (!node["surface"].get<bool>()) {
            EXPECT_NEAR(balance.flow.at(node["number"]), 0.0, 0.5) << "node " << node["number"];
        }
    }

    const auto& road = report["roads"].back();  // 201-202, fixed airflow 0, 45.5 kg/s
    ASSERT_EQ(std::make_pair(road["from"].get<int>(), road["to"].get<int>()), std::make_pair(201, 202));
    EXPECT_EQ(road["setFlow"], 0.0);
    EXPECT_NEAR(road["flow"].get<double>(), 2268.0, 5.0);
    EXPECT_FALSE(report["roads"][0].contains("setFlow")) << "only fixed-flow roads have a set value";
}

TEST(Report, RoadNamesComeFromTheRoadNameFile)
{
    const json& report = sampleMine();
    // mine.nrd names 1-101 IntakeShaft and 10-140 ReturnShaft; 101-201 has no name.
    EXPECT_EQ(report["roads"][0]["name"], "IntakeShaft");
    EXPECT_EQ(report["roads"][1]["name"], "");
    EXPECT_EQ(report["roads"][3]["name"], "ReturnShaft");
    EXPECT_NE(solve("data/mine.vad").out.find("IntakeShaft"), std::string::npos);
    EXPECT_NE(solve("--format csv data/mine.vad").out.find(",IntakeShaft,"), std::string::npos);
}

// Air power = pressure × airflow: Pa × (m3/min / 60) / 1000 kW.
TEST(Report, FanAirPowerIsPressureTimesAirflow)
{
    const json& fans = sampleMine()["fans"];
    ASSERT_EQ(fans.size(), 2u);
    for (const auto& fan : fans) {
        const double expected = fan["pressure"].get<double>() * fan["flow"].get<double>() / 60 / 1000;
        EXPECT_NEAR(fan["power"].get<double>(), expected, 1e-3 * expected) << fan;
    }
}

// A single loop without fans: down a cold shaft (10 C), along a drift, up
// a warm one (30 C), both surface nodes at elevation 0. Its natural draught
// is 300 m × (density down − density up), the density of each shaft
// P/((T + 273.15) × 29.27) at its mean pressure (kgf/m², from the report);
// and with nothing else driving the air it equals the loss round the loop.
TEST(Report, NaturalDraughtOfALoopIsTheWeightOfItsTwoColumns)
{
    TempFolder folder("draught");
    writeFile(folder / "loop.vad",
              "[ORVEX network]Natural draught loop\nsecond heading\n"
              "surface nodes\n2\n1 0  2 0\nunderground nodes\n2\n10 -300  11 -300\n"
              "roads\n3\n1 10 0.5 10 10 300 2\n10 11 0.5 20 10 500 2\n11 2 0.5 30 10 300 2\n"
              "fixed-flow roads\n0\nfans\n0\nnetwork kind\n0 0 0\nsurface temperature\n10\nend of data &\n");
    writeFile(folder / "loop.jpd", "1 0 0\n2 200 0\n10 0 -300\n11 200 -300\n");
    const SolveRun run = runIn(kSource, solveBinary(), "--format json '" + (folder / "loop.vad") + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const json report = json::parse(run.out);

    std::map<int, double> pressure;  // kgf/m²
    for (const auto& node : report["nodes"])
        pressure[node["number"]] = node["pressure"].get<double>() * kKgfM2PerPa;
    const auto density = [&](int a, int b, double t) {
        return (pressure[a] + pressure[b]) / 2 / ((t + 273.15) * 29.27);
    };
    const double expected = 300 * (density(1, 10, 10) - density(11, 2, 30)) * kPaPerKgfM2;
    EXPECT_GT(expected, 200.0);
    EXPECT_NEAR(report["naturalDraught"].get<double>(), expected, 0.005 * expected);

    double loss = 0;
    for (const auto& road : report["roads"])
        loss += road["pressureLoss"].get<double>();
    EXPECT_NEAR(report["naturalDraught"].get<double>(), loss, 0.01 * loss);
    EXPECT_GT(report["roads"][0]["flow"].get<double>(), 0.0) << "the cold shaft is the downcast";
}

TEST(Report, CsvHeadersCarryTheUnits)
{
    const SolveRun run = solve("--format csv data/mine.vad");
    ASSERT_EQ(run.status, 0);
    for (const char* header :
         {"result,iterations,naturalDraught (Pa),imbalanceNode,imbalanceFlow (m3/min),"
          "imbalanceMassFlow (kg/s),warnings\n",
          "number,surface,elevation (m),pressure (Pa),relativePressure (Pa)\n",
          "index,from,to,name,fixed,flow (m3/min),setFlow (m3/min),massFlow (kg/s),"
          "pressureLoss (Pa),direction\n",
          "inlet,outlet,flow (m3/min),pressure (Pa),power (kW)\n"})
        EXPECT_NE(run.out.find(header), std::string::npos) << header;
}

// The largest imbalance is that of an underground node, the largest the
// report's own flows leave, in both units.
TEST(Report, LargestNodeImbalanceInEveryFormat)
{
    const json& report = sampleMine();
    const Balance balance = balanceOf(report);
    double largest = 0;
    std::map<int, bool> underground;
    for (const auto& node : report["nodes"]) {
        if (!node["surface"].get<bool>()) {
            underground[node["number"]] = true;
            largest = std::max(largest, std::fabs(balance.mass.at(node["number"])));
        }
    }
    const auto& imbalance = report["largestImbalance"];
    EXPECT_TRUE(underground.count(imbalance["node"].get<int>())) << imbalance;
    EXPECT_NEAR(std::fabs(imbalance["massFlow"].get<double>()), largest, 1e-3);
    EXPECT_NEAR(imbalance["flow"].get<double>() * 0.0166667 * 1.20459, imbalance["massFlow"].get<double>(), 1e-6);
    EXPECT_NE(solve("data/mine.vad").out.find("Largest node imbalance"), std::string::npos);
}

// A fan that blows into a dead end: warned once, named, and the run exits 1.
TEST(Report, AirThatCannotBalanceIsWarnedAndExitsOne)
{
    ASSERT_TRUE(sampleMine().contains("warnings")) << "always present";
    EXPECT_EQ(sampleMine()["warnings"], json::array());

    TempFolder folder("deadend");
    writeFile(folder / "dead.vad",
              "[ORVEX network]Fan into a dead end\nsecond heading\n"
              "surface nodes\n1\n1 0\nunderground nodes\n2\n10 -100  11 -100\n"
              "roads\n1\n1 10 0.5 20 10 100 2\n"
              "fixed-flow roads\n0\nfans\n1\nFan: blind\n10 11 3 1000\n800 600 300\n"
              "network kind\n0 0 0\nsurface temperature\n20\nend of data &\n");
    writeFile(folder / "dead.jpd", "1 0 0\n10 0 -100\n11 100 -100\n");
    const SolveRun run = runIn(kSource, solveBinary(), "--format json '" + (folder / "dead.vad") + "'");
    EXPECT_EQ(run.status, 1) << run.err;
    const json report = json::parse(run.out);
    EXPECT_TRUE(report["airCannotBalance"].get<bool>());
    ASSERT_FALSE(report["warnings"].empty());
    const std::string warning = report["warnings"][0];
    EXPECT_NE(warning.find("11"), std::string::npos) << warning;
    EXPECT_NE(warning.find("10-11"), std::string::npos) << warning;
    EXPECT_NE(run.err.find(warning), std::string::npos) << "the warning is on standard error too";
}

// -o writes the report whole; a run that cannot start leaves the old file.
TEST(Report, ReportFileIsWrittenWholeOrNotAtAll)
{
    TempFolder folder("output");
    const std::string file = folder / "report.csv";
    SolveRun run = solve("--format csv -o '" + file + "' data/mine.vad");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(file), solve("--format csv data/mine.vad").out);

    writeFile(file, "the good report\n");
    run = solve("-o '" + file + "' data/no-such-network.vad");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(readFile(file), "the good report\n");

    run = solve("-o '" + (folder / "missing/report.txt") + "' data/mine.vad");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("-o: cannot write " + (folder / "missing/report.txt") + ": its folder does not exist"),
              std::string::npos) << run.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
        << "nothing but the report is left in the folder";
}

}  // namespace
}  // namespace orvex::clitest
