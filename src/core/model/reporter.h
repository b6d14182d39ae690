#pragma once

#include <string>

// How the core talks to the person at the screen. The window program shows
// these as message boxes; tests record them and answer questions from a script.
namespace orvex {

// Captions of message boxes: the document's boxes carry the application
// title, the network view's boxes the program's own caption.
inline const std::string kDocumentCaption = "Network";
inline const std::string kViewCaption = "Tenbrook for Windows";

enum class MessageKind { Information, Warning, Error };
enum class Answer { Yes, No, Cancel };

class Reporter {
public:
    virtual ~Reporter() = default;
    // A message box with an OK button; returns when the person closed it.
    virtual void message(const std::string& text, const std::string& caption, MessageKind kind) = 0;
    // A Yes/No box, or Yes/No/Cancel when withCancel is set.
    virtual Answer ask(const std::string& text, const std::string& caption, bool withCancel) = 0;
};

// Says nothing and answers No: for copies of a network that work where
// nobody sees them.
class SilentReporter : public Reporter {
public:
    void message(const std::string&, const std::string&, MessageKind) override {}
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
};

// Gathers the messages of one operation, a network being opened, and shows
// them as one box when it is over: their texts in order, each as it stands,
// a blank line between two; the first message's caption, and the gravest of
// their kinds. A question shows what was gathered before it first. One
// message alone goes on as it came.
class GatheringReporter : public Reporter {
public:
    explicit GatheringReporter(Reporter& target) : mTarget(target) {}
    ~GatheringReporter() override { flush(); }
    GatheringReporter(const GatheringReporter&) = delete;
    GatheringReporter& operator=(const GatheringReporter&) = delete;

    void message(const std::string& text, const std::string& caption, MessageKind kind) override;
    Answer ask(const std::string& text, const std::string& caption, bool withCancel) override;
    // Shows what was gathered, if anything.
    void flush();

private:
    Reporter& mTarget;
    int mCount = 0;
    std::string mText, mCaption;
    MessageKind mKind = MessageKind::Information;
};

// Sees every network or companion file the document tries to open, in order.
// Used by tests and diagnostics; the program runs without one.
enum class FileAccess { Read, Write };

class FileObserver {
public:
    virtual ~FileObserver() = default;
    virtual void fileAccessed(const std::string& path, FileAccess access, bool opened) = 0;
};

}  // namespace orvex
