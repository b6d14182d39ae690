// --export-tables, --import-tables, --import-dxf, --export-dxf, --import-inp
// and --export-inp: networks in and out of other files, without an analysis.
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "batch.h"
#include "exchange/draft.h"
#include "exchange/dxfexport.h"
#include "exchange/dxfimport.h"
#include "exchange/epanet.h"
#include "exchange/tables.h"
#include "model/fileio.h"
#include "model/networkio.h"

namespace orvex::cli {

namespace {

// Writes an imported network under the output's name: its files as one
// save, and for a new network its parameters.
int writeImported(CBriscoDoc& doc, const Options& options, ConsoleReporter& console, bool newNetwork)
{
    if (!saveAs(doc, options, console, newNetwork))
        return kExitBadInput;
    const std::string base = baseNameOf(options.output);
    std::cout << doc.companionPath(base, "vad") << ": " << exchange::networkSummary(doc) << "\n";
    return kExitConverged;
}

// The draft stored in the document, its report said; false once said why not.
bool store(const exchange::ImportResult& result, CBriscoDoc& doc, const std::string& source)
{
    if (!result.ok) {
        fail(result.error);
        return false;
    }
    std::cout << result.report;
    const std::string problem = exchange::storeDraft(result.draft, doc);
    if (!problem.empty()) {
        fail(source + ": " + problem);
        return false;
    }
    return true;
}

int exportTables(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    const auto doc = openNetwork(app, reporter, options.network);
    if (!doc)
        return kExitBadInput;
    const std::string& folder = options.exchange.file;
    std::string there;
    for (const std::string& name : exchange::existingTables(folder))
        there += "\n  " + (std::filesystem::path(folder) / name).string();
    if (!there.empty() && !options.exchange.overwrite)
        return fail("these tables are there already:" + there + "\n--overwrite replaces them");
    std::string error;
    if (!exchange::exportTables(*doc, folder, error))
        return fail(error);
    std::cout << folder << ": network.csv, nodes.csv, roads.csv, fans.csv and bends.csv written\n";
    return kExitConverged;
}

int importTables(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    const bool update = !options.network.empty();
    std::unique_ptr<CBriscoDoc> doc =
        update ? openNetwork(app, reporter, options.network) : std::make_unique<CBriscoDoc>(app, reporter);
    if (!doc || !mayWrite(*doc, options))
        return kExitBadInput;
    const auto mode = update ? exchange::TableImport::Update : exchange::TableImport::NewNetwork;
    if (!store(exchange::importTables(options.exchange.file, *doc, mode), *doc, options.exchange.file))
        return kExitBadInput;
    return writeImported(*doc, options, reporter, !update);
}

// A file the export would replace is replaced only with --overwrite.
bool mayReplace(const std::string& path, const Options& options)
{
    if (!fileExists(path) || options.exchange.overwrite)
        return true;
    fail(path + " is there already\n--overwrite replaces it");
    return false;
}

// The drawing's options: the layers, the snap and the road values given.
bool dxfOptions(const Options& options, exchange::DxfImportOptions& dxf)
{
    const ExchangeOptions& x = options.exchange;
    for (std::size_t start = 0; start < x.layers.size();) {
        const std::size_t comma = std::min(x.layers.find(',', start), x.layers.size());
        if (comma > start)
            dxf.layers.push_back(x.layers.substr(start, comma - start));
        start = comma + 1;
    }
    if (x.snap >= 0)
        dxf.snap = x.snap;
    if (!x.depthShift.empty()) {
        char* end = nullptr;
        dxf.depthShiftX = std::strtod(x.depthShift.c_str(), &end);
        const bool comma = *end == ',';
        const char* second = comma ? end + 1 : end;
        dxf.depthShiftY = std::strtod(second, &end);
        if (!comma || end == second || *end != '\0') {
            fail("--depth-shift: expected DX,DY (metres per metre of depth), got " + x.depthShift);
            return false;
        }
    }
    if (x.roadDefaults.empty())
        return true;
    const std::string error = exchange::readRoadDefaults(x.roadDefaults, dxf.defaults);
    if (!error.empty())
        fail(error);
    return error.empty();
}

// A drawing into a new network, with the values of tables matched to its
// roads afterwards when --import-tables names them.
int importDxf(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    auto doc = std::make_unique<CBriscoDoc>(app, reporter);
    exchange::DxfImportOptions dxf;
    if (!mayWrite(*doc, options) || !dxfOptions(options, dxf))
        return kExitBadInput;
    if (!store(exchange::importDxf(options.exchange.file, dxf, app.units), *doc, options.exchange.file))
        return kExitBadInput;
    const std::string& tables = options.exchange.tables;
    if (!tables.empty() &&
        !store(exchange::importTables(tables, *doc, exchange::TableImport::Update), *doc, tables))
        return kExitBadInput;
    return writeImported(*doc, options, reporter, true);
}

int exportDxf(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    const auto doc = openNetwork(app, reporter, options.network);
    if (!doc || !mayReplace(options.exchange.file, options))
        return kExitBadInput;
    std::string error;
    if (!exchange::exportDxf(*doc, options.exchange.file, error))
        return fail(error);
    std::cout << options.exchange.file << ": " << doc->nodeCount << " nodes, " << doc->totalRoads() << " roads, "
              << doc->fanCount << " fans written\n";
    return kExitConverged;
}

int importInp(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    auto doc = std::make_unique<CBriscoDoc>(app, reporter);
    if (!mayWrite(*doc, options) ||
        !store(exchange::importInp(options.exchange.file, app.units), *doc, options.exchange.file))
        return kExitBadInput;
    return writeImported(*doc, options, reporter, true);
}

int exportInp(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    const auto doc = openNetwork(app, reporter, options.network);
    if (!doc || !mayReplace(options.exchange.file, options))
        return kExitBadInput;
    std::string error, notes;
    if (!exchange::exportInp(*doc, options.exchange.file, error, notes))
        return fail(error);
    std::cout << notes << (notes.empty() || notes.back() == '\n' ? "" : "\n") << options.exchange.file << ": "
              << doc->nodeCount << " nodes, " << doc->totalRoads() << " pipes, " << doc->fanCount << " pumps written\n";
    return kExitConverged;
}

}  // namespace

int runExchange(const Options& options, AppContext& app, ConsoleReporter& reporter)
{
    switch (options.exchange.kind) {
    case Exchange::ExportTables: return exportTables(options, app, reporter);
    case Exchange::ImportTables: return importTables(options, app, reporter);
    case Exchange::ImportDxf: return importDxf(options, app, reporter);
    case Exchange::ExportDxf: return exportDxf(options, app, reporter);
    case Exchange::ImportInp: return importInp(options, app, reporter);
    case Exchange::ExportInp: return exportInp(options, app, reporter);
    case Exchange::None: break;
    }
    return fail("no import or export was asked for");
}

}  // namespace orvex::cli
