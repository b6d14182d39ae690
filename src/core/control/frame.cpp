#include "control/frame.h"

#include <algorithm>
#include <cctype>

namespace orvex {

std::vector<CommandState> frameCommandStates(const FrameState& s)
{
    const bool window = s.window;
    const bool preview = window && s.pagePreview;
    const bool usable = window && !preview;
    std::vector<CommandState> states = {{"open", !preview, false}};
    // File and display commands work on the plan, not on the page.
    for (const char* name : {"save", "saveas", "displaysetting", "fit", "rightturn", "leftturn", "update",
                             "analysis", "parameter", "fancurve"})
        states.push_back({name, usable, false});
    // Zoom works on the page too; printing and export start from either.
    for (const char* name : {"zoomin", "zoomout", "exportplan", "cascade", "tile"})
        states.push_back({name, window, false});
    states.push_back({"print", window, preview});
    for (const char* name : {"startprinting", "printersetup"})
        states.push_back({name, preview, false});
    states.push_back({"info", usable && s.networkLoaded, false});
    states.push_back({"results", window, window && s.resultsShown});
    const bool several = s.windows > 1;
    for (const char* name : {"next", "previous"})
        states.push_back({name, several, false});
    return states;
}

std::string openCommandText(const FrameState& state)
{
    return state.window ? "Open(&O)\tCtrl+O" : "Open(&O)...\tCtrl+O";
}

std::vector<CommandTip> zoomTips(const FrameState& state)
{
    if (state.window && state.pagePreview)
        return {{"zoomin", "Zoom in: the plan on the page a ninth larger; the page keeps its size"},
                {"zoomout", "Zoom out: the plan on the page a tenth smaller; the page keeps its size"}};
    return {{"zoomin", "Zoom in: twice the scale"}, {"zoomout", "Zoom out: half the scale"}};
}

std::string unquotedName(const std::string& name)
{
    const std::size_t first = name.find('"');
    if (first == std::string::npos)
        return name;
    const std::size_t last = name.rfind('"');
    return last > first ? name.substr(first + 1, last - first - 1) : name.substr(first + 1);
}

bool isNetworkFileName(const std::string& path)
{
    const std::string extension = ".vad";
    if (path.size() < extension.size())
        return false;
    return std::equal(extension.begin(), extension.end(), path.end() - extension.size(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(b)) == a; });
}

bool closeAllWindows(FrameWindows& windows)
{
    for (;;) {
        int window = windows.activeWindow();
        if (window < 0) {
            if (windows.windowCount() == 0)
                return true;
            window = 0;
        }
        if (windows.askClose(window) == Answer::Cancel)
            return false;
        windows.closeWindow(window);
    }
}

}  // namespace orvex
