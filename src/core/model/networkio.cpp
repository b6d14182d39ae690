#include "networkio.h"

#include <filesystem>
#include <vector>

#include "filecase.h"
#include "fileio.h"
#include "savetransaction.h"

namespace orvex {

namespace fs = std::filesystem;

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

// The companion files that the program reads but does not write, the fan
// curves that it exports and the design checks' limits included: a save
// under another name takes them along byte for byte, for they are the
// person's data.
const char* const kCarriedCompanions[] = {"sdt", "mcd", "nrd", "end", "erd", "fan", "chk"};

// Whether two network files are one, by whatever path they are named.
bool samePlace(const std::string& file, const std::string& other)
{
    if (file == other)
        return true;
    std::error_code error, otherError;
    const fs::path a = fs::weakly_canonical(file, error);
    const fs::path b = fs::weakly_canonical(other, otherError);
    return !error && !otherError && a == b;
}

bool existsAt(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Lets the writers of a document put their files into a save while it lasts.
class SavingInto {
public:
    SavingInto(CBriscoDoc& doc, SaveTransaction& save) : mDoc(doc) { doc.setSaveTransaction(&save); }
    ~SavingInto() { mDoc.setSaveTransaction(nullptr); }
    SavingInto(const SavingInto&) = delete;
    SavingInto& operator=(const SavingInto&) = delete;

private:
    CBriscoDoc& mDoc;
};

// Writes the network file, then the companion files (the results only when
// asked for), as one save: the old files are replaced only when all new ones
// were written. Under a new base name the companion files the program does
// not write are taken along from the document's own, and files of that name
// that are there already are replaced only when the person agrees (the save
// dialog asked for the network file). The document takes the base name once
// the save is done. True then; each failure has been told.
// Kept whole: one save with its steps in order; each step may end it, and
// the journal must see all of them.
bool writeNetworkFiles(CBriscoDoc& doc, const std::string& base, const std::string& extension,
                       bool withResults)
{
    Reporter& reporter = doc.reporter();
    finishInterruptedSave(base, reporter);

    // The files are named in the case of the new network file's extension;
    // the document keeps its own names until the save is done.
    const std::string ownBase = doc.baseName, ownExtension = doc.networkExtension;
    const auto own = [&](const char* ext) { return inExistingCase(ownBase + casedLike(ext, ownExtension)); };
    const auto target = [&](const char* ext) { return base + casedLike(ext, extension); };
    std::vector<const char*> carried;
    std::string replaced;
    if (!samePlace(target("vad"), own("vad"))) {
        // Over a network file that is there, the save dialog has asked
        // already: the files of that network go with it.
        const bool networkReplaced = existsAt(target("vad"));
        if (!ownBase.empty())
            for (const char* ext : kCarriedCompanions)
                if (existsAt(own(ext)) && !(doc.writesRoadNames && std::string(ext) == "nrd"))
                    carried.push_back(ext);
        std::vector<const char*> written = {"jpd", "apd"};
        if (doc.writesRoadNames)
            written.push_back("nrd");
        if (withResults)
            written.insert(written.begin(), "pkd");
        written.insert(written.end(), carried.begin(), carried.end());
        for (const char* ext : written)
            if (!networkReplaced && existsAt(inExistingCase(target(ext))))
                replaced += "\n" + inExistingCase(target(ext));
    }
    if (!replaced.empty() &&
        reporter.ask(target("vad") + ": these files of that name are there already:" +
                         replaced + "\nReplace them with this network's?",
                     kViewCaption, false) != Answer::Yes)
        return false;

    SaveTransaction save(base);
    {
        SavingInto saving(doc, save);
        doc.networkExtension = extension;
        const bool written = doc.writeNetworkFile(doc.companionPath(base, "vad")) == 1 &&
                             (!withResults || doc.writeResultsFile(base) == 1) &&
                             doc.writeNodeLocationFile(base) == 1 && doc.writeBendFile(base) == 1 &&
                             (!doc.writesRoadNames || doc.writeRoadNameFile(base) == 1);
        doc.networkExtension = ownExtension;
        if (!written)
            return false;
    }
    for (const char* ext : carried) {
        const std::string from = own(ext);
        const std::string to = target(ext);
        std::string content;
        std::error_code error;
        if (!readWholeFile(from, content, error)) {
            reporter.message(withReason(from + ":read ?", error) + "\nIt is not taken along to " + to + ".",
                             kDocumentCaption, MessageKind::Warning);
            continue;
        }
        if (!save.stage(to, content, error)) {
            reporter.message(withReason(to + ":write ?", error) +
                                 "\nThe network was not saved: its files stay as they were.",
                             kDocumentCaption, MessageKind::Error);
            return false;
        }
    }
    std::string failure;
    if (!save.commit(failure)) {
        reporter.message(failure, kDocumentCaption, MessageKind::Error);
        return false;
    }
    doc.baseName = base;
    doc.networkExtension = extension;
    return true;
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
    finishInterruptedSave(base, doc.reporter());
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
    finishInterruptedSave(base, doc.reporter());
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
    return saveNetwork(doc, base, doc.networkExtension);
}

int saveNetwork(CBriscoDoc& doc, const std::string& base, const std::string& extension)
{
    const bool ok = writeNetworkFiles(doc, base, extension, true);
    if (ok)
        doc.modified = false;
    return ok ? 1 : 0;
}

int saveNetworkAs(CBriscoDoc& doc, const std::string& path, Profile& profile)
{
    const int saved = saveNetwork(doc, baseNameOf(path), networkExtensionOf(path));
    if (saved == 1)
        rememberDataFolder(profile, folderOf(path));
    return saved;
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
    return writeNetworkFiles(doc, baseNameOf(*path), networkExtensionOf(*path), false) ? Answer::Yes
                                                                                        : Answer::Cancel;
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
