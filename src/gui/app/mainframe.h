#pragma once

#include <QMainWindow>
#include <QStringList>
#include <ctime>
#include <string>

#include "view/viewservices.h"

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QUndoGroup;

// The main window: the workspace of network windows, the menus and tool
// bars, the status bar with its clock, the recent files, dropped networks,
// and closing every network window in turn when the program ends.
namespace orvex::gui {

class CBriscoView;
class CChildFrame;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The placement stored in the profile is taken at once; showAtStart()
    // shows the window in it.
    CMainFrame(ViewServices& services, bool splash, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // A new network window; its first update opens the pending file. When
    // that file cannot be opened the window goes again: nullptr.
    CChildFrame* newWindow();
    // Opens a network by name (command line, drop, recent files): the name
    // between the first and last double quote when it holds any.
    CChildFrame* openDocumentFile(const std::string& name);

    // Shows the window as the stored placement says, else as `given` says.
    void showAtStart(Qt::WindowStates given = Qt::WindowNoState);
    bool placementRestored() const { return mPlacementRestored; }

    QMdiArea* mdiArea() const { return mMdiArea; }
    QList<CChildFrame*> childFrames() const;
    CChildFrame* activeChild() const;
    CBriscoView* activeView() const;

    // The recent networks, newest first (at most four).
    QStringList recentFiles() const { return mRecentFiles; }
    // The clock panes as they read at `time`.
    void showClock(const std::tm& time);
    QString datePaneText() const;
    QString timePaneText() const;
    QString messagePaneText() const;

    // Actions by command: "new", "open", "save", "saveas", "print", "quit",
    // "displaysetting", "fit", "zoomin", "zoomout", "rightturn", "leftturn",
    // "update", "zoommouse", "info", "about", ...
    QAction* action(const QString& name) const;

public slots:
    void updateMenus();
    void open();
    void about();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QAction* makeAction(const QString& name, const QString& text, const QKeySequence& key = {},
                        const QString& tip = {});
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void readRecentFiles();
    void writeRecentFiles();
    void noteRecentFile(const QString& path);
    void forgetRecentFile(const QString& path);
    void updateRecentMenu();
    void updateLockPanes();
    void forActiveView(void (CBriscoView::*command)());
    // An edit command for the active view.
    void editCommand(int id);

    ViewServices& mServices;
    QMdiArea* mMdiArea = nullptr;
    QUndoGroup* mUndoGroup = nullptr;
    QDockWidget* mHistoryDock = nullptr;
    QMenu* mRecentMenu = nullptr;
    QMenu* mWindowMenu = nullptr;
    QList<QAction*> mRecentActions;
    QStringList mRecentFiles;
    QLabel* mMessagePane = nullptr;
    QLabel* mLockPanes[4] = {};
    QLabel* mDatePane = nullptr;
    QLabel* mTimePane = nullptr;
    int mClockTimer = 0;
    int mUntitled = 0;
    bool mPlacementRestored = false;
    int mRestoredShow = 1;
    QRect mRestoredGeometry;
};

// The text of a name handed to the program: between the first and the last
// double quote when it holds any, else all of it.
std::string unquotedName(const std::string& name);

}  // namespace orvex::gui
