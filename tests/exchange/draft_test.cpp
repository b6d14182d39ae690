// A draft taken from a network and stored into another document gives the
// same network files; a draft that would corrupt the arrays is refused whole.
#include <algorithm>

#include <gtest/gtest.h>

#include "exchange/draft.h"
#include "support/support.h"

namespace orvex::exchange {
namespace {

using test::SampleNetwork;

TEST(Draft, StoredIntoAnotherDocumentGivesTheSameFiles)
{
    for (const char* sample : {"mine.vad", "minefire.vad", "water.vad", "built.vad"}) {
        SCOPED_TRACE(sample);
        SampleNetwork from(sample), to("mine.vad");
        ASSERT_TRUE(from.opened && to.opened);
        if (std::string(sample) == "water.vad")
            to.doc->networkKind = kWaterNetworkKind;
        ASSERT_EQ(storeDraft(draftOf(*from.doc), *to.doc), "");
        to.doc->fire = from.doc->fire;
        for (int i = 1; i <= from.doc->nodeCount; ++i)
            to.doc->nodes[i].pressure = from.doc->nodes[i].pressure;
        EXPECT_EQ(test::snapshot(*to.doc), test::snapshot(*from.doc));
    }
}

TEST(Draft, RefusesWhatWouldCorruptTheArraysAndKeepsTheNetwork)
{
    struct Case {
        const char* name;
        void (*spoil)(NetworkDraft&);
        const char* problem;
    };
    const Case cases[] = {
        {"node twice", [](NetworkDraft& d) { d.nodes.push_back(d.nodes.front()); }, "is given twice"},
        {"node number", [](NetworkDraft& d) { d.nodes.back().number = 1500; }, "outside 0..1499"},
        {"road end", [](NetworkDraft& d) { d.roads.back().second = 999; }, "names node 999"},
        {"fan end", [](NetworkDraft& d) { d.fans.back().inlet = 998; }, "names node 998"},
        {"fan points", [](NetworkDraft& d) { d.fans.back().curve.assign(31, 1.0f); }, "31 characteristic points"},
        {"no points", [](NetworkDraft& d) { d.fans.back().curve.clear(); }, "0 characteristic points"},
        {"heading", [](NetworkDraft& d) { d.headings[2] = std::string(80, 'x'); }, "heading line 2"},
        {"roads", [](NetworkDraft& d) { d.roads.resize(kMaxRoads, d.roads.front()); }, "at most 1499 roads"},
        {"bends", [](NetworkDraft& d) { d.roads.front().bends.resize(kMaxBendSlots); }, "bending-point slots"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SampleNetwork net;
        ASSERT_TRUE(net.opened);
        const std::string before = test::snapshot(*net.doc);
        NetworkDraft draft = draftOf(*net.doc);
        c.spoil(draft);
        EXPECT_NE(storeDraft(draft, *net.doc).find(c.problem), std::string::npos);
        EXPECT_EQ(test::snapshot(*net.doc), before);
    }
}

TEST(Draft, LevelsShiftedByDepthAndBendsAlongTheirRoads)
{
    NetworkDraft draft;
    draft.nodes = {{1, true, 20, 0, 0}, {2, false, -40, 0, 0}, {3, false, -40, 100, 0}};
    draft.roads = {{1, 2, false, Road{}, {BendSlot{0, 30, 0}}}, {2, 3, false, Road{}, {}}};
    shiftByDepth(draft, 1.5, -0.5);
    const std::pair<float, float> nodes[] = {{0, 0}, {90, -30}, {190, -30}};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(std::make_pair(draft.nodes[i].x, draft.nodes[i].y), nodes[i]) << i;
    // Half way along the road from the top to the level: half the shift.
    EXPECT_FLOAT_EQ(draft.roads[0].bends[0].x, 75.0f);
    EXPECT_FLOAT_EQ(draft.roads[0].bends[0].y, -15.0f);
}

TEST(Draft, NotUseableRoadsFollowTheirNodesOrGo)
{
    SampleNetwork net("minefire.vad");
    ASSERT_TRUE(net.opened);
    ASSERT_EQ(net.doc->fire.unusableCount, 1);
    NetworkDraft draft = draftOf(*net.doc);
    draft.roads.insert(draft.roads.begin(), DraftRoad{1, 2, false, Road{}, {}});
    ASSERT_EQ(storeDraft(draft, *net.doc), "");
    ASSERT_EQ(net.doc->fire.unusableCount, 1);
    const Road& road = net.doc->roads[std::size_t(net.doc->fire.unusableRoad[1])];
    EXPECT_EQ(std::make_pair(road.first, road.second), std::make_pair(212, 203));

    draft.roads.erase(std::find_if(draft.roads.begin(), draft.roads.end(),
                                   [](const DraftRoad& r) { return r.first == 212 && r.second == 203; }));
    ASSERT_EQ(storeDraft(draft, *net.doc), "");
    EXPECT_EQ(net.doc->fire.unusableCount, 0);
}

}  // namespace
}  // namespace orvex::exchange
