// orvex-bench-draw: drawing the plan with QPainter onto an image, the way the
// window's paint and the batch tool's plan images draw it: background, node
// circles, roads with their bending points and symbols, fans, and the labels
// in the stroke font, at the scale that fits the plan to the image.
//
//   draw/capacity/labels         a network at the model's capacity (999 nodes,
//                                1499 roads, 49 fans), analysed, on 1920 × 1080
//                                with the default labels (standard flow above
//                                the roads, node numbers); goal: under 16 ms,
//                                one frame at 60 Hz
//   draw/capacity/all_labels     the same with values above and below every
//                                road and on every node, two decimals
//   draw/capacity/no_labels      the simple page preview's drawing: no labels
//   draw/capacity/aliased        default labels without antialiasing
//   draw/capacity/coloured       the capacity network fitted to 1600 × 1000,
//                                roads coloured by airflow and as wide as
//                                their airflow, arrows, labels at screen
//                                size with the overlapping ones left out,
//                                the colour legend; goal: under 16 ms
//   draw/sample/labels           the sample mine, analysed, on 1920 × 1080
//   draw/capacity/core_only      the default labels handed to a canvas that
//                                only counts: the drawing's own cost, without
//                                rasterising
//
// Run from any folder; the font, the settings files and the sample are taken
// from the source tree. Counters: nodes, roads, and the strokes (line
// segments and circles) one drawing hands to the canvas.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "analysis/analysisdialog.h"
#include "run/rundriver.h"
#include "view/qpaintercanvas.h"
#include "display/planview.h"
#include "model/briscodoc.h"
#include "model/networkio.h"
#include "model/profile.h"
#include "model/units.h"

#if ORVEX_HAVE_GENNET
#include "capacitynet.h"
#endif

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Counts what a drawing hands to the canvas.
class CountingCanvas : public orvex::Canvas {
public:
    void fillPolygon(const orvex::DevicePoint*, int, orvex::Colour, orvex::Colour) override {}
    void setPen(orvex::PenStyle, int, orvex::Colour) override {}
    void setInvert(bool) override {}
    void moveTo(float, float) override {}
    void lineTo(float, float) override { ++strokes; }
    void circle(float, float, float, float) override { ++strokes; }
    void text(float, float, const std::string&, orvex::Colour) override {}
    void textOnBackground(float, float, const std::string&, orvex::Colour, orvex::Colour) override {}
    long strokes = 0;
};

#if !ORVEX_HAVE_GENNET
// Without the network generator: a grid of 33 × 30 nodes 100 m apart, every
// row joined, the columns joined until the road capacity, a bend in every
// tenth road, with made-up flows for the labels.
void gridNetwork(orvex::CBriscoDoc& doc)
{
    const int columns = 33, rows = 30;
    doc.surfaceCount = columns;
    doc.undergroundCount = columns * rows - columns;
    for (int i = 1; i <= columns * rows; ++i) {
        orvex::Node& n = doc.nodes[std::size_t(i)];
        n = orvex::Node{};
        n.number = i;
        n.x = float((i - 1) % columns) * 100;
        n.y = -float((i - 1) / columns) * 100;
    }
    int k = 0;
    doc.bendUsed = 0;
    const auto road = [&](int a, int b) {
        if (k + 1 >= orvex::kMaxRoads)
            return;
        orvex::Road& r = doc.roads[std::size_t(++k)];
        r = orvex::Road{};
        r.first = a;
        r.second = b;
        r.resistance = 0.01f;
        r.massFlow = float((k * 37) % 5000) * 0.1f;
        if (k % 10 == 0 && doc.bendUsed + 2 < orvex::kMaxBendSlots) {
            const orvex::Node& na = doc.nodes[std::size_t(a)];
            const orvex::Node& nb = doc.nodes[std::size_t(b)];
            r.bendStart = doc.bendUsed + 1;
            doc.bends[std::size_t(doc.bendUsed + 1)] = orvex::BendSlot{1, 0, 0};
            doc.bends[std::size_t(doc.bendUsed + 2)] =
                orvex::BendSlot{2 + k % 6, (na.x + nb.x) / 2 + 20, (na.y + nb.y) / 2 + 20};
            doc.bendUsed += 2;
        }
    };
    for (int row = 0; row < rows; ++row)
        for (int c = 1; c < columns; ++c)
            road(row * columns + c, row * columns + c + 1);
    for (int c = 1; c <= columns; ++c)
        for (int row = 0; row + 1 < rows; ++row)
            road(row * columns + c, (row + 1) * columns + c);
    doc.roadCount = k;
    doc.fixedCount = 0;
    doc.fanCount = 0;
    doc.specificWeight = 1;
    doc.rebuildAdjacency();
}
#endif

// A document with its plan view fitted to the image, made once per network.
struct Plan {
    orvex::AppContext app;
    orvex::SilentReporter reporter;
    std::unique_ptr<orvex::CBriscoDoc> doc;
    std::unique_ptr<orvex::PlanView> view;
    std::string error;
};

enum class Network { Sample, Capacity };

Plan& planOf(Network which)
{
    static std::unique_ptr<Plan> plans[2];
    std::unique_ptr<Plan>& slot = plans[which == Network::Sample ? 0 : 1];
    if (slot)
        return *slot;
    slot = std::make_unique<Plan>();
    Plan& p = *slot;
    p.app.programFolder = ORVEX_SOURCE_DIR;
    orvex::readUnitsFile(p.app.programFolder, p.app.units, p.reporter);
    p.doc = std::make_unique<orvex::CBriscoDoc>(p.app, p.reporter);
    bool analyse = true;
    if (which == Network::Sample) {
        p.app.pendingFile = std::string(ORVEX_SOURCE_DIR) + "/data/mine.vad";
        p.app.pending = true;
        orvex::MemoryProfile profile;
        if (!orvex::openPendingNetwork(*p.doc, profile))
            p.error = "the sample mine could not be opened";
    } else {
#if ORVEX_HAVE_GENNET
        p.error = orvex::gennet::generate(orvex::gennet::Shape{}, *p.doc);
#else
        gridNetwork(*p.doc);
        analyse = false;
#endif
    }
    if (!p.error.empty())
        return p;
    if (analyse) {
        orvex::QuietAnalysisDialog dialog;
        orvex::runAnalysis(*p.doc, dialog, true);
    }
    p.view = std::make_unique<orvex::PlanView>();
    orvex::PlanView& view = *p.view;
    view.font.load(p.app.programFolder, p.reporter);
    if (view.font.glyphCount() == 0)
        p.error = "the stroke font could not be loaded";
    view.geo.clientWidth = kWidth;
    view.geo.clientHeight = kHeight;
    view.networkLoaded = true;
    view.update(*p.doc);
    view.fitToWindow();
    return p;
}

enum class Labels { Default, All, None, Coloured };

void BM_Draw(benchmark::State& state, Network which, Labels labels, bool antialiased)
{
    Plan& plan = planOf(which);
    if (!plan.error.empty()) {
        state.SkipWithError(plan.error.c_str());
        return;
    }
    orvex::PlanView& view = *plan.view;
    const orvex::DisplaySettings saved = view.settings;
    if (labels == Labels::All) {
        view.settings.onlineKind = 1;
        view.settings.underlineKind = 4;
        view.settings.nodeKind = 2;
        view.settings.onlineDigits = view.settings.underlineDigits = view.settings.nodeDigits = 2;
        view.update(*plan.doc);
    }
    const orvex::ViewGeometry savedGeometry = view.geo;
    int width = kWidth, height = kHeight;
    if (labels == Labels::Coloured) {
        view.settings.look = orvex::PlanLook{1, 0, {}, true, true, true, 12};
        width = 1600, height = 1000;
        view.geo.clientWidth = width, view.geo.clientHeight = height;
        view.update(*plan.doc);
        view.fitToWindow();
    }
    CountingCanvas counter;
    if (labels == Labels::None)
        view.drawNetwork(counter, false);
    else
        view.paint(counter);

    QImage image(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        {
            orvex::QPainterCanvas canvas(painter, antialiased);
            if (labels == Labels::None)
                view.drawNetwork(canvas, false);
            else
                view.paint(canvas);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
    state.counters["nodes"] = view.data.nodeCount;
    state.counters["roads"] = view.data.roadCount + view.data.fixedCount;
    state.counters["strokes"] = double(counter.strokes);
    state.counters["scale"] = view.geo.scale;

    view.settings = saved;
    view.geo = savedGeometry;
    view.update(*plan.doc);
}

void BM_DrawCoreOnly(benchmark::State& state)
{
    Plan& plan = planOf(Network::Capacity);
    if (!plan.error.empty()) {
        state.SkipWithError(plan.error.c_str());
        return;
    }
    CountingCanvas counter;
    for (auto _ : state) {
        plan.view->paint(counter);
        benchmark::DoNotOptimize(counter.strokes);
    }
    state.counters["strokes"] = double(counter.strokes) / double(state.iterations());
}

BENCHMARK_CAPTURE(BM_Draw, capacity_labels, Network::Capacity, Labels::Default, true)
    ->Name("draw/capacity/labels")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, capacity_all_labels, Network::Capacity, Labels::All, true)
    ->Name("draw/capacity/all_labels")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, capacity_no_labels, Network::Capacity, Labels::None, true)
    ->Name("draw/capacity/no_labels")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, capacity_aliased, Network::Capacity, Labels::Default, false)
    ->Name("draw/capacity/aliased")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, capacity_coloured, Network::Capacity, Labels::Coloured, true)
    ->Name("draw/capacity/coloured")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, sample_labels, Network::Sample, Labels::Default, true)
    ->Name("draw/sample/labels")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawCoreOnly)->Name("draw/capacity/core_only")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
