#include "app/mainframe.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUndoView>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/aboutdialog.h"
#include "app/childframe.h"
#include "app/icons.h"
#include "app/placement.h"
#include "app/splash.h"
#include "app/statuspanes.h"
#include "results/resultspanel.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

namespace orvex::gui {

namespace {

const QString kCaption = QStringLiteral("ORVEX for Windows");
const QString kIdleMessage = QStringLiteral("<  >");
const QString kOpenNoWindow = QStringLiteral("Open(&O)...\tCtrl+O");
const QString kOpenInWindow = QStringLiteral("Open(&O)\tCtrl+O");

// What zoom does: on the window it doubles or halves the scale; in page
// preview it makes the plan on the page a little larger or smaller.
struct ZoomTip {
    const char* action;
    const char* window;
    const char* pagePreview;
};
constexpr ZoomTip kZoomTips[] = {
    {"zoomin", "Zoom in: twice the scale",
     "Zoom in: the plan on the page a ninth larger; the page keeps its size"},
    {"zoomout", "Zoom out: half the scale",
     "Zoom out: the plan on the page a tenth smaller; the page keeps its size"},
};

// The framework's list of recently used networks, kept in the profile.
const std::string kRecentListSection = "Recent File List";
constexpr int kRecentFiles = 4;

bool isNetworkFile(const QUrl& url)
{
    return url.isLocalFile() && url.toLocalFile().endsWith(".vad", Qt::CaseInsensitive);
}

}  // namespace

std::string unquotedName(const std::string& name)
{
    const std::size_t first = name.find('"');
    if (first == std::string::npos)
        return name;
    const std::size_t last = name.rfind('"');
    return last > first ? name.substr(first + 1, last - first - 1) : name.substr(first + 1);
}

CMainFrame::CMainFrame(ViewServices& services, bool splash, QWidget* parent)
    : QMainWindow(parent), mServices(services)
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
    createStatusBar();
    readRecentFiles();

    if (splash) {
        auto* picture = new SplashWindow();
        picture->setAttribute(Qt::WA_DeleteOnClose);
        connect(picture, &SplashWindow::finished, this, [this] { update(); });
        picture->show();
    }

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    showClock(local);
    mClockTimer = startTimer(1000);

    if (const std::optional<WindowPlacement> stored = readPlacement(services.profile, kWindowPlacementSection)) {
        mPlacementRestored = true;
        mRestoredShow = stored->showCmd;
        if (const std::optional<QRect> frame = usableFrame(*stored, screenAreas()))
            mRestoredGeometry = *frame;
    }
    if (mRestoredGeometry.isValid()) {
        setGeometry(mRestoredGeometry);
    } else {
        // A first start, or a placement no screen shows: a good share of the first screen.
        const std::vector<QRect> areas = screenAreas();
        const QRect area = areas.empty() ? QRect(0, 0, 1280, 800) : areas.front();
        const QSize size(std::min(1280, area.width() * 9 / 10), std::min(860, area.height() * 9 / 10));
        setGeometry(QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
    }
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

void CMainFrame::forActiveView(void (CBriscoView::*command)())
{
    if (CBriscoView* view = activeView())
        (view->*command)();
    updateMenus();
}

namespace {

struct EditCommand {
    int id;
    const char* name;
    const char* text;
    const char* tip;
};

const EditCommand kEditCommands[] = {
    {command::kMakeNode, "makenode", "Make new node", "Click where the new node goes"},
    {command::kChangeNode, "changenode", "Change node data", "Drag a node to move it; double-click it for its data"},
    {command::kDeleteNode, "deletenode", "Delete node", "Double-click the node to delete"},
    {command::kMakeRoad, "makeroad", "Make new road", "Click the road's two nodes"},
    {command::kChangeRoad, "changeroad", "Change road data", "Click the road's two nodes"},
    {command::kDeleteRoad, "deleteroad", "Delete road", "Click the road's two nodes"},
    {command::kMakeFan, "makefan", "Make new fan", "Click the fan's inlet node, then its outlet node"},
    {command::kChangeFan, "changefan", "Change fan data", "Click the fan's two nodes"},
    {command::kDeleteFan, "deletefan", "Delete fan", "Click the fan's two nodes"},
    {command::kZoomWithMouse, "zoommouse", "Zoom in with mouse(&M)", ""},
};

}  // namespace

void CMainFrame::editCommand(int id)
{
    if (CBriscoView* view = activeView())
        view->editCommand(id);
    updateMenus();
}

void CMainFrame::createActions()
{
    connect(makeAction("new", "New(&N)\tCtrl+N", QKeySequence::New, "Open a new network window"),
            &QAction::triggered, this, [this] { newWindow(); });
    connect(makeAction("open", kOpenNoWindow, QKeySequence::Open, "Open a network"),
            &QAction::triggered, this, &CMainFrame::open);
    connect(makeAction("save", "Save(&w)\tCtrl+S", QKeySequence::Save, "Save the network"),
            &QAction::triggered, this, [this] {
                if (CBriscoView* view = activeView())
                    view->save();
                updateMenus();
            });
    connect(makeAction("saveas", "Save As(&S)", {}, "Save the network under a new name"),
            &QAction::triggered, this, [this] {
                if (CBriscoView* view = activeView())
                    view->saveAs();
                updateMenus();
            });
    // Printing: "Print" toggles the page preview, where the plan is placed
    // on the page and printed.
    QAction* print = makeAction("print", "Print(&P)\tCtrl+P", QKeySequence::Print, "Page preview and printing");
    print->setCheckable(true);
    const auto onView = [this](void (CBriscoView::*command)()) {
        return [this, command] {
            if (CBriscoView* view = activeView())
                (view->*command)();
            updateMenus();
        };
    };
    connect(print, &QAction::triggered, this, onView(&CBriscoView::togglePrint));
    connect(makeAction("startprinting", "start printing(&T)", {}, "Print the page"), &QAction::triggered, this,
            onView(&CBriscoView::startPrinting));
    connect(makeAction("printersetup", "printer setup(&C)", {}, "Choose the printer, the paper and its orientation"),
            &QAction::triggered, this, onView(&CBriscoView::printerSetup));
    connect(makeAction("exportplan", "Export plan...", {}, "Write the plan as the window shows it to PNG, PDF or SVG"),
            &QAction::triggered, this, onView(&CBriscoView::exportPlan));
    QAction* quit = makeAction("quit", "Quit(&X)", QKeySequence::Quit, "Close every network and quit");
    connect(quit, &QAction::triggered, this, &QWidget::close);

    // The edit modes: each command toggles its mode in the active view.
    for (const EditCommand& e : kEditCommands) {
        QAction* a = e.id == command::kZoomWithMouse ? nullptr : makeAction(e.name, e.text, {}, e.tip);
        if (!a)
            continue;
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, id = e.id] { editCommand(id); });
    }
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
    // Esc drops a half-made pick in the active view.
    auto* stop = new QAction(this);
    stop->setObjectName("stop");
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    stop->setShortcutContext(Qt::WindowShortcut);
    connect(stop, &QAction::triggered, this, [this] { editCommand(command::kStop); });
    addAction(stop);

    connect(makeAction("displaysetting", "Display Setting\tCtrl+G", QKeySequence("Ctrl+G"),
                       "Figure size, labels and colours of the plan"),
            &QAction::triggered, this, [this] { forActiveView(&CBriscoView::displaySetting); });
    connect(makeAction("fit", "Fit to window", {}, "Fit the plan to the window"), &QAction::triggered,
            this, [this] { forActiveView(&CBriscoView::fitToWindow); });
    connect(makeAction("zoomin", "Zoom in", QKeySequence::ZoomIn, "Double the scale"),
            &QAction::triggered, this, [this] { forActiveView(&CBriscoView::zoomIn); });
    connect(makeAction("zoomout", "Zoom out", QKeySequence::ZoomOut, "Halve the scale"),
            &QAction::triggered, this, [this] { forActiveView(&CBriscoView::zoomOut); });
    connect(makeAction("rightturn", "Right turn", {}, "Turn the plan 45 degrees clockwise"),
            &QAction::triggered, this, [this] { forActiveView(&CBriscoView::rightTurn); });
    connect(makeAction("leftturn", "Left turn", {}, "Turn the plan 45 degrees anticlockwise"),
            &QAction::triggered, this, [this] { forActiveView(&CBriscoView::leftTurn); });
    connect(makeAction("update", "Update\tF5", QKeySequence(Qt::Key_F5), "Redraw the plan from the network"),
            &QAction::triggered, this, [this] { forActiveView(&CBriscoView::updateScreen); });
    QAction* zoomMouse = makeAction("zoommouse", "Zoom in with mouse(&M)", {}, "Zoom into a rectangle drawn with the mouse");
    zoomMouse->setCheckable(true);
    connect(zoomMouse, &QAction::triggered, this, [this] { editCommand(command::kZoomWithMouse); });
    connect(makeAction("info", "Info", {}, "The network's title"), &QAction::triggered, this,
            [this] { forActiveView(&CBriscoView::info); });

    // The analysis commands come with the analysis dialog.
    connect(makeAction("analysis", "Standard(&A)\tCtrl+K", QKeySequence("Ctrl+K"), "Run the airflow analysis or the fire simulation"),
            &QAction::triggered, this, [this] { forActiveView(&CBriscoView::openAnalysisDialog); });
    // Commands that have never had anything to do.
    makeAction("continue", "Continue(&C)")->setEnabled(false);
    makeAction("frontonly", "Front only(&F)")->setEnabled(false);
    connect(makeAction("parameter", "Parameter(&P)", {}, "Solver and fire parameters"), &QAction::triggered,
            this, [this] { forActiveView(&CBriscoView::editParameters); });
    QAction* results = makeAction("results", "Results(&R)", {}, "The tables of the last run's results beside the plan");
    results->setCheckable(true);
    connect(results, &QAction::triggered, this, [this](bool shown) {
        if (CChildFrame* child = activeChild())
            child->showResults(shown);
        updateMenus();
    });
    connect(makeAction("fancurve", "Fan character display(&L)", {}, "Show the fans' characteristic curves"),
            &QAction::triggered, this, [this] { forActiveView(&CBriscoView::fanCharacterDisplay); });

    connect(makeAction("cascade", "Cascade(&C)"), &QAction::triggered, this, [this] { mMdiArea->cascadeSubWindows(); });
    connect(makeAction("tile", "Tile(&T)"), &QAction::triggered, this, [this] { mMdiArea->tileSubWindows(); });
    connect(makeAction("next", "Next(&N)", QKeySequence::NextChild), &QAction::triggered, mMdiArea,
            &QMdiArea::activateNextSubWindow);
    connect(makeAction("previous", "Previous(&P)", QKeySequence::PreviousChild), &QAction::triggered,
            mMdiArea, &QMdiArea::activatePreviousSubWindow);

    connect(makeAction("about", "About...(&A)", {}, "Program version and capacities"), &QAction::triggered,
            this, &CMainFrame::about);
}

void CMainFrame::createMenus()
{
    QMenu* file = menuBar()->addMenu("File(&F)");
    for (const char* name : {"new", "open", "save", "saveas"})
        file->addAction(action(name));
    file->addSeparator();
    file->addAction(action("print"));
    file->addAction(action("startprinting"));
    file->addAction(action("printersetup"));
    file->addAction(action("exportplan"));
    file->addSeparator();
    mRecentMenu = file;
    for (int i = 0; i < kRecentFiles; ++i) {
        auto* a = new QAction(this);
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, a] { openDocumentFile(a->data().toString().toStdString()); });
        file->addAction(a);
        mRecentActions.push_back(a);
    }
    mRecentActions.push_back(file->addSeparator());
    file->addAction(action("quit"));

    QMenu* edit = menuBar()->addMenu("Edit(&E)");
    edit->addAction(action("undo"));
    edit->addAction(action("redo"));
    edit->addAction(mHistoryDock->toggleViewAction());
    edit->addSeparator();
    for (const char* name : {"makenode", "changenode", "deletenode"})
        edit->addAction(action(name));
    edit->addSeparator();
    for (const char* name : {"makeroad", "changeroad", "deleteroad"})
        edit->addAction(action(name));
    edit->addSeparator();
    for (const char* name : {"makefan", "changefan", "deletefan"})
        edit->addAction(action(name));

    QMenu* display = menuBar()->addMenu("Display(&D)");
    display->addAction(action("displaysetting"));
    display->addSeparator();
    for (const char* name : {"fit", "zoomin", "zoomout", "zoommouse"})
        display->addAction(action(name));
    display->addSeparator();
    display->addAction(action("rightturn"));
    display->addAction(action("leftturn"));
    display->addSeparator();
    display->addAction(action("update"));
    display->addAction(action("info"));

    QMenu* analysis = menuBar()->addMenu("Analysis(&A)");
    QMenu* flow = analysis->addMenu("Flow(&F)");
    for (const char* name : {"analysis", "continue", "frontonly"})
        flow->addAction(action(name));
    analysis->addAction(action("parameter"));
    analysis->addAction(action("results"));
    analysis->addSeparator();
    analysis->addAction(action("fancurve"));

    mWindowMenu = menuBar()->addMenu("Window(&W)");
    for (const char* name : {"cascade", "tile", "next", "previous"})
        mWindowMenu->addAction(action(name));

    QMenu* help = menuBar()->addMenu("Help(&H)");
    help->addAction(action("about"));
}

void CMainFrame::createToolBars()
{
    QToolBar* main = addToolBar("Standard");
    main->setObjectName("standardToolBar");
    for (const char* name : {"new", "open", "save", "print"})
        main->addAction(action(name));
    main->addSeparator();
    for (const char* name : {"fit", "zoomin", "zoomout", "rightturn", "leftturn", "update", "displaysetting"})
        main->addAction(action(name));
    main->addSeparator();
    main->addAction(action("analysis"));
    main->addSeparator();
    main->addAction(action("about"));

    QToolBar* edit = addToolBar("Edit");
    edit->setObjectName("editToolBar");
    edit->addAction(action("undo"));
    edit->addAction(action("redo"));
    edit->addSeparator();
    for (const char* name : {"makenode", "changenode", "deletenode", "makeroad", "changeroad",
                             "deleteroad", "makefan", "changefan", "deletefan", "zoommouse"})
        edit->addAction(action(name));
}

void CMainFrame::createStatusBar()
{
    mMessagePane = new QLabel(kIdleMessage);
    mMessagePane->setObjectName("messagePane");
    statusBar()->addWidget(mMessagePane, 1);
    const char* locks[4] = {"KANA", "CAP", "NUM", "SCRL"};
    for (int i = 0; i < 4; ++i) {
        mLockPanes[i] = new QLabel(locks[i]);
        mLockPanes[i]->setObjectName(QString("lockPane") + locks[i]);
        mLockPanes[i]->setAlignment(Qt::AlignCenter);
        mLockPanes[i]->setMinimumWidth(mLockPanes[i]->fontMetrics().horizontalAdvance(locks[i]) + 8);
        statusBar()->addPermanentWidget(mLockPanes[i]);
    }
    mDatePane = new QLabel;
    mDatePane->setObjectName("datePane");
    mDatePane->setToolTip("Date");
    mTimePane = new QLabel;
    mTimePane->setObjectName("timePane");
    mTimePane->setToolTip("Time");
    statusBar()->addPermanentWidget(mDatePane);
    statusBar()->addPermanentWidget(mTimePane);
    updateLockPanes();
}

void CMainFrame::updateLockPanes()
{
    const LockStates s = readLockStates();
    const bool on[4] = {s.kana, s.caps, s.num, s.scroll};
    for (int i = 0; i < 4; ++i)
        mLockPanes[i]->setEnabled(on[i]);
}

void CMainFrame::showClock(const std::tm& time)
{
    // Each pane is as wide as its text.
    const auto set = [](QLabel* pane, const QString& text) {
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 6);
        pane->setText(text);
    };
    set(mDatePane, QString::fromLocal8Bit(dateText(time).c_str()));
    set(mTimePane, QString::fromStdString(timeText(time)));
}

QString CMainFrame::datePaneText() const { return mDatePane->text(); }
QString CMainFrame::timePaneText() const { return mTimePane->text(); }
QString CMainFrame::messagePaneText() const { return mMessagePane->text(); }

void CMainFrame::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != mClockTimer) {
        QMainWindow::timerEvent(event);
        return;
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    showClock(local);
    updateLockPanes();
}

// --- network windows -----------------------------------------------------------

QList<CChildFrame*> CMainFrame::childFrames() const
{
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* w : mMdiArea->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(w))
            frames.push_back(child);
    return frames;
}

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
    const bool preview = view && view->plan().geo.pagePreview;
    const bool usable = view && !preview;
    action("open")->setText(view ? kOpenInWindow : kOpenNoWindow);
    action("open")->setEnabled(!preview);
    for (const char* name : {"save", "saveas", "displaysetting", "fit", "rightturn", "leftturn", "update",
                             "analysis", "parameter", "fancurve"})
        action(name)->setEnabled(usable);
    for (const char* name : {"zoomin", "zoomout", "print", "exportplan"})
        action(name)->setEnabled(view != nullptr);
    for (const ZoomTip& tip : kZoomTips) {
        const QString text = QString::fromLatin1(preview ? tip.pagePreview : tip.window);
        action(tip.action)->setToolTip(text);
        action(tip.action)->setStatusTip(text);
    }
    action("print")->setChecked(preview);
    for (const char* name : {"startprinting", "printersetup"})
        action(name)->setEnabled(preview);
    action("info")->setEnabled(usable && view->networkLoaded());
    for (const EditCommand& e : kEditCommands) {
        QAction* a = action(e.name);
        a->setEnabled(view && view->editCommandEnabled(e.id));
        a->setChecked(view && view->editCommandChecked(e.id));
    }
    CChildFrame* active = activeChild();
    mUndoGroup->setActiveStack(active ? &active->document().undoStack() : nullptr);
    CChildFrame* child = activeChild();
    action("results")->setEnabled(child != nullptr);
    action("results")->setChecked(child && child->resultsShown());
    const bool several = mMdiArea->subWindowList().size() > 1;
    for (const char* name : {"cascade", "tile"})
        action(name)->setEnabled(view != nullptr);
    for (const char* name : {"next", "previous"})
        action(name)->setEnabled(several);
    updateRecentMenu();
}

// --- recent files ----------------------------------------------------------------

void CMainFrame::readRecentFiles()
{
    mRecentFiles.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const std::string path = mServices.profile.readString(kRecentListSection, "File" + std::to_string(i), "");
        if (!path.empty())
            mRecentFiles.push_back(QString::fromStdString(path));
    }
}

void CMainFrame::writeRecentFiles()
{
    for (int i = 1; i <= kRecentFiles; ++i) {
        const std::string entry = "File" + std::to_string(i);
        if (i <= mRecentFiles.size())
            mServices.profile.writeString(kRecentListSection, entry, mRecentFiles[i - 1].toStdString());
        else
            mServices.profile.removeEntry(kRecentListSection, entry);
    }
}

void CMainFrame::noteRecentFile(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (!mRecentFiles.isEmpty() && mRecentFiles.front() == full)
        return;
    mRecentFiles.removeAll(full);
    mRecentFiles.push_front(full);
    while (mRecentFiles.size() > kRecentFiles)
        mRecentFiles.pop_back();
    writeRecentFiles();
    updateRecentMenu();
}

void CMainFrame::forgetRecentFile(const QString& path)
{
    if (mRecentFiles.removeAll(QFileInfo(path).absoluteFilePath()) == 0)
        return;
    writeRecentFiles();
    updateRecentMenu();
}

void CMainFrame::updateRecentMenu()
{
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* a = mRecentActions[i];
        if (i < mRecentFiles.size()) {
            a->setText(QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(mRecentFiles[i])));
            a->setData(mRecentFiles[i]);
            a->setVisible(true);
        } else {
            a->setVisible(false);
        }
    }
    mRecentActions.back()->setVisible(!mRecentFiles.isEmpty());  // the separator
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
    // Every network window in turn, the active one first; Cancel keeps the
    // program running with the windows not yet closed.
    for (;;) {
        CChildFrame* child = activeChild();
        if (!child) {
            const QList<CChildFrame*> frames = childFrames();
            if (frames.isEmpty())
                break;
            child = frames.front();
        }
        if (child->view()->queryClose() == Answer::Cancel) {
            event->ignore();
            updateMenus();
            return;
        }
        delete child;
    }
    writePlacement(mServices.profile, kWindowPlacementSection,
                   placementOf(*this, isMaximized() || isMinimized() ? normalGeometry() : geometry()));
    killTimer(mClockTimer);
    event->accept();
}

}  // namespace orvex::gui
