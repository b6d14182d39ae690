#include "view/networkdocument.h"

#include <QUndoStack>
#include <algorithm>

#include "view/briscoview.h"

namespace orvex::gui {

// One step of the history: the network before and after an operation. The
// operation has already been done when the step is pushed.
class NetworkDocument::Step : public QUndoCommand {
public:
    Step(NetworkDocument& document, std::shared_ptr<NetworkSnapshot> before,
         std::shared_ptr<NetworkSnapshot> after, const std::string& text)
        : mDocument(document), mBefore(std::move(before)), mAfter(std::move(after))
    {
        setText(QString::fromStdString(text));
    }
    void undo() override { mDocument.apply(mBefore); }
    void redo() override
    {
        if (mDone) {
            mDone = false;
            return;
        }
        mDocument.apply(mAfter);
    }

private:
    NetworkDocument& mDocument;
    std::shared_ptr<NetworkSnapshot> mBefore, mAfter;
    bool mDone = true;  // pushed after the operation
};

NetworkDocument::NetworkDocument(AppContext& app, Reporter& reporter)
    : mDoc(std::make_unique<CBriscoDoc>(app, reporter)), mUndo(new QUndoStack(this))
{
    mUndo->setUndoLimit(kUndoLimit);
    connect(mUndo, &QUndoStack::cleanChanged, this, [this](bool clean) {
        mDoc->modified = !clean;
        for (CBriscoView* view : mViews)
            emit view->stateChanged();
    });
    resetHistory();
}

NetworkDocument::~NetworkDocument() = default;

void NetworkDocument::addView(CBriscoView* view)
{
    mViews.push_back(view);
}

void NetworkDocument::removeView(CBriscoView* view)
{
    mViews.erase(std::remove(mViews.begin(), mViews.end(), view), mViews.end());
}

void NetworkDocument::updateAllViews()
{
    for (CBriscoView* view : mViews)
        view->updateFromDocument();
}

}  // namespace orvex::gui

namespace orvex::gui {

void NetworkDocument::networkChanged(const std::string& operation)
{
    auto after = std::make_shared<NetworkSnapshot>(takeSnapshot(*mDoc));
    mSnapshots.push_back(after);
    mUndo->push(new Step(*this, mCurrent, after, operation));
    mCurrent = std::move(after);
    // Drop the dead entries now and then, so the list stays as long as the history.
    if (mSnapshots.size() > std::size_t(4 * kUndoLimit))
        mSnapshots.erase(std::remove_if(mSnapshots.begin(), mSnapshots.end(),
                                        [](const std::weak_ptr<NetworkSnapshot>& s) { return s.expired(); }),
                         mSnapshots.end());
    emit networkEdited();
}

void NetworkDocument::apply(const std::shared_ptr<NetworkSnapshot>& snapshot)
{
    restoreSnapshot(*mDoc, *snapshot);
    mCurrent = snapshot;
    mDoc->modified = true;  // the stack clears it when this is the saved state
    updateAllViews();
    emit historyApplied();
    emit networkEdited();
}

void NetworkDocument::resetHistory()
{
    mUndo->clear();
    mSnapshots.clear();
    mCurrent = std::make_shared<NetworkSnapshot>(takeSnapshot(*mDoc));
    mSnapshots.push_back(mCurrent);
    mResultsNetwork = mCurrent;
    if (mDoc->modified)
        mUndo->resetClean();
}

void NetworkDocument::markSaved()
{
    if (!mDoc->modified)
        mUndo->setClean();
}

void NetworkDocument::changedOutsideHistory()
{
    // Whatever the history does from here on, it cannot take this change
    // back: no step is the saved state any more, until the next save.
    mUndo->resetClean();
}

void NetworkDocument::planTurned(int degrees)
{
    for (const std::weak_ptr<NetworkSnapshot>& held : mSnapshots)
        if (const std::shared_ptr<NetworkSnapshot> snapshot = held.lock())
            snapshot->turn(degrees);
}

void NetworkDocument::analysisRan() { mResultsNetwork = mCurrent; }

bool NetworkDocument::changedSinceRun() const
{
    return orvex::changedSinceRun(*mResultsNetwork, *mCurrent);
}

std::size_t NetworkDocument::historyBytes() const
{
    std::size_t bytes = 0;
    for (const std::weak_ptr<NetworkSnapshot>& held : mSnapshots)
        if (const std::shared_ptr<NetworkSnapshot> snapshot = held.lock())
            bytes += snapshot->bytes();
    return bytes;
}

}  // namespace orvex::gui
