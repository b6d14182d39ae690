// The results tables of a network window: the same numbers as the batch
// tool's report of the same run, numeric sorting, the fire columns, Copy and
// Export CSV (with the refusals), and the dock of the network window that
// opens after a run and marks the chosen road on the plan.
#include <QCheckBox>
#include <QMdiArea>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <map>
#include <sstream>

#include "analysis/quantities.h"
#include "app/childframe.h"
#include "dialogs/analysisrundialog.h"
#include "model/units.h"
#include "report.h"
#include "results/resultspanel.h"
#include "run/rundriver.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"
#include "view/qpaintercanvas.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// A network window in an MDI area, on a copy of a sample network or on
// files written for the test.
struct Window {
    QTemporaryDir folder;
    AppContext app;
    MemoryProfile profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    ViewServices services{app, profile, reporter, files, {}, {}, nullptr};
    QMdiArea area;
    CChildFrame* frame = nullptr;

    explicit Window(const QString& name, const std::map<QString, QByteArray>& written = {})
    {
        copySample(name, folder.path());
        for (const auto& [file, bytes] : written) {
            QFile out(folder.filePath(file));
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        }
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
    ~Window()
    {
        delete view().analysisDialog();
    }
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

// One table of the batch tool's CSV report, by the first word of its header.
using CsvRow = std::map<std::string, std::string>;

std::vector<std::string> splitCsv(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += '"', ++i;
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::vector<CsvRow> reportTable(const CBriscoDoc& doc, const RunOutcome& outcome, const std::string& first)
{
    std::ostringstream out;
    cli::RunReport report;
    report.doc = &doc;
    report.outcome = outcome;
    cli::printReport(out, report, cli::Format::Csv);
    std::istringstream in(out.str());
    std::vector<CsvRow> rows;
    std::vector<std::string> header;
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            if (!header.empty())
                break;
            continue;
        }
        const std::vector<std::string> fields = splitCsv(line);
        if (header.empty()) {
            if (fields[0] == first)
                header = fields;
            continue;
        }
        CsvRow row;
        for (std::size_t c = 0; c < header.size() && c < fields.size(); ++c)
            row[header[c].substr(0, header[c].find(' '))] = fields[c];
        rows.push_back(row);
    }
    return rows;
}

double cellValue(const QAbstractItemModel& shown, int row, int column)
{
    return shown.index(row, column).data(kSortRole).toDouble();
}

// Pixels of about the colour: the plan is drawn smoothed, so a thin line
// in the colour is mostly blended with the background.
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
    void fireColumnsAfterAFireRun();
    void copyAndExport();
    void dockOpensAfterARunAndMarksThePlan();
    void rowsFollowTheNetwork();
    void fanThatCannotStart();
};

void ResultsTest::tablesMatchTheBatchReport()
{
    Window w("mine");
    QVERIFY(w.view().networkLoaded());
    QVERIFY(!w.frame->resultsShown());
    w.run();
    QVERIFY(w.frame->resultsShown());
    CBriscoDoc& doc = w.doc();
    RunOutcome outcome;
    outcome.result = 1;
    ResultsPanel& panel = w.panel();

    // Roads by airflow, largest first: the report's flows in the same order.
    RoadResultsModel& roads = panel.roads();
    const int flowColumn = roads.section(RoadResultsModel::Column::Airflow);
    QVERIFY(flowColumn > 0);
    QVERIFY(roads.headerData(flowColumn, Qt::Horizontal).toString().contains(
        QString::fromStdString(doc.app().units.flowUnitName.str())));
    QAbstractItemModel& shown = *panel.shownModel(ResultsPanel::Tab::Roads);
    panel.view(ResultsPanel::Tab::Roads)->sortByColumn(flowColumn, Qt::DescendingOrder);
    std::vector<CsvRow> report = reportTable(doc, outcome, "index");
    QCOMPARE(shown.rowCount(), int(report.size()));
    std::sort(report.begin(), report.end(),
              [](const CsvRow& a, const CsvRow& b) { return std::stod(a.at("flow")) > std::stod(b.at("flow")); });
    const int numberColumn = roads.section(RoadResultsModel::Column::Number);
    const int lossColumn = roads.section(RoadResultsModel::Column::PressureLoss);
    for (int r = 0; r < shown.rowCount(); ++r) {
        QVERIFY2(std::abs(cellValue(shown, r, flowColumn) - std::stod(report[std::size_t(r)].at("flow"))) < 5e-4,
                 qPrintable(QString("row %1").arg(r)));
        // the same road carries that flow in the report
        const CsvRow& same = report[std::size_t(std::find_if(report.begin(), report.end(), [&](const CsvRow& row) {
                                                    return std::stoi(row.at("index")) ==
                                                           int(cellValue(shown, r, numberColumn));
                                                }) - report.begin())];
        QVERIFY(std::abs(cellValue(shown, r, flowColumn) - std::stod(same.at("flow"))) < 5e-4);
        QVERIFY(std::abs(cellValue(shown, r, lossColumn) - std::stod(same.at("pressureLoss"))) < 5e-4);
    }

    // Node numbers sort as numbers, and the relative pressures are the
    // batch tool's (which computes them into the nodes' shown values).
    NodeResultsModel& nodes = panel.nodes();
    QAbstractItemModel& shownNodes = *panel.shownModel(ResultsPanel::Tab::Nodes);
    panel.view(ResultsPanel::Tab::Nodes)->sortByColumn(0, Qt::AscendingOrder);
    for (int r = 1; r < shownNodes.rowCount(); ++r)
        QVERIFY(cellValue(shownNodes, r - 1, 0) < cellValue(shownNodes, r, 0));
    computeRelativePressures(doc);
    const std::vector<CsvRow> reportNodes = reportTable(doc, outcome, "number");
    QCOMPARE(nodes.rowCount(), int(reportNodes.size()));
    const int relative = nodes.section(NodeResultsModel::Column::RelativePressure);
    const int pressure = nodes.section(NodeResultsModel::Column::Pressure);
    for (int r = 0; r < nodes.rowCount(); ++r) {
        const CsvRow& n = reportNodes[std::size_t(r)];
        QCOMPARE(int(cellValue(nodes, r, 0)), std::stoi(n.at("number")));
        QVERIFY(std::abs(cellValue(nodes, r, relative) - std::stod(n.at("relativePressure"))) < 1e-3);
        QVERIFY(std::abs(cellValue(nodes, r, pressure) - std::stod(n.at("pressure"))) < 1e-3);
    }

    // Fans: flow, pressure and air power as reported, settled on the curve.
    FanResultsModel& fans = panel.fans();
    const std::vector<CsvRow> reportFans = reportTable(doc, outcome, "inlet");
    QCOMPARE(fans.rowCount(), doc.fanCount);
    QVERIFY(doc.fanCount > 0);
    for (int r = 0; r < fans.rowCount(); ++r) {
        const CsvRow& f = reportFans[std::size_t(r)];
        QCOMPARE(int(cellValue(fans, r, fans.section(FanResultsModel::Column::Inlet))), std::stoi(f.at("inlet")));
        QVERIFY(std::abs(cellValue(fans, r, fans.section(FanResultsModel::Column::Airflow)) - std::stod(f.at("flow"))) < 1e-3);
        QVERIFY(std::abs(cellValue(fans, r, fans.section(FanResultsModel::Column::Power)) - std::stod(f.at("power"))) < 1e-3);
        QCOMPARE(fans.index(r, fans.section(FanResultsModel::Column::OperatingPoint)).data().toString(),
                 QString("on curve"));
    }
    // no fire columns after an airflow run
    QCOMPARE(roads.section(RoadResultsModel::Column::MeanTemperature), -1);
}

void ResultsTest::fireColumnsAfterAFireRun()
{
    Window w("minefire");
    w.doc().pauseFlag = 0;
    w.run();
    RoadResultsModel& roads = w.panel().roads();
    const int mean = roads.section(RoadResultsModel::Column::MeanTemperature);
    const int gas = roads.section(RoadResultsModel::Column::Gas);
    QVERIFY(mean > 0 && gas > 0);
    QVERIFY(roads.headerData(mean, Qt::Horizontal).toString().contains("°C"));
    RunOutcome outcome;
    outcome.fire = true;
    const std::vector<CsvRow> report = reportTable(w.doc(), outcome, "index");
    double hottest = 0;
    for (int r = 0; r < roads.rowCount(); ++r) {
        const CsvRow& road = report[std::size_t(r)];
        if (road.at("fixed") == "1") {
            QVERIFY(!roads.index(r, mean).data(kSortRole).isValid());  // empty, sorts last
            continue;
        }
        QVERIFY(std::abs(cellValue(roads, r, mean) - std::stod(road.at("meanTemperature"))) < 0.01);
        QVERIFY(std::abs(cellValue(roads, r, gas) - std::stod(road.at("gasConcentration"))) < 0.001);
        hottest = std::max(hottest, cellValue(roads, r, mean));
    }
    QVERIFY(hottest > 30);  // the fire warmed some road
}

void ResultsTest::copyAndExport()
{
    Window w("mine");
    w.run();
    ResultsPanel& panel = w.panel();
    QStringList errors;
    panel.setErrorSink([&](const QString& text) { errors << text; });
    panel.setCurrentTab(ResultsPanel::Tab::Nodes);

    // Copy: the header and every row when nothing is selected, else the selection.
    QStringList lines = panel.copyText().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), w.doc().nodeCount + 1);
    QVERIFY(lines[0].startsWith("Node\tPosition\tElevation (m)\tPressure ("));
    QTableView* table = panel.view(ResultsPanel::Tab::Nodes);
    table->selectRow(2);
    lines = panel.copyText().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].section('\t', 0, 0), QString::number(w.doc().nodes[3].number));

    // Export: the shown order, written whole; a later failure leaves it.
    panel.setCurrentTab(ResultsPanel::Tab::Roads);
    QTemporaryDir out;
    const QString path = out.path() + "/roads.csv";
    panel.setExportPathChooser([&] { return path; });
    QVERIFY(panel.exportCsv());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();
    QCOMPARE(QString::fromUtf8(written), panel.csvText());
    QCOMPARE(written.count('\n'), w.doc().totalRoads() + 1);
    QVERIFY(errors.isEmpty());

    panel.setExportPathChooser([&] { return out.path(); });  // a folder
    QVERIFY(!panel.exportCsv());
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(out.path()));
    panel.setExportPathChooser([&] { return out.path() + "/missing/roads.csv"; });
    QVERIFY(!panel.exportCsv());
    QCOMPARE(errors.size(), 2);
    QVERIFY(!QFile::exists(out.path() + "/missing"));
    panel.setExportPathChooser([] { return QString(); });  // cancelled
    QVERIFY(!panel.exportCsv());
    QCOMPARE(errors.size(), 2);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), written);
}

void ResultsTest::dockOpensAfterARunAndMarksThePlan()
{
    Window w("mine");
    w.run();
    QVERIFY(w.frame->resultsShown());
    CBriscoView& view = w.view();
    const QRgb strong = toQColor(view.plan().settings.colours.strong).rgb();
    QCOMPARE(pixelsOf(view.backingImage(), strong), 0);

    // Choosing a road row marks that road, in whatever order the table shows.
    ResultsPanel& panel = w.panel();
    QTableView* table = panel.view(ResultsPanel::Tab::Roads);
    const int flowColumn = panel.roads().section(RoadResultsModel::Column::Airflow);
    table->sortByColumn(flowColumn, Qt::DescendingOrder);
    QSignalSpy chosen(&panel, &ResultsPanel::roadSelected);
    table->selectRow(0);
    QCOMPARE(chosen.size(), 1);
    const int road = chosen[0][0].toInt();
    QCOMPARE(int(cellValue(*table->model(), 0, 0)), road);
    QCOMPARE(view.markKind(), CBriscoView::MarkKind::Road);
    QCOMPARE(view.markedElement(), road);
    const int marked = pixelsOf(view.backingImage(), strong);
    QVERIFY(marked > 30);
    // it stays through a full redraw
    view.updateScreen();
    QCOMPARE(pixelsOf(view.backingImage(), strong), marked);

    // A node from the nodes tab replaces it.
    panel.setCurrentTab(ResultsPanel::Tab::Nodes);
    panel.view(ResultsPanel::Tab::Nodes)->selectRow(0);
    QCOMPARE(view.markKind(), CBriscoView::MarkKind::Node);
    QVERIFY(pixelsOf(view.backingImage(), strong) > 0);

    // Hiding the dock takes the mark away; a refresh after it keeps the rows.
    w.frame->showResults(false);
    QVERIFY(!w.frame->resultsShown());
    QCOMPARE(view.markKind(), CBriscoView::MarkKind::None);
    QCOMPARE(pixelsOf(view.backingImage(), strong), 0);
    w.frame->showResults(true);
    QCOMPARE(panel.roads().rowCount(), w.doc().totalRoads());
}

// Edits after a run: the rows are those of the network as it stands, and
// the dock's title says that it is not the network of the run, until it is
// that again or the next run.
void ResultsTest::rowsFollowTheNetwork()
{
    Window w("mine");
    w.run();
    ResultsDock& dock = *w.frame->resultsDock();
    ResultsPanel& panel = w.panel();
    QUndoStack& history = w.frame->document().undoStack();
    const QString changed = "Results (the network has changed since this run)";
    const auto fanInlets = [&] {
        QList<int> inlets;
        for (int row = 0; row < panel.fans().rowCount(); ++row)
            inlets << panel.fans().index(row, panel.fans().section(FanResultsModel::Column::Inlet)).data().toInt();
        return inlets;
    };
    QCOMPARE(std::pair(dock.windowTitle(), fanInlets()), std::pair(QString("Results"), QList<int>({10, 330})));
    panel.view(ResultsPanel::Tab::Fans)->selectRow(0);
    QCOMPARE(w.view().markKind(), CBriscoView::MarkKind::Fan);

    w.view().editor().operations().deleteFan(1);
    QCOMPARE(std::pair(dock.windowTitle(), fanInlets()), std::pair(changed, QList<int>({330})));
    QCOMPARE(w.view().markKind(), CBriscoView::MarkKind::None);
    history.undo();
    QCOMPARE(std::pair(dock.windowTitle(), fanInlets()), std::pair(QString("Results"), QList<int>({10, 330})));
    history.redo();
    QCOMPARE(dock.windowTitle(), changed);
    w.run();
    QCOMPARE(std::pair(dock.windowTitle(), fanInlets()), std::pair(QString("Results"), QList<int>({330})));
}

// A fan whose shut-off pressure of 1500 Pa is below the suction of the main
// fan at its inlet, blowing to a surface node 20 m higher, cannot start; the
// Fans tab says so and why, not "on curve". The relaxation, chosen, never
// settles it; the Newton method after it does.
void ResultsTest::fanThatCannotStart()
{
    Window w("nostart",
             {{"nostart.vad",
               "[ORVEX network]A fan that cannot start\nsecond heading\nsurface nodes\n3\n1 0  2 20  3 0\n"
               "underground nodes\n3\n10 0  11 0  12 0\nroads\n3\n1 10 2 20 10 100 2\n10 11 0.05 20 10 100 2\n"
               "11 12 0.05 20 10 100 2\nfixed-flow roads\n0\nfans\n2\nFan: main\n12 3 6 1000\n"
               "3000 2800 2400 1800 1000 0\nFan: small\n10 2 3 1000\n1500 1000 0\nnetwork kind\n0 0 0\n"
               "surface temperature\n10\nend of data &\n"},
              {"nostart.jpd", "1 0 0\n2 0 100\n3 300 0\n10 100 0\n11 200 0\n12 300 100\n"}});
    QVERIFY(w.view().networkLoaded());
    writeSolverMethod(w.profile, SolverMethod::Relaxation);
    w.run();
    FanResultsModel& fans = w.panel().fans();
    QCOMPARE(fans.rowCount(), 2);
    const int point = fans.section(FanResultsModel::Column::OperatingPoint);
    QCOMPARE(fans.index(0, point).data().toString(), QString("on curve"));
    QCOMPARE(fans.index(1, point).data().toString(), QString("held at zero flow: shut-off pressure below what it faces"));
    QCOMPARE(fans.index(1, fans.section(FanResultsModel::Column::Airflow)).data().toString(), QString("0.000"));
    QVERIFY(w.reporter.said("Fan 10-2 cannot start"));
}

QTEST_MAIN(ResultsTest)
#include "results_test.moc"
