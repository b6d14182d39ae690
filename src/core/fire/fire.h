#pragma once

#include <array>

#include "model/briscodoc.h"

namespace orvex {

class AnalysisDialog;
class FireObserver;

constexpr int kFrontSlots = 499;  // the front table's slots, 1..499

// A plug of fire gas. While travelling, time is when it reaches the road's
// downstream end (hours); inside a road, the distance it has come from the
// upstream end (m).
struct FireFront {
    int road = 0;
    float time = 0;
    float temperature = 0;  // °C of the air behind the front
    float gas = 0;          // % fire gas of the air behind the front
};

// The fire simulation's state, kept with the document. The travelling fronts
// fill the table upward from slot 1, the in-road fronts downward from slot
// 499; together they never hold more than 499.
struct FireWork : LayerWork {
    std::array<FireFront, kFrontSlots + 1> fronts{};
    std::array<FireFront, kFrontSlots + 1> scratch{};  // in-road entries while they are requeued
    int nFront = 0;
    int nInRoad = 0;
    // The travelling fronts sit in slots 1..frontEnd in the order they were
    // made; a front taken out leaves a gap (road 0) until the list is packed.
    int frontEnd = 0;
    // A tournament over the slots: each entry the earliest front of its half
    // (the first in slot order among equals), entry 1 the earliest of all;
    // leaves at kFrontTreeLeaves + slot, 0 for none.
    static constexpr int kFrontTreeLeaves = 512;
    std::array<short, 2 * kFrontTreeLeaves> earliest{};
    float tMin = 0;        // simulated time, min
    float tNextSolve = 0;  // time of the next airflow re-solve, min
    float tHour = 0;       // tMin in hours
    float simulatedMinutes = 0;  // the last step the run completed, min
    // The last run ended before its finish time because no front was left in
    // any road: the fire's air had reached everywhere it goes, and nothing
    // changed any more.
    bool settled = false;
    int spreadNode = 0;    // the node that spreads next, and when (h)
    float spreadTime = 0;
    int lastSolveResult = 0;
    int resolves = 0;            // airflow re-solves of the last run
    std::array<unsigned char, kMaxNodes> emitted{};   // nodes that emitted again in this step
};

// The air a person can walk through: at most `gas` % fire gas and at most
// `temperature` °C. Read from the evacuation parameters: the gas limit is
// gas_esc × gsf_esc, the temperature limit kTenableTemperature × tmf_esc ×
// tpf_esc. A fire run records in every road the minute the air entering it
// first passed either limit (Road::untenableAt).
constexpr float kTenableTemperature = 50.0f;  // °C, the limit at factors 1
struct TenabilityLimits {
    float gas = 5.0f;
    float temperature = kTenableTemperature;
};
TenabilityLimits tenabilityLimits(const FireParameters& f);

FireWork& fireWork(CBriscoDoc& doc);
const FireWork& fireWork(const CBriscoDoc& doc);

// Runs the fire simulation the document's fire parameters describe, from
// a first airflow solve: 1 the run ended (finish time reached or a re-solve
// failed), 0 not started, stopped, or the gas stopped moving before the
// finish time.
int StartFireSimulation(CBriscoDoc& doc, AnalysisDialog& dialog, FireObserver& observer);

}  // namespace orvex
