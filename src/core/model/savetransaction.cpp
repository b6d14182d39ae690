#include "savetransaction.h"

#include <filesystem>
#include <sstream>

#include "fileio.h"

namespace orvex {

namespace fs = std::filesystem;

namespace {

std::function<void()>& stepHook()
{
    static std::function<void()> hook;
    return hook;
}

void step()
{
    if (stepHook())
        stepHook()();
}

// The journal names files without their folder, one name a line; a name's
// "%", line feeds and carriage returns are written as %25, %0A and %0D.
const std::string kJournalHeading = "orvex save journal";

std::string encoded(const std::string& name)
{
    std::string out;
    for (const char c : name)
        out += c == '%' ? "%25" : c == '\n' ? "%0A" : c == '\r' ? "%0D" : std::string(1, c);
    return out;
}

std::string decoded(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string code = text.substr(i, 3);
        const char c = code == "%25" ? '%' : code == "%0A" ? '\n' : code == "%0D" ? '\r' : '\0';
        if (c != '\0')
            out += c, i += 2;
        else
            out += text[i];
    }
    return out;
}

std::string folderPart(const std::string& base)
{
    const fs::path folder = fs::path(base).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::string namePart(const std::string& path) { return fs::path(path).filename().string(); }

struct Journal {
    long process = 0;
    std::vector<std::pair<std::string, std::string>> renames;  // temporary, target (names)
};

std::string journalText(long process, const std::vector<std::pair<std::string, std::string>>& staged)
{
    std::string text = kJournalHeading + "\nprocess " + std::to_string(process) + "\n";
    for (const auto& [temp, target] : staged)
        text += encoded(namePart(temp)) + "\n" + encoded(namePart(target)) + "\n";
    return text + "end\n";
}

// False for a file that is not a whole journal of this program.
bool parseJournal(const std::string& text, Journal& journal)
{
    std::istringstream in(text);
    std::string line, temp, target;
    if (!std::getline(in, line) || line != kJournalHeading || !std::getline(in, line) ||
        line.compare(0, 8, "process ") != 0)
        return false;
    try {
        journal.process = std::stol(line.substr(8));
    } catch (const std::exception&) {
        return false;
    }
    while (std::getline(in, temp)) {
        if (temp == "end")
            return true;
        if (!std::getline(in, target))
            return false;
        journal.renames.emplace_back(decoded(temp), decoded(target));
    }
    return false;
}

// The files that belong to the network of base: its base name followed by a
// three-letter extension, or its journal.
bool belongsTo(const std::string& name, const std::string& baseName)
{
    if (name.compare(0, baseName.size(), baseName) != 0)
        return false;
    const std::string rest = name.substr(baseName.size());
    return rest.size() == 3 || name == namePart(saveJournalOf(baseName));
}

}  // namespace

std::string saveJournalOf(const std::string& base) { return base + "orvex-save"; }

SaveTransaction::SaveTransaction(std::string base) : mBase(std::move(base)) {}

SaveTransaction::~SaveTransaction()
{
    if (mCommitted)
        return;
    std::error_code ignored;
    for (const auto& staged : mStaged)
        fs::remove(staged.first, ignored);
}

void SaveTransaction::setStepHook(std::function<void()> hook) { stepHook() = std::move(hook); }

bool SaveTransaction::stage(const std::string& path, const std::string& content, std::error_code& error)
{
    std::string temp;
    if (!writeTemporaryBeside(path, content, temp, error))
        return false;
    mStaged.emplace_back(temp, path);
    step();
    return true;
}

bool SaveTransaction::commit(std::string& message)
{
    message.clear();
    const std::string folder = folderPart(mBase);
    const std::string journal = saveJournalOf(mBase);
    std::error_code error;
    std::string journalTemp;
    if (!writeTemporaryBeside(journal, journalText(thisProcess(), mStaged), journalTemp, error)) {
        message = withReason(journal + ":write ?", error) +
                  "\nThe network was not saved: its files stay as they were.";
        return false;
    }
    step();
    fs::rename(journalTemp, journal, error);
    if (error) {
        std::error_code ignored;
        fs::remove(journalTemp, ignored);
        message = withReason(journal + ":write ?", error) +
                  "\nThe network was not saved: its files stay as they were.";
        return false;
    }
    syncFolder(folder);
    // From here on the save is done: what is left of it is finished by the
    // next open or save should the program stop now.
    mCommitted = true;
    step();
    std::string failed;
    for (const auto& [temp, target] : mStaged) {
        fs::rename(temp, target, error);
        if (error && failed.empty())
            failed = withReason(target + ":write ?", error);
        step();
    }
    syncFolder(folder);
    if (!failed.empty()) {
        message = failed + "\nThe other files were saved; " + journal +
                  " keeps what is left, and the next open or save of this network tries again.";
        return false;
    }
    fs::remove(journal, error);
    step();
    return true;
}

void finishInterruptedSave(const std::string& base, Reporter& reporter)
{
    const std::string folder = folderPart(base);
    const std::string journal = saveJournalOf(base);
    std::string text;
    std::error_code error;
    Journal found;
    if (readWholeFile(journal, text, error) && parseJournal(text, found)) {
        // A journal of a program still running is that program's save of
        // this moment: it finishes it itself.
        if (found.process != thisProcess() && processRunning(found.process))
            return;
        std::string failed;
        std::size_t renamed = 0;
        for (const auto& [temp, target] : found.renames) {
            const std::string from = folder + "/" + temp;
            const std::string to = folder + "/" + target;
            std::error_code ignored;
            if (!fs::is_regular_file(fs::symlink_status(from, ignored)))
                continue;  // replaced before the save was cut short
            fs::rename(from, to, error);
            if (error && failed.empty())
                failed = withReason(to + ":write ?", error);
            renamed += error ? 0 : 1;
        }
        syncFolder(folder);
        if (!failed.empty()) {
            reporter.message(failed + "\nA save of " + base + "vad was cut short and could not be "
                                      "finished; " + journal + " keeps what is left of it.",
                             kDocumentCaption, MessageKind::Error);
            return;
        }
        fs::remove(journal, error);
        if (renamed > 0)
            reporter.message(base + "vad: a save of this network was cut short after all its "
                                    "files were written; it has been finished now.",
                             kDocumentCaption, MessageKind::Information);
    }

    // Temporaries of saves that were cut short before their journal stood.
    const std::string baseName = namePart(base);
    std::vector<fs::path> stale;
    std::error_code listError;
    for (fs::directory_iterator it(folder, listError), end; !listError && it != end; it.increment(listError)) {
        const std::optional<TemporaryName> temp = parseTemporaryName(it->path().filename().string());
        std::error_code ignored;
        if (temp && belongsTo(temp->target, baseName) &&
            !(temp->process != 0 && processRunning(temp->process)) &&
            fs::is_regular_file(it->symlink_status(ignored)))
            stale.push_back(it->path());
    }
    for (const fs::path& path : stale) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

}  // namespace orvex
