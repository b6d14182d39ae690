#pragma once

#include <functional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "reporter.h"

// A save of one network as a whole. Every file of the save is written into a
// temporary beside the file it is to replace; only when all of them are on
// the disk does a small journal beside the network, listing the renames that
// are left to do, take its place (the moment the save counts as done), then
// the temporaries replace the old files and the journal goes. A save cut
// short (the program killed, the power gone) before its journal stood leaves
// every old file; one cut short after it is finished by the next open or save
// of that network. So the files of a network always come from one save.
namespace orvex {

class SaveTransaction {
public:
    // base: the network's base name (ends in the dot).
    explicit SaveTransaction(std::string base);
    // A save that was not committed takes its temporaries away.
    ~SaveTransaction();
    SaveTransaction(const SaveTransaction&) = delete;
    SaveTransaction& operator=(const SaveTransaction&) = delete;

    // Writes content into a temporary that replaces path at the commit.
    // path lies in the network's folder. False with the reason in error.
    bool stage(const std::string& path, const std::string& content, std::error_code& error);

    // Replaces every staged file. False with a message naming the file that
    // failed and why: when the journal could not be written no file was
    // changed; when a file could not be replaced the journal stays, and the
    // next open or save of the network tries again.
    bool commit(std::string& message);

    // Called at every step of every save: after each temporary, the journal
    // written, the journal in place, each rename and the journal removed.
    // Lets tests cut a save short at any step; the program sets none.
    static void setStepHook(std::function<void()> hook);

private:
    std::string mBase;
    std::vector<std::pair<std::string, std::string>> mStaged;  // temporary, target (full paths)
    bool mCommitted = false;
};

// The journal of the saves of the network with this base name.
std::string saveJournalOf(const std::string& base);

// To be called before a network is opened or saved: finishes a save of it
// that was cut short after its journal stood (telling the person so), and
// removes the temporaries that this program's saves of it left when they
// were cut short before (those of a program still running stay). A rename
// that fails is reported with the file and why.
void finishInterruptedSave(const std::string& base, Reporter& reporter);

}  // namespace orvex
