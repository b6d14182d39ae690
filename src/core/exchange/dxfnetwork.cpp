#include "dxfnetwork.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <set>
#include <unordered_map>

#include "model/nodegroups.h"

namespace orvex::exchange::dxf {

namespace {

double distance(const Point3& a, const Point3& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

struct Cell {
    long long x, y, z;
    bool operator==(const Cell& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct CellHash {
    std::size_t operator()(const Cell& c) const
    {
        return std::hash<long long>()(c.x * 73856093LL ^ c.y * 19349663LL ^ c.z * 83492791LL);
    }
};

// The nodes in cells of the snap distance's size: a point finds the nodes
// within snap of it in the 27 cells about its own.
class NodeGrid {
public:
    explicit NodeGrid(double snap) : mSnap(snap) {}

    // The nearest node within snap, -1 when none.
    int nearest(const Point3& p) const
    {
        const Cell c = cellOf(p);
        int best = -1;
        double bestDistance = mSnap;
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy)
                for (long long dz = -1; dz <= 1; ++dz) {
                    const auto it = mCells.find({c.x + dx, c.y + dy, c.z + dz});
                    if (it == mCells.end())
                        continue;
                    for (int i : it->second)
                        if (const double d = distance(points[std::size_t(i)], p); d <= bestDistance)
                            best = i, bestDistance = d;
                }
        return best;
    }
    int add(const Point3& p)
    {
        points.push_back(p);
        mCells[cellOf(p)].push_back(int(points.size()) - 1);
        return int(points.size()) - 1;
    }

    std::vector<Point3> points;

private:
    Cell cellOf(const Point3& p) const
    {
        return {(long long)std::floor(p.x / mSnap), (long long)std::floor(p.y / mSnap),
                (long long)std::floor(p.z / mSnap)};
    }

    double mSnap;
    std::unordered_map<Cell, std::vector<int>, CellHash> mCells;
};

// A road as the drawing gives it: between two nodes of the grid.
struct Piece {
    int a = 0, b = 0;
    std::vector<Point3> inner;
    double length = 0;
    std::size_t line = 0;  // index of the drawn line
};

bool sameRun(const Piece& p, const Piece& q, double snap)
{
    if (p.inner.size() != q.inner.size())
        return false;
    const bool reversed = p.a != q.a;
    for (std::size_t i = 0; i < p.inner.size(); ++i)
        if (distance(p.inner[i], reversed ? q.inner[q.inner.size() - 1 - i] : q.inner[i]) > snap)
            return false;
    return true;
}

class Builder {
public:
    Builder(double snap, BuildCounts& counts) : mSnap(snap), mCounts(counts), mGrid(snap) {}

    void piecesOf(const std::vector<const DrawnLine*>& lines);
    NetworkDraft draft(const std::vector<const DrawnLine*>& lines, const DraftRoom& room);

private:
    std::vector<Point3> cleaned(const std::vector<Point3>& points);
    int nodeAt(const Point3& p);
    void meetSegments(std::vector<std::vector<Point3>>& runs);
    void addPiece(Piece piece);
    void markSurface(NetworkDraft& draft, const std::vector<int>& degree);
    void findParts(const NetworkDraft& draft);

    double mSnap;
    BuildCounts& mCounts;
    NodeGrid mGrid;
    std::vector<Piece> mPieces;
    std::map<std::pair<int, int>, std::vector<std::size_t>> mByEnds;
};

// The points without those closer than snap to the point before them.
std::vector<Point3> Builder::cleaned(const std::vector<Point3>& points)
{
    std::vector<Point3> kept;
    for (const Point3& p : points) {
        if (!kept.empty() && distance(kept.back(), p) < mSnap) {
            ++mCounts.zeroLength;
            continue;
        }
        kept.push_back(p);
    }
    return kept;
}

int Builder::nodeAt(const Point3& p)
{
    const int near = mGrid.nearest(p);
    if (near < 0)
        return mGrid.add(p);
    if (const double moved = distance(mGrid.points[std::size_t(near)], p); moved > 0) {
        ++mCounts.snapped;
        mCounts.largestMove = std::max(mCounts.largestMove, moved);
    }
    return near;
}

void Builder::addPiece(Piece piece)
{
    if (piece.a == piece.b) {
        ++(piece.length <= mSnap ? mCounts.zeroLength : mCounts.loops);
        return;
    }
    auto& same = mByEnds[std::minmax(piece.a, piece.b)];
    for (std::size_t k : same)
        if (sameRun(mPieces[k], piece, mSnap)) {
            ++mCounts.duplicates;
            return;
        }
    same.push_back(mPieces.size());
    mPieces.push_back(std::move(piece));
}

// The foot of the perpendicular from p on the segment a-b when it lies
// between a and b, within snap of p and farther than snap from both.
bool footOn(const Point3& a, const Point3& b, const Point3& p, double snap, Point3& foot)
{
    const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy + (p.z - a.z) * dz) / (dx * dx + dy * dy + dz * dz);
    foot = {a.x + t * dx, a.y + t * dy, a.z + t * dz};
    return t > 0 && t < 1 && distance(foot, p) <= snap && distance(a, p) > snap && distance(b, p) > snap;
}

// Puts the feet (the first vertex of their segment, the point) into the
// run, after that vertex in their order along the segment.
void insertFeet(std::vector<Point3>& run, std::vector<std::pair<std::size_t, Point3>>& feet)
{
    if (feet.empty())
        return;
    const std::vector<Point3> drawn = run;
    std::stable_sort(feet.begin(), feet.end(), [&drawn](const auto& f, const auto& g) {
        return f.first != g.first ? f.first < g.first
                                  : distance(drawn[f.first], f.second) < distance(drawn[g.first], g.second);
    });
    run.clear();
    std::size_t next = 0;
    for (std::size_t s = 0; s < drawn.size(); ++s) {
        run.push_back(drawn[s]);
        for (; next < feet.size() && feet[next].first == s; ++next)
            run.push_back(feet[next].second);
    }
}

// Nodes that lie on a segment of an airway between its two vertices get a
// vertex there, at the foot of the perpendicular, where the airway is then
// split. Segments are found in plan grids of coarse cells, 16 times coarser
// from one grid to the next: each segment is in the finest grid where it
// covers at most 256 cells.
void Builder::meetSegments(std::vector<std::vector<Point3>>& runs)
{
    using Segment = std::pair<std::size_t, std::size_t>;  // run, first vertex
    constexpr int kGrids = 8;                              // the coarsest cell holds any plan within 1e7 m
    const double finest = std::max(4 * mSnap, 25.0);
    const auto at = [finest](double v, int grid) { return (long long)std::floor(v / (finest * std::pow(16.0, grid))); };
    std::unordered_map<Cell, std::vector<Segment>, CellHash> cells;
    for (std::size_t r = 0; r < runs.size(); ++r)
        for (std::size_t s = 0; s + 1 < runs[r].size(); ++s) {
            const Point3 &a = runs[r][s], &b = runs[r][s + 1];
            for (int g = 0; g < kGrids; ++g) {
                const long long x0 = at(std::min(a.x, b.x) - mSnap, g), x1 = at(std::max(a.x, b.x) + mSnap, g);
                const long long y0 = at(std::min(a.y, b.y) - mSnap, g), y1 = at(std::max(a.y, b.y) + mSnap, g);
                if ((x1 - x0 + 1) * (y1 - y0 + 1) > 256 && g + 1 < kGrids)
                    continue;
                for (long long x = x0; x <= x1; ++x)
                    for (long long y = y0; y <= y1; ++y)
                        cells[{x, y, g}].emplace_back(r, s);
                break;
            }
        }
    std::vector<std::vector<std::pair<std::size_t, Point3>>> feet(runs.size());  // first vertex, foot
    Point3 foot;
    for (const Point3& p : mGrid.points)
        for (int g = 0; g < kGrids; ++g) {
            const auto it = cells.find({at(p.x, g), at(p.y, g), g});
            for (std::size_t k = 0; it != cells.end() && k < it->second.size(); ++k)
                if (const auto [r, s] = it->second[k]; footOn(runs[r][s], runs[r][s + 1], p, mSnap, foot)) {
                    feet[r].emplace_back(s, foot);
                    ++mCounts.onSegments;
                }
        }
    for (std::size_t r = 0; r < runs.size(); ++r)
        insertFeet(runs[r], feet[r]);
}

void Builder::piecesOf(const std::vector<const DrawnLine*>& lines)
{
    std::vector<std::vector<Point3>> runs;
    std::vector<std::pair<int, int>> ends;
    for (const DrawnLine* line : lines) {
        runs.push_back(cleaned(line->points));
        const std::vector<Point3>& run = runs.back();
        ends.emplace_back(run.size() < 2 ? -1 : nodeAt(run.front()), run.size() < 2 ? -1 : nodeAt(run.back()));
    }
    meetSegments(runs);
    for (std::size_t l = 0; l < runs.size(); ++l) {
        const std::vector<Point3>& run = runs[l];
        if (run.size() < 2) {
            mCounts.zeroLength += lines[l]->points.size() < 2;
            continue;
        }
        Piece piece{ends[l].first, 0, {}, 0, l};
        int splits = 0;
        for (std::size_t i = 1; i < run.size(); ++i) {
            piece.length += distance(run[i - 1], run[i]);
            const int node = i + 1 == run.size() ? ends[l].second : mGrid.nearest(run[i]);
            if (node < 0) {
                piece.inner.push_back(run[i]);
                continue;
            }
            splits += i + 1 < run.size();
            piece.b = node;
            addPiece(std::move(piece));
            piece = Piece{node, 0, {}, 0, l};
        }
        mCounts.splitVertices += splits;
        mCounts.splitLines += splits > 0;
    }
}

NetworkDraft Builder::draft(const std::vector<const DrawnLine*>& lines, const DraftRoom& room)
{
    NetworkDraft draft;
    std::vector<int> number(mGrid.points.size(), 0), degree(mGrid.points.size(), 0);
    int slots = 0;
    std::set<std::size_t> leftOut;
    std::set<std::string> leftOutLayers;
    for (const Piece& piece : mPieces) {
        const int added = (number[std::size_t(piece.a)] == 0) + (number[std::size_t(piece.b)] == 0);
        if (!leftOut.empty() || int(draft.roads.size()) >= room.roads ||
            int(draft.nodes.size()) + added > room.nodes) {
            if (leftOut.empty())
                mCounts.firstLeftOutLine = lines[piece.line]->line;
            leftOut.insert(piece.line);
            leftOutLayers.insert(lines[piece.line]->layer);
            ++mCounts.leftOutRoads;
            continue;
        }
        DraftRoad road;
        for (int end : {piece.a, piece.b}) {
            int& n = number[std::size_t(end)];
            if (n == 0) {
                const Point3& p = mGrid.points[std::size_t(end)];
                n = int(draft.nodes.size()) + 1;
                draft.nodes.push_back({n, false, float(p.z), float(p.x), float(p.y)});
            }
            ++degree[std::size_t(end)];
            (end == piece.a ? road.first : road.second) = n;
        }
        road.values.length = float(piece.length);
        const int need = piece.inner.empty() ? 0 : int(piece.inner.size()) + 1;
        if (slots + need > room.bendSlots) {
            ++mCounts.straightened;
        } else {
            slots += need;
            mCounts.bends += int(piece.inner.size());
            for (const Point3& p : piece.inner)
                road.bends.push_back(BendSlot{1, float(p.x), float(p.y)});
        }
        draft.roads.push_back(std::move(road));
    }
    mCounts.leftOutLines = int(leftOut.size());
    mCounts.leftOutLayers.assign(leftOutLayers.begin(), leftOutLayers.end());
    std::vector<int> byNumber(draft.nodes.size() + 1, 0);
    for (std::size_t i = 0; i < number.size(); ++i)
        if (number[i] > 0)
            byNumber[std::size_t(number[i])] = degree[i];
    markSurface(draft, byNumber);
    findParts(draft);
    return draft;
}

// Surface nodes: the open ends that lie above every junction.
void Builder::markSurface(NetworkDraft& draft, const std::vector<int>& degree)
{
    float highest = -std::numeric_limits<float>::infinity();
    for (const DraftNode& node : draft.nodes)
        if (degree[std::size_t(node.number)] > 1)
            highest = std::max(highest, node.elevation);
    for (DraftNode& node : draft.nodes)
        node.surface = degree[std::size_t(node.number)] == 1 && node.elevation > highest;
}

// Parts of the network not joined to its largest part, by union of the ends.
void Builder::findParts(const NetworkDraft& draft)
{
    NodeGroups groups(int(draft.nodes.size()));
    for (const DraftRoad& road : draft.roads)
        groups.join(road.first, road.second);
    std::map<int, std::pair<int, int>> parts;  // group -> (roads, lowest node number)
    for (const DraftRoad& road : draft.roads) {
        auto& part = parts.try_emplace(groups.find(road.first), 0, road.first).first->second;
        ++part.first;
        part.second = std::min({part.second, road.first, road.second});
    }
    std::vector<std::pair<int, int>> sizes;
    for (const auto& [r, part] : parts)
        sizes.push_back(part);
    std::stable_sort(sizes.begin(), sizes.end(), [](auto& p, auto& q) { return p.first > q.first; });
    if (!sizes.empty())
        sizes.erase(sizes.begin());
    mCounts.parts = sizes;
}

}  // namespace

NetworkDraft buildNetwork(const std::vector<const DrawnLine*>& lines, double snap, const DraftRoom& room,
                          BuildCounts& counts)
{
    counts = BuildCounts{};
    Builder builder(snap, counts);
    builder.piecesOf(lines);
    return builder.draft(lines, room);
}

}  // namespace orvex::exchange::dxf
