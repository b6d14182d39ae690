#include "control/frame.h"

#include <algorithm>
#include <cctype>

#include "control/viewcontrol.h"

namespace orvex {

namespace {

// The frame's names of the view's commands.
struct FrameViewCommand {
    const char* name;
    ViewCommand command;
};

constexpr FrameViewCommand kFrameViewCommands[] = {
    {"open", ViewCommand::Open},         {"save", ViewCommand::Save},
    {"saveas", ViewCommand::SaveAs},     {"displaysetting", ViewCommand::DisplaySetting},
    {"fit", ViewCommand::Fit},           {"rightturn", ViewCommand::RightTurn},
    {"leftturn", ViewCommand::LeftTurn}, {"update", ViewCommand::Update},
    {"analysis", ViewCommand::Analysis}, {"parameter", ViewCommand::Parameter},
    {"fancurve", ViewCommand::FanCurve}, {"zoomin", ViewCommand::ZoomIn},
    {"zoomout", ViewCommand::ZoomOut},   {"exportplan", ViewCommand::ExportPlan},
    {"print", ViewCommand::Print},       {"startprinting", ViewCommand::StartPrinting},
    {"printersetup", ViewCommand::PrinterSetup}, {"info", ViewCommand::Info},
    {"find", ViewCommand::Find},
};

}  // namespace

std::vector<CommandState> frameCommandStates(const FrameState& s)
{
    // The view's commands are as the active view's mode has them; without a
    // window only Open, through its dialog.
    const ViewMode mode = s.pagePreview ? ViewMode::PagePreview : ViewMode::Plan;
    std::vector<CommandState> states;
    for (const FrameViewCommand& c : kFrameViewCommands)
        states.push_back({c.name, s.window ? viewCommandEnabled(c.command, mode, s.networkLoaded)
                                           : c.command == ViewCommand::Open,
                          s.window && viewCommandChecked(c.command, mode)});
    for (const char* name : {"cascade", "tile"})
        states.push_back({name, s.window, false});
    states.push_back({"results", s.window, s.window && s.resultsShown});
    // What-if runs need a network, and the plan to colour.
    const bool whatIf = s.window && s.networkLoaded && !s.pagePreview;
    states.push_back({"compare", whatIf, false});
    states.push_back({"scenarios", whatIf, false});
    states.push_back({"clearcompare", whatIf && s.comparisonShown, false});
    states.push_back({"escape", whatIf && s.fireRun, false});
    // A fit runs on a copy and colours the plan, as a what-if run does.
    states.push_back({"calibrate", whatIf, false});
    // Imports open windows of their own; exports need a network, EPANET
    // files a water network; tables update the network the window shows.
    for (const char* name : {"importtables", "importdxf", "importinp"})
        states.push_back({name, true, false});
    states.push_back({"updatetables", s.window && !s.pagePreview, false});
    for (const char* name : {"exporttables", "exportdxf"})
        states.push_back({name, s.window && s.networkLoaded, false});
    states.push_back({"exportinp", s.window && s.networkLoaded && s.water, false});
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
