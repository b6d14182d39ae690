#pragma once

// The reading of one network table: its header checked against the columns
// and units this installation writes, its fields read with their file, line
// and column named in every message. For the tables' reader alone.
#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "csv.h"
#include "tablecolumns.h"

namespace orvex::exchange::tables {

inline std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    return text;
}

inline std::string pairText(int a, int b) { return std::to_string(a) + "-" + std::to_string(b); }

// One table being read: its columns by name, and the reads of its fields.
class TableReader {
public:
    TableReader(const CsvTable& table, bool complete) : mTable(table), mComplete(complete) {}

    // Checks the header against the expected columns: a column in another
    // unit is refused, a missing one too when the table must be complete (or
    // it is a key); columns nobody reads are noted.
    bool columns(const std::vector<TableColumn>& expected, const std::set<std::string>& keys,
                 std::string& error, std::vector<std::string>& notes,
                 const std::function<bool(const std::string&)>& alsoKnown = {})
    {
        for (const TableColumn& column : expected) {
            const int at = mTable.find(column.name);
            const std::string header = column.unit.empty() ? column.name : column.name + " [" + column.unit + "]";
            if (at < 0) {
                if (mComplete || keys.count(column.name)) {
                    error = mTable.path() + ": line 1: the column \"" + header + "\" is missing";
                    return false;
                }
                continue;
            }
            const std::string& unit = mTable.columns()[std::size_t(at)].unit;
            if (unit != column.unit) {
                error = mTable.path() + ": line 1, column " + std::to_string(at + 1) + ": \"" + column.name +
                        "\" is " + (unit.empty() ? "given without a unit" : "in \"" + unit + "\"") +
                        (column.unit.empty() ? ", but it has none" : ", but this installation's unit is \"" + column.unit + "\"");
                return false;
            }
            mIndex[column.name] = at;
        }
        for (const CsvTable::Column& c : mTable.columns())
            if (!mIndex.count(c.name) && !(alsoKnown && alsoKnown(c.name)))
                notes.push_back(mTable.path() + ": the column \"" + c.name + "\" is not read");
        return true;
    }

    int at(const std::string& name) const
    {
        const auto it = mIndex.find(name);
        return it == mIndex.end() ? -1 : it->second;
    }
    bool given(const CsvTable::Row& row, const std::string& name) const
    {
        return at(name) >= 0 && !lowered(CsvTable::field(row, at(name))).empty();
    }
    std::string text(const CsvTable::Row& row, const std::string& name) const
    {
        return CsvTable::field(row, at(name));
    }

    // The row adds an element: every value it needs must be given.
    void adding(bool adds) const { mAdding = adds; }

    // A number into target: left as it is when the column or the field is
    // blank, unless the table must be complete or the row adds an element.
    bool number(const CsvTable::Row& row, const std::string& name, float& target, std::string& error) const
    {
        if (!given(row, name)) {
            if (!mComplete && !mAdding)
                return true;
            error = at(name) < 0 ? mTable.located(row, -1, "a new element needs its " + name +
                                                               ", and the table has no such column")
                                 : mTable.located(row, at(name), "a number is needed, but the field is empty");
            return false;
        }
        const std::optional<float> value = mTable.number(row, at(name), error);
        if (value)
            target = *value;
        return bool(value);
    }
    bool whole(const CsvTable::Row& row, const std::string& name, int& target, std::string& error) const
    {
        const std::optional<int> value = mTable.whole(row, at(name), error);
        if (value)
            target = *value;
        return bool(value);
    }
    // A word of a fixed set; blank keeps target unless the table must be complete.
    bool choice(const CsvTable::Row& row, const std::string& name, const std::vector<std::string>& words,
                std::string& target, std::string& error) const
    {
        const std::string word = lowered(text(row, name));
        if (word.empty() && !mComplete && !target.empty())
            return true;
        if (std::find(words.begin(), words.end(), word) != words.end()) {
            target = word;
            return true;
        }
        std::string list;
        for (const std::string& w : words)
            list += (list.empty() ? "\"" : " or \"") + w + "\"";
        error = mTable.located(row, at(name), "expected " + list + ", but the field holds \"" + text(row, name) + "\"");
        return false;
    }
    std::string located(const CsvTable::Row& row, const std::string& name, const std::string& problem) const
    {
        return mTable.located(row, at(name), problem);
    }

private:
    const CsvTable& mTable;
    bool mComplete;
    mutable bool mAdding = false;
    std::map<std::string, int> mIndex;
};


}  // namespace orvex::exchange::tables
