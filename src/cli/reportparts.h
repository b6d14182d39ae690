#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "checks/checks.h"
#include "exchange/csv.h"

// What the run report and the what-if reports write alike: numbers, CSV
// fields, padded columns, the unit labels and the design checks' findings.
namespace orvex::cli {

using json = nlohmann::ordered_json;  // keys in the order a reader expects them

std::string format(const char* fmt, double value);
// A value that may be missing: empty text for NaN.
std::string optional(const char* fmt, double value);
// A CSV field: quoted when it holds a separator, a quote or a line end.
using exchange::csvField;
// The text padded with blanks to a width in characters, not bytes.
std::string padded(const std::string& text, std::size_t width);

// The unit labels of the report, as UTF-8.
struct Units {
    std::string flow, pressure;
};
Units unitsOf(const CBriscoDoc& doc);

// Node numbers joined by "-": 201-202-2.
std::string numbersText(const std::vector<int>& numbers);
// A finding's element as text: its node numbers joined by "-".
std::string elementText(const Finding& f);
json checksJson(const std::vector<Finding>& findings);
// A finding as a row under "kind,element,value,limit,unit,severity,reason".
std::string findingCsv(const Finding& f);
// A finding as a line of the text report.
std::string findingLine(const Finding& f);
// The text report's checks: a heading and one line per finding.
void printChecks(std::ostream& out, const std::vector<Finding>& findings);

}  // namespace orvex::cli
