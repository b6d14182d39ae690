#pragma once

#include <string>

#include "display/canvas.h"
#include "display/planview.h"
#include "edit/bendentry.h"
#include "edit/editdialogs.h"
#include "edit/editops.h"
#include "edit/viewnavigation.h"

// The network view as an editor: the edit modes, what each mouse event and
// key does in each mode, how a click picks a node, the prompts and
// questions, and the marks drawn at once on the window before the next full
// redraw. The window program translates its mouse and key events into calls
// here (client coordinates; the scroll position is the view geometry's) and
// routes the edit commands here; the model changes go through the edit
// operations, values come from the edit dialogs.
namespace orvex {

// Command ids of the "Edit" menu, the edit tool bar and the Esc accelerator.
namespace command {
constexpr int kMakeNode = 32781;
constexpr int kChangeNode = 32782;
constexpr int kDeleteNode = 32783;
constexpr int kMakeRoad = 32784;
constexpr int kChangeRoad = 32785;
constexpr int kDeleteRoad = 32786;
constexpr int kMakeFan = 32787;
constexpr int kChangeFan = 32788;
constexpr int kDeleteFan = 32789;
constexpr int kStop = 32795;          // Esc: drop a half-made pick
constexpr int kZoomWithMouse = 32802;  // "Zoom in with mouse(&M)"
}  // namespace command

enum class EditMode {
    None = 0,
    MakeNode = 1,
    ChangeNode = 2,
    DeleteNode = 3,
    MakeRoad = 4,
    ChangeRoad = 5,
    DeleteRoad = 6,
    MakeFan = 7,
    ChangeFan = 8,
    DeleteFan = 9,
    BendPoints = 10,  // entered from ChangeRoad through "Change a location"
    Zoom = 11,
    InsertNode = 12,  // entered from MakeNode through "Insert to a road"
};

// The window that shows the view, as the editor needs it.
class EditorWindow : public DocumentViews {
public:
    // The window scrolls to this position (the geometry already holds it).
    virtual void scrollTo(int x, int y) = 0;
    // Repaints the whole view, taking the new scrollable size when the
    // geometry says it changed.
    virtual void repaint() = 0;
    virtual void captureMouse(bool on) = 0;
};

// What all network views share: the node kind chosen last in "Make new
// node" and the node waiting to be inserted into a road.
struct SharedEditState {
    NodeKind lastKind = NodeKind::Underground;
    int insertNode = 0;  // node number
};

// Prompts and questions.
inline const std::string kPromptInsert = "Choose both sides of node of the road";
inline const std::string kPromptLocation = "Change a location of road. ";
inline const std::string kPromptBendClick =
    "decide a bending point with a click(LEFT : solid line  RIGHT : symbol)";
std::string deleteNodeQuestion(int number);
std::string deleteRoadQuestion(int first, int second);
std::string deleteFanQuestion(int inlet, int outlet);

class Editor {
public:
    Editor(CBriscoDoc& doc, PlanView& view, EditDialogs& dialogs, EditorWindow& window,
           Canvas& canvas, SharedEditState& shared);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // --- commands ---
    // A mode command toggles its mode and drops the picks; Stop drops the
    // picks only. False when the command is not the editor's or is disabled.
    bool command(int id);
    bool commandEnabled(int id) const;
    bool commandChecked(int id) const;
    // The page preview takes the mouse: every mode ends.
    void pagePreviewStarted();

    // --- events, client coordinates; false when the editor leaves the event
    // to someone else (the page preview, keys other than the arrows) ---
    bool leftButtonDown(int x, int y);
    bool leftButtonUp(int x, int y);
    bool leftDoubleClick(int x, int y);
    bool rightButtonDown(int x, int y);
    bool mouseMove(int x, int y);
    bool keyDown(Key key);

    // The lowest-indexed node of the view whose position lies in the
    // node-radius square around the client point; 0 when none.
    int pickNode(int x, int y) const;

    EditMode mode() const { return mMode; }
    int pickState() const { return mPickState; }
    const BendEntry& bendEntry() const { return mBends; }
    EditOperations& operations() { return mOps; }

private:
    void setMode(EditMode mode);
    void clearPicks();
    void dropPicks();  // un-highlights what is picked, then clears
    void world(int x, int y, int& wx, int& wy) const;
    int docIndex(int viewIndex) const;
    int number(int viewIndex) const { return mView.data.nodeNumber[std::size_t(viewIndex)]; }
    bool ask(const std::string& question);
    void prompt(const std::string& line1, const std::string& line2 = {});

    // drawing straight onto the window
    void highlight(int i);
    void unhighlight(int i);
    void eraseNode(int i);
    void nodeOutline(int i, float cx, float cy);
    void roadNormal(int k);
    void roadColour(int k, Colour colour);
    void zoomBand(const ClientRect& r);

    // the modes
    void makeNodeAt(int x, int y);
    void pressNode(int x, int y);
    void dragNode(int x, int y);
    void releaseNode(int x, int y);
    void changeNodeAt(int x, int y);
    void deleteNodeAt(int x, int y);
    void pickForRoad(int x, int y);
    void roadBetweenPicks();
    void makeRoadBetweenPicks();
    void pickForFan(int x, int y);
    void fanBetweenPicks();
    void bendClick(int x, int y, bool right);
    void bendMove(int x, int y);
    void finishBends();
    void bendStart(float& x, float& y) const;
    void zoomPress(int x, int y);
    void zoomMove(int x, int y);
    void zoomRelease(int x, int y);

    CBriscoDoc& mDoc;
    PlanView& mView;
    EditDialogs& mDialogs;
    EditorWindow& mWindow;
    Canvas& mCanvas;
    SharedEditState& mShared;
    EditOperations mOps;

    EditMode mMode = EditMode::None;
    int mPickState = 0;
    int mFirst = 0, mSecond = 0;

    // ChangeNode: the node being dragged
    struct NodeDrag {
        bool captured = false;
        int pressX = 0, pressY = 0;
        int offsetX = 0, offsetY = 0;  // press point to the node's centre, pixels
        float lastX = 0, lastY = 0;    // client centre of the outline on the screen
    } mDrag;

    BendEntry mBends;

    struct ZoomState {
        bool dragging = false;
        int pressX = 0, pressY = 0;
        bool bandShown = false;
        ClientRect band;
    } mZoom;
};

}  // namespace orvex
