#include "print/planoutput.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <ctime>

#include "dialogs/colordialog.h"
#include "view/qpaintercanvas.h"

namespace orvex::gui {

namespace {

QString quoted(const std::string& path)
{
    return "\"" + QString::fromStdString(path) + "\"";
}

// The plan as the window paints it, in scrolled device units, with its
// title block in the bottom-right corner.
void paintPlan(QPainter& painter, PlanView& plan)
{
    painter.translate(-plan.geo.scrollX, -plan.geo.scrollY);
    QPainterCanvas canvas(painter);
    plan.paint(canvas);
    const ColourSlots& c = plan.settings.colours;
    plan.drawTitleBlock(canvas, float(plan.geo.scrollX + plan.geo.clientWidth - 10),
                        float(plan.geo.scrollY + plan.geo.clientHeight - 10), dateText(std::time(nullptr)),
                        c.onnode, c.back);
}

// Draws onto a painter that has begun on a device; false when it had not.
bool paintOnto(QPainter& painter, PlanView& plan)
{
    if (!painter.isActive())
        return false;
    paintPlan(painter, plan);
    return painter.end();
}

bool writeImage(QIODevice& file, PlanView& plan, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (!paintOnto(painter, plan))
        return false;
    return image.save(&file, "PNG");
}

bool writePdf(QIODevice& file, PlanView& plan, int width, int height, const QString& title)
{
    // One point a pixel: the page is the window's size, the paths its lines.
    QPdfWriter writer(&file);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point, QString(),
                                 QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(title);
    writer.setCreator("ORVEX");
    QPainter painter(&writer);
    return paintOnto(painter, plan);
}

bool writeSvg(QIODevice& file, PlanView& plan, int width, int height, const QString& title)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle(title);
    svg.setDescription("Ventilation network plan");
    QPainter painter(&svg);
    return paintOnto(painter, plan);
}

// "Export plan": the file, its format and the colours.
class ExportPlanDialog : public QDialog {
public:
    ExportPlanDialog(const std::string& startFolder, bool pagePreview, QWidget* parent)
        : QDialog(parent)
    {
        setWindowTitle("Export plan");
        mPath = new QLineEdit(QDir(QString::fromStdString(startFolder)).filePath("plan.png"));
        mPath->setObjectName("path");
        mPath->setMinimumWidth(mPath->fontMetrics().horizontalAdvance(QString(40, 'x')));
        auto* browse = new QPushButton("Browse...");
        browse->setObjectName("browse");
        auto* pathRow = new QHBoxLayout;
        pathRow->addWidget(mPath);
        pathRow->addWidget(browse);
        mFormat = new QComboBox;
        mFormat->setObjectName("format");
        mFormat->addItems({"PNG picture", "PDF document (vector)", "SVG drawing (vector)"});
        mScreen = new QRadioButton("screen colours");
        mScreen->setObjectName("screenColours");
        mPrint = new QRadioButton("print colours on white");
        mPrint->setObjectName("printColours");
        mScreen->setChecked(true);
        if (pagePreview) {  // the preview shows its page in the print colours
            mPrint->setChecked(true);
            mScreen->setEnabled(false);
            mPrint->setEnabled(false);
        }
        auto* colours = new QVBoxLayout;
        colours->addWidget(mScreen);
        colours->addWidget(mPrint);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
        buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
        auto* form = new QFormLayout(this);
        form->addRow("File", pathRow);
        form->addRow("Format", mFormat);
        form->addRow("Colours", colours);
        form->addRow(buttons);

        connect(browse, &QPushButton::clicked, this, [this] {
            const QString chosen = QFileDialog::getSaveFileName(
                this, "Export plan", mPath->text(),
                "PNG picture (*.png);;PDF document (*.pdf);;SVG drawing (*.svg)");
            if (!chosen.isEmpty())
                mPath->setText(chosen);
        });
        // The format follows the file's extension, and the extension the format.
        connect(mPath, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (const std::optional<ExportFormat> f = exportFormatOf(text.toStdString()))
                mFormat->setCurrentIndex(int(*f));
        });
        connect(mFormat, &QComboBox::currentIndexChanged, this, [this](int index) {
            const QFileInfo file(mPath->text());
            const QString wanted = extensionOf(ExportFormat(index));
            if (file.suffix().toLower() != wanted && !mPath->text().isEmpty())
                mPath->setText(QDir(file.path()).filePath(file.completeBaseName() + "." + wanted));
        });
        connect(buttons, &QDialogButtonBox::accepted, this, &ExportPlanDialog::check);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }

    PlanExport choice() const
    {
        PlanExport e;
        e.path = mPath->text().trimmed().toStdString();
        e.format = ExportFormat(mFormat->currentIndex());
        e.printColours = mPrint->isChecked();
        return e;
    }

private:
    void check()
    {
        const QFileInfo file(mPath->text().trimmed());
        QString problem;
        if (mPath->text().trimmed().isEmpty() || file.fileName().isEmpty())
            problem = "Please name the file to write.";
        else if (!exportFormatOf(file.filePath().toStdString()))
            problem = "Please name a file ending in .png, .pdf or .svg.";
        else if (!file.absoluteDir().exists())
            problem = QString("The folder \"%1\" does not exist.").arg(file.absolutePath());
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, "Export plan", problem);
            mPath->setFocus();
            return;
        }
        accept();
    }

    QLineEdit* mPath;
    QComboBox* mFormat;
    QRadioButton *mScreen, *mPrint;
};

}  // namespace

PrinterPage printerPage(const QPrinter& printer)
{
    const QPageLayout layout = printer.pageLayout();
    const QRect printable = layout.paintRectPixels(printer.resolution());
    PrinterPage page;
    page.width = printable.width();
    page.height = printable.height();
    page.orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    page.dotsPerPixel = float(printPenScale(printer.resolution()));
    return page;
}

double printPenScale(int dotsPerInch)
{
    return std::max(1.0, dotsPerInch / 96.0);
}

std::string printPlan(PlanView& plan, QPrinter& printer, const std::string& jobName)
{
    const PrinterPage page = printerPage(printer);
    // A PDF printer without a file (what Qt gives where the system has no
    // printer) cannot start; asked to, it would stay unusable.
    const std::string refusal = printRefusal(
        plan, page, printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty());
    if (!refusal.empty())
        return refusal;
    printer.setDocName(QString::fromStdString(jobName));
    plan.page.dotsPerPixel = page.dotsPerPixel;
    const int keptWidth = plan.page.pageWidth, keptHeight = plan.page.pageHeight;
    plan.beginPrint(page.width, page.height);
    std::string error;
    {
        QPainter painter;
        if (painter.begin(&printer)) {
            {
                // No background: the paper is the page.
                QPainterCanvas canvas(painter);
                const double scale = printPenScale(printer.resolution());
                canvas.setPenScale(scale);
                plan.drawNetwork(canvas, true);
                // The title block in the page's lower right corner, the colour legends above it, on white.
                const float margin = float(24 * scale), unit = float(scale);
                const Colour ink = plan.settings.colours.onnode, paper = rgb(255, 255, 255);
                const DevicePoint block = plan.drawTitleBlock(canvas, float(page.width) - margin,
                                                              float(page.height) - margin,
                                                              dateText(std::time(nullptr)), ink, paper, unit);
                const float left = plan.settings.look.titleBlock ? block.x : margin;
                plan.drawColourLegends(canvas, left, block.y - 6 * unit, ink, paper, unit);
            }
            if (!painter.end())
                error = "The page could not be sent to the printer.";
        } else if (printer.outputFormat() == QPrinter::PdfFormat) {
            error = "The file " + quoted(printer.outputFileName().toStdString()).toStdString() +
                    " could not be written.";
        } else {
            error = "The printer \"" + printer.printerName().toStdString() + "\" could not be started.";
        }
    }
    plan.finishPrint();
    if (!error.empty())  // nothing printed
        restorePageAfterFailedPrint(plan, keptWidth, keptHeight);
    return error;
}

std::string exportPlan(PlanView& plan, const PlanExport& how, const std::string& title)
{
    const int width = std::max(1, plan.geo.clientWidth);
    const int height = std::max(1, plan.geo.clientHeight);
    QSaveFile file(QString::fromStdString(how.path));
    if (!file.open(QIODevice::WriteOnly))
        return "The plan could not be written to " + quoted(how.path).toStdString() + ": " +
               file.errorString().toStdString() + ".";

    const QString name = QString::fromStdString(title);
    bool written = false;
    {
        const ExportLook look(plan, how.printColours);
        switch (how.format) {
        case ExportFormat::Png: written = writeImage(file, plan, width, height); break;
        case ExportFormat::Pdf: written = writePdf(file, plan, width, height, name); break;
        case ExportFormat::Svg: written = writeSvg(file, plan, width, height, name); break;
        }
    }
    if (!written || !file.commit())
        return "The plan could not be written to " + quoted(how.path).toStdString() + ".";
    return {};
}

// --- the dialogs ------------------------------------------------------------------

PrintServices::PrintServices() = default;
PrintServices::~PrintServices() = default;

void PrintServices::discardPrinter()
{
    mPrinter.reset();
    printerChosen = false;
}

QPrinter& PrintServices::printer()
{
    if (!mPrinter)
        mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *mPrinter;
}

bool PrintServices::setupPrinter(QWidget* parent, QPrinter& printer)
{
    // One page, always the whole plan: no page ranges, no selection.
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle("printer setup");
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<ColourSlots> PrintServices::chooseColours(QWidget* parent, const ColourSlots& colours)
{
    ColorDialog dialog(colours, true, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.colours();
}

std::optional<PlanExport> PrintServices::chooseExport(QWidget* parent, const std::string& startFolder,
                                                      bool pagePreview)
{
    ExportPlanDialog dialog(startFolder, pagePreview, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::string WindowPrinter::print(PlanView& plan, const std::string& jobName)
{
    const std::string error = printPlan(plan, mServices.printer(), jobName);
    const QPrinter::PrinterState state = mServices.printer().printerState();
    if (!error.empty() && (state == QPrinter::Error || state == QPrinter::Active))
        mServices.discardPrinter();
    return error;
}

std::optional<PrinterPage> WindowPrinter::setupPrinter()
{
    if (!mServices.setupPrinter(mParent, mServices.printer()))
        return std::nullopt;
    const PrinterPage page = printerPage(mServices.printer());
    mServices.printerChosen = true;
    return page;
}

std::optional<ColourSlots> WindowPrinter::chooseColours(const ColourSlots& colours)
{
    return mServices.chooseColours(mParent, colours);
}

std::optional<PlanExport> WindowPrinter::chooseExport(const std::string& startFolder, bool pagePreview)
{
    return mServices.chooseExport(mParent, startFolder, pagePreview);
}

std::string WindowPrinter::exportPlan(PlanView& plan, const PlanExport& how, const std::string& title)
{
    return gui::exportPlan(plan, how, title);
}

PrintServices& programPrintServices()
{
    // Never destroyed: the printer must not outlive the application's end
    // in a static destructor.
    static PrintServices* services = new PrintServices;
    return *services;
}

}  // namespace orvex::gui
