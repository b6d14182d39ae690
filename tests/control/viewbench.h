#pragma once

// A network view's controller with recorders in place of its window, its
// file dialogs, its document and its printer.
#include "control/viewcontrol.h"
#include "support.h"

namespace orvex::test {

// The window, its file dialogs and its document: what the controller asked
// of them, one word a call.
struct RecordingViewWindow : ViewWindow, NetworkFileChooser, ViewDocument {
    void syncClient() override {}
    void applyScrollSizes() override { add("sizes"); }
    void redraw() override { add("redraw"); }
    void repaint() override { add("repaint"); }
    void scrollTo(int x, int y) override { add("scroll " + std::to_string(x) + " " + std::to_string(y)); }
    Canvas& windowCanvas() override { return canvas; }
    void refresh() override { add("refresh"); }
    void setBusy(bool) override {}
    void beep() override { add("beep"); }
    void notifyStateChanged() override { add("state"); }
    void notifyNetworkReplaced() override { add("replaced"); }
    void notifyAnalysisFinished() override { add("finished"); }
    void openInNewWindow() override { add("new window"); }
    void showPrintTool(bool simple) override { add(simple ? "tool simple" : "tool full"); }
    void closePrintTool() override { add("tool closed"); }
    void setPrintToolSimple(bool simple) override { add(simple ? "simple" : "full"); }
    std::optional<std::string> openNetwork(const std::string& start) override { return file("open " + start); }
    std::optional<std::string> saveNetwork(const std::string& start) override { return file("save " + start); }
    void updateAllViews() override { add("update all"); }
    void resetHistory() override { add("history reset"); }
    void markSaved() override { add("saved"); }
    void changedOutsideHistory() override { add("outside history"); }
    void planTurned(int degrees) override { add("turned " + std::to_string(degrees)); }
    void networkChanged(const std::string& operation) override { add("changed " + operation); }
    bool changedSinceRun() const override { return changed; }

    void add(const std::string& call) { calls.push_back(call); }
    bool saw(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
    std::optional<std::string> file(const std::string& call)
    {
        add(call);
        return next(files, "a file dialog", std::optional<std::string>());
    }
    Strings calls;
    std::deque<std::optional<std::string>> files;
    RecordingCanvas canvas;
    bool changed = false;
};

struct RecordingPrinter : PlanPrinter {
    std::string print(PlanView&, const std::string& job) override { return said("print " + job); }
    std::optional<PrinterPage> setupPrinter() override { return page; }
    std::optional<ColourSlots> chooseColours(const ColourSlots&) override { return colours; }
    std::optional<PlanExport> chooseExport(const std::string& folder, bool preview) override
    {
        said("choose " + folder + (preview ? " preview" : ""));
        return how;
    }
    std::string exportPlan(PlanView&, const PlanExport& e, const std::string& title) override
    {
        return said("export " + e.path + " " + title);
    }
    std::string said(const std::string& call)
    {
        calls.push_back(call);
        return error;
    }
    std::string error;
    std::optional<PrinterPage> page;
    std::optional<ColourSlots> colours;
    std::optional<PlanExport> how;
    Strings calls;
};

struct ViewBench : EditBench {
    ViewBench()
    {
        app.dataFolder = "/data";
        view->networkLoaded = true;
    }
    MemoryProfile profile;
    RecordingViewWindow shell;
    ViewController control{{*doc, shell, *view, *editor, app, profile, reporter}, shell, shell};
};

}  // namespace orvex::test
