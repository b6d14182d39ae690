// The network view's page preview, printing and export: the "Print"
// window and the forwarding of its commands to the view's controller.
#include <QScrollBar>

#include "print/planoutput.h"
#include "print/printtool.h"
#include "view/briscoview.h"

namespace orvex::gui {

PrintServices& CBriscoView::printing()
{
    return mServices.printing ? *mServices.printing : programPrintServices();
}

void CBriscoView::showPrintTool(bool simple)
{
    if (mPrintTool)
        return;
    mPrintTool = new PrintToolDialog(simple, this);
    mPrintTool->setAttribute(Qt::WA_DeleteOnClose);
    connect(mPrintTool, &PrintToolDialog::startPrinting, this, &CBriscoView::startPrinting);
    connect(mPrintTool, &PrintToolDialog::printerSetup, this, &CBriscoView::printerSetup);
    connect(mPrintTool, &PrintToolDialog::colourSetup, this, &CBriscoView::colourSetup);
    connect(mPrintTool, &PrintToolDialog::simpleToggled, this, &CBriscoView::setSimplePreview);
    // beside the page, at the window's top right
    mPrintTool->adjustSize();
    const QPoint corner = viewport()->mapToGlobal(viewport()->rect().topRight());
    mPrintTool->move(corner.x() - mPrintTool->width() - 16, corner.y() + 16);
    mPrintTool->show();
}

void CBriscoView::closePrintTool()
{
    if (PrintToolDialog* tool = mPrintTool) {
        mPrintTool = nullptr;
        tool->close();
    }
}

void CBriscoView::setPrintToolSimple(bool simple)
{
    if (mPrintTool)
        mPrintTool->setSimple(simple);
}

void CBriscoView::togglePrint() { mControl->togglePrint(); }

void CBriscoView::startPrinting()
{
    WindowPrinter printer(printing(), this);
    mControl->startPrinting(printer);
}

void CBriscoView::printerSetup()
{
    WindowPrinter printer(printing(), this);
    mControl->printerSetup(printer);
}

void CBriscoView::colourSetup()
{
    WindowPrinter printer(printing(), this);
    mControl->colourSetup(printer);
}

void CBriscoView::exportPlan()
{
    WindowPrinter printer(printing(), this);
    mControl->exportPlan(printer);
}

// One setting for the whole program: every view takes it at once.
void CBriscoView::setSimplePreview(bool simple)
{
    setPreviewKind(mServices.sharedDisplay, mServices.profile, simple ? 0 : 1);
    for (CBriscoView* view : mServices.views)
        view->takePreviewKind();
}

void CBriscoView::takePreviewKind()
{
    mControl->takePreviewKind(previewKind(mServices.sharedDisplay, mServices.profile));
}

}  // namespace orvex::gui
