#pragma once

#include <optional>
#include <string>

#include "display/canvas.h"
#include "display/displaysettings.h"
#include "control/preview.h"

// What a network view's controller needs of the window around it: the
// scroll bars, the picture, the signals to the main frame, the wait cursor,
// the page preview's "Print" window, the file dialogs and the printer. The
// window program implements them with widgets; tests with recorders.
namespace orvex {

class ViewWindow {
public:
    virtual ~ViewWindow() = default;

    // The geometry takes the window's size and the scroll bars' positions.
    virtual void syncClient() = 0;
    // The scroll bars take the geometry's scrollable size and position.
    virtual void applyScrollSizes() = 0;
    // The plan drawn anew into the window.
    virtual void redraw() = 0;
    // The same, after the scroll bars took a changed scrollable size.
    virtual void repaint() = 0;
    // The window scrolls to this position and draws the plan there.
    virtual void scrollTo(int x, int y) = 0;
    // Drawing at once onto the window, and showing what was drawn so.
    virtual Canvas& windowCanvas() = 0;
    virtual void refresh() = 0;

    // Reading, writing or printing goes on: the wait cursor.
    virtual void setBusy(bool busy) = 0;
    virtual void beep() = 0;

    // The title, the modified flag or what the commands may do changed.
    virtual void notifyStateChanged() = 0;
    // The window read a network file (or fell back to the default network).
    virtual void notifyNetworkReplaced() = 0;
    // A run ended; its results are in the document.
    virtual void notifyAnalysisFinished() = 0;
    // The main frame opens the application's pending file in a new window.
    virtual void openInNewWindow() = 0;

    // The page preview's "Print" window: shown (when not yet) with its
    // "Simple" box, closed, or its box set.
    virtual void showPrintTool(bool simple) = 0;
    virtual void closePrintTool() = 0;
    virtual void setPrintToolSimple(bool simple) = 0;
};

// The open and save dialogs of networks; nullopt when cancelled. A dialog
// starts in the folder `start`, or, when that names a file, in the file's
// folder with its name filled in.
class NetworkFileChooser {
public:
    virtual ~NetworkFileChooser() = default;
    virtual std::optional<std::string> openNetwork(const std::string& start) = 0;
    virtual std::optional<std::string> saveNetwork(const std::string& start) = 0;
};

// The printer every window prints on and the dialogs of printing and
// export.
class PlanPrinter {
public:
    virtual ~PlanPrinter() = default;
    // Prints the page preview's plan on one page, the job named after the
    // document; what went wrong, or an empty text.
    virtual std::string print(PlanView& plan, const std::string& jobName) = 0;
    // Printer, paper and orientation; the printable page, nullopt when cancelled.
    virtual std::optional<PrinterPage> setupPrinter() = 0;
    // The print colours; nullopt when cancelled.
    virtual std::optional<ColourSlots> chooseColours(const ColourSlots& colours) = 0;
    // The file, format and colours of "Export plan"; nullopt when cancelled.
    virtual std::optional<PlanExport> chooseExport(const std::string& startFolder, bool pagePreview) = 0;
    // Writes the plan as the window shows it; what went wrong, or an empty text.
    virtual std::string exportPlan(PlanView& plan, const PlanExport& how, const std::string& title) = 0;
};

// Keeps the wait cursor up while it lives.
class BusyWindow {
public:
    explicit BusyWindow(ViewWindow& window) : mWindow(window) { mWindow.setBusy(true); }
    ~BusyWindow() { mWindow.setBusy(false); }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    ViewWindow& mWindow;
};

}  // namespace orvex
