// The page preview and printing in the network window: the page on an
// 800 × 600 window for a portrait and a landscape printer, the plan moved
// on the page and found there again, the print colours, the sample printed
// to a PDF file with the plan where the preview put it, and the plan
// exported to PNG, PDF and SVG.
#include <QCheckBox>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <unistd.h>

#include "model/units.h"
#include "print/planoutput.h"
#include "print/printtool.h"
#include "support.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// The printer dialogs answered by the test. Printer setup chooses a PDF file
// on a page whose printable area is 2880 × 3969 printer pixels, upright or
// turned.
struct ScriptedPrinting : PrintServices {
    QString pdf;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    std::optional<ColourSlots> colours;
    std::optional<PlanExport> exported;
    int setups = 0;

    bool setupPrinter(QWidget*, QPrinter& printer) override
    {
        ++setups;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(360);
        printer.setPageLayout(QPageLayout(QPageSize(QSizeF(8, 11.025), QPageSize::Inch), orientation,
                                          QMarginsF(0, 0, 0, 0)));
        return true;
    }
    std::optional<ColourSlots> chooseColours(QWidget*, const ColourSlots&) override { return colours; }
    std::optional<PlanExport> chooseExport(QWidget*, const std::string&, bool) override { return exported; }
};

struct Window {
    QTemporaryDir folder;
    AppContext app;
    MemoryProfile profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    ScriptedPrinting printing;
    ViewServices services{app, profile, reporter, files, {}, {}, nullptr, nullptr, &printing};
    std::unique_ptr<NetworkDocument> document;
    std::unique_ptr<CBriscoView> view;

    Window()
    {
        app.programFolder = sourceDir().toStdString();
        readUnitsFile(app.programFolder, app.units, reporter);
        copySample("mine", folder.path());
        app.pendingFile = (folder.path() + "/mine.vad").toStdString();
        app.pending = true;
        printing.pdf = folder.filePath("printed.pdf");
        open();
    }
    void open()
    {
        document = std::make_unique<NetworkDocument>(app, reporter);
        view = std::make_unique<CBriscoView>(*document, services);
        view->resize(800, 600);
        view->show();
        view->initialUpdate();
    }
    ViewGeometry& geo() { return view->plan().geo; }
    QRect page() const
    {
        const DevicePoint* c = view->plan().page.corners;
        return QRect(QPoint(int(c[0].x), int(c[0].y)), QPoint(int(c[2].x) - 1, int(c[2].y) - 1));
    }
};

// The box around everything drawn on white within `area` (its outline left out).
QRect drawnBox(const QImage& image, const QRect& area)
{
    QRect box;
    const QRect inside = area.adjusted(3, 3, -3, -3);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if ((image.pixel(x, y) & 0xffffff) != 0xffffff)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A box as fractions of the page it lies on.
QRectF onPage(const QRect& box, const QRect& page)
{
    return QRectF((box.left() - page.left()) / double(page.width()), (box.top() - page.top()) / double(page.height()),
                  box.width() / double(page.width()), box.height() / double(page.height()));
}

QString tool(const char* name)
{
    return QStandardPaths::findExecutable(name);
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT

private slots:
    void pageOnTheWindow();
    void planKeepsItsPlaceOnThePage();
    void printColoursAndTheToolWindow();
    void simpleIsOneSettingForAllWindows();
    void printedPageMatchesThePreview();
    void exportWritesWhatTheWindowShows();
};

void PrintTest::pageOnTheWindow()
{
    Window w;
    const float screenScale = w.geo().scale;
    const ColourSlots screen = w.view->plan().settings.colours;
    w.view->togglePrint();
    QVERIFY(w.view->pagePreview());
    QCOMPARE(w.view->viewport()->size(), QSize(800, 600));  // no scroll bars on the page
    QCOMPARE(w.page(), QRect(237, 75, 326, 450));
    QVERIFY(w.view->printTool());
    QCOMPARE(w.view->printTool()->windowTitle(), QString("Print"));
    QCOMPARE(w.view->backingImage().pixel(400, 300) & 0xffffff, 0xffffffu);  // the white page
    QCOMPARE(w.view->backingImage().pixel(20, 20), QColor(toQColor(screen.back)).rgb());
    // Edit commands and mouse modes rest while the page is shown.
    QVERIFY(!w.view->editCommandEnabled(command::kMakeNode));

    // A landscape printer: the page turns.
    w.printing.orientation = QPageLayout::Landscape;
    w.view->printerSetup();
    QCOMPARE(w.view->plan().page.orientation, 2);
    QVERIFY(std::abs(w.page().width() - 620) <= 1);
    QCOMPARE(w.page().height(), 450);

    // Leaving: the screen's scale and colours return, the tool window goes.
    w.view->togglePrint();
    QVERIFY(!w.view->pagePreview());
    QCOMPARE(w.geo().scale, screenScale);
    QCOMPARE(w.view->plan().settings.colours.road, screen.road);
    QTRY_VERIFY(!w.view->printTool());
}

void PrintTest::planKeepsItsPlaceOnThePage()
{
    Window w;
    w.view->togglePrint();
    w.view->zoomIn();
    const float pageScale = w.geo().scale;
    const DevicePoint before = w.geo().drawingPosition(0, 0);
    // Full and simple preview alike: press, move, release.
    for (const bool simple : {false, true}) {
        w.view->setSimplePreview(simple);
        QWidget* surface = w.view->viewport();
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(400, 300));
        QTest::mouseMove(surface, QPoint(420, 310));
        QTest::mouseMove(surface, QPoint(440, 320));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(440, 320));
    }
    const DevicePoint moved = w.geo().drawingPosition(0, 0);
    QVERIFY(std::abs(moved.x - before.x - 80) <= 1);
    QVERIFY(std::abs(moved.y - before.y - 40) <= 1);
    // The simple preview after its drag shows what a full paint shows.
    const QImage dragged = w.view->backingImage();
    w.view->repaint();
    QCOMPARE(w.view->backingImage(), dragged);

    // Out and in again: the same page scale, the plan at the same place.
    w.view->togglePrint();
    w.view->togglePrint();
    QCOMPARE(w.geo().scale, pageScale);
    const DevicePoint again = w.geo().drawingPosition(0, 0);
    QVERIFY(std::abs(again.x - moved.x) <= 1);
    QVERIFY(std::abs(again.y - moved.y) <= 1);
    QVERIFY(w.view->plan().settings.previewKind == 0);
    QVERIFY(w.view->printTool()->simple());
}

void PrintTest::printColoursAndTheToolWindow()
{
    Window w;
    const ColourSlots screen = w.view->plan().settings.colours;
    w.view->togglePrint();
    PrintToolDialog* tool = w.view->printTool();
    QVERIFY(tool);

    // "color setup": the six colours become print colours; background and
    // emphasis keep the screen's.
    ColourSlots chosen = w.view->plan().settings.colours;
    chosen.road = rgb(0, 0, 200);
    chosen.node = rgb(200, 0, 0);
    w.printing.colours = chosen;
    QTest::mouseClick(tool->findChild<QPushButton*>("colorSetup"), Qt::LeftButton);
    QCOMPARE(w.view->plan().settings.colours.road, rgb(0, 0, 200));
    QCOMPARE(w.view->plan().settings.colours.back, screen.back);

    // "Simple" flips the preview kind; "printer setup" asks for the printer.
    QTest::mouseClick(tool->findChild<QCheckBox*>("simple"), Qt::LeftButton);
    QCOMPARE(w.view->plan().settings.previewKind, 0);
    QTest::mouseClick(tool->findChild<QPushButton*>("printerSetup"), Qt::LeftButton);
    QCOMPARE(w.printing.setups, 1);
    QVERIFY(w.printing.printerChosen);

    // Out of the preview: the screen colours on the window, the chosen ones
    // kept as print colours, and in the profile when the window closes.
    w.view->togglePrint();
    QCOMPARE(w.view->plan().settings.colours.road, screen.road);
    QCOMPARE(w.view->plan().settings.print.road, rgb(0, 0, 200));
    w.view->togglePrint();  // closed in page preview: the profile still gets the screen's colours
    w.view.reset();
    QCOMPARE(w.profile.readInt(kDisplaySection, "print_road", 0), int(rgb(0, 0, 200)));
    QCOMPARE(w.profile.readInt(kDisplaySection, "road", 0), int(screen.road));
    QCOMPARE(w.profile.readInt(kDisplaySection, "print_preview_num", 1), 0);
    w.open();
    w.view->togglePrint();
    QCOMPARE(w.view->plan().settings.colours.road, rgb(0, 0, 200));
}

// "Simple" is one setting of the whole program: every window takes it at
// once, the profile keeps it, and the window closed last does not put back
// a choice of its own.
void PrintTest::simpleIsOneSettingForAllWindows()
{
    Window w;
    auto otherDocument = std::make_unique<NetworkDocument>(w.app, w.reporter);
    auto other = std::make_unique<CBriscoView>(*otherDocument, w.services);
    other->resize(800, 600);
    other->show();
    other->initialUpdate();
    w.view->togglePrint();
    other->togglePrint();
    QVERIFY(!other->printTool()->simple());

    QTest::mouseClick(w.view->printTool()->findChild<QCheckBox*>("simple"), Qt::LeftButton);
    QCOMPARE(other->plan().settings.previewKind, 0);
    QVERIFY(other->printTool()->simple());
    QCOMPARE(w.profile.readInt(kDisplaySection, "print_preview_num", 1), 0);

    w.view.reset();
    other.reset();  // closed last
    otherDocument.reset();
    QCOMPARE(w.profile.readInt(kDisplaySection, "print_preview_num", 1), 0);
    w.open();
    w.view->togglePrint();
    QVERIFY(w.view->printTool()->simple());
}

void PrintTest::printedPageMatchesThePreview()
{
    Window w;
    w.view->togglePrint();
    // Printing before a printer was chosen: the default printer, or a
    // message when the machine has none; the preview stays as it was.
    const QRect page = w.page();
    if (w.printing.printer().outputFormat() == QPrinter::PdfFormat) {  // no printer here: nothing sent
        w.view->startPrinting();
        QVERIFY(w.reporter.said("There is no printer"));
        QVERIFY(w.view->pagePreview());
        QCOMPARE(w.page(), page);
    }

    w.view->printerSetup();  // a PDF file, 2880 × 3969
    w.view->zoomOut();  // the whole plan on the page, off its centre
    QTest::mousePress(w.view->viewport(), Qt::LeftButton, {}, QPoint(400, 300));
    QTest::mouseMove(w.view->viewport(), QPoint(410, 360));
    QTest::mouseRelease(w.view->viewport(), Qt::LeftButton, {}, QPoint(420, 380));
    const QImage preview = w.view->backingImage();
    preview.save("/tmp/print-preview.png");
    const QRectF shown = onPage(drawnBox(preview, w.page()), w.page());
    QVERIFY(!shown.isEmpty());
    const int messages = int(w.reporter.messages.size());
    w.view->startPrinting();
    QVERIFY2(int(w.reporter.messages.size()) == messages, w.reporter.messages.back().text.c_str());
    QVERIFY(QFileInfo(w.printing.pdf).size() > 1000);
    QCOMPARE(w.view->backingImage(), preview);  // back in the preview, unchanged

    if (tool("pdfinfo").isEmpty() || tool("pdftoppm").isEmpty())
        QSKIP("pdfinfo and pdftoppm (poppler-utils) are needed to look at the printed page");
    QProcess info;
    info.start(tool("pdfinfo"), {w.printing.pdf});
    QVERIFY(info.waitForFinished());
    QVERIFY(QString(info.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+1\\n")));
    QProcess render;
    const QString png = w.folder.filePath("printed");
    render.start(tool("pdftoppm"), {"-r", "72", "-png", "-singlefile", w.printing.pdf, png});
    QVERIFY(render.waitForFinished());
    const QImage printed(png + ".png");
    QVERIFY(!printed.isNull());
    QCOMPARE(printed.width(), 576);  // 8 × 11.025 inches at 72 dpi
    QVERIFY(std::abs(printed.height() - 794) <= 1);
    const QRectF onPaper = onPage(drawnBox(printed, printed.rect().adjusted(-3, -3, 3, 3)), printed.rect());
    qInfo("plan on the page: preview %.3f %.3f %.3f %.3f, printed %.3f %.3f %.3f %.3f", shown.left(), shown.top(),
          shown.width(), shown.height(), onPaper.left(), onPaper.top(), onPaper.width(), onPaper.height());
    printed.save("/tmp/printed-page.png");
    for (const auto& [a, b] : {std::pair{shown.left(), onPaper.left()}, std::pair{shown.top(), onPaper.top()},
                               std::pair{shown.right(), onPaper.right()}, std::pair{shown.bottom(), onPaper.bottom()}})
        QVERIFY2(std::abs(a - b) < 0.015, qPrintable(QString("%1 against %2").arg(a).arg(b)));
}

void PrintTest::exportWritesWhatTheWindowShows()
{
    Window w;
    const QImage shown = w.view->backingImage();
    PlanExport e;
    e.path = w.folder.filePath("plan.png").toStdString();
    w.printing.exported = e;
    w.view->exportPlan();
    QCOMPARE(QImage(w.folder.filePath("plan.png")).convertToFormat(QImage::Format_RGB32), shown);

    // Print colours on white.
    e.printColours = true;
    w.printing.exported = e;
    const ColourSlots screen = w.view->plan().settings.colours;
    w.view->exportPlan();
    QCOMPARE(QImage(w.folder.filePath("plan.png")).pixel(2, 2) & 0xffffff, 0xffffffu);
    QCOMPARE(w.view->plan().settings.colours.back, screen.back);  // the window keeps its own
    QCOMPARE(w.view->plan().settings.colours.road, screen.road);

    // Vector files: a PDF of one page the window's size, an SVG of paths.
    e.format = ExportFormat::Pdf;
    e.path = w.folder.filePath("plan.pdf").toStdString();
    w.printing.exported = e;
    w.view->exportPlan();
    QVERIFY(contents(w.folder.filePath("plan.pdf")).startsWith("%PDF"));
    e.format = ExportFormat::Svg;
    e.path = w.folder.filePath("plan.svg").toStdString();
    w.printing.exported = e;
    w.view->exportPlan();
    const QByteArray svg = contents(w.folder.filePath("plan.svg"));
    QVERIFY(svg.contains("<svg") && svg.contains("viewBox=\"0 0 800 600\""));
    QVERIFY(svg.count("<path") + svg.count("<polyline") > 50);
    QVERIFY(w.reporter.messages.empty());

    // A folder that does not exist: a message naming the path; a file that
    // is there stays as it was.
    e.path = w.folder.filePath("none/plan.svg").toStdString();
    w.printing.exported = e;
    w.view->exportPlan();
    QVERIFY(w.reporter.said(e.path));
    QFile::setPermissions(w.folder.filePath("plan.svg"), QFileDevice::ReadOwner);
    QFile(w.folder.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    e.path = w.folder.filePath("plan.svg").toStdString();
    w.printing.exported = e;
    w.view->exportPlan();
    QFile(w.folder.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (::geteuid() != 0)  // the superuser may write anywhere
        QCOMPARE(contents(w.folder.filePath("plan.svg")), svg);
    QCOMPARE(exportFormatOf("a/b.PDF"), std::optional(ExportFormat::Pdf));
    QCOMPARE(exportFormatOf("a/b.jpg"), std::nullopt);
}

QTEST_MAIN(PrintTest)
#include "print_test.moc"
