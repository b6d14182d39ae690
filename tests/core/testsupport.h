#pragma once

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/briscodoc.h"
#include "model/reporter.h"

namespace orvex::test {

// Records every message box; answers questions from a script, then Cancel.
class RecordingReporter : public Reporter {
public:
    void message(const std::string& text, const std::string& caption, MessageKind kind) override
    {
        messages.push_back(text), kinds.push_back(kind), captions.push_back(caption);
    }
    Answer ask(const std::string& text, const std::string& caption, bool) override
    {
        questions.push_back(text), questionCaptions.push_back(caption);
        const Answer answer = answers.empty() ? Answer::Cancel : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
    void clear() { messages.clear(), kinds.clear(), captions.clear(); }
    std::string all() const;  // every message in brackets, one per line
    bool contains(const std::string& part) const { return all().find(part) != std::string::npos; }

    std::vector<std::string> messages, captions, questions, questionCaptions;
    std::vector<MessageKind> kinds;
    std::deque<Answer> answers;
};

// File names (without folder) the document read and wrote, in order.
class RecordingFileObserver : public FileObserver {
public:
    void fileAccessed(const std::string& path, FileAccess access, bool) override
    {
        (access == FileAccess::Read ? reads : writes).push_back(std::filesystem::path(path).filename().string());
    }
    std::vector<std::string> reads, writes;
};

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir() { std::error_code ec; std::filesystem::remove_all(mPath, ec); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return mPath; }
    std::string file(const std::string& name) const { return (mPath / name).string(); }

private:
    std::filesystem::path mPath;
};

// The hand-made test network tests/data/small.* (base name ends in the dot).
inline const std::string kSmallBase = std::string(ORVEX_TEST_DATA_DIR) + "/small.";

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
// text with its first occurrence of `from` replaced (the test fails when absent).
std::string replaced(std::string text, const std::string& from, const std::string& to);

extern const char* const kUnitsText;  // flow m3/min (factor 1/60)

struct ProgramFiles {
    bool withDefaultNetwork = true, withDefaultParameters = true;
};

// A program folder (units file, a default network of 2 surface and 1
// underground node and 2 roads, a default parameter file with fire node 7),
// the application record with its units, a reporter and a document.
struct Installation {
    explicit Installation(const ProgramFiles& files = {});
    std::unique_ptr<CBriscoDoc> newDocument() { return std::make_unique<CBriscoDoc>(app, reporter); }

    TempDir dir;
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;

    std::string program() const { return dir.file("prog"); }
    std::string work(const std::string& name) const { return dir.file("work/" + name); }
};

// Every file the document writes (network, results, positions, bends,
// parameters), for before/after comparisons.
std::string snapshot(CBriscoDoc& doc, const std::string& folder);

}  // namespace orvex::test
