// The page preview and printing arithmetic of the plan view: where the page
// sits in the window, entering and leaving the preview, the printer's scale
// and dragging the plan on the page.
#include "display/planview.h"

#include <algorithm>

namespace orvex {

// --- page preview and printing -------------------------------------------------

PageRect pageOnScreen(int clientWidth, int clientHeight, int pageWidth, int pageHeight,
                      int orientation)
{
    const long long shortSide = std::min(pageWidth, pageHeight);
    const long long longSide = std::max(pageWidth, pageHeight);
    const bool portrait = orientation == 1;
    PageRect r;
    if (shortSide <= 0)
        return r;
    if (clientWidth > clientHeight) {
        r.height = 3 * clientHeight / 4;
        r.width = int(portrait ? shortSide * r.height / longSide : longSide * r.height / shortSide);
    } else {
        r.width = 3 * clientWidth / 4;
        r.height = int(portrait ? longSide * r.width / shortSide : shortSide * r.width / longSide);
    }
    r.left = (clientWidth - r.width) / 2;
    r.top = (clientHeight - r.height) / 2;
    return r;
}

void PlanView::pageLayout()
{
    geo.scrollWidth = geo.clientWidth;
    geo.scrollHeight = geo.clientHeight;
    geo.scrollSizesChanged = true;
    const PageRect r =
        pageOnScreen(geo.clientWidth, geo.clientHeight, page.pageWidth, page.pageHeight, page.orientation);
    const float left = float(r.left + geo.scrollX), top = float(r.top + geo.scrollY);
    page.corners[0] = {left, top};
    page.corners[1] = {left + r.width, top};
    page.corners[2] = {left + r.width, top + r.height};
    page.corners[3] = {left, top + r.height};
    geo.pageCornerX = r.left;
    geo.pageCornerY = r.top;
    if (page.pageScale == 0) {
        if (geo.clientWidth > 0 && geo.clientHeight > 0)
            geo.scale = std::min(r.width * geo.scale / geo.clientWidth,
                                 r.height * geo.scale / geo.clientHeight);
    } else {
        geo.scale = page.pageScale;
    }
    usePrintColours(settings.colours, settings.print);
    geo.pageDragX = page.lastDragX = int(page.savedOffsetX * geo.scale);
    geo.pageDragY = page.lastDragY = int(page.savedOffsetY * geo.scale);
    recomputeOrigin();
}

void PlanView::enterPagePreview()
{
    const float s0 = geo.scale;
    fitToWindow();
    geo.scale = s0;
    page.screenScale = s0;
    page.keptColours = settings.colours;
    geo.pagePreview = true;
    pageLayout();
    page.pageScale = geo.scale;
}

void PlanView::leavePagePreview()
{
    geo.pagePreview = false;
    page.savedOffsetX = int(geo.pageDragX / geo.scale);
    page.savedOffsetY = int(geo.pageDragY / geo.scale);
    page.pageScale = geo.scale;
    geo.scale = page.screenScale;
    settings.print = printColoursOf(settings.colours);
    usePrintColours(settings.colours, printColoursOf(page.keptColours));
    geo.pageCornerX = geo.pageCornerY = 0;
    geo.pageDragX = geo.pageDragY = 0;
    recomputeExtents(true);
}

float PlanView::beginPrint(int printerWidth, int printerHeight)
{
    PrintKeep& k = mPrintKeep;
    k.pageDragX = geo.pageDragX;
    k.pageDragY = geo.pageDragY;
    k.pageCornerX = geo.pageCornerX;
    k.pageCornerY = geo.pageCornerY;
    k.savedX = page.savedOffsetX;
    k.savedY = page.savedOffsetY;
    k.pageScale = page.pageScale;
    k.scale = geo.scale;
    page.printing = true;
    page.savedOffsetX = int(geo.pageDragX / geo.scale);
    page.savedOffsetY = int(geo.pageDragY / geo.scale);
    page.pageScale = geo.scale;
    geo.scale = page.screenScale;
    geo.pageCornerX = geo.pageCornerY = geo.pageDragX = geo.pageDragY = 0;
    geo.pagePreview = false;

    page.pageWidth = printerWidth;
    page.pageHeight = printerHeight;
    const int w = pageOnScreen(geo.clientWidth, geo.clientHeight, page.pageWidth, page.pageHeight,
                               page.orientation).width;
    const float printScale = w > 0 ? float(page.pageWidth) * page.pageScale / float(w) : geo.scale;

    mPrintScaleKeep = {geo.scale, page.pageScale, geo.minX, geo.maxX, geo.minY, geo.maxY,
                       geo.originX, geo.originY};
    geo.drawAll = true;
    geo.scale = printScale;
    const bool changed = geo.scrollSizesChanged;
    const int sw = geo.scrollWidth, sh = geo.scrollHeight;
    recomputeExtents(false);
    geo.scrollWidth = sw;
    geo.scrollHeight = sh;
    geo.scrollSizesChanged = changed;
    geo.pageDragX = int(printScale * page.savedOffsetX);
    geo.pageDragY = int(printScale * page.savedOffsetY);
    return printScale;
}

void PlanView::finishPrint()
{
    const ScaleKeep& s = mPrintScaleKeep;
    geo.scale = s.scale;
    page.pageScale = s.pageScale;
    geo.minX = s.minX;
    geo.maxX = s.maxX;
    geo.minY = s.minY;
    geo.maxY = s.maxY;
    geo.originX = s.originX;
    geo.originY = s.originY;
    geo.pageDragX = geo.pageDragY = 0;
    recomputeExtents(false);
    geo.drawAll = false;
    geo.pagePreview = true;
    pageLayout();

    const PrintKeep& k = mPrintKeep;
    geo.pageDragX = k.pageDragX;
    geo.pageDragY = k.pageDragY;
    geo.pageCornerX = k.pageCornerX;
    geo.pageCornerY = k.pageCornerY;
    page.savedOffsetX = k.savedX;
    page.savedOffsetY = k.savedY;
    page.pageScale = k.pageScale;
    geo.scale = k.scale;
    page.printing = false;
}

void PlanView::beginPageDrag(int x, int y)
{
    page.dragStartX = x - page.lastDragX;
    page.dragStartY = y - page.lastDragY;
    page.dragging = true;
}

void PlanView::pageDragTo(int x, int y)
{
    if (!page.dragging)
        return;
    geo.pageDragX = x - page.dragStartX;
    geo.pageDragY = y - page.dragStartY;
}

void PlanView::endPageDrag(int x, int y)
{
    if (!page.dragging)
        return;
    page.lastDragX = x - page.dragStartX;
    page.lastDragY = y - page.dragStartY;
    geo.pageDragX = page.lastDragX;
    geo.pageDragY = page.lastDragY;
    page.savedOffsetX = int(geo.pageDragX / geo.scale);
    page.savedOffsetY = int(geo.pageDragY / geo.scale);
    page.dragging = false;
}

}  // namespace orvex
