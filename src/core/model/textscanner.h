#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// Reading of the program's text files: numbers in free format (any white space,
// line ends included, separates them), whole lines, and the heading-line rule.
// A number must stand alone: "12abc" or "1,5" is not a number, so a file with
// text where a number belongs is caught at the field instead of misaligning
// everything after it.
namespace orvex {

class TextScanner {
public:
    explicit TextScanner(std::string text);

    // The whole file, or nothing when it cannot be read (error says why).
    // Never throws: a folder, a pipe or an unreadable file is a failure.
    static std::optional<TextScanner> open(const std::string& path, std::error_code& error);

    enum class Result { Ok, End, Bad };

    Result readInt(int& value);
    Result readFloat(float& value);   // finite single-precision numbers only
    Result readDouble(double& value); // finite double-precision numbers only
    Result readWord(std::string& word);  // a run of non-blank characters

    // Reads up to maxChars characters, stopping after a line end, as a line
    // reader with a fixed buffer does; false when the file has ended.
    bool readLine(std::string& line, std::size_t maxChars);
    // The rest of the current line with its line end (no length limit).
    bool readRestOfLine(std::string& line);
    // The heading-line rule: the rest of the current line, or, when that is
    // only blanks before its line end, the whole next line.
    bool readHeading(std::string& heading);

    // True when only white space is left.
    bool atEnd();
    // The line the next field starts on (1-based), for messages.
    int line() const;
    // The line the scanner stands on (1-based): after a whole line was
    // read, the one after it.
    int currentLine() const { return mLine; }
    // The text of the next field, for messages ("" at the end of the file).
    std::string nextToken() const;

private:
    void skipSpace();
    std::size_t tokenStart() const;
    std::string_view token() const;  // the next blank-delimited run, not consumed
    void consumeToken(std::size_t size);
    void advance(std::size_t n);

    std::string mText;
    std::size_t mPos = 0;
    int mLine = 1;
};

// Passes over `count` lines read as readLine reads them.
void skipLines(TextScanner& scanner, int count, std::size_t maxChars);

// A TextScanner that knows its file's path and turns the first failure into a
// message naming the file, the line and the field: "<path>: line 12: a number
// was expected for the elevation of node 3, but the line holds \"abc\"."
class RecordReader {
public:
    RecordReader(TextScanner& scanner, std::string path);

    bool readInt(int& value, std::string_view what);
    bool readFloat(float& value, std::string_view what);
    bool readDouble(double& value, std::string_view what);
    bool readWord(std::string& word, std::string_view what);
    bool readHeading(std::string& heading, std::string_view what);

    // Sets the message unless one is set already; always returns false.
    bool fail(const std::string& problem);
    // "<path>: line N: <problem>", N being the line of the last field read,
    // so that a record refused after reading names its own line.
    std::string located(const std::string& problem);

    bool failed() const { return !mError.empty(); }
    // True when the failure is that the file ended before the field.
    bool endedEarly() const { return mEnded; }
    const std::string& error() const { return mError; }
    TextScanner& scanner() { return mScanner; }
    const std::string& path() const { return mPath; }

private:
    bool check(TextScanner::Result result, const char* kind, std::string_view what, int line,
               const std::string& token);

    TextScanner& mScanner;
    std::string mPath;
    std::string mError;
    int mFieldLine = 0;  // line of the last field read; 0 after a heading
    bool mEnded = false;
};

}  // namespace orvex
