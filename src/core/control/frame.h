#pragma once

#include <string>
#include <vector>

#include "model/reporter.h"

// What the main window decides about its network windows: which of its
// commands may run in which state, the names it is handed, and closing every
// network window when the program ends. The Qt main frame shows the answers.
namespace orvex {

// The main window as its commands see it.
struct FrameState {
    bool window = false;         // a network window is active
    bool pagePreview = false;    // it shows the page preview
    bool networkLoaded = false;  // it holds a network
    bool resultsShown = false;   // its results dock is shown
    int windows = 0;             // network windows in the workspace
    bool comparisonShown = false;  // its plan is coloured by a what-if comparison
    bool water = false;          // its network is a water network
    bool fireRun = false;        // a fire run's results are in it (escapeAvailable)
};

struct CommandState {
    const char* name;
    bool enabled;
    bool checked;  // for the commands that can be checked
};

// The frame's own commands by name ("open", "save", "print", "results",
// "next", ...); the edit modes are the view's.
std::vector<CommandState> frameCommandStates(const FrameState& state);

// "Open" opens into the active window, or through its dialog without one.
std::string openCommandText(const FrameState& state);

// The tips of the zoom commands: on the window they double or halve the
// scale; in page preview they make the plan on the page a little larger or
// smaller.
struct CommandTip {
    const char* name;
    const char* tip;
};
std::vector<CommandTip> zoomTips(const FrameState& state);

// The text of a name handed to the program: between the first and the last
// double quote when it holds any, else all of it.
std::string unquotedName(const std::string& name);

// Whether a dropped file is a network the program opens: a name ending in
// ".vad" in any case.
bool isNetworkFileName(const std::string& path);

// The network windows of the main window, as closing them all sees them.
class FrameWindows {
public:
    virtual ~FrameWindows() = default;
    virtual int windowCount() const = 0;
    // The active window's index, -1 when none is active.
    virtual int activeWindow() const = 0;
    virtual Answer askClose(int window) = 0;
    virtual void closeWindow(int window) = 0;
};

// Closes every network window in turn, the active one first, then in the
// workspace's order. Cancel stops: the program keeps running with the
// windows not yet closed; false then.
bool closeAllWindows(FrameWindows& windows);

}  // namespace orvex
