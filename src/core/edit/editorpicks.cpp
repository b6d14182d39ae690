// The editor's two-node modes (roads, fans, inserting a node), the entry of
// a road's bending points and the zoom rectangle.
#include <algorithm>

#include "edit/editor.h"

namespace orvex {

// --- modes 4, 5, 6 and 12: a road chosen by its two nodes ----------------------------

void Editor::pickForRoad(int x, int y)
{
    const int i = pickNode(x, y);
    if (i == 0)
        return;
    if (mPickState == 0) {
        mFirst = i;
        mPickState = 1;
        highlight(i);
        return;
    }
    mSecond = i;
    const int k = mDoc.findRoad(number(mFirst), number(mSecond), RoadScope::All);
    if (k != 0) {
        highlight(mSecond);
        roadBetweenPicks();
    } else if (mMode == EditMode::MakeRoad) {
        highlight(mSecond);
        makeRoadBetweenPicks();
    } else {
        mSecond = 0;  // the first pick stays; the next click picks a new second node
    }
}

void Editor::roadBetweenPicks()
{
    const int k = mDoc.findRoad(number(mFirst), number(mSecond), RoadScope::All);
    const ColourSlots& c = mView.settings.colours;
    switch (mMode) {
    case EditMode::MakeRoad:
        mDoc.reporter().message(kAlreadyExist, kViewCaption, MessageKind::Error);
        dropPicks();
        break;
    case EditMode::ChangeRoad:
        roadColour(k, c.strong);
        if (mOps.changeRoadData(k) == DialogResult::ChangeLocation) {
            mMode = EditMode::BendPoints;
            mBends.start(k);
            prompt(kPromptLocation, kPromptBendClick);
            roadColour(k, c.back);
            clearPicks();
        } else {
            dropPicks();
            roadNormal(k);
        }
        break;
    case EditMode::DeleteRoad:
        if (ask(deleteRoadQuestion(mDoc.roads[std::size_t(k)].first,
                                   mDoc.roads[std::size_t(k)].second))) {
            roadColour(k, c.back);
            mOps.deleteRoad(k);
            mDoc.modified = true;
        }
        dropPicks();
        break;
    case EditMode::InsertNode:
        mOps.insertNode(mShared.insertNode, k);
        // The first node stays picked: the next click picks a new second node.
        if (mSecond != mFirst)
            unhighlight(mSecond);
        mSecond = 0;
        break;
    default:
        break;
    }
}

void Editor::makeRoadBetweenPicks()
{
    const int a = number(mFirst), b = number(mSecond);
    if (a == b) {
        mDoc.reporter().message(kSelfRoad, kViewCaption, MessageKind::Error);
        dropPicks();
        return;
    }
    if (!mOps.roomForRoad()) {
        dropPicks();
        return;
    }
    NewRoadValues v;
    v.first = a;
    v.second = b;
    if (mDialogs.makeRoad(v) == DialogResult::Ok) {
        const bool added = v.fixedFlow
            ? mOps.addFixedRoad(a, b, v.airflow)
            : mOps.addNormalRoad(a, b, v.resistance, v.temperature, v.area, v.length,
                                 v.conductivity);
        mDoc.modified = true;
        if (added)
            roadNormal(v.fixedFlow ? mDoc.totalRoads() : mDoc.roadCount);
    }
    dropPicks();
}

// --- modes 7, 8 and 9: a fan chosen by its two nodes --------------------------------------

void Editor::pickForFan(int x, int y)
{
    const int i = pickNode(x, y);
    if (i == 0)
        return;
    highlight(i);
    if (mPickState == 0) {
        mFirst = i;
        mPickState = 1;
        return;
    }
    mSecond = i;
    fanBetweenPicks();
    dropPicks();
}

void Editor::fanBetweenPicks()
{
    const ColourSlots& c = mView.settings.colours;
    const int f = mOps.findFan(number(mFirst), number(mSecond));
    if (f == 0) {
        if (mMode != EditMode::MakeFan)
            return;
        const int before = mDoc.fanCount;
        mOps.makeFan(number(mFirst), number(mSecond));
        if (mDoc.fanCount > before)
            mView.drawFanOnWindow(mCanvas, mDoc.fanCount, c.node);
        return;
    }
    if (mMode == EditMode::DeleteFan) {
        mView.drawFanOnWindow(mCanvas, f, c.strong);
        if (ask(deleteFanQuestion(mDoc.fans[std::size_t(f)].inlet,
                                  mDoc.fans[std::size_t(f)].outlet))) {
            mView.drawFanOnWindow(mCanvas, f, c.back);
            mOps.deleteFan(f);
            mDoc.modified = true;
        } else {
            mView.drawFanOnWindow(mCanvas, f, c.node);
        }
    } else if (mMode == EditMode::ChangeFan) {
        mView.drawFanOnWindow(mCanvas, f, c.strong);
        mOps.changeFan(f);
        mView.drawFanOnWindow(mCanvas, f, c.node);
    }
}

// --- mode 10: the bending points of a road ----------------------------------------------

// Where the next segment starts: the last point entered, or the road's first node.
void Editor::bendStart(float& x, float& y) const
{
    if (mBends.count() > 0) {
        const BendPoint& p = mBends.point(mBends.count() - 1);
        x = float(p.x);
        y = float(p.y);
        return;
    }
    x = y = 0;
    const int k = mBends.road();
    if (k < 1 || k > mView.data.roadCount + mView.data.fixedCount)
        return;
    const int i = mView.data.nodeIndex(mView.data.roadFirst[std::size_t(k)]);
    if (i != 0) {
        x = mView.data.nodeX[std::size_t(i)];
        y = mView.data.nodeY[std::size_t(i)];
    }
}

void Editor::bendMove(int x, int y)
{
    float sx = 0, sy = 0;
    bendStart(sx, sy);
    if (mBends.bandShown())
        mView.drawLineOnWindow(mCanvas, sx, sy, float(mBends.bandX()), float(mBends.bandY()), 0);
    int wx = 0, wy = 0;
    world(x, y, wx, wy);
    mView.drawLineOnWindow(mCanvas, sx, sy, float(wx), float(wy), 0);
    mBends.bandDrawnTo(wx, wy);
}

void Editor::bendClick(int x, int y, bool right)
{
    const int k = mBends.road();
    const int i = pickNode(x, y);
    if (i != 0 && k >= 1 && k <= mView.data.roadCount + mView.data.fixedCount &&
        i == mView.data.nodeIndex(mView.data.roadSecond[std::size_t(k)])) {
        finishBends();
        return;
    }
    if (mBends.full()) {
        mDoc.reporter().message(kBendPointsFull, kViewCaption, MessageKind::Error);
        return;
    }
    int wx = 0, wy = 0;
    world(x, y, wx, wy);
    int mark = 1;
    if (right) {
        const int item = mDialogs.chooseSymbol();
        mark = item >= 0 && item < kSymbolItems ? item : kSymbolLine;
        if (item == kSymbolNoLine) {
            mark = -1;
            float sx = 0, sy = 0;
            bendStart(sx, sy);
            mView.drawLineOnWindow(mCanvas, sx, sy, float(wx), float(wy),
                                   mView.settings.colours.back);
        }
    }
    mBends.append(wx, wy, mark);
}

void Editor::finishBends()
{
    const int k = mBends.road();
    if (mBends.bandShown()) {
        float sx = 0, sy = 0;
        bendStart(sx, sy);
        mView.drawLineOnWindow(mCanvas, sx, sy, float(mBends.bandX()), float(mBends.bandY()), 0);
        mBends.bandErased();
    }
    // The road must still be the one the entry began with.
    const bool same = k >= 1 && k <= mDoc.totalRoads() &&
                      mDoc.roads[std::size_t(k)].first == mView.data.roadFirst[std::size_t(k)] &&
                      mDoc.roads[std::size_t(k)].second == mView.data.roadSecond[std::size_t(k)];
    if (!same || !mOps.replaceBends(k, mBends.points(), mBends.count()))
        mWindow.redrawAll();
    mBends.start(0);
    mMode = EditMode::ChangeRoad;
    clearPicks();
}

// --- mode 11: zoom in with the mouse -----------------------------------------------------

void Editor::zoomBand(const ClientRect& r)
{
    mCanvas.moveTo(float(r.x0), float(r.y0));
    mCanvas.lineTo(float(r.x1), float(r.y0));
    mCanvas.lineTo(float(r.x1), float(r.y1));
    mCanvas.lineTo(float(r.x0), float(r.y1));
    mCanvas.lineTo(float(r.x0), float(r.y0));
}

void Editor::zoomPress(int x, int y)
{
    mZoom = ZoomState{};
    mZoom.pressX = x;
    mZoom.pressY = y;
    mZoom.dragging = true;
    mWindow.captureMouse(true);
}

void Editor::zoomMove(int x, int y)
{
    if (!mZoom.dragging)
        return;
    mCanvas.setInvert(true);
    mCanvas.setPen(PenStyle::Solid, 1, 0);
    if (mZoom.bandShown)
        zoomBand(mZoom.band);
    mZoom.band = zoomRectangle(mZoom.pressX, mZoom.pressY, x, y, mView.geo.clientWidth,
                               mView.geo.clientHeight);
    zoomBand(mZoom.band);
    mZoom.bandShown = true;
    mCanvas.setInvert(false);
}

void Editor::zoomRelease(int x, int y)
{
    if (!mZoom.dragging)
        return;
    mZoom.dragging = false;
    mWindow.captureMouse(false);
    if (y == mZoom.pressY)
        return;
    const ClientRect r = zoomRectangle(mZoom.pressX, mZoom.pressY, x, y, mView.geo.clientWidth,
                                       mView.geo.clientHeight);
    mCanvas.setPen(PenStyle::Solid, 2, mView.settings.colours.back);
    zoomBand(mZoom.bandShown ? mZoom.band : r);
    mZoom.bandShown = false;
    const int left = std::min(r.x0, r.x1), right = std::max(r.x0, r.x1);
    // A rectangle without height still zooms by its width; its top is kept.
    const int top = std::min(r.y0, r.y1);
    const int bottom = std::max(r.y1, r.y0) > top ? std::max(r.y0, r.y1) : top + 1;
    int scrollX = 0, scrollY = 0;
    if (right != left &&
        mView.zoomToRectangle(left, top, right, bottom, mDoc.reporter(), scrollX, scrollY)) {
        mView.geo.scrollX = scrollX;
        mView.geo.scrollY = scrollY;
        mWindow.repaint();
        mWindow.scrollTo(scrollX, scrollY);
    }
    mDoc.modified = true;
}

}  // namespace orvex
