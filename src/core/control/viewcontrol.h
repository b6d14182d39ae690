#pragma once

#include <memory>
#include <optional>
#include <string>

#include "analysis/analysisdialog.h"
#include "control/preview.h"
#include "control/viewwindow.h"
#include "control/whatif.h"
#include "display/planview.h"
#include "escape/escape.h"
#include "edit/editor.h"
#include "edit/fancurve.h"
#include "fire/fireobserver.h"
#include "model/appcontext.h"
#include "model/briscodoc.h"
#include "model/profile.h"
#include "model/reporter.h"

// What one network view decides, apart from its widgets: which of its
// commands may be used and which is checked, what the file, display,
// analysis, page preview, print and export commands do to the document and
// to the view, and which element of the plan is marked.
namespace orvex {

struct NetworkSnapshot;

// The commands that a network view carries.
enum class ViewCommand {
    Open, Save, SaveAs, Fit, ZoomIn, ZoomOut, RightTurn, LeftTurn, Update, DisplaySetting, Info,
    Analysis, Parameter, FanCurve, Print, StartPrinting, PrinterSetup, ColourSetup, ExportPlan,
    Find,
};

// What the view shows: the plan, or the page preview (a page of paper with
// the plan on it, in the print colours).
enum class ViewMode { Plan, PagePreview };

// Whether a command of the view may be used in a mode; Info needs a network
// to name. Only "Print" is ever shown checked: in the page preview.
bool viewCommandEnabled(ViewCommand command, ViewMode mode, bool networkLoaded);
bool viewCommandChecked(ViewCommand command, ViewMode mode);

enum class MouseButton { Left, Right, Other };

// The element marked on the plan in the emphasis colour; NodePair: two
// nodes at once (the ends of a measured pressure drop).
enum class MarkKind { None, Road, Node, Fan, NodePair };

// The document of the view's window: its history and every view of it.
class ViewDocument {
public:
    virtual ~ViewDocument() = default;
    // Copies the document into every view that shows it and repaints them.
    virtual void updateAllViews() = 0;
    // The network as it stands starts a new history (it was read or made).
    virtual void resetHistory() = 0;
    // The network as it stands was written: the history's clean state.
    virtual void markSaved() = 0;
    // A run or the parameters changed the document outside the history.
    virtual void changedOutsideHistory() = 0;
    // The plan was turned by this many degrees: the history turns along.
    virtual void planTurned(int degrees) = 0;
    // A change the person can undo, named for the history.
    virtual void networkChanged(const std::string& operation) = 0;
    // An edit, undo or redo changed the network since the run whose results
    // the document holds (or since it was read).
    virtual bool changedSinceRun() const = 0;
};

// Whether the network as it stands (`current`) is no longer the one whose
// results the document holds (`ran`): an edit, undo or redo changed it, and
// no later edit made it that network again.
bool changedSinceRun(const NetworkSnapshot& ran, const NetworkSnapshot& current);

// What a view's controller works on.
struct ViewParts {
    CBriscoDoc& doc;
    ViewDocument& document;
    PlanView& plan;
    Editor& editor;
    AppContext& app;
    Profile& profile;
    Reporter& reporter;
};

class ViewController {
public:
    ViewController(const ViewParts& parts, ViewWindow& window, NetworkFileChooser& files);
    ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    ViewMode mode() const { return mPreview ? ViewMode::PagePreview : ViewMode::Plan; }
    bool commandEnabled(ViewCommand command) const;
    bool commandChecked(ViewCommand command) const;
    // The editor's commands (the Edit menu's, zoom with the mouse, Stop):
    // none while a run's dialog holds the document.
    bool editCommandEnabled(int id) const;
    bool editCommandChecked(int id) const;
    bool editCommand(int id);
    // The analysis dialog opened or closed.
    void setAnalysisOpen(bool open) { mAnalysisOpen = open; }

    // --- the window's life ---
    // The first update of a new window: opens the pending file (the default
    // network when there is none or it fails) and fits the plan. False when
    // a file was pending and could not be opened.
    bool initialUpdate();
    // Asked before the window closes: Yes or No let it close, Cancel keeps it.
    Answer queryClose();
    // The window goes: the profile keeps the display settings (the print
    // colours as the page preview left them) and the last network.
    void closing();

    // --- file commands ---
    void open();
    // The document holds a network an import made or changed: it is the
    // window's network, shown whole; a new one starts a new history.
    void networkImported(bool newHistory);
    bool save();
    bool saveAs();

    // --- display commands ---
    void fitToWindow();
    // Zooms keeping the world point under (x, y), client pixels, in place.
    void zoom(bool in, int x, int y);
    void turn(int degrees);  // 45 left, -45 right
    void updateScreen();
    // The "Display setting" dialog's choice.
    void displaySettingChosen(const DisplaySettings& settings, float figureSize, float charSize,
                              float nodeRadius, int angle);
    // The "Info" dialog's title; true when the network took it.
    bool titleChosen(const std::string& title);
    void resized();

    // --- the mouse, client pixels; false: the window handles the event itself ---
    bool mousePress(MouseButton button, int x, int y);
    bool mouseRelease(MouseButton button, int x, int y);
    bool mouseDoubleClick(MouseButton button, int x, int y);
    bool mouseMove(int x, int y);

    // --- analysis ---
    bool mayOpenAnalysis() const;
    // The analysis dialog's Start: runs the analysis or the fire simulation;
    // the chosen road values go to the view, the plan shows them with Update.
    void runAnalysis(AnalysisDialog& dialog, FireObserver& observer);
    // Before and after the parameters dialog (the solver method is the
    // program's, kept in the profile).
    void parametersOpening();
    void parametersChosen(bool documentChanged);
    // Writes the fan curve file and starts the fan curve viewer on it.
    void fanCharacterDisplay(ProgramStarter& programs);

    // --- the marked element ---
    // Marking scrolls the plan to the element when it lies outside the window.
    // A NodePair's second node index is `other`.
    void mark(MarkKind kind, int element, int other = 0);
    MarkKind markKind() const { return mMarkKind; }
    int markedElement() const { return mMarked; }
    // The view indices of its end nodes (a node: itself twice); false when
    // it no longer exists.
    bool markEnds(int& a, int& b) const;
    // The marked element's centre in scrolled device units.
    bool markCentre(float& x, float& y) const;
    // Draws it onto the window (in the plan only).
    void drawMark(Canvas& canvas);

    // --- a what-if comparison ---
    // Colours the plan by the change of each road's airflow, with a legend
    // naming the other run; the person's own colour kind is kept aside and
    // comes back when the comparison is cleared (it never reaches the profile).
    void showComparison(const WindowComparison& shown);
    void clearComparison();
    bool comparisonShown() const { return mComparison != nullptr; }
    // After an edit: roads that no longer join the nodes of the run lose
    // their colour.
    void refreshComparison();

    // --- escape routes after a fire run ---
    // Draws the way out of `node` (its roads by the minute the walker leaves
    // each) and colours every node by its escape margin; the person's own
    // colour kinds come back when cleared and never reach the profile. A
    // comparison shown goes first.
    void showEscape(const std::vector<EscapeRoute>& routes, int node);
    void clearEscape();
    bool escapeShown() const { return mEscapeShown; }

    // --- a calibration fit ---
    // Colours the roads by their normalised residual after the fit (by road
    // index 1..; NaN: drawn plainly); the person's own colour kind comes
    // back when cleared and never reaches the profile.
    void showResiduals(const std::vector<float>& residual);
    void clearResiduals();
    bool residualsShown() const { return mResidualsShown; }

    // --- page preview, printing and export ---
    void togglePrint();
    void startPrinting(PlanPrinter& printer);
    void printerSetup(PlanPrinter& printer);
    void colourSetup(PlanPrinter& printer);
    // The program's preview kind (0 simple, 1 full) changed.
    void takePreviewKind(int kind);
    void exportPlan(PlanPrinter& printer);

private:
    std::optional<std::string> chooseSavePath(const std::string& start = {});
    std::string jobName() const;

    CBriscoDoc& mDoc;
    ViewDocument& mDocument;
    PlanView& mPlan;
    Editor& mEditor;
    AppContext& mApp;
    Profile& mProfile;
    Reporter& mReporter;
    ViewWindow& mWindow;
    NetworkFileChooser& mFiles;
    std::unique_ptr<PagePreview> mPreview;  // while the view is in page preview
    bool mAnalysisOpen = false;
    std::unique_ptr<WindowComparison> mComparison;  // while the plan shows one
    int mOwnRoadKind = 0;                           // the colour kind it replaced
    bool mEscapeShown = false;                      // the plan shows a way out
    bool mResidualsShown = false;                   // the plan shows a fit's residuals
    int mOwnNodeKind = 0;                           // the node colour kind it replaced
    MarkKind mMarkKind = MarkKind::None;
    int mMarked = 0;
    int mMarkedOther = 0;  // a NodePair's second node
};

}  // namespace orvex
