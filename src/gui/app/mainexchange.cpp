// The main window's imports and exports: File > Import (tables, a drawing,
// an EPANET file) into a new network window, Update from tables on the
// active one, and File > Export of the active network.
#include <QFileInfo>

#include "app/childframe.h"
#include "app/mainframe.h"
#include "dialogs/dxfimportdialog.h"
#include "exchange/dxfimport.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"

namespace orvex::gui {

namespace {

// The folder of the active network's files, where the dialogs start.
std::string folderOf(CChildFrame* child)
{
    if (!child || child->document().doc().baseName.empty())
        return {};
    return QFileInfo(QString::fromStdString(child->document().doc().baseName)).absolutePath().toStdString();
}

}  // namespace

std::optional<exchange::DxfImportOptions> CMainFrame::askDxfOptions(const std::vector<std::string>& layers)
{
    if (mDxfOptions)
        return mDxfOptions(layers);
    DxfImportDialog dialog(layers, {}, QString::fromStdString(std::string(mServices.app.units.resistanceUnitName.view())),
                           this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

void CMainFrame::importFile(ExchangeFormat format)
{
    const std::optional<std::string> path = mServices.files.exchangeFile(this, format, false, folderOf(activeChild()));
    if (!path)
        return;
    exchange::DxfImportOptions dxf;
    if (format == ExchangeFormat::Dxf) {
        std::string error;
        const std::vector<std::string> layers = exchange::dxfLayers(*path, error);
        if (!error.empty()) {
            mServices.reporter.message(error + "\nNothing was imported.", kImportCaption, MessageKind::Warning);
            return;
        }
        const std::optional<exchange::DxfImportOptions> chosen = askDxfOptions(layers);
        if (!chosen)
            return;
        dxf = *chosen;
    }
    CChildFrame* child = newWindow();
    if (!child)
        return;
    const ExchangeOutcome outcome = importNetwork(child->document().doc(), format, *path, dxf);
    if (!outcome.done) {
        delete child;  // a window of its own for the import only
        updateMenus();
    } else {
        child->view()->networkImported(true);
        child->updateCaption();
    }
    mServices.reporter.message(outcome.message, kImportCaption, outcome.kind);
    updateMenus();
}

void CMainFrame::updateFromTables()
{
    CChildFrame* child = activeChild();
    if (!child || !action("updatetables")->isEnabled())
        return;
    const std::optional<std::string> folder =
        mServices.files.exchangeFile(this, ExchangeFormat::Tables, false, folderOf(child));
    if (!folder)
        return;
    const ExchangeOutcome outcome = orvex::updateFromTables(child->document().doc(), *folder);
    if (outcome.done) {
        child->document().networkChanged("Update from tables");
        child->view()->networkImported(false);
        child->updateCaption();
    }
    mServices.reporter.message(outcome.message, kImportCaption, outcome.kind);
    updateMenus();
}

void CMainFrame::exportFile(ExchangeFormat format)
{
    CChildFrame* child = activeChild();
    if (!child || !canExport(child->document().doc(), format))
        return;
    const std::optional<std::string> path = mServices.files.exchangeFile(this, format, true, folderOf(child));
    if (!path)
        return;
    const ExchangeOutcome outcome = exportNetwork(child->document().doc(), format, *path, mServices.reporter);
    if (!outcome.message.empty())
        mServices.reporter.message(outcome.message, kExportCaption, outcome.kind);
}

void CMainFrame::createExchangeActions()
{
    const struct {
        const char* name;
        const char* text;
        const char* tip;
        ExchangeFormat format;
        bool import;
    } commands[] = {
        {"importtables", "Tables…", "A new network from a folder of CSV tables", ExchangeFormat::Tables, true},
        {"importdxf", "Drawing (DXF)…", "A new network from the airways of a mine plan drawn in CAD",
         ExchangeFormat::Dxf, true},
        {"importinp", "EPANET input file…", "A new water network from an EPANET input file", ExchangeFormat::Inp, true},
        {"exporttables", "Tables…", "The network as CSV tables for a spreadsheet", ExchangeFormat::Tables, false},
        {"exportdxf", "Drawing (DXF)…", "The plan as a drawing to lay over the mine plan in CAD",
         ExchangeFormat::Dxf, false},
        {"exportinp", "EPANET input file…", "The water network as an EPANET input file", ExchangeFormat::Inp, false},
    };
    for (const auto& c : commands)
        connect(makeAction(c.name, c.text, {}, c.tip), &QAction::triggered, this,
                [this, format = c.format, import = c.import] { import ? importFile(format) : exportFile(format); });
    connect(makeAction("updatetables", "Update from tables…", {},
                       "Change the values of this network's elements, and add elements, from CSV tables"),
            &QAction::triggered, this, &CMainFrame::updateFromTables);
}

}  // namespace orvex::gui
