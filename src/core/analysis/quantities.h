#pragma once

#include <array>

#include "model/briscodoc.h"

// The quantities shown above and below every road and beside every node,
// computed from the network and the last analysis, and the air mixed at the
// nodes during a fire. Kinds are numbered as in the display settings; a kind
// without a value leaves the caller's value and gives false.
namespace orvex {

// The road quantities that follow the displayed kinds 0..19: the air's (or
// water's) velocity, and what the last fire run left in the road. A road
// without such a value (no cross-section, no fire run, no gas) gets NaN.
constexpr int kVelocityKind = 20;         // m/s, + from first to second node
constexpr int kGasArrivalKind = 21;       // min after the fire started
constexpr int kPeakGasKind = 22;          // %
constexpr int kPeakTemperatureKind = 23;  // °C
constexpr int kRoadQuantityKinds = 24;
// The hazard: in a road (kind 13) the minute its air became untenable, at a
// node (node kind 6) the earliest such minute of the normal roads that end
// there; NaN where it never did or before a fire run.
constexpr int kRoadHazardKind = 13;
constexpr int kNodeHazardKind = 6;
float nodeUntenableAt(const CBriscoDoc& doc, int i);

// Velocity in road k, m/s: its flow at its own density over its
// cross-section; in a water network the flow over the pipe's bore.
float roadVelocity(const CBriscoDoc& doc, int k);
// Pressure drop of road k in the display pressure unit.
float roadPressureDrop(const CBriscoDoc& doc, int k);
bool roadValue(const CBriscoDoc& doc, int k, int kind, float& value);
// The air power of fan f in kW: its pressure in Pa times its airflow in
// m³/s, divided by 1000.
double fanPowerKw(const CBriscoDoc& doc, int f);
bool nodeValue(CBriscoDoc& doc, int i, int kind, float& value);
void computeRelativePressures(CBriscoDoc& doc);  // node kind 3
void walkPressureLoss(CBriscoDoc& doc);          // node kind 4

// Record iterators over the quantities, as the model's: 1 a record was
// handed out, 0 the end.
int nextRoadValue(const CBriscoDoc& doc, RecordCursor& cursor, int kind, float& value);
int nextNodeValue(CBriscoDoc& doc, RecordCursor& cursor, int mode, int& number, float& value);

// The node mixing's state, kept with the document between runs.
struct MixingWork : LayerWork {
    std::array<unsigned char, kMaxNodes> mixing{};         // nodes on the current mixing path
    std::array<unsigned char, kMaxNodes> noInflowShown{};  // "No airflow" said once per run
};
MixingWork& mixingWork(CBriscoDoc& doc);

// Temperature and gas of the air leaving a node; false (and -99) when no
// air flows into it.
bool mixNode(CBriscoDoc& doc, int number, float& temperature, float& gas);
float nodeGasTemperature(CBriscoDoc& doc, int i);

}  // namespace orvex
