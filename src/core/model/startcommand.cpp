#include "startcommand.h"

#include <algorithm>
#include <iterator>

namespace orvex {

namespace {

// The window toolkit's own options, which it takes off the command line
// before the program sees it, and whether a value follows each.
struct ToolkitOption {
    const char* name;
    bool value;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},  {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true}, {"session", true},
    {"display", true},   {"geometry", true},  {"style", true},        {"stylesheet", true},
    {"reverse", false},  {"widgetcount", false}, {"nograb", false},   {"dograb", false},
    {"sync", false},
};

// The toolkit option a word names ("-style", "--style", "-style=fusion"),
// or nullptr; inlineValue tells whether the word carries its value.
const ToolkitOption* toolkitOption(const std::string& word, bool& inlineValue)
{
    if (word.size() < 2 || word[0] != '-')
        return nullptr;
    std::string name = word.substr(word[1] == '-' ? 2 : 1);
    const std::size_t equals = name.find('=');
    inlineValue = equals != std::string::npos;
    name = name.substr(0, equals);
    const auto found = std::find_if(std::begin(kToolkitOptions), std::end(kToolkitOptions),
                                    [&](const ToolkitOption& o) { return name == o.name; });
    if (found == std::end(kToolkitOptions) || (inlineValue && !found->value))
        return nullptr;
    return found;
}

}  // namespace

StartCommand parseStartCommand(const std::vector<std::string>& words)
{
    StartCommand command;
    bool options = true;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        bool inlineValue = false;
        if (options && word == "--") {
            options = false;
        } else if (options && (word == "--help" || word == "-h")) {
            command.action = StartCommand::Action::Help;
            return command;
        } else if (options && word == "--version") {
            command.action = StartCommand::Action::Version;
            return command;
        } else if (options && word == "--no-splash") {
            command.splash = false;
        } else if (options && word == "/dde") {
            command.dde = true;
            command.splash = false;
        } else if (const ToolkitOption* toolkit = options ? toolkitOption(word, inlineValue) : nullptr) {
            if (toolkit->value && !inlineValue)
                ++i;
        } else if (options && word.compare(0, 2, "--") == 0) {
            command.action = StartCommand::Action::Refuse;
            command.error = "unknown option " + word;
            return command;
        } else if (command.network.empty()) {
            command.network = word;
        }
    }
    return command;
}

std::string startUsage()
{
    return "Usage: orvex [--no-splash] [NETWORK.vad]\n"
           "       orvex --help | --version\n"
           "\n"
           "Opens NETWORK.vad (a name in double quotes is taken without them), or else the\n"
           "network shown last, in a window of its own.\n"
           "\n"
           "  --no-splash   leave out the start-up picture\n"
           "  -h, --help    print this usage and exit\n"
           "  --version     print the version and exit\n"
           "  --            the words after it are network names, even when they begin with --\n"
           "  /dde          started by the desktop for a file: the program folder is the one\n"
           "                kept in the profile\n"
           "\n"
           "The display toolkit's own options (-platform NAME, -style NAME, -geometry WxH+X+Y,\n"
           "...) are passed on to it.\n";
}

}  // namespace orvex
