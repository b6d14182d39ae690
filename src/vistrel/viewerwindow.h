#pragma once

#include <QMainWindow>
#include <optional>

#include "axisunits.h"
#include "fancurvefile.h"
#include "operatingpoints.h"

class QAction;
class QLabel;
class QSplitter;
class QTableView;

// The main window: the plot of the curves above, the table of their points
// below, a File menu to open another file, export the plot and quit.
namespace orvex::vistrel {

class PlotWidget;
class PointTableModel;

// Where the window asks the person: message boxes and file dialogs. Tests
// put a script in their place.
class ViewerPrompts {
public:
    virtual ~ViewerPrompts() = default;
    // A warning with an OK button; returns when it was closed.
    virtual void warn(QWidget* parent, const QString& text) = 0;
    // A fan curve file to open, or empty when the dialog was cancelled.
    virtual QString fileToOpen(QWidget* parent, const QString& folder) = 0;
    // The PNG file to export to, or empty when the dialog was cancelled.
    virtual QString imageToSave(QWidget* parent, const QString& suggested) = 0;
};

// Message boxes and the platform's file dialogs.
class DialogPrompts : public ViewerPrompts {
public:
    void warn(QWidget* parent, const QString& text) override;
    QString fileToOpen(QWidget* parent, const QString& folder) override;
    QString imageToSave(QWidget* parent, const QString& suggested) override;
};

class ViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    ViewerWindow(const AxisUnits& units, ViewerPrompts& prompts, QWidget* parent = nullptr);
    ~ViewerWindow() override;

    // Reads and shows a fan curve file. When it cannot be read, the person
    // is told which file and line, and what was shown stays; false then.
    bool openFile(const QString& path);
    // The operating points to mark on the file opened next by openFile(),
    // and the problems of the arguments they came from. A file chosen with
    // File > Open is another network's: its fans get no points.
    void setOperatingPoints(const std::vector<OperatingPoint>& points, const QStringList& problems);
    // The problems of the arguments, then those of matching the points to
    // the fans of the file shown.
    const QStringList& pointProblems() const { return mPointProblems; }
    // Writes the plot as shown to a PNG file of the plot's size; false after
    // telling the person why it could not be written.
    bool exportPlot(const QString& path);

    // The file shown, if any.
    const FanCurveSet* curves() const { return mSet ? &*mSet : nullptr; }
    PlotWidget* plot() const { return mPlot; }
    QTableView* table() const { return mTable; }
    PointTableModel* pointModel() const { return mModel; }
    QString statusText() const;

private:
    void createActions();
    void createMenus();
    void createCentre();
    void showCurves();
    void showNothing(const QString& message);
    void fitTable();

    void openCommand();
    void exportCommand();

    AxisUnits mUnits;
    ViewerPrompts& mPrompts;
    std::optional<FanCurveSet> mSet;
    std::vector<OperatingPoint> mPoints;
    QStringList mArgumentProblems, mPointProblems;
    std::vector<std::optional<CurvePoint>> mMarked;  // per fan of mSet

    QSplitter* mSplitter = nullptr;
    PlotWidget* mPlot = nullptr;
    QTableView* mTable = nullptr;
    PointTableModel* mModel = nullptr;
    QLabel* mStatus = nullptr;
    QAction* mOpenAction = nullptr;
    QAction* mExportAction = nullptr;
    QAction* mQuitAction = nullptr;
};

}  // namespace orvex::vistrel
