#include "analysis/quantities.h"
#include "control/viewcontrol.h"

#include <cmath>

#include "checks/checks.h"
#include "display/displaysettings.h"
#include "edit/snapshot.h"
#include "model/networkio.h"
#include "model/solvermethod.h"
#include "run/rundriver.h"

namespace orvex {

namespace {

// Where a command may be used: on the plan, in the page preview.
struct CommandModes {
    ViewCommand command;
    bool plan, preview;
};

constexpr CommandModes kCommandModes[] = {
    {ViewCommand::Open, true, false},           {ViewCommand::Save, true, false},
    {ViewCommand::SaveAs, true, false},         {ViewCommand::Fit, true, false},
    {ViewCommand::ZoomIn, true, true},          {ViewCommand::ZoomOut, true, true},
    {ViewCommand::RightTurn, true, false},      {ViewCommand::LeftTurn, true, false},
    {ViewCommand::Update, true, false},         {ViewCommand::DisplaySetting, true, false},
    {ViewCommand::Info, true, false},           {ViewCommand::Analysis, true, false},
    {ViewCommand::Parameter, true, false},      {ViewCommand::FanCurve, true, false},
    {ViewCommand::Print, true, true},           {ViewCommand::StartPrinting, false, true},
    {ViewCommand::PrinterSetup, false, true},   {ViewCommand::ColourSetup, false, true},
    {ViewCommand::ExportPlan, true, true},      {ViewCommand::Find, true, false},
};

}  // namespace

ViewController::ViewController(const ViewParts& parts, ViewWindow& window, NetworkFileChooser& files)
    : mDoc(parts.doc),
      mDocument(parts.document),
      mPlan(parts.plan),
      mEditor(parts.editor),
      mApp(parts.app),
      mProfile(parts.profile),
      mReporter(parts.reporter),
      mWindow(window),
      mFiles(files)
{
}

ViewController::~ViewController() = default;

// --- what the commands may do ------------------------------------------------------

bool viewCommandEnabled(ViewCommand command, ViewMode mode, bool networkLoaded)
{
    if (command == ViewCommand::Info && !networkLoaded)
        return false;
    for (const CommandModes& c : kCommandModes)
        if (c.command == command)
            return mode == ViewMode::PagePreview ? c.preview : c.plan;
    return false;
}

bool viewCommandChecked(ViewCommand command, ViewMode mode)
{
    return command == ViewCommand::Print && mode == ViewMode::PagePreview;
}

bool ViewController::commandEnabled(ViewCommand command) const
{
    return viewCommandEnabled(command, mode(), mPlan.networkLoaded);
}

bool ViewController::commandChecked(ViewCommand command) const
{
    return viewCommandChecked(command, mode());
}

bool ViewController::editCommandEnabled(int id) const
{
    // A run's dialog holds the document: nothing may change it meanwhile.
    if (mAnalysisOpen || mDoc.analysisRunning)
        return false;
    return mEditor.commandEnabled(id);
}

bool ViewController::editCommandChecked(int id) const
{
    return mEditor.commandChecked(id);
}

bool ViewController::editCommand(int id)
{
    if (!editCommandEnabled(id))
        return false;
    const bool done = mEditor.command(id);
    mWindow.notifyStateChanged();
    return done;
}

// --- the window's life ---------------------------------------------------------------

bool ViewController::initialUpdate()
{
    mWindow.syncClient();
    const bool pending = mApp.pending;
    bool loaded = false;
    {
        BusyWindow busy(mWindow);
        loaded = openPendingNetwork(mDoc, mProfile);
    }
    // A failed open leaves the default network, which needs its adjacency.
    mPlan.networkLoaded = loaded;
    mDocument.resetHistory();
    mDocument.updateAllViews();
    fitToWindow();
    mWindow.notifyNetworkReplaced();
    mWindow.notifyStateChanged();
    return loaded || !pending;
}

Answer ViewController::queryClose()
{
    // The dialog offers the network's own file, in its own folder.
    const std::string own = mDoc.baseName.empty() ? std::string() : mDoc.companionPath(mDoc.baseName, "vad");
    const Answer answer = orvex::queryClose(mDoc, [this, own] { return chooseSavePath(own); });
    mWindow.notifyStateChanged();
    return answer;
}

void ViewController::closing()
{
    // A comparison's or a way out's colouring is the window's alone, never
    // the profile's.
    if (mComparison || mEscapeShown || mResidualsShown)
        mPlan.settings.look.roadColourKind = mOwnRoadKind;
    if (mEscapeShown)
        mPlan.settings.look.nodeColourKind = mOwnNodeKind;
    if (mPreview)
        mPlan.leavePagePreview();
    mPreview.reset();
    writeDisplaySettings(mProfile, mPlan.settings, mPlan.geo);
    // A window that never had a network of its own has nowhere to keep its
    // parameters: a file "sdt" in whatever folder the program was started
    // from would never be read again. It only forgets the last network.
    if (mDoc.baseName.empty())
        mProfile.removeEntry(kRecentFileSection, kRecentFileEntry);
    else
        networkWindowDestroyed(mDoc, mDoc.baseName, mProfile);
}

std::optional<std::string> ViewController::chooseSavePath(const std::string& start)
{
    return mFiles.saveNetwork(start.empty() ? mApp.dataFolder : start);
}

// --- file commands -------------------------------------------------------------------

void ViewController::open()
{
    if (!commandEnabled(ViewCommand::Open))
        return;
    const std::optional<std::string> path = mFiles.openNetwork(mApp.dataFolder);
    if (!path)
        return;
    if (mPlan.networkLoaded) {
        // This window keeps its network; the file opens in a new one.
        mApp.pendingFile = *path;
        mApp.pending = true;
        mWindow.openInNewWindow();
        return;
    }
    mApp.dataFolder = folderOf(*path);
    rememberDataFolder(mProfile, mApp.dataFolder);
    int opened = 0;
    {
        BusyWindow busy(mWindow);
        opened = openNetwork(mDoc, *path);
    }
    mDocument.updateAllViews();
    fitToWindow();
    // A refused network file leaves the default network shown.
    mPlan.networkLoaded = opened != 0;
    mMarkKind = MarkKind::None;
    mEditor.command(command::kStop);
    mDocument.resetHistory();
    mWindow.redraw();
    mWindow.notifyNetworkReplaced();
    mWindow.notifyStateChanged();
}

void ViewController::networkImported(bool newHistory)
{
    mDocument.updateAllViews();
    mPlan.networkLoaded = mDoc.nodeCount > 0;
    fitToWindow();
    mMarkKind = MarkKind::None;
    mEditor.command(command::kStop);
    if (newHistory)
        mDocument.resetHistory();
    mWindow.redraw();
    mWindow.notifyNetworkReplaced();
    mWindow.notifyStateChanged();
}

bool ViewController::save()
{
    if (!commandEnabled(ViewCommand::Save))
        return false;
    int saved = 0;
    std::optional<std::string> chosen;
    {
        BusyWindow busy(mWindow);
        saved = saveCommand(mDoc, mProfile, [this, &chosen] {
            chosen = chooseSavePath();
            return chosen;
        });
    }
    // A save that failed leaves the window, the folders and the profile as they were.
    if (saved == 1 && chosen)
        mApp.dataFolder = folderOf(*chosen);
    if (saved == 1)
        mDocument.markSaved();
    mWindow.notifyStateChanged();
    return saved == 1;
}

bool ViewController::saveAs()
{
    if (!commandEnabled(ViewCommand::SaveAs))
        return false;
    const std::optional<std::string> path = chooseSavePath();
    if (!path)
        return false;
    int saved = 0;
    {
        BusyWindow busy(mWindow);
        saved = saveNetworkAs(mDoc, *path, mProfile);
    }
    if (saved == 1) {
        mApp.dataFolder = folderOf(*path);
        mDocument.markSaved();
    }
    mWindow.notifyStateChanged();
    return saved == 1;
}

// --- display commands ----------------------------------------------------------------

void ViewController::fitToWindow()
{
    mWindow.syncClient();
    mPlan.fitToWindow();
    mWindow.repaint();
}

void ViewController::zoom(bool in, int x, int y)
{
    mWindow.syncClient();
    if (mPreview) {
        mPreview->zoom(in);
        return;
    }
    ViewGeometry& g = mPlan.geo;
    const float worldX = (float(g.scrollX + x) - g.originX) / g.scale;
    const float worldY = (g.originY - float(g.scrollY + y)) / g.scale;
    in ? mPlan.zoomIn() : mPlan.zoomOut();
    mWindow.applyScrollSizes();
    const float deviceX = worldX * g.scale + g.originX;
    const float deviceY = g.originY - worldY * g.scale;
    mWindow.scrollTo(int(std::lround(deviceX)) - x, int(std::lround(deviceY)) - y);
    mWindow.repaint();
}

void ViewController::turn(int degrees)
{
    if (!commandEnabled(degrees > 0 ? ViewCommand::LeftTurn : ViewCommand::RightTurn))
        return;
    mWindow.syncClient();
    degrees > 0 ? mPlan.leftTurn(mDoc) : mPlan.rightTurn(mDoc);
    mDocument.planTurned(degrees);
    mDocument.updateAllViews();
    mWindow.repaint();
}

void ViewController::updateScreen()
{
    if (commandEnabled(ViewCommand::Update))
        mDocument.updateAllViews();
}

void ViewController::displaySettingChosen(const DisplaySettings& settings, float figureSize, float charSize,
                                          float nodeRadius, int angle)
{
    const int before = mPlan.geo.displayAngle;
    if (!mPlan.applyDisplaySettings(mDoc, settings, figureSize, charSize, nodeRadius, angle, mReporter))
        return;
    // A new angle turned the model under every view of the document.
    if (mPlan.geo.displayAngle != before) {
        mDocument.planTurned(before - mPlan.geo.displayAngle);
        mDocument.updateAllViews();
    }
    mWindow.repaint();
}

bool ViewController::titleChosen(const std::string& title)
{
    if (title == mDoc.title)
        return false;
    mDoc.title = title;
    mDoc.windowTitle = mDoc.title;
    mDoc.modified = true;
    mDocument.networkChanged("Change the title");
    return true;
}

void ViewController::resized()
{
    if (mPreview) {
        mPreview->layOut();
        return;
    }
    mWindow.syncClient();
    mWindow.applyScrollSizes();
    mWindow.redraw();
}

// --- the mouse -----------------------------------------------------------------------

bool ViewController::mousePress(MouseButton button, int x, int y)
{
    if (mPreview) {  // the plan moves on the page
        if (button == MouseButton::Left)
            mPreview->leftButtonDown(x, y);
        return true;
    }
    bool handled = false;
    if (button == MouseButton::Left)
        handled = mEditor.leftButtonDown(x, y);
    else if (button == MouseButton::Right)
        handled = mEditor.rightButtonDown(x, y);
    mWindow.notifyStateChanged();
    return handled;
}

bool ViewController::mouseRelease(MouseButton button, int x, int y)
{
    if (mPreview) {
        if (button == MouseButton::Left)
            mPreview->leftButtonUp(x, y);
        return true;
    }
    const bool handled = button == MouseButton::Left && mEditor.leftButtonUp(x, y);
    mWindow.notifyStateChanged();
    return handled;
}

bool ViewController::mouseDoubleClick(MouseButton button, int x, int y)
{
    const bool handled = button == MouseButton::Left && mEditor.leftDoubleClick(x, y);
    mWindow.notifyStateChanged();
    return handled;
}

bool ViewController::mouseMove(int x, int y)
{
    if (mPreview) {
        mPreview->mouseMove(x, y);
        return true;
    }
    return mEditor.mouseMove(x, y);
}

// --- analysis ------------------------------------------------------------------------

bool changedSinceRun(const NetworkSnapshot& ran, const NetworkSnapshot& current)
{
    return &ran != &current && !current.sameNetwork(ran);
}

bool ViewController::mayOpenAnalysis() const
{
    return commandEnabled(ViewCommand::Analysis) && mPlan.networkLoaded;
}

void ViewController::runAnalysis(AnalysisDialog& dialog, FireObserver& observer)
{
    mDoc.solverMethod = readSolverMethod(mProfile);
    orvex::runAnalysis(mDoc, dialog, observer);
    if (mDoc.holdsResults)
        checkAfterRun(mDoc, mReporter);
    PlanData& data = mPlan.data;
    for (int j = 1; j <= mDoc.totalRoads() && j < kMaxRoads; ++j) {
        float value = 0;
        if (roadValue(mDoc, j, mPlan.settings.onlineKind, value))
            data.onlineValue[j] = value;
        if (roadValue(mDoc, j, mPlan.settings.underlineKind, value))
            data.underlineValue[j] = value;
    }
    mDocument.changedOutsideHistory();
    mWindow.beep();
    mWindow.notifyAnalysisFinished();
    mWindow.notifyStateChanged();
}

void ViewController::parametersOpening()
{
    mDoc.solverMethod = readSolverMethod(mProfile);
}

void ViewController::parametersChosen(bool documentChanged)
{
    writeSolverMethod(mProfile, mDoc.solverMethod);
    if (documentChanged)
        mDocument.changedOutsideHistory();
    mWindow.notifyStateChanged();
}

void ViewController::fanCharacterDisplay(ProgramStarter& programs)
{
    if (!commandEnabled(ViewCommand::FanCurve))
        return;
    // The fans' operating points only where they are those of the network
    // as it stands, never of a run going on or of an older network.
    const bool points = mDoc.holdsResults && !mDoc.analysisRunning && !mDocument.changedSinceRun();
    orvex::fanCharacterDisplay(mDoc, programs, points);
}

// --- page preview, printing and export -----------------------------------------------

std::string ViewController::jobName() const
{
    return mDoc.title.empty() ? mDoc.windowTitle : mDoc.title;
}

void ViewController::togglePrint()
{
    if (!mPreview) {
        mWindow.syncClient();
        mEditor.pagePreviewStarted();
        mPreview = std::make_unique<PagePreview>(mPlan, mWindow);
        mWindow.showPrintTool(mPlan.settings.previewKind == 0);
    } else {
        mPreview->leave();
        mPreview.reset();
        mWindow.closePrintTool();
    }
    mWindow.notifyStateChanged();
}

void ViewController::startPrinting(PlanPrinter& printer)
{
    if (mPreview)
        mPreview->print(printer, jobName(), mReporter);
}

void ViewController::printerSetup(PlanPrinter& printer)
{
    if (mPreview)
        mPreview->printerSetup(printer);
}

void ViewController::colourSetup(PlanPrinter& printer)
{
    if (mPreview)
        mPreview->colourSetup(printer);
}

void ViewController::takePreviewKind(int kind)
{
    mPlan.settings.previewKind = kind;
    mWindow.setPrintToolSimple(kind == 0);
    if (mPreview)
        mWindow.redraw();
}

void ViewController::exportPlan(PlanPrinter& printer)
{
    const std::optional<PlanExport> how = printer.chooseExport(mApp.dataFolder, bool(mPreview));
    if (!how)
        return;
    mWindow.syncClient();
    std::string error;
    {
        BusyWindow busy(mWindow);
        error = printer.exportPlan(mPlan, *how, jobName());
    }
    if (!error.empty())
        mReporter.message(error, "Export plan", MessageKind::Warning);
}

}  // namespace orvex
