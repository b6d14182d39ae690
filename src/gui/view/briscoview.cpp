#include "analysis/quantities.h"
#include "view/briscoview.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "dialogs/analysisrundialog.h"
#include "dialogs/displaysettingdialog.h"
#include "dialogs/editdialogs.h"
#include "dialogs/infodialog.h"
#include "dialogs/parametersdialog.h"
#include "display/displaysettings.h"
#include "edit/viewnavigation.h"
#include "edit/fancurve.h"
#include "model/networkio.h"
#include "print/planoutput.h"
#include "print/printtool.h"
#include "run/rundriver.h"
#include "view/networkdocument.h"
#include "view/ownprograms.h"
#include "view/qpaintercanvas.h"

namespace orvex::gui {

namespace {

// Shows the wait cursor while reading or writing a network.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CBriscoView::CBriscoView(NetworkDocument& document, ViewServices& services, QWidget* parent)
    : QAbstractScrollArea(parent),
      mDocument(document),
      mServices(services),
      mPlan(std::make_unique<PlanView>()),
      mCanvas(mImage, [this] { viewport()->update(); })
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    setFrameShape(QFrame::NoFrame);
    readDisplaySettings(mServices.profile, mPlan->settings, mPlan->geo);
    mPlan->settings.previewKind = previewKind(mServices.sharedDisplay, mServices.profile);
    // A "factor" that is not a number reads as a scale of 0, which every
    // drawing raises to the smallest scale: raised at once, fitting and
    // zooming never divide by it.
    mPlan->geo.boundScale();
    mPlan->font.load(mServices.app.programFolder, mServices.reporter);
    EditDialogs* dialogs = mServices.editDialogs;
    if (!dialogs) {
        mOwnDialogs = std::make_unique<QtEditDialogs>(this, mServices.reporter, &mPlan->font);
        dialogs = mOwnDialogs.get();
    }
    mEditor = std::make_unique<Editor>(mDocument.doc(), *mPlan, *dialogs, *this, mCanvas,
                                       mServices.sharedEdit);
    // Rubber bands and outlines follow the mouse without a button held.
    viewport()->setMouseTracking(true);
    // Undo and redo may take away what a half-made pick points at.
    connect(&mDocument, &NetworkDocument::historyApplied, this, [this] {
        if (mEditor->mode() == EditMode::BendPoints)
            mEditor->command(command::kChangeRoad);
        mEditor->command(command::kStop);
        emit stateChanged();
    });
    mDocument.addView(this);
    mServices.views.push_back(this);
}

CBriscoView::~CBriscoView()
{
    mCanvas.end();
    // The profile keeps the screen's scale and colours, and the print
    // colours as the page preview left them.
    if (mPlan->geo.pagePreview)
        mPlan->leavePagePreview();
    mServices.views.erase(std::remove(mServices.views.begin(), mServices.views.end(), this),
                          mServices.views.end());
    writeDisplaySettings(mServices.profile, mPlan->settings, mPlan->geo);
    // A window that never had a network of its own has nowhere to keep its
    // parameters: a file "sdt" in whatever folder the program was started
    // from would never be read again. It only forgets the last network.
    CBriscoDoc& doc = mDocument.doc();
    if (doc.baseName.empty())
        mServices.profile.removeEntry(kRecentFileSection, kRecentFileEntry);
    else
        networkWindowDestroyed(doc, doc.baseName, mServices.profile);
    mDocument.removeView(this);
}

// --- the window's life ---------------------------------------------------------

bool CBriscoView::initialUpdate()
{
    syncClient();
    CBriscoDoc& doc = mDocument.doc();
    const bool pending = mServices.app.pending;
    bool loaded = false;
    {
        WaitCursor wait;
        loaded = openPendingNetwork(doc, mServices.profile);
    }
    // A failed open leaves the default network, which needs its adjacency.
    mPlan->networkLoaded = loaded;
    mDocument.resetHistory();
    mDocument.updateAllViews();
    fitToWindow();
    emit networkReplaced();
    emit stateChanged();
    return loaded || !pending;
}

Answer CBriscoView::queryClose()
{
    // The dialog offers the network's own file, in its own folder.
    CBriscoDoc& doc = mDocument.doc();
    const std::string own = doc.baseName.empty() ? std::string() : doc.companionPath(doc.baseName, "vad");
    const Answer answer = orvex::queryClose(doc, [this, own] { return chooseSavePath(own); });
    emit stateChanged();
    return answer;
}

std::optional<std::string> CBriscoView::chooseSavePath(const std::string& start)
{
    return mServices.files.saveNetwork(this, start.empty() ? mServices.app.dataFolder : start);
}

// --- file commands ---------------------------------------------------------------

void CBriscoView::openFile()
{
    if (mPlan->geo.pagePreview)
        return;
    const std::optional<std::string> path =
        mServices.files.openNetwork(this, mServices.app.dataFolder);
    if (!path)
        return;
    AppContext& app = mServices.app;
    if (mPlan->networkLoaded) {
        // This window keeps its network; the file opens in a new one.
        app.pendingFile = *path;
        app.pending = true;
        if (mServices.openPendingInNewWindow)
            mServices.openPendingInNewWindow();
        return;
    }
    app.dataFolder = folderOf(*path);
    rememberDataFolder(mServices.profile, app.dataFolder);
    int opened = 0;
    {
        WaitCursor wait;
        opened = openNetwork(mDocument.doc(), *path);
    }
    mDocument.updateAllViews();
    fitToWindow();
    // A refused network file leaves the default network shown.
    mPlan->networkLoaded = opened != 0;
    mMarkKind = MarkKind::None;
    mEditor->command(command::kStop);
    mDocument.resetHistory();
    redrawImage();
    emit networkReplaced();
    emit stateChanged();
}

bool CBriscoView::save()
{
    if (mPlan->geo.pagePreview)
        return false;
    int saved = 0;
    std::optional<std::string> chosen;
    {
        WaitCursor wait;
        saved = saveCommand(mDocument.doc(), mServices.profile, [this, &chosen] {
            chosen = chooseSavePath();
            return chosen;
        });
    }
    // A save that failed leaves the window, the folders and the profile as they were.
    if (saved == 1 && chosen)
        mServices.app.dataFolder = folderOf(*chosen);
    if (saved == 1)
        mDocument.markSaved();
    emit stateChanged();
    return saved == 1;
}

bool CBriscoView::saveAs()
{
    if (mPlan->geo.pagePreview)
        return false;
    const std::optional<std::string> path = chooseSavePath();
    if (!path)
        return false;
    int saved = 0;
    {
        WaitCursor wait;
        saved = saveNetworkAs(mDocument.doc(), *path, mServices.profile);
    }
    if (saved == 1) {
        mServices.app.dataFolder = folderOf(*path);
        mDocument.markSaved();
    }
    emit stateChanged();
    return saved == 1;
}

// --- display commands ------------------------------------------------------------

void CBriscoView::fitToWindow()
{
    syncClient();
    mPlan->fitToWindow();
    repaint();
}

void CBriscoView::zoomIn()
{
    zoomAbout(true, viewport()->rect().center());
}

void CBriscoView::zoomOut()
{
    zoomAbout(false, viewport()->rect().center());
}

// Zooms keeping the world point under `at` (client pixels) where it is.
void CBriscoView::zoomAbout(bool in, const QPoint& at)
{
    syncClient();
    ViewGeometry& g = mPlan->geo;
    if (g.pagePreview) {
        in ? mPlan->zoomIn() : mPlan->zoomOut();
        repaint();
        return;
    }
    const float worldX = (float(g.scrollX + at.x()) - g.originX) / g.scale;
    const float worldY = (g.originY - float(g.scrollY + at.y())) / g.scale;
    in ? mPlan->zoomIn() : mPlan->zoomOut();
    applyScrollSizes();
    const float deviceX = worldX * g.scale + g.originX;
    const float deviceY = g.originY - worldY * g.scale;
    scrollTo(int(std::lround(deviceX)) - at.x(), int(std::lround(deviceY)) - at.y());
    repaint();
}

void CBriscoView::rightTurn()
{
    if (mPlan->geo.pagePreview)
        return;
    syncClient();
    mPlan->rightTurn(mDocument.doc());
    mDocument.planTurned(-45);
    mDocument.updateAllViews();
    repaint();
}

void CBriscoView::leftTurn()
{
    if (mPlan->geo.pagePreview)
        return;
    syncClient();
    mPlan->leftTurn(mDocument.doc());
    mDocument.planTurned(45);
    mDocument.updateAllViews();
    repaint();
}

void CBriscoView::updateScreen()
{
    if (mPlan->geo.pagePreview)
        return;
    mDocument.updateAllViews();
}

void CBriscoView::displaySetting()
{
    if (mPlan->geo.pagePreview)
        return;
    syncClient();
    DisplaySettingDialog dialog(*mPlan, mServices.reporter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const DisplayChoice c = dialog.choice();
    const int angle = mPlan->geo.displayAngle;
    if (!mPlan->applyDisplaySettings(mDocument.doc(), c.settings, c.figureSize, c.charSize,
                                     c.nodeRadius, c.angle, mServices.reporter))
        return;
    // A new angle turned the model under every view of the document.
    if (mPlan->geo.displayAngle != angle) {
        mDocument.planTurned(angle - mPlan->geo.displayAngle);
        mDocument.updateAllViews();
    }
    repaint();
}

void CBriscoView::info()
{
    if (!mPlan->networkLoaded)
        return;
    CBriscoDoc& doc = mDocument.doc();
    InfoDialog dialog(doc.title, mServices.reporter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.title() == doc.title)
        return;
    doc.title = dialog.title();
    doc.windowTitle = doc.title;
    doc.modified = true;
    mDocument.networkChanged("Change the title");
    for (CBriscoView* view : mDocument.views())
        emit view->stateChanged();
}

// --- analysis ----------------------------------------------------------------------

void CBriscoView::openAnalysisDialog()
{
    if (mPlan->geo.pagePreview || !mPlan->networkLoaded)
        return;
    if (mAnalysis) {
        mAnalysis->raise();
        mAnalysis->activateWindow();
        return;
    }
    CBriscoDoc& doc = mDocument.doc();
    mAnalysis = new AnalysisRunDialog(doc.fanCount, mServices.app.units.displayData != 0,
                                      doc.pauseFlag != 0, window());
    mAnalysis->setAttribute(Qt::WA_DeleteOnClose);
    connect(mAnalysis, &QObject::destroyed, this, [this] {
        mAnalysis = nullptr;
        emit stateChanged();
    });
    connect(mAnalysis, &AnalysisRunDialog::startRequested, this, &CBriscoView::runAnalysis);
    connect(mAnalysis, &AnalysisRunDialog::parameterRequested, this, &CBriscoView::editParameters);
    connect(mAnalysis, &AnalysisRunDialog::updateRequested, this, &CBriscoView::updateScreen);
    connect(mAnalysis, &AnalysisRunDialog::displayDataChanged, this,
            [this](bool on) { mServices.app.units.displayData = on ? 1 : 0; });
    connect(mAnalysis, &AnalysisRunDialog::opt1Changed, this,
            [this](bool on) { mDocument.doc().pauseFlag = on ? 1 : 0; });
    mAnalysis->show();
    emit stateChanged();
}

void CBriscoView::runAnalysis()
{
    if (!mAnalysis || mAnalysis->running())
        return;
    AnalysisRunDialog* dialog = mAnalysis;
    CBriscoDoc& doc = mDocument.doc();
    doc.solverMethod = readSolverMethod(mServices.profile);
    orvex::runAnalysis(doc, *dialog, *this);
    // The chosen road values go to the view; the plan shows them with Update.
    PlanData& data = mPlan->data;
    for (int j = 1; j <= doc.totalRoads() && j < kMaxRoads; ++j) {
        float value = 0;
        if (roadValue(doc, j, mPlan->settings.onlineKind, value))
            data.onlineValue[j] = value;
        if (roadValue(doc, j, mPlan->settings.underlineKind, value))
            data.underlineValue[j] = value;
    }
    mDocument.changedOutsideHistory();
    QApplication::beep();
    emit analysisFinished();
    emit stateChanged();
}

void CBriscoView::editParameters()
{
    if (mPlan->geo.pagePreview)
        return;
    QWidget* parent = mAnalysis ? static_cast<QWidget*>(mAnalysis) : this;
    CBriscoDoc& doc = mDocument.doc();
    // The solver method is the program's, kept in the profile.
    doc.solverMethod = readSolverMethod(mServices.profile);
    bool documentChanged = false;
    if (ParametersDialog::edit(parent, doc, mServices.reporter, &documentChanged)) {
        writeSolverMethod(mServices.profile, doc.solverMethod);
        if (documentChanged)
            mDocument.changedOutsideHistory();
        emit stateChanged();
    }
}

void CBriscoView::fireFront(int road, float distance, float fraction, int direction)
{
    mPlan->drawFireFront(mCanvas, road, distance, fraction, direction);
}

void CBriscoView::redrawAllViews()
{
    mDocument.updateAllViews();
}

bool CBriscoView::pauseDialog()
{
    return mAnalysis ? mAnalysis->pause() : runPauseDialog(this);
}

namespace {

// The fan curve viewer: beside this program, in the program folder, or on
// the path.
QString curveViewer(const std::string& programFolder)
{
    const QString name = QStringLiteral("vistrel");
    for (const QString& folder : {QCoreApplication::applicationDirPath(), QString::fromStdString(programFolder)}) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}

}  // namespace

void CBriscoView::fanCharacterDisplay()
{
    if (mPlan->geo.pagePreview)
        return;
    CBriscoDoc& doc = mDocument.doc();
    if (doc.baseName.empty()) {
        mServices.reporter.message("Save the network first: its fan curves are written beside it.",
                                   kViewCaption, MessageKind::Information);
        return;
    }
    if (!writeFanCurveFile(doc))
        return;
    const QString viewer = curveViewer(mServices.app.programFolder);
    if (viewer.isEmpty()) {
        mServices.reporter.message("The fan curve viewer \"vistrel\" was not found beside this program, in " +
                                       mServices.app.programFolder + " or on the path.",
                                   kViewCaption, MessageKind::Error);
        return;
    }
    const std::string argument = curveDisplayArgument(doc);
    if (mServices.programs) {
        mServices.programs->open(viewer.toStdString(), argument);
        return;
    }
    if (!startOwnProgram(viewer, {QString::fromStdString(argument)}))
        mServices.reporter.message("Cannot start " + viewer.toStdString(), kViewCaption, MessageKind::Error);
}

// --- updates and painting ------------------------------------------------------

void CBriscoView::updateFromDocument()
{
    mPlan->update(mDocument.doc());
    if (mPlan->data.analysisRunning) {
        // The solver's iteration line, at once, over a strip of background.
        const ColourSlots& c = mPlan->settings.colours;
        const float w = float(viewport()->width());
        const float h = float(QFontMetrics(font()).height());
        const DevicePoint strip[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
        mCanvas.fillPolygon(strip, 4, c.back, c.back);
        mCanvas.text(0, 0, mPlan->data.statusLine, c.online);
        return;
    }
    redrawImage();
    emit stateChanged();
}

void CBriscoView::redrawAll()
{
    mDocument.updateAllViews();
}

void CBriscoView::repaint()
{
    if (mPlan->geo.scrollSizesChanged)
        applyScrollSizes();
    redrawImage();
}

void CBriscoView::scrollTo(int x, int y)
{
    mSettingScroll = true;
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
    mSettingScroll = false;
    syncClient();
    redrawImage();
}

void CBriscoView::networkChanged(const std::string& operation)
{
    // A network built in a window that read none is this window's network
    // from its first change on: drawn, analysed and saved like a read one.
    for (CBriscoView* view : mDocument.views())
        view->mPlan->networkLoaded = true;
    mDocument.networkChanged(operation);
}

void CBriscoView::captureMouse(bool on)
{
    if (on)
        viewport()->grabMouse();
    else
        viewport()->releaseMouse();
}

void CBriscoView::syncClient()
{
    ViewGeometry& g = mPlan->geo;
    g.clientWidth = viewport()->width();
    g.clientHeight = viewport()->height();
    g.scrollX = horizontalScrollBar()->value();
    g.scrollY = verticalScrollBar()->value();
}

// The scrollable size in plain pixels: a page step is the window, a line
// step a tenth of it.
void CBriscoView::applyScrollSizes()
{
    ViewGeometry& g = mPlan->geo;
    g.scrollSizesChanged = false;
    mSettingScroll = true;
    const int w = viewport()->width(), h = viewport()->height();
    QScrollBar* hs = horizontalScrollBar();
    QScrollBar* vs = verticalScrollBar();
    hs->setRange(0, std::max(0, g.scrollWidth - w));
    vs->setRange(0, std::max(0, g.scrollHeight - h));
    hs->setPageStep(std::max(1, w));
    vs->setPageStep(std::max(1, h));
    hs->setSingleStep(std::max(1, w / 10));
    vs->setSingleStep(std::max(1, h / 10));
    hs->setValue(g.scrollX);
    vs->setValue(g.scrollY);
    mSettingScroll = false;
    syncClient();
}

void CBriscoView::redrawImage()
{
    mCanvas.end();
    const qreal ratio = devicePixelRatioF();
    const QSize size = viewport()->size() * ratio;
    if (mImage.size() != size) {
        mImage = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        mImage.setDevicePixelRatio(ratio);
    }
    syncClient();
    {
        QPainter painter(&mImage);
        // The plan is drawn in scrolled device units; the window shows the
        // part from the scroll position on.
        painter.translate(-mPlan->geo.scrollX, -mPlan->geo.scrollY);
        QPainterCanvas canvas(painter);
        mPlan->paint(canvas);
    }
    drawMark();
    viewport()->update();
}

// --- the marked element ------------------------------------------------------------

void CBriscoView::markRoad(int road) { mark(MarkKind::Road, road); }
void CBriscoView::markNode(int nodeIndex) { mark(MarkKind::Node, nodeIndex); }
void CBriscoView::markFan(int fan) { mark(MarkKind::Fan, fan); }
void CBriscoView::clearMark() { mark(MarkKind::None, 0); }

void CBriscoView::mark(MarkKind kind, int element)
{
    if (kind == mMarkKind && element == mMarked)
        return;
    mMarkKind = kind;
    mMarked = element;
    float x = 0, y = 0;
    if (!mPlan->geo.pagePreview && markCentre(x, y)) {
        const ViewGeometry& g = mPlan->geo;
        const bool inside = x >= g.scrollX && x < g.scrollX + g.clientWidth && y >= g.scrollY &&
                            y < g.scrollY + g.clientHeight;
        if (!inside) {
            scrollTo(int(x) - g.clientWidth / 2, int(y) - g.clientHeight / 2);
            return;  // scrollTo redrew
        }
    }
    redrawImage();
}

bool CBriscoView::markEnds(int& a, int& b) const
{
    const PlanData& d = mPlan->data;
    a = b = 0;
    switch (mMarkKind) {
    case MarkKind::None: return false;
    case MarkKind::Node:
        if (mMarked < 1 || mMarked > d.nodeCount)
            return false;
        a = b = mMarked;
        break;
    case MarkKind::Road:
        if (mMarked < 1 || mMarked > d.roadCount + d.fixedCount || mMarked >= kMaxRoads)
            return false;
        a = d.nodeIndex(d.roadFirst[std::size_t(mMarked)]);
        b = d.nodeIndex(d.roadSecond[std::size_t(mMarked)]);
        break;
    case MarkKind::Fan:
        if (mMarked < 1 || mMarked > d.fanCount || mMarked >= kMaxFans)
            return false;
        a = d.nodeIndex(d.fanFirst[std::size_t(mMarked)]);
        b = d.nodeIndex(d.fanSecond[std::size_t(mMarked)]);
        break;
    }
    return a != 0 && b != 0;
}

bool CBriscoView::markCentre(float& x, float& y) const
{
    int a = 0, b = 0;
    if (!markEnds(a, b))
        return false;
    const PlanData& d = mPlan->data;
    const DevicePoint p = mPlan->geo.drawingPosition(0.5f * (d.nodeX[a] + d.nodeX[b]),
                                                     0.5f * (d.nodeY[a] + d.nodeY[b]));
    x = p.x;
    y = p.y;
    return true;
}

void CBriscoView::drawMark()
{
    int a = 0, b = 0;
    if (mPlan->geo.pagePreview || !markEnds(a, b))
        return;
    // Drawn onto the window: the core subtracts the scroll position itself.
    // A road or fan comes with its two end nodes, so that a short one is
    // found at a glance.
    QPainter painter(&mImage);
    QPainterCanvas canvas(painter);
    const Colour strong = mPlan->settings.colours.strong;
    mPlan->drawNodeOnWindow(canvas, a, strong);
    if (b != a)
        mPlan->drawNodeOnWindow(canvas, b, strong);
    switch (mMarkKind) {
    case MarkKind::Road: mPlan->drawRoadOnWindow(canvas, mMarked, strong, strong, strong); break;
    case MarkKind::Node: mPlan->drawNodeOnWindow(canvas, mMarked, strong); break;
    case MarkKind::Fan: mPlan->drawFanOnWindow(canvas, mMarked, strong); break;
    case MarkKind::None: break;
    }
}

void CBriscoView::paintEvent(QPaintEvent*)
{
    const QSize size = viewport()->size() * devicePixelRatioF();
    if (mImage.size() != size)
        redrawImage();
    mCanvas.end();
    QPainter painter(viewport());
    painter.drawImage(0, 0, mImage);
}

void CBriscoView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (mPlan->geo.pagePreview) {
        layOutPage();
        return;
    }
    syncClient();
    applyScrollSizes();
    redrawImage();
}

void CBriscoView::scrollContentsBy(int, int)
{
    if (mSettingScroll)
        return;
    syncClient();
    redrawImage();
}

// --- editing ----------------------------------------------------------------------

bool CBriscoView::editCommand(int id)
{
    if (!editCommandEnabled(id))
        return false;
    const bool done = mEditor->command(id);
    emit stateChanged();
    return done;
}

bool CBriscoView::editCommandEnabled(int id) const
{
    // A run's dialog holds the document: nothing may change it meanwhile.
    if (mAnalysis || mDocument.doc().analysisRunning)
        return false;
    return mEditor->commandEnabled(id);
}

bool CBriscoView::editCommandChecked(int id) const
{
    return mEditor->commandChecked(id);
}

void CBriscoView::mousePressEvent(QMouseEvent* event)
{
    if (!mEditor) {  // the view is going
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (mPlan->geo.pagePreview) {  // the plan moves on the page
        if (event->button() == Qt::LeftButton)
            mPlan->beginPageDrag(p.x(), p.y());
        return;
    }
    bool handled = false;
    if (event->button() == Qt::LeftButton)
        handled = mEditor->leftButtonDown(p.x(), p.y());
    else if (event->button() == Qt::RightButton)
        handled = mEditor->rightButtonDown(p.x(), p.y());
    if (!handled)
        QAbstractScrollArea::mousePressEvent(event);
    emit stateChanged();
}

void CBriscoView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!mEditor) {  // the view is going
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (mPlan->geo.pagePreview) {
        if (event->button() == Qt::LeftButton && mPlan->page.dragging) {
            mPlan->endPageDrag(p.x(), p.y());
            redrawImage();
        }
        return;
    }
    if (event->button() != Qt::LeftButton || !mEditor->leftButtonUp(p.x(), p.y()))
        QAbstractScrollArea::mouseReleaseEvent(event);
    emit stateChanged();
}

void CBriscoView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!mEditor) {  // the view is going
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !mEditor->leftDoubleClick(p.x(), p.y()))
        QAbstractScrollArea::mouseDoubleClickEvent(event);
    emit stateChanged();
}

void CBriscoView::mouseMoveEvent(QMouseEvent* event)
{
    if (!mEditor) {  // the view is going
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (mPlan->geo.pagePreview) {
        if (mPlan->page.dragging)
            dragOnPage(p);
        return;
    }
    if (!mEditor->mouseMove(p.x(), p.y()))
        QAbstractScrollArea::mouseMoveEvent(event);
}

// The simple preview moves the plan's lines alone: drawn once more in the
// inverting mode where they were, which takes them away, and again where
// they go. The full preview draws the page anew.
void CBriscoView::dragOnPage(const QPoint& p)
{
    if (mPlan->settings.previewKind == 0 && mPlan->networkLoaded) {
        mCanvas.setInvert(true);
        mPlan->drawNetwork(mCanvas, false);
        mPlan->pageDragTo(p.x(), p.y());
        mPlan->drawNetwork(mCanvas, false);
        mCanvas.setInvert(false);
        viewport()->update();
    } else {
        mPlan->pageDragTo(p.x(), p.y());
        redrawImage();
    }
}

void CBriscoView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        editCommand(command::kStop);
        return;
    }
    Key key = Key::Other;
    switch (event->key()) {
    case Qt::Key_Left: key = Key::Left; break;
    case Qt::Key_Up: key = Key::Up; break;
    case Qt::Key_Right: key = Key::Right; break;
    case Qt::Key_Down: key = Key::Down; break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    syncClient();
    const ArrowScroll result = arrowScroll(mPlan->geo, key);
    if (result.sizesChanged) {
        applyScrollSizes();
        redrawImage();
    } else if (result.scrolled) {
        scrollTo(mPlan->geo.scrollX, mPlan->geo.scrollY);
    }
}

void CBriscoView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y();
    if (steps != 0)
        zoomAbout(steps > 0, event->position().toPoint());
    event->accept();
}

// --- page preview and printing ------------------------------------------------------

PrintServices& CBriscoView::printing()
{
    return mServices.printing ? *mServices.printing : programPrintServices();
}

// The page fills the window without scroll bars: laid out once, the bars
// go and the window grows, so it is laid out once more.
void CBriscoView::layOutPage()
{
    for (int pass = 0; pass < 2; ++pass) {
        syncClient();
        mPlan->pageLayout();
        applyScrollSizes();
    }
    redrawImage();
}

void CBriscoView::togglePrint()
{
    if (!mPlan->geo.pagePreview) {
        syncClient();
        mEditor->pagePreviewStarted();
        mPlan->enterPagePreview();
        layOutPage();
        if (!mPrintTool) {
            mPrintTool = new PrintToolDialog(mPlan->settings.previewKind == 0, this);
            mPrintTool->setAttribute(Qt::WA_DeleteOnClose);
            connect(mPrintTool, &PrintToolDialog::startPrinting, this, &CBriscoView::startPrinting);
            connect(mPrintTool, &PrintToolDialog::printerSetup, this, &CBriscoView::printerSetup);
            connect(mPrintTool, &PrintToolDialog::colourSetup, this, &CBriscoView::colourSetup);
            connect(mPrintTool, &PrintToolDialog::simpleToggled, this, &CBriscoView::setSimplePreview);
            // beside the page, at the window's top right
            mPrintTool->adjustSize();
            const QPoint corner = viewport()->mapToGlobal(viewport()->rect().topRight());
            mPrintTool->move(corner.x() - mPrintTool->width() - 16, corner.y() + 16);
            mPrintTool->show();
        }
    } else {
        if (mPlan->page.dragging)
            mPlan->endPageDrag(mPlan->page.dragStartX + mPlan->geo.pageDragX,
                               mPlan->page.dragStartY + mPlan->geo.pageDragY);
        mPlan->leavePagePreview();
        applyScrollSizes();
        redrawImage();
        if (PrintToolDialog* tool = mPrintTool) {
            mPrintTool = nullptr;
            tool->close();
        }
    }
    emit stateChanged();
}

void CBriscoView::startPrinting()
{
    if (!mPlan->geo.pagePreview)
        return;
    syncClient();
    const CBriscoDoc& doc = mDocument.doc();
    std::string error;
    {
        WaitCursor wait;
        error = printPlan(*mPlan, printing().printer(), doc.title.empty() ? doc.windowTitle : doc.title);
    }
    // The page is laid out again for the printer's proportions, the plan
    // where it was on it.
    applyScrollSizes();
    redrawImage();
    if (!error.empty()) {
        if (printing().printer().printerState() == QPrinter::Error ||
            printing().printer().printerState() == QPrinter::Active)
            printing().discardPrinter();
        mServices.reporter.message(error, "Print", MessageKind::Warning);
    }
}

void CBriscoView::printerSetup()
{
    if (!mPlan->geo.pagePreview)
        return;
    PrintServices& services = printing();
    if (!services.setupPrinter(this, services.printer()))
        return;
    const PrinterPage page = printerPage(services.printer());
    if (page.width > 0 && page.height > 0) {
        mPlan->page.orientation = page.orientation;
        mPlan->page.pageWidth = page.width;
        mPlan->page.pageHeight = page.height;
    }
    services.printerChosen = true;
    layOutPage();
}

void CBriscoView::colourSetup()
{
    if (!mPlan->geo.pagePreview)
        return;
    const std::optional<ColourSlots> chosen = printing().chooseColours(this, mPlan->settings.colours);
    if (!chosen)
        return;
    const PrintColours print = printColoursOf(*chosen);
    usePrintColours(mPlan->settings.colours, print);
    mPlan->settings.print = print;
    redrawImage();
}

// One setting for the whole program: every view takes it at once.
void CBriscoView::setSimplePreview(bool simple)
{
    setPreviewKind(mServices.sharedDisplay, mServices.profile, simple ? 0 : 1);
    for (CBriscoView* view : mServices.views)
        view->takePreviewKind();
}

void CBriscoView::takePreviewKind()
{
    const int kind = previewKind(mServices.sharedDisplay, mServices.profile);
    mPlan->settings.previewKind = kind;
    if (mPrintTool)
        mPrintTool->setSimple(kind == 0);
    if (mPlan->geo.pagePreview)
        redrawImage();
}

void CBriscoView::exportPlan()
{
    const std::optional<PlanExport> how =
        printing().chooseExport(this, mServices.app.dataFolder, mPlan->geo.pagePreview);
    if (!how)
        return;
    syncClient();
    const CBriscoDoc& doc = mDocument.doc();
    std::string error;
    {
        WaitCursor wait;
        error = gui::exportPlan(*mPlan, *how, doc.title.empty() ? doc.windowTitle : doc.title);
    }
    if (!error.empty())
        mServices.reporter.message(error, "Export plan", MessageKind::Warning);
}

}  // namespace orvex::gui
