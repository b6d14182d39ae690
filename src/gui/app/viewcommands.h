#pragma once

#include <QKeySequence>
#include <functional>
#include <vector>

// The main window's commands that act on the active network view: the
// action's name, text, key and tip, and what it does to the view.
namespace orvex::gui {

class CBriscoView;

struct ViewCommandEntry {
    const char* name;
    const char* text;
    QKeySequence key;
    const char* tip;
    std::function<void(CBriscoView&)> run;
    bool checkable = false;
};

// The file, printing, display and analysis commands.
std::vector<ViewCommandEntry> viewCommands();

// The edit modes, and zoom with the mouse: each toggles its mode in the
// active view, which says when it may and whether it is on.
struct EditCommand {
    int id;
    const char* name;
    const char* text;
    const char* tip;
};
extern const std::vector<EditCommand> kEditCommands;

}  // namespace orvex::gui
