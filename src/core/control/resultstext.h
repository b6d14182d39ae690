#pragma once

#include <string>
#include <vector>

#include "exchange/csv.h"

// The texts of the results tables: numbers as the tables show them, the
// tab-separated copy, the CSV file and its suggested name.
namespace orvex {

// The value with `decimals` decimals, rounded half away from zero, as the
// window's number texts read ("12.346", "-0.500", "inf").
std::string fixedText(double value, int decimals);
// The value with at most `significant` significant digits, in the exponent
// form ("1.23457e+06") when its exponent is below -4 or not below
// `significant`, trailing zeros dropped.
std::string significantText(double value, int significant);

// A field of the tab-separated copy: tabs and line ends become blanks.
std::string tabField(const std::string& text);
// A CSV field: quoted, its quotes doubled, when it holds a comma, a quote or
// a line end.
using exchange::csvField;

using TextRow = std::vector<std::string>;
// The header line and the rows, each field passed through escape, joined by
// separator; every line ends in a line feed.
std::string tableText(const TextRow& header, const std::vector<TextRow>& rows, char separator,
                      std::string (*escape)(const std::string&));

// The rows Copy takes: the selected ones in the table's order, all `count`
// rows when none is selected.
std::vector<int> copiedRows(std::vector<int> selected, int count);

// The suggested CSV file of a table ("roads", "nodes", "fans"): beside the
// network, named after it ("mine-roads.csv"), or the table's name alone.
std::string csvFileName(const std::string& baseName, const std::string& table);

}  // namespace orvex
