#pragma once

// What the core's suites put in place of the person, the disk and the
// screen: a reporter that records messages and answers questions from a
// script, temporary folders, file helpers, a program folder of its own and
// the sample networks opened as the window opens them. Qt-free.
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/briscodoc.h"
#include "model/reporter.h"

namespace orvex::test {

using Strings = std::vector<std::string>;

inline const std::string kSourceDir = ORVEX_SOURCE_DIR;
// The hand-made test network tests/data/small.* (the base name ends in the dot).
inline const std::string kSmallBase = kSourceDir + "/tests/data/small.";

// Records every message and question. Questions are answered from `answers`
// in order; when none is left, Cancel where the question offers it, else No,
// and with `strict` set an unscripted question fails the test.
class RecordingReporter : public Reporter {
public:
    void message(const std::string& text, const std::string& caption, MessageKind kind) override;
    Answer ask(const std::string& text, const std::string& caption, bool withCancel) override;
    void clear();
    std::string all() const;  // every message in brackets, one per line
    bool contains(const std::string& part) const { return all().find(part) != std::string::npos; }
    int count(const std::string& text) const;  // messages that are exactly `text`

    Strings messages, captions, questions, questionCaptions;
    std::vector<MessageKind> kinds;
    std::deque<Answer> answers;
    bool strict = false;
};

// File names (without folder) the document read and wrote, in order.
class RecordingFileObserver : public FileObserver {
public:
    void fileAccessed(const std::string& path, FileAccess access, bool) override
    {
        (access == FileAccess::Read ? reads : writes).push_back(std::filesystem::path(path).filename().string());
    }
    Strings reads, writes;
};

// A fresh folder under the system's temporary folder, removed with its content.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return mPath; }
    std::string file(const std::string& name) const { return (mPath / name).string(); }

private:
    std::filesystem::path mPath;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);  // makes the folders too
// text with its first occurrence of `from` replaced (the test fails when absent).
std::string replaced(std::string text, const std::string& from, const std::string& to);

extern const char* const kUnitsText;  // flow m3/min (factor 1/60), pressure Pa

struct ProgramFiles {
    bool withDefaultNetwork = true, withDefaultParameters = true;
};

// A program folder (units file, a default network of 2 surface and 1
// underground node and 2 roads, a default parameter file with fire node 7),
// the application record with its units, a reporter and a document.
struct Installation {
    explicit Installation(const ProgramFiles& files = {});
    std::unique_ptr<CBriscoDoc> newDocument() { return std::make_unique<CBriscoDoc>(app, reporter); }
    std::string program() const { return dir.file("prog"); }
    std::string work(const std::string& name) const { return dir.file("work/" + name); }

    TempFolder dir;
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
};

// A network file (a sample of data/ unless a path is given) opened as a new
// window opens it, with the shipped units; `opened` is false, with the
// messages, when it failed.
struct SampleNetwork {
    explicit SampleNetwork(const std::string& file = "mine.vad");
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
    bool opened = false;
};

// Every file the document writes (network, results, node positions, bending
// points, parameters) and the raw bending-point store, to compare before and after.
std::string snapshot(CBriscoDoc& doc);

}  // namespace orvex::test
