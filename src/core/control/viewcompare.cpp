// The plan of a network window coloured by a what-if comparison.
#include "control/viewcontrol.h"

namespace orvex {

void ViewController::showComparison(const WindowComparison& shown)
{
    if (!mComparison)
        mOwnRoadKind = mPlan.settings.look.roadColourKind;
    mComparison = std::make_unique<WindowComparison>(shown);
    mPlan.settings.look.roadColourKind = kFlowChangeKind;
    refreshComparison();
}

void ViewController::refreshComparison()
{
    if (!mComparison)
        return;
    FlowChangeWork& work = flowChangeWork(mDoc);
    work.change = flowChangeByRoad(*mComparison, mDoc);
    // A comparison's plan is this network against the chosen one; a case's
    // is the case against this network.
    work.against = (mComparison->side == WindowSide::Base ? "in \"" + mComparison->against + "\" against this network"
                                                          : "against " + mComparison->against);
    mPlan.update(mDoc);
    mWindow.redraw();
}

void ViewController::clearComparison()
{
    if (!mComparison)
        return;
    mComparison.reset();
    mPlan.settings.look.roadColourKind = mOwnRoadKind;
    FlowChangeWork& work = flowChangeWork(mDoc);
    work.change.clear();
    work.against.clear();
    mPlan.update(mDoc);
    mWindow.redraw();
}

}  // namespace orvex
