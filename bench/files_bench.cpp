// orvex-bench-files: reading and writing of networks with their companion
// files, for the bundled sample mine and for a network at the model's
// capacity that is generated into a temporary folder at start.
//
//   open/*          the pending-open sequence of a new network window: network
//                   file, parameters, flow sensors, road names, load
//                   preparation, adjacency, node positions, bending points,
//                   results
//   save/*          the Save sequence: network file, results, node positions,
//                   bending points (into a temporary folder)
//   read_network/*  the network file alone
//
// Run from any folder; the settings files and the sample are taken from the
// source tree. The temporary folder is TMPDIR's (else /tmp); the core's
// writers sync every file to disk, so save/* times depend on that folder's
// file system: TMPDIR=/dev/shm leaves out the disk.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "capacitynet.h"
#include "model/briscodoc.h"
#include "model/networkio.h"
#include "model/units.h"

namespace {

namespace fs = std::filesystem;

enum class Network { Sample, Capacity };

// Everything the benchmarks share, made on first use.
class Environment {
public:
    static Environment& get()
    {
        if (!sInstance)
            sInstance.reset(new Environment);
        return *sInstance;
    }
    static void finish()
    {
        if (sInstance)
            sInstance->removeTemporaryFiles();
        sInstance.reset();
    }

    orvex::AppContext app;
    orvex::SilentReporter reporter;

    // The network file of a network, or an empty string with the reason.
    std::string path(Network which, std::string& why) const
    {
        if (which == Network::Sample) {
            if (!fs::exists(mSamplePath)) {
                why = "the sample network " + mSamplePath + " is not there";
                return {};
            }
            return mSamplePath;
        }
        if (!mCapacityError.empty()) {
            why = "the capacity network could not be generated: " + mCapacityError;
            return {};
        }
        return mCapacityPath;
    }

    // A fresh folder for the files a save benchmark writes.
    std::string saveBase(Network which) const
    {
        const std::string name = which == Network::Sample ? "save-sample" : "save-capacity";
        const fs::path folder = mTempFolder / name;
        std::error_code ec;
        fs::create_directories(folder, ec);
        return (folder / "net.").string();
    }

    void removeTemporaryFiles()
    {
        std::error_code ec;
        if (!mTempFolder.empty())
            fs::remove_all(mTempFolder, ec);
        mTempFolder.clear();
    }

private:
    Environment()
    {
        app.programFolder = ORVEX_SOURCE_DIR;
        orvex::readUnitsFile(app.programFolder, app.units, reporter);
        mSamplePath = std::string(ORVEX_SOURCE_DIR) + "/data/mine.vad";

        std::error_code ec;
        const fs::path pattern = fs::temp_directory_path(ec) / "orvex-bench-XXXXXX";
        std::string buffer = pattern.string();
        if (ec || !mkdtemp(buffer.data())) {
            mCapacityError = "no temporary folder";
            return;
        }
        mTempFolder = buffer;
        fs::create_directories(mTempFolder / "capacity", ec);
        mCapacityPath = (mTempFolder / "capacity" / "capacity.vad").string();
        mCapacityError = orvex::gennet::writeNetwork(orvex::gennet::Shape{}, mCapacityPath);
    }

    static std::unique_ptr<Environment> sInstance;
    std::string mSamplePath, mCapacityPath, mCapacityError;
    fs::path mTempFolder;
};

std::unique_ptr<Environment> Environment::sInstance;

std::int64_t fileBytes(const std::string& base, const std::vector<std::string>& extensions)
{
    std::int64_t total = 0;
    for (const std::string& extension : extensions) {
        std::error_code ec;
        const auto size = fs::file_size(base + extension, ec);
        if (!ec)
            total += std::int64_t(size);
    }
    return total;
}

void countNetwork(benchmark::State& state, const orvex::CBriscoDoc& doc, bool withBends = true)
{
    state.counters["nodes"] = doc.nodeCount;
    state.counters["roads"] = doc.totalRoads();
    state.counters["fans"] = doc.fanCount;
    if (withBends)
        state.counters["bend_slots"] = doc.bendUsed;
}

// Opens the network into doc as a new window does; false with the reason.
bool openInto(orvex::CBriscoDoc& doc, const std::string& path, orvex::MemoryProfile& profile)
{
    orvex::AppContext& app = Environment::get().app;
    app.pendingFile = path;
    app.pending = true;
    return orvex::openPendingNetwork(doc, profile);
}

// The network file of a network; empty (and the benchmark skipped) when it
// is not there.
std::string pathOrSkip(benchmark::State& state, Network which)
{
    std::string why;
    const std::string path = Environment::get().path(which, why);
    if (path.empty())
        state.SkipWithError(why.c_str());
    return path;
}

void BM_Open(benchmark::State& state, Network which)
{
    Environment& env = Environment::get();
    const std::string path = pathOrSkip(state, which);
    if (path.empty())
        return;
    auto doc = std::make_unique<orvex::CBriscoDoc>(env.app, env.reporter);
    orvex::MemoryProfile profile;
    for (auto _ : state) {
        if (!openInto(*doc, path, profile)) {
            state.SkipWithError("the network could not be opened");
            break;
        }
        benchmark::DoNotOptimize(doc->nodeCount);
        benchmark::ClobberMemory();
    }
    const std::string base = orvex::baseNameOf(path);
    state.SetBytesProcessed(state.iterations() *
                            fileBytes(base, {"vad", "sdt", "mcd", "nrd", "jpd", "apd", "pkd"}));
    countNetwork(state, *doc);
}

void BM_Save(benchmark::State& state, Network which)
{
    Environment& env = Environment::get();
    const std::string path = pathOrSkip(state, which);
    if (path.empty())
        return;
    auto doc = std::make_unique<orvex::CBriscoDoc>(env.app, env.reporter);
    orvex::MemoryProfile profile;
    if (!openInto(*doc, path, profile)) {
        state.SkipWithError("the network could not be opened");
        return;
    }
    const std::string base = env.saveBase(which);
    for (auto _ : state) {
        if (orvex::saveNetwork(*doc, base) != 1) {
            state.SkipWithError("the network could not be saved");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * fileBytes(base, {"vad", "pkd", "jpd", "apd"}));
    countNetwork(state, *doc);
}

void BM_ReadNetworkFile(benchmark::State& state, Network which)
{
    Environment& env = Environment::get();
    const std::string path = pathOrSkip(state, which);
    if (path.empty())
        return;
    auto doc = std::make_unique<orvex::CBriscoDoc>(env.app, env.reporter);
    for (auto _ : state) {
        if (doc->readNetworkFile(path, true) != 1) {
            state.SkipWithError("the network file could not be read");
            break;
        }
        benchmark::DoNotOptimize(doc->roadCount);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * fileBytes(orvex::baseNameOf(path), {"vad"}));
    countNetwork(state, *doc, false);
}

BENCHMARK_CAPTURE(BM_Open, sample, Network::Sample)->Name("open/sample")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Open, capacity, Network::Capacity)->Name("open/capacity")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Save, sample, Network::Sample)->Name("save/sample")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Save, capacity, Network::Capacity)->Name("save/capacity")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadNetworkFile, sample, Network::Sample)
    ->Name("read_network/sample")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadNetworkFile, capacity, Network::Capacity)
    ->Name("read_network/capacity")
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Environment::finish();
    return 0;
}
