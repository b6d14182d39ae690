#include "control/preview.h"

#include <cctype>

#include "control/viewwindow.h"
#include "model/reporter.h"

namespace orvex {

// --- files and paper -----------------------------------------------------------------

std::optional<ExportFormat> exportFormatOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return std::nullopt;
    std::string suffix = name.substr(dot + 1);
    for (char& c : suffix)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (suffix == "png")
        return ExportFormat::Png;
    if (suffix == "pdf")
        return ExportFormat::Pdf;
    if (suffix == "svg")
        return ExportFormat::Svg;
    return std::nullopt;
}

const char* extensionOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Png: return "png";
    case ExportFormat::Pdf: return "pdf";
    case ExportFormat::Svg: return "svg";
    }
    return "png";
}

std::string printRefusal(const PlanView& plan, const PrinterPage& page, bool pdfWithoutFile)
{
    if (!plan.geo.pagePreview)
        return "Printing starts from the page preview.";
    if (page.width <= 0 || page.height <= 0)
        return "The printer's page has no printable area: choose another paper with printer setup.";
    if (pdfWithoutFile)
        return "There is no printer: choose one, or a PDF file, with printer setup.";
    return {};
}

void restorePageAfterFailedPrint(PlanView& plan, int pageWidth, int pageHeight)
{
    const int dragX = plan.geo.pageDragX, dragY = plan.geo.pageDragY;
    plan.page.pageWidth = pageWidth;
    plan.page.pageHeight = pageHeight;
    plan.pageLayout();
    plan.geo.pageDragX = plan.page.lastDragX = dragX;
    plan.geo.pageDragY = plan.page.lastDragY = dragY;
    plan.recomputeOrigin();
}

ExportLook::ExportLook(PlanView& plan, bool printColours)
    : mPlan(plan), mScreen(plan.settings.colours), mPreviewKind(plan.settings.previewKind)
{
    plan.settings.previewKind = 1;
    if (printColours && !plan.geo.pagePreview) {
        usePrintColours(plan.settings.colours, plan.settings.print);
        plan.settings.colours.back = rgb(255, 255, 255);
    }
}

ExportLook::~ExportLook()
{
    mPlan.settings.colours = mScreen;
    mPlan.settings.previewKind = mPreviewKind;
}

// --- the page preview ----------------------------------------------------------------

PagePreview::PagePreview(PlanView& plan, ViewWindow& window) : mPlan(plan), mWindow(window)
{
    mWindow.syncClient();
    mPlan.enterPagePreview();
    layOut();
}

void PagePreview::leave()
{
    if (mPlan.page.dragging)
        mPlan.endPageDrag(mPlan.page.dragStartX + mPlan.geo.pageDragX,
                          mPlan.page.dragStartY + mPlan.geo.pageDragY);
    mPlan.leavePagePreview();
    mWindow.applyScrollSizes();
    mWindow.redraw();
}

// The page fills the window without scroll bars: laid out once, the bars
// go and the window grows, so it is laid out once more.
void PagePreview::layOut()
{
    for (int pass = 0; pass < 2; ++pass) {
        mWindow.syncClient();
        mPlan.pageLayout();
        mWindow.applyScrollSizes();
    }
    mWindow.redraw();
}

void PagePreview::zoom(bool in)
{
    in ? mPlan.zoomIn() : mPlan.zoomOut();
    mWindow.repaint();
}

void PagePreview::leftButtonDown(int x, int y)
{
    mPlan.beginPageDrag(x, y);
}

void PagePreview::leftButtonUp(int x, int y)
{
    if (!mPlan.page.dragging)
        return;
    mPlan.endPageDrag(x, y);
    mWindow.redraw();
}

// The simple preview moves the plan's lines alone: drawn once more in the
// inverting mode where they were, which takes them away, and again where
// they go. The full preview draws the page anew.
void PagePreview::mouseMove(int x, int y)
{
    if (!mPlan.page.dragging)
        return;
    if (mPlan.settings.previewKind == 0 && mPlan.networkLoaded) {
        Canvas& canvas = mWindow.windowCanvas();
        canvas.setInvert(true);
        mPlan.drawNetwork(canvas, false);
        mPlan.pageDragTo(x, y);
        mPlan.drawNetwork(canvas, false);
        canvas.setInvert(false);
        mWindow.refresh();
    } else {
        mPlan.pageDragTo(x, y);
        mWindow.redraw();
    }
}

void PagePreview::print(PlanPrinter& printer, const std::string& jobName, Reporter& reporter)
{
    mWindow.syncClient();
    std::string error;
    {
        BusyWindow busy(mWindow);
        error = printer.print(mPlan, jobName);
    }
    // The page is laid out again for the printer's proportions, the plan
    // where it was on it.
    mWindow.applyScrollSizes();
    mWindow.redraw();
    if (!error.empty())
        reporter.message(error, "Print", MessageKind::Warning);
}

void PagePreview::printerSetup(PlanPrinter& printer)
{
    const std::optional<PrinterPage> page = printer.setupPrinter();
    if (!page)
        return;
    if (page->width > 0 && page->height > 0) {
        mPlan.page.orientation = page->orientation;
        mPlan.page.pageWidth = page->width;
        mPlan.page.pageHeight = page->height;
        if (page->dotsPerPixel > 0)
            mPlan.page.dotsPerPixel = page->dotsPerPixel;
    }
    layOut();
}

void PagePreview::colourSetup(PlanPrinter& printer)
{
    const std::optional<ColourSlots> chosen = printer.chooseColours(mPlan.settings.colours);
    if (!chosen)
        return;
    const PrintColours print = printColoursOf(*chosen);
    usePrintColours(mPlan.settings.colours, print);
    mPlan.settings.print = print;
    mWindow.redraw();
}

}  // namespace orvex
