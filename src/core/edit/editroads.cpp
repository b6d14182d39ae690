// The edit operations on the roads of the network model.
#include "edit/editops.h"

#include "edit/dialogforms.h"

namespace orvex {

// --- roads ----------------------------------------------------------------------

void EditOperations::appendNormalRoad(const Road& road)
{
    mDoc.appendNormalRoad(road);
}

void EditOperations::appendFixedRoad(const Road& road)
{
    mDoc.roads[mDoc.totalRoads() + 1] = road;
    ++mDoc.fixedCount;
}

void EditOperations::removeRoadAt(int k)
{
    CBriscoDoc& d = mDoc;
    const int last = d.totalRoads();
    if (k < 1 || k > last)
        return;
    const bool normal = k <= d.roadCount;
    for (int j = k; j < last; ++j)
        d.roads[j] = d.roads[j + 1];
    d.roads[last] = Road{};
    if (normal)
        --d.roadCount;
    else
        --d.fixedCount;
    // An evacuation entry of the removed road no longer names a road; the
    // entries of the roads behind it follow them down.
    for (int e = 1; e <= d.fire.unusableCount && e < kMaxEvacuation; ++e) {
        int& entry = d.fire.unusableRoad[e];
        if (entry == k)
            entry = 0;
        else if (entry > k)
            --entry;
    }
    if (normal)
        d.rebuildAdjacency();
}

// A new road needs two existing, different ends and room in the road arrays.
bool EditOperations::roadCanBeAdded(int first, int second)
{
    if (!nodeExists(first) || !nodeExists(second))
        return false;
    if (first == second) {
        refuse(kSelfRoad);
        return false;
    }
    if (!roomForRoad())
        return false;
    return true;
}

bool EditOperations::addNormalRoad(int first, int second, float resistance, float temperature,
                                   float area, float length, float conductivity)
{
    if (!roadCanBeAdded(first, second))
        return false;
    Road road;
    road.first = first;
    road.second = second;
    road.resistance = resistance;
    road.temperature = temperature;
    road.area = area;
    road.length = length;
    road.conductivity = conductivity;
    appendNormalRoad(road);
    changed("Make road " + pair(first, second));
    return true;
}

bool EditOperations::addFixedRoad(int first, int second, float airflow)
{
    if (!roadCanBeAdded(first, second))
        return false;
    Road road;
    road.first = first;
    road.second = second;
    road.resistance = airflow;
    appendFixedRoad(road);
    changed("Make fixed flow road " + pair(first, second));
    return true;
}

void EditOperations::deleteRoad(int k)
{
    if (k < 1 || k > mDoc.totalRoads())
        return;
    const std::string ends = pair(mDoc.roads[k].first, mDoc.roads[k].second);
    removeRoadAt(k);
    changed("Delete road " + ends);
}

DialogResult EditOperations::changeRoadData(int k)
{
    if (k < 1 || k > mDoc.totalRoads())
        return DialogResult::Cancel;
    Road& road = mDoc.roads[k];
    DialogResult result;
    if (k > mDoc.roadCount) {
        FixedRoadValues v{road.first, road.second, road.resistance};
        result = mDialogs.changeFixedRoad(v);
        if (result == DialogResult::Ok || result == DialogResult::ChangeLocation)
            road.resistance = v.airflow;
    } else {
        RoadDataValues v{road.first,  road.second, road.resistance,  road.temperature,
                         road.length, road.area,   road.conductivity};
        result = mDialogs.changeNormalRoad(v);
        if (result == DialogResult::Ok || result == DialogResult::ChangeLocation) {
            road.resistance = v.resistance;
            road.temperature = v.temperature;
            road.length = v.length;
            road.area = v.area;
            road.conductivity = v.conductivity;
        }
    }
    if (result == DialogResult::Ok || result == DialogResult::ChangeLocation)
        changed("Change road " + pair(road.first, road.second));
    return result;
}

int EditOperations::insertNode(int number, int k)
{
    CBriscoDoc& d = mDoc;
    if (!nodeExists(number))
        return 0;
    if (k < 1 || k > d.totalRoads())
        return 0;
    if (k > d.roadCount) {
        refuse(kInsertIntoFixed);
        return 0;
    }
    const Road road = d.roads[k];
    if (road.first == number || road.second == number) {
        refuse(kInsertAtRoadEnd);
        return 0;
    }
    if (!roomForRoad())  // two roads come, one goes
        return 0;

    const int index = d.nodeIndex(number);
    InsertNodeValues v;
    v.node = number;
    v.elevation = d.nodes[index].elevation;
    v.kind = index > d.surfaceCount ? NodeKind::Underground : NodeKind::Surface;
    v.roadFirst = road.first;
    v.roadSecond = road.second;
    v.resistance = road.resistance;
    v.length = road.length;
    if (mDialogs.insertNode(v) != DialogResult::Ok)
        return 0;
    const float r1 = InsertNodeForm::clampPart(v.firstResistance, road.resistance);
    const float l1 = InsertNodeForm::clampPart(v.firstLength, road.length);

    // Taking the old road out first gives the same numbering as adding the
    // two parts first, and needs one free road slot less.
    removeRoadAt(k);
    Road part;
    part.temperature = road.temperature;
    part.area = road.area;
    part.conductivity = road.conductivity;
    part.first = road.first;
    part.second = number;
    part.resistance = r1;
    part.length = l1;
    appendNormalRoad(part);
    part.first = number;
    part.second = road.second;
    part.resistance = road.resistance - r1;
    part.length = road.length - l1;
    appendNormalRoad(part);
    changed("Insert node " + std::to_string(number) + " into road " + pair(road.first, road.second));
    return 1;
}

bool EditOperations::replaceBends(int k, const BendPoint* points, int count)
{
    CBriscoDoc& d = mDoc;
    if (k < 1 || k > d.totalRoads())
        return false;
    if (count < 0 || count > kMaxBendPointsPerRoad || (count > 0 && points == nullptr)) {
        refuse(kBendPointsFull, kViewCaption);
        return false;
    }
    // The road's present block: header slot s and its points.
    const int s = d.roads[k].bendStart;
    int oldSlots = 0;
    if (s >= 1 && s <= d.bendUsed) {
        const int n = d.bends[s].mark;
        if (n >= 0 && s + n <= d.bendUsed)
            oldSlots = n + 1;
    }
    // Checked before anything moves, so that a refusal keeps the old points.
    if (d.bendUsed - oldSlots + count + 1 >= kMaxBendSlots) {
        refuse(kBendStoreFull, kViewCaption);
        return false;
    }
    d.roads[k].bendStart = 0;
    if (oldSlots > 0) {
        for (int slot = s; slot + oldSlots <= d.bendUsed; ++slot)
            d.bends[slot] = d.bends[slot + oldSlots];
        for (int slot = d.bendUsed - oldSlots + 1; slot <= d.bendUsed; ++slot)
            d.bends[slot] = BendSlot{};
        d.bendUsed -= oldSlots;
        for (int j = 1; j <= d.totalRoads(); ++j) {
            int& link = d.roads[j].bendStart;
            if (link >= s + oldSlots)
                link -= oldSlots;
            else if (link >= s)
                link = 0;  // pointed into the removed block
        }
    }
    const int header = d.bendUsed + 1;
    d.bends[header] = BendSlot{count, 0.0f, 0.0f};
    for (int p = 0; p < count; ++p)
        d.bends[header + 1 + p] = BendSlot{points[p].mark, float(points[p].x), float(points[p].y)};
    d.roads[k].bendStart = header;
    d.bendUsed += count + 1;
    changed("Reshape road " + pair(d.roads[k].first, d.roads[k].second));
    return true;
}

}  // namespace orvex
