#include "app/mainframe.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUndoView>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "app/aboutdialog.h"
#include "app/childframe.h"
#include "app/icons.h"
#include "app/placement.h"
#include "app/splash.h"
#include "app/statuspanes.h"
#include "app/viewcommands.h"
#include "control/frame.h"
#include "results/resultspanel.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

namespace orvex::gui {

namespace {

const QString kCaption = QStringLiteral("ORVEX for Windows");

bool isNetworkFile(const QUrl& url)
{
    return url.isLocalFile() && isNetworkFileName(url.toLocalFile().toStdString());
}

}  // namespace

CMainFrame::CMainFrame(ViewServices& services, bool splash, QWidget* parent)
    : QMainWindow(parent), mServices(services), mRecent(services.profile)
{
    setWindowTitle(kCaption);
    setWindowIcon(applicationIcon());
    setAcceptDrops(true);

    mMdiArea = new QMdiArea(this);
    mMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mMdiArea);
    connect(mMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::updateMenus);

    createActions();
    // The history of the active network window, named step by step.
    mHistoryDock = new QDockWidget("History", this);
    mHistoryDock->setObjectName("historyDock");
    auto* history = new QUndoView(mUndoGroup, mHistoryDock);
    history->setEmptyLabel("Opened");
    mHistoryDock->setWidget(history);
    mHistoryDock->toggleViewAction()->setText("History");
    addDockWidget(Qt::RightDockWidgetArea, mHistoryDock);
    mHistoryDock->hide();
    createMenus();
    createToolBars();
    mPanes = std::make_unique<StatusPanes>(*statusBar());
    mRecent.read();

    if (splash) {
        auto* picture = new SplashWindow();
        picture->setAttribute(Qt::WA_DeleteOnClose);
        connect(picture, &SplashWindow::finished, this, [this] { update(); });
        picture->show();
    }

    mPanes->showNow();
    mClockTimer = startTimer(1000);

    // A first start, or a placement no screen shows: the first screen.
    const std::optional<WindowPlacement> stored = readPlacement(services.profile, kWindowPlacementSection);
    mPlacementRestored = stored.has_value();
    mRestoredShow = stored ? stored->showCmd : kShowNormal;
    const std::optional<QRect> frame = stored ? usableFrame(*stored, screenAreas()) : std::nullopt;
    setGeometry(frame ? *frame : firstStartFrame(screenAreas()));
    updateMenus();
}

CMainFrame::~CMainFrame()
{
    // Network windows go before the services they use.
    for (CChildFrame* child : childFrames())
        delete child;
}

void CMainFrame::showAtStart(Qt::WindowStates given)
{
    if (mPlacementRestored) {
        if (mRestoredShow == kShowMaximised)
            showMaximized();
        else
            showNormal();  // a minimised placement comes back normal
        return;
    }
    setWindowState(given);
    show();
}

// --- actions, menus, bars ------------------------------------------------------

QAction* CMainFrame::makeAction(const QString& name, const QString& text, const QKeySequence& key,
                                const QString& tip)
{
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    const QIcon icon = commandIcon(name);
    if (!icon.isNull())
        a->setIcon(icon);
    if (!key.isEmpty())
        a->setShortcut(key);
    a->setStatusTip(tip.isEmpty() ? QString(text).remove('&').section('\t', 0, 0) : tip);
    a->setToolTip(QString(text).remove('&').section('\t', 0, 0).remove("..."));
    return a;
}

QAction* CMainFrame::action(const QString& name) const
{
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void CMainFrame::forward(QAction* a, std::function<void(CBriscoView&)> command)
{
    connect(a, &QAction::triggered, this, [this, command = std::move(command)] {
        if (CBriscoView* view = activeView())
            command(*view);
        updateMenus();
    });
}

void CMainFrame::createActions()
{
    connect(makeAction("new", "New(&N)\tCtrl+N", QKeySequence::New, "Open a new network window"),
            &QAction::triggered, this, [this] { newWindow(); });
    connect(makeAction("open", QString::fromStdString(openCommandText({})), QKeySequence::Open, "Open a network"),
            &QAction::triggered, this, &CMainFrame::open);
    createViewActions();
    createExchangeActions();
    QAction* quit = makeAction("quit", "Quit(&X)", QKeySequence::Quit, "Close every network and quit");
    connect(quit, &QAction::triggered, this, &QWidget::close);

    // Undo and redo of the active network window's history.
    mUndoGroup = new QUndoGroup(this);
    QAction* undo = mUndoGroup->createUndoAction(this, "Undo");
    undo->setObjectName("undo");
    undo->setShortcut(QKeySequence::Undo);
    undo->setIcon(commandIcon("undo"));
    QAction* redo = mUndoGroup->createRedoAction(this, "Redo");
    redo->setObjectName("redo");
    redo->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
    redo->setIcon(commandIcon("redo"));
    for (QAction* a : {undo, redo})
        connect(a, &QAction::triggered, this, &CMainFrame::updateMenus);

    // Commands that have never had anything to do.
    makeAction("continue", "Continue(&C)")->setEnabled(false);
    makeAction("frontonly", "Front only(&F)")->setEnabled(false);
    QAction* results = makeAction("results", "Results(&R)", {}, "The tables of the last run's results beside the plan");
    results->setCheckable(true);
    connect(results, &QAction::triggered, this, [this](bool shown) {
        if (CChildFrame* child = activeChild())
            child->showResults(shown);
        updateMenus();
    });

    connect(makeAction("cascade", "Cascade(&C)"), &QAction::triggered, this, [this] { mMdiArea->cascadeSubWindows(); });
    connect(makeAction("tile", "Tile(&T)"), &QAction::triggered, this, [this] { mMdiArea->tileSubWindows(); });
    connect(makeAction("next", "Next(&N)", QKeySequence::NextChild), &QAction::triggered, mMdiArea,
            &QMdiArea::activateNextSubWindow);
    connect(makeAction("previous", "Previous(&P)", QKeySequence::PreviousChild), &QAction::triggered,
            mMdiArea, &QMdiArea::activatePreviousSubWindow);

    connect(makeAction("about", "About...(&A)", {}, "Program version and capacities"), &QAction::triggered,
            this, &CMainFrame::about);

    connect(makeAction("compare", "Compare with…", {}, "Colour the plan by how its airflows differ from another network's"),
            &QAction::triggered, this, &CMainFrame::compareWith);
    connect(makeAction("clearcompare", "Clear comparison", {}, "The plan's own colours again"), &QAction::triggered,
            this, &CMainFrame::clearComparison);
    connect(makeAction("scenarios", "Scenarios…", {}, "Run what-if cases on copies of this network"),
            &QAction::triggered, this, &CMainFrame::openScenarios);
    connect(makeAction("escape", "Escape routes…", {},
                       "After a fire run: the safest way out from every place, its time and minutes to spare"),
            &QAction::triggered, this, [this] {
                if (CChildFrame* active = activeChild(); active && action("escape")->isEnabled())
                    active->openEscapeRoutes();
            });
    connect(makeAction("calibrate", "Calibrate…", {},
                       "Fit the resistances (and fan pressures) to a ventilation survey"),
            &QAction::triggered, this, [this] {
                if (CChildFrame* active = activeChild(); active && action("calibrate")->isEnabled())
                    active->openCalibration();
            });
}

void CMainFrame::createViewActions()
{
    for (const ViewCommandEntry& c : viewCommands()) {
        QAction* a = makeAction(c.name, c.text, c.key, c.tip);
        a->setCheckable(c.checkable);
        forward(a, c.run);
    }
    for (const EditCommand& e : kEditCommands) {
        QAction* a = makeAction(e.name, e.text, {}, e.tip);
        a->setCheckable(true);
        forward(a, [id = e.id](CBriscoView& view) { view.editCommand(id); });
    }
    // Esc drops a half-made pick in the active view.
    auto* stop = new QAction(this);
    stop->setObjectName("stop");
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    stop->setShortcutContext(Qt::WindowShortcut);
    forward(stop, [](CBriscoView& view) { view.editCommand(command::kStop); });
    addAction(stop);
}

// Adds the named actions to a menu or tool bar; "|" is a separator.
template <typename Bar> void CMainFrame::addActions(Bar* bar, std::initializer_list<const char*> names) const
{
    for (const char* name : names) {
        if (name[0] == '|')
            bar->addSeparator();
        else
            bar->addAction(action(name));
    }
}

void CMainFrame::createMenus()
{
    QMenu* file = menuBar()->addMenu("File(&F)");
    addActions(file, {"new", "open", "save", "saveas", "|"});
    QMenu* imports = file->addMenu("Import(&I)");
    imports->menuAction()->setObjectName("importmenu");
    addActions(imports, {"importtables", "importdxf", "importinp"});
    addActions(file, {"updatetables"});
    QMenu* exports = file->addMenu("Export(&E)");
    exports->menuAction()->setObjectName("exportmenu");
    addActions(exports, {"exporttables", "exportdxf", "exportinp"});
    addActions(file, {"|", "print", "startprinting", "printersetup", "exportplan", "|"});
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        auto* a = new QAction(this);
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, a] { openDocumentFile(a->data().toString().toStdString()); });
        file->addAction(a);
        mRecentActions.push_back(a);
    }
    mRecentActions.push_back(file->addSeparator());
    addActions(file, {"quit"});

    QMenu* edit = menuBar()->addMenu("Edit(&E)");
    addActions(edit, {"undo", "redo"});
    edit->addAction(mHistoryDock->toggleViewAction());
    addActions(edit, {"|", "makenode", "changenode", "deletenode", "|", "makeroad", "changeroad", "deleteroad", "|",
                      "makefan", "changefan", "deletefan", "|", "find"});
    addActions(menuBar()->addMenu("Display(&D)"), {"displaysetting", "|", "fit", "zoomin", "zoomout", "zoommouse",
                                                   "|", "rightturn", "leftturn", "|", "update", "info"});
    QMenu* analysis = menuBar()->addMenu("Analysis(&A)");
    addActions(analysis->addMenu("Flow(&F)"), {"analysis", "continue", "frontonly"});
    addActions(analysis, {"parameter", "results", "|", "fancurve", "|", "compare", "clearcompare", "scenarios", "escape", "calibrate"});
    addActions(menuBar()->addMenu("Window(&W)"), {"cascade", "tile", "next", "previous"});
    addActions(menuBar()->addMenu("Help(&H)"), {"about"});
}

void CMainFrame::createToolBars()
{
    QToolBar* main = addToolBar("Standard");
    main->setObjectName("standardToolBar");
    addActions(main, {"new", "open", "save", "print", "|", "fit", "zoomin", "zoomout", "rightturn", "leftturn",
                      "update", "displaysetting", "|", "analysis", "|", "about"});
    QToolBar* edit = addToolBar("Edit");
    edit->setObjectName("editToolBar");
    addActions(edit, {"undo", "redo", "|", "makenode", "changenode", "deletenode", "makeroad", "changeroad",
                      "deleteroad", "makefan", "changefan", "deletefan", "zoommouse"});
}

void CMainFrame::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != mClockTimer) {
        QMainWindow::timerEvent(event);
        return;
    }
    mPanes->showNow();
}

// --- network windows -----------------------------------------------------------

QList<CChildFrame*> CMainFrame::childFrames() const { return ChildWindows::framesIn(*mMdiArea); }

CChildFrame* CMainFrame::activeChild() const
{
    return qobject_cast<CChildFrame*>(mMdiArea->activeSubWindow());
}

CBriscoView* CMainFrame::activeView() const
{
    CChildFrame* child = activeChild();
    return child ? child->view() : nullptr;
}

CChildFrame* CMainFrame::newWindow()
{
    auto* child = new CChildFrame(mServices, ++mUntitled);
    mMdiArea->addSubWindow(child);
    mUndoGroup->addStack(&child->document().undoStack());
    connect(child->view(), &CBriscoView::stateChanged, this, [this, child] {
        const CBriscoDoc& doc = child->document().doc();
        if (!doc.baseName.empty())
            noteRecentFile(QString::fromStdString(doc.companionPath(doc.baseName, "vad")));
        updateMenus();
    });
    // The Results check mark follows the dock, also when its own button closes it.
    connect(child->resultsDock()->toggleViewAction(), &QAction::toggled, this, [this] { updateMenus(); });
    child->showPlaced(*mMdiArea);
    child->view()->setFocus();
    const QString path = QString::fromStdString(mServices.app.pendingFile);
    if (!child->view()->initialUpdate()) {
        // Made only for a network that could not be opened: it goes, and
        // the messages of the open have said why. A recent network that no
        // longer opens is taken off the list.
        forgetRecentFile(path);
        delete child;
        updateMenus();
        return nullptr;
    }
    updateMenus();
    return child;
}

CChildFrame* CMainFrame::openDocumentFile(const std::string& name)
{
    AppContext& app = mServices.app;
    app.pendingFile = unquotedName(name);
    app.pending = true;
    return newWindow();
}

void CMainFrame::open()
{
    if (CBriscoView* view = activeView()) {
        view->openFile();
        updateMenus();
        return;
    }
    // No network window: the dialog starts where it likes.
    const std::optional<std::string> path = mServices.files.openNetwork(this, std::string());
    if (!path)
        return;
    openDocumentFile(*path);
}

void CMainFrame::about()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void CMainFrame::updateMenus()
{
    CBriscoView* view = activeView();
    CChildFrame* child = activeChild();
    FrameState state;
    state.window = view != nullptr;
    state.pagePreview = view && view->pagePreview();
    state.networkLoaded = view && view->networkLoaded();
    state.resultsShown = child && child->resultsShown();
    state.windows = int(mMdiArea->subWindowList().size());
    state.comparisonShown = child && child->comparisonShown();
    state.water = child && child->document().doc().isWater();
    state.fireRun = child && escapeAvailable(child->document().doc());
    action("open")->setText(QString::fromStdString(openCommandText(state)));
    for (const CommandState& c : frameCommandStates(state)) {
        QAction* a = action(c.name);
        a->setEnabled(c.enabled);
        if (a->isCheckable())
            a->setChecked(c.checked);
    }
    for (const CommandTip& tip : zoomTips(state)) {
        action(tip.name)->setToolTip(tip.tip);
        action(tip.name)->setStatusTip(tip.tip);
    }
    for (const EditCommand& e : kEditCommands) {
        QAction* a = action(e.name);
        a->setEnabled(view && view->editCommandEnabled(e.id));
        a->setChecked(view && view->editCommandChecked(e.id));
    }
    mUndoGroup->setActiveStack(child ? &child->document().undoStack() : nullptr);
    updateRecentMenu();
}

// --- recent files ----------------------------------------------------------------

QStringList CMainFrame::recentFiles() const
{
    QStringList paths;
    for (const std::string& path : mRecent.paths())
        paths.push_back(QString::fromStdString(path));
    return paths;
}

void CMainFrame::noteRecentFile(const QString& path)
{
    if (mRecent.note(QFileInfo(path).absoluteFilePath().toStdString()))
        updateRecentMenu();
}

void CMainFrame::forgetRecentFile(const QString& path)
{
    if (mRecent.forget(QFileInfo(path).absoluteFilePath().toStdString()))
        updateRecentMenu();
}

void CMainFrame::updateRecentMenu()
{
    const QStringList paths = recentFiles();
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        QAction* a = mRecentActions[i];
        a->setVisible(i < paths.size());
        if (i < paths.size()) {
            const std::string shown = QDir::toNativeSeparators(paths[i]).toStdString();
            a->setText(QString::fromStdString(RecentFiles::entryText(i, shown)));
            a->setData(paths[i]);
        }
    }
    mRecentActions.back()->setVisible(!paths.isEmpty());  // the separator
}

// --- drops and closing -------------------------------------------------------------

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), isNetworkFile))
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls())
        if (isNetworkFile(url))
            openDocumentFile(url.toLocalFile().toStdString());
    event->acceptProposedAction();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    ChildWindows windows(*mMdiArea);
    if (!closeAllWindows(windows)) {
        event->ignore();
        updateMenus();
        return;
    }
    writePlacement(mServices.profile, kWindowPlacementSection,
                   placementOf(*this, isMaximized() || isMinimized() ? normalGeometry() : geometry()));
    killTimer(mClockTimer);
    event->accept();
}

}  // namespace orvex::gui
