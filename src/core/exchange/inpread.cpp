// Reading of EPANET input files into a water-network draft: the file is cut
// into its sections first (they may come in any order), then the options,
// the nodes, the links, the pump curves and the drawing are read from them.
#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_map>

#include "epanet.h"
#include "inpread.h"
#include "model/fileio.h"
#include "model/textcodec.h"
#include "model/textscanner.h"

namespace orvex::exchange {

namespace {

constexpr std::size_t kShownChars = 40;  // of a field quoted in a message
constexpr std::size_t kLargestFile = std::size_t(64) << 20;  // far more than a network of ORVEX needs

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

InpRecord recordOf(std::string_view row, int line)
{
    InpRecord record;
    record.line = line;
    const std::size_t semicolon = row.find(';');
    if (semicolon != std::string_view::npos)
        record.comment = trimmed(row.substr(semicolon + 1));
    const std::string_view body = row.substr(0, semicolon);
    std::size_t pos = 0;
    while (pos < body.size()) {
        const std::size_t start = body.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(body.find_first_of(" \t", start), body.size());
        record.fields.push_back({std::string(body.substr(start, end - start)), int(start) + 1});
        pos = end;
    }
    record.end = int(body.find_last_not_of(" \t") + 2);
    return record;
}

}  // namespace

std::string quoted(const std::string& text)
{
    const bool longer = text.size() > kShownChars;
    std::string shown = text.substr(0, characterCut(text, kShownChars));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < ' ' || c == 127)
            c = '?';
    return "\"" + shown + (longer ? "...\"" : "\"");
}

std::string InpSource::at(int line, int column) const
{
    return path + ": line " + std::to_string(line) + (column > 0 ? ", column " + std::to_string(column) : "") + ": ";
}

std::string InpSource::at(const InpRecord& record, std::size_t field) const
{
    return at(record.line, field < record.fields.size() ? record.fields[field].column : 0);
}

const std::string& InpSource::word(const InpRecord& record, std::size_t field, const std::string& what) const
{
    if (field >= record.fields.size())
        throw InpRefusal{at(record.line, record.end) + "the line ends before " + what + " (field " +
                         std::to_string(field + 1) + ")"};
    return record.fields[field].text;
}

double InpSource::number(const InpRecord& record, std::size_t field, const std::string& what) const
{
    const std::string& text = word(record, field, what);
    TextScanner scanner(text);
    double value = 0;
    if (scanner.readDouble(value) != TextScanner::Result::Ok || !scanner.atEnd())
        throw InpRefusal{at(record, field) + "a number was expected for " + what + ", but the line holds " +
                         quoted(text)};
    return value;
}

double InpSource::positive(const InpRecord& record, std::size_t field, const std::string& what) const
{
    const double value = number(record, field, what);
    if (!(value > 0))
        throw InpRefusal{at(record, field) + what + " must be above 0, but it is " + record.fields[field].text};
    return value;
}

InpSections splitSections(const std::string& text, const std::string& path)
{
    InpSource source{path};
    InpSections sections;
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos)
        throw InpRefusal{source.at(int(std::count(text.begin(), text.begin() + long(nul), '\n')) + 1, 0) +
                         "the file holds a NUL byte: it is not a text file"};
    InpSection* current = nullptr;
    bool title = false, kept = false;
    int line = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string_view row(text.data() + pos, end - pos);
        pos = end + 1;
        ++line;
        if (!row.empty() && row.back() == '\r')
            row.remove_suffix(1);
        InpRecord record = recordOf(row, line);
        if (record.fields.empty())
            continue;
        const std::string& first = record.fields[0].text;
        if (first[0] == '[') {
            const std::size_t close = first.find(']');
            const std::string name =
                upperText(first.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            if (name == "END")
                break;
            current = &sections.byName[name];
            title = name == "TITLE";
            kept = isReadSection(name);
            continue;
        }
        if (!current)
            throw InpRefusal{source.at(record, 0) + quoted(first) + " stands before the first section"};
        if (title)
            record.comment = trimmed(row);
        ++current->lines;
        if (kept)
            current->records.push_back(std::move(record));
    }
    return sections;
}

ImportResult importInp(const std::string& path, const UnitsSettings& units)
{
    ImportResult result;
    std::string text;
    std::error_code error;
    if (!readWholeFile(path, text, error)) {
        result.error = withReason(path + ": the file cannot be read.", error);
        return result;
    }
    if (text.size() > kLargestFile) {
        result.error = path + ": the file is larger than " + std::to_string(kLargestFile >> 20) +
                       " MB, more than a network of ORVEX can hold.";
        return result;
    }
    try {
        InpReader reader(path, units, splitSections(text, path));
        result.draft = reader.draft();
        result.report = reader.report();
        result.ok = !result.draft.nodes.empty();
        if (!result.ok)
            result.error = path + ": the file holds no junctions, reservoirs or tanks: it is not an EPANET "
                                  "input file, or one without a network.";
    } catch (const InpRefusal& refusal) {
        result.error = refusal.text + ".";
    }
    return result;
}

}  // namespace orvex::exchange
