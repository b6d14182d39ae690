#include "briscodoc.h"

#include <algorithm>
#include <cmath>

#include "filecase.h"
#include "fileio.h"
#include "savetransaction.h"

namespace orvex {

namespace {

// Degrees to radians as the plan has always been turned: 3.14159/180, not
// the exact value, so that stored plans turn back onto themselves as before.
constexpr double kRadiansPerDegree = 0.01745327777777778;

}  // namespace

CBriscoDoc::CBriscoDoc(const CBriscoDoc& other, Reporter& reporter) : CBriscoDoc(other)
{
    mReporter = &reporter;
    mObserver = nullptr;
    mSave = nullptr;
}

CBriscoDoc::CBriscoDoc(AppContext& app, Reporter& reporter) : mApp(app), mReporter(&reporter)
{
    // The default parameters are the installation's, whatever folder the
    // program was started from.
    readParameterFile(programFile("/sdt/ztna."));
    readNetworkFile(programFile("/sdt/ztkihon.sdt"), false);
    rebuildAdjacency();

    // The default network supplies the structure only: its roads start
    // without resistance, results, names or bending points.
    for (Road& road : roads) {
        road.external[0][0] = road.external[0][1] = 0;
        road.external[1][0] = road.external[1][1] = 0;
        road.massFlow = 0;
        road.roadClass = 0;
        road.resistance = 0;
        road.bendStart = 0;
        road.name = "";
    }
    for (Node& node : nodes)
        node.displayValue = 0;
    for (BendSlot& slot : bends)
        slot.mark = 0;
}

void CBriscoDoc::reinitialise()
{
    mApp.pending = false;
    // Without a readable default network the document ends as empty as a
    // fresh one, not with the network of the open that failed; the window
    // caption no longer names that network either.
    surfaceCount = undergroundCount = nodeCount = 0;
    roadCount = fixedCount = fanCount = 0;
    title = "Untitled";
    windowTitle.clear();
    networkExtension = "vad";
    readParameterFile(programFile("/sdt/ztna."));
    readNetworkFile(programFile("/sdt/ztkihon.sdt"), false);
    rebuildAdjacency();
    for (Road& road : roads)
        road.bendStart = 0;
    for (BendSlot& slot : bends)
        slot.mark = 0;
    bendUsed = 0;
}

std::string CBriscoDoc::programFile(const std::string& relative) const
{
    return mApp.programFolder + relative;
}

std::string CBriscoDoc::companionPath(const std::string& base, const std::string& extension) const
{
    return base + casedLike(extension, networkExtension);
}

std::string CBriscoDoc::existingCompanion(const std::string& base, const std::string& extension) const
{
    return inExistingCase(companionPath(base, extension));
}

Reporter& CBriscoDoc::exchangeReporter(Reporter& reporter)
{
    Reporter& previous = *mReporter;
    mReporter = &reporter;
    return previous;
}

void CBriscoDoc::note(const std::string& path, FileAccess access, bool opened)
{
    if (mObserver)
        mObserver->fileAccessed(path, access, opened);
}

std::optional<TextScanner> CBriscoDoc::openForReading(const std::string& path,
                                                      std::error_code& error)
{
    std::optional<TextScanner> scanner = TextScanner::open(path, error);
    note(path, FileAccess::Read, scanner.has_value());
    return scanner;
}

std::optional<TextScanner> CBriscoDoc::openReported(const std::string& path,
                                                    const std::string& failure, IfMissing ifMissing)
{
    std::error_code error;
    std::optional<TextScanner> scanner = openForReading(path, error);
    if (!scanner && !(ifMissing == IfMissing::Silent && isMissing(error)))
        report(withReason(failure, error));
    return scanner;
}

int CBriscoDoc::writeWhole(const std::string& path, const std::string& content,
                           const std::string& failure)
{
    std::error_code error;
    const bool ok = mSave ? mSave->stage(path, content, error) : writeFileSafely(path, content, error);
    note(path, FileAccess::Write, ok);
    if (!ok && mSave)
        report(withReason(failure, error) + "\nThe network was not saved: its files stay as they were.");
    else if (!ok)
        report(withReason(failure, error));
    return ok ? 1 : 0;
}

void CBriscoDoc::report(const std::string& text, MessageKind kind)
{
    mReporter->message(text, kDocumentCaption, kind);
}

// ---------------------------------------------------------------------------

void CBriscoDoc::rebuildAdjacency()
{
    nodeCount = surfaceCount + undergroundCount;
    numberToIndex.fill(0);
    for (int i = 1; i <= nodeCount; ++i) {
        if (isValidNodeNumber(nodes[i].number))
            numberToIndex[nodes[i].number] = i;
        nodes[i].degree = 0;
    }
    // Roads whose ends name no node cannot be reached by the readers or the
    // editor; they are kept out of the lists rather than indexing garbage.
    const auto ends = [this](const Road& road, int& a, int& b) {
        a = nodeIndex(road.first);
        b = nodeIndex(road.second);
        return a > 0 && b > 0;
    };
    int a = 0, b = 0;
    for (int k = 1; k <= roadCount; ++k) {
        if (!ends(roads[k], a, b))
            continue;
        ++nodes[a].degree;
        ++nodes[b].degree;
    }
    if (nodeCount > 0)
        nodes[1].adjacencyStart = 0;
    for (int i = 2; i <= nodeCount; ++i)
        nodes[i].adjacencyStart = nodes[i - 1].adjacencyStart + nodes[i - 1].degree;
    for (int i = 1; i <= nodeCount; ++i)
        nodes[i].degree = 0;
    for (int k = 1; k <= roadCount; ++k) {
        if (!ends(roads[k], a, b))
            continue;
        int pos = nodes[a].adjacencyStart + ++nodes[a].degree;
        adjacentNode[pos] = b;
        adjacentRoad[pos] = k;
        adjacentSign[pos] = +1;
        pos = nodes[b].adjacencyStart + ++nodes[b].degree;
        adjacentNode[pos] = a;
        adjacentRoad[pos] = k;
        adjacentSign[pos] = -1;
    }
}

int CBriscoDoc::findRoad(int a, int b, RoadScope scope) const
{
    const int last = scope == RoadScope::All ? roadCount + fixedCount : roadCount;
    for (int k = 1; k <= last; ++k) {
        const Road& road = roads[k];
        if ((road.first == a && road.second == b) || (road.first == b && road.second == a))
            return k;
    }
    return 0;
}

int CBriscoDoc::nodeIndex(int number) const
{
    if (!isValidNodeNumber(number))
        return 0;
    const int index = numberToIndex[number];
    if (index < 1 || index > nodeCount || nodes[index].number != number)
        return 0;
    return index;
}

NetworkCounts CBriscoDoc::counts() const
{
    return {surfaceCount, nodeCount, roadCount, fixedCount, bendUsed, fanCount};
}

// ---------------------------------------------------------------------------

int CBriscoDoc::findFan(int inlet, int outlet) const
{
    for (int f = 1; f <= fanCount; ++f)
        if (fans[f].inlet == inlet && fans[f].outlet == outlet)
            return f;
    return 0;
}

int CBriscoDoc::appendNormalRoad(const Road& road)
{
    for (int k = totalRoads(); k > roadCount; --k)
        roads[k + 1] = roads[k];
    const int at = ++roadCount;
    roads[at] = road;
    // Evacuation entries name roads by number; the fixed-flow roads moved up.
    for (int e = 1; e <= fire.unusableCount && e < kMaxEvacuation; ++e)
        if (fire.unusableRoad[e] >= at)
            ++fire.unusableRoad[e];
    rebuildAdjacency();
    return at;
}

void CBriscoDoc::prepareAfterLoad()
{
    // Reference pressure at the mean collar elevation (standard atmosphere),
    // then a hydrostatic column of surface air to every node.
    float sum = 0;
    for (int i = 1; i <= surfaceCount; ++i)
        sum += nodes[i].elevation;
    const float zm = surfaceCount > 0 ? sum / float(surfaceCount) : 0.0f;
    const float pm = float(kSeaLevelPressure * std::pow(1.0 - kAtmosphereLapse * zm, kAtmosphereExponent));  // kgf/m²
    const float gamma = float(pm / ((surfaceTemperature + kCelsiusZero) * kAirGasConstant));  // kgf/m³
    for (int i = 1; i <= nodeCount; ++i)
        nodes[i].pressure = (double(zm) - nodes[i].elevation) * double(gamma) + double(pm);
    for (int k = 1; k <= roadCount; ++k)
        roads[k].initialTemperature = roads[k].temperature;
    for (int j = 1; j <= fanCount; ++j) {
        fans[j].fanFlow = 0;
        fans[j].pressure = fans[j].curve[1];
    }
    if (!isWater())
        return;

    // Water: gauge pressures from the highest reservoir, and pipe resistances
    // from Hazen-Williams (length > 0) or a local-loss coefficient (length 0).
    for (int i = 1; i <= surfaceCount; ++i)
        nodes[i].pressure = 0;
    int top = 0;
    for (int i = 1; i <= surfaceCount; ++i)
        if (top == 0 || nodes[i].elevation > nodes[top].elevation)
            top = i;
    if (top > 0)
        for (int i = surfaceCount + 1; i <= nodeCount; ++i)
            nodes[i].pressure = (nodes[top].elevation - nodes[i].elevation) * density;
    for (int k = 1; k <= roadCount; ++k) {
        Road& pipe = roads[k];
        const double d = pipe.area;
        const double c = pipe.conductivity;
        // A pipe without diameter or coefficient has no defined resistance;
        // it gets 0 instead of an infinite or undefined value.
        if (pipe.length > 0)
            pipe.resistance = d > 0 && c > 0
                ? float(density * pipe.length * kHazenWilliamsFactor / std::pow(d, kHazenWilliamsDiameterExponent) /
                        std::pow(c, kHazenWilliamsFlowExponent))
                : 0.0f;
        else
            pipe.resistance = d > 0 ? float(density * c * kLocalLossFactor / std::pow(d, 4.0)) : 0.0f;
    }
}

void rotatePlanPoint(float& x, float& y, int degrees)
{
    const double r = std::sqrt(double(x) * x + double(y) * y);
    const double angle = std::atan2(double(y), double(x)) + degrees * kRadiansPerDegree;
    x = float(r * std::cos(angle));
    y = float(r * std::sin(angle));
}

void CBriscoDoc::rotatePlan(int degrees)
{
    for (int i = 1; i <= nodeCount; ++i)
        rotatePlanPoint(nodes[i].x, nodes[i].y, degrees);
    for (int s = 1; s <= bendUsed; ++s)
        rotatePlanPoint(bends[s].x, bends[s].y, degrees);
}

// ---------------------------------------------------------------------------
// Record iterators: every walk holds its own cursor.

bool RecordCursor::advance(int last, int& index)
{
    if (mNext > last || mNext < 1) {
        mNext = 1;
        return false;
    }
    index = mNext++;
    return true;
}

int CBriscoDoc::nextNodePosition(RecordCursor& cursor, float& x, float& y) const
{
    int i = 0;
    if (!cursor.advance(nodeCount, i))
        return 0;
    x = nodes[i].x;
    y = nodes[i].y;
    return 1;
}

int CBriscoDoc::nextRoad(RecordCursor& cursor, int& first, int& second, int& bendStart) const
{
    int k = 0;
    if (!cursor.advance(totalRoads(), k))
        return 0;
    first = roads[k].first;
    second = roads[k].second;
    bendStart = roads[k].bendStart;
    return 1;
}

int CBriscoDoc::nextBendSlot(RecordCursor& cursor, float& x, float& y, int& mark) const
{
    int s = 0;
    if (!cursor.advance(bendUsed, s))
        return 0;
    x = bends[s].x;
    y = bends[s].y;
    mark = bends[s].mark;
    return 1;
}

int CBriscoDoc::nextFan(RecordCursor& cursor, int& inlet, int& outlet) const
{
    int j = 0;
    if (!cursor.advance(fanCount, j))
        return 0;
    inlet = fans[j].inlet;
    outlet = fans[j].outlet;
    return 1;
}

int CBriscoDoc::nextRoadName(RecordCursor& cursor, std::string& name) const
{
    int k = 0;
    if (!cursor.advance(totalRoads(), k))
        return 0;
    name = roads[k].name.str();
    return 1;
}

int CBriscoDoc::nextExternalValues(RecordCursor& cursor, float values[4]) const
{
    int k = 0;
    if (!cursor.advance(totalRoads(), k))
        return 0;
    values[0] = roads[k].external[0][0];
    values[1] = roads[k].external[0][1];
    values[2] = roads[k].external[1][0];
    values[3] = roads[k].external[1][1];
    return 1;
}

}  // namespace orvex
