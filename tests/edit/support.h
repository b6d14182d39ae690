#pragma once

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/planview.h"
#include "edit/editor.h"
#include "model/fileio.h"
#include "support/canvas.h"
#include "support/support.h"

namespace orvex::test {

// The next scripted answer; one that nobody scripted fails the test and gives `otherwise`.
template <typename T> T next(std::deque<T>& script, const char* what, T otherwise)
{
    if (script.empty()) {
        ADD_FAILURE() << what << " nobody scripted";
        return otherwise;
    }
    T answer = script.front();
    script.pop_front();
    return answer;
}

// Answers each dialog from its own queue; a dialog nobody scripted fails the test and is cancelled.
struct ScriptedDialogs : EditDialogs {
    template <typename V> using Script = std::deque<std::function<DialogResult(V&)>>;
    DialogResult makeNode(NewNodeValues& v) override { return play(nodes, v); }
    DialogResult changeNode(NodeDataValues& v) override { return play(nodeData, v); }
    DialogResult makeRoad(NewRoadValues& v) override { return play(roads, v); }
    DialogResult changeNormalRoad(RoadDataValues& v) override { return play(roadData, v); }
    DialogResult changeFixedRoad(FixedRoadValues& v) override { return play(fixedData, v); }
    DialogResult insertNode(InsertNodeValues& v) override { return play(inserts, v); }
    DialogResult makeFan(int, int, FanCurve& c) override { return play(fans, c); }
    DialogResult changeFan(int, int, FanCurve& c) override { return play(fanChanges, c); }
    int chooseSymbol() override { return next(symbols, "a symbol dialog", 0); }

    Script<NewNodeValues> nodes;
    Script<NodeDataValues> nodeData;
    Script<NewRoadValues> roads;
    Script<RoadDataValues> roadData;
    Script<FixedRoadValues> fixedData;
    Script<InsertNodeValues> inserts;
    Script<FanCurve> fans, fanChanges;
    std::deque<int> symbols;  // the symbol dialog's choices

private:
    template <typename V> DialogResult play(Script<V>& script, V& values)
    {
        const auto cancel = [](V&) { return DialogResult::Cancel; };
        return next(script, "a dialog", std::function<DialogResult(V&)>(cancel))(values);
    }
};

// A dialog answer: `fill` sets the values, then OK.
template <typename V> std::function<DialogResult(V&)> ok(std::function<void(V&)> fill)
{
    return [fill](V& v) {
        fill(v);
        return DialogResult::Ok;
    };
}
FanCurve curve(float step, std::vector<float> pressures);

// The window: a redraw copies the document into the plan view.
struct RecordingWindow : EditorWindow {
    RecordingWindow(CBriscoDoc& doc, PlanView& view) : doc(doc), view(view) {}
    void redrawAll() override { view.update(doc); }
    void scrollTo(int x, int y) override { scrolls.push_back({x, y}); }
    void repaint() override { ++repaints; }
    void captureMouse(bool on) override { captured = on; }
    CBriscoDoc& doc;
    PlanView& view;
    int repaints = 0;
    bool captured = false;
    std::vector<std::pair<int, int>> scrolls;
};

// A document on the installation's empty default network, its plan view
// (scale 1, world (0, 0) at client (500, 500), client 1000 × 800, node
// radius 8) and an editor, with helpers in world coordinates.
struct EditBench {
    EditBench();
    int cx(int worldX) const { return worldX + 500; }
    int cy(int worldY) const { return 500 - worldY; }
    void click(int wx, int wy)
    {
        editor->leftButtonDown(cx(wx), cy(wy));
        editor->leftButtonUp(cx(wx), cy(wy));
    }
    void doubleClick(int wx, int wy) { editor->leftDoubleClick(cx(wx), cy(wy)); }
    void rightClick(int wx, int wy) { editor->rightButtonDown(cx(wx), cy(wy)); }
    EditOperations& ops() { return editor->operations(); }
    // Nodes, roads and fans made straight through the operations.
    void node(int number, int x, int y, NodeKind kind = NodeKind::Underground, float z = 0);
    void road(int a, int b, float r = 10, float t = 20, float area = 4, float length = 100, float k = 2);
    void fan(int a, int b, float step, std::vector<float> pressures);
    // The node numbers in index order; the roads as "a-b".
    std::vector<int> nodeNumbers() const;
    Strings roadPairs() const;
    const Road& roadAt(int k) const { return doc->roads[std::size_t(k)]; }

    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
    std::unique_ptr<PlanView> view;
    RecordingCanvas canvas;
    ScriptedDialogs dialogs;
    std::unique_ptr<RecordingWindow> window;
    SharedEditState shared;
    std::unique_ptr<Editor> editor;
};

// Expects `action` to be refused with exactly `message`, changing nothing that snapshot() sees.
void expectRefused(EditBench& bench, const std::function<void()>& action, const std::string& message);

}  // namespace orvex::test
