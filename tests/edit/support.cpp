#include "support.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "model/fileio.h"

namespace fs = std::filesystem;

namespace orvex::edittest {

Answer RecordingReporter::ask(const std::string& text, const std::string& caption, bool)
{
    questions.push_back(text);
    captions.push_back(caption);
    if (answers.empty()) {
        ADD_FAILURE() << "unscripted question: " << text;
        return Answer::No;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

namespace {

template <typename... Args> std::string format(const char* f, Args... args)
{
    std::string s;
    appendf(s, f, args...);
    return s;
}

}  // namespace

void RecordingCanvas::fillPolygon(const DevicePoint*, int n, Colour, Colour)
{
    calls.push_back(format("fill %d", n));
}
void RecordingCanvas::setPen(PenStyle style, int width, Colour colour)
{
    calls.push_back(
        format("pen %s %d %06x", style == PenStyle::Solid ? "solid" : "dotted", width, colour));
}
void RecordingCanvas::setInvert(bool on)
{
    calls.push_back(format("invert %d", int(on)));
}
void RecordingCanvas::moveTo(float x, float y)
{
    calls.push_back(format("move %g %g", double(x), double(y)));
}
void RecordingCanvas::lineTo(float x, float y)
{
    calls.push_back(format("line %g %g", double(x), double(y)));
}
void RecordingCanvas::circle(float l, float t, float r, float b)
{
    calls.push_back(format("circle %g %g %g %g", double(l), double(t), double(r), double(b)));
}
void RecordingCanvas::text(float x, float y, const std::string& text, Colour)
{
    calls.push_back(format("text %g %g ", double(x), double(y)) + text);
}
int RecordingCanvas::count(const std::string& line) const
{
    return int(std::count(calls.begin(), calls.end(), line));
}

int ScriptedDialogs::chooseSymbol()
{
    if (symbols.empty()) {
        ADD_FAILURE() << "unscripted symbol dialog";
        return 0;
    }
    const int s = symbols.front();
    symbols.pop_front();
    return s;
}

FanCurve curve(float step, std::vector<float> pressures)
{
    FanCurve c;
    c.flowStep = step;
    c.points = int(pressures.size());
    for (std::size_t j = 0; j < pressures.size() && j < c.pressure.size(); ++j)
        c.pressure[j] = pressures[j];
    return c;
}

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "orvex-edit-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "no temporary folder";
    mPath = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    fs::remove_all(mPath, ec);
}

EditBench::EditBench()
{
    app.programFolder = ORVEX_SOURCE_DIR;
    doc = std::make_unique<CBriscoDoc>(app, reporter);
    doc->baseName = "";
    view = std::make_unique<PlanView>();
    ViewGeometry& g = view->geo;
    g.scale = 1;
    g.originX = 500;
    g.originY = 500;
    g.clientWidth = 1000;
    g.clientHeight = 800;
    g.scrollWidth = 2000;
    g.scrollHeight = 1600;
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
    dialogs.fans.push_back([=](FanCurve& c) {
        c = curve(step, pressures);
        return DialogResult::Ok;
    });
    ASSERT_TRUE(ops().makeFan(a, b)) << a << "-" << b;
}

std::vector<int> EditBench::nodeNumbers() const
{
    std::vector<int> numbers;
    for (int i = 1; i <= doc->nodeCount; ++i)
        numbers.push_back(doc->nodes[std::size_t(i)].number);
    return numbers;
}

std::vector<std::string> EditBench::roadPairs() const
{
    std::vector<std::string> pairs;
    for (int k = 1; k <= doc->totalRoads(); ++k)
        pairs.push_back(std::to_string(doc->roads[std::size_t(k)].first) + "-"
            + std::to_string(doc->roads[std::size_t(k)].second));
    return pairs;
}

std::string snapshot(CBriscoDoc& doc)
{
    TempFolder folder;
    const std::string base = folder.file("snap.");
    doc.writeNetworkFile(base + "vad");
    doc.writeResultsFile(base);
    doc.writeNodeLocationFile(base);
    doc.writeBendFile(base);
    doc.writeParameterFile(base);
    std::string all;
    for (const char* ext : {"vad", "pkd", "jpd", "apd", "sdt"}) {
        std::ifstream in(base + ext, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        all += std::string("== ") + ext + "\n" + text.str();
    }
    all += "== bending-point store\n";
    for (int s = 1; s <= doc.bendUsed; ++s)
        appendf(all, "%d %g %g\n", doc.bends[std::size_t(s)].mark,
            double(doc.bends[std::size_t(s)].x), double(doc.bends[std::size_t(s)].y));
    return all;
}

}  // namespace orvex::edittest
