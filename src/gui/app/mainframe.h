#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/statuspanes.h"
#include "control/exchange.h"
#include "control/framerecent.h"
#include "view/viewservices.h"

class QAction;
class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
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

    QMdiArea* mdiArea() const { return mMdiArea; }
    QList<CChildFrame*> childFrames() const;
    CChildFrame* activeChild() const;
    CBriscoView* activeView() const;

    // The recent networks, newest first (at most four).
    QStringList recentFiles() const;
    StatusPanes& statusPanes() { return *mPanes; }

    // Actions by command: "new", "open", "save", "saveas", "print", "quit",
    // "displaysetting", "fit", "zoomin", "zoomout", "rightturn", "leftturn",
    // "update", "zoommouse", "info", "about", ...
    QAction* action(const QString& name) const;

    // "Compare with…" asks which network is the base: the other windows
    // (their titles) then a network file (the last entry); -1 cancels. By
    // default a list dialog.
    void setComparisonChooser(std::function<int(const QStringList&)> chooser) { mChooseBase = std::move(chooser); }
    // A drawing's import asks for its layers and road values; by default the
    // import dialog. nullopt cancels.
    using DxfOptionsChooser =
        std::function<std::optional<exchange::DxfImportOptions>(const std::vector<std::string>& layers)>;
    void setDxfOptionsChooser(DxfOptionsChooser chooser) { mDxfOptions = std::move(chooser); }

public slots:
    void updateMenus();
    // Analysis > Compare with…, Clear comparison, Scenarios…
    void compareWith();
    void clearComparison();
    void openScenarios();
    // File > Import, Update from tables, File > Export
    void importFile(ExchangeFormat format);
    void updateFromTables();
    void exportFile(ExchangeFormat format);
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
    // The action runs the command on the active view, if any, then the
    // menus follow.
    void forward(QAction* a, std::function<void(CBriscoView&)> command);
    void createActions();
    void createViewActions();
    void createExchangeActions();
    std::optional<exchange::DxfImportOptions> askDxfOptions(const std::vector<std::string>& layers);
    template <typename Bar> void addActions(Bar* bar, std::initializer_list<const char*> names) const;
    void createMenus();
    void createToolBars();
    void noteRecentFile(const QString& path);
    void forgetRecentFile(const QString& path);
    void updateRecentMenu();

    ViewServices& mServices;
    QMdiArea* mMdiArea = nullptr;
    QUndoGroup* mUndoGroup = nullptr;
    QDockWidget* mHistoryDock = nullptr;
    QList<QAction*> mRecentActions;
    RecentFiles mRecent;
    std::unique_ptr<StatusPanes> mPanes;
    int mClockTimer = 0;
    int mUntitled = 0;
    std::function<int(const QStringList&)> mChooseBase;
    DxfOptionsChooser mDxfOptions;
    bool mPlacementRestored = false;
    int mRestoredShow = 1;
};

}  // namespace orvex::gui
