#pragma once

#include <functional>
#include <optional>
#include <string>

#include "briscodoc.h"
#include "profile.h"

// The sequences in which a network and its companion files are read and
// written when a network window opens, saves, closes or goes away. The window
// program calls these after its file dialogs; everything that touches a file
// is here, so the order is the same for the window, the batch tool and tests.
namespace orvex {

// The path without its three-letter extension, ending in the dot: every
// companion file is this plus its own extension ("mine.vad" -> "mine.").
// A path without such an extension gets a dot appended.
std::string baseNameOf(const std::string& path);
std::string folderOf(const std::string& path);

// A file opened into a window that shows no network yet: network file,
// parameters, flow sensors, road names, load preparation, adjacency, then
// node positions, bending points and results. When the network file is
// missing or refused, nothing else is read and the document stays as it was,
// its base name included; returns 0 then. Past the network file, a companion
// reader that fails leaves what the earlier ones stored; returns 1.
int openNetwork(CBriscoDoc& doc, const std::string& path);

// Opens the application's pending file into a new window's document. A
// missing network file, parameter file or node location file resets the
// document to the default network and makes the profile forget the last
// network. True when the network was loaded; the pending flag is cleared
// either way.
bool openPendingNetwork(CBriscoDoc& doc, Profile& profile);

// Back to the default network after a failed open.
void resetAfterFailedOpen(CBriscoDoc& doc, Profile& profile);

// Save: network file, results, node positions, bending points, as one save:
// they go to temporaries first and replace the old files only when all were
// written, so a failure (or the program stopped at any moment) leaves all
// old or all new files; a save of this network cut short earlier is finished
// or cleared first. Under a new base name the companion files the program
// does not write (parameters, flow sensors, road names, external values, fan
// curves) are taken along byte for byte, and files of that name already there
// are replaced only when the person agrees. The document takes the base name
// and its modified flag is cleared only when every file was written, so a
// failed save leaves the window as it was and still asks on close. Returns 1
// when all were written.
int saveNetwork(CBriscoDoc& doc, const std::string& base);
// The same under a network file extension in another case ("VAD"): every
// file of the network is then named in that case.
int saveNetwork(CBriscoDoc& doc, const std::string& base, const std::string& extension);
// Save As to a path chosen in the save dialog; remembers its folder once the
// network was saved there.
int saveNetworkAs(CBriscoDoc& doc, const std::string& path, Profile& profile);
// The Save command: to the document's own base name, or, when it has none,
// Save As to the path chooseSavePath asks for (nullopt: the dialog was
// cancelled, nothing is written, returns 0).
int saveCommand(CBriscoDoc& doc, Profile& profile,
                const std::function<std::optional<std::string>()>& chooseSavePath);

// Asked when a network window is about to close. When the network is
// modified the person is asked to save; Yes asks for a file name through
// chooseSavePath (nullopt when the dialog was cancelled) and saves the
// network file, node positions and bending points as saveNetwork does.
// Cancel keeps the window.
Answer queryClose(CBriscoDoc& doc, const std::function<std::optional<std::string>()>& chooseSavePath);

// Whether the parameter file may be written at base. A file that was not
// read whole (surplus entries, text where a number belongs) is not replaced
// by the part of it that was read: not at all while the parameters are as
// read from it; once they were changed, the person is told what would be
// lost and decides.
bool mayWriteParameterFile(CBriscoDoc& doc, const std::string& base);

// When a network window goes away: the parameter file is written beside the
// network (unless mayWriteParameterFile says no) and the profile remembers
// it as the last network.
void networkWindowDestroyed(CBriscoDoc& doc, const std::string& base, Profile& profile);

void rememberDataFolder(Profile& profile, const std::string& folder);

// The question asked before closing a modified network.
inline const std::string kSaveQuestion = "数据没有存盘,保存吗?";

}  // namespace orvex
