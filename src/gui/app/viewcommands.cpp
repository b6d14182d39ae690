#include "app/viewcommands.h"

#include "view/briscoview.h"

namespace orvex::gui {

std::vector<ViewCommandEntry> viewCommands()
{
    // "Print" toggles the page preview, where the plan is placed on the page
    // and printed; the analysis commands come with the analysis dialog.
    return {
        {"save", "Save(&w)\tCtrl+S", QKeySequence::Save, "Save the network", &CBriscoView::save},
        {"saveas", "Save As(&S)", {}, "Save the network under a new name", &CBriscoView::saveAs},
        {"print", "Print(&P)\tCtrl+P", QKeySequence::Print, "Page preview and printing", &CBriscoView::togglePrint,
         true},
        {"startprinting", "start printing(&T)", {}, "Print the page", &CBriscoView::startPrinting},
        {"printersetup", "printer setup(&C)", {}, "Choose the printer, the paper and its orientation",
         &CBriscoView::printerSetup},
        {"exportplan", "Export plan...", {}, "Write the plan as the window shows it to PNG, PDF or SVG",
         &CBriscoView::exportPlan},
        {"displaysetting", "Display Setting\tCtrl+G", QKeySequence("Ctrl+G"),
         "Figure size, labels and colours of the plan", &CBriscoView::displaySetting},
        {"fit", "Fit to window", {}, "Fit the plan to the window", &CBriscoView::fitToWindow},
        {"zoomin", "Zoom in", QKeySequence::ZoomIn, "Double the scale", &CBriscoView::zoomIn},
        {"zoomout", "Zoom out", QKeySequence::ZoomOut, "Halve the scale", &CBriscoView::zoomOut},
        {"rightturn", "Right turn", {}, "Turn the plan 45 degrees clockwise", &CBriscoView::rightTurn},
        {"leftturn", "Left turn", {}, "Turn the plan 45 degrees anticlockwise", &CBriscoView::leftTurn},
        {"update", "Update\tF5", QKeySequence(Qt::Key_F5), "Redraw the plan from the network",
         &CBriscoView::updateScreen},
        {"info", "Info", {}, "The network's title", &CBriscoView::info},
        {"find", "Find...\tCtrl+F", QKeySequence::Find,
         "Find a node, a road or a fan and bring it to the middle of the plan", &CBriscoView::find},
        {"analysis", "Standard(&A)\tCtrl+K", QKeySequence("Ctrl+K"), "Run the airflow analysis or the fire simulation",
         &CBriscoView::openAnalysisDialog},
        {"parameter", "Parameter(&P)", {}, "Solver and fire parameters", &CBriscoView::editParameters},
        {"fancurve", "Fan character display(&L)", {}, "Show the fans' characteristic curves",
         &CBriscoView::fanCharacterDisplay},
    };
}

const std::vector<EditCommand> kEditCommands = {
    {command::kMakeNode, "makenode", "Make new node", "Click where the new node goes"},
    {command::kChangeNode, "changenode", "Change node data", "Drag a node to move it; double-click it for its data"},
    {command::kDeleteNode, "deletenode", "Delete node", "Double-click the node to delete"},
    {command::kMakeRoad, "makeroad", "Make new road", "Click the road's two nodes"},
    {command::kChangeRoad, "changeroad", "Change road data", "Click the road's two nodes"},
    {command::kDeleteRoad, "deleteroad", "Delete road", "Click the road's two nodes"},
    {command::kMakeFan, "makefan", "Make new fan", "Click the fan's inlet node, then its outlet node"},
    {command::kChangeFan, "changefan", "Change fan data", "Click the fan's two nodes"},
    {command::kDeleteFan, "deletefan", "Delete fan", "Click the fan's two nodes"},
    {command::kZoomWithMouse, "zoommouse", "Zoom in with mouse(&M)", "Zoom into a rectangle drawn with the mouse"},
};

}  // namespace orvex::gui
