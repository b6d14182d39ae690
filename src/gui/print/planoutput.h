#pragma once

#include <memory>
#include <optional>
#include <string>

#include "display/displaysettings.h"
#include "control/viewwindow.h"
#include "display/planview.h"

class QPrinter;
class QWidget;

// The plan on paper and in files. The printout is the page preview's page
// at the printer's resolution; an export is what the window shows, written
// as a PNG picture, or as vector paths to PDF or SVG for reports and
// drawings. Both draw through the same plan painting as the window.
namespace orvex::gui {

using orvex::ExportFormat;
using orvex::PlanExport;
using orvex::PrinterPage;
using orvex::exportFormatOf;

PrinterPage printerPage(const QPrinter& printer);

// How many pixels wide a one-pixel pen draws on a printer of this
// resolution: lines are as wide on paper as on a screen of 96 pixels an inch.
double printPenScale(int dotsPerInch);

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

// A window's printer: the services' printer and dialogs over `parent`. A
// printer that failed to start is discarded.
class WindowPrinter : public PlanPrinter {
public:
    WindowPrinter(PrintServices& services, QWidget* parent) : mServices(services), mParent(parent) {}
    std::string print(PlanView& plan, const std::string& jobName) override;
    std::optional<PrinterPage> setupPrinter() override;
    std::optional<ColourSlots> chooseColours(const ColourSlots& colours) override;
    std::optional<PlanExport> chooseExport(const std::string& startFolder, bool pagePreview) override;
    std::string exportPlan(PlanView& plan, const PlanExport& how, const std::string& title) override;

private:
    PrintServices& mServices;
    QWidget* mParent;
};

}  // namespace orvex::gui
