#pragma once

#include <string>
#include <vector>

// The window program's command line: at most one network to open, "/dde"
// when the desktop starts the program for a file, and a few options. It is
// read before the window toolkit starts, so that --help and --version answer
// on the terminal without a display, and a mistyped option is refused there.
namespace orvex {

struct StartCommand {
    enum class Action {
        Start,    // open the windows
        Help,     // print startUsage() on standard output, exit 0
        Version,  // print the version on standard output, exit 0
        Refuse,   // print error and startUsage() on standard error, exit 2
    };
    Action action = Action::Start;
    std::string network;  // the first network named, as given (in its double quotes, if any)
    bool dde = false;     // "/dde"
    bool splash = true;   // --no-splash and "/dde" leave the start-up picture out
    std::string error;    // why the command line was refused
};

// words: the command line after the program's name. A word that begins
// with "--" is an option, except after "--", which ends the options; the
// window toolkit's own options ("-platform offscreen", "-style fusion", with
// one or two dashes) are passed over with their values, the toolkit takes
// them itself. Every other word names a network; the first one counts.
StartCommand parseStartCommand(const std::vector<std::string>& words);

// What --help prints: the command line and its options.
std::string startUsage();

}  // namespace orvex
