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

}  // namespace

int openNetwork(CBriscoDoc& doc, const std::string& path)
{
    const std::string base = baseNameOf(path);
    doc.baseName = base;
    const int read = doc.readNetworkFile(base + "vad", true);
    doc.readParameterFile(base);
    readAfterNetwork(doc, base);
    doc.readNodeLocationFile(base);
    doc.readBendFile(base);
    doc.readResultsFile(base);
    return read;
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
    doc.baseName = base;
    bool ok = doc.writeNetworkFile(base + "vad") == 1;
    ok = doc.writeResultsFile(base) == 1 && ok;
    ok = doc.writeNodeLocationFile(base) == 1 && ok;
    ok = doc.writeBendFile(base) == 1 && ok;
    if (ok)
        doc.modified = false;
    return ok ? 1 : 0;
}

int saveNetworkAs(CBriscoDoc& doc, const std::string& path, Profile& profile)
{
    rememberDataFolder(profile, folderOf(path));
    return saveNetwork(doc, baseNameOf(path));
}

Answer queryClose(CBriscoDoc& doc, const std::function<std::optional<std::string>()>& chooseSavePath)
{
    if (!doc.modified)
        return Answer::Yes;
    const Answer answer = doc.reporter().ask(kSaveQuestion, kDocumentCaption, true);
    if (answer != Answer::Yes)
        return answer;
    const std::optional<std::string> path = chooseSavePath();
    if (!path)
        return Answer::Cancel;
    const std::string base = baseNameOf(*path);
    doc.baseName = base;
    bool ok = doc.writeNetworkFile(base + "vad") == 1;
    ok = doc.writeNodeLocationFile(base) == 1 && ok;
    ok = doc.writeBendFile(base) == 1 && ok;
    // A network that could not be written keeps its window open, so that
    // nothing is lost by the close; the writer has said what failed.
    return ok ? Answer::Yes : Answer::Cancel;
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
