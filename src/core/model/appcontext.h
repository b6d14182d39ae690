#pragma once

#include <string>

#include "units.h"

namespace orvex {

// What the application holds for all its network windows: where it is
// installed, where networks are, the network the next window opens, and the
// units settings that every part reads.
struct AppContext {
    std::string programFolder;  // settings files lie in programFolder + "/sdt"
    std::string dataFolder;     // the open dialog starts here
    std::string pendingFile;    // network path the next network window opens
    bool pending = false;
    UnitsSettings units;
};

}  // namespace orvex
