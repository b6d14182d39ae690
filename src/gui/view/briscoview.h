#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>

#include "control/planfind.h"
#include "control/viewcontrol.h"
#include "display/planview.h"
#include "edit/editor.h"
#include "fire/fireobserver.h"
#include "model/reporter.h"
#include "print/printtool.h"
#include "view/backingcanvas.h"
#include "view/viewservices.h"

// The network view: the scrolling plan of one network window. It paints
// the plan through the display core into a backing image the size of its
// viewport, scrolls over the plan's scrollable size, and carries the
// window's file and display commands; what each command does to the model
// and to the plan's geometry is its controller's.
namespace orvex::gui {

class NetworkDocument;
class AnalysisRunDialog;
class QtEditDialogs;
class PrintServices;

class CBriscoView : public QAbstractScrollArea,
                    public EditorWindow,
                    public FireObserver,
                    public ViewWindow,
                    public NetworkFileChooser,
                    public ResultsRows {
    Q_OBJECT
public:
    // Reads the "DISPLAY" profile; the document keeps the view in its list.
    CBriscoView(NetworkDocument& document, ViewServices& services, QWidget* parent = nullptr);
    // Writes the "DISPLAY" profile, the parameter file and the recent file.
    ~CBriscoView() override;

    NetworkDocument& document() { return mDocument; }
    PlanView& plan() { return *mPlan; }
    const PlanView& plan() const { return *mPlan; }
    bool networkLoaded() const { return mPlan->networkLoaded; }

    // The first update of a new window, once it has its size: opens the
    // pending file (the window shows the default network when there is none
    // or it fails), updates the views and fits the plan. False when a file
    // was pending and could not be opened: the window was made for nothing.
    bool initialUpdate();

    // Asked before the window closes: Yes or No let it close, Cancel keeps it.
    Answer queryClose();

    // Copies the document into this view; during a run, draws only the
    // status line at the top left. Called for every view of the document.
    void updateFromDocument();

    // What the person sees: the backing image as the last paint left it.
    const QImage& backingImage() const { return mImage; }
    // Drawing at once onto the window (through the backing image).
    Canvas& windowCanvas() override { return mCanvas; }

    // What this view decides, and which of its commands may be used now.
    ViewController& controller() { return *mControl; }
    bool commandEnabled(ViewCommand command) const { return mControl->commandEnabled(command); }
    bool commandChecked(ViewCommand command) const { return mControl->commandChecked(command); }

    // EditorWindow
    void redrawAll() override;
    void scrollTo(int x, int y) override;
    void repaint() override;
    void captureMouse(bool on) override;
    void networkChanged(const std::string& operation) override;

    // ViewWindow
    void syncClient() override;
    void applyScrollSizes() override;
    void redraw() override { redrawImage(); }
    void refresh() override;
    void setBusy(bool busy) override;
    void beep() override;
    void notifyStateChanged() override { emit stateChanged(); }
    void notifyNetworkReplaced() override { emit networkReplaced(); }
    void notifyAnalysisFinished() override { emit analysisFinished(); }
    void openInNewWindow() override;
    void showPrintTool(bool simple) override;
    void closePrintTool() override;
    void setPrintToolSimple(bool simple) override;

    // ResultsRows: the results dock chooses the row (rowChosen).
    void chooseRow(ResultsTab tab, int element) override { emit rowChosen(tab, element); }

    // NetworkFileChooser
    std::optional<std::string> openNetwork(const std::string& start) override;
    std::optional<std::string> saveNetwork(const std::string& start) override;

    // FireObserver: the fronts are drawn at once in the emphasis colour.
    float nodeRadius() const override { return mPlan->geo.nodeRadius; }
    void fireFront(int road, float distance, float fraction, int direction) override;
    void redrawAllViews() override;
    bool pauseDialog() override;

    // The editor: the edit modes, picks and rubber bands of this view.
    Editor& editor() { return *mEditor; }
    // An edit command (the Edit menu's, zoom with the mouse, Stop); false
    // when it cannot be done now (page preview, a run's dialog open).
    bool editCommand(int id);
    bool editCommandEnabled(int id) const;
    bool editCommandChecked(int id) const;

    // The page preview's "Print" window while it is open.
    PrintToolDialog* printTool() const { return mPrintTool; }
    bool pagePreview() const { return mControl->mode() == ViewMode::PagePreview; }

    // The analysis dialog while it is open.
    AnalysisRunDialog* analysisDialog() const { return mAnalysis; }

    // One road, node or fan marked on the plan in the emphasis colour, as
    // the results table points at it; it stays marked through redraws until
    // another is marked or clearMark(). Marking scrolls the plan to the
    // element when it lies outside the window.
    using MarkKind = orvex::MarkKind;
    MarkKind markKind() const { return mControl->markKind(); }
    int markedElement() const { return mControl->markedElement(); }

public slots:
    void openFile();
    // An import made the document's network, or changed it (newHistory false).
    void networkImported(bool newHistory);
    bool save();
    bool saveAs();
    void fitToWindow();
    void zoomIn();
    void zoomOut();
    void rightTurn();
    void leftTurn();
    void updateScreen();  // "Update", F5
    void displaySetting();
    void info();
    // Opens the analysis dialog (nothing without a network).
    void openAnalysisDialog();
    void editParameters();
    // Writes the fan curve file and starts the fan curve viewer on it.
    void fanCharacterDisplay();
    // The analysis dialog's Start: runs the analysis or the fire simulation.
    void runAnalysis();
    void markRoad(int road);        // 1..Nr+Nf
    void markNode(int nodeIndex);   // 1..N
    void markFan(int fan);          // 1..F
    void clearMark();
    // "Find": asks for a node, road or fan, then brings it to the middle of
    // the plan and marks it. A left click with no edit mode on marks the
    // element under the mouse; a resting mouse shows its values.
    void find();

    // --- page preview and printing ---
    void togglePrint();       // "Print": into page preview and out of it
    void startPrinting();     // one page on the printer (page preview only)
    void printerSetup();      // printer, paper and orientation (page preview only)
    void colourSetup();       // the print colours (page preview only)
    // "Simple": the preview kind of every view.
    void setSimplePreview(bool simple);
    // "Export plan...": what the window shows, to PNG, PDF or SVG.
    void exportPlan();

signals:
    // The title, the modified flag or what the commands may do changed.
    void stateChanged();
    // A run ended; its results are in the document.
    void analysisFinished();
    // The window read a network file (or fell back to the default network).
    void networkReplaced();
    // An element was chosen on the plan or found: its row of the results.
    void rowChosen(orvex::ResultsTab tab, int element);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;  // the tool tips of the elements

private:
    void redrawImage();
    void drawMark();
    PrintServices& printing();
    ProgramStarter& programs();
    // The program's preview kind, after it changed in some view.
    void takePreviewKind();

    NetworkDocument& mDocument;
    ViewServices& mServices;
    std::unique_ptr<PlanView> mPlan;  // some 160 KB: on the heap, one per view
    QImage mImage;
    BackingCanvas mCanvas;
    bool mSettingScroll = false;  // the view itself moves the scroll bars
    AnalysisRunDialog* mAnalysis = nullptr;
    std::unique_ptr<QtEditDialogs> mOwnDialogs;  // when the services bring none
    std::unique_ptr<Editor> mEditor;
    QPointer<PrintToolDialog> mPrintTool;  // gone when the person closes it
    std::unique_ptr<ViewController> mControl;
    std::unique_ptr<PlanFinder> mFinder;
    QString mLastFind;  // what Find offers again
};

}  // namespace orvex::gui
