// The fan curve viewer: its reader on the files the network program writes
// and on damaged ones, the plot's layout and colours, the PNG export and
// the window around them.
#include <QHelpEvent>
#include <QMenuBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <cmath>
#include <deque>
#include <memory>
#include <sys/stat.h>

#include "capacitynet.h"
#include "curveplot.h"
#include "edit/fancurve.h"
#include "fancurvefile.h"
#include "model/networkio.h"
#include "plotwidget.h"
#include "pointtablemodel.h"
#include "viewerwindow.h"

using namespace orvex;
using namespace orvex::vistrel;

namespace {

const QString kSource = QStringLiteral(ORVEX_SOURCE_DIR);

struct QuietReporter : Reporter {
    void message(const std::string& text, const std::string&, MessageKind) override { messages.push_back(text); }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
    std::vector<std::string> messages;
};

// Warnings recorded, file dialogs answered from a script (empty: cancelled).
struct ScriptedPrompts : ViewerPrompts {
    void warn(QWidget*, const QString& text) override { warnings << text; }
    QString fileToOpen(QWidget*, const QString&) override { return next(opens); }
    QString imageToSave(QWidget*, const QString& suggested) override
    {
        suggestedImage = suggested;
        return next(saves);
    }
    static QString next(std::deque<QString>& script)
    {
        if (script.empty())
            return {};
        QString answer = script.front();
        script.pop_front();
        return answer;
    }
    QStringList warnings;
    std::deque<QString> opens, saves;
    QString suggestedImage;
};

// A network document of the installation in the source tree: a sample
// opened, or a generated network, whose fan curve file goes to a folder
// with a blank in its name.
struct Network {
    AppContext app;
    QuietReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
    QTemporaryDir folder;

    Network()
    {
        app.programFolder = kSource.toStdString();
        readUnitsFile(app.programFolder, app.units, reporter);
        doc = std::make_unique<CBriscoDoc>(app, reporter);
        QDir(folder.path()).mkdir(QStringLiteral("fan curves"));
    }
    bool open(const QString& sample) { return openNetwork(*doc, (kSource + "/data/" + sample).toStdString()) == 1; }
    // Writes the fan curve file; returns the argument the network window starts this program with.
    QString writeCurves(const QString& name)
    {
        doc->baseName = (folder.path() + "/fan curves/" + name + ".").toStdString();
        if (!writeFanCurveFile(*doc))
            return {};
        return QString::fromStdString(curveDisplayArgument(doc->baseName));
    }
    QString curvePath() const { return QString::fromStdString(doc->baseName) + "fan"; }
};

QString headingsText()
{
    const QByteArray h = "[\xBA\xD2\xDD\xC4]fan";
    return QString::fromLatin1(h + "1\n" + h + "2\n" + h + "3\n");
}

bool shiftJisAvailable() { return QStringDecoder("Shift_JIS").isValid(); }

// Three fans whose points never coincide: fan f has 5 + f points, steps of
// 100 + 50 f and pressures falling from 1000 + 300 f.
FanCurveSet threeFans()
{
    FanCurveSet set;
    set.path = QStringLiteral("three.fan");
    for (int f = 0; f < 3; ++f) {
        FanCurveData fan;
        fan.inlet = 10 * (f + 1);
        fan.outlet = 10 * (f + 1) + 1;
        for (int j = 0; j < 5 + f; ++j)
            fan.points.push_back({j * (100.0 + 50 * f), 1000 + 300 * f - j * j * 25.0});
        set.fans.push_back(fan);
    }
    return set;
}

QPoint pixelOf(const QPointF& p) { return QPoint(int(std::floor(p.x())), int(std::floor(p.y()))); }

}  // namespace

class VistrelTest : public QObject {
    Q_OBJECT
private slots:
    void readsWhatTheNetworkProgramWrites_data();
    void readsWhatTheNetworkProgramWrites();
    void argumentBlanks();
    void damagedFilesNameTheirLine_data();
    void damagedFilesNameTheirLine();
    void whatIsNoFanCurveFile();
    void noFans();
    void unitsOfTheAxes();
    void scales_data();
    void scales();
    void plotLayoutAndColours();
    void pngExport();
    void windowOnTheSample();
    void windowOnManyFans();
};

// --- the reader ---------------------------------------------------------------------

void VistrelTest::readsWhatTheNetworkProgramWrites_data()
{
    QTest::addColumn<QString>("sample");
    QTest::newRow("mine: main fan and booster") << "mine.vad";
    QTest::newRow("water: pumps") << "water.vad";
    QTest::newRow("generated: 49 fans") << QString();
}

void VistrelTest::readsWhatTheNetworkProgramWrites()
{
    QFETCH(QString, sample);
    Network net;
    if (sample.isEmpty())
        QCOMPARE(QString::fromStdString(gennet::generate(gennet::Shape{}, *net.doc)), QString());
    else
        QVERIFY(net.open(sample));
    QVERIFY(net.doc->fanCount > 0);
    const QString argument = net.writeCurves("net work");
    QVERIFY(!argument.contains(' '));
    const ReadResult r = readFanCurveFile(pathFromArgument(argument));
    QVERIFY2(r.set, qPrintable(r.failure.text()));
    QCOMPARE(r.set->path, net.curvePath());
    QCOMPARE(int(r.set->fans.size()), net.doc->fanCount);
    if (shiftJisAvailable()) {
        QCOMPARE(r.set->headings, QStringList({u"[ｺﾒﾝﾄ]fan1"_qs, u"[ｺﾒﾝﾄ]fan2"_qs, u"[ｺﾒﾝﾄ]fan3"_qs}));
        QCOMPARE(r.set->fans.front().comment, u"コメント"_qs);
    }
    for (int f = 1; f <= net.doc->fanCount; ++f) {
        const Fan& expected = net.doc->fans[std::size_t(f)];
        const FanCurveData& fan = r.set->fans[std::size_t(f - 1)];
        QCOMPARE(std::pair(fan.inlet, fan.outlet), std::pair(expected.inlet, expected.outlet));
        QCOMPARE(int(fan.points.size()), expected.points);
        for (int p = 1; p <= expected.points; ++p) {
            const CurvePoint& point = fan.points[std::size_t(p - 1)];
            // Written with 5 and 2 decimals: airflow (p-1)·step, worked out in
            // single precision as the model holds it, and the curve's pressure.
            QVERIFY(std::fabs(point.flow - double(float(p - 1) * expected.flowStep)) <= 6e-6);
            QVERIFY(std::fabs(point.pressure - double(expected.curve[std::size_t(p)])) <= 0.0051);
        }
    }
}

void VistrelTest::argumentBlanks()
{
    QCOMPARE(pathFromArgument("/my*data/old*mine.fan"), QString("/my data/old mine.fan"));
    // A file whose name holds a "*" of its own is taken as named when the
    // decoded name does not exist.
    QTemporaryDir dir;
    const QString starred = dir.path() + "/a*b.fan";
    QFile(starred).open(QIODevice::WriteOnly);
    QCOMPARE(pathFromArgument(starred), starred);
    QFile(dir.path() + "/a b.fan").open(QIODevice::WriteOnly);
    QCOMPARE(pathFromArgument(starred), dir.path() + "/a b.fan");
}

void VistrelTest::damagedFilesNameTheirLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    const QByteArray h = headingsText().toLatin1();
    const QByteArray fan = h + "* comment\n 3  12 \n";
    QByteArray points;
    for (int j = 0; j <= 30; ++j)
        points += QByteArray::number(j * 2.5, 'f', 5) + " 100.00\n";
    QByteArray fans = h;
    for (int f = 1; f <= 50; ++f)
        fans += "* c\n " + QByteArray::number(f) + "  " + QByteArray::number(f + 100) + " \n";

    QTest::newRow("empty") << QByteArray() << 0 << "empty";
    QTest::newRow("cut in the headings") << h.left(20) << 2 << "heading lines";
    QTest::newRow("cut after a comment") << h + "* comment\n" << 4 << "node numbers are missing";
    QTest::newRow("cut inside a point") << fan + "    0.00000  120.50\n    2.5" << 7 << "airflow and a pressure";
    QTest::newRow("letters for a node") << h + "* c\n three  12 \n" << 5 << "node numbers";
    QTest::newRow("one node number") << h + "* c\n 3 \n" << 5 << "node numbers";
    QTest::newRow("letters for a pressure") << fan + "    0.00000  abc\n" << 6 << "airflow and a pressure";
    QTest::newRow("not a finite number") << fan + "    0.00000  nan\n" << 6 << "airflow and a pressure";
    QTest::newRow("three numbers") << fan + "    0.00000  1.0  2.0\n" << 6 << "airflow and a pressure";
    QTest::newRow("31 points") << fan + points << 36 << "more than 30 points";
    QTest::newRow("node number 1500") << h + "* c\n 3  1500 \n" << 5 << "outside 0..1499";
    QTest::newRow("a point before any fan") << h + "\n    0.00000  1.00\n" << 5 << "first fan's comment";
    QTest::newRow("two comments running") << h + "* a\n* b\n" << 5 << "node numbers of the fan begun on line 4";
    QTest::newRow("50 fans") << fans << 4 + 49 * 2 << "more than 49 fans";
}

void VistrelTest::damagedFilesNameTheirLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.path() + "/damaged.fan";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const ReadResult r = readFanCurveFile(path);
    QVERIFY(!r.set);
    QCOMPARE(r.failure.line, line);
    QVERIFY2(r.failure.reason.contains(reason), qPrintable(r.failure.reason));

    // The window tells the person once, naming file and line, and shows nothing.
    ScriptedPrompts prompts;
    ViewerWindow window({}, prompts);
    QVERIFY(!window.openFile(path));
    QCOMPARE(prompts.warnings.size(), 1);
    QVERIFY(prompts.warnings[0].contains(path + (line > 0 ? QString(", line %1:").arg(line) : QString(":"))));
    QVERIFY(!window.curves());
    QCOMPARE(window.windowTitle(), QString("Fan curves"));
}

void VistrelTest::whatIsNoFanCurveFile()
{
    QTemporaryDir dir;
    const QString fifo = dir.path() + "/pipe.fan", large = dir.path() + "/large.fan";
    QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QFile file(large);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(int(kMaxFileBytes) + 1, '\n'));
    file.close();
    const std::pair<QString, QString> cases[] = {
        {dir.path() + "/missing.fan", "not found"},
        {dir.path(), "is a folder"},
        {fifo, "not an ordinary file"},  // reading it would wait for a writer
        {large, "bytes long"},
    };
    for (const auto& [path, reason] : cases) {
        const ReadResult r = readFanCurveFile(path);
        QVERIFY(!r.set);
        QCOMPARE(r.failure.text(), path + ": " + r.failure.reason);
        QVERIFY2(r.failure.reason.contains(reason), qPrintable(r.failure.text()));
    }
}

void VistrelTest::noFans()
{
    Network net;  // the installation's default network: no fans
    QCOMPARE(net.doc->fanCount, 0);
    QVERIFY(!net.writeCurves("empty").isEmpty());
    ScriptedPrompts prompts;
    ViewerWindow window({}, prompts);
    QVERIFY(window.openFile(net.curvePath()));
    QVERIFY(prompts.warnings.isEmpty());
    QCOMPARE(int(window.curves()->fans.size()), 0);
    QCOMPARE(window.pointModel()->rowCount(), 0);
    QVERIFY(window.plot()->input().message.contains("no fans"));
    QVERIFY(window.statusText().startsWith("No fans"));
}

// --- units, scales, plot ----------------------------------------------------------------

void VistrelTest::unitsOfTheAxes()
{
    const AxisUnits shipped = readAxisUnits(kSource.toStdString());
    QCOMPARE(std::pair(shipped.flowTitle(), shipped.pressureTitle()),
             std::pair(QString("airflow (m3/min)"), QString("pressure (Pa)")));
    QCOMPARE(shipped.source, kSource + "/sdt/units.sdt");

    QTemporaryDir bare;
    const AxisUnits none = readAxisUnits(bare.path().toStdString());
    QCOMPARE(std::pair(none.flowTitle(), none.pressureTitle()), std::pair(QString("airflow"), QString("pressure")));
    QVERIFY(none.source.isEmpty());

    // No program folder by the search: the folder this program lies in.
    QTemporaryDir installed;
    QDir(installed.path()).mkdir("sdt");
    QFile units(installed.path() + "/sdt/units.sdt");
    QVERIFY(units.open(QIODevice::WriteOnly));
    units.write("h1\nh2\nh3\nflow\n1.0 m3/s\npressure\n0.1 kPa\n");  // cut short after the labels
    units.close();
    const AxisUnits found = findAxisUnits((installed.path() + "/vistrel").toStdString(), bare.path().toStdString(), {});
    QCOMPARE(std::pair(found.flow, found.pressure), std::pair(QString("m3/s"), QString("kPa")));
}

void VistrelTest::scales_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::newRow("sample fan") << 0.0 << 3328.0;
    QTest::newRow("below zero") << -52.0 << 125.0;
    QTest::newRow("small airflows") << 0.0 << 0.0123;
    QTest::newRow("one value") << 0.0 << 0.0;
    QTest::newRow("one large value") << 1e15 << 1e15;
    QTest::newRow("beyond doubles") << -1.7e308 << 1.7e308;
}

// Whatever the data, the scale covers it with at most a dozen round ticks.
void VistrelTest::scales()
{
    QFETCH(double, low);
    QFETCH(double, high);
    const AxisScale s = niceScale(low, high, 6);
    QVERIFY(s.max > s.min);
    const std::vector<double> ticks = s.ticks();
    QVERIFY(ticks.size() >= 2 && ticks.size() <= 13);
    if (std::isfinite(high - low)) {
        QVERIFY(s.min <= low && s.max >= high);
        const double mantissa = s.step / std::pow(10.0, std::floor(std::log10(s.step)));
        QVERIFY(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9);
    }
    for (double t : ticks)
        if (std::fabs(t) < s.step / 2)
            QCOMPARE(s.label(t), QString::number(0.0, 'f', s.decimals));  // never "-0"
}

void VistrelTest::plotLayoutAndColours()
{
    // 49 fans, each its own colour, none too close to another.
    for (int a = 0; a < kMaxFileFans; ++a)
        for (int b = a + 1; b < kMaxFileFans; ++b) {
            const QColor x = fanColour(a), y = fanColour(b);
            const int d = std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) + std::abs(x.blue() - y.blue());
            QVERIFY2(d >= 50, qPrintable(QString("fans %1 and %2").arg(a).arg(b)));
        }

    const FanCurveSet set = threeFans();
    const PlotInput input{&set, readAxisUnits(kSource.toStdString()), set.path, {}};
    const QSize size(900, 560);
    const QImage image = plotImage(input, size);
    const PlotLayout layout(input, QRectF(QPointF(0, 0), QSizeF(size)));
    QVERIFY(QRectF(QPointF(0, 0), QSizeF(size)).contains(layout.legend()));
    QVERIFY(!layout.frame().intersects(layout.legend()));
    for (int f = 0; f < 3; ++f) {
        const std::vector<CurvePoint>& points = set.fans[std::size_t(f)].points;
        for (int j = 0; j < int(points.size()); ++j) {
            const QPointF at = layout.map(points[std::size_t(j)]);
            QVERIFY(layout.frame().contains(at));  // every point inside the axes
            QCOMPARE(image.pixelColor(pixelOf(at)), fanColour(f));
            QCOMPARE(layout.pointAt(at + QPointF(2, -2)), std::optional(PointRef{f, j}));
        }
        const QRectF entry = layout.legendEntry(f);
        QCOMPARE(image.pixelColor(pixelOf({entry.left() + 17, entry.center().y()})), fanColour(f));
    }
    QCOMPARE(layout.pointAt(layout.frame().topRight() + QPointF(-3, 3)), std::nullopt);
    QCOMPARE(pointDescription(input, {1, 2}), QString("Fan 20-21, point 3 of 6\nairflow 300 m3/min\npressure 1200.00 Pa"));

    // Hovering a marker names it.
    PlotWidget widget;
    widget.resize(size);
    widget.setInput(input);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    const QPoint marker = layout.map(set.fans[1].points[2]).toPoint();
    QHelpEvent help(QEvent::ToolTip, marker, widget.mapToGlobal(marker));
    QCoreApplication::sendEvent(&widget, &help);
    QVERIFY(QToolTip::text().startsWith("Fan 20-21, point 3"));
}

void VistrelTest::pngExport()
{
    const FanCurveSet set = threeFans();
    const PlotInput input{&set, {}, set.path, {}};
    QTemporaryDir dir;
    QString error;
    for (qreal ratio : {1.0, 2.0}) {
        const QString path = dir.path() + QString("/plot-%1.png").arg(ratio);
        QVERIFY(savePlotPng(path, input, QSize(640, 400), ratio, error));
        const QImage image(path);
        QCOMPARE(image.size(), QSize(640, 400) * ratio);
        const PlotLayout layout(input, QRectF(0, 0, 640, 400));
        QCOMPARE(image.pixelColor(pixelOf(layout.map(set.fans[2].points[3]) * ratio)), fanColour(2));
    }
    QVERIFY(!savePlotPng(dir.path() + "/no folder/plot.png", input, QSize(64, 40), 1, error));
    QVERIFY(!error.isEmpty());
}

// --- the window ---------------------------------------------------------------------

void VistrelTest::windowOnTheSample()
{
    Network mine;
    QVERIFY(mine.open("mine.vad"));
    const QString argument = mine.writeCurves("mine");
    ScriptedPrompts prompts;
    ViewerWindow window(readAxisUnits(kSource.toStdString()), prompts);
    window.resize(1200, 780);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.openFile(pathFromArgument(argument)));
    QCOMPARE(window.windowTitle(), QString("Fan curves - mine.fan"));
    QCOMPARE(window.pointModel()->rowCount(), 9 + 7);
    // The last row: the second fan's seventh point, numbered from 1.
    const QModelIndex last = window.pointModel()->index(15, PointTableModel::PressureColumn);
    QCOMPARE(window.pointModel()->data(last, Qt::DisplayRole).toString(), QString("0.00"));
    QCOMPARE(window.pointModel()->data(last.siblingAtColumn(PointTableModel::PointColumn), Qt::DisplayRole), QVariant(7));
    QCOMPARE(window.pointModel()->data(last.siblingAtColumn(0), Qt::DisplayRole).toString(), QString("330-331"));
    QCOMPARE(window.pointModel()->data(last.siblingAtColumn(0), Qt::DecorationRole).value<QColor>(), fanColour(1));
    window.grab().save(QDir::tempPath() + "/vistrel-mine.png");

    // The plot grows with the window.
    const QSize before = window.plot()->size();
    window.resize(1400, 900);
    QTRY_VERIFY(window.plot()->width() > before.width() && window.plot()->height() > before.height());

    // File > Export: the plot as shown; a name without suffix gets ".png".
    const QList<QAction*> file = window.menuBar()->actions().front()->menu()->actions();
    const auto action = [&](const char* name) {
        for (QAction* a : file)
            if (a->objectName() == name)
                return a;
        return static_cast<QAction*>(nullptr);
    };
    prompts.saves = {mine.folder.path() + "/plot"};
    action("exportPng")->trigger();
    QCOMPARE(prompts.suggestedImage, mine.folder.path() + "/fan curves/mine.png");
    QCOMPARE(QImage(mine.folder.path() + "/plot.png").size(), window.plot()->size() * window.plot()->devicePixelRatioF());

    // File > Open: another file; a damaged one is told and leaves the shown one.
    Network water;
    QVERIFY(water.open("water.vad"));
    water.writeCurves("water");
    QFile damaged(mine.folder.path() + "/damaged.fan");
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(headingsText().toLatin1() + "* c\n 1  x\n");
    damaged.close();
    prompts.opens = {water.curvePath(), damaged.fileName()};
    action("open")->trigger();
    QCOMPARE(window.windowTitle(), QString("Fan curves - water.fan"));
    action("open")->trigger();
    QCOMPARE(prompts.warnings.size(), 1);
    QVERIFY(prompts.warnings[0].contains(damaged.fileName() + ", line 5:"));
    QCOMPARE(window.curves()->path, water.curvePath());
    QCOMPARE(window.windowTitle(), QString("Fan curves - water.fan"));
}

// 49 fans: the legend goes into columns beside the axes and stays inside the plot.
void VistrelTest::windowOnManyFans()
{
    Network net;
    QCOMPARE(QString::fromStdString(gennet::generate(gennet::Shape{}, *net.doc)), QString());
    net.writeCurves("generated");
    ScriptedPrompts prompts;
    ViewerWindow window(readAxisUnits(kSource.toStdString()), prompts);
    window.resize(1200, 780);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.openFile(net.curvePath()));
    window.grab().save(QDir::tempPath() + "/vistrel-generated.png");
    const PlotLayout layout(window.plot()->input(), QRectF(window.plot()->rect()));
    QVERIFY(!layout.frame().intersects(layout.legend()));
    for (int f = 0; f < kMaxFileFans; ++f)
        QVERIFY(layout.legend().contains(layout.legendEntry(f)));
}

QTEST_MAIN(VistrelTest)
#include "vistrel_test.moc"
