// The cases of a sweep: each fan off in turn, each road closed in turn, a
// fire at each node in turn.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>

#include "scenario.h"

namespace orvex {

namespace {

constexpr const char* kSweepNames[] = {"fans-off", "roads-closed", "fire-nodes"};

bool readNodeNumber(const std::string& text, int& number)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 4)
        return false;
    number = std::atoi(text.c_str());
    return isValidNodeNumber(number);
}

Scenario single(const std::string& name, ChangeKind kind, int a, int b, double value = 0)
{
    Scenario s;
    s.name = name;
    s.changes.push_back(Change{kind, a, b, value, 0});
    return s;
}

}  // namespace

std::string nodePairText(int a, int b)
{
    return std::to_string(a) + "-" + std::to_string(b);
}

bool parseSweepKind(const std::string& text, SweepKind& kind)
{
    for (int k = 0; k < 3; ++k)
        if (text == kSweepNames[k]) {
            kind = SweepKind(k);
            return true;
        }
    return false;
}

const char* sweepKindName(SweepKind kind)
{
    return kSweepNames[int(kind)];
}

bool parseSweepList(const std::string& text, SweepKind kind, std::vector<SweepItem>& items, std::string& error)
{
    items.clear();
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        SweepItem it;
        const std::size_t dash = item.find('-');
        const bool ok = kind == SweepKind::FireNodes
            ? readNodeNumber(item, it.a)
            : dash != std::string::npos && readNodeNumber(item.substr(0, dash), it.a) &&
                  readNodeNumber(item.substr(dash + 1), it.b);
        if (!ok) {
            items.clear();
            error = "\"" + item + "\" in the list of " + sweepKindName(kind) + " is not " +
                    (kind == SweepKind::FireNodes ? "a node number 0 to 1499" : "two node numbers A-B");
            return false;
        }
        items.push_back(it);
    }
    if (items.empty())
        error = std::string("the list of ") + sweepKindName(kind) + " is empty";
    return !items.empty();
}

std::vector<Scenario> sweepScenarios(const CBriscoDoc& doc, SweepKind kind, const std::vector<SweepItem>& items)
{
    std::vector<SweepItem> chosen = items;
    if (chosen.empty()) {
        std::set<std::pair<int, int>> seen;
        if (kind == SweepKind::FansOff)
            for (int f = 1; f <= doc.fanCount; ++f)
                chosen.push_back({doc.fans[f].inlet, doc.fans[f].outlet});
        else if (kind == SweepKind::RoadsClosed)
            for (int k = 1; k <= doc.roadCount; ++k) {
                const Road& r = doc.roads[k];
                if (seen.insert({std::min(r.first, r.second), std::max(r.first, r.second)}).second)
                    chosen.push_back({r.first, r.second});
            }
        else
            for (int i = doc.surfaceCount + 1; i <= doc.nodeCount; ++i)
                chosen.push_back({doc.nodes[i].number, 0});
    }
    std::vector<Scenario> cases;
    for (const SweepItem& it : chosen) {
        switch (kind) {
        case SweepKind::FansOff:
            cases.push_back(single("fan " + nodePairText(it.a, it.b) + " off", ChangeKind::FanOff, it.a, it.b));
            break;
        case SweepKind::RoadsClosed:
            cases.push_back(single("road " + nodePairText(it.a, it.b) + " closed", ChangeKind::Close, it.a, it.b,
                                   std::nan("")));
            break;
        case SweepKind::FireNodes:
            cases.push_back(single("fire at " + std::to_string(it.a), ChangeKind::Fire, it.a, 0, std::nan("")));
            break;
        }
    }
    return cases;
}

}  // namespace orvex
