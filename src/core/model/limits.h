#pragma once

// Fixed capacities of a network. Every array of the document is indexed from 1;
// element 0 never holds data, so a capacity of 1000 leaves room for indexes 1..999.
namespace orvex {

constexpr int kMaxNodes = 1000;        // node arrays; surface + underground stays below it
constexpr int kMaxNodeNumbers = 1500;  // node numbers are whole numbers 0..1499
constexpr int kMaxRoads = 1500;        // road arrays; normal + fixed-flow stays below it
constexpr int kMaxBendSlots = 2500;    // bending-point store; used slots stay below it
constexpr int kMaxFans = 50;           // fan arrays; the fan count stays below it
constexpr int kMaxFanPoints = 30;      // characteristic points per fan
constexpr int kMaxEvacuation = 100;    // evacuation lists; entries 1..99
constexpr int kAdjacencySize = 2 * kMaxRoads;  // two entries per normal road

constexpr int kHeadingChars = 79;  // a heading line with its line end
constexpr int kRoadNameChars = 20;
constexpr int kUnitLabelChars = 19;

constexpr int kGeneralHeadings = 10;

inline bool isValidNodeNumber(int number) { return number >= 0 && number < kMaxNodeNumbers; }

}  // namespace orvex
