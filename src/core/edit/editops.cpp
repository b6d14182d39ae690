// The edit operations on the network model: nodes and fans here, roads in
// editroads.cpp.
#include "edit/editops.h"

#include <algorithm>

#include "edit/dialogforms.h"

namespace orvex {

namespace {

// What a fan heading line holds when the network file gave none.
constexpr const char* kFreeFanHeading = "Fan:\n";

}  // namespace

std::string nodeNumberRangeMessage()
{
    return "Node number must be 0 - " + std::to_string(kMaxNodeNumbers);
}

std::string noSuchNodeMessage(int number)
{
    return "Impossible:No node " + std::to_string(number) + " ";
}

EditOperations::EditOperations(CBriscoDoc& doc, EditDialogs& dialogs, DocumentViews& views)
    : mDoc(doc), mDialogs(dialogs), mViews(views)
{
}

void EditOperations::refuse(const std::string& text, const std::string& caption)
{
    mDoc.reporter().message(text, caption, MessageKind::Error);
}

void EditOperations::changed(const std::string& operation)
{
    mDoc.modified = true;
    mViews.networkChanged(operation);
    mViews.redrawAll();
}

std::string EditOperations::pair(int a, int b) { return std::to_string(a) + "-" + std::to_string(b); }

bool EditOperations::nodeExists(int number)
{
    if (mDoc.nodeIndex(number) != 0)
        return true;
    refuse(noSuchNodeMessage(number));
    return false;
}

bool EditOperations::roomForNode()
{
    if (mDoc.surfaceCount + mDoc.undergroundCount + 1 < kMaxNodes)
        return true;
    refuse(kNodesFull);
    return false;
}

bool EditOperations::roomForRoad(int more)
{
    if (mDoc.totalRoads() + more < kMaxRoads)
        return true;
    refuse(kRoadsFull);
    return false;
}

bool EditOperations::roomForFan()
{
    if (mDoc.fanCount + 1 < kMaxFans)
        return true;
    refuse(kFansFull);
    return false;
}

// --- nodes ----------------------------------------------------------------------

int EditOperations::checkNewNodeNumber(int number)
{
    if (number == 0)
        return 0;
    if (!isValidNodeNumber(number)) {
        refuse(nodeNumberRangeMessage());
        return 0;
    }
    const int n = mDoc.surfaceCount + mDoc.undergroundCount;
    for (int i = 1; i <= n; ++i)
        if (mDoc.nodes[i].number == number) {
            refuse(kAlreadyExist);
            return 0;
        }
    return 1;
}

int EditOperations::makeNode(int number, float elevation, NodeKind kind, int x, int y)
{
    if (!checkNewNodeNumber(number) || !roomForNode())
        return 0;
    int index;
    if (kind == NodeKind::Surface) {
        const int last = mDoc.surfaceCount + mDoc.undergroundCount;
        for (int i = last; i > mDoc.surfaceCount; --i)
            mDoc.nodes[i + 1] = mDoc.nodes[i];
        index = ++mDoc.surfaceCount;
    } else {
        index = mDoc.surfaceCount + ++mDoc.undergroundCount;
    }
    Node node;
    node.number = number;
    node.elevation = elevation;
    node.x = float(x);
    node.y = float(y);
    mDoc.nodes[index] = node;
    mDoc.rebuildAdjacency();
    changed("Make node " + std::to_string(number));
    return 1;
}

void EditOperations::removeNodeAt(int index)
{
    const int last = mDoc.surfaceCount + mDoc.undergroundCount;
    for (int i = index; i < last; ++i)
        mDoc.nodes[i] = mDoc.nodes[i + 1];
    mDoc.nodes[last] = Node{};
    if (index > mDoc.surfaceCount)
        --mDoc.undergroundCount;
    else
        --mDoc.surfaceCount;
    mDoc.rebuildAdjacency();
}

bool EditOperations::deleteNode(int index)
{
    CBriscoDoc& d = mDoc;
    d.rebuildAdjacency();  // the degrees and neighbours below must be current
    if (index < 1 || index > d.nodeCount)
        return false;
    const int n = d.nodes[index].number;
    for (int k = d.roadCount + 1; k <= d.totalRoads(); ++k)
        if (d.roads[k].first == n || d.roads[k].second == n) {
            refuse(kFixedRoadAtNode);
            return false;
        }
    for (int f = 1; f <= d.fanCount; ++f)
        if (d.fans[f].inlet == n || d.fans[f].outlet == n) {
            refuse(kFanAtNode);
            return false;
        }
    if (d.nodes[index].degree == 0) {
        removeNodeAt(index);
        changed("Delete node " + std::to_string(n));
        return true;
    }
    if (d.nodes[index].degree != 2 || index <= d.surfaceCount) {
        refuse(kNotTwoRoads);
        return false;
    }

    // The two neighbours in adjacency order: the merged road runs a -> b.
    const int s = d.nodes[index].adjacencyStart;
    const int a = d.nodes[d.adjacentNode[s + 1]].number;
    const int b = d.nodes[d.adjacentNode[s + 2]].number;
    if (a == b) {  // two roads to one neighbour would merge into a road from a node to itself
        refuse(kBothRoadsToOneNode);
        return false;
    }
    const Road ra = d.roads[d.findRoad(n, a)];
    const Road rb = d.roads[d.findRoad(n, b)];
    if (ra.area != rb.area || ra.conductivity != rb.conductivity) {
        refuse(kDifferentRoads);
        return false;
    }
    if (d.findRoad(a, b) != 0) {
        refuse(kSameRoadMade);
        return false;
    }

    Road merged;
    merged.first = a;
    merged.second = b;
    merged.resistance = rb.resistance + ra.resistance;
    merged.length = rb.length + ra.length;
    merged.area = ra.area;
    merged.conductivity = ra.conductivity;
    merged.temperature = merged.length > 0
        ? (ra.temperature * ra.length + rb.temperature * rb.length) / merged.length
        : (ra.temperature + rb.temperature) / 2;
    removeRoadAt(d.findRoad(n, a));
    removeRoadAt(d.findRoad(n, b));
    removeNodeAt(d.nodeIndex(n));
    appendNormalRoad(merged);
    changed("Delete node " + std::to_string(n) + ", joining its roads");
    return true;
}

float EditOperations::nodeElevation(int index) const
{
    return index >= 1 && index <= mDoc.nodeCount ? mDoc.nodes[index].elevation : 0.0f;
}

void EditOperations::setNodeElevation(int index, float elevation)
{
    if (index < 1 || index > mDoc.nodeCount)
        return;
    mDoc.nodes[index].elevation = elevation;
    changed("Change node " + std::to_string(mDoc.nodes[index].number));
}

void EditOperations::moveNode(int index, int x, int y)
{
    if (index < 1 || index > mDoc.nodeCount)
        return;
    mDoc.nodes[index].x = float(x);
    mDoc.nodes[index].y = float(y);
    changed("Move node " + std::to_string(mDoc.nodes[index].number));
}

// --- fans -----------------------------------------------------------------------

int EditOperations::findFan(int a, int b) const
{
    for (int f = 1; f <= mDoc.fanCount; ++f) {
        const Fan& fan = mDoc.fans[f];
        if ((fan.inlet == a && fan.outlet == b) || (fan.inlet == b && fan.outlet == a))
            return f;
    }
    return 0;
}

namespace {

void storeCurve(Fan& fan, const FanCurve& curve)
{
    fan.points = std::clamp(curve.points, 0, kMaxFanPoints);
    fan.flowStep = curve.flowStep;
    for (int p = 1; p <= kMaxFanPoints; ++p)
        fan.curve[p] = p <= fan.points ? curve.pressure[p - 1] : 0.0f;
}

}  // namespace

bool EditOperations::makeFan(int inlet, int outlet)
{
    if (!nodeExists(inlet) || !nodeExists(outlet))
        return false;
    if (inlet == outlet) {
        refuse(kSelfFan);
        return false;
    }
    if (!roomForFan())
        return false;
    if (mDoc.nodes[mDoc.nodeIndex(inlet)].elevation != mDoc.nodes[mDoc.nodeIndex(outlet)].elevation) {
        refuse(kDifferentElevation);
        return false;
    }
    FanCurve curve;
    if (mDialogs.makeFan(inlet, outlet, curve) != DialogResult::Ok)
        return false;
    Fan fan;
    fan.inlet = inlet;
    fan.outlet = outlet;
    storeCurve(fan, curve);
    mDoc.fans[++mDoc.fanCount] = fan;
    changed("Make fan " + pair(inlet, outlet));
    return true;
}

void EditOperations::changeFan(int k)
{
    if (k < 1 || k > mDoc.fanCount)
        return;
    Fan& fan = mDoc.fans[k];
    FanCurve curve;
    curve.points = std::clamp(fan.points, 0, kMaxFanPoints);
    curve.flowStep = fan.flowStep;
    for (int p = 1; p <= curve.points; ++p)
        curve.pressure[p - 1] = fan.curve[p];
    if (mDialogs.changeFan(fan.inlet, fan.outlet, curve) != DialogResult::Ok)
        return;
    storeCurve(fan, curve);
    changed("Change fan " + pair(fan.inlet, fan.outlet));
}

void EditOperations::deleteFan(int k)
{
    CBriscoDoc& d = mDoc;
    if (k < 1 || k > d.fanCount)
        return;
    const int last = d.fanCount;
    const std::string ends = pair(d.fans[k].inlet, d.fans[k].outlet);
    // The heading line belongs to the fan it describes, so it moves along.
    d.fans[k] = d.fans[last];
    d.fanHeadings[k] = d.fanHeadings[last];
    d.fans[last] = Fan{};
    d.fanHeadings[last] = kFreeFanHeading;
    --d.fanCount;
    changed("Delete fan " + ends);
}

}  // namespace orvex
