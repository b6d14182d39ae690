#include "view/briscoview.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "dialogs/analysisrundialog.h"
#include "dialogs/displaysettingdialog.h"
#include "dialogs/editdialogs.h"
#include "dialogs/infodialog.h"
#include "dialogs/parametersdialog.h"
#include "display/displaysettings.h"
#include "edit/viewnavigation.h"
#include "model/networkio.h"
#include "view/displaytext.h"
#include "view/networkdocument.h"
#include "view/ownprograms.h"
#include "view/qpaintercanvas.h"

namespace orvex::gui {

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
    const ViewParts parts{mDocument.doc(), mDocument, *mPlan, *mEditor,
                          mServices.app, mServices.profile, mServices.reporter};
    mControl = std::make_unique<ViewController>(parts, *this, *this);
    mFinder = std::make_unique<PlanFinder>(parts, *mControl, *this, *this, [](const std::string& text) {
        return displayText(text).toStdString();
    });
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
    mServices.views.erase(std::remove(mServices.views.begin(), mServices.views.end(), this),
                          mServices.views.end());
    mControl->closing();
    mDocument.removeView(this);
}

// --- the window's life ---------------------------------------------------------

bool CBriscoView::initialUpdate() { return mControl->initialUpdate(); }
Answer CBriscoView::queryClose() { return mControl->queryClose(); }

std::optional<std::string> CBriscoView::openNetwork(const std::string& start)
{
    return mServices.files.openNetwork(this, start);
}

std::optional<std::string> CBriscoView::saveNetwork(const std::string& start)
{
    return mServices.files.saveNetwork(this, start);
}

void CBriscoView::openInNewWindow()
{
    if (mServices.openPendingInNewWindow)
        mServices.openPendingInNewWindow();
}

void CBriscoView::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CBriscoView::beep() { QApplication::beep(); }

// --- file and display commands -------------------------------------------------------

void CBriscoView::openFile() { mControl->open(); }
void CBriscoView::networkImported(bool newHistory) { mControl->networkImported(newHistory); }
bool CBriscoView::save() { return mControl->save(); }
bool CBriscoView::saveAs() { return mControl->saveAs(); }
void CBriscoView::fitToWindow() { mControl->fitToWindow(); }
void CBriscoView::zoomIn()
{
    const QPoint centre = viewport()->rect().center();
    mControl->zoom(true, centre.x(), centre.y());
}

void CBriscoView::zoomOut()
{
    const QPoint centre = viewport()->rect().center();
    mControl->zoom(false, centre.x(), centre.y());
}
void CBriscoView::rightTurn() { mControl->turn(-45); }
void CBriscoView::leftTurn() { mControl->turn(45); }
void CBriscoView::updateScreen() { mControl->updateScreen(); }

void CBriscoView::displaySetting()
{
    if (!commandEnabled(ViewCommand::DisplaySetting))
        return;
    syncClient();
    // The dialog shows and keeps the person's own colours, never a comparison's.
    mControl->clearComparison();
    emit stateChanged();
    DisplaySettingDialog dialog(*mPlan, mServices.reporter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const DisplayChoice c = dialog.choice();
    mControl->displaySettingChosen(c.settings, c.figureSize, c.charSize, c.nodeRadius, c.angle);
}

void CBriscoView::info()
{
    if (!commandEnabled(ViewCommand::Info))
        return;
    InfoDialog dialog(mDocument.doc().title, mServices.reporter, this);
    if (dialog.exec() != QDialog::Accepted || !mControl->titleChosen(dialog.title()))
        return;
    for (CBriscoView* view : mDocument.views())
        emit view->stateChanged();
}

// --- analysis ----------------------------------------------------------------------

void CBriscoView::openAnalysisDialog()
{
    if (!mControl->mayOpenAnalysis())
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
    mControl->setAnalysisOpen(true);
    connect(mAnalysis, &QObject::destroyed, this, [this] {
        mAnalysis = nullptr;
        mControl->setAnalysisOpen(false);
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
    if (mAnalysis && !mAnalysis->running())
        mControl->runAnalysis(*mAnalysis, *this);
}

void CBriscoView::editParameters()
{
    if (!commandEnabled(ViewCommand::Parameter))
        return;
    QWidget* parent = mAnalysis ? static_cast<QWidget*>(mAnalysis) : this;
    mControl->parametersOpening();
    bool documentChanged = false;
    if (ParametersDialog::edit(parent, mDocument.doc(), mServices.reporter, &documentChanged))
        mControl->parametersChosen(documentChanged);
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

ProgramStarter& CBriscoView::programs()
{
    static SystemPrograms system;
    return mServices.programs ? *mServices.programs : system;
}

void CBriscoView::fanCharacterDisplay() { mControl->fanCharacterDisplay(programs()); }

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

void CBriscoView::markRoad(int road) { mControl->mark(MarkKind::Road, road); }
void CBriscoView::markNode(int nodeIndex) { mControl->mark(MarkKind::Node, nodeIndex); }
void CBriscoView::markFan(int fan) { mControl->mark(MarkKind::Fan, fan); }
void CBriscoView::clearMark() { mControl->mark(MarkKind::None, 0); }

void CBriscoView::find()
{
    if (!commandEnabled(ViewCommand::Find))
        return;
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, QString::fromStdString(kFindCaption),
        "Node number, a road's two node numbers, a road's name, or \"fan\" and its two node numbers:",
        QLineEdit::Normal, mLastFind, &ok);
    if (!ok)
        return;
    mLastFind = text;
    syncClient();
    mFinder->find(text.toStdString());
}

// Drawn onto the window: the core subtracts the scroll position itself.
void CBriscoView::drawMark()
{
    QPainter painter(&mImage);
    QPainterCanvas canvas(painter);
    mControl->drawMark(canvas);
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
    mControl->resized();
}

void CBriscoView::scrollContentsBy(int, int)
{
    if (mSettingScroll)
        return;
    syncClient();
    redrawImage();
}

// --- editing ----------------------------------------------------------------------

bool CBriscoView::editCommand(int id) { return mControl->editCommand(id); }
bool CBriscoView::editCommandEnabled(int id) const { return mControl->editCommandEnabled(id); }
bool CBriscoView::editCommandChecked(int id) const { return mControl->editCommandChecked(id); }

namespace {

MouseButton buttonOf(const QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    default: return MouseButton::Other;
    }
}

}  // namespace

// While the view is going, the editor and the controller are gone first.
void CBriscoView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (mFinder && event->button() == Qt::LeftButton && mFinder->click(p.x(), p.y()))
        return;
    if (!mControl || !mControl->mousePress(buttonOf(event), p.x(), p.y()))
        QAbstractScrollArea::mousePressEvent(event);
}

void CBriscoView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!mControl || !mControl->mouseRelease(buttonOf(event), p.x(), p.y()))
        QAbstractScrollArea::mouseReleaseEvent(event);
}

void CBriscoView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!mControl || !mControl->mouseDoubleClick(buttonOf(event), p.x(), p.y()))
        QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void CBriscoView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!mControl || !mControl->mouseMove(p.x(), p.y()))
        QAbstractScrollArea::mouseMoveEvent(event);
}

bool CBriscoView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip || !mFinder)
        return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::string tip = mFinder->tipAt(help->pos().x(), help->pos().y());
    if (tip.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), QString::fromStdString(tip), viewport());
    return true;
}

void CBriscoView::refresh() { viewport()->update(); }

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
        mControl->zoom(steps > 0, event->position().toPoint().x(), event->position().toPoint().y());
    event->accept();
}

}  // namespace orvex::gui
