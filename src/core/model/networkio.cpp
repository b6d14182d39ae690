#include "networkio.h"

#include <filesystem>
#include <vector>

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

void readAfterNetwork(CBriscoDoc& doc, const std::string& base)
{
    doc.readFlowSensorFile(base);
    doc.readRoadNameFile(base);
    doc.prepareAfterLoad();
    doc.rebuildAdjacency();
}

// The companion files that the program reads but does not write, the fan
// curves that it exports included: a save under another name takes them
// along byte for byte, for they are the person's data.
const char* const kCarriedCompanions[] = {"sdt", "mcd", "nrd", "end", "erd", "fan"};

bool samePlace(const std::string& base, const std::string& other)
{
    if (base == other)
        return true;
    std::error_code error, otherError;
    const fs::path a = fs::weakly_canonical(base + "vad", error);
    const fs::path b = fs::weakly_canonical(other + "vad", otherError);
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
bool writeNetworkFiles(CBriscoDoc& doc, const std::string& base, bool withResults)
{
    Reporter& reporter = doc.reporter();
    finishInterruptedSave(base, reporter);

    const std::string from = doc.baseName;
    std::vector<std::string> carried;
    std::string replaced;
    if (!samePlace(base, from)) {
        // Over a network file that is there, the save dialog has asked
        // already: the files of that network go with it.
        const bool networkReplaced = existsAt(base + "vad");
        if (!from.empty())
            for (const char* ext : kCarriedCompanions)
                if (existsAt(from + ext))
                    carried.push_back(ext);
        std::vector<std::string> written = {"jpd", "apd"};
        if (withResults)
            written.insert(written.begin(), "pkd");
        written.insert(written.end(), carried.begin(), carried.end());
        for (const std::string& ext : written)
            if (!networkReplaced && existsAt(base + ext))
                replaced += "\n" + base + ext;
    }
    if (!replaced.empty() &&
        reporter.ask(base + "vad: these files of that name are there already:" + replaced +
                         "\nReplace them with this network's?",
                     kViewCaption, false) != Answer::Yes)
        return false;

    SaveTransaction save(base);
    {
        SavingInto saving(doc, save);
        if (doc.writeNetworkFile(base + "vad") != 1 || (withResults && doc.writeResultsFile(base) != 1) ||
            doc.writeNodeLocationFile(base) != 1 || doc.writeBendFile(base) != 1)
            return false;
    }
    for (const std::string& ext : carried) {
        std::string content;
        std::error_code error;
        if (!readWholeFile(from + ext, content, error)) {
            reporter.message(withReason(from + ext + ":read ?", error) + "\nIt is not taken along to " +
                                 base + ext + ".",
                             kDocumentCaption, MessageKind::Warning);
            continue;
        }
        if (!save.stage(base + ext, content, error)) {
            reporter.message(withReason(base + ext + ":write ?", error) +
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
    return true;
}

}  // namespace

int openNetwork(CBriscoDoc& doc, const std::string& path)
{
    // The base name is taken only once the network file is in: a refused
    // file leaves the document as it was, so that a later Save cannot write
    // the window's network over the files of the network that was refused.
    const std::string base = baseNameOf(path);
    finishInterruptedSave(base, doc.reporter());
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
    finishInterruptedSave(base, doc.reporter());
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
    const int saved = saveNetwork(doc, baseNameOf(path));
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
