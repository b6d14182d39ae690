// The results dock of a network window: it opens after a run with the
// tables of the network, copies and exports what it shows, marks the
// chosen row's element on the plan, and follows edits of the network.
#include <QMdiArea>
#include <QTableView>
#include <QUndoStack>
#include <QtTest>

#include "app/childframe.h"
#include "results/resultspanel.h"
#include "support.h"
#include "view/displaytext.h"
#include "view/qpaintercanvas.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// A network window in an MDI area, on a copy of a sample network.
struct Window : NetworkWindow {
    QMdiArea area;
    CChildFrame* frame = nullptr;

    explicit Window(const QString& name)
    {
        copySample(name, folder.path());
        app.pendingFile = folder.filePath(name + ".vad").toStdString();
        app.pending = true;
        area.resize(1200, 800);
        area.show();
        frame = new CChildFrame(services, 1);
        area.addSubWindow(frame);
        frame->showPlaced(area);
        frame->view()->initialUpdate();
    }
    ~Window() { delete frame->view()->analysisDialog(); }
    CBriscoView& view() { return *frame->view(); }
    CBriscoDoc& doc() { return frame->document().doc(); }
    ResultsPanel& panel() { return frame->resultsDock()->panel(); }
    void run()  // Start in the analysis dialog, the run to its end, the dialog closed
    {
        view().openAnalysisDialog();
        click(*view().analysisDialog(), "start");
        click(*view().analysisDialog(), "close");
        QTRY_VERIFY(!view().analysisDialog());
    }
};

double cellValue(const QAbstractItemModel& shown, int row, int column)
{
    return shown.index(row, column).data(kSortRole).toDouble();
}

// Pixels of about the colour: the plan is drawn smoothed.
int pixelsOf(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - qRed(colour)) < 80 && std::abs(qGreen(p) - qGreen(colour)) < 80 &&
                 std::abs(qBlue(p) - qBlue(colour)) < 80;
        }
    return n;
}

}  // namespace

class ResultsTest : public QObject {
    Q_OBJECT

private slots:
    void dockShowsTheTablesAfterARun();
    void copyAndExport();
    void chosenRowMarksThePlan();
    void rowsFollowTheNetwork();
};

// After a run the dock shows the core's tables of the document as they
// stand, with the fire columns after a fire run.
void ResultsTest::dockShowsTheTablesAfterARun()
{
    for (const char* sample : {"mine", "minefire"}) {
        Window w(sample);
        w.doc().pauseFlag = 0;
        QVERIFY(!w.frame->resultsShown());
        w.run();
        QVERIFY(w.frame->resultsShown());
        for (const ResultsTab tab : {ResultsTab::Roads, ResultsTab::Nodes, ResultsTab::Fans}) {
            const ResultsTable expected =
                resultsTable(tab, w.doc(), [](const std::string& text) { return displayText(text).toStdString(); });
            const QAbstractItemModel& shown = w.panel().model(tab);
            QCOMPARE(shown.rowCount(), int(expected.rows.size()));
            QCOMPARE(shown.columnCount(), int(expected.columns.size()));
            for (int r = 0; r < shown.rowCount(); ++r)
                for (int c = 0; c < shown.columnCount(); ++c)
                    QCOMPARE(shown.index(r, c).data().toString().toStdString(),
                             expected.rows[std::size_t(r)][std::size_t(c)].text);
        }
    }
}

void ResultsTest::copyAndExport()
{
    Window w("mine");
    w.run();
    ResultsPanel& panel = w.panel();
    QStringList errors;
    panel.setErrorSink([&](const QString& text) { errors << text; });
    // Copy: the header and the selection, else every row.
    panel.setCurrentTab(ResultsPanel::Tab::Nodes);
    QCOMPARE(panel.copyText().count('\n'), w.doc().nodeCount + 1);
    panel.view(ResultsPanel::Tab::Nodes)->selectRow(2);
    const QStringList lines = panel.copyText().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].section('\t', 0, 0), QString::number(w.doc().nodes[3].number));

    // Export: the shown table written whole; a later failure leaves it.
    panel.setCurrentTab(ResultsPanel::Tab::Roads);
    QTemporaryDir out;
    const QString path = out.path() + "/roads.csv";
    panel.setExportPathChooser([&] { return path; });
    QVERIFY(panel.exportCsv());
    const QByteArray written = contents(path);
    QCOMPARE(QString::fromUtf8(written), panel.csvText());
    QCOMPARE(written.count('\n'), w.doc().totalRoads() + 1);
    for (const QString& refused : {out.path(), out.path() + "/missing/roads.csv", QString()}) {
        panel.setExportPathChooser([&] { return refused; });
        QVERIFY(!panel.exportCsv());
    }
    QCOMPARE(errors.size(), 2);  // the cancelled choice says nothing
    QVERIFY(errors[0].contains(out.path()));
    QVERIFY(!QFile::exists(out.path() + "/missing"));
    QCOMPARE(contents(path), written);
}

void ResultsTest::chosenRowMarksThePlan()
{
    Window w("mine");
    w.run();
    CBriscoView& view = w.view();
    const QRgb strong = toQColor(view.plan().settings.colours.strong).rgb();
    QCOMPARE(pixelsOf(view.backingImage(), strong), 0);

    // A row of the sorted table marks the road it shows, not the road of
    // its row number.
    ResultsPanel& panel = w.panel();
    QTableView* table = panel.view(ResultsPanel::Tab::Roads);
    const int flow = panel.model(ResultsTab::Roads).section(RoadColumn::Airflow);
    table->sortByColumn(flow, Qt::AscendingOrder);
    for (int r = 1; r < table->model()->rowCount(); ++r)  // by value, not by text
        QVERIFY(cellValue(*table->model(), r - 1, flow) <= cellValue(*table->model(), r, flow));
    int row = 0;
    while (int(cellValue(*table->model(), row, 0)) == row + 1)
        ++row;
    table->selectRow(row);
    QCOMPARE(view.markKind(), CBriscoView::MarkKind::Road);
    QCOMPARE(view.markedElement(), int(cellValue(*table->model(), row, 0)));
    const int marked = pixelsOf(view.backingImage(), strong);
    QVERIFY(marked > 30);
    view.updateScreen();  // it stays through a full redraw
    QCOMPARE(pixelsOf(view.backingImage(), strong), marked);

    panel.setCurrentTab(ResultsPanel::Tab::Nodes);
    panel.view(ResultsPanel::Tab::Nodes)->selectRow(0);
    QCOMPARE(std::pair(view.markKind(), view.markedElement()), std::pair(CBriscoView::MarkKind::Node, 1));
    // Hiding the dock takes the mark away.
    w.frame->showResults(false);
    QCOMPARE(view.markKind(), CBriscoView::MarkKind::None);
    QCOMPARE(pixelsOf(view.backingImage(), strong), 0);
}

// Edits after a run: the rows are those of the network as it stands, and
// the dock's title says that it is not the network of the run, until it is
// that again or the next run.
void ResultsTest::rowsFollowTheNetwork()
{
    Window w("mine");
    w.run();
    ResultsDock& dock = *w.frame->resultsDock();
    const ResultsTableModel& fans = w.panel().model(ResultsTab::Fans);
    QUndoStack& history = w.frame->document().undoStack();
    const QString changed = "Results (the network has changed since this run)";
    const auto shown = [&] { return std::pair(dock.windowTitle(), fans.rowCount()); };
    QCOMPARE(shown(), std::pair(QString("Results"), 2));
    w.panel().view(ResultsPanel::Tab::Fans)->selectRow(1);
    QCOMPARE(std::pair(w.view().markKind(), w.view().markedElement()), std::pair(CBriscoView::MarkKind::Fan, 2));

    w.view().editor().operations().deleteFan(1);
    QCOMPARE(shown(), std::pair(changed, 1));
    QCOMPARE(w.view().markKind(), CBriscoView::MarkKind::None);
    history.undo();
    QCOMPARE(shown(), std::pair(QString("Results"), 2));
    history.redo();
    w.run();
    QCOMPARE(shown(), std::pair(QString("Results"), 1));
}

QTEST_MAIN(ResultsTest)
#include "results_test.moc"
