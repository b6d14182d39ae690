#include "csv.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace orvex::exchange {

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

CsvTable::Column splitHeader(const std::string& text)
{
    const std::string field = trimmed(text);
    const auto open = field.find('[');
    if (open == std::string::npos || field.back() != ']')
        return {lowered(field), {}};
    return {lowered(trimmed(field.substr(0, open))), trimmed(field.substr(open + 1, field.size() - open - 2))};
}

}  // namespace

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\n\r") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string numberText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool CsvTable::parse(const std::string& path, const std::string& text)
{
    mPath = path;
    mError.clear();
    mColumns.clear();
    mRows.clear();
    std::size_t pos = 0;
    int line = 1;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;  // the byte-order mark spreadsheets put first
    bool header = true;
    while (pos < text.size()) {
        Row row{line, {}};
        std::string field;
        bool more = true;
        while (more) {
            field.clear();
            if (pos < text.size() && text[pos] == '"') {
                const int opened = line;
                for (++pos;; ++pos) {
                    if (pos >= text.size()) {
                        mError = mPath + ": line " + std::to_string(opened) +
                                 ": a quoted field is never closed";
                        return false;
                    }
                    if (text[pos] == '"' && pos + 1 < text.size() && text[pos + 1] == '"')
                        field += text[pos++];
                    else if (text[pos] == '"')
                        break;
                    else {
                        line += text[pos] == '\n';
                        field += text[pos];
                    }
                }
                ++pos;
            }
            while (pos < text.size() && text[pos] != ',' && text[pos] != '\n')
                field += text[pos++];
            if (!field.empty() && field.back() == '\r')
                field.pop_back();
            row.fields.push_back(field);
            more = pos < text.size() && text[pos] == ',';
            ++pos;
        }
        ++line;
        const bool blank = std::all_of(row.fields.begin(), row.fields.end(),
                                       [](const std::string& f) { return trimmed(f).empty(); });
        if (blank)
            continue;
        if (header) {
            for (const std::string& f : row.fields)
                mColumns.push_back(splitHeader(f));
            header = false;
        } else {
            mRows.push_back(std::move(row));
        }
    }
    return true;
}

int CsvTable::find(const std::string& name) const
{
    for (std::size_t c = 0; c < mColumns.size(); ++c)
        if (mColumns[c].name == name)
            return int(c);
    return -1;
}

std::string CsvTable::located(const Row& row, int column, const std::string& problem) const
{
    std::string where = mPath + ": line " + std::to_string(row.line);
    if (column >= 0) {
        where += ", column " + std::to_string(column + 1);
        if (column < int(mColumns.size()))
            where += " (" + mColumns[std::size_t(column)].name + ")";
    }
    return where + ": " + problem;
}

const std::string& CsvTable::field(const Row& row, int column)
{
    static const std::string empty;
    return column >= 0 && std::size_t(column) < row.fields.size() ? row.fields[std::size_t(column)] : empty;
}

std::optional<float> CsvTable::number(const Row& row, int column, std::string& problem) const
{
    const std::string text = trimmed(field(row, column));
    if (text.empty()) {
        problem = located(row, column, "a number is needed, but the field is empty");
        return std::nullopt;
    }
    float value = 0;
    const char* begin = text.data() + (text[0] == '+');
    const auto result = std::from_chars(begin, text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
        problem = located(row, column, "a number is needed, but the field holds \"" + text + "\"");
        return std::nullopt;
    }
    return value;
}

std::optional<int> CsvTable::whole(const Row& row, int column, std::string& problem) const
{
    const std::string text = trimmed(field(row, column));
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        problem = located(row, column, "a whole number is needed, but the field holds \"" + text + "\"");
        return std::nullopt;
    }
    return value;
}

}  // namespace orvex::exchange
