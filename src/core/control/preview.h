#pragma once

#include <optional>
#include <string>

#include "display/displaysettings.h"
#include "display/planview.h"

// The page preview of a network view, and what the plan becomes on paper
// and in files, apart from the printer and the writers of the formats.
namespace orvex {

class ViewWindow;
class PlanPrinter;
class Reporter;

enum class ExportFormat { Png, Pdf, Svg };

struct PlanExport {
    std::string path;
    ExportFormat format = ExportFormat::Png;
    bool printColours = false;  // the print colours on white, not the screen's
};

// The format a file name asks for by its extension (in any case); nullopt
// for others.
std::optional<ExportFormat> exportFormatOf(const std::string& path);
const char* extensionOf(ExportFormat format);

// The printable part of the printer's page in its own pixels, and its
// orientation: 1 portrait, 2 landscape.
struct PrinterPage {
    int width = 0, height = 0;
    int orientation = 1;
    float dotsPerPixel = 0;  // printer dots per screen pixel; 0: not known
};

// Why the page preview's plan cannot be printed on this page now (a PDF
// printer without a file cannot start); an empty text when it can.
std::string printRefusal(const PlanView& plan, const PrinterPage& page, bool pdfWithoutFile);
// After a printout that failed: the page keeps its proportions and the plan
// its place on it.
void restorePageAfterFailedPrint(PlanView& plan, int pageWidth, int pageHeight);

// The plan drawn into a file while this lives: in full (the simple
// preview's inverted lines would be white on white), and in the print
// colours on white when asked for outside the page preview. The window's
// look comes back when it goes.
class ExportLook {
public:
    ExportLook(PlanView& plan, bool printColours);
    ~ExportLook();
    ExportLook(const ExportLook&) = delete;
    ExportLook& operator=(const ExportLook&) = delete;

private:
    PlanView& mPlan;
    ColourSlots mScreen;
    int mPreviewKind;
};

// The page preview: made when a view enters it, gone when it leaves. While
// it lives, zooming sizes the plan on the page, the mouse moves the plan on
// the page, and the page fills the window.
class PagePreview {
public:
    PagePreview(PlanView& plan, ViewWindow& window);
    PagePreview(const PagePreview&) = delete;
    PagePreview& operator=(const PagePreview&) = delete;

    // Back to the plan: a drag under way ends where it is.
    void leave();
    // The page on the window after the client size or the printer changed.
    void layOut();
    void zoom(bool in);
    void leftButtonDown(int x, int y);
    void leftButtonUp(int x, int y);
    void mouseMove(int x, int y);

    // One page on the printer; a failure is reported as a warning.
    void print(PlanPrinter& printer, const std::string& jobName, Reporter& reporter);
    void printerSetup(PlanPrinter& printer);
    void colourSetup(PlanPrinter& printer);

private:
    PlanView& mPlan;
    ViewWindow& mWindow;
};

}  // namespace orvex
