// orvex-bench-exchange: DXF import and export of a drawing near the
// network's capacity, generated into a temporary folder at start: a square
// grid of 27 x 27 junctions 25 m apart, 702 airways along one axis as
// LWPOLYLINEs with a vertex half-way, 702 along the other as LINEs (1404
// airways, 729 nodes).
//
//   dxf/import/capacity     the drawing read, snapped and split into a draft
//   dxf/export/capacity     the network of that draft written as a DXF plan
//   tables/export/capacity  the generated capacity network (orvex-gennet)
//                           written as CSV tables
//   tables/import/capacity  those tables read back into a new network
//
// The temporary folder is TMPDIR's (else /tmp); the export's file is synced
// to disk, so export times depend on that folder's file system.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "capacitynet.h"
#include "exchange/dxfexport.h"
#include "exchange/dxfimport.h"
#include "exchange/tables.h"
#include "model/networkio.h"
#include "model/briscodoc.h"
#include "model/fileio.h"
#include "model/units.h"

namespace {

namespace fs = std::filesystem;

constexpr int kJunctions = 27;

std::string gridDrawing()
{
    std::string text = "0\nSECTION\n2\nENTITIES\n";
    const auto at = [](int i) { return std::to_string(25 * i); };
    for (int i = 0; i < kJunctions; ++i)
        for (int j = 0; j + 1 < kJunctions; ++j) {
            text += "0\nLWPOLYLINE\n8\nDRIVES\n90\n3\n38\n-100\n10\n" + at(j) + "\n20\n" + at(i) + "\n10\n" +
                    std::to_string(25 * j + 12.5) + "\n20\n" + std::to_string(25 * i + 2.0) + "\n10\n" + at(j + 1) +
                    "\n20\n" + at(i) + "\n";
            text += "0\nLINE\n8\nCROSSCUTS\n10\n" + at(i) + "\n20\n" + at(j) + "\n30\n-100\n11\n" + at(i) + "\n21\n" +
                    at(j + 1) + "\n31\n-100\n";
        }
    return text + "0\nENDSEC\n0\nEOF\n";
}

class Environment {
public:
    static Environment& get()
    {
        static Environment environment;
        return environment;
    }
    ~Environment()
    {
        std::error_code ec;
        if (!folder.empty())
            fs::remove_all(folder, ec);
    }

    orvex::AppContext app;
    orvex::SilentReporter reporter;
    fs::path folder;
    std::string drawing, network, error;

private:
    Environment()
    {
        app.programFolder = ORVEX_SOURCE_DIR;
        orvex::readUnitsFile(app.programFolder, app.units, reporter);
        std::error_code ec;
        std::string buffer = (fs::temp_directory_path(ec) / "orvex-bench-XXXXXX").string();
        if (ec || !mkdtemp(buffer.data())) {
            error = "no temporary folder";
            return;
        }
        folder = buffer;
        drawing = (folder / "capacity.dxf").string();
        if (!orvex::writeFileSafely(drawing, gridDrawing(), ec))
            error = "the drawing could not be written";
        network = (folder / "capacity.vad").string();
        if (error.empty() && !orvex::gennet::writeNetwork(orvex::gennet::Shape{}, network).empty())
            error = "the capacity network could not be written";
    }
};

void BM_Import(benchmark::State& state)
{
    Environment& env = Environment::get();
    if (!env.error.empty())
        return state.SkipWithError(env.error.c_str());
    orvex::exchange::ImportResult result;
    for (auto _ : state) {
        result = orvex::exchange::importDxf(env.drawing, {}, env.app.units);
        benchmark::DoNotOptimize(result.draft.roads.data());
    }
    if (!result.ok)
        return state.SkipWithError(result.error.c_str());
    state.counters["nodes"] = double(result.draft.nodes.size());
    state.counters["roads"] = double(result.draft.roads.size());
}

void BM_Export(benchmark::State& state)
{
    Environment& env = Environment::get();
    if (!env.error.empty())
        return state.SkipWithError(env.error.c_str());
    const orvex::exchange::ImportResult result = orvex::exchange::importDxf(env.drawing, {}, env.app.units);
    auto doc = std::make_unique<orvex::CBriscoDoc>(env.app, env.reporter);
    if (!result.ok || !orvex::exchange::storeDraft(result.draft, *doc).empty())
        return state.SkipWithError("the drawing gives no network");
    const std::string path = (env.folder / "export.dxf").string();
    std::string error;
    for (auto _ : state)
        if (!orvex::exchange::exportDxf(*doc, path, error))
            return state.SkipWithError(error.c_str());
    state.counters["roads"] = doc->totalRoads();
    state.counters["bend_slots"] = doc->bendUsed;
}

// The capacity network, opened as a window opens it.
std::unique_ptr<orvex::CBriscoDoc> capacity(Environment& env)
{
    auto doc = std::make_unique<orvex::CBriscoDoc>(env.app, env.reporter);
    if (env.error.empty() && orvex::openNetwork(*doc, env.network) == 1)
        return doc;
    return nullptr;
}

void BM_TablesExport(benchmark::State& state)
{
    Environment& env = Environment::get();
    const auto doc = capacity(env);
    if (!doc)
        return state.SkipWithError("the capacity network could not be opened");
    const std::string folder = (env.folder / "tables").string();
    std::string error;
    for (auto _ : state)
        if (!orvex::exchange::exportTables(*doc, folder, error))
            return state.SkipWithError(error.c_str());
    state.counters["roads"] = doc->totalRoads();
}

void BM_TablesImport(benchmark::State& state)
{
    Environment& env = Environment::get();
    const auto doc = capacity(env);
    std::string error;
    const std::string folder = (env.folder / "tables").string();
    if (!doc || !orvex::exchange::exportTables(*doc, folder, error))
        return state.SkipWithError("the capacity network's tables could not be written");
    orvex::CBriscoDoc fresh(env.app, env.reporter);
    for (auto _ : state) {
        const orvex::exchange::ImportResult result =
            orvex::exchange::importTables(folder, fresh, orvex::exchange::TableImport::NewNetwork);
        if (!result.ok || !orvex::exchange::storeDraft(result.draft, fresh).empty())
            return state.SkipWithError(result.error.c_str());
    }
    state.counters["roads"] = fresh.totalRoads();
}

}  // namespace

BENCHMARK(BM_Import)->Name("dxf/import/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export)->Name("dxf/export/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TablesExport)->Name("tables/export/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TablesImport)->Name("tables/import/capacity")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
