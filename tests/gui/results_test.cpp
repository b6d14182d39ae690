// The results dock of a network window: it opens after a run with the
// batch report's numbers, copies and exports what it shows, marks the
// chosen row's element on the plan, and follows edits of the network.
#include <QMdiArea>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <map>
#include <sstream>

#include "app/childframe.h"
#include "dialogs/analysisrundialog.h"
#include "model/units.h"
#include "report.h"
#include "results/resultspanel.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"
#include "view/qpaintercanvas.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// A network window in an MDI area, on a copy of a sample network.
struct Window {
    QTemporaryDir folder;
    AppContext app;
    MemoryProfile profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    ViewServices services{app, profile, reporter, files, {}, {}, nullptr};
    QMdiArea area;
    CChildFrame* frame = nullptr;

    explicit Window(const QString& name)
    {
        copySample(name, folder.path());
        app.programFolder = sourceDir().toStdString();
        readUnitsFile(app.programFolder, app.units, reporter);
        app.pendingFile = (folder.path() + "/" + name + ".vad").toStdString();
        app.pending = true;
        area.resize(1200, 800);
        area.show();
        frame = new CChildFrame(services, 1);
        area.addSubWindow(frame);
        frame->showPlaced(area);
        frame->view()->initialUpdate();
    }
    ~Window() { delete view().analysisDialog(); }
    CBriscoView& view() { return *frame->view(); }
    CBriscoDoc& doc() { return frame->document().doc(); }
    ResultsPanel& panel() { return frame->resultsDock()->panel(); }
    // Start in the analysis dialog, the run to its end, the dialog closed.
    void run()
    {
        view().openAnalysisDialog();
        AnalysisRunDialog* dialog = view().analysisDialog();
        QVERIFY(dialog);
        dialog->findChild<QPushButton*>("start")->click();
        dialog->findChild<QPushButton*>("close")->click();
        QTRY_VERIFY(!view().analysisDialog());
    }
};

// The batch tool's CSV report of the document, one map per row of the
// table whose header starts with `first`, by the first word of each column.
std::vector<std::map<std::string, std::string>> reportTable(const CBriscoDoc& doc, bool fire, const std::string& first)
{
    std::ostringstream out;
    cli::RunReport report;
    report.doc = &doc;
    report.outcome.result = 1;
    report.outcome.fire = fire;
    cli::printReport(out, report, cli::Format::Csv);
    std::istringstream in(out.str());
    std::vector<std::map<std::string, std::string>> rows;
    QStringList header;
    for (std::string line; std::getline(in, line);) {
        const QStringList fields = QString::fromStdString(line).split(',');  // the compared fields hold no comma
        if (line.empty() && !header.isEmpty())
            break;
        if (header.isEmpty()) {
            if (fields[0].toStdString() == first)
                header = fields;
            continue;
        }
        auto& row = rows.emplace_back();
        for (int c = 0; c < header.size() && c < fields.size(); ++c)
            row[header[c].section(' ', 0, 0).toStdString()] = fields[c].toStdString();
    }
    return rows;
}

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
    void tablesMatchTheBatchReport();
    void copyAndExport();
    void chosenRowMarksThePlan();
    void rowsFollowTheNetwork();
};

void ResultsTest::tablesMatchTheBatchReport()
{
    for (const char* sample : {"mine", "minefire"}) {
        Window w(sample);
        w.doc().pauseFlag = 0;
        QVERIFY(!w.frame->resultsShown());
        w.run();
        QVERIFY(w.frame->resultsShown());
        const bool fire = hasFireResults(w.doc());
        QCOMPARE(fire, QString(sample) == "minefire");
        w.doc().computeRelativePressures();
        const struct {
            ResultsTab tab;
            const char* first;
            std::vector<std::pair<int, const char*>> columns;
        } tables[] = {
            {ResultsTab::Roads, "index",
             {{int(RoadColumn::Airflow), "flow"}, {int(RoadColumn::PressureLoss), "pressureLoss"},
              {int(RoadColumn::MeanTemperature), "meanTemperature"}, {int(RoadColumn::Gas), "gasConcentration"}}},
            {ResultsTab::Nodes, "number", {{int(NodeColumn::RelativePressure), "relativePressure"}}},
            {ResultsTab::Fans, "inlet", {{int(FanColumn::Airflow), "flow"}, {int(FanColumn::Power), "power"}}},
        };
        for (const auto& t : tables) {
            const ResultsTableModel& model = w.panel().model(t.tab);
            const auto report = reportTable(w.doc(), fire, t.first);
            QCOMPARE(model.rowCount(), int(report.size()));
            for (const auto& [id, key] : t.columns) {
                const int section = model.table().section(id);
                QCOMPARE(section >= 0, report[0].count(key) > 0);
                for (int r = 0; section >= 0 && r < model.rowCount(); ++r)  // empty cells aside
                    QVERIFY2(!model.index(r, section).data(kSortRole).isValid() ||
                                 std::abs(cellValue(model, r, section) - std::stod(report[std::size_t(r)].at(key))) < 0.01,
                             qPrintable(QString("%1 row %2").arg(key).arg(r)));
            }
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
    QVERIFY(lines[0].startsWith("Node\tPosition\t"));
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
    table->sortByColumn(panel.model(ResultsTab::Roads).section(RoadColumn::Airflow), Qt::AscendingOrder);
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
