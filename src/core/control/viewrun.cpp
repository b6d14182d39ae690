#include "control/viewrun.h"

#include <algorithm>

namespace orvex {

void RunControls::setRange(int lower, int upper)
{
    mLower = lower;
    mUpper = std::max(upper, lower + 1);
    mPosition = lower;
}

void RunControls::setPosition(int position)
{
    mPosition = std::clamp(position, mLower, mUpper);
}

void RunControls::step()
{
    int next = mPosition + mStep;
    if (next > mUpper)
        next = mLower + (next - mUpper - 1);
    // A position the bar cannot show leaves it where it was.
    if (next >= mLower && next <= mUpper)
        mPosition = next;
}

bool RunControls::startPressed()
{
    if (mRunning) {
        mStop = true;
        return false;
    }
    return true;
}

void RunControls::startRun()
{
    mPosition = mLower;
    mStop = false;
}

bool RunControls::takeStop()
{
    const bool stop = mStop;
    mStop = false;
    return stop;
}

}  // namespace orvex
