// The window's imports and exports: a new window's document made into the
// imported network, or left as it was; an update; tables replaced in a
// folder only when the person agrees.
#include <gtest/gtest.h>

#include "control/exchange.h"
#include "exchange/tables.h"
#include "support/support.h"

namespace orvex {
namespace {

using test::SampleNetwork;
using test::TempFolder;

TEST(ExchangeControl, AnImportMakesAModifiedUntitledNetworkOrLeavesTheDocument)
{
    SampleNetwork mine;
    TempFolder folder;
    std::string error;
    ASSERT_TRUE(exchange::exportTables(*mine.doc, folder.file("t"), error)) << error;
    const struct {
        ExchangeFormat format;
        std::string path;
        bool done;
        const char* said;
    } cases[] = {
        {ExchangeFormat::Tables, folder.file("t"), true, "The network holds 50 nodes (5 on the surface), 64 roads, 2 fixed-flow roads, 2 fans."},
        {ExchangeFormat::Tables, folder.file("none"), false, "none/nodes.csv: the table cannot be read"},
        {ExchangeFormat::Inp, test::kSourceDir + "/data/mine.vad", false, "Nothing was imported."},
        {ExchangeFormat::Dxf, test::kSourceDir + "/data/mineplan.dxf", true, " on the surface)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CBriscoDoc fresh(mine.app, mine.reporter);
        const std::string before = test::snapshot(fresh);
        const ExchangeOutcome outcome = importNetwork(fresh, c.format, c.path);
        EXPECT_EQ(outcome.done, c.done);
        EXPECT_NE(outcome.message.find(c.said), std::string::npos) << outcome.message;
        EXPECT_EQ(fresh.modified, c.done);
        EXPECT_TRUE(fresh.baseName.empty());
        if (!c.done) {
            EXPECT_EQ(test::snapshot(fresh), before);
        }
    }
    CBriscoDoc drawn(mine.app, mine.reporter);
    ASSERT_TRUE(importNetwork(drawn, ExchangeFormat::Dxf, test::kSourceDir + "/data/mineplan.dxf").done);
    EXPECT_EQ(drawn.title.rfind("mineplan", 0), 0u) << drawn.title;
}

TEST(ExchangeControl, TablesInTheFolderAreReplacedOnlyWhenThePersonAgrees)
{
    SampleNetwork mine;
    TempFolder folder;
    const std::string path = folder.file("tables");
    test::writeFile(path + "/nodes.csv", "mine");
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        mine.reporter.answers = {answer};
        const ExchangeOutcome outcome = exportNetwork(*mine.doc, ExchangeFormat::Tables, path, mine.reporter);
        EXPECT_EQ(outcome.done, answer == Answer::Yes);
        EXPECT_EQ(test::readFile(path + "/nodes.csv") == "mine", answer == Answer::No);
        EXPECT_NE(mine.reporter.questions.back().find("holds these tables already:\nnodes.csv"), std::string::npos);
    }
}

}  // namespace
}  // namespace orvex
