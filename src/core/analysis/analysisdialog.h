#pragma once

#include <string>

// What the solver, the fire simulation and the run driver need of the
// analysis dialog. The window program implements it with the real dialog
// (its progress step and stop query let waiting window events run, so the
// Stop button can be pressed during a solve); tests and the batch tool
// implement it with recorders or quietly.
namespace orvex {

class AnalysisDialog {
public:
    virtual ~AnalysisDialog() = default;

    virtual void setStatusLine(const std::string& text) = 0;      // the solver's iteration line
    virtual void setSecondLine(const std::string& text) = 0;      // the fire simulation's line
    virtual void setDiagnosticLine(int line, const std::string& text) = 0;  // line 1 or 2
    virtual void setFanCell(int row, int column, const std::string& text) = 0;
    virtual void setProgressRange(int lower, int upper) = 0;
    virtual void setProgressStep(int step) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void stepProgress() = 0;
    // Returns whether a stop was requested since the last query, and clears it.
    virtual bool stopRequested() = 0;
    virtual void enableClose(bool enable) = 0;
    // Update, Parameter and Opt1 are usable only while no run is going on.
    virtual void enableRunControls(bool enable) = 0;
    virtual void setStartText(const std::string& text) = 0;
    virtual void setCaption(const std::string& text) = 0;
    // Which solver method is working, and after the run which one gave the
    // results.
    virtual void setMethodLine(const std::string&) {}
    // Clears the "Opt1" check box (the fire simulation's pause switch).
    virtual void clearOpt1() {}
    // Lets waiting window events run (the window program's message pump).
    virtual void dispatchEvents() {}
};

// A dialog that nobody sees: the batch tool and benchmarks run through it.
class QuietAnalysisDialog : public AnalysisDialog {
public:
    void setStatusLine(const std::string&) override {}
    void setSecondLine(const std::string&) override {}
    void setDiagnosticLine(int, const std::string&) override {}
    void setFanCell(int, int, const std::string&) override {}
    void setProgressRange(int, int) override {}
    void setProgressStep(int) override {}
    void setProgressPosition(int) override {}
    void stepProgress() override {}
    bool stopRequested() override { return false; }
    void enableClose(bool) override {}
    void enableRunControls(bool) override {}
    void setStartText(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

}  // namespace orvex
