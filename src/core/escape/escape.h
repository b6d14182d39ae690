#pragma once

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fire/fire.h"
#include "model/briscodoc.h"

// The safest way out during a fire: from a place of the mine, the quickest
// walk along normal roads to an evacuation destination that never enters a
// road whose air has become untenable before the walker has left it, nor a
// not-useable road. The hazard times are those the last fire run recorded
// (Road::untenableAt); docs/escape.md gives the model.
namespace orvex {

constexpr double kNoHazard = std::numeric_limits<double>::infinity();

// How the network's evacuation parameters are read.
struct EscapeSettings {
    TenabilityLimits limits;   // gas_esc × gsf_esc %, 50 °C × tmf_esc × tpf_esc
    double speed = 60;         // spd_esc, m/min
    double safetyFactor = 1;   // ftf_esc: untenable times are divided by it
    double startMinute = 0;    // the walkers set out this long after the fire started
};

struct EscapeRoute {
    int node = 0;              // where the walker starts
    int destination = 0;       // the destination reached; 0 when no road leads to one
    std::vector<int> route;    // node numbers walked, from node to destination
    std::vector<int> roads;    // road indexes walked, in order
    double length = 0;         // m
    double time = 0;           // min of walking
    // The least slack, min, between leaving a road of the route and the
    // minute it becomes untenable; kNoHazard when none of them ever does.
    // Below 0 on a route that is not safe.
    double margin = kNoHazard;
    double exposure = 0;       // %·min: at most the fire gas breathed on the way
    // Tenable all the way. When no safe route exists but a destination can
    // be reached, route is the quickest way regardless of the fire (so that
    // the window can show where it is cut); when none can be reached at all,
    // destination is 0 and route empty.
    bool safe = false;
};

// The search over one network after its fire run; it keeps a reference to
// the document, which must outlive it and not change meanwhile.
class EscapeSearch {
public:
    // Reads the evacuation parameters; startMinute is a warning delay.
    explicit EscapeSearch(const CBriscoDoc& doc, double startMinute = 0);

    // Empty when the search can run, else why not (no destination, a
    // walking speed of 0 or below...); naming the parameter file.
    const std::string& error() const { return mError; }
    // What was left out: destinations and not-useable roads that name no
    // node or road of the network, a fire on the surface.
    const std::vector<std::string>& warnings() const { return mWarnings; }
    const EscapeSettings& settings() const { return mSettings; }

    // The minute from which walkers must have left road k (its untenable
    // minute over the safety factor); kNoHazard when it never becomes untenable.
    double deadline(int k) const;
    // The way out from the node with that number; an empty route for a
    // number that is not in the network or while error() is set.
    EscapeRoute from(int number) const;
    // The way out from every underground node, in node order.
    std::vector<EscapeRoute> fromUnderground() const;

private:
    void readDestinations();
    void readClosedRoads();
    void findQuickestWays();
    std::optional<std::vector<int>> tenableWay(int start) const;
    EscapeRoute routeAlong(int start, const std::vector<int>& roads) const;
    int otherEnd(int k, int i) const;  // node index at the far end of road k from node index i

    const CBriscoDoc& mDoc;
    EscapeSettings mSettings;
    std::string mError;
    std::vector<std::string> mWarnings;
    std::vector<double> mPenalty;  // by node index: minutes a destination costs, NaN: not one
    std::vector<char> mClosed;     // by road index: not useable
    // The quickest way out regardless of the fire, by node index: its
    // minutes (level included; infinite where none) and the road it starts with.
    std::vector<double> mQuickest;
    std::vector<int> mNext;
};

// The places a fire cuts off: a destination can be reached from them, but no
// way stays tenable (node numbers, ascending). Places no road joins to a
// destination are not among them; they had no way out before the fire.
std::vector<int> cutOff(const std::vector<EscapeRoute>& routes);

}  // namespace orvex
