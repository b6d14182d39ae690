// Files that cannot be read or written: a folder or a pipe where a file
// belongs, a missing folder, a file cut short. Every reader and writer says
// which file failed and why, returns its code, and lets no exception out.
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

#include "model/networkio.h"
#include "model/profile.h"
#include "support/support.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

// The expected message with "$f" replaced by the file's path and "$p" by the
// program folder.
std::string expand(std::string text, const std::string& file, const std::string& program)
{
    for (std::size_t at; (at = text.find('$')) != std::string::npos;)
        text.replace(at, 2, text[at + 1] == 'f' ? file : program);
    return text;
}

TEST(FileFailures, AFolderAPipeOrNoFolderWhereAFileBelongsIsReportedByEveryReaderAndWriter)
{
    // What stands where the file belongs: a folder, a named pipe (reading it
    // must not wait), no folder, a file in place of its folder, or folders in
    // place of the parameter file both beside the network and in the program
    // folder.
    enum Obstacle { Folder, Pipe, NoFolder, FileInPath };
    using D = CBriscoDoc&;
    using S = const std::string&;
    const struct {
        const char* ext;
        Obstacle obstacle;
        std::function<int(D, S base)> call;
        int code;
        const char* message;
    } cases[] = {
        {"vad", Folder, [](D d, S b) { return d.readNetworkFile(b + "vad", true); }, 0, "$f:read ?\nis a folder"},
        {"vad", Pipe, [](D d, S b) { return d.readNetworkFile(b + "vad", true); }, 0, "$f:read ?\nis not an ordinary file"},
        {"sdt", Folder, [](D d, S b) { return d.readParameterFile(b); }, 1,
         "$f:read ?\nis a folder\nThe parameters of $p/sdt/ztna.sdt are used instead."},
        {"mcd", Pipe, [](D d, S b) { return d.readFlowSensorFile(b), 0; }, 0, "$f:read ?\nis not an ordinary file"},
        {"nrd", Folder, [](D d, S b) { return d.readRoadNameFile(b); }, 0, "$f:read ?\nis a folder"},
        {"jpd", Folder, [](D d, S b) { return d.readNodeLocationFile(b); }, 0, "<$f>:read ?\nis a folder"},
        {"apd", Folder, [](D d, S b) { return d.readBendFile(b); }, 0, "$f:read ?\nis a folder"},
        {"pkd", Folder, [](D d, S b) { return d.readResultsFile(b); }, 0, "$f:read ?\nis a folder"},
        {"end", Folder, [](D d, S) { return d.readExternalNodeValues(1), 0; }, 0, "<$f>:read ?\nis a folder"},
        {"erd", Pipe, [](D d, S) { return d.readExternalRoadValues(1, 0), 0; }, 0, "<$f>:read ?\nis not an ordinary file"},
        {"vad", Folder, [](D d, S b) { return d.writeNetworkFile(b + "vad"); }, 0, "$f  :write ?\nis a folder"},
        {"vad", NoFolder, [](D d, S b) { return d.writeNetworkFile(b + "vad"); }, 0,
         "$f  :write ?\nits folder does not exist"},
        {"pkd", Folder, [](D d, S b) { return d.writeResultsFile(b); }, 0, "$f  :write ?\nis a folder"},
        {"pkd", FileInPath, [](D d, S b) { return d.writeResultsFile(b); }, 0,
         "$f  :write ?\na part of its path is not a folder"},
        {"jpd", Folder, [](D d, S b) { return d.writeNodeLocationFile(b); }, 0, "\nError : write ? $f\nis a folder"},
        {"apd", Folder, [](D d, S b) { return d.writeBendFile(b); }, 0, "\nWarning : write ? $f\nis a folder"},
        // Beside the network only, never into the installation's defaults.
        {"sdt", Folder, [](D d, S b) { return d.writeParameterFile(b); }, 0,
         "$f:write ?\nis a folder\nThe fire and evacuation parameters of this network could not be saved."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.ext) + ", obstacle " + std::to_string(c.obstacle) + ", code " + std::to_string(c.code));
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
        const std::string base =
            inst.work(c.obstacle == NoFolder ? "none/net." : c.obstacle == FileInPath ? "file/net." : "net.");
        doc.baseName = base;
        const std::string path = base + c.ext;
        if (c.obstacle == Pipe) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        } else if (c.obstacle == FileInPath) {
            writeFile(inst.work("file"), "");
        } else if (c.obstacle != NoFolder) {
            fs::create_directory(path);
        }
        const std::string before = snapshot(doc);
        const std::string defaults = readFile(inst.program() + "/sdt/ztna.sdt");
        inst.reporter.clear();

        EXPECT_EQ(c.call(doc, base), c.code);
        EXPECT_EQ(readFile(inst.program() + "/sdt/ztna.sdt"), defaults);
        ASSERT_EQ(inst.reporter.messages.size(), 1u) << inst.reporter.all();
        EXPECT_EQ(inst.reporter.messages[0], expand(c.message, path, inst.program()));
        if (c.code == 0) {
            EXPECT_EQ(snapshot(doc), before);
        }
    }
}

// A save that cannot write one of its files is the saving suite's (FailedSave).
TEST(FileFailures, BatchOpenGoesOnPastAFolderNamedLikeTheResultsFile)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    MemoryProfile profile;
    for (const char* ext : {"vad", "sdt", "jpd"})
        fs::copy_file(kSmallBase + ext, inst.work(std::string("net.") + ext));
    fs::create_directory(inst.work("net.pkd"));
    inst.app.pendingFile = inst.work("net.vad");
    inst.app.pending = true;
    ASSERT_TRUE(openPendingNetwork(doc, profile));  // the results file is optional
    EXPECT_EQ(inst.reporter.all(), "[" + inst.work("net.pkd") + ":read ?\nis a folder]\n");
}

TEST(FileFailures, ACutNodeLocationFileAndAnUnreadableFireTemperatureSayWhatFollows)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    ASSERT_EQ(doc.readNetworkFile(kSmallBase + "vad", true), 1);
    const std::string jpd = readFile(kSmallBase + "jpd");
    writeFile(inst.work("cut.jpd"), jpd.substr(0, jpd.find("10 0 -50.25")));
    ASSERT_EQ(doc.readNodeLocationFile(inst.work("cut.")), 1);
    EXPECT_EQ(inst.reporter.all(), "[" + inst.work("cut.jpd") + ": line 7: the file ends after 7 records; 3 of the 10 "
                                   "nodes got no position and stay where they were: 10, 11, 12]\n");
    EXPECT_EQ(inst.reporter.kinds, std::vector<MessageKind>{MessageKind::Warning});

    inst.reporter.clear();
    writeFile(inst.work("hot.sdt"), replaced(readFile(kSmallBase + "sdt"), "10 500 2 30", "10 hot 2 30"));
    ASSERT_EQ(doc.readParameterFile(inst.work("hot.")), 1);
    ASSERT_EQ(inst.reporter.messages.size(), 1u) << inst.reporter.all();
    EXPECT_EQ(inst.reporter.messages[0],
              inst.work("hot.sdt") + ": line 4: a number was expected for firetemp, but the file holds \"hot\".\n"
              "The fire simulation is skipped: the finish time (firetime) was not read and stays 0, so an analysis "
              "computes the airflow only. The values from there on keep their defaults.");
    EXPECT_EQ(std::make_tuple(doc.fire.fireNode, doc.fire.finishTime), std::make_tuple(10, 0.0f));
}

}  // namespace
}  // namespace orvex::test
