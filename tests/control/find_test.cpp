// What a Find text names in the sample mine, and the tool tips of its
// elements.
#include <gtest/gtest.h>

#include "control/planfind.h"
#include "support/support.h"

namespace orvex::test {
namespace {

TEST(PlanFind, EachFormAndWhatIsNotThere)
{
    SampleNetwork mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    const CBriscoDoc& doc = *mine.doc;
    const int fixedRoad = doc.findRoad(306, 323, RoadScope::All);
    ASSERT_GT(fixedRoad, doc.roadCount);
    const std::string nonsense = "\" is not a node number, two node numbers or a road name";
    using K = MarkKind;
    // Nodes by number; a message starting with '"' follows the text in quotes.
    const struct { const char* text; K kind; int element; std::string message; } cases[] = {
        {"  212\t", K::Node, 212, ""},     {"1 101", K::Road, 1, ""},
        {"101 - 1", K::Road, 1, ""},       {"306,323", K::Road, fixedRoad, ""},
        {"330 331", K::Road, doc.findRoad(330, 331), ""},  // before the fan beside it
        {"fan 330 331", K::Fan, 2, ""},    {"FAN331-330", K::Fan, 2, ""},
        {"3 10", K::Fan, 1, ""},           {"intakeshaft", K::Road, 1, ""},
        {" L2_Workshop ", K::Road, doc.findRoad(202, 212), ""},
        {"1499", K::None, 0, "No node 1499"}, {"99999", K::None, 0, "No node 99999"},
        {"1 2", K::None, 0, "No road between 1 and 2"},
        {"fan 1 101", K::None, 0, "No fan between 1 and 101"},
        {"", K::None, 0, "Type a node number, two node numbers or a road name to find"},
        {"abc", K::None, 0, nonsense},     {"1 2 3", K::None, 0, nonsense},
        {"1--2", K::None, 0, nonsense},    {"-212", K::None, 0, nonsense},
        {"fan 5", K::None, 0, nonsense},   {"1234567890123", K::None, 0, nonsense},
    };
    for (const auto& c : cases) {
        const FoundElement found = findElement(doc, c.text, [](const std::string& text) { return text; });
        const int element = c.kind == K::Node ? doc.nodeIndex(c.element) : c.element;
        const std::string message = c.message[0] == '"' ? '"' + std::string(c.text) + c.message : c.message;
        EXPECT_EQ(std::tuple(found.kind, found.element, found.message), std::tuple(c.kind, element, message))
            << '"' << c.text << '"';
    }
    mine.doc->roads[3].name = "1 2";  // a name that reads as numbers, when they name nothing
    EXPECT_EQ(findElement(doc, "1 2", [](const std::string& text) { return text; }).element, 3);
}

TEST(PlanFind, ToolTipsShowTheResultsValues)
{
    SampleNetwork mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    CBriscoDoc& doc = *mine.doc;
    doc.specificWeight = 1.2f;
    doc.roads[1].massFlow = 120;
    doc.nodes[std::size_t(doc.nodeIndex(212))].pressure = 10300;
    doc.fans[1].fanFlow = 6000, doc.fans[1].pressure = 2500.25f;
    const int fixedRoad = doc.findRoad(306, 323, RoadScope::All);
    const auto decode = [](std::string t) {  // names and headings are decoded
        return t.find("ft") == std::string::npos ? t : t.replace(t.find("ft"), 2, "FT");
    };
    const struct { MarkKind kind; int element; std::string tip; } cases[] = {
        {MarkKind::Road, 1,
         "Road 1: 1 - 101  IntakeShaFT\nAirflow: 100.000 m3/min\nPressure loss: 120.808 Pa\nResistance: 0.0120 Ns2/m8"},
        {MarkKind::Road, fixedRoad,
         "Fixed-flow road " + std::to_string(fixedRoad) + ": 306 - 323\nAirflow: 0.000 m3/min\n"
         "Set airflow: 600.000 m3/min\nPressure loss: 23.083 Pa"},
        {MarkKind::Node, doc.nodeIndex(212), "Node 212, underground\nElevation: 20.0 m\nPressure: 101008.52 Pa"},
        {MarkKind::Fan, 1, "Fan 1: 10 - 3  main fan, return shaFT\nAirflow: 6000.000 m3/min\nPressure: 2500.250 Pa\n"
                           "Operating point: on curve"},
        {MarkKind::Road, doc.roadCount,  // the last ordinary road and the last node
         "Road 64: 331 - 340\nAirflow: 0.000 m3/min\nPressure loss: 0.000 Pa\nResistance: 0.0150 Ns2/m8"},
        {MarkKind::Node, doc.nodeCount, "Node 340, underground\nElevation: -80.0 m\nPressure: 102186.90 Pa"},
        {MarkKind::Fan, 3, ""}, {MarkKind::None, 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(elementTip(doc, c.kind, c.element, decode), c.tip) << int(c.kind) << " " << c.element;
}

}  // namespace
}  // namespace orvex::test
