#pragma once

#include <map>
#include <string>
#include <vector>

#include "draft.h"

// A network as CSV tables for spreadsheets, one file each in a folder:
// network.csv (heading lines, kind, surface temperature), nodes.csv,
// roads.csv, fans.csv and bends.csv, every quantity's unit in its column's
// header. Imported back, they give the same network files byte for byte;
// imported over a network, their rows update the elements they name by node
// numbers and add the others.
namespace orvex::exchange {

inline const std::vector<std::string> kTableFiles = {"network.csv", "nodes.csv", "roads.csv", "fans.csv",
                                                     "bends.csv"};

// The tables' texts by file name.
std::map<std::string, std::string> tableTexts(const CBriscoDoc& doc);
// Writes every table into the folder (made when missing), each file whole
// or not at all. False with error set when one could not be written.
bool exportTables(const CBriscoDoc& doc, const std::string& folder, std::string& error);
// The tables of a folder that a export would replace.
std::vector<std::string> existingTables(const std::string& folder);

enum class TableImport {
    NewNetwork,  // nodes.csv and roads.csv are needed, every column of a table given
    Update,      // rows update the elements they name and add the others; any column may be left out
};

// Reads the folder's tables onto the document's network (Update) or onto
// an empty network with the document's headings (NewNetwork). The units
// are those of the document's installation; a header in another unit is
// refused. Nothing is stored: the result's draft goes to storeDraft.
ImportResult importTables(const std::string& folder, const CBriscoDoc& doc, TableImport mode);

}  // namespace orvex::exchange
