#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/planview.h"
#include "edit/editor.h"
#include "model/briscodoc.h"

namespace orvex::edittest {

// Message boxes and questions; questions are answered from `answers` in
// order, and a question nobody scripted fails the test.
class RecordingReporter : public Reporter {
public:
    void message(const std::string& text, const std::string& caption, MessageKind) override
    {
        messages.push_back(text);
        captions.push_back(caption);
    }
    Answer ask(const std::string& text, const std::string& caption, bool) override;

    std::vector<std::string> messages, captions, questions;
    std::deque<Answer> answers;
};

// Everything drawn, one line per call ("line 10 20", "invert 1", "text 0 0 ...").
class RecordingCanvas : public Canvas {
public:
    void fillPolygon(const DevicePoint*, int count, Colour, Colour) override;
    void setPen(PenStyle style, int width, Colour colour) override;
    void setInvert(bool on) override;
    void moveTo(float x, float y) override;
    void lineTo(float x, float y) override;
    void circle(float left, float top, float right, float bottom) override;
    void text(float x, float y, const std::string& text, Colour colour) override;
    int count(const std::string& line) const;

    std::vector<std::string> calls;
};

// Answers each dialog from its own queue; an unscripted dialog fails the
// test and is cancelled.
class ScriptedDialogs : public EditDialogs {
public:
    template <typename V> using Script = std::deque<std::function<DialogResult(V&)>>;

    DialogResult makeNode(NewNodeValues& v) override { return play(nodes, v, "makeNode"); }
    DialogResult changeNode(NodeDataValues& v) override { return play(nodeData, v, "changeNode"); }
    DialogResult makeRoad(NewRoadValues& v) override { return play(roads, v, "makeRoad"); }
    DialogResult changeNormalRoad(RoadDataValues& v) override { return play(roadData, v, "road"); }
    DialogResult changeFixedRoad(FixedRoadValues& v) override
    {
        return play(fixedData, v, "fixed");
    }
    DialogResult insertNode(InsertNodeValues& v) override { return play(inserts, v, "insert"); }
    int chooseSymbol() override;
    DialogResult makeFan(int, int, FanCurve& c) override { return play(fans, c, "makeFan"); }
    DialogResult changeFan(int, int, FanCurve& c) override
    {
        return play(fanChanges, c, "changeFan");
    }

    Script<NewNodeValues> nodes;
    Script<NodeDataValues> nodeData;
    Script<NewRoadValues> roads;
    Script<RoadDataValues> roadData;
    Script<FixedRoadValues> fixedData;
    Script<InsertNodeValues> inserts;
    std::deque<int> symbols;
    Script<FanCurve> fans, fanChanges;

private:
    template <typename V> DialogResult play(Script<V>& script, V& values, const char* name)
    {
        if (script.empty()) {
            ADD_FAILURE() << "unscripted dialog " << name;
            return DialogResult::Cancel;
        }
        auto answer = script.front();
        script.pop_front();
        return answer(values);
    }
};

// A dialog answer that closes with OK after `fill` set the values.
template <typename V> std::function<DialogResult(V&)> ok(std::function<void(V&)> fill)
{
    return [fill](V& v) {
        fill(v);
        return DialogResult::Ok;
    };
}
FanCurve curve(float step, std::vector<float> pressures);

// The window: redrawing copies the document into the plan view.
class RecordingWindow : public EditorWindow {
public:
    RecordingWindow(CBriscoDoc& doc, PlanView& view)
        : mDoc(doc)
        , mView(view)
    {
    }
    void redrawAll() override
    {
        ++redraws;
        mView.update(mDoc);
    }
    void scrollTo(int x, int y) override { scrolls.push_back({x, y}); }
    void repaint() override { ++repaints; }
    void captureMouse(bool on) override { captured = on; }

    int redraws = 0, repaints = 0;
    bool captured = false;
    std::vector<std::pair<int, int>> scrolls;

private:
    CBriscoDoc& mDoc;
    PlanView& mView;
};

// An empty folder below the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string file(const std::string& name) const { return (mPath / name).string(); }

private:
    std::filesystem::path mPath;
};

// A document on the installation's empty default network, its plan view
// (scale 1, world (0, 0) at client (500, 500), node radius 8) and an editor.
struct EditBench {
    EditBench();
    // The client point of a world point.
    int cx(int worldX) const { return worldX + 500; }
    int cy(int worldY) const { return 500 - worldY; }
    void click(int wx, int wy)
    {
        editor->leftButtonDown(cx(wx), cy(wy));
        editor->leftButtonUp(cx(wx), cy(wy));
    }
    void doubleClick(int wx, int wy) { editor->leftDoubleClick(cx(wx), cy(wy)); }
    void rightClick(int wx, int wy) { editor->rightButtonDown(cx(wx), cy(wy)); }
    void enter(int commandId) { editor->command(commandId); }

    // Makes nodes, roads and fans straight through the operations.
    void node(int number, int x, int y, NodeKind kind = NodeKind::Underground, float z = 0);
    void road(
        int a, int b, float r = 10, float t = 20, float area = 4, float length = 100, float k = 2);
    void fan(int a, int b, float step, std::vector<float> pressures);
    EditOperations& ops() { return editor->operations(); }
    // The numbers of the document's nodes in index order; the roads as "a-b".
    std::vector<int> nodeNumbers() const;
    std::vector<std::string> roadPairs() const;

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

// Every file the document writes (network, results, node positions, bending
// points, parameters) and the raw bending-point store, for before/after
// comparisons.
std::string snapshot(CBriscoDoc& doc);

}  // namespace orvex::edittest
