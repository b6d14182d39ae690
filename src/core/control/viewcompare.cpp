// The plan of a network window coloured by a what-if comparison, by the
// ways out of a fire, or by a calibration fit's residuals.
#include "control/escape.h"
#include "control/viewcontrol.h"

namespace orvex {

void ViewController::showComparison(const WindowComparison& shown)
{
    clearEscape();
    clearResiduals();
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

void ViewController::showEscape(const std::vector<EscapeRoute>& routes, int node)
{
    clearComparison();
    clearResiduals();
    if (!mEscapeShown) {
        mOwnRoadKind = mPlan.settings.look.roadColourKind;
        mOwnNodeKind = mPlan.settings.look.nodeColourKind;
    }
    mEscapeShown = true;
    showEscapeWork(mDoc, routes, node);
    mPlan.settings.look.roadColourKind = kEscapeRouteKind;
    mPlan.settings.look.nodeColourKind = kEscapeMarginKind;
    mPlan.update(mDoc);
    mWindow.redraw();
}

void ViewController::clearEscape()
{
    if (!mEscapeShown)
        return;
    mEscapeShown = false;
    mPlan.settings.look.roadColourKind = mOwnRoadKind;
    mPlan.settings.look.nodeColourKind = mOwnNodeKind;
    mPlan.update(mDoc);
    mWindow.redraw();
}

void ViewController::showResiduals(const std::vector<float>& residual)
{
    clearComparison();
    clearEscape();
    if (!mResidualsShown)
        mOwnRoadKind = mPlan.settings.look.roadColourKind;
    mResidualsShown = true;
    residualWork(mDoc).residual = residual;
    mPlan.settings.look.roadColourKind = kResidualKind;
    mPlan.update(mDoc);
    mWindow.redraw();
}

void ViewController::clearResiduals()
{
    if (!mResidualsShown)
        return;
    mResidualsShown = false;
    residualWork(mDoc).residual.clear();
    mPlan.settings.look.roadColourKind = mOwnRoadKind;
    mPlan.update(mDoc);
    mWindow.redraw();
}

}  // namespace orvex
