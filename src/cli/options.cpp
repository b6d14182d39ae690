#include "options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "model/programfolder.h"
#include "scenario/runcases.h"

#ifndef ORVEX_VERSION
#define ORVEX_VERSION "unknown"
#endif

namespace orvex::cli {

namespace {

constexpr const char* kDescription =
    "Opens a network (.vad) with its companion files the way the window program does, runs the\n"
    "airflow analysis (or the fire simulation when the network's parameter file sets a finish\n"
    "time) and reports node pressures, road airflows and fan operating points.";

// Shown after the options.
constexpr const char* kFooter =
    "Road quantities for --above and --below: 0 nothing, 1 airflow at the standard density,\n"
    "  2 airflow at the road's density, 3 direction (1 forward, 2 reverse), 4 pressure loss,\n"
    "  5 resistance, 6 alternative resistance, 7 temperature, 8 area, 9 length,\n"
    "  10 rock heat conductivity, 12 road name, 14 gas temperature, 15 to 19 external values,\n"
    "  20 air velocity (m/s), and after a fire run 13 the minute the air became untenable,\n"
    "  21 the minute fire gas first arrived, 22 the highest fire gas (%), 23 the highest air\n"
    "  temperature.\n"
    "--colour-by takes 1, 2, 4, 5, 7, 8, 9, 13, 14, 20 to 23, and 24 the design checks' verdict.\n"
    "Node quantities for --nodes: 0 nothing, 1 number, 2 elevation, 3 pressure above the lowest\n"
    "  surface pressure, 4 pressure loss from the surface, 5 gas temperature, 6 after a fire run\n"
    "  the first minute a road at the node became untenable, 7 to 10 external.\n"
    "\n"
    "The program folder holds the settings files (sdt/units.sdt and the rest): the current\n"
    "folder when it has sdt/units.sdt, else the installed data folder beside the program.\n"
    "\n"
    "Exit status:\n"
    "  0  the analysis converged (a fire run reached its finish time, or settled\n"
    "     before it with no front left in any road)\n"
    "  1  it did not converge (iteration limit, run cut short) or the air cannot balance\n"
    "  2  bad input: options, the network or its files, or the settings files\n"
    "  3  with --fail-on-checks: the run converged but a design check found a violation\n"
    "With --compare, --scenarios and --sweep: 0 when the base and every case converged,\n"
    "  1 when a case did not converge or could not be made, 3 with --fail-on-checks when a\n"
    "  case's checks add a violation (docs/scenarios.md).\n"
    "Imports and exports (docs/exchange.md): 0 when written, 2 when the input could not be\n"
    "  used or a file could not be written.\n"
    "--calibrate (docs/calibration.md): 0 when the fitted network was written, 1 when the fit\n"
    "  did not converge or was stopped (nothing written), 2 when the survey, --fit or the\n"
    "  network cannot be used.\n";

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A whole number in low..high, read from the whole text.
bool readWhole(const std::string& text, int low, int high, int& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < low || v > high)
        return false;
    value = int(v);
    return true;
}

CLI::Validator wholeNumber(int low, int high)
{
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            int value = 0;
            if (readWhole(text, low, high, value))
                return {};
            return "expected a whole number " + std::to_string(low) + " to " + std::to_string(high) +
                   ", got " + (text.empty() ? "nothing" : text);
        },
        std::to_string(low) + ".." + std::to_string(high));
}

constexpr int kMinImageSide = 64, kMaxImageSide = 20000;

bool readSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find_first_of("xX");
    return x != std::string::npos &&
           readWhole(text.substr(0, x), kMinImageSide, kMaxImageSide, width) &&
           readWhole(text.substr(x + 1), kMinImageSide, kMaxImageSide, height);
}

// A check of an option's value: the text of what is wrong, empty when the
// value will do.
CLI::Validator checked(std::string (*check)(const std::string&))
{
    return CLI::Validator([check](std::string& value) { return check(value); }, "");
}

// Where the report goes and what else the run writes or measures.
void addOutputOptions(CLI::App& app, Options& options)
{
    app.add_option("-o,--output", options.output,
                   "Write the report to FILE (replaced whole, never left half-written)")
        ->type_name("FILE");
    app.add_flag("--save", options.save, "Write the results back into the network's files");
    app.add_flag("--airflow-only", options.airflowOnly,
                 "Run the airflow analysis even when the parameter file sets a fire");
    app.add_flag("--timing", options.timing, "Report the time spent opening, analysing, saving");
    app.add_flag("--fail-on-checks", options.failOnChecks,
                 "Exit 3 when a design check finds a violation (docs/checks.md)");
    app.add_flag("--escape", options.escape,
                 "After a fire run, the safest way out from every underground node (docs/escape.md)")
        ->excludes(app.get_option("--airflow-only"));
}

// The options of the plan image, each needing --plan; the size is kept as
// given until the command line has been read.
void addPlanOptions(CLI::App& app, Options& options, std::string& size)
{
    CLI::Option* plan =
        app.add_option("--plan", options.plan,
                       "Draw the analysed plan into FILE: PNG (.png) or PDF (.pdf)")
            ->type_name("FILE")
            ->check(checked([](const std::string& file) -> std::string {
                if (planFormatOf(file) != PlanFormat::None)
                    return {};
                return "cannot write " + file + ": a plan image is a .png or a .pdf file";
            }));

    PlanOptions& p = options.planOptions;
    const std::string sizeHelp = "Image size in pixels (default " + std::to_string(p.width) + "x" +
                                 std::to_string(p.height) + ")";
    app.add_option("--size", size, sizeHelp)
        ->type_name("WxH")
        ->needs(plan)
        ->check(checked([](const std::string& text) -> std::string {
            int w = 0, h = 0;
            if (readSize(text, w, h))
                return {};
            return "expected WxH with each side " + std::to_string(kMinImageSide) + " to " +
                   std::to_string(kMaxImageSide) + ", got " + (text.empty() ? "nothing" : text);
        }));
    app.add_option("--above", p.aboveKind, "Road quantity written above the roads (default 1)")
        ->type_name("K")->needs(plan)->check(wholeNumber(0, 23));
    app.add_option("--below", p.belowKind, "Road quantity written below the roads (default 0)")
        ->type_name("K")->needs(plan)->check(wholeNumber(0, 23));
    app.add_option("--nodes", p.nodeKind, "Node quantity written at the nodes (default 1)")
        ->type_name("K")->needs(plan)->check(wholeNumber(0, 10));
    app.add_option("--digits", p.digits, "Decimals of the plan's values (default 0)")
        ->type_name("N")->needs(plan)->check(wholeNumber(0, 7));
    app.add_flag("--print-colours", p.printColours, "Draw the plan in the print colours on white")
        ->needs(plan);
    app.add_option("--colour-by", p.look.roadColourKind,
                   "Colour the roads by a road quantity, with a legend (default 0: no colours)")
        ->type_name("K")->needs(plan)
        ->check(checked([](const std::string& text) -> std::string {
            int kind = -1;
            if (readWhole(text, 0, kCheckStateKind, kind) &&
                std::find(kRoadColourKinds.begin(), kRoadColourKinds.end(), kind) != kRoadColourKinds.end())
                return {};
            return "roads cannot be coloured by " + (text.empty() ? std::string("nothing") : text) +
                   ": give 1, 2, 4, 5, 7, 8, 9, 13, 14 or 20 to 24";
        }));
    app.add_flag("--arrows", p.look.arrows, "Draw an arrow with the air on every road that carries some")
        ->needs(plan);
    app.add_flag("--width-by-flow", p.look.widthByFlow, "Draw roads wider the more air they carry")
        ->needs(plan);
    app.add_flag("--screen-labels", p.look.screenLabels,
                 "Labels of one size, none overlapping another (node numbers first)")
        ->needs(plan);
}

// The what-if runs, one at a time; the sweep's words are read after the
// command line, since its list may be left out.
void addWhatIfOptions(CLI::App& app, Options& options, std::vector<std::string>& sweep)
{
    CLI::Option* compare =
        app.add_option("--compare", options.compareBase,
                       "Compare NETWORK's run with this base network's: roads, fans, nodes, checks")
            ->type_name("BASE.vad");
    CLI::Option* scenarios =
        app.add_option("--scenarios", options.scenarioFile,
                       "Run the base and every scenario of FILE, each against the base")
            ->type_name("FILE");
    CLI::Option* sweepOption =
        app.add_option("--sweep", sweep,
                       "Each case in turn against the base: fans-off, roads-closed [A-B,C-D,...],\n"
                       "fire-nodes [N,M,...] (every fan, normal road or underground node when no list)")
            ->type_name("KIND [LIST]")
            ->expected(1, 3);
    compare->excludes(scenarios)->excludes(sweepOption);
    scenarios->excludes(sweepOption);
    for (CLI::Option* o : {compare, scenarios, sweepOption})
        o->excludes(app.get_option("--save"))->excludes(app.get_option("--plan"));
    app.add_option("--jobs", options.jobs, "Cases run at once (default: one per core)")
        ->type_name("N")->check(wholeNumber(1, kMaxJobs));
    app.add_option("--threshold", options.thresholdPercent,
                   "A road changed when its airflow changed by more than PCT % (default 10)")
        ->type_name("PCT")->check(CLI::Range(0.0, 1000.0));
    app.add_flag("--quiet", options.quiet, "No progress line on standard error");
}

// Networks in and out of other files; which one was asked for is settled
// after the command line was read (readExchange).
struct ExchangeWords {
    std::string exportTables, importTables, importDxf, exportDxf, importInp, exportInp;
};

void addExchangeOptions(CLI::App& app, Options& options, ExchangeWords& words)
{
    ExchangeOptions& x = options.exchange;
    app.add_option("--export-tables", words.exportTables, "Write NETWORK as CSV tables into DIR (docs/exchange.md)")
        ->type_name("DIR");
    app.add_option("--import-tables", words.importTables,
                   "Read CSV tables from DIR: a new network (-o NET.vad), or updates of NETWORK\n"
                   "(-o NEW.vad), or with --import-dxf values matched to the drawing's roads")
        ->type_name("DIR");
    CLI::Option* dxf = app.add_option("--import-dxf", words.importDxf,
                                      "Make a network (-o NET.vad) from a drawing's lines and polylines")
                           ->type_name("FILE.dxf");
    app.add_option("--layers", x.layers, "The drawing's layers to import (default: every layer)")
        ->type_name("A,B")->needs(dxf);
    app.add_option("--snap", x.snap, "Ends closer than this become one node (default 0.5 m)")
        ->type_name("METRES")->needs(dxf)->check(CLI::Range(0.0, 1000.0));
    app.add_option("--road-defaults", x.roadDefaults, "Values of the imported roads (docs/dxf.md)")
        ->type_name("FILE")->needs(dxf);
    app.add_option("--depth-shift", x.depthShift,
                   "Lay the levels beside one another: metres along X and Y per metre of depth")
        ->type_name("DX,DY")->needs(dxf);
    app.add_option("--export-dxf", words.exportDxf, "Write NETWORK's plan as a drawing for CAD")->type_name("FILE.dxf");
    app.add_option("--import-inp", words.importInp, "Make a water network (-o NET.vad) from an EPANET input file")
        ->type_name("FILE.inp");
    app.add_option("--export-inp", words.exportInp, "Write the water network NETWORK as an EPANET input file")
        ->type_name("FILE.inp");
    app.add_flag("--overwrite", x.overwrite, "Replace files that are there already");
}

// One exchange at most (tables may follow a drawing), with the network and
// the output it needs; false once said why not.
bool readExchange(const ExchangeWords& words, Options& options)
{
    ExchangeOptions& x = options.exchange;
    const std::pair<const std::string*, Exchange> given[] = {
        {&words.exportTables, Exchange::ExportTables}, {&words.importDxf, Exchange::ImportDxf},
        {&words.exportDxf, Exchange::ExportDxf},       {&words.importInp, Exchange::ImportInp},
        {&words.exportInp, Exchange::ExportInp},       {&words.importTables, Exchange::ImportTables}};
    int count = 0;
    for (const auto& [word, kind] : given)
        if (!word->empty() && !(kind == Exchange::ImportTables && x.kind == Exchange::ImportDxf)) {
            ++count;
            x.kind = kind;
            x.file = *word;
        }
    if (x.kind == Exchange::ImportDxf)
        x.tables = words.importTables;
    const auto bad = [](const std::string& text) {
        std::cerr << "orvex-solve: " << text << "\nRun orvex-solve --help for the options.\n";
        return false;
    };
    if (count > 1)
        return bad("one import or export at a time (--import-tables may follow --import-dxf)");
    if (x.kind == Exchange::None)
        return true;
    if (options.whatIf != WhatIf::None || options.save || !options.plan.empty())
        return bad("an import or export runs no analysis: leave out --save, --plan and the what-if options");
    const bool imports = x.kind == Exchange::ImportTables || x.kind == Exchange::ImportDxf || x.kind == Exchange::ImportInp;
    if (imports && options.output.empty())
        return bad("name the network to write with -o NET.vad");
    if ((x.kind == Exchange::ImportDxf || x.kind == Exchange::ImportInp) && !options.network.empty())
        return bad("the import makes a new network; " + options.network + " is not read (-o names the network to write)");
    if (!imports && options.network.empty())
        return bad("NETWORK is required");
    return true;
}

// --bounds LO,HI: the factors of a resistance's starting value it stays
// within, the start between them.
bool readBounds(const std::string& text, double& low, double& high)
{
    char* end = nullptr;
    low = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != ',')
        return false;
    const char* second = end + 1;
    high = std::strtod(second, &end);
    return end != second && *end == '\0' && low > 0 && low <= 1 && high >= 1 && low < high && std::isfinite(high);
}

void addCalibrationOptions(CLI::App& app, Options& options, std::string& bounds)
{
    CalibrationOptions& c = options.calibration;
    CLI::Option* calibrate =
        app.add_option("--calibrate", c.survey,
                       "Fit NETWORK's resistances to the survey and write the fitted network\n"
                       "(-o FITTED.vad) when the fit converged (docs/calibration.md)")
            ->type_name("SURVEY.csv");
    app.add_option("--fit", c.fit, "What to fit: roads, roads:A-B,..., groups:PREFIX,..., group:A-B,...,\n"
                                   "fans, fans:A-B,..., joined by ';' (default roads)")
        ->type_name("TERMS")->needs(calibrate);
    app.add_option("--prior", c.priorPercent,
                   "A resistance's prior: its starting value within PCT % (default 50)")
        ->type_name("PCT")->needs(calibrate)
        ->check(checked([](const std::string& text) -> std::string {
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            if (end != text.c_str() && *end == '\0' && v > 0 && v <= 1000)
                return {};
            return "expected a percentage above 0, at most 1000, got " + (text.empty() ? "nothing" : text);
        }));
    app.add_option("--bounds", bounds,
                   "A resistance stays within these factors of its start (default 0.01,100)")
        ->type_name("LO,HI")->needs(calibrate)
        ->check(checked([](const std::string& text) -> std::string {
            double low = 0, high = 0;
            if (readBounds(text, low, high))
                return {};
            return "expected LO,HI with 0 < LO <= 1 <= HI, LO below HI, got " + (text.empty() ? "nothing" : text);
        }));
    app.add_option("--fit-iterations", c.iterations,
                   "The fit's steps before it is given up as not converged (default 100)")
        ->type_name("N")->needs(calibrate)
        ->check(checked([](const std::string& text) -> std::string {
            char* end = nullptr;
            const long v = std::strtol(text.c_str(), &end, 10);
            if (end != text.c_str() && *end == '\0' && v >= 1 && v <= 10000)
                return {};
            return "expected a whole number from 1 to 10000, got " + (text.empty() ? "nothing" : text);
        }));
}

// A calibration stands alone: NETWORK in, -o out, no analysis report.
bool readCalibration(const std::string& bounds, Options& options)
{
    if (options.calibration.survey.empty())
        return true;
    const auto bad = [](const std::string& text) {
        std::cerr << "orvex-solve: --calibrate: " << text << "\nRun orvex-solve --help for the options.\n";
        return false;
    };
    if (options.whatIf != WhatIf::None || options.exchange.kind != Exchange::None || options.save ||
        !options.plan.empty() || options.escape)
        return bad("leave out --save, --plan, --escape, the what-if options and the imports and exports");
    if (options.network.empty())
        return bad("NETWORK is required");
    if (options.output.empty())
        return bad("name the fitted network to write with -o FITTED.vad");
    if (!bounds.empty())
        readBounds(bounds, options.calibration.lowFactor, options.calibration.highFactor);
    return true;
}

// The sweep's kind and list. The words after the kind may hold the network
// as well, before or after the list: a word that is no list is the network.
bool readSweep(const std::vector<std::string>& words, Options& options)
{
    if (!parseSweepKind(words[0], options.sweep)) {
        std::cerr << "orvex-solve: --sweep: expected fans-off, roads-closed or fire-nodes, got " << words[0] << "\n";
        return false;
    }
    bool listRead = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const bool list = words[i].find_first_not_of("0123456789,- ") == std::string::npos;
        if (!list && options.network.empty()) {
            options.network = words[i];
            continue;
        }
        std::string error;
        if (listRead || !parseSweepList(words[i], options.sweep, options.sweepItems, error)) {
            std::cerr << "orvex-solve: --sweep: " << (listRead ? "one list, and " + words[i] + " is a second" : error)
                      << "\n";
            return false;
        }
        listRead = true;
    }
    return true;
}

// The settings folder, the report's form and the solver.
void addRunOptions(CLI::App& app, Options& options, std::string& format, std::string& method)
{
    app.add_option("--program-folder", options.programFolder,
                   "Folder holding sdt/units.sdt and the other settings files")
        ->type_name("DIR")
        ->check(checked([](const std::string& folder) -> std::string {
            return holdsSettingsFiles(folder) ? "" : folder + " holds no sdt/units.sdt";
        }));

    app.add_option("--format", format, "Report as text (default), csv or json")
        ->type_name("text|csv|json")
        ->check(checked([](const std::string& text) -> std::string {
            const std::string f = lowerCase(text);
            if (f == "text" || f == "csv" || f == "json")
                return {};
            return "expected text, csv or json, got " + (text.empty() ? "nothing" : text);
        }));

    addOutputOptions(app, options);
    app.add_option("--method", method,
                   "Solver: newton (default, the whole network at once) or relaxation (node by\n"
                   "node); where it cannot settle the network the other one is run")
        ->type_name("newton|relaxation")
        ->check(checked([](const std::string& text) -> std::string {
            if (parseSolverMethod(text))
                return {};
            return "expected newton or relaxation, got " + (text.empty() ? "nothing" : text);
        }));
}

}  // namespace

ParseResult parseCommandLine(int argc, const char* const* argv, Options& options)
{
    CLI::App app(kDescription, "orvex-solve");
    app.set_help_flag("-h,--help", "Print this usage and exit");
    app.set_version_flag("--version", std::string("orvex-solve ") + ORVEX_VERSION,
                         "Print the version and exit");
    app.footer(kFooter);
    app.get_formatter()->column_width(36);

    app.add_option("NETWORK", options.network, "The network file (.vad) to analyse")->type_name("");

    std::string format = "text";
    std::string method = solverMethodName(kDefaultSolverMethod);
    addRunOptions(app, options, format, method);
    std::string size;
    addPlanOptions(app, options, size);
    std::vector<std::string> sweep;
    addWhatIfOptions(app, options, sweep);
    ExchangeWords exchange;
    addExchangeOptions(app, options, exchange);
    std::string bounds;
    addCalibrationOptions(app, options, bounds);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            app.exit(e);
            return ParseResult::Done;
        }
        std::cerr << "orvex-solve: " << e.what() << "\n"
                  << "Run orvex-solve --help for the options.\n";
        return ParseResult::Bad;
    }

    if (!sweep.empty() && !readSweep(sweep, options))
        return ParseResult::Bad;
    options.whatIf = !options.compareBase.empty() ? WhatIf::Compare
                   : !options.scenarioFile.empty() ? WhatIf::Scenarios
                   : !sweep.empty()                ? WhatIf::Sweep
                                                   : WhatIf::None;
    if (!readExchange(exchange, options) || !readCalibration(bounds, options))
        return ParseResult::Bad;
    const bool fireSweep = options.whatIf == WhatIf::Sweep && options.sweep == SweepKind::FireNodes;
    if (options.escape && ((options.whatIf != WhatIf::None && !fireSweep) || options.exchange.kind != Exchange::None)) {
        std::cerr << "orvex-solve: --escape goes with the fire run of one NETWORK or a fire-nodes sweep, not with "
                     "other what-if runs, imports or exports\n";
        return ParseResult::Bad;
    }
    if (options.network.empty() && options.exchange.kind == Exchange::None) {
        std::cerr << "orvex-solve: NETWORK is required\nRun orvex-solve --help for the options.\n";
        return ParseResult::Bad;
    }
    const std::string f = lowerCase(format);
    options.format = f == "csv" ? Format::Csv : f == "json" ? Format::Json : Format::Text;
    options.method = parseSolverMethod(method).value_or(kDefaultSolverMethod);
    if (!size.empty())
        readSize(size, options.planOptions.width, options.planOptions.height);
    options.programFolder = withoutTrailingSlash(options.programFolder);
    return ParseResult::Run;
}

}  // namespace orvex::cli
