// What a network view decides, through recorders in place of the window:
// the commands in the plan and in the page preview, open and save, the
// marked element, printing and export, the analysis dialog's controls and
// the fan curve viewer.
#include <set>

#include "analysis/quantities.h"
#include "control/planfind.h"
#include "control/viewcontrol.h"
#include "control/viewrun.h"
#include "edit/snapshot.h"
#include "model/networkio.h"
#include "support.h"
#include "viewbench.h"

namespace orvex::test {
namespace {

TEST(ViewCommands, EachIsUsableInItsModeAndEditsWaitForTheRun)
{
    using C = ViewCommand;
    const std::set<C> previewOnly = {C::StartPrinting, C::PrinterSetup, C::ColourSetup};
    const std::set<C> inPreview = {C::ZoomIn, C::ZoomOut, C::Print, C::StartPrinting,
                                   C::PrinterSetup, C::ColourSetup, C::ExportPlan};
    ViewBench b;
    for (bool preview : {false, true}) {
        if (preview)
            b.control.togglePrint();
        EXPECT_EQ(b.view->geo.pagePreview, preview);
        for (int i = 0; i <= int(C::ExportPlan); ++i) {
            const C c = C(i);
            EXPECT_EQ(b.control.commandEnabled(c), preview ? inPreview.count(c) > 0 : previewOnly.count(c) == 0)
                << i << (preview ? " in the page preview" : " on the plan");
            EXPECT_EQ(b.control.commandChecked(c), preview && c == C::Print) << i;
        }
    }
    b.control.togglePrint();
    b.view->networkLoaded = false;
    EXPECT_FALSE(b.control.commandEnabled(C::Info)) << "no network to name";
    EXPECT_FALSE(b.control.mayOpenAnalysis());

    // A run's dialog holds the document: the editor's commands wait.
    for (bool open : {true, false}) {
        b.control.setAnalysisOpen(open);
        b.doc->analysisRunning = !open;
        EXPECT_FALSE(b.control.editCommandEnabled(command::kMakeNode));
        EXPECT_FALSE(b.control.editCommand(command::kMakeNode));
    }
    b.doc->analysisRunning = false;
    EXPECT_TRUE(b.control.editCommand(command::kMakeNode));
    EXPECT_TRUE(b.control.editCommandChecked(command::kMakeNode));
}

TEST(ViewFiles, OpenGoesToANewWindowOrReplacesTheDefaultNetwork)
{
    TempFolder folder;
    for (const std::string& pending : {folder.file("none.vad"), std::string()}) {
        ViewBench b;
        b.view->networkLoaded = false;
        b.app.pending = !pending.empty();
        b.app.pendingFile = pending;
        EXPECT_EQ(b.control.initialUpdate(), pending.empty()) << "a pending file that failed: " << pending;
        EXPECT_FALSE(b.view->networkLoaded);

        // The default network is replaced, even by a file that is not there.
        b.control.mark(MarkKind::Node, 1);
        b.shell.calls.clear();
        b.shell.files = {std::nullopt, folder.file("none.vad")};
        b.control.open();  // cancelled
        b.control.open();
        EXPECT_EQ(b.app.dataFolder, folder.path().string());
        EXPECT_EQ(b.control.markKind(), MarkKind::None);
        EXPECT_FALSE(b.shell.saw("new window"));
        EXPECT_TRUE(b.shell.saw("history reset"));
    }
    ViewBench b;  // a window with a network of its own keeps it
    b.shell.files = {"/nets/water.vad"};
    b.control.open();
    EXPECT_EQ(b.shell.calls, (Strings{"open /data", "new window"}));
    EXPECT_EQ(std::make_tuple(b.app.pending, b.app.pendingFile, b.app.dataFolder),
              std::make_tuple(true, std::string("/nets/water.vad"), std::string("/data")));
}

TEST(ViewFiles, SaveAsTakesTheFolderOnlyWhenWritten)
{
    ViewBench b;
    TempFolder folder;
    b.node(1, 0, 0);
    b.shell.files = {std::nullopt, folder.file("no/such/x.vad"), folder.file("x.vad")};
    EXPECT_FALSE(b.control.saveAs());
    EXPECT_FALSE(b.control.saveAs());
    EXPECT_EQ(b.app.dataFolder, "/data");
    EXPECT_FALSE(b.shell.saw("saved"));
    EXPECT_TRUE(b.control.saveAs());
    EXPECT_EQ(b.app.dataFolder, folder.path().string());
    b.shell.calls.clear();
    EXPECT_TRUE(b.control.save()) << "the network has its name now";
    EXPECT_EQ(b.shell.calls, (Strings{"saved", "state"}));
    b.control.togglePrint();
    EXPECT_FALSE(b.control.save()) << "not in the page preview";
}

TEST(ViewDisplay, ZoomAboutTheMouseTurnsAndTitles)
{
    ViewBench b;
    // world (-400, 200) was at client (100, 300); at twice the scale it is
    // at device (origin + 2 * world), scrolled back to the same client point
    b.view->geo.scrollWidth = b.view->geo.scrollHeight = 4000;
    b.control.zoom(true, 100, 300);
    const ViewGeometry& g = b.view->geo;
    EXPECT_EQ(b.shell.calls, (Strings{"sizes", "scroll " + std::to_string(int(g.originX) - 800 - 100) + " " +
                                                   std::to_string(int(g.originY) - 400 - 300), "repaint"}));
    b.shell.calls.clear();
    b.control.turn(-45);
    b.control.turn(45);
    b.control.displaySettingChosen(b.view->settings, 1, b.view->geo.charSize, b.view->geo.nodeRadius, 90);
    EXPECT_EQ(b.shell.calls, (Strings{"turned -45", "update all", "repaint", "turned 45", "update all", "repaint",
                                      "turned -90", "update all", "repaint"}));
    EXPECT_FALSE(b.control.titleChosen(b.doc->title));
    EXPECT_FALSE(b.doc->modified);
    EXPECT_TRUE(b.control.titleChosen("north"));
    EXPECT_EQ(b.doc->windowTitle, "north");
    EXPECT_TRUE(b.doc->modified);
    EXPECT_EQ(b.shell.calls.back(), "changed Change the title");
}

TEST(ViewMark, CentreOfEachKindAndScrollWhenOutside)
{
    ViewBench b;
    b.node(1, 0, 0);
    b.node(2, 100, 40);
    b.road(1, 2);
    b.fan(2, 1, 1, {10, 5});
    b.window->redrawAll();
    PlanData& d = b.view->data;  // road 2 a fixed-flow road
    d.fixedCount = 1;
    d.roadFirst[2] = 1;
    d.roadSecond[2] = 2;
    struct Case {
        MarkKind kind;
        int element;
        bool found;
        float x, y;
    };
    const Case cases[] = {
        {MarkKind::Node, 2, true, 600, 460}, {MarkKind::Road, 1, true, 550, 480}, {MarkKind::Road, 2, true, 550, 480},
        {MarkKind::Fan, 1, true, 550, 480},  {MarkKind::Road, 3, false, 0, 0},    {MarkKind::Node, 3, false, 0, 0},
        {MarkKind::None, 0, false, 0, 0},
    };
    for (const Case& c : cases) {
        b.control.mark(c.kind, c.element);
        float x = 0, y = 0;
        EXPECT_EQ(b.control.markCentre(x, y), c.found) << int(c.kind) << " " << c.element;
        if (c.found) {
            EXPECT_EQ(std::make_pair(x, y), std::make_pair(c.x, c.y)) << int(c.kind) << " " << c.element;
        }
    }
    b.shell.calls.clear();
    b.view->geo.scrollX = 2000;
    b.control.mark(MarkKind::Node, 1);
    b.control.mark(MarkKind::Node, 1);
    EXPECT_EQ(b.shell.calls, (Strings{"scroll 0 100"})) << "scrolled to it once; the same mark again draws nothing";
    b.control.drawMark(b.shell.canvas);
    EXPECT_FALSE(b.shell.canvas.calls().empty());
}

// With no edit mode on, a click marks the element under it and chooses its
// row, and Find brings it as near the middle of the window as the plan
// reaches; in an edit mode the mouse is the editor's.
TEST(ViewMark, ClickAndFindOnThePlan)
{
    struct : ResultsRows {
        void chooseRow(ResultsTab tab, int element) override { chosen.emplace_back(tab, element); }
        std::vector<std::pair<ResultsTab, int>> chosen;
    } rows;
    ViewBench b;
    b.node(1, 0, 0);
    b.node(2, 100, 40);
    b.node(3, 1200, -600);
    b.node(5, 250, 20);
    b.road(1, 2);
    PlanFinder finder({*b.doc, b.shell, *b.view, *b.editor, b.app, b.profile, b.reporter}, b.control, b.shell, rows,
                      [](const std::string& text) { return text; });
    EXPECT_TRUE(finder.click(550, 480) && finder.click(900, 100));  // the second on nothing: the mark stays
    EXPECT_EQ(std::pair(b.control.markKind(), b.control.markedElement()), std::pair(MarkKind::Road, 1));
    EXPECT_EQ(rows.chosen, (std::vector{std::pair(ResultsTab::Roads, 1)}));

    EXPECT_TRUE(finder.find("3"));
    EXPECT_EQ(b.shell.calls.back(), "scroll 1000 700") << "device (1700, 1100) as near the middle as it goes";
    EXPECT_TRUE(finder.find("1-2"));
    EXPECT_EQ(b.shell.calls.back(), "scroll 50 80");
    b.view->geo.scrollX = 50, b.view->geo.scrollY = 80;  // as the window scrolled
    EXPECT_TRUE(finder.find("5"));
    EXPECT_EQ(b.shell.calls.back(), "scroll 250 80") << "across only";
    EXPECT_FALSE(finder.find("4"));
    EXPECT_EQ(b.reporter.messages.back() + " / " + b.reporter.captions.back(), "No node 4 / Find");
    EXPECT_EQ(rows.chosen.size(), 4u);
    b.doc->analysisRunning = 1;  // the run holds the document
    EXPECT_FALSE(finder.click(550, 480));
    b.doc->analysisRunning = 0;

    ASSERT_TRUE(b.control.editCommand(command::kMakeRoad));
    EXPECT_FALSE(finder.click(550, 480));
    EXPECT_EQ(finder.tipAt(550, 480), "");
}

TEST(ViewPreview, EnteringLeavingAndTheMouseOnThePage)
{
    ViewBench b;
    b.view->settings.previewKind = 0;
    b.control.togglePrint();
    EXPECT_TRUE(b.shell.saw("tool simple"));
    b.shell.calls.clear();
    EXPECT_TRUE(b.control.mousePress(MouseButton::Left, 10, 10));
    EXPECT_TRUE(b.view->page.dragging);
    EXPECT_TRUE(b.control.mouseMove(20, 30));
    EXPECT_EQ(b.shell.canvas.calls().front(), "invert 1") << "the simple preview moves the lines alone";
    EXPECT_TRUE(b.control.mouseRelease(MouseButton::Left, 20, 30));
    EXPECT_EQ(b.shell.calls, (Strings{"refresh", "redraw"})) << "no state change, no editor";
    b.control.mousePress(MouseButton::Left, 10, 10);
    b.control.takePreviewKind(1);
    b.control.togglePrint();
    EXPECT_FALSE(b.view->page.dragging) << "a drag under way ends";
    EXPECT_TRUE(b.shell.saw("full"));
    EXPECT_TRUE(b.shell.saw("tool closed"));
    b.shell.calls.clear();
    b.control.mousePress(MouseButton::Left, 10, 10);
    EXPECT_EQ(b.shell.calls, (Strings{"state"})) << "on the plan the editor has the mouse";
}

TEST(ViewPreview, PrintingSetupAndExport)
{
    ViewBench b;
    RecordingPrinter printer;
    b.doc->title = "north";
    b.doc->windowTitle = "mine";
    printer.page = PrinterPage{3000, 2000, 2};
    printer.colours = b.view->settings.colours;
    printer.colours->road = rgb(1, 2, 3);
    printer.error = "It failed.";
    b.control.startPrinting(printer);
    b.control.printerSetup(printer);
    b.control.exportPlan(printer);  // cancelled
    EXPECT_EQ(printer.calls, Strings{"choose /data"}) << "printing starts from the page preview";
    b.control.togglePrint();
    b.control.printerSetup(printer);
    printer.page = PrinterPage{0, 0, 1};  // a page without a printable part changes nothing
    b.control.printerSetup(printer);
    EXPECT_EQ(std::make_pair(b.view->page.orientation, b.view->page.pageWidth), std::make_pair(2, 3000));
    b.control.colourSetup(printer);
    EXPECT_EQ(b.view->settings.print.road, rgb(1, 2, 3));
    b.control.startPrinting(printer);
    printer.how = PlanExport{"/tmp/p.svg", ExportFormat::Svg, false};
    b.control.exportPlan(printer);
    EXPECT_EQ(printer.calls, (Strings{"choose /data", "print north", "choose /data preview", "export /tmp/p.svg north"}));
    EXPECT_EQ(b.reporter.captions, (Strings{"Print", "Export plan"}));
}

TEST(ViewPreview, ExportFormatsLooksAndPrintRefusals)
{
    const std::pair<const char*, std::optional<ExportFormat>> names[] = {
        {"a.png", ExportFormat::Png}, {"/x.y/B.PDF", ExportFormat::Pdf}, {"c.Svg", ExportFormat::Svg},
        {"d.jpg", std::nullopt},      {"/x.svg/e", std::nullopt},        {"png", std::nullopt},
    };
    for (const auto& [name, format] : names)
        EXPECT_EQ(exportFormatOf(name), format) << name;

    PlanView plan;
    plan.settings.previewKind = 0;
    plan.settings.print.road = rgb(9, 9, 9);
    const ColourSlots screen = plan.settings.colours;
    for (bool printColours : {false, true}) {
        {
            const ExportLook look(plan, printColours);
            EXPECT_EQ(plan.settings.previewKind, 1) << "drawn in full";
            EXPECT_EQ(plan.settings.colours.back, printColours ? rgb(255, 255, 255) : screen.back);
            EXPECT_EQ(plan.settings.colours.road, printColours ? rgb(9, 9, 9) : screen.road);
        }
        EXPECT_EQ(std::make_pair(plan.settings.previewKind, plan.settings.colours.road), std::make_pair(0, screen.road));
        EXPECT_EQ(plan.settings.colours.back, screen.back);
    }

    EXPECT_NE(printRefusal(plan, {100, 100, 1}, false), "") << "not in the page preview";
    plan.geo.pagePreview = true;
    const std::pair<PrinterPage, bool> refused[] = {{{0, 100, 1}, false}, {{100, 0, 1}, false}, {{100, 100, 1}, true}};
    for (const auto& [page, pdfWithoutFile] : refused)
        EXPECT_NE(printRefusal(plan, page, pdfWithoutFile), "") << page.width << " " << page.height;
    EXPECT_EQ(printRefusal(plan, {100, 100, 1}, false), "");

    // After a printout that failed, the page as it was, the plan in its place on it.
    plan.page.pageWidth = plan.page.pageHeight = 3000;
    plan.geo.pageDragX = 7;
    restorePageAfterFailedPrint(plan, 2000, 2800);
    EXPECT_EQ(std::make_tuple(plan.page.pageWidth, plan.page.pageHeight, plan.geo.pageDragX), std::make_tuple(2000, 2800, 7));
}

TEST(ViewRun, ValuesParametersAndWhetherTheNetworkChangedSince)
{
    ViewBench b;
    b.node(1, 0, 0);
    b.node(2, 100, 0, NodeKind::Surface);
    b.road(1, 2);
    b.view->settings.onlineKind = 9;     // length, 100 m
    b.view->settings.underlineKind = 8;  // area, 4 m²
    b.window->redrawAll();
    QuietAnalysisDialog dialog;
    struct : FireObserver {
        float nodeRadius() const override { return 1; }
        void fireFront(int, float, float, int) override {}
        void redrawAllViews() override {}
    } observer;
    writeSolverMethod(b.profile, SolverMethod::Relaxation);
    b.control.runAnalysis(dialog, observer);
    EXPECT_EQ(b.doc->solverMethod, SolverMethod::Relaxation) << "the program's method";
    for (int kind : {9, 8}) {
        float value = 0;
        ASSERT_TRUE(roadValue(*b.doc, 1, kind, value));
        EXPECT_EQ(kind == 9 ? b.view->data.onlineValue[1] : b.view->data.underlineValue[1], value) << kind;
    }
    EXPECT_NE(b.view->data.onlineValue[1], b.view->data.underlineValue[1]) << "each line its own value";
    EXPECT_EQ(b.shell.calls, (Strings{"outside history", "beep", "finished", "state"}));
    b.shell.calls.clear();
    b.doc->solverMethod = SolverMethod::Newton;
    b.control.parametersChosen(false);
    EXPECT_EQ(readSolverMethod(b.profile), SolverMethod::Newton);
    b.control.parametersChosen(true);
    EXPECT_EQ(b.shell.calls, (Strings{"state", "outside history", "state"}));

    // The network of the run, made again by a later edit, has not changed.
    const NetworkSnapshot ran = takeSnapshot(*b.doc), same = takeSnapshot(*b.doc);
    b.doc->nodes[1].x += 10;
    const NetworkSnapshot moved = takeSnapshot(*b.doc);
    EXPECT_FALSE(changedSinceRun(ran, same));
    EXPECT_TRUE(changedSinceRun(ran, moved));
}

TEST(ViewRun, ProgressAndStop)
{
    RunControls run;
    run.setRange(5, 5);
    EXPECT_EQ(std::make_pair(run.upper(), run.position()), std::make_pair(6, 5)) << "one step at least";
    run.setRange(0, 100);
    run.setStep(30);
    for (int expected : {30, 60, 90, 19, 49}) {  // wraps round keeping the rest
        run.step();
        EXPECT_EQ(run.position(), expected);
    }
    EXPECT_TRUE(run.startPressed());
    run.setRunControlsEnabled(false);
    EXPECT_FALSE(run.mayClose());
    EXPECT_FALSE(run.takeStop());
    EXPECT_FALSE(run.startPressed()) << "during a run Start reads Stop";
    EXPECT_TRUE(run.takeStop());
    EXPECT_FALSE(run.takeStop()) << "asked once";
    run.startPressed();
    run.setRunControlsEnabled(true);
    EXPECT_TRUE(run.mayClose());
    run.startRun();
    EXPECT_FALSE(run.takeStop()) << "a new run starts without the old stop";
    EXPECT_EQ(run.position(), 0);
}

// Finds every program in the folder asked; records each start, its arguments joined by blanks.
struct Programs : ProgramStarter {
    std::string find(const std::string& name, const std::string& folder) override { return found ? folder + "/" + name : ""; }
    bool start(const std::string& program, const std::vector<std::string>& arguments) override
    {
        started.push_back(program);
        for (const std::string& argument : arguments)
            started.back() += " " + argument;
        return starts;
    }
    bool found = true, starts = true;
    Strings started;
};

TEST(FanCurveViewer, StartedOnTheFileOrTold)
{
    const std::tuple<const char*, bool, bool, const char*> cases[] = {
        // the base below the folder ("" untitled, "-" unwritable), found, starts, the message's start
        {"my mine.", true, true, ""},
        {"", true, true, "Save the network first"},
        {"-", true, true, "/no such folder/x.fan:write ?"},
        {"x.", false, true, "The fan curve viewer \"vistrel\" was not found"},
        {"x.", true, false, "Cannot start "},
    };
    for (const auto& [base, found, starts, message] : cases) {
        EditBench b;
        TempFolder folder;
        Programs programs;
        programs.found = found;
        programs.starts = starts;
        const std::string path = std::string(base) == "-" ? "/no such folder/x." : folder.file(base);
        b.doc->baseName = *base ? path : "";
        fanCharacterDisplay(*b.doc, programs);
        const std::string said = b.reporter.messages.empty() ? "" : b.reporter.messages[0];
        EXPECT_EQ(said.substr(0, std::string(message).size()), message) << base;
        std::string argument = path + "fan";
        std::replace(argument.begin(), argument.end(), ' ', '*');
        EXPECT_EQ(programs.started, *message && starts ? Strings{} : Strings{b.app.programFolder + "/vistrel " + argument})
            << message;
    }
    EXPECT_EQ(curveDisplayArgument("a" + std::string(51, ' ') + "tail."), "a" + std::string(50, '*') + "fan")
        << "at most 50 blanks";
}

// The viewer gets the fans' operating points only when the document holds a
// run's results for the network as it stands, and only of the fans with a
// curve, each at its airflow on its curve.
TEST(FanCurveViewer, OperatingPointsOfTheNetworkAsItRan)
{
    // results held, a run going on, changed since the run, points passed
    const std::tuple<bool, bool, bool, bool> cases[] = {
        {true, false, false, true}, {false, false, false, false}, {true, true, false, false}, {true, false, true, false}};
    for (const auto& [held, running, changed, passed] : cases) {
        ViewBench b;
        for (int n : {3, 12, 7, 8, 5, 6, 9, 4})
            b.node(n, n, 0);
        b.fan(3, 12, 2.5f, {120.5f, 100, 60.25f});
        b.fan(7, 8, 10, {50});  // one point: no curve to run on
        b.fan(5, 6, 1000, {3000, 2000});
        b.fan(9, 4, 1, {50, 40});
        b.doc->fans[1].fanFlow = 3.25f, b.doc->fans[3].fanFlow = 1234.5f;  // beyond the curve's end
        b.doc->fans[4].fanFlow = -0.5f;  // backwards: the pressure at no airflow
        b.doc->fans[1].pressure = 9.5f;  // as a results file leaves it: the curve's pressure is passed
        TempFolder folder;
        b.doc->baseName = folder.file("m.");
        b.doc->holdsResults = held, b.doc->analysisRunning = running, b.shell.changed = changed;
        Programs programs;
        b.control.fanCharacterDisplay(programs);
        const std::string file = b.app.programFolder + "/vistrel " + folder.file("m.fan");
        EXPECT_EQ(programs.started, Strings{file + (passed ? " --operating-point 3-12,3.25,88.075"
                                                             " --operating-point 5-6,1234.5,2000"
                                                             " --operating-point 9-4,-0.5,50"
                                                           : "")})
            << held << running << changed;
    }
}

}  // namespace
}  // namespace orvex::test
