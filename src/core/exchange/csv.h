#pragma once

#include <optional>
#include <string>
#include <vector>

// Comma-separated tables as spreadsheets write and read them: fields quoted
// when they hold a comma, a quote or a line end, quotes doubled inside;
// numbers with a decimal point whatever the locale, written so that they
// read back to the same value.
namespace orvex::exchange {

// A CSV field: quoted, its quotes doubled, when it holds a comma, a quote or
// a line end.
std::string csvField(const std::string& text);
// The shortest text that reads back to the same float.
std::string numberText(float value);

// One table read from a file: its header's columns and its rows, every
// field with the line it stands on, for messages.
class CsvTable {
public:
    // Reads the text; false with error() set when a quoted field never ends.
    bool parse(const std::string& path, const std::string& text);
    const std::string& error() const { return mError; }
    const std::string& path() const { return mPath; }

    struct Column {
        std::string name, unit;  // "elevation [m]" -> "elevation", "m"
    };
    const std::vector<Column>& columns() const { return mColumns; }
    // The column of this name (case and surrounding blanks ignored), or -1.
    int find(const std::string& name) const;

    struct Row {
        int line = 0;
        std::vector<std::string> fields;
    };
    const std::vector<Row>& rows() const { return mRows; }

    // "<path>: line L, column C (name): <problem>"; column -1 leaves out the column.
    std::string located(const Row& row, int column, const std::string& problem) const;
    // The field of the row, "" past its end.
    static const std::string& field(const Row& row, int column);
    // The number in a field; nullopt with *problem set when it is not one
    // (blank: "is empty").
    std::optional<float> number(const Row& row, int column, std::string& problem) const;
    std::optional<int> whole(const Row& row, int column, std::string& problem) const;

private:
    std::string mPath, mError;
    std::vector<Column> mColumns;
    std::vector<Row> mRows;
};

}  // namespace orvex::exchange
