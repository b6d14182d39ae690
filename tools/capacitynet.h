#pragma once

#include <cstdint>
#include <array>
#include <string>

#include "model/briscodoc.h"

// A generator of large, mine-like test networks, shared by the orvex-gennet
// tool and the benchmarks. By default it fills the model to its capacity:
// 999 nodes, 1499 roads (a few of them fixed-flow roads), 49 fans and most
// of the bending-point store.
//
// The mine: a handful of surface nodes (the collar of the intake shaft, the
// portal of a decline, one fan outlet per main fan), levels at increasing
// depth laid out as grids of parallel drifts joined by crosscuts, an intake
// shaft, a decline ramp with a conveyor incline, return shafts with their
// main fans on top, inclined raises between levels, stoppings and regulators
// in some crosscuts and station accesses, and booster fans set in bulkheads
// across drifts. Every node lies on at least two normal roads, the network
// is connected through its normal roads, no two roads join the same pair of
// nodes, and the output depends only on the seed and the three counts.
//
// Airways get Atkinson resistances from their length, cross-section and a
// friction factor; stoppings, regulators, booster bulkheads and the leakage
// of the fan houses get higher ones; all lie within 0.001..0.3 Ns²/m⁸. Fan
// curves fall to 0 Pa at free delivery, so that every fan has an operating
// point on its curve.
namespace orvex::gennet {

struct Shape {
    std::uint64_t seed = 1;
    int nodes = kMaxNodes - 1;  // surface plus underground
    int roads = kMaxRoads - 1;  // normal plus fixed-flow
    int fans = kMaxFans - 1;
};

struct Summary {
    int surfaceNodes = 0, nodes = 0, normalRoads = 0, fixedRoads = 0, fans = 0;
    int mainFans = 0, levels = 0, bendSlots = 0;
};

// Fills doc with the generated network, replacing whatever it held. Returns
// an empty string on success, otherwise why the shape cannot be generated
// (the document is then unchanged).
std::string generate(const Shape& shape, CBriscoDoc& doc, Summary* summary = nullptr);

// Generates the network and writes it with its companion files through the
// document's writers: the network file at path (or base name + "vad" when
// path has no three-letter extension), then base name + "sdt" (parameters),
// "jpd" (node positions), "apd" (bending points) and "pkd" (results of load
// preparation). Returns an empty string on success, otherwise the reason.
std::string writeNetwork(const Shape& shape, const std::string& path, Summary* summary = nullptr);

// What a generated network's files say of themselves, and the constants of
// its fluid: the ten section headings (headings[0] is the first), its kind,
// surface temperature, title and density.
struct GeneratedFrame {
    std::array<std::string, 10> headings;
    int networkKind = 0;
    float surfaceTemperature = 0;
    std::string title;
    float density = 0;
};

// Puts the frame into doc, blank headings on the fans from firstUnusedFan
// on, and leaves the document unmodified.
void frameGenerated(CBriscoDoc& doc, const GeneratedFrame& frame, int firstUnusedFan);

}  // namespace orvex::gennet
