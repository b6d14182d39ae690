#include "reportparts.h"

#include <cmath>
#include <cstdio>
#include <ostream>

#include "model/textcodec.h"

namespace orvex::cli {

std::string format(const char* fmt, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, fmt, value);
    return buffer;
}

std::string padded(const std::string& text, std::size_t width)
{
    std::size_t characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters < width ? text + std::string(width - characters, ' ') : text;
}

Units unitsOf(const CBriscoDoc& doc)
{
    const UnitsSettings& u = doc.app().units;
    return {textAsUtf8(u.flowUnitName.view()), textAsUtf8(u.pressureUnitName.view())};
}

std::string optional(const char* fmt, double value)
{
    return std::isfinite(value) ? format(fmt, value) : std::string();
}

std::string numbersText(const std::vector<int>& numbers)
{
    std::string text;
    for (const int n : numbers)
        text += (text.empty() ? "" : "-") + std::to_string(n);
    return text;
}

std::string elementText(const Finding& f)
{
    return numbersText(f.nodes);
}

json checksJson(const std::vector<Finding>& findings)
{
    json checks = json::array();
    for (const Finding& f : findings)
        checks.push_back({{"kind", checkKindName(f.kind)}, {"element", f.nodes}, {"value", f.value},
                          {"limit", f.limit}, {"unit", textAsUtf8(f.unit)}, {"severity", severityName(f.severity)},
                          {"reason", textAsUtf8(f.reason)}});
    return checks;
}

void printChecks(std::ostream& out, const std::vector<Finding>& findings)
{
    out << "\nChecks\n";
    if (findings.empty()) {
        out << "No finding.\n";
        return;
    }
    for (const Finding& f : findings)
        out << findingLine(f) << "\n";
}

std::string findingLine(const Finding& f)
{
    char line[640];
    std::snprintf(line, sizeof line, "%-9s %-14s %-15s %s", severityName(f.severity), checkKindName(f.kind),
                  elementText(f).c_str(), textAsUtf8(f.reason).c_str());
    return line;
}

std::string findingCsv(const Finding& f)
{
    return std::string(checkKindName(f.kind)) + "," + elementText(f) + "," + optional("%.4f", f.value) + "," +
           optional("%.4f", f.limit) + "," + csvField(textAsUtf8(f.unit)) + "," + severityName(f.severity) + "," +
           csvField(textAsUtf8(f.reason));
}

}  // namespace orvex::cli
