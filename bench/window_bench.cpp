// The network window: opening a network into a new view and painting it
// once (reading the files, copying the model into the view, fitting the
// plan to a 1600 × 1000 window and drawing it into the backing image), and
// the full redraw alone, for the sample mine and a generated network at
// the model's capacity. Offscreen, so it runs without a display.
//
//   window/open_and_paint/mine       the sample mine
//   window/open_and_paint/capacity   999 nodes, 1499 roads, 49 fans
//   window/redraw/mine, window/redraw/capacity
//   window/results_refresh/...       the results tables taking a run
//   window/history_step/...          one undo step; what 100 steps hold
//   window/print_pdf/...             one page from the page preview, 600 dpi
//   window/export_{png,pdf,svg}/...  the window's picture to a file
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QPrinter>
#include <QUndoStack>
#include <algorithm>
#include <memory>

#include "capacitynet.h"
#include "model/profile.h"
#include "print/planoutput.h"
#include "model/units.h"
#include "results/resultspanel.h"
#include "run/rundriver.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

namespace {

struct NoDialogs : orvex::gui::FileDialogs {
    std::optional<std::string> openNetwork(QWidget*, const std::string&) override { return {}; }
    std::optional<std::string> saveNetwork(QWidget*, const std::string&) override { return {}; }
    std::optional<std::string> exchangeFile(QWidget*, orvex::ExchangeFormat, bool, const std::string&) override
    {
        return {};
    }
    std::optional<std::string> surveyFile(QWidget*, const std::string&) override { return {}; }
};

// The networks, written once into a folder of their own.
struct Networks {
    QTemporaryDir folder;
    std::string mine, capacity;
    Networks()
    {
        const QDir data(QStringLiteral(ORVEX_SOURCE_DIR "/data"));
        for (const QString& f : data.entryList({"mine.*"}, QDir::Files))
            QFile::copy(data.filePath(f), folder.filePath(f));
        mine = folder.filePath("mine.vad").toStdString();
        capacity = folder.filePath("capacity.vad").toStdString();
        const std::string error = orvex::gennet::writeNetwork(orvex::gennet::Shape{}, capacity);
        if (!error.empty())
            throw std::runtime_error(error);
    }
};

Networks& networks()
{
    static Networks n;
    return n;
}

struct Window {
    orvex::AppContext app;
    orvex::MemoryProfile profile;
    orvex::SilentReporter reporter;
    NoDialogs files;
    orvex::gui::ViewServices services{app, profile, reporter, files, {}, {}};
    std::unique_ptr<orvex::gui::NetworkDocument> document;
    std::unique_ptr<orvex::gui::CBriscoView> view;

    explicit Window(const std::string& path)
    {
        app.programFolder = ORVEX_SOURCE_DIR;
        orvex::readUnitsFile(app.programFolder, app.units, reporter);
        app.pendingFile = path;
        app.pending = true;
        document = std::make_unique<orvex::gui::NetworkDocument>(app, reporter);
        view = std::make_unique<orvex::gui::CBriscoView>(*document, services);
        view->resize(1600, 1000);
        view->show();
        view->initialUpdate();
    }
    ~Window()
    {
        // keep the parameter file and the profile out of the measurement's folder
        document->doc().baseName.clear();
        view.reset();
    }
};

void openAndPaint(benchmark::State& state, bool capacity)
{
    const std::string path = capacity ? networks().capacity : networks().mine;
    for (auto _ : state) {
        Window w(path);
        if (!w.view->networkLoaded()) {
            state.SkipWithError("the network did not open");
            break;
        }
        benchmark::DoNotOptimize(w.view->backingImage().constBits());
    }
}

void redraw(benchmark::State& state, bool capacity)
{
    Window w(capacity ? networks().capacity : networks().mine);
    for (auto _ : state) {
        w.view->repaint();
        benchmark::DoNotOptimize(w.view->backingImage().constBits());
    }
}

// The results tables taking a new run: the models rebuilt, the columns sized.
void resultsRefresh(benchmark::State& state, bool capacity)
{
    Window w(capacity ? networks().capacity : networks().mine);
    orvex::QuietAnalysisDialog dialog;
    orvex::runAnalysis(w.document->doc(), dialog, true);
    orvex::gui::ResultsPanel panel(w.document->doc());
    panel.resize(1600, 300);
    panel.show();
    for (auto _ : state)
        panel.refresh();
    state.counters["roads"] = w.document->doc().totalRoads();
}

// One step of the undo history: a node moved, the network's snapshot taken
// and pushed. The counters say what a step and a full history cost.
void historyStep(benchmark::State& state, bool capacity)
{
    Window w(capacity ? networks().capacity : networks().mine);
    orvex::CBriscoDoc& doc = w.document->doc();
    for (auto _ : state) {
        doc.nodes[1].x += 1;
        w.document->networkChanged("Move node");
    }
    const QUndoStack& history = w.document->undoStack();
    const double perStep = double(w.document->historyBytes()) / std::max(1, history.count());
    state.counters["step_KB"] = perStep / 1024;
    state.counters["limit_MB"] = perStep * history.undoLimit() / (1024 * 1024);
    state.counters["bends"] = doc.bendUsed;
}

// One page printed to a PDF file from the page preview, at 600 dpi on A4.
void printPage(benchmark::State& state, bool capacity)
{
    Window w(capacity ? networks().capacity : networks().mine);
    w.view->togglePrint();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setOutputFileName(networks().folder.filePath("page.pdf"));
    for (auto _ : state) {
        const std::string error = orvex::gui::printPlan(w.view->plan(), printer, "bench");
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["KB"] = double(QFileInfo(networks().folder.filePath("page.pdf")).size()) / 1024;
    w.view->togglePrint();
}

// The window's picture written to a file.
void exportPicture(benchmark::State& state, bool capacity, orvex::gui::ExportFormat format, const char* name)
{
    Window w(capacity ? networks().capacity : networks().mine);
    orvex::gui::PlanExport how;
    how.format = format;
    how.path = networks().folder.filePath(name).toStdString();
    for (auto _ : state) {
        const std::string error = orvex::gui::exportPlan(w.view->plan(), how, "bench");
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["KB"] = double(QFileInfo(QString::fromStdString(how.path)).size()) / 1024;
}

BENCHMARK_CAPTURE(openAndPaint, mine, false)->Name("window/open_and_paint/mine")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openAndPaint, capacity, true)->Name("window/open_and_paint/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(redraw, mine, false)->Name("window/redraw/mine")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(redraw, capacity, true)->Name("window/redraw/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(resultsRefresh, mine, false)->Name("window/results_refresh/mine")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(resultsRefresh, capacity, true)->Name("window/results_refresh/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(historyStep, mine, false)->Name("window/history_step/mine")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(historyStep, capacity, true)->Name("window/history_step/capacity")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(printPage, mine, false)->Name("window/print_pdf/mine")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(printPage, capacity, true)->Name("window/print_pdf/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportPicture, png, true, orvex::gui::ExportFormat::Png, "plan.png")
    ->Name("window/export_png/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportPicture, pdf, true, orvex::gui::ExportFormat::Pdf, "plan.pdf")
    ->Name("window/export_pdf/capacity")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportPicture, svg, true, orvex::gui::ExportFormat::Svg, "plan.svg")
    ->Name("window/export_svg/capacity")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
