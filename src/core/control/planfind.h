#pragma once

#include <string>

#include "control/results.h"
#include "control/viewcontrol.h"
#include "display/planpick.h"

// Pointing at the plan and finding on it: what a click on a road, node or
// fan does when no edit mode is on, the tool tip of the element under a
// resting mouse, and Find, which reads a node number, a road's two nodes,
// a road's name or a fan's nodes and brings the element into the middle
// of the window.
namespace orvex {

// An element of the network, or why none was found.
struct FoundElement {
    MarkKind kind = MarkKind::None;
    int element = 0;      // road 1..Nr+Nf, node index 1..N, fan 1..F
    std::string message;  // what was not found
    bool found() const { return kind != MarkKind::None; }
};

// What a Find text names:
//   "212"                     the node numbered 212
//   "212 213", "212-213",     the road between the two nodes, in either
//   "212,213"                 order, or else a fan between them
//   "fan 5 6"                 the fan between the two nodes
//   a road's name             the first road of that name, whatever the case
// A text that reads as numbers but names nothing may still be a road's name.
// Road names are decoded as the results table decodes them.
FoundElement findElement(const CBriscoDoc& doc, const std::string& text, const FileTextDecoder& decode);

// The tool tip of an element: a heading line that names it, then its main
// values as the results tables show them, one "name: value unit" a line.
// Empty when there is no such element.
std::string elementTip(const CBriscoDoc& doc, MarkKind kind, int element, const FileTextDecoder& decode);

// What the window's results dock does for the plan.
class ResultsRows {
public:
    virtual ~ResultsRows() = default;
    // Chooses the row of the element (road, node index or fan) chosen on
    // the plan or found.
    virtual void chooseRow(ResultsTab tab, int element) = 0;
};

class PlanFinder {
public:
    // What is not found is said through the parts' reporter; names are
    // decoded with `decode`.
    PlanFinder(const ViewParts& parts, ViewController& control, ViewWindow& window, ResultsRows& rows,
               FileTextDecoder decode);

    // Whether the mouse points at the plan's elements: the plan is shown,
    // no edit mode is on and no run holds the document.
    bool pointing() const;
    // A left click, client pixels: the element under it is marked and its
    // row chosen. False when the click is not the pointer's (see pointing()).
    bool click(int x, int y);
    // The tool tip for a mouse resting at a client point; empty for none.
    std::string tipAt(int x, int y) const;
    // Find: the element is marked, its row chosen and the plan scrolled so
    // that it lies in the middle of the window, as far as the plan reaches.
    // Otherwise the reporter says what was not found. True when found.
    bool find(const std::string& text);

private:
    void choose(MarkKind kind, int element);

    const CBriscoDoc& mDoc;
    const PlanView& mPlan;
    const Editor& mEditor;
    Reporter& mReporter;
    ViewController& mControl;
    ViewWindow& mWindow;
    ResultsRows& mRows;
    FileTextDecoder mDecode;
};

inline const std::string kFindCaption = "Find";

}  // namespace orvex
