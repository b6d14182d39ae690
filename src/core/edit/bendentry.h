#pragma once

#include <array>

#include "edit/editops.h"

// The bending points being entered for one road, and the rubber band that
// follows the mouse from the last point. Points are world units.
namespace orvex {

class BendEntry {
public:
    // Starts (or, with road 0, ends) an entry with an empty buffer.
    void start(int road)
    {
        mRoad = road;
        mCount = 0;
        mBandShown = false;
    }
    int road() const { return mRoad; }
    int count() const { return mCount; }
    bool full() const { return mCount >= kMaxBendPointsPerRoad; }
    const BendPoint* points() const { return mPoints.data(); }
    const BendPoint& point(int i) const { return mPoints[std::size_t(i)]; }

    // Appends a point; the band drawn up to it stays on the screen as its segment.
    void append(int x, int y, int mark)
    {
        if (full())
            return;
        mPoints[std::size_t(mCount++)] = BendPoint{x, y, mark};
        mBandShown = false;
    }

    // The band on the screen since the last point, if the mouse has moved.
    bool bandShown() const { return mBandShown; }
    int bandX() const { return mBandX; }
    int bandY() const { return mBandY; }
    void bandDrawnTo(int x, int y)
    {
        mBandShown = true;
        mBandX = x;
        mBandY = y;
    }
    void bandErased() { mBandShown = false; }

private:
    int mRoad = 0;
    int mCount = 0;
    std::array<BendPoint, kMaxBendPointsPerRoad> mPoints{};
    bool mBandShown = false;
    int mBandX = 0, mBandY = 0;
};

}  // namespace orvex
