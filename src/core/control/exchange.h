#pragma once

#include <string>

#include "exchange/dxfimport.h"
#include "model/briscodoc.h"

// The window's imports and exports of networks: what each reads or writes,
// what it asks before replacing files, and what it tells the person.
namespace orvex {

enum class ExchangeFormat {
    Tables,  // a folder of CSV tables
    Dxf,     // a drawing for CAD
    Inp,     // an EPANET input file, water networks only
};

struct ExchangeOutcome {
    bool done = false;
    std::string message;  // what was made and left out, or why nothing was done
    MessageKind kind = MessageKind::Information;
};

// Makes the document, a new window's, into the network the file holds: an
// untitled network not yet on disk, so modified. A file that cannot be used
// leaves the document as it was.
ExchangeOutcome importNetwork(CBriscoDoc& doc, ExchangeFormat format, const std::string& path,
                              const exchange::DxfImportOptions& dxf = {});
// The document's network updated from a folder of tables; the caller makes
// it one undo step when done.
ExchangeOutcome updateFromTables(CBriscoDoc& doc, const std::string& folder);
// Writes the network. Tables already in the folder are replaced only when the
// person agrees (asked through reporter); the file dialogs of the other
// formats have asked already.
ExchangeOutcome exportNetwork(const CBriscoDoc& doc, ExchangeFormat format, const std::string& path,
                              Reporter& reporter);
// Whether the network can be written in the format: EPANET files hold water
// networks only, and an empty network has nothing to write.
bool canExport(const CBriscoDoc& doc, ExchangeFormat format);

// The file dialogs' filter of the format ("" for a folder of tables).
const char* exchangeFilter(ExchangeFormat format);

inline const std::string kImportCaption = "Import";
inline const std::string kExportCaption = "Export";

}  // namespace orvex
