#pragma once

// What the fire simulation needs of the network window besides the analysis
// dialog: drawing the front marks, redrawing, and the pause dialog.
namespace orvex {

class FireObserver {
public:
    virtual ~FireObserver() = default;
    // The view's node radius in world units: the front mark's distance.
    virtual float nodeRadius() const { return 0; }
    // A front inside road `road`: filled fraction 0..1, direction +1 with the
    // road's first-to-second sense, -1 against it.
    virtual void fireFront(int road, float distance, float fraction, int direction)
    {
        (void)road, (void)distance, (void)fraction, (void)direction;
    }
    virtual void redrawAllViews() {}
    // The modal pause dialog; returns the state of its "opt1" check box
    // (ticked when it opens).
    virtual bool pauseDialog() { return true; }
};

}  // namespace orvex
