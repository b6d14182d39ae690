#include "support.h"

#include <algorithm>

namespace orvex::test {

FanCurve curve(float step, std::vector<float> pressures)
{
    FanCurve c;
    c.flowStep = step;
    c.points = int(pressures.size());
    std::copy(pressures.begin(), pressures.end(), c.pressure.begin());
    return c;
}

EditBench::EditBench()
{
    app.programFolder = ORVEX_SOURCE_DIR;
    reporter.strict = true;
    doc = std::make_unique<CBriscoDoc>(app, reporter);
    doc->baseName = "";
    view = std::make_unique<PlanView>();
    ViewGeometry& g = view->geo;
    g.originX = 500, g.originY = 500, g.clientWidth = 1000, g.clientHeight = 800;
    g.scrollWidth = 2000, g.scrollHeight = 1600;
    window = std::make_unique<RecordingWindow>(*doc, *view);
    editor = std::make_unique<Editor>(*doc, *view, dialogs, *window, canvas, shared);
    view->update(*doc);
}

void EditBench::node(int number, int x, int y, NodeKind kind, float z)
{
    ASSERT_EQ(ops().makeNode(number, z, kind, x, y), 1) << number;
}

void EditBench::road(int a, int b, float r, float t, float area, float length, float k)
{
    ASSERT_TRUE(ops().addNormalRoad(a, b, r, t, area, length, k)) << a << "-" << b;
}

void EditBench::fan(int a, int b, float step, std::vector<float> pressures)
{
    dialogs.fans.push_back(ok<FanCurve>([=](FanCurve& c) { c = curve(step, pressures); }));
    ASSERT_TRUE(ops().makeFan(a, b)) << a << "-" << b;
}

std::vector<int> EditBench::nodeNumbers() const
{
    std::vector<int> numbers;
    for (int i = 1; i <= doc->nodeCount; ++i)
        numbers.push_back(doc->nodes[std::size_t(i)].number);
    return numbers;
}

Strings EditBench::roadPairs() const
{
    Strings pairs;
    for (int k = 1; k <= doc->totalRoads(); ++k)
        pairs.push_back(std::to_string(roadAt(k).first) + "-" + std::to_string(roadAt(k).second));
    return pairs;
}

void expectRefused(EditBench& bench, const std::function<void()>& action, const std::string& message)
{
    const std::string before = snapshot(*bench.doc);
    bench.reporter.messages.clear();
    action();
    EXPECT_EQ(bench.reporter.messages, Strings{message});
    EXPECT_EQ(snapshot(*bench.doc), before);
}

}  // namespace orvex::test
