// The editor's commands, event dispatch, picking, window marks and the node
// modes (make, change and move, delete).
#include "edit/editor.h"

#include <cmath>

#include "model/fileio.h"

namespace orvex {

namespace {

struct ModeCommand {
    int id;
    EditMode mode;
};

constexpr ModeCommand kModeCommands[] = {
    {command::kMakeNode, EditMode::MakeNode},     {command::kChangeNode, EditMode::ChangeNode},
    {command::kDeleteNode, EditMode::DeleteNode}, {command::kMakeRoad, EditMode::MakeRoad},
    {command::kChangeRoad, EditMode::ChangeRoad}, {command::kDeleteRoad, EditMode::DeleteRoad},
    {command::kMakeFan, EditMode::MakeFan},       {command::kChangeFan, EditMode::ChangeFan},
    {command::kDeleteFan, EditMode::DeleteFan},   {command::kZoomWithMouse, EditMode::Zoom},
};

const ModeCommand* modeCommand(int id)
{
    for (const ModeCommand& c : kModeCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

}  // namespace

std::string deleteNodeQuestion(int number)
{
    std::string text;
    appendf(text, "可以删除节点%d吗?", number);
    return text;
}

std::string deleteRoadQuestion(int first, int second)
{
    std::string text;
    appendf(text, "Do you want to delete the road %d to %d ?", first, second);
    return text;
}

std::string deleteFanQuestion(int inlet, int outlet)
{
    std::string text;
    appendf(text, "可以删除风机%d - %d吗?", inlet, outlet);
    return text;
}

Editor::Editor(CBriscoDoc& doc, PlanView& view, EditDialogs& dialogs, EditorWindow& window,
               Canvas& canvas, SharedEditState& shared)
    : mDoc(doc),
      mView(view),
      mDialogs(dialogs),
      mWindow(window),
      mCanvas(canvas),
      mShared(shared),
      mOps(doc, dialogs, window)
{
}

// --- commands ------------------------------------------------------------------

bool Editor::command(int id)
{
    if (id == command::kStop) {
        dropPicks();
        return true;
    }
    const ModeCommand* c = modeCommand(id);
    if (c == nullptr || mView.geo.pagePreview)
        return false;
    setMode(mMode == c->mode ? EditMode::None : c->mode);
    return true;
}

bool Editor::commandEnabled(int id) const
{
    if (id == command::kStop)
        return true;
    return modeCommand(id) != nullptr && !mView.geo.pagePreview;
}

bool Editor::commandChecked(int id) const
{
    const ModeCommand* c = modeCommand(id);
    return c != nullptr && !mView.geo.pagePreview && c->mode == mMode;
}

void Editor::pagePreviewStarted()
{
    setMode(EditMode::None);
}

void Editor::setMode(EditMode mode)
{
    if (mDrag.captured || mZoom.dragging)
        mWindow.captureMouse(false);
    mDrag = NodeDrag{};
    mZoom = ZoomState{};
    mBends.start(0);
    mMode = mode;
    clearPicks();
}

void Editor::clearPicks()
{
    mPickState = 0;
    mFirst = mSecond = 0;
}

void Editor::dropPicks()
{
    if (mMode == EditMode::ChangeNode && mFirst != 0 && mDrag.captured)
        nodeOutline(mFirst, mDrag.lastX, mDrag.lastY);  // take the dragged outline away
    if (mFirst != 0)
        unhighlight(mFirst);
    if (mSecond != 0 && mSecond != mFirst)
        unhighlight(mSecond);
    clearPicks();
}

// --- helpers ---------------------------------------------------------------------

void Editor::world(int x, int y, int& wx, int& wy) const
{
    float fx = 0, fy = 0;
    mView.geo.deviceToWorld(float(x + mView.geo.scrollX), float(y + mView.geo.scrollY), fx, fy);
    wx = int(fx);
    wy = int(fy);
}

int Editor::pickNode(int x, int y) const
{
    int wx = 0, wy = 0;
    world(x, y, wx, wy);
    const float r = mView.geo.nodeRadius;
    const int left = int(std::trunc(float(wx) - r));
    const int top = int(std::trunc(float(wy) - r));
    const int right = left + int(std::trunc(2 * r));
    const int bottom = top + int(std::trunc(2 * r));
    const PlanData& d = mView.data;
    for (int i = 1; i <= d.nodeCount; ++i) {
        const int px = int(std::trunc(d.nodeX[std::size_t(i)]));
        const int py = int(std::trunc(d.nodeY[std::size_t(i)]));
        if (px >= left && px < right && py >= top && py < bottom)
            return i;
    }
    return 0;
}

int Editor::docIndex(int viewIndex) const
{
    return mDoc.nodeIndex(number(viewIndex));
}

bool Editor::ask(const std::string& question)
{
    return mDoc.reporter().ask(question, kViewCaption, false) == Answer::Yes;
}

void Editor::prompt(const std::string& line1, const std::string& line2)
{
    const Colour colour = mView.settings.colours.online;
    const Colour back = mView.settings.colours.back;
    mCanvas.textOnBackground(0, 0, line1, colour, back);
    if (!line2.empty())
        mCanvas.textOnBackground(0, 20, line2, colour, back);
}

void Editor::highlight(int i)
{
    mView.drawNodeOnWindow(mCanvas, i, mView.settings.colours.strong);
}

void Editor::unhighlight(int i)
{
    mView.drawNodeOnWindow(mCanvas, i, mView.settings.colours.node);
}

void Editor::eraseNode(int i)
{
    mView.drawNodeOnWindow(mCanvas, i, mView.settings.colours.back);
}

// The inverted outline of node i (circle, surface ring, number) centred on a
// client point; drawing it twice at one place takes it away again.
void Editor::nodeOutline(int i, float cx, float cy)
{
    const ViewGeometry& g = mView.geo;
    const float r = g.nodeRadius;
    mView.drawCircleAtClient(mCanvas, cx, cy, r, 0);
    if (i <= mView.data.surfaceCount)
        mView.drawCircleAtClient(mCanvas, cx, cy, 1.15f * r, 0);
    // The plan's text is placed in world units: the world point that the
    // plan draws at this client point.
    const float wx = (cx - g.originX) / g.scale;
    const float wy = -(cy - g.originY) / g.scale;
    mCanvas.setInvert(true);
    mCanvas.setPen(PenStyle::Solid, 1, 0);
    mView.drawTextCentred(mCanvas, std::to_string(std::abs(number(i))), wx,
                          wy - 0.35f * g.charSize, 1, 0);
    mCanvas.setInvert(false);
}

void Editor::roadNormal(int k)
{
    mView.drawRoadNormalOnWindow(mCanvas, k);
}

void Editor::roadColour(int k, Colour colour)
{
    mView.drawRoadOnWindow(mCanvas, k, colour, colour, colour);
}

// --- event dispatch ------------------------------------------------------------------

bool Editor::leftButtonDown(int x, int y)
{
    if (mView.geo.pagePreview)
        return false;
    switch (mMode) {
    case EditMode::MakeNode: makeNodeAt(x, y); break;
    case EditMode::ChangeNode: pressNode(x, y); break;
    case EditMode::MakeRoad:
    case EditMode::ChangeRoad:
    case EditMode::DeleteRoad:
    case EditMode::InsertNode: pickForRoad(x, y); break;
    case EditMode::MakeFan:
    case EditMode::ChangeFan:
    case EditMode::DeleteFan: pickForFan(x, y); break;
    case EditMode::BendPoints: bendClick(x, y, false); break;
    case EditMode::Zoom: zoomPress(x, y); break;
    default: break;
    }
    return true;
}

bool Editor::leftButtonUp(int x, int y)
{
    if (mView.geo.pagePreview)
        return false;
    if (mMode == EditMode::ChangeNode)
        releaseNode(x, y);
    else if (mMode == EditMode::Zoom)
        zoomRelease(x, y);
    return true;
}

bool Editor::leftDoubleClick(int x, int y)
{
    if (mView.geo.pagePreview)
        return false;
    if (mMode == EditMode::ChangeNode)
        changeNodeAt(x, y);
    else if (mMode == EditMode::DeleteNode)
        deleteNodeAt(x, y);
    return true;
}

bool Editor::rightButtonDown(int x, int y)
{
    if (mView.geo.pagePreview)
        return false;
    if (mMode == EditMode::BendPoints)
        bendClick(x, y, true);
    else if (mMode >= EditMode::DeleteNode && mMode <= EditMode::DeleteFan)
        dropPicks();
    return true;
}

bool Editor::mouseMove(int x, int y)
{
    if (mView.geo.pagePreview)
        return false;
    if (mMode == EditMode::ChangeNode)
        dragNode(x, y);
    else if (mMode == EditMode::BendPoints)
        bendMove(x, y);
    else if (mMode == EditMode::Zoom)
        zoomMove(x, y);
    return true;
}

bool Editor::keyDown(Key key)
{
    if (mView.geo.pagePreview)
        return false;
    const ArrowScroll s = arrowScroll(mView.geo, key);
    if (!s.handled)
        return false;
    if (s.scrolled)
        mWindow.scrollTo(mView.geo.scrollX, mView.geo.scrollY);
    if (s.sizesChanged)
        mWindow.repaint();
    return true;
}

// --- mode 1: make new node -------------------------------------------------------------

void Editor::makeNodeAt(int x, int y)
{
    if (!mOps.roomForNode())
        return;
    const float r = mView.geo.nodeRadius;
    mView.drawCircleAtClient(mCanvas, float(x), float(y), r, 0);  // mark where the node goes
    int wx = 0, wy = 0;
    world(x, y, wx, wy);
    NewNodeValues values;
    bool marked = true;
    for (;;) {
        values = NewNodeValues{};
        values.kind = mShared.lastKind;
        const DialogResult result = mDialogs.makeNode(values);
        if (marked) {
            mView.drawCircleAtClient(mCanvas, float(x), float(y), r, 0);
            marked = false;
        }
        if (result != DialogResult::Ok)
            return;
        mShared.lastKind = values.kind;
        if (mOps.makeNode(values.number, values.elevation, values.kind, wx, wy))
            break;
    }
    mDoc.modified = true;
    const int i = mView.data.nodeIndex(values.number);
    if (i != 0)
        unhighlight(i);
    if (values.insertToRoad) {
        mShared.insertNode = values.number;
        setMode(EditMode::InsertNode);
        prompt(kPromptInsert);
    }
}

// --- mode 2: move a node, change its elevation ------------------------------------

void Editor::pressNode(int x, int y)
{
    const int i = pickNode(x, y);
    if (i == 0)
        return;
    mWindow.captureMouse(true);
    const ViewGeometry& g = mView.geo;
    const DevicePoint centre =
        g.worldToDevice(mView.data.nodeX[std::size_t(i)], mView.data.nodeY[std::size_t(i)]);
    mFirst = i;
    mPickState = 1;
    mDrag.captured = true;
    mDrag.pressX = x;
    mDrag.pressY = y;
    mDrag.lastX = centre.x - float(g.scrollX);
    mDrag.lastY = centre.y - float(g.scrollY);
    mDrag.offsetX = int(mDrag.lastX) - x;
    mDrag.offsetY = int(mDrag.lastY) - y;
    eraseNode(i);
    nodeOutline(i, mDrag.lastX, mDrag.lastY);
    mDoc.modified = true;
}

void Editor::dragNode(int x, int y)
{
    if (mFirst == 0 || !mDrag.captured)
        return;
    nodeOutline(mFirst, mDrag.lastX, mDrag.lastY);
    mDrag.lastX = float(x + mDrag.offsetX);
    mDrag.lastY = float(y + mDrag.offsetY);
    nodeOutline(mFirst, mDrag.lastX, mDrag.lastY);
}

void Editor::releaseNode(int x, int y)
{
    if (mDrag.captured)
        mWindow.captureMouse(false);
    const bool dragging = mDrag.captured && mFirst != 0;
    mDrag.captured = false;
    if (!dragging) {
        clearPicks();
        return;
    }
    const int i = mFirst;
    if (x == mDrag.pressX && y == mDrag.pressY) {
        unhighlight(i);
        clearPicks();
        return;
    }
    nodeOutline(i, mDrag.lastX, mDrag.lastY);
    int wx = 0, wy = 0;
    world(x + mDrag.offsetX, y + mDrag.offsetY, wx, wy);
    const int number = this->number(i);
    mOps.moveNode(docIndex(i), wx, wy);
    const int moved = mView.data.nodeIndex(number);
    if (moved != 0)
        unhighlight(moved);
    clearPicks();
    mDoc.modified = true;
}

void Editor::changeNodeAt(int x, int y)
{
    const int i = pickNode(x, y);
    if (i == 0)
        return;
    highlight(i);
    const int index = docIndex(i);
    if (index != 0) {
        NodeDataValues values;
        values.number = number(i);
        values.elevation = mOps.nodeElevation(index);
        values.kind = index > mDoc.surfaceCount ? NodeKind::Underground : NodeKind::Surface;
        if (mDialogs.changeNode(values) == DialogResult::Ok) {
            mOps.setNodeElevation(index, values.elevation);
            mDoc.modified = true;
        }
    }
    unhighlight(i);
}

// --- mode 3: delete node ----------------------------------------------------------------

void Editor::deleteNodeAt(int x, int y)
{
    const int i = pickNode(x, y);
    if (i == 0)
        return;
    highlight(i);
    if (!ask(deleteNodeQuestion(number(i)))) {
        unhighlight(i);
        return;
    }
    eraseNode(i);
    if (!mOps.deleteNode(docIndex(i)))
        mWindow.redrawAll();  // a refusal: the erased node comes back
    mDoc.modified = true;
}

}  // namespace orvex
