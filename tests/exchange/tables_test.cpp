// The network tables: a sample exported and imported into a new network
// gives its files back byte for byte; a table edited in a spreadsheet
// updates the elements it names and adds the others; every damaged table
// is refused with its file, line and column.
#include <gtest/gtest.h>

#include "exchange/tables.h"
#include "model/fileio.h"
#include "model/networkio.h"
#include "support/support.h"

namespace orvex::exchange {
namespace {

using test::readFile;
using test::replaced;
using test::SampleNetwork;
using test::TempFolder;
using test::writeFile;

// The tables of a sample in a folder of their own.
struct Exported {
    explicit Exported(const std::string& sample = "mine.vad") : net(sample)
    {
        std::string error;
        EXPECT_TRUE(net.opened);
        EXPECT_TRUE(exportTables(*net.doc, dir.path().string(), error)) << error;
    }
    std::string table(const std::string& name) const { return dir.file(name); }
    void edit(const std::string& name, const std::string& from, const std::string& to) const
    {
        writeFile(table(name), replaced(readFile(table(name)), from, to));
    }
    // Imports the folder; the error when refused.
    std::string import(CBriscoDoc& into, TableImport mode) const
    {
        ImportResult result = importTables(dir.path().string(), into, mode);
        if (!result.ok)
            return result.error;
        return storeDraft(result.draft, into);
    }

    mutable SampleNetwork net;
    TempFolder dir;
};

TEST(Tables, ImportedIntoANewNetworkGiveTheSameFilesByteForByte)
{
    for (const std::string sample : {"mine", "minefire", "water", "built"}) {
        SCOPED_TRACE(sample);
        const Exported tables(sample + ".vad");
        CBriscoDoc fresh(tables.net.app, tables.net.reporter);
        ASSERT_EQ(tables.import(fresh, TableImport::NewNetwork), "");
        const std::string base = tables.dir.file("again.");
        ASSERT_EQ(saveNetwork(fresh, base), 1);
        const std::string original = test::kSourceDir + "/data/" + sample + ".";
        for (const char* ext : {"vad", "jpd", "apd", "nrd"})
            EXPECT_EQ(readFile(base + ext), fileExists(original + ext) ? readFile(original + ext) : "") << ext;
    }
}

TEST(Tables, EveryDigitAndLineEndComesBack)
{
    SampleNetwork net;
    ASSERT_TRUE(net.opened);
    net.doc->roads[1].resistance = 1.0f / 3;
    net.doc->nodes[2].x = 1234.567f;
    net.doc->headings[2] = "CRLF heading\r\n";
    TempFolder dir;
    std::string error;
    ASSERT_TRUE(exportTables(*net.doc, dir.path().string(), error)) << error;
    CBriscoDoc fresh(net.app, net.reporter);
    ImportResult result = importTables(dir.path().string(), fresh, TableImport::NewNetwork);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(storeDraft(result.draft, fresh), "");
    EXPECT_EQ(fresh.roads[1].resistance, net.doc->roads[1].resistance);
    EXPECT_EQ(fresh.nodes[2].x, 1234.567f);
    EXPECT_EQ(fresh.headings[2].view(), "CRLF heading\r\n");
}

TEST(Tables, ASpreadsheetEditUpdatesTheRoadsItNamesAndAddsTheNewOnes)
{
    const Exported tables;
    CBriscoDoc& doc = *tables.net.doc;
    // A spreadsheet saves with a byte-order mark and CRLF, quotes what it
    // likes, and keeps only some columns.
    writeFile(tables.table("roads.csv"),
              "\xEF\xBB\xBF" "from,to,resistance [Ns2/m8],\"name\",note,temperature [degC],area [m2],length [m],"
              "conductivity [kcal/(m h degC)]\r\n"
              "101,201,0.0075,,widened\r\n"
              "301,330,0.25,\"L3_Bypass\",new,30,16,120,2.8\r\n");
    for (const char* name : {"network.csv", "nodes.csv", "fans.csv", "bends.csv"})
        std::remove(tables.table(name).c_str());
    const int roads = doc.roadCount;
    const Road before = doc.roads[2];
    ImportResult result = importTables(tables.dir.path().string(), doc, TableImport::Update);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_NE(result.report.find("roads.csv: 2 roads (1 updated, 1 added)"), std::string::npos) << result.report;
    EXPECT_NE(result.report.find("the column \"note\" is not read"), std::string::npos);
    ASSERT_EQ(storeDraft(result.draft, doc), "");
    ASSERT_EQ(doc.roadCount, roads + 1);
    EXPECT_FLOAT_EQ(doc.roads[2].resistance, 0.0075f);
    EXPECT_EQ(doc.roads[2].length, before.length);
    EXPECT_EQ(doc.roads[2].name.view(), before.name.view());
    const Road& added = doc.roads[doc.roadCount];
    EXPECT_EQ(added.first * 1000 + added.second, 301330);
    EXPECT_EQ(added.name.view(), "L3_Bypass");
    EXPECT_FLOAT_EQ(added.resistance, 0.25f);
}

TEST(Tables, AnUpdateMovesNodesAndReplacesACurveAndBendingPoints)
{
    const Exported tables("built.vad");
    CBriscoDoc& doc = *tables.net.doc;
    const int bent = doc.roads[1].bendStart ? 1 : 2;
    writeFile(tables.table("nodes.csv"), "number,x [m]\n12,-7.5\n");
    writeFile(tables.table("fans.csv"), "inlet,outlet,airflow step [m3/min],pressure 1 [Pa],pressure 2 [Pa]\n" +
                                            std::to_string(doc.fans[1].inlet) + "," + std::to_string(doc.fans[1].outlet) +
                                            ",100,900,400\n");
    writeFile(tables.table("bends.csv"), "from,to,point,x [m],y [m],mark\n" + std::to_string(doc.roads[bent].second) +
                                             "," + std::to_string(doc.roads[bent].first) + ",1,1,2,0\n" +
                                             std::to_string(doc.roads[bent].second) + "," +
                                             std::to_string(doc.roads[bent].first) + ",2,3,4,0\n");
    std::remove(tables.table("roads.csv").c_str());
    std::remove(tables.table("network.csv").c_str());
    ASSERT_EQ(tables.import(doc, TableImport::Update), "");
    EXPECT_FLOAT_EQ(doc.nodes[doc.nodeIndex(12)].x, -7.5f);
    ASSERT_EQ(doc.fans[1].points, 2);
    EXPECT_FLOAT_EQ(doc.fans[1].curve[2], 400.0f);
    const int s = doc.roads[bent].bendStart;
    ASSERT_GT(s, 0);
    ASSERT_EQ(doc.bends[s].mark, 2);
    // Given from the road's second node: stored from its first.
    EXPECT_FLOAT_EQ(doc.bends[s + 1].x, 3.0f);
    EXPECT_FLOAT_EQ(doc.bends[s + 2].x, 1.0f);
}

TEST(Tables, DamagedTablesAreRefusedWithFileLineAndColumn)
{
    struct Case {
        const char* table;
        const char* from;
        const char* to;
        const char* message;
    };
    const Case cases[] = {
        {"roads.csv", ",length [m],", ",", "roads.csv: line 1: the column \"length [m]\" is missing"},
        {"roads.csv", "area [m2]", "area [ft2]", "roads.csv: line 1, column 7: \"area\" is in \"ft2\", but this installation's unit is \"m2\""},
        {"nodes.csv", "1,surface,320", "1,surface,high", "nodes.csv: line 2, column 3 (elevation): a number is needed, but the field holds \"high\""},
        {"nodes.csv", "1,surface,320", "1,roof,320", "nodes.csv: line 2, column 2 (place): expected \"surface\" or \"underground\""},
        {"nodes.csv", "\n2,", "\n1,", "nodes.csv: line 3, column 1 (number): node 1 is given twice"},
        {"roads.csv", "\n1,101,", "\n1,999,", "roads.csv: line 2, column 2 (to): node 999 is not in the network"},
        {"roads.csv", "IntakeShaft", "\"Intake", "roads.csv: line 2: a quoted field is never closed"},
        {"roads.csv", "IntakeShaft", "Intake Shaft", "line 2, column 10 (name): a road's name is one word"},
        {"roads.csv", ",normal,", ",closed,", "roads.csv: line 2, column 3 (kind): expected \"normal\" or \"fixed-flow\""},
        {"fans.csv", "10,3,", "10,3x,", "fans.csv: line 2, column 2 (outlet): a whole number is needed"},
        {"bends.csv", "4,10,1,", "4,10,2,", "bends.csv: line 2, column 3 (point): point 1 of road 4-10 was expected, not 2"},
        {"bends.csv", "4,10,1,", "4,52,1,", "bends.csv: line 2, column 1 (from): no road joins nodes 4-52"},
        {"network.csv", "heading 3,", "heading 11,", "network.csv: line 4, column 1 (item): there are heading lines 1 to 10"},
        {"roads.csv", "\n1,101,normal,0.012,0,16.5,", "\n1,101,normal,,0,16.5,", "roads.csv: line 2, column 4 (resistance): a number is needed, but the field is empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Exported tables;
        tables.edit(c.table, c.from, c.to);
        CBriscoDoc fresh(tables.net.app, tables.net.reporter);
        const std::string before = test::snapshot(fresh);
        const std::string error = tables.import(fresh, TableImport::NewNetwork);
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(test::snapshot(fresh), before);
    }
}

TEST(Tables, AnUpdateThatAddsARoadGivesItsValues)
{
    const Exported tables;
    writeFile(tables.table("roads.csv"), "from,to,resistance [Ns2/m8]\n301,330,0.25\n");
    ImportResult result = importTables(tables.dir.path().string(), *tables.net.doc, TableImport::Update);
    EXPECT_NE(result.error.find("roads.csv: line 2: a new element needs its temperature"), std::string::npos)
        << result.error;
}

TEST(Tables, ANewNetworkNeedsItsNodesAndRoads)
{
    const Exported tables;
    std::remove(tables.table("roads.csv").c_str());
    CBriscoDoc fresh(tables.net.app, tables.net.reporter);
    const std::string error = tables.import(fresh, TableImport::NewNetwork);
    EXPECT_NE(error.find("roads.csv: the table cannot be read"), std::string::npos) << error;
}

}  // namespace
}  // namespace orvex::exchange
