#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "control/viewcontrol.h"
#include "edit/editops.h"
#include "edit/snapshot.h"
#include "model/briscodoc.h"

class QUndoStack;

// The document of one network window with the views that show it. The
// document's arrays (some 400 KB) live on the heap, one per window.
//
// The document keeps the undo history of its network: one step per edit
// operation and per change of the title, each a snapshot of the network
// after it (the one before is the previous step's). Undo and redo restore
// the network and leave the analysis results as an edit leaves them. The
// history starts again when a network is read; its saved step is the
// clean state of the stack, and going back to it clears the modified flag
// unless something outside the history (a run, the parameters) changed the
// document meanwhile.
namespace orvex::gui {

class CBriscoView;

class NetworkDocument : public QObject, public DocumentViews, public ViewDocument {
    Q_OBJECT
public:
    // The history keeps this many steps; the oldest go first.
    static constexpr int kUndoLimit = 100;

    NetworkDocument(AppContext& app, Reporter& reporter);
    ~NetworkDocument() override;

    CBriscoDoc& doc() { return *mDoc; }
    const CBriscoDoc& doc() const { return *mDoc; }

    void addView(CBriscoView* view);
    void removeView(CBriscoView* view);
    const std::vector<CBriscoView*>& views() const { return mViews; }

    // Copies the document into every view that shows it and repaints them.
    void updateAllViews() override;
    void redrawAll() override { updateAllViews(); }
    // An edit operation changed the network: a new undo step.
    void networkChanged(const std::string& operation) override;

    QUndoStack& undoStack() { return *mUndo; }
    // The network as it stands starts a new history (it was read or made).
    void resetHistory() override;
    // The network as it stands was written: the history's clean state.
    void markSaved() override;
    // Something outside the history changed the document (a run, the
    // parameters): the saved state can no longer be reached by undo.
    void changedOutsideHistory() override;
    // The plan was turned by rotatePlan(degrees): the history turns along.
    void planTurned(int degrees) override;
    // A run left its results in the document: they are those of the network
    // as it stands (as are the results read with a network).
    void analysisRan();
    // The network is not the one the results in the document belong to: an
    // edit, undo or redo changed it since the run (or since it was read).
    bool changedSinceRun() const override;
    // Memory the history holds.
    std::size_t historyBytes() const;

signals:
    // Undo or redo changed the network.
    void historyApplied();
    // An edit operation, undo or redo changed the network.
    void networkEdited();

private:
    class Step;
    friend class Step;
    void apply(const std::shared_ptr<NetworkSnapshot>& snapshot);

    std::unique_ptr<CBriscoDoc> mDoc;
    std::vector<CBriscoView*> mViews;
    QUndoStack* mUndo;
    std::shared_ptr<NetworkSnapshot> mCurrent;  // the network after the last step
    std::shared_ptr<NetworkSnapshot> mResultsNetwork;  // the network of the last run
    std::vector<std::weak_ptr<NetworkSnapshot>> mSnapshots;  // all the history holds, for turning
};

}  // namespace orvex::gui
