// The page preview's wiring in the network window: the "Print" window's
// buttons reach the preview, "Simple" reaches every window, the mouse moves
// the plan on the page, the sample is printed to a PDF file with the plan
// where the preview put it, and the plan is exported as the window shows it.
#include <QCheckBox>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "print/planoutput.h"
#include "print/printtool.h"
#include "support.h"

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

    bool setupPrinter(QWidget*, QPrinter& printer) override
    {
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

struct Window : NetworkWindow {
    ScriptedPrinting printing;
    Window()
    {
        services.printing = &printing;
        printing.pdf = folder.filePath("printed.pdf");
        open(sample("mine"));
    }
    QRect page() const
    {
        const DevicePoint* c = view->plan().page.corners;
        return QRect(QPoint(int(c[0].x), int(c[0].y)), QPoint(int(c[2].x) - 1, int(c[2].y) - 1));
    }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), (from + to) / 2);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    }
};

// The box around everything drawn on white within `area` (its outline left
// out), as fractions of the page it lies on.
QRectF drawnOnPage(const QImage& image, const QRect& area, const QRect& page)
{
    QRect box;
    const QRect inside = area.adjusted(3, 3, -3, -3);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if ((image.pixel(x, y) & 0xffffff) != 0xffffff)
                box |= QRect(x, y, 1, 1);
    return QRectF((box.left() - page.left()) / double(page.width()), (box.top() - page.top()) / double(page.height()),
                  box.width() / double(page.width()), box.height() / double(page.height()));
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT

private slots:
    void theToolsButtonsReachThePreview();
    void simpleIsOneSettingForAllWindows();
    void printedPageMatchesThePreview();
    void exportWritesWhatTheWindowShows();
};

void PrintTest::theToolsButtonsReachThePreview()
{
    Window w;
    const ColourSlots screen = w.view->plan().settings.colours;
    w.view->togglePrint();
    QCOMPARE(w.view->viewport()->size(), QSize(800, 600));  // no scroll bars on the page
    QCOMPARE(w.view->backingImage().pixel(400, 300) & 0xffffff, 0xffffffu);  // the white page
    PrintToolDialog* tool = w.view->printTool();
    QVERIFY(tool);

    ColourSlots chosen = screen;
    chosen.road = rgb(0, 0, 200);
    w.printing.colours = chosen;
    QTest::mouseClick(tool->findChild<QPushButton*>("colorSetup"), Qt::LeftButton);
    QCOMPARE(w.view->plan().settings.colours.road, rgb(0, 0, 200));
    QTest::mouseClick(tool->findChild<QCheckBox*>("simple"), Qt::LeftButton);
    QCOMPARE(w.view->plan().settings.previewKind, 0);
    w.printing.orientation = QPageLayout::Landscape;
    QTest::mouseClick(tool->findChild<QPushButton*>("printerSetup"), Qt::LeftButton);
    QCOMPARE(w.view->plan().page.orientation, 2);
    QVERIFY(w.page().width() > w.page().height());

    // Out of the preview: the screen colours on the window, the chosen ones
    // kept as print colours, and in the profile when the window closes.
    w.view->togglePrint();
    QCOMPARE(w.view->plan().settings.colours.road, screen.road);
    QTRY_VERIFY(!w.view->printTool());
    w.view->togglePrint();  // closed in page preview
    w.close();
    QCOMPARE(w.profile.readInt(kDisplaySection, "print_road", 0), int(rgb(0, 0, 200)));
    QCOMPARE(w.profile.readInt(kDisplaySection, "road", 0), int(screen.road));
}

// "Simple" is one setting of the whole program: every window takes it at
// once, the profile keeps it, and the window closed last does not put back
// a choice of its own.
void PrintTest::simpleIsOneSettingForAllWindows()
{
    Window w;
    auto otherDocument = std::make_unique<NetworkDocument>(w.app, w.reporter);
    auto other = std::make_unique<CBriscoView>(*otherDocument, w.services);
    other->initialUpdate();
    w.view->togglePrint();
    other->togglePrint();
    QVERIFY(!other->printTool()->simple());

    QTest::mouseClick(w.view->printTool()->findChild<QCheckBox*>("simple"), Qt::LeftButton);
    QCOMPARE(other->plan().settings.previewKind, 0);
    QVERIFY(other->printTool()->simple());
    w.close();
    other.reset();  // closed last
    QCOMPARE(w.profile.readInt(kDisplaySection, "print_preview_num", 1), 0);
}

void PrintTest::printedPageMatchesThePreview()
{
    Window w;
    w.view->togglePrint();
    w.view->printerSetup();  // a PDF file, 2880 × 3969
    w.view->zoomOut();  // the whole plan on the page, off its centre
    const DevicePoint before = w.geo().drawingPosition(0, 0);
    // The simple preview's drag leaves what a full paint shows.
    w.view->setSimplePreview(true);
    w.drag({400, 300}, {410, 330});
    const QImage dragged = w.view->backingImage();
    w.view->repaint();
    QCOMPARE(w.view->backingImage(), dragged);
    w.view->setSimplePreview(false);
    w.drag({410, 330}, {420, 380});
    const DevicePoint moved = w.geo().drawingPosition(0, 0);
    QVERIFY(std::abs(moved.x - before.x - 20) <= 1 && std::abs(moved.y - before.y - 80) <= 1);

    const QImage preview = w.view->backingImage();
    preview.save("/tmp/print-preview.png");
    const QRectF shown = drawnOnPage(preview, w.page(), w.page());
    w.view->startPrinting();
    QVERIFY(w.reporter.messages.empty());
    QCOMPARE(w.view->backingImage(), preview);  // back in the preview, unchanged

    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm (poppler-utils) is needed to look at the printed page");
    QProcess render;
    const QString png = w.folder.filePath("printed");
    render.start(pdftoppm, {"-r", "72", "-png", "-singlefile", w.printing.pdf, png});
    QVERIFY(render.waitForFinished());
    const QImage printed(png + ".png");
    QCOMPARE(printed.width(), 576);  // 8 × 11.025 inches at 72 dpi
    printed.save("/tmp/printed-page.png");
    const QRectF onPaper = drawnOnPage(printed, printed.rect().adjusted(-3, -3, 3, 3), printed.rect());
    for (const auto& [a, b] : {std::pair{shown.left(), onPaper.left()}, std::pair{shown.top(), onPaper.top()},
                               std::pair{shown.right(), onPaper.right()}, std::pair{shown.bottom(), onPaper.bottom()}})
        QVERIFY2(std::abs(a - b) < 0.015, qPrintable(QString("%1 against %2").arg(a).arg(b)));
}

void PrintTest::exportWritesWhatTheWindowShows()
{
    Window w;
    const QImage shown = w.view->backingImage();
    const ColourSlots screen = w.view->plan().settings.colours;
    PlanExport e{w.folder.filePath("plan.png").toStdString(), ExportFormat::Png, false};
    w.printing.exported = e;
    w.view->exportPlan();
    QCOMPARE(QImage(w.folder.filePath("plan.png")).convertToFormat(QImage::Format_RGB32), shown);
    w.printing.exported = PlanExport{e.path, ExportFormat::Png, true};  // print colours on white
    w.view->exportPlan();
    QCOMPARE(QImage(w.folder.filePath("plan.png")).pixel(2, 2) & 0xffffff, 0xffffffu);
    QCOMPARE(w.view->plan().settings.colours.back, screen.back);  // the window keeps its own

    // Vector files: a PDF, an SVG of paths the window's size.
    w.printing.exported = PlanExport{w.folder.filePath("plan.pdf").toStdString(), ExportFormat::Pdf, false};
    w.view->exportPlan();
    QVERIFY(contents(w.folder.filePath("plan.pdf")).startsWith("%PDF"));
    w.printing.exported = PlanExport{w.folder.filePath("plan.svg").toStdString(), ExportFormat::Svg, false};
    w.view->exportPlan();
    const QByteArray svg = contents(w.folder.filePath("plan.svg"));
    QVERIFY(svg.contains("viewBox=\"0 0 800 600\"") && svg.count("<path") + svg.count("<polyline") > 50);
    // A folder that does not exist: a message naming the path.
    w.printing.exported = PlanExport{w.folder.filePath("none/plan.svg").toStdString(), ExportFormat::Svg, false};
    w.view->exportPlan();
    QCOMPARE(w.reporter.messages.size(), std::size_t(1));
    QVERIFY(w.reporter.contains(w.printing.exported->path));
}

QTEST_MAIN(PrintTest)
#include "print_test.moc"
