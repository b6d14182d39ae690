#pragma once

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/briscodoc.h"
#include "model/reporter.h"

namespace orvex::test {

// Records every message box and answers questions from a script.
class RecordingReporter : public Reporter {
public:
    struct Entry {
        std::string text, caption;
        MessageKind kind;
    };

    void message(const std::string& text, const std::string& caption, MessageKind kind) override;
    Answer ask(const std::string& text, const std::string& caption, bool withCancel) override;

    std::vector<Entry> messages;
    std::vector<std::string> questions;
    std::deque<Answer> answers;  // consumed in order; an unscripted question fails the test

    void clear() { messages.clear(); questions.clear(); }
    // All message texts, one per line, for failure output.
    std::string all() const;
    bool contains(const std::string& part) const;
};

class RecordingFileObserver : public FileObserver {
public:
    struct Entry {
        std::string path;
        FileAccess access;
        bool opened;
    };
    void fileAccessed(const std::string& path, FileAccess access, bool opened) override
    {
        entries.push_back({path, access, opened});
    }
    // File names (without folder) of the accesses of one kind, in order.
    std::vector<std::string> names(FileAccess access) const;

    std::vector<Entry> entries;
};

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return mPath; }
    std::string file(const std::string& name) const { return (mPath / name).string(); }

private:
    std::filesystem::path mPath;
};

// A file of the hand-made test network in the fixtures folder.
inline std::string dataPath(const std::string& name) { return std::string(ORVEX_TEST_DATA_DIR) + "/" + name; }
inline const std::string kSmallBase = dataPath("small.");

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);

// Settings files of a small installation.
extern const char* const kUnitsText;          // flow m3/min (factor 1/60)
extern const char* const kDefaultNetworkText; // 2 surface + 1 underground nodes, 2 roads
extern const char* const kDefaultParameterText;  // firenode 7

struct ProgramFiles {
    std::string units = kUnitsText;
    std::string defaultNetwork = kDefaultNetworkText;
    std::string defaultParameters = kDefaultParameterText;
    bool withUnits = true, withDefaultNetwork = true, withDefaultParameters = true;
};

// Writes dir/sdt/units.sdt, ztkihon.sdt and ztna.sdt.
void makeProgramFolder(const std::filesystem::path& dir, const ProgramFiles& files = {});

// A program folder, an application record with the units read from it, a
// reporter and a document constructed against them.
struct Installation {
    explicit Installation(const ProgramFiles& files = {});
    std::unique_ptr<CBriscoDoc> newDocument();

    TempDir dir;
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;

    std::string program() const { return dir.file("prog"); }
    std::string work(const std::string& name) const { return dir.file("work/" + name); }
};

// Every written file of a document, for before/after comparisons.
std::string snapshot(CBriscoDoc& doc, const std::string& folder);

}  // namespace orvex::test
