// The batch report: what each road carries, names, fans, natural draught,
// the node balance, warnings, the units of the CSV and the report file.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support.h"

namespace orvex::clitest {
namespace {

using json = nlohmann::json;

constexpr double kKgfM2PerPa = 0.1019716;      // the sample units.sdt's pressure factor
constexpr double kKgPerSPerFlow = 0.0200765;    // its specific weight: m3/min to kg/s at 1.20459 kg/m3

const json& sampleMine()
{
    static const json report = json::parse(solve("--format json data/mine.vad").out);
    return report;
}

// A small network with its node positions and, if given, its parameters.
json solveNetwork(const std::string& name, const std::string& vad, const std::string& jpd, int status,
                  const std::string& parameters = "")
{
    TempFolder folder(name);
    if (!parameters.empty())
        writeFile(folder / (name + ".sdt"), parameters);
    writeFile(folder / (name + ".vad"), "[ORVEX network]" + name + "\nsecond heading\nsurface nodes\n" + vad +
                                            "network kind\n0 0 0\nsurface temperature\n10\nend of data &\n");
    writeFile(folder / (name + ".jpd"), jpd);
    const SolveRun run = runIn(kSource, solveBinary(), "--format json '" + (folder / (name + ".vad")) + "'");
    EXPECT_EQ(run.status, status) << run.err;
    json report = json::parse(run.out);
    report["stderr"] = run.err;
    return report;
}

// With --method newton the report carries the same flows and fan points,
// from a handful of iterations.
TEST(Report, NewtonMethodReportsTheSameFlows)
{
    const json& relaxed = sampleMine();
    const json newton = json::parse(solve("--method newton --format json data/mine.vad").out);
    EXPECT_EQ(newton["result"], 1);
    EXPECT_LT(newton["iterations"].get<int>(), 30);
    double largest = 0;
    for (const auto& road : relaxed["roads"])
        largest = std::max(largest, std::fabs(road["massFlow"].get<double>()));
    ASSERT_EQ(newton["roads"].size(), relaxed["roads"].size());
    for (std::size_t k = 0; k < relaxed["roads"].size(); ++k)
        EXPECT_NEAR(newton["roads"][k]["massFlow"].get<double>(), relaxed["roads"][k]["massFlow"].get<double>(),
                    1e-3 * largest) << relaxed["roads"][k];
    ASSERT_EQ(newton["fans"].size(), relaxed["fans"].size());
    for (std::size_t f = 0; f < relaxed["fans"].size(); ++f)
        EXPECT_NEAR(newton["fans"][f]["pressure"].get<double>(), relaxed["fans"][f]["pressure"].get<double>(),
                    1e-3 * relaxed["fans"][f]["pressure"].get<double>());
}

// Every road's flow is its mass flow at standard density, so the flow
// column adds up at every node: the fixed-flow road 201-202 (set airflow 0)
// carries 45.5 kg/s, about 2268 m3/min, and says so. The largest node
// imbalance (found by the analysis) is an underground node's, in both units.
TEST(Report, RoadsFansAndImbalanceInTheirUnits)
{
    const json& report = sampleMine();
    for (const auto& road : report["roads"])
        EXPECT_NEAR(road["flow"].get<double>() * kKgPerSPerFlow, road["massFlow"].get<double>(), 1e-3) << road;
    const json& fixed = report["roads"].back();
    EXPECT_EQ(std::make_tuple(fixed["from"], fixed["to"], fixed["setFlow"]), std::make_tuple(201, 202, 0.0));
    EXPECT_NEAR(fixed["flow"].get<double>(), 2268.0, 5.0);
    EXPECT_FALSE(report["roads"][0].contains("setFlow")) << "only fixed-flow roads have a set value";
    // mine.nrd names 1-101 IntakeShaft; 101-201 has no name.
    EXPECT_EQ(report["roads"][0]["name"], "IntakeShaft");
    EXPECT_EQ(report["roads"][1]["name"], "");
    // Air power: Pa × m3/min / 60 / 1000 kW.
    for (const auto& fan : report["fans"])
        EXPECT_NEAR(fan["power"].get<double>(), fan["pressure"].get<double>() * fan["flow"].get<double>() / 60000,
                    1e-3);
    const json& imbalance = report["largestImbalance"];
    EXPECT_NE(imbalance["node"], 0);
    EXPECT_NEAR(imbalance["flow"].get<double>() * kKgPerSPerFlow, imbalance["massFlow"].get<double>(), 1e-6);
}

TEST(Report, CsvHeadersCarryTheUnits)
{
    const std::string csv = solve("--format csv data/mine.vad").out;
    for (const char* header :
         {"result,iterations,naturalDraught (Pa),imbalanceNode,imbalanceFlow (m3/min),imbalanceMassFlow (kg/s),warnings\n",
          "number,surface,elevation (m),pressure (Pa),relativePressure (Pa)\n",
          "index,from,to,name,fixed,flow (m3/min),setFlow (m3/min),massFlow (kg/s),pressureLoss (Pa),direction\n",
          "inlet,outlet,flow (m3/min),pressure (Pa),power (kW)\n"})
        EXPECT_NE(csv.find(header), std::string::npos) << header;
    EXPECT_NE(csv.find("\n1,1,101,IntakeShaft,0,"), std::string::npos);
}

// A loop without fans, down a cold shaft (10 C) and up a warm one (30 C),
// both surface nodes at elevation 0: its natural draught is 300 m × (density
// down − density up), each density P/((T + 273.15) × 29.27) at the shaft's
// mean pressure, and it equals the loss round the loop.
TEST(Report, NaturalDraughtOfALoopIsTheWeightOfItsTwoColumns)
{
    const json report = solveNetwork("loop",
        "2\n1 0  2 0\nunderground nodes\n2\n10 -300  11 -300\nroads\n3\n"
        "1 10 0.5 10 10 300 2\n10 11 0.5 20 10 500 2\n11 2 0.5 30 10 300 2\nfixed-flow roads\n0\nfans\n0\n",
        "1 0 0\n2 200 0\n10 0 -300\n11 200 -300\n", 0);
    std::map<int, double> p;  // kgf/m²
    for (const auto& node : report["nodes"])
        p[node["number"]] = node["pressure"].get<double>() * kKgfM2PerPa;
    const auto density = [&](int a, int b, double t) { return (p[a] + p[b]) / 2 / ((t + 273.15) * 29.27); };
    const double expected = 300 * (density(1, 10, 10) - density(11, 2, 30)) / kKgfM2PerPa;
    EXPECT_GT(expected, 200.0);
    EXPECT_NEAR(report["naturalDraught"].get<double>(), expected, 0.005 * expected);
    double loss = 0;
    for (const auto& road : report["roads"])
        loss += road["pressureLoss"].get<double>();
    EXPECT_NEAR(report["naturalDraught"].get<double>(), loss, 0.01 * loss);
}

// A fan that blows into a dead end: warned once, named, and the run exits 1.
TEST(Report, AirThatCannotBalanceIsWarnedAndExitsOne)
{
    EXPECT_EQ(sampleMine()["warnings"], json::array());
    const json report = solveNetwork("deadend",
        "1\n1 0\nunderground nodes\n2\n10 -100  11 -100\nroads\n1\n1 10 0.5 20 10 100 2\n"
        "fixed-flow roads\n0\nfans\n1\nFan: blind\n10 11 3 1000\n800 600 300\n",
        "1 0 0\n10 0 -100\n11 100 -100\n", 1);
    EXPECT_TRUE(report["airCannotBalance"].get<bool>());
    ASSERT_EQ(report["warnings"].size(), 1u);
    const std::string warning = report["warnings"][0];
    EXPECT_NE(warning.find("node 11 "), std::string::npos) << warning;
    EXPECT_NE(warning.find("fan 10-11"), std::string::npos) << warning;
    EXPECT_NE(report["stderr"].get<std::string>().find(warning), std::string::npos) << "on standard error too";
}

// A fire whose air has passed every road before the finish time settles:
// the run has done its work, says so, and exits 0.
TEST(Report, FireThatSettlesBeforeItsFinishTimeCompletes)
{
    const json report = solveNetwork("settles",
        "2\n1 0  2 0\nunderground nodes\n2\n10 0  11 0\nroads\n2\n10 11 0.5 20 10 50 2\n11 2 0.5 20 10 50 2\n"
        "fixed-flow roads\n1\n1 10 600\nfans\n0\n",
        "1 0 0\n2 200 0\n10 50 0\n11 100 0\n", 0,
        "kval, ftime_fi, dummy\n 5.00 0.10 0.0\nfirenode, firetemp, ftime_ai, firetime, fc_lim\n"
        " 10 400.0 1.0 10.0 0.0010\ngas_esc, tmf_esc, ftf_esc, gsf_esc, tpf_esc, spd_esc\n"
        " 5.0 1.0 1.0 1.0 1.0 60.0\nEvacuation destination\n 0\nNot Useable roadway\n 0\n");
    EXPECT_EQ(report["result"], 0);
    EXPECT_TRUE(report["settled"].get<bool>());
    EXPECT_LT(report["simulatedMinutes"].get<double>(), 2.0);
    EXPECT_EQ(report["stderr"].get<std::string>().find("did not complete"), std::string::npos) << report["stderr"];
    for (const auto& road : report["roads"])
        if (!road["fixed"].get<bool>()) {
            EXPECT_EQ(road["gasConcentration"].get<double>(), 100) << road["from"] << "-" << road["to"];
        }
}

// -o writes the report whole, not on standard output; a run that cannot
// start leaves the old file.
TEST(Report, ReportFileIsWrittenWholeOrNotAtAll)
{
    TempFolder folder("output");
    const std::string file = folder / "report.csv";
    EXPECT_EQ(solve("--format csv -o '" + file + "' data/mine.vad").out, "");
    EXPECT_EQ(readFile(file), solve("--format csv data/mine.vad").out);

    writeFile(file, "the good report\n");
    EXPECT_EQ(solve("-o '" + file + "' data/no-such-network.vad").status, 2);
    EXPECT_EQ(readFile(file), "the good report\n");
}

}  // namespace
}  // namespace orvex::clitest
