#include "viewerwindow.h"

#include <QAction>
#include <algorithm>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>

#include "plotwidget.h"
#include "pointtablemodel.h"

namespace orvex::vistrel {

namespace {

const QString kProgramTitle = QStringLiteral("Fan curves");

}  // namespace

// --- prompts ------------------------------------------------------------------------

void DialogPrompts::warn(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, kProgramTitle, text);
}

QString DialogPrompts::fileToOpen(QWidget* parent, const QString& folder)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open fan curve file"), folder,
                                        QStringLiteral("Fan curve files (*.fan);;All files (*)"));
}

QString DialogPrompts::imageToSave(QWidget* parent, const QString& suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export plot as PNG"), suggested,
                                        QStringLiteral("PNG images (*.png)"));
}

// --- the window ---------------------------------------------------------------------

ViewerWindow::ViewerWindow(const AxisUnits& units, ViewerPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), mUnits(units), mPrompts(prompts)
{
    createActions();
    createMenus();
    createCentre();
    mStatus = new QLabel(this);
    statusBar()->addWidget(mStatus, 1);
    showNothing(QStringLiteral("No fan curve file is open.\nChoose one with File > Open…"));
    resize(1200, 780);
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::createActions()
{
    mOpenAction = new QAction(QStringLiteral("&Open…"), this);
    mOpenAction->setShortcut(QKeySequence::Open);
    mOpenAction->setObjectName(QStringLiteral("open"));
    connect(mOpenAction, &QAction::triggered, this, &ViewerWindow::openCommand);

    mExportAction = new QAction(QStringLiteral("&Export plot as PNG…"), this);
    mExportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mExportAction->setObjectName(QStringLiteral("exportPng"));
    connect(mExportAction, &QAction::triggered, this, &ViewerWindow::exportCommand);

    mQuitAction = new QAction(QStringLiteral("&Quit"), this);
    mQuitAction->setShortcut(QKeySequence::Quit);
    mQuitAction->setObjectName(QStringLiteral("quit"));
    connect(mQuitAction, &QAction::triggered, this, &QWidget::close);
}

void ViewerWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(mOpenAction);
    file->addAction(mExportAction);
    file->addSeparator();
    file->addAction(mQuitAction);
}

void ViewerWindow::createCentre()
{
    // The plot takes what the table of points leaves.
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    mSplitter = splitter;
    mPlot = new PlotWidget(splitter);
    mModel = new PointTableModel(this);
    mTable = new QTableView(splitter);
    mTable->setObjectName(QStringLiteral("points"));
    mTable->setModel(mModel);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setAlternatingRowColors(true);
    mTable->verticalHeader()->hide();
    mTable->verticalHeader()->setDefaultSectionSize(mTable->fontMetrics().height() + 6);
    splitter->addWidget(mPlot);
    splitter->addWidget(mTable);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
}

bool ViewerWindow::openFile(const QString& path)
{
    ReadResult result = readFanCurveFile(path);
    if (!result.set) {
        mPrompts.warn(this, QStringLiteral("The fan curve file cannot be read.\n\n%1").arg(result.failure.text()));
        if (!mSet)
            showNothing(QStringLiteral("%1 could not be read.").arg(QFileInfo(path).fileName()));
        return false;
    }
    mSet = std::move(result.set);
    mPointProblems = mArgumentProblems;
    mMarked = pointsOfFans(*mSet, mPoints, mPointProblems);
    showCurves();
    return true;
}

void ViewerWindow::setOperatingPoints(const std::vector<OperatingPoint>& points, const QStringList& problems)
{
    mPoints = points;
    mArgumentProblems = problems;
    mPointProblems = problems;
}

void ViewerWindow::showCurves()
{
    const FanCurveSet& set = *mSet;
    const QString name = QFileInfo(set.path).fileName();
    setWindowTitle(QStringLiteral("%1 - %2").arg(kProgramTitle, name));

    PlotInput input{&set, mUnits, QStringLiteral("Fan characteristic curves - %1").arg(name), {}, mMarked};
    if (set.fans.empty())
        input.message = QStringLiteral("This file holds no fans.");
    else if (set.pointCount() == 0)
        input.message = QStringLiteral("The fans of this file have no characteristic points.");
    mPlot->setInput(input);
    mModel->setCurves(&set, mUnits);
    fitTable();

    QString status = set.fans.empty()
                         ? QStringLiteral("No fans in %1").arg(QDir::toNativeSeparators(set.path))
                         : QStringLiteral("%1 fan(s), %2 point(s) in %3")
                               .arg(set.fans.size())
                               .arg(set.pointCount())
                               .arg(QDir::toNativeSeparators(set.path));
    status += mUnits.source.isEmpty() ? QStringLiteral("; no units settings file found, axes without units")
                                      : QStringLiteral("; units from %1").arg(QDir::toNativeSeparators(mUnits.source));
    const auto marked = std::count_if(mMarked.begin(), mMarked.end(), [](const auto& p) { return p.has_value(); });
    if (marked > 0)
        status += QStringLiteral("; operating points of the last run marked for %1 fan(s)").arg(marked);
    if (!mPointProblems.isEmpty())
        status += QStringLiteral("; %1 operating point argument(s) left out: %2")
                      .arg(mPointProblems.size())
                      .arg(mPointProblems.front());
    mStatus->setText(status);
    mStatus->setToolTip(mPointProblems.join(QLatin1Char('\n')));
    mExportAction->setEnabled(true);
}

void ViewerWindow::showNothing(const QString& message)
{
    setWindowTitle(kProgramTitle);
    mPlot->setInput(PlotInput{nullptr, mUnits, {}, message, {}});
    mModel->setCurves(nullptr, mUnits);
    mStatus->setText(message.section(QLatin1Char('\n'), 0, 0));
    mExportAction->setEnabled(false);
}

// The table as wide as its columns, so that no number is cut.
void ViewerWindow::fitTable()
{
    mTable->resizeColumnsToContents();
    QHeaderView* header = mTable->horizontalHeader();
    int width = 2 * mTable->frameWidth() + mTable->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < header->count(); ++c) {
        header->resizeSection(c, header->sectionSize(c) + 12);
        width += header->sectionSize(c);
    }
    mTable->setMinimumWidth(std::min(width, 480));
    const int total = mSplitter->width();
    mSplitter->setSizes({std::max(total - width, 1), width});
}

QString ViewerWindow::statusText() const
{
    return mStatus->text();
}

bool ViewerWindow::exportPlot(const QString& path)
{
    QString error;
    if (savePlotPng(path, mPlot->input(), mPlot->size(), mPlot->devicePixelRatioF(), error))
        return true;
    mPrompts.warn(this, QStringLiteral("The plot cannot be written to %1.\n\n%2")
                            .arg(QDir::toNativeSeparators(path), error));
    return false;
}

void ViewerWindow::openCommand()
{
    const QString folder = mSet ? QFileInfo(mSet->path).absolutePath() : QDir::currentPath();
    const QString path = mPrompts.fileToOpen(this, folder);
    if (path.isEmpty())
        return;
    setOperatingPoints({}, {});
    openFile(path);
}

void ViewerWindow::exportCommand()
{
    if (!mSet)
        return;
    const QFileInfo shown(mSet->path);
    QString path = mPrompts.imageToSave(this, shown.absolutePath() + QLatin1Char('/') +
                                                  shown.completeBaseName() + QStringLiteral(".png"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    exportPlot(path);
}

}  // namespace orvex::vistrel
