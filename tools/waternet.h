#pragma once

#include <cstdint>
#include <string>

#include "model/briscodoc.h"

// A generator of town water-supply networks for tests and benchmarks: a
// grid of junctions on rolling ground joined by pipes (trunk mains every
// fifth row and column, distribution pipes between, some diagonal links and
// a few fittings with only a loss coefficient), two wells whose pumps feed
// the grid through their pump houses, an elevated tank on a main, and
// consumers drawing fixed flows into the tank's overflow. The default is 446
// nodes, 993 pipes, 30 fixed flows and 2 pumps; the output depends only on
// the seed and the grid's size.
namespace orvex::gennet {

struct WaterShape {
    std::uint64_t seed = 1;
    int columns = 21;    // junctions across the grid
    int rows = 21;       // junctions along it
    int consumers = 30;  // fixed-flow draws, at most one per junction
};

// Fills doc with the generated water network (network kind -9), prepared for
// an analysis as load preparation leaves it. Returns an empty string on
// success, otherwise why the shape cannot be generated (the document is then
// unchanged).
std::string generateWater(const WaterShape& shape, CBriscoDoc& doc);

}  // namespace orvex::gennet
