#pragma once

#include <iosfwd>
#include <vector>

#include "escape/escape.h"
#include "reportparts.h"

// With --escape, the run report's part on the ways out of a fire run: a
// JSON list, a CSV table and a text table with the same fields
// (docs/escape.md).
namespace orvex::cli {

struct EscapeResults {
    EscapeSettings settings;
    std::vector<EscapeRoute> routes;  // every underground node's, in node order
};

// The routes as the JSON report's "escape" list; the settings they used.
json escapeJson(const EscapeResults& e);
json escapeSettingsJson(const EscapeSettings& s);
void printEscapeCsv(std::ostream& out, const EscapeResults& e);
void printEscapeText(std::ostream& out, const EscapeResults& e);

}  // namespace orvex::cli
