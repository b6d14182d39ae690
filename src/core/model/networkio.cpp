#include "networkio.h"

#include "filecase.h"

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

// The messages of one open, shown as one box when it is over.
class OpenMessages {
public:
    explicit OpenMessages(CBriscoDoc& doc)
        : mDoc(doc), mGathering(doc.reporter()), mPrevious(doc.exchangeReporter(mGathering))
    {
    }
    ~OpenMessages() { mDoc.exchangeReporter(mPrevious); }
    OpenMessages(const OpenMessages&) = delete;
    OpenMessages& operator=(const OpenMessages&) = delete;

private:
    CBriscoDoc& mDoc;
    GatheringReporter mGathering;
    Reporter& mPrevious;
};

// The network file a chosen path names, as it exists: the path's base name
// with its extension ("vad" when it has none), in the case it is found in.
std::string networkFileFor(const std::string& path)
{
    return inExistingCase(baseNameOf(path) + networkExtensionOf(path));
}

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
    if (doc.writeNetworkFile(doc.companionPath(base, "vad")) != 1)
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
    OpenMessages messages(doc);
    const std::string file = networkFileFor(path);
    const std::string base = baseNameOf(file);
    if (doc.readNetworkFile(file, true) == 0)
        return 0;
    doc.baseName = base;
    doc.networkExtension = networkExtensionOf(file);
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
    OpenMessages messages(doc);
    const std::string file = networkFileFor(app.pendingFile);
    const std::string base = baseNameOf(file);
    doc.baseName = base;
    doc.networkExtension = networkExtensionOf(file);
    if (doc.readNetworkFile(file, true) == 0 || doc.readParameterFile(base) == -1) {
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
    doc.networkExtension = networkExtensionOf(path);
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
    doc.networkExtension = networkExtensionOf(*path);
    // Without the results file. A network that could not be written keeps
    // its window open, so that nothing is lost by the close.
    return writeNetworkFiles(doc, baseNameOf(*path), false) ? Answer::Yes : Answer::Cancel;
}

bool mayWriteParameterFile(CBriscoDoc& doc, const std::string& base)
{
    const CBriscoDoc::ParameterFileRead& read = doc.parameterRead;
    if (read.notRead.empty() || read.path != doc.companionPath(base, "sdt"))
        return true;
    if (doc.parameterText() == read.text)
        return false;
    const std::string question =
        read.path + " was not read whole; the parameters do not hold these parts of it:\n" +
        read.notRead +
        "Writing the changed parameters replaces the file, and these parts are lost.\n"
        "Write the parameter file? (No keeps the file as it is, without the changes.)";
    return doc.reporter().ask(question, kDocumentCaption, false) == Answer::Yes;
}

void networkWindowDestroyed(CBriscoDoc& doc, const std::string& base, Profile& profile)
{
    if (mayWriteParameterFile(doc, base))
        doc.writeParameterFile(base);
    if (base.empty())
        profile.removeEntry(kRecentFileSection, kRecentFileEntry);
    else
        profile.writeString(kRecentFileSection, kRecentFileEntry, doc.companionPath(base, "vad"));
}

void rememberDataFolder(Profile& profile, const std::string& folder)
{
    profile.writeString(kDirectorySection, kDataEntry, folder);
}

}  // namespace orvex
