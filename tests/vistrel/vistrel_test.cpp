// The fan curve viewer: the reader, the scales, the plot's layout and the
// point table checked as plain functions, table-driven; then the window on
// the file the network program writes, its commands and one picture.
#include <QHelpEvent>
#include <QAction>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <cmath>
#include <sys/stat.h>

#include "curveplot.h"
#include "fancurvefile.h"
#include "operatingpoints.h"
#include "plotwidget.h"
#include "pointtablemodel.h"
#include "viewerwindow.h"

using namespace orvex;
using namespace orvex::vistrel;

namespace {

const QString kSource = QStringLiteral(ORVEX_SOURCE_DIR);

// Warnings recorded, file dialogs answered from a script (empty: cancelled).
struct ScriptedPrompts : ViewerPrompts {
    void warn(QWidget*, const QString& text) override { warnings << text; }
    QString fileToOpen(QWidget*, const QString&) override { return opens.isEmpty() ? QString() : opens.takeFirst(); }
    QString imageToSave(QWidget*, const QString& suggested) override
    {
        suggestedImage = suggested;
        return saves.isEmpty() ? QString() : saves.takeFirst();
    }
    QStringList warnings, opens, saves;
    QString suggestedImage;
};

// Two fans as the network program writes them: headings "[ｺﾒﾝﾄ]fan1" and so on
// in half-width katakana and comments "コメント" in full width, in Shift-JIS.
const QByteArray kHeading = "[\xBA\xD2\xDD\xC4]fan";
const QByteArray kWritten = kHeading + "1\n" + kHeading + "2\n" + kHeading + "3\n* \x83\x52\x83\x81\x83\x93\x83\x67\n"
                            " 3  12 \n    0.00000  120.50\n    2.50000  100.00\n* x\n 7  8 \n    0.00000   50.00\n";

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// `count` fans: fan f has 5 + f % 3 points, steps of 100 + 50 (f % 3) and
// pressures falling from 1000 + 300 (f % 3); the first three never share a point.
FanCurveSet curves(int count)
{
    FanCurveSet set;
    set.path = QStringLiteral("curves.fan");
    for (int f = 0; f < count; ++f) {
        FanCurveData fan;
        fan.inlet = 10 * (f + 1);
        fan.outlet = fan.inlet + 1;
        for (int j = 0; j < 5 + f % 3; ++j)
            fan.points.push_back({j * (100.0 + 50 * (f % 3)), 1000 + 300 * (f % 3) - j * j * 25.0});
        set.fans.push_back(fan);
    }
    return set;
}

// The headings and one line per fan, "3-12 comment: 0/120.5 2.5/100"; or
// where reading stopped, "line 5: reason".
QString summary(const ReadResult& r)
{
    if (!r.set)
        return QStringLiteral("line %1: %2").arg(r.failure.line).arg(r.failure.reason);
    QStringList lines{r.set->headings.join('|')};
    for (const FanCurveData& fan : r.set->fans) {
        lines << fan.name() + ' ' + fan.comment + ':';
        for (const CurvePoint& p : fan.points)
            lines.back() += QStringLiteral(" %1/%2").arg(p.flow).arg(p.pressure);
    }
    return lines.join('\n');
}

QPoint pixelOf(const QPointF& p) { return QPoint(int(std::floor(p.x())), int(std::floor(p.y()))); }

}  // namespace

class VistrelTest : public QObject {
    Q_OBJECT
private slots:
    void reader_data();
    void reader();
    void filesAndArguments();
    void unitsOfTheAxes();
    void scales_data();
    void scales();
    void plotAndTable();
    void operatingPointMarks();
    void arguments_data();
    void arguments();
    void pointsOnTheFans();
    void window();
};

void VistrelTest::reader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QByteArray h = "h1\nh2\nh3\n", fan = h + "* c\n 3  12 \n";
    QByteArray points, fans = h;
    for (int j = 0; j <= 30; ++j)
        points += QByteArray::number(j * 2.5, 'f', 5) + " 100.00\n";
    for (int f = 1; f <= 50; ++f)
        fans += "* c\n " + QByteArray::number(f) + "  " + QByteArray::number(f + 100) + " \n";
    QTest::newRow("as the network program writes it") << kWritten
        << u"[ｺﾒﾝﾄ]fan1|[ｺﾒﾝﾄ]fan2|[ｺﾒﾝﾄ]fan3\n3-12 コメント: 0/120.5 2.5/100\n7-8 x: 0/50"_qs;
    QTest::newRow("CR LF, node 1499, no last line end")
        << QByteArray("h1\r\nh2\r\nh3\r\n*c\r\n 0 1499\r\n 1 2") << "h1|h2|h3\n0-1499 c: 1/2";
    QTest::newRow("not Shift-JIS: Latin-1") << h + "* caf\xE9 noir\n 1 2\n" << u"h1|h2|h3\n1-2 café noir:"_qs;
    QTest::newRow("no fans") << h << "h1|h2|h3";
    QTest::newRow("empty") << QByteArray() << "line 0: the file is empty";
    QTest::newRow("cut in the headings") << h.left(5) << "line 2: the file ends inside its three heading";
    QTest::newRow("cut after a comment") << h + "* c\n" << "line 4: the file ends after the comment line";
    QTest::newRow("one node number") << h + "* c\n 3 \n" << "line 5: expected the fan's inlet and outlet";
    QTest::newRow("node number 1500") << h + "* c\n 3  1500 \n" << "line 5: node number 1500 is outside 0..1499";
    QTest::newRow("not a finite number") << fan + "0  nan\n" << "line 6: expected an airflow and a pressure";
    QTest::newRow("three numbers") << fan + "0  1.0  2.0\n" << "line 6: expected an airflow and a pressure";
    QTest::newRow("31 points") << fan + points << "line 36: fan 3-12 has more than 30 points";
    QTest::newRow("a point before any fan") << h + "\n 0 1\n" << "line 5: expected the first fan's comment";
    QTest::newRow("two comments running") << h + "* a\n* b\n" << "line 5: a comment line where the node numbers"
                                                                 " of the fan begun on line 4";
    QTest::newRow("50 fans") << fans << "line 102: more than 49 fans";
}

void VistrelTest::reader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    if (expected.contains(u'ｺ') && !QStringDecoder("Shift_JIS").isValid())
        QSKIP("no Shift-JIS codec in this Qt");
    const QString got = summary(parseFanCurveText(bytes, "t.fan"));
    if (expected.startsWith("line "))
        QVERIFY2(got.startsWith(expected), qPrintable(got));
    else
        QCOMPARE(got, expected);
}

// What is no fan curve file is refused before it is read (a pipe would keep
// the reader waiting); the program's argument carries blanks as "*".
void VistrelTest::filesAndArguments()
{
    QTemporaryDir dir;
    const QString fifo = dir.path() + "/pipe.fan", large = dir.path() + "/large.fan";
    QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    writeBytes(large, QByteArray(int(kMaxFileBytes) + 1, '\n'));
    const std::pair<QString, QString> files[] = {{dir.path() + "/missing.fan", "not found"}, {dir.path(), "is a folder"},
                                                 {fifo, "is not an ordinary file"}, {large, "is 1048577 bytes long"}};
    for (const auto& [path, reason] : files) {
        const ReadResult r = readFanCurveFile(path);
        QVERIFY(!r.set);
        QVERIFY2(r.failure.text().startsWith(path + ": " + reason), qPrintable(r.failure.text()));
    }

    const QString starred = dir.path() + "/a*b.fan", blank = dir.path() + "/a b.fan";
    writeBytes(starred, {});
    QCOMPARE(pathFromArgument("/my*data/old*mine.fan"), QString("/my data/old mine.fan"));
    QCOMPARE(pathFromArgument(starred), starred);  // no "a b.fan": the name as it stands
    writeBytes(blank, {});
    QCOMPARE(pathFromArgument(starred), blank);
}

void VistrelTest::unitsOfTheAxes()
{
    const AxisUnits shipped = readAxisUnits(kSource.toStdString());
    QCOMPARE(QStringList({shipped.flowTitle(), shipped.pressureTitle(), shipped.source}),
             QStringList({"airflow (m3/min)", "pressure (Pa)", kSource + "/sdt/units.sdt"}));
    QTemporaryDir bare, installed;
    const AxisUnits none = readAxisUnits(bare.path().toStdString());
    QCOMPARE(QStringList({none.flowTitle(), none.pressureTitle(), none.source}),
             QStringList({"airflow", "pressure", ""}));

    // No program folder by the search: the folder this program lies in,
    // whose units file is cut short after the flow unit.
    QDir(installed.path()).mkdir("sdt");
    writeBytes(installed.path() + "/sdt/units.sdt", "h1\nh2\nh3\nflow\n1.0 m3/s\n");
    const AxisUnits found = findAxisUnits((installed.path() + "/vistrel").toStdString(), bare.path().toStdString(), {});
    QCOMPARE(QStringList({found.flow, found.pressure, found.source}),
             QStringList({"m3/s", "", installed.path() + "/sdt/units.sdt"}));
}

void VistrelTest::scales_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sample fan") << 0.0 << 3328.0 << "0..3500 by 500: 8 ticks";
    QTest::newRow("steps of 2") << 0.0 << 12.0 << "0..12 by 2: 7 ticks";
    QTest::newRow("below zero") << -52.0 << 125.0 << "-60..140 by 20: 11 ticks";
    QTest::newRow("tenths") << 0.0 << 0.6 << "0.0..0.6 by 0.1: 7 ticks";
    QTest::newRow("small airflows") << 0.0 << 0.0123 << "0.000..0.014 by 0.002: 8 ticks";
    QTest::newRow("one value") << 0.0 << 0.0 << "0.0..1.0 by 0.2: 6 ticks";
    QTest::newRow("beyond doubles") << -1.7e308 << 1.7e308 << "0.0..1.0 by 0.2: 6 ticks";
}

void VistrelTest::scales()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QString, expected);
    const AxisScale s = niceScale(low, high, 6);
    const std::vector<double> ticks = s.ticks();
    QCOMPARE(QStringLiteral("%1..%2 by %3: %4 ticks").arg(s.label(ticks.front()), s.label(ticks.back())).arg(s.step).arg(ticks.size()),
             expected);
    QCOMPARE(s.label(-s.step * 1e-9), s.label(0));  // never "-0"
}

// Three fans on 900 × 560 pixels, drawn at twice the pixel density: every
// point in its fan's colour inside the frame, found under the mouse, the
// highest below the frame's top; the table lists the points.
void VistrelTest::plotAndTable()
{
    for (int a = 0; a < kMaxFileFans; ++a)  // 49 colours, none too close to another
        for (int b = a + 1; b < kMaxFileFans; ++b) {
            const QColor x = fanColour(a), y = fanColour(b);
            QVERIFY(std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) + std::abs(x.blue() - y.blue()) >= 50);
        }

    const FanCurveSet set = curves(3);
    const PlotInput input{&set, readAxisUnits(kSource.toStdString()), set.path, {}, {}};
    const QRectF area(0, 0, 900, 560);
    const QImage image = plotImage(input, area.size().toSize(), 2);
    QCOMPARE(image.size(), QSize(1800, 1120));
    const PlotLayout layout(input, area);
    QVERIFY(area.contains(layout.legend()) && !layout.frame().intersects(layout.legend()));
    QVERIFY(layout.map({0, 1}).y() < layout.map({0, 0}).y() && layout.map({1, 0}).x() > layout.map({0, 0}).x());
    double top = area.bottom();
    for (int f = 0; f < 3; ++f) {
        const std::vector<CurvePoint>& points = set.fans[std::size_t(f)].points;
        for (int j = 0; j < int(points.size()); ++j) {
            const QPointF at = layout.map(points[std::size_t(j)]);
            QVERIFY(layout.frame().contains(at));
            top = std::min(top, at.y());
            QCOMPARE(image.pixelColor(pixelOf(at * 2)), fanColour(f));
            QCOMPARE(layout.pointAt(at + QPointF(2, -2)), std::optional(PointRef{f, j}));
        }
        const QRectF entry = layout.legendEntry(f);
        QCOMPARE(image.pixelColor(pixelOf(QPointF(entry.left() + 17, entry.center().y()) * 2)), fanColour(f));
    }
    QVERIFY(top > layout.frame().top() + 10);
    QCOMPARE(layout.pointAt(layout.frame().topRight() + QPointF(-3, 3)), std::nullopt);
    QCOMPARE(pointDescription(input, {1, 2}), QString("Fan 20-21, point 3 of 6\nairflow 300 m3/min\npressure 1200.00 Pa"));

    // 49 fans: the legend fills column after column beside the frame.
    const FanCurveSet many = curves(kMaxFileFans);
    const PlotLayout crowded(PlotInput{&many, {}, {}, {}, {}}, area);
    QVERIFY(!crowded.frame().intersects(crowded.legend()));
    for (int f = 0; f < kMaxFileFans; ++f)
        QVERIFY(crowded.legend().contains(crowded.legendEntry(f)));

    PointTableModel table;
    table.setCurves(&set, input.units);
    QCOMPARE(table.rowCount(), 5 + 6 + 7);
    QStringList row;  // fan 1's third point
    for (int c = 0; c < PointTableModel::ColumnCount; ++c)
        row << table.index(7, c).data().toString();
    QCOMPARE(row, QStringList({"20-21", "3", "300.00000", "1200.00"}));
    QCOMPARE(table.index(7, 0).data(Qt::DecorationRole).value<QColor>(), fanColour(1));
}

// A point on the plot is a disc in its fan's colour where it lies; one off
// the plot an arrow on the frame's corner it lies beyond; the labels give
// four digits at least in the axis units, the fan named when there are more.
void VistrelTest::operatingPointMarks()
{
    const FanCurveSet set = curves(2);
    const QRectF area(0, 0, 900, 560);
    const PlotInput input{&set, readAxisUnits(kSource.toStdString()), {}, {}, {CurvePoint{300, 800}, CurvePoint{1e300, -1e300}}};
    const PlotLayout layout(input, area);
    const PointMark on = layout.mark({300, 800}), off = layout.mark({1e300, -1e300});
    QCOMPARE(std::make_tuple(on.inside(), on.at), std::make_tuple(true, layout.map({300, 800})));
    QCOMPARE(std::make_tuple(off.outward, off.at), std::make_tuple(QPoint(1, 1), layout.frame().bottomRight()));
    QCOMPARE(layout.mark({-1, 1e300}).outward, QPoint(-1, -1));
    QCOMPARE(layout.mark({std::nan(""), 800}).outward, QPoint(-1, 0));
    const QImage image = plotImage(input, area.size().toSize());
    QCOMPARE(image.pixelColor(pixelOf(on.at)), fanColour(0));
    QCOMPARE(image.pixelColor(pixelOf(off.at - QPointF(6, 6))), fanColour(1));
    QCOMPARE(operatingPointLabel(input, 0), QString("10-11: Q=300.0 m3/min, P=800.0 Pa"));
    QVERIFY(operatingPointLabel(input, 2).isEmpty());
    const FanCurveSet one = curves(1);
    QCOMPARE(operatingPointLabel(PlotInput{&one, {}, {}, {}, {CurvePoint{2450.26, -0.01234}}}, 0), QString("Q=2450, P=-0.0123"));
}

void VistrelTest::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");  // file | points | problems
    const QString o = kOperatingPointOption;
    QTest::newRow("a path a shell split") << QStringList{"/my", "mine.fan"} << "/my mine.fan||";
    QTest::newRow("help") << QStringList{"m.fan", "-h"} << "help m.fan||";
    QTest::newRow("both forms, blanks, exponent") << QStringList{o, "3-1499,2450,1234.5", "m.fan", o + "= 7 - 8 , -1e2 ,0"}
                                                  << "m.fan|3-1499 2450/1234.5; 7-8 -100/0|";
    const std::pair<const char*, const char*> refused[] = {
        {"3-12,abc,1", "the airflow \"abc\" is not a number"},
        {"3-12,inf,1", "the airflow \"inf\" is not a number"},
        {"3-12,1", "expected INLET-OUTLET,AIRFLOW,PRESSURE"},
        {"3-12,1,2,3", "expected INLET-OUTLET,AIRFLOW,PRESSURE"},
        {"312,1,2", "the fan \"312\" is not two node numbers"},
        {"-3-12,1,2", "the fan \"-3-12\" is not two node numbers"},
        {"+3-12,1,2", "the fan \"+3-12\" is not two node numbers"},
        {"3-1500,1,2", "node number 1500 is outside 0..1499"},
        {"3-12,1,1e999", "the pressure 1e999 is out of range"},
    };
    for (const auto& [value, why] : refused)
        QTest::newRow(value) << QStringList{"m.fan", o, value} << QStringLiteral("m.fan||%1 %2: %3").arg(o, value, why);
    QTest::newRow("no value at the end") << QStringList{"m.fan", o} << "m.fan||" + o + " at the end: expected";
    QTest::newRow("no such option") << QStringList{"--points=1", "m.fan"} << "m.fan||--points=1: no such option";
}

void VistrelTest::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const ViewerArguments parsed = parseViewerArguments(arguments);
    QStringList points;
    for (const OperatingPoint& p : parsed.points)
        points << QStringLiteral("%1-%2 %3/%4").arg(p.inlet).arg(p.outlet).arg(p.at.flow).arg(p.at.pressure);
    const QString got = (parsed.help ? "help " : "") + parsed.file + '|' + points.join("; ") + '|' + parsed.problems.join("; ");
    QVERIFY2(got.startsWith(expected), qPrintable(got));
}

// Each point goes to its fan; of two fans with the same nodes, to the one
// without a point yet; what no fan takes is a problem.
void VistrelTest::pointsOnTheFans()
{
    FanCurveSet set = curves(3);
    set.fans[2].inlet = 10, set.fans[2].outlet = 11;  // fans 0 and 2 are both 10-11
    QStringList problems{"given"};
    const auto marked = pointsOfFans(set, {{10, 11, {1, 1}, "a"}, {11, 10, {2, 1}, "b"}, {10, 11, {3, 1}, "c"}, {10, 11, {4, 1}, "d"}}, problems);
    QCOMPARE(marked, (std::vector<std::optional<CurvePoint>>{CurvePoint{1, 1}, std::nullopt, CurvePoint{3, 1}}));
    QCOMPARE(problems, QStringList({"given", "--operating-point b: curves.fan holds no fan 11-10",
                                    "--operating-point d: fan 10-11 has an operating point already"}));
}

void VistrelTest::window()
{
    QTemporaryDir folder;
    const QString damaged = folder.path() + "/damaged.fan", empty = folder.path() + "/empty.fan",
                  mine = folder.path() + "/mine.fan", other = folder.path() + "/other.fan";
    writeBytes(damaged, "h1\nh2\nh3\n* c\n 1  x\n");
    writeBytes(empty, "h1\nh2\nh3\n");
    writeBytes(mine, kWritten);
    writeBytes(other, kWritten);
    ScriptedPrompts prompts;
    ViewerWindow window(readAxisUnits(kSource.toStdString()), prompts);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // A file that cannot be read is told once, naming file and line; nothing is shown.
    QVERIFY(!window.openFile(damaged));
    QCOMPARE(prompts.warnings.size(), 1);
    QVERIFY(prompts.warnings[0].contains(damaged + ", line 5:"));
    QVERIFY(!window.curves() && window.windowTitle() == "Fan curves");
    QVERIFY(window.openFile(empty));
    QVERIFY(window.plot()->input().message.contains("no fans") && window.statusText().startsWith("No fans"));

    // The operating points given go to the file opened next.
    const ViewerArguments given = parseViewerArguments({kOperatingPointOption, "7-8,1.5,40", kOperatingPointOption,
                                                        "9-9,1,1", kOperatingPointOption, "x"});
    window.setOperatingPoints(given.points, given.problems);
    QVERIFY(window.openFile(mine));
    QCOMPARE(window.windowTitle(), QString("Fan curves - mine.fan"));
    QCOMPARE(window.plot()->input().operatingPoints,
             (std::vector<std::optional<CurvePoint>>{std::nullopt, CurvePoint{1.5, 40}}));
    QVERIFY2(window.statusText().contains("marked for 1 fan(s); 2 operating point argument(s) left out: "
                                          "--operating-point x: expected"),
             qPrintable(window.statusText()));
    QCOMPARE(window.plot()->input().set, window.curves());
    QCOMPARE(window.pointModel()->rowCount(), 3);
    window.grab().save(QDir::tempPath() + "/vistrel-mine.png");

    // Hovering a marker names it.
    const PlotLayout layout(window.plot()->input(), QRectF(window.plot()->rect()));
    const QPoint marker = layout.map(window.curves()->fans[1].points[0]).toPoint();
    QHelpEvent help(QEvent::ToolTip, marker, window.plot()->mapToGlobal(marker));
    QCoreApplication::sendEvent(window.plot(), &help);
    QVERIFY(QToolTip::text().startsWith("Fan 7-8, point 1"));

    // File > Export: the plot as shown; a name without suffix gets ".png".
    prompts.saves = QStringList{folder.path() + "/plot"};
    window.findChild<QAction*>("exportPng")->trigger();
    QCOMPARE(prompts.suggestedImage, folder.path() + "/mine.png");
    QCOMPARE(QImage(folder.path() + "/plot.png").size(), window.plot()->size() * window.plot()->devicePixelRatioF());

    // File > Open: another file; a damaged one is told and leaves the shown one.
    prompts.opens = QStringList{other, damaged};
    window.findChild<QAction*>("open")->trigger();
    QCOMPARE(window.windowTitle(), QString("Fan curves - other.fan"));
    QVERIFY(window.plot()->input().operatingPoints[1] == std::nullopt && window.pointProblems().isEmpty());
    window.findChild<QAction*>("open")->trigger();
    QCOMPARE(prompts.warnings.size(), 2);
    QCOMPARE(std::pair(window.curves()->path, window.windowTitle()), std::pair(other, QString("Fan curves - other.fan")));
}

QTEST_MAIN(VistrelTest)
#include "vistrel_test.moc"
