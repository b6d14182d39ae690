#pragma once

#include <string>

#include "edit/editdialogs.h"
#include "model/briscodoc.h"

// The operations that change a network: make, change and delete nodes,
// roads and fans, move a node, insert a node into a road, merge the two
// roads of a deleted node, and replace a road's bending points.
//
// Every operation checks its inputs first and refuses in a message box,
// leaving the model as it was. A change keeps the arrays dense and ordered
// (surface nodes before underground nodes, normal roads before fixed-flow
// roads), rebuilds the adjacency where nodes or normal roads changed, sets
// the document's modified flag and asks every view to redraw.
namespace orvex {

// All views of one document.
class DocumentViews {
public:
    virtual ~DocumentViews() = default;
    // Copies the document into every view that shows it and repaints them.
    virtual void redrawAll() = 0;
    // An edit operation changed the network; operation names it for the
    // person ("Delete node 212"). Called once per operation, before the
    // views are redrawn.
    virtual void networkChanged(const std::string& operation) { (void)operation; }
};

// One bending point as the editor enters it: world units and its point mark
// (-1 no line to it, 0 or 1 a plain line, 2..7 a symbol).
struct BendPoint {
    int x = 0, y = 0;
    int mark = 1;
};
constexpr int kMaxBendPointsPerRoad = 49;

// Refusals, exactly as the person sees them.
inline const std::string kFixedRoadAtNode = "Impossible:Fixed branch ";
inline const std::string kFanAtNode = "Impossible:Fan ";
inline const std::string kNotTwoRoads = "Impossible:Number of connection is not 0/2 ";
inline const std::string kDifferentRoads = "Impossible:Different sectinal area/thermal ";
inline const std::string kSameRoadMade = "Impossible:Same branch create ";
inline const std::string kAlreadyExist = "Already exist ";
inline const std::string kDifferentElevation = "Impossible: different elevation of both sides ";
inline const std::string kBendStoreFull = "No more array for branch location";
// "Node number must be 0 - 1500".
std::string nodeNumberRangeMessage();

// Refusals of what the model cannot hold or what would make no sense.
inline const std::string kNodesFull = "Impossible:No more nodes (at most 999) ";
inline const std::string kRoadsFull = "Impossible:No more roads (at most 1499) ";
inline const std::string kFansFull = "Impossible:No more fans (at most 49) ";
inline const std::string kSelfRoad = "Impossible:A road must join two different nodes ";
inline const std::string kSelfFan = "Impossible:A fan must join two different nodes ";
inline const std::string kBothRoadsToOneNode = "Impossible:Both roads lead to the same node ";
inline const std::string kInsertIntoFixed =
    "Impossible:A node cannot be inserted into a fixed flow road "
    "(it has no temperature, area or heat conductivity) ";
inline const std::string kInsertAtRoadEnd = "Impossible:The node is an end of the road ";
inline const std::string kBendPointsFull = "Impossible:At most 49 bending points per road ";
// "Impossible:No node 12 ".
std::string noSuchNodeMessage(int number);

class EditOperations {
public:
    EditOperations(CBriscoDoc& doc, EditDialogs& dialogs, DocumentViews& views);

    // --- nodes ---
    // 1 when `number` may be given to a new node; 0 refused (0 silently,
    // outside 0..1499 or already used with a message).
    int checkNewNodeNumber(int number);
    // A surface node takes the index after the last surface node, pushing
    // every underground node up one; an underground node goes last.
    // 1 made, 0 refused.
    int makeNode(int number, float elevation, NodeKind kind, int x, int y);
    // Deletes node `index`. A node without roads simply goes; an underground
    // node between exactly two similar normal roads goes and its two roads
    // become one. True when the node was deleted.
    bool deleteNode(int index);
    float nodeElevation(int index) const;
    void setNodeElevation(int index, float elevation);
    void moveNode(int index, int x, int y);

    // --- roads ---
    // The new normal road becomes the last normal road; the fixed-flow roads
    // move up one number. True when added.
    bool addNormalRoad(int first, int second, float resistance, float temperature, float area,
                       float length, float conductivity);
    bool addFixedRoad(int first, int second, float airflow);
    // Removes road k. Its bending points stay in the store, unreferenced,
    // until the bending points are next written and read back.
    void deleteRoad(int k);
    // Opens the road's data dialog; OK and "Change a location" store the
    // values. Returns how the dialog was closed.
    DialogResult changeRoadData(int k);
    // Splits normal road k at node `number` through the "Insert node" dialog.
    // 1 done, 0 refused or cancelled.
    int insertNode(int number, int k);
    // Replaces road k's bending points: its old block leaves the store, which
    // closes up behind it, and the new block is appended. False when the
    // store has no room (nothing changes then).
    bool replaceBends(int k, const BendPoint* points, int count);

    // --- fans ---
    // Lowest-numbered fan joining a and b in either direction, 0 when none.
    int findFan(int a, int b) const;
    // Opens "make new fans" and appends the fan on OK. True when added.
    bool makeFan(int inlet, int outlet);
    void changeFan(int k);
    // The last fan takes the deleted fan's number.
    void deleteFan(int k);

    // --- room checks, each with its message when there is none ---
    bool roomForNode();
    bool roomForRoad(int more = 1);
    bool roadCanBeAdded(int first, int second);
    bool roomForFan();

private:
    void refuse(const std::string& text, const std::string& caption = kDocumentCaption);
    void changed(const std::string& operation);
    static std::string pair(int a, int b);
    bool nodeExists(int number);
    void removeNodeAt(int index);
    void appendNormalRoad(const Road& road);
    void appendFixedRoad(const Road& road);
    void removeRoadAt(int k);

    CBriscoDoc& mDoc;
    EditDialogs& mDialogs;
    DocumentViews& mViews;
};

}  // namespace orvex
