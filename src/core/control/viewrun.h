#pragma once

// The analysis dialog's progress bar and its Start button (which reads
// "Stop" during a run), apart from the widgets.
namespace orvex {

class RunControls {
public:
    int lower() const { return mLower; }
    int upper() const { return mUpper; }
    int position() const { return mPosition; }
    bool running() const { return mRunning; }

    // An empty range (0..0) keeps one step: the bar never becomes a busy
    // indicator. The position goes to its start.
    void setRange(int lower, int upper);
    void setStep(int step) { mStep = step; }
    // Kept within the range.
    void setPosition(int position);
    // One step on; at its end the bar wraps round, as the run may go on
    // past it, keeping what the step had left.
    void step();

    // Start (or Stop) pressed: during a run a stop is asked for and false
    // returned; otherwise true, and startRun() follows.
    bool startPressed();
    // A run starts: the bar from its beginning, no stop asked for.
    void startRun();
    // Whether a stop was asked for since the last query; the question clears it.
    bool takeStop();
    // The driver enables the run's controls when no run goes on.
    void setRunControlsEnabled(bool enabled) { mRunning = !enabled; }
    // The dialog may not close before the run ends.
    bool mayClose() const { return !mRunning; }

private:
    int mLower = 0, mUpper = 100, mPosition = 0;
    int mStep = 10;
    bool mRunning = false;
    bool mStop = false;
};

}  // namespace orvex
