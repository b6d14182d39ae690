// orvex-gennet: writes a large, mine-like network with its companion files,
// by default at the capacity of the network model.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "capacitynet.h"
#include "model/networkio.h"

namespace {

int usage(const char* problem = nullptr)
{
    std::ostream& out = problem ? std::cerr : std::cout;
    if (problem)
        out << "orvex-gennet: " << problem << "\n";
    out << "usage: orvex-gennet [--seed N] [--nodes N] [--roads N] [--fans N] OUTPUT.vad\n"
                 "  Writes OUTPUT.vad with OUTPUT.sdt, .jpd, .apd and .pkd beside it.\n"
                 "  Defaults: seed 1, 999 nodes, 1499 roads, 49 fans (the model's capacity).\n";
    return 2;
}

bool parseWhole(const char* text, long long low, long long high, long long& value)
{
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    orvex::gennet::Shape shape;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            return usage(), 0;  // asked for: on stdout, and not an error
        const bool option = arg == "--seed" || arg == "--nodes" || arg == "--roads" || arg == "--fans";
        if (option) {
            if (i + 1 >= argc)
                return usage((arg + " needs a value").c_str());
            long long value = 0;
            const char* text = argv[++i];
            if (arg == "--seed") {
                if (!parseWhole(text, 0, 999999999999LL, value))
                    return usage("the seed must be a whole number from 0 to 999999999999");
                shape.seed = std::uint64_t(value);
            } else if (!parseWhole(text, 0, 100000, value)) {
                return usage((arg + " needs a whole number").c_str());
            } else if (arg == "--nodes") {
                shape.nodes = int(value);
            } else if (arg == "--roads") {
                shape.roads = int(value);
            } else {
                shape.fans = int(value);
            }
        } else if (arg.rfind("--", 0) == 0) {
            return usage(("unknown option " + arg).c_str());
        } else if (!output.empty()) {
            return usage("only one output file may be given");
        } else {
            output = arg;
        }
    }
    if (output.empty())
        return usage("no output file given");

    orvex::gennet::Summary summary;
    const std::string error = orvex::gennet::writeNetwork(shape, output, &summary);
    if (!error.empty()) {
        std::cerr << "orvex-gennet: " << error << "\n";
        return 1;
    }
    const std::string base = orvex::baseNameOf(output);
    std::printf("%svad: %d nodes (%d surface) on %d levels, %d roads (%d fixed-flow), %d fans (%d main), "
                "%d bending-point slots; companion files %s{sdt,jpd,apd,pkd}\n",
                base.c_str(), summary.nodes, summary.surfaceNodes, summary.levels,
                summary.normalRoads + summary.fixedRoads, summary.fixedRoads, summary.fans, summary.mainFans,
                summary.bendSlots, base.c_str());
    return 0;
}
