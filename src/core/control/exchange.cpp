#include "exchange.h"


#include "exchange/dxfexport.h"
#include "exchange/epanet.h"
#include "exchange/tables.h"

namespace orvex {

namespace {

std::string withNewline(std::string text)
{
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    return text;
}

ExchangeOutcome refused(const std::string& text) { return {false, text, MessageKind::Warning}; }

// The draft stored, with what it made.
ExchangeOutcome stored(const exchange::ImportResult& result, CBriscoDoc& doc, const std::string& path)
{
    if (!result.ok)
        return refused(result.error + "\nNothing was imported.");
    if (result.draft.nodes.empty())
        return refused(path + ": holds no nodes.\nNothing was imported.");
    const std::string problem = exchange::storeDraft(result.draft, doc);
    if (!problem.empty())
        return refused(path + ": " + problem + "\nNothing was imported.");
    doc.modified = true;
    return {true, withNewline(result.report) + "The network holds " + exchange::networkSummary(doc) + ".",
            MessageKind::Information};
}

}  // namespace

ExchangeOutcome importNetwork(CBriscoDoc& doc, ExchangeFormat format, const std::string& path,
                              const exchange::DxfImportOptions& dxf)
{
    const UnitsSettings& units = doc.app().units;
    switch (format) {
    case ExchangeFormat::Tables:
        return stored(exchange::importTables(path, doc, exchange::TableImport::NewNetwork), doc, path);
    case ExchangeFormat::Dxf: return stored(exchange::importDxf(path, dxf, units), doc, path);
    case ExchangeFormat::Inp: return stored(exchange::importInp(path, units), doc, path);
    }
    return refused("unknown format");
}

ExchangeOutcome updateFromTables(CBriscoDoc& doc, const std::string& folder)
{
    return stored(exchange::importTables(folder, doc, exchange::TableImport::Update), doc, folder);
}

ExchangeOutcome exportNetwork(const CBriscoDoc& doc, ExchangeFormat format, const std::string& path, Reporter& reporter)
{
    std::string error, notes;
    switch (format) {
    case ExchangeFormat::Tables: {
        std::string there;
        for (const std::string& name : exchange::existingTables(path))
            there += "\n" + name;
        if (!there.empty() &&
            reporter.ask(path + " holds these tables already:" + there + "\nReplace them with this network's?",
                         kExportCaption, false) != Answer::Yes)
            return {false, {}, MessageKind::Information};
        if (!exchange::exportTables(doc, path, error))
            break;
        return {true, path + ": network.csv, nodes.csv, roads.csv, fans.csv and bends.csv written.",
                MessageKind::Information};
    }
    case ExchangeFormat::Dxf:
        if (!exchange::exportDxf(doc, path, error))
            break;
        return {true, path + " written.", MessageKind::Information};
    case ExchangeFormat::Inp:
        if (!exchange::exportInp(doc, path, error, notes))
            break;
        return {true, withNewline(notes) + path + " written.", MessageKind::Information};
    }
    return {false, error, MessageKind::Error};
}

bool canExport(const CBriscoDoc& doc, ExchangeFormat format)
{
    return doc.nodeCount > 0 && (format != ExchangeFormat::Inp || doc.isWater());
}

const char* exchangeFilter(ExchangeFormat format)
{
    switch (format) {
    case ExchangeFormat::Tables: return "";
    case ExchangeFormat::Dxf: return "drawing (*.dxf)";
    case ExchangeFormat::Inp: return "EPANET input file (*.inp)";
    }
    return "";
}

}  // namespace orvex
