#pragma once

#include <memory>
#include <optional>
#include <string>

#include "display/displaysettings.h"
#include "display/planview.h"

class QPrinter;
class QWidget;

// The plan on paper and in files. The printout is the page preview's page
// at the printer's resolution; an export is what the window shows, written
// as a PNG picture, or as vector paths to PDF or SVG for reports and
// drawings. Both draw through the same plan painting as the window.
namespace orvex::gui {

enum class ExportFormat { Png, Pdf, Svg };

struct PlanExport {
    std::string path;
    ExportFormat format = ExportFormat::Png;
    bool printColours = false;  // the print colours on white, not the screen's
};

// The format a file name asks for by its extension; nullopt for others.
std::optional<ExportFormat> exportFormatOf(const std::string& path);

// The printable part of the printer's page in its own pixels, and its
// orientation: 1 portrait, 2 landscape.
struct PrinterPage {
    int width = 0, height = 0;
    int orientation = 1;
};
PrinterPage printerPage(const QPrinter& printer);

// Prints the page preview's plan on one page, the job named after the
// document. The plan must be in page preview and is back in it afterwards.
// Returns what went wrong, or an empty text.
std::string printPlan(PlanView& plan, QPrinter& printer, const std::string& jobName);

// Writes the plan as the window shows it, in the window's size. The file is
// replaced only when the whole picture was written. Returns what went
// wrong, or an empty text.
std::string exportPlan(PlanView& plan, const PlanExport& how, const std::string& title);

// The printer every window prints on, chosen once with printer setup, and
// the dialogs of printing. The program shows Qt's dialogs; tests answer
// themselves.
class PrintServices {
public:
    PrintServices();
    virtual ~PrintServices();

    // The printer, made at first use: the system's default printer.
    QPrinter& printer();
    bool printerChosen = false;  // printer setup was confirmed once
    // A printer that failed to start stays unusable: the next job gets a
    // new one, the system's default.
    void discardPrinter();

    // Printer, paper and orientation; false when cancelled.
    virtual bool setupPrinter(QWidget* parent, QPrinter& printer);
    // The "Color" dialog for the print colours (background and emphasis
    // disabled); nullopt when cancelled.
    virtual std::optional<ColourSlots> chooseColours(QWidget* parent, const ColourSlots& colours);
    // The file, format and colours of "Export plan"; nullopt when cancelled.
    virtual std::optional<PlanExport> chooseExport(QWidget* parent, const std::string& startFolder,
                                                   bool pagePreview);

private:
    std::unique_ptr<QPrinter> mPrinter;
};

// The program's one set, shared by every window.
PrintServices& programPrintServices();

}  // namespace orvex::gui
