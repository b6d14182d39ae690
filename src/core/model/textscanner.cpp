#include "textscanner.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include "fileio.h"

namespace orvex {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Accepts what a free-format reader accepts for a number, less the leading
// plus sign that from_chars refuses.
std::string_view withoutPlus(std::string_view text)
{
    if (text.size() > 1 && text[0] == '+')
        text.remove_prefix(1);
    return text;
}

template <typename T>
TextScanner::Result parseReal(std::string_view tok, T& value)
{
    if (tok.empty())
        return TextScanner::Result::End;
    tok = withoutPlus(tok);
    T parsed{};
    auto [ptr, ec] = std::from_chars(tok.data(), tok.data() + tok.size(), parsed);
    if (ec != std::errc() || ptr != tok.data() + tok.size() || !std::isfinite(parsed))
        return TextScanner::Result::Bad;
    value = parsed;
    return TextScanner::Result::Ok;
}

}  // namespace

TextScanner::TextScanner(std::string text) : mText(std::move(text)) {}

std::optional<TextScanner> TextScanner::open(const std::string& path, std::error_code& error)
{
    std::string text;
    if (!readWholeFile(path, text, error))
        return std::nullopt;
    return TextScanner(std::move(text));
}

void TextScanner::advance(std::size_t n)
{
    for (std::size_t i = 0; i < n && mPos < mText.size(); ++i, ++mPos)
        if (mText[mPos] == '\n')
            ++mLine;
}

void TextScanner::skipSpace()
{
    while (mPos < mText.size() && isSpace(mText[mPos]))
        advance(1);
}

std::size_t TextScanner::tokenStart() const
{
    std::size_t p = mPos;
    while (p < mText.size() && isSpace(mText[p]))
        ++p;
    return p;
}

std::string_view TextScanner::token() const
{
    const std::size_t start = tokenStart();
    std::size_t end = start;
    while (end < mText.size() && !isSpace(mText[end]))
        ++end;
    return std::string_view(mText).substr(start, end - start);
}

void TextScanner::consumeToken(std::size_t size)
{
    skipSpace();
    advance(size);
}

TextScanner::Result TextScanner::readInt(int& value)
{
    std::string_view tok = token();
    if (tok.empty())
        return Result::End;
    std::string_view digits = withoutPlus(tok);
    int parsed = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
    if (ec != std::errc() || ptr != digits.data() + digits.size())
        return Result::Bad;
    value = parsed;
    consumeToken(tok.size());
    return Result::Ok;
}

TextScanner::Result TextScanner::readFloat(float& value)
{
    std::string_view tok = token();
    Result r = parseReal(tok, value);
    if (r == Result::Ok)
        consumeToken(tok.size());
    return r;
}

TextScanner::Result TextScanner::readDouble(double& value)
{
    std::string_view tok = token();
    Result r = parseReal(tok, value);
    if (r == Result::Ok)
        consumeToken(tok.size());
    return r;
}

TextScanner::Result TextScanner::readWord(std::string& word)
{
    std::string_view tok = token();
    if (tok.empty())
        return Result::End;
    word.assign(tok);
    consumeToken(tok.size());
    return Result::Ok;
}

bool TextScanner::readLine(std::string& line, std::size_t maxChars)
{
    line.clear();
    if (mPos >= mText.size())
        return false;
    while (mPos < mText.size() && line.size() < maxChars) {
        const char c = mText[mPos];
        line.push_back(c);
        advance(1);
        if (c == '\n')
            break;
    }
    return true;
}

bool TextScanner::readRestOfLine(std::string& line)
{
    return readLine(line, std::string::npos);
}

bool TextScanner::readHeading(std::string& heading)
{
    if (!readRestOfLine(heading))
        return false;
    std::size_t body = heading.size();
    if (body > 0 && heading[body - 1] == '\n') {
        --body;
        if (body > 0 && heading[body - 1] == '\r')
            --body;
    }
    const bool blank = heading.find_first_not_of(' ') >= body;
    const bool hasLineEnd = body < heading.size();
    if (blank && hasLineEnd)
        return readRestOfLine(heading);
    return true;
}

bool TextScanner::atEnd()
{
    skipSpace();
    return mPos >= mText.size();
}

int TextScanner::line() const
{
    const std::size_t start = tokenStart();
    int line = mLine;
    for (std::size_t p = mPos; p < start; ++p)
        if (mText[p] == '\n')
            ++line;
    return line;
}

std::string TextScanner::nextToken() const
{
    return std::string(token().substr(0, 40));
}

// ---------------------------------------------------------------------------

RecordReader::RecordReader(TextScanner& scanner, std::string path)
    : mScanner(scanner), mPath(std::move(path))
{
}

std::string RecordReader::located(const std::string& problem)
{
    std::ostringstream out;
    out << mPath << ": line " << (mFieldLine > 0 ? mFieldLine : mScanner.line()) << ": " << problem;
    return out.str();
}

bool RecordReader::fail(const std::string& problem)
{
    if (mError.empty())
        mError = located(problem);
    return false;
}

bool RecordReader::check(TextScanner::Result result, const char* kind, std::string_view what,
                         int line, const std::string& token)
{
    if (result == TextScanner::Result::Ok) {
        mFieldLine = line;
        return true;
    }
    if (!mError.empty())
        return false;
    mEnded = result == TextScanner::Result::End;
    std::ostringstream out;
    out << mPath << ": line " << line << ": ";
    if (result == TextScanner::Result::End)
        out << "the file ends where " << kind << " was expected for " << what << ".";
    else
        out << kind << " was expected for " << what << ", but the file holds \"" << token << "\".";
    mError = out.str();
    return false;
}

bool RecordReader::readInt(int& value, std::string_view what)
{
    if (failed())
        return false;
    const int line = mScanner.line();
    const std::string tok = mScanner.nextToken();
    return check(mScanner.readInt(value), "a whole number", what, line, tok);
}

bool RecordReader::readFloat(float& value, std::string_view what)
{
    if (failed())
        return false;
    const int line = mScanner.line();
    const std::string tok = mScanner.nextToken();
    return check(mScanner.readFloat(value), "a number", what, line, tok);
}

bool RecordReader::readDouble(double& value, std::string_view what)
{
    if (failed())
        return false;
    const int line = mScanner.line();
    const std::string tok = mScanner.nextToken();
    return check(mScanner.readDouble(value), "a number", what, line, tok);
}

bool RecordReader::readWord(std::string& word, std::string_view what)
{
    if (failed())
        return false;
    const int line = mScanner.line();
    return check(mScanner.readWord(word), "a word", what, line, "");
}

bool RecordReader::readHeading(std::string& heading, std::string_view what)
{
    if (failed())
        return false;
    mFieldLine = 0;
    if (mScanner.readHeading(heading))
        return true;
    mEnded = true;
    return fail("the file ends where " + std::string(what) + " was expected.");
}

void skipLines(TextScanner& scanner, int count, std::size_t maxChars)
{
    std::string dropped;
    for (int i = 0; i < count; ++i)
        scanner.readLine(dropped, maxChars);
}

}  // namespace orvex
