#include "networkio.h"

namespace orvex {

std::string baseNameOf(const std::string& path)
{
    const std::size_t n = path.size();
    if (n >= 4 && path[n - 4] == '.' && path.find('/', n - 4) == std::string::npos)
        return path.substr(0, n - 3);
    return path + ".";
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

void readAfterNetwork(CBriscoDoc& doc, const std::string& base)
{
    doc.readFlowSensorFile(base);
    doc.readRoadNameFile(base);
    doc.prepareAfterLoad();
    doc.rebuildAdjacency();
}

// Takes the base name and writes the network file, then the companion files
// (the results only when asked for). A companion file is written only once
// the network file is: beside the old network file it would describe a
// network that is not there. True when every file was written; each writer
// has said what failed.
bool writeNetworkFiles(CBriscoDoc& doc, const std::string& base, bool withResults)
{
    doc.baseName = base;
    if (doc.writeNetworkFile(base + "vad") != 1)
        return false;
    bool ok = !withResults || doc.writeResultsFile(base) == 1;
    ok = doc.writeNodeLocationFile(base) == 1 && ok;
    ok = doc.writeBendFile(base) == 1 && ok;
    return ok;
}

}  // namespace

int openNetwork(CBriscoDoc& doc, const std::string& path)
{
    // The base name is taken only once the network file is in: a refused
    // file leaves the document as it was, so that a later Save cannot write
    // the window's network over the files of the network that was refused.
    const std::string base = baseNameOf(path);
    if (doc.readNetworkFile(base + "vad", true) == 0)
        return 0;
    doc.baseName = base;
    doc.readParameterFile(base);
    readAfterNetwork(doc, base);
    doc.readNodeLocationFile(base);
    doc.readBendFile(base);
    doc.readResultsFile(base);
    return 1;
}

void resetAfterFailedOpen(CBriscoDoc& doc, Profile& profile)
{
    doc.baseName.clear();
    doc.reinitialise();
    profile.removeEntry(kRecentFileSection, kRecentFileEntry);
}

bool openPendingNetwork(CBriscoDoc& doc, Profile& profile)
{
    AppContext& app = doc.app();
    if (!app.pending)
        return false;
    const std::string base = baseNameOf(app.pendingFile);
    doc.baseName = base;
    if (doc.readNetworkFile(base + "vad", true) == 0 || doc.readParameterFile(base) == -1) {
        resetAfterFailedOpen(doc, profile);
        return false;
    }
    readAfterNetwork(doc, base);
    if (doc.readNodeLocationFile(base) == 0) {
        resetAfterFailedOpen(doc, profile);
        return false;
    }
    doc.readBendFile(base);
    doc.readResultsFile(base);
    app.pending = false;
    return true;
}

int saveNetwork(CBriscoDoc& doc, const std::string& base)
{
    const bool ok = writeNetworkFiles(doc, base, true);
    if (ok)
        doc.modified = false;
    return ok ? 1 : 0;
}

int saveNetworkAs(CBriscoDoc& doc, const std::string& path, Profile& profile)
{
    rememberDataFolder(profile, folderOf(path));
    return saveNetwork(doc, baseNameOf(path));
}

int saveCommand(CBriscoDoc& doc, Profile& profile,
                const std::function<std::optional<std::string>()>& chooseSavePath)
{
    if (!doc.baseName.empty())
        return saveNetwork(doc, doc.baseName);
    const std::optional<std::string> path = chooseSavePath();
    return path ? saveNetworkAs(doc, *path, profile) : 0;
}

Answer queryClose(CBriscoDoc& doc, const std::function<std::optional<std::string>()>& chooseSavePath)
{
    if (!doc.modified)
        return Answer::Yes;
    // The question is the network view's, and carries its caption.
    const Answer answer = doc.reporter().ask(kSaveQuestion, kViewCaption, true);
    if (answer != Answer::Yes)
        return answer;
    const std::optional<std::string> path = chooseSavePath();
    if (!path)
        return Answer::Cancel;
    // Without the results file. A network that could not be written keeps
    // its window open, so that nothing is lost by the close.
    return writeNetworkFiles(doc, baseNameOf(*path), false) ? Answer::Yes : Answer::Cancel;
}

void networkWindowDestroyed(CBriscoDoc& doc, const std::string& base, Profile& profile)
{
    doc.writeParameterFile(base);
    if (base.empty())
        profile.removeEntry(kRecentFileSection, kRecentFileEntry);
    else
        profile.writeString(kRecentFileSection, kRecentFileEntry, base + "vad");
}

void rememberDataFolder(Profile& profile, const std::string& folder)
{
    profile.writeString(kDirectorySection, kDataEntry, folder);
}

}  // namespace orvex
