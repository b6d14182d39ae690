// The batch report: what each road carries, names, fans, natural draught,
// the node balance, warnings, the units of the CSV and the report file.
#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "analysis/networkcheck.h"
#include "support.h"

namespace orvex::test {
namespace {

using json = nlohmann::json;

constexpr double kKgfM2PerPa = 0.1019716;      // the sample units.sdt's pressure factor
constexpr double kKgPerSPerFlow = 0.0200765;    // its specific weight: m3/min to kg/s at 1.20459 kg/m3

const json& sampleMine()
{
    static const json report = json::parse(solve("--format json data/mine.vad").out);
    return report;
}

// A small network with its node positions and, if given, its parameters,
// road names and heading, reported in JSON or in the format the options
// choose (then as the text "report").
json solveNetwork(const std::string& name, const std::string& vad, const std::string& jpd, int status,
                  const std::string& parameters = "", const std::string& options = "",
                  const std::string& names = "", const std::string& heading = "")
{
    TempFolder folder;
    if (!parameters.empty())
        writeFile(folder.file(name + ".sdt"), parameters);
    if (!names.empty())
        writeFile(folder.file(name + ".nrd"), names);
    writeFile(folder.file(name + ".vad"), "[ORVEX network]" + (heading.empty() ? name : heading) +
                                            "\nsecond heading\nsurface nodes\n" + vad +
                                            "network kind\n0 0 0\nsurface temperature\n10\nend of data &\n");
    writeFile(folder.file(name + ".jpd"), jpd);
    const bool asJson = options.find("--format") == std::string::npos;
    const SolveRun run = runIn(kSourceDir, solveBinary(), (asJson ? "--format json " : "") + options + " '" +
                                                           (folder.file(name + ".vad")) + "'");
    EXPECT_EQ(run.status, status) << run.err;
    json report = asJson ? json::parse(run.out) : json{{"report", run.out}};
    report["stderr"] = run.err;
    return report;
}

// Every road's flow is its mass flow at standard density, so the flow
// column adds up at every node: the fixed-flow road 201-202 (set airflow 0)
// carries 45.5 kg/s, about 2268 m3/min, and says so. The largest node
// imbalance (found by the analysis) is an underground node's, in both units.
TEST(Report, RoadsFansAndImbalanceInTheirUnits)
{
    const json& report = sampleMine();
    EXPECT_EQ(report["method"], "newton");  // unless another is chosen
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

// A loop without fans, down a cold shaft (10 C) and up a warm one (30 C):
// its natural draught equals the loss round the loop, the outside air's
// column between its two surface nodes included. With both at elevation 0
// it is 300 m × (density down − density up), each density
// P/((T + 273.15) × 29.27) at the shaft's mean pressure.
json loopWithExitAt(int elevation)
{
    const std::string e = std::to_string(elevation);
    return solveNetwork("loop",
        "2\n1 0  2 " + e + "\nunderground nodes\n2\n10 -300  11 -300\nroads\n3\n"
        "1 10 0.5 10 10 300 2\n10 11 0.5 20 10 500 2\n11 2 0.5 30 10 300 2\nfixed-flow roads\n0\nfans\n0\n",
        "1 0 0\n2 200 " + e + "\n10 0 -300\n11 200 -300\n", 0);
}

TEST(Report, NaturalDraughtOfALoopIsTheWeightOfItsTwoColumns)
{
    const json level = loopWithExitAt(0);
    std::map<int, double> p;  // kgf/m²
    for (const auto& node : level["nodes"])
        p[node["number"]] = node["pressure"].get<double>() * kKgfM2PerPa;
    const auto density = [&](int a, int b, double t) { return (p[a] + p[b]) / 2 / ((t + 273.15) * 29.27); };
    const double expected = 300 * (density(1, 10, 10) - density(11, 2, 30)) / kKgfM2PerPa;
    EXPECT_GT(expected, 200.0);
    EXPECT_NEAR(level["naturalDraught"].get<double>(), expected, 0.005 * expected);
    for (const int exit : {0, -100, 100}) {
        const json report = loopWithExitAt(exit);
        double loss = 0;
        for (const auto& road : report["roads"])
            loss += road["pressureLoss"].get<double>();
        EXPECT_NEAR(report["naturalDraught"].get<double>(), loss, 0.01 * loss) << "exit at " << exit << " m";
    }
}

// A fan that blows into a dead end: warned once, named, and the run exits 1.
// A fan's shaft power and cost take the network's own efficiency for it.
TEST(Report, FanDutiesTakeTheNetworksOwnEfficiency)
{
    TempFolder folder;
    for (const char* ext : {"vad", "sdt", "nrd", "jpd", "apd"})
        writeFile(folder.file(std::string("mine.") + ext), readFile(kSourceDir + "/data/mine." + ext));
    writeFile(folder.file("mine.chk"), "fan 10 3 efficiency 0.5\n");
    const json fan = json::parse(solve("--format json '" + folder.file("mine.vad") + "'").out)["fans"][0];
    EXPECT_NEAR(fan["shaftPower"].get<double>(), 2 * fan["power"].get<double>(), 1e-6);
}

TEST(Report, AirThatCannotBalanceIsWarnedAndExitsOne)
{
    EXPECT_EQ(sampleMine()["warnings"], json::array());
    const json report = solveNetwork("deadend",
        "1\n1 0\nunderground nodes\n2\n10 -100  11 -100\nroads\n1\n1 10 0.5 20 10 100 2\n"
        "fixed-flow roads\n0\nfans\n1\nFan: blind\n10 11 3 1000\n800 600 300\n",
        "1 0 0\n10 0 -100\n11 100 -100\n", 1, "", "--fail-on-checks");  // still 1, whatever the checks say
    EXPECT_TRUE(report["airCannotBalance"].get<bool>());
    EXPECT_FALSE(report["checks"].empty());
    ASSERT_EQ(report["warnings"].size(), 1u);
    const std::string warning = report["warnings"][0];
    EXPECT_NE(warning.find("node 11 "), std::string::npos) << warning;
    EXPECT_NE(warning.find("fan 10-11"), std::string::npos) << warning;
    EXPECT_NE(report["stderr"].get<std::string>().find(warning), std::string::npos) << "on standard error too";
}

// The widths in characters of the first lines holding each part.
std::string characterWidths(const std::string& report, const std::vector<std::string>& parts)
{
    std::string widths;
    for (const std::string& part : parts) {
        const std::size_t at = report.find(part), start = report.rfind('\n', at) + 1;
        const std::string line = report.substr(start, report.find('\n', at) - start);
        widths += (widths.empty() ? "" : " ") +
                  std::to_string(std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    }
    return widths;
}

// Texts of the files that are not UTF-8 -- a road name in the GBK code page
// of the files' Chinese texts, a Latin-1 heading -- are UTF-8 in every format
// of the report. Where a heading too long for its line is cut is the model's
// (FileTexts).
TEST(Report, TextsOfAnyCodePageAreUtf8InEveryFormat)
{
    const std::string network =
        "2\n1 0  2 0\nunderground nodes\n1\n10 0\nroads\n2\n1 10 0.5 20 10 100 2\n10 2 0.5 20 10 100 2\n"
        "fixed-flow roads\n1\n1 10 100\nfans\n0\n";
    const std::string names = "1 10 0 0 \xd6\xf7\xcf\xef\xb5\xc0\n10 2 0 0 Say\"hi\n";  // GBK; a quote
    const std::string name = "\xe4\xb8\xbb\xe5\xb7\xb7\xe9\x81\x93";  // the same in UTF-8
    const std::string title = "Mine de Caf\xc3\xa9 Nord";
    for (const char* format : {"json", "csv", "text"}) {
        SCOPED_TRACE(format);
        const json run = solveNetwork("texts", network, "1 0 0\n2 200 0\n10 100 0\n", 0, "",
                                      std::string("--format ") + format, names, "Mine de Caf\xe9 Nord");
        const std::string report = run["report"];
        EXPECT_NO_THROW(json(report).dump()) << "not UTF-8";
        EXPECT_NE(report.find(name), std::string::npos) << report;
        if (std::string(format) == "json") {
            const json parsed = json::parse(report);
            EXPECT_EQ(parsed["title"], title);
            EXPECT_EQ(parsed["roads"][0]["name"], name);
        } else if (std::string(format) == "text") {
            EXPECT_EQ(report.substr(0, report.find('\n')), title);
            // Names are padded by characters: the named roads' lines are as long as the unnamed one's.
            EXPECT_EQ(characterWidths(report, {name, "Say\"hi", " fixed "}), "118 118 118") << report;
        } else {
            EXPECT_NE(report.find(",\"Say\"\"hi\","), std::string::npos) << "the quote doubled";
        }
    }
}

// The CSV and text reports give the node pressures of the JSON report to
// their decimals; in a fire run's CSV every road row has as many fields as
// its header, fixed-flow roads too.
TEST(Report, CsvAndTextAgreeWithJson)
{
    const std::string csv = solve("--format csv data/mine.vad").out, text = solve("--format text data/mine.vad").out;
    for (const auto& node : sampleMine()["nodes"]) {
        char inCsv[64], inText[64];
        std::snprintf(inCsv, sizeof inCsv, ",%.4f,", node["pressure"].get<double>());
        std::snprintf(inText, sizeof inText, " %14.2f ", node["pressure"].get<double>());
        EXPECT_NE(csv.find(inCsv), std::string::npos) << inCsv;
        EXPECT_NE(text.find(inText), std::string::npos) << inText;
    }
    for (const auto& road : sampleMine()["roads"]) {  // the velocity ends a road's line; none without a section
        char inCsv[64], inText[64];
        const bool none = road["velocity"].is_null();
        std::snprintf(inCsv, sizeof inCsv, ",%.3f\n", none ? 0.0 : road["velocity"].get<double>());
        std::snprintf(inText, sizeof inText, " %9.2f\n", none ? 0.0 : road["velocity"].get<double>());
        EXPECT_NE(csv.find(none ? std::string(",\n") : inCsv), std::string::npos) << inCsv;
        EXPECT_NE(text.find(none ? std::string(10, ' ') + "\n" : inText), std::string::npos) << inText;
    }
    const json checks = sampleMine()["checks"];
    ASSERT_GE(checks.size(), 5u);  // the slow roads, the booster's loop, the regulator
    for (const auto& c : checks) {  // the same findings in every format
        std::string element;
        for (const auto& n : c["element"])
            element += (element.empty() ? "" : "-") + std::to_string(n.get<int>());
        const std::string kind = c["kind"];
        EXPECT_NE(csv.find("\n" + kind + "," + element + ","), std::string::npos) << kind << " " << element;
        EXPECT_NE(text.find(kind), std::string::npos);
    }
    std::istringstream fire(solve("--format csv data/minefire.vad").out);
    std::string line;
    while (std::getline(fire, line) && line.rfind("index,", 0) != 0) {
    }
    const auto fields = std::count(line.begin(), line.end(), ',');
    int rows = 0;
    for (; std::getline(fire, line) && !line.empty(); ++rows)
        ASSERT_EQ(std::count(line.begin(), line.end(), ','), fields) << line;
    EXPECT_GT(rows, 10);
}

// A fire whose air has passed every road before the finish time settles:
// the run has done its work, says so, and exits 0. One whose clock cannot
// move (no time step) has not: it exits 1 and says so.
json fireRun(const std::string& name, const std::string& timeStep, int status, const std::string& options = "")
{
    return solveNetwork(name,
        "2\n1 0  2 0\nunderground nodes\n2\n10 0  11 0\nroads\n2\n10 11 0.5 20 10 50 2\n11 2 0.5 20 10 50 2\n"
        "fixed-flow roads\n1\n1 10 600\nfans\n0\n",
        "1 0 0\n2 200 0\n10 50 0\n11 100 0\n", status,
        "kval, ftime_fi, dummy\n 5.00 " + timeStep + " 0.0\nfirenode, firetemp, ftime_ai, firetime, fc_lim\n"
        " 10 400.0 1.0 10.0 0.0010\ngas_esc, tmf_esc, ftf_esc, gsf_esc, tpf_esc, spd_esc\n"
        " 5.0 1.0 1.0 1.0 1.0 60.0\nEvacuation destination\n 0\nNot Useable roadway\n 0\n",
        options);
}

TEST(Report, FireThatSettlesBeforeItsFinishTimeCompletes)
{
    const json report = fireRun("settles", "0.10", 0);
    EXPECT_EQ(report["result"], 0);
    EXPECT_TRUE(report["settled"].get<bool>());
    EXPECT_LT(report["simulatedMinutes"].get<double>(), 2.0);
    EXPECT_EQ(report["stderr"].get<std::string>().find("did not complete"), std::string::npos) << report["stderr"];
    for (const auto& road : report["roads"])
        if (!road["fixed"].get<bool>()) {
            EXPECT_EQ(road["gasConcentration"].get<double>(), 100) << road["from"] << "-" << road["to"];
            EXPECT_EQ(road["peakGas"].get<double>(), 100);
            EXPECT_GE(road["gasArrival"].get<double>(), 0);
            EXPECT_GT(road["peakTemperature"].get<double>(), 20);
        }
    const std::string stuck = fireRun("stuck", "0.0", 1, "--format text")["report"];
    EXPECT_NE(stuck.find("Result 0 (not completed)"), std::string::npos) << stuck;
    EXPECT_EQ(fireRun("settles", "0.10", 0, "--format text")["report"].get<std::string>().find("not completed"), std::string::npos);
}

// The ways out of the fire sample at 60 m/min, from every underground node
// to its destination: 101 walks its 200 m road to surface 1 where the air
// never turns untenable (no margin); from the fire node none is safe. A
// fire without destinations has no way out to report.
TEST(Report, EscapeRoutesOfTheFireSample)
{
    const json report = json::parse(solve("--escape --format json data/minefire.vad").out);
    std::map<int, json> byNode;
    for (const json& r : report["escape"])
        byNode[r["node"].get<int>()] = r;
    const auto& nodes = report["nodes"];
    EXPECT_EQ(byNode.size(), std::count_if(nodes.begin(), nodes.end(), [](const json& n) { return !n["surface"]; }));
    EXPECT_EQ(byNode[101]["route"], json({101, 1}));
    EXPECT_EQ(byNode[101]["length"], 200);
    EXPECT_NEAR(byNode[101]["time"].get<double>(), 200.0 / 60, 1e-9);
    EXPECT_TRUE(byNode[101]["margin"].is_null());
    EXPECT_FALSE(byNode[212]["safe"].get<bool>());
    EXPECT_GT(byNode[202]["margin"].get<double>(), 0);
    const std::string none = fireRun("settles", "0.10", 2, "--escape --format text")["stderr"];
    EXPECT_NE(none.find("settles.sdt: no evacuation destination is given"), std::string::npos) << none;
}

// Imbalances keep three decimals, more when small enough to need them for
// three significant digits, and a power of ten when tinier still.
TEST(Report, ImbalancesShowTheirSignificantDigits)
{
    const std::pair<double, const char*> cases[] = {{0, "0.000"},         {5.5, "5.500"},   {123.4567, "123.457"},
                                                    {-0.5, "-0.500"},     {0.0123456, "0.0123"},
                                                    {1e-12, "1.00e-12"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(imbalanceText(value), text) << value;
}

// -o writes the report whole, not on standard output; a run that cannot
// start leaves the old file.
TEST(Report, ReportFileIsWrittenWholeOrNotAtAll)
{
    TempFolder folder;
    const std::string file = folder.file("report.csv");
    EXPECT_EQ(solve("--format csv -o '" + file + "' data/mine.vad").out, "");
    EXPECT_EQ(readFile(file), solve("--format csv data/mine.vad").out);

    writeFile(file, "the good report\n");
    EXPECT_EQ(solve("-o '" + file + "' data/no-such-network.vad").status, 2);
    EXPECT_EQ(readFile(file), "the good report\n");
}

}  // namespace
}  // namespace orvex::test
