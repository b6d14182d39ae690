// Fire simulation.
//
// Hot, gas-laden air leaves the fire node and travels through the normal
// roads as plugs ("fronts") at each road's mean air velocity. At nodes the
// arriving streams mix in proportion to their mass flows; fixed-flow roads
// and fans hold no volume and pass their upstream node's air on at once. On
// its way through a road the air exchanges heat with the rock (a heat
// exchanger of NTU = 2π·kval·K·L / (|Q|·3600·cp)), which sets the road's
// outlet and mean temperatures. The mean temperature is what the airflow
// solver uses for natural draught, so at every re-solve the fire's draught
// feeds back into the airflows and with them into the front speeds.
//
// A road knows the air that last entered it (its gas concentration and entry
// temperature: a node sends a new front only where these differ from its own
// air, by `fc_lim` in gas or by as much as two fronts may differ and still be
// one in temperature) and the air that last reached its far end (outlet gas
// and temperature: what the node there mixes). Air that is still on its way
// through a road is nowhere mixed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "fire/fire.h"

#include "analysis/analysisdialog.h"
#include "analysis/quantities.h"
#include "analysis/solver.h"
#include "fire/fireobserver.h"

namespace orvex {

namespace {

constexpr float kMinutesToHours = 1.0f / 60.0f;
constexpr float kSameArrival = 0.001f;   // h: fronts arriving this close are one front
constexpr float kSameTemperature = 5.0f; // °C: fronts this close in temperature are one front

// Mean of T_rock + (T_in - T_rock)·e^(-x) over x in 0..ntu; T_in as NTU -> 0.
float meanOfExchanger(float rock, float in, float ntu)
{
    if (ntu < 1e-6f)
        return in;
    return rock + (in - rock) * (1 - std::exp(-ntu)) / ntu;
}

std::string fireStatusLine(int node, float temperature, float time, float finish)
{
    char text[96];
    std::snprintf(text, sizeof text, "Fire[%4d,%5.0fC] Time=%.0f/%.0f", node, double(temperature),
                  double(time), double(finish));
    return text;
}

// One run of the simulation: the document, the fronts it keeps with it, and
// where the run shows its progress.
class FireSimulation {
public:
    FireSimulation(CBriscoDoc& doc, AnalysisDialog& dialog, FireObserver& observer)
        : doc(doc), w(fireWork(doc)), dialog(dialog), observer(observer)
    {
    }
    int start();

private:
    int timeLoop();
    int spreadFromNode(int number, float t);
    void emitFromNode(int number, float t);
    void takeEarliestFront(float t);
    void addFront(const FireFront& front);
    void removeFront(int slot);
    void packFronts();
    void placeInTree(int slot);
    void rebuildTree();
    void requeueFronts();
    void meanTemperatureOfPartlyFilledRoads();

    CBriscoDoc& doc;
    FireWork& w;
    const TenabilityLimits limits = tenabilityLimits(doc.fire);
    AnalysisDialog& dialog;
    FireObserver& observer;
};

// New fronts into every road that carries air away from node `number`.
void FireSimulation::emitFromNode(int number, float t)
{
    float temperature = 0, gas = 0;
    const int i = doc.nodeIndex(number);
    if (i == 0 || !mixNode(doc, number, temperature, gas))
        return;  // no air reaches the node, so none leaves it
    const Node& node = doc.nodes[i];
    for (int pos = node.adjacencyStart + 1; pos <= node.adjacencyStart + node.degree; ++pos) {
        const int r = doc.adjacentRoad[pos];
        Road& road = doc.roads[r];
        // Air at rest carries no front: its travel time would be unbounded.
        if (doc.adjacentSign[pos] * road.massFlow <= 0)
            continue;
        if (std::fabs((road.gasConcentration - gas) / 100.0f) < doc.fire.gasLimit &&
            std::fabs(road.entryTemperature - temperature) <= kSameTemperature)
            continue;
        const float volumeFlow = std::fabs(road.massFlow) * 3600.0f / road.density;  // m³/h
        const float arrival = t + road.area * road.length / volumeFlow;
        int match = 0;
        for (int s = w.frontEnd; s >= 1 && match == 0; --s) {
            const FireFront& f = w.fronts[s];
            if (f.road == r && (std::fabs(f.time - arrival) <= kSameArrival ||
                                std::fabs(f.temperature - temperature) <= kSameTemperature))
                match = s;
        }
        if (match) {
            w.fronts[match].temperature = temperature;
            w.fronts[match].gas = gas;
            continue;
        }
        if (w.nFront + 1 + w.nInRoad >= kFrontSlots + 1) {
            doc.report(" Front over ");
            return;
        }
        addFront(FireFront{r, arrival, temperature, gas});
    }
}

int FireSimulation::spreadFromNode(int number, float t)
{
    const int i = doc.nodeIndex(number);
    if (i == 0 || (i <= doc.surfaceCount && number != doc.fire.fireNode))
        return 0;  // gas reaching the surface goes no further
    emitFromNode(number, t);
    const auto underground = [this](int n) {
        const int j = doc.nodeIndex(n);
        return j > doc.surfaceCount;
    };
    for (int k = doc.roadCount + 1; k <= doc.totalRoads(); ++k) {
        const Road& road = doc.roads[k];
        int downstream = -1;
        if (road.massFlow > 0 && road.first == number)
            downstream = road.second;
        else if (road.massFlow < 0 && road.second == number)
            downstream = road.first;
        if (downstream >= 0 && underground(downstream))
            emitFromNode(downstream, t);
    }
    for (int f = 1; f <= doc.fanCount; ++f)
        if (doc.fans[f].inlet == number && underground(doc.fans[f].outlet))
            emitFromNode(doc.fans[f].outlet, t);
    return 1;
}

// The earliest travelling front either passes its road's end by time t
// (the road takes its air) or is still inside the road (it is kept as an
// in-road front and drawn); either way it leaves the travelling list.
void FireSimulation::takeEarliestFront(float t)
{
    const int best = w.earliest[1];
    const FireFront front = w.fronts[best];
    w.spreadTime = front.time;
    Road& road = doc.roads[front.road];
    const bool forward = road.massFlow >= 0;
    const int downstream = forward ? road.second : road.first;

    const float q = std::fabs(road.massFlow) * 3600.0f;  // kg/h
    const float travel = q > 0 ? road.area * road.length * road.density / q : 0.0f;
    const float entry = front.time - travel;
    const float ntu = q > 0 ? road.conductivity * 2 * doc.fire.kval * road.length * kPi / (q * kAirSpecificHeat)
                            : std::numeric_limits<float>::infinity();
    // A road without volume is passed at once.
    const float fraction = front.time > entry ? (t - entry) / (front.time - entry)
                                              : std::numeric_limits<float>::infinity();
    road.gasConcentration = front.gas;
    road.entryTemperature = front.temperature;
    // When gas first entered the road: the earliest entry of a front that carries gas.
    const float entryMinute = std::max(0.0f, entry / kMinutesToHours);  // rounding: never before the fire
    if (front.gas > 0 && !(road.gasArrival <= entryMinute))
        road.gasArrival = entryMinute;
    road.peakGas = std::max(road.peakGas, front.gas);
    road.peakTemperature = std::max(road.peakTemperature, front.temperature);
    const bool untenable = front.gas > limits.gas || front.temperature > limits.temperature;
    if (untenable && !(road.untenableAt <= entryMinute))
        road.untenableAt = entryMinute;
    if (fraction > 1) {
        road.outletGas = front.gas;
        road.inletTemperature = front.temperature;
        const float rock = road.temperature;
        road.outletTemperature = rock - (rock - front.temperature) * std::exp(-ntu);
        road.initialTemperature = meanOfExchanger(rock, front.temperature, ntu);
    } else {
        removeFront(best);
        ++w.nInRoad;
        if (w.frontEnd >= kFrontSlots + 1 - w.nInRoad)
            packFronts();  // the in-road entries grow down into the gaps' room
        w.fronts[kFrontSlots + 1 - w.nInRoad] =
            FireFront{front.road, fraction * road.length, front.temperature, front.gas};
        const int direction = road.massFlow > 0 ? 1 : -1;
        observer.fireFront(front.road, observer.nodeRadius(), fraction, direction);
        if (front.gas <= 0)
            observer.fireFront(front.road, observer.nodeRadius() / 2, fraction, direction);
    }
    w.spreadNode = downstream;
    if (fraction > 1)
        removeFront(best);
}

// The earlier of two slots' fronts, the first in slot order among equals;
// slot 0 is none.
int earlierSlot(const FireWork& w, int a, int b)
{
    if (a == 0 || b == 0)
        return a + b;
    return w.fronts[b].time < w.fronts[a].time ? b : a;
}

void FireSimulation::placeInTree(int slot)
{
    int i = FireWork::kFrontTreeLeaves + slot;
    w.earliest[i] = short(slot <= w.frontEnd && w.fronts[slot].road != 0 ? slot : 0);
    for (i /= 2; i >= 1; i /= 2)
        w.earliest[i] = short(earlierSlot(w, w.earliest[2 * i], w.earliest[2 * i + 1]));
}

void FireSimulation::rebuildTree()
{
    constexpr int leaves = FireWork::kFrontTreeLeaves;
    for (int s = 0; s < leaves; ++s)
        w.earliest[leaves + s] = short(s >= 1 && s <= w.frontEnd && w.fronts[s].road != 0 ? s : 0);
    for (int i = leaves - 1; i >= 1; --i)
        w.earliest[i] = short(earlierSlot(w, w.earliest[2 * i], w.earliest[2 * i + 1]));
}

// A new travelling front after the others.
void FireSimulation::addFront(const FireFront& front)
{
    if (w.frontEnd + 1 + w.nInRoad >= kFrontSlots + 1)
        packFronts();
    w.fronts[++w.frontEnd] = front;
    ++w.nFront;
    placeInTree(w.frontEnd);
}

// Takes a front out of the travelling list, keeping the order of the rest.
void FireSimulation::removeFront(int slot)
{
    w.fronts[slot].road = 0;
    --w.nFront;
    placeInTree(slot);
}

// Closes the gaps, the fronts in their order.
void FireSimulation::packFronts()
{
    int kept = 0;
    for (int s = 1; s <= w.frontEnd; ++s)
        if (w.fronts[s].road != 0)
            w.fronts[++kept] = w.fronts[s];
    w.frontEnd = kept;
    rebuildTree();
}

// End of a step: the in-road fronts travel on with the airflows as they are
// now; a road whose airflow reversed drops its fronts and both its ends emit
// again.
void FireSimulation::requeueFronts()
{
    // The in-road entries sit at the top of the table, where the rebuilt
    // travelling list may reach: take them out first.
    for (int m = 1; m <= w.nInRoad; ++m)
        w.scratch[m] = w.fronts[kFrontSlots + 1 - m];
    int kept = 0;
    for (int m = 1; m <= w.nInRoad; ++m) {
        const FireFront& entry = w.scratch[m];
        const Road& road = doc.roads[entry.road];
        // A front in a road whose air stopped stays where it is: its road
        // keeps its gas, and no arrival time can be given for it.
        if (road.reversalFlag == 1 || road.massFlow == 0 || road.density <= 0)
            continue;
        const float arrival = w.tHour + (road.length - entry.time) * road.area * road.density /
                                            (std::fabs(road.massFlow) * 3600.0f);
        w.fronts[++kept] = FireFront{entry.road, arrival, entry.temperature, entry.gas};
    }
    w.nFront = w.frontEnd = kept;
    rebuildTree();
    for (int i = 1; i <= doc.nodeCount; ++i)
        w.emitted[i] = 0;
    // A reversed road now lets out at its other end the air that entered it last.
    for (int k = 1; k <= doc.roadCount; ++k)
        if (doc.roads[k].reversalFlag != 0 && doc.roads[k].gasConcentration != 0) {
            doc.roads[k].outletTemperature = doc.roads[k].initialTemperature;
            doc.roads[k].outletGas = doc.roads[k].gasConcentration;
        }
    for (int k = 1; k <= doc.roadCount; ++k) {
        const Road& road = doc.roads[k];
        if (road.reversalFlag == 0 || road.gasConcentration == 0)
            continue;
        const int a = doc.nodeIndex(road.first), b = doc.nodeIndex(road.second);
        if (!a || !b || w.emitted[a])
            continue;
        w.emitted[a] = 1;
        spreadFromNode(road.first, w.tHour);
        if (!w.emitted[b]) {
            w.emitted[b] = 1;
            spreadFromNode(road.second, w.tHour);
        }
    }
}

// Before a re-solve: the mean temperature of every road that fronts have
// partly filled, stretch by stretch from the downstream end, each stretch
// holding air that entered with one temperature and has since exchanged
// heat with the rock.
void FireSimulation::meanTemperatureOfPartlyFilledRoads()
{
    for (int r = 1; r <= doc.roadCount; ++r) {
        Road& road = doc.roads[r];
        bool any = false;
        for (int m = 1; m <= w.nInRoad && !any; ++m)
            any = w.fronts[kFrontSlots + 1 - m].road == r;
        if (!any || road.length <= 0)
            continue;
        const float q = std::fabs(road.massFlow);
        // Air at rest has taken the rock temperature.
        const float a = q > 0 ? 2 * doc.fire.kval * road.conductivity * kPi / (q * kHeatCapacityHour) : 1e6f;
        const float rock = road.temperature;
        float xPrev = road.length, tPrev = road.inletTemperature, uPrev = a * road.length;
        double sum = 0;
        for (int m = 1; m <= w.nInRoad; ++m) {
            const FireFront& e = w.fronts[kFrontSlots + 1 - m];
            if (e.road != r)
                continue;
            const float v = a * e.time;
            if (uPrev - v <= 0.0001f)
                uPrev = v + 0.0001f;
            sum += (tPrev - rock) * (std::exp(-v) - std::exp(-uPrev)) / (uPrev - v) *
                   (xPrev - e.time) / road.length;
            tPrev = e.temperature;
            xPrev = e.time;
            uPrev = v;
        }
        if (uPrev <= 0.0001f)
            uPrev = 0.0001f;
        sum += (tPrev - rock) * (1 - std::exp(-uPrev)) / uPrev * xPrev / road.length;
        road.initialTemperature = float(sum + rock);
    }
}

int FireSimulation::timeLoop()
{
    const float dt = doc.fire.frontDisplayStep < doc.fire.fireTimeStep ? doc.fire.frontDisplayStep
                                                                : doc.fire.fireTimeStep;
    // Without a positive step the clock would never move.
    if (!(dt > 0))
        return 0;
    w.tMin = dt;
    w.tNextSolve = doc.fire.fireTimeStep - 0.5f * dt;
    while (w.tMin <= doc.fire.finishTime) {
        for (int k = 1; k <= doc.roadCount; ++k)
            doc.roads[k].reversalFlag = 0;
        w.tHour = w.tMin * kMinutesToHours;
        w.nInRoad = 0;
        for (;;) {
            if (w.spreadTime <= w.tHour)
                spreadFromNode(w.spreadNode, w.spreadTime);
            if (w.nFront < 1)
                break;
            takeEarliestFront(w.tHour);
        }
        dialog.setSecondLine(fireStatusLine(doc.fire.fireNode, doc.fire.fireTemperature, w.tMin, doc.fire.finishTime));
        dialog.setProgressPosition(int(w.tMin));
        w.simulatedMinutes = w.tMin;
        if (w.nInRoad == 0) {
            w.settled = true;
            return 0;
        }
        if (w.tNextSolve <= w.tMin) {
            if (doc.pauseFlag && !observer.pauseDialog()) {
                doc.pauseFlag = 0;
                dialog.clearOpt1();
            }
            meanTemperatureOfPartlyFilledRoads();
            UpdateRoadDensities(doc);
            if (dialog.stopRequested()) {
                dialog.enableClose(true);
                dialog.setStartText("restart");
                return 0;
            }
            w.lastSolveResult = SolveNetwork(doc, dialog, 1.0f, 1.0f, 0.1f, 0.01f);
            ++w.resolves;
            if (w.lastSolveResult <= 0)
                return -1;
            w.tNextSolve += doc.fire.fireTimeStep;
            if (doc.pauseFlag)
                observer.redrawAllViews();
        }
        requeueFronts();
        w.spreadNode = doc.fire.fireNode;
        w.spreadTime = w.tHour;
        w.tMin += dt;
    }
    return 1;
}

int FireSimulation::start()
{
    if (doc.nodeIndex(doc.fire.fireNode) == 0) {
        dialog.setStatusLine("No fire node!");
        return 0;
    }
    dialog.setSecondLine(fireStatusLine(doc.fire.fireNode, doc.fire.fireTemperature, 0, doc.fire.finishTime));
    for (int k = 1; k <= doc.roadCount; ++k) {
        Road& road = doc.roads[k];
        road.outletTemperature = road.inletTemperature = road.initialTemperature = road.temperature;
        road.entryTemperature = road.temperature;
        road.gasConcentration = road.outletGas = 0;
        road.gasArrival = std::numeric_limits<float>::quiet_NaN();
        road.peakGas = 0;
        road.peakTemperature = road.temperature;
        road.untenableAt = std::numeric_limits<float>::quiet_NaN();
    }
    MixingWork& mixing = mixingWork(doc);
    mixing.noInflowShown.fill(0);
    mixing.mixing.fill(0);
    w.nInRoad = 0;
    w.tMin = 0;
    w.simulatedMinutes = 0;
    w.resolves = 0;
    w.settled = false;
    UpdateRoadDensities(doc);
    w.lastSolveResult = SolveNetwork(doc, dialog, 1.0f, 1.0f, 1.0f, 1.0f);
    if (w.lastSolveResult <= 0)
        return 0;
    w.nFront = w.frontEnd = 0;
    rebuildTree();
    w.spreadNode = doc.fire.fireNode;
    w.spreadTime = 0;
    if (doc.pauseFlag)
        observer.redrawAllViews();
    return timeLoop() != 0 ? 1 : 0;
}

}  // namespace

TenabilityLimits tenabilityLimits(const FireParameters& f)
{
    return {f.gasEsc * f.gsfEsc, kTenableTemperature * f.tmfEsc * f.tpfEsc};
}

FireWork& fireWork(CBriscoDoc& doc)
{
    return doc.layerWork().get<FireWork>();
}

const FireWork& fireWork(const CBriscoDoc& doc)
{
    return doc.layerWork().get<FireWork>();
}

int StartFireSimulation(CBriscoDoc& doc, AnalysisDialog& dialog, FireObserver& observer)
{
    return FireSimulation(doc, dialog, observer).start();
}

}  // namespace orvex
